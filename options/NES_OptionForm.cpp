#include "options/NES_OptionForm.h"

namespace orvello {

TNES_OptForm::TNES_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog({SlotNESticle, "NES_OptForm", "NESticle option", true, true, "&Load default",
                    "NES_LoadDefBt"},
                   state, host, parent) {
    TabSheet1 = AddPage(QStringLiteral("Controls"), "TabSheet1");
    TabSheet2 = AddPage(QStringLiteral("Sound"), "TabSheet2");
    TabSheet3 = AddPage(QStringLiteral("ROMs"), "TabSheet3");
    TabSheet4 = AddPage(QStringLiteral("Misc"), "TabSheet4");
    FinishCreation();
}

}  // namespace orvello
