#include "options/GEN_OptionForm.h"

namespace orvello {

TGEN_OptForm::TGEN_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog(
          {SlotGenEm, "GEN_OptForm", "GenEm option", true, true, "&Load default", "GEN_LoadDefBt"},
          state, host, parent) {
    TabSheet1 = AddPage(QStringLiteral("Controls"), "TabSheet1");
    TabSheet2 = AddPage(QStringLiteral("Sound"), "TabSheet2");
    TabSheet3 = AddPage(QStringLiteral("ROMs"), "TabSheet3");
    TabSheet4 = AddPage(QStringLiteral("Video"), "TabSheet4");
    TabSheet5 = AddPage(QStringLiteral("Misc"), "TabSheet5");

    Joystick = AddCheckBox(TabSheet1, "Joystick", QStringLiteral("Use joystick"));
    Calib = AddCheckBox(TabSheet1, "Calib", QStringLiteral("Calibrate"));
    Sound = AddCheckBox(TabSheet2, "Sound", QStringLiteral("Active sound"));
    ROMType = AddList(TabSheet3, "ROMType", QStringLiteral("ROM type:"),
                      {QStringLiteral("USA"), QStringLiteral("Europe"), QStringLiteral("Japan")});
    ModeX = AddCheckBox(TabSheet4, "ModeX", QStringLiteral("Use modeX"));
    Frames = AddNumberField(TabSheet4, "Frames", QStringLiteral("&Frames:"), 1, 10, 2);
    DisableZ80 = AddCheckBox(TabSheet5, "DisableZ80", QStringLiteral("Disable Z80"));

    // Control        INI key       Read as            Load default
    Option(ROMType, "Rom switch", AsInteger{0}, 0);
    Option(DisableZ80, "Z80Emu", AsBoolean{false}, false);
    Option(ModeX, "ModeX", AsBoolean{false}, false);
    Option(Sound, "Sound", AsBoolean{false}, false);
    Option(Joystick, "Joy", AsBoolean{false}, false);
    Option(Frames, "Frames", AsInteger{2}, "2");
    LoadOrder({QStringLiteral("Z80Emu"), QStringLiteral("ModeX"), QStringLiteral("Rom switch"),
               QStringLiteral("Frames"), QStringLiteral("Sound"), QStringLiteral("Joy")});

    OnClick(Joystick, &TGEN_OptForm::JoystickClick);
    OnExit(Frames, &TGEN_OptForm::FramesExit);
    FinishCreation();
}

void TGEN_OptForm::Build(SwitchBuilder& s) const {
    if (ROMType->currentIndex() == 1) {
        s.Add(" -europe");
    } else if (ROMType->currentIndex() == 2) {
        s.Add(" -japan");
    }
    if (DisableZ80->isChecked()) s.Add(" -fakedz80");
    if (ModeX->isChecked()) s.Add(" -modex");
    // Both boxes add their "-no" switch when checked, whatever their captions suggest: the
    // stored keys have always meant that.
    if (Sound->isChecked()) s.Add(" -nosound");
    if (Joystick->isChecked()) s.Add(" -nojoy");
    if (s.Value(Frames) != 2) s.Add(" -frame " + Frames->text());
}

void TGEN_OptForm::JoystickClick() {
    Calib->setEnabled(Joystick->isChecked());
}

void TGEN_OptForm::FramesExit() {
    CheckRange(Frames, 1, 10, QStringLiteral("Index must between 1 and 10"));
}

}  // namespace orvello
