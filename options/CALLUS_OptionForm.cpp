#include "options/CALLUS_OptionForm.h"

#include <QPushButton>

#include <array>

namespace orvello {

namespace {

struct ScreenResItem {
    const char* caption;
    const char* piece;
};

// The first item's caption reads 244; the emulator is asked for 224 lines.
constexpr std::array<ScreenResItem, 13> ScreenResItems = {{
    {"256x244", " -res 256 224"},
    {"256x240", " -res 256 240"},
    {"256x256", " -res 256 256"},
    {"284x224", " -res 284 224"},
    {"320x200", " -res 320 200"},
    {"320x224", " -res 320 224"},
    {"320x240", " -res 320 240"},
    {"384x257", " -res 384 257"},
    {"400x300", " -res 400 300"},
    {"512x384", " -res 512 384"},
    {"640x400", " -res 640 400"},
    {"640x480", " -res 640 480"},
    {"800x600", " -res 800 600"},
}};

const QString DefaultFolder = QStringLiteral("Default");

}  // namespace

TCALLUS_OptForm::TCALLUS_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog(
          {SlotCallus, "CALLUS_OptForm", "Callus option", true, true, "Load default", "LoadDefBt"},
          state, host, parent) {
    ROMs = AddPage(QStringLiteral("ROMs"), "ROMs");
    Video = AddPage(QStringLiteral("Video"), "Video");
    Misc = AddPage(QStringLiteral("Misc"), "Misc");

    ChooseSaveBt = AddButton(ROMs, "ChooseSaveBt", QStringLiteral("Choose save dir:"));
    SaveDir = AddTextField(ROMs, "SaveDir", QString());
    SaveDir->setAccessibleName(QStringLiteral("Save dir"));

    DisableVESA = AddCheckBox(Video, "DisableVESA", QStringLiteral("Disable VESA"));
    VESAMode = AddRadioGroup(Video, "VESAMode", QStringLiteral("VESA mode:"),
                             {QStringLiteral("Force linear"), QStringLiteral("Force banked")});
    QStringList resolutions;
    for (const ScreenResItem& item : ScreenResItems)
        resolutions << QString::fromLatin1(item.caption);
    ScreenRes = AddList(Video, "ScreenRes", QStringLiteral("Screen res:"), resolutions);
    AutoFrame = AddCheckBox(Video, "AutoFrame", QStringLiteral("Auto"));
    Frames = AddNumberField(Video, "Frames", QStringLiteral("&Frames:"), 1, 8, 1);
    SetHint(Frames, QStringLiteral("Number of frame to render"));
    Frames->setText(QStringLiteral("1"));

    WaitVSync = AddCheckBox(Misc, "WaitVSync", QStringLiteral("WaitVSync"));
    Exclusive = AddCheckBox(Misc, "Exclusive", QStringLiteral("Exclusive"));
    PentiumGroup = AddGroup(Misc, "PentiumGroup", QStringLiteral("Pentium option:"));
    UseMMX = AddCheckBox(PentiumGroup, "UseMMX", QStringLiteral("Use MMX copy"));
    UseFPUCOPY = AddCheckBox(PentiumGroup, "UseFPUCOPY", QStringLiteral("Use FPU copy"));
    ChoosePCXBt = AddButton(Misc, "ChoosePCXBt", QStringLiteral("Choose PCX dir:"));
    PCXDir = AddTextField(Misc, "PCXDir", QString());
    PCXDir->setAccessibleName(QStringLiteral("PCX dir"));

    // clang-format off
    // Control        INI key         Read as                 Load default
    Option(WaitVSync,   "WaitVSync",    AsBoolean{false},       false);
    Option(SaveDir,     "Save dir",     AsText{DefaultFolder},  DefaultFolder);
    Option(PCXDir,      "PCX dir",      AsText{DefaultFolder},  DefaultFolder);
    Option(DisableVESA, "Disable VESA", AsBoolean{false},       false);
    Option(VESAMode,    "VESA mode",    AsInteger{0},           0);
    Option(ScreenRes,   "Screen res",   AsInteger{5},           5);
    Option(Exclusive,   "Exclusive",    AsBoolean{false},       false);
    Option(UseFPUCOPY,  "FPU Copy",     AsBoolean{false},       false);
    Option(UseMMX,      "MMX Copy",     AsBoolean{false},       false);
    Option(AutoFrame,   "Auto frame",   AsBoolean{true},        NotReset);
    // clang-format on
    LoadDefaultOrder({WaitVSync, SaveDir, PCXDir, UseMMX, UseFPUCOPY, DisableVESA, VESAMode,
                      ScreenRes, Exclusive});
    // Its paths are read back under "CALLUS": the same section, names match whatever their case.
    SetPathsReadSection(QStringLiteral("CALLUS"));

    OnClick(DisableVESA, &TCALLUS_OptForm::DisableVESAClick);
    OnClick(AutoFrame, &TCALLUS_OptForm::AutoFrameClick);
    connect(ChooseSaveBt, &QPushButton::clicked, this, &TCALLUS_OptForm::ChooseSaveBtClick);
    connect(ChoosePCXBt, &QPushButton::clicked, this, &TCALLUS_OptForm::ChoosePCXBtClick);
    FinishCreation();
}

void TCALLUS_OptForm::Build(SwitchBuilder& s) const {
    if (WaitVSync->isChecked()) s.Add(" -waitvsync");
    if (UseMMX->isChecked()) s.Add(" -mmx");
    if (UseFPUCOPY->isChecked()) s.Add(" -fpucopy");
    if (DisableVESA->isChecked()) {
        s.Add(" -novesa");
    } else if (VESAMode->ItemIndex() == 0) {
        s.Add(" -linear");
    } else if (VESAMode->ItemIndex() == 1) {
        s.Add(" -banked");
    }
    const int res = ScreenRes->currentIndex();
    if (res >= 0 && res < static_cast<int>(ScreenResItems.size()))
        s.Add(ScreenResItems.at(res).piece);
    if (Exclusive->isChecked()) s.Add(" -exclusive");
    if (AutoFrame->isChecked()) {
        s.Add(" -frameskip AUTO");
    } else {
        s.Add(" -frameskip " + Frames->text());
    }
    // Compared with the word exactly: any other text, an empty one too, is passed on.
    if (SaveDir->text() != DefaultFolder) {
        s.Add(" -savedir ");
        s.AddPath(SaveDir->text());
    }
    if (PCXDir->text() != DefaultFolder) {
        s.Add(" -pcxdir ");
        s.AddPath(PCXDir->text());
    }
}

void TCALLUS_OptForm::Refresh() {
    DisableVESAClick();
    AutoFrameClick();
}

void TCALLUS_OptForm::DisableVESAClick() {
    VESAMode->setEnabled(!DisableVESA->isChecked());
}

void TCALLUS_OptForm::AutoFrameClick() {
    EnableField(Frames, !AutoFrame->isChecked());
}

void TCALLUS_OptForm::ChooseSaveBtClick() {
    ChooseFolder(SaveDir, QStringLiteral("Choose a directory where save games"));
}

void TCALLUS_OptForm::ChoosePCXBtClick() {
    ChooseFolder(PCXDir, QStringLiteral("Choose a directory where save snapshot"));
}

}  // namespace orvello
