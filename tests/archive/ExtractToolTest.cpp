// orvello-arc extract end to end: the built program on fixtures, its lines and exit status.
#include <gtest/gtest.h>

#include <filesystem>

#include "Fixtures.h"
#include "ToolRun.h"
#include "ZipBuilder.h"

using namespace orvello::testing;

namespace {

using ToolResult = ToolRun;

ToolResult Extract(std::vector<std::string> args) {
    args.insert(args.begin(), "extract");
    return RunTool(args);
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

// A method we do not decode: one error line each, no CRC warning and no "crc" line for what
// was never decoded, and the member after them still written.
TEST(ExtractTool, UndecodedMembersGiveOneErrorLineAndStatusOne) {
    TempDir out;
    const ToolResult r = Extract({FixturePath("zip", "DEFL64.ZIP"), out.Path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ok\t" + out.Path() + "/NOTES.TXT\n");
    EXPECT_EQ(r.err, "error 25200: Unsupported compression method\t" + out.Path() +
                         "/GAME.SMC\nerror 25200: Unsupported compression method\t" + out.Path() +
                         "/README\n");
}

TEST(ExtractTool, BadCheckValuesGiveCrcLinesAndStatusOne) {
    TempDir out;
    const ToolResult r = Extract({FixturePath("zip", "BADCRC.ZIP"), out.Path(), "PACMAN.6E"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "crc\t" + out.Path() + "/PACMAN.6E\n");
    EXPECT_EQ(r.err, "warning 25117: File fails CRC check\t" + out.Path() + "/PACMAN.6E\n");
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

TEST(ExtractTool, LhaSelfExtractorsAndZooArchivesGiveTheSameLinesAndStatuses) {
    TempDir out;
    const ToolResult lha = Extract({FixturePath("sfx", "RESLHA.EXE"), out.Path()});
    EXPECT_EQ(lha.status, 0);
    EXPECT_EQ(lha.err, "");
    EXPECT_EQ(lha.out, "ok\t" + out.Path() + "/README\nok\t" + out.Path() + "/PACMAN.6E\nok\t" +
                           out.Path() + "/NOP90.BIN\n");
    const ToolResult zoo = Extract({FixturePath("zoo", "DELETED.ZOO"), out.Path(), "R*"});
    EXPECT_EQ(zoo.status, 0);
    EXPECT_EQ(zoo.out, "ok\t" + out.Path() + "/README\n");

    // A chain that leads back is an error of the archive, after what came before it.
    auto looped = ReadBytes(FixturePath("zoo", "STORED.ZOO"));
    const std::uint32_t first = looped[24] | looped[25] << 8;
    const std::uint32_t second = looped[first + 6] | looped[first + 7] << 8;
    Put32(looped, second + 6, first);
    const std::string archive = out.Write("LOOP.ZOO", looped);
    TempDir out2;
    const ToolResult loop = Extract({archive, out2.Path()});
    EXPECT_EQ(loop.status, 1);
    EXPECT_EQ(loop.out, "ok\t" + out2.Path() + "/EMPTY.DAT\nok\t" + out2.Path() + "/NOTES.TXT\n");
    EXPECT_EQ(loop.err, "error 25108: Bad file header\t" + archive + "\n");

    // A type without an extractor.
    std::vector<std::uint8_t> cab(64);
    PutText(cab, 0, "MSCF");
    const std::string cabinet = out.Write("GAME.CAB", cab);
    const ToolResult other = Extract({cabinet, out2.Path()});
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.err, "error 25138: Invalid or unsupported archive type for this operation\t" +
                             cabinet + "\n");
}

// A folder below DIR that is a link to somewhere else carries nothing out of DIR: the member
// is refused with an error line and the others are written.
TEST(ExtractTool, StoredFoldersNeverPassThroughALink) {
    TempDir elsewhere, src, out;
    const std::string archive = src.Write(
        "K.ZIP", BuildZip({Entry("linkdir/evil.txt", Text("evil")), Entry("good.txt", Text("g"))}));
    std::filesystem::create_symlink(elsewhere.Path(), out.Path() + "/linkdir");
    const ToolResult r = Extract({archive, out.Path(), "--dirs"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ok\t" + out.Path() + "/good.txt\n");
    EXPECT_EQ(r.err, "error 25141: Output path passes through a symbolic link\tlinkdir/evil.txt\n");
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.Path()));
}

// Damaged or refused members: each gets an error line naming it, the others are written, and
// the exit status is 1.
TEST(ExtractTool, DamagedMembersAreNeverPassedOverInSilence) {
    TempDir src;
    {
        const std::string archive = src.Write(
            "E.ZIP",
            BuildZip({Entry("", Text("x")), Entry("/", Text("y")), Entry("A.TXT", Text("a"))}));
        TempDir out;
        const ToolResult r = Extract({archive, out.Path(), "--dirs"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "ok\t" + out.Path() + "/A.TXT\n");
        EXPECT_EQ(r.err, "error 25139: Invalid file name\t" + archive +
                             " (entry 1)\nerror 25139: Invalid file name\t/\n");
    }
    {
        // A recorded size far beyond what the data gives (all ones, no ZIP64 field).
        ZipEntry stored = Entry("BIG.BIN", std::vector<std::uint8_t>(5000, 'z'));
        stored.size = 0xFFFFFFFF;
        const std::string archive =
            src.Write("S.ZIP", BuildZip({stored, Entry("A.TXT", Text("a"))}));
        TempDir out;
        const ToolResult r = Extract({archive, out.Path()});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "ok\t" + out.Path() + "/A.TXT\n");
        EXPECT_EQ(r.err, "error 25135: Error reading file or unexpected end of file\t" +
                             out.Path() + "/BIG.BIN\n");
        EXPECT_EQ(std::filesystem::file_size(out.Path() + "/BIG.BIN"), 5000u);
    }
    {
        // The last central entry's name runs past the end of the file.
        auto bytes = BuildZip({Entry("A.TXT", Text("a")), Entry("B.TXT", Text("b"))});
        Put16(bytes, bytes.size() - 22 - (46 + 5) + 28, 0x4000);
        const std::string archive = src.Write("T.ZIP", bytes);
        TempDir out;
        const ToolResult r = Extract({archive, out.Path()});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "ok\t" + out.Path() + "/A.TXT\n");
        EXPECT_EQ(r.err, "error 25135: Error reading file or unexpected end of file\t" + archive +
                             " (entry 2)\n");
    }
}

TEST(ExtractTool, EncryptionWeCannotOpenIsNamed) {
    TempDir src, out;
    ZipEntry aes = Entry("AES.BIN", Text("0123456789abcdefghij"));
    aes.method = 99;
    aes.flags = 1;
    const std::string archive = src.Write("A.ZIP", BuildZip({aes}));
    const ToolResult r = Extract({archive, out.Path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "error 25201: Unsupported encryption method\t" + out.Path() + "/AES.BIN\n");
}
