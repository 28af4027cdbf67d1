// Shrink, reduce and implode (and stored and deflate) on the raw member data real archivers
// wrote, fed a byte at a time; and hand-built damaged streams for each.
#include <gtest/gtest.h>

#include "DecoderTestUtil.h"
#include "RawZip.h"
#include "archive/ArcGlobals.h"
#include "archive/ArcTypes.h"
#include "archive/Explode.h"
#include "archive/Unreduce.h"
#include "archive/Unshrink.h"
#include "archive/ZipMethods.h"

using namespace orvello::archive;
using namespace orvello::archive::testing;

TEST(LegacyDecoders, EveryFixtureMemberDecodesToItsCrcInTinyChunks) {
    const char* archives[] = {"SHRINK.ZIP",  "REDUCE1.ZIP", "REDUCE2.ZIP", "REDUCE3.ZIP",
                              "REDUCE4.ZIP", "IMP4K2T.ZIP", "IMP4K3T.ZIP", "IMP8K2T.ZIP",
                              "IMP8K3T.ZIP", "DEFL9.ZIP",   "7ZDEFL.ZIP",  "STORED.ZIP"};
    int decoded = 0;
    for (const char* a : archives) {
        const auto members = ReadRawMembers(FixturePath(std::string("zip/") + a));
        ASSERT_FALSE(members.empty()) << a;
        for (const auto& m : members) {
            for (auto [inStep, outChunk] :
                 {std::pair<std::size_t, std::size_t>{1, 1}, {5, 4093}, {65536, 32768}}) {
                TrickleSource src(m.data, inStep);
                auto dec = MakeZipDecoder(m.method, m.flags, m.size, src);
                ASSERT_NE(dec, nullptr) << a << " " << m.name;
                const auto d = Drain(*dec, outChunk);
                EXPECT_EQ(d.error, kOk) << a << " " << m.name;
                EXPECT_FALSE(d.overAsked);
                EXPECT_EQ(d.out.size(), m.size) << a << " " << m.name;
                EXPECT_EQ(Crc32(d.out), m.crc)
                    << a << " " << m.name << " in " << inStep << " out " << outChunk;
                // All input was needed: a decoder that reads too little took a wrong turn.
                if (m.method != 0) {
                    EXPECT_GE(dec->Consumed() + 2, m.data.size()) << a << " " << m.name;
                }
            }
            ++decoded;
        }
    }
    EXPECT_GE(decoded, 50);
}

TEST(LegacyDecoders, MethodTableKnowsTheClassicMethodsOnly) {
    TrickleSource src({}, 1);
    for (std::uint16_t m : {0, 1, 2, 3, 4, 5, 6, 8})
        EXPECT_NE(MakeZipDecoder(m, 0, 0, src), nullptr) << m;
    for (std::uint16_t m : {7, 9, 12, 14, 98})
        EXPECT_EQ(MakeZipDecoder(m, 0, 0, src), nullptr) << m;
}

namespace {

Drained Unshrink(const Bytes& stream) {
    TrickleSource src(stream, 3);
    UnshrinkDecoder dec(src);
    return Drain(dec, 100);
}

// Codes of 9 bits.
Bytes Codes9(std::initializer_list<unsigned> codes) {
    BitWriter w;
    for (unsigned c : codes)
        w.Put(c, 9);
    return w.Data();
}

}  // namespace

TEST(Unshrink, CodeGrowthReuseAndDamage) {
    // "ab" then code 257 (= "ab", defined by the first pair), which defines 258 = "ba"; then
    // code 259 before it exists: the code being defined is the previous string ("ab") plus
    // its own first byte.
    {
        const auto d = Unshrink(Codes9({'a', 'b', 257, 259}));
        EXPECT_EQ(d.error, kOk);
        EXPECT_EQ(std::string(d.out.begin(), d.out.end()),
                  "a"
                  "b"
                  "ab"
                  "aba");
    }
    // 256,1 widens the codes to 10 bits from the next code on.
    {
        BitWriter w;
        w.Put('x', 9).Put(256, 9).Put(1, 9).Put('y', 10).Put(257, 10);
        const auto d = Unshrink(w.Data());
        EXPECT_EQ(d.error, kOk);
        EXPECT_EQ(std::string(d.out.begin(), d.out.end()), "xyxy");
    }
    // A partial clear frees the leaves: 257 "ab" is a leaf and is free again afterwards, so the
    // next new string takes code 257.
    {
        const auto d = Unshrink(Codes9({'a', 'b', 'c', 256, 2, 'd', 257}));
        EXPECT_EQ(d.error, kOk);
        // After the clear, 'd' defines 257 as the previous string "c" plus "d".
        EXPECT_EQ(std::string(d.out.begin(), d.out.end()), "abcdcd");
    }
    struct Case {
        const char* what;
        Bytes stream;
        int code;
    };
    const Case bad[] = {
        {"first code not a byte", Codes9({300}), errBadBlock},
        {"control code followed by 3", Codes9({'a', 256, 3}), errBadBlock},
        {"control code at the end", Codes9({'a', 256}), errBadBlock},
        {"code never defined", Codes9({'a', 'b', 300}), errInvalidCode},
        {"free code after a clear", Codes9({'a', 'b', 'c', 256, 2, 258}), errInvalidCode},
        // The previous code is a leaf freed by the clear; the next new code lands in its own
        // slot and points at itself. Walking it must end, not loop.
        {"self-referencing code", Codes9({'a', 257, 256, 2, 'b', 257}), errStackOverflow},
    };
    for (const auto& c : bad)
        EXPECT_EQ(Unshrink(c.stream).error, c.code) << c.what;
    // Widening past 13 bits.
    BitWriter w;
    w.Put('a', 9);
    unsigned size = 9;
    for (int i = 0; i < 5; ++i) {
        w.Put(256, size).Put(1, size);
        ++size;
    }
    EXPECT_EQ(Unshrink(w.Data()).error, errBadBlock);
}

TEST(Unreduce, DamagedFollowerSetsAndTruncation) {
    // Follower sets are stored from byte 255 down to 0: the first 6-bit count is byte 255's.
    {
        BitWriter w;
        w.Put(33, 6);  // more than 32 followers
        TrickleSource src(w.Data(), 1);
        UnreduceDecoder dec(src, 1, 10);
        EXPECT_EQ(Drain(dec, 10).error, errBadBlock);
    }
    {
        // Every set empty except byte 0's, which holds 3 entries (2 index bits): index 3 is
        // outside it.
        BitWriter w;
        for (int j = 255; j > 0; --j)
            w.Put(0, 6);
        w.Put(3, 6).Put('x', 8).Put('y', 8).Put('z', 8);
        w.Put(0, 1).Put(1, 2);  // byte 0's set: index 1 = 'y'
        w.Put(1, 8);            // 'y' has no set: a plain byte
        w.Put(0, 8);            // plain byte 0
        w.Put(0, 1).Put(3, 2);  // index 3 of a 3-entry set
        TrickleSource src(w.Data(), 1);
        UnreduceDecoder dec(src, 2, 10);
        const auto d = Drain(dec, 10);
        EXPECT_EQ(d.error, errBadBlock);
        EXPECT_EQ(d.out, (Bytes{'y', 1, 0}));
    }
    {
        // Escape 144, then a length byte and a distance byte: factor 4 keeps 4 length bits.
        // "ab", then copy (2 + 3) bytes from distance 2: "ababab" + 'a'.
        BitWriter w;
        for (int j = 255; j >= 0; --j)
            w.Put(0, 6);
        for (unsigned b : {unsigned{'a'}, unsigned{'b'}, 144u, 0x02u, 0x01u})
            w.Put(b, 8);
        TrickleSource src(w.Data(), 1);
        UnreduceDecoder dec(src, 4, 7);
        const auto d = Drain(dec, 3);
        EXPECT_EQ(d.error, kOk);
        EXPECT_EQ(std::string(d.out.begin(), d.out.end()), "abababa");
        // A recorded size beyond the data: the decoder reads past the end and says so.
        TrickleSource src2(w.Data(), 1);
        UnreduceDecoder dec2(src2, 4, 100);
        EXPECT_EQ(Drain(dec2, 100).error, errReadFile);
    }
}

TEST(Explode, DamagedTrees) {
    auto run = [](const Bytes& stream, std::uint16_t flags) {
        TrickleSource src(stream, 2);
        ExplodeDecoder dec(src, flags, 100);
        return Drain(dec, 50).error;
    };
    {
        BitWriter w;  // length tree: 0xF0 = 16 values of 1 bit, five times = 80 values > 64
        w.Put(4, 8);
        for (int i = 0; i < 5; ++i)
            w.Put(0xF0, 8);
        EXPECT_EQ(run(w.Data(), 0), errInvalidDecodeTree);
    }
    {
        BitWriter w;  // length tree: 64 values of 1 bit: far more codes than one bit holds
        w.Put(3, 8);
        for (int i = 0; i < 4; ++i)
            w.Put(0xF0, 8);
        EXPECT_EQ(run(w.Data(), 0), errAmbiguousTree);
    }
    {
        // Length and distance trees of 64 six-bit codes (complete), then a match whose
        // distance code is fine but the stream ends: reading past the end.
        BitWriter w;
        for (int t = 0; t < 2; ++t) {
            w.Put(3, 8);
            for (int i = 0; i < 4; ++i)
                w.Put(0xF5, 8);
        }
        w.Put(1, 1).Put('Q', 8);
        TrickleSource src(w.Data(), 1);
        ExplodeDecoder dec(src, 0, 100);
        const auto d = Drain(dec, 50);
        EXPECT_EQ(d.error, errReadFile);
        ASSERT_FALSE(d.out.empty());
        EXPECT_EQ(d.out[0], 'Q');
    }
    {
        // An incomplete distance tree: one 1-bit code and one 2-bit code leave code space
        // unused; a code in that space is a bad code.
        BitWriter w;
        w.Put(3, 8);
        for (int i = 0; i < 4; ++i)
            w.Put(0xF5, 8);  // lengths
        w.Put(2, 8).Put(0x00, 8).Put(0x01, 8).Put(0xD5,
                                                  8);  // distances: 1 bit, 2 bits, then 62 x 6 bits
        EXPECT_NE(run(w.Data(), 0), kOk);
    }
}
