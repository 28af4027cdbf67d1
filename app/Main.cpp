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
#include "app/core/ArchiveBrowser.h"
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

const QString Description = QStringLiteral("Description");

// The same folder for the file system, whatever way the two paths spell it.
bool SameFolder(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty()) return ca == cb;
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

}  // namespace

void TMainForm::Attach(TOnFlyForm* selector, const std::array<OptionDialog*, SlotCount>& dialogs) {
    selector_ = selector;
    dialogs_ = dialogs;
    for (OptionDialog* dialog : dialogs_)
        dialog->SetChosenMember([this] { return ChosenMember(); });
}

std::optional<std::string> TMainForm::ChosenMember() const {
    std::string raw = archives_->ChosenMemberRawName();
    if (raw.empty()) return std::nullopt;
    return raw;
}

QString TMainForm::SettingsPath() const {
    return settingsFolder_ + QLatin1Char('/') + QLatin1String(SettingsFileName);
}

QString TMainForm::DescriptionPath() const {
    return settingsFolder_ + QLatin1Char('/') + QLatin1String(DescriptionFileName);
}

// --- Tabs and fields ----------------------------------------------------------------------

bool TMainForm::CommitEmuPath() {
    if (!EmuPath->isModified()) return true;
    const QString text = EmuPath->text();
    if (!text.isEmpty() && !QFileInfo(text).isFile()) {
        host_.Error(QStringLiteral("Path to EXE doesn't exist"));
        EmuPath->setText(state_.EmuPath.at(state_.CurrentSlot));
        EmuPath->setFocus(Qt::OtherFocusReason);
        return false;
    }
    state_.EmuPath.at(state_.CurrentSlot) = text;
    EmuPath->setModified(false);
    EmuPath->setToolTip(HowStarted());
    UpdateCommandLine();
    return true;
}

bool TMainForm::CommitGamesDir() {
    if (!GamesDir->isModified()) return true;
    const QString text = GamesDir->text();
    if (!text.isEmpty() && !QFileInfo(text).isDir()) {
        host_.Error(QStringLiteral("Path to game directory doesn't exist"));
        GamesDir->setText(state_.GamesDir.at(state_.CurrentSlot));
        GamesDir->setFocus(Qt::OtherFocusReason);
        return false;
    }
    state_.GamesDir.at(state_.CurrentSlot) = text;
    GamesDir->setModified(false);
    return true;
}

bool TMainForm::EmuListChanging() {
    return CommitEmuPath() && CommitGamesDir();
}

void TMainForm::TabChanged(int index) {
    if (index == state_.CurrentSlot) return;
    if (!EmuListChanging()) {
        const QSignalBlocker blocker(EmuList);
        EmuList->setCurrentIndex(state_.CurrentSlot);
        return;
    }
    EmuListChange();
}

void TMainForm::EmuListChange() {
    EmuPathExit();
    GamesDirExit();
    state_.CurrentSlot = EmuList->currentIndex();
    FillFields();
    PointSelectorToGamesDir();
    SetSelectorFilter();
    selector_->ClearZipList();
    selector_->ShowArchiveViews(!IsGameNameSlot(state_.CurrentSlot));
    UpdateMenus();
    UpdateGetRomButton();
    if (selector_->isVisible()) selector_->raise();
}

void TMainForm::EmuPathExit() {
    CommitEmuPath();
}

void TMainForm::GamesDirExit() {
    if (CommitGamesDir()) UpdateGetRomButton();
}

void TMainForm::FillFields() {
    EmuPath->setText(state_.EmuPath.at(state_.CurrentSlot));
    GamesDir->setText(state_.GamesDir.at(state_.CurrentSlot));
    RunWith->setCurrentIndex(static_cast<int>(state_.RunWith.at(state_.CurrentSlot)));
    EmuPath->setToolTip(HowStarted());
    UpdateCommandLine();
}

QString TMainForm::HowStarted() const {
    const QString path = state_.EmuPath.at(state_.CurrentSlot);
    if (path.isEmpty()) return QString();
    const platform::ProgramKind kind = platform::ProgramKindOf(FileSystemBytes(path));
    return StartedWithText(kind, RunnerFor(state_.RunWith.at(state_.CurrentSlot), kind));
}

void TMainForm::RunWithChange() {
    state_.RunWith.at(state_.CurrentSlot) = RunnerChoiceOf(RunWith->currentIndex());
    EmuPath->setToolTip(HowStarted());
    if (!state_.EmuPath.at(state_.CurrentSlot).isEmpty()) ShowHintInStatus(HowStarted());
    UpdateCommandLine();
}

void TMainForm::FileRunnersClick() {
    RunnersDialog dialog(state_.Runners, host_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    state_.Runners = dialog.Settings();
    // Written at once: the runners are the machine's, not a choice to save on exit.
    try {
        IniFile ini(SettingsPath());
        WriteRunnerSettings(ini, state_.Runners);
    } catch (const SettingsWriteError& e) {
        host_.Error(e.Text());
    }
    UpdateCommandLine();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // Alt+R is the mnemonic of both "Get ROM file" and the "ROMs" menu, so Qt only moves
    // the focus between them. While the menu cannot be opened, the key is the button's.
    if (watched == GetROMBt && event->type() == QEvent::Shortcut &&
        static_cast<QShortcutEvent*>(event)->isAmbiguous() &&
        !ROMsMenu->menuAction()->isEnabled() && GetROMBt->isEnabled()) {
        GetROMBt->animateClick();
        return true;
    }
    if (event->type() == QEvent::FocusOut && (watched == EmuPath || watched == GamesDir)) {
        // Leaving the field for another control of this window, not the window losing
        // activation (to a message box, a menu or another program).
        switch (static_cast<QFocusEvent*>(event)->reason()) {
            case Qt::TabFocusReason:
            case Qt::BacktabFocusReason:
            case Qt::MouseFocusReason:
            case Qt::ShortcutFocusReason:
            case Qt::OtherFocusReason: {
                auto* field = static_cast<QLineEdit*>(watched);
                QWidget* taker = QApplication::focusWidget();
                if (field == EmuPath) {
                    EmuPathExit();
                } else {
                    GamesDirExit();
                }
                // A refused path keeps the focus; the click that tried to take it does nothing.
                if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason &&
                    field->hasFocus() && taker != field) {
                    DropPendingPress(taker);
                }
                break;
            }
            default:
                break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- Toolbar and button -------------------------------------------------------------------

void TMainForm::FindEmuBtClick() {
    OpenFileRequest request;
    request.filter = QStringLiteral("All executable files|*.exe; *.bat");
    request.initialDir = FolderOf(state_.EmuPath.at(state_.CurrentSlot));
    const auto chosen = host_.OpenFile(request);
    if (!chosen) return;
    const platform::ProgramKind kind = platform::ProgramKindOf(FileSystemBytes(*chosen));
    // A file that is there but that nothing can start is refused at once, not at "Play".
    const QFileInfo chosenFile(*chosen);
    if (kind == platform::ProgramKind::Unknown && chosenFile.isFile() &&
        !chosenFile.isExecutable()) {
        host_.Error(QStringLiteral("\"%1\" is not a program Orvello can start: it is neither "
                                   "executable nor a DOS or Windows program.")
                        .arg(*chosen));
        return;
    }
    state_.EmuPath.at(state_.CurrentSlot) = *chosen;
    EmuPath->setText(*chosen);
    EmuPath->setModified(false);
    EmuPath->setToolTip(HowStarted());
    ShowHintInStatus(HowStarted());
    UpdateCommandLine();
}

void TMainForm::FindGamesDirBtClick() {
    GamesDirDialog.Directory = GamesDir->text();
    if (GamesDirDialog.Execute()) {
        state_.GamesDir.at(state_.CurrentSlot) = GamesDirDialog.Directory;
        GamesDir->setText(GamesDirDialog.Directory);
    }
    UpdateGetRomButton();
}

void TMainForm::GetROMBtClick() {
    if (selector_->isVisible()) {
        selector_->raise();
        selector_->activateWindow();
        return;
    }
    PointSelectorToGamesDir();
    SetSelectorFilter();
    selector_->show();
    state_.mailbox.ClearMailbox();
    if (!CheckOnFlyChange->isActive()) CheckOnFlyChange->start();
    // A games folder moved or deleted since it was set: the lists are empty, and why is said.
    const QString games = state_.GamesDir.at(state_.CurrentSlot);
    if (!games.isEmpty() && !QFileInfo(games).isDir()) {
        host_.Error(QStringLiteral("The games folder \"%1\" is gone: it was moved or deleted. "
                                   "Choose another with \"Find games\".")
                        .arg(games));
    }
}

void TMainForm::OpenGivenFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        host_.Error(QStringLiteral("File not found: %1").arg(path));
        return;
    }
    if (!info.isFile()) {
        host_.Error(QStringLiteral("Not a ROM file or an archive: %1").arg(path));
        return;
    }
    // A ROM of another emulator brings up that emulator's tab: the first whose ROM types take
    // it or, for an archive, one of its members. The tab that is up stays when it takes them.
    QStringList names{info.fileName()};
    {
        QString discarded;
        QTextStream quiet(&discarded);
        TerminalArchives archives(quiet);
        if (const auto members = archives.ListMembers(info.absoluteFilePath())) {
            names.clear();
            for (const std::string& member : *members)
                names << QString::fromStdString(member);
        }
    }
    const auto takes = [&](int slot) {
        const QString mask = AppState::RomMask(slot);
        if (mask.isEmpty()) return false;
        const QStringList masks = mask.split(QLatin1Char(';'));
        return std::any_of(names.begin(), names.end(),
                           [&](const QString& name) { return QDir::match(masks, name); });
    };
    if (!takes(state_.CurrentSlot)) {
        for (int slot = 0; slot < SlotCount; ++slot) {
            if (!takes(slot)) continue;
            EmuList->setCurrentIndex(slot);
            break;
        }
    }
    SetSelectorFilter();
    selector_->show();
    state_.mailbox.ClearMailbox();
    if (!CheckOnFlyChange->isActive()) CheckOnFlyChange->start();
    if (!selector_->ChooseFile(info.absoluteFilePath())) {
        host_.Error(QStringLiteral("Not a ROM of %1 or an archive Orvello can open: %2")
                        .arg(QString::fromUtf8(Slots.at(state_.CurrentSlot).tabCaption), path));
    }
}

void TMainForm::CallOptionBtClick() {
    OptionDialog* dialog = dialogs_.at(state_.CurrentSlot);
    if (dialog->exec() == QDialog::Accepted) {
        state_.Switches.at(state_.CurrentSlot) = dialog->GetSwitches();
        state_.SwitchPathsOf.at(state_.CurrentSlot) = dialog->GetSwitchPaths();
        UpdateCommandLine();
    }
}

// --- Menu ---------------------------------------------------------------------------------

void TMainForm::FileSaveOptionClick() {
    try {
        IniFile ini(SettingsPath());
        dialogs_.at(state_.CurrentSlot)->SaveOptions(ini);
        RememberSaved(state_.CurrentSlot);
    } catch (const SettingsWriteError& e) {
        host_.Error(e.Text());
    }
}

void TMainForm::FileAutoPreviewClick() {
    state_.AutoPreview = FileAutoPreview->isChecked();
    selector_->UpdatePreviewButton();
}

void TMainForm::FileAboutClick() {
    TAboutBox about(this);
    about.exec();
}

void TMainForm::FileExitClick() {
    close();
}

// --- Timers and hints ---------------------------------------------------------------------

void TMainForm::ClockTimerTimer() {
    // The locale's long time format without the time zone.
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    StatusPanels[0]->setText(QLocale::system().toString(QTime::currentTime(), format.trimmed()));
}

namespace {

// What each notification of the selector does here: one handler per source and code.
struct NoteHandler {
    NoteSource source;
    NoteCode code;
    void (TMainForm::*handle)();
};

}  // namespace

void TMainForm::CheckOnFlyChangeTimer() {
    // A launch runs the event loop while it extracts and while the emulator runs; the
    // notifications wait until it is over.
    if (launcher_->Running()) return;
    const auto note = state_.mailbox.TakeNotification(MainWindowId);
    if (!note) return;
    static constexpr NoteHandler Handlers[] = {
        {NoteSource::Selector, NoteCode::Closed, &TMainForm::SelectorClosed},
        {NoteSource::Selector, NoteCode::Cleared, &TMainForm::RefreshChoice},
        {NoteSource::FileList, NoteCode::Selected, &TMainForm::PlainFileChosen},
        {NoteSource::FileList, NoteCode::PlayArchive, &TMainForm::ArchiveEntered},
        {NoteSource::FileList, NoteCode::ArchiveOpened, &TMainForm::ArchiveOpened},
        {NoteSource::FileList, NoteCode::Play, &TMainForm::PlainFilePlayed},
        {NoteSource::ArchiveList, NoteCode::Selected, &TMainForm::MemberChosen},
        {NoteSource::ArchiveList, NoteCode::Play, &TMainForm::MemberPlayed},
    };
    for (const NoteHandler& handler : Handlers) {
        if (handler.source == note->Source && handler.code == note->Code) {
            (this->*handler.handle)();
            return;
        }
    }
}

void TMainForm::SelectorClosed() {
    selector_->hide();
    CheckOnFlyChange->stop();
    state_.SelectedFile.clear();
    state_.PreviewFile.clear();
    RefreshChoice();
}

void TMainForm::PlainFileChosen() {
    state_.RomIsPlainFile = true;
    RefreshChoice();
}

void TMainForm::PlainFilePlayed() {
    state_.RomIsPlainFile = true;
    RefreshChoice();
    LaunchRom();
}

void TMainForm::ArchiveOpened() {
    state_.RomIsPlainFile = false;
    LookUpPreview();
    if (IsGameNameSlot(state_.CurrentSlot)) {
        ShowRomInfo();
        UpdateMenus();
    } else {
        InfoPanel->setText(QStringLiteral("Viewing archive file"));
        UpdateCommandLine();
    }
}

void TMainForm::ArchiveEntered() {
    // Double-click or Enter on an archive: the game-name slots play it, the others move into
    // its contents.
    state_.RomIsPlainFile = false;
    RefreshChoice();
    if (IsGameNameSlot(state_.CurrentSlot)) LaunchRom();
}

void TMainForm::MemberChosen() {
    state_.RomIsPlainFile = false;
    RefreshChoice();
}

void TMainForm::MemberPlayed() {
    RefreshChoice();
    LaunchRom();
}

void TMainForm::ShowHintInStatus(const QString& hint) {
    StatusPanels[1]->setText(hint);
}

bool TMainForm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ShowHintInStatus(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

// --- The current choice: information, descriptions, deletion, launch ------------------------

void TMainForm::RefreshChoice() {
    ShowRomInfo();
    UpdateMenus();
    LookUpPreview();
}

void TMainForm::LookUpPreview() {
    selector_->LookUpPreview();
}

QString TMainForm::StoredDescription() const {
    QString text;
    if (descriptions_) text = descriptions_->ReadText(Description, state_.RomBaseName, QString());
    return text.isEmpty() ? QString::fromLatin1(NoDescription) : text;
}

bool TMainForm::WriteDescription(const QString& text) {
    if (!descriptions_) return false;
    try {
        descriptions_->WriteText(Description, state_.RomBaseName, text);
    } catch (const SettingsWriteError& e) {
        host_.Error(e.Text());
        return false;
    }
    return true;
}

void TMainForm::ShowDescribed() {
    InfoPanel->setText(QStringLiteral("Filename: ") + state_.RomFileName + QStringLiteral(" [") +
                       state_.CurrentDescription + QLatin1Char(']'));
}

void TMainForm::ShowRomInfo() {
    UpdateCommandLine();
    if (state_.SelectedFile.isEmpty()) {
        InfoPanel->setText(QStringLiteral("No ROM selected"));
        return;
    }
    state_.CurrentDescription = StoredDescription();
    ShowDescribed();
}

void TMainForm::UpdateCommandLine() {
    const EmulatorSlot slot = state_.CurrentSlot;
    const CommandPreview preview =
        PreviewCommand(state_, slot, state_.Switches.at(slot), state_.SwitchPathsOf.at(slot),
                       PlayTarget(state_, slot, ChosenMember()));
    ShowCommand(CommandLine, preview);
}

void TMainForm::SetDescription() {
    state_.CurrentDescription = StoredDescription();
    TextPrompt prompt;
    prompt.caption = QStringLiteral("Add description");
    prompt.label = QStringLiteral("Text: ");
    prompt.text = state_.CurrentDescription;
    prompt.maxLength = 255;
    if (const auto text = host_.PromptText(prompt)) {
        if (WriteDescription(*text)) {
            state_.CurrentDescription = *text;
            ShowDescribed();
        }
    }
    UpdateMenus();
}

void TMainForm::DescriptionRemove() {
    if (host_.Confirm(QStringLiteral("Deleting description for current ROM?")) &&
        WriteDescription(QString())) {
        state_.CurrentDescription = QString::fromLatin1(NoDescription);
        ShowDescribed();
    }
    UpdateMenus();
}

void TMainForm::ROMsDeleteClick() {
    if (!host_.AskYesNo(MessageKind::Information, QStringLiteral("Delete current ROM?"))) return;
    // An archive goes whole, whichever of its members was chosen.
    if (!platform::MoveToTrashOrDelete(state_.SelectedFile))
        host_.Information(QStringLiteral("Can't delete ROM..."));
    WriteDescription(QString());
    InfoPanel->clear();
    selector_->RereadFileList();
    state_.SelectedFile.clear();
    UpdateMenus();
    ShowRomInfo();
    LookUpPreview();
}

void TMainForm::LaunchRom() {
    launcher_->LaunchRom(FileSaveExtracted->isChecked());
}

// --- State of menus and buttons -----------------------------------------------------------

void TMainForm::UpdateMenus() {
    const bool selected = !state_.SelectedFile.isEmpty();
    ROMsMenu->setEnabled(selected);
    ROMsMenu->menuAction()->setEnabled(selected);
    DescrAdd->setEnabled(selected && state_.CurrentDescription == QLatin1String(NoDescription));
    DescrChange->setEnabled(selected && !DescrAdd->isEnabled());
    DescrRemove->setEnabled(selected && !DescrAdd->isEnabled());
}

void TMainForm::UpdateGetRomButton() {
    GetROMBt->setEnabled(!state_.GamesDir.at(state_.CurrentSlot).isEmpty());
}

void TMainForm::PointSelectorToGamesDir() {
    const QString folder = state_.GamesDir.at(state_.CurrentSlot);
    if (folder.isEmpty()) return;
    // The same folder is left as it is, unless it has gone: then its old files go too.
    if (SameFolder(folder, selector_->Folder()) && QFileInfo(folder).isDir()) return;
    selector_->SetFolder(folder);
}

void TMainForm::SetSelectorFilter() {
    selector_->SetFilter(QStringLiteral("Zipped ROMs|") + state_.ArchiveMask +
                         QStringLiteral("|All valid ROMs|") +
                         AppState::RomMask(state_.CurrentSlot) + QStringLiteral("|All files|*.*"));
}

}  // namespace orvello
