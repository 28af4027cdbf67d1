// The ZOO extractor over arbitrary archives: the archive header, the entry chain and every
// member's data run on the input held in memory; members are written below a private folder
// that is emptied after every input. The last input byte picks whether overwrites are refused.
#include "FuzzExtract.h"
#include "archive/UnZOO.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello;
    static const fuzz::Scratch scratch("fuzz-unzoo");
    if (size == 0) return 0;
    archive::TUnZOO x;
    if ((data[size - 1] & 1) != 0)
        x.OnFileExists = [](archive::TZipCommon&, const std::string&, bool& accept) {
            accept = false;
        };
    const std::uint64_t written = fuzz::ExtractInput(x, scratch, data, size, "/in/fuzz.zoo");
    // The chain only runs forward, and no member comes out larger than its entry says.
    if (written > 2048 * std::uint64_t{size} + 65536 &&
        written > fuzz::ListedTotal(data, size, "/in/fuzz.zoo"))
        std::abort();
    return 0;
}
