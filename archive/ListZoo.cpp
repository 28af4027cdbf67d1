// ZOO: an archive header naming the first directory entry; each entry names the next one.
// The archive header counts as one in FileCount, so NumFiles is one more than the members
// reported.
#include "ListWalk.h"
#include "ZooNames.h"

namespace orvello::archive::detail {

namespace {

constexpr std::size_t kHeaderLength = kZooEntryLength;
// The archive comment fields (at 35 and 39) exist when the first entry starts after them.
constexpr std::uint32_t kLongArchiveHeader = 41;

std::string ZooMethodName(unsigned m) {
    static const char* const kNames[] = {"Stored", "Fastest", "Greatest"};
    return m < 3 ? kNames[m] : "Unknown";
}

class ZooWalker final : public FormatWalker {
  public:
    std::size_t HeaderLength() const override { return kHeaderLength; }
    void Prepare(ListWalk&) override { archiveHeaderSeen_ = false; }

    void Process(ListWalk& walk, const std::uint8_t* h) override {
        if (!archiveHeaderSeen_) {
            ArchiveHeader(walk, h);
        } else {
            Entry(walk, h);
        }
    }

  private:
    void ArchiveHeader(ListWalk& walk, const std::uint8_t* h) {
        archiveHeaderSeen_ = true;
        const std::uint32_t first = Le32(h + 24);
        if (static_cast<std::uint32_t>(first + Le32(h + 28)) != 0) {
            walk.Stop();
            return;
        }
        if (first >= kLongArchiveHeader) {
            if (const unsigned length = Le16(h + 39); length != 0) {
                walk.L.ArchiveComment = walk.ReadText(Le32(h + 35), length);
            }
        }
        walk.CountUnreported();
        walk.position = first;
    }

    static void Entry(ListWalk& walk, const std::uint8_t*) {
        auto& L = walk.L;
        const auto read =
            ReadZooEntry(walk.File(), walk.HeaderStart(), walk.Names(NameCoding::kDos));
        // Damage ends the listing quietly; a member whose data is cut is still shown.
        if (!read.Listable()) return walk.Stop();
        const ZooEntry& e = read.header;
        L.FileName = e.name;
        L.PackedSize = static_cast<std::int64_t>(e.packed);
        L.UnpackedSize = static_cast<std::int64_t>(e.size);
        L.CRC = e.crc;
        L.DateTime = DosDateTimeToDateTime(e.dosDateTime);
        L.MethodCode = static_cast<std::uint16_t>(e.method);
        L.MethodName = ZooMethodName(e.method);
        L.VersionMadeBy = static_cast<std::uint16_t>(e.versionMadeBy);
        L.VersionNeeded = static_cast<std::uint16_t>(e.versionNeeded);
        if (e.commentLength != 0) L.FileComment = walk.ReadText(e.commentAt, e.commentLength);
        walk.Report();
        walk.position = e.next;
    }

    bool archiveHeaderSeen_ = false;
};

}  // namespace

std::unique_ptr<FormatWalker> MakeZooWalker() {
    return std::make_unique<ZooWalker>();
}

}  // namespace orvello::archive::detail
