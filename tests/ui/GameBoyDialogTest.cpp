// The Virtual GameBoy dialog: switches given only away from their defaults, the three timing
// fields' range checks, the volume slider and its hint, the Game Genie code and the background.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QToolButton>

#include <functional>

#include "DialogTestSupport.h"
#include "options/GB_OptionForm.h"

using namespace orvello;
using namespace orvello::test;

namespace {

using GameBoyDialogTest = DialogTest<TGB_OptForm>;

}  // namespace

TEST_F(GameBoyDialogTest, CreatedWithItsDefaults) {
    EXPECT_EQ(form_.windowTitle(), "GameBoy option");
    EXPECT_EQ(form_.LoadDefBt->text(), "Load default");
    EXPECT_EQ(PageCaptions(),
              (QStringList{"Controls", "Sound", "ROMs", "Video", "Cheat code", "Misc"}));
    EXPECT_TRUE(form_.CRC_Control->isChecked());
    EXPECT_TRUE(form_.Delay->isChecked());
    EXPECT_EQ(form_.Sound->currentText(), "Adlib");
    EXPECT_EQ(form_.Stereo->currentText(), "Normal");
    EXPECT_EQ(form_.VPeriod->text(), "10000");
    EXPECT_EQ(form_.UPeriod->text(), "0");
    EXPECT_EQ(form_.IFreq->text(), "60");
    EXPECT_EQ(form_.Volume->value(), 10);
    EXPECT_EQ(form_.Volume->toolTip(), "Volume: 10");
    EXPECT_EQ(form_.BackGround->text(), "Default");
    EXPECT_TRUE(form_.GGCode->isHidden());
    EXPECT_EQ(Built(), "");
}

TEST_F(GameBoyDialogTest, EachValueAwayFromItsDefaultAddsItsSwitch) {
    const struct {
        std::function<void()> change;
        const char* piece;
    } rows[] = {
        {[&] { form_.CRC_Control->setChecked(false); }, " -nocrc"},
        {[&] { form_.Delay->setChecked(false); }, " -nodelay"},
        {[&] { form_.Sound->setCurrentIndex(0); }, " -sound 0"},
        {[&] { form_.Stereo->setCurrentIndex(0); }, " -stereo 0"},
        {[&] { form_.Stereo->setCurrentIndex(2); }, " -stereo 2"},
        {[&] { form_.AutoA->setChecked(true); }, " -autoa 1"},
        {[&] { form_.AutoB->setChecked(true); }, " -autob 1"},
        {[&] { form_.SwapBt->SetItemIndex(3); }, " -swapbuttons 3"},
        {[&] { form_.VPeriod->setText("32000"); }, " -vperiod 32000"},
        {[&] { form_.UPeriod->setText("5"); }, " -uperiod 5"},
        {[&] { form_.IFreq->setText("100"); }, " -ifreq 100"},
        {[&] { form_.Volume->setValue(15); }, " -volume 15"},
        {[&] { form_.VideoMode->setCurrentIndex(5); }, " -video 5"},
        {[&] { form_.GGActive->setChecked(true); }, " -cheat "},
        {[&] { form_.BackGround->setText("/pics/a b.gif"); }, " -background /pics/a b.gif"},
        // The same values written differently add nothing.
        {[&] { form_.VPeriod->setText("010000"); }, ""},
        {[&] { form_.IFreq->setText("+60"); }, ""},
    };
    for (const auto& row : rows) {
        form_.LoadDefBt->click();
        row.change();
        EXPECT_EQ(Built(), row.piece);
    }
    form_.LoadDefBt->click();
    for (const auto& row : rows)
        row.change();
    EXPECT_EQ(Built(),
              " -nocrc -nodelay -sound 0 -stereo 2 -autoa 1 -autob 1 -swapbuttons 3 -uperiod 5"
              " -volume 15 -video 5 -cheat  -background /pics/a b.gif");
}

TEST_F(GameBoyDialogTest, NoSoundDisablesStereoAndVolumeWhichStillCount) {
    Pick(form_.Sound, 0);
    EXPECT_FALSE(form_.Stereo->isEnabled());
    EXPECT_FALSE(form_.Volume->isEnabled());
    form_.Stereo->setCurrentIndex(2);
    form_.Volume->setValue(3);
    EXPECT_EQ(Built(), " -sound 0 -stereo 2 -volume 3");
    Pick(form_.Sound, 1);
    EXPECT_TRUE(form_.Stereo->isEnabled());
    EXPECT_TRUE(form_.Volume->isEnabled());
}

TEST_F(GameBoyDialogTest, RangeChecksOfTheTimingFields) {
    const struct {
        NumberField* field;
        std::vector<const char*> bad;
        std::vector<const char*> good;
        const char* message;
    } rows[] = {
        {form_.IFreq, {"-1", "101"}, {"0", "100"}, "Value must between 0 and 100"},
        {form_.VPeriod, {"999", "32001"}, {"1000", "32000"}, "Value must between 1000 and 32000"},
        {form_.UPeriod, {"-1", "11"}, {"0", "10"}, "Value must between 0 and 10"},
    };
    for (const auto& row : rows) {
        for (const char* bad : row.bad) {
            EXPECT_EQ(Leave(row.field, bad), std::vector<QString>{row.message}) << bad;
            EXPECT_TRUE(row.field->hasFocus()) << bad;
        }
        for (const char* good : row.good)
            EXPECT_TRUE(Leave(row.field, good).empty()) << row.message << " " << good;
    }
}

TEST_F(GameBoyDialogTest, TheVBlankSpinnerStepsByAHundredWithinItsRange) {
    UpDown* spinner = form_.VPeriod->Spinner();
    EXPECT_EQ(spinner->objectName(), "UpDown2");
    auto* up = spinner->findChild<QToolButton*>("Up");
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(form_.VPeriod->text(), "10100");
    form_.VPeriod->setText("31950");
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(form_.VPeriod->text(), "32000");
    QTest::mouseClick(spinner->findChild<QToolButton*>("Down"), Qt::LeftButton);
    EXPECT_EQ(form_.VPeriod->text(), "31900");
    QTest::mouseClick(form_.UPeriod->Spinner()->findChild<QToolButton*>("Up"), Qt::LeftButton);
    EXPECT_EQ(form_.UPeriod->text(), "1") << "the others step by one";
}

TEST_F(GameBoyDialogTest, AFieldWithoutAWholeNumberKeepsTheDialogOpen) {
    ASSERT_TRUE(ShowActive(&form_));
    form_.UPeriod->setText("x");
    form_.OKBtn->click();
    EXPECT_EQ(host_.Texts(), std::vector<QString>{"'x' is not a valid integer value"});
    EXPECT_TRUE(form_.isVisible());
    EXPECT_EQ(form_.GetSwitches(), "");
}

TEST_F(GameBoyDialogTest, TheVolumeHintFollowsAndStoredVolumesArePulledIntoRange) {
    form_.Volume->setValue(15);
    EXPECT_EQ(form_.Volume->toolTip(), "Volume: 15");
    EXPECT_EQ(form_.Volume->pageStep(), 5);

    Load("[VirtualGB]\nVolume=20\n");
    EXPECT_EQ(form_.Volume->value(), 15);
    EXPECT_EQ(Built(), " -volume 15") << "start-up builds what the dialog shows";
    Load("[VirtualGB]\nVolume=-4\n");
    EXPECT_EQ(form_.Volume->value(), 0);
    EXPECT_EQ(form_.Volume->toolTip(), "Volume: 0");
    ASSERT_TRUE(ShowActive(&form_));
    form_.OKBtn->click();
    EXPECT_EQ(form_.GetSwitches(), " -volume 0");
    EXPECT_TRUE(Saved().contains("Volume=0"));
}

TEST_F(GameBoyDialogTest, TheGameGenieCodeSurvivesLoadDefault) {
    form_.GGActive->setChecked(true);
    EXPECT_FALSE(form_.GGCode->isHidden());
    EXPECT_EQ(Built(), " -cheat ") << "an empty code is given all the same";
    form_.GGCode->setText("009-61F-E6E");
    EXPECT_EQ(Built(), " -cheat 009-61F-E6E");
    form_.LoadDefBt->click();
    EXPECT_TRUE(form_.GGCode->isHidden());
    EXPECT_EQ(form_.GGCode->text(), "009-61F-E6E");
    EXPECT_EQ(Built(), "");
    form_.GGActive->setChecked(true);
    EXPECT_FALSE(form_.GGCode->isHidden());
    EXPECT_EQ(Built(), " -cheat 009-61F-E6E");
    EXPECT_FALSE(Saved().join('\n').contains("009-61F-E6E")) << "the code is never kept";
}

TEST_F(GameBoyDialogTest, TheBackgroundIsChosenAndResetToDefault) {
    host_.openAnswer = "/pics/space.gif";
    form_.Button1->click();
    ASSERT_EQ(host_.openRequests.size(), 1u);
    EXPECT_EQ(host_.openRequests[0].title, "Select a GIF file for background");
    EXPECT_EQ(host_.openRequests[0].filter, "Background file|*.gif");
    EXPECT_TRUE(host_.openRequests[0].initialDir.isEmpty());
    EXPECT_EQ(form_.BackGround->text(), "/pics/space.gif");
    EXPECT_EQ(Built(), " -background /pics/space.gif");

    host_.openAnswer.reset();
    form_.Button1->click();
    EXPECT_EQ(form_.BackGround->text(), "/pics/space.gif") << "cancelled: unchanged";
    form_.LoadDefBt->click();
    EXPECT_EQ(form_.BackGround->text(), "Default");
    EXPECT_EQ(Built(), "");
}

TEST_F(GameBoyDialogTest, StoredSwapButtonIndexesOutsideTheItems) {
    Load("[VirtualGB]\nSwap button=9\n");
    EXPECT_EQ(form_.SwapBt->ItemIndex(), 3);
    EXPECT_EQ(Built(), " -swapbuttons 3");
    Load("[VirtualGB]\nSwap button=-2\n");
    EXPECT_EQ(form_.SwapBt->ItemIndex(), -1);
    EXPECT_EQ(Built(), " -swapbuttons -1");
}

TEST_F(GameBoyDialogTest, KeysAreWrittenAndReadInTheirOrder) {
    state_.EmuPath[SlotVirtualGameBoy] = "/emu/vgb";
    form_.VPeriod->setText("12000");
    form_.Volume->setValue(7);
    form_.CRC_Control->setChecked(false);
    form_.Sound->setCurrentIndex(0);
    form_.SwapBt->SetItemIndex(2);
    form_.VideoMode->setCurrentIndex(3);
    form_.BackGround->setText("/pics/x.gif");
    EXPECT_EQ(Saved(), (QStringList{"[VirtualGB]", "EmuPath=/emu/vgb", "GamesDir=", "Runner=0",
                                    "VPeriod=12000", "UPeriod=0", "IFreq=60", "Volume=7", "CRC=0",
                                    "Delay=1", "Sound=0", "Stereo=1", "AutoA=0", "AutoB=0",
                                    "Swap button=2", "Video=3", "BackGround=/pics/x.gif"}));

    AppState other;
    FakeHost host;
    TGB_OptForm restarted(other, host, nullptr);
    IniFile ini(Ini());
    restarted.LoadOptions(ini);
    ASSERT_TRUE(restarted.BuildSwitches());
    EXPECT_EQ(restarted.GetSwitches(),
              " -nocrc -sound 0 -swapbuttons 2 -vperiod 12000 -volume 7"
              " -video 3 -background /pics/x.gif");

    Load("[VirtualGB]\nVPeriod=fast\nCRC=0\n");
    EXPECT_EQ(form_.VPeriod->text(), "10000") << "not a number: the default";
    EXPECT_EQ(Built(), " -nocrc");
}
