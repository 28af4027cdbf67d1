#include "app/core/LaunchCommand.h"

#include <QFile>

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
