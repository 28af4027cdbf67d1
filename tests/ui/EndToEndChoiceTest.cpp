// What the user has chosen, end to end through the real windows: "Play" never starts the
// emulator on nothing, closing the selector forgets its choice however it is closed, and the
// file-type box and the drive box keep what the user chose unless something really changed.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "EndToEndFixture.h"
#include "UiTestSupport.h"
#include "app/Main.h"
#include "selector/OnFlyROMSelector.h"

using namespace orvello;
using namespace orvello::test;

namespace {

// The ways a user closes the selector.
enum class CloseBy { CloseButton, Escape, WindowManager };

std::string CloseName(CloseBy way) {
    switch (way) {
        case CloseBy::CloseButton:
            return "CloseButton";
        case CloseBy::Escape:
            return "Escape";
        case CloseBy::WindowManager:
            return "WindowManager";
    }
    return "?";
}

class ChoiceTest : public DeleteEndToEndTest {
  protected:
    void CloseSelector(CloseBy way) {
        switch (way) {
            case CloseBy::CloseButton:
                QTest::mouseClick(Sel()->Close, Qt::LeftButton);
                break;
            case CloseBy::Escape:
                QTest::keyClick(Sel(), Qt::Key_Escape);
                break;
            case CloseBy::WindowManager:
                Sel()->close();
                break;
        }
        Ticks();
        ASSERT_FALSE(Sel()->isVisible());
    }
    void Reopen() {
        QTest::mouseClick(Main()->GetROMBt, Qt::LeftButton);
        ASSERT_TRUE(Sel()->isVisible());
        Main()->CheckOnFlyChange->stop();
    }
    // Every way of asking for a start: the button, Enter on the window, and the ticks after.
    void TryToPlay() {
        QTest::mouseClick(Sel()->PlayBt, Qt::LeftButton);
        QTest::keyClick(Sel(), Qt::Key_Return);
        Ticks();
    }
    bool EmulatorStarted() const { return QFileInfo::exists(log_); }
    bool FileHighlighted() const { return Sel()->FileListBox->selectionModel()->hasSelection(); }
};

class ClosingTest : public ChoiceTest, public ::testing::WithParamInterface<CloseBy> {};

}  // namespace

TEST_P(ClosingTest, ClosingForgetsTheChoiceAndTheSameRowCanBeChosenAgain) {
    const QString rom = Games("snes9x") + "/Game.smc";
    WriteFile(rom, "rom");
    Open(SlotSNES9x, false);
    NextFileType();
    ClickFile("Game.smc");
    Ticks();
    ASSERT_TRUE(Sel()->PlayBt->isEnabled());

    CloseSelector(GetParam());
    Reopen();
    EXPECT_FALSE(FileHighlighted()) << "no file stays highlighted";
    EXPECT_EQ(Sel()->LastFileIndex, -1);
    EXPECT_FALSE(Sel()->PlayBt->isEnabled());
    EXPECT_TRUE(State().SelectedFile.isEmpty());
    EXPECT_EQ(Panel(), "No ROM selected");
    TryToPlay();
    EXPECT_FALSE(EmulatorStarted()) << "nothing is chosen, nothing is started";

    // The row chosen before is an ordinary row again: a click chooses it.
    ClickFile("Game.smc");
    Ticks();
    EXPECT_EQ(State().SelectedFile, rom);
    EXPECT_TRUE(Sel()->PlayBt->isEnabled());
    EXPECT_EQ(Panel(), "Filename: Game.smc [No description]");
    EXPECT_TRUE(host_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryWay, ClosingTest,
                         ::testing::Values(CloseBy::CloseButton, CloseBy::Escape,
                                           CloseBy::WindowManager),
                         [](const auto& info) { return CloseName(info.param); });

TEST_F(ChoiceTest, AMemberChosenBeforeClosingIsForgottenToo) {
    PutZip(Games("zsnes") + "/games.zip",
           {orvello::testing::Entry("Game.smc", orvello::testing::Text("game"))});
    Open(SlotZSNES, false);
    ClickFile("games.zip");
    ClickMember("Game.smc");
    Ticks();
    ASSERT_TRUE(Sel()->PlayBt->isEnabled());
    CloseSelector(CloseBy::CloseButton);
    Reopen();
    EXPECT_FALSE(Sel()->PlayBt->isEnabled());
    EXPECT_EQ(Sel()->Members()->Count(), 0);
    TryToPlay();
    EXPECT_FALSE(EmulatorStarted());
    EXPECT_TRUE(host_.messages.empty());
}

TEST_F(ChoiceTest, AfterDeletingAPlainRomPlayIsUnavailable) {
    WriteFile(Games("snes9x") + "/Game.smc", "rom");
    WriteFile(Games("snes9x") + "/Other.smc", "other");
    Open(SlotSNES9x, false);
    NextFileType();
    ClickFile("Game.smc");
    Ticks();
    ASSERT_TRUE(Sel()->PlayBt->isEnabled());
    host_.yesNo = {true};
    Main()->ROMsDelete->trigger();
    ASSERT_FALSE(QFileInfo::exists(Games("snes9x") + "/Game.smc"));
    EXPECT_FALSE(Sel()->PlayBt->isEnabled());
    EXPECT_FALSE(FileHighlighted());
    TryToPlay();
    EXPECT_FALSE(EmulatorStarted()) << "no start with an empty ROM argument";
    // Another ROM can be chosen and played as ever.
    ClickFile("Other.smc");
    Play();
    EXPECT_TRUE(EmulatorStarted());
}

TEST_F(ChoiceTest, APlainRomThatIsNoLongerThereIsReportedNotStarted) {
    const QString rom = Games("snes9x") + "/Game.smc";
    WriteFile(rom, "rom");
    Open(SlotSNES9x, false);
    NextFileType();
    ClickFile("Game.smc");
    Ticks();
    ASSERT_TRUE(QFile::remove(rom));  // gone behind the program's back
    Play();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(host_.messages[0].text, "\"" + rom + "\" is gone: it was moved or deleted.");
    EXPECT_FALSE(EmulatorStarted());
}

TEST_F(ChoiceTest, TheFileTypeChosenStaysUntilTheFilterReallyChanges) {
    WriteFile(Games("zsnes") + "/Game.smc", "rom");
    WriteFile(Games("snes9x") + "/Other.smc", "rom");
    Open(SlotZSNES, false);
    NextFileType();
    ASSERT_EQ(Sel()->FilterComboBox->currentText(), "All valid ROMs");
    ClickFile("Game.smc");

    // "Get ROM file" again, with the selector open and after closing it.
    QTest::mouseClick(Main()->GetROMBt, Qt::LeftButton);
    EXPECT_EQ(Sel()->FilterComboBox->currentText(), "All valid ROMs");
    CloseSelector(CloseBy::CloseButton);
    Reopen();
    EXPECT_EQ(Sel()->FilterComboBox->currentText(), "All valid ROMs");
    EXPECT_GE(Sel()->Files()->RowOf("Game.smc"), 0) << "the file list keeps the chosen masks";

    // SNES9x reads the same ROM types as ZSNES: the choice stays.
    QTest::mouseClick(Main()->EmuList, Qt::LeftButton, {},
                      Main()->EmuList->tabRect(SlotSNES9x).center());
    ASSERT_EQ(State().CurrentSlot, SlotSNES9x);
    EXPECT_EQ(Sel()->FilterComboBox->currentText(), "All valid ROMs");
    EXPECT_GE(Sel()->Files()->RowOf("Other.smc"), 0);

    // NLKSNES reads fewer: a different filter starts from its first entry.
    QTest::mouseClick(Main()->EmuList, Qt::LeftButton, {},
                      Main()->EmuList->tabRect(SlotNLKSNES).center());
    ASSERT_EQ(State().CurrentSlot, SlotNLKSNES);
    EXPECT_EQ(Sel()->FilterComboBox->currentText(), "Zipped ROMs");
}

TEST_F(ChoiceTest, ChoosingTheDriveThatHoldsTheFolderStaysInTheFolder) {
    const QString rom = Games("snes9x") + "/Game.smc";
    WriteFile(rom, "rom");
    Open(SlotSNES9x, false);
    NextFileType();
    ClickFile("Game.smc");
    Ticks();
    const QString folder = Sel()->Folder();
    const int drive = Sel()->DriveComboBox->currentIndex();
    ASSERT_GE(drive, 0);

    // The drive box opened and its current entry chosen again.
    Sel()->DriveComboBox->showPopup();
    QAbstractItemView* list = Sel()->DriveComboBox->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    ASSERT_EQ(list->currentIndex().row(), drive);
    QTest::keyClick(list, Qt::Key_Return);
    Ticks();
    EXPECT_FALSE(list->window()->isVisible());
    EXPECT_EQ(Sel()->Folder(), folder);
    EXPECT_EQ(State().SelectedFile, rom) << "nothing changed, so the choice stays";
    EXPECT_TRUE(Sel()->PlayBt->isEnabled());
}
