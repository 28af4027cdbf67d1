// LZW over arbitrary bytes, as ZOO method 1 and as ARC crunched 8 and squashed 9 (chosen by the
// second byte). Every code takes at least 9 input bits and yields one string of less than 8192
// bytes, so the output is bounded by the input size.
#include "FuzzDecoder.h"
#include "archive/Lzw.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello::archive;
    if (size < 2) return 0;
    const LzwDecoder::Options variants[] = {LzwDecoder::kZoo, LzwDecoder::kArcCrunch,
                                            LzwDecoder::kArcSquash};
    const auto& options = variants[data[1] % 3];
    fuzzing::Drive(data + 1, size - 1, 8192 * (std::uint64_t{size} * 8 / 9 + 8),
                   [&](InputSource& src) { return std::make_unique<LzwDecoder>(src, options); });
    return 0;
}
