// The Massage dialog: control type, line interrupt, region, sound, screen and frame-skip
// switches of the Massage Master System and Game Gear emulator. Its switches begin with "/",
// and the frame switch is always given.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TSMS_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TSMS_OptForm(AppState& state, UiHost& host, QWidget* parent);

    // "Button swap" is enabled exactly when the control type is "P1 joy / P2 keys".
    void JoyChange();
    // The range check of Frames: 1 to 10.
    void FramesExit();

    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet4;
    QWidget* TabSheet5;

    QComboBox* Joy;
    QCheckBox* ButtonSwap;
    QComboBox* LineIntr;
    QCheckBox* JapanROM;
    QCheckBox* noFM;
    QCheckBox* noStereo;
    QCheckBox* BigScreen;
    NumberField* Frames;

  protected:
    void Build(SwitchBuilder& s) const override;
    void Refresh() override { JoyChange(); }
};

}  // namespace orvello
