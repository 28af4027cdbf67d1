// The main window driven as a user would: start-up from a settings file, the exit sequence
// and what it writes, the tab and path checks, the toolbar, menus and the option dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "UiTestSupport.h"
#include "app/Application.h"
#include "app/Main.h"
#include "app/core/PathRules.h"
#include "options/KGen_OptionForm.h"
#include "selector/OnFlyROMSelector.h"

using namespace orvello;
using namespace orvello::test;

namespace {

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    // The program's windows over a settings folder of the test's own.
    OrvelloApp& Start(bool show = true) {
        app_ = std::make_unique<OrvelloApp>(host_, dir_.path());
        if (show) {
            EXPECT_TRUE(ShowActive(Main()));
        }
        return *app_;
    }
    TMainForm* Main() const { return app_->MainForm(); }
    TOnFlyForm* Selector() const { return app_->OnFlyForm(); }
    AppState& State() const { return app_->State(); }
    QString Ini() const { return dir_.filePath("WINORVEL.INI"); }
    // A file and a folder that exist.
    QString ExistingFile() {
        const QString path = dir_.filePath("emu/zsnes");
        QDir().mkpath(dir_.filePath("emu"));
        WriteFile(path, "#!/bin/sh\n");
        return path;
    }
    QString ExistingFolder(const char* name = "games") {
        QDir().mkpath(dir_.filePath(name));
        return dir_.filePath(name);
    }
    void ClickTab(int index) {
        QTest::mouseClick(Main()->EmuList, Qt::LeftButton, {},
                          Main()->EmuList->tabRect(index).center());
    }
    // Types into a field as the user does (the field counts as changed).
    static void Type(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }

    QTemporaryDir dir_;
    FakeHost host_;
    std::unique_ptr<OrvelloApp> app_;
};

}  // namespace

TEST_F(MainWindowTest, FirstStartWithoutASettingsFile) {
    Start();
    TMainForm* main = Main();
    EXPECT_EQ(main->windowTitle(), "Orvello v1.5");
    EXPECT_EQ(main->EmuList->count(), 12);
    EXPECT_EQ(main->EmuList->currentIndex(), 0);
    EXPECT_EQ(main->EmuList->tabText(9), "M.A.M.E.");
    EXPECT_TRUE(main->EmuPath->text().isEmpty());
    EXPECT_TRUE(main->GamesDir->text().isEmpty());
    EXPECT_FALSE(main->GetROMBt->isEnabled());
    EXPECT_TRUE(main->FileAutoPreview->isChecked());
    EXPECT_TRUE(main->FileSaveGeneralOpt->isChecked());
    EXPECT_FALSE(main->FileSaveAlloption->isChecked());
    EXPECT_FALSE(main->FileSaveExtracted->isChecked());
    EXPECT_FALSE(main->ROMsMenu->menuAction()->isEnabled());
    EXPECT_TRUE(main->InfoPanel->text().isEmpty());
    EXPECT_EQ(main->StatusPanels[0]->text(), "Time");
    EXPECT_EQ(main->StatusPanels[1]->text(), "Orvello for Windows 95");

    // Auto preview is on, so the preview starts hidden and its button says so.
    EXPECT_TRUE(State().AutoPreview);
    EXPECT_FALSE(State().ShowPreview);
    EXPECT_TRUE(Selector()->ImagePanel->isHidden());
    EXPECT_EQ(Selector()->PreviewButton->text(), "Auto preview");
    EXPECT_FALSE(Selector()->PreviewButton->isEnabled());
    EXPECT_EQ(Selector()->InfoType(), InfoReport);
    EXPECT_EQ(Selector()->pos(), QPoint(-1, -1));

    // KGen's defaults give an empty string; starting up only reads.
    EXPECT_TRUE(State().Switches[SlotKGen].isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Ini()));
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("Gamez.DSC")));
    EXPECT_TRUE(host_.messages.empty());
}

TEST_F(MainWindowTest, StartUpReadsEverySectionAndTheCommonOptions) {
    const QString games = ExistingFolder();
    WriteFile(Ini(),
              "[Common]\nSave ROMs=2\nX=0x20\nY=7\nOnFly_X=40\nOnFly_Y=abc\nInfo type=0\n"
              "AutoPreview=0\nShow preview=1\n"
              "[MagicEngine]\nEmuPath=/emu/pce\nGamesDir=" +
                  games.toUtf8() +
                  "\n"
                  "[KGen]\nEmuPath=/emu/kgen\nGamesDir=/roms/md\nRom switch=1\nSound=1\nFrames=3\n"
                  "[CALLUS]\nEmuPath=/emu/callus\n");
    Start();
    EXPECT_EQ(State().Switches[SlotKGen], " -E -S -F3");
    EXPECT_EQ(State().EmuPath[SlotKGen], "/emu/kgen");
    EXPECT_EQ(State().GamesDir[SlotKGen], "/roms/md");
    EXPECT_EQ(State().EmuPath[SlotCallus], "/emu/callus");
    EXPECT_TRUE(Main()->FileSaveExtracted->isChecked());
    EXPECT_EQ(Main()->pos(), QPoint(32, 7));
    EXPECT_EQ(Selector()->pos(), QPoint(40, -1));
    EXPECT_EQ(Selector()->InfoType(), InfoLargeIcons);
    EXPECT_TRUE(Selector()->LargeIconsItem->isChecked());
    EXPECT_FALSE(Main()->FileAutoPreview->isChecked());
    EXPECT_TRUE(State().ShowPreview);
    EXPECT_FALSE(Selector()->ImagePanel->isHidden());
    EXPECT_EQ(Selector()->PreviewButton->text(), "Hide &preview");

    // The first tab's fields, the selector pointed at its games folder with its filter.
    EXPECT_EQ(Main()->EmuPath->text(), "/emu/pce");
    EXPECT_EQ(Main()->GamesDir->text(), games);
    EXPECT_TRUE(Main()->GetROMBt->isEnabled());
    EXPECT_EQ(Selector()->Folder(), games);
    EXPECT_EQ(Selector()->Filter(),
              "Zipped ROMs|*.zip;*.arj;*.lzh;*.arc;*.pak;*.zoo;*.rar;*.lzh|All valid ROMs|"
              "*.pce;*.grf;*.rom;*.0?0|All files|*.*");
    EXPECT_EQ(Selector()->FilterComboBox->currentText(), "Zipped ROMs");
}

namespace {

// The keys of a settings file in file order, as "[Section]" and "Key" lines.
QStringList Keys(const QStringList& lines) {
    QStringList keys;
    for (const QString& line : lines) {
        if (line.startsWith('[')) {
            keys.push_back(line);
        } else if (line.contains('=')) {
            keys.push_back(line.left(line.indexOf('=')));
        }
    }
    return keys;
}

// The keys a dialog writes into its section, on their own in a scratch file: "EmuPath",
// "GamesDir", then the dialog's own keys, which its own tests check.
QStringList SectionKeys(OptionDialog* dialog, const QString& scratch) {
    QFile::remove(scratch);
    IniFile ini(scratch);
    dialog->SaveOptions(ini);
    return Keys(FileLines(scratch));
}

QStringList ExpectedExitKeys(const OrvelloApp& app, const QString& scratch, bool saveAll,
                             bool saveGeneral) {
    QStringList keys;
    if (saveAll) {
        for (EmulatorSlot slot : SettingsOrder) {
            const QStringList section = SectionKeys(app.Dialog(slot), scratch);
            EXPECT_EQ(section.mid(0, 3),
                      (QStringList{QStringLiteral("[%1]").arg(Slots[slot].section), "EmuPath",
                                   "GamesDir"}));
            keys << section;
        }
    }
    keys << "[Common]"
         << "Save ROMs"
         << "AutoPreview";
    if (saveGeneral)
        keys << "X"
             << "Y"
             << "OnFly_X"
             << "OnFly_Y"
             << "Info type"
             << "Show preview";
    return keys;
}

}  // namespace

class ExitSequence : public MainWindowTest,
                     public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

TEST_P(ExitSequence, WritesExactlyTheAskedKeysInOrder) {
    const auto [saveAll, saveGeneral] = GetParam();
    Start();
    Main()->FileSaveAlloption->setChecked(saveAll);
    Main()->FileSaveGeneralOpt->setChecked(saveGeneral);
    Main()->FileSaveExtracted->trigger();  // on
    Main()->FileAutoPreview->trigger();    // off
    State().EmuPath[SlotKGen] = "/emu/kgen";
    Selector()->move(11, 12);
    const QStringList expected =
        ExpectedExitKeys(*app_, dir_.filePath("scratch.ini"), saveAll, saveGeneral);
    Main()->close();

    const QStringList lines = FileLines(Ini());
    EXPECT_EQ(Keys(lines), expected);
    EXPECT_TRUE(lines.contains("Save ROMs=1"));
    EXPECT_TRUE(lines.contains("AutoPreview=0"));
    EXPECT_EQ(lines.contains("EmuPath=/emu/kgen"), saveAll);
    if (saveGeneral) {
        EXPECT_TRUE(lines.contains("OnFly_X=11"));
        EXPECT_TRUE(lines.contains("OnFly_Y=12"));
        EXPECT_TRUE(lines.contains("Info type=3"));
        EXPECT_TRUE(lines.contains("Show preview=0"));
    }
    if (saveAll) {
        EXPECT_TRUE(lines.contains("Rom switch=0"));
        EXPECT_TRUE(lines.contains("Frames=1"));
    }
    EXPECT_TRUE(host_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(MenuOptions, ExitSequence,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

TEST_F(MainWindowTest, AnExitLeavesUnsavedSectionsAsTheyWereOnDisk) {
    WriteFile(Ini(), "; mine\n[KGen]\nEmuPath=/old\nRom switch=2\n");
    Start();
    EXPECT_EQ(State().Switches[SlotKGen], " -J");
    State().EmuPath[SlotKGen] = "/new";
    Main()->close();
    const QStringList lines = FileLines(Ini());
    EXPECT_EQ(lines.mid(0, 4), (QStringList{"; mine", "[KGen]", "EmuPath=/old", "Rom switch=2"}));
    EXPECT_TRUE(lines.contains("[Common]"));
}

TEST_F(MainWindowTest, ARefusedWriteAtExitShowsOneErrorAndStopsTheSequence) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("WINORVEL.INI"));
    Start();
    Main()->FileSaveAlloption->setChecked(true);
    Main()->close();
    EXPECT_EQ(host_.Texts(), std::vector<QString>{"Unable to write to " + Ini()});
    EXPECT_EQ(host_.messages[0].kind, MessageKind::Error);
    EXPECT_FALSE(Main()->isVisible()) << "the program still exits";
}

TEST_F(MainWindowTest, SaveEmuOptionWritesOnlyTheCurrentSlotsSection) {
    Start();
    ClickTab(SlotKGen);
    ASSERT_EQ(State().CurrentSlot, SlotKGen);
    State().GamesDir[SlotKGen] = "/roms";
    QTest::keyClick(Main(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(FileLines(Ini()), (QStringList{"[KGen]", "EmuPath=", "GamesDir=/roms", "Runner=0",
                                             "Rom switch=0", "Sound=0", "Frames=1"}));
}

TEST_F(MainWindowTest, ANonExistentEmulatorPathKeepsTheTabAndIsPutBack) {
    const QString emu = ExistingFile();
    WriteFile(Ini(), "[MagicEngine]\nEmuPath=" + emu.toUtf8() + "\n");
    Start();
    Type(Main()->EmuPath, dir_.filePath("nothing/here"));
    ClickTab(1);
    EXPECT_EQ(host_.Texts(), std::vector<QString>{"Path to EXE doesn't exist"});
    EXPECT_EQ(host_.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(Main()->EmuList->currentIndex(), 0);
    EXPECT_EQ(State().CurrentSlot, 0);
    EXPECT_EQ(Main()->EmuPath->text(), emu);
    EXPECT_EQ(State().EmuPath[0], emu);
    EXPECT_TRUE(Main()->EmuPath->hasFocus());

    // A folder is no executable either.
    Type(Main()->EmuPath, dir_.path());
    ClickTab(1);
    EXPECT_EQ(host_.messages.size(), 2u);
    EXPECT_EQ(Main()->EmuList->currentIndex(), 0);
}

TEST_F(MainWindowTest, ARefusedPathSwallowsTheClickThatLeftTheField) {
    Start();
    auto opened = std::make_shared<bool>(false);
    const auto watch = WhenModal([opened](QWidget* w) {
        *opened = true;
        static_cast<QDialog*>(w)->reject();
    });
    Type(Main()->EmuPath, dir_.filePath("nothing/here"));
    QTest::mouseClick(Main()->CallOptionBt, Qt::LeftButton);
    EXPECT_EQ(host_.Texts(), std::vector<QString>{"Path to EXE doesn't exist"});
    EXPECT_TRUE(Main()->EmuPath->hasFocus());
    EXPECT_FALSE(*opened) << "the option dialog must not open behind the message";
    EXPECT_TRUE(Main()->EmuPath->text().isEmpty());
}

TEST_F(MainWindowTest, ExistingPathsAreStoredWhenTheTabChanges) {
    Start();
    const QString emu = ExistingFile();
    const QString games = ExistingFolder();
    Type(Main()->EmuPath, emu);
    Main()->GamesDir->setFocus();
    Type(Main()->GamesDir, games);
    ClickTab(1);
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(State().CurrentSlot, 1);
    EXPECT_EQ(State().EmuPath[0], emu);
    EXPECT_EQ(State().GamesDir[0], games);
    EXPECT_TRUE(Main()->EmuPath->text().isEmpty()) << "the fields show the new slot";
    EXPECT_FALSE(Main()->GetROMBt->isEnabled());
    ClickTab(0);
    EXPECT_EQ(Main()->EmuPath->text(), emu);
    EXPECT_EQ(Main()->GamesDir->text(), games);
    EXPECT_TRUE(Main()->GetROMBt->isEnabled());
    EXPECT_EQ(Selector()->Folder(), games);
}

TEST_F(MainWindowTest, GamesFolderChecksOnLeavingTheField) {
    const QString games = ExistingFolder();
    WriteFile(Ini(), "[MagicEngine]\nGamesDir=" + games.toUtf8() + "\n");
    Start();
    ASSERT_TRUE(Main()->GetROMBt->isEnabled());

    // A folder that does not exist: the error, the old value back, the focus returned.
    Type(Main()->GamesDir, dir_.filePath("missing"));
    QTest::keyClick(Main()->GamesDir, Qt::Key_Tab);
    EXPECT_EQ(host_.Texts(), std::vector<QString>{"Path to game directory doesn't exist"});
    EXPECT_EQ(Main()->GamesDir->text(), games);
    EXPECT_TRUE(Main()->GamesDir->hasFocus());

    // A file is no folder.
    Type(Main()->GamesDir, ExistingFile());
    QTest::keyClick(Main()->GamesDir, Qt::Key_Tab);
    EXPECT_EQ(host_.messages.size(), 2u);

    // Clearing the field stores an empty games folder and disables "Get ROM file".
    Type(Main()->GamesDir, "");
    QTest::keyClick(Main()->GamesDir, Qt::Key_Tab);
    EXPECT_EQ(host_.messages.size(), 2u);
    EXPECT_TRUE(State().GamesDir[0].isEmpty());
    EXPECT_FALSE(Main()->GetROMBt->isEnabled());
    EXPECT_FALSE(Main()->GamesDir->hasFocus());
}

TEST_F(MainWindowTest, GameNameSlotsHideTheSelectorsArchiveViews) {
    Start();
    Main()->EmuList->setCurrentIndex(SlotMAME);
    EXPECT_TRUE(Selector()->ZipList->isHidden());
    EXPECT_TRUE(Selector()->FilterComboBox->isHidden());
    EXPECT_TRUE(Selector()->ZipLabel->isHidden());
    EXPECT_EQ(ParseFilter(Selector()->Filter())[1].masks, QStringList{});
    Main()->EmuList->setCurrentIndex(SlotCallus);
    EXPECT_TRUE(Selector()->ZipList->isHidden());
    Main()->EmuList->setCurrentIndex(SlotZSNES);
    EXPECT_FALSE(Selector()->ZipList->isHidden());
    EXPECT_FALSE(Selector()->FilterComboBox->isHidden());
    EXPECT_EQ(ParseFilter(Selector()->Filter())[1].masks,
              (QStringList{"*.smc", "*.fig", "*.sfc", "*.?"}));
}

TEST_F(MainWindowTest, FindEmuStoresTheChosenFileAndStartsInTheEmulatorsFolder) {
    WriteFile(Ini(), "[MagicEngine]\nEmuPath=/emu/pce/pce.exe\n");
    Start();
    host_.openAnswer = "/emu/new/magic";
    QTest::mouseClick(Main()->FindEmuBt, Qt::LeftButton);
    ASSERT_EQ(host_.openRequests.size(), 1u);
    EXPECT_EQ(host_.openRequests[0].initialDir, "/emu/pce");
    EXPECT_EQ(host_.openRequests[0].filter, "All executable files|*.exe; *.bat");
    EXPECT_EQ(State().EmuPath[0], "/emu/new/magic");
    EXPECT_EQ(Main()->EmuPath->text(), "/emu/new/magic");

    host_.openAnswer.reset();
    QTest::mouseClick(Main()->FindEmuBt, Qt::LeftButton);
    EXPECT_EQ(host_.openRequests[1].initialDir, "/emu/new");
    EXPECT_EQ(State().EmuPath[0], "/emu/new/magic");
}

TEST_F(MainWindowTest, FindGamesBrowsesForAFolderAndEnablesGetRom) {
    Start();
    host_.folderAnswer = "/roms/pce";
    QTest::mouseClick(Main()->FindGamesDirBt, Qt::LeftButton);
    ASSERT_EQ(host_.folderRequests.size(), 1u);
    const FolderRequest& asked = host_.folderRequests[0];
    EXPECT_EQ(asked.title, "Browse for Folder");
    EXPECT_EQ(asked.text, "Select a directory for games as default");
    EXPECT_TRUE(asked.directory.isEmpty()) << "an empty field opens at the top";
    EXPECT_TRUE(asked.options & bfFileSysDirsOnly);
    EXPECT_TRUE(asked.options & bfShowPathInStatusArea);
    EXPECT_TRUE(asked.options & bfScreenCenter);
    EXPECT_FALSE(asked.options & bfParentCenter);
    EXPECT_EQ(State().GamesDir[0], "/roms/pce");
    EXPECT_EQ(Main()->GamesDir->text(), "/roms/pce");
    EXPECT_TRUE(Main()->GetROMBt->isEnabled());

    // Cancel stores nothing; the browser opened at the field's folder.
    host_.folderAnswer.reset();
    QTest::mouseClick(Main()->FindGamesDirBt, Qt::LeftButton);
    EXPECT_EQ(host_.folderRequests[1].directory, "/roms/pce");
    EXPECT_EQ(State().GamesDir[0], "/roms/pce");
    EXPECT_EQ(Main()->GamesDirDialog.Directory, "");
}

TEST_F(MainWindowTest, GetRomShowsTheSelectorOnceAndOnlyRaisesItAfterwards) {
    const QString games = ExistingFolder();
    const QString other = ExistingFolder("other");
    WriteFile(Ini(), "[MagicEngine]\nGamesDir=" + games.toUtf8() + "\n");
    Start();
    State().mailbox.PostNotification(MainWindowId, NoteSource::Selector, NoteCode::Cleared);
    QTest::mouseClick(Main()->GetROMBt, Qt::LeftButton);
    EXPECT_TRUE(Selector()->isVisible());
    EXPECT_TRUE(Main()->CheckOnFlyChange->isActive());
    EXPECT_FALSE(State().mailbox.TakeNotification(MainWindowId)) << "cleared on showing";

    State().GamesDir[0] = other;
    Selector()->FilterComboBox->setCurrentIndex(2);
    QTest::mouseClick(Main()->GetROMBt, Qt::LeftButton);
    EXPECT_EQ(Selector()->Folder(), games);
    EXPECT_EQ(Selector()->FilterComboBox->currentIndex(), 2);

    // The selector's close box: the next tick hides it and stops the timer.
    Selector()->close();
    Main()->CheckOnFlyChangeTimer();
    EXPECT_FALSE(Selector()->isVisible());
    EXPECT_FALSE(Main()->CheckOnFlyChange->isActive());
    const auto left = State().mailbox.TakeNotification(MainWindowId);
    ASSERT_TRUE(left);
    EXPECT_EQ(left->Code, NoteCode::Cleared) << "the clear waits for the next showing";
}

TEST_F(MainWindowTest, PointingTheSelectorAtTheSameFolderPostsNothing) {
    const QString games = ExistingFolder();
    WriteFile(Ini(), "[MagicEngine]\nGamesDir=" + games.toUtf8() + "/\n");
    Start();
    State().mailbox.ClearMailbox();
    State().GamesDir[0] = games + "/./";
    Main()->PointSelectorToGamesDir();
    EXPECT_FALSE(State().mailbox.TakeNotification(MainWindowId));
    State().GamesDir[0] = ExistingFolder("elsewhere");
    Main()->PointSelectorToGamesDir();
    const auto note = State().mailbox.TakeNotification(MainWindowId);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->Code, NoteCode::Cleared);
    EXPECT_EQ(State().SelectorFolder, State().GamesDir[0]);
}

TEST_F(MainWindowTest, CallOptionTakesTheSwitchesOnOkOnly) {
    Start();
    ClickTab(SlotKGen);
    const auto modal1 = WhenModal([](QWidget* dialog) {
        dialog->findChild<QCheckBox*>("noSound")->setChecked(true);
        QTest::mouseClick(dialog->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    });
    QTest::mouseClick(Main()->CallOptionBt, Qt::LeftButton);
    EXPECT_EQ(State().Switches[SlotKGen], " -S");

    const auto modal2 = WhenModal([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "KGEN Option");
        dialog->findChild<QCheckBox*>("AutoDetect")->setChecked(true);
        QTest::mouseClick(dialog->findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
    });
    QTest::mouseClick(Main()->CallOptionBt, Qt::LeftButton);
    EXPECT_EQ(State().Switches[SlotKGen], " -S");
}

TEST_F(MainWindowTest, MenuItemsAndToolButtonsCarryTheirTextsShortcutsAndHints) {
    Start();
    struct Item {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
        const char* hint;
        bool enabled;
    };
    const Item items[] = {
        {"FileSaveOption", "&Save emu option", QKeySequence("Ctrl+S"),
         "Save option for current emulator", true},
        {"FileSaveAlloption", "Sa&ve all emu options on exit", QKeySequence(),
         "Save options for all emulators", true},
        {"FileAutoPreview", "Auto &preview", QKeySequence("Ctrl+P"), "", true},
        {"FileSaveExtracted", "Save ex&tracted ROMS", QKeySequence("Ctrl+T"), "", true},
        {"FileSaveGeneralOpt", "Save general &options on exit", QKeySequence("Ctrl+O"), "", true},
        {"FileAbout", "&About...", QKeySequence(), "Show info about program and author", true},
        {"FileExit", "&Exit", QKeySequence("Ctrl+X"), "Exit from program", true},
        {"ROMsDelete", "&Delete", QKeySequence("Ctrl+D"), "Delete current ROM", true},
        {"DescrAdd", "&Add", QKeySequence("Ctrl+A"), "Add description to current ROM", false},
        {"DescrChange", "&Change", QKeySequence("Ctrl+C"), "Change description to current ROM",
         false},
        {"DescrRemove", "&Remove", QKeySequence("Ctrl+R"), "Remove description to current ROM",
         false},
    };
    for (const Item& item : items) {
        const auto* action = Main()->findChild<QAction*>(item.name);
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text(), item.caption);
        EXPECT_EQ(action->shortcut(), item.shortcut) << item.name;
        EXPECT_EQ(action->statusTip(), item.hint);
        EXPECT_EQ(action->isEnabled(), item.enabled) << item.name;
    }
    const QStringList menus = {"&File", "&ROMs", "&Description"};
    QStringList shown;
    for (QAction* a : Main()->menuBar()->actions())
        shown << a->text();
    EXPECT_EQ(shown, menus);

    EXPECT_EQ(Main()->FindEmuBt->text(), "Find &emu");
    EXPECT_EQ(Main()->FindGamesDirBt->text(), "Find &games");
    EXPECT_EQ(Main()->GetROMBt->text(), "Get &ROM file");
    EXPECT_EQ(Main()->CallOptionBt->text(), "&Call option");
}

TEST_F(MainWindowTest, HintsOfControlsAndMenuItemsGoToTheSecondPanel) {
    Start();
    QTest::mouseMove(Main()->FindGamesDirBt);
    QTRY_COMPARE(Main()->StatusPanels[1]->text(), QString("Search for default game directory"));
    Main()->FileExit->showStatusText(Main()->menuBar());
    EXPECT_EQ(Main()->StatusPanels[1]->text(), "Exit from program");
    EXPECT_EQ(Main()->StatusPanels[0]->text(), "Time") << "the clock keeps its panel";
    Main()->ClockTimerTimer();
    EXPECT_NE(Main()->StatusPanels[0]->text(), "Time");
}

TEST_F(MainWindowTest, UpdateMenusFollowsTheSelectionAndTheDescription) {
    Start();
    State().SelectedFile = "/roms/game.smc";
    State().CurrentDescription = "No description";
    Main()->UpdateMenus();
    EXPECT_TRUE(Main()->ROMsMenu->menuAction()->isEnabled());
    EXPECT_TRUE(Main()->DescrAdd->isEnabled());
    EXPECT_FALSE(Main()->DescrChange->isEnabled());
    EXPECT_FALSE(Main()->DescrRemove->isEnabled());
    State().CurrentDescription = "Best game";
    Main()->UpdateMenus();
    EXPECT_FALSE(Main()->DescrAdd->isEnabled());
    EXPECT_TRUE(Main()->DescrChange->isEnabled());
    EXPECT_TRUE(Main()->DescrRemove->isEnabled());
    State().SelectedFile.clear();
    Main()->UpdateMenus();
    EXPECT_FALSE(Main()->ROMsMenu->menuAction()->isEnabled());
    EXPECT_FALSE(Main()->DescrChange->isEnabled());
}

TEST_F(MainWindowTest, AutoPreviewMenuUpdatesTheSelectorsButton) {
    Start();
    Main()->FileAutoPreview->trigger();
    EXPECT_FALSE(State().AutoPreview);
    EXPECT_TRUE(Selector()->PreviewButton->isEnabled());
    EXPECT_EQ(Selector()->PreviewButton->text(), "Show &preview");
    EXPECT_TRUE(Selector()->ImagePanel->isHidden()) << "the panel follows at the next lookup";
}

TEST_F(MainWindowTest, AboutBoxShowsTheProductAndClosesWithOk) {
    Start();
    QString title, product;
    const auto modal3 = WhenModal([&](QWidget* box) {
        title = box->windowTitle();
        product = box->findChild<QLabel*>("ProductName")->text();
        QTest::mouseClick(box->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
    });
    Main()->FileAbout->trigger();
    EXPECT_EQ(title, "About");
    EXPECT_EQ(product, "Win Orvello Version 1.5");
}

TEST_F(MainWindowTest, WindowsAreCreatedInTheirOrder) {
    Start(false);
    QStringList order;
    for (QObject* child : Main()->children()) {
        if (qobject_cast<OptionDialog*>(child) || qobject_cast<TOnFlyForm*>(child)) {
            order << child->objectName();
        }
    }
    EXPECT_EQ(order,
              (QStringList{"OnFlyForm", "GB_OptForm", "GEN_OptForm", "PCE_OptForm", "SMS_OptForm",
                           "NES_OptForm", "GENC_OptForm", "MAME_OptForm", "S9x_OptForm",
                           "KGEN_OptForm", "NLKSNES_OptForm", "CALLUS_OptForm", "ZSNES_OptForm"}));
    for (int slot = 0; slot < SlotCount; ++slot) {
        EXPECT_EQ(app_->Dialog(slot)->Slot(), slot);
        EXPECT_EQ(app_->Dialog(slot)->Section(), Slots[slot].section);
    }
}

TEST_F(MainWindowTest, EveryDialogCarriesItsSlotsPathsThroughItsSection) {
    WriteFile(Ini(), "[ZSNES]\nEmuPath=/emu/zsnes\nGamesDir=/roms/snes\n");
    Start();
    EXPECT_EQ(State().EmuPath[SlotZSNES], "/emu/zsnes");
    for (int slot = 0; slot < SlotCount; ++slot) {
        State().EmuPath[slot] = QStringLiteral("/emu/%1").arg(slot);
    }
    Main()->FileSaveAlloption->setChecked(true);
    Main()->close();
    const QStringList lines = FileLines(Ini());
    for (int slot = 0; slot < SlotCount; ++slot) {
        const int at = lines.indexOf(QStringLiteral("[%1]").arg(Slots[slot].section));
        ASSERT_GE(at, 0) << slot;
        EXPECT_EQ(lines.value(at + 1), QStringLiteral("EmuPath=/emu/%1").arg(slot));
    }
}

TEST_F(MainWindowTest, KeyboardReachesTheTabsAndFields) {
    Start();
    QTest::keyClick(Main(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(State().CurrentSlot, 1);
    QTest::keyClick(Main(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(State().CurrentSlot, 2);
    QTest::keyClick(Main(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(State().CurrentSlot, 1);
    Main()->EmuPath->setFocus();
    QTest::keyClick(Main()->EmuPath, Qt::Key_Tab);
    EXPECT_TRUE(Main()->RunWith->hasFocus());
    QTest::keyClick(Main()->RunWith, Qt::Key_Tab);
    EXPECT_TRUE(Main()->GamesDir->hasFocus());
    QTest::keyClick(Main()->GamesDir, Qt::Key_Tab);
    EXPECT_TRUE(Main()->CallOptionBt->hasFocus());
}

// Paths and games folders set with "Find emu" and "Find games" and left unsaved: File > Exit
// asks, naming what changed, and does what the answer says.
TEST_F(MainWindowTest, ExitAsksBeforeLosingChangedSettings) {
    const QString emulator = ExistingFile();
    const QString games = ExistingFolder();
    for (const SaveChoice answer : {SaveChoice::Cancel, SaveChoice::DontSave, SaveChoice::Save}) {
        QFile::remove(Ini());
        host_ = FakeHost();
        Start();
        ClickTab(SlotSNES9x);
        ASSERT_FALSE(Main()->FileSaveAlloption->isChecked());
        host_.openAnswer = emulator;
        QTest::mouseClick(Main()->FindEmuBt, Qt::LeftButton);
        host_.folderAnswer = games;
        QTest::mouseClick(Main()->FindGamesDirBt, Qt::LeftButton);
        host_.saveAnswer = answer;
        Main()->FileExit->trigger();
        ASSERT_EQ(host_.saveQuestions.size(), 1u);
        EXPECT_EQ(host_.saveQuestions[0],
                  "Save the emulator settings you changed?\n"
                  "SNES9x: emulator path, games folder");
        const QStringList lines = FileLines(Ini());
        if (answer == SaveChoice::Cancel) {
            EXPECT_TRUE(Main()->isVisible()) << "Cancel keeps the program open";
            EXPECT_FALSE(lines.contains("EmuPath=" + emulator));
            host_.saveAnswer = SaveChoice::DontSave;
            Main()->close();
        } else if (answer == SaveChoice::DontSave) {
            EXPECT_FALSE(Main()->isVisible());
            EXPECT_FALSE(lines.contains("EmuPath=" + emulator));
        } else {
            EXPECT_FALSE(Main()->isVisible());
            const int at = lines.indexOf("[S9x]");
            ASSERT_GE(at, 0) << lines.join('|').toStdString();
            EXPECT_EQ(lines.mid(at, 3),
                      (QStringList{"[S9x]", "EmuPath=" + emulator, "GamesDir=" + games}));
            // The next start knows the emulator.
            app_.reset();
            Start();
            EXPECT_EQ(State().EmuPath[SlotSNES9x], emulator);
            EXPECT_EQ(State().GamesDir[SlotSNES9x], games);
        }
        app_.reset();
    }
}

TEST_F(MainWindowTest, ExitAsksNothingWhenNothingChangedOrEverythingIsSavedAnyway) {
    WriteFile(Ini(), "[S9x]\nEmuPath=/emu/s9x\n");
    Start();
    ClickTab(SlotSNES9x);
    Main()->FileExit->trigger();
    EXPECT_TRUE(host_.saveQuestions.empty());
    EXPECT_FALSE(Main()->isVisible());
    app_.reset();

    // Saved with File > Save emu option: nothing is left to ask about.
    Start();
    ClickTab(SlotSNES9x);
    host_.folderAnswer = ExistingFolder();
    QTest::mouseClick(Main()->FindGamesDirBt, Qt::LeftButton);
    Main()->FileSaveOption->trigger();
    Main()->FileExit->trigger();
    EXPECT_TRUE(host_.saveQuestions.empty());
    app_.reset();

    // "Save all emu options on exit" saves without asking.
    Start();
    ClickTab(SlotZSNES);
    Main()->FileSaveAlloption->setChecked(true);
    host_.openAnswer = ExistingFile();
    QTest::mouseClick(Main()->FindEmuBt, Qt::LeftButton);
    Main()->FileExit->trigger();
    EXPECT_TRUE(host_.saveQuestions.empty());
    EXPECT_TRUE(FileLines(Ini()).contains("EmuPath=" + ExistingFile()));
}

TEST(SettingsFolder, IsTheApplicationsPerUserConfigFolder) {
    // The program names itself "Orvello", so both files live in ".../Orvello".
    EXPECT_TRUE(DefaultSettingsFolder().endsWith("/Orvello"));
    EXPECT_EQ(QFileInfo(DefaultSettingsFolder()).fileName(), QCoreApplication::applicationName());
}
