// The program's command-line options. Without options it opens its windows; with
// "--print-command TAB [ROM]" it loads the settings as the start-up does and prints what
// "Play" would start for that tab and ROM, without opening a window, extracting or starting
// anything.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

namespace orvello {

// The usage text that --help prints.
QString UsageText(const QString& program);

// The slot of a tab, named by its caption ("M.A.M.E.") or its settings section ("MAME"),
// in any case; nothing when no tab has that name.
std::optional<int> SlotNamed(const QString& name);

// Runs --print-command with its arguments (TAB and an optional ROM) against the settings in
// settingsFolder: one argument per line, then "cwd", a tab and the working folder. Gives the
// exit status: 0 when printed, 2 with the usage on err when the arguments are wrong.
int PrintCommand(const QStringList& arguments, const QString& settingsFolder, QTextStream& out,
                 QTextStream& err, const QString& program);

}  // namespace orvello
