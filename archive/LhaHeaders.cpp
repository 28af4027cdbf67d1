#include "LhaHeaders.h"

#include <algorithm>
#include <vector>

#include "ArcPaths.h"
#include "ByteOrder.h"

namespace orvello::archive {

namespace {

constexpr std::size_t kFixedLength = 22;
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
    std::uint8_t h[32];
    const std::size_t got = file.ReadAt(at, h, kFixedLength);
    if (got < kFixedLength) {
        // A lone zero byte (or a few) is the end marker; anything else is a cut header.
        return h[0] == 0 ? Read::End() : Read::Damaged(errDamagedArchive);
    }
    Read r;
    r.status = HeaderStatus::kHeader;
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
        if (!file.ReadExact(at, h, fixed)) return Read::Damaged(errDamagedArchive);
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
        names.name.resize(nameLength);
        std::uint8_t crc[2];
        if (!file.ReadExact(at + 22, reinterpret_cast<std::uint8_t*>(names.name.data()),
                            nameLength) ||
            !file.ReadExact(at + 22 + nameLength, crc, 2) || at + size + 2 > fileSize) {
            return Read::Damaged(errDamagedArchive);
        }
        m.crc = Le16(crc);
        m.time = Le32(h + 15);
        m.data = at + size + 2;
        std::uint8_t first[2];
        if (m.level == 1 && size >= 25u + nameLength &&
            file.ReadExact(at + 25 + nameLength, first, 2)) {
            // The packed size counts the extended headers; the data follows them.
            std::int64_t taken = 0;
            const std::string own = names.name;
            const int e =
                ReadExtendedHeaders(file, m.data, Le16(first),
                                    m.data + static_cast<std::int64_t>(m.packed), 2, names, taken);
            if (e != kOk) return Read::Damaged(e, decode(names.name));
            m.data += taken;
            m.packed -= static_cast<std::uint64_t>(taken);
        }
    }
    m.ownName = decode(names.name);
    // Folder and name are decoded apart: they come from different headers.
    const std::string folder = decode(names.folder);
    m.name = folder.empty()         ? m.ownName
             : folder.back() == '/' ? folder + m.ownName
                                    : folder + "/" + m.ownName;
    m.next = m.data + static_cast<std::int64_t>(m.packed);
    if (m.next > fileSize) {
        // The member's data is cut: the header is there, but the walk cannot go on after it.
        r.status = HeaderStatus::kDamaged;
        r.error = errDamagedArchive;
        r.named = m.name;
        r.headerWhole = true;
    }
    return r;
}

}  // namespace orvello::archive
