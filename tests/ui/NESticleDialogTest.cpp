// The NESticle dialog: player inputs kept apart, "Swap button" following the joysticks, the
// sound list and the start mode that always ends the string.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "DialogTestSupport.h"
#include "options/NES_OptionForm.h"

using namespace orvello;
using namespace orvello::test;

namespace {

using NESticleDialogTest = DialogTest<TNES_OptForm>;

}  // namespace

TEST_F(NESticleDialogTest, CreatedWithItsDefaults) {
    EXPECT_EQ(form_.windowTitle(), "NESticle option");
    EXPECT_EQ(form_.LoadDefBt->objectName(), "NES_LoadDefBt");
    EXPECT_EQ(form_.LoadDefBt->text(), "&Load default");
    EXPECT_EQ(PageCaptions(), (QStringList{"Controls", "Sound", "ROMs", "Misc"}));
    EXPECT_EQ(form_.Input1->currentText(), "Keyboard 1");
    EXPECT_EQ(form_.Input2->currentText(), "Keyboard 2");
    EXPECT_EQ(form_.Sound->currentText(), "Enable");
    EXPECT_EQ(form_.Sound->accessibleName(), "Sound");
    // A label a screen reader reads with it, and a name for its pop-up list.
    EXPECT_EQ(form_.Sound->view()->accessibleName(), "Sound");
    EXPECT_TRUE(HasLabel(form_, form_.Sound));
    EXPECT_EQ(form_.LoadROM->ItemIndex(), 0);
    EXPECT_FALSE(form_.SwapButton->isEnabled());
    EXPECT_EQ(Built(), " -run");
}

TEST_F(NESticleDialogTest, EachInputItemGivesItsSwitch) {
    const char* const player1[] = {" -setinput 1 NONE", "",
                                   " -setinput 1 KEY2", " -setinput 1 JOY1",
                                   " -setinput 1 JOY2", " -setinput 1 GRAVIS"};
    const char* const player2[] = {" -setinput 2 NONE", " -setinput 2 KEY1", "",
                                   " -setinput 2 JOY1", " -setinput 2 JOY2", " -setinput 2 GRAVIS"};
    for (int i = 0; i < 6; ++i) {
        form_.Input1->setCurrentIndex(i);
        form_.Input2->setCurrentIndex(2);
        EXPECT_EQ(Built(), QString(player1[i]) + " -run") << i;
        form_.Input1->setCurrentIndex(1);
        form_.Input2->setCurrentIndex(i);
        EXPECT_EQ(Built(), QString(player2[i]) + " -run") << i;
    }
    form_.Input1->setCurrentIndex(-1);
    form_.Input2->setCurrentIndex(-1);
    EXPECT_EQ(Built(), " -run") << "no selection adds nothing";
}

TEST_F(NESticleDialogTest, SoundSwapSyncAndStartMode) {
    const struct {
        int sound;
        const char* piece;
    } sounds[] = {{0, " -nosound"}, {1, ""}, {2, " -sb"}, {3, " -sb16"}, {-1, ""}};
    for (const auto& row : sounds) {
        form_.Sound->setCurrentIndex(row.sound);
        EXPECT_EQ(Built(), QString(row.piece) + " -run") << row.sound;
    }
    form_.Sound->setCurrentIndex(3);
    form_.SwapButton->setChecked(true);
    form_.WaitVSync->setChecked(true);
    form_.LoadROM->SetItemIndex(1);
    EXPECT_EQ(Built(), " -swapbut -waitvsync -sb16 -restore");
    EXPECT_FALSE(form_.SwapButton->isEnabled()) << "a check left in the disabled box still counts";

    form_.LoadDefBt->click();
    EXPECT_EQ(Built(), " -run");
}

TEST_F(NESticleDialogTest, JoysticksEnableSwapAndThePlayersStayApart) {
    Pick(form_.Input1, 4);
    EXPECT_TRUE(form_.SwapButton->isEnabled());
    Pick(form_.Input2, 4);
    EXPECT_EQ(form_.Input2->currentText(), "Joystick 1") << "the list just changed moves";
    EXPECT_EQ(form_.Input1->currentText(), "Joystick 2") << "the other never changes";
    Pick(form_.Input1, 1);
    EXPECT_TRUE(form_.SwapButton->isEnabled()) << "player 2 still has a joystick";
    Pick(form_.Input2, 1);
    EXPECT_EQ(form_.Input2->currentText(), "Keyboard 2");
    EXPECT_FALSE(form_.SwapButton->isEnabled());

    // Every item chosen for player 2 while player 1 shows it.
    const char* const moved[] = {"None",       "Keyboard 2", "Keyboard 1",
                                 "Joystick 2", "Joystick 1", "Gravis gamepad"};
    for (int i = 0; i < 6; ++i) {
        form_.Input1->setCurrentIndex(i);
        Pick(form_.Input2, i);
        EXPECT_EQ(form_.Input2->currentText(), moved[i]) << i;
        EXPECT_EQ(form_.Input1->currentIndex(), i) << i;
    }
    form_.Input1->setCurrentIndex(5);
    form_.Input2->setCurrentIndex(5);
    EXPECT_EQ(Built(), " -setinput 1 GRAVIS -setinput 2 GRAVIS -run");
}

TEST_F(NESticleDialogTest, StoredSharedDevicesAreKeptUntilTheDialogShows) {
    Load("[NESticle]\nInput1=3\nInput2=3\n");
    EXPECT_EQ(Built(), " -setinput 1 JOY1 -setinput 2 JOY1 -run")
        << "start-up builds what was stored";
    EXPECT_FALSE(form_.SwapButton->isEnabled()) << "a list's handler does not run on loading";
    ASSERT_TRUE(ShowActive(&form_));
    EXPECT_EQ(form_.Input1->currentText(), "Joystick 2") << "showing runs player 1's rule first";
    EXPECT_EQ(form_.Input2->currentText(), "Joystick 1");
    EXPECT_TRUE(form_.SwapButton->isEnabled());
    form_.OKBtn->click();
    EXPECT_EQ(form_.GetSwitches(), " -setinput 1 JOY2 -setinput 2 JOY1 -run");
}

TEST_F(NESticleDialogTest, KeysRoundTripAndTheStartModeIsNotKept) {
    state_.GamesDir[SlotNESticle] = "/roms/nes";
    form_.Input1->setCurrentIndex(3);
    form_.Input2->setCurrentIndex(0);
    form_.SwapButton->setChecked(true);
    form_.Sound->setCurrentIndex(2);
    form_.LoadROM->SetItemIndex(1);
    EXPECT_EQ(Saved(),
              (QStringList{"[NESticle]", "EmuPath=", "GamesDir=/roms/nes", "Runner=0", "Input1=3",
                           "Input2=0", "Swap button=1", "WaitVSync=0", "Sound=2"}));

    AppState other;
    FakeHost host;
    TNES_OptForm restarted(other, host, nullptr);
    IniFile ini(Ini());
    restarted.LoadOptions(ini);
    ASSERT_TRUE(restarted.BuildSwitches());
    EXPECT_EQ(restarted.GetSwitches(), " -setinput 1 JOY1 -setinput 2 NONE -swapbut -sb -run");
    EXPECT_EQ(restarted.LoadROM->ItemIndex(), 0) << "Run again after a restart";

    Load("[NESticle]\nInput1=2\n");
    EXPECT_EQ(form_.Sound->currentText(), "Enable") << "a missing key reads as Enable";
    EXPECT_EQ(form_.Input2->currentIndex(), 2);
    Load("[NESticle]\nSound=-1\n");
    EXPECT_EQ(form_.Sound->currentIndex(), -1);
    EXPECT_EQ(Built(), " -restore") << "loading leaves the start mode as it was";
}
