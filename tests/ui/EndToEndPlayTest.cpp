// Orvello end to end: the real windows, driven as a user drives them, start a stand-in
// emulator that records how it was started. Each test checks the command line the emulator
// got, the folder it ran in, what it found there, and what is left on disk afterwards with
// "Save extracted ROMS" on and off; nothing of the user's is ever replaced or deleted.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <vector>

#include "EndToEndFixture.h"
#include "EndToEndSupport.h"
#include "UiTestSupport.h"
#include "app/Application.h"
#include "app/Main.h"
#include "app/core/Launch.h"
#include "archive/ArjArcBuilder.h"
#include "archive/LhaZooBuilder.h"
#include "archive/ZipBuilder.h"
#include "options/S9x_OptionForm.h"
#include "selector/OnFlyROMSelector.h"

using namespace orvello;
using namespace orvello::test;
using orvello::testing::BuildLha;
using orvello::testing::BuildZip;
using orvello::testing::BuildZoo;
using orvello::testing::Entry;
using orvello::testing::Lha;
using orvello::testing::Text;
using orvello::testing::ZipEntry;
using orvello::testing::Zoo;

namespace {

// The stand-in emulator's log of one run: `rom` as its last argument (the two lines after it
// give its working folder), and `roms` as the line listing its folder while it ran.
void ExpectRomAndFolder(const QList<QByteArray>& lines, const QByteArray& rom,
                        const QByteArray& roms) {
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[lines.size() - 3], rom);
    EXPECT_EQ(lines.back(), roms);
}

}  // namespace

namespace {

class KeepingOrNot : public EndToEndTest, public ::testing::WithParamInterface<bool> {};

}  // namespace

TEST_F(EndToEndTest, PlainRomInTheSnes9xSlot) {
    const QString rom = Games("snes9x") + "/Super Game (E) [!].smc";
    WriteFile(rom, "plain rom");
    WriteFile(Games("snes9x") + "/Other.smc", "other");
    Open(SlotSNES9x, false);
    State().Switches[SlotSNES9x] = " -y  -sound";
    NextFileType();
    ASSERT_EQ(Sel()->FilterComboBox->currentText(), "All valid ROMs");
    // Here the program's own timer takes the notifications.
    Main()->CheckOnFlyChange->start();

    ClickFile("Super Game (E) [!].smc");
    QTRY_COMPARE_WITH_TIMEOUT(Panel(), QString("Filename: Super Game (E) [!].smc [No description]"),
                              2000);
    QTest::mouseClick(Sel()->PlayBt, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(Log().size() >= 6, 5000);

    // The emulator, its two switches and the ROM's full path as one argument.
    EXPECT_EQ(Log(), (QStringList{Emulator("snes9x"), "-y", "-sound", rom,
                                  "cwd=" + EmuDir("snes9x"), "roms:snes9x "}));
    EXPECT_EQ(Main()->Launch().CommandLine(), Emulator("snes9x") + "  -y  -sound " + rom);
    EXPECT_EQ(State().LaunchTarget, rom);
    EXPECT_EQ(Content(rom), "plain rom") << "a plain ROM is used where it lies";
    EXPECT_EQ(Names(Games("snes9x")), (QStringList{"Other.smc", "Super Game (E) [!].smc"}));
    EXPECT_EQ(Names(EmuDir("snes9x")), QStringList{"snes9x"});
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_FALSE(Main()->isMinimized());
    EXPECT_FALSE(Sel()->isMinimized());
}

TEST_P(KeepingOrNot, MemberOfAZipInTheZsnesSlot) {
    const bool keep = GetParam();
    PutZip(Games("zsnes") + "/games.zip",
           {Entry("Other.smc", Text("other")), Entry("roms/Game One.smc", Text("game one"))});
    Open(SlotZSNES, keep);
    State().Switches[SlotZSNES] = "-m -v 2";
    ClickFile("games.zip");
    Ticks();
    EXPECT_EQ(Panel(), "Viewing archive file");
    EXPECT_FALSE(Sel()->PlayBt->isEnabled());
    ClickMember("Game One.smc");
    Ticks();
    EXPECT_EQ(Panel(), "Filename: Game One.smc [No description]");
    Play();

    // The member lies in the emulator's folder while it runs and is named by its file name.
    EXPECT_EQ(Log(), (QStringList{Emulator("zsnes"), "-m", "-v", "2", "Game One.smc",
                                  "cwd=" + EmuDir("zsnes"), "roms:Game One.smc zsnes "}));
    EXPECT_EQ(Main()->Launch().CommandLine(), Emulator("zsnes") + " -m -v 2 Game One.smc");
    if (keep) {
        EXPECT_EQ(Names(EmuDir("zsnes")), (QStringList{"Game One.smc", "zsnes"}));
        EXPECT_EQ(Content(EmuDir("zsnes") + "/Game One.smc"), "game one");
        EXPECT_EQ(State().LaunchTarget, "Game One.smc");
    } else {
        EXPECT_EQ(Names(EmuDir("zsnes")), QStringList{"zsnes"});
        EXPECT_EQ(State().LaunchTarget, EmuDir("zsnes") + "/Game One.smc");
    }
    EXPECT_EQ(Names(Games("zsnes")), QStringList{"games.zip"});
    EXPECT_TRUE(host_.messages.empty());
}

TEST_P(KeepingOrNot, AFileOfTheMembersNameInTheEmulatorsFolderIsUsedAndKept) {
    PutZip(Games("zsnes") + "/games.zip", {Entry("Game.smc", Text("from the archive"))});
    WriteFile(EmuDir("zsnes") + "/Game.smc", "my patched copy");
    Open(SlotZSNES, GetParam());
    ClickFile("games.zip");
    ClickMember("Game.smc");
    Ticks();
    Play();
    EXPECT_EQ(Log().mid(Log().size() - 2),
              (QStringList{"cwd=" + EmuDir("zsnes"), "roms:Game.smc zsnes "}));
    EXPECT_EQ(Content(EmuDir("zsnes") + "/Game.smc"), "my patched copy");
    EXPECT_EQ(Names(EmuDir("zsnes")), (QStringList{"Game.smc", "zsnes"}));
    EXPECT_TRUE(host_.messages.empty());
}

TEST_P(KeepingOrNot, WholeArchiveInTheMameSlot) {
    const bool keep = GetParam();
    PutZip(Games("mame") + "/pacman.zip",
           {Entry("pacman.6e", Text("6e")), Entry("pacman.6f", Text("6f")),
            Entry("roms/pacman.6h", Text("6h"))});
    Open(SlotMAME, keep);
    State().Switches[SlotMAME] = " -noartwork";
    EXPECT_FALSE(Sel()->ZipList->isVisible()) << "M.A.M.E. takes the archive whole";
    ClickFile("pacman.zip");
    Ticks();
    EXPECT_EQ(Panel(), "Filename: pacman.zip [No description]");
    Play();

    EXPECT_EQ(Log(),
              (QStringList{Emulator("mame"), "pacman", "-noartwork", "cwd=" + EmuDir("mame"),
                           "roms:mame pacman ", "dir pacman:pacman.6e pacman.6f pacman.6h "}));
    EXPECT_EQ(Main()->Launch().CommandLine(), Emulator("mame") + " pacman  -noartwork");
    EXPECT_EQ(State().LaunchTarget, EmuDir("mame") + "/pacman");
    if (keep) {
        EXPECT_EQ(Names(EmuDir("mame") + "/pacman"),
                  (QStringList{"pacman.6e", "pacman.6f", "pacman.6h"}));
    } else {
        EXPECT_EQ(Names(EmuDir("mame")), QStringList{"mame"});
    }
    EXPECT_EQ(Names(Games("mame")), QStringList{"pacman.zip"});
    EXPECT_TRUE(host_.messages.empty());
}

TEST_P(KeepingOrNot, GameFolderThatAlreadyHeldFilesKeepsThem) {
    const bool keep = GetParam();
    PutZip(Games("mame") + "/pacman.zip",
           {Entry("pacman.6e", Text("6e")), Entry("pacman.6f", Text("6f"))});
    const QString game = EmuDir("mame") + "/pacman";
    QDir().mkpath(game);
    WriteFile(game + "/hiscore.dat", "my scores");
    WriteFile(game + "/pacman.6e", "my own dump");
    Open(SlotMAME, keep);
    // A double-click plays the archive at once.
    DoubleClickFile("pacman.zip");
    Ticks();
    EXPECT_EQ(Log().back(), "dir pacman:hiscore.dat pacman.6e pacman.6f ");
    EXPECT_EQ(Content(game + "/pacman.6e"), "my own dump");
    EXPECT_EQ(Content(game + "/hiscore.dat"), "my scores");
    if (keep) {
        EXPECT_EQ(Names(game), (QStringList{"hiscore.dat", "pacman.6e", "pacman.6f"}));
    } else {
        // Only what this launch wrote is gone; the folder was there before and stays.
        EXPECT_EQ(Names(game), (QStringList{"hiscore.dat", "pacman.6e"}));
    }
    EXPECT_TRUE(host_.messages.empty());
}

TEST_P(KeepingOrNot, MemberOfAnLhaArchiveInTheZsnesSlot) {
    const bool keep = GetParam();
    // Level 1 with the folder in an extended header, and level 0 with it in the name.
    WriteFile(Games("zsnes") + "/games.lzh",
              Bytes(BuildLha({Lha("Other.smc", Text("other"), 1, "-lh0-", "roms"),
                              Lha("roms\\Game One.smc", Text("game one"), 0)})));
    Open(SlotZSNES, keep);
    State().Switches[SlotZSNES] = "";
    ClickFile("games.lzh");
    Ticks();
    EXPECT_EQ(Panel(), "Viewing archive file");
    ClickMember("Game One.smc");
    Ticks();
    Play();
    EXPECT_EQ(Log(), (QStringList{Emulator("zsnes"), "Game One.smc", "cwd=" + EmuDir("zsnes"),
                                  "roms:Game One.smc zsnes "}));
    if (keep) {
        EXPECT_EQ(Names(EmuDir("zsnes")), (QStringList{"Game One.smc", "zsnes"}));
        EXPECT_EQ(Content(EmuDir("zsnes") + "/Game One.smc"), "game one");
    } else {
        EXPECT_EQ(Names(EmuDir("zsnes")), QStringList{"zsnes"});
    }
    EXPECT_EQ(Names(Games("zsnes")), QStringList{"games.lzh"});
    EXPECT_TRUE(host_.messages.empty());
}

TEST_P(KeepingOrNot, WholeLhaArchiveInTheMameSlot) {
    const bool keep = GetParam();
    WriteFile(Games("mame") + "/pacman.lzh",
              Bytes(BuildLha({Lha("pacman.6e", Text("6e"), 0), Lha("pacman.6f", Text("6f"), 1),
                              Lha("pacman.6h", Text("6h"), 2)})));
    Open(SlotMAME, keep);
    State().Switches[SlotMAME] = "";
    ClickFile("pacman.lzh");
    Ticks();
    Play();
    EXPECT_EQ(Log(),
              (QStringList{Emulator("mame"), "pacman", "cwd=" + EmuDir("mame"), "roms:mame pacman ",
                           "dir pacman:pacman.6e pacman.6f pacman.6h "}));
    if (keep) {
        EXPECT_EQ(Content(EmuDir("mame") + "/pacman/pacman.6h"), "6h");
    } else {
        EXPECT_EQ(Names(EmuDir("mame")), QStringList{"mame"});
    }
    EXPECT_TRUE(host_.messages.empty());
}

TEST_P(KeepingOrNot, MemberSplitAcrossArjVolumesInTheSnes9xSlot) {
    const bool keep = GetParam();
    // ARJ 3.10 split GAME.SMC over the first volume and both continuation volumes.
    for (const char* part : {"MULTIVOL.ARJ", "MULTIVOL.A01", "MULTIVOL.A02"})
        PutFixture("arj", part, Games("snes9x"));
    Open(SlotSNES9x, keep);
    State().Switches[SlotSNES9x] = " -y";
    ClickFile("MULTIVOL.ARJ");
    Ticks();
    EXPECT_EQ(Panel(), "Viewing archive file");
    ClickMember("GAME.SMC");
    Ticks();
    Play();
    EXPECT_EQ(Log(), (QStringList{Emulator("snes9x"), "-y", "GAME.SMC", "cwd=" + EmuDir("snes9x"),
                                  "roms:GAME.SMC snes9x "}));
    if (keep) {
        const QByteArray rom = Content(EmuDir("snes9x") + "/GAME.SMC");
        EXPECT_EQ(rom.size(), 131584);
        EXPECT_EQ(QCryptographicHash::hash(rom, QCryptographicHash::Sha256).toHex(),
                  "3b3866aa30c664e82c593cc0ce34e3c7765e931f85dd4fd3531061179a65220f");
        EXPECT_EQ(Names(EmuDir("snes9x")), (QStringList{"GAME.SMC", "snes9x"}));
    } else {
        EXPECT_EQ(Names(EmuDir("snes9x")), QStringList{"snes9x"});
    }
    EXPECT_EQ(Names(Games("snes9x")),
              (QStringList{"MULTIVOL.A01", "MULTIVOL.A02", "MULTIVOL.ARJ"}));
    EXPECT_TRUE(host_.messages.empty());
}

TEST_P(KeepingOrNot, WholeArcArchiveInTheCallusSlot) {
    const bool keep = GetParam();
    // Stored, packed, squeezed and crunched members.
    PutFixture("arc", "MIXED.ARC", Games("callus"));
    Open(SlotCallus, keep);
    State().Switches[SlotCallus] = "";
    EXPECT_FALSE(Sel()->ZipList->isVisible()) << "Callus takes the archive whole";
    ClickFile("MIXED.ARC");
    Ticks();
    Play();
    EXPECT_EQ(Log(), (QStringList{Emulator("callus"), "MIXED", "cwd=" + EmuDir("callus"),
                                  "roms:MIXED callus ",
                                  "dir MIXED:EMPTY.DAT NOISE.BIN NOP90.BIN PACK1.BIN PACK2.BIN "
                                  "README TILES.CHR "}));
    if (keep) {
        const std::pair<const char*, const char*> members[] = {
            {"EMPTY.DAT", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
            {"NOISE.BIN", "7aa778ce2bcc1bb89eac08a7ea56a9bca51f2c2155d392db778aeb5589f9bdc8"},
            {"NOP90.BIN", "80f75cd3b6f5a718febfba0b828de2c4e89e9329567fcf509291d00e0676a238"},
            {"PACK1.BIN", "147e211035fdaef4ce9b52cc4784b10a94b58039befad8096172fd0fb29b1a2e"},
            {"PACK2.BIN", "1ff677582f2000de9ad8f25f52674b727ada66f6f54dcec762a4f576f71ad0c3"},
            {"README", "1452c1a09f4ae6f69627753ebc57e47c9a781c24fee8852e8bea879f5c8057e2"},
            {"TILES.CHR", "913662d417b7cdf37bc55edfe6e8b2edb89239c5fff90db900cc3cbdb4652329"}};
        for (const auto& [name, sha] : members) {
            EXPECT_EQ(QCryptographicHash::hash(Content(EmuDir("callus") + "/MIXED/" + name),
                                               QCryptographicHash::Sha256)
                          .toHex(),
                      sha)
                << name;
        }
    } else {
        EXPECT_EQ(Names(EmuDir("callus")), QStringList{"callus"});
    }
    EXPECT_EQ(Names(Games("callus")), QStringList{"MIXED.ARC"});
    EXPECT_TRUE(host_.messages.empty());
}

TEST_F(EndToEndTest, ZooMemberWithALongNameIsPlayedUnderTheNameShown) {
    WriteFile(Games("zsnes") + "/long.zoo",
              Bytes(BuildZoo({Zoo("SuperfGa.sfc", Text("long rom"), 0, "Super Game (USA).sfc",
                                  "roms/snes")})));
    Open(SlotZSNES, true);
    ClickFile("long.zoo");
    ClickMember("Super Game (USA).sfc");
    Ticks();
    Play();
    EXPECT_EQ(Log().mid(Log().size() - 2),
              (QStringList{"cwd=" + EmuDir("zsnes"), "roms:Super Game (USA).sfc zsnes "}));
    EXPECT_EQ(Content(EmuDir("zsnes") + "/Super Game (USA).sfc"), "long rom");
    EXPECT_TRUE(host_.messages.empty());
}

// The "Command:" line of the option dialog follows its controls before OK, the main window
// shows the slot's line for the chosen ROM, and that line, run by a shell in the folder of its
// tooltip, starts the emulator with exactly the arguments "Play" gives it.
TEST_F(EndToEndTest, TheCommandLineShownIsTheOnePlayStarts) {
    const QString rom = Games("snes9x") + "/It's a $Game (E).smc";
    WriteFile(rom, "plain rom");
    Open(SlotSNES9x, false);
    const QString emulator = Emulator("snes9x");
    EXPECT_EQ(Main()->CommandLine->text(), emulator + " -j -ss 0 -O -SH -nogui -quiet <ROM>");
    NextFileType();
    ClickFile("It's a $Game (E).smc");
    Ticks();
    const QString quotedRom = "'" + QString(rom).replace("'", "'\\''") + "'";
    EXPECT_EQ(Main()->CommandLine->text(),
              emulator + " -j -ss 0 -O -SH -nogui -quiet " + quotedRom);
    EXPECT_EQ(Main()->CommandLine->toolTip(), "Working folder: " + EmuDir("snes9x"));

    auto* dialog = static_cast<TS9x_OptForm*>(app_->Dialog(SlotSNES9x));
    const auto modal = WhenModal([&](QWidget*) {
        EXPECT_EQ(dialog->CommandLine->text(), Main()->CommandLine->text());
        dialog->Sound->setChecked(false);
        EXPECT_EQ(dialog->CommandLine->text(),
                  emulator + " -NS -j -ss 0 -O -SH -nogui -quiet " + quotedRom);
        dialog->PageControl1->setCurrentWidget(dialog->VideoPage);
        dialog->Frames->setFocus();
        QTest::keyClick(dialog->Frames, Qt::Key_Up);
        EXPECT_EQ(dialog->CommandLine->text(),
                  emulator + " -NS -j -frames 3 -ss 0 -O -SH -nogui -quiet " + quotedRom);
        EXPECT_EQ(dialog->GetSwitches(), " -j -ss 0 -O -SH -nogui -quiet")
            << "nothing is built before OK";
        EXPECT_EQ(State().Switches[SlotSNES9x], " -j -ss 0 -O -SH -nogui -quiet");
        QTest::mouseClick(dialog->OKBtn, Qt::LeftButton);
    });
    QTest::mouseClick(Main()->CallOptionBt, Qt::LeftButton);
    ASSERT_EQ(State().Switches[SlotSNES9x], " -NS -j -frames 3 -ss 0 -O -SH -nogui -quiet");
    const QString shown = Main()->CommandLine->text();
    EXPECT_EQ(shown, emulator + " -NS -j -frames 3 -ss 0 -O -SH -nogui -quiet " + quotedRom);

    Sel()->activateWindow();
    Play();
    const QStringList played = Log();
    ASSERT_EQ(played.size(), 14) << played.join('|').toStdString();
    EXPECT_EQ(played.mid(0, 12), (QStringList{emulator, "-NS", "-j", "-frames", "3", "-ss", "0",
                                              "-O", "-SH", "-nogui", "-quiet", rom}));

    // The line run by a shell in the tooltip's folder logs the same again.
    QFile::remove(log_);
    QProcess shell;
    shell.setWorkingDirectory(EmuDir("snes9x"));
    shell.start("/bin/sh", {"-c", shown});
    ASSERT_TRUE(shell.waitForFinished(10000));
    EXPECT_EQ(Log(), played);
}

TEST_F(EndToEndTest, TheGameNameStandsBeforeTheSwitchesInTheLine) {
    PutZip(Games("mame") + "/pacman.zip", {Entry("pacman.6e", Text("6e"))});
    Open(SlotMAME, false);
    ClickFile("pacman.zip");
    Ticks();
    const QString shown = Main()->CommandLine->text();
    EXPECT_EQ(shown, Emulator("mame") + " pacman -soundcard 0 -noaa");
    Play();
    const QStringList played = Log();
    ASSERT_GE(played.size(), 4);
    EXPECT_EQ(played.mid(0, 4), (QStringList{Emulator("mame"), "pacman", "-soundcard", "0"}));
    EXPECT_EQ(played.mid(0, 5), shown.split(' '));
}

INSTANTIATE_TEST_SUITE_P(SaveExtractedRoms, KeepingOrNot, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "Kept" : "Deleted");
});

TEST_F(EndToEndTest, DosMemberNameIsPlayedAsUtf8) {
    const std::string stored = "Spi\x8Al.smc";  // code page 437: e with grave
    const std::string utf8 = "Spi\xC3\xA8l.smc";
    PutZip(Games("zsnes") + "/dos.zip", {Entry(stored, Text("dos rom"))});
    Open(SlotZSNES, false);
    ClickFile("dos.zip");
    const QString shown = QString::fromUtf8(utf8);
    ClickMember(shown);
    Ticks();
    EXPECT_EQ(Panel(), "Filename: " + shown + " [No description]");
    Play();
    // The ROM is the last argument, after the slot's switches; then the folder and its files.
    const QByteArray rom = QByteArray::fromStdString(utf8);
    ExpectRomAndFolder(LogLines(), rom, "roms:" + rom + " zsnes ");
    EXPECT_EQ(Names(EmuDir("zsnes")), QStringList{"zsnes"});
    EXPECT_TRUE(host_.messages.empty());
}

// The ARJ member users found listed one way and written another: the name shown, the name
// extracted and the name the emulator gets are the same code page 437 name, as UTF-8.
TEST_F(EndToEndTest, ArjMemberWithACodePage437NameIsPlayedUnderTheNameShown) {
    orvello::testing::ArjMember member;
    member.name = "GAME \x94.SMC";  // code page 437: o with diaeresis
    member.data = Text("arj rom");
    orvello::testing::ArjMember other;
    other.name = "OTHER.SMC";
    other.data = Text("other");
    WriteFile(Games("zsnes") + "/dos.arj", Bytes(orvello::testing::BuildArj({member, other})));
    Open(SlotZSNES, false);
    ClickFile("dos.arj");
    const QString shown = QString::fromUtf8("GAME \xC3\xB6.SMC");
    ClickMember(shown);
    Ticks();
    EXPECT_EQ(Panel(), "Filename: " + shown + " [No description]");
    Play();
    // The file was there under that name while the emulator ran, and is gone after.
    ExpectRomAndFolder(LogLines(), shown.toUtf8(), "roms:" + shown.toUtf8() + " zsnes ");
    EXPECT_EQ(Names(EmuDir("zsnes")), QStringList{"zsnes"});
    EXPECT_TRUE(host_.messages.empty());
}

// "Name encoding" on the contents list reads the archive's names again in the code page
// chosen; "Play" then extracts and starts the member under that same name. Another archive
// starts over at "Automatic".
TEST_F(EndToEndTest, ANameEncodingChosenListsAgainAndPlaysUnderThatName) {
    const std::string stored = "\xE9\xE7\xF2\xE1.smc";  // KOI8-R: "ИГРА"
    const std::string utf8 = "\xD0\x98\xD0\x93\xD0\xA0\xD0\x90.smc";
    PutZip(Games("zsnes") + "/ru.zip", {Entry(stored, Text("koi8 rom"))});
    PutZip(Games("zsnes") + "/other.zip", {Entry("plain.smc", Text("plain"))});
    Open(SlotZSNES, false);
    ClickFile("ru.zip");
    // Read the automatic way (code page 437), the name is another one.
    ASSERT_EQ(Sel()->Members()->Count(), 1);
    EXPECT_EQ(Sel()->Members()->At(0).caption,
              QString::fromUtf8("\xCE\x98\xCF\x84\xE2\x89\xA5\xC3\x9F.smc"));
    QAction* koi8 = nullptr;
    for (QAction* a : Sel()->NameEncodingMenu->actions()) {
        if (a->text() == "koi8-r") koi8 = a;
    }
    ASSERT_NE(koi8, nullptr);
    EXPECT_TRUE(Sel()->NameEncodingMenu->actions().front()->isChecked());
    EXPECT_EQ(Sel()->NameEncodingMenu->actions().front()->text(), "Automatic");
    koi8->trigger();
    EXPECT_TRUE(koi8->isChecked());
    const QString shown = QString::fromUtf8(utf8);
    ASSERT_EQ(Sel()->Members()->Count(), 1);
    EXPECT_EQ(Sel()->Members()->At(0).caption, shown);
    ClickMember(shown);
    Play();
    // The emulator's folder, sorted, holds the member written under that name.
    const QByteArray rom = QByteArray::fromStdString(utf8);
    ExpectRomAndFolder(LogLines(), rom, "roms:zsnes " + rom + " ");
    EXPECT_TRUE(host_.messages.empty());

    ClickFile("other.zip");
    EXPECT_TRUE(Sel()->NameEncodingMenu->actions().front()->isChecked());
    EXPECT_EQ(Archives().UnZIP.NamesEncoding, archive::NameEncoding::kAuto);
}

TEST_F(EndToEndTest, MemberOfAPkzip250ArchiveIsListedButCannotBePlayed) {
    // PKZIP 2.50 wrote a local header signature of its own; the archive is listed from its
    // central directory, and no extractor of ours takes it.
    QByteArray zip = Bytes(BuildZip({Entry("Game.smc", Text("zip250"))}));
    zip.replace(0, 4, QByteArray("\x00\x00\x00\x50", 4));
    WriteFile(Games("zsnes") + "/old.zip", zip);
    Open(SlotZSNES, false);
    ClickFile("old.zip");
    ASSERT_EQ(Archives().ArchiveType(), archive::TArcType::atZip250);
    ClickMember("Game.smc");
    Ticks();
    Play();
    ASSERT_EQ(host_.messages.size(), 2u);
    EXPECT_EQ(host_.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(host_.messages[0].text, "Extraction of this file type is not supported.");
    EXPECT_EQ(host_.messages[1].kind, MessageKind::Error);
    EXPECT_EQ(host_.messages[1].text, "Can't extract ROM (disk full?)");
    EXPECT_FALSE(QFileInfo::exists(log_)) << "the emulator was not started";
    EXPECT_EQ(Names(EmuDir("zsnes")), QStringList{"zsnes"});
}

TEST_F(EndToEndTest, ALongExtractionShowsItsProgress) {
    std::vector<std::uint8_t> big(4 << 20);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 131 + (i >> 9));
    PutZip(Games("zsnes") + "/big.zip", {Entry("Big Game.smc", big)});
    Open(SlotZSNES, false);
    ClickFile("big.zip");
    ClickMember("Big Game.smc");
    Ticks();
    Main()->ProgressDelayMs = 0;  // a slow disk, as it were

    // The progress window lets the event loop run; what it shows is looked at from there.
    QString label;
    int value = -1;
    bool visible = false;
    bool modal = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (QProgressDialog* dialog = Main()->ExtractProgress) {
            visible = visible || dialog->isVisible();
            modal = dialog->isModal();
            label = dialog->labelText();
            value = std::max(value, dialog->value());
        }
    });
    look.start(0);
    Play();
    look.stop();
    EXPECT_TRUE(visible);
    EXPECT_TRUE(modal);
    EXPECT_EQ(label, "Big Game.smc");
    EXPECT_GE(value, 50);
    EXPECT_EQ(Main()->ExtractProgress, nullptr) << "gone when the extraction ends";
    EXPECT_EQ(Log()[Log().size() - 3], "Big Game.smc") << "the last argument";
}

TEST_F(EndToEndTest, AMemberIsChosenAndPlayedFromTheKeyboardAlone) {
    PutZip(Games("zsnes") + "/games.zip", {Entry("Game.smc", Text("game"))});
    Open(SlotSNES9x, false);
    QTest::keyClick(Sel(), Qt::Key_Escape);  // closed again; the keyboard starts from here
    Main()->CheckOnFlyChangeTimer();
    ASSERT_FALSE(Sel()->isVisible());
    Main()->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == Main(); }));

    // To the ZSNES tab, then "Get ROM file" by its mnemonic.
    Main()->EmuList->setFocus();
    for (int i = State().CurrentSlot; i < SlotZSNES; ++i)
        QTest::keyClick(Main()->EmuList, Qt::Key_Right);
    ASSERT_EQ(State().CurrentSlot, SlotZSNES);
    QTest::keyClick(Main(), Qt::Key_R, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(Sel()->isVisible(), 1000);
    ASSERT_TRUE(Main()->CheckOnFlyChange->isActive());
    Sel()->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == Sel(); }));

    // The name field, the file list, the archive, its member, and Enter plays it.
    QTest::keyClick(Sel(), Qt::Key_F, Qt::AltModifier);
    QTest::keyClick(Sel()->EditROMFilename, Qt::Key_Tab);
    ASSERT_TRUE(Sel()->FileListBox->hasFocus());
    QTest::keyClick(Sel()->FileListBox, Qt::Key_End);  // after the parent folder's entry
    QTest::keyClick(Sel()->FileListBox, Qt::Key_Return);
    ASSERT_EQ(State().SelectedFile, Games("zsnes") + "/games.zip");
    QWidget* contents = Sel()->ZipList->Current();
    ASSERT_TRUE(contents->hasFocus());
    QTest::keyClick(contents, Qt::Key_Down);
    QTest::keyClick(contents, Qt::Key_Return);
    // The program's own timer takes it from here.
    QTRY_VERIFY_WITH_TIMEOUT(Log().size() >= 4, 5000);
    EXPECT_EQ(Log().front(), Emulator("zsnes"));
    EXPECT_EQ(Log()[Log().size() - 3], "Game.smc") << "the last argument";
    EXPECT_EQ(Log().mid(Log().size() - 2),
              (QStringList{"cwd=" + EmuDir("zsnes"), "roms:Game.smc zsnes "}));
    QTRY_COMPARE_WITH_TIMEOUT(Names(EmuDir("zsnes")), QStringList{"zsnes"}, 2000);
}

TEST_F(DeleteEndToEndTest, DeletingWhileAMemberIsChosenDeletesTheArchive) {
    PutZip(Games("zsnes") + "/games.zip", {Entry("Game.smc", Text("game"))});
    PutZip(Games("zsnes") + "/keep.zip", {Entry("Keep.smc", Text("keep"))});
    QDir().mkpath(dir_.filePath("settings"));
    WriteFile(dir_.filePath("settings/Gamez.DSC"), "[Description]\nGame=The member\n");
    Open(SlotZSNES, false);
    ClickFile("games.zip");
    ClickMember("Game.smc");
    Ticks();
    EXPECT_EQ(Panel(), "Filename: Game.smc [The member]");
    EXPECT_TRUE(Main()->ROMsMenu->menuAction()->isEnabled());

    host_.yesNo = {true};
    Main()->ROMsDelete->trigger();
    EXPECT_FALSE(QFileInfo::exists(Games("zsnes") + "/games.zip"));
    EXPECT_EQ(Content(dir_.filePath("data/Trash/files/games.zip")).left(2), "PK");
    EXPECT_EQ(FileLines(dir_.filePath("settings/Gamez.DSC")),
              (QStringList{"[Description]", "Game="}));
    EXPECT_EQ(Sel()->Files()->RowOf("games.zip"), -1) << "the file list read its folder again";
    EXPECT_GE(Sel()->Files()->RowOf("keep.zip"), 0);
    EXPECT_EQ(Panel(), "No ROM selected");
    EXPECT_FALSE(Main()->ROMsMenu->menuAction()->isEnabled());
    EXPECT_FALSE(Main()->DescrAdd->isEnabled());
    Ticks();
    EXPECT_EQ(Panel(), "No ROM selected");
}
