// The streams the decoder benchmarks run on: generated data deflated by zlib at a few levels,
// and the members of the fixture archives.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace orvello::bench {

using Bytes = std::vector<std::uint8_t>;

// ROM-like data: short opcodes and tiles with repeats at many distances; text: words.
inline Bytes Generate(const std::string& kind, std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    std::size_t i = 0;
    if (kind == "text") {
        static const char* words[] = {"the ",  "quick ", "brown ",  "fox ",   "jumps ",
                                      "over ", "lazy ",  "dog\n",   "ROM ",   "SNES ",
                                      "bank ", "tile ",  "sprite ", "0x8000 "};
        while (i < n) {
            for (const char* p = words[rng() % std::size(words)]; *p && i < n; ++p)
                b[i++] = static_cast<std::uint8_t>(*p);
        }
        return b;
    }
    while (i < n) {
        if (i > 64 && rng() % 3 == 0) {
            const std::size_t dist = 1 + rng() % std::min<std::size_t>(i, 32768);
            for (std::size_t len = 3 + rng() % 40; len-- && i < n; ++i)
                b[i] = b[i - dist];
        } else {
            b[i++] = static_cast<std::uint8_t>(rng() % 5 == 0 ? rng() : (rng() % 16) * 16 + 0x0A);
        }
    }
    return b;
}

inline Bytes RawDeflate(const Bytes& data, int level) {
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&z, data.size()) + 64);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace orvello::bench
