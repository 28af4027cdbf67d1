// The shared state of the program: the twelve emulator slots, what the user picked in the
// ROM selector, the preview flags and the mailbox through which the selector tells the main
// window what happened. One AppState lives for the whole run, owned by the application and
// handed to every window; nothing here is a free global.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/core/Runners.h"

namespace orvello {

// An emulator slot: the index of the main window's tab, 0 to 11.
using EmulatorSlot = int;
inline constexpr int SlotCount = 12;

enum Slot : EmulatorSlot {
    SlotMagicEngine = 0,
    SlotGenEm = 1,
    SlotGeneCyst = 2,
    SlotKGen = 3,
    SlotVirtualGameBoy = 4,
    SlotNESticle = 5,
    SlotSNES9x = 6,
    SlotNLKSNES = 7,
    SlotMassage = 8,
    SlotMAME = 9,
    SlotCallus = 10,
    SlotZSNES = 11,
};

// How a slot hands its ROM to the emulator: one file, or the name of a game whose archive
// is unpacked into a folder of that name.
enum class LaunchForm { File, GameName };

struct SlotInfo {
    const char* tabCaption;  // the main window's tab
    const char* section;     // the settings section of the slot's option dialog
    const char* romMask;     // "All valid ROMs" in the selector's filter
    LaunchForm launchForm;
    const char* dialogClass;  // the option dialog's class
};

// The slot table, indexed by slot.
extern const std::array<SlotInfo, SlotCount> Slots;

// Slots 9 and 10 (M.A.M.E. and Callus) take a game name; every such test in the program is
// this one.
constexpr bool IsGameNameSlot(EmulatorSlot slot) {
    return slot == SlotMAME || slot == SlotCallus;
}

// The order in which start-up loads and exit saves the option dialogs' sections.
inline constexpr std::array<EmulatorSlot, SlotCount> SettingsOrder = {0, 1, 3, 4, 5,  8,
                                                                      2, 9, 6, 7, 10, 11};

// The masks offered as "Zipped ROMs".
inline constexpr const char* DefaultArchiveMask = "*.zip;*.arj;*.lzh;*.arc;*.pak;*.zoo;*.rar;*.lzh";

// The text that stands for a ROM without a description.
inline constexpr const char* NoDescription = "No description";

// Mailbox recipients.
inline constexpr std::int32_t MainWindowId = 0;

// Where in the selector a notification comes from: the window itself, its file list or its
// archive contents list. The numbers are those the mailbox has always carried; a source and
// a code are different types, so one cannot stand for the other.
enum class NoteSource : std::int32_t {
    Selector = 0,
    FileList = 1,
    ArchiveList = 3,
};

// What happened there: an entry selected, an archive opened, a play asked for (of an entry,
// or of a whole archive), the window closed, or the choice cleared.
enum class NoteCode : std::int32_t {
    Selected = 2,
    ArchiveOpened = 3,
    Play = 5,
    PlayArchive = 6,
    Closed = 7,
    Cleared = 8,
};

// A file or folder path that an option dialog put into a slot's switch string: where it
// stands in the text. The launch keeps it one argument, blanks and all, and gives it to
// DOSBox and Wine in their own form.
struct SwitchPath {
    qsizetype start = 0;
    qsizetype length = 0;
    bool operator==(const SwitchPath&) const = default;
};
using SwitchPaths = std::vector<SwitchPath>;

struct MailboxEntry {
    NoteSource Source = NoteSource::Selector;
    std::int32_t Recipient = 0;
    NoteCode Code{};  // 0 until a post: no code
    bool Free = true;
};

// Ten entries, filled and emptied strictly by entry number (not by age): a post takes the
// first free entry, a take empties the first busy entry for the recipient. A post to a full
// box is dropped without a word.
class Mailbox {
  public:
    static constexpr int Size = 10;

    void ClearMailbox();
    void PostNotification(std::int32_t recipient, NoteSource source, NoteCode code);
    std::optional<MailboxEntry> TakeNotification(std::int32_t recipient);

    // Entry 1 to 10, for inspection.
    const MailboxEntry& Entry(int number) const { return entries_.at(number - 1); }

  private:
    std::array<MailboxEntry, Size> entries_{};
};

// Everything more than one window reads. The members are named as the rest of the program
// speaks of them.
struct AppState {
    EmulatorSlot CurrentSlot = 0;
    std::array<QString, SlotCount> EmuPath;
    std::array<QString, SlotCount> GamesDir;
    std::array<QString, SlotCount> Switches;
    // The paths in each slot's switch string.
    std::array<SwitchPaths, SlotCount> SwitchPathsOf;
    // How each slot's emulator is started, and the runners' programs.
    std::array<RunnerChoice, SlotCount> RunWith{};
    RunnerSettings Runners;

    QString ArchiveMask = DefaultArchiveMask;
    QString SelectedFile;
    QString RomFileName;
    QString RomBaseName;
    QString SelectorFolder;
    QString CurrentDescription;
    QString PreviewFile;
    QString LaunchTarget;
    bool RomIsPlainFile = false;
    bool ShowPreview = true;
    bool AutoPreview = false;

    Mailbox mailbox;

    // The slot's ROM masks as text ("" for the game-name slots).
    static QString RomMask(EmulatorSlot slot);
};

// The characters of a text in reverse order.
QString ReverseText(const QString& text);

// n in decimal with "." between groups of three digits: 1234567 gives "1.234.567". A negative
// number keeps its sign in front of the grouped digits.
QString FormatThousands(std::int64_t n);

}  // namespace orvello
