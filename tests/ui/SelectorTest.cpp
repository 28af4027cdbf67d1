// The ROM selector driven as a user would, inside the real program: opened with "Get &ROM
// file", clicked, double-clicked and keyed. The main window's mailbox timer is stopped once
// the selector is open, so each test reads the notifications the selector posted, in order.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <filesystem>
#include <utility>
#include <vector>

#include "UiTestSupport.h"
#include "app/Application.h"
#include "app/Main.h"
#include "app/core/ArchiveBrowser.h"
#include "archive/ZipBuilder.h"
#include "selector/OnFlyROMSelector.h"

using namespace orvello;
using namespace orvello::test;
using orvello::testing::BuildZip;
using orvello::testing::Entry;
using orvello::testing::Text;
using orvello::testing::ZipEntry;

namespace {

using Note = std::pair<NoteSource, NoteCode>;

const Note PlainSelected{NoteSource::FileList, NoteCode::Selected};
const Note ArchiveOpened{NoteSource::FileList, NoteCode::ArchiveOpened};
const Note PlainPlay{NoteSource::FileList, NoteCode::Play};
const Note ArchivePlay{NoteSource::FileList, NoteCode::PlayArchive};
const Note MemberSelected{NoteSource::ArchiveList, NoteCode::Selected};
const Note MemberPlay{NoteSource::ArchiveList, NoteCode::Play};
const Note Closed{NoteSource::Selector, NoteCode::Closed};
const Note Cleared{NoteSource::Selector, NoteCode::Cleared};

QString Fixture(const QString& folder, const QString& name) {
    return QStringLiteral(ORVELLO_FIXTURES "/archives/") + folder + QLatin1Char('/') + name;
}

class SelectorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        savedFolder_ = QDir::currentPath();
        games_ = dir_.filePath("games");
        QDir().mkpath(games_);
        QDir().mkpath(dir_.filePath("emu"));
        emulator_ = dir_.filePath("emu/emulator");
        WriteFile(emulator_, "#!/bin/sh\n");
    }
    void TearDown() override {
        app_.reset();
        // The selector makes the folder it shows the current one; put it back.
        QDir::setCurrent(savedFolder_);
    }

    // The program with every slot's games folder set (and its emulator, unless told not
    // to), switched to `slot` and the selector opened with "Get ROM file".
    void Open(EmulatorSlot slot = SlotSNES9x, bool withEmulator = true,
              const QByteArray& common = "[Common]\nAutoPreview=0\n") {
        QByteArray ini = common;
        for (const SlotInfo& info : Slots) {
            ini += "[" + QByteArray(info.section) + "]\nGamesDir=" + games_.toUtf8() + "\n";
            if (withEmulator) ini += "EmuPath=" + emulator_.toUtf8() + "\n";
        }
        WriteFile(dir_.filePath("WINORVEL.INI"), ini);
        app_ = std::make_unique<OrvelloApp>(host_, dir_.path());
        ASSERT_TRUE(ShowActive(Main()));
        if (slot != 0) {
            QTest::mouseClick(Main()->EmuList, Qt::LeftButton, {},
                              Main()->EmuList->tabRect(slot).center());
        }
        ASSERT_EQ(State().CurrentSlot, slot);
        QTest::mouseClick(Main()->GetROMBt, Qt::LeftButton);
        // A window with a parent counts as active as soon as its parent is; wait for the
        // selector itself, so keys reach it.
        Sel()->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == Sel(); }));
        // The test takes the notifications itself.
        Main()->CheckOnFlyChange->stop();
        State().mailbox.ClearMailbox();
    }

    TMainForm* Main() const { return app_->MainForm(); }
    TOnFlyForm* Sel() const { return app_->OnFlyForm(); }
    ArchiveBrowser& Archives() const { return Main()->Archives(); }
    AppState& State() const { return app_->State(); }

    // Every notification posted since the last call, oldest first.
    std::vector<Note> Notes() {
        std::vector<Note> notes;
        while (const auto note = State().mailbox.TakeNotification(MainWindowId)) {
            notes.push_back({note->Source, note->Code});
        }
        return notes;
    }

    QString Game(const QString& name) const { return games_ + QLatin1Char('/') + name; }
    void Put(const QString& name, const QByteArray& content = "ROM") {
        WriteFile(Game(name), content);
    }
    void PutZip(const QString& name, const std::vector<ZipEntry>& entries) {
        WriteFile(Game(name), Bytes(BuildZip(entries)));
    }
    void PutFixture(const QString& folder, const QString& name) {
        ASSERT_TRUE(QFile::copy(Fixture(folder, name), Game(name)));
    }
    // The selector reads the games folder again, as after a filter change.
    void Reread() { Sel()->RereadFileList(); }

    QStringList ShownFiles() const {
        QStringList shown;
        for (int row = 0; row < Sel()->Files()->Count(); ++row) {
            shown << FileListModel::Shown(Sel()->Files()->At(row));
        }
        return shown;
    }
    QStringList Captions() const {
        QStringList captions;
        for (int row = 0; row < Sel()->Members()->Count(); ++row) {
            captions << Sel()->Members()->At(row).caption;
        }
        return captions;
    }

    QModelIndex FileIndex(const QString& shown) const {
        const int row = Sel()->Files()->RowOf(shown);
        EXPECT_GE(row, 0) << shown.toStdString() << " is not listed";
        return Sel()->Files()->index(row);
    }
    QPoint FilePoint(const QString& shown) const {
        const QModelIndex index = FileIndex(shown);
        Sel()->FileListBox->scrollTo(index);
        return Sel()->FileListBox->visualRect(index).center();
    }
    void ClickFile(const QString& shown) {
        QTest::mouseClick(Sel()->FileListBox->viewport(), Qt::LeftButton, {}, FilePoint(shown));
    }
    void DoubleClickFile(const QString& shown) {
        DoubleClick(Sel()->FileListBox->viewport(), FilePoint(shown));
    }
    // What a window system delivers for a double-click: press, release, double-click,
    // release.
    static void DoubleClick(QWidget* widget, QPoint at) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    }
    QPoint MemberPoint(const QString& caption) const {
        const int row = static_cast<int>(Captions().indexOf(caption));
        EXPECT_GE(row, 0) << caption.toStdString() << " is not listed";
        QAbstractItemView* view = Sel()->ZipList->Current();
        const QModelIndex index = Sel()->Members()->index(row, 0);
        view->scrollTo(index);
        return view->visualRect(index).center();
    }
    void ClickMember(const QString& caption) {
        QTest::mouseClick(Sel()->ZipList->Current()->viewport(), Qt::LeftButton, {},
                          MemberPoint(caption));
    }
    void DoubleClickMember(const QString& caption) {
        DoubleClick(Sel()->ZipList->Current()->viewport(), MemberPoint(caption));
    }

    QTemporaryDir dir_;
    QString savedFolder_;
    QString games_;
    QString emulator_;
    FakeHost host_;
    std::unique_ptr<OrvelloApp> app_;
};

// A ZIP whose members come in no particular order, with folders and a folder entry.
std::vector<ZipEntry> MixedZip() {
    return {Entry("roms/snes/zelda.smc", Text("ZZZZ")), Entry("Alpha.smc", Text("AAAA")),
            Entry("roms/", {}), Entry("beta.SMC", Text("BB")), Entry("Mario.sfc", Text("M"))};
}

}  // namespace

// --- Controls and file list ---------------------------------------------------------------

TEST_F(SelectorTest, ShowsItsControlsWithTheirCaptions) {
    Open();
    TOnFlyForm* s = Sel();
    EXPECT_EQ(s->windowTitle(), "(Huge) On-fly ROM selector");
    EXPECT_EQ(s->FileNameLabel->text(), "&File name:");
    EXPECT_EQ(s->DirectoryLabel->text(), "&Directories:");
    EXPECT_EQ(s->DriveLabel->text(), "D&rives:");
    EXPECT_EQ(s->FilterLabel->text(), "File &type:");
    EXPECT_EQ(s->ZipLabel->text(), "&Zip contents:");
    EXPECT_EQ(s->PlayBt->text(), "Play");
    EXPECT_TRUE(s->PlayBt->isDefault());
    EXPECT_FALSE(s->PlayBt->isEnabled());
    EXPECT_EQ(s->DefaultDir->text(), "D&efault dir");
    EXPECT_EQ(s->Close->text(), "&Close");
    EXPECT_EQ(s->ImagePanel->text(), "No preview available");
    EXPECT_EQ(s->Members()->headerData(0, Qt::Horizontal, Qt::DisplayRole), "File Name");
    EXPECT_EQ(s->Members()->headerData(1, Qt::Horizontal, Qt::DisplayRole), "File size");
    EXPECT_EQ(s->Members()->headerData(2, Qt::Horizontal, Qt::DisplayRole), "ROM size");
    QStringList filters;
    for (int i = 0; i < s->FilterComboBox->count(); ++i)
        filters << s->FilterComboBox->itemText(i);
    EXPECT_EQ(filters, (QStringList{"Zipped ROMs", "All valid ROMs", "All files"}));
    EXPECT_EQ(s->DirectoryPath->text(), games_);
    EXPECT_EQ(State().SelectorFolder, games_);
    // The drive box lists the mounted file systems by root path, the one of the games
    // folder chosen.
    EXPECT_GE(s->DriveComboBox->findData("/"), 0);
    EXPECT_TRUE(
        s->DriveComboBox->currentText().startsWith(s->DriveComboBox->currentData().toString()));
    EXPECT_TRUE(games_.startsWith(s->DriveComboBox->currentData().toString()));
    // The preview pop-up menu.
    QStringList items;
    for (QAction* a : s->ZipListPopUp->actions()) {
        items << (a->isSeparator() ? QStringLiteral("-") : a->text()) +
                     (a->isVisible() ? "" : " (hidden)");
    }
    EXPECT_EQ(items, (QStringList{"&Report", "&Small icon", "&Large icons", "- (hidden)",
                                  "&Proprieties (hidden)", "-", "&Name encoding"}));
    EXPECT_FALSE(s->ProprietiesItem->isEnabled());
}

TEST_F(SelectorTest, FileListHoldsSubFoldersThenMatchingFilesSorted) {
    for (const char* name : {"zoo.ZIP", "Alpha.smc", "beta.sfc", "x.a", "notes.txt", "game.zip",
                             ".hidden.zip", "Beta.fig"})
        Put(name);
    QDir().mkpath(Game("Sub"));
    QDir().mkpath(Game("arcade"));
    QDir().mkpath(Game(".cache"));
    Open(SlotSNES9x);
    // "Zipped ROMs": archive masks, whatever the case of the name; hidden entries never.
    EXPECT_EQ(ShownFiles(), (QStringList{"[..]", "[arcade]", "[Sub]", "game.zip", "zoo.ZIP"}));
    EXPECT_EQ(Sel()->EditROMFilename->text(), Sel()->Mask());

    // "All valid ROMs" of SNES9x: "*.smc;*.fig;*.sfc;*.?".
    Sel()->FilterComboBox->setCurrentIndex(1);
    emit Sel()->FilterComboBox->activated(1);
    EXPECT_EQ(ShownFiles(), (QStringList{"[..]", "[arcade]", "[Sub]", "Alpha.smc", "Beta.fig",
                                         "beta.sfc", "x.a"}));
    EXPECT_EQ(Notes(), std::vector<Note>{Cleared});

    Sel()->FilterComboBox->setCurrentIndex(2);
    emit Sel()->FilterComboBox->activated(2);
    EXPECT_EQ(ShownFiles().size(), 10);
    EXPECT_TRUE(ShownFiles().contains("notes.txt"));
    EXPECT_FALSE(ShownFiles().contains(".hidden.zip"));
}

TEST_F(SelectorTest, SubFoldersOpenOnDoubleClickAndAreNeverChosen) {
    Put("top.zip");
    QDir().mkpath(Game("snes"));
    WriteFile(Game("snes/inner.zip"), "ROM");
    Open();
    ClickFile("top.zip");
    Notes();
    ClickFile("[snes]");
    // A folder is no ROM: the choice is dropped.
    EXPECT_EQ(Notes(), std::vector<Note>{Cleared});
    EXPECT_TRUE(State().SelectedFile.isEmpty());
    EXPECT_FALSE(Sel()->PlayBt->isEnabled());

    DoubleClickFile("[snes]");
    EXPECT_EQ(Sel()->Folder(), Game("snes"));
    EXPECT_EQ(State().SelectorFolder, Game("snes"));
    EXPECT_EQ(ShownFiles(), (QStringList{"[..]", "inner.zip"}));
    EXPECT_EQ(Notes(), std::vector<Note>{Cleared});
    EXPECT_EQ(QDir::currentPath(), Game("snes"));

    // Enter on "[..]" goes back up; so does the folder list.
    Sel()->FileListBox->setFocus();
    Sel()->FileListBox->setCurrentIndex(FileIndex("[..]"));
    QTest::keyClick(Sel()->FileListBox, Qt::Key_Return);
    EXPECT_EQ(Sel()->Folder(), games_);
    Notes();
    QTreeWidgetItem* sub = Sel()->DirectoryListBox->currentItem();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->text(0), "games");
    ASSERT_EQ(sub->childCount(), 1);
    EXPECT_EQ(sub->child(0)->text(0), "snes");
    Sel()->DirectoryListBox->setCurrentItem(sub->child(0));
    QTest::keyClick(Sel()->DirectoryListBox, Qt::Key_Return);
    EXPECT_EQ(Sel()->Folder(), Game("snes"));
    EXPECT_EQ(Notes(), std::vector<Note>{Cleared}) << "Enter opened the folder, and did not play";
    EXPECT_EQ(Sel()->DirectoryPath->text(), Game("snes"));
}

// --- The mailbox through real clicks ------------------------------------------------------

TEST_F(SelectorTest, ClicksPostInTheOrderTheUserActs) {
    Put("Plain.smc");
    PutZip("game.zip", MixedZip());
    Open();
    Sel()->FilterComboBox->setCurrentIndex(2);
    emit Sel()->FilterComboBox->activated(2);
    Notes();

    ClickFile("Plain.smc");
    EXPECT_EQ(Notes(), std::vector<Note>{PlainSelected});
    EXPECT_EQ(State().SelectedFile, Game("Plain.smc"));
    EXPECT_EQ(State().RomFileName, "Plain.smc");
    EXPECT_EQ(State().RomBaseName, "Plain");
    EXPECT_EQ(State().PreviewFile, Game("Plain.bmp"));
    EXPECT_EQ(Sel()->EditROMFilename->text(), "Plain.smc");
    EXPECT_TRUE(Sel()->PlayBt->isEnabled());
    EXPECT_FALSE(Sel()->FileIsArchive);

    // The same file again is not examined again.
    ClickFile("Plain.smc");
    EXPECT_TRUE(Notes().empty());

    ClickFile("game.zip");
    EXPECT_EQ(Notes(), std::vector<Note>{ArchiveOpened});
    EXPECT_TRUE(Sel()->FileIsArchive);
    EXPECT_EQ(Archives().ArchiveType(), archive::TArcType::atZIP);
    EXPECT_TRUE(State().PreviewFile.isEmpty()) << "no preview before a member is chosen";
    EXPECT_FALSE(Sel()->PlayBt->isEnabled()) << "disabled until a member is chosen";
    EXPECT_FALSE(Sel()->ZipList->isHidden());
    EXPECT_EQ(Captions(), (QStringList{"Alpha.smc", "beta.SMC", "Mario.sfc", "zelda.smc"}));

    // A click on a member: its selection (change), then the click itself.
    ClickMember("Mario.sfc");
    EXPECT_EQ(Notes(), (std::vector<Note>{MemberSelected, MemberSelected}));
    EXPECT_EQ(State().RomFileName, "Mario.sfc");
    EXPECT_EQ(State().RomBaseName, "Mario");
    EXPECT_EQ(State().PreviewFile, Game("Mario.bmp"));
    EXPECT_EQ(State().SelectedFile, Game("game.zip"));
    EXPECT_EQ(Archives().ChosenMemberRawName(), "Mario.sfc");
    EXPECT_TRUE(Sel()->PlayBt->isEnabled());

    // A double-click on another: change, click, play.
    DoubleClickMember("zelda.smc");
    EXPECT_EQ(Notes(), (std::vector<Note>{MemberSelected, MemberSelected, MemberPlay}));
    EXPECT_EQ(State().RomFileName, "zelda.smc");
    EXPECT_EQ(Archives().ChosenMemberRawName(), "zelda.smc") << "without its stored folder";

    QTest::mouseClick(Sel()->PlayBt, Qt::LeftButton);
    EXPECT_EQ(Notes(), std::vector<Note>{MemberPlay});

    // A double-click on the plain file: examined (a new row), then played.
    DoubleClickFile("Plain.smc");
    EXPECT_EQ(Notes(), (std::vector<Note>{PlainSelected, PlainPlay}));
    EXPECT_EQ(Sel()->Members()->Count(), 0);
    EXPECT_TRUE(Archives().ChosenMemberRawName().empty());
    QTest::mouseClick(Sel()->PlayBt, Qt::LeftButton);
    EXPECT_EQ(Notes(), std::vector<Note>{PlainPlay});

    // A double-click on the archive opens it and moves into its contents, where the member
    // the focus highlights is chosen: "Play" plays what Enter there would.
    DoubleClickFile("game.zip");
    EXPECT_EQ(Notes(), (std::vector<Note>{ArchiveOpened, ArchivePlay, MemberSelected}));
    EXPECT_TRUE(Sel()->PlayBt->isEnabled());
    EXPECT_TRUE(Sel()->ZipList->Report->hasFocus());
}

TEST_F(SelectorTest, TheSameRowIsExaminedAgainAfterAFolderDriveOrFilterChange) {
    Put("a.zip", Bytes(BuildZip({Entry("A.smc", Text("A"))})));
    QDir().mkpath(dir_.filePath("other"));
    Open();
    ClickFile("a.zip");
    EXPECT_EQ(Notes(), std::vector<Note>{ArchiveOpened});

    // The main window points the selector elsewhere and back.
    Sel()->SetFolder(dir_.filePath("other"));
    EXPECT_EQ(Sel()->LastFileIndex, -1);
    EXPECT_TRUE(State().SelectedFile.isEmpty());
    EXPECT_EQ(Sel()->Members()->Count(), 0);
    EXPECT_EQ(Notes(), std::vector<Note>{Cleared});
    QTest::mouseClick(Sel()->DefaultDir, Qt::LeftButton);
    EXPECT_EQ(Sel()->Folder(), games_);
    EXPECT_EQ(Notes(), (std::vector<Note>{Cleared, Cleared}))
        << "the folder change, then the button";
    QTest::mouseClick(Sel()->DefaultDir, Qt::LeftButton);
    EXPECT_TRUE(Notes().empty()) << "already there";
    ClickFile("a.zip");
    EXPECT_EQ(Notes(), std::vector<Note>{ArchiveOpened});

    // A filter change, even to the same entry.
    emit Sel()->FilterComboBox->activated(0);
    EXPECT_EQ(Notes(), std::vector<Note>{Cleared});
    EXPECT_FALSE(Sel()->FileIsArchive);
    EXPECT_FALSE(Sel()->PlayBt->isEnabled());
    ClickFile("a.zip");
    EXPECT_EQ(Notes(), std::vector<Note>{ArchiveOpened});

    // Another drive: its root becomes the folder (a folder change of its own). The drive
    // that holds the folder already is no change (see the end-to-end tests).
    const QString here = DriveRootOf(Sel()->Folder());
    int other = Sel()->DriveComboBox->findData("/");
    for (int i = 0; i < Sel()->DriveComboBox->count() && (other < 0 || here == "/"); ++i) {
        if (Sel()->DriveComboBox->itemData(i).toString() != here) other = i;
    }
    ASSERT_GE(other, 0) << "no second file system to change to";
    const QString root = Sel()->DriveComboBox->itemData(other).toString();
    ASSERT_NE(root, here);
    Sel()->DriveComboBox->setCurrentIndex(other);
    emit Sel()->DriveComboBox->activated(other);
    EXPECT_EQ(Sel()->Folder(), root);
    EXPECT_EQ(State().SelectorFolder, root);
    EXPECT_EQ(Sel()->LastFileIndex, -1);
    EXPECT_EQ(Notes(), (std::vector<Note>{Cleared, Cleared}));
    if (root == "/") {
        EXPECT_FALSE(ShownFiles().contains("[..]")) << "the root has no parent";
    }

    // A file re-listed after a deletion: the row under the mouse is examined afresh.
    QTest::mouseClick(Sel()->DefaultDir, Qt::LeftButton);
    Put("b.smc");
    Sel()->FilterComboBox->setCurrentIndex(2);
    emit Sel()->FilterComboBox->activated(2);
    ClickFile("a.zip");
    Notes();
    QFile::remove(Game("a.zip"));
    Sel()->RereadFileList();
    EXPECT_FALSE(ShownFiles().contains("a.zip"));
    EXPECT_TRUE(Notes().empty()) << "reading the folder again posts nothing";
    ClickFile("b.smc");  // now in the row a.zip had
    EXPECT_EQ(Notes(), std::vector<Note>{PlainSelected});
}

TEST_F(SelectorTest, PlayFollowsTheChoiceAndTheEmulatorPath) {
    Put("game.smc");
    PutZip("game.zip", {Entry("Game.smc", Text("G"))});
    Open(SlotZSNES, /*withEmulator=*/false);
    Sel()->FilterComboBox->setCurrentIndex(2);
    emit Sel()->FilterComboBox->activated(2);
    ClickFile("game.smc");
    EXPECT_FALSE(Sel()->PlayBt->isEnabled()) << "no emulator to play with";
    ClickFile("game.zip");
    ClickMember("Game.smc");
    EXPECT_FALSE(Sel()->PlayBt->isEnabled());

    State().EmuPath[SlotZSNES] = emulator_;
    ClickFile("game.smc");
    EXPECT_TRUE(Sel()->PlayBt->isEnabled());
    // Clicking an empty spot of the contents list drops the member.
    ClickFile("game.zip");
    ClickMember("Game.smc");
    EXPECT_TRUE(Sel()->PlayBt->isEnabled());
    Notes();
    QAbstractItemView* view = Sel()->ZipList->Current();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      QPoint(5, view->viewport()->height() - 5));
    EXPECT_EQ(Sel()->ZipList->SelectedRow(), -1);
    EXPECT_FALSE(Sel()->PlayBt->isEnabled());
    EXPECT_TRUE(Notes().empty());
}

TEST_F(SelectorTest, ClosingPostsTheCloseThenTheClear) {
    PutZip("game.zip", {Entry("Game.smc", Text("G"))});
    Open();
    ClickFile("game.zip");
    Notes();

    // "&Close" and Esc post; the main window hides the window on its next tick. Like the
    // close box, they drop the choice at once.
    QTest::mouseClick(Sel()->Close, Qt::LeftButton);
    EXPECT_EQ(Notes(), (std::vector<Note>{Closed, Cleared}));
    EXPECT_TRUE(State().SelectedFile.isEmpty());
    EXPECT_EQ(Sel()->LastFileIndex, -1);
    ClickFile("game.zip");
    Notes();
    QTest::keyClick(Sel(), Qt::Key_Escape);
    EXPECT_EQ(Notes(), (std::vector<Note>{Closed, Cleared}));
    EXPECT_TRUE(State().SelectedFile.isEmpty());
    EXPECT_TRUE(Sel()->isVisible());

    // The close box.
    ClickFile("game.zip");
    Notes();
    Sel()->close();
    EXPECT_EQ(Notes(), (std::vector<Note>{Closed, Cleared}));
    EXPECT_TRUE(State().SelectedFile.isEmpty());
    EXPECT_EQ(Sel()->LastFileIndex, -1);
    EXPECT_FALSE(Sel()->PlayBt->isEnabled());
    EXPECT_FALSE(Sel()->isVisible());
    EXPECT_EQ(Sel()->Members()->Count(), 0);

    // Opened again (same folder, same filter), the same file is examined again.
    QTest::mouseClick(Main()->GetROMBt, Qt::LeftButton);
    Main()->CheckOnFlyChange->stop();
    Notes();
    ClickFile("game.zip");
    EXPECT_EQ(Notes(), std::vector<Note>{ArchiveOpened});
    EXPECT_EQ(Sel()->Members()->Count(), 1);
}

// --- Slots 9 and 10 -----------------------------------------------------------------------

TEST_F(SelectorTest, GameNameSlotsTakeTheArchiveWithoutListingIt) {
    PutZip("pacman.zip", {Entry("PACMAN.6E", Text("6E")), Entry("PACMAN.6F", Text("6F"))});
    Open(SlotMAME);
    EXPECT_TRUE(Sel()->ZipList->isHidden());
    EXPECT_TRUE(Sel()->ZipLabel->isHidden());
    EXPECT_TRUE(Sel()->FilterComboBox->isHidden());

    ClickFile("pacman.zip");
    EXPECT_EQ(Notes(), std::vector<Note>{ArchiveOpened});
    EXPECT_EQ(Sel()->Members()->Count(), 0) << "not listed";
    EXPECT_TRUE(Sel()->ZipList->isHidden());
    EXPECT_TRUE(host_.messages.empty()) << "no 'No file(s)' box for a list never filled";
    EXPECT_TRUE(Sel()->PlayBt->isEnabled());
    EXPECT_EQ(State().PreviewFile, Game("pacman.bmp"));
    EXPECT_EQ(State().RomBaseName, "pacman");
    EXPECT_EQ(Archives().ExtractorFor(Archives().ArchiveType()), &Archives().UnZIP);
    EXPECT_EQ(Archives().UnZIP.ArchiveFile(), Game("pacman.zip").toStdString());

    QTest::mouseClick(Sel()->PlayBt, Qt::LeftButton);
    EXPECT_EQ(Notes(), std::vector<Note>{ArchivePlay});
    DoubleClickFile("pacman.zip");
    EXPECT_EQ(Notes(), std::vector<Note>{ArchivePlay});
    EXPECT_FALSE(Sel()->ZipList->Report->hasFocus());

    // Back to a ROM-file slot through the main window's tab: the list is there again.
    QTest::mouseClick(Main()->EmuList, Qt::LeftButton, {},
                      Main()->EmuList->tabRect(SlotZSNES).center());
    EXPECT_FALSE(Sel()->ZipList->isHidden());
    EXPECT_FALSE(Sel()->FilterComboBox->isHidden());
    QTest::mouseClick(Main()->EmuList, Qt::LeftButton, {},
                      Main()->EmuList->tabRect(SlotCallus).center());
    EXPECT_TRUE(Sel()->ZipList->isHidden());
}

TEST_F(SelectorTest, WithoutAnEmulatorPathGameNameSlotsKeepPlayDisabled) {
    PutZip("pacman.zip", {Entry("PACMAN.6E", Text("6E"))});
    Open(SlotCallus, /*withEmulator=*/false);
    ClickFile("pacman.zip");
    EXPECT_FALSE(Sel()->PlayBt->isEnabled());
}

// --- Listing archives ---------------------------------------------------------------------

TEST_F(SelectorTest, MembersShowTheirNameWithoutFoldersAndTheirSizes) {
    ZipEntry big = Entry("roms/snes/Big Game.smc", {});
    big.size = 1048576;
    ZipEntry thousand = Entry("thousand.bin", {});
    thousand.size = 1000;
    PutZip("sizes.zip", {big, thousand});
    // Sizes are grouped as the user's language groups thousands.
    struct LocaleGuard {
        QLocale saved;
        ~LocaleGuard() { QLocale::setDefault(saved); }
    } guard;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Open();
    ClickFile("sizes.zip");
    ZipListModel* m = Sel()->Members();
    ASSERT_EQ(m->Count(), 2);
    EXPECT_EQ(m->index(0, 0).data().toString(), "Big Game.smc");
    EXPECT_EQ(m->index(0, 1).data().toString(), "1,048,576");
    EXPECT_EQ(m->index(0, 2).data().toString(), "1,024 K");
    EXPECT_EQ(m->index(1, 1).data().toString(), "1,000");
    EXPECT_EQ(m->index(1, 2).data().toString(), "0 K");
    EXPECT_EQ(m->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    EXPECT_EQ(m->index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    // Read-only, whole rows, no sorting by column clicks.
    EXPECT_FALSE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_EQ(Sel()->ZipList->Report->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_FALSE(Sel()->ZipList->Report->isSortingEnabled());
}

TEST_F(SelectorTest, FolderEntriesAreNotListedAsMembers) {
    PutFixture("zip", "DIREXTRA.ZIP");
    Open();
    ClickFile("DIREXTRA.ZIP");
    EXPECT_FALSE(Captions().contains(""));
    EXPECT_TRUE(Captions().contains("PACMAN.6F"));
    EXPECT_TRUE(host_.messages.empty());
}

TEST_F(SelectorTest, AnArchiveWithoutMembersSaysSoAndShowsTheEmptyList) {
    PutFixture("detect", "EMPTY.ZOO");
    // Only a folder entry: nothing that could be played either.
    PutZip("folders.zip", {Entry("roms/", {})});
    Open();
    Sel()->FilterComboBox->setCurrentIndex(2);
    emit Sel()->FilterComboBox->activated(2);
    host_.onMessage = [this] {
        // The box shows over a list that is visible again.
        EXPECT_FALSE(Sel()->ZipList->isHidden());
    };
    Notes();
    for (const char* name : {"EMPTY.ZOO", "folders.zip"}) {
        host_.messages.clear();
        ClickFile(name);
        ASSERT_EQ(host_.messages.size(), 1u) << name;
        EXPECT_EQ(host_.messages[0].kind, MessageKind::Information);
        EXPECT_EQ(host_.messages[0].text, "No file(s) into archive");
        EXPECT_EQ(Sel()->Members()->Count(), 0);
        EXPECT_EQ(Notes(), std::vector<Note>{ArchiveOpened});
    }
}

TEST_F(SelectorTest, AListingThatFailsShowsTheListAgainAndSaysWhy) {
    // The end record points at a central directory that is not there.
    PutFixture("zip", "EOCDONLY.ZIP");
    Open();
    ClickFile("EOCDONLY.ZIP");
    EXPECT_FALSE(Sel()->ZipList->isHidden());
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].kind, MessageKind::Error);
    // One plain sentence first, then the member and the library's own text.
    EXPECT_TRUE(host_.messages[0].text.startsWith(
        "EOCDONLY.ZIP is damaged or is not a ZIP archive.\n\nEOCDONLY.ZIP\n"))
        << host_.messages[0].text.toStdString();
    EXPECT_EQ(Notes(), std::vector<Note>{ArchiveOpened});
}

// Files and folders that went away while the selector showed them: the click says so, names
// them, shows what is there now, and "Play" stays unavailable.
TEST_F(SelectorTest, AnArchiveOrFolderThatIsGoneIsSaidAndTheListsAreReadAgain) {
    PutZip("gone.zip", MixedZip());
    PutZip("here.zip", MixedZip());
    Open();
    ASSERT_TRUE(ShownFiles().contains("gone.zip"));
    ASSERT_TRUE(QFile::remove(Game("gone.zip")));
    Notes();
    ClickFile("gone.zip");
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(host_.messages[0].text,
              "\"" + Game("gone.zip") + "\" is gone: it was moved or deleted.");
    EXPECT_FALSE(ShownFiles().contains("gone.zip"));
    EXPECT_TRUE(ShownFiles().contains("here.zip"));
    EXPECT_FALSE(Sel()->PlayBt->isEnabled());
    EXPECT_EQ(Sel()->Members()->Count(), 0);
    EXPECT_TRUE(State().SelectedFile.isEmpty());
    EXPECT_EQ(Notes(), std::vector<Note>{Cleared});

    // The whole games folder goes: the next click says so and the list empties.
    host_.messages.clear();
    ASSERT_TRUE(QDir(games_).removeRecursively());
    ClickFile("here.zip");
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text,
              "The folder \"" + games_ + "\" is gone: it was moved or deleted.");
    EXPECT_TRUE(ShownFiles().isEmpty()) << ShownFiles().join('|').toStdString();
    EXPECT_FALSE(Sel()->PlayBt->isEnabled());

    // "Get ROM file" again on the folder that is gone names it and shows nothing old.
    host_.messages.clear();
    Sel()->close();
    QTest::mouseClick(Main()->GetROMBt, Qt::LeftButton);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_TRUE(host_.messages[0].text.startsWith("The games folder \"" + games_ + "\" is gone"))
        << host_.messages[0].text.toStdString();
    EXPECT_TRUE(ShownFiles().isEmpty());
}

TEST_F(SelectorTest, PlayIsAvailableExactlyWhenWhatIsChosenExists) {
    PutZip("game.zip", MixedZip());
    Put("plain.smc");
    Open();
    Sel()->FilterComboBox->setCurrentIndex(2);
    emit Sel()->FilterComboBox->activated(2);
    ClickFile("plain.smc");
    ASSERT_TRUE(Sel()->PlayBt->isEnabled());
    // Deleted after it was chosen: "Play" says so instead of starting anything.
    ASSERT_TRUE(QFile::remove(Game("plain.smc")));
    Notes();
    QTest::mouseClick(Sel()->PlayBt, Qt::LeftButton);
    EXPECT_FALSE(Sel()->PlayBt->isEnabled());
    EXPECT_EQ(Notes(), std::vector<Note>{Cleared});
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_TRUE(host_.messages[0].text.contains("plain.smc\" is gone"));

    // Enter into an archive highlights a member and chooses it: "Play" plays what Enter would.
    ClickFile("game.zip");
    EXPECT_FALSE(Sel()->PlayBt->isEnabled());
    Notes();
    QTest::keyClick(Sel()->FileListBox, Qt::Key_Return);
    EXPECT_EQ(Notes(), (std::vector<Note>{ArchivePlay, MemberSelected}));
    EXPECT_TRUE(Sel()->PlayBt->isEnabled());
    EXPECT_EQ(State().RomFileName, Captions().at(Sel()->ZipList->SelectedRow()));
}

TEST_F(SelectorTest, ArchivesGoToTheExtractorOfTheirKindAndTheOthersArePlainFiles) {
    PutFixture("lha", "L1_LH5.LZH");
    PutFixture("detect", "MARKER.RAR");
    PutFixture("sfx", "RESZIP.EXE");
    PutFixture("sfx", "DOSARJ.EXE");
    Open();
    Sel()->FilterComboBox->setCurrentIndex(2);
    emit Sel()->FilterComboBox->activated(2);
    Notes();

    // LHA is an archive the selector opens and hands to its extractor.
    ClickFile("L1_LH5.LZH");
    EXPECT_EQ(Notes(), std::vector<Note>{ArchiveOpened});
    EXPECT_EQ(Archives().ArchiveType(), archive::TArcType::atLHA);
    EXPECT_EQ(Sel()->Members()->Count(), 8);
    EXPECT_EQ(Archives().ExtractorFor(archive::TArcType::atLHA), &Archives().UnLHA);
    EXPECT_EQ(Archives().ExtractorFor(archive::TArcType::atLhaExe), &Archives().UnLHA);
    EXPECT_EQ(Archives().ExtractorFor(archive::TArcType::atZOO), &Archives().UnZOO);
    EXPECT_EQ(Archives().UnLHA.ArchiveFile(), Game("L1_LH5.LZH").toStdString());

    // RAR is listed by the library but is no archive the selector opens.
    ClickFile("MARKER.RAR");
    EXPECT_EQ(Notes(), std::vector<Note>{PlainSelected});
    EXPECT_FALSE(Sel()->FileIsArchive);
    EXPECT_EQ(Sel()->Members()->Count(), 0);
    EXPECT_EQ(Archives().ExtractorFor(archive::TArcType::atRAR), nullptr);
    EXPECT_EQ(State().PreviewFile, Game("MARKER.bmp"));

    // Self-extracting programs are archives of their kind.
    ClickFile("RESZIP.EXE");
    EXPECT_EQ(Notes(), std::vector<Note>{ArchiveOpened});
    EXPECT_EQ(Archives().ArchiveType(), archive::TArcType::atZipExe);
    EXPECT_EQ(Captions(), (QStringList{"PACMAN.6E", "README", "TILES.CHR"}));
    EXPECT_EQ(Archives().UnZIP.ArchiveFile(), Game("RESZIP.EXE").toStdString());
    ClickFile("DOSARJ.EXE");
    EXPECT_EQ(Notes(), std::vector<Note>{ArchiveOpened});
    EXPECT_EQ(Captions(), (QStringList{"GAME.SMC", "NOTES.TXT"}));
    EXPECT_EQ(Archives().ExtractorFor(Archives().ArchiveType()), &Archives().Unarj);
    EXPECT_EQ(Archives().Unarj.ArchiveFile(), Game("DOSARJ.EXE").toStdString());
    EXPECT_EQ(Archives().UnZIP.ArchiveFile(), Game("RESZIP.EXE").toStdString())
        << "an archive of another kind leaves the other extractors as they were";
    EXPECT_EQ(Archives().ExtractorFor(archive::TArcType::atArcExe), &Archives().Unarc);

    for (auto type : {archive::TArcType::atZIP, archive::TArcType::atZipExe,
                      archive::TArcType::atZip250, archive::TArcType::atZip250Exe}) {
        EXPECT_EQ(Archives().ExtractorFor(type), &Archives().UnZIP);
    }
}

TEST_F(SelectorTest, TheChosenMemberCanBeExtractedAndNothingIsReplaced) {
    PutZip("game.zip", {Entry("docs/readme.txt", Text("docs")), Entry("Game.smc", Text("NEW"))});
    const QString out = dir_.filePath("out");
    QDir().mkpath(out);
    WriteFile(out + "/readme.txt", "MINE");
    Open();
    ClickFile("game.zip");
    ClickMember("Game.smc");
    archive::TUnBase* unzip = Archives().ExtractorFor(Archives().ArchiveType());
    ASSERT_NE(unzip, nullptr);
    unzip->SetExtractDir(out.toStdString());
    unzip->SetFileSpec("*.*");
    unzip->Extract();
    EXPECT_EQ(FileLines(out + "/Game.smc"), QStringList{"NEW"});
    EXPECT_EQ(FileLines(out + "/readme.txt"), QStringList{"MINE"}) << "an existing file stays";
    EXPECT_FALSE(QFileInfo::exists(out + "/docs")) << "stored folders are not used";
}

TEST_F(SelectorTest, DosMemberNamesAreShownChosenAndExtractedAsUtf8) {
    PutZip("names.zip", {Entry("dos/Spi\x8Al.smc", Text("dos")), Entry("\xC3\x9C"
                                                                       "ber.smc",
                                                                       Text("utf8"))});
    Open();
    ClickFile("names.zip");
    const QString dosName = QString::fromUtf8("Spi\xC3\xA8l.smc");  // 0x8A is DOS e-grave
    const QString utf8Name = QString::fromUtf8(
        "\xC3\x9C"
        "ber.smc");
    EXPECT_EQ(Captions(), (QStringList{dosName, utf8Name}));
    ClickMember(dosName);
    EXPECT_EQ(State().RomFileName, dosName);
    EXPECT_EQ(State().RomBaseName, QString::fromUtf8("Spi\xC3\xA8l"));
    EXPECT_EQ(Archives().ChosenMemberRawName(), "Spi\xC3\xA8l.smc");
    EXPECT_EQ(State().PreviewFile, Game(QString::fromUtf8("Spi\xC3\xA8l.bmp")));
    DoubleClickMember(utf8Name);
    EXPECT_EQ(Archives().ChosenMemberRawName(),
              "\xC3\x9C"
              "ber.smc");

    // The chosen name finds the member again, and the file gets the name that was shown.
    const QString out = dir_.filePath("out");
    QDir().mkpath(out);
    ClickMember(dosName);
    archive::TUnBase* unzip = Archives().ExtractorFor(Archives().ArchiveType());
    unzip->SetExtractDir(out.toStdString());
    unzip->SetFileSpec(Archives().ChosenMemberRawName());
    unzip->Extract();
    EXPECT_EQ(FileLines(out + "/" + dosName), QStringList{"dos"});
}

// --- View styles --------------------------------------------------------------------------

TEST_F(SelectorTest, ViewStylesAndTheirImages) {
    PutZip("game.zip", MixedZip());
    Open();
    ClickFile("game.zip");
    ZipListModel* m = Sel()->Members();
    auto image = [m] { return m->index(0, 0).data(Qt::DecorationRole); };
    EXPECT_EQ(Sel()->InfoType(), InfoReport);
    EXPECT_FALSE(image().isValid());

    Sel()->SmallIconItem->trigger();
    EXPECT_EQ(Sel()->InfoType(), InfoSmallIcons);
    EXPECT_EQ(Sel()->ZipList->Current(), Sel()->ZipList->Icons);
    EXPECT_TRUE(Sel()->SmallIconItem->isChecked());
    EXPECT_FALSE(Sel()->ReportItem->isChecked());
    // A hidden action counts as disabled; shown, it has the state the styles gave it.
    Sel()->ProprietiesItem->setVisible(true);
    EXPECT_TRUE(Sel()->ProprietiesItem->isEnabled());
    EXPECT_TRUE(image().isValid());

    // The member chosen stays chosen across styles.
    ClickMember("Mario.sfc");
    Sel()->ReportItem->trigger();
    EXPECT_EQ(Sel()->ZipList->Current(), Sel()->ZipList->Report);
    EXPECT_EQ(Sel()->ZipList->SelectedRow(), 2);
    EXPECT_FALSE(Sel()->ProprietiesItem->isEnabled());
    EXPECT_FALSE(image().isValid()) << "report removes the small images";
    // ... so the list style, which shows small images, has none now.
    Sel()->SetInfoType(InfoList);
    EXPECT_EQ(Sel()->ZipList->Current(), Sel()->ZipList->Icons);
    EXPECT_FALSE(image().isValid());
    EXPECT_TRUE(Sel()->ReportItem->isChecked()) << "the list style has no item";

    Sel()->LargeIconsItem->trigger();
    EXPECT_EQ(Sel()->ZipList->Icons->viewMode(), QListView::IconMode);
    EXPECT_TRUE(image().isValid()) << "large icons always have theirs";
    EXPECT_TRUE(Sel()->LargeIconsItem->isChecked());

    // The style chosen is what the exit stores.
    Main()->close();
    EXPECT_TRUE(FileLines(dir_.filePath("WINORVEL.INI")).contains("Info type=0"));
}

TEST_F(SelectorTest, TheStoredViewStyleComesBackAsTheMenuWouldSetIt) {
    PutZip("game.zip", MixedZip());
    Open(SlotSNES9x, true, "[Common]\nInfo type=1\nOnFly_X=40\nOnFly_Y=30\n");
    EXPECT_EQ(Sel()->InfoType(), InfoSmallIcons);
    EXPECT_TRUE(Sel()->SmallIconItem->isChecked());
    ClickFile("game.zip");
    EXPECT_TRUE(Sel()->Members()->index(0, 0).data(Qt::DecorationRole).isValid());
    Sel()->move(77, 66);
    Main()->close();
    const QStringList ini = FileLines(dir_.filePath("WINORVEL.INI"));
    EXPECT_TRUE(ini.contains("Info type=1"));
    EXPECT_TRUE(ini.contains("OnFly_X=77"));
    EXPECT_TRUE(ini.contains("OnFly_Y=66"));
}

// --- Preview ------------------------------------------------------------------------------

namespace {

void SavePicture(const QString& path, const char* format, QColor colour) {
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, format)) << path.toStdString();
}

QRgb ShownColour(TOnFlyForm* s) {
    return s->Preview->pixmap().toImage().pixel(1, 1);
}

}  // namespace

TEST_F(SelectorTest, PreviewIsTheBmpThenAPngThenAJpgOfTheSameName) {
    Put("a.smc");
    Put("b.smc");
    Put("c.smc");
    Put("d.smc");
    SavePicture(Game("a.bmp"), "BMP", Qt::red);
    SavePicture(Game("a.png"), "PNG", Qt::green);
    SavePicture(Game("b.png"), "PNG", Qt::green);
    SavePicture(Game("b.jpg"), "JPG", Qt::blue);
    SavePicture(Game("c.jpg"), "JPG", Qt::blue);
    Open(SlotSNES9x);
    Sel()->FilterComboBox->setCurrentIndex(1);
    emit Sel()->FilterComboBox->activated(1);
    ASSERT_TRUE(State().ShowPreview);

    ClickFile("a.smc");
    Sel()->LookUpPreview();
    EXPECT_FALSE(Sel()->Preview->isHidden());
    EXPECT_EQ(ShownColour(Sel()), qRgb(255, 0, 0));
    ClickFile("b.smc");
    Sel()->LookUpPreview();
    EXPECT_EQ(ShownColour(Sel()), qRgb(0, 255, 0));
    ClickFile("c.smc");
    Sel()->LookUpPreview();
    EXPECT_GT(qBlue(ShownColour(Sel())), 200);  // JPEG is lossy
    EXPECT_LT(qRed(ShownColour(Sel())), 50);

    ClickFile("d.smc");
    Sel()->LookUpPreview();
    EXPECT_TRUE(Sel()->Preview->isHidden());
    EXPECT_TRUE(Sel()->Preview->pixmap().isNull());
    EXPECT_EQ(Sel()->ImagePanel->text(), "No preview available");
    EXPECT_TRUE(State().ShowPreview) << "without Auto preview the panel stays";
    EXPECT_FALSE(Sel()->ImagePanel->isHidden());
}

TEST_F(SelectorTest, AMembersPreviewLiesBesideTheArchive) {
    PutZip("game.zip", {Entry("roms/Mario.sfc", Text("M")), Entry("readme", Text("R"))});
    SavePicture(Game("Mario.png"), "PNG", Qt::green);
    SavePicture(Game("readme.bmp"), "BMP", Qt::red);
    Open();
    ClickFile("game.zip");
    Sel()->LookUpPreview();
    EXPECT_TRUE(Sel()->Preview->isHidden()) << "no preview before a member is chosen";
    ClickMember("Mario.sfc");
    Sel()->LookUpPreview();
    EXPECT_EQ(ShownColour(Sel()), qRgb(0, 255, 0));
    // A member without an extension gets ".bmp" added.
    ClickMember("readme");
    EXPECT_EQ(State().PreviewFile, Game("readme.bmp"));
    Sel()->LookUpPreview();
    EXPECT_EQ(ShownColour(Sel()), qRgb(255, 0, 0));
}

TEST_F(SelectorTest, AutoPreviewOpensAndClosesThePanelByItself) {
    Put("a.smc");
    Put("b.smc");
    SavePicture(Game("a.bmp"), "BMP", Qt::red);
    Open(SlotSNES9x, true, "[Common]\nAutoPreview=1\n");
    Sel()->FilterComboBox->setCurrentIndex(1);
    emit Sel()->FilterComboBox->activated(1);
    EXPECT_EQ(Sel()->PreviewButton->text(), "Auto preview");
    EXPECT_FALSE(Sel()->PreviewButton->isEnabled());
    EXPECT_TRUE(Sel()->ImagePanel->isHidden());
    const int narrow = Sel()->width();

    ClickFile("a.smc");
    Sel()->LookUpPreview();
    EXPECT_TRUE(State().ShowPreview);
    EXPECT_FALSE(Sel()->ImagePanel->isHidden());
    EXPECT_GT(Sel()->width(), narrow + 200);
    EXPECT_EQ(Sel()->PreviewButton->text(), "Auto preview");

    ClickFile("b.smc");
    Sel()->LookUpPreview();
    EXPECT_FALSE(State().ShowPreview);
    EXPECT_TRUE(Sel()->ImagePanel->isHidden());
    EXPECT_EQ(Sel()->width(), narrow);

    // Unchecking "Auto preview" frees the button; the panel waits for the next lookup.
    Main()->FileAutoPreview->trigger();
    EXPECT_TRUE(Sel()->PreviewButton->isEnabled());
    EXPECT_EQ(Sel()->PreviewButton->text(), "Show &preview");
    QTest::mouseClick(Sel()->PreviewButton, Qt::LeftButton);
    EXPECT_TRUE(State().ShowPreview);
    EXPECT_FALSE(Sel()->ImagePanel->isHidden());
    EXPECT_EQ(Sel()->PreviewButton->text(), "Hide &preview");
    QTest::mouseClick(Sel()->PreviewButton, Qt::LeftButton);
    EXPECT_TRUE(Sel()->ImagePanel->isHidden());
    EXPECT_EQ(Sel()->PreviewButton->text(), "Show &preview");
}

TEST_F(SelectorTest, APictureThatCannotBeLoadedHidesThePanelAndKeepsTheOldOne) {
    Put("a.smc");
    Put("b.smc");
    SavePicture(Game("a.bmp"), "BMP", Qt::red);
    Put("b.bmp", "not a picture");
    SavePicture(Game("b.png"), "PNG", Qt::green);
    Open(SlotSNES9x);
    Sel()->FilterComboBox->setCurrentIndex(1);
    emit Sel()->FilterComboBox->activated(1);
    ClickFile("a.smc");
    Sel()->LookUpPreview();
    ClickFile("b.smc");
    Sel()->LookUpPreview();
    EXPECT_FALSE(State().ShowPreview);
    EXPECT_TRUE(Sel()->ImagePanel->isHidden());
    EXPECT_EQ(ShownColour(Sel()), qRgb(255, 0, 0)) << "the previous picture stays";
    EXPECT_TRUE(host_.messages.empty());
}

// --- Keyboard and accessibility -----------------------------------------------------------

TEST_F(SelectorTest, AMemberIsChosenAndPlayedFromTheKeyboardAlone) {
    PutZip("game.zip", MixedZip());
    Put("aaa.zip", "not an archive at all");
    Open();
    // Alt+F to the name field, Tab to the list, Home to the first entry.
    QTest::keyClick(Sel(), Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(Sel()->EditROMFilename->hasFocus());
    QTest::keyClick(Sel()->EditROMFilename, Qt::Key_Tab);
    ASSERT_TRUE(Sel()->FileListBox->hasFocus());
    EXPECT_TRUE(Notes().empty()) << "arriving in the list chooses nothing";
    QTest::keyClick(Sel()->FileListBox, Qt::Key_End);
    EXPECT_EQ(State().SelectedFile, Game("game.zip"));
    EXPECT_EQ(Notes(), std::vector<Note>{ArchiveOpened});

    // Enter on the archive opens it and moves into its contents ...
    QTest::keyClick(Sel()->FileListBox, Qt::Key_Return);
    EXPECT_EQ(Notes(), (std::vector<Note>{ArchivePlay, MemberSelected}));
    QWidget* contents = Sel()->ZipList->Report;
    ASSERT_TRUE(contents->hasFocus());
    EXPECT_TRUE(Sel()->PlayBt->isEnabled()) << "the member highlighted is chosen";
    // ... where Enter plays the member under the cursor.
    QTest::keyClick(contents, Qt::Key_Down);
    EXPECT_EQ(Notes(), std::vector<Note>{MemberSelected});
    QTest::keyClick(contents, Qt::Key_Return);
    EXPECT_EQ(Notes(), std::vector<Note>{MemberPlay});
    EXPECT_EQ(State().RomFileName, Captions().at(Sel()->ZipList->SelectedRow()));

    // Esc closes.
    QTest::keyClick(contents, Qt::Key_Escape);
    EXPECT_EQ(Notes(), (std::vector<Note>{Closed, Cleared}));
}

TEST_F(SelectorTest, TypingANameAndEnterPlaysItAndUnknownNamesDoNothing) {
    Put("Alpha.smc");
    Open();
    Sel()->FilterComboBox->setCurrentIndex(1);
    emit Sel()->FilterComboBox->activated(1);
    ClickFile("Alpha.smc");
    Notes();

    Sel()->EditROMFilename->setFocus();
    Sel()->EditROMFilename->clear();
    QTest::keyClicks(Sel()->EditROMFilename, "nothing.smc");
    QTest::keyClick(Sel()->EditROMFilename, Qt::Key_Return);
    EXPECT_TRUE(Notes().empty()) << "Enter did not press Play for the previous choice";

    Sel()->SetFolder(dir_.path());
    Sel()->SetFolder(games_);
    Notes();
    Sel()->EditROMFilename->clear();
    QTest::keyClicks(Sel()->EditROMFilename, "alpha.SMC");
    QTest::keyClick(Sel()->EditROMFilename, Qt::Key_Return);
    EXPECT_EQ(Notes(), (std::vector<Note>{PlainSelected, PlainPlay}));
    EXPECT_EQ(State().SelectedFile, Game("Alpha.smc"));
}

TEST_F(SelectorTest, EnterOnAPlainFileWithPlayAsDefaultPlaysOnce) {
    Put("Alpha.smc");
    Open();
    Sel()->FilterComboBox->setCurrentIndex(1);
    emit Sel()->FilterComboBox->activated(1);
    Notes();
    Sel()->FileListBox->setFocus();
    QTest::keyClick(Sel()->FileListBox, Qt::Key_End);
    QTest::keyClick(Sel()->FileListBox, Qt::Key_Return);
    EXPECT_EQ(Notes(), (std::vector<Note>{PlainSelected, PlainPlay}));
    // In the filter box Enter is the default button's, "Play" ...
    Sel()->FilterComboBox->setFocus();
    QTest::keyClick(Sel()->FilterComboBox, Qt::Key_Return);
    EXPECT_EQ(Notes(), std::vector<Note>{PlainPlay});
    // ... and on another button it presses that button.
    Sel()->SetFolder(dir_.path());
    Notes();
    Sel()->DefaultDir->setFocus();
    QTest::keyClick(Sel()->DefaultDir, Qt::Key_Return);
    EXPECT_EQ(Sel()->Folder(), games_);
    EXPECT_EQ(Notes(), (std::vector<Note>{Cleared, Cleared}));
}

TEST_F(SelectorTest, LabelsLeadToTheirControlsAndEveryItemHasAName) {
    PutZip("game.zip", MixedZip());
    QDir().mkpath(Game("sub"));
    Open();
    ClickFile("game.zip");
    struct Mnemonic {
        Qt::Key key;
        QWidget* target;
    };
    for (const Mnemonic& m :
         {Mnemonic{Qt::Key_F, Sel()->EditROMFilename}, Mnemonic{Qt::Key_D, Sel()->DirectoryListBox},
          Mnemonic{Qt::Key_R, Sel()->DriveComboBox}, Mnemonic{Qt::Key_T, Sel()->FilterComboBox},
          Mnemonic{Qt::Key_Z, Sel()->ZipList->Report}}) {
        QTest::keyClick(Sel(), m.key, Qt::AltModifier);
        EXPECT_TRUE(m.target->hasFocus()) << m.target->objectName().toStdString();
    }
    Notes();
    QTest::keyClick(Sel(), Qt::Key_E, Qt::AltModifier);  // "D&efault dir": already there
    QTest::keyClick(Sel(), Qt::Key_C, Qt::AltModifier);  // "&Close", clicked after a moment
    std::vector<Note> notes;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        for (const Note& n : Notes())
            notes.push_back(n);
        return notes.size() >= 2;
    }));
    EXPECT_EQ(notes, (std::vector<Note>{Closed, Cleared}));
    ClickFile("game.zip");  // closing forgot the archive: listed again for the items below

    // Every control a user reaches has a name.
    for (QWidget* w : Sel()->findChildren<QWidget*>()) {
        if (w->focusPolicy() == Qt::NoFocus || w->window() != Sel() ||
            w->objectName().startsWith("qt_")) {
            continue;
        }
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty())
            << w->metaObject()->className() << " " << w->objectName().toStdString();
    }
    for (QLabel* label : Sel()->findChildren<QLabel*>()) {
        if (label->text().endsWith(':')) {
            EXPECT_NE(label->buddy(), nullptr);
        }
    }
    // And so does every list item: files, folders and members.
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(Sel()->FileListBox),
                                    static_cast<QAbstractItemView*>(Sel()->ZipList->Report),
                                    static_cast<QAbstractItemView*>(Sel()->DirectoryListBox)}) {
        QAbstractItemModel* model = view->model();
        ASSERT_GT(model->rowCount(), 0) << view->objectName().toStdString();
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column) {
                const QModelIndex index = model->index(row, column);
                const QString name = index.data(Qt::AccessibleTextRole).isValid()
                                         ? index.data(Qt::AccessibleTextRole).toString()
                                         : index.data().toString();
                EXPECT_FALSE(name.isEmpty()) << view->objectName().toStdString() << " " << row;
            }
        }
    }
    EXPECT_EQ(Sel()->Files()->index(Sel()->Files()->RowOf("[sub]")).data(Qt::AccessibleTextRole),
              "Folder sub");
    EXPECT_EQ(Sel()->Files()->index(0).data(Qt::AccessibleTextRole), "Parent folder");
}

TEST_F(SelectorTest, TabOrderFollowsTheWindow) {
    Open();
    Sel()->EditROMFilename->setFocus();
    QStringList order;
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order, (QStringList{"FileListBox", "FilterComboBox", "DirectoryListBox",
                                  "DriveComboBox", "ZipListReport", "DefaultDir", "Close",
                                  "PreviewButton", "EditROMFilename"}))
        << "Play is skipped while it is disabled";
}
