// Every window and dialog of the program, walked as assistive technology walks it: each
// control that can take the focus has a name a screen reader can say. Qt's own parts of our
// windows (a tool bar's extension button, a progress window's button) count like ours.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "UiTestSupport.h"
#include "app/About.h"
#include "app/Application.h"
#include "app/Main.h"
#include "app/QtHost.h"
#include "archive/ZipBuilder.h"
#include "options/OptionDialog.h"
#include "selector/FoldrDlg.h"
#include "selector/OnFlyROMSelector.h"

using namespace orvello;
using namespace orvello::test;

namespace {

// Roles of the things a user operates: whatever has one of them, or can take the focus,
// needs a name, whether it is shown at the moment or not (a screen reader lists it anyway).
bool IsControl(QAccessible::Role role) {
    switch (role) {
        case QAccessible::PushButton:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::ComboBox:
        case QAccessible::EditableText:
        case QAccessible::SpinBox:
        case QAccessible::Slider:
        case QAccessible::Dial:
        case QAccessible::ScrollBar:
        case QAccessible::ButtonMenu:
        case QAccessible::ButtonDropDown:
        case QAccessible::PageTab:
        case QAccessible::PageTabList:
        case QAccessible::List:
        case QAccessible::Tree:
        case QAccessible::Table:
        case QAccessible::MenuItem:
            return true;
        default:
            return false;
    }
}

void CollectUnnamed(QAccessibleInterface* a, const QString& window, QStringList& unnamed) {
    if (a == nullptr) return;
    // The items of lists and tables are data, not controls: an empty cell is no fault (our
    // own lists' items are looked at by the selector's tests).
    const bool item = a->role() == QAccessible::ListItem || a->role() == QAccessible::TreeItem ||
                      a->role() == QAccessible::Cell || a->role() == QAccessible::Row;
    const bool control = !item && (IsControl(a->role()) || a->state().focusable);
    // A menu's separators are items without a text of their own.
    const bool separator = a->role() == QAccessible::Separator;
    if (control && !separator && a->text(QAccessible::Name).trimmed().isEmpty()) {
        QObject* o = a->object();
        unnamed << QStringLiteral("%1: %2 \"%3\" (role %4)")
                       .arg(window, o ? o->metaObject()->className() : "item",
                            o ? o->objectName() : QString())
                       .arg(static_cast<int>(a->role()));
    }
    for (int i = 0; i < a->childCount(); ++i)
        CollectUnnamed(a->child(i), window, unnamed);
}

// What assistive technology finds in a window without a name.
QStringList Unnamed(QWidget* window) {
    QStringList unnamed;
    CollectUnnamed(QAccessible::queryAccessibleInterface(window), window->objectName(), unnamed);
    return unnamed;
}

// The unnamed controls of the next modal window, after which it is closed.
[[nodiscard]] std::shared_ptr<void> LookAtModal(QStringList& unnamed, bool& seen) {
    return WhenModal([&unnamed, &seen](QWidget* modal) {
        seen = true;
        if (modal->objectName().isEmpty()) modal->setObjectName(modal->metaObject()->className());
        unnamed << Unnamed(modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    });
}

}  // namespace

TEST(Accessibility, EveryControlOfEveryWindowHasAName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FakeHost host;
    OrvelloApp app(host, dir.filePath("settings"));
    ASSERT_TRUE(ShowActive(app.MainForm()));
    QStringList unnamed;

    // The main window, the selector with an archive's members listed, and the option dialogs.
    unnamed << Unnamed(app.MainForm());
    QDir().mkpath(dir.filePath("games"));
    WriteFile(dir.filePath("games/games.zip"),
              Bytes(orvello::testing::BuildZip(
                  {orvello::testing::Entry("Game.smc", orvello::testing::Text("game"))})));
    app.State().GamesDir[SlotZSNES] = dir.filePath("games");
    app.MainForm()->EmuList->setCurrentIndex(SlotZSNES);
    app.MainForm()->GetROMBt->click();
    ASSERT_TRUE(app.OnFlyForm()->isVisible());
    unnamed << Unnamed(app.OnFlyForm());
    for (EmulatorSlot slot = 0; slot < SlotCount; ++slot)
        unnamed << Unnamed(app.Dialog(slot));

    // The About box and the folder browser.
    TAboutBox about(app.MainForm());
    about.setObjectName("About");
    unnamed << Unnamed(&about);
    FolderRequest request;
    request.text = "Select a folder";
    TFolderBrowser browser(request, app.MainForm());
    browser.setObjectName("FolderBrowser");
    unnamed << Unnamed(&browser);

    // The message boxes, the text prompt and the open-file dialog, as the program shows them.
    QtUiHost real;
    bool seen = false;
    {
        const auto look = LookAtModal(unnamed, seen);
        real.ShowMessage(MessageKind::Error, "Something went wrong");
    }
    EXPECT_TRUE(seen);
    seen = false;
    {
        const auto look = LookAtModal(unnamed, seen);
        real.AskYesNo(MessageKind::Confirmation, "Delete current ROM?");
    }
    EXPECT_TRUE(seen);
    seen = false;
    {
        const auto look = LookAtModal(unnamed, seen);
        TextPrompt prompt;
        prompt.caption = "Add description";
        prompt.label = "Text: ";
        real.PromptText(prompt);
    }
    EXPECT_TRUE(seen);
    seen = false;
    {
        const auto look = LookAtModal(unnamed, seen);
        OpenFileRequest open;
        open.filter = "All executable files|*.exe; *.bat";
        open.initialDir = dir.path();
        real.OpenFile(open);
    }
    EXPECT_TRUE(seen);

    // The progress window of an extraction, looked at while the extraction waits on a message
    // of the archive library (a member in a method nobody decodes).
    orvello::testing::ZipEntry unknown =
        orvello::testing::Entry("Odd.smc", orvello::testing::Text("odd"));
    unknown.method = 99;
    WriteFile(dir.filePath("games/odd.zip"), Bytes(orvello::testing::BuildZip({unknown})));
    WriteFile(dir.filePath("emulator"), "#!/bin/sh\n");
    QFile::setPermissions(dir.filePath("emulator"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    app.State().EmuPath[SlotZSNES] = dir.filePath("emulator");
    app.MainForm()->CheckOnFlyChange->stop();
    app.OnFlyForm()->RereadFileList();
    const int row = app.OnFlyForm()->Files()->RowOf("odd.zip");
    ASSERT_GE(row, 0);
    app.OnFlyForm()->FileListBox->setCurrentIndex(app.OnFlyForm()->Files()->index(row));
    ASSERT_EQ(app.OnFlyForm()->Members()->Count(), 1);
    app.OnFlyForm()->ZipList->SelectRow(0);
    bool progressSeen = false;
    host.onMessage = [&] {
        if (QProgressDialog* progress = app.MainForm()->ExtractProgress) {
            progressSeen = true;
            unnamed << Unnamed(progress);
        }
    };
    for (int i = 0; i < Mailbox::Size; ++i)
        app.MainForm()->CheckOnFlyChangeTimer();  // the member chosen, not a plain file
    app.MainForm()->LaunchRom();
    host.onMessage = nullptr;
    EXPECT_TRUE(progressSeen);

    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join('\n').toStdString();
}
