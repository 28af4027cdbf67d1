// The records at the end of a ZIP archive that say where its central directory is, and the
// ZIP64 extra field of a central header, shared by the lister and the extractor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "ArcFile.h"

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

}  // namespace orvello::archive
