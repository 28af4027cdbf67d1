// The ZSNES dialog: controllers, sound, ROM mapping, video mode and frame skip of the ZSNES
// Super Nintendo emulator. Its switch string always holds both controllers, the video mode
// and a closing " -e", and starts with its first switch, without a blank. It has no creation
// handler: until the settings are read, its controls keep their designed state.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TZSNES_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TZSNES_OptForm(AppState& state, UiHost& host, QWidget* parent);

    // Stereo, 8 bit and the playback level count only with sound on.
    void SoundClick();
    // With sound on, stereo is offered only while 8 bit is off.
    void OttobitClick();
    // The frame count is used only while automatic frame skip is off.
    void AutoFrameClick();
    // Fit to screen, interpolation and scan lines exist only in some video modes.
    void ResolutionChange();

    QWidget* ControlsPage;
    QWidget* SoundPage;
    QWidget* ROMsPage;
    QWidget* VideoPage;
    QWidget* MiscPage;

    QComboBox* ControlP1;
    QComboBox* ControlP2;
    QCheckBox* Sound;
    QCheckBox* Ottobit;
    QCheckBox* Stereo;
    QComboBox* Playback;
    QCheckBox* ForceHiROM;
    QCheckBox* ForceLoROM;
    QComboBox* Resolution;
    QCheckBox* AutoFrame;
    NumberField* Frames;
    QCheckBox* Interpolation;
    QCheckBox* FitToScreen;
    QCheckBox* Scanlines;
    QCheckBox* noGUI;
    QCheckBox* VSync;

  protected:
    void Build(SwitchBuilder& s) const override;
    void Refresh() override;
};

}  // namespace orvello
