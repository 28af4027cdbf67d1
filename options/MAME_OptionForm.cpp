#include "options/MAME_OptionForm.h"

namespace orvello {

TMAME_OptForm::TMAME_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog(
          {SlotMAME, "MAME_OptForm", "M.A.M.E. option", true, true, "Load default", "LoadDefBt"},
          state, host, parent) {
    TabSheet1 = AddPage(QStringLiteral("Controls"), "TabSheet1");
    TabSheet2 = AddPage(QStringLiteral("Sound"), "TabSheet2");
    TabSheet4 = AddPage(QStringLiteral("Video"), "TabSheet4");
    TabSheet3 = AddPage(QStringLiteral("Misc"), "TabSheet3");
    FinishCreation();
}

}  // namespace orvello
