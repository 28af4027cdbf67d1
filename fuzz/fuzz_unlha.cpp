// The LHA extractor over arbitrary archives: detection and the whole walk run on the input held
// in memory; members are written below a private folder that is emptied after every input. The
// last input byte picks options (stored folders, refusing overwrites).
#include "FuzzExtract.h"
#include "archive/UnLHA.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello;
    static const fuzz::Scratch scratch("fuzz-unlha");
    if (size == 0) return 0;
    const std::uint8_t options = data[size - 1];
    archive::TUnLHA x;
    x.UseStoredDirs = (options & 1) != 0;
    if ((options & 2) != 0)
        x.OnFileExists = [](archive::TZipCommon&, const std::string&, bool& accept) {
            accept = false;
        };
    const std::uint64_t written = fuzz::ExtractInput(x, scratch, data, size, "/in/fuzz.lzh");
    // Headers never overlap, and no member comes out larger than its header says.
    if (written > 2048 * std::uint64_t{size} + 65536 &&
        written > fuzz::ListedTotal(data, size, "/in/fuzz.lzh"))
        std::abort();
    return 0;
}
