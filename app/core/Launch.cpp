#include "app/core/Launch.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "app/core/DosNames.h"
#include "app/core/LaunchCommand.h"
#include "app/core/PathRules.h"
#include "archive/ArcPaths.h"

namespace orvello {

namespace {

namespace fs = std::filesystem;

const QString CantExtractRom = QStringLiteral("Can't extract ROM (disk full?)");
const QString CantExtractRoms = QStringLiteral("Can't extract ROMs (disk full?)");

// Anything at the path, a dangling symbolic link included.
bool Occupied(const std::string& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

// A file (or a link to one) the emulator can open.
bool IsFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/'))) return folder + name;
    return folder + QLatin1Char('/') + name;
}

// Puts an extractor's events and host back as they were when the launch is done with it.
class EventsKept {
  public:
    explicit EventsKept(archive::TUnBase& x)
        : x_(x),
          fileExists_(x.OnFileExists),
          begin_(x.OnBegin),
          end_(x.OnEnd),
          progress_(x.OnProgress),
          host_(x.Host) {}
    ~EventsKept() {
        x_.OnFileExists = fileExists_;
        x_.OnBegin = begin_;
        x_.OnEnd = end_;
        x_.OnProgress = progress_;
        x_.Host = host_;
    }
    EventsKept(const EventsKept&) = delete;
    EventsKept& operator=(const EventsKept&) = delete;

    const archive::TOnFileExists& FileExists() const { return fileExists_; }
    const archive::TOnBegin& Begin() const { return begin_; }
    const archive::TOnEnd& End() const { return end_; }
    const archive::TOnProgress& Progress() const { return progress_; }
    archive::ArcHost* Host() const { return host_; }

  private:
    archive::TUnBase& x_;
    archive::TOnFileExists fileExists_;
    archive::TOnBegin begin_;
    archive::TOnEnd end_;
    archive::TOnProgress progress_;
    archive::ArcHost* host_;
};

// The archive library's message boxes, taken to the windows' thread: the extraction may run
// on a thread of its own, and windows are only ever shown from theirs.
class WindowsThreadHost final : public archive::ArcHost {
  public:
    WindowsThreadHost(archive::ArcHost& host, LaunchUi& ui) : host_(host), ui_(ui) {}
    void ShowWarning(const std::string& text) override {
        ui_.OnWindowsThread([&] { host_.ShowWarning(text); });
    }
    void ShowInformation(const std::string& text) override {
        ui_.OnWindowsThread([&] { host_.ShowInformation(text); });
    }
    bool AskYesNo(const std::string& text) override {
        bool answer = false;
        ui_.OnWindowsThread([&] { answer = host_.AskYesNo(text); });
        return answer;
    }

  private:
    archive::ArcHost& host_;
    LaunchUi& ui_;
};

bool Contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Whether one of the paths names a file called `name`.
bool HasName(const std::vector<std::string>& paths, const std::string& name) {
    return std::any_of(paths.begin(), paths.end(), [&name](const std::string& path) {
        return archive::FileNamePart(path) == name;
    });
}

// What one extraction for a launch records, watching the extractor's events: which members
// it begun on free paths, which ended well or badly, which were there before, and its
// progress for the windows. Installed for the length of one extraction; the extractor's own
// events (the archive browser's) still run first, and are put back when the observer goes.
class ExtractionObserver {
  public:
    ExtractionObserver(archive::TUnBase& extractor, ExtractionRecord& record,
                       const std::string& onlyName, LaunchUi& ui)
        : kept_(extractor), record_(record), onlyName_(onlyName), ui_(ui) {
        // Library message boxes during the extraction go through the windows' thread.
        if (kept_.Host() != nullptr) {
            windowsHost_.emplace(*kept_.Host(), ui_);
            extractor.Host = &*windowsHost_;
        }
        extractor.OnFileExists = [this](archive::TZipCommon& sender, const std::string& path,
                                        bool& accept) { Exists(sender, path, accept); };
        extractor.OnBegin = [this](archive::TZipCommon& sender, const std::string& path,
                                   std::int32_t recNum,
                                   bool& extract) { Begin(sender, path, recNum, extract); };
        extractor.OnEnd = [this](archive::TZipCommon& sender, const std::string& path, bool pass) {
            End(sender, path, pass);
        };
        extractor.OnProgress = [this](archive::TZipCommon& sender, const std::string& path,
                                      std::uint8_t percent) { Progress(sender, path, percent); };
    }
    ExtractionObserver(const ExtractionObserver&) = delete;
    ExtractionObserver& operator=(const ExtractionObserver&) = delete;

    // After the extraction: a member begun and never ended was cut short, and every path
    // begun that is taken now was written by it.
    void Finish() {
        if (!current_.empty()) record_.failed.push_back(current_);
        current_.clear();
        for (const std::string& path : begun_) {
            if (Occupied(path) && !Contains(record_.written, path)) record_.written.push_back(path);
        }
    }

  private:
    bool Wanted(const std::string& path) const {
        return onlyName_.empty() || archive::FileNamePart(path) == onlyName_;
    }
    void Exists(archive::TZipCommon& sender, const std::string& path, bool& accept) {
        if (kept_.FileExists()) kept_.FileExists()(sender, path, accept);
        accept = false;  // never replace what is there
        // What this extraction wrote itself (a name stored twice) was not there before.
        if (Wanted(path) && !Contains(begun_, path)) record_.existing.push_back(path);
    }
    void Begin(archive::TZipCommon& sender, const std::string& path, std::int32_t recNum,
               bool& extract) {
        if (!Wanted(path)) {
            extract = false;
            return;
        }
        if (kept_.Begin()) kept_.Begin()(sender, path, recNum, extract);
        if (!extract) return;
        current_ = path;
        if (!Occupied(path)) begun_.push_back(path);
    }
    void End(archive::TZipCommon& sender, const std::string& path, bool pass) {
        if (kept_.End()) kept_.End()(sender, path, pass);
        if (current_.empty() || path != current_) return;  // a member that was not begun
        (pass ? record_.extracted : record_.failed).push_back(path);
        current_.clear();
    }
    void Progress(archive::TZipCommon& sender, const std::string& path, std::uint8_t percent) {
        if (kept_.Progress()) kept_.Progress()(sender, path, percent);
        ui_.ExtractionProgress(archive::FileNamePart(path), percent);
    }

    // Declared before the host: the extractor's own events and host are put back last,
    // after the host it pointed to meanwhile is gone.
    EventsKept kept_;
    ExtractionRecord& record_;
    const std::string& onlyName_;
    LaunchUi& ui_;
    std::optional<WindowsThreadHost> windowsHost_;
    std::vector<std::string> begun_;  // paths free when their member was begun
    std::string current_;             // the member begun and not yet ended
};

// Clears the running flag however the launch ends.
class RunningFlag {
  public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

  private:
    bool& flag_;
};

}  // namespace

QString StartFailureText(const QString& program, const QString& reason) {
    return QStringLiteral("Can't start \"%1\": %2").arg(program, reason);
}

QString NoEmulatorText(EmulatorSlot slot) {
    return QStringLiteral("No emulator program is set for %1.")
        .arg(QString::fromUtf8(Slots.at(slot).tabCaption));
}

Launcher::Launcher(AppState& state, UiHost& host, LaunchArchives& archives, ProcessRunner& runner,
                   LaunchUi& ui)
    : state_(state), host_(host), archives_(archives), runner_(runner), ui_(ui) {}

void Launcher::LaunchRom(bool keepExtracted) {
    if (running_) return;
    const RunningFlag running(running_);
    exitStatus_.reset();
    // Nothing chosen, nothing to start the emulator on ("Play" is unavailable then; a
    // notification that comes anyway does nothing).
    if (state_.SelectedFile.isEmpty()) return;
    const QString& emulator = state_.EmuPath.at(state_.CurrentSlot);
    if (emulator.isEmpty()) {
        // Nothing could be started, so nothing is extracted either.
        host_.Error(NoEmulatorText(state_.CurrentSlot));
        return;
    }
    if (IsGameNameSlot(state_.CurrentSlot)) {
        LaunchGame(keepExtracted);
    } else {
        LaunchFile(keepExtracted);
    }
}

std::optional<EmulatorCommand> Launcher::CommandFor(const std::string& target) {
    const EmulatorSlot slot = state_.CurrentSlot;
    EmulatorCommand command = AssembleCommand(
        RequestFor(state_, slot, state_.Switches.at(slot), state_.SwitchPathsOf.at(slot), target));
    if (!command.refusal.isEmpty()) {
        host_.Error(command.refusal);
        return std::nullopt;
    }
    // What is known before the start is said before anything is extracted: a program that is
    // not there, or that Linux cannot run by itself.
    const QString emulator = QFileInfo(state_.EmuPath.at(slot)).absoluteFilePath();
    const QFileInfo program(emulator);
    QString reason;
    if (!program.exists()) {
        reason = QStringLiteral("No such file or directory");
    } else if (!program.isFile()) {
        reason = QStringLiteral("Is a directory");
    } else if (command.runner == Runner::Direct && !program.isExecutable()) {
        reason = QStringLiteral("Permission denied (a %1")
                     .arg(QString::fromLatin1(platform::ProgramKindText(command.kind)));
        // A DOS or Windows program never runs directly; say what starts it.
        if (command.kind == platform::ProgramKind::Dos ||
            command.kind == platform::ProgramKind::Windows)
            reason += QStringLiteral(": choose \"Automatic\" under \"Run with:\"");
        reason += QLatin1Char(')');
    }
    if (!reason.isEmpty()) {
        host_.Error(StartFailureText(emulator, reason));
        return std::nullopt;
    }
    return command;
}

void Launcher::LaunchGame(bool keepExtracted) {
    const QString emulator = QFileInfo(state_.EmuPath.at(state_.CurrentSlot)).absoluteFilePath();
    const QString game = state_.RomBaseName;
    state_.LaunchTarget = JoinPath(FolderOf(emulator), game);
    // A game name that would not name a folder of its own inside the emulator's folder.
    if (!AcceptableGameName(game)) {
        host_.Error(CantExtractRoms);
        return;
    }
    const std::optional<EmulatorCommand> command = CommandFor(FileSystemBytes(game));
    if (!command) return;
    const std::string gameFolder = FileSystemBytes(state_.LaunchTarget);
    std::error_code ec;
    const bool folderMade = fs::create_directory(gameFolder, ec) && !ec;

    ExtractionRecord record;
    const bool extracted = ExtractFromArchive(gameFolder, "*.*", record);
    if (record.cancelled) {
        TakeBackCancelled(gameFolder, record, folderMade);
        return;
    }
    // Members already in the game folder (kept from an earlier run) count as there; a member
    // the extractor did not finish well stops the game, whatever it left in the folder.
    if (!extracted || !record.failed.empty() ||
        (record.extracted.empty() && record.existing.empty())) {
        host_.Error(CantExtractRoms);
        if (!keepExtracted) {
            EmptyFolder(gameFolder, record, folderMade);
        } else {
            EmptyFolder(gameFolder, {}, folderMade);  // only an empty folder of ours goes
        }
        return;
    }
    StartEmulator(*command);
    if (!keepExtracted) EmptyFolder(gameFolder, record, folderMade);
}

void Launcher::LaunchFile(bool keepExtracted) {
    if (state_.RomIsPlainFile) {
        // A ROM deleted or moved since it was chosen is not there to start the emulator on.
        if (!IsFile(FileSystemBytes(state_.SelectedFile))) {
            host_.Error(QStringLiteral("ROM file not found: ") + state_.SelectedFile);
            return;
        }
        state_.LaunchTarget = state_.SelectedFile;
        const std::optional<EmulatorCommand> command =
            CommandFor(FileSystemBytes(state_.SelectedFile));
        if (!command) return;
        ExtractionRecord record;
        if (!command->stageAs.isEmpty() && !StageDosRom(*command, std::string(), record)) return;
        StartEmulator(*command);
        // A link or copy made for DOS goes whatever is kept: the ROM itself lies elsewhere.
        EmptyFolder(std::string(), record, false);
        return;
    }
    const QString emulator = QFileInfo(state_.EmuPath.at(state_.CurrentSlot)).absoluteFilePath();
    const QString folder = FolderOf(emulator);
    const QString fullPath = JoinPath(folder, state_.RomFileName);
    state_.LaunchTarget = fullPath;

    // The member is named as the lister and the extractors decode it.
    const std::string name = MemberArgument(archives_.ChosenMemberRawName(), state_.RomFileName);
    const std::string emuFolder = FileSystemBytes(folder);
    const std::string romPath = FileSystemBytes(JoinPath(folder, QString())) + name;
    if (name.empty()) {
        host_.Error(CantExtractRom);
        return;
    }
    const std::optional<EmulatorCommand> command = CommandFor(name);
    if (!command) return;

    ExtractionRecord record;
    if (!command->stageAs.isEmpty()) {
        // Under DOSBox the member goes under the DOS name the command hands over.
        if (!StageDosRom(*command, name, record)) return;
    } else {
        const bool extracted = ExtractFromArchive(emuFolder, name, record, name);
        if (record.cancelled) {
            TakeBackCancelled(emuFolder, record, false);
            return;
        }
        // The extractor's verdict on the member decides, not the file's existence: a member
        // that failed may have left an empty or partial file of its name. A file that was
        // there before the launch is used as it is.
        const bool ready = extracted && !HasName(record.failed, name) &&
                           (HasName(record.extracted, name) ||
                            (HasName(record.existing, name) && IsFile(romPath)));
        if (!ready) {
            host_.Error(CantExtractRom);
            if (!keepExtracted) EmptyFolder(emuFolder, record, false);
            return;
        }
    }
    state_.LaunchTarget = state_.RomFileName;
    StartEmulator(*command);
    if (!keepExtracted) {
        state_.LaunchTarget = fullPath;
        // Only a file this launch wrote goes; one that was there before stays.
        for (const std::string& path : record.written) {
            std::error_code ec;
            if (!fs::remove(path, ec) || ec) host_.Information(QStringLiteral("Can't delete ROM"));
        }
    }
}

bool Launcher::StageDosRom(const EmulatorCommand& command, const std::string& member,
                           ExtractionRecord& record) {
    const QString emulator = QFileInfo(state_.EmuPath.at(state_.CurrentSlot)).absoluteFilePath();
    const QString folder = FolderOf(emulator);
    // A file of that DOS name that was there before is the ROM DOS opens, used as it is.
    if (DosMatch(command.stageAs, FolderEntries(folder))) return true;
    const std::string target = FileSystemBytes(JoinPath(folder, command.stageAs));
    if (member.empty()) {
        // A ROM from elsewhere: a hard link where the file system allows one, else a copy.
        std::error_code ec;
        const std::string source = FileSystemBytes(state_.SelectedFile);
        fs::create_hard_link(source, target, ec);
        if (ec) {
            ec.clear();
            fs::copy_file(source, target, fs::copy_options::none, ec);
        }
        if (ec) {
            host_.Error(QStringLiteral("Can't put the ROM where DOSBox sees it: ") +
                        QString::fromStdString(ec.message()));
            return false;
        }
        record.written.push_back(target);
        return true;
    }
    // The member is extracted under its own name into a folder of the launch's own beside
    // the ROM's place, and moved to its DOS name from there: the extractor names files
    // after the member, and nothing of the user's can be in that folder.
    std::string pattern = FileSystemBytes(JoinPath(folder, QStringLiteral(".orvello-XXXXXX")));
    if (::mkdtemp(pattern.data()) == nullptr) {
        host_.Error(CantExtractRom);
        return false;
    }
    const std::string staging = pattern;
    const std::string extractedPath = staging + "/" + member;
    const bool extracted = ExtractFromArchive(staging, member, record, member);
    bool ready = extracted && !record.cancelled && !HasName(record.failed, member) &&
                 HasName(record.extracted, member) && IsFile(extractedPath);
    if (ready) {
        // Never over a file that came meanwhile: a link fails where the name is taken.
        std::error_code ec;
        fs::create_hard_link(extractedPath, target, ec);
        if (ec) {
            ec.clear();
            if (!Occupied(target)) fs::rename(extractedPath, target, ec);
        }
        ready = !ec && IsFile(target);
    }
    std::error_code ec;
    fs::remove_all(staging, ec);
    record.written.clear();
    if (ready) record.written.push_back(target);
    if (record.cancelled) {
        ui_.ExtractionCancelled();
        return false;
    }
    if (!ready) {
        host_.Error(CantExtractRom);
        return false;
    }
    record.extracted = {target};
    return true;
}

bool Launcher::ExtractFromArchive(const std::string& folder, const std::string& fileSpec,
                                  ExtractionRecord& record, const std::string& onlyName) {
    const archive::TArcType type = archives_.ArchiveType();
    archive::TUnBase* extractor = LaunchExtracts(type) ? archives_.ExtractorFor(type) : nullptr;
    if (extractor == nullptr) {
        host_.Information(QStringLiteral("Extraction of this file type is not supported."));
        return false;
    }
    extractor->SetFileSpec(fileSpec);
    extractor->SetExtractDir(folder);

    ExtractionObserver observer(*extractor, record, onlyName, ui_);
    bool returned = true;
    ui_.RunExtraction(
        [&] {
            try {
                extractor->Extract();
            } catch (...) {
                // Whatever escaped, it must not end the extraction's thread (or the program).
                returned = false;
            }
        },
        [extractor] { extractor->Cancel(); });
    record.cancelled = extractor->Cancelled();
    observer.Finish();
    return returned && !record.cancelled;
}

void Launcher::TakeBackCancelled(const std::string& folder, const ExtractionRecord& record,
                                 bool removeFolder) {
    // Whether extracted files are kept or not, a cancelled launch leaves nothing of its own.
    EmptyFolder(folder, record, removeFolder);
    ui_.ExtractionCancelled();
}

void Launcher::EmptyFolder(const std::string& folder, const ExtractionRecord& record,
                           bool removeFolder) {
    std::error_code ec;
    for (const std::string& path : record.written)
        fs::remove(path, ec);
    if (removeFolder) fs::remove(folder, ec);  // only an empty folder can go
}

bool Launcher::StartEmulator(const EmulatorCommand& command) {
    const EmulatorSlot slot = state_.CurrentSlot;
    const QString emulator = QFileInfo(state_.EmuPath.at(slot)).absoluteFilePath();
    const QString& switches = state_.Switches.at(slot);
    const LaunchForm form = IsGameNameSlot(slot) ? LaunchForm::GameName : LaunchForm::File;
    commandLine_ =
        CommandLineText(form, emulator, switches,
                        form == LaunchForm::GameName ? state_.RomBaseName : state_.LaunchTarget);
    QStringList quoted;
    for (const std::string& argument : command.arguments)
        quoted.push_back(ShellQuoted(QFile::decodeName(QByteArray::fromStdString(argument))));

    const QString reason = runner_.Start(command.arguments, command.workingFolder);
    if (!reason.isEmpty()) {
        // The program that failed to start: the emulator itself, with its kind, or its runner.
        const bool direct = command.runner == Runner::Direct;
        const QString program =
            direct ? emulator
                   : QFile::decodeName(QByteArray::fromStdString(command.arguments.front()));
        host_.Error(StartFailureText(
            program,
            direct ? QStringLiteral("%1 (a %2)")
                         .arg(reason, QString::fromLatin1(platform::ProgramKindText(command.kind)))
                   : reason));
        return false;
    }
    ui_.EmulatorRunning(quoted.join(QLatin1Char(' ')));
    exitStatus_ = runner_.WaitForEnd();
    ui_.EmulatorEnded();
    return true;
}

}  // namespace orvello
