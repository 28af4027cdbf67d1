// Deflate: zlib as the control on generated data, hand-built invalid streams, and the pull
// contract (never more than asked, an end that stays an end).
#include <gtest/gtest.h>
#include <zlib.h>

#include "DecoderTestUtil.h"
#include "archive/ArcTypes.h"
#include "archive/Inflat.h"

using namespace orvello::archive;
using namespace orvello::archive::testing;

namespace {

// Raw deflate (no zlib header) of `data` with the given level and strategy.
Bytes ZlibDeflate(const Bytes& data, int level, int strategy = Z_DEFAULT_STRATEGY,
                  int memLevel = 8) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, -15, memLevel, strategy), Z_OK);
    Bytes out(deflateBound(&z, data.size()) + 64);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

Drained Inflate(const Bytes& stream, std::size_t inStep, std::size_t outChunk) {
    TrickleSource src(stream, inStep);
    InflateDecoder dec(src);
    return Drain(dec, outChunk);
}

}  // namespace

TEST(Inflate, MatchesZlibOnGeneratedDataAtEveryLevel) {
    struct Case {
        const char* kind;
        std::size_t size;
        int level;
        int strategy;
    };
    const Case cases[] = {
        {"random", 70000, 6, Z_DEFAULT_STRATEGY},  // stored blocks
        {"random", 1000, 0, Z_DEFAULT_STRATEGY},   // level 0: stored only
        {"text", 300000, 1, Z_DEFAULT_STRATEGY},  {"text", 300000, 9, Z_DEFAULT_STRATEGY},
        {"runs", 200000, 6, Z_DEFAULT_STRATEGY},  {"runs", 200000, 6, Z_RLE},
        {"rom", 400000, 9, Z_DEFAULT_STRATEGY},   {"rom", 100000, 6, Z_FIXED},
        {"text", 50000, 6, Z_HUFFMAN_ONLY},       {"rom", 1, 6, Z_DEFAULT_STRATEGY},
        {"rom", 0, 6, Z_DEFAULT_STRATEGY},
    };
    for (const auto& c : cases) {
        const Bytes data = MakeData(c.kind, c.size, static_cast<unsigned>(c.size));
        const Bytes stream = ZlibDeflate(data, c.level, c.strategy);
        const auto whole = Inflate(stream, stream.size() + 1, 32768);
        EXPECT_EQ(whole.error, kOk) << c.kind << " level " << c.level;
        EXPECT_TRUE(whole.out == data)
            << c.kind << " level " << c.level << " strategy " << c.strategy;
    }
}

TEST(Inflate, TinyInputAndOutputChunksGiveTheSameBytes) {
    // Refills at every byte and output requests of odd sizes cross every internal boundary:
    // buffer ends inside codes, the window slide, stored blocks split across reads.
    const Bytes data = MakeData("rom", 300000, 7);
    for (int level : {1, 9}) {
        const Bytes stream = ZlibDeflate(data, level);
        for (auto [inStep, outChunk] :
             {std::pair<std::size_t, std::size_t>{1, 1}, {3, 7}, {17, 1000}, {4096, 65536}}) {
            const auto d = Inflate(stream, inStep, outChunk);
            EXPECT_EQ(d.error, kOk);
            EXPECT_FALSE(d.overAsked);
            EXPECT_TRUE(d.out == data) << "in " << inStep << " out " << outChunk;
        }
    }
}

TEST(Inflate, StoredBlockAfterHuffmanBlocksAndEmptyStoredBlocks) {
    BitWriter w;
    // Fixed block with literal 'A' (code 0x30+0x41 = 0x71, 8 bits) and end of block (0000000).
    w.Put(0, 1).Put(1, 2).PutCode(0x30 + 'A', 8).PutCode(0, 7);
    // Empty stored block, then a stored block "xyz", final.
    w.Put(0, 1).Put(0, 2).AlignToByte().Put(0, 16).Put(0xFFFF, 16);
    w.Put(1, 1).Put(0, 2).AlignToByte().Put(3, 16).Put(0xFFFC, 16).Byte('x').Byte('y').Byte('z');
    for (std::size_t step : {1, 2, 64}) {
        const auto d = Inflate(w.Data(), step, 2);
        EXPECT_EQ(d.error, kOk);
        EXPECT_EQ(std::string(d.out.begin(), d.out.end()), "Axyz");
    }
}

TEST(Inflate, DistanceOneAndOverlappingCopies) {
    // Fixed block: 'a', then length 258 (code 285: 11000101) distance 1 (dist code 0: 00000),
    // then 'b' 'c', length 10 (code 264: 0001000) distance 2 (code 1: 00001), end.
    BitWriter w;
    w.Put(1, 1).Put(1, 2).PutCode(0x30 + 'a', 8).PutCode(0xC5, 8).PutCode(0, 5);
    w.PutCode(0x30 + 'b', 8).PutCode(0x30 + 'c', 8).PutCode(8, 7).PutCode(1, 5).PutCode(0, 7);
    const auto d = Inflate(w.Data(), 1, 5);
    ASSERT_EQ(d.error, kOk);
    std::string want(259, 'a');
    want += "bc";
    for (int i = 0; i < 5; ++i)
        want += "bc";
    EXPECT_EQ(std::string(d.out.begin(), d.out.end()), want);
}

TEST(Inflate, InvalidStreamsGiveTheirCodes) {
    struct Case {
        const char* what;
        Bytes stream;
        int code;
    };
    std::vector<Case> cases;
    {
        BitWriter w;
        w.Put(1, 1).Put(3, 2);  // block type 3
        cases.push_back({"block type 3", w.Data(), errBadBlock});
    }
    {
        BitWriter w;
        w.Put(1, 1).Put(0, 2).AlignToByte().Put(5, 16).Put(5, 16);  // NLEN is not ~LEN
        cases.push_back({"stored length complement", w.Data(), errBadBlock});
    }
    {
        BitWriter w;  // distance 1 before any output
        w.Put(1, 1).Put(1, 2).PutCode(1, 7).PutCode(0, 5).PutCode(0, 7);
        cases.push_back({"distance before the start", w.Data(), errBadBlock});
    }
    {
        BitWriter w;  // fixed literal/length code 286 (11000110) is never valid
        w.Put(1, 1).Put(1, 2).PutCode(0xC6, 8);
        cases.push_back({"length symbol 286", w.Data(), errBadBlock});
    }
    {
        BitWriter w;  // fixed distance code 30 is never valid
        w.Put(1, 1).Put(1, 2).PutCode(0x30 + 'a', 8).PutCode(1, 7).PutCode(30, 5);
        cases.push_back({"distance symbol 30", w.Data(), errBadBlock});
    }
    // Dynamic headers. The precode gives lengths 1 to symbols 0 and 18 below (complete).
    auto dynamicHeader = [](BitWriter& w, unsigned hlit, unsigned hdist,
                            const std::vector<unsigned>& preLens) {
        w.Put(1, 1)
            .Put(2, 2)
            .Put(hlit - 257, 5)
            .Put(hdist - 1, 5)
            .Put(static_cast<unsigned>(preLens.size()) - 4, 4);
        for (unsigned l : preLens)
            w.Put(l, 3);
    };
    {
        BitWriter w;
        dynamicHeader(w, 287, 1, {0, 0, 0, 0});
        cases.push_back({"HLIT 287", w.Data(), errBadLengths});
    }
    {
        BitWriter w;
        dynamicHeader(w, 257, 31, {0, 0, 0, 0});
        cases.push_back({"HDIST 31", w.Data(), errBadLengths});
    }
    {
        BitWriter w;  // precode: symbols 16, 17, 18 with one bit each: over-subscribed
        dynamicHeader(w, 257, 1, {1, 1, 1, 0});
        cases.push_back({"over-subscribed precode", w.Data(), errBadLengths});
    }
    {
        BitWriter w;  // precode: only symbol 17 with two bits: incomplete
        dynamicHeader(w, 257, 1, {0, 2, 0, 0});
        cases.push_back({"incomplete precode", w.Data(), errIncompleteCodeSet});
    }
    // Precode order: 16 17 18 0 8 7 9 6 10 5 11 4 12 3 13 2 14 1 15. Give 16, 18, 0 and 1
    // two bits each (complete): canonical codes 0 -> 00, 1 -> 01, 16 -> 10, 18 -> 11.
    const std::vector<unsigned> pre4 = {2, 0, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    {
        BitWriter w;  // the first length is a repeat of the previous one: there is none
        dynamicHeader(w, 257, 1, pre4);
        w.PutCode(2, 2).Put(0, 2);
        cases.push_back({"repeat with nothing before", w.Data(), errBadLengths});
    }
    {
        BitWriter w;  // 258 lengths, the zero repeat runs past them
        dynamicHeader(w, 257, 1, pre4);
        w.PutCode(1, 2).PutCode(3, 2).Put(127, 7).PutCode(3, 2).Put(127, 7);
        cases.push_back({"repeat past the end", w.Data(), errBadLengths});
    }
    {
        BitWriter w;  // symbols 0..255 and 256 all zero but one literal: no end-of-block code
        dynamicHeader(w, 257, 1, pre4);
        w.PutCode(1, 2);                                             // symbol 0: one bit
        w.PutCode(3, 2).Put(127, 7).PutCode(3, 2).Put(127 - 22, 7);  // 138 + 116 = 254 zeros
        w.PutCode(0, 2).PutCode(0, 2).PutCode(0, 2);  // 255, 256 zero; one distance zero
        cases.push_back({"no end-of-block code", w.Data(), errBadLengths});
    }
    {
        // Literal 0 and end-of-block with two bits each: incomplete.
        BitWriter v;
        // precode: symbols 0, 2 (2 bits) and 18 (1 bit): 18 -> 0, 0 -> 10, 2 -> 11
        const std::vector<unsigned> pre = {0, 0, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        v.Put(1, 1).Put(2, 2).Put(0, 5).Put(0, 5).Put(static_cast<unsigned>(pre.size()) - 4, 4);
        for (unsigned l : pre)
            v.Put(l, 3);
        // pre order index 15 is symbol 2; index 3 is symbol 0; index 2 is symbol 18
        v.PutCode(3, 2);                                        // literal 0: length 2
        v.PutCode(0, 1).Put(127, 7).PutCode(0, 1).Put(106, 7);  // 138 + 117 = 255 zeros: 1..255
        v.PutCode(3, 2);                                        // 256: length 2
        v.PutCode(2, 2);                                        // distance 0: length 0
        cases.push_back({"incomplete literal code", v.Data(), errIncompleteCodeSet});
    }
    { cases.push_back({"empty input", Bytes{}, errReadFile}); }
    {
        const Bytes data = MakeData("text", 5000);
        Bytes stream = ZlibDeflate(data, 9);
        stream.resize(stream.size() / 2);
        cases.push_back({"truncated", stream, errReadFile});
    }
    for (const auto& c : cases) {
        for (std::size_t step : {1, 4096}) {
            const auto d = Inflate(c.stream, step, 100);
            EXPECT_EQ(d.error, c.code) << c.what << " step " << step;
        }
    }
}

TEST(Inflate, SingleDistanceCodeAndBlocksWithoutDistances) {
    // RFC 1951 allows one distance code of one bit, and a block of literals only with no
    // distance code at all; zlib writes both, and we must read them.
    const Bytes data(5000, 'q');
    const Bytes stream = ZlibDeflate(data, 9);
    const auto d = Inflate(stream, 1, 333);
    EXPECT_EQ(d.error, kOk);
    EXPECT_TRUE(d.out == data);
    const Bytes lits = MakeData("random", 3000, 3);
    const auto h = Inflate(ZlibDeflate(lits, 6, Z_HUFFMAN_ONLY), 5, 999);
    EXPECT_EQ(h.error, kOk);
    EXPECT_TRUE(h.out == lits);
}

TEST(Inflate, EndStaysAnEndAndErrorsStayErrors) {
    const Bytes data = MakeData("text", 1000);
    TrickleSource src(ZlibDeflate(data, 6), 100);
    InflateDecoder dec(src);
    const auto d = Drain(dec, 4096);
    ASSERT_EQ(d.error, kOk);
    std::uint8_t b[4];
    std::size_t produced = 99;
    EXPECT_EQ(dec.Read(b, 4, produced), kOk);
    EXPECT_EQ(produced, 0u);

    BitWriter w;
    w.Put(1, 1).Put(3, 2);
    TrickleSource bad(w.Data(), 1);
    InflateDecoder dec2(bad);
    EXPECT_EQ(dec2.Read(b, 4, produced), errBadBlock);
    EXPECT_EQ(dec2.Read(b, 4, produced), errBadBlock);
    EXPECT_EQ(produced, 0u);
}

// The fast loop runs only while 16 input bytes are buffered; a source that hands out 7 bytes a
// read keeps every symbol in the checked loop. Both must give the same bytes and the same
// result on every stream, and on streams cut anywhere near their start or end (where the fast
// loop hands over to the checked one, and where the input runs out inside a code).
TEST(Inflate, FastAndCheckedLoopsAgreeOnStreamsCutNearTheEnds) {
    // Skewed bytes compressed with Huffman codes only have codes of up to 15 bits, so the
    // sub-tables are used; ROM-like data at level 9 gives long matches at every distance.
    Bytes skewed(60000);
    std::mt19937 rng(5);
    for (auto& b : skewed) {
        unsigned v = 0;
        while (v < 255 && (rng() & 1) != 0)
            ++v;
        b = static_cast<std::uint8_t>(v * 17);
    }
    const Bytes streams[] = {ZlibDeflate(skewed, 6, Z_HUFFMAN_ONLY),
                             ZlibDeflate(MakeData("rom", 50000, 3), 9),
                             ZlibDeflate(MakeData("text", 40000, 4), 6, Z_FIXED)};
    for (const Bytes& stream : streams) {
        ASSERT_GT(stream.size(), 600u);
        std::vector<std::size_t> cuts;
        for (std::size_t n = 0; n <= 300; ++n) {
            cuts.push_back(n);
            cuts.push_back(stream.size() - n);
        }
        for (std::size_t n : cuts) {
            const Bytes cut(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(n));
            const auto fast = Inflate(cut, cut.size() + 1, 65536);
            const auto checked = Inflate(cut, 7, 65536);
            ASSERT_EQ(fast.error, checked.error) << "cut at " << n << " of " << stream.size();
            ASSERT_TRUE(fast.out == checked.out) << "cut at " << n << " of " << stream.size();
            if (n == stream.size()) {
                EXPECT_EQ(fast.error, kOk);
            } else if (n + 4 < stream.size()) {
                EXPECT_NE(fast.error, kOk) << "cut at " << n;
            }
        }
    }
}
