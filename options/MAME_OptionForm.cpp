#include "options/MAME_OptionForm.h"

#include <array>

namespace orvello {

namespace {

constexpr std::array<const char*, 5> VesaPieces = {"", " -vesa", " -vesa1", " -vesa2b", " -vesa2l"};
constexpr std::array<const char*, 7> ScreenResPieces = {" -320",  " -512",  " -640", " -800",
                                                        " -1024", " -1280", " -1600"};

}  // namespace

TMAME_OptForm::TMAME_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog(
          {SlotMAME, "MAME_OptForm", "M.A.M.E. option", true, true, "Load default", "LoadDefBt"},
          state, host, parent) {
    TabSheet1 = AddPage(QStringLiteral("Controls"), "TabSheet1");
    TabSheet2 = AddPage(QStringLiteral("Sound"), "TabSheet2");
    TabSheet4 = AddPage(QStringLiteral("Video"), "TabSheet4");
    TabSheet3 = AddPage(QStringLiteral("Misc"), "TabSheet3");

    Control =
        AddList(TabSheet1, "Control", QStringLiteral("&Control:"),
                {QStringLiteral("Keyboard"), QStringLiteral("Joystick 2 buttons"),
                 QStringLiteral("CH Flightstick Pro"), QStringLiteral("Joystick/Pad 4 buttons"),
                 QStringLiteral("Joystick/Pad 6 buttons"), QStringLiteral("Dual joystick"),
                 QStringLiteral("Wingman Extreme")});
    Mouse = AddCheckBox(TabSheet1, "Mouse", QStringLiteral("Mouse"));

    FM = AddCheckBox(TabSheet2, "FM", QStringLiteral("Enable FM"));
    Soundcard =
        AddList(TabSheet2, "Soundcard", QStringLiteral("Soundcard:"),
                {QStringLiteral("No sound"), QStringLiteral("Sound Blaster"),
                 QStringLiteral("Sound Blaster AWE32"), QStringLiteral("Pro Audio Spectrum"),
                 QStringLiteral("Ultrasound Max (CS4231 Codec)"), QStringLiteral("Ultrasound"),
                 QStringLiteral("Windows Sound System"), QStringLiteral("Ensoniq Soundscape")});

    noScanlines = AddCheckBox(TabSheet4, "noScanlines", QStringLiteral("No scanlines"));
    VSync = AddCheckBox(TabSheet4, "VSync", QStringLiteral("Enable Vsync"));
    noPixelDouble = AddCheckBox(TabSheet4, "noPixelDouble", QStringLiteral("No pixel doubling"));
    VesaMode =
        AddList(TabSheet4, "VesaMode", QStringLiteral("VESA mode:"),
                {QStringLiteral("None"), QStringLiteral("Auto detect"), QStringLiteral("Vesa 1.2"),
                 QStringLiteral("Vesa 2.0 Banked"), QStringLiteral("Vesa 2.0 Linear")});
    ScreenRes =
        AddList(TabSheet4, "ScreenRes", QStringLiteral("Screen res:"),
                {QStringLiteral("320x240"), QStringLiteral("512x384"), QStringLiteral("640x480"),
                 QStringLiteral("800x600"), QStringLiteral("1024x768"), QStringLiteral("1280x1024"),
                 QStringLiteral("1600x1200")});
    Frames = AddNumberField(TabSheet4, "Frames", QStringLiteral("Frames:"), 0, 3, 0);
    SetHint(Frames, QStringLiteral("Number of frame to render"));

    Dir4Alg = AddCheckBox(TabSheet3, "Dir4Alg", QStringLiteral("Enable diagonal algoritm"));
    Cheat = AddCheckBox(TabSheet3, "Cheat", QStringLiteral("Enable cheat"));
    AntiAliasing = AddCheckBox(TabSheet3, "AntiAliasing", QStringLiteral("Enable anti-aliasing"));

    // clang-format off
    // Control          INI key          Read as            Load default
    Option(noScanlines,   "Scanlines",     AsBoolean{false},  false);
    Option(Control,       "Control",       AsInteger{0},      0);
    Option(FM,            "Disable FM",    AsBoolean{false},  false);
    Option(Soundcard,     "SoundCard",     AsInteger{0},      0);
    Option(Frames,        "Frames",        AsInteger{0},      "0");
    Option(VesaMode,      "Vesa Mode",     AsInteger{0},      0);
    Option(ScreenRes,     "Screen res",    AsInteger{0},      0);
    Option(Dir4Alg,       "Dir4 alg",      AsBoolean{false},  false);
    Option(AntiAliasing,  "Anti aliasing", AsBoolean{false},  false);
    Option(Cheat,         "Enable cheat",  AsBoolean{false},  false);
    Option(noPixelDouble, "Pixel double",  AsBoolean{false},  false);
    Option(VSync,         "VSync",         AsBoolean{false},  false);
    Option(Mouse,         NotStored,                          true);
    // clang-format on
    LoadOrder({QStringLiteral("Scanlines"), QStringLiteral("Control"), QStringLiteral("Disable FM"),
               QStringLiteral("SoundCard"), QStringLiteral("Frames"), QStringLiteral("Vesa Mode"),
               QStringLiteral("Screen res"), QStringLiteral("Dir4 alg"),
               QStringLiteral("Enable cheat"), QStringLiteral("Anti aliasing"),
               QStringLiteral("Pixel double"), QStringLiteral("VSync")});
    LoadDefaultOrder({noScanlines, Mouse, VSync, noPixelDouble, Control, FM, Soundcard, Frames,
                      VesaMode, ScreenRes, Dir4Alg, AntiAliasing, Cheat});

    OnChange(Soundcard, &TMAME_OptForm::SoundcardChange);
    OnChange(VesaMode, &TMAME_OptForm::VesaModeChange);
    OnExit(Frames, &TMAME_OptForm::FramesExit);
    FinishCreation();
}

void TMAME_OptForm::Build(SwitchBuilder& s) const {
    if (noScanlines->isChecked()) s.Add(" -noscanlines");
    if (VSync->isChecked()) s.Add(" -vsync");
    if (Control->currentIndex() != 0) s.AddNumber(" -joy ", Control->currentIndex());
    if (!Mouse->isChecked()) s.Add(" -nomouse");
    // Enabled or not, a checked box counts.
    if (FM->isChecked()) s.Add(" -fm");
    s.AddNumber(" -soundcard ", Soundcard->currentIndex());
    const int vesa = VesaMode->currentIndex();
    if (vesa != 0) {
        if (noPixelDouble->isChecked()) s.Add(" -nodouble");
        if (vesa > 0 && vesa < static_cast<int>(VesaPieces.size())) s.Add(VesaPieces.at(vesa));
        const int res = ScreenRes->currentIndex();
        if (res >= 0 && res < static_cast<int>(ScreenResPieces.size()))
            s.Add(ScreenResPieces.at(res));
    }
    if (s.Value(Frames) != 0) s.Add(" -frameskip " + Frames->text());
    if (Dir4Alg->isChecked()) s.Add(" -dir4");
    if (Cheat->isChecked()) s.Add(" -cheat");
    s.Add(AntiAliasing->isChecked() ? " -aa" : " -noaa");
}

void TMAME_OptForm::Refresh() {
    SoundcardChange();
    VesaModeChange();
}

void TMAME_OptForm::SoundcardChange() {
    FM->setEnabled(Soundcard->currentIndex() != 0);
}

void TMAME_OptForm::VesaModeChange() {
    const int vesa = VesaMode->currentIndex();
    ScreenRes->setEnabled(vesa != 0 && vesa != 1);
    noPixelDouble->setEnabled(vesa != 0);
}

void TMAME_OptForm::FramesExit() {
    CheckRange(Frames, 0, 3, QStringLiteral("Index must between 0 and 3"));
}

}  // namespace orvello
