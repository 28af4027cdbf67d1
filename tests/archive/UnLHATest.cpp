// The LHA extractor: header levels, method ids, folder entries, the end of the archive,
// failures of one member, and hostile archives.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "ExtractEvents.h"
#include "Fixtures.h"
#include "LhaZooBuilder.h"
#include "archive/UnLHA.h"

using namespace orvello::archive;
using namespace orvello::testing;
namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> Pattern(std::size_t n, unsigned seed) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<std::uint8_t>(i * seed + (i >> 7));
    return v;
}

// Archive-level errors leave Extract; they have been reported through OnError already.
Events ExtractLha(const std::vector<std::uint8_t>& bytes, const std::string& out, TUnLHA& x,
                  const TempDir& src) {
    Events ev;
    Hook(x, ev);
    x.SetArchiveFile(src.Write("T.LZH", bytes));
    x.SetExtractDir(out);
    try {
        x.Extract();
    } catch (const E_RAISE&) {
    }
    return ev;
}

using Ends = std::vector<std::pair<std::string, bool>>;

}  // namespace

TEST(UnLHA, EveryHeaderLevelExtractsWithItsDate) {
    KeepFolder keep;
    TempDir src, out;
    const auto a = Pattern(5000, 3), b = Pattern(1, 5), c = Pattern(70000, 7);
    TUnLHA x;
    const Events ev = ExtractLha(
        BuildLha({Lha("A.BIN", a, 0), Lha("B.BIN", b, 1), Lha("C.BIN", c, 2), Lha("EMPTY", {}, 1)}),
        out.Path(), x, src);
    EXPECT_TRUE(ev.errors.empty()) << ev.errors[0].first;
    EXPECT_EQ(ev.ends, (Ends{{out.Path() + "/A.BIN", true},
                             {out.Path() + "/B.BIN", true},
                             {out.Path() + "/C.BIN", true},
                             {out.Path() + "/EMPTY", true}}));
    EXPECT_EQ(ReadBytes(out.Path() + "/A.BIN"), a);
    EXPECT_EQ(ReadBytes(out.Path() + "/C.BIN"), c);
    EXPECT_EQ(fs::file_size(out.Path() + "/EMPTY"), 0u);
    EXPECT_EQ(ev.recNums, (std::vector<std::int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(ev.activate, 1);
    EXPECT_EQ(ev.deactivate, 1);
    // Level 0 and 1 carry a DOS date-time, level 2 a Unix time.
    std::time_t dos;
    ASSERT_TRUE(DosDateTimeToUnix(0x20596000u, dos));
    struct stat st {};
    ASSERT_EQ(::stat((out.Path() + "/A.BIN").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, dos);
    ASSERT_EQ(::stat((out.Path() + "/C.BIN").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 820000000);
}

TEST(UnLHA, MethodIdsAreTakenWholeAndAFailedMemberKeepsRecNum) {
    KeepFolder keep;
    TempDir src, out;
    const auto good = Pattern(300, 11);
    TUnLHA x;
    const Events ev =
        ExtractLha(BuildLha({Lha("LZ5.BIN", good, 0, "-lz5-"), Lha("LH8.BIN", good, 0, "-lh8-"),
                             Lha("X.BIN", good, 0, "xlh0-"), Lha("OK.BIN", good)}),
                   out.Path(), x, src);
    // Each unknown method is refused under the member's name before any file is made, and
    // the walk goes on.
    EXPECT_EQ(ev.errors, (std::vector<std::pair<int, std::string>>{
                             {errUnsupportedMethod, out.Path() + "/LZ5.BIN"},
                             {errUnsupportedMethod, out.Path() + "/LH8.BIN"},
                             {errUnsupportedMethod, out.Path() + "/X.BIN"}}));
    for (const char* f : {"LZ5.BIN", "LH8.BIN", "X.BIN"})
        EXPECT_FALSE(fs::exists(out.Path() + "/" + f)) << f;
    EXPECT_EQ(ReadBytes(out.Path() + "/OK.BIN"), good);
    // RecNum counts members written without failure, plus 1.
    EXPECT_EQ(ev.recNums, (std::vector<std::int32_t>{1}));
    EXPECT_EQ(ev.written, (std::vector<bool>{true}));
    EXPECT_EQ(ev.ends, (Ends{{out.Path() + "/OK.BIN", true}}));
}

TEST(UnLHA, FoldersComeOnlyFromTheNameAndFolderEntriesAreSteppedOver) {
    KeepFolder keep;
    TempDir src, out;
    const auto rom = Pattern(1000, 13);
    TUnLHA x;
    x.UseStoredDirs = true;
    const Events ev = ExtractLha(
        BuildLha({Lha("roms", {}, 1, "-lhd-", "roms"),
                  Lha("GAME.SMC", rom, 1, "-lh0-", "roms\xFFsnes"),
                  Lha("LEVEL2.BIN", rom, 2, "-lh0-", "deep"), Lha("dos\\IN.TXT", rom, 0)}),
        out.Path(), x, src);
    EXPECT_TRUE(ev.errors.empty()) << ev.errors[0].first;
    // The folder in the extended headers is not used; the one in a name is.
    EXPECT_EQ(ReadBytes(out.Path() + "/GAME.SMC"), rom);
    EXPECT_EQ(ReadBytes(out.Path() + "/LEVEL2.BIN"), rom);
    EXPECT_EQ(ReadBytes(out.Path() + "/dos/IN.TXT"), rom);
    EXPECT_FALSE(fs::exists(out.Path() + "/roms"));
    EXPECT_FALSE(fs::exists(out.Path() + "/deep"));
    EXPECT_EQ(ev.ends.size(), 3u);  // the folder entry is no member
}

TEST(UnLHA, TheArchiveEndsAtItsEndMarkerOrItsLastByte) {
    KeepFolder keep;
    TempDir src;
    const std::vector<LhaMember> members{Lha("A", Pattern(100, 3)), Lha("B", Pattern(200, 5), 1)};
    for (const bool marker : {true, false}) {
        SCOPED_TRACE(marker);
        TempDir out;
        TUnLHA x;
        const Events ev = ExtractLha(BuildLha(members, marker), out.Path(), x, src);
        EXPECT_TRUE(ev.errors.empty());
        EXPECT_EQ(ev.ends.size(), 2u);
    }
    // Padding after the end marker is never read as a header.
    auto padded = BuildLha(members);
    padded.resize(padded.size() + 106, 0x5A);
    TempDir out;
    TUnLHA x;
    const Events ev = ExtractLha(padded, out.Path(), x, src);
    EXPECT_TRUE(ev.errors.empty());
    EXPECT_EQ(ev.ends.size(), 2u);
    // A header whose size cannot hold its fixed part ends the walk with a warning.
    auto shortHeader = BuildLha(members, false);
    const std::size_t second = LhaEntry(members[0]).size();
    shortHeader[second] = 21;
    TempDir out2;
    TUnLHA y;
    const Events ev2 = ExtractLha(shortHeader, out2.Path(), y, src);
    EXPECT_EQ(
        ev2.errors,
        (std::vector<std::pair<int, std::string>>{{errBadFileHeader, src.Path() + "/T.LZH"}}));
    EXPECT_EQ(ev2.ends.size(), 1u);
}

TEST(UnLHA, ArchiveLevelErrorsReachTheCallerAfterDeactivate) {
    KeepFolder keep;
    TempDir src, out;
    TUnLHA x;
    Events ev;
    Hook(x, ev);
    x.SetArchiveFile(src.Write("Z.ZOO", BuildZoo({Zoo("A", Bytes("a"))})));
    x.SetExtractDir(out.Path());
    try {
        x.Extract();
        ADD_FAILURE() << "nothing raised";
    } catch (const E_RAISE& e) {
        EXPECT_EQ(e.Code(), errArchiveType);
    }
    EXPECT_EQ(ev.deactivate, 1);
    EXPECT_EQ(ev.activate, 0);

    TUnLHA none;
    EXPECT_THROW(none.Extract(), E_RAISE);

    // A spec that matches nothing is reported, not raised.
    TUnLHA y;
    y.SetFileSpec("*.NONE");
    const Events ev2 = ExtractLha(BuildLha({Lha("A", Bytes("a"))}), out.Path(), y, src);
    EXPECT_TRUE(ev2.Has(errNothingToDo));
    EXPECT_TRUE(fs::is_empty(out.Path()));
}

TEST(UnLHA, RefusedOverwriteAndTheOrderOfTheQuestions) {
    KeepFolder keep;
    TempDir src, out;
    const std::string existing = out.Write("A", Bytes("keep"));
    TUnLHA x;
    std::vector<std::string> asked;
    Events ev;
    Hook(x, ev);
    x.OnFileExists = [&](TZipCommon&, const std::string& fn, bool& accept) {
        asked.push_back("exists " + fn);
        accept = false;
    };
    x.OnBegin = [&](TZipCommon&, const std::string& fn, std::int32_t, bool&) {
        asked.push_back("begin " + fn);
    };
    x.SetArchiveFile(src.Write("T.LZH", BuildLha({Lha("A", Bytes("new")), Lha("B", Bytes("b"))})));
    x.SetExtractDir(out.Path());
    x.Extract();
    EXPECT_EQ(asked,
              (std::vector<std::string>{"exists " + existing, "begin " + out.Path() + "/B"}));
    EXPECT_EQ(ReadBytes(existing), Bytes("keep"));
    EXPECT_EQ(ev.ends, (Ends{{out.Path() + "/B", true}}));
}

TEST(UnLHAHostile, NamesThatLeaveTheFolderAndLinksAreRefused) {
    KeepFolder keep;
    TempDir src, outside, out;
    const std::string victim = outside.Write("victim", Bytes("precious"));
    fs::create_symlink(victim, out.Path() + "/LINK");
    fs::create_directory(out.Path() + "/in");
    TUnLHA x;
    x.UseStoredDirs = true;
    const Events ev =
        ExtractLha(BuildLha({Lha("..\\ESCAPE", Bytes("x")), Lha("a/../../ESCAPE2", Bytes("x"), 2),
                             Lha("\\ROOTED", Bytes("rooted"))}),
                   out.Path() + "/in", x, src);
    EXPECT_EQ(ev.Count(errInvalidFileName), 2);
    EXPECT_FALSE(fs::exists(out.Path() + "/ESCAPE"));
    EXPECT_FALSE(fs::exists(out.Path() + "/ESCAPE2"));
    EXPECT_EQ(ReadBytes(out.Path() + "/in/ROOTED"), Bytes("rooted"));

    // A symbolic link at the output path is never written through.
    TUnLHA y;
    const Events ev2 =
        ExtractLha(BuildLha({Lha("LINK", Bytes("overwritten"))}), out.Path(), y, src);
    EXPECT_TRUE(ev2.Has(errLinkInPath));
    EXPECT_EQ(ReadBytes(victim), Bytes("precious"));
    EXPECT_TRUE(fs::is_symlink(out.Path() + "/LINK"));
}

TEST(UnLHAHostile, SizesThatLieAndTruncationAnywhere) {
    KeepFolder keep;
    TempDir src;
    const auto data = Pattern(4000, 17);
    // Recorded size smaller than the data: the file holds the recorded size, and is damaged.
    {
        TempDir out;
        TUnLHA x;
        const Events ev = ExtractLha(BuildLha({[&] {
                                         auto m = Lha("BIG", data);
                                         m.size = 1000;
                                         m.crc = 0;
                                         return m;
                                     }()}),
                                     out.Path(), x, src);
        EXPECT_EQ(fs::file_size(out.Path() + "/BIG"), 1000u);
        EXPECT_TRUE(ev.Has(errBadBlock));
        EXPECT_EQ(ev.ends, (Ends{{out.Path() + "/BIG", false}}));
    }
    // Packed size beyond the end of the file: the archive is damaged there, said under the
    // member's name, and nothing is written for it.
    {
        TempDir out;
        TUnLHA x;
        const Events ev = ExtractLha(BuildLha({[&] {
                                         auto m = Lha("A", data);
                                         m.packed = 0x7FFFFFF0;
                                         m.size = 8000;
                                         return m;
                                     }()}),
                                     out.Path(), x, src);
        EXPECT_EQ(ev.errors, (std::vector<std::pair<int, std::string>>{{errDamagedArchive, "A"}}));
        EXPECT_FALSE(fs::exists(out.Path() + "/A"));
        EXPECT_TRUE(ev.ends.empty());
    }
    // Cut at every byte: never more than the recorded sizes, never a file elsewhere.
    const auto whole = BuildLha(
        {Lha("A", Pattern(300, 3), 0), Lha("B", Pattern(200, 5), 1), Lha("C", Pattern(100, 7), 2)});
    TempDir out;
    for (std::size_t n = 0; n < whole.size(); ++n) {
        SCOPED_TRACE(n);
        MemoryFileSystem memory;
        memory.Add("/cut.lzh", std::span<const std::uint8_t>(whole.data(), n));
        TUnLHA x;
        x.Files = &memory;
        Events ev;
        Hook(x, ev);
        x.SetArchiveFile("/cut.lzh");
        x.SetExtractDir(out.Path());
        try {
            x.Extract();
        } catch (const E_RAISE& e) {
            EXPECT_EQ(e.Code(), errArchiveType);  // too short to be recognised
        }
        EXPECT_EQ(ev.deactivate, 1);
        std::uintmax_t total = 0;
        for (const auto& e : fs::directory_iterator(out.Path())) {
            EXPECT_TRUE(e.is_regular_file());
            total += e.file_size();
            fs::remove(e.path());
        }
        EXPECT_LE(total, 600u);
    }
}
