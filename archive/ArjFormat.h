// Facts of the ARJ format that the lister and the extractor share: the header frame, the hosts
// that store Unix times, and the names of further volumes.
#pragma once

#include <cstdint>
#include <string>

#include "ArcFile.h"
#include "HeaderRead.h"
#include "NameCodec.h"

namespace orvello::archive {

inline constexpr unsigned kArjMaxBasicHeader = 2600;
inline constexpr unsigned kArjFlagGarbled = 1;  // password-protected
inline constexpr unsigned kArjFlagVolume = 4;   // the member continues in the next volume
inline constexpr unsigned kArjFileTypeDirectory = 3;
// Labels hold no data: the disk's volume label, and the entry that opens each chapter of an
// archive made with chapters (arj ac).
inline constexpr unsigned kArjFileTypeVolumeLabel = 4;
inline constexpr unsigned kArjFileTypeChapterLabel = 5;
inline constexpr int kArjMaxVolumes = 999;

// Hosts whose ARJ stores the modification time as a Unix time instead of a DOS date-time.
inline bool ArjUnixTimeHost(unsigned host) {
    return host == 2 /* UNIX */ || host == 8 /* NeXT */;
}

// The n-th further volume of `archive` (n from 1): NAME.ARJ -> NAME.A01 ... NAME.A99,
// NAME.100 ... NAME.999, in the archive's own folder; the letter follows the case of the
// archive's extension.
std::string ArjVolumeName(const std::string& archive, int n);

// A main or local header: the id 0x60 0xEA, the basic header's size (0 ends the archive), the
// basic header and its CRC-32, then extended headers (a 16-bit size, that many bytes and a
// CRC-32 each, ended by a size of 0). In the basic header: the size of its fixed part at 0,
// version 1, version needed 2, host 3, flags 4, method 5, file type 6, date-time 8, packed size
// 12, size 16, CRC-32 20, mode 26; the name and the comment, each ending in a zero byte,
// follow the fixed part.
struct ArjHeader {
    std::int64_t start = 0;
    unsigned version = 0, needed = 0, host = 0, flags = 0, method = 0, fileType = 0;
    std::uint32_t dateTime = 0;
    std::uint64_t packed = 0, size = 0;
    std::uint32_t crc = 0;
    unsigned mode = 0;
    std::string name;       // decoded
    std::string comment;    // as stored
    std::int64_t data = 0;  // where the data after the header begins
    std::int64_t next = 0;  // where the next header begins
};

// Reads the header at `at` (`main`: an archive's main header, which has no data and whose
// size fields mean other things): kHeader; kEnd at a basic header of size 0; or kDamaged with
// errBadFileHeader (no id, or sizes that cannot hold the header), errHeaderCRC, or
// errDamagedArchive where the file ends inside the header or the member's data.
HeaderRead<ArjHeader> ReadArjHeader(ArcFile& file, std::int64_t at, const NameDecoder& names,
                                    bool main = false);

}  // namespace orvello::archive
