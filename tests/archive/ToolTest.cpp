// orvello-arc end to end: the built program run on fixtures, its output and exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "Fixtures.h"
#include "ToolRun.h"

using namespace orvello::testing;

namespace {

ToolRun Tool(const std::vector<std::string>& args) {
    return RunTool(args);
}

std::vector<std::string> Lines(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

}  // namespace

TEST(Tool, TypePrintsCodeNameAndStartOffset) {
    ToolRun r = Tool({"type", FixturePath("zip", "STORED.ZIP")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "22 atZIP 1\n");
    r = Tool({"type", FixturePath("sfx", "RESZIP.EXE")});
    EXPECT_EQ(r.out, "23 atZipExe 4097\n");
    r = Tool({"type", FixturePath("detect", "FIVE.BIN")});
    EXPECT_EQ(r.out, "2 atFileError 1\n");
    EXPECT_EQ(r.status, 0);
}

TEST(Tool, ListPrintsOneTabSeparatedLinePerMemberAndTheTotal) {
    const ToolRun r = Tool({"list", FixturePath("zip", "STORED.ZIP")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 5u);
    // Name, unpacked, packed, CRC, method, date and time (hour depends on the time zone).
    EXPECT_EQ(lines[0].substr(0, lines[0].rfind('\t')), "README\t3000\t3000\t8eb9ed03\tStored");
    const std::string date = lines[0].substr(lines[0].rfind('\t') + 1);
    EXPECT_EQ(date.size(), 19u);
    EXPECT_EQ(date[4], '-');
    EXPECT_EQ(date[13], ':');
    EXPECT_EQ(lines[4], "total\t4");

    const ToolRun spec = Tool({"list", FixturePath("zip", "STORED.ZIP"), "*.6e"});
    EXPECT_EQ(spec.status, 0);
    const auto specLines = Lines(spec.out);
    ASSERT_EQ(specLines.size(), 2u);
    EXPECT_EQ(specLines[0].substr(0, 10), "PACMAN.6E\t");
    EXPECT_EQ(specLines[1], "total\t1");
}

TEST(Tool, ErrorsAndWarningsGoToStandardErrorAndFailTheRun) {
    const std::string eocd = FixturePath("zip", "EOCDONLY.ZIP");
    ToolRun r = Tool({"list", eocd});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "total\t0\n");
    EXPECT_EQ(r.err, "error 25137: Header ID error\t" + eocd + "\n");

    const std::string missingVolume = FixturePath("arj", "MVMISS.A01");
    r = Tool({"list", FixturePath("arj", "MVMISS.ARJ")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Lines(r.err),
              (std::vector<std::string>{"warning 25903: Next volume in set\t" + missingVolume,
                                        "error 25132: File not found\t" + missingVolume}));

    r = Tool({"list", "/nonexistent/game.zip"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error 25132: File not found\t/nonexistent/game.zip\n");
    r = Tool({"type", FixturePath("tar", "ROMS.BIN")});
    EXPECT_EQ(r.out, "3 atUnknown 1\n");
    r = Tool({"list", FixturePath("tar", "ROMS.BIN")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("error 25202: Unknown file type"), std::string::npos);
}

// A RAR 5 archive is not listed as an empty one; an LHA archive whose first bytes read as
// GZip's is listed as LHA.
TEST(Tool, Rar5IsSaidAndAnLhaHeaderLikeGZipIsLha) {
    TempDir dir;
    const std::string rar5 = dir.Write(
        "NEW.RAR", {'R',  'a',  'r',  '!',  0x1A, 0x07, 0x01, 0x00, 0x33, 0x92, 0xB5, 0xE5,
                    0x0A, 0x01, 0x05, 0x06, 0x00, 0x05, 0x01, 0x01, 0x80, 0x80, 0x00});
    ToolRun r = Tool({"list", rar5});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error 25303: Unsupported archive version\t" + rar5 + "\n");

    const std::string lzh = dir.Write("GAME.LZH", LhaLevel0("GAME0.SMC", {'R', 'O', 'M'}, 0x8B));
    r = Tool({"type", lzh});
    EXPECT_EQ(r.out, "13 atLHA 1\n");
    r = Tool({"list", lzh});
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(Lines(r.out).size(), 2u);
    EXPECT_EQ(Lines(r.out)[0].substr(0, 12), "GAME0.SMC\t3\t");
}

TEST(Tool, UsageErrorsAndHelp) {
    EXPECT_EQ(Tool({}).status, 2);
    EXPECT_EQ(Tool({"frobnicate"}).status, 2);
    EXPECT_EQ(Tool({"list"}).status, 2);
    EXPECT_EQ(Tool({"type", "a", "b"}).status, 2);
    const ToolRun help = Tool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("orvello-arc type FILE"), std::string::npos);
    EXPECT_NE(help.out.find("orvello-arc list FILE [SPEC]"), std::string::npos);
}
