// Shrink over arbitrary bytes. A code of at least 9 bits yields at most 8192 bytes.
#include "FuzzDecoder.h"
#include "archive/Unshrink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello::archive;
    fuzzing::Drive(data, size, 8192 * (std::uint64_t{size} + 2),
                   [](InputSource& src) { return std::make_unique<UnshrinkDecoder>(src); });
    return 0;
}
