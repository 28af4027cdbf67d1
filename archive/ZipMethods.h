// The table of ZIP compression methods: which decoder reads each method number.
#pragma once

#include <cstdint>
#include <memory>

#include "Decoder.h"

namespace orvello::archive {

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
