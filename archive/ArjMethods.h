// The table of ARJ methods: which decoder reads each method number.
#pragma once

#include <cstdint>
#include <memory>

#include "Decoder.h"
#include "MemberEnd.h"

namespace orvello::archive {

// The end of an ARJ member: no OnEnd for a file that could not be made; every file made
// counts.
inline constexpr MemberEndRules kArjEndRules{.endWhenNotCreated = false,
                                             .skippedWhenNotCreated = false,
                                             .checkAfterFailure = true,
                                             .endAfterBadCheck = true,
                                             .endWhenNotWhole = true,
                                             .countFailed = true,
                                             .stopWhenNotCreated = false,
                                             .failureToHost = false};

// The decoder for an ARJ member's method (0 to 4), reading `src`; nullptr for any other.
// `size` is the recorded uncompressed size: no ARJ method has an end marker.
std::unique_ptr<Decoder> MakeArjDecoder(unsigned method, std::uint64_t size, InputSource& src);

}  // namespace orvello::archive
