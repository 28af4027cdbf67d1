// The option dialog of the SNES9x Super Nintendo emulator. It carries the slot's emulator path and
// games folder through its settings section; its own option controls are not built yet, so its
// switch string is empty.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TS9x_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TS9x_OptForm(AppState& state, UiHost& host, QWidget* parent);

    QWidget* Controls;
    QWidget* Sound;
    QWidget* ROMs;
    QWidget* Video;
    QWidget* CheatCodePage;
    QWidget* Misc;
};

}  // namespace orvello
