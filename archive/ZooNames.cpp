#include "ZooNames.h"

#include "ArcGlobals.h"
#include "ArcTypes.h"
#include "ByteOrder.h"
#include "NameCodec.h"

namespace orvello::archive {

namespace {

// The bytes up to the first zero byte.
std::string UpToZero(std::string s) {
    const auto zero = s.find('\0');
    if (zero != std::string::npos) s.resize(zero);
    return s;
}

std::string ReadUpTo(ArcFile& file, std::int64_t at, std::size_t n) {
    std::string s(n, '\0');
    s.resize(file.ReadAt(at, reinterpret_cast<std::uint8_t*>(s.data()), n));
    return s;
}

// The entry's name (see ZooEntry::name). `entry` holds `length` bytes read at `at`; the long
// name and folder follow them in the file.
std::string EntryName(ArcFile& file, std::int64_t at, const std::uint8_t* entry, std::size_t length,
                      const NameDecoder& decode) {
    std::string name = UpToZero(std::string(reinterpret_cast<const char*>(entry + 38), 13));
    std::string folder;
    // Entries of type 2 may carry a long name and a folder in their variable part.
    if (entry[4] == 2 && length >= kZooEntryLength) {
        const unsigned variable = Le16(entry + 51), longLength = entry[56],
                       folderLength = entry[57];
        if (2u + longLength + folderLength <= variable) {
            const std::int64_t p = at + static_cast<std::int64_t>(kZooEntryLength);
            const std::string longName = UpToZero(ReadUpTo(file, p, longLength));
            folder = UpToZero(ReadUpTo(file, p + longLength, folderLength));
            if (!longName.empty()) name = longName;
        }
    }
    name = decode(name);
    folder = decode(folder);
    if (folder.empty()) return name;
    return folder + (folder.back() == '/' ? "" : "/") + name;
}

}  // namespace

HeaderRead<ZooEntry> ReadZooEntry(ArcFile& file, std::int64_t at, const NameDecoder& names) {
    using Read = HeaderRead<ZooEntry>;
    constexpr std::uint32_t kEntryTag = 0xFDC4A7DCu;
    constexpr std::size_t kFixedEntryLength = 51;
    std::uint8_t entry[kZooEntryLength];
    const std::size_t got = file.ReadAt(at, entry, sizeof entry);
    if (got < 10 || Le32(entry) != kEntryTag) return Read::Damaged(errBadFileHeader);
    Read r;
    ZooEntry& e = r.header;
    e.start = at;
    e.next = Le32(entry + 6);
    if (e.next == 0) return Read::End();
    if (got < kFixedEntryLength) return Read::Damaged(errDamagedArchive);
    e.type = entry[4];
    e.method = entry[5];
    e.data = Le32(entry + 10);
    e.dosDateTime = SwapDosHalves(Le32(entry + 14));
    e.crc = Le16(entry + 18);
    e.size = Le32(entry + 20);
    e.packed = Le32(entry + 24);
    e.versionMadeBy = entry[28];
    e.versionNeeded = entry[29];
    e.deleted = entry[30] != 0;
    e.commentAt = Le32(entry + 32);
    e.commentLength = Le16(entry + 36);
    e.name = EntryName(file, at, entry, got, names);
    r.status = HeaderStatus::kHeader;
    if (e.data + static_cast<std::int64_t>(e.packed) > file.Size()) {
        r.status = HeaderStatus::kDamaged;
        r.error = errDamagedArchive;
        r.named = e.name;
        r.headerWhole = true;
    }
    return r;
}

}  // namespace orvello::archive
