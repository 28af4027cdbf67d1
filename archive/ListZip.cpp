// ZIP: the central directory, found through the end record in the last 32 KB of the file
// (and the ZIP64 end record when the archive has one).
#include <cstdint>

#include "ListWalk.h"
#include "ZipHeaders.h"

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
    // The walk goes on while a whole fixed part fits before the end of the file (so a long
    // archive comment is read as one); the reader then reads the header itself.
    std::size_t HeaderLength() const override { return kCentralLength; }

    void Prepare(ListWalk& walk) override {
        // A ZIP found through a program's string resources keeps offsets that count from
        // its own start.
        const std::int64_t sfx = walk.L.ZipSfxOffset();
        const std::int64_t shift = sfx > 0 && walk.DataStart() == sfx ? sfx : 0;
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

    void Process(ListWalk& walk, const std::uint8_t*) override {
        auto& L = walk.L;
        auto read =
            ReadZipCentralEntry(walk.File(), walk.HeaderStart(), 0, walk.Names(NameCoding::kDos));
        if (read.status == HeaderStatus::kEnd && L.FileCount() == 0) walk.Fail(errBadFileHeader);
        // The end of the directory, or damage, ends the listing quietly.
        if (!read.IsHeader()) return walk.Stop();
        ZipCentralEntry& e = read.header;
        const unsigned flags = e.flags, method = e.method;
        L.FileName = std::move(e.name);
        L.FileComment = std::move(e.comment);
        L.UnpackedSize = static_cast<std::int64_t>(e.size);
        L.PackedSize = static_cast<std::int64_t>(e.packed);
        L.CRC = e.crc;
        L.DateTime = DosDateTimeToDateTime(std::uint32_t{e.dosDate} << 16 | e.dosTime);
        L.MethodCode = static_cast<std::uint16_t>(method);
        L.MethodName = ZipMethodName(method, flags);
        L.VersionMadeBy = e.versionMadeBy;
        L.VersionNeeded = e.versionNeeded;
        L.InternalAttr = e.internalAttr;
        L.ExternalAttr = e.externalAttr;
        L.DeflateOption = 0;
        if (flags > 1) {
            const bool bit1 = flags & 2, bit2 = flags & 4;
            L.DeflateOption = bit1 && bit2 ? 6 : bit2 ? 4 : bit1 ? 2 : 0;
        }
        walk.Report();
        walk.position = e.next;
    }
};

}  // namespace

std::unique_ptr<FormatWalker> MakeZipWalker() {
    return std::make_unique<ZipWalker>();
}

}  // namespace orvello::archive::detail
