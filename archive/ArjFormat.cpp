#include "ArjFormat.h"

#include <algorithm>
#include <array>
#include <span>

#include "ArcGlobals.h"
#include "ArcPaths.h"
#include "ByteOrder.h"

namespace orvello::archive {

std::string ArjVolumeName(const std::string& archive, int n) {
    const std::string folder = FolderPart(archive), file = FileNamePart(archive);
    const auto dot = file.find_last_of('.');
    const std::string base = dot == std::string::npos ? file : file.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : file.substr(dot + 1);
    const bool lower =
        std::any_of(ext.begin(), ext.end(), [](char c) { return c >= 'a' && c <= 'z'; }) &&
        std::none_of(ext.begin(), ext.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    const std::string letter = lower ? "a" : "A";
    std::string number = std::to_string(n);
    if (n <= 9) {
        number = letter + "0" + number;
    } else if (n <= 99) {
        number = letter + number;
    }
    return folder + base + "." + number;
}

HeaderRead<ArjHeader> ReadArjHeader(ArcFile& file, std::int64_t at, const NameDecoder& names,
                                    bool main) {
    using Read = HeaderRead<ArjHeader>;
    // The fixed fields every header has, up to and including the host data.
    constexpr unsigned kFixedFields = 30;
    std::uint8_t frame[4];
    if (!file.ReadExact(at, frame, sizeof frame))
        return Read::Damaged(at >= file.Size() ? errBadFileHeader : errDamagedArchive);
    if (frame[0] != 0x60 || frame[1] != 0xEA) return Read::Damaged(errBadFileHeader);
    const unsigned size = Le16(frame + 2);
    if (size == 0) return Read::End();
    if (size > kArjMaxBasicHeader) return Read::Damaged(errBadFileHeader);
    std::array<std::uint8_t, kArjMaxBasicHeader + 4> b;
    if (!file.ReadExact(at + 4, b.data(), size + 4)) return Read::Damaged(errDamagedArchive);
    if (Crc32(std::span(b.data(), size)) != Le32(&b[size])) return Read::Damaged(errHeaderCRC);
    if (size < kFixedFields) return Read::Damaged(errBadFileHeader);
    Read r;
    ArjHeader& h = r.header;
    h.start = at;
    h.version = b[1];
    h.needed = b[2];
    h.host = b[3];
    h.flags = b[4];
    h.method = b[5];
    h.fileType = b[6];
    h.dateTime = Le32(&b[8]);
    h.packed = Le32(&b[12]);
    h.size = Le32(&b[16]);
    h.crc = Le32(&b[20]);
    h.mode = Le16(&b[26]);
    std::size_t i = b[0];
    std::string name;
    for (; i < size && b[i] != 0; ++i)
        name += static_cast<char>(b[i]);
    for (++i; i < size && b[i] != 0; ++i)
        h.comment += static_cast<char>(b[i]);
    h.name = names(name);
    std::int64_t p = at + 4 + size + 4;
    for (;;) {
        std::uint8_t ext[2];
        if (!file.ReadExact(p, ext, 2)) return Read::Damaged(errDamagedArchive, h.name);
        p += 2;
        if (Le16(ext) == 0) break;
        p += Le16(ext) + 4;
    }
    h.data = p;
    if (main) h.packed = h.size = 0;
    h.next = p + static_cast<std::int64_t>(h.packed);
    r.status = HeaderStatus::kHeader;
    if (h.next > file.Size()) {
        r.status = HeaderStatus::kDamaged;
        r.error = errDamagedArchive;
        r.named = h.name;
        r.headerWhole = true;
    }
    return r;
}

}  // namespace orvello::archive
