// The option dialog of the NLKSNES Super Nintendo emulator. It carries the slot's emulator path and
// games folder through its settings section; its own option controls are not built yet, so its
// switch string is empty.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TNLKSNES_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TNLKSNES_OptForm(AppState& state, UiHost& host, QWidget* parent);

    QWidget* Controls;
    QWidget* Sound;
    QWidget* Video;
};

}  // namespace orvello
