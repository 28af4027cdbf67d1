// The main window at start-up and exit: reading the settings file, and saving what the
// user set, asking first when it would otherwise be lost.
#include "app/Main.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTabBar>
#include <QTextStream>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

#include "app/About.h"
#include "app/ClickGuard.h"
#include "app/CommandLineField.h"
#include "app/PlayCommand.h"
#include "app/RunnersDialog.h"
#include "app/core/Launch.h"
#include "app/core/LaunchCommand.h"
#include "app/core/PathRules.h"
#include "options/OptionDialog.h"
#include "platform/ProcessLaunch.h"
#include "platform/Trash.h"
#include "platform/pe/ProgramKind.h"
#include "selector/OnFlyROMSelector.h"
#include "selector/SelectorNames.h"

namespace orvello {

namespace {

const QString Common = QStringLiteral("Common");

}  // namespace

// --- Start-up and exit --------------------------------------------------------------------

void TMainForm::showEvent(QShowEvent* event) {
    if (!created_ && !event->spontaneous()) {
        created_ = true;
        FormCreate();
    }
    QMainWindow::showEvent(event);
}

void TMainForm::FormCreate() {
    // The hint handler (ShowHintInStatus) is this window's status-tip event, always on.
    {
        IniFile ini(SettingsPath());
        LoadEmulatorSections(ini);
        ReadCommon(ini);
    }
    descriptions_.emplace(DescriptionPath());

    UpdateGetRomButton();
    PointSelectorToGamesDir();
    SetSelectorFilter();

    state_.AutoPreview = FileAutoPreview->isChecked();
    if (state_.AutoPreview) state_.ShowPreview = false;

    selector_->ApplyPreviewPanel();
    selector_->UpdatePreviewButton();

    FillFields();
}

void TMainForm::LoadEmulatorSections(IniFile& ini) {
    for (EmulatorSlot slot : SettingsOrder) {
        OptionDialog* dialog = dialogs_.at(slot);
        dialog->LoadOptions(ini);
        dialog->BuildSwitches();
        state_.Switches.at(slot) = dialog->GetSwitches();
        state_.SwitchPathsOf.at(slot) = dialog->GetSwitchPaths();
        RememberSaved(slot);
    }
}

void TMainForm::RememberSaved(EmulatorSlot slot) {
    saved_.at(slot) = {state_.EmuPath.at(slot), state_.GamesDir.at(slot), state_.RunWith.at(slot),
                       state_.Switches.at(slot)};
}

std::vector<std::pair<EmulatorSlot, QStringList>> TMainForm::UnsavedChanges() const {
    std::vector<std::pair<EmulatorSlot, QStringList>> changes;
    for (EmulatorSlot slot = 0; slot < SlotCount; ++slot) {
        const SavedSlot& saved = saved_.at(slot);
        QStringList what;
        if (saved.emuPath != state_.EmuPath.at(slot)) what << QStringLiteral("emulator path");
        if (saved.gamesDir != state_.GamesDir.at(slot)) what << QStringLiteral("games folder");
        if (saved.runner != state_.RunWith.at(slot)) what << QStringLiteral("runner");
        if (saved.switches != state_.Switches.at(slot)) what << QStringLiteral("options");
        if (!what.isEmpty()) changes.emplace_back(slot, what);
    }
    return changes;
}

bool TMainForm::ConfirmUnsavedSettings() {
    // What is typed into the fields counts as set.
    CommitEmuPath();
    CommitGamesDir();
    if (FileSaveAlloption->isChecked()) return true;  // everything is saved on exit
    const auto changes = UnsavedChanges();
    if (changes.empty()) return true;
    QStringList lines;
    for (const auto& [slot, what] : changes)
        lines << QStringLiteral("%1: %2").arg(QString::fromUtf8(Slots.at(slot).tabCaption),
                                              what.join(QStringLiteral(", ")));
    const SaveChoice choice = host_.AskSave(
        QStringLiteral("Save the emulator settings you changed?"), lines.join(QLatin1Char('\n')));
    if (choice == SaveChoice::Cancel) return false;
    if (choice == SaveChoice::DontSave) return true;
    try {
        IniFile ini(SettingsPath());
        for (const auto& [slot, what] : changes) {
            dialogs_.at(slot)->SaveOptions(ini);
            RememberSaved(slot);
        }
    } catch (const SettingsWriteError& e) {
        host_.Error(e.Text());
        return false;  // nothing is lost: the program stays open
    }
    return true;
}

void TMainForm::ReadCommon(const IniFile& ini) {
    FileSaveExtracted->setChecked(ini.ReadBoolean(Common, QStringLiteral("Save ROMs"), false));
    const int x = ini.ReadInteger(Common, QStringLiteral("X"), -1);
    const int y = ini.ReadInteger(Common, QStringLiteral("Y"), -1);
    move(x, y);
    const int onFlyX = ini.ReadInteger(Common, QStringLiteral("OnFly_X"), -1);
    const int onFlyY = ini.ReadInteger(Common, QStringLiteral("OnFly_Y"), -1);
    selector_->move(onFlyX, onFlyY);
    selector_->SetInfoType(ini.ReadInteger(Common, QStringLiteral("Info type"), InfoReport));
    FileAutoPreview->setChecked(ini.ReadBoolean(Common, QStringLiteral("AutoPreview"), true));
    state_.ShowPreview = ini.ReadBoolean(Common, QStringLiteral("Show preview"), true);
    state_.Runners = ReadRunnerSettings(ini);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        if (!ConfirmUnsavedSettings()) {
            event->ignore();
            return;
        }
        closed_ = true;
        FormClose();
    }
    QMainWindow::closeEvent(event);
}

void TMainForm::FormClose() {
    // A write the system refuses ends the sequence with the error box; the program still
    // exits, and the file on disk is the one before the refused write.
    try {
        IniFile ini(SettingsPath());
        if (FileSaveAlloption->isChecked()) {
            for (EmulatorSlot slot : SettingsOrder)
                dialogs_.at(slot)->SaveOptions(ini);
        }
        ini.WriteBoolean(Common, QStringLiteral("Save ROMs"), FileSaveExtracted->isChecked());
        ini.WriteBoolean(Common, QStringLiteral("AutoPreview"), FileAutoPreview->isChecked());
        if (FileSaveGeneralOpt->isChecked()) {
            ini.WriteInteger(Common, QStringLiteral("X"), x());
            ini.WriteInteger(Common, QStringLiteral("Y"), y());
            ini.WriteInteger(Common, QStringLiteral("OnFly_X"), selector_->x());
            ini.WriteInteger(Common, QStringLiteral("OnFly_Y"), selector_->y());
            ini.WriteInteger(Common, QStringLiteral("Info type"), selector_->InfoType());
            ini.WriteBoolean(Common, QStringLiteral("Show preview"), state_.ShowPreview);
        }
    } catch (const SettingsWriteError& e) {
        host_.Error(e.Text());
    }
    descriptions_.reset();
    // The selector is a window of its own; it goes with the program.
    if (selector_) selector_->hide();
}

}  // namespace orvello
