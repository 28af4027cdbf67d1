// Stored member names decoded to UTF-8: which bytes count as UTF-8, the DOS and Japanese code
// pages, ZIP's Unicode marks, and separators found only after decoding.
#include <gtest/gtest.h>

#include <string>

#include "ZipBuilder.h"
#include "archive/NameCodec.h"

using namespace orvello::archive;
using namespace orvello::testing;

namespace {

// A ZIP extra field record: id, size, data.
std::string ExtraRecord(unsigned id, const std::string& data) {
    std::string r;
    r += static_cast<char>(id & 0xFF);
    r += static_cast<char>(id >> 8);
    r += static_cast<char>(data.size() & 0xFF);
    r += static_cast<char>(data.size() >> 8);
    return r + data;
}

bool HaveCp932() {
    return Cp932ToUtf8("A").has_value();
}

}  // namespace

TEST(NameCodec, OnlyWellFormedUtf8IsTakenAsItIs) {
    EXPECT_TRUE(IsUtf8(""));
    EXPECT_TRUE(IsUtf8("game.smc"));
    EXPECT_TRUE(IsUtf8("gr\xC3\xBCn \xE8\xA1\xA8 \xF0\x9F\x8E\xAE"));  // 2, 3 and 4 bytes
    EXPECT_TRUE(IsUtf8("\xF4\x8F\xBF\xBF"));                           // U+10FFFF
    // Every one of these is read as code page 437 instead.
    for (const char* bad : {
             "\xC0\x80",           // overlong NUL
             "\xC1\xBF",           // overlong
             "\xE0\x9F\xBF",       // overlong three bytes
             "\xF0\x8F\xBF\xBF",   // overlong four bytes
             "\xED\xA0\x80",       // a surrogate
             "\xF4\x90\x80\x80",   // above U+10FFFF
             "\xF5\x80\x80\x80",   // no such lead byte
             "\x80", "\xBF",       // continuation without a lead
             "\xC3", "\xE8\xA1",   // cut short at the end
             "\xC3(", "\xE8\xA1("  // cut short by ASCII
         }) {
        EXPECT_FALSE(IsUtf8(bad)) << bad;
        EXPECT_TRUE(IsUtf8(DecodeMemberName(bad, NameCoding::kDos))) << bad;
    }
}

TEST(NameCodec, DosNamesAreCodePage437AndSeparatorsBecomeSlashes) {
    EXPECT_EQ(DecodeMemberName("GAMES\\R\x94M.SMC", NameCoding::kDos), "GAMES/R\xC3\xB6M.SMC");
    EXPECT_EQ(DecodeMemberName("\\", NameCoding::kDos), "/");
    // Both ends of the upper half, and one of each block of the table.
    EXPECT_EQ(Cp437ToUtf8("\x80\xFF"), "\xC3\x87\xC2\xA0");  // C cedilla, no-break space
    EXPECT_EQ(Cp437ToUtf8("\x9E\xB3\xE1\xEC"),
              "\xE2\x82\xA7"    // peseta
              "\xE2\x94\x82"    // box drawing
              "\xC3\x9F"        // sharp s
              "\xE2\x88\x9E");  // infinity
    EXPECT_EQ(Cp437ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
    // One byte that is not UTF-8 makes the whole name DOS text, bytes that looked like UTF-8
    // included.
    EXPECT_EQ(DecodeMemberName("\xC3\x9C\xFF", NameCoding::kDos), "\xE2\x94\x9C\xC2\xA3\xC2\xA0");
    // A valid UTF-8 name is not read as code page 437, and neither is it changed.
    EXPECT_EQ(DecodeMemberName("d\xC3\xA9\\x.smc", NameCoding::kDos), "d\xC3\xA9/x.smc");
    // GZip names are ISO 8859-1.
    EXPECT_EQ(DecodeMemberName("caf\xE9.smc", NameCoding::kLatin1), "caf\xC3\xA9.smc");
}

TEST(NameCodec, LhaNamesAreShiftJisBeforeCodePage437) {
    if (!HaveCp932()) GTEST_SKIP() << "the C library's iconv has no CP932 converter";
    // "表" is 0x95 0x5C: its second byte is a backslash, which must not split the name.
    EXPECT_EQ(DecodeMemberName("\x95\x5C.SMC", NameCoding::kLha), "\xE8\xA1\xA8.SMC");
    EXPECT_EQ(DecodeMemberName("ROMS\\\x95\x5C\\\x83\x5C.SMC", NameCoding::kLha),
              "ROMS/\xE8\xA1\xA8/\xE3\x82\xBD.SMC");  // a real separator between them
    EXPECT_EQ(DecodeMemberName("\xB1\xB2", NameCoding::kLha), "\xEF\xBD\xB1\xEF\xBD\xB2");
    // Not Shift-JIS: a lead byte before "." or at the end, a byte that is no character.
    EXPECT_EQ(DecodeMemberName("R\x94.SMC", NameCoding::kLha), "R\xC3\xB6.SMC");
    EXPECT_EQ(DecodeMemberName("R\x95", NameCoding::kLha), "R\xC3\xB2");
    EXPECT_EQ(Cp932ToUtf8("R\x95"), std::nullopt);
    // UTF-8 first: these bytes would be Shift-JIS too (half-width katakana and kanji).
    EXPECT_EQ(DecodeMemberName("\xE8\xA1\xA8", NameCoding::kLha), "\xE8\xA1\xA8");
    // Other formats never try Shift-JIS.
    EXPECT_EQ(DecodeMemberName("\x95\x5C", NameCoding::kDos), "\xC3\xB2/");
}

TEST(NameCodec, ZipUnicodeMarksAndTheirChecks) {
    const std::string dos = "R\x94M.SMC";
    const std::string unicode = "R\xC3\xA4M.SMC";  // what the field says: a different letter
    // No mark: code page 437 unless valid UTF-8.
    EXPECT_EQ(DecodeZipName(dos, 0, ""), "R\xC3\xB6M.SMC");
    EXPECT_EQ(DecodeZipName("gr\xC3\xBCn\\x", 0, ""), "gr\xC3\xBCn/x");
    // The Unicode path field counts when its CRC is that of the stored name.
    const std::string other = ExtraRecord(0x5455, std::string(5, '\1'));
    EXPECT_EQ(DecodeZipName(dos, 0, other + UnicodePathExtra(dos, unicode)), unicode);
    EXPECT_EQ(DecodeZipName(dos, 0, UnicodePathExtra("R\x94N.SMC", unicode)), "R\xC3\xB6M.SMC");
    EXPECT_EQ(DecodeZipName(dos, 0, UnicodePathExtra(dos, unicode, 2)), "R\xC3\xB6M.SMC");
    EXPECT_EQ(DecodeZipName(dos, 0, UnicodePathExtra(dos, "R\x94")), "R\xC3\xB6M.SMC");
    // It outweighs stored bytes that only happen to be valid UTF-8.
    const std::string lookalike = "\xC3\xA4.SMC";  // CP437 "├ñ.SMC"
    EXPECT_EQ(DecodeZipName(lookalike, 0, UnicodePathExtra(lookalike, "x\\y")), "x/y");
    // A field cut short by the end of the extra data is not read past it.
    const std::string cut = UnicodePathExtra(dos, unicode);
    EXPECT_EQ(DecodeZipName(dos, 0, cut.substr(0, cut.size() - 1)), "R\xC3\xB6M.SMC");
    // Flag bit 11: the stored name is UTF-8; one that is not is read as code page 437.
    EXPECT_EQ(DecodeZipName("gr\xC3\xBCn", 0x800, UnicodePathExtra("gr\xC3\xBCn", "other")),
              "gr\xC3\xBCn");
    EXPECT_EQ(DecodeZipName(dos, 0x800, ""), "R\xC3\xB6M.SMC");
}
