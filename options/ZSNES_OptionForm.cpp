#include "options/ZSNES_OptionForm.h"

namespace orvello {

namespace {

const QStringList Controllers = {QStringLiteral("None"),         QStringLiteral("Keyboard"),
                                 QStringLiteral("Joystick"),     QStringLiteral("Gamepad"),
                                 QStringLiteral("4 button pad"), QStringLiteral("6 button pad"),
                                 QStringLiteral("Sidewinder")};

const QStringList Resolutions = {QStringLiteral("320 x 240 [256 colors]"),
                                 QStringLiteral("256 x 256 [256 colors]"),
                                 QStringLiteral("320 x 240 [256 colors VESA 2]"),
                                 QStringLiteral("320 x 240 [64K colors VESA 2]"),
                                 QStringLiteral("640 x 480 [256 colors VESA 2]"),
                                 QStringLiteral("640 x 480 [64K colors VESA 2]"),
                                 QStringLiteral("512 x 384 [256 colors VESA 2]"),
                                 QStringLiteral("512 x 384 [64K colors VESA 2]")};

// The video modes that offer fit to screen, interpolation and scan lines.
bool OffersFitToScreen(int mode) {
    return mode == 0 || mode == 1;
}
bool OffersInterpolation(int mode) {
    return mode == 5;
}
bool OffersScanlines(int mode) {
    return mode == 1 || mode == 4 || mode == 5;
}

}  // namespace

TZSNES_OptForm::TZSNES_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog({SlotZSNES, "ZSNES_OptForm", "ZSNES option", false, true, "Load default",
                    "LoadDefBt", /*resizable=*/true, /*designedLeft=*/192, /*designedTop=*/107},
                   state, host, parent) {
    ControlsPage = AddPage(QStringLiteral("Controls"), "Controls");
    SoundPage = AddPage(QStringLiteral("Sound"), "SoundPage");
    ROMsPage = AddPage(QStringLiteral("ROMs"), "ROMs");
    VideoPage = AddPage(QStringLiteral("Video"), "Video");
    MiscPage = AddPage(QStringLiteral("Misc"), "Misc");

    ControlP1 = AddList(ControlsPage, "ControlP1", QStringLiteral("Player 1:"), Controllers);
    ControlP2 = AddList(ControlsPage, "ControlP2", QStringLiteral("Player 2:"), Controllers);
    Sound = AddCheckBox(SoundPage, "Sound", QStringLiteral("Active sound"));
    Ottobit = AddCheckBox(SoundPage, "Ottobit", QStringLiteral("Force 8 bit"));
    Stereo = AddCheckBox(SoundPage, "Stereo", QStringLiteral("Enable stereo"));
    Playback = AddList(SoundPage, "Playback", QStringLiteral("Playback:"),
                       {QStringLiteral("Low"), QStringLiteral("Medium"), QStringLiteral("High")});
    ForceHiROM = AddCheckBox(ROMsPage, "ForceHiROM", QStringLiteral("Force HiROM"));
    ForceLoROM = AddCheckBox(ROMsPage, "ForceLoROM", QStringLiteral("Force LoROM"));
    Resolution = AddList(VideoPage, "Resolution", QStringLiteral("Resolution:"), Resolutions);
    AutoFrame = AddCheckBox(VideoPage, "AutoFrame", QStringLiteral("Auto"));
    Frames = AddNumberField(VideoPage, "Frames", QStringLiteral("&Frames:"), 0, 9, 0);
    SetHint(Frames, QStringLiteral("Number of frame to render"));
    Frames->setText(QStringLiteral("0"));
    Interpolation = AddCheckBox(VideoPage, "Interpolation", QStringLiteral("Interpolation"));
    FitToScreen = AddCheckBox(VideoPage, "FitToScreen", QStringLiteral("Fit to screen"));
    Scanlines = AddCheckBox(VideoPage, "Scanlines", QStringLiteral("Scan lines"));
    noGUI = AddCheckBox(MiscPage, "noGUI", QStringLiteral("Disable GUI"));
    VSync = AddCheckBox(MiscPage, "VSync", QStringLiteral("Enable VSync"));

    // clang-format off
    // Control          INI key          Read as             Load default
    Option(Sound,         "Sound",         AsBoolean{false},   false);
    Option(Playback,      "Playback",      AsInteger{1},       1);
    Option(Stereo,        "Stereo",        AsBoolean{false},   false);
    Option(Ottobit,       "8 bit",         AsBoolean{false},   NotReset);
    Option(FitToScreen,   "FitToScreen",   AsBoolean{false},   false);
    Option(Frames,        "Frames",        AsInteger{0},       "0");
    Option(Resolution,    "Resolution",    AsInteger{0},       0);
    Option(ControlP1,     "P1",            AsInteger{1},       1);
    Option(ControlP2,     "P2",            AsInteger{1},       1);
    Option(ForceHiROM,    "Force HiROM",   AsBoolean{false},   false);
    Option(ForceLoROM,    "Force LowROM",  AsBoolean{false},   false);
    Option(AutoFrame,     "AutoFrame",     AsBoolean{false},   false);
    Option(noGUI,         "GUI",           AsBoolean{false},   false);
    Option(Scanlines,     "Scanlines",     AsBoolean{false},   false);
    Option(Interpolation, "Interpolation", AsBoolean{false},   false);
    Option(VSync,         "VSync",         AsBoolean{false},   false);
    // clang-format on
    LoadDefaultOrder({Sound, Playback, Stereo, FitToScreen, Resolution, Frames, ControlP1,
                      ControlP2, ForceHiROM, ForceLoROM, AutoFrame, Interpolation, Scanlines, noGUI,
                      VSync});

    OnClick(Sound, &TZSNES_OptForm::SoundClick);
    OnClick(Ottobit, &TZSNES_OptForm::OttobitClick);
    OnClick(AutoFrame, &TZSNES_OptForm::AutoFrameClick);
    OnChange(Resolution, &TZSNES_OptForm::ResolutionChange);
    FinishCreation();
}

void TZSNES_OptForm::Build(SwitchBuilder& s) const {
    s.AddNumber("-1 ", ControlP1->currentIndex());
    s.AddNumber(" -2 ", ControlP2->currentIndex());
    if (Sound->isChecked()) {
        s.Add(" -s");
        if (Ottobit->isChecked()) {
            s.Add(" -8");
        } else if (Stereo->isChecked()) {
            s.Add(" -z");
        }
        s.AddNumber(" -r ", Playback->currentIndex() + 1);
    }
    if (ForceHiROM->isChecked()) s.Add(" -h");
    if (ForceLoROM->isChecked()) s.Add(" -l");
    s.AddNumber(" -v ", Resolution->currentIndex());
    if (AutoFrame->isChecked()) {
        s.Add(" -a");
    } else {
        s.Add(" -f " + Frames->text());
    }
    // These three count only where the video mode offers them (where the dialog enables
    // them). The rule is asked directly, not the boxes' enabled state, so the string read at
    // start-up is the one the shown dialog gives with the same settings.
    const int mode = Resolution->currentIndex();
    if (OffersInterpolation(mode) && Interpolation->isChecked()) s.Add(" -y");
    if (OffersFitToScreen(mode) && FitToScreen->isChecked()) s.Add(" -c");
    if (OffersScanlines(mode) && Scanlines->isChecked()) s.Add(" -n");
    if (noGUI->isChecked()) s.Add(" -m");
    if (VSync->isChecked()) s.Add(" -w");
    s.Add(" -e");
}

void TZSNES_OptForm::Refresh() {
    SoundClick();
    OttobitClick();
    AutoFrameClick();
    ResolutionChange();
}

void TZSNES_OptForm::SoundClick() {
    const bool on = Sound->isChecked();
    Stereo->setEnabled(on);
    Ottobit->setEnabled(on);
    Playback->setEnabled(on);
}

void TZSNES_OptForm::OttobitClick() {
    if (Sound->isChecked()) Stereo->setEnabled(!Ottobit->isChecked());
}

void TZSNES_OptForm::AutoFrameClick() {
    EnableField(Frames, !AutoFrame->isChecked());
}

void TZSNES_OptForm::ResolutionChange() {
    const int mode = Resolution->currentIndex();
    FitToScreen->setEnabled(OffersFitToScreen(mode));
    Interpolation->setEnabled(OffersInterpolation(mode));
    Scanlines->setEnabled(OffersScanlines(mode));
}

}  // namespace orvello
