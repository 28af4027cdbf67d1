// The table of ZIP compression methods: which decoder reads each method number.
#pragma once

#include <cstdint>
#include <memory>

#include "Decoder.h"
#include "MemberEnd.h"

namespace orvello::archive {

// The end of a ZIP member: every failure is said and OnEnd always follows, passing only a
// whole file with a good CRC-32; a file that cannot be made ends the call; a decoder's own
// failure goes to the information box when nobody listens to OnError.
inline constexpr MemberEndRules kZipEndRules{.endWhenNotCreated = true,
                                             .skippedWhenNotCreated = false,
                                             .checkAfterFailure = true,
                                             .endAfterBadCheck = true,
                                             .endWhenNotWhole = true,
                                             .countFailed = true,
                                             .stopWhenNotCreated = true,
                                             .failureToHost = true};

// The decoder for a ZIP member's method, reading `src`; nullptr for a method we do not read.
// `flags` are the general-purpose flags (implode's dictionary size and literal tree); `size`
// is the recorded uncompressed size (reduce and implode have no end marker).
std::unique_ptr<Decoder> MakeZipDecoder(std::uint16_t method, std::uint16_t flags,
                                        std::uint64_t size, InputSource& src);

// Whether MakeZipDecoder has a decoder for the method.
bool IsDecodedZipMethod(std::uint16_t method);

// The error a member gets when its data yields more bytes than its recorded size.
int ZipExcessCode(std::uint16_t method);

}  // namespace orvello::archive
