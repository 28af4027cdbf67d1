// Archive type detection: which format a file holds and where its archive data begins.
//
// Plain archives are recognised by the signature of their first bytes. Executables
// (self-extracting archives) are searched in three places in turn: the offsets named by the
// program's string resources 1 to 4, the end of its DOS image, and, for ZIP, an end record in
// the file's tail.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ArcFile.h"
#include "ArcTypes.h"

namespace orvello::archive {

// Where four signature bytes were met: at the start of the file, or inside an executable at
// a place where an embedded archive may begin.
enum class SignaturePlace { AtStart, InsideExe };

struct Classification {
    TArcType type = TArcType::atUnknown;
    // Set when the signature itself fixes where the archive starts (0-based).
    std::optional<std::int64_t> dataStart;
};

// The first bytes at a place where an archive may begin: 4 are always there, up to 7 when the
// file holds them (the LHA method id runs from byte 2 to byte 6).
struct SignatureBytes {
    std::uint8_t b[7] = {};
    std::size_t count = 4;
};

// The type the bytes announce. Signatures that only count at the start of a file give atNA
// when met inside an executable.
Classification ClassifySignature(const SignatureBytes& s, SignaturePlace place);

struct Detection {
    TArcType type = TArcType::atNA;
    // 0-based position of the archive data: StartOffset - 1 (for a ZIP found through its end
    // record behind a program, StartOffset is the local header offset it records, so this may
    // be -1).
    std::int64_t dataStart = 0;
    std::int64_t zipSfxOffset = 0;  // offset of a ZIP found through string resources
    std::int64_t archiveSize = 0;
};

// Detects the type of an open file. `name` is the file's path (its extension decides whether
// the TAR test runs); zipCmntBufSize widens the tail window searched for a ZIP end record.
Detection DetectArchive(ArcFile& file, const std::string& name, std::int32_t zipCmntBufSize);

}  // namespace orvello::archive
