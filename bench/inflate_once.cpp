// Decodes one raw deflate stream once with one engine, for instruction counts:
//   inflate_once make rom|text LEVEL FILE       writes a 16 MB generated input, deflated
//   valgrind --tool=cachegrind inflate_once ours|zlib|libdeflate FILE
// The second form prints the output size: instructions per output byte = Ir / size.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "BenchData.h"
#include "Engines.h"

using namespace orvello::bench;

int main(int argc, char** argv) {
    const std::string engine = argc > 1 ? argv[1] : "";
    if (engine == "make" && argc == 5) {
        const std::string kind = argv[2];
        const Bytes raw = Generate(kind, 16u << 20, kind == "text" ? 2 : 1);
        const Bytes stream = RawDeflate(raw, std::atoi(argv[3]));
        std::ofstream(argv[4], std::ios::binary)
            .write(reinterpret_cast<const char*>(stream.data()),
                   static_cast<std::streamsize>(stream.size()));
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: inflate_once make rom|text LEVEL FILE | inflate_once "
                     "ours|zlib|libdeflate FILE\n");
        return 2;
    }
    const Bytes stream = ReadFile(argv[2]);
    std::vector<std::uint8_t> buf(32768);
    std::size_t n = 0;
    if (engine == "ours") {
        n = InflateOurs(stream, buf.data(), buf.size());
    } else if (engine == "zlib") {
        n = InflateZlib(stream, buf.data(), buf.size());
    } else {
        std::vector<std::uint8_t> out(16u << 20);
        auto* d = libdeflate_alloc_decompressor();
        n = InflateLibdeflate(d, stream, out);
        libdeflate_free_decompressor(d);
    }
    std::printf("%zu\n", n);
    return n != 0 ? 0 : 1;
}
