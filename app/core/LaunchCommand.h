// The pieces of an emulator's command line, as pure functions: the text shown to the user and
// kept as LaunchTarget, and the argument vector the process is started with. No shell ever
// sees either: the ROM path and the game name are single arguments whatever they hold.
#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "app/core/GlobalVar.h"
#include "app/core/Runners.h"
#include "archive/ArcTypes.h"

namespace orvello {

// The command line as text. The file form is the emulator, a blank, the switch string as it
// is, a blank and the ROM; the game-name form is the emulator, a blank, the game name, a
// blank and the switch string. Nothing is quoted and nothing is cut short; a switch string
// that begins with a blank gives two blanks after the emulator.
QString CommandLineText(LaunchForm form, const QString& emulator, const QString& switches,
                        const QString& romOrGame);

// The switch string split at blanks into words; runs of blanks give no empty words, and
// nothing inside a word (quotes included) is treated specially. A path piece (paths) stays
// one word, blanks and all, together with what touches it without a blank.
QStringList SwitchWords(const QString& switches, const SwitchPaths& paths = {});

// The argument vector in the order of the command line: the emulator path first, then for
// the file form the switch words and the ROM, for the game-name form the game name and the
// switch words. Each element is the bytes handed to the program; the ROM and the game name
// stay one argument each even when they hold blanks.
std::vector<std::string> EmulatorArguments(LaunchForm form, const std::string& emulator,
                                           const QString& switches, const std::string& romOrGame,
                                           const SwitchPaths& paths = {});

// Everything one start of an emulator is assembled from.
struct CommandRequest {
    LaunchForm form = LaunchForm::File;
    // As the slot has it; empty when none is set.
    QString emulatorPath;
    QString switches;
    SwitchPaths switchPaths;
    // The ROM as bytes: a member's file name (it lies in the emulator's folder), a ROM's
    // path, or the game name; nothing while none is chosen.
    std::optional<std::string> target;
    RunnerChoice runner = RunnerChoice::Automatic;
    RunnerSettings runners;
};

// What "Play" starts: the program with its arguments, and the folder it runs in.
struct EmulatorCommand {
    // The program first (the emulator, or its runner); every element is the bytes the
    // program gets.
    std::vector<std::string> arguments;
    // The emulator's folder.
    std::string workingFolder;
    // Where the ROM (file form) or the game name (game-name form) stands in arguments; under
    // DOSBox, the DOS command that holds it.
    std::size_t targetIndex = 0;
    // Where the emulator's path stands in arguments (DOSBox: nowhere, it is in the DOS
    // command).
    std::size_t emulatorIndex = 0;
    platform::ProgramKind kind = platform::ProgramKind::Unknown;
    Runner runner = Runner::Direct;
    // Why the emulator cannot be started so (empty when it can); nothing is to be extracted
    // or started then.
    QString refusal;
    // DOSBox, file form: the DOS name the ROM must have in the emulator's folder (a member
    // is extracted, a ROM from elsewhere linked under it); empty when the ROM is used where
    // it lies.
    QString stageAs;
    // DOSBox: the command DOS runs.
    QString dosCommand;
};

// The one assembly of an emulator's start: the launch starts exactly this, and every preview
// of the command shows it. The emulator path is made absolute against the current folder, as
// the start needs it; the runner is the slot's choice, by the program's kind when Automatic.
EmulatorCommand AssembleCommand(const CommandRequest& request);

// The request for a slot of the state: its emulator, switch paths and runner.
CommandRequest RequestFor(const AppState& state, EmulatorSlot slot, const QString& switches,
                          const SwitchPaths& paths, const std::optional<std::string>& target);

// The start without a runner, for a command known to be direct.
EmulatorCommand AssembleCommand(LaunchForm form, const QString& emulatorPath,
                                const QString& switches, const std::string& target);

// The longest command line DOS hands to a program (what follows the program's name).
inline constexpr int DosCommandLimit = 126;

// The name a member of an archive is handed to the emulator by: the file-name part of its
// stored name reduced to a safe relative path (storedName, or romFileName when the stored
// bytes are not known). Empty when the name reduces to nothing usable.
std::string MemberArgument(const std::string& storedName, const QString& romFileName);

// What "Play" would hand over for the current choice in a slot: the game name (game-name
// form), the plain file's path, or the chosen member's name (file form). Nothing when no file
// is selected, or when an archive is selected and chosenMember (its stored name) is not given.
std::optional<std::string> PlayTarget(const AppState& state, EmulatorSlot slot,
                                      const std::optional<std::string>& chosenMember);

// A word as a POSIX shell needs it typed to get it back unchanged: as it is when it holds
// only characters no shell treats specially, else in single quotes.
QString ShellQuoted(const QString& word);

// The command "Play" would start, shown before it starts.
struct CommandPreview {
    // One argument per element, decoded for display; "<emulator>" and "<ROM>" stand where no
    // emulator is set or no ROM is chosen.
    QStringList arguments;
    // The arguments quoted as a shell needs them, the placeholders as they are.
    QString line;
    QString workingFolder;
    // Why "Play" would refuse to start it (empty when it would start it).
    QString refusal;
};

// The preview of a slot's command with the given switch string (a dialog's unsaved one, or the
// slot's own) for target (nothing: no ROM chosen). It assembles through AssembleCommand.
CommandPreview PreviewCommand(const AppState& state, EmulatorSlot slot, const QString& switches,
                              const SwitchPaths& paths, const std::optional<std::string>& target);
// The same with a switch string that holds no path.
CommandPreview PreviewCommand(const AppState& state, EmulatorSlot slot, const QString& switches,
                              const std::optional<std::string>& target);

// The text a "Command:" line shows: the quoted command, or why it would not start.
QString PreviewText(const CommandPreview& preview);

// A path or name as the bytes the file system knows it by.
std::string FileSystemBytes(const QString& path);

// Whether a game name can name a folder inside the emulator's folder: not empty, not "." or
// "..", and without a folder separator.
bool AcceptableGameName(const QString& name);

// Whether the launch extracts members of an archive of this type. The launch accepts the
// plain and self-extracting ARJ, ARC, LHA and ZIP archives and ZOO archives; the other types
// (the PKZIP 2.50 layouts among them) are listed by the selector but never played.
bool LaunchExtracts(archive::TArcType type);

}  // namespace orvello
