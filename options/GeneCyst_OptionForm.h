// The GeneCyst dialog: player inputs, sound, Pentium, Z80, VESA, screen and folder switches of
// the GeneCyst Mega Drive emulator. Every string ends with " -run ".
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TGENC_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TGENC_OptForm(AppState& state, UiHost& host, QWidget* parent);

    // Player 1 is moved off player 2's keyboard or joystick.
    void Input1Change();
    // Player 2 is moved off player 1's keyboard or joystick.
    void Input2Change();
    // "Disable FM" and "Disable DAC" are enabled exactly when "Active sound" is checked.
    void SoundClick();
    // "Fake Z80" is enabled exactly when "Disable Z80" is cleared.
    void noZ80Click();
    // The VESA mode is enabled exactly when "Disable VESA" is cleared.
    void noVESAClick();
    // The folder browser for the save-game folder and for the snapshot folder.
    void ChooseSaveBtClick();
    void ChoosePCXBtClick();

    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet7;
    QWidget* TabSheet4;

    QComboBox* Input1;
    QComboBox* Input2;
    QCheckBox* WaitVSync;
    QCheckBox* Sound;
    QCheckBox* NoFM;
    QCheckBox* NoDAC;
    QCheckBox* UseRDTSC;
    QCheckBox* UseFPUCOPY;
    QCheckBox* noZ80;
    QCheckBox* FakeZ80;
    QCheckBox* noVESA;
    RadioGroup* VESAMode;
    QComboBox* ScreenRes;
    QCheckBox* HideGUI;
    QCheckBox* Exclusive;
    QLineEdit* SaveDir;
    QLineEdit* PCXDir;
    QCheckBox* noLongFileName;
    QPushButton* ChooseSaveBt;
    QPushButton* ChoosePCXBt;

  protected:
    void Build(SwitchBuilder& s) const override;
    // Runs when the dialog is shown and after "Load default"; the input rules may move a
    // player off a device the other one already uses.
    void Refresh() override;
};

}  // namespace orvello
