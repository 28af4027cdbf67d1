// The GenEm dialog: its switches, the frame field's range check, "Calibrate" following the
// joystick box, and the keys it keeps in their two orders.
#include <gtest/gtest.h>

#include <QPushButton>

#include "DialogTestSupport.h"
#include "options/GEN_OptionForm.h"

using namespace orvello;
using namespace orvello::test;

namespace {

using GenEmDialogTest = DialogTest<TGEN_OptForm>;

}  // namespace

TEST_F(GenEmDialogTest, CreatedWithItsDefaults) {
    EXPECT_EQ(form_.windowTitle(), "GenEm option");
    EXPECT_EQ(form_.LoadDefBt->objectName(), "GEN_LoadDefBt");
    EXPECT_EQ(form_.LoadDefBt->text(), "&Load default");
    EXPECT_EQ(PageCaptions(), (QStringList{"Controls", "Sound", "ROMs", "Video", "Misc"}));
    EXPECT_EQ(form_.ROMType->currentIndex(), 0);
    EXPECT_EQ(form_.Frames->text(), "2");
    EXPECT_FALSE(form_.Calib->isEnabled());
    EXPECT_EQ(Built(), "");
}

TEST_F(GenEmDialogTest, SwitchStrings) {
    form_.Sound->setChecked(true);
    EXPECT_EQ(Built(), " -nosound") << "checked, not cleared, disables the sound";
    form_.Sound->setChecked(false);
    form_.Joystick->setChecked(true);
    EXPECT_EQ(Built(), " -nojoy");
    EXPECT_TRUE(form_.Calib->isEnabled());
    form_.Joystick->setChecked(false);
    EXPECT_FALSE(form_.Calib->isEnabled());

    form_.ROMType->setCurrentIndex(2);
    form_.DisableZ80->setChecked(true);
    form_.Frames->setText("5");
    EXPECT_EQ(Built(), " -japan -fakedz80 -frame 5");

    form_.ROMType->setCurrentIndex(1);
    form_.ModeX->setChecked(true);
    form_.Sound->setChecked(true);
    form_.Joystick->setChecked(true);
    form_.Frames->setText("02");
    EXPECT_EQ(Built(), " -europe -fakedz80 -modex -nosound -nojoy") << "02 is 2";
    form_.ROMType->setCurrentIndex(-1);
    form_.Frames->setText("010");
    EXPECT_EQ(Built(), " -fakedz80 -modex -nosound -nojoy -frame 010");

    // Calibrate changes neither the string nor the file.
    const QStringList saved = Saved();
    form_.Calib->setChecked(!form_.Calib->isChecked());
    EXPECT_EQ(Built(), " -fakedz80 -modex -nosound -nojoy -frame 010");
    EXPECT_EQ(Saved(), saved);
}

TEST_F(GenEmDialogTest, LoadDefaultLeavesCalibrateButDisablesIt) {
    form_.Joystick->setChecked(true);
    form_.Calib->setChecked(true);
    form_.ROMType->setCurrentIndex(2);
    form_.Frames->setText("7");
    form_.LoadDefBt->click();
    EXPECT_FALSE(form_.Joystick->isChecked());
    EXPECT_TRUE(form_.Calib->isChecked()) << "Load default does not reset it";
    EXPECT_FALSE(form_.Calib->isEnabled());
    EXPECT_EQ(form_.ROMType->currentIndex(), 0);
    EXPECT_EQ(form_.Frames->text(), "2");
    EXPECT_EQ(form_.Frames->Spinner()->Position(), 2);
    EXPECT_EQ(Built(), "");
}

TEST_F(GenEmDialogTest, FramesRangeCheck) {
    for (const char* bad : {"0", "11"}) {
        EXPECT_EQ(Leave(form_.Frames, bad), std::vector<QString>{"Index must between 1 and 10"})
            << bad;
        EXPECT_TRUE(form_.Frames->hasFocus()) << bad;
        EXPECT_EQ(form_.Frames->text(), bad);
    }
    for (const char* good : {"1", "10"}) {
        EXPECT_TRUE(Leave(form_.Frames, good).empty()) << good;
        EXPECT_FALSE(form_.Frames->hasFocus()) << good;
    }
}

TEST_F(GenEmDialogTest, KeysAreWrittenInOneOrderAndReadInAnother) {
    state_.EmuPath[SlotGenEm] = "/emu/genem";
    form_.ROMType->setCurrentIndex(1);
    form_.ModeX->setChecked(true);
    form_.Joystick->setChecked(true);
    form_.Frames->setText("04");
    EXPECT_EQ(Saved(),
              (QStringList{"[GenEm]", "EmuPath=/emu/genem", "GamesDir=", "Runner=0", "Rom switch=1",
                           "Z80Emu=0", "ModeX=1", "Sound=0", "Joy=1", "Frames=04"}));

    form_.LoadDefBt->click();
    Load("[GenEm]\nJoy=1\nFrames=04\nModeX=1\nRom switch=1\n");
    EXPECT_EQ(form_.Frames->text(), "4") << "read as a number";
    EXPECT_TRUE(form_.Calib->isEnabled()) << "the joystick box's change ran its handler";
    EXPECT_EQ(Built(), " -europe -modex -nojoy -frame 4");

    Load("[GenEm]\nFrames=x\nRom switch=3\n");
    EXPECT_EQ(form_.Frames->text(), "2");
    EXPECT_EQ(form_.ROMType->currentIndex(), -1);
    EXPECT_EQ(Built(), "") << "no region selected adds nothing";
}
