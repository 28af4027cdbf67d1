#include "options/PCE_OptionForm.h"

namespace orvello {

TPCE_OptForm::TPCE_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog({SlotMagicEngine, "PCE_OptForm", "PC Engine option", true, false,
                    "&Load default", "LoadDefBt"},
                   state, host, parent) {
    PCE_Controls = AddPage(QStringLiteral("Controls"), "PCE_Controls");
    TabSheet2 = AddPage(QStringLiteral("Sound"), "TabSheet2");
    TabSheet3 = AddPage(QStringLiteral("ROMs"), "TabSheet3");

    noJoystick = AddCheckBox(PCE_Controls, "noJoystick", QStringLiteral("Disable joy"));
    noSound = AddCheckBox(TabSheet2, "noSound", QStringLiteral("Disable sound"));
    RomUSA = AddCheckBox(TabSheet3, "RomUSA", QStringLiteral("Decript USA card"));
    RomSplit = AddCheckBox(TabSheet3, "RomSplit", QStringLiteral("Splitted ROM"));
    CDStart = AddCheckBox(TabSheet3, "CDStart", QStringLiteral("Start from CD"));
    SGX = AddCheckBox(TabSheet3, "SGX", QStringLiteral("Enable Super Grafx"));

    // Control       INI key     Read as            Load default
    Option(noSound, "Sound", AsBoolean{false}, false);
    Option(noJoystick, "Joy", AsBoolean{false}, false);
    Option(CDStart, "Start CD", AsBoolean{false}, false);
    Option(SGX, "SGX", AsBoolean{false}, false);
    Option(RomUSA, NotStored, false);
    Option(RomSplit, NotStored, false);
    LoadDefaultOrder({RomUSA, RomSplit, noSound, noJoystick, CDStart, SGX});

    OnClick(RomUSA, &TPCE_OptForm::RomUSAClick);
    OnClick(RomSplit, &TPCE_OptForm::RomSplitClick);
    FinishCreation();
}

void TPCE_OptForm::Build(SwitchBuilder& s) const {
    if (RomUSA->isChecked()) s.Add(" -1");
    if (RomSplit->isChecked()) s.Add(" -usa");
    if (noSound->isChecked()) s.Add(" -nosound");
    if (noJoystick->isChecked()) s.Add(" -nojoy");
    if (CDStart->isChecked()) s.Add(" -cd");
    if (SGX->isChecked()) s.Add(" -sgx");
}

void TPCE_OptForm::RomUSAClick() {
    RomSplit->setEnabled(!RomUSA->isChecked());
}

void TPCE_OptForm::RomSplitClick() {
    RomUSA->setEnabled(!RomSplit->isChecked());
}

}  // namespace orvello
