#include "options/S9x_OptionForm.h"

namespace orvello {

TS9x_OptForm::TS9x_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog(
          {SlotSNES9x, "S9x_OptForm", "SNES9x option", true, true, "Load default", "LoadDefBt"},
          state, host, parent) {
    Controls = AddPage(QStringLiteral("Controls"), "Controls");
    Sound = AddPage(QStringLiteral("Sound"), "Sound");
    ROMs = AddPage(QStringLiteral("ROMs"), "ROMs");
    Video = AddPage(QStringLiteral("Video"), "Video");
    CheatCodePage = AddPage(QStringLiteral("Cheat code"), "CheatCodePage");
    Misc = AddPage(QStringLiteral("Misc"), "Misc");
    FinishCreation();
}

}  // namespace orvello
