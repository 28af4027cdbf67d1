// The LHA block method over arbitrary bytes. The first byte picks the dictionary bits (12 to
// 16), the count width (4 or 5) and what a match before the start means; the next two the
// recorded size, which the decoder must never exceed.
#include "FuzzDecoder.h"
#include "archive/LhaBlock.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello::archive;
    if (size < 4) return 0;
    const unsigned dictBits = 12 + data[1] % 5;
    const unsigned countBits = 4 + (data[1] >> 3 & 1);
    const auto before = data[1] & 0x80 ? LhaBlockDecoder::BeforeStart::kZeros
                                       : LhaBlockDecoder::BeforeStart::kError;
    const std::uint64_t recorded = (data[2] | data[3] << 8) * std::uint64_t{4};
    fuzzing::Drive(data + 3, size - 3, recorded, [&](InputSource& src) {
        return std::make_unique<LhaBlockDecoder>(src, dictBits, countBits, recorded, before);
    });
    return 0;
}
