// The mailbox, the shared state's start values and the thousands grouping.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <type_traits>

#include "app/core/GlobalVar.h"

using namespace orvello;

// A source never passes for a code nor a code for a source, and a bare number for neither: the
// mailbox takes a post only in the order recipient, source, code.
static_assert(!std::is_convertible_v<NoteSource, NoteCode>);
static_assert(!std::is_convertible_v<NoteCode, NoteSource>);
static_assert(!std::is_convertible_v<std::int32_t, NoteSource>);
static_assert(!std::is_convertible_v<std::int32_t, NoteCode>);
static_assert(std::is_invocable_v<decltype(&Mailbox::PostNotification), Mailbox&, std::int32_t,
                                  NoteSource, NoteCode>);
static_assert(!std::is_invocable_v<decltype(&Mailbox::PostNotification), Mailbox&, std::int32_t,
                                   NoteCode, NoteSource>);
static_assert(!std::is_invocable_v<decltype(&Mailbox::PostNotification), Mailbox&, std::int32_t,
                                   std::int32_t, std::int32_t>);

TEST(Mailbox, KeepsTheFirstTenAndDropsTheEleventh) {
    Mailbox box;
    for (int i = 0; i < 11; ++i)
        box.PostNotification(MainWindowId, NoteSource::FileList, NoteCode{100 + i});
    for (int i = 0; i < 10; ++i) {
        const auto note = box.TakeNotification(MainWindowId);
        ASSERT_TRUE(note.has_value());
        EXPECT_EQ(note->Code, NoteCode{100 + i});
        EXPECT_EQ(note->Source, NoteSource::FileList);
        EXPECT_EQ(note->Recipient, MainWindowId);
        EXPECT_FALSE(note->Free);
    }
    EXPECT_FALSE(box.TakeNotification(MainWindowId).has_value());
}

TEST(Mailbox, AFreedEntryIsReusedFirstSoOrderIsByEntryNotByAge) {
    Mailbox box;
    box.PostNotification(MainWindowId, NoteSource::FileList, NoteCode::Selected);     // entry 1
    box.PostNotification(MainWindowId, NoteSource::ArchiveList, NoteCode::Selected);  // entry 2
    EXPECT_EQ(box.TakeNotification(MainWindowId)->Source, NoteSource::FileList);  // empties entry 1
    box.PostNotification(MainWindowId, NoteSource::Selector,
                         NoteCode::Cleared);  // lands in entry 1
    EXPECT_EQ(box.Entry(1).Code, NoteCode::Cleared);
    EXPECT_FALSE(box.Entry(1).Free);

    const auto newer = box.TakeNotification(MainWindowId);
    ASSERT_TRUE(newer);
    EXPECT_EQ(newer->Source, NoteSource::Selector);
    const auto older = box.TakeNotification(MainWindowId);
    ASSERT_TRUE(older);
    EXPECT_EQ(older->Source, NoteSource::ArchiveList);
}

TEST(Mailbox, TakesOnlyForItsRecipientAndClearEmptiesEverything) {
    Mailbox box;
    box.PostNotification(5, NoteSource::Selector, NoteCode::Closed);
    EXPECT_FALSE(box.TakeNotification(MainWindowId).has_value());
    EXPECT_FALSE(box.Entry(1).Free) << "a take for another recipient changes nothing";

    // Closing the selector posts both; a tick takes the close, the clear stays until the
    // box is cleared for the next showing.
    box.PostNotification(MainWindowId, NoteSource::Selector, NoteCode::Closed);
    box.PostNotification(MainWindowId, NoteSource::Selector, NoteCode::Cleared);
    EXPECT_EQ(box.TakeNotification(MainWindowId)->Code, NoteCode::Closed);
    box.ClearMailbox();
    for (int n = 1; n <= Mailbox::Size; ++n)
        EXPECT_TRUE(box.Entry(n).Free);
    EXPECT_FALSE(box.TakeNotification(MainWindowId).has_value());
    EXPECT_FALSE(box.TakeNotification(5).has_value());
}

TEST(AppState, StartValues) {
    const AppState state;
    EXPECT_EQ(state.CurrentSlot, 0);
    EXPECT_EQ(state.ArchiveMask, "*.zip;*.arj;*.lzh;*.arc;*.pak;*.zoo;*.rar;*.lzh");
    EXPECT_FALSE(state.RomIsPlainFile);
    EXPECT_TRUE(state.ShowPreview);
    EXPECT_FALSE(state.AutoPreview);
    for (int slot = 0; slot < SlotCount; ++slot) {
        EXPECT_TRUE(state.EmuPath[slot].isEmpty());
        EXPECT_TRUE(state.Switches[slot].isEmpty());
    }
    for (int n = 1; n <= Mailbox::Size; ++n)
        EXPECT_TRUE(state.mailbox.Entry(n).Free);
}

TEST(Slots, GameNameSlotsAreExactlyMameAndCallus) {
    for (int slot = 0; slot < SlotCount; ++slot) {
        const bool gameName = slot == 9 || slot == 10;
        EXPECT_EQ(IsGameNameSlot(slot), gameName) << slot;
        EXPECT_EQ(Slots[slot].launchForm == LaunchForm::GameName, gameName) << slot;
        EXPECT_EQ(AppState::RomMask(slot).isEmpty(), gameName) << slot;
    }
    // Every slot is loaded and saved exactly once.
    std::array<int, SlotCount> seen{};
    for (int slot : SettingsOrder)
        ++seen.at(slot);
    for (int count : seen)
        EXPECT_EQ(count, 1);
}

TEST(FormatThousands, GroupsByThreeWithoutALeadingDot) {
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(7), "7");
    EXPECT_EQ(FormatThousands(999), "999");
    EXPECT_EQ(FormatThousands(1000), "1.000");
    EXPECT_EQ(FormatThousands(100000), "100.000");
    EXPECT_EQ(FormatThousands(999999), "999.999");
    EXPECT_EQ(FormatThousands(1234567), "1.234.567");
    EXPECT_EQ(FormatThousands(1048576), "1.048.576");
    EXPECT_EQ(FormatThousands(4294967296LL), "4.294.967.296");
}

TEST(FormatThousands, NegativeNumbersKeepTheSignInFront) {
    EXPECT_EQ(FormatThousands(-1), "-1");
    EXPECT_EQ(FormatThousands(-1000), "-1.000");
    EXPECT_EQ(FormatThousands(-100000), "-100.000");
    EXPECT_EQ(FormatThousands(std::numeric_limits<std::int64_t>::min()),
              "-9.223.372.036.854.775.808");
}

TEST(ReverseText, ReversesCharacters) {
    EXPECT_EQ(ReverseText("abc"), "cba");
    EXPECT_EQ(ReverseText(""), "");
}
