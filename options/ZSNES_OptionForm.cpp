#include "options/ZSNES_OptionForm.h"

namespace orvello {

TZSNES_OptForm::TZSNES_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog(
          {SlotZSNES, "ZSNES_OptForm", "ZSNES option", false, true, "Load default", "LoadDefBt"},
          state, host, parent) {
    Controls = AddPage(QStringLiteral("Controls"), "Controls");
    Sound = AddPage(QStringLiteral("Sound"), "Sound");
    ROMs = AddPage(QStringLiteral("ROMs"), "ROMs");
    Video = AddPage(QStringLiteral("Video"), "Video");
    Misc = AddPage(QStringLiteral("Misc"), "Misc");
    FinishCreation();
}

}  // namespace orvello
