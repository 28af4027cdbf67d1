// The lister's events, errors and walk rules, on fixtures and on hand-built archives.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "Fixtures.h"
#include "LhaBuilder.h"
#include "ListerSupport.h"
#include "ZipBuilder.h"
#include "archive/NameCodec.h"
#include "archive/RarNames.h"

using namespace orvello::archive;
using namespace orvello::testing;

namespace {

Listing ListBytes(const std::vector<std::uint8_t>& bytes, const std::string& name,
                  const std::string& spec = "*.*") {
    MemoryFileSystem files;
    files.Add(name, bytes);
    TArcLister lister;
    lister.Files = &files;
    lister.SetFileSpec(spec);
    lister.SetArchiveFile(name);
    return RunLister(lister);
}

std::vector<std::string> Names(const Listing& l) {
    std::vector<std::string> out;
    for (const auto& m : l.members)
        out.push_back(m.name);
    return out;
}

// One ARC header with `method`, the name and `data` stored after it.
void AddArcMember(std::vector<std::uint8_t>& v, std::uint8_t method, const std::string& name,
                  const std::string& data) {
    const std::size_t at = v.size();
    v.resize(at + 29, 0);
    v[at] = 0x1A;
    v[at + 1] = method;
    PutText(v, at + 2, name);
    Put32(v, at + 15, static_cast<std::uint32_t>(data.size()));
    Put32(v, at + 25, static_cast<std::uint32_t>(data.size()));
    v.insert(v.end(), data.begin(), data.end());
}

}  // namespace

// ---- events and errors

TEST(Lister, EventsComeInOrderAroundEveryMember) {
    const Listing l = ListFile(FixturePath("zip", "EMPTYMEM.ZIP"));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.events,
              (std::vector<std::string>{"activate", "begin", "read", "end", "begin", "read", "end",
                                        "begin", "read", "end", "totals 3", "deactivate"}));
    EXPECT_LT(l.members[0].offset, l.members[1].offset);
}

TEST(Lister, RefusesWithoutOnReadOrWithoutAKnownType) {
    TArcLister lister;
    std::vector<int> errors;
    lister.OnError = [&](TZipCommon&, const std::string&, const std::string&, int code) {
        errors.push_back(code);
    };
    bool activated = false;
    lister.OnActivate = [&](TZipCommon&) { activated = true; };
    lister.SetArchiveFile(FixturePath("zip", "STORED.ZIP"));
    EXPECT_FALSE(lister.Activate());
    EXPECT_EQ(errors, std::vector<int>{errNoOnRead});
    EXPECT_FALSE(activated);

    EXPECT_EQ(ListFile(FixturePath("sfx", "RESZOO.EXE")).errors,
              std::vector<int>{errUnknownFileType});  // atNA
    EXPECT_EQ(ListFile(FixturePath("tar", "ROMS.BIN")).errors,
              std::vector<int>{errUnknownFileType});  // atUnknown
    const Listing fileError = ListFile(FixturePath("detect", "FIVE.BIN"));
    EXPECT_FALSE(fileError.ok);
    EXPECT_EQ(fileError.errors, std::vector<int>{errHeaderID});
    EXPECT_TRUE(fileError.events.empty());
}

TEST(Lister, DoesNothingWithoutAnArchiveOrWhileLoading) {
    TArcLister lister;
    EXPECT_TRUE(lister.Activate());  // no OnRead either: nothing is checked

    const std::string path = FixturePath("zip", "STORED.ZIP");
    TArcLister loading;
    loading.Loading = true;
    loading.SetArchiveFile(path);
    int reads = 0;
    loading.OnRead = [&](TZipCommon&, std::int64_t, std::int32_t) { ++reads; };
    EXPECT_TRUE(loading.Activate());
    EXPECT_EQ(reads, 0);
    loading.Loading = false;
    EXPECT_TRUE(loading.Activate());
    EXPECT_EQ(reads, 4);
}

TEST(Lister, ZipWithACommentAndNoMatchingMemberEndsWithBadHeader) {
    // The 30-byte comment lets the walk read the end record as a header; with no member
    // reported yet that is error 25108, and OnTotals does not fire.
    const Listing withComment = ListFile(FixturePath("zip", "COMMENT.ZIP"), "*.xyz");
    EXPECT_FALSE(withComment.ok);
    EXPECT_EQ(withComment.errors, std::vector<int>{errBadFileHeader});
    EXPECT_EQ(withComment.totals, -1);
    EXPECT_EQ(withComment.events, (std::vector<std::string>{"activate", "deactivate"}));

    const Listing without = ListFile(FixturePath("zip", "STORED.ZIP"), "*.xyz");
    EXPECT_TRUE(without.ok);
    EXPECT_EQ(without.totals, 0);
}

TEST(Lister, FileSpecSelectsMembers) {
    const Listing l = ListFile(FixturePath("arc", "MIXED.ARC"), "*.bin");
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(Names(l),
              (std::vector<std::string>{"NOISE.BIN", "NOP90.BIN", "PACK1.BIN", "PACK2.BIN"}));
    EXPECT_EQ(l.totals, 4);
    EXPECT_EQ(l.members[3].filenum, 4);
}

TEST(Lister, TotalsAndRatioOfTheReportedMembers) {
    TArcLister lister;
    lister.SetFileSpec("*.BIN");
    lister.SetArchiveFile(FixturePath("arc", "MIXED.ARC"));
    lister.OnRead = [](TZipCommon&, std::int64_t, std::int32_t) {};
    std::int64_t packed = -1, unpacked = -1;
    int ratio = -1, files = -1;
    lister.OnTotals = [&](TZipCommon&, std::int32_t n) {
        files = n;
        packed = lister.TotalPacked();
        unpacked = lister.TotalUnpacked();
        ratio = lister.Ratio;
    };
    ASSERT_TRUE(lister.Activate());
    EXPECT_EQ(files, 4);
    EXPECT_EQ(packed, 4096 + 144 + 2493 + 449);
    EXPECT_EQ(unpacked, 4096 + 2048 + 4000 + 700);
    EXPECT_EQ(ratio, CalcRatio(packed, unpacked));
    // Walk state and comments are released afterwards.
    EXPECT_EQ(lister.FileCount(), 0);
    EXPECT_EQ(lister.ArchiveComment, "");
}

TEST(Lister, CommentsAreThereDuringTheWalkOnly) {
    const Listing zip = ListFile(FixturePath("zip", "COMMENT.ZIP"));
    ASSERT_EQ(zip.members.size(), 2u);
    EXPECT_EQ(zip.members[1].archiveComment, "ROM SET 1997 - TEST COMMENT!!!");

    const Listing zoo = ListFile(FixturePath("zoo", "COMMENT.ZOO"));
    ASSERT_EQ(zoo.members.size(), 2u);
    EXPECT_EQ(zoo.members[0].comment, "File comment for PACMAN.6E\n");
    EXPECT_EQ(zoo.members[1].comment, "");
    EXPECT_EQ(zoo.members[0].archiveComment, "Archive comment, line one.\nLine two.\n");
}

// RAR file comments only where the comment flag says there is one.
TEST(Lister, RarFileCommentsOnlyWhereFlagged) {
    ORVELLO_SKIP_WITHOUT_COPIED_ARCHIVES();
    const Listing rar = ListFile(CopiedFixturePath("rar", "RAR15CMT.RAR"));
    ASSERT_EQ(rar.members.size(), 2u);
    EXPECT_EQ(rar.members[0].comment, "file1comment -----");
    const Listing solid =
        ListFile(CopiedFixturePath("rar", "SOLID3.RAR"));  // headers longer than 32 + name
    ASSERT_EQ(solid.members.size(), 2u);
    EXPECT_EQ(solid.members[0].comment, "");
}

// What the lister cannot read it says: RAR 5 is another format behind the same first six
// bytes, and a RAR whose headers are encrypted hides even the names.
TEST(Lister, Rar5AndEncryptedRarHeadersAreSaidNotListedAsEmpty) {
    const std::vector<std::uint8_t> rar5 = {'R',  'a',  'r',  '!',  0x1A, 0x07, 0x01, 0x00,
                                            0x33, 0x92, 0xB5, 0xE5, 0x0A, 0x01, 0x05, 0x06,
                                            0x00, 0x05, 0x01, 0x01, 0x80, 0x80, 0x00, 0x1D,
                                            0x77, 0x56, 0x51, 0x03, 0x05, 0x04, 0x00};
    const Listing l5 = ListBytes(rar5, "new.rar");
    EXPECT_FALSE(l5.ok);
    EXPECT_EQ(l5.errors, std::vector<int>{errUnsupportedVersion});
    EXPECT_TRUE(l5.members.empty());

    std::vector<std::uint8_t> locked = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
    const std::size_t main = locked.size();
    locked.resize(main + 13 + 16, 0);
    locked[main + 2] = 0x73;
    Put16(locked, main + 3, 0x0080);  // block headers encrypted
    Put16(locked, main + 5, 13);
    const Listing lk = ListBytes(locked, "locked.rar");
    EXPECT_FALSE(lk.ok);
    EXPECT_EQ(lk.errors, std::vector<int>{errUnsupportedEncryption});
}

// An exception that leaves a handler ends the listing at the component: reported, and
// OnDeactivate still fires.
TEST(Lister, HandlerExceptionsAreCaughtAndReported) {
    TArcLister lister;
    std::vector<int> errors;
    int deactivated = 0;
    lister.OnError = [&](TZipCommon&, const std::string&, const std::string&, int code) {
        errors.push_back(code);
    };
    lister.OnDeactivate = [&](TZipCommon&) { ++deactivated; };
    lister.OnRead = [](TZipCommon&, std::int64_t, std::int32_t) {
        throw std::runtime_error("handler");
    };
    lister.SetArchiveFile(FixturePath("zip", "STORED.ZIP"));
    bool ok = true;
    EXPECT_NO_THROW(ok = lister.Activate());
    EXPECT_FALSE(ok);
    EXPECT_EQ(errors, std::vector<int>{errEventHandler});
    EXPECT_EQ(deactivated, 1);
}

// ---- walk rules

TEST(Lister, ArcEndMarkerEndsTheListing) {
    std::vector<std::uint8_t> v;
    AddArcMember(v, 2, "ONE.BIN", "x");
    v.push_back(0x1A);
    v.push_back(0);  // end of archive
    AddArcMember(v, 2, "HIDDEN.BIN", "yy");
    v.resize(v.size() + 40, 0);
    const Listing l = ListBytes(v, "a.arc");
    EXPECT_TRUE(l.ok);
    EXPECT_EQ(Names(l), std::vector<std::string>{"ONE.BIN"});
}

TEST(Lister, ArcOldStoredHeadersAreFourBytesShorter) {
    std::vector<std::uint8_t> v;
    AddArcMember(v, 8, "FIRST.BIN", "abc");
    // Method 1: no uncompressed size; the data follows after 25 bytes.
    const std::size_t at = v.size();
    v.resize(at + 25, 0);
    v[at] = 0x1A;
    v[at + 1] = 1;
    PutText(v, at + 2, "OLD.BIN");
    Put32(v, at + 15, 2);
    v.push_back('o');
    v.push_back('k');
    AddArcMember(v, 2, "LAST.BIN", "z");
    v.resize(v.size() + 30, 0);
    const Listing l = ListBytes(v, "a.arc");
    EXPECT_EQ(Names(l), (std::vector<std::string>{"FIRST.BIN", "OLD.BIN", "LAST.BIN"}));
    EXPECT_EQ(l.members[1].size, 2);
}

TEST(Lister, EmptyTarNameEndsTheWalkEvenWithMoreDataAfter) {
    auto tar = ReadBytes(FixturePath("tar", "USTAR.TAR"));
    const Listing whole = ListBytes(tar, "a.tar");
    ASSERT_EQ(whole.members.size(), 5u);
    std::fill(tar.begin() + 3584, tar.begin() + 3584 + 100, 0);  // the second header's name
    const Listing cut = ListBytes(tar, "a.tar");
    EXPECT_TRUE(cut.ok);
    EXPECT_EQ(Names(cut), std::vector<std::string>{"README"});
}

TEST(Lister, ZooChainThatPointsBackwardsEndsTheWalk) {
    auto zoo = ReadBytes(FixturePath("zoo", "STORED.ZOO"));
    const Listing whole = ListBytes(zoo, "a.zoo");
    ASSERT_EQ(whole.members.size(), 5u);
    // Make the second entry name the first one as its successor.
    const auto second = static_cast<std::size_t>(whole.members[1].offset);
    Put32(zoo, second + 6, static_cast<std::uint32_t>(whole.members[0].offset));
    const Listing loop = ListBytes(zoo, "a.zoo");
    EXPECT_TRUE(loop.ok);
    EXPECT_EQ(loop.members.size(), 2u);
}

TEST(Lister, ZipSizesBeyond32BitsComeFromTheZip64Field) {
    auto zip = ReadBytes(FixturePath("zip", "STORED.ZIP"));
    const Listing plain = ListBytes(zip, "a.zip");
    ASSERT_EQ(plain.members.size(), 4u);
    // Rebuild the first central entry with sizes of all ones and a ZIP64 extra field.
    const auto at = static_cast<std::size_t>(plain.members[0].offset);
    const unsigned nameLength = zip[at + 28] | zip[at + 29] << 8;
    std::vector<std::uint8_t> extra;
    Put16(extra, 0, 1);
    Put16(extra, 2, 16);
    Put32(extra, 4, 5);  // uncompressed 0x2_00000005
    Put32(extra, 8, 2);
    Put32(extra, 12, 7);  // compressed 7
    Put32(extra, 16, 0);
    Put32(zip, at + 20, 0xFFFFFFFF);
    Put32(zip, at + 24, 0xFFFFFFFF);
    Put16(zip, at + 30, static_cast<unsigned>(extra.size()));
    zip.insert(zip.begin() + static_cast<std::ptrdiff_t>(at + 46 + nameLength), extra.begin(),
               extra.end());
    const Listing l = ListBytes(zip, "a.zip");
    ASSERT_EQ(l.members.size(), 4u);
    EXPECT_EQ(l.members[0].size, 0x200000005LL);
    EXPECT_EQ(l.members[0].packed, 7);
    EXPECT_EQ(l.members[1].name, plain.members[1].name);
}

TEST(Lister, Zip64ArchivesAreFoundThroughTheZip64EndRecord) {
    std::vector<std::uint8_t> rom(3000, 0x5A);
    const auto zip = BuildZip({Entry("GAME.SMC", rom), Entry("SUB/READ.ME", Text("hi"))}, "", true);
    const Listing l = ListBytes(zip, "a.zip");
    EXPECT_TRUE(l.ok);
    EXPECT_EQ(Names(l), (std::vector<std::string>{"GAME.SMC", "SUB/READ.ME"}));
    ASSERT_EQ(l.members.size(), 2u);
    EXPECT_EQ(l.members[0].size, 3000);
    EXPECT_EQ(l.members[0].packed, 3000);
    EXPECT_EQ(l.members[1].size, 2);
}

// ---- ARJ volumes

TEST(ListerArj, AVolumeBroughtWhileTheWarningIsShownIsUsed) {
    TempDir dir;
    for (const char* v : {"MULTIVOL.ARJ", "MULTIVOL.A02"}) {
        std::filesystem::copy_file(FixturePath("arj", v), dir.Path() + "/" + v);
    }
    TArcLister lister;
    lister.SetArchiveFile(dir.Path() + "/MULTIVOL.ARJ");
    std::vector<std::string> warnings;
    lister.OnError = [&](TZipCommon&, const std::string& fn, const std::string& volume, int code) {
        warnings.push_back(std::to_string(code) + " " + fn.substr(fn.size() - 12) + " " + volume);
        if (code == errNextVolume)
            std::filesystem::copy_file(FixturePath("arj", "MULTIVOL.A01"), fn);
    };
    std::vector<std::string> names;
    lister.OnRead = [&](TZipCommon&, std::int64_t, std::int32_t) {
        names.push_back(lister.FileName);
    };
    EXPECT_TRUE(lister.Activate());
    EXPECT_EQ(warnings, std::vector<std::string>{"25903 MULTIVOL.A01 1"});
    EXPECT_EQ(names, (std::vector<std::string>{"GAME.SMC", "README"}));
}

TEST(ListerArj, VolumeNamesFollowTheCaseOfTheExtension) {
    TempDir dir;
    std::filesystem::copy_file(FixturePath("arj", "MULTIVOL.ARJ"), dir.Path() + "/set.arj");
    std::filesystem::copy_file(FixturePath("arj", "MULTIVOL.A01"), dir.Path() + "/set.a01");
    std::filesystem::copy_file(FixturePath("arj", "MULTIVOL.A02"), dir.Path() + "/set.a02");
    const Listing l = ListFile(dir.Path() + "/set.arj");
    EXPECT_TRUE(l.ok);
    ASSERT_EQ(l.members.size(), 2u);
    EXPECT_EQ(l.members[0].packed, 49440);
    EXPECT_EQ(l.members[0].size, 131584);
}

TEST(ListerArj, UnixHostsStoreUnixTimes) {
    // METHOD1.ARJ was made on Unix, DOSMODE.ARJ in the DOS form; both from files dated
    // 1996-03-15 12:00:00 UTC.
    setenv("TZ", "UTC", 1);
    tzset();
    const Listing unix = ListFile(FixturePath("arj", "METHOD1.ARJ"));
    ASSERT_FALSE(unix.members.empty());
    EXPECT_EQ(FormatDateTime(unix.members[0].dateTime), "1996-03-15 12:00:00");
    unsetenv("TZ");
    tzset();
}

// ---- RAR names

TEST(RarNames, UnicodeRunsCopyAndCorrectTheCodePageName) {
    // High byte 0x04; flags 0b11'01'00'10: a corrected run, one byte with the high byte, one
    // plain byte, then two bytes.
    const std::string codePage = "\x10\x11\x12";
    const std::string packed = std::string(
                                   "\x04\xD2\x80\x20\x30"
                                   "A") +
                               std::string("\x41\x00", 2);
    // Corrected run: (0x80 & 0x7F) + 2 = 2 characters: (0x10 + 0x20) | 0x0400, (0x11 + 0x20) |
    // 0x0400.
    const std::u16string got = DecodeRarUnicode(codePage, packed);
    EXPECT_EQ(got, (std::u16string{u'\u0430', u'\u0431', u'\u0430', u'A', u'A'}));
    EXPECT_EQ(RarFileName("plain"), "plain");
    EXPECT_EQ(RarFileName(std::string("oem\0", 4)), "oem");  // no Unicode part: the code-page name
    // Truncated data never reads past the end.
    for (std::size_t n = 0; n <= packed.size(); ++n)
        (void)DecodeRarUnicode(codePage, packed.substr(0, n));
    EXPECT_EQ(Utf16ToUtf8(u"\xD835\xDC00x\xD800"), "\xF0\x9D\x90\x80x\xEF\xBF\xBD");
}

// ---- member names

TEST(ListerNames, LhaShiftJisNamesKeepTheirSecondByteBackslash) {
    std::vector<std::uint8_t> v;
    AddLhaLevel0(v, "\x95\x5C.SMC", "hyou");                 // "表.SMC"
    AddLhaLevel0(v, "ROMS\\\x83\x5C\x83\x6E.SMC", "sonic");  // "ROMS\ソハ.SMC"
    AddLhaLevel0(v, "R\x94.SMC", "dos");         // 0x94 before "." is no Shift-JIS: code page 437
    AddLhaLevel0(v, "gr\xC3\xBCn.smc", "utf8");  // valid UTF-8 stays
    v.push_back(0);
    const Listing l = ListBytes(v, "names.lzh");
    ASSERT_TRUE(l.ok);
    if (!Cp932ToUtf8("A")) GTEST_SKIP() << "the C library's iconv has no CP932 converter";
    EXPECT_EQ(Names(l),
              (std::vector<std::string>{"\xE8\xA1\xA8.SMC", "ROMS/\xE3\x82\xBD\xE3\x83\x8F.SMC",
                                        "R\xC3\xB6.SMC", "gr\xC3\xBCn.smc"}));
    // FileSpec is matched against the decoded name, a character at a time.
    EXPECT_EQ(Names(ListBytes(v, "names.lzh", "\xE8\xA1\xA8.smc")),
              std::vector<std::string>{"\xE8\xA1\xA8.SMC"});
    EXPECT_EQ(Names(ListBytes(v, "names.lzh", "??.SMC")),
              (std::vector<std::string>{"ROMS/\xE3\x82\xBD\xE3\x83\x8F.SMC", "R\xC3\xB6.SMC"}));
}

TEST(ListerNames, DosNamesOfArcAndZipAreCodePage437UnlessUnicodeIsMarked) {
    std::vector<std::uint8_t> arc;
    AddArcMember(arc, 2, "R\x94M.SMC", "x");
    arc.push_back(0x1A);
    arc.push_back(0);
    EXPECT_EQ(Names(ListBytes(arc, "a.arc")), std::vector<std::string>{"R\xC3\xB6M.SMC"});
    EXPECT_EQ(Names(ListBytes(arc, "a.arc", "R?M.*")), std::vector<std::string>{"R\xC3\xB6M.SMC"});

    ZipEntry matching = Entry("DOS\\R\x94M.SMC", Text("a"));
    matching.extra = UnicodePathExtra(matching.name, "uni/R\xC3\xA4M.SMC");
    ZipEntry stale = Entry("R\x8EM.SMC", Text("b"));  // renamed after the field was written
    stale.extra = UnicodePathExtra("R\x94M.SMC", "R\xC3\xA4M.SMC");
    ZipEntry flagged = Entry("gr\xC3\xBCn.smc", Text("c"));
    flagged.flags = 0x800;
    const Listing zip = ListBytes(BuildZip({matching, stale, flagged}), "a.zip");
    EXPECT_EQ(Names(zip), (std::vector<std::string>{"uni/R\xC3\xA4M.SMC", "R\xC3\x84M.SMC",
                                                    "gr\xC3\xBCn.smc"}));
}
