// The end-to-end fixture: the real program with four emulators (SNES9x, ZSNES, M.A.M.E., Callus),
// each a stand-in that records how it was started, with its games folder; and the steps a user
// takes through the real windows.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <vector>

#include "EndToEndSupport.h"
#include "UiTestSupport.h"
#include "app/Application.h"
#include "app/Main.h"
#include "app/core/ArchiveBrowser.h"
#include "archive/ZipBuilder.h"
#include "selector/OnFlyROMSelector.h"

namespace orvello::test {

inline QByteArray Content(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The names in a folder, sorted; "<missing>" when there is no such folder.
inline QStringList Names(const QString& folder) {
    if (!QFileInfo(folder).isDir()) return {"<missing>"};
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

class EndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        savedFolder_ = QDir::currentPath();
        log_ = dir_.filePath("emulator.log");
        for (const char* name : {"snes9x", "zsnes", "mame", "callus"}) {
            QDir().mkpath(dir_.filePath(QStringLiteral("emu/") + name));
            QDir().mkpath(dir_.filePath(QStringLiteral("games/") + name));
            ASSERT_TRUE(WriteStandInEmulator(Emulator(name), log_));
        }
    }
    void TearDown() override {
        app_.reset();
        // Browsing and extracting move the current folder; put it back.
        QDir::setCurrent(savedFolder_);
    }

    QString Emulator(const char* name) const {
        return dir_.filePath(QStringLiteral("emu/%1/%1").arg(QLatin1String(name)));
    }
    QString EmuDir(const char* name) const {
        return dir_.filePath(QStringLiteral("emu/") + QLatin1String(name));
    }
    QString Games(const char* name) const {
        return dir_.filePath(QStringLiteral("games/") + QLatin1String(name));
    }
    // Copies a fixture archive of the repository into a games folder.
    static void PutFixture(const char* folder, const char* name, const QString& to) {
        const QString from = QStringLiteral(ORVELLO_FIXTURES "/archives/%1/%2")
                                 .arg(QLatin1String(folder), QLatin1String(name));
        ASSERT_TRUE(QFile::copy(from, to + "/" + QLatin1String(name))) << name;
    }
    void PutZip(const QString& path, const std::vector<orvello::testing::ZipEntry>& entries) {
        WriteFile(path, Bytes(orvello::testing::BuildZip(entries)));
    }

    // The program set up for four emulators, each with its games folder, showing `slot`
    // with the selector open.
    void Open(EmulatorSlot slot, bool keepExtracted) {
        QByteArray ini =
            "[Common]\nAutoPreview=0\nSave ROMs=" + QByteArray(keepExtracted ? "1" : "0") + "\n";
        const std::pair<const char*, const char*> emulators[] = {
            {"S9x", "snes9x"}, {"ZSNES", "zsnes"}, {"MAME", "mame"}, {"Callus", "callus"}};
        for (const auto& [section, name] : emulators) {
            ini += "[" + QByteArray(section) + "]\nEmuPath=" + Emulator(name).toUtf8() +
                   "\nGamesDir=" + Games(name).toUtf8() + "\n";
        }
        QDir().mkpath(dir_.filePath("settings"));
        WriteFile(dir_.filePath("settings/WINORVEL.INI"), ini);
        app_ = std::make_unique<OrvelloApp>(host_, dir_.filePath("settings"));
        ASSERT_TRUE(ShowActive(Main()));
        ASSERT_EQ(Main()->FileSaveExtracted->isChecked(), keepExtracted);
        QTest::mouseClick(Main()->EmuList, Qt::LeftButton, {},
                          Main()->EmuList->tabRect(slot).center());
        ASSERT_EQ(State().CurrentSlot, slot);
        QTest::mouseClick(Main()->GetROMBt, Qt::LeftButton);
        ASSERT_TRUE(Sel()->isVisible());
        Sel()->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == Sel(); }));
        // The ticks are the test's own, so every step is handled at once.
        Main()->CheckOnFlyChange->stop();
    }
    // The main window takes every pending notification, one per tick.
    void Ticks() {
        for (int i = 0; i < Mailbox::Size; ++i)
            Main()->CheckOnFlyChangeTimer();
    }

    TMainForm* Main() const { return app_->MainForm(); }
    TOnFlyForm* Sel() const { return app_->OnFlyForm(); }
    ArchiveBrowser& Archives() const { return Main()->Archives(); }
    AppState& State() const { return app_->State(); }
    QString Panel() const { return Main()->InfoPanel->text(); }

    QPoint FilePoint(const QString& shown) const {
        const int row = Sel()->Files()->RowOf(shown);
        EXPECT_GE(row, 0) << shown.toStdString() << " is not listed";
        const QModelIndex index = Sel()->Files()->index(row);
        Sel()->FileListBox->scrollTo(index);
        return Sel()->FileListBox->visualRect(index).center();
    }
    void ClickFile(const QString& shown) {
        QTest::mouseClick(Sel()->FileListBox->viewport(), Qt::LeftButton, {}, FilePoint(shown));
    }
    void DoubleClickFile(const QString& shown) {
        const QPoint at = FilePoint(shown);
        QWidget* viewport = Sel()->FileListBox->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    }
    void ClickMember(const QString& caption) {
        int row = -1;
        for (int r = 0; r < Sel()->Members()->Count(); ++r) {
            if (Sel()->Members()->At(r).caption == caption) row = r;
        }
        ASSERT_GE(row, 0) << caption.toStdString() << " is not listed";
        QAbstractItemView* view = Sel()->ZipList->Current();
        const QModelIndex index = Sel()->Members()->index(row, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }
    // The file-type box's next entry, chosen from the keyboard ("Zipped ROMs" is first, then
    // "All valid ROMs").
    void NextFileType() {
        Sel()->FilterComboBox->setFocus();
        QTest::keyClick(Sel()->FilterComboBox, Qt::Key_Down);
    }
    void Play() {
        ASSERT_TRUE(Sel()->PlayBt->isEnabled());
        QTest::mouseClick(Sel()->PlayBt, Qt::LeftButton);
        Ticks();
    }
    QList<QByteArray> LogLines() const {
        QList<QByteArray> lines = Content(log_).split('\n');
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
        return lines;
    }
    QStringList Log() const { return FileLines(log_); }

    QTemporaryDir dir_;
    QString savedFolder_;
    QString log_;
    FakeHost host_;
    std::unique_ptr<OrvelloApp> app_;
};

// Deletion goes to a trash of the test's own.
class DeleteEndToEndTest : public EndToEndTest {
  protected:
    void SetUp() override {
        EndToEndTest::SetUp();
        oldData_ = qgetenv("XDG_DATA_HOME");
        QStandardPaths::setTestModeEnabled(false);
        qputenv("XDG_DATA_HOME", dir_.filePath("data").toUtf8());
    }
    void TearDown() override {
        EndToEndTest::TearDown();
        QStandardPaths::setTestModeEnabled(true);
        if (oldData_.isNull()) {
            qunsetenv("XDG_DATA_HOME");
        } else {
            qputenv("XDG_DATA_HOME", oldData_);
        }
    }
    QByteArray oldData_;
};

}  // namespace orvello::test
