#include "options/GB_OptionForm.h"

#include <QPushButton>

namespace orvello {

namespace {

// The background field holding exactly this adds no switch.
constexpr QLatin1String Default("Default");

}  // namespace

TGB_OptForm::TGB_OptForm(AppState& state, UiHost& host, QWidget* parent)
    : OptionDialog({SlotVirtualGameBoy, "GB_OptForm", "GameBoy option", true, true, "Load default",
                    "LoadDefBt"},
                   state, host, parent) {
    GB_Controls = AddPage(QStringLiteral("Controls"), "GB_Controls");
    TabSheet2 = AddPage(QStringLiteral("Sound"), "TabSheet2");
    TabSheet3 = AddPage(QStringLiteral("ROMs"), "TabSheet3");
    TabSheet4 = AddPage(QStringLiteral("Video"), "TabSheet4");
    TabSheet5 = AddPage(QStringLiteral("Cheat code"), "TabSheet5");
    TabSheet1 = AddPage(QStringLiteral("Misc"), "TabSheet1");

    AutoA = AddCheckBox(GB_Controls, "AutoA", QStringLiteral("Autofire A"));
    AutoB = AddCheckBox(GB_Controls, "AutoB", QStringLiteral("Autofire B"));
    SwapBt = AddRadioGroup(GB_Controls, "SwapBt", QStringLiteral("Swap button:"),
                           {QStringLiteral("Off"), QStringLiteral("Joy"), QStringLiteral("Key"),
                            QStringLiteral("Both")});

    Sound = AddList(TabSheet2, "Sound", QStringLiteral("Mode:"),
                    {QStringLiteral("No sound"), QStringLiteral("Adlib")});
    Stereo =
        AddList(TabSheet2, "Stereo", QStringLiteral("Stereo:"),
                {QStringLiteral("Mono"), QStringLiteral("Normal"), QStringLiteral("Reversed")});
    Volume = AddSlider(TabSheet2, "Volume", QStringLiteral("Volume:"), 0, 15);
    Volume->setPageStep(5);
    Volume->setTickPosition(QSlider::TicksBelow);
    Volume->setTickInterval(15);  // one tick at each end

    CRC_Control = AddCheckBox(TabSheet3, "CRC_Control", QStringLiteral("CRC control"));

    VideoMode = AddList(
        TabSheet4, "VideoMode", QStringLiteral("&Video mode:"),
        {QStringLiteral("320x200 with title screen"),
         QStringLiteral("320x200 without title screen"), QStringLiteral("360x144 full screen mode"),
         QStringLiteral("180x144 full screen mode"), QStringLiteral("256x200 with title screen"),
         QStringLiteral("256x200 without title screen")});
    VideoMode->setMaxVisibleItems(4);
    Button1 = AddButton(TabSheet4, "Button1", QStringLiteral("Choose background:"));
    BackGround = AddTextField(TabSheet4, "BackGround", QString());
    BackGround->setReadOnly(true);
    BackGround->setAccessibleName(QStringLiteral("Background"));

    GGActive = AddCheckBox(TabSheet5, "GGActive", QStringLiteral("Active Game Genie code:"));
    GGCode = AddTextField(TabSheet5, "GGCode", QString());
    GGCode->setAccessibleName(QStringLiteral("Game Genie code"));

    Delay = AddCheckBox(TabSheet1, "Delay", QStringLiteral("Active delay"));
    VPeriod = AddNumberField(TabSheet1, "VPeriod", QStringLiteral("VBlank period:"), 1000, 32000,
                             10000, "UpDown2");
    VPeriod->Spinner()->SetIncrement(100);
    UPeriod =
        AddNumberField(TabSheet1, "UPeriod", QStringLiteral("Update period:"), 0, 10, 0, "UpDown3");
    IFreq =
        AddNumberField(TabSheet1, "IFreq", QStringLiteral("IFreq period:"), 0, 100, 60, "UpDown1");

    // Control         INI key         Read as               Load default
    Option(VPeriod, "VPeriod", AsInteger{10000}, "10000");
    Option(UPeriod, "UPeriod", AsInteger{0}, "0");
    Option(IFreq, "IFreq", AsInteger{60}, "60");
    // A stored position outside 0 to 15 is pulled to the nearer end by the slider.
    Option(Volume, "Volume", AsInteger{10}, 10);
    Option(CRC_Control, "CRC", AsBoolean{true}, true);
    Option(Delay, "Delay", AsBoolean{true}, true);
    Option(Sound, "Sound", AsInteger{1}, 1);
    Option(Stereo, "Stereo", AsInteger{1}, 1);
    Option(AutoA, "AutoA", AsBoolean{false}, false);
    Option(AutoB, "AutoB", AsBoolean{false}, false);
    Option(SwapBt, "Swap button", AsInteger{0}, 0);
    Option(VideoMode, "Video", AsInteger{0}, 0);
    Option(BackGround, "BackGround", AsText{Default}, QString(Default));
    Option(GGActive, NotStored, false);
    // The code outlives "Load default", which only hides it.
    Option(GGCode, NotStored, NotReset);
    LoadDefaultOrder({IFreq, VPeriod, UPeriod, Volume, CRC_Control, Delay, Sound, Stereo, AutoA,
                      AutoB, SwapBt, VideoMode, GGActive, BackGround});

    OnChange(Sound, &TGB_OptForm::SoundClick);
    connect(Volume, &QSlider::valueChanged, this, &TGB_OptForm::VolumeChange);
    OnClick(GGActive, &TGB_OptForm::GGActiveClick);
    OnExit(IFreq, &TGB_OptForm::IFreqExit);
    OnExit(VPeriod, &TGB_OptForm::VPeriodExit);
    OnExit(UPeriod, &TGB_OptForm::UPeriodExit);
    connect(Button1, &QPushButton::clicked, this, &TGB_OptForm::Button1Click);
    FinishCreation();
}

void TGB_OptForm::Build(SwitchBuilder& s) const {
    if (!CRC_Control->isChecked()) s.Add(" -nocrc");
    if (!Delay->isChecked()) s.Add(" -nodelay");
    // The disabled stereo and volume still count while there is no sound.
    if (Sound->currentIndex() != 1) s.AddNumber(" -sound ", Sound->currentIndex());
    if (Stereo->currentIndex() != 1) s.AddNumber(" -stereo ", Stereo->currentIndex());
    if (AutoA->isChecked()) s.Add(" -autoa 1");
    if (AutoB->isChecked()) s.Add(" -autob 1");
    if (SwapBt->ItemIndex() != 0) s.AddNumber(" -swapbuttons ", SwapBt->ItemIndex());
    if (s.Value(VPeriod) != 10000) s.Add(" -vperiod " + VPeriod->text());
    if (s.Value(UPeriod) != 0) s.Add(" -uperiod " + UPeriod->text());
    if (s.Value(IFreq) != 60) s.Add(" -ifreq " + IFreq->text());
    if (Volume->value() != 10) s.AddNumber(" -volume ", Volume->value());
    if (VideoMode->currentIndex() != 0) s.AddNumber(" -video ", VideoMode->currentIndex());
    if (GGActive->isChecked()) s.Add(" -cheat " + GGCode->text());
    if (BackGround->text() != Default) {
        s.Add(" -background ");
        s.AddPath(BackGround->text());
    }
}

void TGB_OptForm::SoundClick() {
    const bool sound = Sound->currentIndex() != 0;
    Stereo->setEnabled(sound);
    Volume->setEnabled(sound);
}

void TGB_OptForm::VolumeChange() {
    const QString hint = QStringLiteral("Volume: %1").arg(Volume->value());
    Volume->setToolTip(hint);
    Volume->setAccessibleDescription(hint);
}

void TGB_OptForm::GGActiveClick() {
    GGCode->setVisible(GGActive->isChecked());
}

void TGB_OptForm::IFreqExit() {
    CheckRange(IFreq, 0, 100, QStringLiteral("Value must between 0 and 100"));
}

void TGB_OptForm::VPeriodExit() {
    CheckRange(VPeriod, 1000, 32000, QStringLiteral("Value must between 1000 and 32000"));
}

void TGB_OptForm::UPeriodExit() {
    CheckRange(UPeriod, 0, 10, QStringLiteral("Value must between 0 and 10"));
}

void TGB_OptForm::Button1Click() {
    ChooseFile(BackGround,
               {QStringLiteral("Select a GIF file for background"),
                QStringLiteral("Background file|*.gif"), QString()},
               false, false);
}

}  // namespace orvello
