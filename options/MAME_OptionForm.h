// The M.A.M.E. dialog: controller, mouse, sound card, video mode, frame skip and the misc
// switches of the M.A.M.E. arcade emulator. List items are passed as their index; the video
// block is passed only when a VESA mode is chosen; anti-aliasing is always passed, on or off.
// Its switch string follows the game name on the command line.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TMAME_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TMAME_OptForm(AppState& state, UiHost& host, QWidget* parent);

    // FM is offered only with a sound card.
    void SoundcardChange();
    // The resolution is offered only for a chosen VESA mode, pixel doubling for any mode.
    void VesaModeChange();
    // The range check of Frames: 0 to 3.
    void FramesExit();

    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet4;
    QWidget* TabSheet3;

    QCheckBox* noScanlines;
    QCheckBox* VSync;
    QComboBox* Control;
    QCheckBox* Mouse;
    QCheckBox* FM;
    QComboBox* Soundcard;
    QCheckBox* noPixelDouble;
    QComboBox* VesaMode;
    QComboBox* ScreenRes;
    NumberField* Frames;
    QCheckBox* Dir4Alg;
    QCheckBox* Cheat;
    QCheckBox* AntiAliasing;

  protected:
    void Build(SwitchBuilder& s) const override;
    void Refresh() override;
};

}  // namespace orvello
