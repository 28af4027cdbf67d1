#include "LhaMethods.h"

#include "StoredDecoder.h"

namespace orvello::archive {

std::unique_ptr<Decoder> MakeLhaDecoder(std::string_view id, std::uint64_t, InputSource& src) {
    if (IsLhaStoredMethod(id)) return std::make_unique<StoredDecoder>(src);
    return nullptr;
}

bool IsLhaFolderMethod(std::string_view id) {
    return id == "-lhd-";
}

bool IsLhaStoredMethod(std::string_view id) {
    return id == "-lh0-";
}

}  // namespace orvello::archive
