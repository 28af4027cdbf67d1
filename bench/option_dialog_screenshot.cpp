// The README's picture of an option dialog, taken from the program's own windows: the program
// is made over a settings folder written here, the Virtual GameBoy tab is chosen and "Call
// option" pressed as a user would, and the dialog is captured on its "Sound" page.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/option_dialog_screenshot docs
//
// writes docs/option-dialog.png.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>

#include "app/Application.h"
#include "app/Main.h"
#include "app/QtHost.h"
#include "options/OptionDialog.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvello"));
    const QString out =
        QFileInfo(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"))
            .absoluteFilePath();

    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/orvello-XXXXXX"));
    const QString emulator = QStringLiteral("/opt/vgb/vgb");
    const QString games = QStringLiteral("/home/player/roms/gameboy");
    QFile ini(dir.filePath(QStringLiteral("WINORVEL.INI")));
    if (!ini.open(QIODevice::WriteOnly)) return 1;
    ini.write("[VirtualGB]\nEmuPath=" + emulator.toUtf8() + "\nGamesDir=" + games.toUtf8() +
              "\nVolume=13\nStereo=2\nCRC=0\nAutoA=1\n");
    ini.close();

    orvello::QtUiHost host;
    orvello::OrvelloApp program(host, dir.path());
    orvello::TMainForm* main = program.MainForm();
    main->show();
    QTest::qWait(200);
    main->EmuList->setCurrentIndex(orvello::SlotVirtualGameBoy);
    QTest::qWait(100);

    bool ok = false;
    // "Call option" shows the dialog modally; it is captured from within its own event loop.
    QTimer::singleShot(500, [&] {
        orvello::OptionDialog* dialog = program.Dialog(orvello::SlotVirtualGameBoy);
        dialog->PageControl1->setCurrentIndex(1);
        QTest::qWait(300);
        QDir().mkpath(out);
        ok = dialog->grab().save(out + QStringLiteral("/option-dialog.png"));
        dialog->reject();
    });
    QTest::mouseClick(main->CallOptionBt, Qt::LeftButton);
    if (!ok) {
        std::fprintf(stderr, "could not write the picture into %s\n", qPrintable(out));
        return 1;
    }
    std::printf("wrote %s/option-dialog.png\n", qPrintable(out));
    return 0;
}
