#include "ArjMethods.h"

#include "ArjFast.h"
#include "LhaBlock.h"
#include "StoredDecoder.h"

namespace orvello::archive {

std::unique_ptr<Decoder> MakeArjDecoder(unsigned method, std::uint64_t size, InputSource& src) {
    switch (method) {
        case 0:
            return std::make_unique<StoredDecoder>(src);
        case 1:
        case 2:
        case 3:
            // The LHA block method with a 64 KB dictionary and 5-bit position counts.
            return std::make_unique<LhaBlockDecoder>(src, 16, 5, size);
        case 4:
            return std::make_unique<ArjFastDecoder>(src, size);
        default:
            return nullptr;
    }
}

}  // namespace orvello::archive
