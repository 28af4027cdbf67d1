// The library never moves the process's current folder: extraction runs on a thread of its own
// while the windows' thread relies on the folder staying where it set it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "Fixtures.h"
#include "ZipBuilder.h"
#include "archive/UnZIP.h"

using namespace orvello::archive;
using namespace orvello::testing;

namespace fs = std::filesystem;

TEST(CurrentFolder, ExtractionOnAThreadNeverMovesTheProcessFolder) {
    TempDir dir;
    std::vector<ZipEntry> entries;
    for (int i = 0; i < 300; ++i) {
        // Every member in a folder of its own: each output path has a new folder.
        entries.push_back(Entry("dir" + std::to_string(i) + "/game" + std::to_string(i) + ".smc",
                                std::vector<std::uint8_t>(64, static_cast<std::uint8_t>(i))));
    }
    const std::string archive = dir.Write("set.zip", BuildZip(entries));
    TempDir out;
    const fs::path before = fs::current_path();

    TUnZIP unzip;
    unzip.SetArchiveFile(archive);
    unzip.SetExtractDir(out.Path());
    unzip.SetFileSpec("*.*");
    unzip.UseStoredDirs = true;
    int written = 0;
    unzip.OnEnd = [&](TZipCommon&, const std::string&, bool pass) { written += pass ? 1 : 0; };
    std::atomic<bool> done{false};
    std::thread worker([&] {
        unzip.Extract();
        done.store(true);
    });
    // Watches the folder for as long as the extraction runs, within a deadline.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int moved = 0, looks = 0;
    while (!done.load() && std::chrono::steady_clock::now() < deadline) {
        if (fs::current_path() != before) ++moved;
        ++looks;
    }
    worker.join();
    EXPECT_EQ(moved, 0) << "of " << looks << " looks";
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_EQ(written, 300);
    EXPECT_TRUE(fs::exists(fs::path(out.Path()) / "dir299" / "game299.smc"));
    // The component keeps the folder it last wrote into as its own.
    EXPECT_EQ(unzip.CurrentFolder(), out.Path() + "/dir299/");
}
