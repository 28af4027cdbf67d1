// ARC's run-length step, squeeze and early crunch, and ARJ's method 4: real members of the
// fixture archives, hand-built streams for the rules and limits, and hostile input.
#include <gtest/gtest.h>

#include "DecoderTestUtil.h"
#include "Fixtures.h"
#include "RawLhaArjZoo.h"
#include "Sha256.h"
#include "archive/ArcGlobals.h"
#include "archive/ArcRle.h"
#include "archive/ArcTypes.h"
#include "archive/ArjFast.h"
#include "archive/ByteOrder.h"
#include "archive/StoredDecoder.h"
#include "archive/Uncrunch.h"
#include "archive/Unsqueeze.h"

using namespace orvello::archive;
using namespace orvello::archive::testing;
using namespace orvello::testing;

namespace {

// The manifest's SHA-256 of each member of an archive, in archive order.
std::vector<std::string> ManifestHashes(const std::string& folder, const std::string& archive,
                                        bool copied = false) {
    std::vector<std::string> h;
    for (const auto& e : orvello::testing::FixtureSet{folder, copied}.Entries()) {
        if (e["archive"].Str() != archive) continue;
        for (const auto& m : e["members"].Items())
            h.push_back(m["sha256"].Str());
    }
    return h;
}

// The run-length step over bytes given as they are.
Drained Expand(const Bytes& coded, std::size_t chunk = 7, std::size_t step = 3,
               std::uint64_t limit = UINT64_MAX) {
    TrickleSource src(coded, step);
    ArcRleDecoder d(std::make_unique<StoredDecoder>(src), limit);
    return Drain(d, chunk);
}

// An early-crunch encoder: greedy LZW over a table filled through the same slot rule, written
// from the method's description so that both hashes and the chains round-trip.
Bytes Crunch(const Bytes& data, UncrunchDecoder::Hash hash) {
    constexpr unsigned kSize = UncrunchDecoder::kTableSize;
    std::vector<int> pred(kSize, -1), next(kSize, 0);
    std::vector<int> foll(kSize, -1);
    std::vector<bool> used(kSize, false);
    std::map<std::pair<int, int>, unsigned> code;  // (predecessor, byte) -> slot
    unsigned count = 0;
    auto add = [&](int p, int f) {
        if (count == kSize) return;
        const unsigned pp = p < 0 ? UncrunchDecoder::kNoPredecessor : static_cast<unsigned>(p);
        unsigned s = UncrunchDecoder::HashSlot(hash, pp, static_cast<unsigned>(f));
        if (used[s]) {
            while (next[s] != 0)
                s = static_cast<unsigned>(next[s]);
            unsigned free = (s + 101) % kSize;
            while (used[free])
                free = (free + 1) % kSize;
            next[s] = static_cast<int>(free);
            s = free;
        }
        used[s] = true;
        next[s] = 0;
        pred[s] = p;
        foll[s] = f;
        code[{p, f}] = s;
        ++count;
    };
    for (int c = 0; c < 256; ++c)
        add(-1, c);
    MsbBitWriter w;
    std::size_t i = 0;
    while (i < data.size()) {
        unsigned cur = code[{-1, data[i++]}];
        while (i < data.size()) {
            const auto it = code.find({static_cast<int>(cur), data[i]});
            if (it == code.end()) break;
            cur = it->second;
            ++i;
        }
        w.Put(cur, 12);
        if (i < data.size()) add(static_cast<int>(cur), data[i]);
    }
    return w.Data();
}

Drained Uncrunch(const Bytes& coded, UncrunchDecoder::Hash hash, std::size_t chunk = 1000) {
    TrickleSource src(coded, 5);
    UncrunchDecoder d(src, hash);
    return Drain(d, chunk);
}

Drained Unsqueeze(const Bytes& coded, std::size_t chunk = 1000) {
    TrickleSource src(coded, 3);
    UnsqueezeDecoder d(src);
    return Drain(d, chunk);
}

Drained ArjFast(const Bytes& coded, std::uint64_t size, std::size_t chunk = 4096) {
    TrickleSource src(coded, 11);
    ArjFastDecoder d(src, size);
    return Drain(d, chunk);
}

}  // namespace

TEST(ArcRle, MarkerRulesRunsAndLiteralMarkers) {
    // A run repeats the byte before the marker to n occurrences in all.
    EXPECT_EQ(Expand({'A', 0x90, 5, 'B'}).out, (Bytes{'A', 'A', 'A', 'A', 'A', 'B'}));
    // 0x90 0x00 is a literal 0x90 that a later run does not repeat: the run repeats 'A'.
    EXPECT_EQ(Expand({'A', 0x90, 0, 0x90, 3}).out, (Bytes{'A', 0x90, 'A', 'A'}));
    // A count of 1 adds nothing; 255 is the longest run.
    EXPECT_EQ(Expand({'Z', 0x90, 1, 'Y'}).out, (Bytes{'Z', 'Y'}));
    EXPECT_EQ(Expand({'Q', 0x90, 255}).out, Bytes(255, 'Q'));
    // Runs of runs: the repeated byte stays the last plain byte.
    EXPECT_EQ(Expand({7, 0x90, 3, 0x90, 3}).out, Bytes(5, 7));
    // A marker at the very end of the data has no count: nothing more comes out.
    EXPECT_EQ(Expand({'A', 0x90}).out, (Bytes{'A'}));
    // Through every split of reads and output sizes the result is the same.
    const Bytes coded = {1, 2, 0x90, 200, 0x90, 0, 3, 0x90, 40, 0x90, 0, 0x90, 0, 9};
    const Bytes whole = Expand(coded, 100000, 100000).out;
    EXPECT_EQ(whole.size(), 2u + 199 + 1 + 1 + 39 + 2 + 1);
    for (std::size_t chunk : {1u, 2u, 3u, 64u})
        for (std::size_t step : {1u, 2u, 5u})
            EXPECT_EQ(Expand(coded, chunk, step).out, whole);
    // The limit ends the output in the middle of a run.
    EXPECT_EQ(Expand({'A', 0x90, 200}, 7, 3, 10).out, Bytes(10, 'A'));
}

TEST(ArcRle, PackedFixturesExpandToTheirContents) {
    int checked = 0;
    for (const char* archive : {"PACKED.ARC", "MIXED.ARC"}) {
        const auto hashes = ManifestHashes("arc", archive);
        const auto raw = ReadRawArc(FixturePath("arc", archive));
        ASSERT_EQ(raw.size(), hashes.size());
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i].method != 3) continue;
            const Drained d = Expand(raw[i].data, 333, 4096);
            EXPECT_EQ(d.error, kOk);
            EXPECT_EQ(Sha256Hex(d.out), hashes[i]);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 4);
}

TEST(Unsqueeze, FixturesWithAndWithoutTheEndCode) {
    int checked = 0;
    for (const std::string archive :
         {"SQNOEOF.ARC", "sharpcompress-squeezed.arc", "cpm-1985.arc"}) {
        const bool copied = archive != "SQNOEOF.ARC";
        const std::string path =
            copied ? CopiedFixturePath("arc", archive) : FixturePath("arc", archive);
        const Bytes bytes = ReadBytes(path);
        if (bytes.empty()) continue;  // a copied archive that is not here
        const auto hashes = ManifestHashes("arc", archive, copied);
        const auto raw = ReadRawArc(path);
        ASSERT_EQ(raw.size(), hashes.size());
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const auto& m = raw[i];
            if (m.method != 4) continue;
            SCOPED_TRACE(archive + " " + std::to_string(i));
            for (std::size_t chunk : {1u, 999u, 65536u}) {
                TrickleSource src(m.data, 1 + chunk % 17);
                ArcRleDecoder d(std::make_unique<UnsqueezeDecoder>(src), m.size);
                const Drained out = Drain(d, chunk);
                EXPECT_EQ(out.error, kOk);
                EXPECT_EQ(out.out.size(), m.size);
                EXPECT_EQ(Sha256Hex(out.out), hashes[i]);
            }
            ++checked;
        }
    }
    EXPECT_GE(checked, 2);
}

TEST(Unsqueeze, HandBuiltTreesAndBadOnes) {
    // Three nodes: 0 -> (leaf 'a', node 1), 1 -> (leaf 'b', node 2), 2 -> (leaf 'c', end).
    auto tree = [](std::initializer_list<int> links) {
        BitWriter w;
        w.Put(static_cast<std::uint32_t>(links.size() / 2), 16);
        for (int l : links)
            w.Put(static_cast<std::uint16_t>(l), 16);
        return w;
    };
    auto leaf = [](int v) { return -(v + 1); };
    BitWriter w = tree({leaf('a'), 1, leaf('b'), 2, leaf('c'), leaf(256)});
    // a=0, b=10, c=110, end=111; bits are read lowest first.
    w.Put(0, 1).Put(0b01, 2).Put(0b011, 3).Put(0, 1).Put(0b111, 3).Put(0b011, 3);
    Drained d = Unsqueeze(w.Data(), 1);
    EXPECT_EQ(d.error, kOk);
    EXPECT_EQ(d.out, (Bytes{'a', 'b', 'c', 'a'}));  // nothing after the end code

    // An empty tree is the end code alone.
    EXPECT_EQ(Unsqueeze(tree({}).Data()).out, Bytes{});

    // More than 256 nodes, a link past the last node, a leaf beyond the end code, a loop.
    BitWriter big;
    big.Put(257, 16);
    EXPECT_EQ(Unsqueeze(big.Data()).error, errInvalidDecodeTree);
    EXPECT_EQ(Unsqueeze(tree({leaf(1), 1}).Data()).error, errInvalidDecodeTree);
    EXPECT_EQ(Unsqueeze(tree({leaf(1), leaf(257)}).Data()).error, errInvalidDecodeTree);
    BitWriter loop = tree({1, leaf(0), 0, leaf(1)});
    loop.Put(0, 8);
    EXPECT_EQ(Unsqueeze(loop.Data()).error, errInvalidDecodeTree);
    // A tree cut short is an unexpected end.
    Bytes cut = tree({leaf('a'), leaf(256)}).Data();
    cut.resize(4);
    EXPECT_EQ(Unsqueeze(cut).error, errReadFile);
}

TEST(Uncrunch, BothHashesRoundTripThroughAFullTable) {
    for (auto hash : {UncrunchDecoder::Hash::kOld, UncrunchDecoder::Hash::kNew}) {
        for (const char* kind : {"text", "rom", "random", "runs"}) {
            SCOPED_TRACE(kind);
            // 60000 bytes fill the 4096 slots, so collisions, chains and the full table are met.
            const Bytes data = MakeData(kind, 60000, 3);
            const Bytes coded = Crunch(data, hash);
            for (std::size_t chunk : {1u, 4097u}) {
                const Drained d = Uncrunch(coded, hash, chunk);
                EXPECT_EQ(d.error, kOk);
                EXPECT_TRUE(d.out == data);
            }
        }
        // A repeat of the string being defined (a code that was still free).
        const Bytes aaa(50, 'a');
        EXPECT_EQ(Uncrunch(Crunch(aaa, hash), hash).out, aaa);
    }
    // The two hashes place strings differently: data crunched with one is not the other's.
    const Bytes text = MakeData("text", 5000, 9);
    EXPECT_NE(Uncrunch(Crunch(text, UncrunchDecoder::Hash::kOld), UncrunchDecoder::Hash::kNew).out,
              text);
    // The old hash is the middle of the square of (sum | 0x800): for 'A' after no predecessor
    // the 16-bit sum is 0x40.
    EXPECT_EQ(UncrunchDecoder::HashSlot(UncrunchDecoder::Hash::kOld, 0xFFFF, 'A'),
              (0x840u * 0x840u >> 6) & 0xFFF);
    EXPECT_EQ(UncrunchDecoder::HashSlot(UncrunchDecoder::Hash::kNew, 0xFFFF, 'A'),
              (0x40u * 15073u) & 0xFFF);
}

TEST(Uncrunch, CodesThatNameNoString) {
    // The first code must name a single byte; a free slot there is an invalid code.
    const unsigned free = [] {
        for (unsigned s = 0; s < 4096; ++s) {
            bool taken = false;
            for (unsigned c = 0; c < 256 && !taken; ++c)
                taken = UncrunchDecoder::HashSlot(UncrunchDecoder::Hash::kNew, 0xFFFF, c) == s;
            if (!taken) return s;
        }
        return 0u;
    }();
    MsbBitWriter w;
    w.Put(free, 12);
    // Slots the chains moved single bytes to are taken too; look for one that is surely free
    // by decoding: the result must be an error, never output.
    const Drained d = Uncrunch(w.Data(), UncrunchDecoder::Hash::kNew);
    EXPECT_TRUE(d.out.empty());
    if (d.error == kOk) GTEST_SKIP() << "slot " << free << " holds a moved single byte";
    EXPECT_EQ(d.error, errInvalidCode);
    // Later, a free code that is not where the repeated string lands is invalid as well.
    MsbBitWriter later;
    const Bytes ab = {'a', 'b'};
    const Bytes coded = Crunch(ab, UncrunchDecoder::Hash::kNew);
    later.Put(Le16(coded.data()) >> 4, 12).Put(free, 12);
    EXPECT_EQ(Uncrunch(later.Data(), UncrunchDecoder::Hash::kNew).error, errInvalidCode);
}

TEST(ArjFast, Method4FixturesAndEverySplit) {
    const auto hashes = ManifestHashes("arj", "METHOD4.ARJ");
    int checked = 0;
    const auto raw = ReadRawArj(FixturePath("arj", "METHOD4.ARJ"));
    ASSERT_EQ(raw.size(), hashes.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto& m = raw[i];
        if (m.method != 4) continue;
        SCOPED_TRACE(i);
        for (std::size_t chunk : {1u, 777u, 65536u}) {
            const Drained d = ArjFast(m.data, m.size, chunk);
            EXPECT_EQ(d.error, kOk);
            EXPECT_EQ(d.out.size(), m.size);
            EXPECT_EQ(~Crc32Update(0xFFFFFFFFu, d.out.data(), d.out.size()), m.crc);
            EXPECT_EQ(Sha256Hex(d.out), hashes[i]);
        }
        ++checked;
    }
    EXPECT_GE(checked, 6);
}

TEST(ArjFast, HandBuiltCodesAndHostileStreams) {
    // Literal 'x' (0 + 8 bits), then a match of length 1 + 2 = 3 at distance 1 (0 + 9 bits of 0),
    // then the longest codes: length (1<<7)-1 + 127 + 2 = 256 at distance 15872.
    MsbBitWriter w;
    w.Put(0, 1).Put('x', 8);
    w.Put(0b10, 2).Put(0, 1).Put(0, 1).Put(0, 9);
    Drained d = ArjFast(w.Data(), 4);
    EXPECT_EQ(d.error, kOk);
    EXPECT_EQ(d.out, Bytes(4, 'x'));

    MsbBitWriter far;
    for (int i = 0; i < 15872; ++i)
        far.Put(0, 1).Put(static_cast<std::uint32_t>(i % 251), 8);
    far.Put(0x7F, 7).Put(127, 7).Put(0xF, 4).Put(8191, 13);
    d = ArjFast(far.Data(), 15872 + 256);
    ASSERT_EQ(d.error, kOk);
    ASSERT_EQ(d.out.size(), 15872u + 256);
    for (std::size_t i = 0; i < 256; ++i)
        ASSERT_EQ(d.out[15872 + i], d.out[i]);

    // A distance reaching before the first byte is a bad block, never a read outside the window.
    MsbBitWriter before;
    before.Put(0, 1).Put('x', 8).Put(0b10, 2).Put(0, 1).Put(0, 1).Put(1, 9);
    EXPECT_EQ(ArjFast(before.Data(), 10).error, errBadBlock);
    // Data that ends before the recorded size is an unexpected end.
    EXPECT_EQ(ArjFast(w.Data(), 100).error, errReadFile);
    // Output stops at the recorded size, whatever follows.
    EXPECT_EQ(ArjFast(far.Data(), 5).out.size(), 5u);
}
