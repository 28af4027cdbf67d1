// The table of LHA methods: which decoder reads each method id. An id is taken whole: "-lh5-"
// is the block decoder with 13 dictionary bits, while "-lz5-" or "lh5" are not methods we read.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "Decoder.h"
#include "MemberEnd.h"

namespace orvello::archive {

// The end of an LHA member: OnEnd follows whatever happened; only a member decoded without
// failure counts.
inline constexpr MemberEndRules kLhaEndRules{.endWhenNotCreated = true,
                                             .skippedWhenNotCreated = false,
                                             .checkAfterFailure = true,
                                             .endAfterBadCheck = true,
                                             .endWhenNotWhole = true,
                                             .countFailed = false,
                                             .stopWhenNotCreated = false,
                                             .failureToHost = false};

// The decoder for an LHA method id, reading `src`; `size` is the recorded uncompressed size.
// nullptr for an id we do not read.
std::unique_ptr<Decoder> MakeLhaDecoder(std::string_view id, std::uint64_t size, InputSource& src);

// "-lhd-": a folder entry, with no data.
bool IsLhaFolderMethod(std::string_view id);
// "-lh0-": stored without compression.
bool IsLhaStoredMethod(std::string_view id);

}  // namespace orvello::archive
