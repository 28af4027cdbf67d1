// The ZSNES dialog: its designed state, its nested sound and frame pieces, the video modes
// that offer fit to screen, interpolation and scan lines, and the settings round trip.
#include "DialogTestSupport.h"
#include "options/ZSNES_OptionForm.h"

using namespace orvello;
using namespace orvello::test;

namespace {
using ZsnesDialogTest = DialogTest<TZSNES_OptForm>;
}  // namespace

TEST_F(ZsnesDialogTest, StartsInItsDesignedStateAndLoadDefaultGivesTheDefaultString) {
    EXPECT_EQ(form_.windowTitle(), "ZSNES option");
    EXPECT_EQ(form_.LoadDefBt->text(), "Load default");
    QStringList pages;
    for (int i = 0; i < form_.PageControl1->count(); ++i)
        pages << form_.PageControl1->tabText(i);
    EXPECT_EQ(pages, (QStringList{"Controls", "Sound", "ROMs", "Video", "Misc"}));
    // No creation handler: lists without a selection, every control enabled.
    EXPECT_EQ(form_.ControlP1->currentIndex(), -1);
    EXPECT_EQ(form_.Resolution->currentIndex(), -1);
    EXPECT_EQ(form_.Frames->text(), "0");
    EXPECT_TRUE(form_.Stereo->isEnabled());
    EXPECT_EQ(Built(), "-1 -1 -2 -1 -v -1 -f 0 -e");

    form_.Ottobit->setChecked(true);
    QTest::mouseClick(form_.LoadDefBt, Qt::LeftButton);
    EXPECT_EQ(Built(), "-1 1 -2 1 -v 0 -f 0 -e") << "no leading blank";
    EXPECT_TRUE(form_.Ottobit->isChecked()) << "Load default leaves 8 bit alone";
    EXPECT_FALSE(form_.Stereo->isEnabled()) << "sound is off";
    EXPECT_TRUE(form_.FitToScreen->isEnabled());
    EXPECT_FALSE(form_.Interpolation->isEnabled());
}

TEST_F(ZsnesDialogTest, SwitchPerControl) {
    form_.LoadDefBtClick();
    struct Row {
        const char* what;
        std::function<void()> set;
        const char* expected;
    };
    const Row rows[] = {
        {"player 1 sidewinder", [&] { form_.ControlP1->setCurrentIndex(6); },
         "-1 6 -2 1 -v 0 -f 0 -e"},
        {"player 2 none", [&] { form_.ControlP2->setCurrentIndex(0); }, "-1 1 -2 0 -v 0 -f 0 -e"},
        {"sound", [&] { form_.Sound->setChecked(true); }, "-1 1 -2 1 -s -r 2 -v 0 -f 0 -e"},
        {"sound stereo high",
         [&] {
             form_.Sound->setChecked(true);
             form_.Stereo->setChecked(true);
             form_.Playback->setCurrentIndex(2);
         },
         "-1 1 -2 1 -s -z -r 3 -v 0 -f 0 -e"},
        {"8 bit wins over stereo",
         [&] {
             form_.Sound->setChecked(true);
             form_.Stereo->setChecked(true);
             form_.Ottobit->setChecked(true);
             form_.Playback->setCurrentIndex(0);
         },
         "-1 1 -2 1 -s -8 -r 1 -v 0 -f 0 -e"},
        {"no sound, no sound pieces",
         [&] {
             form_.Stereo->setChecked(true);
             form_.Ottobit->setChecked(true);
             form_.Playback->setCurrentIndex(2);
         },
         "-1 1 -2 1 -v 0 -f 0 -e"},
        {"playback without a selection",
         [&] {
             form_.Sound->setChecked(true);
             form_.Playback->setCurrentIndex(-1);
         },
         "-1 1 -2 1 -s -r 0 -v 0 -f 0 -e"},
        {"both ROM forcings",
         [&] {
             form_.ForceHiROM->setChecked(true);
             form_.ForceLoROM->setChecked(true);
         },
         "-1 1 -2 1 -h -l -v 0 -f 0 -e"},
        {"resolution 7", [&] { form_.Resolution->setCurrentIndex(7); }, "-1 1 -2 1 -v 7 -f 0 -e"},
        {"auto frame",
         [&] {
             form_.AutoFrame->setChecked(true);
             form_.Frames->setText("5");
         },
         "-1 1 -2 1 -v 0 -a -e"},
        {"frames beyond the spinner", [&] { form_.Frames->setText("12"); },
         "-1 1 -2 1 -v 0 -f 12 -e"},
        {"frames not a number", [&] { form_.Frames->setText("x"); }, "-1 1 -2 1 -v 0 -f x -e"},
        {"fit to screen in mode 0", [&] { form_.FitToScreen->setChecked(true); },
         "-1 1 -2 1 -v 0 -f 0 -c -e"},
        {"mode 5 offers interpolation and scan lines",
         [&] {
             form_.Resolution->setCurrentIndex(5);
             form_.Interpolation->setChecked(true);
             form_.FitToScreen->setChecked(true);
             form_.Scanlines->setChecked(true);
         },
         "-1 1 -2 1 -v 5 -f 0 -y -n -e"},
        {"mode 1 offers fit and scan lines",
         [&] {
             form_.Resolution->setCurrentIndex(1);
             form_.Interpolation->setChecked(true);
             form_.FitToScreen->setChecked(true);
             form_.Scanlines->setChecked(true);
         },
         "-1 1 -2 1 -v 1 -f 0 -c -n -e"},
        {"mode 3 offers none",
         [&] {
             form_.Resolution->setCurrentIndex(3);
             form_.Interpolation->setChecked(true);
             form_.FitToScreen->setChecked(true);
             form_.Scanlines->setChecked(true);
         },
         "-1 1 -2 1 -v 3 -f 0 -e"},
        {"no GUI and vsync",
         [&] {
             form_.noGUI->setChecked(true);
             form_.VSync->setChecked(true);
         },
         "-1 1 -2 1 -v 0 -f 0 -m -w -e"},
    };
    for (const Row& row : rows) {
        form_.Ottobit->setChecked(false);
        form_.LoadDefBtClick();
        row.set();
        EXPECT_EQ(Built(), row.expected) << row.what;
    }
}

TEST_F(ZsnesDialogTest, DependencyRules) {
    form_.LoadDefBtClick();
    form_.Ottobit->setChecked(true);
    EXPECT_FALSE(form_.Stereo->isEnabled()) << "sound off disables stereo";
    form_.Sound->setChecked(true);
    // Turning sound on enables stereo even with 8 bit on; only 8 bit's click or a refresh
    // disables it again.
    EXPECT_TRUE(form_.Stereo->isEnabled());
    EXPECT_TRUE(form_.Playback->isEnabled());
    form_.Ottobit->setChecked(false);
    form_.Ottobit->setChecked(true);
    EXPECT_FALSE(form_.Stereo->isEnabled());

    form_.AutoFrame->setChecked(true);
    EXPECT_FALSE(form_.Frames->isEnabled());
    EXPECT_FALSE(form_.Frames->Spinner()->isEnabled());

    // A list's refresh runs on the user's choice, not on a change from the program.
    form_.Resolution->setCurrentIndex(5);
    EXPECT_FALSE(form_.Interpolation->isEnabled());
    ASSERT_TRUE(ShowActive(&form_));
    EXPECT_TRUE(form_.Interpolation->isEnabled());
    EXPECT_TRUE(form_.Scanlines->isEnabled());
    EXPECT_FALSE(form_.FitToScreen->isEnabled());
    form_.PageControl1->setCurrentWidget(form_.VideoPage);
    form_.Resolution->setFocus();
    QTest::keyClick(form_.Resolution, Qt::Key_Up);
    ASSERT_EQ(form_.Resolution->currentIndex(), 4);
    EXPECT_FALSE(form_.Interpolation->isEnabled());
    EXPECT_TRUE(form_.Scanlines->isEnabled());
}

TEST_F(ZsnesDialogTest, StartUpStringEqualsTheShownDialogsWhateverTheMode) {
    // Interpolation stored as on with a mode that does not offer it: the string read at
    // start-up and the one after showing and OK are the same.
    Load("[ZSNES]\nResolution=0\nInterpolation=1\nScanlines=1\nFitToScreen=1\n");
    ASSERT_TRUE(form_.Interpolation->isEnabled()) << "still in its designed state";
    const QString atStartUp = Built();
    EXPECT_EQ(atStartUp, "-1 1 -2 1 -v 0 -f 0 -c -e");
    ASSERT_TRUE(ShowActive(&form_));
    QTest::mouseClick(form_.OKBtn, Qt::LeftButton);
    EXPECT_EQ(form_.GetSwitches(), atStartUp);
}

TEST_F(ZsnesDialogTest, SettingsRoundTripInKeyOrder) {
    state_.EmuPath[SlotZSNES] = "/emu/zsnes/zsnes";
    state_.GamesDir[SlotZSNES] = "/roms/snes";
    form_.LoadDefBtClick();
    form_.Sound->setChecked(true);
    form_.Ottobit->setChecked(true);
    form_.Playback->setCurrentIndex(2);
    form_.Frames->setText("12");
    form_.Resolution->setCurrentIndex(5);
    form_.ControlP2->setCurrentIndex(4);
    form_.ForceLoROM->setChecked(true);
    form_.noGUI->setChecked(true);
    form_.Interpolation->setChecked(true);
    EXPECT_EQ(Saved(), (QStringList{"[ZSNES]",
                                    "EmuPath=/emu/zsnes/zsnes",
                                    "GamesDir=/roms/snes",
                                    "Runner=0",
                                    "Sound=1",
                                    "Playback=2",
                                    "Stereo=0",
                                    "8 bit=1",
                                    "FitToScreen=0",
                                    "Frames=12",
                                    "Resolution=5",
                                    "P1=1",
                                    "P2=4",
                                    "Force HiROM=0",
                                    "Force LowROM=1",
                                    "AutoFrame=0",
                                    "GUI=1",
                                    "Scanlines=0",
                                    "Interpolation=1",
                                    "VSync=0"}));
    const QString before = Built();

    AppState other;
    FakeHost host;
    TZSNES_OptForm loaded(other, host, nullptr);
    IniFile ini(Ini());
    loaded.LoadOptions(ini);
    EXPECT_EQ(other.EmuPath[SlotZSNES], "/emu/zsnes/zsnes");
    EXPECT_EQ(loaded.Frames->text(), "12");
    ASSERT_TRUE(loaded.BuildSwitches());
    EXPECT_EQ(loaded.GetSwitches(), before);
    EXPECT_EQ(before, "-1 1 -2 4 -s -8 -r 3 -l -v 5 -f 12 -y -m -e");

    // Lists read with an index that names no item select none, and the piece carries -1.
    Load("[zsnes]\nP1=9\nPlayback=-4\nSound=1\n");
    EXPECT_EQ(form_.ControlP1->currentIndex(), -1);
    EXPECT_EQ(Built(), "-1 -1 -2 1 -s -r 0 -v 0 -f 0 -e");
}

TEST_F(ZsnesDialogTest, ResizableAndOpensAtItsDesignedPlace) {
    ASSERT_TRUE(ShowActive(&form_));
    EXPECT_NE(form_.minimumSize(), form_.maximumSize());
    EXPECT_EQ(form_.pos(), QPoint(192, 107));
}
