// ROM descriptions through the main window's menus, what they leave in Gamez.DSC, and the
// deletion of the current ROM.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "EndToEndSupport.h"
#include "UiTestSupport.h"
#include "app/Application.h"
#include "app/Main.h"

using namespace orvello;
using namespace orvello::test;

namespace {

class DescriptionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QDir(dir_.path()).mkpath("roms/a");
        QDir(dir_.path()).mkpath("roms/b");
        QDir(dir_.path()).mkpath("settings");
        app_ = std::make_unique<OrvelloApp>(host_, dir_.filePath("settings"));
        ASSERT_TRUE(ShowActive(Main()));
        State().mailbox.ClearMailbox();  // what start-up posted
    }

    TMainForm* Main() const { return app_->MainForm(); }
    AppState& State() const { return app_->State(); }
    QString Dsc() const { return dir_.filePath("settings/Gamez.DSC"); }
    QString Panel() const { return Main()->InfoPanel->text(); }

    // A plain ROM chosen in the file list, as the main window hears of it.
    QString ChoosePlain(const QString& relative) {
        const QString path = dir_.filePath(relative);
        if (!QFileInfo::exists(path)) WriteFile(path, "rom");
        State().SelectedFile = path;
        State().RomFileName = QFileInfo(path).fileName();
        State().RomBaseName = QFileInfo(path).completeBaseName();
        Tick(NoteSource::FileList, NoteCode::Selected);
        return path;
    }
    void Tick(NoteSource source, NoteCode code) {
        State().mailbox.PostNotification(MainWindowId, source, code);
        Main()->CheckOnFlyChangeTimer();
    }
    // The menu items that can be used, of "&Add", "&Change", "&Remove" and "&ROMs".
    QString Usable() const {
        QString s;
        if (Main()->DescrAdd->isEnabled()) s += 'A';
        if (Main()->DescrChange->isEnabled()) s += 'C';
        if (Main()->DescrRemove->isEnabled()) s += 'R';
        if (Main()->ROMsMenu->menuAction()->isEnabled()) s += 'D';
        return s;
    }

    QTemporaryDir dir_;
    FakeHost host_;
    std::unique_ptr<OrvelloApp> app_;
};

}  // namespace

TEST_F(DescriptionTest, RomWithoutADescription) {
    ChoosePlain("roms/a/Game.smc");
    EXPECT_EQ(Panel(), "Filename: Game.smc [No description]");
    EXPECT_EQ(State().CurrentDescription, "No description");
    EXPECT_EQ(Usable(), "AD");
    EXPECT_FALSE(QFileInfo::exists(Dsc())) << "reading creates nothing";
}

TEST_F(DescriptionTest, AddChangeAndRemoveThroughTheMenus) {
    ChoosePlain("roms/a/Game.smc");
    host_.promptAnswer = "Best game";
    Main()->DescrAdd->trigger();
    ASSERT_EQ(host_.prompts.size(), 1u);
    EXPECT_EQ(host_.prompts[0].caption, "Add description");
    EXPECT_EQ(host_.prompts[0].label, "Text: ");
    EXPECT_EQ(host_.prompts[0].text, "No description");
    EXPECT_EQ(host_.prompts[0].maxLength, 255);
    EXPECT_EQ(Panel(), "Filename: Game.smc [Best game]");
    EXPECT_EQ(Usable(), "CRD");
    EXPECT_EQ(FileLines(Dsc()), (QStringList{"[Description]", "Game=Best game"}));

    // "&Change" asks with the same caption, pre-filled with what is stored.
    host_.promptAnswer = "Better game";
    Main()->DescrChange->trigger();
    EXPECT_EQ(host_.prompts[1].caption, "Add description");
    EXPECT_EQ(host_.prompts[1].text, "Best game");
    EXPECT_EQ(FileLines(Dsc()), (QStringList{"[Description]", "Game=Better game"}));

    // "&Remove" asks first; No keeps it, Yes leaves the key with an empty value.
    host_.yesNo = {false, true};
    Main()->DescrRemove->trigger();
    EXPECT_EQ(FileLines(Dsc()), (QStringList{"[Description]", "Game=Better game"}));
    EXPECT_EQ(Panel(), "Filename: Game.smc [Better game]");
    Main()->DescrRemove->trigger();
    EXPECT_EQ(FileLines(Dsc()), (QStringList{"[Description]", "Game="}));
    EXPECT_EQ(Panel(), "Filename: Game.smc [No description]");
    EXPECT_EQ(Usable(), "AD");
    ASSERT_EQ(host_.messages.size(), 2u);
    EXPECT_EQ(host_.messages[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(host_.messages[0].text, "Deleting description for current ROM?");
}

TEST_F(DescriptionTest, CancelWritesNothingAndLeavesThePanel) {
    ChoosePlain("roms/a/Game.smc");
    host_.promptAnswer.reset();
    Main()->DescrAdd->trigger();
    EXPECT_EQ(host_.prompts.size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(Dsc()));
    EXPECT_EQ(Panel(), "Filename: Game.smc [No description]");
}

TEST_F(DescriptionTest, EmptyTextAndTheNoDescriptionTextBothMeanNone) {
    ChoosePlain("roms/a/Game.smc");
    host_.promptAnswer = "";
    Main()->DescrAdd->trigger();
    EXPECT_EQ(FileLines(Dsc()), (QStringList{"[Description]", "Game="}));
    EXPECT_EQ(Panel(), "Filename: Game.smc []");
    EXPECT_EQ(Usable(), "CRD") << "what was typed is shown until the next look";
    ChoosePlain("roms/a/Game.smc");
    EXPECT_EQ(Panel(), "Filename: Game.smc [No description]");
    EXPECT_EQ(Usable(), "AD");

    host_.promptAnswer = "No description";
    Main()->DescrAdd->trigger();
    EXPECT_EQ(FileLines(Dsc()), (QStringList{"[Description]", "Game=No description"}));
    EXPECT_EQ(Usable(), "AD");
}

TEST_F(DescriptionTest, RomsWithTheSameBaseNameShareOneDescription) {
    ChoosePlain("roms/a/Game.smc");
    host_.promptAnswer = "Shared";
    Main()->DescrAdd->trigger();
    ChoosePlain("roms/b/Game.smc");
    EXPECT_EQ(Panel(), "Filename: Game.smc [Shared]");
    ChoosePlain("roms/b/Game.fig");
    EXPECT_EQ(Panel(), "Filename: Game.fig [Shared]");
    ChoosePlain("roms/b/Other.smc");
    EXPECT_EQ(Panel(), "Filename: Other.smc [No description]");
    // A dotted name keeps all but its last extension.
    ChoosePlain("roms/b/Game.v1.smc");
    EXPECT_EQ(State().RomBaseName, "Game.v1");
    EXPECT_EQ(Panel(), "Filename: Game.v1.smc [No description]");
}

TEST_F(DescriptionTest, KeysOfOtherRomsAndCommentsSurviveEveryWrite) {
    WriteFile(Dsc(), "; my notes\n[Description]\nOther=Kept\nGame=Old\n[Elsewhere]\nx=1\n");
    ChoosePlain("roms/a/Game.smc");
    EXPECT_EQ(Panel(), "Filename: Game.smc [Old]");
    host_.promptAnswer = "New";
    Main()->DescrChange->trigger();
    EXPECT_EQ(FileLines(Dsc()), (QStringList{"; my notes", "[Description]", "Other=Kept",
                                             "Game=New", "[Elsewhere]", "x=1"}));
}

TEST_F(DescriptionTest, RefusedWriteIsReportedAndNothingChanges) {
    QDir().mkpath(Dsc());  // a folder where the file would be
    ChoosePlain("roms/a/Game.smc");
    host_.promptAnswer = "Best game";
    Main()->DescrAdd->trigger();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(host_.messages[0].text, "Unable to write to " + Dsc());
    EXPECT_EQ(Panel(), "Filename: Game.smc [No description]");
    EXPECT_EQ(Usable(), "AD");
}

TEST_F(DescriptionTest, InformationPanelTexts) {
    EXPECT_TRUE(Panel().isEmpty());
    Tick(NoteSource::Selector, NoteCode::Cleared);
    EXPECT_EQ(Panel(), "No ROM selected");
    EXPECT_EQ(Usable(), "");

    // An archive in a slot that plays members; then a member of it.
    State().SelectedFile = dir_.filePath("roms/a/games.zip");
    State().RomFileName = "games.zip";
    State().RomBaseName = "games";
    Tick(NoteSource::FileList, NoteCode::ArchiveOpened);
    EXPECT_EQ(Panel(), "Viewing archive file");
    EXPECT_FALSE(State().RomIsPlainFile);
    State().RomFileName = "Game.smc";
    State().RomBaseName = "Game";
    Tick(NoteSource::ArchiveList, NoteCode::Selected);
    EXPECT_EQ(Panel(), "Filename: Game.smc [No description]");

    // In the M.A.M.E. slot the archive is the game.
    State().CurrentSlot = SlotMAME;
    State().RomFileName = "pacman.zip";
    State().RomBaseName = "pacman";
    Tick(NoteSource::FileList, NoteCode::ArchiveOpened);
    EXPECT_EQ(Panel(), "Filename: pacman.zip [No description]");
    EXPECT_EQ(Usable(), "AD");
}

namespace {

// Deletion goes to a trash of the test's own.
class DeleteTest : public DescriptionTest {
  protected:
    void SetUp() override {
        DescriptionTest::SetUp();
        oldData_ = qgetenv("XDG_DATA_HOME");
        QStandardPaths::setTestModeEnabled(false);
        qputenv("XDG_DATA_HOME", dir_.filePath("data").toUtf8());
    }
    void TearDown() override {
        QStandardPaths::setTestModeEnabled(true);
        if (oldData_.isNull()) {
            qunsetenv("XDG_DATA_HOME");
        } else {
            qputenv("XDG_DATA_HOME", oldData_);
        }
    }
    QString Trashed(const QString& name) const {
        return dir_.filePath(QStringLiteral("data/Trash/files/") + name);
    }

    QByteArray oldData_;
};

}  // namespace

TEST_F(DeleteTest, DeletingAPlainRomMovesItToTheTrashAndClearsItsDescription) {
    const QString rom = ChoosePlain("roms/a/Game.smc");
    host_.promptAnswer = "Best game";
    Main()->DescrAdd->trigger();

    host_.yesNo = {false};
    Main()->ROMsDelete->trigger();
    EXPECT_TRUE(QFileInfo::exists(rom)) << "No keeps it";
    EXPECT_EQ(Panel(), "Filename: Game.smc [Best game]");

    host_.yesNo = {true};
    Main()->ROMsDelete->trigger();
    EXPECT_FALSE(QFileInfo::exists(rom));
    EXPECT_TRUE(QFileInfo::exists(Trashed("Game.smc")));
    EXPECT_EQ(FileLines(Dsc()), (QStringList{"[Description]", "Game="}));
    EXPECT_EQ(Panel(), "No ROM selected");
    EXPECT_TRUE(State().SelectedFile.isEmpty());
    EXPECT_EQ(Usable(), "");
    ASSERT_EQ(host_.messages.size(), 2u);
    EXPECT_EQ(host_.messages[1].kind, MessageKind::Information);
    EXPECT_EQ(host_.messages[1].text, "Delete current ROM?");
}

TEST_F(DeleteTest, DeletingWhileAMemberIsChosenDeletesTheArchiveAndTheMembersDescription) {
    WriteFile(Dsc(), "[Description]\nGame=Member's\ngames=Archive's\n");
    const QString archive = dir_.filePath("roms/a/games.zip");
    WriteFile(archive, "PK");
    State().SelectedFile = archive;
    State().RomFileName = "Game.smc";
    State().RomBaseName = "Game";
    Tick(NoteSource::ArchiveList, NoteCode::Selected);
    EXPECT_EQ(Panel(), "Filename: Game.smc [Member's]");
    host_.yesNo = {true};
    Main()->ROMsDelete->trigger();
    EXPECT_FALSE(QFileInfo::exists(archive));
    EXPECT_TRUE(QFileInfo::exists(Trashed("games.zip")));
    EXPECT_EQ(FileLines(Dsc()), (QStringList{"[Description]", "Game=", "games=Archive's"}));
    EXPECT_EQ(Panel(), "No ROM selected");
}

TEST_F(DeleteTest, ARomThatCannotBeDeletedIsReportedAndItsDescriptionStillGoes) {
    const QString rom = ChoosePlain("roms/a/Game.smc");
    host_.promptAnswer = "Best game";
    Main()->DescrAdd->trigger();
    QFile::remove(rom);  // gone behind the program's back
    host_.yesNo = {true};
    Main()->ROMsDelete->trigger();
    ASSERT_EQ(host_.messages.size(), 2u);
    EXPECT_EQ(host_.messages[1].text, "Can't delete ROM...");
    EXPECT_EQ(host_.messages[1].kind, MessageKind::Information);
    EXPECT_EQ(FileLines(Dsc()), (QStringList{"[Description]", "Game="}));
    EXPECT_EQ(Panel(), "No ROM selected");
}
