// The option dialog of the Callus arcade emulator. It carries the slot's emulator path and games
// folder through its settings section; its own option controls are not built yet, so its
// switch string is empty.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TCALLUS_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TCALLUS_OptForm(AppState& state, UiHost& host, QWidget* parent);

    QWidget* ROMs;
    QWidget* Video;
    QWidget* Misc;
};

}  // namespace orvello
