// GZip and the older single-file compressors sharing its first byte 0x1F. A gzip file
// (RFC 1952) is listed as one member: name, time and method from its header, CRC-32 and
// original size from its last 8 bytes. The others have no header beyond their signature
// (pack keeps the original size, big-endian, after it); their member is named after the
// file.
#include <algorithm>

#include "ArcPaths.h"
#include "ListWalk.h"
#include "NameCodec.h"

namespace orvello::archive::detail {

namespace {

constexpr std::size_t kHeaderLength = 10;
constexpr unsigned kExtra = 4, kName = 8, kComment = 16, kHeaderCrc = 2;

// The file's own name less a compressor's extension: GAME.SMC.GZ -> GAME.SMC, a.tgz -> a.tar.
std::string NameFromArchive(const std::string& archive) {
    std::string name = FileNamePart(archive);
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos) return name;
    std::string ext = name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    if (ext == "tgz" || ext == "taz") return name.substr(0, dot) + ".tar";
    if (ext == "gz" || ext == "z" || ext == "lzh" || ext == "lha") return name.substr(0, dot);
    return name;
}

std::string GzipMethodName(unsigned m) {
    switch (m) {
        case 0:
            return "Stored";
        case 1:
            return "Compress";
        case 2:
            return "Packed";
        case 3:
            return "Lzh";
        case 8:
            return "Deflate";
        default:
            return "Unknown";
    }
}

class GzipWalker final : public FormatWalker {
  public:
    std::size_t HeaderLength() const override { return kHeaderLength; }
    void Prepare(ListWalk&) override {}

    void Process(ListWalk& walk, const std::uint8_t* h) override {
        auto& L = walk.L;
        const std::int64_t start = walk.HeaderStart();
        L.FileName = NameFromArchive(L.ArchiveFile());
        L.CRC = 0;
        L.DateTime = kDosEpoch;
        L.VersionMadeBy = 0;
        L.VersionNeeded = 0;
        L.InternalAttr = 0;
        L.ExternalAttr = 0;
        if (h[0] != 0x1F) {
            walk.Stop();
            return;
        }
        if (h[1] == 0x8B) {
            Gzip(walk, h, start);
        } else {
            L.MethodCode = h[1] == 0x9D ? 1 : h[1] == 0xA0 ? 3 : 2;
            L.PackedSize = walk.end - start;
            // pack (1F 1E) keeps the original size, big-endian, after its signature.
            L.UnpackedSize =
                h[1] == 0x1E ? std::int64_t{h[2]} << 24 | h[3] << 16 | h[4] << 8 | h[5] : 0;
        }
        L.MethodName = GzipMethodName(L.MethodCode);
        walk.Report();
        // Further gzip members, if concatenated, can only be found by decoding this one.
        walk.Stop();
    }

  private:
    static void Gzip(ListWalk& walk, const std::uint8_t* h, std::int64_t start) {
        auto& L = walk.L;
        const unsigned flags = h[3];
        std::int64_t p = start + 10, used = 0;
        if (flags & kExtra) {
            std::uint8_t length[2] = {0, 0};
            walk.ReadExact(p, length, 2);
            p += 2 + Le16(length);
        }
        if (flags & kName) {
            const std::string name = walk.ReadZeroTerminated(p, 1024, &used);
            if (!name.empty()) L.FileName = DecodeMemberName(name, NameCoding::kLatin1);
            p += used;
        }
        if (flags & kComment) {
            L.FileComment = walk.ReadZeroTerminated(p, 2500, &used);
            p += used;
        }
        if (flags & kHeaderCrc) p += 2;
        std::uint8_t trailer[8] = {};
        const bool hasTrailer = walk.end - 8 >= p && walk.ReadExact(walk.end - 8, trailer, 8);
        L.MethodCode = h[2];
        L.PackedSize = hasTrailer ? walk.end - 8 - p : 0;
        L.UnpackedSize = hasTrailer ? Le32(trailer + 4) : 0;
        L.CRC = hasTrailer ? Le32(trailer) : 0;
        if (const std::uint32_t mtime = Le32(h + 4); mtime != 0)
            L.DateTime = UnixTimeToDateTime(mtime);
    }
};

}  // namespace

std::unique_ptr<FormatWalker> MakeGzipWalker() {
    return std::make_unique<GzipWalker>();
}

}  // namespace orvello::archive::detail
