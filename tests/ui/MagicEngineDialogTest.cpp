// The Magic Engine dialog: its switches in table order, the two ROM boxes that exclude each
// other, and the keys it keeps.
#include <gtest/gtest.h>

#include <QPushButton>

#include "DialogTestSupport.h"
#include "options/PCE_OptionForm.h"

using namespace orvello;
using namespace orvello::test;

namespace {

using MagicEngineDialogTest = DialogTest<TPCE_OptForm>;

}  // namespace

TEST_F(MagicEngineDialogTest, CreatedWithItsDefaults) {
    EXPECT_EQ(form_.windowTitle(), "PC Engine option");
    EXPECT_EQ(form_.LoadDefBt->text(), "&Load default");
    EXPECT_EQ(PageCaptions(), (QStringList{"Controls", "Sound", "ROMs"}));
    for (QCheckBox* box : {form_.RomUSA, form_.RomSplit, form_.noSound, form_.noJoystick,
                           form_.CDStart, form_.SGX}) {
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
        EXPECT_TRUE(box->isEnabled()) << box->objectName().toStdString();
    }
    EXPECT_EQ(Built(), "");
}

TEST_F(MagicEngineDialogTest, EachBoxAddsItsSwitchInTableOrder) {
    const struct {
        QCheckBox* box;
        const char* piece;
    } rows[] = {
        {form_.RomUSA, " -1"},         {form_.RomSplit, " -usa"}, {form_.noSound, " -nosound"},
        {form_.noJoystick, " -nojoy"}, {form_.CDStart, " -cd"},   {form_.SGX, " -sgx"},
    };
    for (const auto& row : rows) {
        row.box->setChecked(true);
        EXPECT_EQ(Built(), row.piece);
        row.box->setChecked(false);
    }
    for (QCheckBox* box :
         {form_.RomSplit, form_.noSound, form_.noJoystick, form_.CDStart, form_.SGX})
        box->setChecked(true);
    EXPECT_EQ(Built(), " -usa -nosound -nojoy -cd -sgx");
}

TEST_F(MagicEngineDialogTest, TheRomBoxesExcludeEachOther) {
    form_.RomUSA->click();
    EXPECT_TRUE(form_.RomUSA->isChecked());
    EXPECT_FALSE(form_.RomSplit->isEnabled());
    form_.RomSplit->click();
    EXPECT_FALSE(form_.RomSplit->isChecked()) << "a disabled box takes no click";
    EXPECT_EQ(Built(), " -1");

    form_.RomUSA->click();
    EXPECT_TRUE(form_.RomSplit->isEnabled());
    form_.RomSplit->click();
    EXPECT_FALSE(form_.RomUSA->isEnabled());
    EXPECT_EQ(Built(), " -usa");

    form_.LoadDefBt->click();
    EXPECT_FALSE(form_.RomSplit->isChecked());
    EXPECT_TRUE(form_.RomUSA->isEnabled());
    EXPECT_TRUE(form_.RomSplit->isEnabled());
    EXPECT_EQ(form_.GetSwitches(), " -usa") << "Load default builds nothing";
    EXPECT_EQ(Built(), "");
}

TEST_F(MagicEngineDialogTest, KeepsFourKeysButNeverTheRomBoxes) {
    state_.EmuPath[SlotMagicEngine] = "/emu/pce/pce";
    state_.GamesDir[SlotMagicEngine] = "/roms/pce";
    form_.noSound->setChecked(true);
    form_.SGX->setChecked(true);
    form_.RomSplit->setChecked(true);
    EXPECT_EQ(Saved(), (QStringList{"[MagicEngine]", "EmuPath=/emu/pce/pce", "GamesDir=/roms/pce",
                                    "Runner=0", "Sound=1", "Joy=0", "Start CD=0", "SGX=1"}));

    // A restart: a new dialog reads the file; both ROM boxes start cleared.
    AppState other;
    FakeHost host;
    TPCE_OptForm restarted(other, host, nullptr);
    IniFile ini(Ini());
    restarted.LoadOptions(ini);
    EXPECT_EQ(other.EmuPath[SlotMagicEngine], "/emu/pce/pce");
    EXPECT_FALSE(restarted.RomSplit->isChecked());
    ASSERT_TRUE(restarted.BuildSwitches());
    EXPECT_EQ(restarted.GetSwitches(), " -nosound -sgx");

    Load("[magicengine]\nJoy=2\nStart CD=0x1\nSound=abc\n");
    EXPECT_TRUE(form_.noJoystick->isChecked());
    EXPECT_TRUE(form_.CDStart->isChecked()) << "hex is a number";
    EXPECT_FALSE(form_.noSound->isChecked()) << "not a number: the default";
    EXPECT_FALSE(form_.SGX->isChecked()) << "missing: the default";
}
