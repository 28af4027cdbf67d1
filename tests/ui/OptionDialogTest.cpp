// The shared option-dialog behaviour, on a small dialog that uses every kind of control.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "UiTestSupport.h"
#include "options/OptionDialog.h"

using namespace orvello;
using namespace orvello::test;

namespace {

class SampleDialog : public OptionDialog {
  public:
    SampleDialog(AppState& state, UiHost& host, bool refreshOnShow = true)
        : OptionDialog({SlotZSNES, "Sample_OptForm", "Sample option", false, refreshOnShow}, state,
                       host, nullptr) {
        First = AddPage("First", "FirstPage");
        Second = AddPage("Second", "SecondPage");
        Sound = AddCheckBox(First, "Sound", "Active sound");
        Stereo = AddCheckBox(First, "Stereo", "Enable stereo");
        Mode = AddList(First, "Mode", "&Mode:", {"A", "B", "C"});
        Level = AddRadioGroup(Second, "Level", "Level:", {"Low", "Medium", "High"});
        Speed = AddSlider(Second, "Speed", "Speed:", 0, 10);
        Cheat = AddTextField(Second, "Cheat", "Cheat:");
        Count = AddNumberField(Second, "Count", "C&ount:", 0, 9, 0);

        // Control INI key   Read as             Load default
        Option(Sound, "Sound", AsBoolean{true}, true);
        Option(Stereo, "Stereo", AsBoolean{false}, NotReset);
        Option(Mode, "Mode", AsInteger{1}, 2);
        Option(Level, "Level", AsInteger{0}, 1);
        Option(Speed, "Speed", AsInteger{5}, 3);
        Option(Cheat, "Cheat", AsText{"none"}, "");
        Option(Count, "Count", AsInteger{4}, "0");
        OnClick(Sound, &SampleDialog::SoundClick);
        OnChange(Mode, &SampleDialog::ModeChange);
        SetFirstPage(Second);
        FinishCreation();
    }

    void SoundClick() {
        ++soundRuns;
        Stereo->setEnabled(Sound->isChecked());
    }
    void ModeChange() {
        ++modeRuns;
        Cheat->setEnabled(Mode->currentIndex() == 0);
    }
    void PickFile(bool nameOnly, bool capitals) {
        ChooseFile(Cheat, {"Load snap shot file", "All files|*.*", "/snaps"}, nameOnly, capitals);
    }
    void PickFolder() { ChooseFolder(Cheat, "Choose a folder"); }

    QWidget* First;
    QWidget* Second;
    QCheckBox* Sound;
    QCheckBox* Stereo;
    QComboBox* Mode;
    RadioGroup* Level;
    QSlider* Speed;
    QLineEdit* Cheat;
    NumberField* Count;
    int soundRuns = 0;
    int modeRuns = 0;

  protected:
    void Refresh() override {
        SoundClick();
        ModeChange();
    }
    void Build(SwitchBuilder& s) const override {
        if (Sound->isChecked()) s.Add(" -s");
        s.AddNumber(" -m", Mode->currentIndex());
        s.AddNumber(" -l", Level->ItemIndex());
        if (s.Value(Count) != 0) s.Add(" -c" + Count->text());
        if (!Cheat->text().isEmpty()) s.Add(" -g " + Cheat->text());
    }
};

class OptionDialogTest : public ::testing::Test {
  protected:
    QString Ini() const { return dir_.filePath("WINORVEL.INI"); }

    AppState state_;
    FakeHost host_;
    QTemporaryDir dir_;
};

}  // namespace

TEST_F(OptionDialogTest, AListRefreshesOnlyWhenTheUserPicksAnItem) {
    SampleDialog dialog(state_, host_);
    ASSERT_TRUE(ShowActive(&dialog));
    dialog.PageControl1->setCurrentWidget(dialog.First);
    const int before = dialog.modeRuns;
    dialog.Mode->setCurrentIndex(0);
    EXPECT_EQ(dialog.modeRuns, before) << "setting the index from the program runs nothing";
    dialog.Mode->setFocus();
    QTest::keyClick(dialog.Mode, Qt::Key_Down);
    EXPECT_EQ(dialog.Mode->currentIndex(), 1);
    EXPECT_EQ(dialog.modeRuns, before + 1);
    EXPECT_FALSE(dialog.Cheat->isEnabled());
}

TEST_F(OptionDialogTest, ACheckBoxRefreshesOnEveryChangeOfItsState) {
    SampleDialog dialog(state_, host_);
    dialog.Sound->setChecked(true);
    const int before = dialog.soundRuns;
    dialog.Sound->setChecked(false);
    EXPECT_EQ(dialog.soundRuns, before + 1);
    EXPECT_FALSE(dialog.Stereo->isEnabled());
    dialog.Sound->setChecked(false);
    EXPECT_EQ(dialog.soundRuns, before + 1) << "the same state again runs nothing";

    // LoadOptions changing it runs the handler too.
    WriteFile(Ini(), "[ZSNES]\nSound=1\n");
    IniFile ini(Ini());
    dialog.LoadOptions(ini);
    EXPECT_EQ(dialog.soundRuns, before + 2);
    EXPECT_TRUE(dialog.Stereo->isEnabled());
}

TEST_F(OptionDialogTest, LoadOptionsReadsEachKindWithItsDefaults) {
    SampleDialog dialog(state_, host_);
    WriteFile(Ini(),
              "[ZSNES]\nEmuPath=/emu/zsnes\nGamesDir=/roms\nSound=0\nStereo=1\nMode=3\nLevel=9\n"
              "Speed=7\nCheat=  ABC-123\nCount=07\n");
    IniFile ini(Ini());
    dialog.LoadOptions(ini);
    EXPECT_EQ(state_.EmuPath[SlotZSNES], "/emu/zsnes");
    EXPECT_EQ(state_.GamesDir[SlotZSNES], "/roms");
    EXPECT_FALSE(dialog.Sound->isChecked());
    EXPECT_TRUE(dialog.Stereo->isChecked());
    EXPECT_EQ(dialog.Mode->currentIndex(), -1) << "names no item";
    EXPECT_EQ(dialog.Level->ItemIndex(), 2) << "above the last item: the last";
    EXPECT_EQ(dialog.Speed->value(), 7);
    EXPECT_EQ(dialog.Cheat->text(), "ABC-123") << "the value's own leading blanks are not kept";
    EXPECT_EQ(dialog.Count->text(), "7");
    EXPECT_TRUE(dialog.GetSwitches().isEmpty());
    ASSERT_TRUE(dialog.BuildSwitches());
    EXPECT_EQ(dialog.GetSwitches(), " -m-1 -l2 -c7 -g ABC-123");

    WriteFile(Ini(), "[ZSNES]\nLevel=-5\nCount=x\n");
    dialog.LoadOptions(ini);
    EXPECT_EQ(dialog.Level->ItemIndex(), -1) << "below: none";
    EXPECT_EQ(dialog.Count->text(), "4");
    EXPECT_EQ(dialog.Mode->currentIndex(), 1);
    EXPECT_TRUE(dialog.Sound->isChecked());
    EXPECT_EQ(dialog.Cheat->text(), "none");
    EXPECT_TRUE(state_.EmuPath[SlotZSNES].isEmpty());
}

TEST_F(OptionDialogTest, SaveOptionsWritesThePathsFirstThenEachKeyInItsForm) {
    SampleDialog dialog(state_, host_);
    state_.EmuPath[SlotZSNES] = "/emu/zsnes";
    dialog.Level->SetItemIndex(0);
    dialog.Cheat->setText(" code ");
    dialog.Count->setText("abc");
    dialog.Stereo->setChecked(true);
    IniFile ini(Ini());
    dialog.SaveOptions(ini);
    EXPECT_EQ(
        FileLines(Ini()),
        (QStringList{"[ZSNES]", "EmuPath=/emu/zsnes", "GamesDir=", "Runner=0", "Sound=0",
                     "Stereo=1", "Mode=-1", "Level=0", "Speed=0", "Cheat= code ", "Count=abc"}))
        << "no creation handler: the other controls are in their design state";
}

TEST_F(OptionDialogTest, LoadDefaultResetsListedControlsAndRefreshesOnly) {
    SampleDialog dialog(state_, host_);
    EXPECT_EQ(dialog.Mode->currentIndex(), -1) << "no creation handler: design state";
    EXPECT_EQ(dialog.Level->ItemIndex(), -1);
    dialog.Stereo->setChecked(true);
    state_.EmuPath[SlotZSNES] = "/emu";
    EXPECT_FALSE(dialog.BuildSwitches()) << "an empty number field is no number";
    dialog.Count->setText("2");
    ASSERT_TRUE(dialog.BuildSwitches());
    const QString built = dialog.GetSwitches();
    const int runs = dialog.modeRuns;
    dialog.LoadDefBtClick();
    EXPECT_TRUE(dialog.Sound->isChecked());
    EXPECT_TRUE(dialog.Stereo->isChecked()) << "not reset";
    EXPECT_EQ(dialog.Mode->currentIndex(), 2);
    EXPECT_EQ(dialog.Level->ItemIndex(), 1);
    EXPECT_EQ(dialog.Speed->value(), 3);
    EXPECT_EQ(dialog.Count->text(), "0");
    EXPECT_EQ(dialog.modeRuns, runs + 1) << "the refresh handlers run at the end";
    EXPECT_EQ(dialog.GetSwitches(), built);
    EXPECT_EQ(state_.EmuPath[SlotZSNES], "/emu");
    EXPECT_FALSE(QFileInfo::exists(Ini()));
}

TEST_F(OptionDialogTest, ShowingRefreshesOnlyWhereTheDialogSaysSo) {
    SampleDialog refreshing(state_, host_, true);
    SampleDialog plain(state_, host_, false);
    const int a = refreshing.modeRuns;
    const int b = plain.modeRuns;
    ASSERT_TRUE(ShowActive(&refreshing));
    ASSERT_TRUE(ShowActive(&plain));
    EXPECT_EQ(refreshing.modeRuns, a + 1);
    EXPECT_EQ(plain.modeRuns, b);
}

TEST_F(OptionDialogTest, OpensOnItsFirstPageThenOnTheLastOneSelected) {
    SampleDialog dialog(state_, host_);
    ASSERT_TRUE(ShowActive(&dialog));
    EXPECT_EQ(dialog.PageControl1->currentWidget(), dialog.Second);
    dialog.PageControl1->setCurrentWidget(dialog.First);
    dialog.reject();
    ASSERT_TRUE(ShowActive(&dialog));
    EXPECT_EQ(dialog.PageControl1->currentWidget(), dialog.First);
}

TEST_F(OptionDialogTest, ChoosingButtonsFillTheirFieldOnlyWhenAccepted) {
    SampleDialog dialog(state_, host_);
    dialog.Cheat->setText("old");
    dialog.PickFile(true, true);
    ASSERT_EQ(host_.openRequests.size(), 1u);
    EXPECT_EQ(host_.openRequests[0].title, "Load snap shot file");
    EXPECT_EQ(dialog.Cheat->text(), "old") << "cancelled";

    host_.openAnswer = "/snaps/mario.000";
    dialog.PickFile(true, true);
    EXPECT_EQ(dialog.Cheat->text(), "MARIO.000");
    dialog.PickFile(false, false);
    EXPECT_EQ(dialog.Cheat->text(), "/snaps/mario.000");

    dialog.PickFolder();
    ASSERT_EQ(host_.folderRequests.size(), 1u);
    EXPECT_EQ(host_.folderRequests[0].text, "Choose a folder");
    EXPECT_EQ(host_.folderRequests[0].directory, "/snaps/mario.000") << "starts at the field";
    EXPECT_EQ(dialog.Cheat->text(), "/snaps/mario.000");
    host_.folderAnswer = "/roms";
    dialog.PickFolder();
    EXPECT_EQ(dialog.Cheat->text(), "/roms");
}

TEST_F(OptionDialogTest, RadioGroupReportsTheUsersChoice) {
    SampleDialog dialog(state_, host_);
    int clicked = -2;
    QObject::connect(dialog.Level, &RadioGroup::Click, [&](int index) { clicked = index; });
    auto buttons = dialog.Level->findChildren<QAbstractButton*>();
    ASSERT_EQ(buttons.size(), 3);
    ASSERT_TRUE(ShowActive(&dialog));
    // On the indicator: a radio button takes clicks on its circle and text only.
    QTest::mouseClick(buttons[2], Qt::LeftButton, {}, QPoint(6, buttons[2]->height() / 2));
    EXPECT_EQ(clicked, 2);
    EXPECT_EQ(dialog.Level->ItemIndex(), 2);
    dialog.Level->SetItemIndex(-1);
    EXPECT_EQ(dialog.Level->ItemIndex(), -1);
}
