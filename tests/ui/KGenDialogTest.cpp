// The KGen dialog: its switch strings, its range check, Cancel, and the settings round trip.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "DialogTestSupport.h"
#include "options/KGen_OptionForm.h"

using namespace orvello;
using namespace orvello::test;

namespace {

using KGenDialogTest = DialogTest<TKGEN_OptForm>;

}  // namespace

TEST_F(KGenDialogTest, CreatedWithItsDefaults) {
    EXPECT_EQ(form_.windowTitle(), "KGEN Option");
    EXPECT_EQ(form_.LoadDefBt->text(), "&Load default");
    EXPECT_EQ(form_.PageControl1->count(), 3);
    EXPECT_EQ(form_.PageControl1->tabText(0), "Sound");
    EXPECT_EQ(form_.PageControl1->tabText(1), "ROMs");
    EXPECT_EQ(form_.PageControl1->tabText(2), "Video");
    EXPECT_EQ(form_.ROMType->currentIndex(), 0);
    EXPECT_FALSE(form_.noSound->isChecked());
    EXPECT_FALSE(form_.AutoDetect->isChecked());
    EXPECT_EQ(form_.Frames->text(), "1");
    EXPECT_TRUE(form_.GetSwitches().isEmpty()) << "nothing is built before it is asked for";
    EXPECT_EQ(Built(), "");
}

TEST_F(KGenDialogTest, SwitchStrings) {
    form_.AutoDetect->setChecked(true);
    form_.ROMType->setCurrentIndex(2);
    EXPECT_EQ(Built(), " -A");
    EXPECT_FALSE(form_.ROMType->isEnabled()) << "the region waits while Auto detect is on";

    form_.AutoDetect->setChecked(false);
    EXPECT_TRUE(form_.ROMType->isEnabled());
    EXPECT_EQ(Built(), " -J");

    form_.ROMType->setCurrentIndex(1);
    form_.noSound->setChecked(true);
    form_.Frames->setText("3");
    EXPECT_EQ(Built(), " -E -S -F3");

    form_.ROMType->setCurrentIndex(-1);
    form_.noSound->setChecked(false);
    form_.Frames->setText("03");
    EXPECT_EQ(Built(), " -F03") << "the field's text goes in verbatim";
    form_.Frames->setText("01");
    EXPECT_EQ(Built(), "") << "its value is 1";
    form_.Frames->setText(" 7");
    EXPECT_EQ(Built(), " -F 7");
}

TEST_F(KGenDialogTest, LoadDefaultResetsTheControlsButNotTheString) {
    form_.ROMType->setCurrentIndex(2);
    form_.noSound->setChecked(true);
    form_.AutoDetect->setChecked(true);
    form_.Frames->setText("4");
    ASSERT_EQ(Built(), " -A -S -F4");
    QTest::mouseClick(form_.LoadDefBt, Qt::LeftButton);
    EXPECT_EQ(form_.ROMType->currentIndex(), 0);
    EXPECT_FALSE(form_.noSound->isChecked());
    EXPECT_FALSE(form_.AutoDetect->isChecked());
    EXPECT_TRUE(form_.ROMType->isEnabled());
    EXPECT_EQ(form_.Frames->text(), "1");
    EXPECT_EQ(form_.GetSwitches(), " -A -S -F4");
}

TEST_F(KGenDialogTest, LeavingFramesOutOfRangeShowsTheMessageAndReturnsTheFocus) {
    ASSERT_TRUE(ShowActive(&form_));
    form_.PageControl1->setCurrentWidget(form_.TabSheet2);
    for (const char* bad : {"0", "5", "-1"}) {
        host_.messages.clear();
        form_.Frames->setFocus();
        form_.Frames->setText(bad);
        QTest::keyClick(form_.Frames, Qt::Key_Tab);
        ASSERT_EQ(host_.Texts(), std::vector<QString>{"Index must between 1 and 4"}) << bad;
        EXPECT_EQ(host_.messages[0].kind, MessageKind::Error);
        EXPECT_TRUE(form_.Frames->hasFocus()) << bad;
        EXPECT_EQ(form_.Frames->text(), bad) << "the text is left as typed";
    }
    for (const char* good : {"1", "4", "04"}) {
        host_.messages.clear();
        form_.Frames->setFocus();
        form_.Frames->setText(good);
        QTest::keyClick(form_.Frames, Qt::Key_Tab);
        EXPECT_TRUE(host_.messages.empty()) << good;
        EXPECT_FALSE(form_.Frames->hasFocus()) << good;
    }
    // Not a whole number: the conversion's message, and the focus moves on.
    host_.messages.clear();
    form_.Frames->setFocus();
    form_.Frames->setText("abc");
    QTest::keyClick(form_.Frames, Qt::Key_Tab);
    EXPECT_EQ(host_.Texts(), std::vector<QString>{"'abc' is not a valid integer value"});
    EXPECT_FALSE(form_.Frames->hasFocus());
}

TEST_F(KGenDialogTest, OkWithoutAWholeNumberKeepsTheDialogOpenAndThePreviousString) {
    form_.noSound->setChecked(true);
    ASSERT_EQ(Built(), " -S");
    ASSERT_TRUE(ShowActive(&form_));
    form_.Frames->setText("abc");
    QTest::mouseClick(form_.OKBtn, Qt::LeftButton);
    EXPECT_EQ(host_.Texts(), std::vector<QString>{"'abc' is not a valid integer value"});
    EXPECT_TRUE(form_.isVisible());
    EXPECT_EQ(form_.GetSwitches(), " -S");

    // Out of range is built all the same: only leaving the field checks ranges.
    form_.Frames->setText("5");
    QTest::mouseClick(form_.OKBtn, Qt::LeftButton);
    EXPECT_FALSE(form_.isVisible());
    EXPECT_EQ(form_.result(), QDialog::Accepted);
    EXPECT_EQ(form_.GetSwitches(), " -S -F5");
}

TEST_F(KGenDialogTest, CancelPutsTheControlsBackAndKeepsTheString) {
    ASSERT_TRUE(ShowActive(&form_));
    form_.PageControl1->setCurrentWidget(form_.ROMs);
    QTest::mouseClick(form_.OKBtn, Qt::LeftButton);
    ASSERT_EQ(form_.GetSwitches(), "");

    ASSERT_TRUE(ShowActive(&form_));
    EXPECT_EQ(form_.PageControl1->currentWidget(), form_.ROMs) << "the last page stays";
    form_.noSound->setChecked(true);
    QTest::keyClick(&form_, Qt::Key_Escape);
    EXPECT_FALSE(form_.isVisible());
    EXPECT_EQ(form_.result(), QDialog::Rejected);
    EXPECT_EQ(form_.GetSwitches(), "");
    EXPECT_FALSE(form_.noSound->isChecked());

    // A later save stores what the dialog was opened with, not the cancelled change.
    IniFile ini(Ini());
    form_.SaveOptions(ini);
    EXPECT_FALSE(ini.ReadBoolean("KGen", "Sound", true));
}

TEST_F(KGenDialogTest, EnterPressesOk) {
    ASSERT_TRUE(ShowActive(&form_));
    form_.PageControl1->setCurrentWidget(form_.TabSheet2);
    form_.Frames->setFocus();
    form_.Frames->setText("2");
    QTest::keyClick(form_.Frames, Qt::Key_Return);
    EXPECT_EQ(form_.result(), QDialog::Accepted);
    EXPECT_EQ(form_.GetSwitches(), " -F2");
}

TEST_F(KGenDialogTest, SaveAndLoadRoundTrip) {
    state_.EmuPath[SlotKGen] = "/emu/kgen/kgen";
    state_.GamesDir[SlotKGen] = "/roms/md";
    form_.ROMType->setCurrentIndex(1);
    form_.noSound->setChecked(true);
    form_.Frames->setText("03");
    form_.AutoDetect->setChecked(true);
    IniFile ini(Ini());
    form_.SaveOptions(ini);
    EXPECT_EQ(FileLines(Ini()),
              (QStringList{"[KGen]", "EmuPath=/emu/kgen/kgen", "GamesDir=/roms/md", "Runner=0",
                           "Rom switch=1", "Sound=1", "Frames=03"}));

    AppState other;
    FakeHost host;
    TKGEN_OptForm loaded(other, host, nullptr);
    loaded.AutoDetect->setChecked(true);
    loaded.LoadOptions(ini);
    EXPECT_EQ(other.EmuPath[SlotKGen], "/emu/kgen/kgen");
    EXPECT_EQ(other.GamesDir[SlotKGen], "/roms/md");
    EXPECT_EQ(loaded.ROMType->currentIndex(), 1);
    EXPECT_TRUE(loaded.noSound->isChecked());
    EXPECT_EQ(loaded.Frames->text(), "3") << "read as a number";
    EXPECT_TRUE(loaded.AutoDetect->isChecked()) << "not stored, so left alone";
    EXPECT_TRUE(loaded.GetSwitches().isEmpty()) << "loading builds nothing";
    ASSERT_TRUE(loaded.BuildSwitches());
    EXPECT_EQ(loaded.GetSwitches(), " -A -S -F3");
}

TEST_F(KGenDialogTest, AMissingSectionOrUnusableValuesReadAsTheDefaults) {
    form_.ROMType->setCurrentIndex(2);
    form_.noSound->setChecked(true);
    form_.Frames->setText("4");
    IniFile missing(Ini());
    form_.LoadOptions(missing);
    EXPECT_EQ(form_.ROMType->currentIndex(), 0);
    EXPECT_FALSE(form_.noSound->isChecked());
    EXPECT_EQ(form_.Frames->text(), "1");

    WriteFile(Ini(), "[kgen]\nFrames=abc\nRom switch=7\nSound=2\n");
    IniFile odd(Ini());
    form_.LoadOptions(odd);
    EXPECT_EQ(form_.Frames->text(), "1");
    EXPECT_EQ(form_.ROMType->currentIndex(), -1) << "an index that names no item selects none";
    EXPECT_TRUE(form_.noSound->isChecked());
    EXPECT_EQ(Built(), " -S");
}

TEST_F(KGenDialogTest, ShowingRefreshesTheRegionList) {
    form_.AutoDetect->blockSignals(true);
    form_.AutoDetect->setChecked(true);
    form_.AutoDetect->blockSignals(false);
    ASSERT_TRUE(form_.ROMType->isEnabled());
    ASSERT_TRUE(ShowActive(&form_));
    EXPECT_FALSE(form_.ROMType->isEnabled());
}

TEST_F(KGenDialogTest, TheSpinnerStepsFromTheFieldAndStaysInItsRange) {
    UpDown* spinner = form_.Frames->Spinner();
    ASSERT_NE(spinner, nullptr);
    EXPECT_EQ(spinner->objectName(), "UpDown1");
    auto* up = spinner->findChild<QToolButton*>("Up");
    auto* down = spinner->findChild<QToolButton*>("Down");
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(form_.Frames->text(), "2");
    form_.Frames->setText("4");
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(form_.Frames->text(), "4");
    form_.Frames->setText("12");  // beyond the range: typed text is not limited
    EXPECT_EQ(spinner->Position(), 4) << "keeps its last position";
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(form_.Frames->text(), "4");
    form_.Frames->setText("abc");
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(form_.Frames->text(), "3") << "steps from its own position";
    QTest::keyClick(form_.Frames, Qt::Key_Down);
    QTest::keyClick(form_.Frames, Qt::Key_Down);
    QTest::keyClick(form_.Frames, Qt::Key_Down);
    EXPECT_EQ(form_.Frames->text(), "1");
}

TEST_F(KGenDialogTest, LabelsAreBuddiesSoMnemonicsReachTheFields) {
    ASSERT_TRUE(ShowActive(&form_));
    form_.PageControl1->setCurrentWidget(form_.TabSheet2);
    form_.OKBtn->setFocus();
    QTest::keyClick(&form_, Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(form_.Frames->hasFocus());
    EXPECT_EQ(form_.Frames->accessibleName(), "Frames");
    EXPECT_EQ(form_.ROMType->accessibleName(), "ROM type");
    EXPECT_EQ(form_.noSound->accessibleName(), "Disable sound");
    form_.Frames->setText("3");
    QTest::keyClick(&form_, Qt::Key_L, Qt::AltModifier);  // "&Load default"
    QTRY_COMPARE(form_.Frames->text(), QString("1"));
}

TEST_F(KGenDialogTest, AClickThatLeavesFramesOutOfRangeOnlyShowsTheMessage) {
    ASSERT_TRUE(ShowActive(&form_));
    form_.PageControl1->setCurrentWidget(form_.TabSheet2);
    form_.Frames->setFocus();
    form_.Frames->setText("9");
    QTest::mouseClick(form_.OKBtn, Qt::LeftButton);
    EXPECT_EQ(host_.Texts(), std::vector<QString>{"Index must between 1 and 4"});
    EXPECT_TRUE(form_.isVisible()) << "the click went to the message, not to OK";
    EXPECT_TRUE(form_.Frames->hasFocus());
    EXPECT_TRUE(form_.GetSwitches().isEmpty());

    // Once the value is in range the next click is an ordinary one.
    form_.Frames->setText("2");
    QTest::mouseClick(form_.OKBtn, Qt::LeftButton);
    EXPECT_EQ(host_.messages.size(), 1u);
    EXPECT_FALSE(form_.isVisible());
    EXPECT_EQ(form_.GetSwitches(), " -F2");
}
