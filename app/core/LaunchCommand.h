// The pieces of an emulator's command line, as pure functions: the text shown to the user and
// kept as LaunchTarget, and the argument vector the process is started with. No shell ever
// sees either: the ROM path and the game name are single arguments whatever they hold.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

#include "app/core/GlobalVar.h"
#include "archive/ArcTypes.h"

namespace orvello {

// The command line as text. The file form is the emulator, a blank, the switch string as it
// is, a blank and the ROM; the game-name form is the emulator, a blank, the game name, a
// blank and the switch string. Nothing is quoted and nothing is cut short; a switch string
// that begins with a blank gives two blanks after the emulator.
QString CommandLineText(LaunchForm form, const QString& emulator, const QString& switches,
                        const QString& romOrGame);

// The switch string split at blanks into words; runs of blanks give no empty words, and
// nothing inside a word (quotes included) is treated specially.
QStringList SwitchWords(const QString& switches);

// The argument vector in the order of the command line: the emulator path first, then for
// the file form the switch words and the ROM, for the game-name form the game name and the
// switch words. Each element is the bytes handed to the program; the ROM and the game name
// stay one argument each even when they hold blanks.
std::vector<std::string> EmulatorArguments(LaunchForm form, const std::string& emulator,
                                           const QString& switches, const std::string& romOrGame);

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
