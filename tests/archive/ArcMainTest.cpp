// The wildcard match, the output-path rule with its safe-name reduction, and error reporting.
#include <gtest/gtest.h>

#include <filesystem>

#include "Fixtures.h"
#include "RecordingHost.h"
#include "archive/ArcMain.h"
#include "archive/ArcPaths.h"

using namespace orvello::archive;
using namespace orvello::testing;

namespace {

// Puts the current folder back: SetFileName moves it.
class KeepCurrentFolder {
  public:
    KeepCurrentFolder() : saved_(std::filesystem::current_path()) {}
    ~KeepCurrentFolder() { std::filesystem::current_path(saved_); }
    KeepCurrentFolder(const KeepCurrentFolder&) = delete;
    KeepCurrentFolder& operator=(const KeepCurrentFolder&) = delete;

  private:
    std::filesystem::path saved_;
};

std::string Cwd() {
    return std::filesystem::current_path().string() + "/";
}

}  // namespace

// ---- MatchFileSpec

TEST(MatchFileSpec, PatternsOfEitherSide) {
    for (const char* spec :
         {"*.*", "GAME.SMC", "g?me.*", "*", "*.smc", "G*", "*E.S*C", "game.smc."}) {
        EXPECT_TRUE(MatchFileSpec(spec, "game.smc")) << spec;
        EXPECT_TRUE(MatchFileSpec("game.smc", spec)) << spec;  // symmetric
    }
    for (const char* spec : {"*.sfc", "game", "g?me", "gam.smc", "game.smc?", "?game.smc"}) {
        EXPECT_FALSE(MatchFileSpec(spec, "game.smc")) << spec;
        EXPECT_FALSE(MatchFileSpec("game.smc", spec)) << spec;
    }
    // A name without an extension meets "*.*"; "." and ".*" do not lose it otherwise.
    EXPECT_TRUE(MatchFileSpec("*.*", "README"));
    EXPECT_TRUE(MatchFileSpec("README.", "readme"));
    EXPECT_FALSE(MatchFileSpec("README.", "README.TXT"));
    EXPECT_TRUE(MatchFileSpec("*.*", "a.b.c"));
    // Wildcards on both sides at once.
    EXPECT_TRUE(MatchFileSpec("*a", "b*"));
    EXPECT_TRUE(MatchFileSpec("?b", "a?"));
}

TEST(MatchFileSpec, OnlyTheFileNamePartCountsAndEmptySidesMatchOnlyAStar) {
    EXPECT_TRUE(MatchFileSpec("*.smc", "roms/snes/game.smc"));
    EXPECT_TRUE(MatchFileSpec("roms\\*.smc", "C:game.smc"));
    EXPECT_FALSE(MatchFileSpec("*", "roms/"));  // a folder entry has no file-name part
    EXPECT_FALSE(MatchFileSpec("", "game.smc"));
    EXPECT_FALSE(MatchFileSpec("", ""));
    EXPECT_TRUE(MatchFileSpec("", "*x"));
    EXPECT_TRUE(MatchFileSpec("*", ""));
}

TEST(MatchFileSpec, QuestionMarkTakesAWholeUtf8Character) {
    const std::string name = "r\xC3\xB6m\xE8\xA1\xA8.smc";  // "röm表.smc"
    for (const char* spec : {"r?m?.smc", "?\xC3\xB6??.*", "*\xE8\xA1\xA8.s?c"}) {
        EXPECT_TRUE(MatchFileSpec(spec, name)) << spec;
        EXPECT_TRUE(MatchFileSpec(name, spec)) << spec;
    }
    EXPECT_FALSE(MatchFileSpec("r??m?.smc", name));          // "ö" is one character, not two
    EXPECT_TRUE(MatchFileSpec("r?m*", "r?m\xE8\xA1\xA8*"));  // wildcards on both sides
    EXPECT_FALSE(MatchFileSpec("r?m?", "r?\xE8\xA1\xA8??"));
    // Bytes that are no UTF-8 (a name given by a caller) stay one character each.
    EXPECT_TRUE(MatchFileSpec("r?m.smc", "r\x94m.smc"));
    EXPECT_FALSE(MatchFileSpec("r\xC3\xB6m.smc", "r\x94m.smc"));
}

TEST(MatchFileSpec, ManyStarsAgainstALongNameStayCheap) {
    // Backtracking would try an astronomical number of splits here.
    std::string spec;
    for (int i = 0; i < 200; ++i)
        spec += "*a";
    spec += "*b";
    const std::string name(5000, 'a');
    EXPECT_FALSE(MatchFileSpec(spec, name));
    EXPECT_TRUE(MatchFileSpec(spec, name + "b"));
}

namespace {

// The rule as written: walk both from the left; "?" on either side takes one character, "*"
// on either side tries every remaining tail of the other side. Exponential, so only for the
// short strings below.
bool Reference(const std::string& a, std::size_t i, const std::string& b, std::size_t j) {
    const auto onlyStars = [](const std::string& s, std::size_t k) {
        return s.find_first_not_of('*', k) == std::string::npos;
    };
    if (i == a.size()) return onlyStars(b, j);
    if (j == b.size()) return onlyStars(a, i);
    if (a[i] == '*') {
        for (std::size_t k = j; k <= b.size(); ++k) {
            if (Reference(a, i + 1, b, k)) return true;
        }
        return false;
    }
    if (b[j] == '*') {
        for (std::size_t k = i; k <= a.size(); ++k) {
            if (Reference(a, k, b, j + 1)) return true;
        }
        return false;
    }
    const auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    return (a[i] == '?' || b[j] == '?' || up(a[i]) == up(b[j])) && Reference(a, i + 1, b, j + 1);
}

}  // namespace

TEST(MatchFileSpec, AgreesWithTheRuleAsWrittenOnRandomNames) {
    // Names without "." and "/" so that steps 1 and 2 leave them alone and step 4 decides.
    const char alphabet[] = {'a', 'B', 'b', '?', '*'};
    std::uint32_t seed = 12345;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
    for (int n = 0; n < 20000; ++n) {
        std::string a, b;
        for (auto len = next() % 7; len-- > 0;)
            a += alphabet[next() % 5];
        for (auto len = 1 + next() % 7; len-- > 0;)
            b += alphabet[next() % 5];
        if (a.empty()) continue;
        ASSERT_EQ(MatchFileSpec(a, b), Reference(a, 0, b, 0)) << a << " vs " << b;
    }
}

// ---- the safe-name reduction

TEST(SafeRelativeName, DropsDrivesRootsAndDotsAndRefusesParents) {
    EXPECT_EQ(SafeRelativeName("game.smc"), "game.smc");
    EXPECT_EQ(SafeRelativeName("C:\\ROMS\\GAME.SMC"), "ROMS/GAME.SMC");
    EXPECT_EQ(SafeRelativeName("/etc/passwd"), "etc/passwd");
    EXPECT_EQ(SafeRelativeName("\\\\server\\share\\x"), "server/share/x");
    EXPECT_EQ(SafeRelativeName("./a//./b"), "a/b");
    EXPECT_EQ(SafeRelativeName("roms/"), "roms/");
    EXPECT_EQ(SafeRelativeName("a..b/..c"), "a..b/..c");  // dots inside a name are fine
    for (const char* bad :
         {"../x", "a/../../x", "a\\..\\x", "..", ".", "./", "/", "C:", "C:\\", "a/.."}) {
        EXPECT_EQ(SafeRelativeName(bad), std::nullopt) << bad;
    }
}

// ---- the output-path rule

TEST(SetFileName, OutputPathBelowExtractDirWithOrWithoutStoredFolders) {
    KeepCurrentFolder keep;
    TUnBase u;
    u.SetExtractDir("/roms");
    EXPECT_EQ(u.ExtractDir(), "/roms/");
    ASSERT_TRUE(u.SetFileName("sub/game.smc"));
    EXPECT_EQ(u.FileName, "/roms/game.smc");
    u.UseStoredDirs = true;
    ASSERT_TRUE(u.SetFileName("sub\\game.smc"));
    EXPECT_EQ(u.FileName, "/roms/sub/game.smc");
    ASSERT_TRUE(u.SetFileName("C:\\sub\\game.smc"));
    EXPECT_EQ(u.FileName, "/roms/sub/game.smc");
    ASSERT_TRUE(u.SetFileName("/abs/game.smc"));
    EXPECT_EQ(u.FileName, "/roms/abs/game.smc");
    // A name that already carries ExtractDir in front (as the ARC extractor passes it).
    ASSERT_TRUE(u.SetFileName("/roms/game.smc"));
    EXPECT_EQ(u.FileName, "/roms/game.smc");
    // A folder entry keeps its empty file-name part.
    ASSERT_TRUE(u.SetFileName("docs/"));
    EXPECT_EQ(u.FileName, "/roms/docs/");
    ASSERT_TRUE(u.SetFileName(""));
    EXPECT_EQ(u.FileName, "");
}

TEST(SetFileName, RefusedNamesLeaveFileNameEmpty) {
    KeepCurrentFolder keep;
    TUnBase u;
    u.SetExtractDir("/roms/");
    for (bool stored : {false, true}) {
        u.UseStoredDirs = stored;
        for (const char* bad : {"../evil", "ok/../../evil", "..\\evil", "/", "."}) {
            u.FileName = "previous";
            EXPECT_FALSE(u.SetFileName(bad)) << bad;
            EXPECT_EQ(u.FileName, "") << bad;
        }
    }
}

TEST(SetFileName, RelativeExtractDirIsResolvedOnceAndOnlyTheComponentsFolderFollowsTheOutput) {
    KeepCurrentFolder keep;
    TempDir dir;
    std::filesystem::create_directory(dir.Path() + "/roms");
    std::filesystem::current_path(dir.Path());
    TUnBase u;
    EXPECT_EQ(u.CurrentFolder(), dir.Path() + "/");
    u.SetExtractDir("roms");
    EXPECT_EQ(u.ExtractDir(), dir.Path() + "/roms/");
    ASSERT_TRUE(u.SetFileName("a.smc"));
    EXPECT_EQ(u.FileName, dir.Path() + "/roms/a.smc");
    EXPECT_EQ(u.CurrentFolder(), dir.Path() + "/roms/");
    EXPECT_EQ(Cwd(), dir.Path() + "/");  // the process's folder did not move
    // The next member does not land in roms/roms/.
    ASSERT_TRUE(u.SetFileName("b.smc"));
    EXPECT_EQ(u.FileName, dir.Path() + "/roms/b.smc");
    // A relative folder given later is taken from the component's folder.
    u.SetExtractDir("more");
    EXPECT_EQ(u.ExtractDir(), dir.Path() + "/roms/more/");
}

TEST(SetFileName, WithoutExtractDirTheArchiveFolderOrTheMembersOwnFolderIsUsed) {
    KeepCurrentFolder keep;
    TempDir dir;
    const std::string archive = dir.Write("set.zip", {'P', 'K', 3, 4, 0, 0});
    std::filesystem::current_path(dir.Path());
    {
        TUnBase u;
        u.SetArchiveFile(archive);
        ASSERT_TRUE(u.SetFileName("game.smc"));
        EXPECT_EQ(u.FileName, dir.Path() + "/game.smc");
        EXPECT_EQ(u.ExtractDir(), "");
    }
    for (bool stored : {false, true}) {
        std::filesystem::current_path(dir.Path());
        TUnBase u;
        u.UseStoredDirs = stored;
        u.SetArchiveFile(archive);
        ASSERT_TRUE(u.SetFileName("sub/game.smc"));
        EXPECT_EQ(u.ExtractDir(), dir.Path() + "/sub/");
        EXPECT_EQ(u.FileName, dir.Path() + "/sub/game.smc") << stored;  // never sub/sub/
    }
}

TEST(ExtractDir, EmptyValueTakesTheArchiveFolder) {
    TempDir dir;
    const std::string archive = dir.Write("set.zip", {'P', 'K', 3, 4, 0, 0});
    TUnBase u;
    u.SetExtractDir("");
    EXPECT_EQ(u.ExtractDir(), "");
    u.SetArchiveFile(archive);
    u.SetExtractDir("");
    EXPECT_EQ(u.ExtractDir(), dir.Path() + "/");
    u.SetExtractDir("/");
    EXPECT_EQ(u.ExtractDir(), "/");
}

TEST(SetDateTo, IsSharedByAllExtractors) {
    TUnBase a, b;
    ASSERT_EQ(TUnBase::SetDateTo(), TSetDate::OrigDate);
    a.SetSetDateTo(TSetDate::CurDate);
    EXPECT_EQ(b.SetDateTo(), TSetDate::CurDate);
    b.SetSetDateTo(TSetDate::OrigDate);
    EXPECT_EQ(a.SetDateTo(), TSetDate::OrigDate);
}

TEST(Extract, RunsTheExtractorsOwnWork) {
    struct Counting : TUnBase {
        int runs = 0;
        void DoExtract() override { ++runs; }
    } u;
    u.Extract();
    u.Extract();
    EXPECT_EQ(u.runs, 2);
}

// ---- error reporting

TEST(Errors, ReportedThroughOnErrorThenRaised) {
    TZipCommon c;
    std::vector<std::tuple<std::string, std::string, int>> seen;
    c.OnError = [&](TZipCommon& sender, const std::string& fn, const std::string& vol, int code) {
        EXPECT_EQ(&sender, &c);
        seen.emplace_back(fn, vol, code);
    };
    try {
        c.RaiseError(errBadFileHeader, "a.zip");
        FAIL() << "no exception";
    } catch (const E_RAISE& e) {
        EXPECT_EQ(e.Code(), errBadFileHeader);
        EXPECT_STREQ(e.what(), "Bad file header");
    }
    c.Warn(errCRC, "m.smc", "2");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0],
              std::make_tuple(std::string("a.zip"), std::string("0"), int(errBadFileHeader)));
    EXPECT_EQ(seen[1], std::make_tuple(std::string("m.smc"), std::string("2"), int(errCRC)));
}

TEST(Errors, WhileDesigningABoxShowsInsteadOfOnError) {
    RecordingHost host;
    TZipCommon c;
    c.Designing = true;
    c.Host = &host;
    bool eventFired = false;
    c.OnError = [&](TZipCommon&, const std::string&, const std::string&, int) {
        eventFired = true;
    };
    EXPECT_THROW(c.RaiseError(errHeaderID, "a.zip"), E_RAISE);
    EXPECT_FALSE(eventFired);
    ASSERT_EQ(host.log.size(), 1u);
    EXPECT_EQ(host.log[0], "warning: a.zip\nHeader ID error.");
}
