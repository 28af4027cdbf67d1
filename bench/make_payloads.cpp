// Writes the files the extraction benchmark zips: one 64 MB ROM-like file, and a collection of
// 2000 small ROMs of 4 to 64 KB.
//   make_payloads DIR    creates DIR/big/BIG.ROM and DIR/small/ROMnnnn.BIN
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchData.h"

using namespace orvello::bench;

namespace {

void Write(const std::filesystem::path& p, const Bytes& b) {
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_payloads DIR\n");
        return 2;
    }
    const std::filesystem::path dir(argv[1]);
    std::filesystem::create_directories(dir / "big");
    std::filesystem::create_directories(dir / "small");
    Write(dir / "big" / "BIG.ROM", Generate("rom", 64u << 20, 7));
    for (unsigned i = 0; i < 2000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "ROM%04u.BIN", i);
        const std::size_t size = 4096u << (i % 5);  // 4, 8, 16, 32, 64 KB
        Write(dir / "small" / name, Generate(i % 7 == 0 ? "text" : "rom", size, 100 + i));
    }
    return 0;
}
