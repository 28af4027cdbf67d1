// How the selector derives a member's file name, the preview picture's name and the
// description key from a ROM's name.
#include <gtest/gtest.h>

#include <QLocale>

#include "selector/SelectorModels.h"
#include "selector/SelectorNames.h"

using namespace orvello;

TEST(StoredFileNamePart, DropsTheFoldersOfAStoredName) {
    EXPECT_EQ(StoredFileNamePart("roms/snes/Game.smc"), "Game.smc");
    EXPECT_EQ(StoredFileNamePart("Game.smc"), "Game.smc");
    EXPECT_EQ(StoredFileNamePart("roms/"), "");
    EXPECT_EQ(StoredFileNamePart("dir/Spi\xC3\xA8l.smc"), "Spi\xC3\xA8l.smc");
}

TEST(Extensions, ReplacedAddedOrDropped) {
    EXPECT_EQ(WithExtension("/roms/Game.smc", ".bmp"), "/roms/Game.bmp");
    EXPECT_EQ(WithExtension("/roms/readme", ".bmp"), "/roms/readme.bmp");
    EXPECT_EQ(WithExtension("/roms/Super Game v1.1.sfc", ".bmp"), "/roms/Super Game v1.1.bmp");
    // A dot in a folder name is no extension of the file.
    EXPECT_EQ(WithExtension("/roms/v1.0/PACMAN", ".bmp"), "/roms/v1.0/PACMAN.bmp");
    EXPECT_EQ(WithExtension("/roms/x.tar.gz", ".bmp"), "/roms/x.tar.bmp");

    EXPECT_EQ(WithoutExtension("Game.smc"), "Game");
    EXPECT_EQ(WithoutExtension("readme"), "readme");
    EXPECT_EQ(WithoutExtension("Super Game v1.1.sfc"), "Super Game v1.1");
}

TEST(Extensions, PreviewPicturesAreLookedForAsBmpThenPngThenJpg) {
    EXPECT_EQ(PreviewCandidates("/roms/Game.bmp"),
              (QStringList{"/roms/Game.bmp", "/roms/Game.png", "/roms/Game.jpg"}));
    EXPECT_TRUE(PreviewCandidates("").isEmpty());
}

TEST(NameOrder, LettersWithoutRegardToCaseThenAFixedOrderForCaseAlone) {
    EXPECT_TRUE(NameLess("alpha", "Beta"));
    EXPECT_TRUE(NameLess("Alpha", "beta"));
    EXPECT_FALSE(NameLess("beta", "Alpha"));
    EXPECT_TRUE(NameLess("GAME", "game") != NameLess("game", "GAME"));
    EXPECT_FALSE(NameLess("same", "same"));
    EXPECT_TRUE(NameLess("a", "ab"));
}

TEST(SizeTexts, BytesAndKilobytesGroupedAsTheUsersLocaleGroupsThousands) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FileSizeText(1048576), "1.048.576");
    EXPECT_EQ(RomSizeText(1048576), "1.024 K");
    EXPECT_EQ(FileSizeText(1000), "1.000");
    EXPECT_EQ(RomSizeText(1000), "0 K");
    EXPECT_EQ(RomSizeText(1023), "0 K");
    EXPECT_EQ(RomSizeText(1024), "1 K");
    // Sizes beyond 32 bits stay whole.
    EXPECT_EQ(FileSizeText(4294967296LL), "4.294.967.296");
    EXPECT_EQ(RomSizeText(4294967296LL), "4.194.304 K");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(FileSizeText(3000), "3,000");
    EXPECT_EQ(RomSizeText(4294967296LL), "4,194,304 K");
    QLocale::setDefault(saved);
}
