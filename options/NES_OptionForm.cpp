#include "options/NES_OptionForm.h"

#include "options/PlayerInputs.h"

namespace orvello {

TNES_OptForm::TNES_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog({SlotNESticle, "NES_OptForm", "NESticle option", true, true, "&Load default",
                    "NES_LoadDefBt"},
                   state, host, parent) {
    TabSheet1 = AddPage(QStringLiteral("Controls"), "TabSheet1");
    TabSheet2 = AddPage(QStringLiteral("Sound"), "TabSheet2");
    TabSheet3 = AddPage(QStringLiteral("ROMs"), "TabSheet3");
    TabSheet4 = AddPage(QStringLiteral("Misc"), "TabSheet4");

    Input1 = AddList(TabSheet1, "Input1", QStringLiteral("Player &1 input:"), PlayerInputItems());
    Input2 = AddList(TabSheet1, "Input2", QStringLiteral("Player &2 input:"), PlayerInputItems());
    SwapButton = AddCheckBox(TabSheet1, "SwapButton", QStringLiteral("Swap button"));
    Sound = AddList(TabSheet2, "Sound", QStringLiteral("&Sound:"),
                    {QStringLiteral("Disable"), QStringLiteral("Enable"),
                     QStringLiteral("Sound Blaster 8"), QStringLiteral("Sound Blaster 16")});
    LoadROM = AddRadioGroup(TabSheet3, "LoadROM", QStringLiteral("Load ROM:"),
                            {QStringLiteral("Run"), QStringLiteral("Restore")});
    WaitVSync = AddCheckBox(TabSheet4, "WaitVSync", QStringLiteral("Wait VSync"));

    // Control         INI key        Read as            Load default
    Option(Input1, "Input1", AsInteger{1}, 1);
    Option(Input2, "Input2", AsInteger{2}, 2);
    Option(SwapButton, "Swap button", AsBoolean{false}, false);
    Option(WaitVSync, "WaitVSync", AsBoolean{false}, false);
    // "Enable", which adds no switch, like the value read for a missing key.
    Option(Sound, "Sound", AsInteger{1}, 1);
    Option(LoadROM, NotStored, 0);
    LoadDefaultOrder({Input1, Input2, SwapButton, WaitVSync, LoadROM, Sound});

    OnChange(Input1, &TNES_OptForm::Input1Change);
    OnChange(Input2, &TNES_OptForm::Input2Change);
    FinishCreation();
}

void TNES_OptForm::Build(SwitchBuilder& s) const {
    AddPlayerInput(s, 1, Input1->currentIndex());
    AddPlayerInput(s, 2, Input2->currentIndex());
    if (SwapButton->isChecked()) s.Add(" -swapbut");
    if (WaitVSync->isChecked()) s.Add(" -waitvsync");
    switch (Sound->currentIndex()) {
        case 0:
            s.Add(" -nosound");
            break;
        case 2:
            s.Add(" -sb");
            break;
        case 3:
            s.Add(" -sb16");
            break;
        default:
            break;
    }
    s.Add(LoadROM->ItemIndex() == 1 ? " -restore" : " -run");
}

void TNES_OptForm::EnableSwapButton() {
    SwapButton->setEnabled(IsJoystick(Input1) || IsJoystick(Input2));
}

void TNES_OptForm::Input1Change() {
    EnableSwapButton();
    KeepInputsApart(Input1, Input2);
}

void TNES_OptForm::Input2Change() {
    EnableSwapButton();
    KeepInputsApart(Input2, Input1);
}

}  // namespace orvello
