#include "options/GeneCyst_OptionForm.h"

namespace orvello {

TGENC_OptForm::TGENC_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog({SlotGeneCyst, "GENC_OptForm", "GeneCyst option", true, true, "Load default",
                    "LoadDefBt"},
                   state, host, parent) {
    TabSheet1 = AddPage(QStringLiteral("Controls"), "TabSheet1");
    TabSheet2 = AddPage(QStringLiteral("Sound"), "TabSheet2");
    TabSheet3 = AddPage(QStringLiteral("ROMs"), "TabSheet3");
    TabSheet7 = AddPage(QStringLiteral("Video"), "TabSheet7");
    TabSheet4 = AddPage(QStringLiteral("Misc"), "TabSheet4");
    FinishCreation();
}

}  // namespace orvello
