// The archive browser: which file is an archive it opens, which extractor receives it, what a
// listing hands over and how it ends, and the member chosen.
#include "app/core/ArchiveBrowser.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "archive/RecordingHost.h"
#include "archive/ZipBuilder.h"

using namespace orvello;
using orvello::testing::BuildZip;
using orvello::testing::Entry;
using orvello::testing::RecordingHost;
using orvello::testing::Text;

namespace {

class ArchiveBrowserTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    std::string Put(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = dir_.path().toStdString() + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // Every member a listing hands over (name, size), and the totals it reached.
    struct Listed {
        std::vector<std::pair<std::string, std::int64_t>> members;
        std::vector<std::int32_t> totals;
        ListingResult result;
    };
    Listed List() {
        Listed listed;
        listed.result =
            browser_.List({[&](const std::string& name, std::int64_t size) {
                               listed.members.emplace_back(name, size);
                           },
                           [&](std::int32_t count) { listed.totals.push_back(count); }});
        return listed;
    }

    QTemporaryDir dir_;
    RecordingHost host_;
    ArchiveBrowser browser_{host_};
};

TEST_F(ArchiveBrowserTest, EveryArchiveTypeHasItsExtractorAndOthersHaveNone) {
    using A = archive::TArcType;
    for (A type : {A::atZIP, A::atZipExe, A::atZip250, A::atZip250Exe})
        EXPECT_EQ(browser_.ExtractorFor(type), &browser_.UnZIP);
    EXPECT_EQ(browser_.ExtractorFor(A::atLHA), &browser_.UnLHA);
    EXPECT_EQ(browser_.ExtractorFor(A::atLhaExe), &browser_.UnLHA);
    EXPECT_EQ(browser_.ExtractorFor(A::atZOO), &browser_.UnZOO);
    EXPECT_EQ(browser_.ExtractorFor(A::atARJ), &browser_.Unarj);
    EXPECT_EQ(browser_.ExtractorFor(A::atArjExe), &browser_.Unarj);
    EXPECT_EQ(browser_.ExtractorFor(A::atARC), &browser_.Unarc);
    EXPECT_EQ(browser_.ExtractorFor(A::atArcExe), &browser_.Unarc);
    EXPECT_EQ(browser_.ExtractorFor(A::atRAR), nullptr);
    EXPECT_EQ(browser_.ExtractorFor(A::atNA), nullptr);
    // Every extractor shows its messages through the browser's host and keeps what exists.
    for (archive::TUnBase* x : std::initializer_list<archive::TUnBase*>{
             &browser_.UnZIP, &browser_.UnLHA, &browser_.UnZOO, &browser_.Unarj, &browser_.Unarc}) {
        EXPECT_EQ(x->Host, &host_);
        EXPECT_FALSE(x->UseStoredDirs);
        ASSERT_TRUE(x->OnFileExists);
        bool accept = true;
        x->OnFileExists(*x, "rom.smc", accept);
        EXPECT_FALSE(accept);
    }
    EXPECT_EQ(browser_.ArcLister.Host, &host_);
}

TEST_F(ArchiveBrowserTest, AnArchiveSelectedGoesToItsExtractorAndAPlainFileToNone) {
    const std::string zip =
        Put("games.zip",
            BuildZip({Entry("Mario.sfc", Text("ROM")), Entry("roms/zelda.smc", Text("ZELDA"))}));
    browser_.Select(zip);
    EXPECT_EQ(browser_.ArchiveType(), archive::TArcType::atZIP);
    EXPECT_TRUE(browser_.SelectedIsArchive());
    EXPECT_TRUE(browser_.UnZIP.ArchiveFile().empty()) << "not before it is prepared";
    EXPECT_TRUE(browser_.PrepareExtractor());
    EXPECT_EQ(browser_.UnZIP.ArchiveFile(), zip);

    const std::string plain = Put("game.smc", Text("not an archive"));
    browser_.Select(plain);
    EXPECT_FALSE(browser_.SelectedIsArchive());
    EXPECT_FALSE(browser_.PrepareExtractor());
    EXPECT_EQ(browser_.UnZIP.ArchiveFile(), zip) << "a plain file changes no extractor";
}

TEST_F(ArchiveBrowserTest, AListingHandsOverEveryMemberWithItsSizeAndTheTotals) {
    browser_.Select(Put("games.zip", BuildZip({Entry("Mario.sfc", Text("ROM")),
                                               Entry("roms/zelda.smc", Text("ZELDA"))})));
    const Listed listed = List();
    const std::vector<std::pair<std::string, std::int64_t>> expected{{"Mario.sfc", 3},
                                                                     {"roms/zelda.smc", 5}};
    EXPECT_EQ(listed.members, expected);
    EXPECT_EQ(listed.totals, std::vector<std::int32_t>{2});
    EXPECT_TRUE(listed.result.listed);
    EXPECT_EQ(listed.result.error, 0);
    EXPECT_TRUE(listed.result.errorMember.empty());
}

TEST_F(ArchiveBrowserTest, AListingThatFailsSaysWhyAndTheNextOneStartsClean) {
    // The end record points at a central directory that is not there.
    browser_.Select(ORVELLO_FIXTURES "/archives/zip/EOCDONLY.ZIP");
    ASSERT_TRUE(browser_.SelectedIsArchive());
    const Listed failed = List();
    EXPECT_FALSE(failed.result.listed);
    EXPECT_NE(failed.result.error, 0);
    EXPECT_TRUE(failed.totals.empty());
    const std::string& member = failed.result.errorMember;
    EXPECT_TRUE(member.size() >= 12 && member.substr(member.size() - 12) == "EOCDONLY.ZIP")
        << member;

    browser_.Select(Put("good.zip", BuildZip({Entry("Mario.sfc", Text("ROM"))})));
    const Listed good = List();
    EXPECT_TRUE(good.result.listed);
    EXPECT_EQ(good.result.error, 0);
    EXPECT_TRUE(good.result.errorMember.empty());
}

TEST_F(ArchiveBrowserTest, TheMemberChosenIsForgottenWithTheFileItWasChosenIn) {
    const std::string zip = Put("games.zip", BuildZip({Entry("Mario.sfc", Text("ROM"))}));
    browser_.Select(zip);
    EXPECT_TRUE(browser_.ChosenMemberRawName().empty());
    browser_.ChooseMember("Mario.sfc");
    EXPECT_EQ(browser_.ChosenMemberRawName(), "Mario.sfc");
    browser_.ForgetMember();
    EXPECT_TRUE(browser_.ChosenMemberRawName().empty());
    browser_.ChooseMember("Mario.sfc");
    browser_.Select(zip);
    EXPECT_TRUE(browser_.ChosenMemberRawName().empty()) << "selected again";
}

TEST_F(ArchiveBrowserTest, TheNamesEncodingReachesTheListerAndEveryExtractor) {
    browser_.SetNamesEncoding(archive::NameEncoding::kCp437);
    EXPECT_EQ(browser_.ArcLister.NamesEncoding, archive::NameEncoding::kCp437);
    for (const archive::TUnBase* x : std::initializer_list<const archive::TUnBase*>{
             &browser_.UnZIP, &browser_.UnLHA, &browser_.UnZOO, &browser_.Unarj, &browser_.Unarc})
        EXPECT_EQ(x->NamesEncoding, archive::NameEncoding::kCp437);
    browser_.SetNamesEncoding(archive::NameEncoding::kAuto);
    EXPECT_EQ(browser_.UnZIP.NamesEncoding, archive::NameEncoding::kAuto);
}

}  // namespace
