// The Massage dialog: slash switches ending with the frame switch, "Button swap" following the
// control type, and the frame field kept as text.
#include <gtest/gtest.h>

#include <QPushButton>

#include "DialogTestSupport.h"
#include "options/SMS_OptionForm.h"

using namespace orvello;
using namespace orvello::test;

namespace {

using MassageDialogTest = DialogTest<TSMS_OptForm>;

}  // namespace

TEST_F(MassageDialogTest, CreatedWithItsDefaults) {
    EXPECT_EQ(form_.windowTitle(), "Massage option");
    EXPECT_EQ(form_.LoadDefBt->text(), "Load default");
    EXPECT_EQ(PageCaptions(), (QStringList{"Controls", "Sound", "Video", "Misc"}));
    EXPECT_EQ(form_.Frames->text(), "1") << "the creation handler replaces the designed 3";
    EXPECT_EQ(form_.Frames->Spinner()->Position(), 1);
    EXPECT_FALSE(form_.ButtonSwap->isEnabled());
    EXPECT_EQ(Built(), " /nojoy /frame 1");
}

TEST_F(MassageDialogTest, SwitchStrings) {
    const char* const controls[] = {" /nojoy", " /ggpad", " /p2joy", " /4bpad"};
    for (int i = 0; i < 4; ++i) {
        form_.Joy->setCurrentIndex(i);
        EXPECT_EQ(Built(), QString(controls[i]) + " /frame 1") << i;
    }
    form_.Joy->setCurrentIndex(-1);
    EXPECT_EQ(Built(), " /frame 1") << "no control type selected adds nothing";

    const struct {
        int mode;
        const char* built;
    } modes[] = {
        {0, " /frame 1"}, {1, " /li 1 /frame 1"}, {2, " /li 2 /frame 1"}, {-1, " /li -1 /frame 1"}};
    for (const auto& row : modes) {
        form_.LineIntr->setCurrentIndex(row.mode);
        EXPECT_EQ(Built(), row.built) << row.mode;
    }

    form_.Joy->setCurrentIndex(3);
    form_.LineIntr->setCurrentIndex(0);
    for (QCheckBox* box :
         {form_.ButtonSwap, form_.JapanROM, form_.noFM, form_.noStereo, form_.BigScreen})
        box->setChecked(true);
    form_.Frames->setText("07");
    EXPECT_EQ(Built(), " /4bpad /bswap /jap /nofm /nostereo /ggbig /frame 07");
    EXPECT_FALSE(form_.ButtonSwap->isEnabled()) << "a check left in it still counts";
}

TEST_F(MassageDialogTest, ButtonSwapFollowsTheControlType) {
    for (int i = 0; i < 4; ++i) {
        Pick(form_.Joy, i);
        EXPECT_EQ(form_.ButtonSwap->isEnabled(), i == 2) << i;
    }
    Pick(form_.Joy, 2);
    form_.LoadDefBt->click();
    EXPECT_FALSE(form_.ButtonSwap->isEnabled());

    Load("[Massage]\nJoy=2\n");
    EXPECT_FALSE(form_.ButtonSwap->isEnabled()) << "loading runs no list handler";
    ASSERT_TRUE(ShowActive(&form_));
    EXPECT_TRUE(form_.ButtonSwap->isEnabled()) << "showing does";
}

TEST_F(MassageDialogTest, FramesAreKeptAsTextAndNeverConverted) {
    form_.Frames->setText("07");
    QStringList saved = Saved();
    EXPECT_TRUE(saved.contains("Frames=07"));
    form_.LoadDefBt->click();
    IniFile ini(Ini());
    form_.LoadOptions(ini);
    EXPECT_EQ(form_.Frames->text(), "07");

    Load("[Massage]\nFrames=fast\n");
    EXPECT_EQ(form_.Frames->text(), "fast");
    ASSERT_TRUE(ShowActive(&form_));
    form_.OKBtn->click();
    EXPECT_TRUE(host_.messages.empty()) << "the build does not convert this field";
    EXPECT_EQ(form_.GetSwitches(), " /nojoy /frame fast");

    Load("[Massage]\n");
    EXPECT_EQ(form_.Frames->text(), "1");
}

TEST_F(MassageDialogTest, FramesRangeCheck) {
    for (const char* bad : {"0", "11"}) {
        EXPECT_EQ(Leave(form_.Frames, bad), std::vector<QString>{"Index must between 1 and 10"})
            << bad;
        EXPECT_TRUE(form_.Frames->hasFocus()) << bad;
    }
    for (const char* good : {"1", "10"})
        EXPECT_TRUE(Leave(form_.Frames, good).empty()) << good;
}

TEST_F(MassageDialogTest, KeysAreWrittenInTheirOrder) {
    state_.EmuPath[SlotMassage] = "/emu/massage";
    form_.Joy->setCurrentIndex(1);
    form_.LineIntr->setCurrentIndex(2);
    form_.noStereo->setChecked(true);
    form_.Frames->setText("4");
    EXPECT_EQ(Saved(), (QStringList{"[Massage]", "EmuPath=/emu/massage", "GamesDir=", "Runner=0",
                                    "Joy=1", "Button swap=0", "LineIntr=2", "Jap=0", "Frames=4",
                                    "FM=0", "Stereo=1", "BigScreen=0"}));
}
