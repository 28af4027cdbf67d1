// Every LHA and ZOO archive of the fixtures, the LHA self-extractors included, extracted and
// compared with its manifest.
#include <gtest/gtest.h>

#include <map>

#include "ExtractEvents.h"
#include "Fixtures.h"
#include "Sha256.h"
#include "archive/ArcPaths.h"
#include "archive/Extractors.h"

using namespace orvello::archive;
using namespace orvello::testing;

namespace {

class LhaZooFixtures : public ::testing::TestWithParam<FixtureSet> {};

std::vector<FixtureSet> LhaZooSets() {
    std::vector<FixtureSet> sets;
    for (const FixtureSet& s : FixtureSets()) {
        if (s.folder == "lha" || s.folder == "zoo" || s.folder == "sfx") sets.push_back(s);
    }
    return sets;
}

}  // namespace

TEST_P(LhaZooFixtures, EveryArchiveExtractsToItsManifest) {
    const FixtureSet& set = GetParam();
    ORVELLO_SKIP_UNLESS_PRESENT(set);
    KeepFolder keep;
    int archives = 0;
    {
        for (const auto& entry : set.Entries()) {
            const std::string detect = entry["detect"].Str();
            if (detect != "atLHA" && detect != "atLhaExe" && detect != "atZOO") continue;
            const std::string name = entry["archive"].Str();
            SCOPED_TRACE(name);
            ASSERT_EQ(entry["expect"].Str(), "ok");
            TempDir out;
            TZipCommon probe;
            probe.SetArchiveFile(set.Path(name));
            ASSERT_EQ(ArcTypeName(probe.ArcType()), detect);
            const auto x = MakeExtractor(probe.ArcType());
            ASSERT_NE(x, nullptr);
            const Events ev = ExtractTo(*x, set.Path(name), out.Path());
            ++archives;
            EXPECT_TRUE(ev.errors.empty()) << ev.errors[0].first << " " << ev.errors[0].second;
            EXPECT_EQ(ev.deactivate, 1);
            // Members are written flat, under the file-name part of their listed name.
            std::map<std::string, bool> ended(ev.ends.begin(), ev.ends.end());
            std::size_t files = 0;
            for (const auto& m : entry["members"].Items()) {
                const std::string stored = m["name"].Str();
                if (!stored.empty() && stored.back() == '/') continue;  // a folder entry
                ++files;
                SCOPED_TRACE(stored);
                const std::string path = out.Path() + "/" + FileNamePart(stored);
                ASSERT_TRUE(ended.count(path));
                EXPECT_TRUE(ended[path]);
                const auto bytes = ReadBytes(path);
                EXPECT_EQ(bytes.size(), static_cast<std::size_t>(m["size"].Int()));
                EXPECT_EQ(Sha256Hex(bytes), m["sha256"].Str());
            }
            EXPECT_EQ(ev.ends.size(), files);
        }
    }
    if (set.folder != "sfx") {
        EXPECT_GT(archives, 0);  // a manifest that lost its archives would pass otherwise
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, LhaZooFixtures, ::testing::ValuesIn(LhaZooSets()),
                         FixtureSetName);
