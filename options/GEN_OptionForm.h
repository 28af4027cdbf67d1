// The GenEm dialog: region, Z80, video, sound, joystick and frame-skip switches of the GenEm
// Mega Drive emulator.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TGEN_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TGEN_OptForm(AppState& state, UiHost& host, QWidget* parent);

    // "Calibrate" is enabled exactly when "Use joystick" is checked.
    void JoystickClick();
    // The range check of Frames: 1 to 10.
    void FramesExit();

    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    QWidget* TabSheet5;

    QComboBox* ROMType;
    QCheckBox* DisableZ80;
    QCheckBox* ModeX;
    QCheckBox* Sound;
    QCheckBox* Joystick;
    NumberField* Frames;
    // Follows the joystick box only; it adds no switch and is not kept.
    QCheckBox* Calib;

  protected:
    void Build(SwitchBuilder& s) const override;
    void Refresh() override { JoystickClick(); }
};

}  // namespace orvello
