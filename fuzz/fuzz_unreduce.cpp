// Reduce over arbitrary bytes: the second byte picks the factor, the next two the recorded
// size, which the decoder must never exceed.
#include "FuzzDecoder.h"
#include "archive/Unreduce.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello::archive;
    if (size < 4) return 0;
    const unsigned factor = 1 + data[1] % 4;
    const std::uint64_t recorded = data[2] | data[3] << 8;
    fuzzing::Drive(data + 3, size - 3, recorded, [&](InputSource& src) {
        return std::make_unique<UnreduceDecoder>(src, factor, recorded);
    });
    return 0;
}
