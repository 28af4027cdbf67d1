// Deflate over arbitrary bytes. Every deflate symbol takes at least one input bit and yields at
// most 258 bytes, so the output is bounded by the input size.
#include "FuzzDecoder.h"
#include "archive/Inflat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello::archive;
    fuzzing::Drive(data, size, 258 * 8 * (std::uint64_t{size} + 64),
                   [](InputSource& src) { return std::make_unique<InflateDecoder>(src); });
    return 0;
}
