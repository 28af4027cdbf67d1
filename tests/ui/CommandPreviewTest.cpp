// The "Command:" line below an option dialog's pages: it follows every change at once,
// leaves the dialog's switch string alone until OK, and says why OK would refuse.
#include "DialogTestSupport.h"
#include "options/KGen_OptionForm.h"
#include "options/MAME_OptionForm.h"

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
