// LHA (LZH), header levels 0 to 3, through the reader the extractor uses too (LhaHeaders.h).
#include "LhaHeaders.h"
#include "ListWalk.h"
#include "NameCodec.h"

namespace orvello::archive::detail {

namespace {

// The walk goes on while a fixed part fits before the end of the file; the reader then reads
// the header itself.
constexpr std::size_t kHeaderLength = 22;
std::string LhaMethodName(std::uint8_t c) {
    if (c == '0') return "Stored";
    if (c >= '1' && c <= '5') return std::string("Frozen-") + static_cast<char>(c);
    return "Unknown";
}

class LhaWalker final : public FormatWalker {
  public:
    std::size_t HeaderLength() const override { return kHeaderLength; }
    void Prepare(ListWalk&) override {}

    void Process(ListWalk& walk, const std::uint8_t*) override {
        auto& L = walk.L;
        auto read = ReadLhaHeader(walk.File(), walk.HeaderStart(), walk.Names(NameCoding::kLha));
        // Damage ends the listing quietly; a member whose data is cut is still shown.
        if (!read.Listable()) return walk.Stop();
        LhaHeader& m = read.header;
        L.FileName = m.folder.empty() ? std::move(m.name) : m.Listed();
        // A folder entry (-lhd-) is shown as a folder.
        if (m.Folder() && (L.FileName.empty() || L.FileName.back() != '/')) L.FileName += '/';
        L.UnpackedSize = static_cast<std::int64_t>(m.size);
        L.PackedSize = static_cast<std::int64_t>(m.packed);
        L.CRC = m.crc;
        L.DateTime = m.unixTime ? UnixTimeToDateTime(m.time) : DosDateTimeToDateTime(m.time);
        L.MethodCode = static_cast<std::uint8_t>(m.method[3]);
        L.MethodName = LhaMethodName(static_cast<std::uint8_t>(m.method[3]));
        L.VersionMadeBy = 0;
        L.VersionNeeded = 0;
        L.InternalAttr = 32;
        L.ExternalAttr = m.attribute;
        walk.Report();
        walk.position = read.IsHeader() ? m.next : walk.end;
    }
};

}  // namespace

std::unique_ptr<FormatWalker> MakeLhaWalker() {
    return std::make_unique<LhaWalker>();
}

}  // namespace orvello::archive::detail
