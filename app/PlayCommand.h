// Playing and printing from a terminal. "--play TAB FILE [MEMBER]" does what "Play" does for
// the emulator TAB, without a window: it extracts, prints the command it starts, starts the
// emulator through its runner, waits, cleans up and exits with the emulator's exit status.
// "--print-command" names its ROM the same way and only prints.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/core/GlobalVar.h"
#include "app/core/Launch.h"

class QTextStream;

namespace orvello {

// The archives of a choice made on a terminal: the lister's type and one extractor made for
// it, with questions about existing files answered "no" and messages written to a stream.
class TerminalArchives : public LaunchArchives {
  public:
    explicit TerminalArchives(QTextStream& err);
    ~TerminalArchives() override;
    TerminalArchives(const TerminalArchives&) = delete;
    TerminalArchives& operator=(const TerminalArchives&) = delete;

    archive::TArcType ArchiveType() const override { return type_; }
    archive::TUnBase* ExtractorFor(archive::TArcType type) override;
    std::string ChosenMemberRawName() const override { return member_; }

    // Looks at FILE for the slot and records the choice in the state as the selector would:
    // a ROM, a member of an archive (member given, or the only member of the slot's ROM
    // types), or a game's archive. The message when nothing playable is named.
    std::optional<QString> Choose(AppState& state, EmulatorSlot slot, const QString& file,
                                  const std::optional<QString>& member);

    // The file-name parts of the members of file as the lister gives them, when it is an
    // archive Orvello extracts; nothing when it is not. What was listed before damage counts.
    std::optional<std::vector<std::string>> ListMembers(const QString& file);

  private:
    std::unique_ptr<archive::ArcHost> host_;
    std::string archive_;
    archive::TArcType type_ = archive::TArcType::atNA;
    std::string member_;
    std::unique_ptr<archive::TUnBase> extractor_;
};

// Runs --play with its arguments (TAB FILE [MEMBER]) against the settings in settingsFolder.
// Gives the emulator's exit status; 2 with the usage on err when the arguments are wrong; 125
// with the message on err when the emulator could not be started.
int PlayFromTerminal(const QStringList& arguments, const QString& settingsFolder, QTextStream& out,
                     QTextStream& err, const QString& program);

// The exit status of --play when the emulator was not started.
inline constexpr int NotStartedStatus = 125;

}  // namespace orvello
