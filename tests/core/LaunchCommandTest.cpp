// The emulator's command line as text and as arguments, game names, and the types the
// launch extracts.
#include <gtest/gtest.h>

#include <QDir>

#include <string>
#include <utility>
#include <vector>

#include "app/core/LaunchCommand.h"

using namespace orvello;
using archive::TArcType;
using Args = std::vector<std::string>;

TEST(CommandLineText, FileFormKeepsTheSwitchStringsOwnBlanks) {
    // A switch string beginning with a blank gives two blanks after the emulator.
    EXPECT_EQ(CommandLineText(LaunchForm::File, "/emu/snes9x", " -y", "/roms/Game.smc"),
              "/emu/snes9x  -y /roms/Game.smc");
    // An empty one gives two blanks between the emulator and the ROM.
    EXPECT_EQ(CommandLineText(LaunchForm::File, "/emu/snes9x", "", "/roms/Game.smc"),
              "/emu/snes9x  /roms/Game.smc");
    // The ZSNES string starts with its first switch: one blank.
    EXPECT_EQ(CommandLineText(LaunchForm::File, "/emu/zsnes", "-m -v 2", "Game.smc"),
              "/emu/zsnes -m -v 2 Game.smc");
}

TEST(CommandLineText, GameNameFormPutsTheGameBeforeTheSwitches) {
    EXPECT_EQ(CommandLineText(LaunchForm::GameName, "/emu/mame", " -noartwork", "pacman"),
              "/emu/mame pacman  -noartwork");
    EXPECT_EQ(CommandLineText(LaunchForm::GameName, "/emu/mame", "", "pacman"),
              "/emu/mame pacman ");
}

TEST(CommandLineText, NothingIsQuotedOrCutShort) {
    const QString longPath = "/roms/" + QString(400, QLatin1Char('x')) + " with blanks.smc";
    const QString text = CommandLineText(LaunchForm::File, "/my emu/snes9x", " -y", longPath);
    EXPECT_EQ(text, "/my emu/snes9x  -y " + longPath);
    EXPECT_GT(text.size(), 255);
}

TEST(SwitchWords, SplitAtBlanksWithoutEmptyWordsOrQuoting) {
    EXPECT_TRUE(SwitchWords("").isEmpty());
    EXPECT_TRUE(SwitchWords("   ").isEmpty());
    EXPECT_EQ(SwitchWords(" -y"), (QStringList{"-y"}));
    EXPECT_EQ(SwitchWords("  -r  5   -sound "), (QStringList{"-r", "5", "-sound"}));
    // Quotes are characters like any other: the emulators' own parsing saw them so.
    EXPECT_EQ(SwitchWords(" -name \"a b\""), (QStringList{"-name", "\"a", "b\""}));
}

TEST(EmulatorArguments, FileFormIsEmulatorSwitchesThenTheRomAsOneArgument) {
    EXPECT_EQ(EmulatorArguments(LaunchForm::File, "/emu/snes9x", " -y  -r 5", "/my roms/a b.smc"),
              (Args{"/emu/snes9x", "-y", "-r", "5", "/my roms/a b.smc"}));
    EXPECT_EQ(EmulatorArguments(LaunchForm::File, "/emu/snes9x", "", "Game.smc"),
              (Args{"/emu/snes9x", "Game.smc"}));
}

TEST(EmulatorArguments, GameNameFormIsEmulatorGameThenSwitches) {
    EXPECT_EQ(EmulatorArguments(LaunchForm::GameName, "/emu/mame", " -noartwork -ror", "pac man"),
              (Args{"/emu/mame", "pac man", "-noartwork", "-ror"}));
    EXPECT_EQ(EmulatorArguments(LaunchForm::GameName, "/emu/mame", "", "pacman"),
              (Args{"/emu/mame", "pacman"}));
}

TEST(EmulatorArguments, RomBytesPassUnchanged) {
    // A member name that is not UTF-8 reaches the emulator byte for byte.
    const std::string cp437 = "Sp\x81l.smc";
    EXPECT_EQ(EmulatorArguments(LaunchForm::File, "/emu/x", " -a", cp437).back(), cp437);
}

TEST(AcceptableGameName, RefusesNamesThatLeaveTheEmulatorsFolder) {
    EXPECT_TRUE(AcceptableGameName("pacman"));
    EXPECT_TRUE(AcceptableGameName("pac man"));
    EXPECT_TRUE(AcceptableGameName("..pacman"));
    EXPECT_TRUE(AcceptableGameName("a\\b"));  // a character like any other here
    for (const char* bad : {"", ".", "..", "../pacman", "a/b", "/"})
        EXPECT_FALSE(AcceptableGameName(bad)) << bad;
}

TEST(LaunchExtracts, OnlyTheTypesWithAnExtractorFamily) {
    std::vector<TArcType> extracted;
    for (int i = 0; i < archive::kArcTypeCount; ++i) {
        const auto type = static_cast<TArcType>(i);
        if (LaunchExtracts(type)) extracted.push_back(type);
    }
    EXPECT_EQ(extracted,
              (std::vector<TArcType>{TArcType::atARJ, TArcType::atArjExe, TArcType::atARC,
                                     TArcType::atArcExe, TArcType::atLHA, TArcType::atLhaExe,
                                     TArcType::atZIP, TArcType::atZipExe, TArcType::atZOO}));
    // The selector lists these, but they are never played.
    EXPECT_FALSE(LaunchExtracts(TArcType::atZip250));
    EXPECT_FALSE(LaunchExtracts(TArcType::atZip250Exe));
}

TEST(AssembleCommand, MakesTheEmulatorAbsoluteAndRunsInItsFolder) {
    const EmulatorCommand game =
        AssembleCommand(LaunchForm::GameName, "/emu/mame/mame", " -noaa", "pacman");
    EXPECT_EQ(game.arguments, (Args{"/emu/mame/mame", "pacman", "-noaa"}));
    EXPECT_EQ(game.workingFolder, "/emu/mame");
    EXPECT_EQ(game.targetIndex, 1u);

    const EmulatorCommand file = AssembleCommand(LaunchForm::File, "/snes9x", " -j -ss 0", "a.smc");
    EXPECT_EQ(file.arguments, (Args{"/snes9x", "-j", "-ss", "0", "a.smc"}));
    EXPECT_EQ(file.workingFolder, "/") << "the root keeps its separator";
    EXPECT_EQ(file.targetIndex, 4u);

    // A relative path is taken from the current folder, as the start takes it.
    const EmulatorCommand relative = AssembleCommand(LaunchForm::File, "emu/x", "", "r");
    EXPECT_EQ(relative.arguments.front(),
              FileSystemBytes(QDir::currentPath() + QStringLiteral("/emu/x")));
}

TEST(ShellQuoted, QuotesWhatAShellWouldReadOtherwise) {
    const std::pair<const char*, const char*> rows[] = {
        {"-frameskip", "-frameskip"},
        {"/emu/snes9x/snes9x", "/emu/snes9x/snes9x"},
        {"a_b+c=d:e,f@g%h", "a_b+c=d:e,f@g%h"},
        {"", "''"},
        {"Game One.smc", "'Game One.smc'"},
        {"it's", "'it'\\''s'"},
        {"$HOME", "'$HOME'"},
        {"a*b", "'a*b'"},
        {"(E) [!]", "'(E) [!]'"},
        {"x\ty", "'x\ty'"},
        {"~user", "'~user'"},
        {"Spïl.smc", "'Spïl.smc'"},
    };
    for (const auto& [word, quoted] : rows)
        EXPECT_EQ(ShellQuoted(QString::fromUtf8(word)), QString::fromUtf8(quoted)) << word;
}

TEST(MemberArgument, IsTheSafeFileNamePartOfTheStoredName) {
    EXPECT_EQ(MemberArgument("roms\\Game.smc", "ignored"), "Game.smc");
    EXPECT_EQ(MemberArgument("roms/Game.smc", "ignored"), "Game.smc");
    EXPECT_EQ(MemberArgument("", "Shown.smc"), "Shown.smc") << "the shown name when none stored";
    EXPECT_EQ(MemberArgument("../evil/Game.smc", "x"), "");
    EXPECT_EQ(MemberArgument("..", "x"), "");
}

TEST(PlayTarget, WhatPlayWouldHandOverForEachKindOfChoice) {
    AppState state;
    EXPECT_FALSE(PlayTarget(state, SlotSNES9x, std::nullopt)) << "nothing selected";
    EXPECT_FALSE(PlayTarget(state, SlotMAME, std::string("x"))) << "nothing selected";

    state.SelectedFile = "/games/Super Game.smc";
    state.RomFileName = "Super Game.smc";
    state.RomBaseName = "Super Game";
    state.RomIsPlainFile = true;
    EXPECT_EQ(PlayTarget(state, SlotSNES9x, std::nullopt), "/games/Super Game.smc");

    state.SelectedFile = "/games/pacman.zip";
    state.RomFileName = "pacman.zip";
    state.RomBaseName = "pacman";
    state.RomIsPlainFile = false;
    EXPECT_EQ(PlayTarget(state, SlotMAME, std::nullopt), "pacman");
    EXPECT_EQ(PlayTarget(state, SlotCallus, std::nullopt), "pacman");
    EXPECT_FALSE(PlayTarget(state, SlotZSNES, std::nullopt)) << "an archive, no member yet";

    state.RomFileName = "Game.smc";
    EXPECT_EQ(PlayTarget(state, SlotZSNES, std::string("roms/Game.smc")), "Game.smc");
    EXPECT_EQ(PlayTarget(state, SlotZSNES, std::string("Sp\x81l.smc")), "Sp\x81l.smc")
        << "the stored bytes, not the name shown";
    EXPECT_FALSE(PlayTarget(state, SlotZSNES, std::string("../x/..")));
}

TEST(PreviewCommand, QuotesEachArgumentAndMarksWhatIsMissing) {
    AppState state;
    CommandPreview none = PreviewCommand(state, SlotKGen, " -S", std::nullopt);
    EXPECT_EQ(none.arguments, (QStringList{"<emulator>", "-S", "<ROM>"}));
    EXPECT_EQ(none.line, "<emulator> -S <ROM>");
    EXPECT_EQ(none.workingFolder, "");

    state.EmuPath[SlotKGen] = "/my emus/kgen/kgen";
    CommandPreview file =
        PreviewCommand(state, SlotKGen, "  -E   -F3 ", std::string("/roms/Sonic (W).bin"));
    EXPECT_EQ(file.arguments,
              (QStringList{"/my emus/kgen/kgen", "-E", "-F3", "/roms/Sonic (W).bin"}));
    EXPECT_EQ(file.line, "'/my emus/kgen/kgen' -E -F3 '/roms/Sonic (W).bin'");
    EXPECT_EQ(file.workingFolder, "/my emus/kgen");

    state.EmuPath[SlotMAME] = "/emu/mame";
    CommandPreview game = PreviewCommand(state, SlotMAME, " -soundcard 0 -noaa", std::nullopt);
    EXPECT_EQ(game.line, "/emu/mame <ROM> -soundcard 0 -noaa") << "the game stands first";
    // A switch word that a shell would expand is quoted in the line, not in the arguments.
    CommandPreview odd = PreviewCommand(state, SlotMAME, " -savedir $HOME", std::string("pac"));
    EXPECT_EQ(odd.arguments, (QStringList{"/emu/mame", "pac", "-savedir", "$HOME"}));
    EXPECT_EQ(odd.line, "/emu/mame pac -savedir '$HOME'");
}
