// The program's windows, created in their fixed order: the main window, the ROM selector,
// then the twelve option dialogs. It owns the shared state they all use.
#pragma once

#include <QString>

#include <array>
#include <memory>

#include "app/core/GlobalVar.h"
#include "app/core/Host.h"

namespace orvello {

class OptionDialog;
class TMainForm;
class TOnFlyForm;

class OrvelloApp {
  public:
    OrvelloApp(UiHost& host, const QString& settingsFolder);
    ~OrvelloApp();

    AppState& State() { return state_; }
    TMainForm* MainForm() const { return main_.get(); }
    TOnFlyForm* OnFlyForm() const { return selector_; }
    // The option dialog of a slot.
    OptionDialog* Dialog(EmulatorSlot slot) const { return dialogs_.at(slot); }

  private:
    AppState state_;
    std::unique_ptr<TMainForm> main_;
    TOnFlyForm* selector_ = nullptr;
    std::array<OptionDialog*, SlotCount> dialogs_{};
};

}  // namespace orvello
