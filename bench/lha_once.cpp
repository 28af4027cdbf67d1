// Decodes the -lh1- and -lh4- to -lh7- members of an LHA archive with our decoders, a given
// number of times, for instruction counts under valgrind:
//   lha_once ARCHIVE [TIMES]
// Prints the bytes produced by one pass. Running it with TIMES 1 and TIMES 11 and dividing the
// difference of the counts by 10 passes' bytes leaves the decoders alone, without the start-up.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "RawLhaArjZoo.h"
#include "archive/Decoder.h"
#include "archive/LhaBlock.h"
#include "archive/Lzhuf.h"

using namespace orvello::archive;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: lha_once ARCHIVE [TIMES]\n");
        return 2;
    }
    const int times = argc > 2 ? std::atoi(argv[2]) : 1;
    const auto members = orvello::archive::testing::ReadRawLha(argv[1]);
    std::vector<std::uint8_t> buf(32768);
    std::uint64_t total = 0;
    for (int t = 0; t < times; ++t) {
        total = 0;
        for (const auto& m : members) {
            MemorySource src(m.data);
            std::unique_ptr<Decoder> dec;
            const char c = m.method.size() == 5 ? m.method[3] : 0;
            if (m.method == "-lh1-") {
                dec = std::make_unique<LzhufDecoder>(src, m.size);
            } else if (m.method.rfind("-lh", 0) == 0 && c >= '4' && c <= '7') {
                static constexpr unsigned kDict[] = {12, 13, 15, 16};
                dec =
                    std::make_unique<LhaBlockDecoder>(src, kDict[c - '4'], c < '6' ? 4 : 5, m.size);
            } else {
                continue;
            }
            for (;;) {
                std::size_t produced = 0;
                if (dec->Read(buf.data(), buf.size(), produced) != kOk) return 1;
                if (produced == 0) break;
                total += produced;
            }
        }
    }
    std::printf("%llu\n", static_cast<unsigned long long>(total));
    return 0;
}
