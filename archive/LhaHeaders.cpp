#include "LhaHeaders.h"

#include <algorithm>
#include <vector>

#include "ByteOrder.h"

namespace orvello::archive {

namespace {

constexpr unsigned kExtName = 1;
constexpr unsigned kExtFolder = 2;
// Extended headers hold names, dates and attributes: never more than this.
constexpr std::uint64_t kMaxExtendedHeader = 65535;

}  // namespace

std::int64_t ReadLhaExtendedHeaders(ArcFile& file, std::int64_t at, std::uint64_t size,
                                    std::int64_t limit, unsigned sizeWidth,
                                    LhaExtendedNames& names) {
    const std::int64_t begin = at;
    std::vector<std::uint8_t> ext;
    while (size != 0) {
        if (size < 1 + sizeWidth || size > kMaxExtendedHeader ||
            at + static_cast<std::int64_t>(size) > limit)
            break;
        ext.resize(size);
        if (!file.ReadExact(at, ext.data(), ext.size())) break;
        const std::string data(ext.begin() + 1, ext.end() - sizeWidth);
        if (ext[0] == kExtName) {
            names.name = data;
            names.hasName = true;
        } else if (ext[0] == kExtFolder) {
            names.folder = data;
            std::replace(names.folder.begin(), names.folder.end(), '\xFF', '/');
        }
        at += static_cast<std::int64_t>(size);
        const std::uint8_t* tail = ext.data() + size - sizeWidth;
        size = sizeWidth == 2 ? Le16(tail) : Le32(tail);
    }
    return at - begin;
}

}  // namespace orvello::archive
