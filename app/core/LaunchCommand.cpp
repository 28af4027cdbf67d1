#include "app/core/LaunchCommand.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/core/DosNames.h"
#include "app/core/PathRules.h"
#include "archive/ArcPaths.h"

namespace orvello {

QString CommandLineText(LaunchForm form, const QString& emulator, const QString& switches,
                        const QString& romOrGame) {
    const QChar blank = QLatin1Char(' ');
    if (form == LaunchForm::GameName) return emulator + blank + romOrGame + blank + switches;
    return emulator + blank + switches + blank + romOrGame;
}

namespace {

const QString RomPlaceholder = QStringLiteral("<ROM>");
const QString EmulatorPlaceholder = QStringLiteral("<emulator>");

QString Decoded(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// Whether the character at i lies inside one of the path pieces.
bool InPath(const SwitchPaths& paths, qsizetype i) {
    return std::any_of(paths.begin(), paths.end(),
                       [i](const SwitchPath& p) { return i >= p.start && i < p.start + p.length; });
}

// The switch string with each path piece replaced by convert(piece); the pieces of the new
// string in newPaths. The first refusal convert gives ends the work.
template <typename Convert>
QString ConvertPaths(const QString& switches, const SwitchPaths& paths, Convert convert,
                     SwitchPaths& newPaths, QString& refusal) {
    SwitchPaths sorted;
    for (const SwitchPath& p : paths) {
        if (p.start >= 0 && p.length > 0 && p.start + p.length <= switches.size())
            sorted.push_back(p);
    }
    std::sort(sorted.begin(), sorted.end(),
              [](const SwitchPath& a, const SwitchPath& b) { return a.start < b.start; });
    QString out;
    qsizetype at = 0;
    for (const SwitchPath& p : sorted) {
        if (p.start < at) continue;  // overlapping pieces: the first one holds
        out += switches.mid(at, p.start - at);
        const QString converted = convert(switches.mid(p.start, p.length), refusal);
        if (!refusal.isEmpty()) return QString();
        newPaths.push_back({out.size(), converted.size()});
        out += converted;
        at = p.start + p.length;
    }
    out += switches.mid(at);
    return out;
}

QString WindowsPath(const QString& path) {
    QString windows = path;
    windows.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (path.startsWith(QLatin1Char('/'))) windows.prepend(QStringLiteral("Z:"));
    return windows;
}

// A path as DOS sees it when the emulator's folder is drive C:, or the refusal.
QString DosPath(const QString& path, const QString& emuFolder, QString& refusal) {
    const QString absolute = QDir::cleanPath(QDir(emuFolder).absoluteFilePath(path));
    const QString relative = QDir(emuFolder).relativeFilePath(absolute);
    if (relative == QLatin1String(".")) return QStringLiteral("C:\\");
    if (relative.startsWith(QLatin1String("..")) || QDir::isAbsolutePath(relative)) {
        refusal = QStringLiteral(
                      "\"%1\" lies outside the emulator's folder \"%2\": DOSBox shows a "
                      "DOS program only its own folder (as drive C:). Choose a file or "
                      "folder inside it.")
                      .arg(path, emuFolder);
        return QString();
    }
    QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (QString& part : parts) {
        if (!IsDosName(part)) {
            refusal = QStringLiteral(
                          "\"%1\" has a name DOS cannot use (\"%2\"): DOS programs see "
                          "only names of up to eight characters with an extension of "
                          "up to three. Rename it.")
                          .arg(path, part);
            return QString();
        }
        part = part.toUpper();
    }
    return QStringLiteral("C:\\") + parts.join(QLatin1Char('\\'));
}

void AppendWords(std::vector<std::string>& args, const QString& text) {
    for (const QString& word : SwitchWords(text))
        args.push_back(FileSystemBytes(word));
}

// The file form's ROM under DOSBox: its DOS name, and the name it must be put under in the
// emulator's folder when it cannot be used where it lies.
QString DosRom(const std::string& target, const QString& emuFolder, QString& stageAs,
               QString& refusal) {
    const QString rom = Decoded(target);
    const QStringList entries = FolderEntries(emuFolder);
    if (!QDir::isAbsolutePath(rom)) {
        // A member of an archive, extracted into the emulator's folder under a DOS name.
        stageAs = MakeDosName(rom, entries);
        if (stageAs.isEmpty()) refusal = QStringLiteral("No DOS name is left for \"%1\".").arg(rom);
        return stageAs;
    }
    QString inside;
    const QString dos = DosPath(rom, emuFolder, inside);
    if (inside.isEmpty()) return dos;  // already where DOS sees it, under a DOS name
    stageAs = MakeDosName(QFileInfo(rom).fileName(), entries);
    if (stageAs.isEmpty()) refusal = QStringLiteral("No DOS name is left for \"%1\".").arg(rom);
    return stageAs;
}

void AssembleDosBox(const CommandRequest& request, const QString& emulator,
                    EmulatorCommand& command) {
    const QString emuFolder = FolderOf(emulator);
    const QString program = QFileInfo(emulator).fileName();
    QString& refusal = command.refusal;
    const bool none = emulator == EmulatorPlaceholder;
    if (!none && !IsDosName(program)) {
        refusal = QStringLiteral(
                      "\"%1\" cannot be started under DOSBox: DOS programs see only "
                      "names of up to eight characters with an extension of up to "
                      "three. Rename the program.")
                      .arg(emulator);
        return;
    }
    if (emuFolder.contains(QLatin1Char('"'))) {
        refusal = QStringLiteral(
                      "DOSBox cannot mount the folder \"%1\": its path holds a double "
                      "quote.")
                      .arg(emuFolder);
        return;
    }
    SwitchPaths unused;
    const QString switches = ConvertPaths(
        request.switches, request.switchPaths,
        [&](const QString& path, QString& why) { return DosPath(path, emuFolder, why); }, unused,
        refusal);
    if (!refusal.isEmpty()) return;

    QString target;
    if (request.form == LaunchForm::GameName) {
        target = request.target ? Decoded(*request.target) : RomPlaceholder;
        if (request.target && !IsDosName(target)) {
            refusal = QStringLiteral(
                          "The game name \"%1\" is not a DOS name: DOSBox gives DOS "
                          "programs only names of up to eight characters with an "
                          "extension of up to three.")
                          .arg(target);
            return;
        }
    } else if (request.target) {
        target = DosRom(*request.target, emuFolder, command.stageAs, refusal);
        if (!refusal.isEmpty()) return;
    } else {
        target = RomPlaceholder;
    }
    const QString shownProgram = none ? emulator : program.toUpper();
    const QString line = CommandLineText(request.form, shownProgram, switches, target);
    const qsizetype tail = line.size() - shownProgram.size();
    if (tail > DosCommandLimit) {
        refusal = QStringLiteral(
                      "The DOS command line is %1 characters long; DOS programs take "
                      "at most %2: %3")
                      .arg(tail)
                      .arg(DosCommandLimit)
                      .arg(line);
        return;
    }
    const bool batch = program.endsWith(QLatin1String(".bat"), Qt::CaseInsensitive);
    // Without CALL, DOSBox's own list of commands would end with the batch file and never
    // reach its EXIT.
    command.dosCommand = batch ? QStringLiteral("CALL ") + line : line;

    auto& args = command.arguments;
    AppendWords(args, request.runners.dosboxOptions);
    // Quit when the program ends, with no console window of DOSBox's own.
    for (const char* option : {"-noconsole", "-exit"})
        args.push_back(option);
    const QString mount = QStringLiteral("MOUNT C \"%1\"").arg(emuFolder);
    for (const QString& c :
         {mount, QStringLiteral("C:"), command.dosCommand, QStringLiteral("EXIT")}) {
        args.push_back("-c");
        if (c == command.dosCommand) command.targetIndex = args.size();
        args.push_back(FileSystemBytes(c));
    }
}

void AssembleWine(const CommandRequest& request, const QString& emulator,
                  EmulatorCommand& command) {
    auto& args = command.arguments;
    AppendWords(args, request.runners.wineOptions);
    command.emulatorIndex = args.size();
    args.push_back(FileSystemBytes(emulator));
    SwitchPaths paths;
    const QString switches = ConvertPaths(
        request.switches, request.switchPaths,
        [](const QString& path, QString&) { return WindowsPath(path); }, paths, command.refusal);
    std::string target = FileSystemBytes(RomPlaceholder);
    if (request.target) {
        target = *request.target;
        if (request.form == LaunchForm::File) {
            // The ROM on Wine's drive for the root; a member lies in the emulator's folder.
            const QString rom = Decoded(*request.target);
            const QString absolute =
                QDir::isAbsolutePath(rom) ? rom : QDir(FolderOf(emulator)).filePath(rom);
            target = FileSystemBytes(WindowsPath(absolute));
        }
    }
    const std::vector<std::string> rest =
        EmulatorArguments(request.form, std::string(), switches, target, paths);
    command.targetIndex =
        args.size() + (request.form == LaunchForm::GameName ? 1 : rest.size() - 1) - 1;
    args.insert(args.end(), rest.begin() + 1, rest.end());
}

}  // namespace

QStringList SwitchWords(const QString& switches, const SwitchPaths& paths) {
    QStringList words;
    QString word;
    for (qsizetype i = 0; i < switches.size(); ++i) {
        if (switches[i] == QLatin1Char(' ') && !InPath(paths, i)) {
            if (!word.isEmpty()) words.push_back(word);
            word.clear();
        } else {
            word += switches[i];
        }
    }
    if (!word.isEmpty()) words.push_back(word);
    return words;
}

std::string FileSystemBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

std::vector<std::string> EmulatorArguments(LaunchForm form, const std::string& emulator,
                                           const QString& switches, const std::string& romOrGame,
                                           const SwitchPaths& paths) {
    std::vector<std::string> args{emulator};
    if (form == LaunchForm::GameName) args.push_back(romOrGame);
    for (const QString& word : SwitchWords(switches, paths))
        args.push_back(FileSystemBytes(word));
    if (form == LaunchForm::File) args.push_back(romOrGame);
    return args;
}

EmulatorCommand AssembleCommand(const CommandRequest& request) {
    EmulatorCommand command;
    const bool noEmulator = request.emulatorPath.isEmpty();
    const QString emulator =
        noEmulator ? EmulatorPlaceholder : QFileInfo(request.emulatorPath).absoluteFilePath();
    if (!noEmulator) {
        command.kind = platform::ProgramKindOf(FileSystemBytes(emulator));
        command.workingFolder = FileSystemBytes(FolderOf(emulator));
    }
    command.runner = RunnerFor(request.runner, command.kind);
    if (command.runner == Runner::Direct) {
        command.arguments = EmulatorArguments(
            request.form, FileSystemBytes(emulator), request.switches,
            request.target.value_or(FileSystemBytes(RomPlaceholder)), request.switchPaths);
        command.targetIndex =
            request.form == LaunchForm::GameName ? 1 : command.arguments.size() - 1;
        return command;
    }
    const bool dosbox = command.runner == Runner::DOSBox;
    const QString setting = dosbox ? request.runners.dosbox : request.runners.wine;
    const std::optional<QString> program = FindRunnerProgram(setting);
    command.arguments.push_back(FileSystemBytes(program.value_or(setting)));
    if (dosbox) {
        AssembleDosBox(request, emulator, command);
    } else {
        AssembleWine(request, emulator, command);
    }
    if (command.refusal.isEmpty() && !program && !noEmulator) {
        command.refusal = RunnerMissingText(emulator, command.kind, command.runner,
                                            request.runner != RunnerChoice::Automatic);
    }
    return command;
}

CommandRequest RequestFor(const AppState& state, EmulatorSlot slot, const QString& switches,
                          const SwitchPaths& paths, const std::optional<std::string>& target) {
    CommandRequest request;
    request.form = IsGameNameSlot(slot) ? LaunchForm::GameName : LaunchForm::File;
    request.emulatorPath = state.EmuPath.at(slot);
    request.switches = switches;
    request.switchPaths = paths;
    request.target = target;
    request.runner = state.RunWith.at(slot);
    request.runners = state.Runners;
    return request;
}

EmulatorCommand AssembleCommand(LaunchForm form, const QString& emulatorPath,
                                const QString& switches, const std::string& target) {
    CommandRequest request;
    request.form = form;
    request.emulatorPath = emulatorPath;
    request.switches = switches;
    request.target = target;
    request.runner = RunnerChoice::Directly;
    return AssembleCommand(request);
}

std::string MemberArgument(const std::string& storedName, const QString& romFileName) {
    const std::string stored = storedName.empty() ? FileSystemBytes(romFileName) : storedName;
    const auto safe = archive::SafeRelativeName(stored);
    return safe ? archive::FileNamePart(*safe) : std::string();
}

std::optional<std::string> PlayTarget(const AppState& state, EmulatorSlot slot,
                                      const std::optional<std::string>& chosenMember) {
    if (state.SelectedFile.isEmpty()) return std::nullopt;
    if (IsGameNameSlot(slot)) return FileSystemBytes(state.RomBaseName);
    if (state.RomIsPlainFile) return FileSystemBytes(state.SelectedFile);
    if (!chosenMember) return std::nullopt;
    const std::string name = MemberArgument(*chosenMember, state.RomFileName);
    if (name.empty()) return std::nullopt;
    return name;
}

QString ShellQuoted(const QString& word) {
    static const QString plain = QStringLiteral("@%+=:,./-_");
    const bool safe = !word.isEmpty() && std::all_of(word.begin(), word.end(), [](QChar c) {
        return (c.unicode() < 128 && c.isLetterOrNumber()) || plain.contains(c);
    });
    if (safe) return word;
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

CommandPreview PreviewCommand(const AppState& state, EmulatorSlot slot, const QString& switches,
                              const SwitchPaths& paths, const std::optional<std::string>& target) {
    const EmulatorCommand command =
        AssembleCommand(RequestFor(state, slot, switches, paths, target));
    const bool noEmulator = state.EmuPath.at(slot).isEmpty();
    CommandPreview preview;
    QStringList quoted;
    for (std::size_t i = 0; i < command.arguments.size(); ++i) {
        QString word = Decoded(command.arguments[i]);
        QString shown = ShellQuoted(word);
        // The placeholders stand as they are; under DOSBox the ROM's is inside the DOS command.
        if (i == command.emulatorIndex && noEmulator && command.runner != Runner::DOSBox)
            shown = word = EmulatorPlaceholder;
        if (i == command.targetIndex && !target && command.runner != Runner::DOSBox)
            shown = word = RomPlaceholder;
        preview.arguments.push_back(word);
        quoted.push_back(shown);
    }
    preview.line = quoted.join(QLatin1Char(' '));
    preview.workingFolder = Decoded(command.workingFolder);
    preview.refusal = command.refusal;
    return preview;
}

CommandPreview PreviewCommand(const AppState& state, EmulatorSlot slot, const QString& switches,
                              const std::optional<std::string>& target) {
    return PreviewCommand(state, slot, switches, SwitchPaths{}, target);
}

QString PreviewText(const CommandPreview& preview) {
    return preview.refusal.isEmpty() ? preview.line : preview.refusal;
}

bool AcceptableGameName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/'));
}

bool LaunchExtracts(archive::TArcType type) {
    using archive::TArcType;
    switch (type) {
        case TArcType::atARJ:
        case TArcType::atArjExe:
        case TArcType::atARC:
        case TArcType::atArcExe:
        case TArcType::atLHA:
        case TArcType::atLhaExe:
        case TArcType::atZIP:
        case TArcType::atZipExe:
        case TArcType::atZOO:
            return true;
        default:
            return false;
    }
}

}  // namespace orvello
