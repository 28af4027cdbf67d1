#include "app/PrintCommand.h"

#include <QFileInfo>
#include <QTextStream>

#include "app/Application.h"
#include "app/Main.h"
#include "app/PlayCommand.h"
#include "app/core/GlobalVar.h"
#include "app/core/IniFile.h"
#include "app/core/Launch.h"
#include "app/core/LaunchCommand.h"
#include "selector/SelectorNames.h"

namespace orvello {

void StreamMessages::ShowMessage(MessageKind, const QString& text) {
    err_ << text << '\n';
    err_.flush();
}

bool StreamMessages::AskYesNo(MessageKind, const QString& text) {
    ShowMessage(MessageKind::Information, text);
    return false;
}

QString UsageText(const QString& program) {
    QString tabs;
    for (const SlotInfo& slot : Slots) {
        tabs += QStringLiteral("  %1 (%2)\n")
                    .arg(QString::fromUtf8(slot.tabCaption), QString::fromLatin1(slot.section));
    }
    return QStringLiteral(
               "Usage: %1 [FILE]\n"
               "       %1 --print-command TAB [FILE [MEMBER]]\n"
               "       %1 --play TAB FILE [MEMBER]\n"
               "       %1 --help | --version\n"
               "\n"
               "Without options, Orvello opens its main window. With FILE, a ROM or an archive,\n"
               "the ROM selector opens on FILE's folder with FILE chosen.\n"
               "\n"
               "  --help                    show this text and exit\n"
               "  --version                 show the version and exit\n"
               "  --print-command TAB [FILE [MEMBER]]\n"
               "                            print what \"Play\" would start for the emulator TAB\n"
               "                            and FILE: a ROM, an archive's MEMBER (without\n"
               "                            MEMBER, its only member of TAB's ROM types) or, for\n"
               "                            M.A.M.E. and Callus, the game's archive; with the\n"
               "                            settings the program starts with: one argument per\n"
               "                            line, then \"cwd\", a tab and the working folder.\n"
               "                            Nothing is extracted or started, and no window\n"
               "                            opens. Exits 1 with the reason when \"Play\" would\n"
               "                            refuse to start it.\n"
               "  --play TAB FILE [MEMBER]  do what \"Play\" does for TAB and FILE (named as\n"
               "                            above) without a window: extract, print the command\n"
               "                            started, start the emulator (through DOSBox or Wine\n"
               "                            where its kind needs them), wait and clean up. Exits\n"
               "                            with the emulator's exit status, or 125 with the\n"
               "                            message when it could not be started.\n"
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

std::optional<int> TabArgument(const QStringList& arguments, qsizetype fewest, qsizetype most,
                               QTextStream& err, const QString& program) {
    const std::optional<int> slot = arguments.isEmpty() ? std::nullopt : SlotNamed(arguments[0]);
    if (slot && arguments.size() >= fewest && arguments.size() <= most) return slot;
    if (!arguments.isEmpty() && !slot)
        err << program << ": unknown tab \"" << arguments[0] << "\"\n";
    err << UsageText(program);
    return std::nullopt;
}

int PrintCommand(const QStringList& arguments, const QString& settingsFolder, QTextStream& out,
                 QTextStream& err, const QString& program) {
    const std::optional<int> slot = TabArgument(arguments, 1, 3, err, program);
    if (!slot) return 2;

    StreamMessages host(err);
    OrvelloApp app(host, settingsFolder);
    AppState& state = app.State();
    {
        // The start-up's own reading of the emulator sections; the windows stay hidden.
        IniFile ini(app.MainForm()->SettingsPath());
        app.MainForm()->LoadEmulatorSections(ini);
        state.Runners = ReadRunnerSettings(ini);
    }
    state.CurrentSlot = *slot;
    TerminalArchives archives(err);
    std::optional<std::string> member;
    if (arguments.size() >= 2) {
        // As the selector records a chosen file: the ROM itself, an archive's member (file
        // form) or the game's archive (game-name form).
        const std::optional<QString> named =
            arguments.size() == 3 ? std::optional<QString>(arguments[2]) : std::nullopt;
        const std::optional<QString> refused = archives.Choose(state, *slot, arguments[1], named);
        if (refused) {
            err << *refused << '\n';
            if (named) {
                err << UsageText(program);
                return 2;
            }
        } else if (!state.RomIsPlainFile && !IsGameNameSlot(*slot)) {
            member = archives.ChosenMemberRawName();
        }
    }
    if (state.EmuPath.at(*slot).isEmpty()) {
        err << NoEmulatorText(*slot) << '\n';
    }
    const CommandPreview preview =
        PreviewCommand(state, *slot, state.Switches.at(*slot), state.SwitchPathsOf.at(*slot),
                       PlayTarget(state, *slot, member));
    if (!preview.refusal.isEmpty() && !state.EmuPath.at(*slot).isEmpty()) {
        err << preview.refusal << '\n';
        return 1;
    }
    for (const QString& argument : preview.arguments)
        out << argument << '\n';
    out << "cwd\t" << preview.workingFolder << '\n';
    return 0;
}

}  // namespace orvello
