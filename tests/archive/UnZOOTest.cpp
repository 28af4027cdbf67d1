// The ZOO extractor: the chain walk, output paths and names, deleted entries, and broken or
// hostile archives.
#include <gtest/gtest.h>

#include <filesystem>

#include "ExtractEvents.h"
#include "Fixtures.h"
#include "LhaZooBuilder.h"
#include "archive/UnZOO.h"

using namespace orvello::archive;
using namespace orvello::testing;
namespace fs = std::filesystem;

namespace {

using Ends = std::vector<std::pair<std::string, bool>>;

// Errors raised out of Extract are kept as the code; they were reported through OnError too.
struct ZooRun {
    Events ev;
    int raised = 0;
};

ZooRun ExtractZoo(TUnZOO& x, const std::string& archive, const std::string& out) {
    ZooRun r;
    Hook(x, r.ev);
    x.SetArchiveFile(archive);
    x.SetExtractDir(out);
    try {
        x.Extract();
    } catch (const E_RAISE& e) {
        r.raised = e.Code();
    }
    return r;
}

}  // namespace

TEST(UnZOO, TheChainIsFollowedAndDeletedEntriesAreExtracted) {
    KeepFolder keep;
    TempDir src, out;
    auto gone = Zoo("GONE.BIN", Bytes("still here"));
    gone.deleted = true;
    TUnZOO x;
    const ZooRun r = ExtractZoo(
        x, src.Write("A.ZOO", BuildZoo({Zoo("A.BIN", Bytes("alpha")), gone, Zoo("EMPTY", {})})),
        out.Path());
    EXPECT_EQ(r.raised, 0);
    EXPECT_TRUE(r.ev.errors.empty()) << r.ev.errors[0].first;
    EXPECT_EQ(r.ev.ends, (Ends{{out.Path() + "/A.BIN", true},
                               {out.Path() + "/GONE.BIN", true},
                               {out.Path() + "/EMPTY", true}}));
    EXPECT_EQ(ReadBytes(out.Path() + "/GONE.BIN"), Bytes("still here"));
    EXPECT_EQ(r.ev.recNums, (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_EQ(r.ev.activate, 1);
    EXPECT_EQ(r.ev.deactivate, 1);
}

TEST(UnZOO, MembersAreWrittenUnderTheListedNameWithoutFolders) {
    KeepFolder keep;
    TempDir src, out;
    TUnZOO x;
    x.UseStoredDirs = true;  // ZOO never makes folders
    const std::string archive = src.Write(
        "L.ZOO",
        BuildZoo({Zoo("SuperfGa.sfc", Bytes("rom"), 0, "Super Game (USA).sfc", "roms/snes"),
                  Zoo("PACMAN.6F", Bytes("pac"), 0, "", "roms/arcade")}));
    const ZooRun r = ExtractZoo(x, archive, out.Path());
    EXPECT_TRUE(r.ev.errors.empty());
    EXPECT_EQ(ReadBytes(out.Path() + "/Super Game (USA).sfc"), Bytes("rom"));
    EXPECT_EQ(ReadBytes(out.Path() + "/PACMAN.6F"), Bytes("pac"));
    EXPECT_FALSE(fs::exists(out.Path() + "/roms"));
    EXPECT_FALSE(fs::exists(out.Path() + "/SuperfGa.sfc"));

    // FileSpec is matched against the same name.
    TempDir out2;
    TUnZOO y;
    y.SetFileSpec("super game (usa).sfc");
    const ZooRun r2 = ExtractZoo(y, archive, out2.Path());
    EXPECT_EQ(r2.ev.ends, (Ends{{out2.Path() + "/Super Game (USA).sfc", true}}));
}

TEST(UnZOO, ExtractDirEmptyMeansTheCurrentFolderAndAMissingOneFailsEachMember) {
    KeepFolder keep;
    TempDir src, out;
    const std::string archive =
        src.Write("A.ZOO", BuildZoo({Zoo("A.BIN", Bytes("a")), Zoo("B.BIN", Bytes("b"))}));
    TUnZOO x;
    x.SetExtractDir("");  // before the archive: stays empty
    Events ev;
    Hook(x, ev);
    x.SetArchiveFile(archive);
    fs::current_path(out.Path());
    x.Extract();
    EXPECT_EQ(ev.ends, (Ends{{"A.BIN", true}, {"B.BIN", true}}));
    EXPECT_EQ(ReadBytes(out.Path() + "/A.BIN"), Bytes("a"));

    TUnZOO y;
    const ZooRun r = ExtractZoo(y, archive, out.Path() + "/missing");
    EXPECT_EQ(r.ev.Count(errOpenFile), 2);
    EXPECT_FALSE(fs::exists(out.Path() + "/missing"));
}

TEST(UnZOOHostile, BrokenChainsAndHeadersEndTheCallWith25108) {
    KeepFolder keep;
    TempDir src;
    const std::vector<ZooMember> two{Zoo("A.BIN", Bytes("a")), Zoo("B.BIN", Bytes("b"))};
    // Back to the first entry: a loop. Past the end of the file. Onto bytes without the tag.
    for (const std::uint32_t link : {34u, 0x7FFFFFF0u, 40u + 51u}) {
        SCOPED_TRACE(link);
        TempDir out;
        TUnZOO x;
        const ZooRun r =
            ExtractZoo(x, src.Write("B.ZOO", BuildZoo(two, {std::nullopt, link})), out.Path());
        EXPECT_EQ(r.raised, errBadFileHeader);
        EXPECT_EQ(r.ev.deactivate, 1);
        EXPECT_LE(r.ev.ends.size(), 2u);
    }
    // The archive header's check of the first offset, and an archive header cut short.
    auto bad = BuildZoo(two);
    bad[28] ^= 1;
    TempDir out;
    TUnZOO x;
    EXPECT_EQ(ExtractZoo(x, src.Write("C.ZOO", bad), out.Path()).raised, errBadFileHeader);
    TUnZOO y;
    EXPECT_EQ(
        ExtractZoo(y, src.Write("D.ZOO", std::vector<std::uint8_t>(bad.begin(), bad.begin() + 30)),
                   out.Path())
            .raised,
        errReadFile);
}

TEST(UnZOOHostile, NamesSharedDataAndLyingSizes) {
    KeepFolder keep;
    TempDir src, out;
    auto shared = BuildZoo({Zoo("A.BIN", Bytes("aaaa")), Zoo("B.BIN", Bytes("bbbb")),
                            Zoo("..", Bytes("x"), 0, "../../ESCAPE"), Zoo("C.BIN", Bytes("cc"))});
    // B's data offset made A's: two entries sharing data are refused.
    const std::size_t b = 34 + 51 + 4;
    Put32(shared, b + 10, 34 + 51);
    TUnZOO x;
    const ZooRun r = ExtractZoo(x, src.Write("S.ZOO", shared), out.Path());
    EXPECT_EQ(r.raised, 0);
    EXPECT_EQ(r.ev.Count(errBadFileHeader), 1);
    EXPECT_EQ(r.ev.Count(errInvalidFileName), 1);
    EXPECT_FALSE(fs::exists(out.Path() + "/B.BIN"));
    EXPECT_EQ(ReadBytes(out.Path() + "/C.BIN"), Bytes("cc"));
    EXPECT_FALSE(fs::exists(fs::path(out.Path()).parent_path() / "ESCAPE"));

    // A recorded size beyond the data: what there is, reported, and no check.
    auto longer = BuildZoo({Zoo("A.BIN", Bytes("aaaa"))});
    Put32(longer, 34 + 20, 4000);
    TempDir out2;
    TUnZOO y;
    const ZooRun r2 = ExtractZoo(y, src.Write("L.ZOO", longer), out2.Path());
    EXPECT_TRUE(r2.ev.Has(errReadFile));
    EXPECT_FALSE(r2.ev.Has(errCRC));
    EXPECT_EQ(r2.ev.ends, (Ends{{out2.Path() + "/A.BIN", false}}));
}
