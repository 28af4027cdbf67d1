// ARC's squeeze and run-length steps over arbitrary bytes: the tree from the data (too many
// nodes, links out of range and loops are errors), then codes of at least one bit, each
// expanded at most 255 times.
#include "FuzzDecoder.h"
#include "archive/ArcRle.h"
#include "archive/Unsqueeze.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello::archive;
    fuzzing::Drive(data, size, 255 * 8 * (std::uint64_t{size} + 1), [](InputSource& src) {
        return std::make_unique<ArcRleDecoder>(std::make_unique<UnsqueezeDecoder>(src));
    });
    return 0;
}
