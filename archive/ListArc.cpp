// ARC and PAK: a 0x1A marker, a method byte (0 ends the archive), a 13-byte name, the
// sizes, date, time and CRC-16, then the member's data.
#include "ListWalk.h"
#include "NameCodec.h"

namespace orvello::archive::detail {

namespace {

constexpr std::size_t kHeaderLength = 29;
// Method 1 (old stored) headers lack the uncompressed size: 4 bytes shorter.
constexpr std::int64_t kOldHeaderLength = 25;

std::string ArcMethodName(unsigned m) {
    switch (m) {
        case 1:
        case 2:
            return "Stored";
        case 3:
            return "Packed";
        case 4:
            return "Squeezed";
        case 5:
        case 6:
        case 7:
            return "crunched";
        case 8:
            return "Crunched";
        case 9:
            return "Squashed";
        case 10:
            return "Pack10";
        case 11:
            return "Pack11";
        case 12:
            return "Pack12";
        default:
            return "Unknown";
    }
}

std::string PakMethodName(unsigned m) {
    switch (m) {
        case 1:
        case 2:
            return "Stored";
        case 3:
            return "RLE";
        case 4:
            return "Squeezed";
        case 5:
        case 6:
        case 7:
            return "FIXEDLEN";
        case 8:
        case 9:
            return "VARIBLE";
        case 10:
            return "Crushed";
        case 11:
            return "Distill";
        default:
            return "Unknown";
    }
}

class ArcWalker final : public FormatWalker {
  public:
    explicit ArcWalker(bool pakNames) : pakNames_(pakNames) {}

    std::size_t HeaderLength() const override { return kHeaderLength; }

    void Prepare(ListWalk&) override {}

    void Process(ListWalk& walk, const std::uint8_t* h) override {
        auto& L = walk.L;
        const unsigned method = h[1];
        if (h[0] != 0x1A || method == 0) {
            walk.Stop();
            return;
        }
        std::string name(reinterpret_cast<const char*>(h + 2), 13);
        name.resize(name.find('\0') == std::string::npos ? 13 : name.find('\0'));
        L.FileName = DecodeMemberName(name, NameCoding::kDos);
        L.PackedSize = Le32(h + 15);
        L.UnpackedSize = method == 1 ? L.PackedSize : Le32(h + 25);
        L.DateTime = DosDateTimeToDateTime(SwapDosHalves(Le32(h + 19)));
        L.CRC = Le16(h + 23);
        L.MethodCode = static_cast<std::uint16_t>(method);
        L.MethodName = pakNames_ ? PakMethodName(method) : ArcMethodName(method);
        L.VersionMadeBy = 0;
        L.VersionNeeded = 0;
        L.InternalAttr = 32;
        L.ExternalAttr = 32;
        walk.Report();
        const std::int64_t headerLength =
            method == 1 ? kOldHeaderLength : std::int64_t{kHeaderLength};
        walk.position = walk.HeaderStart() + headerLength + L.PackedSize;
    }

  private:
    bool pakNames_;
};

}  // namespace

std::unique_ptr<FormatWalker> MakeArcWalker(bool pakNames) {
    return std::make_unique<ArcWalker>(pakNames);
}

}  // namespace orvello::archive::detail
