#include "LhaHeaders.h"

#include <algorithm>
#include <vector>

#include "ArcPaths.h"
#include "ByteOrder.h"

namespace orvello::archive {

namespace {

constexpr std::size_t kFixedLength = 22;
// A level-0 or level-1 header: the size byte, its 255 bytes, the checksum byte and the size of
// the first extended header; also more than the fixed part of levels 2 and 3.
constexpr std::size_t kMaxShortHeader = 2 + 255 + 2;
constexpr unsigned kExtName = 1;
constexpr unsigned kExtFolder = 2;
// Extended headers hold names, dates and attributes: never more than this.
constexpr std::uint64_t kMaxExtendedHeader = 65535;

struct ExtendedNames {
    std::string name;    // extended header 1, when there is one
    std::string folder;  // extended header 2, with "/" for its 0xFF separators
    bool hasName = false;
};

// Walks a chain of extended headers that starts at `at` with the size `size` (the size of each
// next one is in the last `sizeWidth` bytes, 2 or 4, of the one before; 0 ends it). A size
// that cannot hold a header or reaches past `limit` (the end of the member's header, or of its
// data for level 1) is a lie (errBadFileHeader); a file that ends inside one is cut
// (errDamagedArchive). Sets `taken` to the bytes the chain takes; gives the code.
int ReadExtendedHeaders(ArcFile& file, std::int64_t at, std::uint64_t size, std::int64_t limit,
                        unsigned sizeWidth, ExtendedNames& names, std::int64_t& taken) {
    const std::int64_t begin = at;
    std::vector<std::uint8_t> ext;
    while (size != 0) {
        if (size < 1 + sizeWidth || size > kMaxExtendedHeader ||
            at + static_cast<std::int64_t>(size) > limit)
            return errBadFileHeader;
        ext.resize(size);
        if (!file.ReadExact(at, ext.data(), ext.size())) return errDamagedArchive;
        const std::string data(ext.begin() + 1, ext.end() - sizeWidth);
        if (ext[0] == kExtName) {
            names.name = data;
            names.hasName = true;
        } else if (ext[0] == kExtFolder) {
            names.folder = data;
            std::replace(names.folder.begin(), names.folder.end(), '\xFF', '/');
        }
        at += static_cast<std::int64_t>(size);
        const std::uint8_t* tail = ext.data() + size - sizeWidth;
        size = sizeWidth == 2 ? Le16(tail) : Le32(tail);
    }
    taken = at - begin;
    return kOk;
}

}  // namespace

HeaderRead<LhaHeader> ReadLhaHeader(ArcFile& file, std::int64_t at, const NameDecoder& decode) {
    using Read = HeaderRead<LhaHeader>;
    const std::int64_t fileSize = file.Size();
    if (at >= fileSize) return Read::End();
    // One read takes the whole header of levels 0 and 1 (at most 257 bytes and the first
    // extended header's size) and the fixed part of levels 2 and 3.
    std::uint8_t h[kMaxShortHeader];
    const std::size_t got = file.ReadAt(at, h, sizeof h);
    if (got < kFixedLength) {
        // A lone zero byte (or a few) is the end marker; anything else is a cut header.
        return h[0] == 0 ? Read::End() : Read::Damaged(errDamagedArchive);
    }
    Read r;
    LhaHeader& m = r.header;
    m.start = at;
    std::copy(h + 2, h + 7, m.method.begin());
    m.packed = Le32(h + 7);
    m.size = Le32(h + 11);
    m.attribute = Le16(h + 19);
    m.level = h[20];
    const bool methodId = h[2] == '-' && h[6] == '-';
    ExtendedNames names;
    if ((m.level == 2 || m.level == 3) && methodId) {
        const unsigned width = m.level == 2 ? 2 : 4;
        const std::size_t fixed = m.level == 2 ? 26 : 32;
        if (got < fixed) return Read::Damaged(errDamagedArchive);
        const std::int64_t headerSize = m.level == 2 ? Le16(h) : Le32(h + 24);
        if (headerSize < static_cast<std::int64_t>(fixed)) return Read::Damaged(errBadFileHeader);
        std::int64_t taken = 0;
        const int e = ReadExtendedHeaders(file, at + static_cast<std::int64_t>(fixed),
                                          m.level == 2 ? Le16(h + 24) : Le32(h + 28),
                                          at + headerSize, width, names, taken);
        if (e != kOk) return Read::Damaged(e, names.hasName ? decode(names.name) : std::string());
        if (at + headerSize > fileSize) return Read::Damaged(errDamagedArchive, decode(names.name));
        m.crc = Le16(h + 21);
        m.time = Le32(h + 15);
        m.unixTime = true;
        m.data = at + headerSize;
    } else {
        const unsigned size = h[0], nameLength = h[21];
        if (size == 0) return Read::End();
        // The fixed part, the name and its CRC must fit the header.
        if (kFixedLength + nameLength > size) return Read::Damaged(errBadFileHeader);
        if (got < kFixedLength + nameLength + 2 || at + size + 2 > fileSize)
            return Read::Damaged(errDamagedArchive);
        names.name.assign(reinterpret_cast<const char*>(h + kFixedLength), nameLength);
        m.crc = Le16(h + kFixedLength + nameLength);
        m.time = Le32(h + 15);
        m.data = at + size + 2;
        if (m.level == 1 && size >= 25u + nameLength && got >= 27u + nameLength) {
            // The packed size counts the extended headers; the data follows them.
            std::int64_t taken = 0;
            const int e =
                ReadExtendedHeaders(file, m.data, Le16(h + 25 + nameLength),
                                    m.data + static_cast<std::int64_t>(m.packed), 2, names, taken);
            if (e != kOk) return Read::Damaged(e, decode(names.name));
            m.data += taken;
            m.packed -= static_cast<std::uint64_t>(taken);
        }
    }
    // Folder and name are decoded apart: they come from different headers.
    m.name = decode(names.name);
    if (!names.folder.empty()) m.folder = decode(names.folder);
    m.next = m.data + static_cast<std::int64_t>(m.packed);
    if (m.next > fileSize) {
        // The member's data is cut: the header is there, but the walk cannot go on after it.
        r.status = HeaderStatus::kDamaged;
        r.error = errDamagedArchive;
        r.named = m.Listed();
        r.headerWhole = true;
        return r;
    }
    r.status = HeaderStatus::kHeader;
    return r;
}

}  // namespace orvello::archive
