// A stand-in for libFuzzer's driver: feeds every file below the given paths to the fuzz
// entry once. Used to replay fixtures and saved crash inputs as an ordinary test.
//   replay_<entry> [--optional] PATH...
// With --optional a missing path is no failure: the run reports itself skipped (exit 77)
// when none of the paths is there.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void RunFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    constexpr int kSkipped = 77;
    std::size_t count = 0;
    std::size_t missing = 0;
    bool optional = false;
    int first = 1;
    if (argc > 1 && std::string(argv[1]) == "--optional") {
        optional = true;
        first = 2;
    }
    for (int i = first; i < argc; ++i) {
        const std::filesystem::path root(argv[i]);
        if (!std::filesystem::exists(root)) {
            std::printf("%s is not there\n", argv[i]);
            ++missing;
            continue;
        }
        if (std::filesystem::is_regular_file(root)) {
            RunFile(root);
            ++count;
            continue;
        }
        for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
            if (!e.is_regular_file()) continue;
            RunFile(e.path());
            ++count;
        }
    }
    if (optional && missing == static_cast<std::size_t>(argc - first)) {
        std::printf(
            "skipped: the archives copied from other projects' test data are kept "
            "outside the repository, in the shared fixture folder\n");
        return kSkipped;
    }
    std::printf("replayed %zu inputs\n", count);
    return count == 0 || missing > 0 ? 1 : 0;
}
