#include "options/GeneCyst_OptionForm.h"

#include <QPushButton>

#include <array>

#include "options/PlayerInputs.h"

namespace orvello {

namespace {

// The screen sizes by item of the resolution list; item 5 is the emulator's own and adds
// nothing. The first item reads "256x244" but the emulator's mode is 256 by 224.
constexpr std::array<const char*, 9> Resolutions = {
    " -res 256 224", " -res 256 240", " -res 256 256", " -res 320 200", " -res 320 224", "",
    " -res 640 400", " -res 640 480", " -res 800 600"};

// A folder field holding exactly this adds no switch.
constexpr QLatin1String Default("Default");

}  // namespace

TGENC_OptForm::TGENC_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog({SlotGeneCyst, "GENC_OptForm", "GeneCyst option", true, true, "Load default"},
                   state, host, parent) {
    TabSheet1 = AddPage(QStringLiteral("Controls"), "TabSheet1");
    TabSheet2 = AddPage(QStringLiteral("Sound"), "TabSheet2");
    TabSheet3 = AddPage(QStringLiteral("ROMs"), "TabSheet3");
    TabSheet7 = AddPage(QStringLiteral("Video"), "TabSheet7");
    TabSheet4 = AddPage(QStringLiteral("Misc"), "TabSheet4");

    Input1 = AddList(TabSheet1, "Input1", QStringLiteral("Player &1 input:"), PlayerInputItems());
    Input2 = AddList(TabSheet1, "Input2", QStringLiteral("Player &2 input:"), PlayerInputItems());

    Sound = AddCheckBox(TabSheet2, "Sound", QStringLiteral("Active sound"));
    QWidget* soundOptions = AddGroup(TabSheet2, "SoundOptions", QStringLiteral("Option:"));
    NoFM = AddCheckBox(soundOptions, "NoFM", QStringLiteral("Disable FM"));
    NoDAC = AddCheckBox(soundOptions, "NoDAC", QStringLiteral("Disable DAC"));

    QWidget* z80Options = AddGroup(TabSheet3, "Z80Options", QStringLiteral("Z80 option:"));
    noZ80 = AddCheckBox(z80Options, "noZ80", QStringLiteral("Disable Z80"));
    FakeZ80 = AddCheckBox(z80Options, "FakeZ80", QStringLiteral("Fake Z80"));
    ChooseSaveBt = AddButton(TabSheet3, "ChooseSaveBt", QStringLiteral("Choose save dir:"));
    SaveDir = AddTextField(TabSheet3, "SaveDir", QString());
    SaveDir->setAccessibleName(QStringLiteral("Save dir"));

    noVESA = AddCheckBox(TabSheet7, "noVESA", QStringLiteral("Disable VESA"));
    VESAMode = AddRadioGroup(TabSheet7, "VESAMode", QStringLiteral("VESA mode:"),
                             {QStringLiteral("Force linear"), QStringLiteral("Force banked")});
    ScreenRes =
        AddList(TabSheet7, "ScreenRes", QStringLiteral("Screen res:"),
                {QStringLiteral("256x244"), QStringLiteral("256x240"), QStringLiteral("256x256"),
                 QStringLiteral("320x200"), QStringLiteral("320x224"), QStringLiteral("320x240"),
                 QStringLiteral("640x400"), QStringLiteral("640x480"), QStringLiteral("800x600")});

    WaitVSync = AddCheckBox(TabSheet4, "WaitVSync", QStringLiteral("WaitVSync"));
    QWidget* pentium = AddGroup(TabSheet4, "PentiumOptions", QStringLiteral("Pentium option:"));
    UseRDTSC = AddCheckBox(pentium, "UseRDTSC", QStringLiteral("Use RDTSC"));
    UseFPUCOPY = AddCheckBox(pentium, "UseFPUCOPY", QStringLiteral("Use FPU copy"));
    HideGUI = AddCheckBox(TabSheet4, "HideGUI", QStringLiteral("Hide GUI"));
    Exclusive = AddCheckBox(TabSheet4, "Exclusive", QStringLiteral("Exclusive"));
    noLongFileName = AddCheckBox(TabSheet4, "noLongFileName", QStringLiteral("Disable longname"));
    ChoosePCXBt = AddButton(TabSheet4, "ChoosePCXBt", QStringLiteral("Choose PCX dir:"));
    PCXDir = AddTextField(TabSheet4, "PCXDir", QString());
    PCXDir->setAccessibleName(QStringLiteral("PCX dir"));

    // Control            INI key          Read as               Load default
    Option(Input1, "Input1", AsInteger{1}, 1);
    Option(Input2, "Input2", AsInteger{2}, 2);
    Option(WaitVSync, "WaitVSync", AsBoolean{false}, false);
    Option(noLongFileName, "DisableLFn", AsBoolean{false}, false);
    Option(SaveDir, "Save dir", AsText{Default}, QString(Default));
    Option(PCXDir, "PCX dir", AsText{Default}, QString(Default));
    Option(noVESA, "Disable VESA", AsBoolean{false}, false);
    Option(VESAMode, "VESA mode", AsInteger{0}, 0);
    Option(ScreenRes, "Screen res", AsInteger{5}, 5);
    Option(Sound, "Sound", AsBoolean{true}, true);
    Option(NoFM, "FM", AsBoolean{true}, false);
    Option(NoDAC, "DAC", AsBoolean{true}, false);
    Option(HideGUI, "GUI", AsBoolean{false}, false);
    Option(Exclusive, "Exclusive", AsBoolean{false}, false);
    Option(UseFPUCOPY, "FPU Copy", AsBoolean{false}, false);
    Option(UseRDTSC, "RDTSC Copy", AsBoolean{false}, false);
    Option(noZ80, NotStored, false);
    Option(FakeZ80, NotStored, false);
    LoadOrder({QStringLiteral("Input1"), QStringLiteral("Input2"), QStringLiteral("WaitVSync"),
               QStringLiteral("DisableLFn"), QStringLiteral("Save dir"), QStringLiteral("PCX dir"),
               QStringLiteral("Disable VESA"), QStringLiteral("VESA mode"),
               QStringLiteral("Screen res"), QStringLiteral("GUI"), QStringLiteral("Exclusive"),
               QStringLiteral("FPU Copy"), QStringLiteral("RDTSC Copy"), QStringLiteral("Sound"),
               QStringLiteral("FM"), QStringLiteral("DAC")});
    LoadDefaultOrder({Input1, Input2, WaitVSync, SaveDir, PCXDir, noLongFileName, Sound, NoFM,
                      NoDAC, UseRDTSC, UseFPUCOPY, noZ80, FakeZ80, noVESA, VESAMode, ScreenRes,
                      HideGUI, Exclusive});

    FolderDialog().SetOptions(bfFileSysDirsOnly | bfStatusText | bfShowPathInStatusArea |
                              bfSyncCustomButton | bfAlignCustomButton | bfScreenCenter);

    OnChange(Input1, &TGENC_OptForm::Input1Change);
    OnChange(Input2, &TGENC_OptForm::Input2Change);
    OnClick(Sound, &TGENC_OptForm::SoundClick);
    OnClick(noZ80, &TGENC_OptForm::noZ80Click);
    OnClick(noVESA, &TGENC_OptForm::noVESAClick);
    connect(ChooseSaveBt, &QPushButton::clicked, this, &TGENC_OptForm::ChooseSaveBtClick);
    connect(ChoosePCXBt, &QPushButton::clicked, this, &TGENC_OptForm::ChoosePCXBtClick);
    FinishCreation();
}

void TGENC_OptForm::Build(SwitchBuilder& s) const {
    AddPlayerInput(s, 1, Input1->currentIndex());
    AddPlayerInput(s, 2, Input2->currentIndex());
    if (WaitVSync->isChecked()) s.Add(" -waitvsync");
    if (!Sound->isChecked()) {
        s.Add(" -nosound");
    } else {
        if (NoFM->isChecked()) s.Add(" -nofm");
        if (NoDAC->isChecked()) s.Add(" -nodac");
    }
    if (UseRDTSC->isChecked()) s.Add(" -rdtsc");
    if (UseFPUCOPY->isChecked()) s.Add(" -fpucopy");
    if (noZ80->isChecked()) {
        s.Add(" -disableZ80");
    } else if (FakeZ80->isChecked()) {
        s.Add(" -fakez80");
    }
    if (noVESA->isChecked()) {
        s.Add(" -novesa");
    } else if (VESAMode->ItemIndex() == 0) {
        s.Add(" -linear");
    } else if (VESAMode->ItemIndex() == 1) {
        s.Add(" -banked");
    }
    const int res = ScreenRes->currentIndex();
    if (res >= 0 && res < static_cast<int>(Resolutions.size())) s.Add(Resolutions.at(res));
    if (HideGUI->isChecked()) s.Add(" -hidegui");
    if (Exclusive->isChecked()) s.Add(" -exclusive");
    if (SaveDir->text() != Default) {
        s.Add(" -savedir ");
        s.AddPath(SaveDir->text());
    }
    if (PCXDir->text() != Default) {
        s.Add(" -pcxdir ");
        s.AddPath(PCXDir->text());
    }
    s.Add(" -run ");
}

void TGENC_OptForm::Refresh() {
    Input1Change();
    Input2Change();
    SoundClick();
    noZ80Click();
    noVESAClick();
}

void TGENC_OptForm::Input1Change() {
    KeepInputsApart(Input1, Input2);
}

void TGENC_OptForm::Input2Change() {
    KeepInputsApart(Input2, Input1);
}

void TGENC_OptForm::SoundClick() {
    NoFM->setEnabled(Sound->isChecked());
    NoDAC->setEnabled(Sound->isChecked());
}

void TGENC_OptForm::noZ80Click() {
    FakeZ80->setEnabled(!noZ80->isChecked());
}

void TGENC_OptForm::noVESAClick() {
    VESAMode->setEnabled(!noVESA->isChecked());
}

void TGENC_OptForm::ChooseSaveBtClick() {
    ChooseFolder(SaveDir, QStringLiteral("Choose a directory where save games"));
}

void TGENC_OptForm::ChoosePCXBtClick() {
    ChooseFolder(PCXDir, QStringLiteral("Choose a directory where save snapshot"));
}

}  // namespace orvello
