#include "options/KGen_OptionForm.h"

namespace orvello {

TKGEN_OptForm::TKGEN_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog({SlotKGen, "KGEN_OptForm", "KGEN Option", true, true, "&Load default"}, state,
                   host, parent) {
    TabSheet1 = AddPage(QStringLiteral("Sound"), "TabSheet1");
    ROMs = AddPage(QStringLiteral("ROMs"), "ROMs");
    TabSheet2 = AddPage(QStringLiteral("Video"), "TabSheet2");

    noSound = AddCheckBox(TabSheet1, "noSound", QStringLiteral("Disable sound"));
    AutoDetect = AddCheckBox(ROMs, "AutoDetect", QStringLiteral("Auto detect"));
    ROMType = AddList(ROMs, "ROMType", QStringLiteral("ROM type:"),
                      {QStringLiteral("USA"), QStringLiteral("Europe"), QStringLiteral("Japan")});
    Frames = AddNumberField(TabSheet2, "Frames", QStringLiteral("&Frames:"), 1, 4, 1);

    // Control     INI key       Read as            Load default
    Option(ROMType, "Rom switch", AsInteger{0}, 0);
    Option(noSound, "Sound", AsBoolean{false}, false);
    Option(Frames, "Frames", AsInteger{1}, "1");
    Option(AutoDetect, NotStored, false);
    LoadOrder({QStringLiteral("Rom switch"), QStringLiteral("Frames"), QStringLiteral("Sound")});
    LoadDefaultOrder({noSound, ROMType, AutoDetect, Frames});

    OnClick(AutoDetect, &TKGEN_OptForm::AutoDetectClick);
    OnExit(Frames, &TKGEN_OptForm::FramesExit);
    FinishCreation();
}

void TKGEN_OptForm::Build(SwitchBuilder& s) const {
    if (AutoDetect->isChecked()) {
        s.Add(" -A");
    } else if (ROMType->currentIndex() == 1) {
        s.Add(" -E");
    } else if (ROMType->currentIndex() == 2) {
        s.Add(" -J");
    }
    if (noSound->isChecked()) s.Add(" -S");
    if (s.Value(Frames) != 1) s.Add(" -F" + Frames->text());
}

void TKGEN_OptForm::AutoDetectClick() {
    ROMType->setEnabled(!AutoDetect->isChecked());
}

void TKGEN_OptForm::FramesExit() {
    CheckRange(Frames, 1, 4, QStringLiteral("Index must between 1 and 4"));
}

}  // namespace orvello
