#include "app/core/LaunchCommand.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>

#include "app/core/PathRules.h"
#include "archive/ArcPaths.h"

namespace orvello {

QString CommandLineText(LaunchForm form, const QString& emulator, const QString& switches,
                        const QString& romOrGame) {
    const QChar blank = QLatin1Char(' ');
    if (form == LaunchForm::GameName) return emulator + blank + romOrGame + blank + switches;
    return emulator + blank + switches + blank + romOrGame;
}

QStringList SwitchWords(const QString& switches) {
    return switches.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

std::string FileSystemBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

std::vector<std::string> EmulatorArguments(LaunchForm form, const std::string& emulator,
                                           const QString& switches, const std::string& romOrGame) {
    std::vector<std::string> args{emulator};
    if (form == LaunchForm::GameName) args.push_back(romOrGame);
    for (const QString& word : SwitchWords(switches))
        args.push_back(FileSystemBytes(word));
    if (form == LaunchForm::File) args.push_back(romOrGame);
    return args;
}

EmulatorCommand AssembleCommand(LaunchForm form, const QString& emulatorPath,
                                const QString& switches, const std::string& target) {
    const QString emulator = QFileInfo(emulatorPath).absoluteFilePath();
    EmulatorCommand command;
    command.arguments = EmulatorArguments(form, FileSystemBytes(emulator), switches, target);
    command.workingFolder = FileSystemBytes(FolderOf(emulator));
    command.targetIndex = form == LaunchForm::GameName ? 1 : command.arguments.size() - 1;
    return command;
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
                              const std::optional<std::string>& target) {
    const QString emulator = state.EmuPath.at(slot);
    const LaunchForm form = IsGameNameSlot(slot) ? LaunchForm::GameName : LaunchForm::File;
    const EmulatorCommand command = AssembleCommand(form, emulator, switches, target.value_or(""));
    CommandPreview preview;
    QStringList quoted;
    for (std::size_t i = 0; i < command.arguments.size(); ++i) {
        QString word = QFile::decodeName(QByteArray::fromStdString(command.arguments[i]));
        QString shown = ShellQuoted(word);
        if (i == 0 && emulator.isEmpty()) word = shown = QStringLiteral("<emulator>");
        if (i == command.targetIndex && !target) word = shown = QStringLiteral("<ROM>");
        preview.arguments.push_back(word);
        quoted.push_back(shown);
    }
    preview.line = quoted.join(QLatin1Char(' '));
    if (!emulator.isEmpty()) {
        preview.workingFolder = QFile::decodeName(QByteArray::fromStdString(command.workingFolder));
    }
    return preview;
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
