#include "ZipMethods.h"

#include "ArcTypes.h"
#include "Explode.h"
#include "Inflat.h"
#include "StoredDecoder.h"
#include "Unreduce.h"
#include "Unshrink.h"

namespace orvello::archive {

std::unique_ptr<Decoder> MakeZipDecoder(std::uint16_t method, std::uint16_t flags,
                                        std::uint64_t size, InputSource& src) {
    switch (method) {
        case 0:
            return std::make_unique<StoredDecoder>(src);
        case 1:
            return std::make_unique<UnshrinkDecoder>(src);
        case 2:
        case 3:
        case 4:
        case 5:
            return std::make_unique<UnreduceDecoder>(src, method - 1u, size);
        case 6:
            return std::make_unique<ExplodeDecoder>(src, flags, size);
        case 8:
            return std::make_unique<InflateDecoder>(src);
        default:
            return nullptr;
    }
}

bool IsDecodedZipMethod(std::uint16_t method) {
    return method <= 6 || method == 8;
}

int ZipExcessCode(std::uint16_t method) {
    // Shrink has no end marker besides the end of its data, so a surplus there is a code that
    // should not be; stored data longer than recorded and deflate blocks going on past the size
    // are damaged blocks.
    return method == 1 ? errInvalidCode : errBadBlock;
}

}  // namespace orvello::archive
