// The launch of an emulator on the chosen ROM: extraction of the member (file form) or of the
// whole archive into a folder named after the game (game-name form), the start of the
// emulator with its own folder as working folder, the wait until it ends, and the clean-up.
//
// The clean-up removes only what this launch wrote. A file that was already in the
// emulator's folder (or in the game folder) under a member's name is used as it is and left
// in place, and the game folder is removed only when this launch made it. The emulator is
// never started on nothing, on a plain ROM that is no longer there, nor on a member the
// extractor did not finish well (whatever file of its name was left behind). A cancelled
// extraction takes back everything it wrote and starts nothing.
//
// Everything the launch needs from outside comes through three small interfaces, so the
// launch runs the same under test as in the program: the archive components that hold the
// choice (LaunchArchives), the process starter, and the few things the windows do meanwhile
// (progress, minimising).
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/core/GlobalVar.h"
#include "app/core/Host.h"
#include "app/core/LaunchArchives.h"
#include "app/core/LaunchCommand.h"
#include "archive/ArcMain.h"

namespace orvello {

// Starts a program without a shell and waits for it.
class ProcessRunner {
  public:
    virtual ~ProcessRunner() = default;
    // Starts argv[0] with the arguments argv[1..] in the working folder. Empty when the
    // program started, otherwise the system's reason it did not.
    virtual QString Start(const std::vector<std::string>& argv, const std::string& workDir) = 0;
    // Returns once the started program has ended, with its exit status (128 and the signal's
    // number when a signal ended it).
    virtual int WaitForEnd() = 0;
};

// What the windows do while the launch runs.
class LaunchUi {
  public:
    virtual ~LaunchUi() = default;
    // Runs one extraction and shows its progress; returns once `extraction` has run to its
    // end. The windows may run it on a thread of its own so that they repaint and answer
    // meanwhile; `cancel` (callable from the windows' thread) asks it to stop at its next
    // block.
    virtual void RunExtraction(const std::function<void()>& extraction,
                               const std::function<void()>& cancel) = 0;
    // The progress of each member (0 to 100), from the thread that runs the extraction; the
    // member's file name comes as the extractor decoded it (UTF-8).
    virtual void ExtractionProgress(const std::string& member, int percent) = 0;
    // Runs `work` on the windows' thread and returns when it has run: how the archive
    // library's message boxes reach the windows from the extraction's thread.
    virtual void OnWindowsThread(const std::function<void()>& work) = 0;
    // The user stopped the extraction; the launch took back what it wrote and starts nothing.
    virtual void ExtractionCancelled() = 0;
    // The emulator runs: the windows are minimised and take no input until EmulatorEnded.
    // commandLine is what was started, quoted as the preview shows it.
    virtual void EmulatorRunning(const QString& commandLine) = 0;
    virtual void EmulatorEnded() = 0;
};

// What one extraction did in its folder (full paths, as bytes).
struct ExtractionRecord {
    // Files this extraction created, whole or in part.
    std::vector<std::string> written;
    // Members the extractor finished with a good check: its verdict, whatever the folder
    // holds.
    std::vector<std::string> extracted;
    // Members the extractor began and did not finish well (damaged, refused, cut short).
    std::vector<std::string> failed;
    // Members not written because something of their name was already there.
    std::vector<std::string> existing;
    // The user stopped the extraction.
    bool cancelled = false;
};

// The message of a program that could not be started.
QString StartFailureText(const QString& program, const QString& reason);

// The message of a slot whose emulator program is not set.
QString NoEmulatorText(EmulatorSlot slot);

class Launcher {
  public:
    Launcher(AppState& state, UiHost& host, LaunchArchives& archives, ProcessRunner& runner,
             LaunchUi& ui);

    // Prepares the ROM of the current choice for the current slot, starts the emulator,
    // waits for it and cleans up; extracted files are kept when keepExtracted is set.
    void LaunchRom(bool keepExtracted);

    // Extracts the members of the selected archive that match fileSpec into folder. When
    // onlyName is given, only a member whose file name is exactly those bytes is written
    // (fileSpec is a wildcard pattern and matches letters of any case). Existing files
    // are never replaced. False when no extractor exists for the archive's type (after the
    // message saying so), when an error escaped from the extractor, or when the user
    // cancelled (record.cancelled).
    bool ExtractFromArchive(const std::string& folder, const std::string& fileSpec,
                            ExtractionRecord& record, const std::string& onlyName = {});

    // Removes the files an extraction wrote and, when removeFolder is set, then the folder
    // itself if that leaves it empty. Failures are ignored: what cannot go stays.
    static void EmptyFolder(const std::string& folder, const ExtractionRecord& record,
                            bool removeFolder);

    // The command line of the last start, as text.
    const QString& CommandLine() const { return commandLine_; }
    // The exit status of the emulator the last launch started; nothing when the last launch
    // started nothing.
    std::optional<int> ExitStatus() const { return exitStatus_; }
    // Whether a launch is under way (its wait runs the event loop).
    bool Running() const { return running_; }

  private:
    void LaunchGame(bool keepExtracted);
    void LaunchFile(bool keepExtracted);
    // After a cancelled extraction: removes what it wrote (and the folder when removeFolder
    // is set and that leaves it empty) and tells the windows.
    void TakeBackCancelled(const std::string& folder, const ExtractionRecord& record,
                           bool removeFolder);
    // The command for target (the ROM's bytes, or the game name); reports and gives nothing
    // when the emulator cannot be started so, before anything is extracted.
    std::optional<EmulatorCommand> CommandFor(const std::string& target);
    // Puts the ROM under the DOS name the command gives it: a member is extracted into a
    // folder of the launch's own and moved there, a ROM from elsewhere linked or copied.
    // False when it could not be done (reported, or cancelled).
    bool StageDosRom(const EmulatorCommand& command, const std::string& member,
                     ExtractionRecord& record);
    // Starts the command and waits; false when it could not be started (which has been
    // reported).
    bool StartEmulator(const EmulatorCommand& command);

    AppState& state_;
    UiHost& host_;
    LaunchArchives& archives_;
    ProcessRunner& runner_;
    LaunchUi& ui_;
    QString commandLine_;
    std::optional<int> exitStatus_;
    bool running_ = false;
};

}  // namespace orvello
