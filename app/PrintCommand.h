// The program's command-line options. Without options it opens its windows; with
// "--print-command TAB [FILE [MEMBER]]" it loads the settings as the start-up does and prints what
// "Play" would start for that tab and ROM, without opening a window, extracting or starting
// anything.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "app/core/Host.h"

class QTextStream;

namespace orvello {

// Answers nothing on anyone's behalf: nothing on a terminal asks the user, and a message goes
// to the error stream.
class StreamMessages : public UiHost {
  public:
    explicit StreamMessages(QTextStream& err) : err_(err) {}
    void ShowMessage(MessageKind, const QString& text) override;
    bool AskYesNo(MessageKind, const QString& text) override;
    std::optional<QString> PromptText(const TextPrompt&) override { return std::nullopt; }
    std::optional<QString> OpenFile(const OpenFileRequest&) override { return std::nullopt; }
    std::optional<QString> BrowseFolder(const FolderRequest&) override { return std::nullopt; }

  private:
    QTextStream& err_;
};

// The usage text that --help prints.
QString UsageText(const QString& program);

// The slot of a tab, named by its caption ("M.A.M.E.") or its settings section ("MAME"),
// in any case; nothing when no tab has that name.
std::optional<int> SlotNamed(const QString& name);

// The tab named by the first of a terminal option's arguments, when there are between
// fewest and most of them; otherwise the usage (and the unknown tab) on err, and nothing.
std::optional<int> TabArgument(const QStringList& arguments, qsizetype fewest, qsizetype most,
                               QTextStream& err, const QString& program);

// Runs --print-command with its arguments (TAB, then optionally FILE and an archive's MEMBER)
// against the settings in settingsFolder: one argument per line, then "cwd", a tab and the
// working folder. Gives the exit status: 0 when printed, 1 with the reason on err when "Play"
// would refuse to start it, 2 with the usage on err when the arguments are wrong.
int PrintCommand(const QStringList& arguments, const QString& settingsFolder, QTextStream& out,
                 QTextStream& err, const QString& program);

}  // namespace orvello
