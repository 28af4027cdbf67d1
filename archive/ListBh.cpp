// BH (BlakHole): per member a header of its own size (16-bit at 4, counted from the
// signature "BH" 05 07): host (6), versions (7, 8), flags (9), DOS date-time (11), packed
// size (15), original size (19), CRC-32 (23), attributes (27), name length (29) and comment
// length (31), then the name and the comment; the member's data follows the header.
#include <algorithm>

#include "ListWalk.h"
#include "NameCodec.h"

namespace orvello::archive::detail {

namespace {

constexpr std::size_t kHeaderLength = 37;
constexpr std::uint32_t kSignature = 0x07054842;
constexpr std::int64_t kFixedPart = 33;
constexpr unsigned kDirectoryAttribute = 0x10;

class BhWalker final : public FormatWalker {
  public:
    std::size_t HeaderLength() const override { return kHeaderLength; }
    void Prepare(ListWalk&) override {}

    void Process(ListWalk& walk, const std::uint8_t* h) override {
        auto& L = walk.L;
        const std::int64_t start = walk.HeaderStart();
        const std::int64_t size = Le16(h + 4);
        if (Le32(h) != kSignature || size < kFixedPart) {
            walk.Stop();
            return;
        }
        const std::int64_t nameLength = std::min<std::int64_t>(Le16(h + 29), size - kFixedPart);
        const std::int64_t commentLength =
            std::min<std::int64_t>(Le16(h + 31), size - kFixedPart - nameLength);
        std::string name =
            DecodeMemberName(walk.ReadText(start + kFixedPart, nameLength), NameCoding::kDos);
        if ((Le16(h + 27) & kDirectoryAttribute) && (name.empty() || name.back() != '/'))
            name += '/';
        L.FileName = name;
        L.FileComment = walk.ReadText(start + kFixedPart + nameLength, commentLength);
        L.PackedSize = Le32(h + 15);
        L.UnpackedSize = Le32(h + 19);
        L.CRC = Le32(h + 23);
        L.DateTime = DosDateTimeToDateTime(Le32(h + 11));
        // The header keeps the method in flag bits whose meaning is not published; a member
        // whose data is as large as the original is shown as stored, any other as fused.
        L.MethodCode = L.PackedSize == L.UnpackedSize ? 0 : 1;
        L.MethodName = L.MethodCode == 0 ? "Stored" : "Fused";
        L.VersionMadeBy = h[7];
        L.VersionNeeded = h[8];
        L.InternalAttr = 0;
        L.ExternalAttr = Le16(h + 27);
        walk.Report();
        walk.position = start + size + L.PackedSize;
    }
};

}  // namespace

std::unique_ptr<FormatWalker> MakeBhWalker() {
    return std::make_unique<BhWalker>();
}

}  // namespace orvello::archive::detail
