#include "options/NLKSNES_OptionForm.h"

namespace orvello {

TNLKSNES_OptForm::TNLKSNES_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog({SlotNLKSNES, "NLKSNES_OptForm", "NLKSNES Option", false, false, "Load default",
                    "LoadDefBt"},
                   state, host, parent) {
    Controls = AddPage(QStringLiteral("Controls"), "Controls");
    Sound = AddPage(QStringLiteral("Sound"), "Sound");
    Video = AddPage(QStringLiteral("Video"), "Video");

    EnableJoy = AddCheckBox(Controls, "EnableJoy", QStringLiteral("Enable joystick"));
    SPCSkipMode = AddList(Sound, "SPCSkipMode", QStringLiteral("SPC7000 skip:"),
                          {QStringLiteral("Mode 0"), QStringLiteral("Mode 1")});
    const QString hint = QStringLiteral("Number of frame to render");
    Frames = AddNumberField(Video, "Frames", QStringLiteral("&Frames:"), 0, 10, 0, "UpDown1");
    Cycles = AddNumberField(Video, "Cycles", QStringLiteral("&Cycles:"), 50, 100, 100, "UpDown3");
    Delay = AddNumberField(Video, "Delay", QStringLiteral("&Delay:"), 0, 4, 0, "UpDown2");
    for (NumberField* field : {Frames, Cycles, Delay})
        SetHint(field, hint);
    noIRQ = AddCheckBox(Video, "noIRQ", QStringLiteral("Disable IRQ"));
    // The designed state, kept until the settings are read.
    Frames->setText(QStringLiteral("0"));
    Delay->setText(QStringLiteral("0"));
    Cycles->setText(QStringLiteral("100"));

    // clang-format off
    // Control        INI key   Read as            Load default
    Option(EnableJoy,   "Joy",    AsBoolean{false},  false);
    Option(SPCSkipMode, "Sound",  AsInteger{0},      0);
    Option(Frames,      "Frames", AsInteger{0},      "0");
    Option(Delay,       "Delay",  AsInteger{0},      "0");
    Option(Cycles,      "Cycles", AsInteger{100},    "100");
    Option(noIRQ,       "IRQs",   AsBoolean{true},   false);
    // clang-format on
    LoadDefaultOrder({Frames, Delay, Cycles, EnableJoy, noIRQ, SPCSkipMode});

    OnExit(Frames, &TNLKSNES_OptForm::FramesExit);
    OnExit(Delay, &TNLKSNES_OptForm::DelayExit);
    OnExit(Cycles, &TNLKSNES_OptForm::CyclesExit);
    FinishCreation();
}

void TNLKSNES_OptForm::Build(SwitchBuilder& s) const {
    if (EnableJoy->isChecked()) s.Add(" -joy");
    if (SPCSkipMode->currentIndex() == 1) s.Add(" - ss 1");
    if (s.Value(Frames) != 0) s.Add(" -frames " + Frames->text());
    if (s.Value(Cycles) != 100) s.Add(" -h " + Cycles->text());
    if (s.Value(Delay) != 0) s.Add(" -delay " + Delay->text());
    if (noIRQ->isChecked()) s.Add(" -nirq");
}

void TNLKSNES_OptForm::FramesExit() {
    CheckRange(Frames, 0, 10, QStringLiteral("Value must between 0 and 10"));
}

void TNLKSNES_OptForm::DelayExit() {
    CheckRange(Delay, 0, 4, QStringLiteral("Value must between 0 and 4"));
}

// The check follows the spinner's bounds, 50 to 100, and its message names them.
void TNLKSNES_OptForm::CyclesExit() {
    CheckRange(Cycles, 50, 100, QStringLiteral("Value must between 50 and 100"));
}

}  // namespace orvello
