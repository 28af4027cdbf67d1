// The M.A.M.E. dialog: list indexes as numbers, the video block entered for any VESA mode but
// "None", the anti-aliasing piece that is always there, its range check and its key orders.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>

#include "DialogTestSupport.h"
#include "options/MAME_OptionForm.h"

using namespace orvello;
using namespace orvello::test;

namespace {
using MameDialogTest = DialogTest<TMAME_OptForm>;
}  // namespace

TEST_F(MameDialogTest, TheControlListHasALabelAndItsPopUpAName) {
    EXPECT_EQ(form_.Control->accessibleName(), "Control");
    EXPECT_EQ(form_.Control->view()->accessibleName(), "Control");
    EXPECT_TRUE(HasLabel(form_, form_.Control));
}

TEST_F(MameDialogTest, SwitchPerControl) {
    EXPECT_EQ(form_.windowTitle(), "M.A.M.E. option");
    EXPECT_EQ(Built(), " -soundcard 0 -noaa");
    struct Row {
        const char* what;
        std::function<void()> set;
        const char* expected;
    };
    const Row rows[] = {
        {"scanlines and vsync",
         [&] {
             form_.noScanlines->setChecked(true);
             form_.VSync->setChecked(true);
         },
         " -noscanlines -vsync -soundcard 0 -noaa"},
        {"flightstick", [&] { form_.Control->setCurrentIndex(2); }, " -joy 2 -soundcard 0 -noaa"},
        {"no mouse", [&] { form_.Mouse->setChecked(false); }, " -nomouse -soundcard 0 -noaa"},
        {"FM without a card still counts", [&] { form_.FM->setChecked(true); },
         " -fm -soundcard 0 -noaa"},
        {"card 7", [&] { form_.Soundcard->setCurrentIndex(7); }, " -soundcard 7 -noaa"},
        {"no card selected", [&] { form_.Soundcard->setCurrentIndex(-1); }, " -soundcard -1 -noaa"},
        {"VESA none hides the video block",
         [&] {
             form_.noPixelDouble->setChecked(true);
             form_.ScreenRes->setCurrentIndex(3);
         },
         " -soundcard 0 -noaa"},
        {"auto detect with 800x600",
         [&] {
             form_.VesaMode->setCurrentIndex(1);
             form_.ScreenRes->setCurrentIndex(3);
         },
         " -soundcard 0 -vesa -800 -noaa"},
        {"vesa 2 linear, no doubling, 1600",
         [&] {
             form_.VesaMode->setCurrentIndex(4);
             form_.noPixelDouble->setChecked(true);
             form_.ScreenRes->setCurrentIndex(6);
         },
         " -soundcard 0 -nodouble -vesa2l -1600 -noaa"},
        {"vesa 1.2 without a resolution",
         [&] {
             form_.VesaMode->setCurrentIndex(2);
             form_.ScreenRes->setCurrentIndex(-1);
         },
         " -soundcard 0 -vesa1 -noaa"},
        {"no VESA selection enters the block without a VESA switch",
         [&] {
             form_.VesaMode->setCurrentIndex(-1);
             form_.noPixelDouble->setChecked(true);
         },
         " -soundcard 0 -nodouble -320 -noaa"},
        {"frames 2", [&] { form_.Frames->setText("2"); }, " -soundcard 0 -frameskip 2 -noaa"},
        {"misc",
         [&] {
             form_.Dir4Alg->setChecked(true);
             form_.Cheat->setChecked(true);
             form_.AntiAliasing->setChecked(true);
         },
         " -soundcard 0 -dir4 -cheat -aa"},
    };
    for (const Row& row : rows) {
        form_.LoadDefBtClick();
        row.set();
        EXPECT_EQ(Built(), row.expected) << row.what;
    }
}

TEST_F(MameDialogTest, DependencyRulesFollowTheUsersChoice) {
    ASSERT_TRUE(ShowActive(&form_));
    EXPECT_FALSE(form_.FM->isEnabled());
    EXPECT_FALSE(form_.ScreenRes->isEnabled());
    EXPECT_FALSE(form_.noPixelDouble->isEnabled());
    form_.PageControl1->setCurrentWidget(form_.TabSheet4);
    form_.VesaMode->setFocus();
    QTest::keyClick(form_.VesaMode, Qt::Key_Down);  // "Auto detect"
    EXPECT_FALSE(form_.ScreenRes->isEnabled());
    EXPECT_TRUE(form_.noPixelDouble->isEnabled());
    QTest::keyClick(form_.VesaMode, Qt::Key_Down);  // "Vesa 1.2"
    EXPECT_TRUE(form_.ScreenRes->isEnabled());
    form_.PageControl1->setCurrentWidget(form_.TabSheet2);
    form_.Soundcard->setFocus();
    QTest::keyClick(form_.Soundcard, Qt::Key_Down);
    EXPECT_TRUE(form_.FM->isEnabled());
}

TEST_F(MameDialogTest, FramesRangeCheck) {
    ASSERT_TRUE(ShowActive(&form_));
    EXPECT_EQ(Leave(form_.Frames, "4"), std::vector<QString>{"Index must between 0 and 3"});
    EXPECT_TRUE(form_.Frames->hasFocus());
    EXPECT_EQ(Leave(form_.Frames, "-1"), std::vector<QString>{"Index must between 0 and 3"});
    EXPECT_TRUE(Leave(form_.Frames, "3").empty());
    EXPECT_TRUE(Leave(form_.Frames, "0").empty());
}

TEST_F(MameDialogTest, SettingsRoundTripAndTheMouseComingBack) {
    state_.EmuPath[SlotMAME] = "/emu/mame/mame";
    form_.FM->setChecked(true);
    form_.Soundcard->setCurrentIndex(1);
    form_.Mouse->setChecked(false);
    form_.VesaMode->setCurrentIndex(3);
    form_.ScreenRes->setCurrentIndex(2);
    form_.Cheat->setChecked(true);
    form_.noPixelDouble->setChecked(true);
    EXPECT_EQ(Saved(),
              (QStringList{"[MAME]", "EmuPath=/emu/mame/mame", "GamesDir=", "Runner=0",
                           "Scanlines=0", "Control=0", "Disable FM=1", "SoundCard=1", "Frames=0",
                           "Vesa Mode=3", "Screen res=2", "Dir4 alg=0", "Anti aliasing=0",
                           "Enable cheat=1", "Pixel double=1", "VSync=0"}));
    AppState other;
    FakeHost host;
    TMAME_OptForm loaded(other, host, nullptr);
    IniFile ini(Ini());
    loaded.LoadOptions(ini);
    EXPECT_TRUE(loaded.FM->isChecked());
    EXPECT_TRUE(loaded.Mouse->isChecked()) << "a new run starts with the mouse";
    ASSERT_TRUE(loaded.BuildSwitches());
    EXPECT_EQ(loaded.GetSwitches(), " -fm -soundcard 1 -nodouble -vesa2b -640 -cheat -noaa");

    Load("[mame]\nVesa Mode=9\nPixel double=1\nScreen res=1\nControl=0x6\n");
    EXPECT_EQ(form_.VesaMode->currentIndex(), -1);
    EXPECT_EQ(Built(), " -joy 6 -nomouse -soundcard 0 -nodouble -512 -noaa");
}
