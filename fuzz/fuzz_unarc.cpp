// The ARC extractor over arbitrary archives: stray bytes, both header lengths and every method
// run on the input held in memory; members are written below a private folder that is emptied
// after every input. The last input byte picks whether overwrites are refused.
#include "FuzzExtract.h"
#include "archive/UnARC.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello;
    static const fuzz::Scratch scratch("fuzz-unarc");
    if (size == 0) return 0;
    archive::TUnARC x;
    if ((data[size - 1] & 1) != 0)
        x.OnFileExists = [](archive::TZipCommon&, const std::string&, bool& accept) {
            accept = false;
        };
    const std::uint64_t written = fuzz::ExtractInput(x, scratch, data, size, "/in/fuzz.arc");
    // A member never writes more than its recorded size, and members do not overlap.
    if (written > 4096 * 255 * std::uint64_t{size} + 65536) std::abort();
    return 0;
}
