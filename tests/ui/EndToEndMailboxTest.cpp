// The main window's side of the mailbox: what each notification does, one per tick and in
// entry order, nothing while a launch runs; the windows while the emulator runs; and a real
// start of a stand-in emulator on a plain ROM.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

#include "EndToEndSupport.h"
#include "UiTestSupport.h"
#include "app/Application.h"
#include "app/Main.h"
#include "app/core/Launch.h"
#include "selector/OnFlyROMSelector.h"

using namespace orvello;
using namespace orvello::test;

namespace {

class CountingRunner : public ProcessRunner {
  public:
    QString Start(const std::vector<std::string>& a, const std::string&) override {
        argv = a;
        ++starts;
        return {};
    }
    int WaitForEnd() override {
        if (whileRunning) whileRunning();
        return 0;
    }
    int starts = 0;
    std::vector<std::string> argv;
    std::function<void()> whileRunning;
};

class MailboxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QDir(dir_.path()).mkpath("emu");
        QDir(dir_.path()).mkpath("roms");
        app_ = std::make_unique<OrvelloApp>(host_, dir_.filePath("settings"));
        ASSERT_TRUE(ShowActive(Main()));
        Main()->SetProcessRunner(&runner_);
        State().mailbox.ClearMailbox();  // what start-up posted
        emulator_ = dir_.filePath("emu/emulator");
        WriteFile(emulator_, "#!/bin/sh\n");
        QFile::setPermissions(emulator_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (EmulatorSlot slot = 0; slot < SlotCount; ++slot)
            State().EmuPath[slot] = emulator_;
        rom_ = dir_.filePath("roms/Game.smc");
        WriteFile(rom_, "rom");
    }

    TMainForm* Main() const { return app_->MainForm(); }
    TOnFlyForm* Selector() const { return app_->OnFlyForm(); }
    AppState& State() const { return app_->State(); }
    QString Panel() const { return Main()->InfoPanel->text(); }
    void ChooseRom() {
        State().SelectedFile = rom_;
        State().RomFileName = "Game.smc";
        State().RomBaseName = "Game";
    }
    void Post(NoteSource source, NoteCode code) {
        State().mailbox.PostNotification(MainWindowId, source, code);
    }

    QTemporaryDir dir_;
    FakeHost host_;
    CountingRunner runner_;
    std::unique_ptr<OrvelloApp> app_;
    QString emulator_;
    QString rom_;
};

struct Row {
    const char* name;
    EmulatorSlot slot;
    NoteSource source;
    NoteCode code;
    bool plainBefore;
    // After the tick: RomIsPlainFile, the panel, whether a launch was tried.
    bool plainAfter;
    const char* panel;
    bool launched;
};

std::ostream& operator<<(std::ostream& os, const Row& row) {
    return os << row.name;
}

class Dispatch : public MailboxTest, public ::testing::WithParamInterface<Row> {};

}  // namespace

TEST_P(Dispatch, EachNotificationDoesItsPart) {
    const Row& row = GetParam();
    State().CurrentSlot = row.slot;
    ChooseRom();
    State().RomIsPlainFile = row.plainBefore;
    Main()->InfoPanel->setText("before");
    Post(row.source, row.code);
    Main()->CheckOnFlyChangeTimer();

    EXPECT_EQ(State().RomIsPlainFile, row.plainAfter);
    EXPECT_EQ(Panel(), row.panel);
    // A launch either starts the emulator or says why it cannot extract.
    const bool tried = runner_.starts > 0 || !host_.messages.empty();
    EXPECT_EQ(tried, row.launched);
    EXPECT_FALSE(State().mailbox.TakeNotification(MainWindowId)) << "taken";
}

INSTANTIATE_TEST_SUITE_P(
    Notifications, Dispatch,
    ::testing::Values(
        Row{"Cleared", SlotSNES9x, NoteSource::Selector, NoteCode::Cleared, false, false,
            "Filename: Game.smc [No description]", false},
        Row{"FileSelected", SlotSNES9x, NoteSource::FileList, NoteCode::Selected, false, true,
            "Filename: Game.smc [No description]", false},
        Row{"FilePlayArchive", SlotSNES9x, NoteSource::FileList, NoteCode::PlayArchive, true, false,
            "Filename: Game.smc [No description]", false},
        Row{"FilePlayArchiveInMame", SlotMAME, NoteSource::FileList, NoteCode::PlayArchive, true,
            false, "Filename: Game.smc [No description]", true},
        Row{"FilePlayArchiveInCallus", SlotCallus, NoteSource::FileList, NoteCode::PlayArchive,
            true, false, "Filename: Game.smc [No description]", true},
        Row{"ArchiveOpened", SlotSNES9x, NoteSource::FileList, NoteCode::ArchiveOpened, true, false,
            "Viewing archive file", false},
        Row{"ArchiveOpenedInMame", SlotMAME, NoteSource::FileList, NoteCode::ArchiveOpened, true,
            false, "Filename: Game.smc [No description]", false},
        Row{"FilePlay", SlotSNES9x, NoteSource::FileList, NoteCode::Play, false, true,
            "Filename: Game.smc [No description]", true},
        Row{"MemberSelected", SlotZSNES, NoteSource::ArchiveList, NoteCode::Selected, true, false,
            "Filename: Game.smc [No description]", false},
        Row{"MemberPlayKeepsPlainTrue", SlotZSNES, NoteSource::ArchiveList, NoteCode::Play, true,
            true, "Filename: Game.smc [No description]", true},
        Row{"MemberPlayKeepsPlainFalse", SlotZSNES, NoteSource::ArchiveList, NoteCode::Play, false,
            false, "Filename: Game.smc [No description]", true},
        Row{"UnusedCode", SlotSNES9x, NoteSource::FileList, NoteCode{4}, true, true, "before",
            false},
        Row{"ArchiveListOpened", SlotSNES9x, NoteSource::ArchiveList, NoteCode::ArchiveOpened, true,
            true, "before", false},
        Row{"SelectorPlay", SlotSNES9x, NoteSource::Selector, NoteCode::Play, false, false,
            "before", false},
        Row{"UnknownSource", SlotSNES9x, NoteSource{2}, NoteCode::Selected, false, false, "before",
            false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MailboxTest, ClosedHidesTheSelectorStopsTheTimerAndDropsTheChoice) {
    State().GamesDir[0] = dir_.filePath("roms");
    Main()->UpdateGetRomButton();
    QTest::mouseClick(Main()->GetROMBt, Qt::LeftButton);
    ASSERT_TRUE(Selector()->isVisible());
    ChooseRom();
    State().PreviewFile = dir_.filePath("roms/Game.bmp");
    Post(NoteSource::Selector, NoteCode::Closed);
    Post(NoteSource::Selector, NoteCode::Cleared);
    Main()->CheckOnFlyChangeTimer();
    EXPECT_FALSE(Selector()->isVisible());
    EXPECT_FALSE(Main()->CheckOnFlyChange->isActive());
    EXPECT_TRUE(State().SelectedFile.isEmpty());
    EXPECT_TRUE(State().PreviewFile.isEmpty());
    EXPECT_EQ(Panel(), "No ROM selected");
    EXPECT_FALSE(Main()->ROMsMenu->menuAction()->isEnabled());
}

TEST_F(MailboxTest, OneNotificationPerTickInEntryOrder) {
    ChooseRom();
    Post(NoteSource::FileList, NoteCode::ArchiveOpened);
    Post(NoteSource::ArchiveList, NoteCode::Selected);
    Post(NoteSource::FileList, NoteCode::Selected);
    Main()->CheckOnFlyChangeTimer();
    EXPECT_EQ(Panel(), "Viewing archive file");
    EXPECT_FALSE(State().RomIsPlainFile);
    // The freed first entry takes the next post, which is handled before the older ones.
    Post(NoteSource::Selector, NoteCode::Cleared);
    State().SelectedFile.clear();
    Main()->CheckOnFlyChangeTimer();
    EXPECT_EQ(Panel(), "No ROM selected");
    EXPECT_FALSE(State().RomIsPlainFile);
    Main()->CheckOnFlyChangeTimer();
    EXPECT_FALSE(State().RomIsPlainFile);  // the member's selection
    Main()->CheckOnFlyChangeTimer();
    EXPECT_TRUE(State().RomIsPlainFile);  // the file's selection, last
    EXPECT_FALSE(State().mailbox.TakeNotification(MainWindowId));
}

TEST_F(MailboxTest, WhileTheEmulatorRunsTheWindowsAreMinimisedAndTakeNoInput) {
    State().GamesDir[SlotSNES9x] = dir_.filePath("roms");
    State().CurrentSlot = SlotSNES9x;
    State().Switches[SlotSNES9x] = " -y";
    Main()->UpdateGetRomButton();
    QTest::mouseClick(Main()->GetROMBt, Qt::LeftButton);
    ASSERT_TRUE(Selector()->isVisible());
    ChooseRom();
    bool minimised = false;
    bool selectorMinimised = false;
    bool closed = true;
    QString status;
    runner_.whileRunning = [&] {
        minimised = Main()->isMinimized();
        selectorMinimised = Selector()->isMinimized();
        status = Main()->StatusPanels[1]->text();
        // A tick meanwhile leaves the box alone.
        Post(NoteSource::FileList, NoteCode::Selected);
        Main()->CheckOnFlyChangeTimer();
        // Keys, clicks and the close box do nothing.
        QTest::keyClick(Main(), Qt::Key_X, Qt::ControlModifier);
        QTest::mouseClick(Main()->FindEmuBt, Qt::LeftButton);
        closed = Main()->close();
    };
    Post(NoteSource::FileList, NoteCode::Play);
    Main()->CheckOnFlyChangeTimer();

    EXPECT_EQ(runner_.starts, 1);
    EXPECT_TRUE(minimised);
    EXPECT_TRUE(selectorMinimised);
    EXPECT_FALSE(closed);
    EXPECT_EQ(status, emulator_ + " -y " + rom_);  // the preview's quoted line
    EXPECT_FALSE(Main()->isMinimized());
    EXPECT_FALSE(Selector()->isMinimized());
    EXPECT_TRUE(Main()->isVisible());
    EXPECT_TRUE(Selector()->isVisible());
    // The notification posted meanwhile is handled afterwards.
    const auto left = State().mailbox.TakeNotification(MainWindowId);
    ASSERT_TRUE(left);
    EXPECT_EQ(left->Code, NoteCode::Selected);
    EXPECT_TRUE(host_.openRequests.empty()) << "the click while it ran did nothing";
    // And input works again.
    QTest::mouseClick(Main()->FindEmuBt, Qt::LeftButton);
    EXPECT_EQ(host_.openRequests.size(), 1u);
}

TEST_F(MailboxTest, PlainRomStartsTheRealProgramInTheEmulatorsFolder) {
    Main()->SetProcessRunner(nullptr);
    const QString log = dir_.filePath("log");
    ASSERT_TRUE(WriteStandInEmulator(emulator_, log));
    State().CurrentSlot = SlotSNES9x;
    State().Switches[SlotSNES9x] = " -y  -sound";
    const QString rom = dir_.filePath("roms/My Game (E) [!].smc");
    WriteFile(rom, "rom");
    State().SelectedFile = rom;
    State().RomFileName = QFileInfo(rom).fileName();
    State().RomBaseName = QFileInfo(rom).completeBaseName();
    Post(NoteSource::FileList, NoteCode::Play);
    Main()->CheckOnFlyChangeTimer();

    EXPECT_EQ(FileLines(log), (QStringList{emulator_, "-y", "-sound", rom,
                                           "cwd=" + dir_.filePath("emu"), "roms:emulator "}));
    EXPECT_EQ(Main()->Launch().CommandLine(), emulator_ + "  -y  -sound " + rom);
    EXPECT_EQ(State().LaunchTarget, rom);
    EXPECT_TRUE(QFileInfo::exists(rom));
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_FALSE(Main()->isMinimized());
}

TEST_F(MailboxTest, ProgramThatCannotStartIsNamedWithTheReason) {
    Main()->SetProcessRunner(nullptr);
    QFile::setPermissions(emulator_, QFile::ReadOwner | QFile::WriteOwner);  // not executable
    State().CurrentSlot = SlotSNES9x;
    ChooseRom();
    Post(NoteSource::FileList, NoteCode::Play);
    Main()->CheckOnFlyChangeTimer();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(host_.messages[0].text,
              "Can't start \"" + emulator_ + "\": Permission denied (a Linux program)");
    EXPECT_FALSE(Main()->isMinimized());
}
