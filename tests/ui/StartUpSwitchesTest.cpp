// The switch strings the program starts with, read from many settings texts, as the real
// program prints them with --print-command: one row per settings text and tab. A row gives
// the settings file (nullptr: there is none), the tab as the user names it, and the arguments
// "Play" would start. Rows for more tabs are added to the table as their dialogs are made.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "EndToEndSupport.h"
#include "UiTestSupport.h"

using namespace orvello::test;

namespace {

const QString Program = QStringLiteral(ORVELLO_BUILD_DIR "/orvello");

struct Printed {
    int exitCode = -1;
    QStringList out;
    QString err;
};

// Runs the program with its settings folder inside home.
Printed RunProgram(const QString& home, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", home);
    env.remove("QT_QPA_PLATFORM");  // the option needs no display of its own
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    process.setProcessEnvironment(env);
    process.start(Program, arguments);
    Printed printed;
    if (!process.waitForFinished(30000)) return printed;
    printed.exitCode = process.exitCode();
    printed.out = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
    if (!printed.out.isEmpty() && printed.out.back().isEmpty()) printed.out.removeLast();
    printed.err = QString::fromUtf8(process.readAllStandardError());
    return printed;
}

struct Row {
    const char* name;  // names the test
    const char* ini;   // nullptr: no settings file
    const char* tab;
    QStringList arguments;  // then the line "cwd<TAB>folder"
    const char* cwd;
};

// The ROM every file-form row plays and the archive every game-name row plays.
const QString Rom = QStringLiteral("/roms/Super Game (E).smc");
const QString Game = QStringLiteral("/roms/pacman.zip");

// Every emulator section with its path only.
const char* const AllPaths =
    "[KGen]\nEmuPath=/emu/kgen/kgen\n"
    "[ZSNES]\nEmuPath=/emu/zsnes/zsnes\n"
    "[S9x]\nEmuPath=/emu/s9x/snes9x\n"
    "[NLKSNES]\nEmuPath=/emu/nlk/nlksnes\n"
    "[Callus]\nEmuPath=/emu/callus/callus\n"
    "[MAME]\nEmuPath=/emu/mame/mame\n"
    "[MagicEngine]\nEmuPath=/emu/pce/pce\n"
    "[GenEm]\nEmuPath=/emu/genem/genem\n"
    "[GeneCyst]\nEmuPath=/emu/gcyst/gcyst\n"
    "[VirtualGB]\nEmuPath=/emu/vgb/vgb\n"
    "[NESticle]\nEmuPath=/emu/nes/nesticle\n"
    "[Massage]\nEmuPath=/emu/massage/massage\n";

QStringList Words(const char* text) {
    return QString::fromUtf8(text).split(' ', Qt::SkipEmptyParts);
}
// A file-form command: the emulator, the switch words, the ROM.
QStringList File(const char* emulator, const char* switches) {
    return QStringList{emulator} + Words(switches) + QStringList{Rom};
}
// A game-name command: the emulator, the game, the switch words.
QStringList GameArgs(const char* emulator, const char* switches) {
    return QStringList{emulator, "pacman"} + Words(switches);
}

const Row Rows[] = {
    // No settings file: every dialog's read defaults; no emulator is set.
    {"MissingFileKGen", nullptr, "KGen", File("<emulator>", ""), ""},
    {"MissingFileZsnes", nullptr, "ZSNES", File("<emulator>", "-1 1 -2 1 -v 0 -f 0 -e"), ""},
    {"MissingFileS9x", nullptr, "SNES9x", File("<emulator>", "-j -ss 0 -O -SH -nogui -quiet"), ""},
    {"MissingFileNlksnes", nullptr, "NLKSNES", File("<emulator>", "-nirq"), ""},
    {"MissingFileCallus", nullptr, "Callus",
     GameArgs("<emulator>", "-linear -res 320 224 -frameskip AUTO"), ""},
    {"MissingFileMame", nullptr, "M.A.M.E.", GameArgs("<emulator>", "-soundcard 0 -noaa"), ""},

    // Sections holding only the paths.
    {"EmptySectionsKGen", AllPaths, "KGen", File("/emu/kgen/kgen", ""), "/emu/kgen"},
    {"EmptySectionsZsnes", AllPaths, "ZSNES", File("/emu/zsnes/zsnes", "-1 1 -2 1 -v 0 -f 0 -e"),
     "/emu/zsnes"},
    {"EmptySectionsS9x", AllPaths, "S9x", File("/emu/s9x/snes9x", "-j -ss 0 -O -SH -nogui -quiet"),
     "/emu/s9x"},
    {"EmptySectionsNlksnes", AllPaths, "nlksnes", File("/emu/nlk/nlksnes", "-nirq"), "/emu/nlk"},
    {"EmptySectionsCallus", AllPaths, "CALLUS",
     GameArgs("/emu/callus/callus", "-linear -res 320 224 -frameskip AUTO"), "/emu/callus"},
    {"EmptySectionsMame", AllPaths, "MAME", GameArgs("/emu/mame/mame", "-soundcard 0 -noaa"),
     "/emu/mame"},

    // Every key away from its default.
    {"EveryKeyKGen", "[KGen]\nEmuPath=/emu/kgen/kgen\nRom switch=2\nSound=1\nFrames=4\n", "KGen",
     File("/emu/kgen/kgen", "-J -S -F4"), "/emu/kgen"},
    {"EveryKeyZsnes",
     "[ZSNES]\nEmuPath=/emu/zsnes/zsnes\nSound=1\nPlayback=0\nStereo=1\n8 bit=0\nFitToScreen=1\n"
     "Frames=3\nResolution=1\nP1=2\nP2=6\nForce HiROM=1\nForce LowROM=1\nAutoFrame=0\nGUI=1\n"
     "Scanlines=1\nInterpolation=1\nVSync=1\n",
     "ZSNES", File("/emu/zsnes/zsnes", "-1 2 -2 6 -s -z -r 1 -h -l -v 1 -f 3 -c -n -m -w -e"),
     "/emu/zsnes"},
    {"EveryKeyS9x",
     "[S9x]\nEmuPath=/emu/s9x/snes9x\nSound=1\nPlayback=2\nStereo=1\nFitToScreen=1\nFrames=7\n"
     "Resolution=8\nSkipMethod=2\nJoy=1\nOld joy type=1\nTile based=0\nInterleaved=1\n"
     "Force HiMem=1\nForce LowMem=1\nAutoFrame=0\nLayering=1\nHDMA=1\nSpeed hacks=0\nGUI=0\n",
     "SNES9x",
     File("/emu/s9x/snes9x", "-r 44100 -stereo -o -frames 7 -m 8 -ss 2 -i -F -FL -H -N -L"),
     "/emu/s9x"},
    {"EveryKeyNlksnes",
     "[NLKSNES]\nEmuPath=/emu/nlk/nlksnes\nJoy=1\nSound=1\nFrames=10\nDelay=4\nCycles=50\nIRQs=0\n",
     "NLKSNES", File("/emu/nlk/nlksnes", "-joy - ss 1 -frames 10 -h 50 -delay 4"), "/emu/nlk"},
    {"EveryKeyCallus",
     "[Callus]\nEmuPath=/emu/callus/callus\nWaitVSync=1\nSave dir=/saves\nPCX dir=\n"
     "Disable VESA=1\nVESA mode=1\nScreen res=12\nExclusive=1\nFPU Copy=1\nMMX Copy=1\n"
     "Auto frame=0\n",
     "Callus",
     GameArgs("/emu/callus/callus",
              "-waitvsync -mmx -fpucopy -novesa -res 800 600 -exclusive -frameskip 1 -savedir "
              "/saves -pcxdir"),
     "/emu/callus"},
    {"EveryKeyMame",
     "[MAME]\nEmuPath=/emu/mame/mame\nScanlines=1\nControl=6\nDisable FM=1\nSoundCard=7\n"
     "Frames=3\nVesa Mode=4\nScreen res=6\nDir4 alg=1\nAnti aliasing=1\nEnable cheat=1\n"
     "Pixel double=1\nVSync=1\n",
     "M.A.M.E.",
     GameArgs("/emu/mame/mame",
              "-noscanlines -vsync -joy 6 -fm -soundcard 7 -nodouble -vesa2l -1600 -frameskip 3 "
              "-dir4 -cheat -aa"),
     "/emu/mame"},

    // Values out of range or not numbers: lists select nothing, fields read their default.
    {"OutOfRangeKGen", "[KGen]\nRom switch=3\nFrames=abc\nSound=yes\n", "KGen",
     File("<emulator>", ""), ""},
    {"OutOfRangeZsnes", "[ZSNES]\nP1=7\nP2=-1\nSound=1\nPlayback=3\nResolution=8\nFrames=x\n",
     "ZSNES", File("<emulator>", "-1 -1 -2 -1 -s -r 0 -v -1 -f 0 -e"), ""},
    {"OutOfRangeS9x",
     "[S9x]\nJoy=4\nOld joy type=1\nPlayback=9\nResolution=-3\nSkipMethod=4\n"
     "Frames=0\n",
     "SNES9x", File("<emulator>", "-o -m -1 -ss -1 -O -SH -nogui -quiet"), ""},
    {"OutOfRangeNlksnes", "[NLKSNES]\nSound=2\nFrames=99\nDelay=abc\nCycles=10\nIRQs=0\n",
     "NLKSNES", File("<emulator>", "-frames 99 -h 10"), ""},
    {"OutOfRangeCallus", "[Callus]\nVESA mode=5\nScreen res=13\nAuto frame=0\n", "Callus",
     GameArgs("<emulator>", "-banked -frameskip 1"), ""},
    {"BelowRangeCallus", "[Callus]\nVESA mode=-1\nScreen res=-1\n", "Callus",
     GameArgs("<emulator>", "-frameskip AUTO"), ""},
    {"OutOfRangeMame", "[MAME]\nControl=7\nSoundCard=8\nVesa Mode=5\nScreen res=7\nFrames=9\n",
     "MAME", GameArgs("<emulator>", "-joy -1 -soundcard -1 -frameskip 9 -noaa"), ""},

    // Hexadecimal values.
    {"HexKGen", "[KGen]\nRom switch=0x1\nFrames=0X3\n", "KGen", File("<emulator>", "-E -F3"), ""},
    {"HexS9x", "[S9x]\nFrames=0xA\nResolution=0x0\nSound=0x0\n", "SNES9x",
     File("<emulator>", "-NS -j -frames 10 -m 0 -ss 0 -O -SH -nogui -quiet"), ""},
    {"HexMame", "[MAME]\nSoundCard=0x5\nVesa Mode=0x1\n", "MAME",
     GameArgs("<emulator>", "-soundcard 5 -vesa -320 -noaa"), ""},
    {"HexTooShortIsDecimal", "[NLKSNES]\nFrames=0x\n", "NLKSNES", File("<emulator>", "-nirq"), ""},

    // Section and key names in any case.
    {"MixedCaseZsnes", "[zsnes]\nemupath=/emu/zsnes/zsnes\nSOUND=1\nplayback=2\nAUTOFRAME=1\n",
     "zsnes", File("/emu/zsnes/zsnes", "-1 1 -2 1 -s -r 3 -v 0 -a -e"), "/emu/zsnes"},
    {"MixedCaseCallus", "[callus]\nEMUPATH=/emu/callus/callus\nauto FRAME=0\nsave DIR=Default\n",
     "callus", GameArgs("/emu/callus/callus", "-linear -res 320 224 -frameskip 1"), "/emu/callus"},
    {"MixedCaseMame", "[Mame]\nvesa mode=2\nANTI ALIASING=1\n", "m.a.m.e.",
     GameArgs("<emulator>", "-soundcard 0 -vesa1 -320 -aa"), ""},

    // A second section of the same name is never read: the first one counts.
    {"DuplicateSectionsS9x", "[S9x]\nJoy=2\n[Common]\nX=1\n[s9x]\nJoy=3\nSound=0\n", "SNES9x",
     File("<emulator>", "-4 -ss 0 -O -SH -nogui -quiet"), ""},
    {"DuplicateSectionsKGen", "[KGen]\n[KGEN]\nSound=1\n", "KGen", File("<emulator>", ""), ""},
    {"DuplicateKeysNlksnes", "[NLKSNES]\nFrames=2\nFrames=5\n", "NLKSNES",
     File("<emulator>", "-frames 2 -nirq"), ""},

    // Comments and unknown keys are passed over.
    {"CommentsMame", "; settings\n[MAME]\n;Control=3\nUnknown=7\nControl=1\n; Frames=2\n", "MAME",
     GameArgs("<emulator>", "-joy 1 -soundcard 0 -noaa"), ""},
    {"CommentsNlksnes", "[NLKSNES]\n;IRQs=0\nJoy=1\nMystery key=1\n", "NLKSNES",
     File("<emulator>", "-joy -nirq"), ""},

    // Magic Engine, GenEm, GeneCyst, Virtual GameBoy, NESticle and Massage, by the same groups.
    {"MissingFileMagicEngine", nullptr, "Magic Engine", File("<emulator>", ""), ""},
    {"MissingFileGenEm", nullptr, "GenEm", File("<emulator>", ""), ""},
    // Disable FM and Disable DAC read as checked when their keys are missing.
    {"MissingFileGeneCyst", nullptr, "GeneCyst", File("<emulator>", "-nofm -nodac -linear -run"),
     ""},
    {"MissingFileGameBoy", nullptr, "Virtual GameBoy", File("<emulator>", ""), ""},
    {"MissingFileNesticle", nullptr, "NESticle", File("<emulator>", "-run"), ""},
    {"MissingFileMassage", nullptr, "Massage", File("<emulator>", "/nojoy /frame 1"), ""},

    {"EmptySectionsMagicEngine", AllPaths, "MagicEngine", File("/emu/pce/pce", ""), "/emu/pce"},
    {"EmptySectionsGenEm", AllPaths, "GenEm", File("/emu/genem/genem", ""), "/emu/genem"},
    {"EmptySectionsGeneCyst", AllPaths, "GeneCyst",
     File("/emu/gcyst/gcyst", "-nofm -nodac -linear -run"), "/emu/gcyst"},
    {"EmptySectionsGameBoy", AllPaths, "VirtualGB", File("/emu/vgb/vgb", ""), "/emu/vgb"},
    {"EmptySectionsNesticle", AllPaths, "NESticle", File("/emu/nes/nesticle", "-run"), "/emu/nes"},
    {"EmptySectionsMassage", AllPaths, "Massage", File("/emu/massage/massage", "/nojoy /frame 1"),
     "/emu/massage"},

    {"EveryKeyMagicEngine",
     "[MagicEngine]\nEmuPath=/emu/pce/pce\nSound=1\nJoy=1\nStart CD=1\nSGX=1\n", "Magic Engine",
     File("/emu/pce/pce", "-nosound -nojoy -cd -sgx"), "/emu/pce"},
    {"EveryKeyGenEm",
     "[GenEm]\nEmuPath=/emu/genem/genem\nRom "
     "switch=1\nZ80Emu=1\nModeX=1\nSound=1\nJoy=1\nFrames=7\n",
     "GenEm", File("/emu/genem/genem", "-europe -fakedz80 -modex -nosound -nojoy -frame 7"),
     "/emu/genem"},
    {"EveryKeyGeneCyst",
     "[GeneCyst]\nEmuPath=/emu/gcyst/gcyst\nInput1=3\nInput2=0\nWaitVSync=1\nDisableLFn=1\nSave "
     "dir=/saves\n"
     "PCX dir=/shots\nDisable VESA=0\nVESA mode=1\nScreen "
     "res=0\nSound=1\nFM=1\nDAC=0\nGUI=1\nExclusive=1\n"
     "FPU Copy=1\nRDTSC Copy=1\n",
     "GeneCyst",
     File("/emu/gcyst/gcyst",
          "-setinput 1 JOY1 -setinput 2 NONE -waitvsync -nofm -rdtsc -fpucopy -banked "
          "-res 256 224 -hidegui -exclusive -savedir /saves -pcxdir /shots -run"),
     "/emu/gcyst"},
    {"EveryKeyGameBoy",
     "[VirtualGB]\nEmuPath=/emu/vgb/"
     "vgb\nVPeriod=12000\nUPeriod=3\nIFreq=50\nVolume=5\nCRC=0\nDelay=0\nSound=0\n"
     "Stereo=2\nAutoA=1\nAutoB=1\nSwap button=3\nVideo=4\nBackGround=/pics/bg.gif\n",
     "Virtual GameBoy",
     File("/emu/vgb/vgb",
          "-nocrc -nodelay -sound 0 -stereo 2 -autoa 1 -autob 1 -swapbuttons 3 -vperiod 12000 "
          "-uperiod 3 -ifreq 50 -volume 5 -video 4 -background /pics/bg.gif"),
     "/emu/vgb"},
    {"EveryKeyNesticle",
     "[NESticle]\nEmuPath=/emu/nes/nesticle\nInput1=4\nInput2=5\nSwap "
     "button=1\nWaitVSync=1\nSound=3\n",
     "NESticle",
     File("/emu/nes/nesticle",
          "-setinput 1 JOY2 -setinput 2 GRAVIS -swapbut -waitvsync -sb16 -run"),
     "/emu/nes"},
    {"EveryKeyMassage",
     "[Massage]\nEmuPath=/emu/massage/massage\nJoy=3\nButton "
     "swap=1\nLineIntr=2\nJap=1\nFrames=07\nFM=1\n"
     "Stereo=1\nBigScreen=1\n",
     "Massage",
     File("/emu/massage/massage", "/4bpad /bswap /li 2 /jap /nofm /nostereo /ggbig /frame 07"),
     "/emu/massage"},

    {"OutOfRangeGenEm", "[GenEm]\nRom switch=3\nFrames=abc\n", "GenEm", File("<emulator>", ""), ""},
    {"OutOfRangeGeneCyst",
     "[GeneCyst]\nVESA mode=5\nScreen res=9\nInput1=6\nInput2=-1\nFM=0\nDAC=0\n", "GeneCyst",
     File("<emulator>", "-banked -run"), ""},
    {"BelowRangeGeneCyst", "[GeneCyst]\nVESA mode=-1\nFM=0\nDAC=0\n", "GeneCyst",
     File("<emulator>", "-run"), ""},
    // The volume is pulled to the nearer end of its range.
    {"OutOfRangeGameBoy", "[VirtualGB]\nVolume=20\nSwap button=-2\nSound=2\nVPeriod=abc\nIFreq=x\n",
     "Virtual GameBoy", File("<emulator>", "-sound -1 -swapbuttons -1 -volume 15"), ""},
    {"BelowRangeGameBoy", "[VirtualGB]\nVolume=-4\nSwap button=9\n", "VirtualGB",
     File("<emulator>", "-swapbuttons 3 -volume 0"), ""},
    {"OutOfRangeNesticle", "[NESticle]\nSound=4\nInput1=9\n", "NESticle",
     File("<emulator>", "-run"), ""},
    // Both players on one joystick: start-up builds them as stored; only showing the dialog moves
    // one.
    {"SharedJoystickNesticle", "[NESticle]\nInput1=3\nInput2=3\n", "NESticle",
     File("<emulator>", "-setinput 1 JOY1 -setinput 2 JOY1 -run"), ""},
    // The frame field is read as text, whatever it holds.
    {"OutOfRangeMassage", "[Massage]\nJoy=4\nLineIntr=-1\nFrames=fast\n", "Massage",
     File("<emulator>", "/li -1 /frame fast"), ""},

    {"HexGenEm", "[GenEm]\nFrames=0x5\nRom switch=0x2\n", "GenEm",
     File("<emulator>", "-japan -frame 5"), ""},
    {"HexGameBoy", "[VirtualGB]\nVPeriod=0x3E80\n", "Virtual GameBoy",
     File("<emulator>", "-vperiod 16000"), ""},
    {"HexMassageStaysText", "[Massage]\nFrames=0x5\n", "Massage",
     File("<emulator>", "/nojoy /frame 0x5"), ""},

    {"MixedCaseMagicEngine", "[magicengine]\nemupath=/emu/pce/pce\nSGX=1\nstart cd=1\n",
     "magic engine", File("/emu/pce/pce", "-cd -sgx"), "/emu/pce"},
    {"MixedCaseGameBoy", "[VIRTUALGB]\nvolume=12\ncrc=0\n", "virtualgb",
     File("<emulator>", "-nocrc -volume 12"), ""},

    {"DuplicateSectionsMassage", "[Massage]\nJoy=1\n[MASSAGE]\nJoy=2\n", "Massage",
     File("<emulator>", "/ggpad /frame 1"), ""},

    {"CommentsGeneCyst", "[GeneCyst]\n;Sound=0\nSound=1\nFM=0\nDAC=0\nColour=7\n", "GeneCyst",
     File("<emulator>", "-linear -run"), ""},
};

class StartUpSwitches : public ::testing::TestWithParam<Row> {};

}  // namespace

TEST_P(StartUpSwitches, PrintCommandGivesTheArgumentsPlayWouldStart) {
    const Row& row = GetParam();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    if (row.ini) {
        ASSERT_TRUE(QDir().mkpath(home.filePath("Orvello")));
        WriteFile(home.filePath("Orvello/WINORVEL.INI"), row.ini);
    }
    const bool gameName = row.arguments.size() > 1 && row.arguments[1] == "pacman";
    const Printed printed =
        RunProgram(home.path(), {"--print-command", row.tab, gameName ? Game : Rom});
    ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
    EXPECT_EQ(printed.out, row.arguments + QStringList{QStringLiteral("cwd\t") + row.cwd});
    // Reading never creates or changes the file.
    EXPECT_EQ(QFileInfo::exists(home.filePath("Orvello/WINORVEL.INI")), row.ini != nullptr);
}

INSTANTIATE_TEST_SUITE_P(Tabs, StartUpSwitches, ::testing::ValuesIn(Rows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

TEST(PrintCommand, WithoutARomAndForUnknownTabs) {
    QTemporaryDir home;
    const Printed noRom = RunProgram(home.path(), {"--print-command", "KGen"});
    EXPECT_EQ(noRom.exitCode, 0);
    EXPECT_EQ(noRom.out, (QStringList{"<emulator>", "<ROM>", "cwd\t"}));
    EXPECT_TRUE(noRom.err.contains("No emulator program is set for KGen."));

    for (const QStringList& bad :
         {QStringList{"--print-command"}, QStringList{"--print-command", "Nestopia"},
          QStringList{"--print-command", "KGen", "a.zip", "b.bin", "c.bin"}}) {
        const Printed printed = RunProgram(home.path(), bad);
        EXPECT_EQ(printed.exitCode, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(printed.out.isEmpty());
        EXPECT_TRUE(printed.err.contains("Usage:")) << printed.err.toStdString();
    }
    EXPECT_TRUE(
        RunProgram(home.path(), {"--print-command", "Nestopia"}).err.contains("unknown tab"));

    const Printed help = RunProgram(home.path(), {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.join('\n').contains("--print-command TAB [FILE [MEMBER]]"));
    EXPECT_FALSE(QFileInfo::exists(home.filePath("Orvello"))) << "nothing is written";
}
