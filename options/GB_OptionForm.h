// The option dialog of the Virtual GameBoy emulator. It carries the slot's emulator path and games
// folder through its settings section; its own option controls are not built yet, so its
// switch string is empty.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TGB_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TGB_OptForm(AppState& state, UiHost& host, QWidget* parent);

    QWidget* GB_Controls;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    QWidget* TabSheet5;
    QWidget* TabSheet1;
};

}  // namespace orvello
