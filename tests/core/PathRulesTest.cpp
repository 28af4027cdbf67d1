// Folders of paths, whole-number texts, filter texts and masks, and the folder options.
#include <gtest/gtest.h>

#include "app/core/FolderOptions.h"
#include "app/core/PathRules.h"

using namespace orvello;

TEST(FolderOf, DropsTheFileNameButKeepsTheRoot) {
    EXPECT_EQ(FolderOf("/emu/zsnes/zsnes"), "/emu/zsnes");
    EXPECT_EQ(FolderOf("/zsnes"), "/");
    EXPECT_EQ(FolderOf("zsnes"), "");
    EXPECT_EQ(FolderOf(""), "");
    EXPECT_EQ(FolderOf("/emu/dir/"), "/emu/dir");
}

TEST(WholeNumber, DigitsWithSignAndLeadingBlanksOnly) {
    EXPECT_EQ(WholeNumber("12"), 12);
    EXPECT_EQ(WholeNumber("03"), 3);
    EXPECT_EQ(WholeNumber("  7"), 7);
    EXPECT_EQ(WholeNumber("-4"), -4);
    EXPECT_EQ(WholeNumber("+4"), 4);
    EXPECT_EQ(WholeNumber("2147483647"), 2147483647);
    EXPECT_EQ(WholeNumber("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"", " ", "7 ", "abc", "1a", "-", "+", "0x10", "1.5", "2147483648",
                            "99999999999", "- 1"}) {
        EXPECT_FALSE(WholeNumber(bad).has_value()) << bad;
    }
    EXPECT_EQ(NotAnIntegerMessage("abc"), "'abc' is not a valid integer value");
}

TEST(Filters, ParsesDescriptionsAndTrimmedMasks) {
    const auto entries = ParseFilter("All executable files|*.exe; *.bat");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].description, "All executable files");
    EXPECT_EQ(entries[0].masks, (QStringList{"*.exe", "*.bat"}));

    const auto three = ParseFilter("Zipped ROMs|*.zip;*.arj|All valid ROMs||All files|*.*");
    ASSERT_EQ(three.size(), 3u);
    EXPECT_TRUE(three[1].masks.isEmpty());
    EXPECT_EQ(three[2].masks, QStringList{"*.*"});
}

TEST(Filters, MasksMatchLikeDosWhateverTheCase) {
    EXPECT_TRUE(MatchesMask("GAME.SMC", "*.smc"));
    EXPECT_TRUE(MatchesMask("game.smc", "*.SMC"));
    EXPECT_FALSE(MatchesMask("game.smc.bak", "*.smc"));
    EXPECT_TRUE(MatchesMask("pacman.010", "*.0?0"));
    EXPECT_FALSE(MatchesMask("pacman.0100", "*.0?0"));
    EXPECT_TRUE(MatchesMask("mario.1", "*.?"));
    EXPECT_FALSE(MatchesMask("mario.12", "*.?"));
    EXPECT_TRUE(MatchesMask("README", "*.*"));
    EXPECT_TRUE(MatchesMask("README", "*"));
    EXPECT_TRUE(MatchesAnyMask("x.bin", {"*.smd", "*.bin"}));
    EXPECT_FALSE(MatchesAnyMask("x.bin", {}));
}

TEST(Filters, TheExecutableEntryAlsoListsFilesWithTheExecutePermission) {
    const auto entries = ParseFilter("All executable files|*.exe; *.bat|Other|*.txt");
    EXPECT_TRUE(OpenFilterAccepts(entries[0], "ZSNES.EXE", false));
    EXPECT_TRUE(OpenFilterAccepts(entries[0], "zsnes", true));
    EXPECT_FALSE(OpenFilterAccepts(entries[0], "zsnes", false));
    EXPECT_FALSE(OpenFilterAccepts(entries[1], "zsnes", true)) << "only that entry";
}

TEST(FolderOptions, StatusPathNeedsStatusText) {
    TRootFolder root = TRootFolder::sfoDesktopExpanded;
    EXPECT_TRUE(ApplyFolderOptionRules(0, bfShowPathInStatusArea, root) & bfStatusText);
    const TFolderDialogOptions both = bfStatusText | bfShowPathInStatusArea;
    EXPECT_EQ(ApplyFolderOptionRules(both, bfFileSysDirsOnly | bfShowPathInStatusArea, root) &
                  (bfStatusText | bfShowPathInStatusArea),
              0u)
        << "removing the status text removes the path shown in it";
}

TEST(FolderOptions, ComputersAndPrintersDropWhatContradictsThem) {
    TRootFolder root = TRootFolder::sfoDesktopExpanded;
    const TFolderDialogOptions start = bfFileSysDirsOnly | bfFileSysAncestors | bfDontGoBelowDomain;
    const auto computers = ApplyFolderOptionRules(start, start | bfBrowseForComputer, root);
    EXPECT_EQ(root, TRootFolder::sfoNetwork);
    EXPECT_EQ(computers, bfDontGoBelowDomain | bfBrowseForComputer);

    root = TRootFolder::sfoDesktopExpanded;
    const auto printers = ApplyFolderOptionRules(computers, computers | bfBrowseForPrinter, root);
    EXPECT_EQ(printers, bfBrowseForPrinter);
    EXPECT_EQ(root, TRootFolder::sfoDesktopExpanded) << "only computers move the root";

    // Already set is not newly set: nothing is dropped again.
    const auto again =
        ApplyFolderOptionRules(bfBrowseForComputer, bfBrowseForComputer | bfFileSysDirsOnly, root);
    EXPECT_TRUE(again & bfFileSysDirsOnly);
}

TEST(FolderOptions, ScreenAndParentCentringExcludeEachOther) {
    TRootFolder root = TRootFolder::sfoDesktopExpanded;
    EXPECT_EQ(ApplyFolderOptionRules(bfParentCenter, bfParentCenter | bfScreenCenter, root),
              bfScreenCenter);
    EXPECT_EQ(ApplyFolderOptionRules(bfScreenCenter, bfParentCenter | bfScreenCenter, root),
              bfParentCenter);
    // The main window's games-folder browser asks for these.
    const auto games =
        ApplyFolderOptionRules(DefaultFolderDialogOptions,
                               bfFileSysDirsOnly | bfStatusText | bfShowPathInStatusArea |
                                   bfSyncCustomButton | bfAlignCustomButton | bfScreenCenter,
                               root);
    EXPECT_TRUE(games & bfScreenCenter);
    EXPECT_FALSE(games & bfParentCenter);
}

TEST(FolderOptions, Placement) {
    const QRect screen(0, 0, 1000, 700);
    const QRect owner(100, 200, 400, 300);
    const QSize size(300, 400);
    EXPECT_EQ(FolderBrowserPlacement(bfScreenCenter, screen, owner, size), QPoint(350, 100));
    EXPECT_EQ(FolderBrowserPlacement(bfParentCenter, screen, owner, size), QPoint(150, 275));
    EXPECT_FALSE(FolderBrowserPlacement(0, screen, owner, size).has_value());
    EXPECT_FALSE(FolderBrowserPlacement(bfParentCenter, screen, QRect(), size).has_value());
}
