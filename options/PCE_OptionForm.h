// The option dialog of the Magic Engine PC Engine emulator. It carries the slot's emulator path and
// games folder through its settings section; its own option controls are not built yet, so its
// switch string is empty.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TPCE_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TPCE_OptForm(AppState& state, UiHost& host, QWidget* parent);

    QWidget* PCE_Controls;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
};

}  // namespace orvello
