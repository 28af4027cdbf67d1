// The option dialog of the M.A.M.E. arcade emulator. It carries the slot's emulator path and games
// folder through its settings section; its own option controls are not built yet, so its
// switch string is empty.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TMAME_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TMAME_OptForm(AppState& state, UiHost& host, QWidget* parent);

    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet4;
    QWidget* TabSheet3;
};

}  // namespace orvello
