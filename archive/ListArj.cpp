// ARJ: a main header, then one local header per member, each followed by its data; a
// member may continue in the next volume (NAME.A01, NAME.A02, ...). Headers are read by the
// reader the extractor uses too (ArjFormat.h).
#include "ArjFormat.h"
#include "ListWalk.h"

namespace orvello::archive::detail {

namespace {

constexpr std::size_t kHeaderLength = 34;

std::string ArjMethodName(unsigned method) {
    static const char* const kNames[] = {"Stored", "Most", "2nd Most", "2nd Fast", "Fastest"};
    return method < 5 ? kNames[method] : "Unknown";
}

class ArjWalker final : public FormatWalker {
  public:
    std::size_t HeaderLength() const override { return kHeaderLength; }

    void Prepare(ListWalk& walk) override {
        volume_ = 0;
        const auto read =
            ReadArjHeader(walk.File(), walk.position, walk.Names(NameCoding::kDos), true);
        if (!read.IsHeader()) return walk.Stop();
        walk.L.FileName = read.header.name;
        walk.L.ArchiveComment = read.header.comment;
        walk.position = read.header.data;
    }

    void Process(ListWalk& walk, const std::uint8_t*) override {
        auto& L = walk.L;
        const auto read =
            ReadArjHeader(walk.File(), walk.HeaderStart(), walk.Names(NameCoding::kDos));
        // Damage ends the listing quietly; a member whose data is cut is still shown.
        if (!read.Listable()) return walk.Stop();
        const ArjHeader& h = read.header;
        L.FileName = h.name;
        if (h.fileType == kArjFileTypeDirectory && (L.FileName.empty() || L.FileName.back() != '/'))
            L.FileName += '/';
        L.FileComment = h.comment;
        auto packed = static_cast<std::int64_t>(h.packed);
        auto unpacked = static_cast<std::int64_t>(h.size);
        std::int64_t next = read.IsHeader() ? h.next : walk.end;
        if (h.flags & kArjFlagVolume) FollowVolumes(walk, packed, unpacked, next);
        L.PackedSize = packed;
        L.UnpackedSize = unpacked;
        L.CRC = h.crc;
        L.DateTime = ArjUnixTimeHost(h.host) ? UnixTimeToDateTime(h.dateTime)
                                             : DosDateTimeToDateTime(h.dateTime);
        L.MethodCode = static_cast<std::uint16_t>(h.method);
        L.MethodName = ArjMethodName(h.method);
        L.VersionMadeBy = static_cast<std::uint16_t>(h.version);
        L.VersionNeeded = static_cast<std::uint16_t>(h.needed);
        L.InternalAttr = 32;
        L.ExternalAttr = 32;
        walk.Report();
        walk.position = next;
    }

  private:
    // Adds the sizes of the member's continuation headers in the following volumes; the walk
    // goes on in the last volume opened, after the member's last part.
    void FollowVolumes(ListWalk& walk, std::int64_t& packed, std::int64_t& unpacked,
                       std::int64_t& next) {
        auto& L = walk.L;
        std::string previous = L.ArchiveFile();
        for (;;) {
            if (volume_ >= kArjMaxVolumes) return;
            ++volume_;
            const std::string name = ArjVolumeName(L.ArchiveFile(), volume_);
            const std::string id = std::to_string(volume_);
            if (!L.Files->Exists(name)) {
                // The handler may bring the volume (another disk) before it is looked for again.
                L.Warn(errNextVolume, name, id);
                if (!L.Files->Exists(name)) walk.Fail(errFileNotFound, name, id);
            }
            auto file = L.Files->Open(name);
            if (!file) walk.Fail(errReadFile, name, id);
            walk.SwitchTo(std::move(file), previous);
            previous = name;
            next = walk.end;
            const auto& names = walk.Names(NameCoding::kDos);
            const auto main = ReadArjHeader(walk.File(), 0, names, true);
            if (!main.IsHeader()) return;
            const auto part = ReadArjHeader(walk.File(), main.header.data, names);
            if (!part.Listable()) return;
            packed += static_cast<std::int64_t>(part.header.packed);
            unpacked += static_cast<std::int64_t>(part.header.size);
            next = part.IsHeader() ? part.header.next : walk.end;
            if (!(part.header.flags & kArjFlagVolume)) return;
        }
    }

    int volume_ = 0;
};

}  // namespace

std::unique_ptr<FormatWalker> MakeArjWalker() {
    return std::make_unique<ArjWalker>();
}

}  // namespace orvello::archive::detail
