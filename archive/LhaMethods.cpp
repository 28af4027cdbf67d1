#include "LhaMethods.h"

#include "LhaBlock.h"
#include "Lzhuf.h"
#include "StoredDecoder.h"

namespace orvello::archive {

std::unique_ptr<Decoder> MakeLhaDecoder(std::string_view id, std::uint64_t size, InputSource& src) {
    if (IsLhaStoredMethod(id)) return std::make_unique<StoredDecoder>(src);
    if (id == "-lh1-") return std::make_unique<LzhufDecoder>(src, size);
    // The block decoder's dictionary bits and the width of its position-code count.
    struct Block {
        const char* id;
        unsigned dictBits, countBits;
    };
    static constexpr Block kBlocks[] = {
        {"-lh4-", 12, 4}, {"-lh5-", 13, 4}, {"-lh6-", 15, 5}, {"-lh7-", 16, 5}};
    for (const Block& b : kBlocks) {
        if (id == b.id)
            return std::make_unique<LhaBlockDecoder>(src, b.dictBits, b.countBits, size);
    }
    return nullptr;
}

bool IsLhaFolderMethod(std::string_view id) {
    return id == "-lhd-";
}

bool IsLhaStoredMethod(std::string_view id) {
    return id == "-lh0-";
}

}  // namespace orvello::archive
