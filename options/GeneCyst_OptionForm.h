// The option dialog of the GeneCyst Mega Drive emulator. It carries the slot's emulator path and
// games folder through its settings section; its own option controls are not built yet, so its
// switch string is empty.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TGENC_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TGENC_OptForm(AppState& state, UiHost& host, QWidget* parent);

    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet7;
    QWidget* TabSheet4;
};

}  // namespace orvello
