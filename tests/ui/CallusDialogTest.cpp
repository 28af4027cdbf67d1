// The Callus dialog: the VESA and frame-skip choices, the folders compared with "Default",
// the frame count that is not stored, the folder buttons and the paths read under "CALLUS".
#include <QPushButton>

#include "DialogTestSupport.h"
#include "options/CALLUS_OptionForm.h"

using namespace orvello;
using namespace orvello::test;

namespace {
using CallusDialogTest = DialogTest<TCALLUS_OptForm>;
}  // namespace

TEST_F(CallusDialogTest, DefaultsAndAMissingSection) {
    EXPECT_EQ(form_.windowTitle(), "Callus option");
    EXPECT_EQ(Built(), " -linear -res 320 224 -frameskip 1");
    Load("");
    EXPECT_EQ(Built(), " -linear -res 320 224 -frameskip AUTO") << "Auto frame reads as on";
    EXPECT_FALSE(form_.Frames->isEnabled());
    form_.LoadDefBtClick();
    EXPECT_TRUE(form_.AutoFrame->isChecked()) << "Load default leaves it";
}

TEST_F(CallusDialogTest, SwitchPerControl) {
    struct Row {
        const char* what;
        std::function<void()> set;
        const char* expected;
    };
    const Row rows[] = {
        {"copy methods and vsync",
         [&] {
             form_.WaitVSync->setChecked(true);
             form_.UseMMX->setChecked(true);
             form_.UseFPUCOPY->setChecked(true);
         },
         " -waitvsync -mmx -fpucopy -linear -res 320 224 -frameskip 1"},
        {"VESA disabled wins over banked",
         [&] {
             form_.VESAMode->SetItemIndex(1);
             form_.DisableVESA->setChecked(true);
         },
         " -novesa -res 320 224 -frameskip 1"},
        {"banked", [&] { form_.VESAMode->SetItemIndex(1); }, " -banked -res 320 224 -frameskip 1"},
        {"no VESA mode", [&] { form_.VESAMode->SetItemIndex(-1); }, " -res 320 224 -frameskip 1"},
        {"first resolution asks 224 lines", [&] { form_.ScreenRes->setCurrentIndex(0); },
         " -linear -res 256 224 -frameskip 1"},
        {"last resolution", [&] { form_.ScreenRes->setCurrentIndex(12); },
         " -linear -res 800 600 -frameskip 1"},
        {"no resolution", [&] { form_.ScreenRes->setCurrentIndex(-1); }, " -linear -frameskip 1"},
        {"exclusive", [&] { form_.Exclusive->setChecked(true); },
         " -linear -res 320 224 -exclusive -frameskip 1"},
        {"auto frame", [&] { form_.AutoFrame->setChecked(true); },
         " -linear -res 320 224 -frameskip AUTO"},
        {"frames 6", [&] { form_.Frames->setText("6"); }, " -linear -res 320 224 -frameskip 6"},
        {"save dir emptied", [&] { form_.SaveDir->clear(); },
         " -linear -res 320 224 -frameskip 1 -savedir "},
        {"save dir in lower case", [&] { form_.SaveDir->setText("default"); },
         " -linear -res 320 224 -frameskip 1 -savedir default"},
        {"pcx dir", [&] { form_.PCXDir->setText("/snaps"); },
         " -linear -res 320 224 -frameskip 1 -pcxdir /snaps"},
    };
    for (const Row& row : rows) {
        form_.LoadDefBtClick();
        form_.AutoFrame->setChecked(false);
        form_.Frames->setText("1");
        row.set();
        EXPECT_EQ(Built(), row.expected) << row.what;
    }
}

TEST_F(CallusDialogTest, DependencyRules) {
    form_.DisableVESA->setChecked(true);
    EXPECT_FALSE(form_.VESAMode->isEnabled());
    form_.AutoFrame->setChecked(true);
    EXPECT_FALSE(form_.Frames->isEnabled());
    form_.LoadDefBtClick();
    EXPECT_TRUE(form_.VESAMode->isEnabled());
    EXPECT_FALSE(form_.Frames->isEnabled()) << "auto frame is not reset";
}

TEST_F(CallusDialogTest, FolderButtons) {
    host_.folderAnswer = "/home/me/saves";
    QTest::mouseClick(form_.ChooseSaveBt, Qt::LeftButton);
    ASSERT_EQ(host_.folderRequests.size(), 1u);
    EXPECT_EQ(host_.folderRequests[0].text, "Choose a directory where save games");
    EXPECT_EQ(host_.folderRequests[0].directory, "Default");
    EXPECT_EQ(host_.folderRequests[0].title, "Browse for Folder");
    EXPECT_EQ(form_.SaveDir->text(), "/home/me/saves");

    host_.folderAnswer.reset();
    form_.PCXDir->clear();
    QTest::mouseClick(form_.ChoosePCXBt, Qt::LeftButton);
    ASSERT_EQ(host_.folderRequests.size(), 2u);
    EXPECT_EQ(host_.folderRequests[1].text, "Choose a directory where save snapshot");
    EXPECT_EQ(host_.folderRequests[1].directory, "");
    EXPECT_EQ(form_.PCXDir->text(), "") << "cancelled: nothing changes";
}

TEST_F(CallusDialogTest, SettingsRoundTripWithoutTheFrameCount) {
    state_.EmuPath[SlotCallus] = "/emu/callus/callus";
    form_.WaitVSync->setChecked(true);
    form_.SaveDir->setText("/saves");
    form_.VESAMode->SetItemIndex(1);
    form_.ScreenRes->setCurrentIndex(0);
    form_.UseMMX->setChecked(true);
    form_.Frames->setText("4");
    EXPECT_EQ(Saved(), (QStringList{"[Callus]", "EmuPath=/emu/callus/callus", "GamesDir=",
                                    "Runner=0", "WaitVSync=1", "Save dir=/saves", "PCX dir=Default",
                                    "Disable VESA=0", "VESA mode=1", "Screen res=0", "Exclusive=0",
                                    "FPU Copy=0", "MMX Copy=1", "Auto frame=0"}));
    // Paths are read under "CALLUS", the other keys under "Callus": one section.
    Load("[CALLUS]\nEmuPath=/e/callus\nGamesDir=/g\nVESA mode=7\nScreen res=13\nAuto frame=0\n");
    EXPECT_EQ(state_.EmuPath[SlotCallus], "/e/callus");
    EXPECT_EQ(state_.GamesDir[SlotCallus], "/g");
    EXPECT_EQ(form_.VESAMode->ItemIndex(), 1) << "above the last item: the last";
    EXPECT_EQ(form_.Frames->text(), "4") << "not read";
    EXPECT_EQ(Built(), " -banked -frameskip 4");
    Load("[callus]\nVESA mode=-2\n");
    EXPECT_EQ(form_.VESAMode->ItemIndex(), -1);
}
