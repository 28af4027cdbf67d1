// The NESticle dialog: player inputs, button swap, vertical sync, sound card and start mode of
// the NESticle NES emulator.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TNES_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TNES_OptForm(AppState& state, UiHost& host, QWidget* parent);

    // "Swap button" is enabled exactly when a player uses a joystick; then player 1 is moved
    // off player 2's keyboard or joystick.
    void Input1Change();
    // The same with the two players exchanged.
    void Input2Change();

    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;

    QComboBox* Input1;
    QComboBox* Input2;
    QCheckBox* SwapButton;
    QCheckBox* WaitVSync;
    QComboBox* Sound;
    RadioGroup* LoadROM;

  protected:
    void Build(SwitchBuilder& s) const override;
    // The input rules run when the dialog is shown and after "Load default", and may move a
    // player off a device the other one already uses.
    void Refresh() override {
        Input1Change();
        Input2Change();
    }

  private:
    void EnableSwapButton();
};

}  // namespace orvello
