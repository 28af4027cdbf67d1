// The SNES9x dialog: sound, joystick, frame skip, video mode, ROM format switches, a snapshot
// to load and a cheat code for the SNES9x Super Nintendo emulator. Most switches are given
// only where a value differs from the emulator's own default. The snapshot and the cheat code
// are not stored: they last until the program ends. It opens on "ROMs" the first time.
#pragma once

#include "options/OptionDialog.h"

class QPushButton;

namespace orvello {

class TS9x_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TS9x_OptForm(AppState& state, UiHost& host, QWidget* parent);

    // "Old joy type" is offered only with a joystick.
    void JoyChange();
    // The playback rate and stereo count only with sound on.
    void SoundClick();
    // The snapshot's name and its button work only while "Load snapshot:" is on.
    void EnableSSClick();
    // The code and its type work only while "Active code:" is on.
    void CheatCodeClick();
    // The frame count is used only while automatic frame skip is off.
    void AutoFrameClick();
    // Chooses the snapshot file from the emulator's "snesnaps" folder.
    void LoadSSBtClick();

    QWidget* ControlsPage;
    QWidget* SoundPage;
    QWidget* ROMsPage;
    QWidget* VideoPage;
    QWidget* CheatCodePage;
    QWidget* MiscPage;
    QWidget* SwitchGroup;

    QCheckBox* Sound;
    QComboBox* Playback;
    QCheckBox* Stereo;
    QComboBox* Joy;
    QCheckBox* OldJoy;
    QCheckBox* AutoFrame;
    NumberField* Frames;
    QComboBox* Resolution;
    QComboBox* SkipMethod;
    QCheckBox* TileBased;
    QCheckBox* InterleavedFormat;
    QCheckBox* ForceHiMem;
    QCheckBox* ForceLowMem;
    QCheckBox* EnableSS;
    QLineEdit* SSName;
    QPushButton* LoadSSBt;
    QCheckBox* CheatCode;
    RadioGroup* CodeType;
    QLineEdit* Code;
    QCheckBox* noHDMA;
    QCheckBox* SpeedHacks;
    QCheckBox* Layering;
    QCheckBox* noGUI;
    QCheckBox* FitToScreen;

  protected:
    void Build(SwitchBuilder& s) const override;
    void Refresh() override;
};

}  // namespace orvello
