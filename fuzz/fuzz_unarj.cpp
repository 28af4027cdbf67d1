// The ARJ extractor over arbitrary archives: the main-header search, every header's CRC,
// members of every method and the volume rules run on the input held in memory (further
// volumes are missing); members are written below a private folder that is emptied after
// every input. The last input byte picks options (stored folders, refusing overwrites).
#include "FuzzExtract.h"
#include "archive/UnARJ.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello;
    static const fuzz::Scratch scratch("fuzz-unarj");
    if (size == 0) return 0;
    const std::uint8_t options = data[size - 1];
    archive::TUnARJ x;
    x.UseStoredDirs = (options & 1) != 0;
    if ((options & 2) != 0)
        x.OnFileExists = [](archive::TZipCommon&, const std::string&, bool& accept) {
            accept = false;
        };
    const std::uint64_t written = fuzz::ExtractInput(x, scratch, data, size, "/in/fuzz.arj");
    // Each member's data is read once, and no member comes out larger than its header says.
    if (written > 2048 * std::uint64_t{size} + 65536 &&
        written > fuzz::ListedTotal(data, size, "/in/fuzz.arj"))
        std::abort();
    return 0;
}
