// The option dialog of the ZSNES Super Nintendo emulator. It carries the slot's emulator path and
// games folder through its settings section; its own option controls are not built yet, so its
// switch string is empty.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TZSNES_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TZSNES_OptForm(AppState& state, UiHost& host, QWidget* parent);

    QWidget* Controls;
    QWidget* Sound;
    QWidget* ROMs;
    QWidget* Video;
    QWidget* Misc;
};

}  // namespace orvello
