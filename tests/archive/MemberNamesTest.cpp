// Member names reach the file system and the command line as UTF-8: archives written by a real
// archiver (Info-ZIP zip keeps a Linux name's bytes as they are) and by hand (Shift-JIS LHA
// names, Unicode path fields), listed and extracted through the library and orvello-arc.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "Fixtures.h"
#include "LhaBuilder.h"
#include "ListerSupport.h"
#include "ToolRun.h"
#include "ZipBuilder.h"
#include "archive/NameCodec.h"
#include "archive/UnLHA.h"
#include "archive/UnZIP.h"

using namespace orvello::archive;
using namespace orvello::testing;
namespace fs = std::filesystem;

namespace {

const std::string kDosByteName = "r\x94m.smc";      // a Linux name holding the byte 0x94
const std::string kDosDecoded = "r\xC3\xB6m.smc";   // what a DOS archiver meant: "röm.smc"
const std::string kUtf8Name = "gr\xC3\xBCn.smc";    // "grün.smc"
const std::string kUtf8Nested = "d\xC3\xA9/x.smc";  // "dé/x.smc"

bool HaveCommand(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Runs an archiver in `folder`; false when it failed.
bool RunIn(const std::string& folder, const std::string& command) {
    return std::system(
               ("cd " + ShellQuoted(folder) + " && " + command + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<std::string> Names(const Listing& l) {
    std::vector<std::string> out;
    for (const auto& m : l.members)
        out.push_back(m.name);
    return out;
}

// Extracts `archive` into `folder` with the stored folders; the names begun, in order.
std::vector<std::string> ExtractAll(const std::string& archive, const std::string& folder,
                                    const std::string& spec = "*.*") {
    TUnZIP unzip;
    unzip.SetArchiveFile(archive);
    unzip.SetExtractDir(folder);
    unzip.SetFileSpec(spec);
    unzip.UseStoredDirs = true;
    std::vector<std::string> begun;
    unzip.OnBegin = [&](TZipCommon&, const std::string& fn, std::int32_t, bool&) {
        begun.push_back(fn.substr(unzip.ExtractDir().size()));
    };
    unzip.Extract();
    return begun;
}

class RealZipNames : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HaveCommand("zip")) GTEST_SKIP() << "Info-ZIP zip is not installed (scripts/deps.sh)";
        WriteText(fs::path(src_.Path()) / kDosByteName, "dos");
        WriteText(fs::path(src_.Path()) / kUtf8Name, "utf8");
        WriteText(fs::path(src_.Path()) / kUtf8Nested, "nested");
        // zip stores the names' bytes as they are, with no mark of their character set.
        archive_ = work_.Path() + "/names.zip";
        ASSERT_TRUE(RunIn(src_.Path(), "LC_ALL=C zip -q " + ShellQuoted(archive_) + " " +
                                           ShellQuoted(kDosByteName) + " " +
                                           ShellQuoted(kUtf8Name) + " " +
                                           ShellQuoted(kUtf8Nested)));
    }

    TempDir src_, work_;
    std::string archive_;
};

}  // namespace

TEST_F(RealZipNames, ListerAndExtractorDecodeDosBytesAndKeepUtf8) {
    const std::vector<std::string> expected{kDosDecoded, kUtf8Name, kUtf8Nested};
    EXPECT_EQ(Names(ListFile(archive_)), expected);
    EXPECT_EQ(Names(ListFile(archive_, "r?m.*")), std::vector<std::string>{kDosDecoded});

    TempDir out;
    EXPECT_EQ(ExtractAll(archive_, out.Path()), expected);
    EXPECT_EQ(FilesBelow(out.Path()),
              (std::vector<std::string>{kUtf8Nested, kUtf8Name, kDosDecoded}));
    // The decoded name is the one that finds the member again.
    TempDir one;
    EXPECT_EQ(ExtractAll(archive_, one.Path(), kDosDecoded), std::vector<std::string>{kDosDecoded});
}

TEST_F(RealZipNames, ToolListsAndExtractsUtf8Names) {
    const ToolRun list = RunTool({"list", archive_});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(ListedNames(list.out),
              (std::vector<std::string>{kDosDecoded, kUtf8Name, kUtf8Nested}));
    TempDir out;
    const ToolRun r = RunTool({"extract", archive_, out.Path(), kDosDecoded});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ok\t" + out.Path() + "/" + kDosDecoded + "\n");
    EXPECT_EQ(FilesBelow(out.Path()), std::vector<std::string>{kDosDecoded});
    EXPECT_EQ(ReadBytes(out.Path() + "/" + kDosDecoded), Text("dos"));
}

TEST(MemberNames, ShiftJisLhaNamesAreListedAndExtractedWithoutSplittingThem) {
    if (!Cp932ToUtf8("A")) GTEST_SKIP() << "the C library's iconv has no CP932 converter";
    const std::string hyou = "\xE8\xA1\xA8.SMC", nested = "GAMES/\xE8\xA1\xA8\xE7\xA4\xBA.SMC";
    std::vector<std::uint8_t> v;
    AddLhaLevel0(v, "\x95\x5C.SMC", "hyou");                   // "表.SMC": 0x5C is its second byte
    AddLhaLevel0(v, "GAMES\\\x95\x5C\x8E\xA6.SMC", "hyouji");  // "GAMES\表示.SMC"
    v.push_back(0);
    TempDir dir;
    const std::string lzh = dir.Write("kanji.lzh", v);
    EXPECT_EQ(Names(ListFile(lzh)), (std::vector<std::string>{hyou, nested}));

    TUnLHA unlha;
    unlha.SetArchiveFile(lzh);
    TempDir lib;
    unlha.SetExtractDir(lib.Path());
    unlha.SetFileSpec(hyou);
    unlha.Extract();
    EXPECT_EQ(FilesBelow(lib.Path()), std::vector<std::string>{hyou});

    const ToolRun list = RunTool({"list", lzh});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(ListedNames(list.out), (std::vector<std::string>{hyou, nested}));
    TempDir out;
    const ToolRun r = RunTool({"extract", lzh, out.Path(), "--dirs"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(FilesBelow(out.Path()), (std::vector<std::string>{nested, hyou}));
    EXPECT_EQ(ReadBytes(out.Path() + "/" + nested), Text("hyouji"));
}

TEST(MemberNames, ToolExtractsUnderTheUnicodePathOnlyWhenItsCrcMatches) {
    ZipEntry matching = Entry("R\x94M.SMC", Text("a"));
    matching.extra = UnicodePathExtra(matching.name, "R\xC3\xA4M.SMC");  // "RäM.SMC"
    ZipEntry stale = Entry("ST\x94LE.SMC", Text("b"));
    stale.extra = UnicodePathExtra("OTHER.SMC", "WRONG.SMC");
    TempDir dir, out;
    const std::string zip = dir.Write("unicode.zip", BuildZip({matching, stale}));
    const ToolRun r = RunTool({"extract", zip, out.Path()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(FilesBelow(out.Path()),
              (std::vector<std::string>{"R\xC3\xA4M.SMC", "ST\xC3\xB6LE.SMC"}));
}
