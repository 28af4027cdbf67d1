// The ZIP extractor over arbitrary archives: detection and the whole walk run on the input
// held in memory; members are written below a private temporary folder that is emptied after
// every input. The last input byte picks options (stored folders, a password handler that
// answers or gives up, refusing overwrites).
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>

#include "FuzzExtract.h"
#include "archive/UnZIP.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello::archive;
    static const orvello::fuzz::Scratch scratch("fuzz-unzip");
    if (size == 0) return 0;
    const std::uint8_t options = data[size - 1];
    MemoryFileSystem files;
    files.Add("/in/fuzz.zip", std::span<const std::uint8_t>(data, size));

    TUnZIP z;
    z.Files = &files;
    z.UseStoredDirs = (options & 1) != 0;
    z.Passwords = {"secret", "shrunk"};
    z.SetZipCmntBufSize((options & 2) != 0 ? 32767 : 0);
    if ((options & 4) != 0) {
        z.OnGetPassword = [&](TZipCommon&, const std::string&, std::string& pw, bool& again) {
            pw = "dd1997";
            again = (options & 8) != 0;
        };
    }
    if ((options & 16) != 0)
        z.OnFileExists = [](TZipCommon&, const std::string&, bool& accept) { accept = false; };
    std::uint64_t written = 0;
    z.OnEnd = [&](TZipCommon&, const std::string& fn, bool) {
        std::error_code ec;
        const auto n = std::filesystem::file_size(fn, ec);
        if (!ec) written += n;
        // Nothing may land outside the scratch folder.
        if (fn.compare(0, scratch.Path().size(), scratch.Path()) != 0) std::abort();
    };
    z.SetArchiveFile("/in/fuzz.zip");
    z.SetExtractDir(scratch.Path());
    z.Extract();
    // Members never share data, so the output is bounded by what the input can hold: shrink's
    // best ratio (a string of up to 8192 bytes per code of at least 9 bits) is the highest.
    if (written > 8192 * std::uint64_t{size} + 65536) std::abort();
    scratch.Empty();
    return 0;
}
