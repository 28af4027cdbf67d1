// The headers of a ZIP archive: the records at its end that say where the central directory
// is, the central headers with their ZIP64 extra field (read by the lister and the extractor
// alike) and the local header in front of each member's data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include <string>

#include "ArcFile.h"
#include "HeaderRead.h"
#include "NameCodec.h"

namespace orvello::archive {

struct ZipEndRecord {
    std::int64_t offset = 0;   // of the end record ("PK" 5 6): 22 bytes, then the comment
    std::int64_t central = 0;  // of the first central header, the shift added
    std::uint16_t commentLength = 0;
};

// Finds the last end record in the final 32 KB of the file, scanning from the last place a
// record fits down to the window's second byte. `shift` is added to the offsets the archive
// records (a ZIP inside a self-extracting program that counts from its own start). When the
// directory offset is all ones, the archive is a ZIP64 one: the offset is read from the ZIP64
// end record that the ZIP64 locator just before the end record points at. Nothing when there
// is no end record.
std::optional<ZipEndRecord> FindZipEndRecord(ArcFile& file, std::int64_t shift);

// A central header's values, as its 32-bit fields hold them; a field of all ones is replaced
// by the 64-bit value of the ZIP64 extra field (id 1), where they stand in this order, each
// only when its field is all ones. A value no real archive can hold (2^62 or more) is not
// taken, so offsets and sizes can be added without overflow.
struct Zip64Values {
    std::uint64_t size = 0;
    std::uint64_t packed = 0;
    std::uint64_t localHeader = 0;

    bool NeedExtra() const;
    void Apply(const std::uint8_t* extra, std::size_t length);
};

// A central directory header ("PK" 1 2): versions 4 and 6, flags 8, method 10, DOS time 12
// and date 14, CRC-32 16, packed size 20, size 24, the lengths of name 28, extra field 30 and
// comment 32, internal attributes 36, external 38, local header offset 42; then the name, the
// extra field and the comment.
struct ZipCentralEntry {
    std::int64_t start = 0;
    std::uint16_t versionMadeBy = 0, versionNeeded = 0, flags = 0, method = 0;
    std::uint16_t dosTime = 0, dosDate = 0;
    std::uint32_t crc = 0;
    std::uint64_t size = 0, packed = 0;  // ZIP64 values applied
    std::int64_t localHeader = 0;        // file offset, the shift added
    std::uint16_t internalAttr = 0;
    std::uint32_t externalAttr = 0;
    std::string name;     // decoded (a Unicode mark of its own wins over the chosen encoding)
    std::string comment;  // as stored
    std::int64_t next = 0;
};

// Reads the central header at `at`: kHeader; kEnd where no central header is (the directory
// has ended); kDamaged with errReadFile where the file ends inside the header's name.
HeaderRead<ZipCentralEntry> ReadZipCentralEntry(ArcFile& file, std::int64_t at, std::int64_t shift,
                                                const NameDecoder& names);

// A local header ("PK" 3 4, or the 00 00 00 50 of the old ZIP 2.50 self-extractors): flags 6,
// method 8, DOS time 10 and date 12, CRC-32 14, sizes 18 and 22, the lengths of name 26 and
// extra field 28; then the name, the extra field and the member's data. The central header
// is what the extractor trusts for the member; the local one gives where the data begins and
// the values the traditional encryption checks against.
struct ZipLocalHeader {
    std::int64_t start = 0;
    std::uint16_t flags = 0, method = 0, dosTime = 0;
    std::uint32_t crc = 0;
    std::int64_t data = 0;  // where the member's data begins
};

// Reads the local header at `at`: kHeader, or kDamaged with errLocalHeader where the file has
// no whole local header there.
HeaderRead<ZipLocalHeader> ReadZipLocalHeader(ArcFile& file, std::int64_t at);

}  // namespace orvello::archive
