#include "options/SMS_OptionForm.h"

namespace orvello {

TSMS_OptForm::TSMS_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog(
          {SlotMassage, "SMS_OptForm", "Massage option", true, true, "Load default", "LoadDefBt"},
          state, host, parent) {
    TabSheet1 = AddPage(QStringLiteral("Controls"), "TabSheet1");
    TabSheet2 = AddPage(QStringLiteral("Sound"), "TabSheet2");
    TabSheet4 = AddPage(QStringLiteral("Video"), "TabSheet4");
    TabSheet5 = AddPage(QStringLiteral("Misc"), "TabSheet5");
    FinishCreation();
}

}  // namespace orvello
