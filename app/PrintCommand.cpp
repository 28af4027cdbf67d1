#include "app/PrintCommand.h"

#include <QFileInfo>
#include <QTextStream>

#include "app/Application.h"
#include "app/Main.h"
#include "app/core/GlobalVar.h"
#include "app/core/IniFile.h"
#include "app/core/Launch.h"
#include "app/core/LaunchCommand.h"
#include "selector/SelectorNames.h"

namespace orvello {

namespace {

// Answers nothing on anyone's behalf: nothing here asks the user, and a message that comes all
// the same goes to the error stream.
class StreamHost : public UiHost {
  public:
    explicit StreamHost(QTextStream& err) : err_(err) {}
    void ShowMessage(MessageKind, const QString& text) override { err_ << text << '\n'; }
    bool AskYesNo(MessageKind, const QString& text) override {
        err_ << text << '\n';
        return false;
    }
    std::optional<QString> PromptText(const TextPrompt&) override { return std::nullopt; }
    std::optional<QString> OpenFile(const OpenFileRequest&) override { return std::nullopt; }
    std::optional<QString> BrowseFolder(const FolderRequest&) override { return std::nullopt; }

  private:
    QTextStream& err_;
};

}  // namespace

QString UsageText(const QString& program) {
    QString tabs;
    for (const SlotInfo& slot : Slots) {
        tabs += QStringLiteral("  %1 (%2)\n")
                    .arg(QString::fromUtf8(slot.tabCaption), QString::fromLatin1(slot.section));
    }
    return QStringLiteral(
               "Usage: %1 [FILE]\n"
               "       %1 --print-command TAB [ROM]\n"
               "       %1 --help | --version\n"
               "\n"
               "Without options, Orvello opens its main window. With FILE, a ROM or an archive,\n"
               "the ROM selector opens on FILE's folder with FILE chosen.\n"
               "\n"
               "  --help                    show this text and exit\n"
               "  --version                 show the version and exit\n"
               "  --print-command TAB [ROM] print what \"Play\" would start for the emulator TAB\n"
               "                            and the ROM file (or, for M.A.M.E. and Callus, the\n"
               "                            game's archive), with the settings the program\n"
               "                            starts with: one argument per line, then \"cwd\", a\n"
               "                            tab and the working folder. Nothing is extracted or\n"
               "                            started, and no window opens.\n"
               "\n"
               "TAB is an emulator's tab caption or its settings section:\n")
               .arg(program) +
           tabs;
}

std::optional<int> SlotNamed(const QString& name) {
    for (int slot = 0; slot < SlotCount; ++slot) {
        const SlotInfo& info = Slots.at(slot);
        if (name.compare(QString::fromUtf8(info.tabCaption), Qt::CaseInsensitive) == 0 ||
            name.compare(QString::fromLatin1(info.section), Qt::CaseInsensitive) == 0)
            return slot;
    }
    return std::nullopt;
}

int PrintCommand(const QStringList& arguments, const QString& settingsFolder, QTextStream& out,
                 QTextStream& err, const QString& program) {
    const std::optional<int> slot = arguments.isEmpty() ? std::nullopt : SlotNamed(arguments[0]);
    if (!slot || arguments.size() > 2) {
        if (!arguments.isEmpty() && !slot)
            err << program << ": unknown tab \"" << arguments[0] << "\"\n";
        err << UsageText(program);
        return 2;
    }

    StreamHost host(err);
    OrvelloApp app(host, settingsFolder);
    AppState& state = app.State();
    {
        // The start-up's own reading of the emulator sections; the windows stay hidden.
        IniFile ini(app.MainForm()->SettingsPath());
        app.MainForm()->LoadEmulatorSections(ini);
    }
    state.CurrentSlot = *slot;
    if (arguments.size() == 2) {
        // As the selector records a chosen file: the ROM itself (file form) or the game's
        // archive (game-name form).
        const QFileInfo rom(arguments[1]);
        state.SelectedFile = rom.absoluteFilePath();
        state.RomFileName = rom.fileName();
        state.RomBaseName = WithoutExtension(rom.fileName());
        state.RomIsPlainFile = !IsGameNameSlot(*slot);
    }
    if (state.EmuPath.at(*slot).isEmpty()) {
        err << NoEmulatorText(*slot) << '\n';
    }
    const CommandPreview preview = PreviewCommand(state, *slot, state.Switches.at(*slot),
                                                  PlayTarget(state, *slot, std::nullopt));
    for (const QString& argument : preview.arguments)
        out << argument << '\n';
    out << "cwd\t" << preview.workingFolder << '\n';
    return 0;
}

}  // namespace orvello
