// The table of ARC methods: which decoders read each method number.
#pragma once

#include <cstdint>
#include <memory>

#include "Decoder.h"

namespace orvello::archive {

// The decoder for an ARC member's method (1 to 9), reading `src`; nullptr for any other.
// `size` is the recorded uncompressed size, where a squeezed stream without its end code stops.
std::unique_ptr<Decoder> MakeArcDecoder(unsigned method, std::uint64_t size, InputSource& src);

}  // namespace orvello::archive
