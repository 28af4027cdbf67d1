#include "options/S9x_OptionForm.h"

#include <QPushButton>

namespace orvello {

TS9x_OptForm::TS9x_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog(
          {SlotSNES9x, "S9x_OptForm", "SNES9x option", true, true, "Load default", "LoadDefBt"},
          state, host, parent) {
    ControlsPage = AddPage(QStringLiteral("Controls"), "Controls");
    SoundPage = AddPage(QStringLiteral("Sound"), "SoundPage");
    ROMsPage = AddPage(QStringLiteral("ROMs"), "ROMs");
    VideoPage = AddPage(QStringLiteral("Video"), "Video");
    CheatCodePage = AddPage(QStringLiteral("Cheat code"), "CheatCodePage");
    MiscPage = AddPage(QStringLiteral("Misc"), "Misc");

    Joy =
        AddList(ControlsPage, "Joy", QStringLiteral("Joystick:"),
                {QStringLiteral("Disable joy"), QStringLiteral("Joypad with 2 buttons"),
                 QStringLiteral("Joypad with 4 buttons"), QStringLiteral("Joypad with 6 buttons")});
    OldJoy = AddCheckBox(ControlsPage, "OldJoy", QStringLiteral("Old joy type"));

    Sound = AddCheckBox(SoundPage, "Sound", QStringLiteral("Active sound"));
    Playback = AddList(SoundPage, "Playback", QStringLiteral("Playback:"),
                       {QStringLiteral("Low"), QStringLiteral("Medium"), QStringLiteral("High")});
    Stereo = AddCheckBox(SoundPage, "Stereo", QStringLiteral("Enable stereo"));

    SwitchGroup = AddGroup(ROMsPage, "SwitchGroup", QStringLiteral("Switch:"));
    TileBased = AddCheckBox(SwitchGroup, "TileBased", QStringLiteral("Tile based"));
    InterleavedFormat =
        AddCheckBox(SwitchGroup, "InterleavedFormat", QStringLiteral("Interleaved"));
    ForceHiMem = AddCheckBox(SwitchGroup, "ForceHiMem", QStringLiteral("Force HiMem"));
    ForceLowMem = AddCheckBox(SwitchGroup, "ForceLowMem", QStringLiteral("Force LowMem"));
    noHDMA = AddCheckBox(ROMsPage, "noHDMA", QStringLiteral("Disable H-DMA"));
    SpeedHacks = AddCheckBox(ROMsPage, "SpeedHacks", QStringLiteral("Speed hacks"));
    Layering = AddCheckBox(ROMsPage, "Layering", QStringLiteral("Enable layering"));

    Resolution =
        AddList(VideoPage, "Resolution", QStringLiteral("Resolution:"),
                {QStringLiteral("320x240 ModeX"), QStringLiteral("320x200 VGA"),
                 QStringLiteral("256x256 Non-standard VGA"), QStringLiteral("640x480 Auto-detect "),
                 QStringLiteral("640x480 VESA1"), QStringLiteral("640x480 VESA2"),
                 QStringLiteral("640x480 VESA2 Linear"), QStringLiteral("640x400 Extended"),
                 QStringLiteral("800x600 Auto-detect")});
    AutoFrame = AddCheckBox(VideoPage, "AutoFrame", QStringLiteral("Auto"));
    Frames = AddNumberField(VideoPage, "Frames", QStringLiteral("&Frames:"), 1, 10, 2);
    SetHint(Frames, QStringLiteral("Number of frame to render"));
    FitToScreen = AddCheckBox(VideoPage, "FitToScreen", QStringLiteral("Fit to screen"));

    CheatCode = AddCheckBox(CheatCodePage, "CheatCode", QStringLiteral("Active code:"));
    CodeType = AddRadioGroup(CheatCodePage, "CodeType", QStringLiteral("Code type:"),
                             {QStringLiteral("Game Genie"), QStringLiteral("Action Replay"),
                              QStringLiteral("Gold Finger")});
    Code = AddTextField(CheatCodePage, "Code", QString());
    Code->setAccessibleName(QStringLiteral("Code"));

    SkipMethod = AddList(MiscPage, "SkipMethod", QStringLiteral("Skip wait method:"),
                         {QStringLiteral("None"), QStringLiteral("Method 1"),
                          QStringLiteral("Method 2"), QStringLiteral("Method 3")});
    EnableSS = AddCheckBox(MiscPage, "EnableSS", QStringLiteral("Load snapshot:"));
    SSName = AddTextField(MiscPage, "SSName", QString());
    SSName->setAccessibleName(QStringLiteral("Snapshot file"));
    SSName->setReadOnly(true);
    SSName->setEnabled(false);
    LoadSSBt = AddButton(MiscPage, "LoadSSBt", QStringLiteral("..."));
    LoadSSBt->setAccessibleName(QStringLiteral("Choose snapshot file"));
    SetHint(LoadSSBt, QStringLiteral("Load snap shot file"));
    noGUI = AddCheckBox(MiscPage, "noGUI", QStringLiteral("Disable GUI"));

    // clang-format off
    // Control              INI key          Read as            Load default
    Option(Sound,             "Sound",         AsBoolean{true},   true);
    Option(Playback,          "Playback",      AsInteger{1},      1);
    Option(Stereo,            "Stereo",        AsBoolean{false},  false);
    Option(FitToScreen,       "FitToScreen",   AsBoolean{false},  false);
    Option(Frames,            "Frames",        AsInteger{2},      "2");
    Option(Resolution,        "Resolution",    AsInteger{2},      2);
    Option(SkipMethod,        "SkipMethod",    AsInteger{0},      0);
    Option(Joy,               "Joy",           AsInteger{0},      0);
    Option(OldJoy,            "Old joy type",  AsBoolean{false},  false);
    Option(TileBased,         "Tile based",    AsBoolean{true},   true);
    Option(InterleavedFormat, "Interleaved",   AsBoolean{false},  false);
    Option(ForceHiMem,        "Force HiMem",   AsBoolean{false},  false);
    Option(ForceLowMem,       "Force LowMem",  AsBoolean{false},  false);
    Option(AutoFrame,         "AutoFrame",     AsBoolean{false},  false);
    Option(Layering,          "Layering",      AsBoolean{false},  false);
    Option(noHDMA,            "HDMA",          AsBoolean{false},  false);
    Option(SpeedHacks,        "Speed hacks",   AsBoolean{true},   true);
    Option(noGUI,             "GUI",           AsBoolean{true},   true);
    Option(EnableSS,          NotStored,                          false);
    Option(CheatCode,         NotStored,                          false);
    Option(CodeType,          NotStored,                          0);
    // clang-format on
    LoadDefaultOrder({Sound,       Playback, Stereo,     FitToScreen, Resolution,        Frames,
                      Joy,         OldJoy,   SkipMethod, TileBased,   InterleavedFormat, ForceHiMem,
                      ForceLowMem, EnableSS, CheatCode,  CodeType,    AutoFrame,         noHDMA,
                      SpeedHacks,  Layering, noGUI});

    OnChange(Joy, &TS9x_OptForm::JoyChange);
    OnClick(Sound, &TS9x_OptForm::SoundClick);
    OnClick(EnableSS, &TS9x_OptForm::EnableSSClick);
    OnClick(CheatCode, &TS9x_OptForm::CheatCodeClick);
    OnClick(AutoFrame, &TS9x_OptForm::AutoFrameClick);
    connect(LoadSSBt, &QPushButton::clicked, this, &TS9x_OptForm::LoadSSBtClick);
    SetFirstPage(ROMsPage);
    FinishCreation();
}

void TS9x_OptForm::Build(SwitchBuilder& s) const {
    if (!Sound->isChecked()) {
        s.Add(" -NS");
    } else {
        if (Playback->currentIndex() == 0) s.Add(" -r 11025");
        if (Playback->currentIndex() == 2) s.Add(" -r 44100");
        if (Stereo->isChecked()) s.Add(" -stereo");
    }
    switch (Joy->currentIndex()) {
        case 0:
            s.Add(" -j");
            break;
        case 2:
            s.Add(" -4");
            break;
        case 3:
            s.Add(" -6");
            break;
        default:
            break;
    }
    if (OldJoy->isChecked() && Joy->currentIndex() != 0) s.Add(" -o");
    if (AutoFrame->isChecked()) {
        s.Add(" -f auto");
    } else if (Frames->Spinner()->Position() != 2) {
        // The spinner's position decides; the piece carries the text as typed.
        s.Add(" -frames " + Frames->text());
    }
    if (Resolution->currentIndex() != 2) s.AddNumber(" -m ", Resolution->currentIndex());
    s.AddNumber(" -ss ", SkipMethod->currentIndex());
    if (TileBased->isChecked()) s.Add(" -O");
    if (InterleavedFormat->isChecked()) s.Add(" -i");
    if (ForceHiMem->isChecked()) s.Add(" -F");
    if (ForceLowMem->isChecked()) s.Add(" -FL");
    if (EnableSS->isChecked() && !SSName->text().isEmpty()) {
        s.Add(" -l ");
        s.AddPath(SSName->text());
    }
    if (CheatCode->isChecked()) {
        switch (CodeType->ItemIndex()) {
            case 0:
                s.Add(" -gg ");
                break;
            case 1:
                s.Add(" -ar ");
                break;
            case 2:
                s.Add(" -gf ");
                break;
            default:
                break;
        }
        s.Add(Code->text());
    }
    if (noHDMA->isChecked()) s.Add(" -H");
    s.Add(SpeedHacks->isChecked() ? " -SH" : " -N");
    if (Layering->isChecked()) s.Add(" -L");
    if (noGUI->isChecked()) s.Add(" -nogui -quiet");
}

void TS9x_OptForm::Refresh() {
    JoyChange();
    SoundClick();
    EnableSSClick();
    CheatCodeClick();
    AutoFrameClick();
}

void TS9x_OptForm::JoyChange() {
    OldJoy->setEnabled(Joy->currentIndex() != 0);
}

void TS9x_OptForm::SoundClick() {
    Playback->setEnabled(Sound->isChecked());
    Stereo->setEnabled(Sound->isChecked());
}

void TS9x_OptForm::EnableSSClick() {
    SSName->setEnabled(EnableSS->isChecked());
    LoadSSBt->setEnabled(EnableSS->isChecked());
}

void TS9x_OptForm::CheatCodeClick() {
    CodeType->setEnabled(CheatCode->isChecked());
    Code->setEnabled(CheatCode->isChecked());
}

void TS9x_OptForm::AutoFrameClick() {
    EnableField(Frames, !AutoFrame->isChecked());
}

void TS9x_OptForm::LoadSSBtClick() {
    // The emulator's folder with its separator, then "snesnaps".
    const QString emulator = state().EmuPath.at(SlotSNES9x);
    const QString folder = emulator.left(emulator.lastIndexOf(QLatin1Char('/')) + 1);
    OpenFileRequest request;
    request.title = QStringLiteral("Load snap shot file");
    request.filter = QStringLiteral("All files|*.*");
    request.initialDir = folder + QStringLiteral("snesnaps");
    ChooseFile(SSName, request, /*nameOnly=*/true, /*capitals=*/true);
}

}  // namespace orvello
