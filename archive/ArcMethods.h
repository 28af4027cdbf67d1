// The table of ARC methods: which decoders read each method number.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ArcFile.h"
#include "Decoder.h"
#include "HeaderRead.h"
#include "MemberEnd.h"
#include "NameCodec.h"

namespace orvello::archive {

// The end of an ARC member: OnEnd only for a whole file with a good check value; a file that
// could not be made is also reported skipped.
inline constexpr MemberEndRules kArcEndRules{.endWhenNotCreated = false,
                                             .skippedWhenNotCreated = true,
                                             .checkAfterFailure = true,
                                             .endAfterBadCheck = false,
                                             .endWhenNotWhole = false,
                                             .countFailed = true,
                                             .stopWhenNotCreated = false,
                                             .failureToHost = false};

// The decoder for an ARC member's method (1 to 9), reading `src`; nullptr for any other.
// `size` is the recorded uncompressed size, where a squeezed stream without its end code stops.
std::unique_ptr<Decoder> MakeArcDecoder(unsigned method, std::uint64_t size, InputSource& src);

// An ARC (or PAK) member header: a 0x1A marker, the method (0 ends the archive), a 13-byte
// name, packed size 15, DOS date and time 19 (date first), CRC-16 23, uncompressed size 25.
// Method 1 headers stop before the uncompressed size: 25 bytes instead of 29.
struct ArcHeader {
    std::int64_t start = 0;  // where the marker is, 0-based
    unsigned method = 0;
    std::string name;  // decoded
    std::uint64_t packed = 0;
    std::uint64_t size = 0;
    std::uint32_t dosDateTime = 0;  // time in the low half
    std::uint16_t crc = 0;
    std::int64_t data = 0;  // the member's data
    std::int64_t next = 0;  // where the next header is looked for
};

// Reads the header at `at`, after up to `strayBytes` bytes that stand before its marker:
// kHeader; kEnd at method 0 or the end of the file; or kDamaged: errArchiveType where no
// marker is found, errDamagedArchive where the file ends inside the header or the data.
HeaderRead<ArcHeader> ReadArcHeader(ArcFile& file, std::int64_t at, int strayBytes,
                                    const NameDecoder& names);

}  // namespace orvello::archive
