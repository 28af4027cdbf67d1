#include "options/GEN_OptionForm.h"

namespace orvello {

TGEN_OptForm::TGEN_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog(
          {SlotGenEm, "GEN_OptForm", "GenEm option", true, true, "&Load default", "GEN_LoadDefBt"},
          state, host, parent) {
    TabSheet1 = AddPage(QStringLiteral("Controls"), "TabSheet1");
    TabSheet2 = AddPage(QStringLiteral("Sound"), "TabSheet2");
    TabSheet3 = AddPage(QStringLiteral("ROMs"), "TabSheet3");
    TabSheet4 = AddPage(QStringLiteral("Video"), "TabSheet4");
    TabSheet5 = AddPage(QStringLiteral("Misc"), "TabSheet5");
    FinishCreation();
}

}  // namespace orvello
