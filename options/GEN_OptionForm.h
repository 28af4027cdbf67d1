// The option dialog of the GenEm Mega Drive emulator. It carries the slot's emulator path and games
// folder through its settings section; its own option controls are not built yet, so its
// switch string is empty.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TGEN_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TGEN_OptForm(AppState& state, UiHost& host, QWidget* parent);

    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    QWidget* TabSheet5;
};

}  // namespace orvello
