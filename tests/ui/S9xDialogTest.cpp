// The SNES9x dialog: pieces given only away from the emulator's defaults, the frames piece
// decided by the spinner, the snapshot and cheat code that are not stored, and the first page.
#include <QPushButton>

#include "DialogTestSupport.h"
#include "options/S9x_OptionForm.h"

using namespace orvello;
using namespace orvello::test;

namespace {
using S9xDialogTest = DialogTest<TS9x_OptForm>;
const QString Tail = " -ss 0 -O -SH -nogui -quiet";
}  // namespace

TEST_F(S9xDialogTest, CreatedWithItsDefaultsOnTheRomsPage) {
    EXPECT_EQ(form_.windowTitle(), "SNES9x option");
    QStringList pages;
    for (int i = 0; i < form_.PageControl1->count(); ++i)
        pages << form_.PageControl1->tabText(i);
    EXPECT_EQ(pages, (QStringList{"Controls", "Sound", "ROMs", "Video", "Cheat code", "Misc"}));
    EXPECT_EQ(form_.Resolution->itemText(3), "640x480 Auto-detect ") << "with its trailing blank";
    EXPECT_EQ(Built(), " -j" + Tail);
    ASSERT_TRUE(ShowActive(&form_));
    EXPECT_EQ(form_.PageControl1->currentWidget(), form_.ROMsPage);
    EXPECT_FALSE(form_.OldJoy->isEnabled());
    EXPECT_FALSE(form_.SSName->isEnabled());
    EXPECT_FALSE(form_.Code->isEnabled());
}

TEST_F(S9xDialogTest, SwitchPerControl) {
    struct Row {
        const char* what;
        std::function<void()> set;
        QString expected;
    };
    const Row rows[] = {
        {"no sound, whatever playback and stereo hold",
         [&] {
             form_.Sound->setChecked(false);
             form_.Playback->setCurrentIndex(0);
             form_.Stereo->setChecked(true);
         },
         " -NS -j" + Tail},
        {"low playback", [&] { form_.Playback->setCurrentIndex(0); }, " -r 11025 -j" + Tail},
        {"high playback, stereo",
         [&] {
             form_.Playback->setCurrentIndex(2);
             form_.Stereo->setChecked(true);
         },
         " -r 44100 -stereo -j" + Tail},
        {"playback without a selection", [&] { form_.Playback->setCurrentIndex(-1); },
         " -j" + Tail},
        {"2-button pad with old joy",
         [&] {
             form_.Joy->setCurrentIndex(1);
             form_.OldJoy->setChecked(true);
         },
         " -o" + Tail},
        {"old joy without a joystick", [&] { form_.OldJoy->setChecked(true); }, " -j" + Tail},
        {"joystick without a selection counts as one for old joy",
         [&] {
             form_.Joy->setCurrentIndex(-1);
             form_.OldJoy->setChecked(true);
         },
         " -o" + Tail},
        {"4 buttons", [&] { form_.Joy->setCurrentIndex(2); }, " -4" + Tail},
        {"6 buttons", [&] { form_.Joy->setCurrentIndex(3); }, " -6" + Tail},
        {"frames 5", [&] { form_.Frames->setText("5"); }, " -j -frames 5" + Tail},
        {"frames 05 is position 5, text as typed", [&] { form_.Frames->setText("05"); },
         " -j -frames 05" + Tail},
        {"frames 02 is position 2", [&] { form_.Frames->setText("02"); }, " -j" + Tail},
        {"frames 12 keeps the position", [&] { form_.Frames->setText("12"); }, " -j" + Tail},
        {"auto frame",
         [&] {
             form_.Frames->setText("5");
             form_.AutoFrame->setChecked(true);
         },
         " -j -f auto" + Tail},
        {"resolution 0", [&] { form_.Resolution->setCurrentIndex(0); }, " -j -m 0" + Tail},
        {"resolution without a selection", [&] { form_.Resolution->setCurrentIndex(-1); },
         " -j -m -1" + Tail},
        {"skip method 3", [&] { form_.SkipMethod->setCurrentIndex(3); },
         " -j -ss 3 -O -SH -nogui -quiet"},
        {"ROM format switches",
         [&] {
             form_.TileBased->setChecked(false);
             form_.InterleavedFormat->setChecked(true);
             form_.ForceHiMem->setChecked(true);
             form_.ForceLowMem->setChecked(true);
         },
         " -j -ss 0 -i -F -FL -SH -nogui -quiet"},
        {"snapshot without a name", [&] { form_.EnableSS->setChecked(true); }, " -j" + Tail},
        {"snapshot",
         [&] {
             form_.EnableSS->setChecked(true);
             form_.SSName->setText("GAME.000");
         },
         " -j -ss 0 -O -l GAME.000 -SH -nogui -quiet"},
        {"action replay without a code",
         [&] {
             form_.CheatCode->setChecked(true);
             form_.CodeType->SetItemIndex(1);
         },
         " -j -ss 0 -O -ar  -SH -nogui -quiet"},
        {"game genie code",
         [&] {
             form_.CheatCode->setChecked(true);
             form_.Code->setText("DD62-6DAD");
         },
         " -j -ss 0 -O -gg DD62-6DAD -SH -nogui -quiet"},
        {"gold finger",
         [&] {
             form_.CheatCode->setChecked(true);
             form_.CodeType->SetItemIndex(2);
             form_.Code->setText("x");
         },
         " -j -ss 0 -O -gf x -SH -nogui -quiet"},
        {"code without a type",
         [&] {
             form_.CheatCode->setChecked(true);
             form_.CodeType->SetItemIndex(-1);
             form_.Code->setText("x");
         },
         " -j -ss 0 -Ox -SH -nogui -quiet"},
        {"no speed hacks, H-DMA off, layering, GUI",
         [&] {
             form_.SpeedHacks->setChecked(false);
             form_.noHDMA->setChecked(true);
             form_.Layering->setChecked(true);
             form_.noGUI->setChecked(false);
         },
         " -j -ss 0 -O -H -N -L"},
        {"fit to screen gives nothing", [&] { form_.FitToScreen->setChecked(true); }, " -j" + Tail},
    };
    for (const Row& row : rows) {
        form_.LoadDefBtClick();
        form_.SSName->clear();
        form_.Code->clear();
        row.set();
        EXPECT_EQ(Built(), row.expected) << row.what;
    }
}

TEST_F(S9xDialogTest, TheSpinnerDecidesTheFramesPiece) {
    auto* up = form_.Frames->Spinner()->findChild<QToolButton*>("Up");
    auto* down = form_.Frames->Spinner()->findChild<QToolButton*>("Down");
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(Built(), " -j -frames 5" + Tail);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(Built(), " -j" + Tail);
    // Text that is no whole number leaves the position where it was.
    form_.Frames->setText("7");
    form_.Frames->setText("abc");
    EXPECT_EQ(Built(), " -j -frames abc" + Tail);
}

TEST_F(S9xDialogTest, StoredFramesGiveTheSameStringAtStartUpAndAfterOk) {
    for (const char* stored : {"5", "1", "10", "11", "0", "abc", "0x3"}) {
        AppState state;
        FakeHost host;
        TS9x_OptForm fresh(state, host, nullptr);
        WriteFile(Ini(), QByteArray("[S9x]\nFrames=") + stored + "\n");
        IniFile ini(Ini());
        fresh.LoadOptions(ini);
        ASSERT_TRUE(fresh.BuildSwitches());
        const QString atStartUp = fresh.GetSwitches();
        ASSERT_TRUE(ShowActive(&fresh));
        QTest::mouseClick(fresh.OKBtn, Qt::LeftButton);
        EXPECT_EQ(fresh.GetSwitches(), atStartUp) << stored;
    }
    Load("[S9x]\nFrames=5\n");
    EXPECT_EQ(Built(), " -j -frames 5" + Tail);
    Load("[S9x]\nFrames=11\n");
    EXPECT_EQ(form_.Frames->text(), "11");
    EXPECT_EQ(Built(), " -j -frames 11" + Tail) << "keeps the last position, 5";
    Load("[S9x]\nFrames=0x3\n");
    EXPECT_EQ(Built(), " -j -frames 3" + Tail) << "a hexadecimal value is read as a number";
}

TEST_F(S9xDialogTest, DependencyRules) {
    form_.Joy->setCurrentIndex(2);
    EXPECT_FALSE(form_.OldJoy->isEnabled()) << "a list's refresh waits for the user";
    ASSERT_TRUE(ShowActive(&form_));
    EXPECT_TRUE(form_.OldJoy->isEnabled());
    form_.Sound->setChecked(false);
    EXPECT_FALSE(form_.Playback->isEnabled());
    EXPECT_FALSE(form_.Stereo->isEnabled());
    form_.EnableSS->setChecked(true);
    EXPECT_TRUE(form_.SSName->isEnabled());
    EXPECT_TRUE(form_.LoadSSBt->isEnabled());
    form_.CheatCode->setChecked(true);
    EXPECT_TRUE(form_.CodeType->isEnabled());
    EXPECT_TRUE(form_.Code->isEnabled());
    form_.AutoFrame->setChecked(true);
    EXPECT_FALSE(form_.Frames->isEnabled());
}

TEST_F(S9xDialogTest, TheSnapshotIsChosenFromTheEmulatorsFolderInCapitals) {
    state_.EmuPath[SlotSNES9x] = "/emu/snes9x/snes9x";
    form_.EnableSS->setChecked(true);
    host_.openAnswer = "/emu/snes9x/snesnaps/mario.000";
    QTest::mouseClick(form_.LoadSSBt, Qt::LeftButton);
    ASSERT_EQ(host_.openRequests.size(), 1u);
    EXPECT_EQ(host_.openRequests[0].title, "Load snap shot file");
    EXPECT_EQ(host_.openRequests[0].filter, "All files|*.*");
    EXPECT_EQ(host_.openRequests[0].initialDir, "/emu/snes9x/snesnaps");
    EXPECT_EQ(form_.SSName->text(), "MARIO.000");
    host_.openAnswer.reset();
    QTest::mouseClick(form_.LoadSSBt, Qt::LeftButton);
    EXPECT_EQ(form_.SSName->text(), "MARIO.000") << "cancelled: nothing changes";
}

TEST_F(S9xDialogTest, SettingsRoundTripLeavesSnapshotAndCheatAlone) {
    state_.EmuPath[SlotSNES9x] = "/emu/s9x";
    form_.Sound->setChecked(false);
    form_.FitToScreen->setChecked(true);
    form_.Frames->setText("07");
    form_.Joy->setCurrentIndex(3);
    form_.noHDMA->setChecked(true);
    form_.noGUI->setChecked(false);
    form_.EnableSS->setChecked(true);
    form_.CheatCode->setChecked(true);
    EXPECT_EQ(Saved(), (QStringList{"[S9x]",          "EmuPath=/emu/s9x", "GamesDir=",
                                    "Runner=0",       "Sound=0",          "Playback=1",
                                    "Stereo=0",       "FitToScreen=1",    "Frames=07",
                                    "Resolution=2",   "SkipMethod=0",     "Joy=3",
                                    "Old joy type=0", "Tile based=1",     "Interleaved=0",
                                    "Force HiMem=0",  "Force LowMem=0",   "AutoFrame=0",
                                    "Layering=0",     "HDMA=1",           "Speed hacks=1",
                                    "GUI=0"}));

    AppState other;
    FakeHost host;
    TS9x_OptForm loaded(other, host, nullptr);
    IniFile ini(Ini());
    loaded.LoadOptions(ini);
    EXPECT_TRUE(loaded.FitToScreen->isChecked());
    EXPECT_EQ(loaded.Frames->text(), "7");
    EXPECT_FALSE(loaded.EnableSS->isChecked()) << "a new run starts without a snapshot";
    EXPECT_FALSE(loaded.CheatCode->isChecked());
    ASSERT_TRUE(loaded.BuildSwitches());
    EXPECT_EQ(loaded.GetSwitches(), " -NS -6 -frames 7 -ss 0 -O -H -SH");

    // A missing section reads as the defaults; the cheat code is left as it was.
    form_.CheatCode->setChecked(false);
    Load("");
    EXPECT_EQ(Built(), " -j" + Tail);
}
