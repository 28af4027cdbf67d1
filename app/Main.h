// The main window: one tab per emulator slot with its emulator path and games folder, the
// toolbar, the menus, the information panel and the status bar. It owns the start-up
// sequence (on its first showing: every option dialog reads its section and builds its
// switch string, then the "Common" options are read) and the exit sequence (on closing:
// the sections and the "Common" options are written).
//
// While the ROM selector is open, a 100 ms timer takes one notification per tick from the
// mailbox and acts on it: it refreshes the information panel, the menus and the preview,
// and on a play notification launches the emulator. The descriptions of ROMs and the
// deletion of a ROM are its menus' work.
#pragma once

#include <QMainWindow>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "app/core/GlobalVar.h"
#include "app/core/Host.h"
#include "app/core/IniFile.h"
#include "selector/FoldrDlg.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressDialog;
class QPushButton;
class QTabBar;
class QTimer;
class QToolBar;
class QToolButton;

namespace orvello {

class ArchiveBrowser;
class Launcher;
class OptionDialog;
class ProcessRunner;
class TOnFlyForm;

class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    // Both settings files live in settingsFolder.
    TMainForm(AppState& state, UiHost& host, const QString& settingsFolder);
    ~TMainForm() override;

    // The windows created after this one, which it drives.
    void Attach(TOnFlyForm* selector, const std::array<OptionDialog*, SlotCount>& dialogs);

    QString SettingsPath() const;
    QString DescriptionPath() const;

    // Start-up and exit.
    void FormCreate();
    // The start-up's reading of the emulator sections: each dialog in the settings order
    // reads its section and builds its switch string, which becomes the slot's.
    void LoadEmulatorSections(IniFile& ini);
    void FormClose();
    // Asks whether to save the emulator settings changed since they were last saved, when
    // they are not saved on exit anyway; false when the user cancels (or the save failed).
    bool ConfirmUnsavedSettings();

    // Tabs and fields.
    bool EmuListChanging();
    void EmuListChange();
    void EmuPathExit();
    void GamesDirExit();

    // Toolbar and button.
    void FindEmuBtClick();
    void FindGamesDirBtClick();
    void GetROMBtClick();
    // Opens the selector on the folder of a file given on the command line and chooses it
    // when it is an archive or one of the tab's ROMs (an archive's members are listed). A
    // missing file, or one that is neither, is reported and the window stays as it is.
    void OpenGivenFile(const QString& path);
    void CallOptionBtClick();
    // "Run with:": how the current slot's emulator is started.
    void RunWithChange();

    // Menu.
    void FileSaveOptionClick();
    void FileAutoPreviewClick();
    void FileAboutClick();
    // File > Runners: the programs that start DOS and Windows emulators.
    void FileRunnersClick();
    void FileExitClick();

    // Descriptions and deletion of the current ROM.
    void ShowRomInfo();
    // The command "Play" would start for the current slot and choice.
    void UpdateCommandLine();
    void SetDescription();
    void DescriptionRemove();
    void ROMsDeleteClick();

    // The information panel, the menus and the preview for the current choice.
    void RefreshChoice();
    void LookUpPreview();
    // Plays the current choice in the current slot.
    void LaunchRom();
    // The launch, for tests that look at what it did.
    const Launcher& Launch() const { return *launcher_; }
    // The archive components the selector lists through and the launch extracts through.
    // The window owns them: they live as long as it does.
    ArchiveBrowser& Archives() const { return *archives_; }
    // How the emulator is started; tests may put in their own (not owned; nullptr puts the
    // real one back).
    void SetProcessRunner(ProcessRunner* runner);
    // An extraction that lasts longer than this shows its progress window.
    int ProgressDelayMs = 500;

    void ClockTimerTimer();
    void CheckOnFlyChangeTimer();
    // The handlers of the selector's notifications.
    void SelectorClosed();
    void PlainFileChosen();
    void PlainFilePlayed();
    void ArchiveOpened();
    void ArchiveEntered();
    void MemberChosen();
    void MemberPlayed();
    void ShowHintInStatus(const QString& hint);

    void UpdateMenus();
    void UpdateGetRomButton();
    void PointSelectorToGamesDir();
    void SetSelectorFilter();

    QToolBar* ToolBar1;
    QToolButton* FindEmuBt;
    QToolButton* FindGamesDirBt;
    QToolButton* GetROMBt;
    QLabel* InfoPanel;
    // "Command:" below the information: what "Play" would start; the working folder is its
    // tooltip.
    QLineEdit* CommandLine;
    QTabBar* EmuList;
    QLineEdit* EmuPath;
    // "Run with:" beside the emulator path.
    QComboBox* RunWith;
    QLineEdit* GamesDir;
    QPushButton* CallOptionBt;
    std::array<QLabel*, 2> StatusPanels;

    QMenu* FileMenu;
    QMenu* ROMsMenu;
    QMenu* DescriptionMenu;
    QAction* FileSaveOption;
    QAction* FileSaveAlloption;
    QAction* FileAutoPreview;
    QAction* FileSaveExtracted;
    QAction* FileSaveGeneralOpt;
    QAction* FileRunners;
    QAction* FileAbout;
    QAction* FileExit;
    QAction* ROMsDelete;
    QAction* DescrAdd;
    QAction* DescrChange;
    QAction* DescrRemove;

    QTimer* ClockTimer;
    QTimer* CheckOnFlyChange;
    TFolderDialog GamesDirDialog;
    // Shown during a long extraction; null otherwise.
    QProgressDialog* ExtractProgress = nullptr;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenus();
    void BuildToolBar();
    void BuildTabs();
    void BuildStatusBar();
    void TabChanged(int index);
    // Step 1 or 2 of leaving a tab: stores a changed field, or refuses a path that does not
    // exist. False when refused.
    bool CommitEmuPath();
    bool CommitGamesDir();
    void FillFields();
    // How the current slot's emulator is started ("DOS program: started with DOSBox").
    QString HowStarted() const;
    void ReadCommon(const IniFile& ini);
    // The stored name of the chosen archive member; nothing while none is chosen.
    std::optional<std::string> ChosenMember() const;
    // The stored description of the current ROM, or "No description".
    QString StoredDescription() const;
    // Writes the description of the current ROM; false (after the error box) when the file
    // could not be written.
    bool WriteDescription(const QString& text);
    void ShowDescribed();

    class LibraryHost;
    class WindowsDuringLaunch;
    class SpawnRunner;

    AppState& state_;
    UiHost& host_;
    QString settingsFolder_;
    TOnFlyForm* selector_ = nullptr;
    std::array<OptionDialog*, SlotCount> dialogs_{};
    std::optional<IniFile> descriptions_;
    std::unique_ptr<LibraryHost> libraryHost_;
    std::unique_ptr<ArchiveBrowser> archives_;
    std::unique_ptr<WindowsDuringLaunch> launchUi_;
    std::unique_ptr<SpawnRunner> spawnRunner_;
    std::unique_ptr<Launcher> launcher_;
    bool created_ = false;
    bool closed_ = false;

    // What each slot's section holds as last read or saved: its paths, runner and switches.
    struct SavedSlot {
        QString emuPath;
        QString gamesDir;
        RunnerChoice runner = RunnerChoice::Automatic;
        QString switches;
    };
    std::array<SavedSlot, SlotCount> saved_{};
    void RememberSaved(EmulatorSlot slot);
    // For each slot that changed since, what changed ("emulator path", "options", ...).
    std::vector<std::pair<EmulatorSlot, QStringList>> UnsavedChanges() const;
};

}  // namespace orvello
