#include "options/CALLUS_OptionForm.h"

namespace orvello {

TCALLUS_OptForm::TCALLUS_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog(
          {SlotCallus, "CALLUS_OptForm", "Callus option", true, true, "Load default", "LoadDefBt"},
          state, host, parent) {
    ROMs = AddPage(QStringLiteral("ROMs"), "ROMs");
    Video = AddPage(QStringLiteral("Video"), "Video");
    Misc = AddPage(QStringLiteral("Misc"), "Misc");
    // Its paths are read back under "CALLUS": the same section, names match whatever their case.
    SetPathsReadSection(QStringLiteral("CALLUS"));
    FinishCreation();
}

}  // namespace orvello
