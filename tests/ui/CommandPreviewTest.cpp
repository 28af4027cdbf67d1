// The "Command:" line below an option dialog's pages: it follows every change at once,
// leaves the dialog's switch string alone until OK, and says why OK would refuse.
#include "DialogTestSupport.h"
#include "options/GB_OptionForm.h"
#include "options/GeneCyst_OptionForm.h"
#include "options/KGen_OptionForm.h"
#include "options/MAME_OptionForm.h"
#include "options/NES_OptionForm.h"
#include "options/SMS_OptionForm.h"

using namespace orvello;
using namespace orvello::test;

namespace {
using KGenPreviewTest = DialogTest<TKGEN_OptForm>;
using MamePreviewTest = DialogTest<TMAME_OptForm>;
}  // namespace

TEST_F(KGenPreviewTest, FollowsTheControlsBeforeOk) {
    EXPECT_EQ(form_.CommandLine->text(), "<emulator> <ROM>");
    EXPECT_TRUE(form_.CommandLine->isReadOnly());
    EXPECT_EQ(form_.CommandLine->accessibleName(), "Command");

    state_.EmuPath[SlotKGen] = "/emu/k gen/kgen";
    state_.SelectedFile = "/roms/Sonic.bin";
    state_.RomFileName = "Sonic.bin";
    state_.RomIsPlainFile = true;
    ASSERT_TRUE(ShowActive(&form_));
    EXPECT_EQ(form_.CommandLine->text(), "'/emu/k gen/kgen' /roms/Sonic.bin");
    EXPECT_EQ(form_.CommandLine->toolTip(), "Working folder: /emu/k gen");

    form_.noSound->setChecked(true);
    EXPECT_EQ(form_.CommandLine->text(), "'/emu/k gen/kgen' -S /roms/Sonic.bin");
    form_.Frames->setText("3");
    EXPECT_EQ(form_.CommandLine->text(), "'/emu/k gen/kgen' -S -F3 /roms/Sonic.bin");
    form_.ROMType->setCurrentIndex(2);
    form_.AutoDetect->setChecked(true);
    EXPECT_EQ(form_.CommandLine->text(), "'/emu/k gen/kgen' -A -S -F3 /roms/Sonic.bin");
    EXPECT_EQ(form_.GetSwitches(), "") << "the dialog's string waits for OK";

    form_.Frames->setText("abc");
    EXPECT_EQ(form_.CommandLine->text(), "'abc' is not a valid integer value");
    form_.Frames->setText("2");
    QTest::mouseClick(form_.LoadDefBt, Qt::LeftButton);
    EXPECT_EQ(form_.CommandLine->text(), "'/emu/k gen/kgen' /roms/Sonic.bin");
}

TEST_F(MamePreviewTest, ListsChangedByTheProgramAndGameNames) {
    state_.EmuPath[SlotMAME] = "/emu/mame";
    state_.SelectedFile = "/roms/pac man.zip";
    state_.RomBaseName = "pac man";
    form_.UpdateCommandLine();
    EXPECT_EQ(form_.CommandLine->text(), "/emu/mame 'pac man' -soundcard 0 -noaa");
    form_.Soundcard->setCurrentIndex(3);
    form_.VesaMode->setCurrentIndex(1);
    EXPECT_EQ(form_.CommandLine->text(), "/emu/mame 'pac man' -soundcard 3 -vesa -320 -noaa");
}

// The dialogs of Magic Engine, GenEm, GeneCyst, Virtual GameBoy, NESticle and Massage: controls
// of every kind they add move the line, and the line shows what the rules did on showing.
namespace {
using GameBoyPreviewTest = DialogTest<TGB_OptForm>;
using GeneCystPreviewTest = DialogTest<TGENC_OptForm>;
using NesticlePreviewTest = DialogTest<TNES_OptForm>;
using MassagePreviewTest = DialogTest<TSMS_OptForm>;
}  // namespace

TEST_F(GameBoyPreviewTest, FollowsTheSliderTheCheatCodeAndTheBackground) {
    state_.EmuPath[SlotVirtualGameBoy] = "/emu/vgb/vgb";
    form_.UpdateCommandLine();
    EXPECT_EQ(form_.CommandLine->text(), "/emu/vgb/vgb <ROM>");
    form_.Volume->setValue(15);
    EXPECT_EQ(form_.CommandLine->text(), "/emu/vgb/vgb -volume 15 <ROM>");
    form_.GGActive->setChecked(true);
    form_.GGCode->setText("009-61F");
    EXPECT_EQ(form_.CommandLine->text(), "/emu/vgb/vgb -volume 15 -cheat 009-61F <ROM>");
    form_.SwapBt->SetItemIndex(2);
    host_.openAnswer = "/pics/space.gif";
    form_.Button1->click();
    EXPECT_EQ(form_.CommandLine->text(),
              "/emu/vgb/vgb -swapbuttons 2 -volume 15 -cheat 009-61F -background /pics/space.gif"
              " <ROM>");
    form_.VPeriod->setText("x");
    EXPECT_EQ(form_.CommandLine->text(), "'x' is not a valid integer value");
    EXPECT_EQ(form_.GetSwitches(), "");
}

TEST_F(GeneCystPreviewTest, TheRadioGroupAndTheClosingRun) {
    state_.EmuPath[SlotGeneCyst] = "/emu/gcyst/gcyst";
    form_.UpdateCommandLine();
    EXPECT_EQ(form_.CommandLine->text(), "/emu/gcyst/gcyst -linear -run <ROM>");
    form_.VESAMode->SetItemIndex(1);
    EXPECT_EQ(form_.CommandLine->text(), "/emu/gcyst/gcyst -banked -run <ROM>");
    host_.folderAnswer = "/saves";
    form_.ChooseSaveBt->click();
    EXPECT_EQ(form_.CommandLine->text(), "/emu/gcyst/gcyst -banked -savedir /saves -run <ROM>");
}

TEST_F(NesticlePreviewTest, ShowsThePlayersMovedApartWhenTheDialogOpens) {
    Load("[NESticle]\nEmuPath=/emu/nes/nesticle\nInput1=3\nInput2=3\n");
    ASSERT_TRUE(ShowActive(&form_));
    EXPECT_EQ(form_.CommandLine->text(),
              "/emu/nes/nesticle -setinput 1 JOY2 -setinput 2 JOY1 -run <ROM>");
    form_.LoadROM->SetItemIndex(1);
    EXPECT_EQ(form_.CommandLine->text(),
              "/emu/nes/nesticle -setinput 1 JOY2 -setinput 2 JOY1 -restore <ROM>");
}

TEST_F(MassagePreviewTest, TheFrameFieldGoesInAsTyped) {
    state_.EmuPath[SlotMassage] = "/emu/massage/massage";
    form_.UpdateCommandLine();
    EXPECT_EQ(form_.CommandLine->text(), "/emu/massage/massage /nojoy /frame 1 <ROM>");
    form_.Frames->setText("fast");
    form_.Joy->setCurrentIndex(-1);
    EXPECT_EQ(form_.CommandLine->text(), "/emu/massage/massage /frame fast <ROM>");
}

// Under DOSBox a path value is given as its C: path when it lies in the emulator's folder;
// one outside is refused in the line itself, before "Play".
TEST_F(GameBoyPreviewTest, DosBoxShowsPathValuesOnDriveCAndRefusesOnesOutside) {
    QDir(dir_.path()).mkpath("vgb/PICS");
    const QString exe = dir_.filePath("vgb/VGB.EXE");
    WriteFile(exe, QByteArray("MZ") + QByteArray(62, '\0'));
    WriteFile(dir_.filePath("dosbox"), "#!/bin/sh\n");
    QFile::setPermissions(dir_.filePath("dosbox"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    state_.EmuPath[SlotVirtualGameBoy] = exe;
    state_.Runners.dosbox = dir_.filePath("dosbox");
    host_.openAnswer = dir_.filePath("vgb/PICS/SPACE.GIF");
    form_.Button1->click();
    EXPECT_TRUE(form_.CommandLine->text().endsWith(
        "-c 'VGB.EXE  -background C:\\PICS\\SPACE.GIF <ROM>' -c EXIT"))
        << form_.CommandLine->text().toStdString();
    host_.openAnswer = dir_.filePath("space.gif");
    form_.Button1->click();
    EXPECT_TRUE(form_.CommandLine->text().contains("lies outside the emulator's folder"))
        << form_.CommandLine->text().toStdString();
}
