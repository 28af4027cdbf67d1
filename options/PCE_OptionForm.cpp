#include "options/PCE_OptionForm.h"

namespace orvello {

TPCE_OptForm::TPCE_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog({SlotMagicEngine, "PCE_OptForm", "PC Engine option", true, false,
                    "&Load default", "LoadDefBt"},
                   state, host, parent) {
    PCE_Controls = AddPage(QStringLiteral("Controls"), "PCE_Controls");
    TabSheet2 = AddPage(QStringLiteral("Sound"), "TabSheet2");
    TabSheet3 = AddPage(QStringLiteral("ROMs"), "TabSheet3");
    FinishCreation();
}

}  // namespace orvello
