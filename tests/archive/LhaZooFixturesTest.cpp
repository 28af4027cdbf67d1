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

TEST(LhaZooFixtures, EveryArchiveExtractsToItsManifest) {
    KeepFolder keep;
    int archives = 0, members = 0;
    for (const char* folder : {"lha", "zoo", "sfx"}) {
        for (const auto& [entry, path] : AllFixtures(folder)) {
            const std::string detect = entry["detect"].Str();
            if (detect != "atLHA" && detect != "atLhaExe" && detect != "atZOO") continue;
            const std::string name = entry["archive"].Str();
            SCOPED_TRACE(name);
            ASSERT_EQ(entry["expect"].Str(), "ok");
            TempDir out;
            TZipCommon probe;
            probe.SetArchiveFile(path);
            ASSERT_EQ(ArcTypeName(probe.ArcType()), detect);
            const auto x = MakeExtractor(probe.ArcType());
            ASSERT_NE(x, nullptr);
            const Events ev = ExtractTo(*x, path, out.Path());
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
                ++members;
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
    // The counts take the copied archives too; without them, what could be checked was.
    ORVELLO_SKIP_WITHOUT_COPIED_ARCHIVES();
    EXPECT_GE(archives, 31);
    EXPECT_GE(members, 88);
}
