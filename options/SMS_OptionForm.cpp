#include "options/SMS_OptionForm.h"

#include <array>

namespace orvello {

namespace {

// The switch of each control type, by item.
constexpr std::array<const char*, 4> ControlTypes = {" /nojoy", " /ggpad", " /p2joy", " /4bpad"};

}  // namespace

TSMS_OptForm::TSMS_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog(
          {SlotMassage, "SMS_OptForm", "Massage option", true, true, "Load default", "LoadDefBt"},
          state, host, parent) {
    TabSheet1 = AddPage(QStringLiteral("Controls"), "TabSheet1");
    TabSheet2 = AddPage(QStringLiteral("Sound"), "TabSheet2");
    TabSheet4 = AddPage(QStringLiteral("Video"), "TabSheet4");
    TabSheet5 = AddPage(QStringLiteral("Misc"), "TabSheet5");

    Joy = AddList(TabSheet1, "Joy", QStringLiteral("Control type:"),
                  {QStringLiteral("No joystick"), QStringLiteral("Gravis gamepad"),
                   QStringLiteral("P1 joy / P2 keys"), QStringLiteral("4 button gamepad")});
    ButtonSwap = AddCheckBox(TabSheet1, "ButtonSwap", QStringLiteral("Button swap"));
    noFM = AddCheckBox(TabSheet2, "noFM", QStringLiteral("Disable FM"));
    noStereo = AddCheckBox(TabSheet2, "noStereo", QStringLiteral("Disable stereo"));
    BigScreen = AddCheckBox(TabSheet4, "BigScreen", QStringLiteral("Big screen"));
    // Designed with 3; the creation handler puts "1" in.
    Frames = AddNumberField(TabSheet4, "Frames", QStringLiteral("Frames:"), 1, 10, 3);
    LineIntr = AddList(
        TabSheet5, "LineIntr", QStringLiteral("Line interrupt:"),
        {QStringLiteral("Mode 0 (default)"), QStringLiteral("Mode 1"), QStringLiteral("Mode 2")});
    JapanROM = AddCheckBox(TabSheet5, "JapanROM", QStringLiteral("Japan ROM"));

    // Control        INI key        Read as            Load default
    Option(Joy, "Joy", AsInteger{0}, 0);
    Option(ButtonSwap, "Button swap", AsBoolean{false}, false);
    Option(LineIntr, "LineIntr", AsInteger{0}, 0);
    Option(JapanROM, "Jap", AsBoolean{false}, false);
    // Kept and read back as text: what was typed returns unchanged.
    Option(Frames, "Frames", AsText{QStringLiteral("1")}, "1");
    Option(noFM, "FM", AsBoolean{false}, false);
    Option(noStereo, "Stereo", AsBoolean{false}, false);
    Option(BigScreen, "BigScreen", AsBoolean{false}, false);
    LoadDefaultOrder({Joy, ButtonSwap, LineIntr, JapanROM, noFM, noStereo, BigScreen, Frames});

    OnChange(Joy, &TSMS_OptForm::JoyChange);
    OnExit(Frames, &TSMS_OptForm::FramesExit);
    FinishCreation();
}

void TSMS_OptForm::Build(SwitchBuilder& s) const {
    const int joy = Joy->currentIndex();
    if (joy >= 0 && joy < static_cast<int>(ControlTypes.size())) s.Add(ControlTypes.at(joy));
    if (ButtonSwap->isChecked()) s.Add(" /bswap");
    if (LineIntr->currentIndex() != 0) s.AddNumber(" /li ", LineIntr->currentIndex());
    if (JapanROM->isChecked()) s.Add(" /jap");
    if (noFM->isChecked()) s.Add(" /nofm");
    if (noStereo->isChecked()) s.Add(" /nostereo");
    if (BigScreen->isChecked()) s.Add(" /ggbig");
    // The field's text as it stands, never converted.
    s.Add(" /frame " + Frames->text());
}

void TSMS_OptForm::JoyChange() {
    ButtonSwap->setEnabled(Joy->currentIndex() == 2);
}

void TSMS_OptForm::FramesExit() {
    CheckRange(Frames, 1, 10, QStringLiteral("Index must between 1 and 10"));
}

}  // namespace orvello
