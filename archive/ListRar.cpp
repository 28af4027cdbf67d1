// RAR (1.5 to 4.x): a 7-byte marker, the main header, then blocks. Every block starts with
// a CRC (2), a type (1), flags (2) and its header size (2); a block with flag 0x8000 carries
// 32-bit data of its own size at 7. File headers (type 0x74) are the members; their data is
// the packed size at 7. Other blocks are stepped over by their sizes.
#include <algorithm>
#include <span>

#include "ArcGlobals.h"

#include "ListWalk.h"
#include "NameCodec.h"
#include "RarNames.h"

namespace orvello::archive::detail {

namespace {

constexpr std::size_t kHeaderLength = 32;
constexpr std::uint8_t kMainHeader = 0x73;
constexpr std::uint8_t kFileHeader = 0x74;
constexpr std::uint8_t kCommentBlock = 0x75;
constexpr std::uint8_t kEndOfArchive = 0x7B;
constexpr unsigned kMainComment = 0x02;
constexpr unsigned kMainEncryptedHeaders = 0x80;
constexpr unsigned kLongBlock = 0x8000;
constexpr unsigned kFileComment = 0x08;
constexpr unsigned kFileLarge = 0x100;    // 64-bit sizes: high halves after the attributes
constexpr unsigned kFileUnicode = 0x200;  // the name field holds a Unicode name too
constexpr unsigned kFileDirectoryMask = 0xE0;
constexpr std::int64_t kMarkerLength = 7;
constexpr std::int64_t kMainHeaderLength = 13;
constexpr std::int64_t kCommentHeaderLength = 13;
constexpr std::uint8_t kStoredMethod = 0x30;
constexpr std::uint8_t kRar5Marker[6] = {'R', 'a', 'r', '!', 0x1A, 0x07};

std::string RarMethodName(unsigned m) {
    static const char* const kNames[] = {"Stored", "Fastest", "Fast", "Normal", "Good", "Best"};
    return m >= 48 && m <= 53 ? kNames[m - 48] : "Unknown";
}

class RarWalker final : public FormatWalker {
  public:
    std::size_t HeaderLength() const override { return kHeaderLength; }

    void Prepare(ListWalk& walk) override {
        // RAR 5 keeps the marker's first six bytes and continues 01 00: a different format
        // throughout, said as such rather than listed as an empty archive.
        std::uint8_t marker[kMarkerLength + 1];
        if (walk.ReadExact(walk.position, marker, sizeof marker) &&
            std::equal(marker, marker + 6, kRar5Marker) && marker[6] == 1 && marker[7] == 0) {
            walk.Fail(errUnsupportedVersion);
        }
        const std::int64_t main = walk.position + kMarkerLength;
        std::uint8_t h[kMainHeaderLength];
        // A damaged main header is said: the archive is not an empty one.
        if (!walk.ReadExact(main, h, sizeof h) || h[2] != kMainHeader ||
            Le16(h + 5) < kMainHeaderLength)
            walk.Fail(errBadFileHeader);
        // Encrypted headers: not even the names can be read without the password.
        if (Le16(h + 3) & kMainEncryptedHeaders) walk.Fail(errUnsupportedEncryption);
        // Its CRC-32's low half covers the header from its type on; only the fixed part when
        // the header holds an archive comment.
        const unsigned covered = (Le16(h + 3) & kMainComment) ? kMainHeaderLength : Le16(h + 5);
        const std::string whole = walk.ReadText(main + 2, covered - 2);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(whole.data());
        if (whole.size() + 2 < covered ||
            (Crc32(std::span(bytes, whole.size())) & 0xFFFFu) != Le16(h))
            walk.Fail(errHeaderCRC);
        const unsigned size = Le16(h + 5);
        if (size > kMainHeaderLength) {
            walk.L.ArchiveComment = "Archive Comment encrypted...";
            walk.position = main + size;
        } else {
            walk.position = main + kMainHeaderLength;
        }
    }

    void Process(ListWalk& walk, const std::uint8_t* h) override {
        const std::int64_t start = walk.HeaderStart();
        const std::uint8_t type = h[2];
        const unsigned flags = Le16(h + 3), size = Le16(h + 5);
        if (size < 7 || type == kEndOfArchive) {
            walk.Stop();
            return;
        }
        if (type != kFileHeader) {
            const std::int64_t data = (flags & kLongBlock) && size >= 11 ? Le32(h + 7) : 0;
            walk.position = start + size + data;
            return;
        }
        FileHeader(walk, h, start, flags, size);
    }

  private:
    static void FileHeader(ListWalk& walk, const std::uint8_t* h, std::int64_t start,
                           unsigned flags, unsigned size) {
        auto& L = walk.L;
        const bool large = flags & kFileLarge;
        const std::int64_t nameOffset = large ? 40 : 32;
        const unsigned nameLength = Le16(h + 26);
        if (size < nameOffset + nameLength) {
            walk.Stop();
            return;
        }
        std::uint64_t packed = Le32(h + 7), unpacked = Le32(h + 11);
        if (large) {
            std::uint8_t high[8];
            if (!walk.ReadExact(start + 32, high, sizeof high)) {
                walk.Stop();
                return;
            }
            packed |= std::uint64_t{Le32(high)} << 32;
            unpacked |= std::uint64_t{Le32(high + 4)} << 32;
            if (packed > static_cast<std::uint64_t>(walk.end) ||
                unpacked > static_cast<std::uint64_t>(INT64_MAX)) {
                walk.Stop();
                return;
            }
        }
        const std::string field = walk.ReadText(start + nameOffset, nameLength);
        // The Unicode name, when there is one, comes as UTF-8 and stays so.
        std::string name =
            DecodeMemberName((flags & kFileUnicode) ? RarFileName(field) : field, NameCoding::kDos);
        if ((flags & kFileDirectoryMask) == kFileDirectoryMask &&
            (name.empty() || name.back() != '/'))
            name += '/';
        L.FileName = name;
        if (flags & kFileComment) {
            L.FileComment = Comment(walk, start + nameOffset + nameLength, start + size);
        }
        L.PackedSize = static_cast<std::int64_t>(packed);
        L.UnpackedSize = static_cast<std::int64_t>(unpacked);
        L.CRC = Le32(h + 16);
        L.DateTime = DosDateTimeToDateTime(Le32(h + 20));
        L.VersionMadeBy = h[24];
        L.MethodCode = h[25];
        L.MethodName = RarMethodName(h[25]);
        L.ExternalAttr = Le32(h + 28);
        L.InternalAttr = 32;
        walk.Report();
        walk.position = start + size + static_cast<std::int64_t>(packed);
    }

    // A comment block inside the file header (RAR 1.5 and 2.x): a 13-byte block header and
    // the comment. Only a stored comment is text that can be shown.
    static std::string Comment(ListWalk& walk, std::int64_t at, std::int64_t headerEnd) {
        std::uint8_t c[kCommentHeaderLength];
        if (at + kCommentHeaderLength > headerEnd || !walk.ReadExact(at, c, sizeof c)) return {};
        if (c[2] != kCommentBlock || c[10] != kStoredMethod) return {};
        const std::int64_t room =
            std::min<std::int64_t>(Le16(c + 5), headerEnd - at) - kCommentHeaderLength;
        return walk.ReadText(at + kCommentHeaderLength, std::min<std::int64_t>(Le16(c + 7), room));
    }
};

}  // namespace

std::unique_ptr<FormatWalker> MakeRarWalker() {
    return std::make_unique<RarWalker>();
}

}  // namespace orvello::archive::detail
