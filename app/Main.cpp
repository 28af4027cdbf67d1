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
const QString Description = QStringLiteral("Description");

QAction* MenuItem(QMenu* menu, const char* name, const QString& caption,
                  const QKeySequence& shortcut, const QString& hint) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    action->setStatusTip(hint);
    return action;
}

QToolButton* ToolButton(QToolBar* bar, const char* name, const QString& caption,
                        const QString& hint, QStyle::StandardPixmap image) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setIcon(bar->style()->standardIcon(image));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setMinimumSize(91, 40);
    bar->addWidget(button);
    return button;
}

// The same folder for the file system, whatever way the two paths spell it.
bool SameFolder(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty()) return ca == cb;
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

// Keeps the windows from taking input while the emulator runs or an extraction runs: the
// wait runs the event loop so that the windows repaint and the desktop does not take the
// program for hung, but a click, a key or a close must not start anything meanwhile. Only
// the window it is given (an extraction's progress window) still takes input.
class InputBlocker : public QObject {
  public:
    explicit InputBlocker(QWidget* open = nullptr) : open_(open) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (ForOpenWindow(watched)) return QObject::eventFilter(watched, event);
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Shortcut:
            case QEvent::ShortcutOverride:
            case QEvent::ContextMenu:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
            case QEvent::Drop:
                return true;
            case QEvent::Close:
                event->ignore();
                return true;
            default:
                return QObject::eventFilter(watched, event);
        }
    }

  private:
    // Whether the event is for the open window: one of its widgets, its native window, or an
    // object of its own such as its Esc shortcut.
    bool ForOpenWindow(QObject* watched) const {
        if (open_ == nullptr) return false;
        if (watched == open_->windowHandle()) return true;
        for (QObject* o = watched; o != nullptr; o = o->parent()) {
            if (o->isWidgetType()) return static_cast<QWidget*>(o)->window() == open_;
        }
        return false;
    }

    QPointer<QWidget> open_;
};

}  // namespace

class TMainForm::SelectorArchives : public LaunchArchives {
  public:
    explicit SelectorArchives(TOnFlyForm* const& selector) : selector_(selector) {}
    archive::TArcType ArchiveType() const override { return selector_->ArchiveType(); }
    archive::TUnBase* ExtractorFor(archive::TArcType type) override {
        return selector_->ExtractorFor(type);
    }
    std::string ChosenMemberRawName() const override { return selector_->ChosenMemberRawName(); }

  private:
    TOnFlyForm* const& selector_;
};

// Starts the emulator without a shell, or hands the start to a runner a test put in.
class TMainForm::SpawnRunner : public ProcessRunner {
  public:
    QString Start(const std::vector<std::string>& argv, const std::string& workDir) override {
        if (other) return other->Start(argv, workDir);
        return child_.Start(argv, workDir);
    }
    int WaitForEnd() override {
        if (other) return other->WaitForEnd();
        return child_.WaitForEnd();
    }

    ProcessRunner* other = nullptr;

  private:
    platform::ChildProcess child_;
};

// The windows while a launch runs: the progress of a long extraction, and the windows
// minimised and deaf to input while the emulator runs.
class TMainForm::WindowsDuringLaunch : public LaunchUi {
  public:
    explicit WindowsDuringLaunch(TMainForm& main) : main_(main) {}

    // The extraction runs on a thread of its own while this thread runs the event loop, so
    // the windows repaint and the progress window moves and answers its "Cancel" button;
    // every other input waits until the extraction is over.
    void RunExtraction(const std::function<void()>& extraction,
                       const std::function<void()>& cancel) override {
        const auto owned = std::make_unique<QProgressDialog>(&main_);
        QProgressDialog* dialog = owned.get();
        dialog->setObjectName(QStringLiteral("ExtractProgress"));
        dialog->setWindowTitle(QStringLiteral("Extracting"));
        dialog->setAccessibleName(QStringLiteral("Extraction progress"));
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setCancelButtonText(QStringLiteral("Cancel"));
        dialog->setAutoReset(false);
        dialog->setAutoClose(false);
        dialog->setRange(0, 100);
        dialog->setMinimumDuration(main_.ProgressDelayMs);
        // The button, Esc and the window's close box stop the extraction.
        QObject::connect(dialog, &QProgressDialog::canceled, dialog, [cancel] { cancel(); });
        QObject::connect(dialog, &QDialog::rejected, dialog, [dialog, cancel] {
            dialog->cancel();
            cancel();
        });
        if (auto* button = dialog->findChild<QPushButton*>()) {
            button->setObjectName(QStringLiteral("CancelExtraction"));
            button->setAccessibleName(QStringLiteral("Cancel extraction"));
        }
        dialog->setValue(0);  // the delay counts from here
        main_.ExtractProgress = dialog;
        progress_ = dialog;

        InputBlocker blocker(dialog);
        qApp->installEventFilter(&blocker);
        {
            QEventLoop loop;
            const std::unique_ptr<QThread> worker(QThread::create(extraction));
            QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
            worker->start();
            loop.exec();
            worker->wait();
        }
        qApp->removeEventFilter(&blocker);
        progress_ = nullptr;
        main_.ExtractProgress = nullptr;
        // Progress still on its way to the window is dropped with it.
    }
    void ExtractionProgress(const std::string& member, int percent) override {
        // From the extraction's thread: shown on the windows' thread when it gets to it.
        QMetaObject::invokeMethod(
            progress_,
            [dialog = progress_, member, percent] {
                if (dialog->wasCanceled()) return;
                dialog->setLabelText(QString::fromStdString(member));
                // From one member to the next the bar starts again.
                if (percent < dialog->value()) dialog->setValue(0);
                dialog->setValue(percent);
            },
            Qt::QueuedConnection);
    }
    void OnWindowsThread(const std::function<void()>& work) override {
        if (QThread::currentThread() == main_.thread()) {
            work();
        } else {
            QMetaObject::invokeMethod(&main_, work, Qt::BlockingQueuedConnection);
        }
    }
    void ExtractionCancelled() override {
        main_.ShowHintInStatus(QStringLiteral("Extraction cancelled"));
    }

    void EmulatorRunning(const QString& commandLine) override {
        main_.ShowHintInStatus(commandLine);
        minimised_.clear();
        for (QWidget* window :
             {static_cast<QWidget*>(&main_), static_cast<QWidget*>(main_.selector_)}) {
            if (window != nullptr && window->isVisible() && !window->isMinimized()) {
                minimised_.push_back(window);
                window->showMinimized();
            }
        }
        blocker_ = std::make_unique<InputBlocker>();
        qApp->installEventFilter(blocker_.get());
    }
    void EmulatorEnded() override {
        blocker_.reset();  // uninstalls itself
        for (QWidget* window : minimised_)
            window->showNormal();
        if (!minimised_.empty()) {
            minimised_.back()->raise();
            minimised_.back()->activateWindow();
        }
        minimised_.clear();
    }

  private:
    TMainForm& main_;
    // The progress window of the extraction under way; set before its thread starts and
    // cleared after it ended, so that thread only ever reads it.
    QProgressDialog* progress_ = nullptr;
    std::vector<QWidget*> minimised_;
    std::unique_ptr<InputBlocker> blocker_;
};

TMainForm::TMainForm(AppState& state, UiHost& host, const QString& settingsFolder)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      GamesDirDialog(host),
      state_(state),
      host_(host),
      settingsFolder_(settingsFolder) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Orvello v1.5"));

    BuildMenus();
    BuildToolBar();
    BuildTabs();
    BuildStatusBar();

    ClockTimer = new QTimer(this);
    ClockTimer->setObjectName(QStringLiteral("ClockTimer"));
    ClockTimer->setInterval(1000);
    connect(ClockTimer, &QTimer::timeout, this, &TMainForm::ClockTimerTimer);
    ClockTimer->start();

    CheckOnFlyChange = new QTimer(this);
    CheckOnFlyChange->setObjectName(QStringLiteral("CheckOnFlyChange"));
    CheckOnFlyChange->setInterval(100);
    connect(CheckOnFlyChange, &QTimer::timeout, this, &TMainForm::CheckOnFlyChangeTimer);

    archives_ = std::make_unique<SelectorArchives>(selector_);
    launchUi_ = std::make_unique<WindowsDuringLaunch>(*this);
    spawnRunner_ = std::make_unique<SpawnRunner>();
    launcher_ = std::make_unique<Launcher>(state_, host_, *archives_, *spawnRunner_, *launchUi_);

    GamesDirDialog.Title = QStringLiteral("Browse for Folder");
    GamesDirDialog.Text = QStringLiteral("Select a directory for games as default");
    GamesDirDialog.SetOptions(bfFileSysDirsOnly | bfStatusText | bfShowPathInStatusArea |
                              bfSyncCustomButton | bfAlignCustomButton | bfScreenCenter);

    // Not resizable: the size its contents ask for, wide enough that all twelve emulator tabs
    // show at once (a tab hidden behind scroll arrows is a slot the user does not see).
    setFixedSize(QSize(std::max(680, sizeHint().width()), sizeHint().height()));
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildMenus() {
    FileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    FileSaveOption = MenuItem(FileMenu, "FileSaveOption", QStringLiteral("&Save emu option"),
                              QKeySequence(Qt::CTRL | Qt::Key_S),
                              QStringLiteral("Save option for current emulator"));
    FileSaveAlloption =
        MenuItem(FileMenu, "FileSaveAlloption", QStringLiteral("Sa&ve all emu options on exit"),
                 QKeySequence(), QStringLiteral("Save options for all emulators"));
    FileSaveAlloption->setCheckable(true);
    FileAutoPreview = MenuItem(FileMenu, "FileAutoPreview", QStringLiteral("Auto &preview"),
                               QKeySequence(Qt::CTRL | Qt::Key_P), QString());
    FileAutoPreview->setCheckable(true);
    FileMenu->addSeparator();
    FileSaveExtracted =
        MenuItem(FileMenu, "FileSaveExtracted", QStringLiteral("Save ex&tracted ROMS"),
                 QKeySequence(Qt::CTRL | Qt::Key_T), QString());
    FileSaveExtracted->setCheckable(true);
    FileSaveGeneralOpt =
        MenuItem(FileMenu, "FileSaveGeneralOpt", QStringLiteral("Save general &options on exit"),
                 QKeySequence(Qt::CTRL | Qt::Key_O), QString());
    FileSaveGeneralOpt->setCheckable(true);
    FileSaveGeneralOpt->setChecked(true);
    FileRunners = MenuItem(FileMenu, "FileRunners", QStringLiteral("&Runners..."), QKeySequence(),
                           QStringLiteral("Set the programs that start DOS and Windows emulators"));
    FileMenu->addSeparator();
    FileAbout = MenuItem(FileMenu, "FileAbout", QStringLiteral("&About..."), QKeySequence(),
                         QStringLiteral("Show info about program and author"));
    FileExit = MenuItem(FileMenu, "FileExit", QStringLiteral("&Exit"),
                        QKeySequence(Qt::CTRL | Qt::Key_X), QStringLiteral("Exit from program"));

    ROMsMenu = menuBar()->addMenu(QStringLiteral("&ROMs"));
    ROMsMenu->setObjectName(QStringLiteral("ROMsMenu"));
    ROMsMenu->setEnabled(false);
    ROMsMenu->menuAction()->setEnabled(false);
    ROMsDelete = MenuItem(ROMsMenu, "ROMsDelete", QStringLiteral("&Delete"),
                          QKeySequence(Qt::CTRL | Qt::Key_D), QStringLiteral("Delete current ROM"));

    DescriptionMenu = menuBar()->addMenu(QStringLiteral("&Description"));
    DescriptionMenu->setObjectName(QStringLiteral("DescriptionMenu"));
    DescrAdd = MenuItem(DescriptionMenu, "DescrAdd", QStringLiteral("&Add"),
                        QKeySequence(Qt::CTRL | Qt::Key_A),
                        QStringLiteral("Add description to current ROM"));
    DescrChange = MenuItem(DescriptionMenu, "DescrChange", QStringLiteral("&Change"),
                           QKeySequence(Qt::CTRL | Qt::Key_C),
                           QStringLiteral("Change description to current ROM"));
    DescrRemove = MenuItem(DescriptionMenu, "DescrRemove", QStringLiteral("&Remove"),
                           QKeySequence(Qt::CTRL | Qt::Key_R),
                           QStringLiteral("Remove description to current ROM"));
    for (QAction* a : {DescrAdd, DescrChange, DescrRemove})
        a->setEnabled(false);

    connect(ROMsDelete, &QAction::triggered, this, &TMainForm::ROMsDeleteClick);
    connect(DescrAdd, &QAction::triggered, this, &TMainForm::SetDescription);
    connect(DescrChange, &QAction::triggered, this, &TMainForm::SetDescription);
    connect(DescrRemove, &QAction::triggered, this, &TMainForm::DescriptionRemove);
    connect(FileSaveOption, &QAction::triggered, this, &TMainForm::FileSaveOptionClick);
    connect(FileAutoPreview, &QAction::triggered, this, &TMainForm::FileAutoPreviewClick);
    connect(FileAbout, &QAction::triggered, this, &TMainForm::FileAboutClick);
    connect(FileRunners, &QAction::triggered, this, &TMainForm::FileRunnersClick);
    connect(FileExit, &QAction::triggered, this, &TMainForm::FileExitClick);
}

void TMainForm::BuildToolBar() {
    ToolBar1 = addToolBar(QStringLiteral("Tools"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    FindEmuBt = ToolButton(ToolBar1, "FindEmuBt", QStringLiteral("Find &emu"),
                           QStringLiteral("Search for emu executable"), QStyle::SP_ComputerIcon);
    ToolBar1->addSeparator();
    FindGamesDirBt =
        ToolButton(ToolBar1, "FindGamesDirBt", QStringLiteral("Find &games"),
                   QStringLiteral("Search for default game directory"), QStyle::SP_DirOpenIcon);
    ToolBar1->addSeparator();
    GetROMBt = ToolButton(ToolBar1, "GetROMBt", QStringLiteral("Get &ROM file"),
                          QStringLiteral("Allow to select a ROM to play"), QStyle::SP_MediaPlay);
    // The bar's own button that shows the buttons which do not fit, when the window is narrow.
    if (auto* more = ToolBar1->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More tools"));
    connect(FindEmuBt, &QToolButton::clicked, this, &TMainForm::FindEmuBtClick);
    connect(FindGamesDirBt, &QToolButton::clicked, this, &TMainForm::FindGamesDirBtClick);
    connect(GetROMBt, &QToolButton::clicked, this, &TMainForm::GetROMBtClick);
    GetROMBt->installEventFilter(this);
}

void TMainForm::BuildTabs() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    InfoPanel = new QLabel(central);
    InfoPanel->setObjectName(QStringLiteral("InfoPanel"));
    InfoPanel->setAccessibleName(QStringLiteral("ROM information"));
    QFont bold = InfoPanel->font();
    bold.setBold(true);
    InfoPanel->setFont(bold);
    InfoPanel->setMinimumHeight(InfoPanel->fontMetrics().height() + 8);
    layout->addWidget(InfoPanel);

    CommandLine = AddCommandLineField(central, layout);

    EmuList = new QTabBar(central);
    EmuList->setObjectName(QStringLiteral("EmuList"));
    EmuList->setAccessibleName(QStringLiteral("Emulators"));
    EmuList->setUsesScrollButtons(false);
    EmuList->setExpanding(false);
    EmuList->setDrawBase(false);
    EmuList->setAttribute(Qt::WA_Hover);
    for (const SlotInfo& slot : Slots)
        EmuList->addTab(QString::fromUtf8(slot.tabCaption));
    EmuList->setCurrentIndex(0);
    layout->addWidget(EmuList);

    auto* page = new QFrame(central);
    page->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* grid = new QGridLayout(page);
    EmuPath = new QLineEdit(page);
    EmuPath->setObjectName(QStringLiteral("EmuPath"));
    EmuPath->setAccessibleName(QStringLiteral("Emulator path"));
    auto* emuLabel = new QLabel(QStringLiteral("Emulator path:"), page);
    emuLabel->setBuddy(EmuPath);
    GamesDir = new QLineEdit(page);
    GamesDir->setObjectName(QStringLiteral("GamesDir"));
    GamesDir->setAccessibleName(QStringLiteral("Games directory"));
    RunWith = new QComboBox(page);
    RunWith->setObjectName(QStringLiteral("RunWith"));
    RunWith->setAccessibleName(QStringLiteral("Run with"));
    RunWith->view()->setAccessibleName(QStringLiteral("Run with"));  // its pop-up list
    RunWith->addItems({QStringLiteral("Automatic"), QStringLiteral("Directly"),
                       QStringLiteral("DOSBox"), QStringLiteral("Wine")});
    RunWith->setToolTip(
        QStringLiteral("How the emulator is started: Automatic starts DOS "
                       "programs with DOSBox and Windows programs with Wine"));
    auto* runLabel = new QLabel(QStringLiteral("R&un with:"), page);
    runLabel->setBuddy(RunWith);
    auto* gamesLabel = new QLabel(QStringLiteral("Games directory:"), page);
    gamesLabel->setBuddy(GamesDir);
    CallOptionBt = new QPushButton(QStringLiteral("&Call option"), page);
    CallOptionBt->setObjectName(QStringLiteral("CallOptionBt"));
    CallOptionBt->setAccessibleName(QStringLiteral("Call option"));
    grid->addWidget(emuLabel, 0, 0);
    grid->addWidget(runLabel, 0, 1);
    grid->addWidget(EmuPath, 1, 0);
    grid->addWidget(RunWith, 1, 1);
    grid->addWidget(gamesLabel, 2, 0);
    grid->addWidget(GamesDir, 3, 0, 1, 2);
    grid->addWidget(CallOptionBt, 4, 0, 1, 2, Qt::AlignRight);
    grid->setColumnStretch(0, 1);
    layout->addWidget(page, 1);
    setCentralWidget(central);

    EmuPath->installEventFilter(this);
    GamesDir->installEventFilter(this);
    connect(EmuList, &QTabBar::currentChanged, this, &TMainForm::TabChanged);
    connect(CallOptionBt, &QPushButton::clicked, this, &TMainForm::CallOptionBtClick);
    connect(RunWith, &QComboBox::activated, this, &TMainForm::RunWithChange);

    // Keyboard: the tab order follows the window from top to bottom, and Ctrl+Tab and
    // Ctrl+Shift+Tab (or Ctrl+Page Down / Page Up) move between the emulators.
    setTabOrder(EmuList, EmuPath);
    setTabOrder(EmuPath, RunWith);
    setTabOrder(RunWith, GamesDir);
    setTabOrder(GamesDir, CallOptionBt);
    auto step = [this](int delta) {
        EmuList->setCurrentIndex((EmuList->currentIndex() + delta + SlotCount) % SlotCount);
    };
    connect(new QShortcut(QKeySequence::NextChild, this), &QShortcut::activated, this,
            [step] { step(1); });
    connect(new QShortcut(QKeySequence::PreviousChild, this), &QShortcut::activated, this,
            [step] { step(-1); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown), this), &QShortcut::activated,
            this, [step] { step(1); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), this), &QShortcut::activated,
            this, [step] { step(-1); });
}

void TMainForm::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    StatusPanels[0] = new QLabel(QStringLiteral("Time"), bar);
    StatusPanels[0]->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanels[0]->setAccessibleName(QStringLiteral("Time"));
    StatusPanels[0]->setAlignment(Qt::AlignCenter);
    StatusPanels[0]->setFixedWidth(100);
    StatusPanels[1] = new QLabel(QStringLiteral("Orvello for Windows 95"), bar);
    StatusPanels[1]->setObjectName(QStringLiteral("StatusPanel1"));
    StatusPanels[1]->setAccessibleName(QStringLiteral("Hint"));
    bar->addWidget(StatusPanels[0]);
    bar->addWidget(StatusPanels[1], 1);
}

void TMainForm::Attach(TOnFlyForm* selector, const std::array<OptionDialog*, SlotCount>& dialogs) {
    selector_ = selector;
    dialogs_ = dialogs;
    for (OptionDialog* dialog : dialogs_)
        dialog->SetChosenMember([this] { return ChosenMember(); });
}

std::optional<std::string> TMainForm::ChosenMember() const {
    if (selector_ == nullptr) return std::nullopt;
    std::string raw = selector_->ChosenMemberRawName();
    if (raw.empty()) return std::nullopt;
    return raw;
}

QString TMainForm::SettingsPath() const {
    return settingsFolder_ + QLatin1Char('/') + QLatin1String(SettingsFileName);
}

QString TMainForm::DescriptionPath() const {
    return settingsFolder_ + QLatin1Char('/') + QLatin1String(DescriptionFileName);
}

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

void TMainForm::CheckOnFlyChangeTimer() {
    // A launch runs the event loop while it extracts and while the emulator runs; the
    // notifications wait until it is over.
    if (launcher_->Running()) return;
    const auto note = state_.mailbox.TakeNotification(MainWindowId);
    if (!note) return;
    const bool gameNameSlot = IsGameNameSlot(state_.CurrentSlot);
    switch (note->Source) {
        case SourceSelector:
            if (note->Code == NoteClosed) {
                selector_->hide();
                CheckOnFlyChange->stop();
                state_.SelectedFile.clear();
                state_.PreviewFile.clear();
                RefreshChoice();
            } else if (note->Code == NoteCleared) {
                RefreshChoice();
            }
            break;
        case SourceFileList:
            switch (note->Code) {
                case NoteSelected:
                    state_.RomIsPlainFile = true;
                    RefreshChoice();
                    break;
                case NotePlayArchive:
                    state_.RomIsPlainFile = false;
                    RefreshChoice();
                    if (gameNameSlot) LaunchRom();
                    break;
                case NoteArchiveOpened:
                    state_.RomIsPlainFile = false;
                    LookUpPreview();
                    if (gameNameSlot) {
                        ShowRomInfo();
                        UpdateMenus();
                    } else {
                        InfoPanel->setText(QStringLiteral("Viewing archive file"));
                        UpdateCommandLine();
                    }
                    break;
                case NotePlay:
                    state_.RomIsPlainFile = true;
                    RefreshChoice();
                    LaunchRom();
                    break;
                default:
                    break;
            }
            break;
        case SourceArchiveList:
            if (note->Code == NoteSelected) {
                state_.RomIsPlainFile = false;
                RefreshChoice();
            } else if (note->Code == NotePlay) {
                RefreshChoice();
                LaunchRom();
            }
            break;
        default:
            break;
    }
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

void TMainForm::SetProcessRunner(ProcessRunner* runner) {
    spawnRunner_->other = runner;
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
