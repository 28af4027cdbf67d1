// Orvello: sets the application's name (which also names the per-user settings folder),
// creates the windows and runs until the main window closes. "--help" and "--print-command"
// answer on the terminal instead.
#include <QApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

#include "app/Application.h"
#include "app/Main.h"
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
    const bool printCommand = !options.isEmpty() && options[0] == QLatin1String("--print-command");
    if (printCommand) {
        // The dialogs are made but never shown: no display is needed.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvello"));
    if (printCommand) {
        return orvello::PrintCommand(options.mid(1), orvello::DefaultSettingsFolder(), out, err,
                                     program);
    }
    orvello::QtUiHost host;
    orvello::OrvelloApp orvello(host, orvello::DefaultSettingsFolder());
    orvello.MainForm()->show();
    return app.exec();
}
