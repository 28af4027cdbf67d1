// DOS and Windows emulators: the kind of a program read from its first bytes, the DOS names the
// launch makes, and the command each runner gets (arguments, working folder, refusals) for
// both launch forms, plain ROMs and members, path values inside and outside the emulator's
// folder and the DOS command line's limit.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/core/DosNames.h"
#include "app/core/LaunchCommand.h"
#include "app/core/Runners.h"
#include "platform/pe/ProgramKind.h"

using namespace orvello;
using platform::ProgramKind;
using platform::ProgramKindOf;
namespace fs = std::filesystem;
using Args = std::vector<std::string>;

namespace {

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void MakeExecutable(const fs::path& path) {
    fs::permissions(path, fs::perms::owner_all);
}

// An MZ header of 64 bytes whose offset at 0x3C points at newHeaderAt, padded to size with
// what lies at that offset written there.
std::string Mz(std::uint32_t newHeaderAt, const std::string& atOffset, std::size_t size) {
    std::string bytes(std::max<std::size_t>(size, 64), '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    for (int i = 0; i < 4; ++i)
        bytes[0x3C + i] = static_cast<char>((newHeaderAt >> (8 * i)) & 0xFF);
    if (newHeaderAt + atOffset.size() <= bytes.size())
        bytes.replace(newHeaderAt, atOffset.size(), atOffset);
    return bytes;
}

class ProgramKindTest : public ::testing::Test {
  protected:
    ProgramKind KindOf(const std::string& name, const std::string& bytes) {
        const fs::path path = fs::path(dir_.path().toStdString()) / name;
        WriteBytes(path, bytes);
        return ProgramKindOf(path.string());
    }
    QTemporaryDir dir_;
};

TEST_F(ProgramKindTest, LinuxProgramsAreElfFilesAndScripts) {
    EXPECT_EQ(KindOf("emu", std::string("\x7f"
                                        "ELF\x02\x01\x01",
                                        7) +
                                std::string(57, '\0')),
              ProgramKind::Linux);
    EXPECT_EQ(KindOf("emu.sh", "#!/bin/sh\necho\n"), ProgramKind::Linux);
    // A script keeps its kind whatever its name says.
    EXPECT_EQ(KindOf("EMU.BAT", "#!/bin/sh\n"), ProgramKind::Linux);
}

TEST_F(ProgramKindTest, NewHeaderDecidesBetweenWindowsAndDos) {
    EXPECT_EQ(KindOf("pe.exe", Mz(0x80, std::string("PE\0\0", 4), 512)), ProgramKind::Windows);
    EXPECT_EQ(KindOf("ne.exe", Mz(0x80, "NE", 512)), ProgramKind::Windows);
    // DOS-extender programs are DOS's.
    EXPECT_EQ(KindOf("le.exe", Mz(0x80, "LE", 512)), ProgramKind::Dos);
    EXPECT_EQ(KindOf("lx.exe", Mz(0x80, "LX", 512)), ProgramKind::Dos);
    // A plain DOS program: nothing at the offset, or an offset into its own header.
    EXPECT_EQ(KindOf("plain.exe", Mz(0, "", 512)), ProgramKind::Dos);
    EXPECT_EQ(KindOf("reloc.exe", Mz(0x10, "", 512)), ProgramKind::Dos);
    // The rare "ZM" signature is an MZ header too.
    std::string zm = Mz(0x80, std::string("PE\0\0", 4), 512);
    zm[0] = 'Z';
    zm[1] = 'M';
    EXPECT_EQ(KindOf("zm.exe", zm), ProgramKind::Windows);
    // A new header far beyond the first bytes read is still found.
    EXPECT_EQ(KindOf("far.exe", Mz(70000, std::string("PE\0\0", 4), 70100)), ProgramKind::Windows);
}

TEST_F(ProgramKindTest, ComAndBatFilesAreDosWhateverTheyHold) {
    EXPECT_EQ(KindOf("GAME.COM", "\xb4\x4c\xcd\x21"), ProgramKind::Dos);
    EXPECT_EQ(KindOf("run.bat", "@echo off\r\nemu %1\r\n"), ProgramKind::Dos);
    EXPECT_EQ(KindOf("empty.com", ""), ProgramKind::Dos);
    EXPECT_EQ(KindOf("notes.txt", "@echo off\r\n"), ProgramKind::Unknown);
}

TEST_F(ProgramKindTest, DamagedShortAndLyingHeadersGiveUnknownOrDosWithoutCrashing) {
    EXPECT_EQ(KindOf("empty", ""), ProgramKind::Unknown);
    EXPECT_EQ(KindOf("m", "M"), ProgramKind::Unknown);
    EXPECT_EQ(KindOf("short.exe", "MZ\x90\x00"), ProgramKind::Unknown);
    EXPECT_EQ(KindOf("elf",
                     "\x7f"
                     "EL"),
              ProgramKind::Unknown);
    // An MZ header cut before its offset field: no new header can be read; a DOS program.
    EXPECT_EQ(KindOf("cut.exe", Mz(0, "", 64).substr(0, 40)), ProgramKind::Dos);
    // Offsets that point past the end, at the last byte, or at 4 GB.
    EXPECT_EQ(KindOf("past.exe", Mz(0x1000, "", 256)), ProgramKind::Dos);
    std::string last = Mz(255, "", 256);
    last[255] = 'P';
    EXPECT_EQ(KindOf("last.exe", last), ProgramKind::Dos);
    EXPECT_EQ(KindOf("huge.exe", Mz(0xFFFFFFFFu, "", 256)), ProgramKind::Dos);
    // "PE" without its two zero bytes is no PE header.
    EXPECT_EQ(KindOf("pe2.exe", Mz(0x80, "PEXX", 512)), ProgramKind::Dos);
    EXPECT_EQ(ProgramKindOf(dir_.path().toStdString() + "/missing.exe"), ProgramKind::Unknown);
    EXPECT_EQ(ProgramKindOf(dir_.path().toStdString()), ProgramKind::Unknown);  // a folder
}

TEST(Runners, AutomaticFollowsTheKindAndStoredChoicesOutOfRangeReadAsAutomatic) {
    EXPECT_EQ(RunnerFor(RunnerChoice::Automatic, ProgramKind::Dos), Runner::DOSBox);
    EXPECT_EQ(RunnerFor(RunnerChoice::Automatic, ProgramKind::Windows), Runner::Wine);
    EXPECT_EQ(RunnerFor(RunnerChoice::Automatic, ProgramKind::Linux), Runner::Direct);
    EXPECT_EQ(RunnerFor(RunnerChoice::Automatic, ProgramKind::Unknown), Runner::Direct);
    EXPECT_EQ(RunnerFor(RunnerChoice::Directly, ProgramKind::Dos), Runner::Direct);
    EXPECT_EQ(RunnerFor(RunnerChoice::Wine, ProgramKind::Dos), Runner::Wine);
    EXPECT_EQ(RunnerFor(RunnerChoice::DOSBox, ProgramKind::Linux), Runner::DOSBox);
    EXPECT_EQ(RunnerChoiceOf(2), RunnerChoice::DOSBox);
    EXPECT_EQ(RunnerChoiceOf(3), RunnerChoice::Wine);
    for (int bad : {-1, 4, 99})
        EXPECT_EQ(RunnerChoiceOf(bad), RunnerChoice::Automatic) << bad;
}

TEST(DosNames, ValidNamesAreEightDotThreeFromTheCharactersDosAllows) {
    for (const char* good : {"GAME.SMC", "pacman", "A~1.B", "12345678.123", "x", "A-B_C.$$$"})
        EXPECT_TRUE(IsDosName(good)) << good;
    for (const char* bad : {"", ".", "..", ".smc", "game.", "123456789", "game.smcx", "a.b.c",
                            "Super Game.smc", "a+b.smc", "a;b", "caf\u00e9.smc", "a[1].smc"})
        EXPECT_FALSE(IsDosName(QString::fromUtf8(bad))) << bad;
}

TEST(DosNames, MadeNamesAreCapitalsNumberedToStayUniqueInTheFolder) {
    EXPECT_EQ(MakeDosName("game.smc", {}), "GAME.SMC");
    EXPECT_EQ(MakeDosName("Super Game (E).smc", {}), "SUPERG~1.SMC");
    EXPECT_EQ(MakeDosName("a.sfcx", {}), "A~1.SFC");
    EXPECT_EQ(MakeDosName(QString::fromUtf8("\u00dcber Spiel.gb"), {}), "BERSPI~1.GB");
    EXPECT_EQ(MakeDosName(QString::fromUtf8("\u30b2\u30fc\u30e0.nes"), {}), "ROM~1.NES");
    EXPECT_EQ(MakeDosName("no extension at all", {}), "NOEXTE~1");
    // A name of the folder in any case is taken, and so are the first numbers of the pattern,
    // which DOSBox gives to the folder's own long names.
    EXPECT_EQ(MakeDosName("Super Game (E).smc", {"superg~1.smc"}), "SUPERG~2.SMC");
    EXPECT_EQ(MakeDosName("Super Game (E).smc", {"Super Game (U).smc", "EMU.EXE"}), "SUPERG~2.SMC");
    QStringList many;
    for (int n = 1; n <= 9; ++n)
        many.push_back(QStringLiteral("SUPERG~%1.SMC").arg(n));
    EXPECT_EQ(MakeDosName("Super Game.smc", many), "SUPER~10.SMC");
    EXPECT_EQ(DosMatch("game.smc", {"EMU.EXE", "Game.SMC"}), std::optional<QString>("Game.SMC"));
    EXPECT_FALSE(DosMatch("game.smc", {"game.sm"}).has_value());
}

// Commands assembled for stand-in runner programs in a folder the test owns.
class RunnerCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = dir_.path();
        QDir(root_).mkpath("emu dir/SAVES");
        QDir(root_).mkpath("bin");
        QDir(root_).mkpath("roms");
        for (const char* runner : {"bin/dosbox", "bin/wine"}) {
            WriteBytes(Path(runner), "#!/bin/sh\n");
            MakeExecutable(Path(runner));
        }
        WriteBytes(Path("emu dir/EMU.EXE"), Mz(0, "", 128));
        WriteBytes(Path("emu dir/RUN.BAT"), "@emu %1\r\n");
        WriteBytes(Path("emu dir/win.exe"), Mz(0x80, std::string("PE\0\0", 4), 512));
        request_.runners.dosbox = Q("bin/dosbox");
        request_.runners.wine = Q("bin/wine");
    }
    fs::path Path(const std::string& relative) const {
        return fs::path(root_.toStdString()) / relative;
    }
    QString Q(const std::string& relative) const {
        return QString::fromStdString(Path(relative).string());
    }
    std::string S(const std::string& relative) const { return Path(relative).string(); }
    EmulatorCommand Assemble(const QString& emulator, const std::optional<std::string>& target) {
        request_.emulatorPath = emulator;
        request_.target = target;
        return AssembleCommand(request_);
    }

    QTemporaryDir dir_;
    QString root_;
    CommandRequest request_;
};

TEST_F(RunnerCommandTest, DosBoxMountsTheEmulatorsFolderAndRunsTheProgramUnderDosNames) {
    request_.switches = " -y  -r 5";
    // A member with blanks and a non-ASCII letter is staged under a DOS name.
    const EmulatorCommand member = Assemble(Q("emu dir/EMU.EXE"), "Sp\xc3\xa4ter Spiel.smc");
    EXPECT_EQ(member.refusal, "");
    EXPECT_EQ(member.runner, Runner::DOSBox);
    EXPECT_EQ(member.kind, ProgramKind::Dos);
    EXPECT_EQ(member.stageAs, "SPTERS~1.SMC");
    EXPECT_EQ(member.arguments, (Args{S("bin/dosbox"), "-noconsole", "-exit", "-c",
                                      "MOUNT C \"" + S("emu dir") + "\"", "-c", "C:", "-c",
                                      "EMU.EXE  -y  -r 5 SPTERS~1.SMC", "-c", "EXIT"}));
    EXPECT_EQ(member.workingFolder, S("emu dir"));
    EXPECT_EQ(member.arguments[member.targetIndex], "EMU.EXE  -y  -r 5 SPTERS~1.SMC");

    // A plain ROM elsewhere is linked in under a DOS name; one inside the folder under a DOS
    // name is used where it lies.
    const EmulatorCommand outside = Assemble(Q("emu dir/EMU.EXE"), S("roms/Game One.smc"));
    EXPECT_EQ(outside.stageAs, "GAMEON~1.SMC");
    WriteBytes(Path("emu dir/SAVES/GAME.SMC"), "rom");
    const EmulatorCommand inside = Assemble(Q("emu dir/EMU.EXE"), S("emu dir/SAVES/GAME.SMC"));
    EXPECT_EQ(inside.stageAs, "");
    EXPECT_EQ(inside.dosCommand, "EMU.EXE  -y  -r 5 C:\\SAVES\\GAME.SMC");

    // DOSBox's own options come first; a batch file is CALLed so that EXIT is reached.
    request_.runners.dosboxOptions = "-conf  my.conf";
    const EmulatorCommand batch = Assemble(Q("emu dir/RUN.BAT"), "GAME.SMC");
    EXPECT_EQ(batch.arguments, (Args{S("bin/dosbox"), "-conf", "my.conf", "-noconsole", "-exit",
                                     "-c", "MOUNT C \"" + S("emu dir") + "\"", "-c", "C:", "-c",
                                     "CALL RUN.BAT  -y  -r 5 GAME.SMC", "-c", "EXIT"}));
}

TEST_F(RunnerCommandTest, DosBoxGameNameFormNeedsADosGameName) {
    request_.form = LaunchForm::GameName;
    request_.switches = " -noaa";
    const EmulatorCommand game = Assemble(Q("emu dir/EMU.EXE"), "pacman");
    EXPECT_EQ(game.refusal, "");
    EXPECT_EQ(game.dosCommand, "EMU.EXE pacman  -noaa");
    EXPECT_EQ(game.stageAs, "");
    const EmulatorCommand longName = Assemble(Q("emu dir/EMU.EXE"), "pac man deluxe");
    EXPECT_TRUE(longName.refusal.contains("\"pac man deluxe\" is not a DOS name"))
        << longName.refusal.toStdString();
}

TEST_F(RunnerCommandTest, DosBoxPathValuesInsideAreDrivePathsAndOutsideAreRefused) {
    const QString inside = Q("emu dir/SAVES");
    request_.switches = " -savedir " + inside + " -y";
    request_.switchPaths = {{10, inside.size()}};
    const EmulatorCommand ok = Assemble(Q("emu dir/EMU.EXE"), "GAME.SMC");
    EXPECT_EQ(ok.refusal, "");
    EXPECT_EQ(ok.dosCommand, "EMU.EXE  -savedir C:\\SAVES -y GAME.SMC");

    const QString outside = Q("roms");
    request_.switches = " -savedir " + outside;
    request_.switchPaths = {{10, outside.size()}};
    const EmulatorCommand refused = Assemble(Q("emu dir/EMU.EXE"), "GAME.SMC");
    EXPECT_TRUE(refused.refusal.contains("lies outside the emulator's folder"))
        << refused.refusal.toStdString();

    QDir(root_).mkpath("emu dir/Long Saves");
    const QString longName = Q("emu dir/Long Saves");
    request_.switches = " -savedir " + longName;
    request_.switchPaths = {{10, longName.size()}};
    EXPECT_TRUE(Assemble(Q("emu dir/EMU.EXE"), "GAME.SMC").refusal.contains("Long Saves"));
}

TEST_F(RunnerCommandTest, DosBoxRefusesProgramsWithLongNamesAndLinesOverTheLimit) {
    WriteBytes(Path("emu dir/Long Emulator.exe"), Mz(0, "", 128));
    EXPECT_TRUE(Assemble(Q("emu dir/Long Emulator.exe"), "GAME.SMC")
                    .refusal.contains("cannot be started under DOSBox"));

    // "EMU.EXE" then the tail: a blank, the switches, a blank and "GAME.SMC" (8).
    const auto tailOf = [](qsizetype switchLength) { return switchLength + 10; };
    const qsizetype fits = 126 - tailOf(0);
    request_.switches = QString(fits, QLatin1Char('x'));
    EXPECT_EQ(Assemble(Q("emu dir/EMU.EXE"), "GAME.SMC").refusal, "");
    request_.switches = QString(fits + 1, QLatin1Char('x'));
    const EmulatorCommand tooLong = Assemble(Q("emu dir/EMU.EXE"), "GAME.SMC");
    EXPECT_TRUE(tooLong.refusal.contains("127 characters long")) << tooLong.refusal.toStdString();
}

TEST_F(RunnerCommandTest, WineGetsTheEmulatorTheSwitchesAndTheRomOnDriveZ) {
    request_.switches = " -y";
    request_.runners.wineOptions = "--debug";
    const EmulatorCommand member = Assemble(Q("emu dir/win.exe"), "Sp\xc3\xa4t Game.smc");
    EXPECT_EQ(member.runner, Runner::Wine);
    EXPECT_EQ(member.kind, ProgramKind::Windows);
    std::string rom = "Z:" + S("emu dir/Sp\xc3\xa4t Game.smc");
    std::replace(rom.begin(), rom.end(), '/', '\\');
    EXPECT_EQ(member.arguments, (Args{S("bin/wine"), "--debug", S("emu dir/win.exe"), "-y", rom}));
    EXPECT_EQ(member.workingFolder, S("emu dir"));
    EXPECT_EQ(member.arguments[member.targetIndex], rom);

    // Path values of the switches become Windows paths and stay one argument.
    const QString saves = Q("my saves");
    request_.switches = " -s " + saves;
    request_.switchPaths = {{4, saves.size()}};
    std::string windowsSaves = "Z:" + S("my saves");
    std::replace(windowsSaves.begin(), windowsSaves.end(), '/', '\\');
    const EmulatorCommand withPath = Assemble(Q("emu dir/win.exe"), S("roms/a.smc"));
    EXPECT_EQ(withPath.arguments[3], "-s");
    EXPECT_EQ(withPath.arguments[4], windowsSaves);

    request_.form = LaunchForm::GameName;
    request_.switches = " -noaa";
    request_.switchPaths.clear();
    EXPECT_EQ(Assemble(Q("emu dir/win.exe"), "pac man").arguments,
              (Args{S("bin/wine"), "--debug", S("emu dir/win.exe"), "pac man", "-noaa"}));
}

TEST_F(RunnerCommandTest, AMissingRunnerIsRefusedNamingTheEmulatorItsKindAndWhatToDo) {
    request_.runners.dosbox = Q("bin/no-dosbox");
    const EmulatorCommand dos = Assemble(Q("emu dir/EMU.EXE"), "GAME.SMC");
    EXPECT_TRUE(
        dos.refusal.contains("is a DOS program; Orvello starts DOS programs with DOSBox, "
                             "which was not found. Install the dosbox package or set its "
                             "path in File > Runners."))
        << dos.refusal.toStdString();
    EXPECT_TRUE(dos.refusal.contains(Q("emu dir/EMU.EXE")));
    request_.runners.wine = "no-such-wine-program";
    const EmulatorCommand win = Assemble(Q("emu dir/win.exe"), "GAME.SMC");
    EXPECT_TRUE(win.refusal.contains("Windows program")) << win.refusal.toStdString();
    EXPECT_TRUE(win.refusal.contains("Wine")) << win.refusal.toStdString();
    // "Directly" needs no runner.
    request_.runner = RunnerChoice::Directly;
    const EmulatorCommand direct = Assemble(Q("emu dir/win.exe"), "GAME.SMC");
    EXPECT_EQ(direct.refusal, "");
    EXPECT_EQ(direct.arguments, (Args{S("emu dir/win.exe"), "GAME.SMC"}));
}

}  // namespace
