// The LZW decoder on the member data real archivers wrote (ZOO method 1, ARC crunched 8 and
// squashed 9) and on hand-built code streams.
#include <gtest/gtest.h>

#include "DecoderTestUtil.h"
#include "Fixtures.h"
#include "RawLhaArjZoo.h"
#include "Sha256.h"
#include "archive/ArcGlobals.h"
#include "archive/ArcTypes.h"
#include "archive/Lzw.h"

using namespace orvello::archive;
using namespace orvello::archive::testing;
using orvello::testing::AllFixtures;
using orvello::testing::FixturePath;
using orvello::testing::Manifest;
using orvello::testing::Sha256Hex;

namespace {

Drained Lzw(const Bytes& stream, const LzwDecoder::Options& o, std::size_t chunk = 100) {
    TrickleSource src(stream, 3);
    LzwDecoder dec(src, o);
    return Drain(dec, chunk);
}

// ARC's run-length expansion (0x90 n repeats the previous byte to n in all, 0x90 0 is 0x90),
// only to check crunched members here.
Bytes Unpack90(const Bytes& in) {
    Bytes out;
    int last = -1;
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] != 0x90) {
            out.push_back(in[i]);
            last = in[i];
        } else if (i + 1 < in.size()) {
            const unsigned n = in[++i];
            if (n == 0) {
                out.push_back(0x90);
                last = -1;
            } else {
                for (unsigned k = 1; k < n && last >= 0; ++k)
                    out.push_back(static_cast<std::uint8_t>(last));
            }
        }
    }
    return out;
}

}  // namespace

TEST(Lzw, ZooMethod1MembersDecodeToTheirManifestContents) {
    int decoded = 0;
    for (const auto& entry : Manifest("zoo")) {
        const std::string archive = entry["archive"].Str();
        const auto raw = ReadRawZoo(FixturePath("zoo", archive));
        const auto& listed = entry["members"].Items();
        ASSERT_EQ(raw.size(), listed.size()) << archive;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i].method != 1) continue;
            for (std::size_t chunk : {std::size_t{1}, std::size_t{4091}, std::size_t{65536}}) {
                const auto d = Lzw(raw[i].data, LzwDecoder::kZoo, chunk);
                EXPECT_EQ(d.error, kOk) << archive << " " << i;
                EXPECT_EQ(Sha256Hex(d.out), listed[i]["sha256"].Str()) << archive << " " << i;
            }
            ++decoded;
        }
    }
    EXPECT_GE(decoded, 10);
}

TEST(Lzw, ArcCrunchedAndSquashedMembersDecode) {
    int crunched = 0, squashed = 0;
    for (const auto& [entry, path] : AllFixtures("arc")) {
        const std::string archive = entry["archive"].Str();
        if (entry["expect"].Str().rfind("ok", 0) != 0 && archive != "BADCRC.ARC") continue;
        const auto raw = ReadRawArc(path);
        const auto& listed = entry["members"].Items();
        for (std::size_t i = 0; i < raw.size() && i < listed.size(); ++i) {
            const auto& m = raw[i];
            if (m.size == 0 || (m.method != 8 && m.method != 9)) continue;
            Bytes out;
            if (m.method == 9) {
                const auto d = Lzw(m.data, LzwDecoder::kArcSquash, 777);
                EXPECT_EQ(d.error, kOk) << archive << " " << i;
                out = d.out;
                ++squashed;
            } else {
                // Crunched data starts with its code width, 12.
                ASSERT_FALSE(m.data.empty());
                EXPECT_EQ(m.data[0], 12) << archive << " " << i;
                const auto d =
                    Lzw(Bytes(m.data.begin() + 1, m.data.end()), LzwDecoder::kArcCrunch, 777);
                EXPECT_EQ(d.error, kOk) << archive << " " << i;
                out = Unpack90(d.out);
                ++crunched;
            }
            if (archive == "BADCRC.ARC" && listed[i]["name"].Str() == "README") continue;
            EXPECT_EQ(out.size(), m.size) << archive << " " << i;
            EXPECT_EQ(Crc16Update(0, out.data(), out.size()), m.crc) << archive << " " << i;
        }
    }
    // The counts take the copied archives too; without them, what could be checked was.
    ORVELLO_SKIP_WITHOUT_COPIED_ARCHIVES();
    EXPECT_GE(crunched, 20);
    EXPECT_GE(squashed, 5);
}

namespace {

Bytes Codes(std::initializer_list<std::pair<unsigned, unsigned>> codes) {
    BitWriter w;
    for (auto [c, n] : codes)
        w.Put(c, n);
    return w.Data();
}

}  // namespace

TEST(Lzw, ControlCodesWideningAndDamage) {
    // ZOO: "ab", 258 (= "ab"), the end code, then codes that are never read.
    {
        const auto d =
            Lzw(Codes({{'a', 9}, {'b', 9}, {258, 9}, {257, 9}, {'z', 9}}), LzwDecoder::kZoo);
        EXPECT_EQ(d.error, kOk);
        EXPECT_EQ(std::string(d.out.begin(), d.out.end()), "abab");
    }
    // ARC: 257 is the first new code; a clear starts over with a byte, and in groups of eight
    // the rest of the clear's group is skipped.
    {
        const auto d =
            Lzw(Codes({{'a', 9}, {'b', 9}, {257, 9}, {256, 9}, {0, 18}, {0, 18}, {'c', 9}}),
                LzwDecoder::kArcSquash);
        EXPECT_EQ(d.error, kOk);
        EXPECT_EQ(std::string(d.out.begin(), d.out.end()), "ababc");
    }
    // ZOO widens to 10 bits once code 511 is defined: 254 new codes after the first byte.
    {
        BitWriter w;
        w.Put('x', 9);
        for (int i = 0; i < 254; ++i)
            w.Put('y', 9);
        w.Put(511, 10).Put(257, 10);  // 511 = "yy" (defined by the pair before it)
        const auto d = Lzw(w.Data(), LzwDecoder::kZoo, 4096);
        EXPECT_EQ(d.error, kOk);
        ASSERT_EQ(d.out.size(), 257u);
        EXPECT_EQ(d.out[255], 'y');
        EXPECT_EQ(d.out[256], 'y');
    }
    struct Case {
        const char* what;
        Bytes stream;
        int code;
    };
    const Case bad[] = {
        {"first code not a byte", Codes({{300, 9}}), errInvalidCode},
        {"code not defined yet", Codes({{'a', 9}, {'b', 9}, {300, 9}}), errInvalidCode},
        {"first code after a clear not a byte", Codes({{'a', 9}, {256, 9}, {258, 9}}),
         errInvalidCode},
    };
    for (const auto& c : bad)
        EXPECT_EQ(Lzw(c.stream, LzwDecoder::kZoo).error, c.code) << c.what;
    // ARC's first new code is 257: after "ab" the code being defined is 258, and 259 is not
    // defined; in ZOO 259 is the one being defined ("ab" + "a").
    EXPECT_EQ(Lzw(Codes({{'a', 9}, {'b', 9}, {259, 9}}), LzwDecoder::kArcSquash).error,
              errInvalidCode);
    const auto zoo = Lzw(Codes({{'a', 9}, {'b', 9}, {259, 9}, {257, 9}}), LzwDecoder::kZoo);
    EXPECT_EQ(zoo.error, kOk);
    EXPECT_EQ(std::string(zoo.out.begin(), zoo.out.end()), "abbb");
}
