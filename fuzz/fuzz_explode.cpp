// Implode over arbitrary bytes: the second byte gives the general-purpose flags (dictionary
// size and literal tree), the next two the recorded size, which the decoder must never exceed.
#include "FuzzDecoder.h"
#include "archive/Explode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello::archive;
    if (size < 4) return 0;
    const auto flags = static_cast<std::uint16_t>(data[1] & 6);
    const std::uint64_t recorded = data[2] | data[3] << 8;
    fuzzing::Drive(data + 3, size - 3, recorded, [&](InputSource& src) {
        return std::make_unique<ExplodeDecoder>(src, flags, recorded);
    });
    return 0;
}
