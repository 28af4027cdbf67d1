// Every fixture archive listed against its manifest: names, sizes, check values, methods.
#include <gtest/gtest.h>

#include <map>

#include "Fixtures.h"
#include "ListerSupport.h"

using namespace orvello::archive;
using namespace orvello::testing;

namespace {

// sfx/RESLHA.EXE gives the packed sizes of its level-1 headers as recorded, with the 5-byte
// CRC extended header included; lha/ gives the member's data alone, as the lister does.
const std::map<std::string, std::int64_t> kPackedRecordedWithExtendedHeaders = {
    {"sfx/RESLHA.EXE", 5}};

// The manifest's check value: hex digits, for members split over volumes the parts joined
// with "+" (the lister shows the first part's, as its header holds it).
std::uint32_t ManifestCrc(const std::string& text) {
    return static_cast<std::uint32_t>(std::stoul(text.substr(0, text.find('+')), nullptr, 16));
}

// The method code as the lister keeps it: the number, or for LHA the method character of
// "-lh5-".
unsigned ManifestMethod(const Json& m) {
    if (m.kind() == Json::Kind::String) return static_cast<unsigned char>(m.Str().at(3));
    return static_cast<unsigned>(m.Int());
}

}  // namespace

class ListManifest : public ::testing::TestWithParam<FixtureSet> {};

TEST_P(ListManifest, ReportsTheManifestMembers) {
    const FixtureSet& set = GetParam();
    ORVELLO_SKIP_UNLESS_PRESENT(set);
    const std::string& folder = set.folder;
    for (const Json& entry : set.Entries()) {
        const std::string name = entry["archive"].Str();
        SCOPED_TRACE(folder + "/" + name);
        const bool wideWindow = entry["detect_with_comment_window"].Has("ZipCmntBufSize>=40");
        const Listing l = ListFile(set.Path(name), "*.*", wideWindow ? 40 : 0);

        const std::string detect = wideWindow ? "atZipExe" : entry["detect"].Str();
        if (folder == "detect") continue;  // detection fixtures only; they must not crash
        if (detect == "atUnknown" || detect == "atNA") {
            EXPECT_FALSE(l.ok);
            EXPECT_EQ(l.errors, std::vector<int>{errUnknownFileType});
            EXPECT_TRUE(l.members.empty());
            continue;
        }
        if (name == "EOCDONLY.ZIP") {
            EXPECT_FALSE(l.ok);
            EXPECT_EQ(l.errors, std::vector<int>{errHeaderID});
            continue;
        }
        if (name == "MVMISS.ARJ") {
            // The first member continues in the missing MVMISS.A01.
            EXPECT_FALSE(l.ok);
            EXPECT_EQ(l.errors, (std::vector<int>{errNextVolume, errFileNotFound}));
            EXPECT_TRUE(l.members.empty());
            continue;
        }

        // The members a lister reports: TAR reports only some blocks; folder entries have no
        // file-name part, so no FileSpec matches them; and where the walk stops early (stray
        // bytes between ARC headers) the manifest says how many.
        std::vector<const Json*> expected;
        for (const Json& m : entry["members"].Items()) {
            if (m.Has("reported") && !m["reported"].Bool()) continue;
            if (m["name"].Str().empty() || m["name"].Str().back() == '/') continue;
            expected.push_back(&m);
        }
        if (entry.Has("list_count"))
            expected.resize(static_cast<std::size_t>(entry["list_count"].Int()));

        EXPECT_TRUE(l.ok);
        EXPECT_TRUE(l.errors.empty());
        ASSERT_EQ(l.members.size(), expected.size());
        const int firstFilenum = folder == "zoo" ? 2 : 1;  // the ZOO archive header counts
        EXPECT_EQ(l.totals, static_cast<int>(expected.size()) + firstFilenum - 1);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const Json& m = *expected[i];
            const Listed& got = l.members[i];
            SCOPED_TRACE(m["name"].Str());
            EXPECT_EQ(got.name, m["name"].Str());
            EXPECT_EQ(got.size, m["size"].Int());
            const auto extended = kPackedRecordedWithExtendedHeaders.find(folder + "/" + name);
            EXPECT_EQ(
                got.packed,
                m["packed"].Int() -
                    (extended != kPackedRecordedWithExtendedHeaders.end() ? extended->second : 0));
            EXPECT_EQ(got.crc, ManifestCrc(m["crc"].Str()));
            EXPECT_EQ(got.method, ManifestMethod(m["method"]));
            EXPECT_EQ(got.filenum, static_cast<int>(i) + firstFilenum);
            if (m.Has("comment")) {
                EXPECT_EQ(got.comment, m["comment"].Str());
            }
            if (m.Has("header_offset")) {
                EXPECT_EQ(got.offset, m["header_offset"].Int());
            }
            if (entry.Has("archive_comment") && detect.rfind("atZip", 0) == 0) {
                EXPECT_EQ(got.archiveComment, entry["archive_comment"].Str());
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, ListManifest, ::testing::ValuesIn(FixtureSets()), FixtureSetName);
