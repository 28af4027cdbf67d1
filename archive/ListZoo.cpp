// ZOO: an archive header naming the first directory entry; each entry names the next one.
// The archive header counts as one in FileCount, so NumFiles is one more than the members
// reported.
#include "ArcPaths.h"
#include "ListWalk.h"

namespace orvello::archive::detail {

namespace {

constexpr std::size_t kHeaderLength = 58;
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
        std::string name(reinterpret_cast<const char*>(h + 38), 13);
        name.resize(name.find('\0') == std::string::npos ? 13 : name.find('\0'));
        // Entries of type 2 may carry a long name and a folder in their variable part.
        if (h[4] == 2) {
            const unsigned variable = Le16(h + 51), longLength = h[56], folderLength = h[57];
            if (2u + longLength + folderLength <= variable) {
                const std::int64_t at =
                    walk.HeaderStart() + static_cast<std::int64_t>(kHeaderLength);
                std::string longName = walk.ReadText(at, longLength);
                std::string folder = walk.ReadText(at + longLength, folderLength);
                longName.resize(longName.find('\0') == std::string::npos ? longName.size()
                                                                         : longName.find('\0'));
                folder.resize(folder.find('\0') == std::string::npos ? folder.size()
                                                                     : folder.find('\0'));
                if (!longName.empty()) name = longName;
                name = JoinFolder(folder, name);
            }
        }
        L.FileName = StoredNameToFileName(name);
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
