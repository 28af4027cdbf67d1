// ZIP: the central directory, found through the end record in the last 32 KB of the file.
#include <cstdint>
#include <vector>

#include "ArcPaths.h"
#include "ListWalk.h"

namespace orvello::archive::detail {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint32_t kCentralSignature = 0x02014B50;
constexpr std::size_t kCentralLength = 46;
constexpr std::size_t kEndLength = 22;

std::string ZipMethodName(unsigned method, unsigned flags) {
    switch (method) {
        case 0:
            return "Stored";
        case 1:
            return "Shrunk";
        case 2:
        case 3:
        case 4:
        case 5:
            return "Reduce-" + std::to_string(method - 1);
        case 6:
            return "Imploded";
        case 7:
            return "Tokened";
        case 8: {
            const bool bit1 = flags & 2, bit2 = flags & 4;
            return std::string("Deflate") + (bit1 && bit2 ? 'S' : bit2 ? 'F' : bit1 ? 'X' : 'N');
        }
        default:
            return "Unknown";
    }
}

class ZipWalker final : public FormatWalker {
  public:
    std::size_t HeaderLength() const override { return kCentralLength; }

    void Prepare(ListWalk& walk) override {
        const std::int64_t size = walk.end;
        const std::int64_t window = size > 32767 ? 32768 : size - 1;
        if (window < static_cast<std::int64_t>(kEndLength)) walk.Fail(errHeaderID);
        std::vector<std::uint8_t> tail(static_cast<std::size_t>(window));
        const std::int64_t tailStart = size - window;
        const std::size_t got = walk.Read(tailStart, tail.data(), tail.size());
        // From the last place a signature fits down to index 1; index 0 is not examined.
        std::int64_t record = -1;
        for (std::size_t i = got >= 22 ? got - 21 : 0; i >= 1; --i) {
            if (Le32(&tail[i]) == kEndSignature) {
                record = tailStart + static_cast<std::int64_t>(i);
                break;
            }
        }
        std::uint8_t end[kEndLength];
        if (record < 0 || !walk.ReadExact(record, end, sizeof end) || Le32(end) != kEndSignature) {
            walk.Fail(errHeaderID);
        }
        if (const unsigned length = Le16(end + 20); length != 0) {
            walk.L.ArchiveComment =
                walk.ReadText(record + static_cast<std::int64_t>(kEndLength), length);
        }
        // A ZIP found through a program's string resources keeps offsets that count from
        // its own start.
        std::int64_t central = Le32(end + 16);
        const std::int64_t sfx = walk.L.ZipSfxOffset();
        if (sfx > 0 && walk.L.StartOffset() == sfx + 1) central += sfx;
        std::uint8_t first[kCentralLength];
        if (!walk.ReadExact(central, first, sizeof first) || Le32(first) != kCentralSignature) {
            walk.Fail(errHeaderID);
        }
        walk.position = central;
    }

    void Process(ListWalk& walk, const std::uint8_t* h) override {
        auto& L = walk.L;
        if (Le32(h) != kCentralSignature) {
            if (L.FileCount() == 0) walk.Fail(errBadFileHeader);
            walk.Stop();
            return;
        }
        const std::int64_t nameAt = walk.HeaderStart() + static_cast<std::int64_t>(kCentralLength);
        const unsigned nameLength = Le16(h + 28), extraLength = Le16(h + 30),
                       commentLength = Le16(h + 32);
        const unsigned flags = Le16(h + 8), method = Le16(h + 10);
        L.FileName = StoredNameToFileName(walk.ReadText(nameAt, nameLength));
        const std::int64_t extraAt = nameAt + nameLength;
        const std::int64_t commentAt = extraAt + extraLength;
        L.FileComment =
            commentLength != 0 ? walk.ReadText(commentAt, commentLength) : std::string();
        L.PackedSize = Le32(h + 20);
        L.UnpackedSize = Le32(h + 24);
        if (L.PackedSize == 0xFFFFFFFF || L.UnpackedSize == 0xFFFFFFFF)
            Zip64Sizes(walk, extraAt, extraLength);
        L.CRC = Le32(h + 16);
        L.DateTime = DosDateTimeToDateTime(Le32(h + 12));
        L.MethodCode = static_cast<std::uint16_t>(method);
        L.MethodName = ZipMethodName(method, flags);
        L.VersionMadeBy = Le16(h + 4);
        L.VersionNeeded = Le16(h + 6);
        L.InternalAttr = Le16(h + 36);
        L.ExternalAttr = Le32(h + 38);
        L.DeflateOption = 0;
        if (flags > 1) {
            const bool bit1 = flags & 2, bit2 = flags & 4;
            L.DeflateOption = bit1 && bit2 ? 6 : bit2 ? 4 : bit1 ? 2 : 0;
        }
        walk.Report();
        walk.position = commentAt + commentLength;
    }

  private:
    // Sizes that do not fit 32 bits are in the ZIP64 extra field (id 1), in the order
    // uncompressed, compressed, each present only when its 32-bit field is all ones.
    static void Zip64Sizes(ListWalk& walk, std::int64_t at, unsigned length) {
        const std::string extra = walk.ReadText(at, length);
        const auto* p = reinterpret_cast<const std::uint8_t*>(extra.data());
        for (std::size_t i = 0; i + 4 <= extra.size();) {
            const unsigned id = Le16(p + i), size = Le16(p + i + 2);
            const std::size_t data = i + 4;
            if (data + size > extra.size()) return;
            if (id == 1) {
                std::size_t k = data;
                auto& L = walk.L;
                for (std::int64_t* field : {&L.UnpackedSize, &L.PackedSize}) {
                    if (*field != 0xFFFFFFFF) continue;
                    if (k + 8 > data + size) return;
                    const std::uint64_t v = Le64(p + k);
                    if (v <= static_cast<std::uint64_t>(INT64_MAX))
                        *field = static_cast<std::int64_t>(v);
                    k += 8;
                }
                return;
            }
            i = data + size;
        }
    }
};

}  // namespace

std::unique_ptr<FormatWalker> MakeZipWalker() {
    return std::make_unique<ZipWalker>();
}

}  // namespace orvello::archive::detail
