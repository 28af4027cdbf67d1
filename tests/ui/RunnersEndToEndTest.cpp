// DOS and Windows emulators started for real: a DOS stand-in (a batch file that records its
// command line and copies the ROM it was given) under the real DOSBox, run headless, played
// through the real windows and through "orvello --play"; a stand-in "wine" on the search path
// that records what it was given; and the exit statuses of --play.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "EndToEndFixture.h"
#include "EndToEndSupport.h"
#include "UiTestSupport.h"
#include "app/PlayCommand.h"
#include "app/RunnersDialog.h"
#include "app/core/LaunchCommand.h"
#include "archive/LhaZooBuilder.h"
#include "archive/ZipBuilder.h"

using namespace orvello;
using namespace orvello::test;
using orvello::testing::BuildLha;
using orvello::testing::BuildZip;
using orvello::testing::Entry;
using orvello::testing::Lha;
using orvello::testing::Text;

namespace {

const QString Program = QStringLiteral(ORVELLO_BUILD_DIR "/orvello");

// A DOS batch stand-in: its arguments go to ARGS.TXT and the file its last one names is
// copied to COPY.ROM, both in its own folder (DOS's drive C:).
const QByteArray DosStandIn =
    "@ECHO OFF\r\n"
    "ECHO %1 %2 %3 %4 %5 %6 %7 %8 %9 > ARGS.TXT\r\n"
    ":NEXT\r\n"
    "IF \"%2\"==\"\" GOTO LAST\r\n"
    "SHIFT\r\n"
    "GOTO NEXT\r\n"
    ":LAST\r\n"
    "COPY %1 COPY.ROM > NUL\r\n";

// The environment a headless DOSBox needs: no window, no sound device, and a home of the
// test's own for the settings file it writes there.
class HeadlessEnvironment {
  public:
    explicit HeadlessEnvironment(const QString& home) {
        for (const char* name : {"SDL_VIDEODRIVER", "SDL_AUDIODRIVER", "HOME"})
            saved_.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv("SDL_VIDEODRIVER", "dummy");
        qputenv("SDL_AUDIODRIVER", "dummy");
        qputenv("HOME", QFile::encodeName(home));
    }
    ~HeadlessEnvironment() {
        for (const Saved& s : saved_) {
            if (s.wasSet) {
                qputenv(s.name, s.value);
            } else {
                qunsetenv(s.name);
            }
        }
    }
    HeadlessEnvironment(const HeadlessEnvironment&) = delete;
    HeadlessEnvironment& operator=(const HeadlessEnvironment&) = delete;

  private:
    struct Saved {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    std::vector<Saved> saved_;
};

struct ProgramRun {
    int exitCode = -1;
    bool finished = false;
    QString out;
    QString err;
};

// Runs the program with its settings in settingsHome and the given search path.
ProgramRun RunProgram(const QString& settingsHome, const QStringList& arguments,
                      const QString& path = QString()) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", settingsHome);
    env.remove("QT_QPA_PLATFORM");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    if (!path.isEmpty()) env.insert("PATH", path + ":" + env.value("PATH"));
    process.setProcessEnvironment(env);
    process.start(Program, arguments);
    ProgramRun run;
    run.finished = process.waitForFinished(90000);
    if (!run.finished) process.kill();
    process.waitForFinished(5000);
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The end-to-end fixture with the SNES9x emulator replaced by a DOS batch file run by the real
// DOSBox. Skipped where DOSBox is not installed (the project's dependency script installs it).
class DosBoxEndToEndTest : public EndToEndTest {
  protected:
    void SetUp() override {
        dosbox_ = QStandardPaths::findExecutable("dosbox");
        if (dosbox_.isEmpty()) GTEST_SKIP() << "DOSBox is not installed (package dosbox)";
        EndToEndTest::SetUp();
        QDir().mkpath(dir_.filePath("home"));
        environment_ = std::make_unique<HeadlessEnvironment>(dir_.filePath("home"));
        WriteFile(dir_.filePath("dosbox.conf"),
                  "[sdl]\nfullscreen=false\n[mixer]\nnosound=true\n[cpu]\ncycles=max\n");
        WriteFile(Bat(), DosStandIn);
        WriteFile(Games("snes9x") + "/long.zip",
                  Bytes(BuildZip({Entry("Super Game (E) [!].smc", Text("zip rom bytes"))})));
        WriteFile(Games("snes9x") + "/puzzle.lzh",
                  Bytes(BuildLha({Lha("Puzzle League.smc", Text("lha rom bytes"))})));
    }
    void TearDown() override {
        EndToEndTest::TearDown();
        environment_.reset();
    }
    QString Bat() const { return EmuDir("snes9x") + "/EMU.BAT"; }
    // The settings: SNES9x is the batch file, started with DOSBox by its kind.
    QByteArray Settings() const {
        return "[Common]\nAutoPreview=0\nDOSBox=" + QFile::encodeName(dosbox_) +
               "\nDOSBoxOptions=-conf " + QFile::encodeName(dir_.filePath("dosbox.conf")) +
               "\n[S9x]\nEmuPath=" + QFile::encodeName(Bat()) +
               "\nGamesDir=" + QFile::encodeName(Games("snes9x")) + "\nRunner=0\n";
    }
    // What the stand-in recorded, taken out of the emulator's folder.
    std::pair<QString, QByteArray> TakeRecords() {
        const QString args = QString::fromLatin1(Content(EmuDir("snes9x") + "/ARGS.TXT")).trimmed();
        const QByteArray copy = Content(EmuDir("snes9x") + "/COPY.ROM");
        QFile::remove(EmuDir("snes9x") + "/ARGS.TXT");
        QFile::remove(EmuDir("snes9x") + "/COPY.ROM");
        return {args, copy};
    }

    QString dosbox_;
    std::unique_ptr<HeadlessEnvironment> environment_;
};

TEST_F(DosBoxEndToEndTest, MembersArePlayedThroughTheWindowsUnderDosNames) {
    Open(SlotSNES9x, false);
    State().EmuPath[SlotSNES9x] = Bat();
    State().Runners.dosbox = dosbox_;
    State().Runners.dosboxOptions = "-conf " + dir_.filePath("dosbox.conf");
    State().Switches[SlotSNES9x] = " -y -r";
    const QStringList emuBefore = Names(EmuDir("snes9x"));
    const QStringList gamesBefore = Names(Games("snes9x"));

    ClickFile("long.zip");
    ClickMember("Super Game (E) [!].smc");
    Ticks();
    Play();
    EXPECT_TRUE(host_.messages.empty()) << host_.messages.front().text.toStdString();
    const auto [zipArgs, zipCopy] = TakeRecords();
    EXPECT_EQ(zipArgs, "-y -r SUPERG~1.SMC");
    EXPECT_EQ(zipCopy, "zip rom bytes");
    EXPECT_EQ(Names(EmuDir("snes9x")), emuBefore) << "the DOS-named ROM is taken back";

    ClickFile("puzzle.lzh");
    ClickMember("Puzzle League.smc");
    Ticks();
    Play();
    EXPECT_TRUE(host_.messages.empty());
    const auto [lhaArgs, lhaCopy] = TakeRecords();
    EXPECT_EQ(lhaArgs, "-y -r PUZZLE~1.SMC");
    EXPECT_EQ(lhaCopy, "lha rom bytes");
    EXPECT_EQ(Names(EmuDir("snes9x")), emuBefore);
    EXPECT_EQ(Names(Games("snes9x")), gamesBefore);
}

TEST_F(DosBoxEndToEndTest, PlayFromTheTerminalRunsDosBoxAndLeavesNothingBehind) {
    QDir().mkpath(dir_.filePath("settings/Orvello"));
    WriteFile(dir_.filePath("settings/Orvello/WINORVEL.INI"), Settings());
    const QStringList emuBefore = Names(EmuDir("snes9x"));
    const QStringList gamesBefore = Names(Games("snes9x"));

    // The slot's switches are those its dialog reads from settings without keys.
    const QString switches = "-j -ss 0 -O -SH -nogui -quiet";
    const ProgramRun zip =
        RunProgram(dir_.filePath("settings"),
                   {"--play", "SNES9x", Games("snes9x") + "/long.zip", "Super Game (E) [!].smc"});
    ASSERT_TRUE(zip.finished);
    EXPECT_EQ(zip.exitCode, 0) << zip.err.toStdString();
    // The command started is printed as the preview shows it.
    EXPECT_TRUE(zip.out.contains("-noconsole -exit")) << zip.out.toStdString();
    EXPECT_TRUE(zip.out.contains("'CALL EMU.BAT  " + switches + " SUPERG~1.SMC'"))
        << zip.out.toStdString();
    const auto [zipArgs, zipCopy] = TakeRecords();
    EXPECT_EQ(zipArgs, switches + " SUPERG~1.SMC");
    EXPECT_EQ(zipCopy, "zip rom bytes");

    // An archive's only member of the slot's types needs no name.
    const ProgramRun lha =
        RunProgram(dir_.filePath("settings"), {"--play", "S9x", Games("snes9x") + "/puzzle.lzh"});
    ASSERT_TRUE(lha.finished);
    EXPECT_EQ(lha.exitCode, 0) << lha.err.toStdString();
    const auto [lhaArgs, lhaCopy] = TakeRecords();
    EXPECT_EQ(lhaArgs, switches + " PUZZLE~1.SMC");
    EXPECT_EQ(lhaCopy, "lha rom bytes");
    EXPECT_EQ(Names(EmuDir("snes9x")), emuBefore);
    EXPECT_EQ(Names(Games("snes9x")), gamesBefore);
}

// --play's statuses with a Linux stand-in and with runners that are missing or refuse.
class PlayStatusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QDir(dir_.path()).mkpath("settings/Orvello");
        QDir(dir_.path()).mkpath("emu");
        QDir(dir_.path()).mkpath("roms");
        emulator_ = dir_.filePath("emu/emulator");
        WriteFile(emulator_, "#!/bin/sh\nexit 7\n");
        QFile::setPermissions(emulator_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        WriteFile(dir_.filePath("roms/game.zip"),
                  Bytes(BuildZip({Entry("Game One.smc", Text("rom"))})));
        WriteFile(dir_.filePath("roms/Big Game.zip"),
                  Bytes(BuildZip({Entry("big.rom", Text("arcade rom"))})));
    }
    ProgramRun Play(const QByteArray& settings, const QStringList& arguments,
                    const QString& path = QString()) {
        WriteFile(dir_.filePath("settings/Orvello/WINORVEL.INI"), settings);
        return RunProgram(dir_.filePath("settings"), QStringList{"--play"} + arguments, path);
    }
    QByteArray Section(const QString& emulator, const QByteArray& extra = {}) const {
        return "[S9x]\nEmuPath=" + QFile::encodeName(emulator) + "\n" + extra;
    }
    QStringList Left() const { return Names(dir_.filePath("emu")) + Names(dir_.filePath("roms")); }

    QTemporaryDir dir_;
    QString emulator_;
};

TEST_F(PlayStatusTest, TheEmulatorsStatusOr125WithTheMessageAndNothingLeftBehind) {
    const QString zip = dir_.filePath("roms/game.zip");
    const QStringList before = Left();
    const ProgramRun played = Play(Section(emulator_), {"SNES9x", zip, "Game One.smc"});
    ASSERT_TRUE(played.finished);
    EXPECT_EQ(played.exitCode, 7) << played.err.toStdString();
    EXPECT_EQ(Left(), before);

    struct Case {
        const char* what;
        QByteArray settings;
        QStringList arguments;
        const char* message;
    };
    WriteFile(dir_.filePath("emu/EMU.EXE"), QByteArray("MZ") + QByteArray(62, '\0'));
    WriteFile(dir_.filePath("emu/Long Name.bat"), "@echo off\r\n");
    const QStringList withDos = Left();
    const QByteArray dosbox = "[Common]\nDOSBox=" + QFile::encodeName(emulator_) + "\n";
    const Case cases[] = {
        {"no emulator set", "", {"SNES9x", zip, "Game One.smc"}, "No emulator program is set"},
        {"emulator gone",
         Section(dir_.filePath("emu/gone")),
         {"SNES9x", zip, "Game One.smc"},
         "No such file or directory"},
        {"member not there", Section(emulator_), {"SNES9x", zip, "Other.smc"}, "Other.smc"},
        {"ROM file gone",
         Section(emulator_),
         {"SNES9x", dir_.filePath("roms/gone.smc")},
         "ROM file not found"},
        {"DOSBox missing",
         "[Common]\nDOSBox=" + QFile::encodeName(dir_.filePath("nowhere/dosbox")) + "\n" +
             Section(dir_.filePath("emu/EMU.EXE")),
         {"SNES9x", zip, "Game One.smc"},
         "is a DOS program; Orvello starts DOS programs with DOSBox, which was not found."},
        {"DOS program started directly",
         Section(dir_.filePath("emu/EMU.EXE"), "Runner=1\n"),
         {"SNES9x", zip, "Game One.smc"},
         "Permission denied (a DOS program: choose \"Automatic\" under \"Run with:\")"},
        {"DOS program with a long name",
         dosbox + Section(dir_.filePath("emu/Long Name.bat")),
         {"SNES9x", zip, "Game One.smc"},
         "cannot be started under DOSBox"},
        {"game name that is not a DOS name",
         dosbox + "[MAME]\nEmuPath=" + QFile::encodeName(dir_.filePath("emu/EMU.EXE")) + "\n",
         {"MAME", dir_.filePath("roms/Big Game.zip")},
         "is not a DOS name"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = Play(c.settings, c.arguments);
        ASSERT_TRUE(run.finished) << c.what;
        EXPECT_EQ(run.exitCode, NotStartedStatus) << c.what << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message)))
            << c.what << ": " << run.err.toStdString();
        EXPECT_EQ(Left(), withDos) << c.what;
    }
}

// Wine through a stand-in "wine" found on the search path: it records its arguments, its
// working folder, and whether the ROM it was given on drive Z: is there while it runs.
TEST_F(PlayStatusTest, WineStandInGetsTheEmulatorSwitchesAndTheRomOnDriveZ) {
    QDir(dir_.path()).mkpath("bin");
    const QString log = dir_.filePath("wine.log");
    const QString wine = dir_.filePath("bin/wine");
    WriteFile(wine,
              "#!/bin/sh\n"
              "log='" +
                  QFile::encodeName(log) +
                  "'\n"
                  "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$log\"\n"
                  "printf 'cwd=%s\\n' \"$(pwd)\" >> \"$log\"\n"
                  "for a in \"$@\"; do :; done\n"
                  "rom=$(printf '%s' \"$a\" | sed 's/^Z://; s/\\\\/\\//g')\n"
                  "printf 'rom=%s\\n' \"$(cat \"$rom\")\" >> \"$log\"\n"
                  "exit 3\n");
    QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QByteArray pe = QByteArray("MZ") + QByteArray(0x3A, '\0') + QByteArray("\x40\0\0\0", 4) +
                    QByteArray("PE\0\0", 4) + QByteArray(60, '\0');
    const QString emulator = dir_.filePath("emu/Win Emu.exe");
    WriteFile(emulator, pe);
    const QStringList before = Left();

    const ProgramRun run =
        Play("[Common]\nWineOptions=--quiet\n" + Section(emulator),
             {"SNES9x", dir_.filePath("roms/game.zip"), "Game One.smc"}, dir_.filePath("bin"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 3) << run.err.toStdString();
    QString rom = "Z:" + dir_.filePath("emu/Game One.smc");
    rom.replace('/', '\\');
    const QStringList logged = FileLines(log);
    ASSERT_GE(logged.size(), 4) << run.err.toStdString();
    EXPECT_EQ(logged.front(), "--quiet");
    EXPECT_EQ(logged[1], emulator);
    EXPECT_EQ(logged[logged.size() - 3], rom);
    EXPECT_EQ(logged[logged.size() - 2], "cwd=" + dir_.filePath("emu"));
    EXPECT_EQ(logged.back(), "rom=rom");
    EXPECT_EQ(Left(), before);
}

// With the real Wine, a Windows console stand-in built by a cross compiler is started the same
// way; both are optional on a developer's machine.
TEST_F(PlayStatusTest, RealWineStartsAWindowsStandIn) {
    const QString wine = QStandardPaths::findExecutable("wine");
    if (wine.isEmpty()) GTEST_SKIP() << "Wine is not installed";
    const QString compiler = QStandardPaths::findExecutable("x86_64-w64-mingw32-gcc");
    if (compiler.isEmpty())
        GTEST_SKIP() << "no Windows cross compiler (x86_64-w64-mingw32-gcc) to build the stand-in";
    WriteFile(dir_.filePath("emu/standin.c"),
              "#include <stdio.h>\nint main(int c,char**v){FILE*f=fopen(\"ARGS.TXT\",\"w\");"
              "for(int i=1;i<c;i++)fprintf(f,\"%s\\n\",v[i]);fclose(f);return 5;}\n");
    QProcess cc;
    cc.start(compiler, {"-o", dir_.filePath("emu/standin.exe"), dir_.filePath("emu/standin.c")});
    ASSERT_TRUE(cc.waitForFinished(60000));
    ASSERT_EQ(cc.exitCode(), 0);
    QDir(dir_.path()).mkpath("wineprefix");
    qputenv("WINEPREFIX", QFile::encodeName(dir_.filePath("wineprefix")));
    const ProgramRun run = Play(Section(dir_.filePath("emu/standin.exe")),
                                {"SNES9x", dir_.filePath("roms/game.zip"), "Game One.smc"});
    qunsetenv("WINEPREFIX");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 5) << run.err.toStdString();
    QString rom = "Z:" + dir_.filePath("emu/Game One.smc");
    rom.replace('/', '\\');
    EXPECT_EQ(FileLines(dir_.filePath("emu/ARGS.TXT")).value(0).trimmed(), rom);
}

}  // namespace

namespace {

// --print-command names the same command the launch starts, runner and all, and the reason
// when it would refuse to start it.
TEST_F(PlayStatusTest, PrintCommandShowsTheRunnersCommandOrWhyItWouldNotStart) {
    const QString zip = dir_.filePath("roms/game.zip");
    WriteFile(dir_.filePath("emu/EMU.EXE"), QByteArray("MZ") + QByteArray(62, '\0'));
    const QByteArray dosbox = "[Common]\nDOSBox=" + QFile::encodeName(emulator_) + "\n";
    WriteFile(dir_.filePath("settings/Orvello/WINORVEL.INI"),
              dosbox + Section(dir_.filePath("emu/EMU.EXE")));
    const QStringList before = Left();
    const ProgramRun dos =
        RunProgram(dir_.filePath("settings"), {"--print-command", "SNES9x", zip, "Game One.smc"});
    EXPECT_EQ(dos.exitCode, 0) << dos.err.toStdString();
    EXPECT_EQ(dos.out.split('\n', Qt::SkipEmptyParts),
              (QStringList{emulator_, "-noconsole", "-exit", "-c",
                           "MOUNT C \"" + dir_.filePath("emu") + "\"", "-c", "C:", "-c",
                           "EMU.EXE  -j -ss 0 -O -SH -nogui -quiet GAMEON~1.SMC", "-c", "EXIT",
                           "cwd\t" + dir_.filePath("emu")}));
    EXPECT_EQ(Left(), before) << "printing extracts nothing";

    // A plain ROM with blanks under Wine: one argument on drive Z:.
    QDir(dir_.path()).mkpath("my roms");
    const QString rom = dir_.filePath("my roms/Super Game (E).smc");
    WriteFile(rom, "rom");
    WriteFile(dir_.filePath("settings/Orvello/WINORVEL.INI"),
              "[Common]\nWine=" + QFile::encodeName(emulator_) + "\n" +
                  Section(dir_.filePath("emu/EMU.EXE"), "Runner=3\n"));
    QString windowsRom = "Z:" + rom;
    windowsRom.replace('/', '\\');
    const ProgramRun wine = RunProgram(dir_.filePath("settings"), {"--print-command", "S9x", rom});
    EXPECT_EQ(wine.exitCode, 0) << wine.err.toStdString();
    EXPECT_EQ(wine.out.split('\n', Qt::SkipEmptyParts),
              (QStringList{emulator_, dir_.filePath("emu/EMU.EXE"), "-j", "-ss", "0", "-O", "-SH",
                           "-nogui", "-quiet", windowsRom, "cwd\t" + dir_.filePath("emu")}));

    // Refusals: exit status 1, the reason, nothing printed.
    WriteFile(dir_.filePath("settings/Orvello/WINORVEL.INI"),
              "[Common]\nDOSBox=" + QFile::encodeName(dir_.filePath("nowhere/dosbox")) + "\n" +
                  Section(dir_.filePath("emu/EMU.EXE")));
    const ProgramRun missing =
        RunProgram(dir_.filePath("settings"), {"--print-command", "S9x", rom});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_TRUE(missing.err.contains("\"" + dir_.filePath("emu/EMU.EXE") +
                                     "\" is a DOS program; Orvello starts DOS programs with "
                                     "DOSBox, which was not found. Install the dosbox package or "
                                     "set its path in File > Runners."))
        << missing.err.toStdString();
}

// The main window's "Command:" line follows "Find emu", the runner choice and the ROM at once,
// and the option dialogs say why DOSBox could not see a path value.
class RunnerPreviewTest : public EndToEndTest {
  protected:
    void SetUp() override {
        EndToEndTest::SetUp();
        QDir().mkpath(dir_.filePath("bin"));
        for (const char* name : {"bin/dosbox", "bin/wine"}) {
            WriteFile(dir_.filePath(name), "#!/bin/sh\n");
            QFile::setPermissions(dir_.filePath(name),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }
};

TEST_F(RunnerPreviewTest, MainWindowLineFollowsFindEmuTheRunnerAndTheRom) {
    const QString rom = Games("snes9x") + "/Super Game (E).smc";
    WriteFile(rom, "plain rom");
    Open(SlotSNES9x, false);
    State().Runners.dosbox = dir_.filePath("bin/dosbox");
    State().Runners.wine = dir_.filePath("bin/wine");
    const QString exe = EmuDir("snes9x") + "/EMU.EXE";
    WriteFile(exe, QByteArray("MZ") + QByteArray(62, '\0'));
    const QString switches = " -j -ss 0 -O -SH -nogui -quiet";

    host_.openAnswer = exe;
    QTest::mouseClick(Main()->FindEmuBt, Qt::LeftButton);
    const QString mount = "-c 'MOUNT C \"" + EmuDir("snes9x") + "\"' -c C: -c ";
    EXPECT_EQ(Main()->CommandLine->text(), dir_.filePath("bin/dosbox") + " -noconsole -exit " +
                                               mount + "'EMU.EXE " + switches + " <ROM>' -c EXIT");
    EXPECT_TRUE(Main()->EmuPath->toolTip().contains("DOS program: started with DOSBox"))
        << Main()->EmuPath->toolTip().toStdString();

    NextFileType();
    ClickFile("Super Game (E).smc");
    Ticks();
    EXPECT_EQ(Main()->CommandLine->text(), dir_.filePath("bin/dosbox") + " -noconsole -exit " +
                                               mount + "'EMU.EXE " + switches +
                                               " SUPERG~1.SMC' -c EXIT");
    EXPECT_EQ(Main()->CommandLine->toolTip(), "Working folder: " + EmuDir("snes9x"));

    Main()->RunWith->setCurrentIndex(3);
    emit Main()->RunWith->activated(3);
    QString windowsRom = "Z:" + rom;
    windowsRom.replace('/', '\\');
    EXPECT_EQ(Main()->CommandLine->text(),
              dir_.filePath("bin/wine") + " " + exe + switches + " '" + windowsRom + "'");
    Main()->RunWith->setCurrentIndex(1);
    emit Main()->RunWith->activated(1);
    EXPECT_EQ(Main()->CommandLine->text(), exe + switches + " '" + rom + "'");
    EXPECT_EQ(State().RunWith[SlotSNES9x], RunnerChoice::Directly);
}

}  // namespace

namespace {

// File > Runners: "Find" picks each program, OK writes the four keys at once, Cancel nothing.
TEST_F(RunnerPreviewTest, RunnersDialogFindsTheProgramsAndWritesThemAtOnce) {
    Open(SlotSNES9x, false);
    const QString ini = dir_.filePath("settings/WINORVEL.INI");
    const auto fill = WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<RunnersDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        for (QWidget* control : dialog->findChildren<QWidget*>()) {
            if (control->focusPolicy() == Qt::NoFocus || !control->isVisible()) continue;
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->metaObject()->className();
        }
        EXPECT_EQ(dialog->DOSBoxPath->text(), "dosbox");
        EXPECT_EQ(dialog->WinePath->text(), "wine");
        host_.openAnswer = dir_.filePath("bin/dosbox");
        QTest::mouseClick(dialog->FindDOSBoxBt, Qt::LeftButton);
        EXPECT_EQ(dialog->DOSBoxPath->text(), dir_.filePath("bin/dosbox"));
        dialog->DOSBoxOptions->setText("-conf fast.conf");
        QTest::mouseClick(dialog->OKBtn, Qt::LeftButton);
    });
    Main()->FileRunners->trigger();
    EXPECT_EQ(State().Runners.dosbox, dir_.filePath("bin/dosbox"));
    EXPECT_EQ(State().Runners.dosboxOptions, "-conf fast.conf");
    const QStringList lines = FileLines(ini);
    EXPECT_TRUE(lines.contains("DOSBox=" + dir_.filePath("bin/dosbox")))
        << lines.join('|').toStdString();
    EXPECT_TRUE(lines.contains("DOSBoxOptions=-conf fast.conf"));
    EXPECT_TRUE(lines.contains("Wine=wine"));

    const auto cancel = WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<RunnersDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->WinePath->setText("/opt/wine/bin/wine");
        QTest::mouseClick(dialog->CancelBtn, Qt::LeftButton);
    });
    Main()->FileRunners->trigger();
    EXPECT_EQ(State().Runners.wine, "wine");
    EXPECT_TRUE(FileLines(ini).contains("Wine=wine"));
}

}  // namespace
