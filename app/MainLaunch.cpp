// The main window's side of a launch: the archive browser, the process starter, and
// the windows while an extraction or the emulator runs; and the window's construction,
// which ties them to the launch.
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

// The archive library's few message boxes go through the program's UiHost, like every other.
class TMainForm::LibraryHost : public archive::ArcHost {
  public:
    explicit LibraryHost(UiHost& host) : host_(host) {}
    void ShowWarning(const std::string& text) override { host_.Warning(QString::fromUtf8(text)); }
    void ShowInformation(const std::string& text) override {
        host_.Information(QString::fromUtf8(text));
    }
    bool AskYesNo(const std::string& text) override {
        return host_.Confirm(QString::fromUtf8(text));
    }

  private:
    UiHost& host_;
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

    libraryHost_ = std::make_unique<LibraryHost>(host_);
    archives_ = std::make_unique<ArchiveBrowser>(*libraryHost_);
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

void TMainForm::SetProcessRunner(ProcessRunner* runner) {
    spawnRunner_->other = runner;
}

}  // namespace orvello
