// What the extraction fuzzers share: a private scratch folder, and one extraction of an input
// held in memory into it, with the checks every extractor must pass.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>

#include "archive/ArcLister.h"
#include "archive/ArcMain.h"

namespace orvello::fuzz {

// A folder of our own for the whole run, removed at exit.
class Scratch {
  public:
    explicit Scratch(const char* prefix) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        path_ = pattern;
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& Path() const { return path_; }
    void Empty() const {
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(path_, ec))
            std::filesystem::remove_all(e.path(), ec);
    }

  private:
    std::string path_;
};

// Extracts the input with `x` into the scratch folder and empties it again. Aborts when a
// file lands outside the folder; returns the bytes written. Errors an extractor raises to its
// caller are part of its contract, not findings.
inline std::uint64_t ExtractInput(archive::TUnBase& x, const Scratch& scratch,
                                  const std::uint8_t* data, std::size_t size,
                                  const std::string& name) {
    archive::MemoryFileSystem files;
    files.Add(name, std::span<const std::uint8_t>(data, size));
    x.Files = &files;
    std::uint64_t written = 0;
    x.OnEnd = [&](archive::TZipCommon&, const std::string& fn, bool) {
        std::error_code ec;
        const std::string full = std::filesystem::absolute(fn, ec).string();
        const auto n = std::filesystem::file_size(full, ec);
        if (!ec) written += n;
        if (full.compare(0, scratch.Path().size(), scratch.Path()) != 0) std::abort();
    };
    x.SetArchiveFile(name);
    x.SetExtractDir(scratch.Path());
    try {
        x.Extract();
    } catch (const archive::E_RAISE&) {
    }
    scratch.Empty();
    return written;
}

// The sum of the unpacked sizes the lister reads from the input's headers. The LZ77 block
// method (LHA, ZOO method 2, ARJ methods 1 to 3) can send a code of one symbol in no bits, so
// a few input bytes can rightly stand for megabytes of output; what no extractor may do is
// write more than its members' headers say they hold.
inline std::uint64_t ListedTotal(const std::uint8_t* data, std::size_t size,
                                 const std::string& name) {
    archive::MemoryFileSystem files;
    files.Add(name, std::span<const std::uint8_t>(data, size));
    archive::TArcLister lister;
    lister.Files = &files;
    std::uint64_t total = 0;
    lister.OnRead = [&](archive::TZipCommon&, std::int64_t, std::int32_t) {
        if (lister.UnpackedSize > 0) total += static_cast<std::uint64_t>(lister.UnpackedSize);
    };
    lister.OnTotals = [](archive::TZipCommon&, std::int32_t) {};
    try {
        lister.SetArchiveFile(name);
        lister.Activate();
    } catch (const archive::E_RAISE&) {
    }
    return total;
}

}  // namespace orvello::fuzz
