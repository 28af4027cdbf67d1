#include "app/core/Runners.h"

#include <QFileInfo>
#include <QStandardPaths>

#include "app/core/IniFile.h"

namespace orvello {

namespace {

const QString Common = QStringLiteral("Common");

}  // namespace

RunnerChoice RunnerChoiceOf(int stored) {
    if (stored < 0 || stored > 3) return RunnerChoice::Automatic;
    return static_cast<RunnerChoice>(stored);
}

Runner RunnerFor(RunnerChoice choice, platform::ProgramKind kind) {
    switch (choice) {
        case RunnerChoice::Directly:
            return Runner::Direct;
        case RunnerChoice::DOSBox:
            return Runner::DOSBox;
        case RunnerChoice::Wine:
            return Runner::Wine;
        case RunnerChoice::Automatic:
            break;
    }
    switch (kind) {
        case platform::ProgramKind::Dos:
            return Runner::DOSBox;
        case platform::ProgramKind::Windows:
            return Runner::Wine;
        default:
            return Runner::Direct;
    }
}

QString RunnerName(Runner runner) {
    switch (runner) {
        case Runner::DOSBox:
            return QStringLiteral("DOSBox");
        case Runner::Wine:
            return QStringLiteral("Wine");
        case Runner::Direct:
            break;
    }
    return QStringLiteral("Directly");
}

QString StartedWithText(platform::ProgramKind kind, Runner runner) {
    QString kindText = QString::fromLatin1(platform::ProgramKindText(kind));
    kindText[0] = kindText[0].toUpper();
    if (runner == Runner::Direct) return kindText + QStringLiteral(": started directly");
    return kindText + QStringLiteral(": started with ") + RunnerName(runner);
}

RunnerSettings ReadRunnerSettings(const IniFile& ini) {
    RunnerSettings s;
    s.dosbox = ini.ReadText(Common, QStringLiteral("DOSBox"), s.dosbox);
    s.dosboxOptions = ini.ReadText(Common, QStringLiteral("DOSBoxOptions"), QString());
    s.wine = ini.ReadText(Common, QStringLiteral("Wine"), s.wine);
    s.wineOptions = ini.ReadText(Common, QStringLiteral("WineOptions"), QString());
    // An empty program setting means the default program, found on the search path.
    if (s.dosbox.trimmed().isEmpty()) s.dosbox = QStringLiteral("dosbox");
    if (s.wine.trimmed().isEmpty()) s.wine = QStringLiteral("wine");
    return s;
}

void WriteRunnerSettings(IniFile& ini, const RunnerSettings& s) {
    ini.WriteText(Common, QStringLiteral("DOSBox"), s.dosbox);
    ini.WriteText(Common, QStringLiteral("DOSBoxOptions"), s.dosboxOptions);
    ini.WriteText(Common, QStringLiteral("Wine"), s.wine);
    ini.WriteText(Common, QStringLiteral("WineOptions"), s.wineOptions);
}

std::optional<QString> FindRunnerProgram(const QString& setting) {
    const QString program = setting.trimmed();
    if (program.isEmpty()) return std::nullopt;
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo info(program);
        if (info.isFile() && info.isExecutable()) return info.absoluteFilePath();
        return std::nullopt;
    }
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty()) return std::nullopt;
    return found;
}

QString RunnerMissingText(const QString& emulator, platform::ProgramKind kind, Runner runner,
                          bool chosen) {
    const QString name = RunnerName(runner);
    const QString package =
        runner == Runner::DOSBox ? QStringLiteral("dosbox") : QStringLiteral("wine");
    QString why;
    if (chosen) {
        why = QStringLiteral("\"%1\" is set to run with %2").arg(emulator, name);
    } else {
        const QString kindText = QString::fromLatin1(platform::ProgramKindText(kind));
        const QString kinds = runner == Runner::DOSBox ? QStringLiteral("DOS programs")
                                                       : QStringLiteral("Windows programs");
        why = QStringLiteral("\"%1\" is a %2; Orvello starts %3 with %4")
                  .arg(emulator, kindText, kinds, name);
    }
    return why + QStringLiteral(
                     ", which was not found. Install the %1 package or set its path in "
                     "File > Runners.")
                     .arg(package);
}

}  // namespace orvello
