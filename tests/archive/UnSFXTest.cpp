// The self-extracting archive component: proposals, refusals and the name checks of
// OutFilename, with a host that records its boxes.
#include <gtest/gtest.h>

#include <filesystem>

#include "Fixtures.h"
#include "RecordingHost.h"
#include "archive/UnSFX.h"

using namespace orvello::archive;
using namespace orvello::testing;

namespace {

class UnSFXTest : public ::testing::Test {
  protected:
    UnSFXTest() : saved_(std::filesystem::current_path()) { sfx.Host = &host; }
    ~UnSFXTest() override { std::filesystem::current_path(saved_); }

    // A copy of a fixture under another name inside the temporary folder.
    std::string Copy(const std::string& folder, const std::string& fixture, const std::string& as) {
        const std::string path = dir.Path() + "/" + as;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::filesystem::copy_file(FixturePath(folder, fixture), path);
        return path;
    }

    TempDir dir;
    RecordingHost host;
    TUnSFX sfx;

  private:
    std::filesystem::path saved_;
};

}  // namespace

TEST_F(UnSFXTest, ProposesAPlainArchiveNamedAfterTheProgram) {
    sfx.SetArchiveFile(Copy("sfx", "RESZIP.EXE", "ROMS/GAME.EXE"));
    EXPECT_EQ(sfx.ArcType(), TArcType::atZipExe);
    EXPECT_EQ(sfx.OutFilename(), dir.Path() + "/ROMS/GAME.ZIP");

    // Cut at the first "." of the file name; a "." in a folder stays.
    sfx.SetArchiveFile(Copy("sfx", "DOSARJ.EXE", "set.v2/game.rev2.exe"));
    EXPECT_EQ(sfx.OutFilename(), dir.Path() + "/set.v2/game.ARJ");
    sfx.SetArchiveFile(Copy("sfx", "DOSARC.EXE", "PAC.EXE"));
    EXPECT_EQ(sfx.OutFilename(), dir.Path() + "/PAC.ARC");
    EXPECT_TRUE(host.log.empty());
}

TEST_F(UnSFXTest, ProposesARarArchiveForARarProgram) {
    ORVELLO_SKIP_WITHOUT_COPIED_ARCHIVES();
    const std::string path = dir.Path() + "/R.EXE";
    std::filesystem::copy_file(CopiedFixturePath("sfx", "DOSRAR.EXE"), path);
    sfx.SetArchiveFile(path);
    EXPECT_EQ(sfx.OutFilename(), dir.Path() + "/R.RAR");
    EXPECT_TRUE(host.log.empty());
}

TEST_F(UnSFXTest, RefusesPlainArchivesUnknownFilesAndMissingOnes) {
    const std::string zip = FixturePath("zip", "STORED.ZIP");
    sfx.SetArchiveFile(Copy("sfx", "RESZIP.EXE", "GAME.EXE"));
    ASSERT_FALSE(sfx.OutFilename().empty());

    sfx.SetArchiveFile(zip);  // a plain ZIP: no extension for atZIP
    EXPECT_EQ(sfx.ArcType(), TArcType::atNA);
    EXPECT_EQ(sfx.ArchiveFile(), "");
    EXPECT_EQ(sfx.OutFilename(), "");

    sfx.SetArchiveFile(FixturePath("sfx", "RESLHA.EXE"));  // LHA has no entry either
    EXPECT_EQ(sfx.ArcType(), TArcType::atNA);

    sfx.SetArchiveFile(FixturePath("sfx", "TAILCMT.EXE"));  // atUnknown
    EXPECT_EQ(sfx.ArcType(), TArcType::atNA);
    EXPECT_EQ(sfx.ArchiveFile(), "");

    const std::string missing = dir.Path() + "/NONE.EXE";
    sfx.SetArchiveFile(missing);
    EXPECT_EQ(sfx.ArcType(), TArcType::atNA);

    EXPECT_EQ(host.log, (std::vector<std::string>{"warning: Unsupported or invalid archive type.",
                                                  "warning: Unsupported or invalid archive type.",
                                                  "warning: Invalid Archive.",
                                                  "warning: " + missing + "\nFile not found."}));
    // An empty value clears quietly.
    sfx.SetArchiveFile("");
    EXPECT_EQ(host.log.size(), 4u);
}

TEST_F(UnSFXTest, OutFilenameChecksTheName) {
    sfx.SetOutFilename("x.zip");
    EXPECT_EQ(host.log, std::vector<std::string>{"information: ArchiveFile must be defined."});
    EXPECT_EQ(sfx.OutFilename(), "");
    host.log.clear();

    const std::string program = Copy("sfx", "RESZIP.EXE", "roms/GAME.EXE");
    sfx.SetArchiveFile(program);
    const std::string proposal = sfx.OutFilename();

    sfx.SetOutFilename("OTHER.ZIP");  // no folder: the program's folder
    EXPECT_EQ(sfx.OutFilename(), dir.Path() + "/roms/OTHER.ZIP");
    sfx.SetOutFilename("");  // restores the proposal
    EXPECT_EQ(sfx.OutFilename(), proposal);

    sfx.SetOutFilename(dir.Path() + "/NEW.ZIP");  // an existing folder
    EXPECT_EQ(sfx.OutFilename(), dir.Path() + "/NEW.ZIP");

    sfx.SetOutFilename(dir.Path() + "/roms");  // names a folder
    EXPECT_EQ(host.log, std::vector<std::string>{"information: " + dir.Path() +
                                                 "/roms is an existing directory."});
    EXPECT_EQ(sfx.OutFilename(), proposal);
}

TEST_F(UnSFXTest, MissingFolderIsCreatedOnlyWhenTheUserAgrees) {
    sfx.SetArchiveFile(Copy("sfx", "RESZIP.EXE", "GAME.EXE"));
    std::filesystem::current_path(dir.Path());
    const std::string cwd = std::filesystem::current_path().string();

    host.answers = {false};
    sfx.SetOutFilename(dir.Path() + "/a/b/OUT.ZIP");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/a"));
    EXPECT_EQ(sfx.OutFilename(), cwd + "/OUT.ZIP");

    host.answers = {true};
    sfx.SetOutFilename(dir.Path() + "/a/b/OUT.ZIP");
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() + "/a/b"));
    EXPECT_EQ(sfx.OutFilename(), dir.Path() + "/a/b/OUT.ZIP");

    // A folder that cannot be made (a file stands in its way).
    dir.Write("file", {1});
    host.answers = {true};
    sfx.SetOutFilename(dir.Path() + "/file/sub/OUT.ZIP");
    EXPECT_EQ(sfx.OutFilename(), cwd + "/OUT.ZIP");
    EXPECT_EQ(host.log, (std::vector<std::string>{
                            "question: Directory NOT found, create?",
                            "question: Directory NOT found, create?",
                            "question: Directory NOT found, create?",
                            "information: Error creating directory: " + dir.Path() + "/file/sub"}));
}

TEST_F(UnSFXTest, WithoutAHostNothingIsShownAndQuestionsGetNo) {
    TUnSFX quiet;
    quiet.SetArchiveFile(Copy("sfx", "RESZIP.EXE", "GAME.EXE"));
    quiet.SetOutFilename(dir.Path() + "/x/OUT.ZIP");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/x"));
    quiet.SetArchiveFile(FixturePath("zip", "STORED.ZIP"));
    EXPECT_EQ(quiet.ArcType(), TArcType::atNA);
}
