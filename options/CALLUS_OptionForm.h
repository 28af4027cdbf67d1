// The Callus dialog: video mode, resolution, copy methods, frame skip and the save and
// snapshot folders of the Callus arcade emulator. The folders are passed only when they differ
// from the word "Default"; the frame count is not stored and starts at 1 in every run. Its
// switch string follows the game name on the command line.
#pragma once

#include "options/OptionDialog.h"

class QPushButton;

namespace orvello {

class TCALLUS_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TCALLUS_OptForm(AppState& state, UiHost& host, QWidget* parent);

    // The VESA mode counts only while VESA is enabled.
    void DisableVESAClick();
    // The frame count is used only while automatic frame skip is off.
    void AutoFrameClick();
    // Choose the save-game and the snapshot folder.
    void ChooseSaveBtClick();
    void ChoosePCXBtClick();

    QWidget* ROMs;
    QWidget* Video;
    QWidget* Misc;
    QWidget* PentiumGroup;

    QCheckBox* WaitVSync;
    QCheckBox* UseMMX;
    QCheckBox* UseFPUCOPY;
    QCheckBox* DisableVESA;
    RadioGroup* VESAMode;
    QComboBox* ScreenRes;
    QCheckBox* Exclusive;
    QCheckBox* AutoFrame;
    NumberField* Frames;
    QLineEdit* SaveDir;
    QPushButton* ChooseSaveBt;
    QLineEdit* PCXDir;
    QPushButton* ChoosePCXBt;

  protected:
    void Build(SwitchBuilder& s) const override;
    void Refresh() override;
};

}  // namespace orvello
