// The three inflaters the benchmarks compare, each decoding a whole raw deflate stream the way
// an extractor would: ours and zlib stream through a 32 KB output buffer; libdeflate decodes
// into one buffer of the full size, which is the only way it works.
#pragma once

#include <libdeflate.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "archive/Inflat.h"

namespace orvello::bench {

// Returns the number of bytes produced (0 on a failure).
inline std::size_t InflateOurs(const std::vector<std::uint8_t>& stream, std::uint8_t* buf,
                               std::size_t bufSize) {
    archive::MemorySource src(stream);
    archive::InflateDecoder dec(src);
    std::size_t total = 0;
    for (;;) {
        // As the member reader asks for it: in place, through the decoder's view.
        std::size_t produced = 0;
        const std::uint8_t* data = nullptr;
        if (dec.ReadView(data, buf, bufSize, produced) != archive::kOk) return 0;
        if (produced == 0) return total;
        total += produced;
    }
}

inline std::size_t InflateZlib(const std::vector<std::uint8_t>& stream, std::uint8_t* buf,
                               std::size_t bufSize) {
    z_stream z{};
    inflateInit2(&z, -15);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    std::size_t total = 0;
    int r;
    do {
        z.next_out = buf;
        z.avail_out = static_cast<uInt>(bufSize);
        r = inflate(&z, Z_NO_FLUSH);
        total += bufSize - z.avail_out;
    } while (r == Z_OK);
    inflateEnd(&z);
    return r == Z_STREAM_END ? total : 0;
}

inline std::size_t InflateLibdeflate(libdeflate_decompressor* d,
                                     const std::vector<std::uint8_t>& stream,
                                     std::vector<std::uint8_t>& out) {
    std::size_t actual = 0;
    if (libdeflate_deflate_decompress(d, stream.data(), stream.size(), out.data(), out.size(),
                                      &actual) != LIBDEFLATE_SUCCESS) {
        return 0;
    }
    return actual;
}

}  // namespace orvello::bench
