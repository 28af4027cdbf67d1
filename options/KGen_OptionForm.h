// The KGen dialog: region, sound and frame-skip switches of the KGen Mega Drive emulator.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TKGEN_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TKGEN_OptForm(AppState& state, UiHost& host, QWidget* parent);

    // Enables the region list exactly when "Auto detect" is cleared.
    void AutoDetectClick();
    // The range check of Frames: 1 to 4.
    void FramesExit();

    QWidget* TabSheet1;
    QWidget* ROMs;
    QWidget* TabSheet2;

    QCheckBox* AutoDetect;
    QComboBox* ROMType;
    QCheckBox* noSound;
    NumberField* Frames;

  protected:
    void Build(SwitchBuilder& s) const override;
    void Refresh() override { AutoDetectClick(); }
};

}  // namespace orvello
