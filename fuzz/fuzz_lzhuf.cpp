// -lh1- over arbitrary bytes: the second and third bytes give the recorded size, which the
// decoder must never exceed.
#include "FuzzDecoder.h"
#include "archive/Lzhuf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello::archive;
    if (size < 3) return 0;
    const std::uint64_t recorded = data[1] | data[2] << 8 | (data[0] & 0x10) << 12;
    fuzzing::Drive(data + 2, size - 2, recorded,
                   [&](InputSource& src) { return std::make_unique<LzhufDecoder>(src, recorded); });
    return 0;
}
