// TAR: 512-byte header blocks, each followed by its data rounded up to whole blocks. Only
// regular files (type NUL, "0") and hard links ("1") are reported; every block is stepped
// over with its data.
#include <algorithm>

#include "ListWalk.h"
#include "NameCodec.h"

namespace orvello::archive::detail {

namespace {

constexpr std::size_t kBlock = 512;

bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// An octal field: leading blanks skipped, digits up to the first other character. GNU tar
// writes sizes too large for the digits in base 256, flagged by the top bit of the first
// byte. Values that do not fit 63 bits saturate.
std::uint64_t Numeric(const std::uint8_t* f, std::size_t n) {
    constexpr std::uint64_t kMax = static_cast<std::uint64_t>(INT64_MAX);
    std::uint64_t v = 0;
    if (f[0] & 0x80) {
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t b = i == 0 ? (f[0] & 0x7F) : f[i];
            if (v > (kMax >> 8)) return kMax;
            v = v << 8 | b;
        }
        return v;
    }
    std::size_t i = 0;
    while (i < n && (Blank(static_cast<char>(f[i])) || f[i] == 0))
        ++i;
    for (; i < n && f[i] >= '0' && f[i] <= '7'; ++i) {
        if (v > (kMax >> 3)) return kMax;
        v = v * 8 + (f[i] - '0');
    }
    return v;
}

class TarWalker final : public FormatWalker {
  public:
    std::size_t HeaderLength() const override { return kBlock; }
    void Prepare(ListWalk&) override {}

    void Process(ListWalk& walk, const std::uint8_t* h) override {
        auto& L = walk.L;
        std::string name(reinterpret_cast<const char*>(h), 100);
        name.resize(std::min<std::size_t>(name.find('\0'), 100));
        const auto first = std::find_if_not(name.begin(), name.end(), Blank);
        const auto last = std::find_if_not(name.rbegin(), name.rend(), Blank).base();
        name = first < last ? std::string(first, last) : std::string();
        if (name.empty()) {
            walk.Stop();
            return;
        }
        const std::uint64_t size = Numeric(h + 124, 12);
        const char type = static_cast<char>(h[156]);
        if (type == '\0' || type == '0' || type == '1') {
            L.FileName = DecodeMemberName(name, NameCoding::kDos);
            L.PackedSize = static_cast<std::int64_t>(size);
            L.UnpackedSize = static_cast<std::int64_t>(size);
            L.CRC = static_cast<std::uint32_t>(Numeric(h + 148, 8));
            L.DateTime = UnixTimeToDateTime(static_cast<std::int64_t>(Numeric(h + 136, 12)));
            L.MethodCode = 0;
            L.MethodName = "Stored";
            L.VersionMadeBy = 0;
            L.VersionNeeded = 0;
            L.InternalAttr = 0;
            L.ExternalAttr = 0;
            walk.Report();
        }
        const std::int64_t dataStart = walk.HeaderStart() + static_cast<std::int64_t>(kBlock);
        if (size > static_cast<std::uint64_t>(walk.end)) {
            walk.Stop();
            return;
        }
        const auto rounded = static_cast<std::int64_t>((size + kBlock - 1) / kBlock * kBlock);
        walk.position = dataStart + rounded;
    }
};

}  // namespace

std::unique_ptr<FormatWalker> MakeTarWalker() {
    return std::make_unique<TarWalker>();
}

}  // namespace orvello::archive::detail
