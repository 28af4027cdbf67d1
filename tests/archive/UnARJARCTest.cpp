// The ARJ and ARC extractors: every fixture archive against its manifest, the edge cases of
// both walks, multi-volume sets, and hostile archives.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>

#include <filesystem>
#include <map>
#include <set>
#include <tuple>

#include "ArjArcBuilder.h"
#include "ExtractEvents.h"
#include "Fixtures.h"
#include "Sha256.h"
#include "archive/ArcGlobals.h"
#include "archive/ArjFormat.h"
#include "archive/UnARC.h"
#include "archive/UnARJ.h"

using namespace orvello::archive;
using namespace orvello::testing;
namespace fs = std::filesystem;

namespace {

// Everything both extractors report, with the volume of each report and the RecNum of each
// OnBegin.
struct Reports {
    std::vector<std::tuple<int, std::string, std::string>> errors;  // code, FN, VolumeID
    std::vector<std::pair<std::string, bool>> ends;                 // FN, CRC_PASS
    std::vector<std::pair<std::string, std::int32_t>> begins;       // FN, RecNum
    int activate = 0, deactivate = 0;

    std::vector<int> Codes() const {
        std::vector<int> c;
        for (const auto& e : errors)
            c.push_back(std::get<0>(e));
        return c;
    }
    int Count(int code) const {
        int n = 0;
        for (const auto& e : errors)
            n += std::get<0>(e) == code;
        return n;
    }
};

void Listen(TUnBase& u, Reports& ev) {
    u.OnError = [&](TZipCommon&, const std::string& fn, const std::string& vol, int code) {
        ev.errors.emplace_back(code, fn, vol);
    };
    u.OnEnd = [&](TZipCommon&, const std::string& fn, bool pass) {
        ev.ends.emplace_back(fn, pass);
    };
    u.OnBegin = [&](TZipCommon&, const std::string& fn, std::int32_t rec, bool&) {
        ev.begins.emplace_back(fn, rec);
    };
    u.OnActivate = [&](TZipCommon&) { ++ev.activate; };
    u.OnDeactivate = [&](TZipCommon&) { ++ev.deactivate; };
}

Reports ExtractAll(TUnBase& u, const std::string& archive, const std::string& dir) {
    Reports ev;
    Listen(u, ev);
    u.SetArchiveFile(archive);
    u.SetExtractDir(dir);
    u.Extract();
    return ev;
}

bool IsArjOrArc(const std::string& detect) {
    return detect == "atARJ" || detect == "atArjExe" || detect == "atARC" || detect == "atArcExe";
}

}  // namespace

// Every ARJ, ARC and PAK archive of the fixtures, and the ARJ and ARC self-extractors, extract
// to the manifest's contents or fail as the manifest says.
TEST(UnARJARCFixtures, EveryArchiveExtractsToItsManifest) {
    KeepFolder keep;
    int archives = 0;
    for (const FixtureSet& set : FixtureSets()) {
        const std::string folder = set.folder;
        if (folder != "arj" && folder != "arc" && folder != "pak" && folder != "sfx") continue;
        if (set.copied && !HaveSharedArchives()) {
            std::printf("skipped: the copied %s archives are not here\n", folder.c_str());
            continue;
        }
        for (const auto& entry : set.Entries()) {
            const std::string name = entry["archive"].Str();
            const std::string detect = entry["detect"].Str();
            const std::string path = set.Path(name);
            const bool arj = folder == "arj" || detect == "atArjExe";
            if (folder == "sfx" && !IsArjOrArc(detect)) continue;
            SCOPED_TRACE(name);
            TempDir out;
            TUnARJ unarj;
            TUnARC unarc;
            TUnBase& u = arj ? static_cast<TUnBase&>(unarj) : unarc;
            u.UseStoredDirs = true;
            const Reports ev = ExtractAll(u, path, out.Path());
            ++archives;
            EXPECT_EQ(ev.activate + ev.deactivate, IsArjOrArc(detect) ? 2 : 1);
            std::map<std::string, bool> ended(ev.ends.begin(), ev.ends.end());

            if (!IsArjOrArc(detect)) {
                // PAK's own methods and stray bytes first: not an archive either extractor
                // reads.
                EXPECT_EQ(ev.Codes(), std::vector<int>{errArchiveType});
                continue;
            }
            std::vector<int> expected;  // the reports the archive must give, in order
            std::set<std::string> absent;
            if (name == "GARBLED.ARJ") {
                expected = {errPasswordProtected};
                absent = {"PACMAN.6E", "README"};
            } else if (name == "MVMISS.ARJ") {
                expected = {errNextVolume, errFileNotFound};
                absent = {"GAME.SMC", "README"};
            } else if (name == "BADCRC.ARC") {
                expected = {errCRC};
            } else if (name == "STRAYMID11.ARC") {
                expected = {errArchiveType};
                for (const auto& m : entry["members"].Items())
                    if (m["name"].Str() != "EMPTY.DAT") absent.insert(m["name"].Str());
            } else {
                EXPECT_EQ(entry["expect"].Str().substr(0, 2), "ok");
            }
            EXPECT_EQ(ev.Codes(), expected);
            for (const auto& m : entry["members"].Items()) {
                const std::string member = m["name"].Str();
                SCOPED_TRACE(member);
                const std::string file = out.Path() + "/" + member;
                if (!member.empty() && member.back() == '/') {
                    EXPECT_TRUE(fs::is_directory(file));
                    continue;
                }
                if (absent.count(member)) {
                    EXPECT_FALSE(fs::exists(file));
                    continue;
                }
                const auto bytes = ReadBytes(file);
                EXPECT_EQ(bytes.size(), static_cast<std::size_t>(m["size"].Int()));
                EXPECT_EQ(Sha256Hex(bytes), m["sha256"].Str());
                if (name == "BADCRC.ARC" && member == "README") {
                    EXPECT_FALSE(ended.count(file));  // a CRC mismatch has no OnEnd in ARC
                } else {
                    EXPECT_TRUE(ended.count(file) && ended[file]);
                }
            }
        }
    }
    // The count takes the copied archives too; without them, what could be checked was.
    ORVELLO_SKIP_WITHOUT_COPIED_ARCHIVES();
    EXPECT_GE(archives, 30);
}

namespace {

// Runs an extractor over archive bytes written to a file in `dir`, extracting into dir/out.
template <class X>
Reports ExtractBytes(X& x, const TempDir& dir, const std::string& name, const ByteVec& bytes,
                     const std::string& spec = "*.*") {
    const std::string path = dir.Write(name, bytes);
    fs::create_directories(dir.Path() + "/out");
    x.SetFileSpec(spec);
    return ExtractAll(x, path, dir.Path() + "/out");
}

std::string Out(const TempDir& dir, const std::string& name) {
    return dir.Path() + "/out/" + name;
}

ArjMember Stored(const std::string& name, const std::string& text) {
    ArjMember m;
    m.name = name;
    m.data = TextBytes(text);
    return m;
}

}  // namespace

TEST(UnARJ, AnExactNameEndsTheWalkAfterItsMember) {
    KeepFolder keep;
    TempDir dir;
    const ByteVec arj =
        BuildArj({Stored("A.BIN", "a"), Stored("B.BIN", "b"), Stored("C.BIN", "c")});
    TUnARJ x;
    Reports ev = ExtractBytes(x, dir, "T.ARJ", arj, "b.bin");
    // Only the members before it are passed over with 26900; C is never looked at.
    EXPECT_EQ(ev.Codes(), std::vector<int>{errSkippedFile});
    EXPECT_EQ(std::get<1>(ev.errors[0]), Out(dir, "A.BIN"));
    EXPECT_EQ(ReadBytes(Out(dir, "B.BIN")), TextBytes("b"));
    EXPECT_FALSE(fs::exists(Out(dir, "C.BIN")));
    EXPECT_EQ(ev.begins,
              (std::vector<std::pair<std::string, std::int32_t>>{{Out(dir, "B.BIN"), 0}}));
    // With a wildcard every member comes out; RecNum counts the members written before.
    TUnARJ all;
    ev = ExtractBytes(all, dir, "T.ARJ", arj, "*.BIN");
    EXPECT_TRUE(ev.errors.empty());
    ASSERT_EQ(ev.begins.size(), 3u);
    EXPECT_EQ(ev.begins[2].second, 2);
    EXPECT_EQ(ReadBytes(Out(dir, "C.BIN")), TextBytes("c"));
}

TEST(UnARJ, PasswordMembersEndTheCallOnlyWhenSelected) {
    KeepFolder keep;
    TempDir dir;
    ArjMember secret = Stored("SECRET.BIN", "xyz");
    secret.flags = 1;
    const ByteVec arj = BuildArj({secret, Stored("OPEN.BIN", "open")});
    TUnARJ x;
    Reports ev = ExtractBytes(x, dir, "P.ARJ", arj);
    EXPECT_EQ(ev.Codes(), std::vector<int>{errPasswordProtected});
    EXPECT_FALSE(fs::exists(Out(dir, "OPEN.BIN"))) << "the call ended at the protected member";
    EXPECT_EQ(ev.deactivate, 1);
    TUnARJ y;
    ev = ExtractBytes(y, dir, "P.ARJ", arj, "OPEN.BIN");
    EXPECT_EQ(ev.Codes(), std::vector<int>{errSkippedFile});
    EXPECT_EQ(ReadBytes(Out(dir, "OPEN.BIN")), TextBytes("open"));
}

TEST(UnARJ, TheMainHeaderIsFoundByItsCrcWithinTheSearchWindow) {
    KeepFolder keep;
    TempDir dir;
    // A DOS program whose image ends at 600, where a false header (its CRC does not match)
    // stands before the real main header.
    auto sfx = [](std::size_t gap) {
        ByteVec exe(600, 0);
        exe[0] = 'M';
        exe[1] = 'Z';
        Put16(exe, 2, 88);  // 2 * 512 + 88 - 512 = 600
        Put16(exe, 4, 2);
        ByteVec fake = {0x60, 0xEA, 8, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0xDE, 0xAD, 0xBE, 0xEF};
        exe.insert(exe.end(), fake.begin(), fake.end());
        exe.resize(exe.size() + gap, 0x60);
        const ByteVec arj = BuildArj({Stored("GAME.SMC", "rom")});
        exe.insert(exe.end(), arj.begin(), arj.end());
        return exe;
    };
    TUnARJ x;
    Reports ev = ExtractBytes(x, dir, "GAME.EXE", sfx(100));
    EXPECT_EQ(x.ArcType(), TArcType::atArjExe);
    EXPECT_TRUE(ev.errors.empty());
    EXPECT_EQ(ReadBytes(Out(dir, "GAME.SMC")), TextBytes("rom"));
    // 25000 bytes after the program's end the search gives up.
    TUnARJ far;
    ev = ExtractBytes(far, dir, "FAR.EXE", sfx(25000));
    EXPECT_EQ(ev.Codes(), std::vector<int>{errArchiveType});
    // A header whose CRC fails is damage: 25136.
    ArjMember bad = Stored("BAD.BIN", "bad");
    bad.badHeaderCrc = true;
    TUnARJ crc;
    ev = ExtractBytes(crc, dir, "CRC.ARJ", BuildArj({Stored("OK.BIN", "ok"), bad}));
    EXPECT_EQ(ev.Codes(), std::vector<int>{errHeaderCRC});
    EXPECT_EQ(ReadBytes(Out(dir, "OK.BIN")), TextBytes("ok"));
}

TEST(UnARJ, SplitMembersCrossVolumesWithEachPartChecked) {
    KeepFolder keep;
    TempDir dir;
    ArjMember part1 = Stored("SPLIT.BIN", "first part, ");
    part1.flags = kArjFlagVolume;
    const ArjMember part2 = Stored("SPLIT.BIN", "second part");
    dir.Write("SET.ARJ", BuildArj({Stored("A.BIN", "a"), part1}));
    dir.Write("SET.A01", BuildArj({part2, Stored("B.BIN", "b")}));
    TUnARJ x;
    Reports ev = ExtractAll(x, dir.Path() + "/SET.ARJ", dir.Path() + "/out");
    EXPECT_TRUE(ev.errors.empty());
    EXPECT_EQ(ReadBytes(Out(dir, "SPLIT.BIN")), TextBytes("first part, second part"));
    EXPECT_EQ(ReadBytes(Out(dir, "B.BIN")), TextBytes("b")) << "the walk goes on in volume 2";

    // Only the split member asked for: the walk steps over the others, in both volumes.
    TUnARJ one;
    one.SetFileSpec("B.BIN");
    ev = ExtractAll(one, dir.Path() + "/SET.ARJ", dir.Path() + "/one");
    EXPECT_EQ(ev.Count(errSkippedFile), 2);
    EXPECT_EQ(ReadBytes(dir.Path() + "/one/B.BIN"), TextBytes("b"));

    // A relative archive path: writing members moves the current folder, and the volumes are
    // still found.
    fs::current_path(dir.Path());
    TUnARJ relative;
    ev = ExtractAll(relative, "SET.ARJ", dir.Path() + "/rel");
    EXPECT_TRUE(ev.errors.empty());
    EXPECT_EQ(ReadBytes(dir.Path() + "/rel/SPLIT.BIN"), TextBytes("first part, second part"));

    // A part whose data does not match its own CRC: 25117, and OnEnd says so.
    ArjMember wrong = part2;
    wrong.crc = 0x12345678;
    dir.Write("SET.A01", BuildArj({wrong}));
    TUnARJ bad;
    ev = ExtractAll(bad, dir.Path() + "/SET.ARJ", dir.Path() + "/bad");
    EXPECT_EQ(ev.Codes(), std::vector<int>{errCRC});
    ASSERT_EQ(ev.ends.size(), 2u);
    EXPECT_FALSE(ev.ends[1].second);

    // Without the second volume: 25903, then 25132 ends the call, and no partial file is left.
    fs::remove(dir.Path() + "/SET.A01");
    TUnARJ missing;
    ev = ExtractAll(missing, dir.Path() + "/SET.ARJ", dir.Path() + "/miss");
    EXPECT_EQ(ev.Codes(), (std::vector<int>{errNextVolume, errFileNotFound}));
    EXPECT_EQ(std::get<1>(ev.errors[0]), dir.Path() + "/SET.A01");
    EXPECT_EQ(std::get<2>(ev.errors[0]), "1");
    EXPECT_TRUE(fs::exists(dir.Path() + "/miss/A.BIN"));
    EXPECT_FALSE(fs::exists(dir.Path() + "/miss/SPLIT.BIN"));
    EXPECT_EQ(ev.deactivate, 1);
}

TEST(UnARJHostile, VolumesThatLoopOrLieOutsideTheFolder) {
    KeepFolder keep;
    TempDir dir;
    ArjMember part = Stored("LOOP.BIN", "again and again");
    part.flags = kArjFlagVolume;
    // An archive named like its own next volume: the set would go round for ever.
    dir.Write("LOOP.A01", BuildArj({part}));
    TUnARJ x;
    Reports ev = ExtractAll(x, dir.Path() + "/LOOP.A01", dir.Path() + "/out");
    EXPECT_EQ(ev.Codes(), std::vector<int>{errBadFileHeader});
    EXPECT_FALSE(fs::exists(Out(dir, "LOOP.BIN")));
    // Volume names come from the archive's own path: a volume beside its folder is not used.
    fs::create_directories(dir.Path() + "/sub");
    dir.Write("sub/SET.ARJ", BuildArj({part}));
    dir.Write("SET.A01", BuildArj({Stored("LOOP.BIN", "elsewhere")}));
    TUnARJ y;
    ev = ExtractAll(y, dir.Path() + "/sub/SET.ARJ", dir.Path() + "/out");
    EXPECT_EQ(ev.Codes(), (std::vector<int>{errNextVolume, errFileNotFound}));
    EXPECT_EQ(std::get<1>(ev.errors[1]), dir.Path() + "/sub/SET.A01");
    EXPECT_EQ(ArjVolumeName("/a/b/set.arj", 12), "/a/b/set.a12");
    EXPECT_EQ(ArjVolumeName("/a/b/SET.ARJ", 100), "/a/b/SET.100");
}

TEST(UnARJ, FoldersDoNotEndTheWalkAndUnixHostsKeepTheirTime) {
    KeepFolder keep;
    TempDir dir;
    ArjMember folder;
    folder.name = "roms";
    folder.fileType = kArjFileTypeDirectory;
    ArjMember unix = Stored("roms/UNIX.BIN", "made on unix");
    unix.host = 2;
    unix.time = 826891200;  // 1996-03-15 12:00:00 UTC as a Unix time
    const ByteVec arj = BuildArj({folder, unix, Stored("DOS.BIN", "dos")});
    TUnARJ x;
    Reports ev = ExtractBytes(x, dir, "T.ARJ", arj);
    EXPECT_TRUE(ev.errors.empty());
    EXPECT_EQ(ReadBytes(Out(dir, "UNIX.BIN")), TextBytes("made on unix"));
    EXPECT_EQ(ReadBytes(Out(dir, "DOS.BIN")), TextBytes("dos"));
    struct stat st {};
    ASSERT_EQ(stat(Out(dir, "UNIX.BIN").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 826891200);
    // With stored folders the folder entry makes its folder.
    TUnARJ dirs;
    dirs.UseStoredDirs = true;
    fs::remove_all(dir.Path() + "/out");
    ev = ExtractBytes(dirs, dir, "T.ARJ", arj);
    EXPECT_TRUE(ev.errors.empty());
    EXPECT_TRUE(fs::exists(Out(dir, "roms/UNIX.BIN")));
}

// ARJ's chapters (arj ac) put a label entry before each chapter's members, and a volume label
// may come first: neither holds a file, and the members after them still come out. A type
// that no ARJ writes still ends the call.
TEST(UnARJ, LabelsDoNotEndTheWalkButUnknownTypesDo) {
    KeepFolder keep;
    TempDir dir;
    ArjMember volume, chapter;
    volume.name = "GAMES";
    volume.fileType = kArjFileTypeVolumeLabel;
    chapter.name = "<<<001>>>";
    chapter.fileType = kArjFileTypeChapterLabel;
    TUnARJ x;
    Reports ev = ExtractBytes(
        x, dir, "T.ARJ",
        BuildArj({volume, Stored("ONE.BIN", "one"), chapter, Stored("TWO.BIN", "two")}));
    EXPECT_TRUE(ev.errors.empty());
    EXPECT_EQ(ReadBytes(Out(dir, "ONE.BIN")), TextBytes("one"));
    EXPECT_EQ(ReadBytes(Out(dir, "TWO.BIN")), TextBytes("two"));
    std::vector<std::string> written;
    for (const auto& f : fs::directory_iterator(dir.Path() + "/out"))
        written.push_back(f.path().filename().string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"ONE.BIN", "TWO.BIN"}));

    ArjMember odd = Stored("ODD.BIN", "odd");
    odd.fileType = 7;
    TUnARJ y;
    fs::remove_all(dir.Path() + "/out");
    ev = ExtractBytes(y, dir, "T.ARJ", BuildArj({odd, Stored("ONE.BIN", "one")}));
    EXPECT_EQ(ev.Codes(), std::vector<int>{errUnknownFileType});
    EXPECT_FALSE(fs::exists(Out(dir, "ONE.BIN")));
}

TEST(UnARJARC, ARefusedOverwriteLeavesTheFileAndTheWalkGoesOn) {
    KeepFolder keep;
    for (bool arj : {true, false}) {
        SCOPED_TRACE(arj ? "ARJ" : "ARC");
        TempDir dir;
        fs::create_directories(dir.Path() + "/out");
        dir.Write("out/GAME.SMC", TextBytes("mine"));
        TUnARJ unarj;
        TUnARC unarc;
        TUnBase& x = arj ? static_cast<TUnBase&>(unarj) : unarc;
        x.OnFileExists = [](TZipCommon&, const std::string&, bool& accept) { accept = false; };
        const ByteVec bytes =
            arj ? BuildArj({Stored("GAME.SMC", "theirs"), Stored("NEXT.BIN", "next")})
                : BuildArc({{"GAME.SMC", TextBytes("theirs")}, {"NEXT.BIN", TextBytes("next")}});
        Reports ev;
        Listen(x, ev);
        x.OnFileExists = [](TZipCommon&, const std::string&, bool& accept) { accept = false; };
        x.SetArchiveFile(dir.Write(arj ? "T.ARJ" : "T.ARC", bytes));
        x.SetExtractDir(dir.Path() + "/out");
        x.Extract();
        EXPECT_EQ(ev.Codes(), std::vector<int>{errSkippedFile});
        EXPECT_EQ(ReadBytes(Out(dir, "GAME.SMC")), TextBytes("mine"));
        EXPECT_EQ(ReadBytes(Out(dir, "NEXT.BIN")), TextBytes("next"));
        EXPECT_EQ(ev.ends.size(), 1u);
    }
}

TEST(UnARC, StrayBytesOldStoredHeadersAndUnknownMethods) {
    KeepFolder keep;
    TempDir dir;
    const ByteVec first = BuildArc({{"ONE.BIN", TextBytes("one")}}, false);
    const ByteVec rest = BuildArc({{"TWO.BIN", TextBytes("two")}});
    for (std::size_t stray : {10u, 11u}) {
        SCOPED_TRACE(stray);
        ByteVec arc = first;
        arc.insert(arc.end(), stray, 'x');
        arc.insert(arc.end(), rest.begin(), rest.end());
        TUnARC x;
        fs::remove_all(dir.Path() + "/out");
        const Reports ev = ExtractBytes(x, dir, "S.ARC", arc);
        EXPECT_TRUE(fs::exists(Out(dir, "ONE.BIN")));
        if (stray == 10) {
            EXPECT_TRUE(ev.errors.empty());
            EXPECT_EQ(ReadBytes(Out(dir, "TWO.BIN")), TextBytes("two"));
        } else {
            EXPECT_EQ(ev.Codes(), std::vector<int>{errArchiveType});
            EXPECT_FALSE(fs::exists(Out(dir, "TWO.BIN")));
        }
    }
    // Method 1's header has no uncompressed size; method 10 (PAK's) is stepped over without a
    // file; RecNum counts the members written before.
    ArcMember old{"OLD.BIN", TextBytes("old stored"), 1};
    ArcMember pak{"PAK.BIN", TextBytes("crushed?"), 10};
    ArcMember last{"LAST.BIN", TextBytes("last")};
    TUnARC y;
    const Reports ev = ExtractBytes(y, dir, "M.ARC", BuildArc({old, pak, last}));
    EXPECT_EQ(ev.Codes(), std::vector<int>{errUnsupportedMethod});
    EXPECT_EQ(ReadBytes(Out(dir, "OLD.BIN")), TextBytes("old stored"));
    EXPECT_FALSE(fs::exists(Out(dir, "PAK.BIN")));
    EXPECT_EQ(ReadBytes(Out(dir, "LAST.BIN")), TextBytes("last"));
    ASSERT_EQ(ev.begins.size(), 2u);
    EXPECT_EQ(ev.begins[1].second, 1);
    // Members that do not match FileSpec are each passed over with 26900.
    TUnARC z;
    EXPECT_EQ(ExtractBytes(z, dir, "M.ARC", BuildArc({old, last}), "NONE.*").Codes(),
              (std::vector<int>{errSkippedFile, errSkippedFile, errNothingToDo}));
}

TEST(UnARJARCHostile, NamesThatLeaveTheFolderAreRefusedAndTheWalkGoesOn) {
    KeepFolder keep;
    TempDir dir;
    fs::create_directories(dir.Path() + "/out");
    TUnARJ x;
    Reports ev =
        ExtractBytes(x, dir, "N.ARJ",
                     BuildArj({Stored("../EVIL.BIN", "evil"), Stored("a/../../EVIL2.BIN", "evil"),
                               Stored("/abs/ROOT.BIN", "root"), Stored("GOOD.BIN", "good")}));
    EXPECT_EQ(ev.Codes(), (std::vector<int>{errInvalidFileName, errInvalidFileName}));
    EXPECT_FALSE(fs::exists(dir.Path() + "/EVIL.BIN"));
    EXPECT_FALSE(fs::exists(dir.Path() + "/EVIL2.BIN"));
    EXPECT_EQ(ReadBytes(Out(dir, "ROOT.BIN")), TextBytes("root")) << "the root is dropped";
    EXPECT_EQ(ReadBytes(Out(dir, "GOOD.BIN")), TextBytes("good"));
    TUnARC y;
    ev = ExtractBytes(y, dir, "N.ARC",
                      BuildArc({{"..", TextBytes("up")}, {"OK.BIN", TextBytes("ok")}}));
    EXPECT_EQ(ev.Codes(), std::vector<int>{errInvalidFileName});
    EXPECT_EQ(ReadBytes(Out(dir, "OK.BIN")), TextBytes("ok"));
}

// Every prefix of real archives: the walk ends in a report, never in a crash, and no file
// grows beyond its recorded size.
TEST(UnARJARCHostile, TruncationAtEveryHeaderAndInsideEveryStream) {
    KeepFolder keep;
    for (const auto& [folder, name] :
         std::vector<std::pair<std::string, std::string>>{{"arj", "METHOD4.ARJ"},
                                                          {"arj", "METHOD1.ARJ"},
                                                          {"arc", "PACKED.ARC"},
                                                          {"arc", "SQNOEOF.ARC"},
                                                          {"arc", "STORED.ARC"}}) {
        SCOPED_TRACE(name);
        const ByteVec whole = ReadBytes(FixturePath(folder, name));
        const bool arj = folder == "arj";
        std::map<std::string, std::pair<std::size_t, std::string>> members;  // size, sha256
        for (const auto& e : Manifest(folder))
            if (e["archive"].Str() == name)
                for (const auto& m : e["members"].Items())
                    members[m["name"].Str()] = {m["size"].Int(), m["sha256"].Str()};
        // About 60 cuts spread over the file, and many within the first headers.
        std::vector<std::size_t> cuts;
        for (std::size_t n = 0; n < 60; n += 2)
            cuts.push_back(n);
        for (std::size_t n = 60; n < whole.size(); n += whole.size() / 60 + 1)
            cuts.push_back(n);
        for (const std::size_t n : cuts) {
            TempDir dir;
            const ByteVec cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
            TUnARJ unarj;
            TUnARC unarc;
            TUnBase& x = arj ? static_cast<TUnBase&>(unarj) : unarc;
            const Reports ev = ExtractBytes(x, dir, arj ? "T.ARJ" : "T.ARC", cut);
            EXPECT_EQ(ev.deactivate, 1);
            for (const auto& f : fs::directory_iterator(dir.Path() + "/out")) {
                const auto& [size, sha] = members.at(f.path().filename().string());
                EXPECT_LE(fs::file_size(f.path()), size) << n;
                // Without a report, what was written is whole (the cut fell between members).
                if (ev.errors.empty()) {
                    EXPECT_EQ(Sha256Hex(ReadBytes(f.path())), sha) << n;
                }
            }
        }
    }
}

TEST(UnARJARCHostile, SizesThatLieAndBadSqueezeTrees) {
    KeepFolder keep;
    TempDir dir;
    // An ARJ member recorded far larger than its data: an unexpected end, nothing grows.
    ArjMember big = Stored("BIG.BIN", "short");
    big.size = 1u << 30;
    TUnARJ x;
    Reports ev = ExtractBytes(x, dir, "L.ARJ", BuildArj({big, Stored("NEXT.BIN", "n")}));
    EXPECT_EQ(ev.Codes(), (std::vector<int>{errReadFile, errCRC}));
    EXPECT_EQ(fs::file_size(Out(dir, "BIG.BIN")), 5u);
    EXPECT_TRUE(fs::exists(Out(dir, "NEXT.BIN")));
    // Stored data longer than the recorded size: the surplus is damage, not a larger file.
    ArcMember longer{"LONG.BIN", TextBytes("0123456789"), 2, 4};
    ArcMember tree{"TREE.BIN", {0x01, 0x02}, 4, 10};  // a node count of 513
    TUnARC y;
    ev = ExtractBytes(y, dir, "L.ARC", BuildArc({longer, tree, {"END.BIN", TextBytes("e")}}));
    EXPECT_EQ(ev.Codes(), (std::vector<int>{errBadBlock, errCRC, errInvalidDecodeTree, errCRC}));
    EXPECT_EQ(fs::file_size(Out(dir, "LONG.BIN")), 4u);
    EXPECT_TRUE(fs::exists(Out(dir, "END.BIN")));
}
