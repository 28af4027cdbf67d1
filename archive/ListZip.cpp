// ZIP: the central directory, found through the end record in the last 32 KB of the file
// (and the ZIP64 end record when the archive has one).
#include <cstdint>

#include "ListWalk.h"
#include "NameCodec.h"
#include "ZipEnd.h"

namespace orvello::archive::detail {

namespace {

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
        // A ZIP found through a program's string resources keeps offsets that count from
        // its own start.
        const std::int64_t sfx = walk.L.ZipSfxOffset();
        const std::int64_t shift = sfx > 0 && walk.L.StartOffset() == sfx + 1 ? sfx : 0;
        const auto end = FindZipEndRecord(walk.File(), shift);
        if (!end) walk.Fail(errHeaderID);
        if (end->commentLength != 0) {
            walk.L.ArchiveComment = walk.ReadText(
                end->offset + static_cast<std::int64_t>(kEndLength), end->commentLength);
        }
        std::uint8_t first[kCentralLength];
        if (!walk.ReadExact(end->central, first, sizeof first) ||
            Le32(first) != kCentralSignature) {
            walk.Fail(errHeaderID);
        }
        walk.position = end->central;
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
        const std::int64_t extraAt = nameAt + nameLength;
        const std::int64_t commentAt = extraAt + extraLength;
        // The extra field may hold the name in Unicode as well as ZIP64 sizes.
        const std::string extra =
            extraLength != 0 ? walk.ReadText(extraAt, extraLength) : std::string();
        L.FileName = DecodeZipName(walk.ReadText(nameAt, nameLength),
                                   static_cast<std::uint16_t>(flags), extra);
        L.FileComment =
            commentLength != 0 ? walk.ReadText(commentAt, commentLength) : std::string();
        Zip64Values values{Le32(h + 24), Le32(h + 20), Le32(h + 42)};
        if (values.NeedExtra()) {
            values.Apply(reinterpret_cast<const std::uint8_t*>(extra.data()), extra.size());
        }
        L.UnpackedSize = static_cast<std::int64_t>(values.size);
        L.PackedSize = static_cast<std::int64_t>(values.packed);
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
};

}  // namespace

std::unique_ptr<FormatWalker> MakeZipWalker() {
    return std::make_unique<ZipWalker>();
}

}  // namespace orvello::archive::detail
