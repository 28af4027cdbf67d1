// The LHA member header, read one way for the lister and the extractor.
//
// Levels 0 and 1: header size H at 0 (bytes after the first two; 0 ends the archive), method
// id "-lh5-" at 2, packed size 7, uncompressed size 11, DOS date-time 15, attribute 19, level
// 20, name length N 21, name 22, CRC-16 22 + N; level 1 adds the system id and the size of the
// first extended header at 24 + N and 25 + N. The data follows at H + 2 (level 1: after the
// extended headers, which the packed size includes); the next header follows the data.
// Level 2: 16-bit total header size at 0, Unix time at 15, CRC-16 at 21, the first extended
// header's size at 24 (the fixed part is 26 bytes); the name is in extended header 1. Level 3
// is level 2 with 32-bit sizes: the header size at 24, the first extended size at 28, fixed
// part 32. An extended header is a type byte, its data, and the size of the next one (0 ends
// them); type 1 holds the file name, type 2 the folder with 0xFF between its parts.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ArcFile.h"
#include "HeaderRead.h"
#include "NameCodec.h"

namespace orvello::archive {

struct LhaHeader {
    std::int64_t start = 0;  // 0-based offset of the header
    unsigned level = 0;
    std::array<char, 5> method{};  // "-lh5-"
    // The decoded name: the name field, or extended header 1 where there is one; the
    // extractor writes under it. `folder` is the decoded folder of extended header 2, empty
    // where there is none; the lister shows it before the name (Listed).
    std::string name;
    std::string folder;
    std::int64_t data = 0;     // where the member's data starts
    std::uint64_t packed = 0;  // of the data alone (level 1: without the extended headers)
    std::uint64_t size = 0;
    std::uint16_t crc = 0;
    std::uint32_t time = 0;  // DOS date-time for levels 0 and 1, else a Unix time
    bool unixTime = false;
    std::uint16_t attribute = 0;  // the bytes at 19 as the lister shows them
    std::int64_t next = 0;        // where the next header starts
    std::string Listed() const {
        if (folder.empty()) return name;
        return folder.back() == '/' ? folder + name : folder + "/" + name;
    }
    bool Folder() const { return method[1] == 'l' && method[2] == 'h' && method[3] == 'd'; }
};

// Reads the header at `at`: kHeader, kEnd at the end marker or the end of the file, or
// kDamaged with the code (errBadFileHeader for sizes that lie, errDamagedArchive where the file
// ends inside the header or the member's data). Names are decoded here, with `names`.
HeaderRead<LhaHeader> ReadLhaHeader(ArcFile& file, std::int64_t at, const NameDecoder& names);

}  // namespace orvello::archive
