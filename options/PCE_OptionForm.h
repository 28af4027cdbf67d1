// The Magic Engine dialog: ROM, sound, joystick, CD and SuperGrafx switches of the Magic Engine
// PC Engine emulator. The two ROM boxes exclude each other.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TPCE_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TPCE_OptForm(AppState& state, UiHost& host, QWidget* parent);

    // "Splitted ROM" is enabled exactly when "Decript USA card" is cleared.
    void RomUSAClick();
    // "Decript USA card" is enabled exactly when "Splitted ROM" is cleared.
    void RomSplitClick();

    QWidget* PCE_Controls;
    QWidget* TabSheet2;
    QWidget* TabSheet3;

    QCheckBox* RomUSA;
    QCheckBox* RomSplit;
    QCheckBox* noSound;
    QCheckBox* noJoystick;
    QCheckBox* CDStart;
    QCheckBox* SGX;

  protected:
    void Build(SwitchBuilder& s) const override;
    void Refresh() override {
        RomUSAClick();
        RomSplitClick();
    }
};

}  // namespace orvello
