// The Virtual GameBoy dialog: check, delay, sound, autofire, button, timing, volume, video,
// cheat and background switches of the Virtual GameBoy emulator. Most switches are given only
// when their value differs from the one "Load default" sets.
#pragma once

#include "options/OptionDialog.h"

namespace orvello {

class TGB_OptForm : public OptionDialog {
    Q_OBJECT

  public:
    TGB_OptForm(AppState& state, UiHost& host, QWidget* parent);

    // "Stereo:" and "Volume:" are enabled exactly when the mode is not "No sound".
    void SoundClick();
    // The volume's hint names its position.
    void VolumeChange();
    // The Game Genie code is visible exactly when "Active Game Genie code:" is checked.
    void GGActiveClick();
    // The range checks of the three timing fields.
    void IFreqExit();
    void VPeriodExit();
    void UPeriodExit();
    // Chooses the background picture.
    void Button1Click();

    QWidget* GB_Controls;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    QWidget* TabSheet5;
    QWidget* TabSheet1;

    QCheckBox* CRC_Control;
    QCheckBox* Delay;
    QComboBox* Sound;
    QComboBox* Stereo;
    QCheckBox* AutoA;
    QCheckBox* AutoB;
    RadioGroup* SwapBt;
    NumberField* VPeriod;
    NumberField* UPeriod;
    NumberField* IFreq;
    QSlider* Volume;
    QComboBox* VideoMode;
    QCheckBox* GGActive;
    // The chosen background file, or "Default"; filled only by Button1.
    QLineEdit* BackGround;
    QLineEdit* GGCode;
    QPushButton* Button1;

  protected:
    void Build(SwitchBuilder& s) const override;
    void Refresh() override {
        SoundClick();
        VolumeChange();
        GGActiveClick();
    }
};

}  // namespace orvello
