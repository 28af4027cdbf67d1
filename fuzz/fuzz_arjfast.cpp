// ARJ method 4 over arbitrary bytes, with a recorded size of 1 MB: the decoder stops there or
// fails. A match is at most 256 bytes for at least 15 bits.
#include "FuzzDecoder.h"
#include "archive/ArjFast.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello::archive;
    fuzzing::Drive(data, size, std::uint64_t{1} << 20, [](InputSource& src) {
        return std::make_unique<ArjFastDecoder>(src, std::uint64_t{1} << 20);
    });
    return 0;
}
