// HA: "HA" and a 16-bit member count, then per member a type byte (version in the high
// nibble, method in the low one), packed size, original size, CRC-32 and Unix time (32 bits
// each), the folder and the name (zero-terminated; 0xFF separates folders), and a byte
// giving the length of machine-specific data that follows. The member's data comes next.
#include <algorithm>

#include "ListWalk.h"
#include "NameCodec.h"

namespace orvello::archive::detail {

namespace {

constexpr std::size_t kHeaderLength = 18;
constexpr std::int64_t kArchiveHeader = 4;
constexpr std::int64_t kFixedPart = 17;
constexpr unsigned kMethodDirectory = 14;
constexpr std::size_t kMaxName = 1024;

std::string HaMethodName(unsigned m) {
    switch (m) {
        case 0:
            return "Cpy";
        case 1:
            return "Asc";
        case 2:
            return "HSC";
        case 14:
            return "Dir";
        case 15:
            return "Special";
        default:
            return "Unknown";
    }
}

class HaWalker final : public FormatWalker {
  public:
    std::size_t HeaderLength() const override { return kHeaderLength; }
    void Prepare(ListWalk& walk) override { walk.position += kArchiveHeader; }

    void Process(ListWalk& walk, const std::uint8_t* h) override {
        auto& L = walk.L;
        const std::int64_t start = walk.HeaderStart();
        const unsigned method = h[0] & 0x0F;
        std::int64_t p = start + kFixedPart, used = 0;
        std::string folder = walk.ReadZeroTerminated(p, kMaxName, &used);
        p += used;
        const std::string name = walk.ReadZeroTerminated(p, kMaxName, &used);
        p += used;
        std::uint8_t machine = 0;
        if (!walk.ReadExact(p, &machine, 1)) {
            walk.Stop();
            return;
        }
        p += 1 + machine;
        std::replace(folder.begin(), folder.end(), '\xFF', '/');
        std::string full = JoinFolder(DecodeMemberName(folder, NameCoding::kDos),
                                      DecodeMemberName(name, NameCoding::kDos));
        if (method == kMethodDirectory && (full.empty() || full.back() != '/')) full += '/';
        L.FileName = full;
        L.PackedSize = Le32(h + 1);
        L.UnpackedSize = Le32(h + 5);
        L.CRC = Le32(h + 9);
        L.DateTime = UnixTimeToDateTime(Le32(h + 13));
        L.MethodCode = static_cast<std::uint16_t>(method);
        L.MethodName = HaMethodName(method);
        L.VersionMadeBy = h[0] >> 4;
        L.VersionNeeded = h[0] >> 4;
        L.InternalAttr = 0;
        L.ExternalAttr = 0;
        walk.Report();
        walk.position = p + L.PackedSize;
    }
};

}  // namespace

std::unique_ptr<FormatWalker> MakeHaWalker() {
    return std::make_unique<HaWalker>();
}

}  // namespace orvello::archive::detail
