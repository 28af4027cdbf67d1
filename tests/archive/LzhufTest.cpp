// The -lh1- decoder on the members that LHarc, LHA for OS/2, LHMelt, MacLHA and MorphOS LHA
// wrote (one of 1.2 MB, so the tree is rebuilt many times), fed in odd pieces; and cut short.
#include <gtest/gtest.h>

#include "DecoderTestUtil.h"
#include "Fixtures.h"
#include "RawLhaArjZoo.h"
#include "Sha256.h"
#include "archive/ArcTypes.h"
#include "archive/Lzhuf.h"

using namespace orvello::archive;
using namespace orvello::archive::testing;
using orvello::testing::AllFixtures;
using orvello::testing::CopiedFixturePath;
using orvello::testing::Manifest;
using orvello::testing::Sha256Hex;

TEST(Lzhuf, RealLh1MembersDecodeToTheirManifestContents) {
    int decoded = 0;
    // -lh1- members are met only in the copied archives (LHarc's own).
    ORVELLO_SKIP_WITHOUT_COPIED_ARCHIVES();
    for (const auto& [entry, path] : AllFixtures("lha")) {
        const std::string archive = entry["archive"].Str();
        const auto raw = ReadRawLha(path);
        const auto& listed = entry["members"].Items();
        ASSERT_EQ(raw.size(), listed.size()) << archive;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i].method != "-lh1-") continue;
            for (auto [inStep, outChunk] :
                 {std::pair<std::size_t, std::size_t>{1, 1}, {7, 4093}, {65536, 32768}}) {
                if (raw[i].size > 100000 && inStep == 1) continue;  // slow, and nothing new
                TrickleSource src(raw[i].data, inStep);
                LzhufDecoder dec(src, raw[i].size);
                const auto d = Drain(dec, outChunk);
                EXPECT_EQ(d.error, kOk) << archive;
                EXPECT_FALSE(d.overAsked);
                EXPECT_EQ(d.out.size(), raw[i].size) << archive;
                EXPECT_EQ(Sha256Hex(d.out), listed[i]["sha256"].Str())
                    << archive << " in " << inStep << " out " << outChunk;
                EXPECT_GE(dec.Consumed() + 1, raw[i].data.size()) << archive;
            }
            ++decoded;
        }
    }
    EXPECT_GE(decoded, 7);
}

TEST(Lzhuf, TruncatedMemberEndsInAnError) {
    ORVELLO_SKIP_WITHOUT_COPIED_ARCHIVES();
    const auto raw = ReadRawLha(CopiedFixturePath("lha", "lharc113_lh1.lzh"));
    ASSERT_EQ(raw.size(), 1u);
    const auto& m = raw[0];
    for (std::size_t cut :
         {std::size_t{0}, std::size_t{1}, std::size_t{100}, m.data.size() / 2, m.data.size() - 2}) {
        TrickleSource src(Bytes(m.data.begin(), m.data.begin() + static_cast<std::ptrdiff_t>(cut)),
                          4096);
        LzhufDecoder dec(src, m.size);
        const auto d = Drain(dec, 32768);
        EXPECT_EQ(d.error, errReadFile) << "cut at " << cut;
        EXPECT_LE(d.out.size(), m.size);
    }
}

TEST(Lzhuf, FirstMatchesCopyTheInitialSpaces) {
    // A stream of 1 bits. In the starting tree inner node 314 + m joins nodes 2m and 2m + 1, so
    // the all-ones path from the root (626) runs 625, 623, 619, 611, 595, 563, 499, 371 to leaf
    // 115: the literal 's'. After it the ones decode to matches whose position is all ones,
    // distance 4096: from the ring's spaces, never from the 's'.
    const Bytes ones(64, 0xFF);
    TrickleSource src(ones, 5);
    LzhufDecoder dec(src, 60);
    const auto d = Drain(dec, 7);
    EXPECT_EQ(d.error, kOk);
    EXPECT_EQ(std::string(d.out.begin(), d.out.end()), "s" + std::string(59, ' '));
}
