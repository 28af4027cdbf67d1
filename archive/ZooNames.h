// ZOO directory entries, read one way for the lister and the extractor.
//
// An entry (little-endian): tag 0xFDC4A7DC at 0, type 4, method 5, next entry 6 (0 ends the
// chain), data offset 10, DOS date 14 and time 16, CRC-16 18, uncompressed size 20, compressed
// size 24, versions 28 and 29, deleted flag 30, comment offset 32 and length 36, short name 38
// (13 bytes); entries of type 2 go on with a variable part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "ArcFile.h"
#include "HeaderRead.h"
#include "NameCodec.h"

namespace orvello::archive {

// Bytes of a directory entry that name it: the fixed part (51 bytes) and, for entries of type
// 2, the start of the variable part (its size at 51, the long name's and the folder's lengths
// at 56 and 57).
inline constexpr std::size_t kZooEntryLength = 58;

struct ZooEntry {
    std::int64_t start = 0;
    unsigned type = 0, method = 0;
    std::int64_t next = 0;  // the next entry
    std::int64_t data = 0;
    std::uint32_t dosDateTime = 0;  // time in the low half
    std::uint16_t crc = 0;
    std::uint64_t size = 0, packed = 0;
    unsigned versionMadeBy = 0, versionNeeded = 0;
    bool deleted = false;
    std::int64_t commentAt = 0;
    unsigned commentLength = 0;
    // Decoded, with "/" between folders: the long name where the entry has one, else the
    // 13-character short name, behind the stored folder.
    std::string name;
};

// Reads the directory entry at `at`: kHeader; kEnd at the entry that ends the chain; or
// kDamaged: errBadFileHeader where there is no entry, errDamagedArchive where the file ends
// inside it or inside the member's data.
HeaderRead<ZooEntry> ReadZooEntry(ArcFile& file, std::int64_t at, const NameDecoder& names);

}  // namespace orvello::archive
