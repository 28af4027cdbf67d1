// The real message boxes and prompt of the running program, the folder browser window and
// the non-visual folder dialog; and names and buddies for assistive technology everywhere.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <QTreeView>

#include "UiTestSupport.h"
#include "app/Application.h"
#include "app/Main.h"
#include "app/QtHost.h"
#include "options/OptionDialog.h"
#include "selector/FoldrDlg.h"

using namespace orvello;
using namespace orvello::test;

TEST(QtHost, MessageBoxesHaveTheirTitlesIconsAndButtons) {
    QtUiHost host;
    struct Seen {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
    } seen;
    auto look = [&seen](QMessageBox::StandardButton press) {
        return WhenModal([&seen, press](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
            box->button(press)->click();
        });
    };
    auto watch = look(QMessageBox::Ok);
    host.Error("Path to EXE doesn't exist");
    EXPECT_EQ(seen.title, "Error");
    EXPECT_EQ(seen.text, "Path to EXE doesn't exist");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);

    watch = look(QMessageBox::Ok);
    host.Information("Can't delete ROM");
    EXPECT_EQ(seen.title, "Information");
    EXPECT_EQ(seen.icon, QMessageBox::Information);

    watch = look(QMessageBox::Yes);
    EXPECT_TRUE(host.Confirm("Deleting description for current ROM?"));
    EXPECT_EQ(seen.title, "Confirm");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);

    watch = look(QMessageBox::No);
    EXPECT_FALSE(host.AskYesNo(MessageKind::Information, "Delete current ROM?"));
    EXPECT_EQ(seen.title, "Information");
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
}

TEST(QtHost, TextPromptIsPrefilledSelectedAndLimited) {
    QtUiHost host;
    bool selected = false;
    int limit = 0;
    const auto modal2 = WhenModal([&](QWidget* dialog) {
        auto* field = dialog->findChild<QLineEdit*>();
        selected = field->selectedText() == "No description";
        limit = field->maxLength();
        field->setText("Best game");
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    const auto answer = host.PromptText({"Add description", "Text: ", "No description", 255});
    EXPECT_TRUE(selected);
    EXPECT_EQ(limit, 255);
    EXPECT_EQ(answer, QString("Best game"));

    const auto modal3 = WhenModal([](QWidget* dialog) {
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    EXPECT_FALSE(host.PromptText({"Add description", "Text: ", "x", 255}).has_value());
}

TEST(QtHost, TheExecutableFilterAlsoListsFilesWithTheExecutePermission) {
    QTemporaryDir dir;
    WriteFile(dir.filePath("zsnes"), "#!/bin/sh\n");
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("zsnes"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    WriteFile(dir.filePath("GAME.EXE"), "MZ");
    WriteFile(dir.filePath("readme.txt"), "text");
    QtUiHost host;
    QStringList listed;
    QString filterShown;
    const auto modal = WhenModal([&](QWidget* w) {
        // Whatever fails below, the dialog closes, so the test ends instead of waiting.
        struct CloseAtEnd {
            QWidget* window;
            ~CloseAtEnd() {
                if (window->isVisible()) window->close();
            }
        } closer{w};
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        filterShown = dialog->selectedNameFilter();
        auto* view = dialog->findChild<QListView*>("listView");
        ASSERT_NE(view, nullptr);
        // The folder is read in the background.
        QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 2);
        for (int row = 0; row < 2; ++row) {
            listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
        }
        dialog->reject();
    });
    const auto chosen = host.OpenFile({"", "All executable files|*.exe; *.bat", dir.path()});
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"GAME.EXE", "zsnes"}));
    EXPECT_TRUE(filterShown.startsWith("All executable files"));
    EXPECT_FALSE(chosen.has_value());  // cancelled
}

TEST(FolderDialog, ExecuteAsksWithItsSettingsAndCancelEmptiesTheDirectory) {
    FakeHost host;
    TFolderDialog dialog(host);
    EXPECT_EQ(dialog.Options(), DefaultFolderDialogOptions);
    dialog.Text = "Pick";
    dialog.Directory = "/roms";
    dialog.SetOptions(bfScreenCenter);
    EXPECT_EQ(dialog.Options(), bfScreenCenter) << "no status text, so no path in it";
    dialog.SetOptions(bfShowPathInStatusArea | bfScreenCenter);
    EXPECT_TRUE(dialog.Options() & bfStatusText);
    EXPECT_FALSE(dialog.Execute());
    ASSERT_EQ(host.folderRequests.size(), 1u);
    EXPECT_EQ(host.folderRequests[0].title, "Browse for Folder");
    EXPECT_EQ(host.folderRequests[0].text, "Pick");
    EXPECT_EQ(host.folderRequests[0].directory, "/roms");
    EXPECT_EQ(host.folderRequests[0].options,
              bfShowPathInStatusArea | bfScreenCenter | bfStatusText);
    EXPECT_TRUE(dialog.Directory.isEmpty());

    host.folderAnswer = "/games";
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Directory, "/games");
}

TEST(FolderBrowser, OpensAtTheFolderWithItsPathInTheStatusLine) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("roms"));
    const QString roms = dir.filePath("roms");
    FolderRequest request;
    request.text = "Select a directory for games as default";
    request.directory = roms + "/.";
    TFolderBrowser browser(request, nullptr);
    EXPECT_EQ(browser.windowTitle(), "Browse for Folder");
    EXPECT_EQ(browser.findChild<QLabel*>("Prompt")->text(), request.text);
    EXPECT_EQ(browser.SelectedPath(), roms);
    EXPECT_EQ(browser.findChild<QLabel*>("StatusText")->text(), roms);
    auto* ok = browser.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_TRUE(ok->isEnabled());

    // Choosing another folder follows in the status line; accepting gives it.
    ASSERT_TRUE(browser.SelectFolder(dir.path()));
    EXPECT_EQ(browser.findChild<QLabel*>("StatusText")->text(), QDir(dir.path()).absolutePath());
}

TEST(FolderBrowser, AMissingFolderIsIgnoredAndFilesCannotBeAccepted) {
    QTemporaryDir dir;
    WriteFile(dir.filePath("game.smc"), "x");
    FolderRequest request;
    request.directory = dir.filePath("missing");
    request.options =
        bfFileSysDirsOnly | bfBrowseIncludeFiles | bfShowPathInStatusArea | bfStatusText;
    TFolderBrowser browser(request, nullptr);
    EXPECT_TRUE(browser.SelectedPath().isEmpty());
    auto* ok = browser.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_FALSE(ok->isEnabled());

    ASSERT_TRUE(browser.SelectFolder(dir.path()));
    EXPECT_TRUE(ok->isEnabled());
    // A file listed in the tree is no folder: OK goes off and the status line empties.
    QAbstractItemModel* model = browser.Tree()->model();
    const QModelIndex folder = browser.Tree()->currentIndex();
    browser.Tree()->expand(folder);
    if (model->canFetchMore(folder)) model->fetchMore(folder);
    QTRY_COMPARE(model->rowCount(folder), 1);  // the model reads folders in the background
    const QModelIndex file = model->index(0, 0, folder);
    ASSERT_EQ(file.data().toString(), "game.smc");
    browser.Tree()->setCurrentIndex(file);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(browser.findChild<QLabel*>("StatusText")->text().isEmpty());
    EXPECT_TRUE(browser.SelectedPath().isEmpty());
}

namespace {

// Every control a user reaches has a name for assistive technology, and every label that
// introduces a field is that field's buddy.
void ExpectAccessible(QWidget* window) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QComboBox*>(w) || qobject_cast<QTabBar*>(w) ||
                             qobject_cast<QSlider*>(w) || qobject_cast<QTreeView*>(w);
        if (control && w->focusPolicy() != Qt::NoFocus && w->window() == window &&
            !w->objectName().startsWith("qt_")) {
            const auto* button = qobject_cast<QAbstractButton*>(w);
            const bool named =
                !w->accessibleName().isEmpty() || (button && !button->text().isEmpty());
            EXPECT_TRUE(named) << window->objectName().toStdString() << ": "
                               << w->metaObject()->className() << " "
                               << w->objectName().toStdString();
        }
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->text().endsWith(':')) {
                EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
            }
        }
    }
}

}  // namespace

TEST(Accessibility, MainWindowAndDialogsNameEveryControl) {
    QTemporaryDir dir;
    FakeHost host;
    OrvelloApp app(host, dir.path());
    ExpectAccessible(app.MainForm());
    for (int slot = 0; slot < SlotCount; ++slot)
        ExpectAccessible(app.Dialog(slot));
}
