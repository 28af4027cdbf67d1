#include "options/GB_OptionForm.h"

namespace orvello {

TGB_OptForm::TGB_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog({SlotVirtualGameBoy, "GB_OptForm", "GameBoy option", true, true, "Load default",
                    "LoadDefBt"},
                   state, host, parent) {
    GB_Controls = AddPage(QStringLiteral("Controls"), "GB_Controls");
    TabSheet2 = AddPage(QStringLiteral("Sound"), "TabSheet2");
    TabSheet3 = AddPage(QStringLiteral("ROMs"), "TabSheet3");
    TabSheet4 = AddPage(QStringLiteral("Video"), "TabSheet4");
    TabSheet5 = AddPage(QStringLiteral("Cheat code"), "TabSheet5");
    TabSheet1 = AddPage(QStringLiteral("Misc"), "TabSheet1");
    FinishCreation();
}

}  // namespace orvello
