// Type detection and listing over arbitrary bytes, with no disk I/O: the input is the
// archive (and, for ARJ, also its first continuation volume) in a memory file system. Traps
// a walk that reports a header outside the file or not after the previous one.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "archive/ArcLister.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvello::archive;
    const std::span<const std::uint8_t> bytes(data, size);
    MemoryFileSystem files;
    // ".tar" lets the TAR test run; it is tried only when no signature matched.
    files.Add("fuzz.tar", bytes);
    files.Add("fuzz.A01", bytes);

    TArcLister lister;
    lister.Files = &files;
    // The tail window searched for a ZIP end record inside programs: from the last byte.
    lister.SetZipCmntBufSize(size != 0 ? data[size - 1] * 128 : 0);
    std::int64_t last = -1;
    lister.OnRead = [&](TZipCommon&, std::int64_t offset, std::int32_t) {
        if (offset < 0 || offset >= static_cast<std::int64_t>(size)) std::abort();
        // Headers come in file order; ARJ alone may move on to a volume and count afresh.
        const bool volumes =
            lister.ArcType() == TArcType::atARJ || lister.ArcType() == TArcType::atArjExe;
        if (offset <= last && !volumes) std::abort();
        last = offset;
        if (lister.PackedSize < 0 || lister.UnpackedSize < 0) std::abort();
    };
    lister.OnTotals = [](TZipCommon&, std::int32_t) {};
    try {
        lister.SetArchiveFile("fuzz.tar");
        lister.Activate();
    } catch (const E_RAISE&) {
        // Detection raises only when the file cannot be closed; memory files always close.
        std::abort();
    }
    return 0;
}
