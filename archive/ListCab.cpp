// CAB (Microsoft cabinet): a header ("MSCF", the offset of the first file entry at 16, the
// folder and file counts at 26 and 28, flags at 30), optional reserved fields and names of
// the neighbouring cabinets, the folder entries (first data block, block count, compression
// type), then the file entries: size (0), offset in its folder (4), folder index (8), DOS
// date (10) and time (12), attributes (14) and a zero-terminated name. Files are compressed
// together per folder, so a file has no packed size of its own (0 is shown), and no CRC.
// Only this cabinet is listed; files continued from or into a neighbouring cabinet appear
// as their entries here say.
#include <vector>

#include "ListWalk.h"
#include "NameCodec.h"

namespace orvello::archive::detail {

namespace {

constexpr std::size_t kHeaderLength = 16;
constexpr std::int64_t kCabHeader = 36;
constexpr unsigned kPrevCabinet = 1, kNextCabinet = 2, kReservePresent = 4;
constexpr std::size_t kMaxName = 256;

std::string CabMethodName(unsigned type) {
    if (type == 0) return "Stored";
    if (type == 1) return "MSZIP";
    if (type == 3487 || type == 5490 || (type & 0x0F) == 3) return "LZX";
    return "Unknown";
}

class CabWalker final : public FormatWalker {
  public:
    std::size_t HeaderLength() const override { return kHeaderLength; }

    void Prepare(ListWalk& walk) override {
        const std::int64_t base = walk.position;
        std::uint8_t h[kCabHeader];
        if (!walk.ReadExact(base, h, sizeof h)) {
            walk.Stop();
            return;
        }
        remaining_ = Le16(h + 28);
        const unsigned folders = Le16(h + 26), flags = Le16(h + 30);
        std::int64_t p = base + kCabHeader;
        unsigned folderReserve = 0;
        if (flags & kReservePresent) {
            std::uint8_t r[4] = {};
            walk.ReadExact(p, r, 4);
            folderReserve = r[2];
            p += 4 + Le16(r);
        }
        std::int64_t used = 0;
        for (unsigned k : {kPrevCabinet, kNextCabinet}) {
            if (!(flags & k)) continue;
            for (int s = 0; s < 2; ++s) {  // the cabinet's name and its disk's name
                walk.ReadZeroTerminated(p, kMaxName, &used);
                p += used;
            }
        }
        types_.clear();
        for (unsigned i = 0; i < folders && p + 8 <= walk.end; ++i) {
            std::uint8_t f[8];
            if (!walk.ReadExact(p, f, 8)) break;
            types_.push_back(Le16(f + 6));
            p += 8 + folderReserve;
        }
        walk.position = base + Le32(h + 16);
    }

    void Process(ListWalk& walk, const std::uint8_t* h) override {
        auto& L = walk.L;
        if (remaining_ == 0) {
            walk.Stop();
            return;
        }
        --remaining_;
        const std::int64_t start = walk.HeaderStart();
        std::int64_t used = 0;
        const std::string name = walk.ReadZeroTerminated(start + 16, kMaxName, &used);
        L.FileName = DecodeMemberName(name, NameCoding::kDos);
        L.UnpackedSize = Le32(h);
        L.PackedSize = 0;
        L.CRC = 0;
        const unsigned folder = Le16(h + 8);
        // 0xFFFD and 0xFFFF: continued from the previous cabinet, in the first folder;
        // 0xFFFE: continued into the next one, in the last folder.
        std::size_t index = folder;
        if (folder == 0xFFFD || folder == 0xFFFF) index = 0;
        if (folder == 0xFFFE) index = types_.empty() ? 0 : types_.size() - 1;
        L.MethodCode = index < types_.size() ? types_[index] : 0;
        L.MethodName = CabMethodName(L.MethodCode);
        L.DateTime = DosDateTimeToDateTime(std::uint32_t{Le16(h + 10)} << 16 | Le16(h + 12));
        L.VersionMadeBy = 0;
        L.VersionNeeded = 0;
        L.InternalAttr = 0;
        L.ExternalAttr = Le16(h + 14);
        walk.Report();
        walk.position = start + 16 + used;
    }

  private:
    unsigned remaining_ = 0;
    std::vector<std::uint16_t> types_;
};

}  // namespace

std::unique_ptr<FormatWalker> MakeCabWalker() {
    return std::make_unique<CabWalker>();
}

}  // namespace orvello::archive::detail
