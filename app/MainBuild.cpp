// Building the main window: its menus, tool bar, emulator tabs and status bar.
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

}  // namespace

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

}  // namespace orvello
