// Every member that is not written whole is refused aloud: an error for that member through
// OnError, and from orvello-arc an error line naming it and exit status 1. Names that climb
// out or reduce to nothing, header sizes that lie, archives that end inside a header or a
// member's data, and methods without a decoder, format by format.
#include <gtest/gtest.h>

#include <filesystem>

#include "ArjArcBuilder.h"
#include "ExtractEvents.h"
#include "Fixtures.h"
#include "LhaZooBuilder.h"
#include "ListerSupport.h"
#include "ToolRun.h"
#include "ZipBuilder.h"
#include "archive/ArcGlobals.h"
#include "archive/Extractors.h"

using namespace orvello::archive;
using namespace orvello::testing;
namespace fs = std::filesystem;

namespace {

using Errors = std::vector<std::pair<int, std::string>>;

struct Outcome {
    Errors errors;                   // through the library
    std::vector<std::string> files;  // what the library wrote
    ToolRun tool;                    // orvello-arc extract on the same archive
    std::vector<std::string> toolFiles;
};

void ReplaceAll(std::string& s, const std::string& from, const std::string& to) {
    for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

// Extracts `bytes` (saved as `name`) through the library and through orvello-arc, each into
// a folder of its own. In what they report, an output path is given relative to its folder and
// the archive's path is "ARCHIVE".
// Extracts `archive` into `out` through the extractor its detected type calls for.
Events ExtractWithLibrary(const std::string& archive, const std::string& out) {
    Events ev;
    TZipCommon probe;
    probe.SetArchiveFile(archive);
    auto x = MakeExtractor(probe.ArcType());
    EXPECT_TRUE(x) << archive;
    if (!x) return ev;
    Hook(*x, ev);
    x->SetArchiveFile(archive);
    x->SetExtractDir(out);
    try {
        x->Extract();
    } catch (const E_RAISE&) {
    }
    return ev;
}

Outcome ExtractBoth(const std::vector<std::uint8_t>& bytes, const std::string& name) {
    TempDir src, out, toolOut;
    const std::string archive = src.Write(name, bytes);
    Outcome o;
    o.errors = ExtractWithLibrary(archive, out.Path()).errors;
    for (auto& e : o.errors) {
        ReplaceAll(e.second, out.Path() + "/", "");
        ReplaceAll(e.second, archive, "ARCHIVE");
    }
    o.files = FilesBelow(out.Path());
    o.tool = RunTool({"extract", archive, toolOut.Path()});
    ReplaceAll(o.tool.err, toolOut.Path() + "/", "");
    ReplaceAll(o.tool.err, archive, "ARCHIVE");
    o.toolFiles = FilesBelow(toolOut.Path());
    return o;
}

// The tool's line for an error with `code` about `fn`.
std::string ErrorLine(int code, const std::string& fn) {
    return "error " + std::to_string(code) + ": " + std::string(ErrorText(code)) + "\t" + fn;
}

void ExpectRefused(const Outcome& o, int code, const std::string& fn,
                   const std::vector<std::string>& written) {
    EXPECT_EQ(o.errors, (Errors{{code, fn}}));
    EXPECT_EQ(o.files, written);
    EXPECT_EQ(o.tool.status, 1) << o.tool.err;
    EXPECT_NE(o.tool.err.find(ErrorLine(code, fn)), std::string::npos) << o.tool.err;
    EXPECT_EQ(o.toolFiles, written);
}

}  // namespace

TEST(RefusalsLha, NamesThatClimbOutOrReduceToNothing) {
    const auto ok = Lha("OK.BIN", Text("fine"));
    // The folder of an extended header is part of the name as listed.
    ExpectRefused(
        ExtractBoth(BuildLha({Lha("GAME.SMC", Text("x"), 2, "-lh0-", ".."), ok}), "UP.LZH"),
        errInvalidFileName, "../GAME.SMC", {"OK.BIN"});
    ExpectRefused(
        ExtractBoth(BuildLha({Lha("GAME.SMC", Text("x"), 1, "-lh0-", "a\xFF..\xFF.."), ok}),
                    "UP1.LZH"),
        errInvalidFileName, "a/../../GAME.SMC", {"OK.BIN"});
    for (int level : {0, 2}) {
        SCOPED_TRACE(level);
        ExpectRefused(ExtractBoth(BuildLha({Lha(".", Text("x"), level), ok}), "DOT.LZH"),
                      errInvalidFileName, ".", {"OK.BIN"});
        ExpectRefused(ExtractBoth(BuildLha({Lha("sub\\", Text("x"), level), ok}), "SLASH.LZH"),
                      errInvalidFileName, "sub/", {"OK.BIN"});
    }
}

TEST(RefusalsLha, HeaderSizesThatLie) {
    const auto ok = Lha("OK.BIN", Text("fine"));
    // Level 2: the name's extended header gives the next one a size past the header's end.
    {
        auto a = BuildLha({Lha("LIAR.BIN", Text("data"), 2), ok});
        Put16(a, 26 + 1 + 8, 0x4000);
        ExpectRefused(ExtractBoth(a, "EXT2.LZH"), errBadFileHeader, "LIAR.BIN", {});
    }
    // Level 2: a next size too small to hold a header.
    {
        auto a = BuildLha({Lha("LIAR.BIN", Text("data"), 2), ok});
        Put16(a, 26 + 1 + 8, 2);
        ExpectRefused(ExtractBoth(a, "EXT2S.LZH"), errBadFileHeader, "LIAR.BIN", {});
    }
    // Level 1: the first extended header reaches past the member's packed size.
    {
        auto a = BuildLha({Lha("LIAR.BIN", Text("data"), 1, "-lh0-", "dir"), ok});
        const std::size_t n = std::string("LIAR.BIN").size();
        Put16(a, 25 + n, 200);
        a[1] = 0;  // the header checksum is not checked
        ExpectRefused(ExtractBoth(a, "EXT1.LZH"), errBadFileHeader, "LIAR.BIN", {});
    }
    // Level 0: a header size that cannot hold the name.
    {
        auto a = BuildLha({ok, Lha("LIAR.BIN", Text("data"))});
        a[LhaEntry(ok).size()] = 23;
        ExpectRefused(ExtractBoth(a, "SHORT.LZH"), errBadFileHeader, "ARCHIVE", {"OK.BIN"});
    }
}

TEST(RefusalsLha, AnArchiveCutInsideAHeaderOrAMembersData) {
    const auto first = Lha("FIRST.BIN", Text(std::string(300, 'a')));
    const auto second = Lha("SECOND.BIN", Text(std::string(300, 'b')), 1);
    const auto whole = BuildLha({first, second});
    const std::size_t firstSize = LhaEntry(first).size();
    // Inside the second member's data: the first comes out, the second is named.
    {
        const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + firstSize + 60);
        ExpectRefused(ExtractBoth(cut, "DATA.LZH"), errDamagedArchive, "SECOND.BIN", {"FIRST.BIN"});
    }
    // Inside the second header, before its name: the archive is named.
    {
        const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + firstSize + 12);
        ExpectRefused(ExtractBoth(cut, "HEAD.LZH"), errDamagedArchive, "ARCHIVE", {"FIRST.BIN"});
    }
}

TEST(RefusalsLha, AMethodWithoutADecoderMakesNoFile) {
    ExpectRefused(
        ExtractBoth(BuildLha({Lha("NEW.BIN", Text("x"), 0, "-lh9-"), Lha("OK.BIN", Text("fine"))}),
                    "METHOD.LZH"),
        errUnsupportedMethod, "NEW.BIN", {"OK.BIN"});
}

TEST(RefusalsArcArj, NamesThatClimbOut) {
    const ArcMember arcOk{"OK.BIN", TextBytes("fine")};
    ExpectRefused(ExtractBoth(BuildArc({{"..\\UP.BIN", TextBytes("x")}, arcOk}), "UP.ARC"),
                  errInvalidFileName, "../UP.BIN", {"OK.BIN"});
    ExpectRefused(ExtractBoth(BuildArc({{".", TextBytes("x")}, arcOk}), "DOT.ARC"),
                  errInvalidFileName, ".", {"OK.BIN"});
    ArjMember up, ok;
    up.name = "../UP.BIN";
    up.data = TextBytes("x");
    ok.name = "OK.BIN";
    ok.data = TextBytes("fine");
    ExpectRefused(ExtractBoth(BuildArj({up, ok}), "UP.ARJ"), errInvalidFileName, "../UP.BIN",
                  {"OK.BIN"});
}

TEST(RefusalsArcArj, AnArchiveCutInsideAHeaderOrAMembersData) {
    const ArcMember first{"FIRST.BIN", ByteVec(300, 'a')}, second{"SECOND.BIN", ByteVec(300, 'b')};
    const auto arc = BuildArc({first, second});
    ExpectRefused(ExtractBoth(ByteVec(arc.begin(), arc.begin() + 29 + 300 + 29 + 50), "DATA.ARC"),
                  errDamagedArchive, "SECOND.BIN", {"FIRST.BIN"});
    ExpectRefused(ExtractBoth(ByteVec(arc.begin(), arc.begin() + 29 + 300 + 10), "HEAD.ARC"),
                  errDamagedArchive, "ARCHIVE", {"FIRST.BIN"});

    ArjMember a, b;
    a.name = "FIRST.BIN";
    a.data = ByteVec(300, 'a');
    b.name = "SECOND.BIN";
    b.data = ByteVec(300, 'b');
    const auto arj = BuildArj({a, b});
    const std::size_t secondData = arj.size() - 4 - 300;
    ExpectRefused(ExtractBoth(ByteVec(arj.begin(), arj.begin() + secondData + 50), "DATA.ARJ"),
                  errDamagedArchive, "SECOND.BIN", {"FIRST.BIN"});
    const std::size_t secondHeader = secondData - ArjHeader(b, false).size();
    ExpectRefused(ExtractBoth(ByteVec(arj.begin(), arj.begin() + secondHeader + 20), "HEAD.ARJ"),
                  errDamagedArchive, "ARCHIVE", {"FIRST.BIN"});
}

TEST(RefusalsArcArj, HeaderSizesThatLieAndMethodsWithoutDecoder) {
    ArjMember a, b;
    a.name = "FIRST.BIN";
    a.data = TextBytes("first");
    b.name = "LIAR.BIN";
    b.data = TextBytes("x");
    auto arj = BuildArj({a, b});
    const std::size_t liar = arj.size() - 4 - 1 - ArjHeader(b, false).size();
    Put16(arj, liar + 2, 3000);  // larger than any basic header
    ExpectRefused(ExtractBoth(arj, "SIZE.ARJ"), errBadFileHeader, "ARCHIVE", {"FIRST.BIN"});

    ExpectRefused(
        ExtractBoth(BuildArc({{"OK.BIN", TextBytes("ok")}, {"NEW.BIN", TextBytes("x"), 12}}),
                    "METHOD.ARC"),
        errUnsupportedMethod, "NEW.BIN", {"OK.BIN"});
}

TEST(RefusalsZoo, NamesMethodsAndCuts) {
    const auto ok = Zoo("OK.BIN", Text("fine"));
    ExpectRefused(ExtractBoth(BuildZoo({Zoo("UP.BIN", Text("x"), 0, "..\\UP.BIN"), ok}), "UP.ZOO"),
                  errInvalidFileName, "../UP.BIN", {"OK.BIN"});
    ExpectRefused(ExtractBoth(BuildZoo({Zoo("NEW.BIN", Text("x"), 7), ok}), "METHOD.ZOO"),
                  errUnsupportedMethod, "NEW.BIN", {"OK.BIN"});
    const auto whole = BuildZoo({Zoo("FIRST.BIN", Text(std::string(300, 'a'))),
                                 Zoo("SECOND.BIN", Text(std::string(300, 'b')))});
    const std::size_t cut = whole.size() - 51 - 250;  // inside the second member's data
    ExpectRefused(
        ExtractBoth({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)}, "DATA.ZOO"),
        errDamagedArchive, "SECOND.BIN", {"FIRST.BIN"});
}

// A RAR archive whose main header is damaged is said to be, not listed as an empty one.
TEST(RefusalsRar, ADamagedMainHeaderIsAnError) {
    std::vector<std::uint8_t> rar = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
    const std::size_t main = rar.size();
    rar.resize(main + 13, 0);
    rar[main + 2] = 0x73;
    Put16(rar, main + 5, 13);
    Put16(rar, main, Crc32(std::span(rar.data() + main + 2, 11)) & 0xFFFFu);
    rar.insert(rar.end(), {0xC4, 0x3D, 0x7B, 0x00, 0x40, 0x07, 0x00});  // the end block
    TempDir dir;
    const Listing good = ListFile(dir.Write("good.rar", rar));
    EXPECT_TRUE(good.ok);
    EXPECT_TRUE(good.errors.empty());

    auto badCrc = rar;
    badCrc[main + 10] ^= 1;
    auto badType = rar;
    badType[main + 2] = 0x74;
    auto cut = rar;
    cut.resize(main + 9);
    for (const auto& [bytes, code] : std::vector<std::pair<std::vector<std::uint8_t>, int>>{
             {badCrc, errHeaderCRC}, {badType, errBadFileHeader}, {cut, errBadFileHeader}}) {
        SCOPED_TRACE(code);
        const std::string path = dir.Write("bad.rar", bytes);
        const Listing l = ListFile(path);
        EXPECT_FALSE(l.ok);
        EXPECT_EQ(l.errors, std::vector<int>{code});
        const ToolRun r = RunTool({"list", path});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(ErrorLine(code, path)), std::string::npos) << r.err;
    }
}

// A member whose data gives less than its recorded size is not written whole: its error
// line says so, and orvello-arc prints no "ok" or "crc" line that would take it for written.
TEST(Refusals, AMemberNotWrittenWholeIsNeverReportedWritten) {
    const std::string shortData(100, 'x');
    auto lha = Lha("SHORT.BIN", Text(shortData));
    lha.size = 500;
    auto arj = ArjMember{};
    arj.name = "SHORT.BIN";
    arj.data = TextBytes(shortData);
    arj.size = 500;
    ArcMember arc{"SHORT.BIN", TextBytes(shortData)};
    arc.size = 500;
    ZipEntry zip = Entry("SHORT.BIN", TextBytes(shortData));
    zip.size = 500;
    const std::vector<std::pair<std::string, ByteVec>> archives = {
        {"SHORT.LZH", BuildLha({lha})},
        {"SHORT.ARJ", BuildArj({arj})},
        {"SHORT.ARC", BuildArc({arc})},
        {"SHORT.ZIP", BuildZip({zip})},
    };
    for (const auto& [name, bytes] : archives) {
        SCOPED_TRACE(name);
        TempDir src, out, toolOut;
        const std::string archive = src.Write(name, bytes);
        const Events ev = ExtractWithLibrary(archive, out.Path());
        EXPECT_TRUE(ev.Has(errReadFile));
        for (const bool written : ev.written)
            EXPECT_FALSE(written);
        const ToolRun r = RunTool({"extract", archive, toolOut.Path()});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(ErrorLine(errReadFile, toolOut.Path() + "/SHORT.BIN")),
                  std::string::npos)
            << r.err;
    }
}

// A symbolic link where a member's file would go is never written through, in any format: the
// member is refused as passing through a link, and the members after it still come out.
TEST(Refusals, ALinkInAMembersPlaceIsNeverWrittenThrough) {
    ArjMember arjVictim, arjAfter;
    arjVictim.name = "VICTIM.BIN";
    arjVictim.data = TextBytes("overwritten");
    arjAfter.name = "AFTER.BIN";
    arjAfter.data = TextBytes("after");
    const std::vector<std::pair<std::string, ByteVec>> archives = {
        {"L.LZH",
         BuildLha({Lha("VICTIM.BIN", Text("overwritten")), Lha("AFTER.BIN", Text("after"))})},
        {"L.ARJ", BuildArj({arjVictim, arjAfter})},
        {"L.ARC",
         BuildArc({{"VICTIM.BIN", TextBytes("overwritten")}, {"AFTER.BIN", TextBytes("after")}})},
        {"L.ZOO",
         BuildZoo({Zoo("VICTIM.BIN", Text("overwritten")), Zoo("AFTER.BIN", Text("after"))})},
        {"L.ZIP",
         BuildZip({Entry("VICTIM.BIN", Text("overwritten")), Entry("AFTER.BIN", Text("after"))})},
    };
    for (const auto& [name, bytes] : archives) {
        SCOPED_TRACE(name);
        TempDir src, outside, out, toolOut;
        const std::string archive = src.Write(name, bytes);
        const std::string victim = outside.Write("victim", Text("precious"));
        for (const std::string& folder : {out.Path(), toolOut.Path()})
            fs::create_symlink(victim, folder + "/VICTIM.BIN");
        const Events ev = ExtractWithLibrary(archive, out.Path());
        // ARC also warns that the member was skipped; nothing else is said.
        ASSERT_FALSE(ev.errors.empty());
        EXPECT_EQ(ev.errors[0], std::make_pair(int{errLinkInPath}, out.Path() + "/VICTIM.BIN"));
        for (const auto& [code, path] : ev.errors)
            EXPECT_TRUE(code == errLinkInPath || code == errSkippedFile) << code << " " << path;
        EXPECT_EQ(ReadBytes(out.Path() + "/AFTER.BIN"), Text("after"));

        const ToolRun r = RunTool({"extract", archive, toolOut.Path()});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(ErrorLine(errLinkInPath, toolOut.Path() + "/VICTIM.BIN")),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(ReadBytes(toolOut.Path() + "/AFTER.BIN"), Text("after"));
        EXPECT_EQ(ReadBytes(victim), Text("precious"));
        EXPECT_TRUE(fs::is_symlink(out.Path() + "/VICTIM.BIN"));
    }
}
