// ARC and PAK: a 0x1A marker, a method byte (0 ends the archive), a 13-byte name, the
// sizes, date, time and CRC-16, then the member's data.
// The header is read by the reader the extractor uses too (ArcMethods.h).
#include "ArcMethods.h"
#include "ListWalk.h"

namespace orvello::archive::detail {

namespace {

constexpr std::size_t kHeaderLength = 29;

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

    void Process(ListWalk& walk, const std::uint8_t*) override {
        auto& L = walk.L;
        const auto read =
            ReadArcHeader(walk.File(), walk.HeaderStart(), 0, walk.Names(NameCoding::kDos));
        // Damage ends the listing quietly; a member whose data is cut is still shown.
        if (!read.Listable()) return walk.Stop();
        const ArcHeader& m = read.header;
        L.FileName = m.name;
        L.PackedSize = static_cast<std::int64_t>(m.packed);
        L.UnpackedSize = static_cast<std::int64_t>(m.size);
        L.DateTime = DosDateTimeToDateTime(m.dosDateTime);
        L.CRC = m.crc;
        L.MethodCode = static_cast<std::uint16_t>(m.method);
        L.MethodName = pakNames_ ? PakMethodName(m.method) : ArcMethodName(m.method);
        L.VersionMadeBy = 0;
        L.VersionNeeded = 0;
        L.InternalAttr = 32;
        L.ExternalAttr = 32;
        walk.Report();
        walk.position = read.IsHeader() ? m.next : walk.end;
    }

  private:
    bool pakNames_;
};

}  // namespace

std::unique_ptr<FormatWalker> MakeArcWalker(bool pakNames) {
    return std::make_unique<ArcWalker>(pakNames);
}

}  // namespace orvello::archive::detail
