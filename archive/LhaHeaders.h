// Parts of LHA headers that the lister and the extractor both read.
#pragma once

#include <cstdint>
#include <string>

#include "ArcFile.h"

namespace orvello::archive {

// What a chain of extended headers says about a member's name.
struct LhaExtendedNames {
    std::string name;    // extended header 1, when there is one
    std::string folder;  // extended header 2, with "/" for its 0xFF separators
    bool hasName = false;
};

// Walks a chain of extended headers that starts at `at` with the size `size` (the size of
// each next one is in the last `sizeWidth` bytes, 2 or 4, of the one before; 0 ends it),
// never past `limit`. A header that does not fit ends the chain. Returns the bytes it takes.
std::int64_t ReadLhaExtendedHeaders(ArcFile& file, std::int64_t at, std::uint64_t size,
                                    std::int64_t limit, unsigned sizeWidth,
                                    LhaExtendedNames& names);

}  // namespace orvello::archive
