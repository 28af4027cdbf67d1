// The NLKSNES dialog: its designed state, the order of the number pieces, the IRQ key that
// reads as on when missing, and the three range checks.
#include "DialogTestSupport.h"
#include "options/NLKSNES_OptionForm.h"

using namespace orvello;
using namespace orvello::test;

namespace {
using NlksnesDialogTest = DialogTest<TNLKSNES_OptForm>;
}  // namespace

TEST_F(NlksnesDialogTest, DesignedStateMissingSectionAndLoadDefault) {
    EXPECT_EQ(form_.windowTitle(), "NLKSNES Option");
    EXPECT_EQ(form_.SPCSkipMode->currentIndex(), -1);
    EXPECT_EQ(form_.Cycles->text(), "100");
    EXPECT_EQ(Built(), "");
    // The missing key reads as "Disable IRQ" checked; Load default unchecks it.
    Load("");
    EXPECT_EQ(Built(), " -nirq");
    form_.LoadDefBtClick();
    EXPECT_EQ(Built(), "");
    EXPECT_EQ(form_.SPCSkipMode->currentIndex(), 0);
}

TEST_F(NlksnesDialogTest, SwitchesInTableOrder) {
    form_.LoadDefBtClick();
    form_.SPCSkipMode->setCurrentIndex(1);
    EXPECT_EQ(Built(), " - ss 1");
    form_.EnableJoy->setChecked(true);
    form_.Frames->setText("3");
    form_.Cycles->setText("80");
    form_.Delay->setText("2");
    form_.noIRQ->setChecked(true);
    EXPECT_EQ(Built(), " -joy - ss 1 -frames 3 -h 80 -delay 2 -nirq");
    form_.SPCSkipMode->setCurrentIndex(-1);
    form_.EnableJoy->setChecked(false);
    form_.noIRQ->setChecked(false);
    form_.Frames->setText("00");
    form_.Cycles->setText("0100");
    form_.Delay->setText("04");
    EXPECT_EQ(Built(), " -delay 04") << "compared by value, passed as typed";
}

TEST_F(NlksnesDialogTest, OkWithoutAWholeNumberKeepsThePreviousString) {
    form_.EnableJoy->setChecked(true);
    ASSERT_EQ(Built(), " -joy");
    ASSERT_TRUE(ShowActive(&form_));
    form_.Cycles->setText("fast");
    QTest::mouseClick(form_.OKBtn, Qt::LeftButton);
    EXPECT_EQ(host_.Texts(), std::vector<QString>{"'fast' is not a valid integer value"});
    EXPECT_TRUE(form_.isVisible());
    EXPECT_EQ(form_.GetSwitches(), " -joy");
}

TEST_F(NlksnesDialogTest, RangeChecks) {
    ASSERT_TRUE(ShowActive(&form_));
    struct Row {
        NumberField* field;
        const char* text;
        const char* message;  // nullptr: accepted
    };
    const Row rows[] = {
        {form_.Frames, "11", "Value must between 0 and 10"},
        {form_.Frames, "-1", "Value must between 0 and 10"},
        {form_.Frames, "10", nullptr},
        {form_.Frames, "0", nullptr},
        {form_.Delay, "5", "Value must between 0 and 4"},
        {form_.Delay, "4", nullptr},
        {form_.Cycles, "49", "Value must between 50 and 100"},
        {form_.Cycles, "101", "Value must between 50 and 100"},
        {form_.Cycles, "0", "Value must between 50 and 100"},
        {form_.Cycles, "50", nullptr},
        {form_.Cycles, "100", nullptr},
    };
    for (const Row& row : rows) {
        const auto shown = Leave(row.field, row.text);
        if (row.message) {
            EXPECT_EQ(shown, std::vector<QString>{row.message}) << row.text;
            EXPECT_TRUE(row.field->hasFocus()) << row.text;
            EXPECT_EQ(row.field->text(), row.text) << "kept as typed";
        } else {
            EXPECT_TRUE(shown.empty()) << row.text;
            EXPECT_FALSE(row.field->hasFocus()) << row.text;
        }
    }
    // Out of range is still built at OK.
    form_.LoadDefBtClick();
    form_.Frames->setText("11");
    QTest::mouseClick(form_.OKBtn, Qt::LeftButton);
    EXPECT_EQ(form_.GetSwitches(), " -frames 11");
}

TEST_F(NlksnesDialogTest, SettingsRoundTripInKeyOrder) {
    form_.LoadDefBtClick();
    form_.EnableJoy->setChecked(true);
    form_.SPCSkipMode->setCurrentIndex(1);
    form_.Frames->setText("03");
    form_.Cycles->setText("75");
    form_.noIRQ->setChecked(true);
    EXPECT_EQ(Saved(), (QStringList{"[NLKSNES]", "EmuPath=", "GamesDir=", "Runner=0", "Joy=1",
                                    "Sound=1", "Frames=03", "Delay=0", "Cycles=75", "IRQs=1"}));
    Load("[NLKSNES]\nSound=2\nFrames=x\nCycles=0x50\nIRQs=0\n");
    EXPECT_EQ(form_.SPCSkipMode->currentIndex(), -1);
    EXPECT_EQ(form_.Frames->text(), "0");
    EXPECT_EQ(form_.Cycles->text(), "80");
    EXPECT_EQ(Built(), " -h 80");
}
