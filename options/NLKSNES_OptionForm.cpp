#include "options/NLKSNES_OptionForm.h"

namespace orvello {

TNLKSNES_OptForm::TNLKSNES_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog({SlotNLKSNES, "NLKSNES_OptForm", "NLKSNES Option", false, false, "Load default",
                    "LoadDefBt"},
                   state, host, parent) {
    Controls = AddPage(QStringLiteral("Controls"), "Controls");
    Sound = AddPage(QStringLiteral("Sound"), "Sound");
    Video = AddPage(QStringLiteral("Video"), "Video");
    FinishCreation();
}

}  // namespace orvello
