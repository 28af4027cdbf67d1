// The emulator's command line as text and as arguments, game names, and the types the
// launch extracts.
#include <gtest/gtest.h>

#include <string>
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
