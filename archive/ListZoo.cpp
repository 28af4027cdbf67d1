// ZOO: an archive header naming the first directory entry; each entry names the next one.
// The archive header counts as one in FileCount, so NumFiles is one more than the members
// reported.
#include "ListWalk.h"
#include "ZooNames.h"

namespace orvello::archive::detail {

namespace {

constexpr std::size_t kHeaderLength = kZooEntryLength;
constexpr std::uint32_t kEntryTag = 0xFDC4A7DC;
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

    static void Entry(ListWalk& walk, const std::uint8_t* h) {
        auto& L = walk.L;
        const std::uint32_t next = Le32(h + 6);
        // The chain ends with an entry whose next offset is 0: a terminator, not a member.
        if (Le32(h) != kEntryTag || next == 0) {
            walk.Stop();
            return;
        }
        L.FileName = ZooEntryName(walk.File(), walk.HeaderStart(), h, kHeaderLength);
        L.PackedSize = Le32(h + 24);
        L.UnpackedSize = Le32(h + 20);
        L.CRC = Le16(h + 18);
        L.DateTime = DosDateTimeToDateTime(SwapDosHalves(Le32(h + 14)));
        L.MethodCode = h[5];
        L.MethodName = ZooMethodName(h[5]);
        L.VersionMadeBy = h[28];
        L.VersionNeeded = h[29];
        if (const unsigned length = Le16(h + 36); length != 0)
            L.FileComment = walk.ReadText(Le32(h + 32), length);
        walk.Report();
        walk.position = next;
    }

    bool archiveHeaderSeen_ = false;
};

}  // namespace

std::unique_ptr<FormatWalker> MakeZooWalker() {
    return std::make_unique<ZooWalker>();
}

}  // namespace orvello::archive::detail
