// Orvello: sets the application's name (which also names the per-user settings folder),
// creates the windows and runs until the main window closes.
#include <QApplication>

#include "app/Application.h"
#include "app/Main.h"
#include "app/QtHost.h"
#include "app/core/IniFile.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvello"));
    orvello::QtUiHost host;
    orvello::OrvelloApp orvello(host, orvello::DefaultSettingsFolder());
    orvello.MainForm()->show();
    return app.exec();
}
