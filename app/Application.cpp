#include "app/Application.h"

#include "app/Main.h"
#include "options/CALLUS_OptionForm.h"
#include "options/GB_OptionForm.h"
#include "options/GEN_OptionForm.h"
#include "options/GeneCyst_OptionForm.h"
#include "options/KGen_OptionForm.h"
#include "options/MAME_OptionForm.h"
#include "options/NES_OptionForm.h"
#include "options/NLKSNES_OptionForm.h"
#include "options/PCE_OptionForm.h"
#include "options/S9x_OptionForm.h"
#include "options/SMS_OptionForm.h"
#include "options/ZSNES_OptionForm.h"
#include "selector/OnFlyROMSelector.h"

namespace orvello {

namespace {

template <typename Form>
void Create(std::array<OptionDialog*, SlotCount>& dialogs, EmulatorSlot slot, AppState& state,
            UiHost& host, QWidget* owner) {
    dialogs.at(slot) = new Form(state, host, owner);
}

}  // namespace

OrvelloApp::OrvelloApp(UiHost& host, const QString& settingsFolder) {
    main_ = std::make_unique<TMainForm>(state_, host, settingsFolder);
    // The selector and the dialogs belong to the main window and go with it; the selector
    // lists through the main window's archive browser.
    selector_ = new TOnFlyForm(state_, host, main_->Archives(), main_.get());
    QWidget* owner = main_.get();
    Create<TGB_OptForm>(dialogs_, SlotVirtualGameBoy, state_, host, owner);
    Create<TGEN_OptForm>(dialogs_, SlotGenEm, state_, host, owner);
    Create<TPCE_OptForm>(dialogs_, SlotMagicEngine, state_, host, owner);
    Create<TSMS_OptForm>(dialogs_, SlotMassage, state_, host, owner);
    Create<TNES_OptForm>(dialogs_, SlotNESticle, state_, host, owner);
    Create<TGENC_OptForm>(dialogs_, SlotGeneCyst, state_, host, owner);
    Create<TMAME_OptForm>(dialogs_, SlotMAME, state_, host, owner);
    Create<TS9x_OptForm>(dialogs_, SlotSNES9x, state_, host, owner);
    Create<TKGEN_OptForm>(dialogs_, SlotKGen, state_, host, owner);
    Create<TNLKSNES_OptForm>(dialogs_, SlotNLKSNES, state_, host, owner);
    Create<TCALLUS_OptForm>(dialogs_, SlotCallus, state_, host, owner);
    Create<TZSNES_OptForm>(dialogs_, SlotZSNES, state_, host, owner);
    main_->Attach(selector_, dialogs_);
}

OrvelloApp::~OrvelloApp() = default;

}  // namespace orvello
