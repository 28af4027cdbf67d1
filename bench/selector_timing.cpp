// How long the ROM selector takes to show a folder of COUNT files and the contents of an
// archive of COUNT members, measured on the program's own windows (offscreen): from the
// user's click to the window painted with the filled list.
//
//   build-bench/selector_timing [RUNS [COUNT]]  (default 15 runs of 10,000; best and median)
//
// The folder and the archive are made in a temporary folder first. Each run clicks as the
// user does: "Default dir" from another folder (the folder is read, filtered and sorted),
// then the archive in the file list (detected, listed, sorted and shown), in each of the four
// views (report, small icons, list, large icons), each followed by a synchronous repaint of
// the whole window.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QLocale>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/Application.h"
#include "app/Main.h"
#include "app/QtHost.h"
#include "selector/OnFlyROMSelector.h"
#include "tests/archive/ZipBuilder.h"

namespace {

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

struct Figures {
    double best;
    double median;
};

Figures Measure(int runs, const std::function<void()>& before,
                const std::function<void()>& action) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        before();
        QElapsedTimer timer;
        timer.start();
        action();
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

void Print(const std::string& what, const Figures& f) {
    std::printf("%-56s best %8.1f ms   median %8.1f ms\n", what.c_str(), f.best, f.median);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvello"));
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const int entries = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10000;
    const std::string countText = QLocale(QLocale::English).toString(entries).toStdString();

    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("big"));
    const QString small = dir.filePath(QStringLiteral("small"));
    QDir().mkpath(big);
    QDir().mkpath(small);
    for (int i = 1; i <= entries; ++i) {
        Write(big + QStringLiteral("/GAME%1.SMC").arg(i, 6, 10, QLatin1Char('0')), "ROM");
    }
    std::vector<orvello::testing::ZipEntry> members;
    members.reserve(entries);
    for (int i = entries; i >= 1; --i) {  // stored in reverse, so the list has to sort
        char name[32];
        std::snprintf(name, sizeof name, "roms/GAME%06d.SMC", i);
        members.push_back(orvello::testing::Entry(name, orvello::testing::Text("ROM")));
    }
    const auto zip = orvello::testing::BuildZip(members);
    Write(
        small + QStringLiteral("/members.zip"),
        QByteArray(reinterpret_cast<const char*>(zip.data()), static_cast<qsizetype>(zip.size())));
    Write(small + QStringLiteral("/other.smc"), "ROM");

    const QString emulator = dir.filePath(QStringLiteral("snes9x"));
    Write(emulator, "#!/bin/sh\n");
    Write(dir.filePath(QStringLiteral("WINORVEL.INI")),
          "[Common]\nAutoPreview=0\n[S9x]\nEmuPath=" + emulator.toUtf8() +
              "\nGamesDir=" + big.toUtf8() + "\n");

    orvello::QtUiHost host;
    orvello::OrvelloApp program(host, dir.path());
    orvello::TMainForm* main = program.MainForm();
    orvello::TOnFlyForm* selector = program.OnFlyForm();
    main->show();
    main->EmuList->setCurrentIndex(orvello::SlotSNES9x);
    QTest::mouseClick(main->GetROMBt, Qt::LeftButton);
    if (!QTest::qWaitForWindowExposed(selector)) {
        std::fprintf(stderr, "the selector did not show\n");
        return 1;
    }
    main->CheckOnFlyChange->stop();  // nothing else runs between the measured clicks
    // "All files", so the archive and the other file are both listed.
    selector->FilterComboBox->setCurrentIndex(2);
    emit selector->FilterComboBox->activated(2);
    QCoreApplication::processEvents();

    auto clickFile = [selector](const QString& name) {
        const QModelIndex index = selector->Files()->index(selector->Files()->RowOf(name));
        selector->FileListBox->scrollTo(index);
        QTest::mouseClick(selector->FileListBox->viewport(), Qt::LeftButton, {},
                          selector->FileListBox->visualRect(index).center());
    };
    std::printf("ROM selector, %d runs each (offscreen, %s)\n", runs, qVersion());
    const Figures folder = Measure(
        runs, [&] { selector->SetFolder(small); },
        [&] {
            QTest::mouseClick(selector->DefaultDir, Qt::LeftButton);
            selector->repaint();
        });
    if (selector->Files()->Count() != entries + 1) {
        std::fprintf(stderr, "the folder shows %d entries\n", selector->Files()->Count());
        return 1;
    }
    Print("folder of " + countText + " files (\"Default dir\")", folder);

    selector->SetFolder(small);
    const std::pair<int, const char*> styles[] = {{orvello::InfoReport, "report view"},
                                                  {orvello::InfoSmallIcons, "small icons"},
                                                  {orvello::InfoList, "list"},
                                                  {orvello::InfoLargeIcons, "large icons"}};
    for (const auto& [style, name] : styles) {
        selector->SetInfoType(style);
        const Figures archive = Measure(
            runs, [&] { clickFile(QStringLiteral("other.smc")); },
            [&] {
                clickFile(QStringLiteral("members.zip"));
                selector->repaint();
            });
        if (selector->Members()->Count() != entries) {
            std::fprintf(stderr, "the archive shows %d members\n", selector->Members()->Count());
            return 1;
        }
        Print("archive of " + countText + " members (" + name + ")", archive);
    }
    return 0;
}
