// The NLKSNES dialog: joystick, sound-skip mode, frames, cycles, delay and IRQ switches of the
// NLKSNES Super Nintendo emulator. It has no creation handler and no dependencies between
// controls: until the settings are read, its controls keep their designed state.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TNLKSNES_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TNLKSNES_OptForm(AppState& state, UiHost& host, QWidget* parent);

    // The range checks of the three number fields.
    void FramesExit();
    void DelayExit();
    void CyclesExit();

    QWidget* Controls;
    QWidget* Sound;
    QWidget* Video;

    QCheckBox* EnableJoy;
    QComboBox* SPCSkipMode;
    NumberField* Frames;
    NumberField* Cycles;
    NumberField* Delay;
    QCheckBox* noIRQ;

  protected:
    void Build(SwitchBuilder& s) const override;
};

}  // namespace orvello
