// orvello-arc extract end to end: the built program on fixtures, its lines and exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "Fixtures.h"

using namespace orvello::testing;

namespace {

struct ToolResult {
    int status = -1;
    std::string out, err;
};

std::string Quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

ToolResult Extract(const std::vector<std::string>& args) {
    TempDir io;
    std::string cmd = Quoted(std::string(ORVELLO_BUILD_DIR) + "/orvello-arc") + " extract";
    for (const auto& a : args)
        cmd += " " + Quoted(a);
    cmd += " >" + Quoted(io.Path() + "/out") + " 2>" + Quoted(io.Path() + "/err");
    ToolResult r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ostringstream out, err;
    out << std::ifstream(io.Path() + "/out").rdbuf();
    err << std::ifstream(io.Path() + "/err").rdbuf();
    r.out = out.str();
    r.err = err.str();
    return r;
}

}  // namespace

TEST(ExtractTool, PasswordsAreTriedInOrder) {
    TempDir out;
    const ToolResult r = Extract({FixturePath("zip", "CRYPT.ZIP"), out.Path(), "--password", "nope",
                                  "--password", "secret"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "ok\t" + out.Path() + "/README\nok\t" + out.Path() + "/NOISE.BIN\nok\t" +
                         out.Path() + "/PACMAN.6E\n");
}

TEST(ExtractTool, FailedMembersGiveCrcLinesErrorLinesAndStatusOne) {
    TempDir out;
    const ToolResult r = Extract({FixturePath("zip", "DEFL64.ZIP"), out.Path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "crc\t" + out.Path() + "/GAME.SMC\ncrc\t" + out.Path() + "/README\nok\t" +
                         out.Path() + "/NOTES.TXT\n");
    EXPECT_EQ(r.err, "error 25200: Unsupported compression method\t" + out.Path() +
                         "/GAME.SMC\nwarning 25117: File fails CRC check\t" + out.Path() +
                         "/GAME.SMC\nerror 25200: Unsupported compression method\t" + out.Path() +
                         "/README\nwarning 25117: File fails CRC check\t" + out.Path() +
                         "/README\n");
}

TEST(ExtractTool, SpecAndStoredFolders) {
    TempDir out;
    const ToolResult r =
        Extract({FixturePath("zip", "DIREXTRA.ZIP"), out.Path(), "*.txt", "--dirs"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "ok\t" + out.Path() + "/docs/Read Me First.txt\nok\t" + out.Path() + "/TOP.TXT\n");
    const ToolResult none = Extract({FixturePath("zip", "DIREXTRA.ZIP"), out.Path(), "*.nothing"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "error 26999: Nothing to do\t" + FixturePath("zip", "DIREXTRA.ZIP") + "\n");
}

TEST(ExtractTool, UsageErrorsAndMissingArchives) {
    EXPECT_EQ(Extract({}).status, 2);
    EXPECT_EQ(Extract({"only-one"}).status, 2);
    EXPECT_EQ(Extract({"a", "b", "c", "d"}).status, 2);
    EXPECT_EQ(Extract({"a", "b", "--frobnicate"}).status, 2);
    EXPECT_EQ(Extract({"a", "b", "--password"}).status, 2);
    TempDir out;
    const ToolResult r = Extract({out.Path() + "/missing.zip", out.Path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error 25132: File not found\t" + out.Path() + "/missing.zip\n");
}
