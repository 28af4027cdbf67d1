// ARC's LZW methods over arbitrary bytes: the early 12-bit crunch with the old hash (5, and 6
// with run-length expansion) and the new hash (7), crunched 8 and squashed 9. Bit 1 to 3 of
// the first byte pick the method. A code yields at most 4096 bytes, each expanded at most 255
// times.
#include "FuzzDecoder.h"
#include "archive/ArcMethods.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello::archive;
    if (size == 0) return 0;
    const unsigned method = 5 + (data[0] >> 1) % 5;
    fuzzing::Drive(data, size, 4096 * 255 * (std::uint64_t{size} + 1),
                   [method](InputSource& src) { return MakeArcDecoder(method, 0, src); });
    return 0;
}
