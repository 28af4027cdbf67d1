// The GeneCyst dialog: its switches in table order up to the closing " -run ", the three
// enabling rules, the player inputs kept apart, the two folder fields and the keys it keeps.
#include <gtest/gtest.h>

#include <QPushButton>

#include "DialogTestSupport.h"
#include "options/GeneCyst_OptionForm.h"

using namespace orvello;
using namespace orvello::test;

namespace {

using GeneCystDialogTest = DialogTest<TGENC_OptForm>;

}  // namespace

TEST_F(GeneCystDialogTest, CreatedWithItsDefaults) {
    EXPECT_EQ(form_.windowTitle(), "GeneCyst option");
    EXPECT_EQ(form_.LoadDefBt->text(), "Load default");
    EXPECT_EQ(PageCaptions(), (QStringList{"Controls", "Sound", "ROMs", "Video", "Misc"}));
    EXPECT_EQ(form_.Input1->currentText(), "Keyboard 1");
    EXPECT_EQ(form_.Input2->currentText(), "Keyboard 2");
    EXPECT_TRUE(form_.Sound->isChecked());
    EXPECT_EQ(form_.ScreenRes->currentText(), "320x240");
    EXPECT_EQ(form_.VESAMode->ItemIndex(), 0);
    EXPECT_EQ(form_.SaveDir->text(), "Default");
    EXPECT_EQ(form_.PCXDir->text(), "Default");
    // VESA mode 0 with VESA allowed adds its switch.
    EXPECT_EQ(Built(), " -linear -run ");
}

TEST_F(GeneCystDialogTest, AMissingSectionDisablesFmAndDac) {
    Load("[Other]\n");
    EXPECT_TRUE(form_.NoFM->isChecked());
    EXPECT_TRUE(form_.NoDAC->isChecked());
    EXPECT_TRUE(form_.Sound->isChecked());
    EXPECT_EQ(form_.SaveDir->text(), "Default");
    EXPECT_EQ(Built(), " -nofm -nodac -linear -run ");
    form_.LoadDefBt->click();
    EXPECT_EQ(Built(), " -linear -run ");
}

TEST_F(GeneCystDialogTest, EachBoxAddsItsSwitchInTableOrder) {
    const struct {
        QCheckBox* box;
        const char* built;
    } rows[] = {
        {form_.WaitVSync, " -waitvsync -linear -run "},
        {form_.NoFM, " -nofm -linear -run "},
        {form_.NoDAC, " -nodac -linear -run "},
        {form_.UseRDTSC, " -rdtsc -linear -run "},
        {form_.UseFPUCOPY, " -fpucopy -linear -run "},
        {form_.noZ80, " -disableZ80 -linear -run "},
        {form_.FakeZ80, " -fakez80 -linear -run "},
        {form_.noVESA, " -novesa -run "},
        {form_.HideGUI, " -linear -hidegui -run "},
        {form_.Exclusive, " -linear -exclusive -run "},
        {form_.noLongFileName, " -linear -run "},
    };
    for (const auto& row : rows) {
        row.box->setChecked(true);
        EXPECT_EQ(Built(), row.built) << row.box->objectName().toStdString();
        row.box->setChecked(false);
    }
    for (const auto& row : rows)
        row.box->setChecked(true);
    form_.Input1->setCurrentIndex(3);
    form_.Input2->setCurrentIndex(4);
    form_.ScreenRes->setCurrentIndex(8);
    form_.SaveDir->setText("/saves");
    form_.PCXDir->setText("/shots");
    EXPECT_EQ(Built(),
              " -setinput 1 JOY1 -setinput 2 JOY2 -waitvsync -nofm -nodac -rdtsc -fpucopy"
              " -disableZ80 -novesa -res 800 600 -hidegui -exclusive -savedir /saves"
              " -pcxdir /shots -run ");
}

TEST_F(GeneCystDialogTest, SoundZ80AndVesaRules) {
    form_.NoFM->setChecked(true);
    form_.Sound->setChecked(false);
    EXPECT_FALSE(form_.NoFM->isEnabled());
    EXPECT_FALSE(form_.NoDAC->isEnabled());
    EXPECT_EQ(Built(), " -nosound -linear -run ") << "no -nofm without sound";
    form_.Sound->setChecked(true);
    EXPECT_TRUE(form_.NoFM->isEnabled());

    form_.FakeZ80->setChecked(true);
    form_.noZ80->setChecked(true);
    EXPECT_FALSE(form_.FakeZ80->isEnabled());
    EXPECT_EQ(Built(), " -nofm -disableZ80 -linear -run ") << "Fake Z80 is ignored";

    form_.VESAMode->SetItemIndex(1);
    EXPECT_EQ(Built(), " -nofm -disableZ80 -banked -run ");
    form_.noVESA->setChecked(true);
    EXPECT_FALSE(form_.VESAMode->isEnabled());
    EXPECT_EQ(Built(), " -nofm -disableZ80 -novesa -run ");
}

TEST_F(GeneCystDialogTest, EachResolutionItemGivesItsSize) {
    const char* const pieces[] = {" -res 256 224", " -res 256 240", " -res 256 256",
                                  " -res 320 200", " -res 320 224", "",
                                  " -res 640 400", " -res 640 480", " -res 800 600"};
    ASSERT_EQ(form_.ScreenRes->count(), 9);
    EXPECT_EQ(form_.ScreenRes->itemText(0), "256x244");
    for (int i = 0; i < 9; ++i) {
        form_.ScreenRes->setCurrentIndex(i);
        EXPECT_EQ(Built(), QString(" -linear") + pieces[i] + " -run ") << i;
    }
    form_.ScreenRes->setCurrentIndex(-1);
    EXPECT_EQ(Built(), " -linear -run ");
}

TEST_F(GeneCystDialogTest, StoredVesaModesOutsideTheItems) {
    Load("[GeneCyst]\nVESA mode=7\n");
    EXPECT_EQ(form_.VESAMode->ItemIndex(), 1) << "above the last: Force banked";
    Load("[GeneCyst]\nVESA mode=-3\nFM=0\nDAC=0\n");
    EXPECT_EQ(form_.VESAMode->ItemIndex(), -1);
    EXPECT_EQ(Built(), " -run ");
    form_.noVESA->setChecked(true);
    EXPECT_EQ(Built(), " -novesa -run ");
}

TEST_F(GeneCystDialogTest, FolderFieldsAddASwitchUnlessExactlyDefault) {
    for (const char* text : {"", "default", "DEFAULT", "Default "}) {
        form_.SaveDir->setText(text);
        EXPECT_EQ(Built(), QString(" -linear -savedir ") + text + " -run ") << text;
    }
    form_.SaveDir->setText("Default");
    form_.PCXDir->setText("");
    EXPECT_EQ(Built(), " -linear -pcxdir  -run ");
}

TEST_F(GeneCystDialogTest, ChoosingFoldersStartsAtTheFieldsText) {
    host_.folderAnswer = "/home/me/saves";
    form_.ChooseSaveBt->click();
    ASSERT_EQ(host_.folderRequests.size(), 1u);
    const FolderRequest& save = host_.folderRequests[0];
    EXPECT_EQ(save.title, "Browse for Folder");
    EXPECT_EQ(save.text, "Choose a directory where save games");
    EXPECT_EQ(save.directory, "Default") << "passed like any other text";
    EXPECT_TRUE(save.options & bfScreenCenter);
    EXPECT_FALSE(save.options & bfParentCenter);
    EXPECT_TRUE(save.options & bfShowPathInStatusArea);
    EXPECT_EQ(form_.SaveDir->text(), "/home/me/saves");

    host_.folderAnswer.reset();
    form_.PCXDir->setText("/shots");
    form_.ChoosePCXBt->click();
    ASSERT_EQ(host_.folderRequests.size(), 2u);
    EXPECT_EQ(host_.folderRequests[1].text, "Choose a directory where save snapshot");
    EXPECT_EQ(host_.folderRequests[1].directory, "/shots");
    EXPECT_EQ(form_.PCXDir->text(), "/shots") << "cancelled: unchanged";
}

TEST_F(GeneCystDialogTest, PlayersStayApartAndMayShareGravisOrNone) {
    form_.Input2->setCurrentIndex(3);
    Pick(form_.Input1, 3);
    EXPECT_EQ(form_.Input1->currentText(), "Joystick 2");
    EXPECT_EQ(form_.Input2->currentText(), "Joystick 1");
    Pick(form_.Input1, 5);
    Pick(form_.Input2, 5);
    EXPECT_EQ(form_.Input2->currentText(), "Gravis gamepad");
    EXPECT_EQ(Built(), " -setinput 1 GRAVIS -setinput 2 GRAVIS -linear -run ");
    Pick(form_.Input1, 0);
    Pick(form_.Input2, 0);
    EXPECT_EQ(Built(), " -setinput 1 NONE -setinput 2 NONE -linear -run ");
}

TEST_F(GeneCystDialogTest, ShowingMovesAPlayerOffASharedKeyboard) {
    Load("[GeneCyst]\nInput1=2\nInput2=2\nSound=0\nFM=1\n");
    EXPECT_EQ(Built(), " -setinput 1 KEY2 -nosound -linear -run ") << "start-up: as stored";
    EXPECT_FALSE(form_.NoFM->isEnabled()) << "the sound box's change ran its handler";
    ASSERT_TRUE(ShowActive(&form_));
    EXPECT_EQ(form_.Input1->currentText(), "Keyboard 1");
    EXPECT_EQ(form_.Input2->currentText(), "Keyboard 2");
    form_.OKBtn->click();
    EXPECT_EQ(form_.GetSwitches(), " -nosound -linear -run ");
}

TEST_F(GeneCystDialogTest, KeysAreWrittenInTheirOrderAndTheZ80BoxesAreNotKept) {
    state_.EmuPath[SlotGeneCyst] = "/emu/gcyst";
    form_.Input1->setCurrentIndex(4);
    form_.noLongFileName->setChecked(true);
    form_.SaveDir->setText("/saves");
    form_.VESAMode->SetItemIndex(1);
    form_.ScreenRes->setCurrentIndex(0);
    form_.NoDAC->setChecked(true);
    form_.UseRDTSC->setChecked(true);
    form_.noZ80->setChecked(true);
    EXPECT_EQ(Saved(), (QStringList{"[GeneCyst]",
                                    "EmuPath=/emu/gcyst",
                                    "GamesDir=",
                                    "Runner=0",
                                    "Input1=4",
                                    "Input2=2",
                                    "WaitVSync=0",
                                    "DisableLFn=1",
                                    "Save dir=/saves",
                                    "PCX dir=Default",
                                    "Disable VESA=0",
                                    "VESA mode=1",
                                    "Screen res=0",
                                    "Sound=1",
                                    "FM=0",
                                    "DAC=1",
                                    "GUI=0",
                                    "Exclusive=0",
                                    "FPU Copy=0",
                                    "RDTSC Copy=1"}));

    AppState other;
    FakeHost host;
    TGENC_OptForm restarted(other, host, nullptr);
    IniFile ini(Ini());
    restarted.LoadOptions(ini);
    EXPECT_FALSE(restarted.noZ80->isChecked());
    EXPECT_TRUE(restarted.noLongFileName->isChecked());
    ASSERT_TRUE(restarted.BuildSwitches());
    EXPECT_EQ(restarted.GetSwitches(),
              " -setinput 1 JOY2 -nodac -rdtsc -banked -res 256 224 -savedir /saves -run ");
}
