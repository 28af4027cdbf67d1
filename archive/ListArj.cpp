// ARJ: a main header, then one local header per member, each followed by its data; a
// member may continue in the next volume (NAME.A01, NAME.A02, ...).
#include <algorithm>

#include "ArcPaths.h"
#include "ArjFormat.h"
#include "ListWalk.h"
#include "NameCodec.h"

namespace orvello::archive::detail {

namespace {

constexpr std::size_t kHeaderLength = 34;

std::string ArjMethodName(unsigned method) {
    static const char* const kNames[] = {"Stored", "Most", "2nd Most", "2nd Fast", "Fastest"};
    return method < 5 ? kNames[method] : "Unknown";
}

bool IsHeader(const std::uint8_t* h) {
    const unsigned size = Le16(h + 2);
    return h[0] == 0x60 && h[1] == 0xEA && size != 0 && size <= kArjMaxBasicHeader;
}

// Where the data after a header begins: the basic header (size at 2, counted from 4), its
// CRC, then extended headers, each a 16-bit size, that many bytes and a CRC, ended by a size
// of 0.
std::int64_t HeaderEnd(ListWalk& walk, std::int64_t start, unsigned basicSize) {
    std::int64_t p = start + 4 + basicSize + 4;
    while (p < walk.end) {
        std::uint8_t size[2];
        if (!walk.ReadExact(p, size, 2)) return walk.end;
        p += 2;
        if (Le16(size) == 0) return p;
        p += Le16(size) + 4;
    }
    return walk.end;
}

class ArjWalker final : public FormatWalker {
  public:
    std::size_t HeaderLength() const override { return kHeaderLength; }

    void Prepare(ListWalk& walk) override {
        const std::int64_t start = walk.position;
        volume_ = 0;
        std::uint8_t h[kHeaderLength];
        if (!walk.ReadExact(start, h, sizeof h) || !IsHeader(h)) {
            walk.Stop();
            return;
        }
        const unsigned basicSize = Le16(h + 2);
        std::string comment;
        walk.L.FileName =
            DecodeMemberName(NameAndComment(walk, start, h, comment), NameCoding::kDos);
        walk.L.ArchiveComment = comment;
        walk.position = HeaderEnd(walk, start, basicSize);
    }

    void Process(ListWalk& walk, const std::uint8_t* h) override {
        auto& L = walk.L;
        if (!IsHeader(h)) {
            walk.Stop();
            return;
        }
        const std::int64_t start = walk.HeaderStart();
        const unsigned basicSize = Le16(h + 2);
        std::string comment;
        L.FileName = DecodeMemberName(NameAndComment(walk, start, h, comment), NameCoding::kDos);
        if (h[10] == kArjFileTypeDirectory && (L.FileName.empty() || L.FileName.back() != '/'))
            L.FileName += '/';
        L.FileComment = comment;
        std::int64_t packed = Le32(h + 16), unpacked = Le32(h + 20);
        std::int64_t next = HeaderEnd(walk, start, basicSize) + packed;
        if (h[8] & kArjFlagVolume) FollowVolumes(walk, packed, unpacked, next);
        L.PackedSize = packed;
        L.UnpackedSize = unpacked;
        L.CRC = Le32(h + 24);
        L.DateTime = ArjUnixTimeHost(h[7]) ? UnixTimeToDateTime(Le32(h + 12))
                                           : DosDateTimeToDateTime(Le32(h + 12));
        L.MethodCode = h[9];
        L.MethodName = ArjMethodName(h[9]);
        L.VersionMadeBy = h[5];
        L.VersionNeeded = h[6];
        L.InternalAttr = 32;
        L.ExternalAttr = 32;
        walk.Report();
        walk.position = next;
    }

  private:
    // The zero-terminated name that starts after the header's fixed part (its size is the
    // byte at 4), and the comment after it, both within the basic header.
    static std::string NameAndComment(ListWalk& walk, std::int64_t start, const std::uint8_t* h,
                                      std::string& comment) {
        const std::int64_t limit = start + 4 + Le16(h + 2);
        const std::int64_t nameAt = start + 4 + h[4];
        if (nameAt >= limit) return {};
        std::int64_t used = 0;
        std::string name = walk.ReadZeroTerminated(
            nameAt, static_cast<std::size_t>(std::min<std::int64_t>(256, limit - nameAt)), &used);
        const std::int64_t commentAt = nameAt + used;
        if (commentAt < limit) {
            comment = walk.ReadZeroTerminated(
                commentAt,
                static_cast<std::size_t>(std::min<std::int64_t>(2500, limit - commentAt)));
        }
        return name;
    }

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
            std::uint8_t h[kHeaderLength];
            if (!walk.ReadExact(0, h, sizeof h) || !IsHeader(h)) return;
            const std::int64_t member = HeaderEnd(walk, 0, Le16(h + 2));
            if (!walk.ReadExact(member, h, sizeof h) || !IsHeader(h)) return;
            packed += Le32(h + 16);
            unpacked += Le32(h + 20);
            next = HeaderEnd(walk, member, Le16(h + 2)) + Le32(h + 16);
            if (!(h[8] & kArjFlagVolume)) return;
        }
    }

    int volume_ = 0;
};

}  // namespace

std::unique_ptr<FormatWalker> MakeArjWalker() {
    return std::make_unique<ArjWalker>();
}

}  // namespace orvello::archive::detail
