// The name of a ZOO directory entry, as the lister shows it and the extractor writes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "ArcFile.h"

namespace orvello::archive {

// Bytes of a directory entry that name it: the fixed part (51 bytes) and, for entries of type
// 2, the start of the variable part (its size at 51, the long name's and the folder's lengths
// at 56 and 57).
inline constexpr std::size_t kZooEntryLength = 58;

// The entry's name, decoded to UTF-8, with "/" between folders: the long name where the entry
// has one, else the 13-character short name, behind the stored folder. `entry` holds `length` bytes
// read at `at`; the long name and folder follow them in the file.
std::string ZooEntryName(ArcFile& file, std::int64_t at, const std::uint8_t* entry,
                         std::size_t length);

}  // namespace orvello::archive
