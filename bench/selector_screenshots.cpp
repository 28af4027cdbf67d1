// The README's pictures of the ROM selector, taken from the program's own windows: the
// windows are created as the program creates them, over a settings folder and a games
// folder made here, and driven as a user would (the SNES9x tab, "Get ROM file", a click on
// an archive, a click on one of its members). Then the selector is captured.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build-bench/selector_screenshots docs
//
// writes docs/selector.png (report view) and docs/selector-icons.png (large icons).
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QListView>
#include <QPainter>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <cstdio>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/Main.h"
#include "app/QtHost.h"
#include "selector/OnFlyROMSelector.h"
#include "tests/archive/ZipBuilder.h"

namespace {

using orvello::testing::BuildZip;
using orvello::testing::ZipEntry;

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// A member of `size` bytes of made-up ROM data.
ZipEntry Member(const std::string& name, std::size_t size) {
    ZipEntry e;
    e.name = name;
    e.data.resize(size);
    for (std::size_t i = 0; i < size; ++i)
        e.data[i] = static_cast<std::uint8_t>((i * 7 + i / 251) & 0xFF);
    return e;
}

// A title picture of a made-up game: sky, hills, blocks and the title.
QImage TitlePicture() {
    QImage image(256, 224, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 224);
    sky.setColorAt(0, QColor(40, 90, 200));
    sky.setColorAt(1, QColor(150, 200, 255));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 160, 70));
    p.drawEllipse(QPoint(60, 230), 110, 70);
    p.drawEllipse(QPoint(200, 240), 120, 80);
    p.setBrush(QColor(170, 100, 40));
    for (int x = 0; x < 256; x += 16)
        p.drawRect(x, 200, 15, 15);
    p.setBrush(QColor(240, 190, 60));
    for (int x : {88, 104, 120, 152})
        p.drawRect(x, 120, 15, 15);
    p.setBrush(QColor(255, 240, 120));
    p.drawEllipse(QPoint(210, 40), 18, 18);
    QFont title(QStringLiteral("DejaVu Sans"), 22, QFont::Black);
    p.setFont(title);
    p.setPen(QColor(20, 20, 60));
    p.drawText(QRect(2, 32, 256, 50), Qt::AlignHCenter, QStringLiteral("STAR QUEST"));
    p.setPen(Qt::white);
    p.drawText(QRect(0, 30, 256, 50), Qt::AlignHCenter, QStringLiteral("STAR QUEST"));
    QFont small(QStringLiteral("DejaVu Sans Mono"), 9, QFont::Bold);
    p.setFont(small);
    p.drawText(QRect(0, 170, 256, 20), Qt::AlignHCenter, QStringLiteral("PUSH START BUTTON"));
    return image;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvello"));
    // Absolute now: the selector makes the folder it shows the process's current one.
    const QString out =
        QFileInfo(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"))
            .absoluteFilePath();

    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/roms-XXXXXX"));
    const QString games = dir.filePath(QStringLiteral("SNES"));
    QDir().mkpath(games);
    QDir().mkpath(dir.filePath(QStringLiteral("emu")));
    const QString emulator = dir.filePath(QStringLiteral("emu/snes9x"));
    Write(emulator, "#!/bin/sh\n");
    for (const char* name : {"Alien Harbor (E).smc", "Bubble Trouble (U).sfc"})
        Write(games + QLatin1Char('/') + QLatin1String(name), QByteArray(4096, 'R'));
    QDir().mkpath(games + QStringLiteral("/Hacks"));
    const std::vector<ZipEntry> members = {
        Member("Star Quest (U).smc", 1048576), Member("Star Quest (U) [T+Fre].smc", 1049088),
        Member("Star Quest (J).sfc", 1048576), Member("manual/readme.txt", 5120),
        Member("Star Quest - Level Editor.smc", 524288)};
    const auto zip = BuildZip(members);
    Write(
        games + QStringLiteral("/Star Quest.zip"),
        QByteArray(reinterpret_cast<const char*>(zip.data()), static_cast<qsizetype>(zip.size())));
    Write(games + QStringLiteral("/Puzzle Pack.zip"), QByteArray());
    TitlePicture().save(games + QStringLiteral("/Star Quest (U).png"));

    Write(dir.filePath(QStringLiteral("WINORVEL.INI")),
          "[Common]\nAutoPreview=0\nShow preview=1\nOnFly_X=40\nOnFly_Y=40\n[S9x]\nEmuPath=" +
              emulator.toUtf8() + "\nGamesDir=" + games.toUtf8() + "\n");

    orvello::QtUiHost host;
    orvello::OrvelloApp program(host, dir.path());
    orvello::TMainForm* main = program.MainForm();
    orvello::TOnFlyForm* selector = program.OnFlyForm();
    main->show();
    QTest::qWait(200);
    main->EmuList->setCurrentIndex(orvello::SlotSNES9x);
    QTest::mouseClick(main->GetROMBt, Qt::LeftButton);
    QTest::qWait(300);

    auto click = [](QAbstractItemView* view, const QModelIndex& index) {
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    };
    const int row = selector->Files()->RowOf(QStringLiteral("Star Quest.zip"));
    if (row < 0) {
        std::fprintf(stderr, "the archive is not listed\n");
        return 1;
    }
    click(selector->FileListBox, selector->Files()->index(row));
    QTest::qWait(200);
    int member = -1;
    for (int r = 0; r < selector->Members()->Count(); ++r) {
        if (selector->Members()->At(r).caption == QStringLiteral("Star Quest (U).smc")) member = r;
    }
    if (member < 0) {
        std::fprintf(stderr, "the member is not listed\n");
        return 1;
    }
    click(selector->ZipList->Current(), selector->Members()->index(member, 0));
    // What the main window does on its next tick: look the preview up.
    selector->LookUpPreview();
    QTest::qWait(300);

    QDir().mkpath(out);
    bool ok = selector->grab().save(out + QStringLiteral("/selector.png"));
    selector->LargeIconsItem->trigger();
    QTest::qWait(300);
    ok = selector->grab().save(out + QStringLiteral("/selector-icons.png")) && ok;
    selector->ReportItem->trigger();
    if (!ok) {
        std::fprintf(stderr, "could not write the pictures into %s\n", qPrintable(out));
        return 1;
    }
    std::printf("wrote %s/selector.png and %s/selector-icons.png\n", qPrintable(out),
                qPrintable(out));
    return 0;
}
