// Orvello: sets the application's name (which also names the per-user settings folder),
// creates the windows and runs until the main window closes; a file named on the command line
// is opened in the ROM selector. "--help", "--version", "--print-command" and "--play" work
// on the terminal instead.
#include <QApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <vector>

#include "app/Application.h"
#include "app/Main.h"
#include "app/PlayCommand.h"
#include "app/PrintCommand.h"
#include "app/QtHost.h"
#include "app/core/IniFile.h"

int main(int argc, char* argv[]) {
    QStringList options;
    for (int i = 1; i < argc; ++i)
        options << QString::fromLocal8Bit(argv[i]);
    const QString program = argc > 0 ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName()
                                     : QStringLiteral("orvello");
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!options.isEmpty() &&
        (options[0] == QLatin1String("--help") || options[0] == QLatin1String("-h"))) {
        out << orvello::UsageText(program);
        return 0;
    }
    if (!options.isEmpty() &&
        (options[0] == QLatin1String("--version") || options[0] == QLatin1String("-V"))) {
        out << "Orvello " << ORVELLO_VERSION << '\n';
        return 0;
    }
    const bool printCommand = !options.isEmpty() && options[0] == QLatin1String("--print-command");
    const bool play = !options.isEmpty() && options[0] == QLatin1String("--play");
    // The dialogs are made but never shown: no display is needed. The platform is named on
    // Qt's own command line, so that the emulator --play starts inherits nothing of it.
    std::vector<char*> qtArguments(argv, argv + argc);
    char platformOption[] = "-platform";
    char offscreen[] = "offscreen";
    if (printCommand || play) {
        qtArguments.resize(1);
        qtArguments.push_back(platformOption);
        qtArguments.push_back(offscreen);
    }
    int qtCount = static_cast<int>(qtArguments.size());
    qtArguments.push_back(nullptr);

    // Anything else is at most one file to open; "--" ends the options.
    QString file;
    if (!printCommand && !play && !options.isEmpty()) {
        const bool separated = options[0] == QLatin1String("--");
        const QStringList files = separated ? options.mid(1) : options;
        if (files.size() > 1 || (!separated && files[0].startsWith(QLatin1Char('-')))) {
            err << program << ": unknown option or more than one file: " << options.join(' ')
                << "\n\n"
                << orvello::UsageText(program);
            return 2;
        }
        if (!files.isEmpty()) file = files[0];
    }

    QApplication app(qtCount, qtArguments.data());
    QApplication::setApplicationName(QStringLiteral("Orvello"));
    QApplication::setApplicationVersion(QStringLiteral(ORVELLO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.orvello.Orvello"));
    if (printCommand) {
        return orvello::PrintCommand(options.mid(1), orvello::DefaultSettingsFolder(), out, err,
                                     program);
    }
    if (play) {
        return orvello::PlayFromTerminal(options.mid(1), orvello::DefaultSettingsFolder(), out, err,
                                         program);
    }
    orvello::QtUiHost host;
    orvello::OrvelloApp orvello(host, orvello::DefaultSettingsFolder());
    orvello.MainForm()->show();
    if (!file.isEmpty()) orvello.MainForm()->OpenGivenFile(file);
    return app.exec();
}
