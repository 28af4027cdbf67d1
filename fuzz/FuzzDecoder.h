// Shared body of the decoder fuzz targets: drives a decoder over the input with output
// requests of varying sizes and traps a decoder that hands out more than it was asked for or
// keeps producing without end.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "archive/Decoder.h"

namespace orvello::archive::fuzzing {

// The first input byte picks the sizes of the output requests; the rest is the stream.
template <class MakeDecoder>
void Drive(const std::uint8_t* data, std::size_t size, std::uint64_t outputLimit,
           MakeDecoder make) {
    if (size == 0) return;
    const unsigned pattern = data[0];
    MemorySource src(std::span<const std::uint8_t>(data + 1, size - 1));
    auto dec = make(src);
    std::vector<std::uint8_t> buf(70000);
    std::uint64_t total = 0;
    for (unsigned call = 0;; ++call) {
        const std::size_t ask =
            1 + (pattern * 7919u + call * 104729u) % (pattern & 1 ? 65536u : 97u);
        std::size_t produced = 0;
        const int r = dec->Read(buf.data(), ask, produced);
        if (produced > ask) std::abort();  // more than asked
        total += produced;
        if (r != kOk || produced == 0) break;
        if (total > outputLimit) std::abort();  // a decoder that does not end
    }
    if (dec->Consumed() > size - 1) std::abort();  // claims input it was never given
}

}  // namespace orvello::archive::fuzzing
