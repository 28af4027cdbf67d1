// The ZIP extractor: every fixture archive against its manifest, the edge cases of the walk,
// passwords and overwriting, and hostile archives.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <zlib.h>

#include <filesystem>
#include <map>
#include <stdexcept>

#include "ExtractEvents.h"
#include "Fixtures.h"
#include "Sha256.h"
#include "ZipBuilder.h"
#include "archive/ByteOrder.h"
#include "archive/UnZIP.h"

using namespace orvello::archive;
using namespace orvello::testing;
namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> Slurp(const std::string& p) {
    return ReadBytes(p);
}

}  // namespace

// Every ZIP (plain and self-extracting) of the fixtures extracts to the manifest's contents,
// or fails as the manifest says.
TEST(UnZIPFixtures, EveryArchiveExtractsToItsManifest) {
    KeepFolder keep;
    int archives = 0;
    for (const char* folder : {"zip", "sfx"}) {
        for (const auto& entry : Manifest(folder)) {
            const std::string detect = entry["detect"].Str();
            if (detect != "atZIP" && detect != "atZipExe" &&
                entry["archive"].Str() != "TAILCMT.EXE")
                continue;
            const std::string name = entry["archive"].Str();
            const std::string expect = entry["expect"].Str();
            SCOPED_TRACE(name);
            TempDir out;
            TUnZIP z;
            z.UseStoredDirs = true;
            z.SetZipCmntBufSize(100);  // TAILCMT.EXE's end record lies 40 bytes before the end
            if (expect.rfind("password ", 0) == 0) z.Passwords = {"not it", expect.substr(9)};
            const Events ev = ExtractTo(z, FixturePath(folder, name), out.Path());
            ++archives;
            EXPECT_EQ(ev.deactivate, 1);
            if (name == "EOCDONLY.ZIP") {
                EXPECT_TRUE(ev.Has(errUnknownFileType));
                continue;
            }
            std::map<std::string, bool> ended;
            for (const auto& [fn, pass] : ev.ends)
                ended[fn] = pass;
            for (const auto& m : entry["members"].Items()) {
                if (m["dir"].kind() == Json::Kind::Bool && m["dir"].Bool()) continue;
                const std::string path = out.Path() + "/" + m["name"].Str();
                SCOPED_TRACE(m["name"].Str());
                ASSERT_TRUE(ended.count(path));
                if (m["method"].Int() == 9) {
                    EXPECT_FALSE(ended[path]);
                    EXPECT_FALSE(fs::exists(path));
                    continue;
                }
                const auto bytes = Slurp(path);
                EXPECT_EQ(bytes.size(), static_cast<std::size_t>(m["size"].Int()));
                if (m.Has("sha256_written")) {
                    EXPECT_EQ(Sha256Hex(bytes), m["sha256_written"].Str());
                    EXPECT_FALSE(ended[path]);
                } else {
                    EXPECT_EQ(Sha256Hex(bytes), m["sha256"].Str());
                    EXPECT_TRUE(ended[path]);
                }
            }
            if (name == "BADCRC.ZIP") {
                ASSERT_EQ(ev.errors.size(), 1u);
                EXPECT_EQ(ev.errors[0].first, errCRC);
                EXPECT_EQ(ev.errors[0].second, out.Path() + "/PACMAN.6E");
            } else if (name == "DEFL64.ZIP") {
                // Method 9: one error for each such member, no file and no CRC warning for
                // what was never decoded, and the deflated member after them still comes out.
                EXPECT_EQ(ev.Count(errUnsupportedMethod), 2);
                EXPECT_EQ(ev.errors.size(), 2u);
                EXPECT_TRUE(ev.host.log.empty());
            } else {
                EXPECT_TRUE(ev.errors.empty()) << ev.errors[0].first;
                EXPECT_TRUE(ev.host.log.empty());
            }
        }
    }
    EXPECT_GE(archives, 30);
}

TEST(UnZIP, OneMemberByFileSpecReadsNoOtherData) {
    KeepFolder keep;
    // Break the local headers of every member but TILES.CHR: they must not even be looked at.
    auto zip = ReadBytes(FixturePath("zip", "STORED.ZIP"));
    const std::vector<std::uint8_t> sig = {'P', 'K', 3, 4};
    for (std::size_t i = 0; i + 4 <= zip.size(); ++i) {
        if (std::equal(sig.begin(), sig.end(), zip.begin() + static_cast<std::ptrdiff_t>(i)) &&
            std::string(zip.begin() + static_cast<std::ptrdiff_t>(i) + 30,
                        zip.begin() + static_cast<std::ptrdiff_t>(i) + 39) != "TILES.CHR") {
            zip[i + 2] = 9;  // still "PK" at the start, so still a ZIP
        }
    }
    TempDir dir;
    const std::string archive = dir.Write("S.ZIP", zip);
    TempDir out;
    TUnZIP z;
    z.SetFileSpec("tiles.chr");
    const Events ev = ExtractTo(z, archive, out.Path());
    EXPECT_TRUE(ev.errors.empty()) << ev.errors[0].first << " " << ev.errors[0].second;
    ASSERT_EQ(ev.ends.size(), 1u);
    EXPECT_EQ(ev.ends[0], std::make_pair(out.Path() + "/TILES.CHR", true));
    EXPECT_EQ(ev.recNums, std::vector<std::int32_t>{1});
    EXPECT_EQ(std::distance(fs::directory_iterator(out.Path()), fs::directory_iterator()), 1);
    // The same archive with every member asked for: the broken ones are warned about and
    // stepped over.
    TUnZIP all;
    TempDir out2;
    const Events ev2 = ExtractTo(all, archive, out2.Path());
    EXPECT_EQ(ev2.Count(errLocalHeader), 3);
    EXPECT_EQ(ev2.recNums, std::vector<std::int32_t>{1});
}

TEST(UnZIP, DirectoryEntriesWithExtraFieldsAreSteppedOver) {
    KeepFolder keep;
    TempDir out;
    TUnZIP z;  // without stored folders: every file lands in ExtractDir itself
    const Events ev = ExtractTo(z, FixturePath("zip", "DIREXTRA.ZIP"), out.Path());
    EXPECT_TRUE(ev.errors.empty());
    EXPECT_EQ(ev.ends.size(), 4u);
    for (const char* f : {"PACMAN.6F", "Super Game (USA).sfc", "Read Me First.txt", "TOP.TXT"}) {
        EXPECT_TRUE(fs::is_regular_file(out.Path() + "/" + f)) << f;
    }
    EXPECT_FALSE(fs::exists(out.Path() + "/roms"));
}

TEST(UnZIP, Zip64ArchivesTakeOffsetsAndSizesFromTheirZip64Records) {
    KeepFolder keep;
    std::vector<std::uint8_t> rom(70000);
    for (std::size_t i = 0; i < rom.size(); ++i)
        rom[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
    const auto zip = BuildZip({Entry("GAME.SMC", rom), Entry("READ.ME", Text("hello"))}, "", true);
    TempDir dir;
    TempDir out;
    TUnZIP z;
    const Events ev = ExtractTo(z, dir.Write("Z64.ZIP", zip), out.Path());
    EXPECT_TRUE(ev.errors.empty()) << ev.errors[0].first;
    EXPECT_EQ(ev.ends, (std::vector<std::pair<std::string, bool>>{
                           {out.Path() + "/GAME.SMC", true}, {out.Path() + "/READ.ME", true}}));
    EXPECT_EQ(Slurp(out.Path() + "/GAME.SMC"), rom);
    EXPECT_EQ(Slurp(out.Path() + "/READ.ME"), Text("hello"));

    // A locator that leads nowhere leaves the all-ones offset of the end record: the
    // directory is not found and nothing is written.
    auto lost = zip;
    const std::vector<std::uint8_t> locator = {'P', 'K', 6, 7};
    const auto at = std::search(lost.begin(), lost.end(), locator.begin(), locator.end());
    ASSERT_NE(at, lost.end());
    at[8] ^= 0x40;
    TempDir out2;
    TUnZIP z2;
    const Events ev2 = ExtractTo(z2, dir.Write("LOST.ZIP", lost), out2.Path());
    EXPECT_TRUE(ev2.Has(errHeaderID));
    EXPECT_TRUE(ev2.ends.empty());
    EXPECT_TRUE(fs::is_empty(out2.Path()));
}

TEST(UnZIP, RefusedOverwriteLeavesTheFileAndEndsWithNothingToDo) {
    KeepFolder keep;
    TempDir out;
    const std::string existing = out.Write("ONE.BYT", Text("keep me"));
    TUnZIP z;
    z.SetFileSpec("ONE.BYT");
    std::vector<std::string> asked;
    z.OnFileExists = [&](TZipCommon&, const std::string& fn, bool& accept) {
        asked.push_back(fn);
        accept = false;
    };
    bool begun = false;
    Events ev;
    Hook(z, ev);
    z.OnBegin = [&](TZipCommon&, const std::string&, std::int32_t, bool&) { begun = true; };
    z.SetArchiveFile(FixturePath("zip", "STORED.ZIP"));
    z.SetExtractDir(out.Path());
    z.Extract();
    EXPECT_EQ(asked, std::vector<std::string>{existing});
    EXPECT_FALSE(begun);  // a refused member gets no OnBegin
    EXPECT_EQ(Slurp(existing), Text("keep me"));
    EXPECT_EQ(ev.ends, (std::vector<std::pair<std::string, bool>>{{existing, false}}));
    EXPECT_EQ(ev.errors, (std::vector<std::pair<int, std::string>>{
                             {errNothingToDo, FixturePath("zip", "STORED.ZIP")}}));

    // Without a handler the file is overwritten.
    TUnZIP plain;
    const Events ev2 = ExtractTo(plain, FixturePath("zip", "STORED.ZIP"), out.Path());
    EXPECT_TRUE(ev2.errors.empty());
    EXPECT_EQ(Slurp(existing).size(), 1u);
}

TEST(UnZIP, PasswordsFromTheListFromTheHandlerAndTheCurrentOne) {
    KeepFolder keep;
    {
        // The second line of Passwords opens every member; no handler is needed.
        TempDir out;
        TUnZIP z;
        z.Passwords = {"wrong", "secret"};
        const Events ev = ExtractTo(z, FixturePath("zip", "CRYPT.ZIP"), out.Path());
        EXPECT_TRUE(ev.errors.empty());
        EXPECT_EQ(ev.ends.size(), 3u);
        for (const auto& e : ev.ends)
            EXPECT_TRUE(e.second) << e.first;
    }
    {
        // A handler asked once: its answer becomes the current password and the first line.
        TempDir out;
        TUnZIP z;
        z.Passwords = {"wrong"};
        int asked = 0;
        z.OnGetPassword = [&](TZipCommon&, const std::string&, std::string& pw, bool& again) {
            ++asked;
            EXPECT_TRUE(again);
            pw = asked == 1 ? "guess" : "secret";  // the first answer is rejected
        };
        const Events ev = ExtractTo(z, FixturePath("zip", "CRYPT.ZIP"), out.Path());
        EXPECT_EQ(asked, 2);
        EXPECT_EQ(z.Passwords, (std::vector<std::string>{"secret", "wrong"}));
        EXPECT_EQ(ev.errors, (std::vector<std::pair<int, std::string>>{
                                 {errInvalidPassword, out.Path() + "/README"}}));
        EXPECT_EQ(ev.ends.size(), 3u);
    }
    {
        // TryAgain false: the member fails with 26522 and the walk ends there.
        TempDir out;
        TUnZIP z;
        z.OnGetPassword = [&](TZipCommon&, const std::string&, std::string&, bool& again) {
            again = false;
        };
        const Events ev = ExtractTo(z, FixturePath("zip", "CRYPT.ZIP"), out.Path());
        EXPECT_EQ(ev.errors, (std::vector<std::pair<int, std::string>>{
                                 {errPasswordFailed, out.Path() + "/README"},
                                 {errNothingToDo, FixturePath("zip", "CRYPT.ZIP")}}));
        EXPECT_EQ(ev.recNums, std::vector<std::int32_t>{1});
        EXPECT_FALSE(fs::exists(out.Path() + "/README"));
    }
    {
        // No handler and no list: 25172, and the walk ends.
        TempDir out;
        TUnZIP z;
        const Events ev = ExtractTo(z, FixturePath("zip", "CRYPTDD.ZIP"), out.Path());
        ASSERT_FALSE(ev.errors.empty());
        EXPECT_EQ(ev.errors[0].first, errNoOnPassword);
        EXPECT_EQ(ev.recNums.size(), 1u);
    }
}

// A member whose file cannot be made (a folder stands in its place) is said and ended; a
// plain member ends the whole call there, an encrypted one only itself, and neither is taken
// for a member with a bad CRC.
TEST(UnZIP, AFileThatCannotBeMadeIsSaidAndEnded) {
    KeepFolder keep;
    {
        TempDir src, out;
        const std::string archive = src.Write(
            "P.ZIP", BuildZip({Entry("A.BIN", Text("first")), Entry("B.BIN", Text("second"))}));
        fs::create_directory(out.Path() + "/A.BIN");
        TUnZIP z;
        const Events ev = ExtractTo(z, archive, out.Path());
        EXPECT_EQ(ev.errors,
                  (std::vector<std::pair<int, std::string>>{{errOpenFile, out.Path() + "/A.BIN"}}));
        EXPECT_EQ(ev.ends,
                  (std::vector<std::pair<std::string, bool>>{{out.Path() + "/A.BIN", false}}));
        EXPECT_FALSE(fs::exists(out.Path() + "/B.BIN"));
        EXPECT_EQ(ev.deactivate, 1);
    }
    {
        TempDir out;
        fs::create_directory(out.Path() + "/README");
        TUnZIP z;
        z.Passwords = {"secret"};
        const Events ev = ExtractTo(z, FixturePath("zip", "CRYPT.ZIP"), out.Path());
        EXPECT_EQ(
            ev.errors,
            (std::vector<std::pair<int, std::string>>{{errOpenFile, out.Path() + "/README"}}));
        ASSERT_EQ(ev.ends.size(), 3u);
        for (const auto& [path, pass] : ev.ends)
            EXPECT_EQ(pass, path != out.Path() + "/README") << path;
    }
}

TEST(UnZIP, DatesPermissionsAndProgress) {
    KeepFolder keep;
    TempDir src;
    ZipEntry ro = Entry("RO.BIN", std::vector<std::uint8_t>(5000, 7));
    ro.externalAttr = 0x01;  // DOS read-only
    ZipEntry suid = Entry("TOOL", Text("#!/bin/sh\n"));
    suid.versionMadeBy = 3 << 8;
    suid.externalAttr = (0104755u << 16);  // regular file, set-user-id, rwxr-xr-x
    const std::string archive = src.Write("A.ZIP", BuildZip({ro, suid}));
    TempDir out;
    TUnZIP z;
    z.ProgressNotify = TProgressNotify::TwentyFive;
    const Events ev = ExtractTo(z, archive, out.Path());
    EXPECT_TRUE(ev.errors.empty());
    struct stat st {};
    ASSERT_EQ(::stat((out.Path() + "/RO.BIN").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    std::time_t want;
    ASSERT_TRUE(DosDateTimeToUnix((std::uint32_t{ro.dosDate} << 16) | ro.dosTime, want));
    EXPECT_EQ(st.st_mtime, want);
    ASSERT_EQ(::stat((out.Path() + "/TOOL").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    // A stored member reports every change: one buffer here, so 100 once per member.
    EXPECT_EQ(ev.progress, (std::vector<std::uint8_t>{100, 100}));

    // Deflated members report multiples of the step only.
    TUnZIP d;
    d.ProgressNotify = TProgressNotify::TwentyFive;
    TempDir out2;
    const Events ev2 = ExtractTo(d, FixturePath("zip", "BIGROM.ZIP"), out2.Path());
    EXPECT_EQ(ev2.progress, (std::vector<std::uint8_t>{25, 50, 75, 100}));
}

// A cancel asked from the progress handler ends the member at its next block, removes its
// partial file, begins no further member and reports the cancel; the next call runs whole.
TEST(UnZIP, ACancelStopsAtTheNextBlockAndLeavesNoPartialFile) {
    KeepFolder keep;
    TempDir src;
    std::vector<std::uint8_t> big(200000);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 7);
    const std::string archive =
        src.Write("C.ZIP", BuildZip({Entry("BIG.BIN", big), Entry("SMALL.BIN", Text("small"))}));
    TempDir out;
    TUnZIP z;
    Events ev;
    Hook(z, ev);
    z.OnProgress = [&](TZipCommon&, const std::string&, std::uint8_t p) {
        ev.progress.push_back(p);
        z.Cancel();
    };
    z.SetArchiveFile(archive);
    z.SetExtractDir(out.Path());
    z.Extract();
    EXPECT_TRUE(z.Cancelled());
    ASSERT_EQ(ev.progress.size(), 1u) << "stopped at the block after the first report";
    EXPECT_LT(ev.progress[0], 100);
    EXPECT_EQ(ev.ends,
              (std::vector<std::pair<std::string, bool>>{{out.Path() + "/BIG.BIN", false}}));
    EXPECT_EQ(ev.recNums, std::vector<std::int32_t>{1}) << "no member begun after the cancel";
    EXPECT_EQ(ev.errors, (std::vector<std::pair<int, std::string>>{{errCancelled, archive}}));
    EXPECT_EQ(ev.deactivate, 1);
    EXPECT_FALSE(fs::exists(out.Path() + "/BIG.BIN"))
        << "a partial file never passes for the member";
    EXPECT_TRUE(fs::is_empty(out.Path()));

    // The request was used up: the next extraction runs whole. A request made before the
    // call (as a window may make it before the extraction's thread gets going) stops it at
    // once.
    const Events again = ExtractTo(z, archive, out.Path());
    EXPECT_FALSE(z.Cancelled());
    EXPECT_TRUE(again.errors.empty());
    EXPECT_EQ(Slurp(out.Path() + "/BIG.BIN"), big);
    TempDir out2;
    z.Cancel();
    const Events early = ExtractTo(z, archive, out2.Path());
    EXPECT_TRUE(z.Cancelled());
    EXPECT_TRUE(early.recNums.empty());
    EXPECT_TRUE(fs::is_empty(out2.Path()));
}

TEST(UnZIPHostile, NamesThatLeaveTheFolderAreRefusedAndTheWalkGoesOn) {
    KeepFolder keep;
    TempDir src;
    const std::string archive = src.Write(
        "H.ZIP",
        BuildZip({Entry("../escape.txt", Text("x")), Entry("a/../../escape2.txt", Text("x")),
                  Entry("/abs/rooted.txt", Text("rooted")),
                  Entry("C:\\dos\\drive.txt", Text("drive")), Entry("good.txt", Text("good"))}));
    TempDir out;
    const std::string inner = out.Path() + "/in";
    fs::create_directory(inner);
    TUnZIP z;
    z.UseStoredDirs = true;
    const Events ev = ExtractTo(z, archive, inner);
    EXPECT_EQ(ev.Count(errInvalidFileName), 2);
    EXPECT_FALSE(fs::exists(out.Path() + "/escape.txt"));
    EXPECT_FALSE(fs::exists(out.Path() + "/escape2.txt"));
    EXPECT_EQ(Slurp(inner + "/abs/rooted.txt"), Text("rooted"));
    EXPECT_EQ(Slurp(inner + "/dos/drive.txt"), Text("drive"));
    EXPECT_EQ(Slurp(inner + "/good.txt"), Text("good"));
}

TEST(UnZIPHostile, SymbolicLinksAreNeverCreatedNorWrittenThrough) {
    KeepFolder keep;
    TempDir outside;
    const std::string victim = outside.Write("victim", Text("precious"));
    TempDir src;
    ZipEntry link = Entry("link", Text(victim));
    link.versionMadeBy = 3 << 8;
    link.externalAttr = 0120777u << 16;  // a symbolic link whose target is the victim
    const std::string archive =
        src.Write("L.ZIP", BuildZip({Entry("victim", Text("overwritten")), link}));
    TempDir out;
    fs::create_symlink(victim, out.Path() + "/victim");  // planted at the output path
    TUnZIP z;
    const Events ev = ExtractTo(z, archive, out.Path());
    EXPECT_EQ(Slurp(victim), Text("precious"));
    EXPECT_TRUE(fs::is_symlink(out.Path() + "/victim"));
    EXPECT_TRUE(ev.Has(errLinkInPath));
    EXPECT_EQ(ev.written, (std::vector<bool>{false, true}));
    // The link member comes out as a plain file holding the target's name.
    EXPECT_FALSE(fs::is_symlink(out.Path() + "/link"));
    EXPECT_EQ(Slurp(out.Path() + "/link"), Text(victim));
}

TEST(UnZIPHostile, DataBeyondTheRecordedSizeIsDamageNotALargerFile) {
    KeepFolder keep;
    TempDir src;
    ZipEntry big = Entry("BIG.BIN", std::vector<std::uint8_t>(100000, 'A'));
    big.size = 1000;  // the data holds far more
    big.crc = Crc32(std::vector<std::uint8_t>(1000, 'A'));
    const std::string archive = src.Write("X.ZIP", BuildZip({big}));
    TempDir out;
    TUnZIP z;
    const Events ev = ExtractTo(z, archive, out.Path());
    EXPECT_EQ(fs::file_size(out.Path() + "/BIG.BIN"), 1000u);
    EXPECT_TRUE(ev.Has(errBadBlock));
    ASSERT_EQ(ev.ends.size(), 1u);
    EXPECT_FALSE(ev.ends[0].second);
}

TEST(UnZIPHostile, OverlappingMembersAndTruncatedArchives) {
    KeepFolder keep;
    TempDir src;
    {
        // Two entries share one member's data: the second is refused and the call ends.
        ZipEntry a = Entry("A.BIN", std::vector<std::uint8_t>(3000, 'a'));
        ZipEntry b = a;
        b.name = "B.BIN";
        b.localAt = 0;
        b.skipLocal = true;
        ZipEntry c = Entry("C.BIN", Text("after"));
        const std::string archive = src.Write("O.ZIP", BuildZip({a, b, c}));
        TempDir out;
        TUnZIP z;
        const Events ev = ExtractTo(z, archive, out.Path());
        EXPECT_TRUE(fs::exists(out.Path() + "/A.BIN"));
        EXPECT_FALSE(fs::exists(out.Path() + "/B.BIN"));
        EXPECT_FALSE(fs::exists(out.Path() + "/C.BIN"));
        EXPECT_TRUE(ev.Has(errBadFileHeader));
    }
    {
        // A member whose data would run into the central directory.
        ZipEntry a = Entry("A.BIN", Text("short"));
        a.packed = 500;
        const std::string archive = src.Write("C.ZIP", BuildZip({a}));
        TempDir out;
        TUnZIP z;
        const Events ev = ExtractTo(z, archive, out.Path());
        EXPECT_FALSE(fs::exists(out.Path() + "/A.BIN"));
        EXPECT_TRUE(ev.Has(errBadFileHeader));
    }
    {
        // Cut short: no end record is left.
        auto zip = ReadBytes(FixturePath("zip", "DEFL9.ZIP"));
        zip.resize(zip.size() / 2);
        const std::string archive = src.Write("T.ZIP", zip);
        TempDir out;
        TUnZIP z;
        const Events ev = ExtractTo(z, archive, out.Path());
        EXPECT_EQ(ev.errors.size(), 1u);
        EXPECT_TRUE(ev.Has(errUnknownFileType) || ev.Has(errArchiveType));
    }
    {
        // The data of the last member cut off before the central directory: it ends early.
        ZipEntry a = Entry("A.BIN", std::vector<std::uint8_t>(4000, 'q'));
        auto zip = BuildZip({a});
        // Move the central directory down over the member's data.
        const std::size_t cd = zip.size() - 22 - 46 - 5;
        const std::size_t keepData = 30 + 5 + 100;
        std::vector<std::uint8_t> cut(keepData + (zip.size() - cd));
        std::copy_n(zip.begin(), keepData, cut.begin());
        std::copy(zip.begin() + static_cast<std::ptrdiff_t>(cd), zip.end(), cut.begin() + keepData);
        const std::uint32_t newCd = 30 + 5 + 100;
        cut[cut.size() - 6] = static_cast<std::uint8_t>(newCd);
        cut[cut.size() - 5] = static_cast<std::uint8_t>(newCd >> 8);
        const std::string archive = src.Write("D.ZIP", cut);
        TempDir out;
        TUnZIP z;
        const Events ev = ExtractTo(z, archive, out.Path());
        EXPECT_TRUE(ev.Has(errBadFileHeader));  // its recorded data now covers the directory
    }
}

TEST(UnZIP, ErrorsBeforeTheWalk) {
    KeepFolder keep;
    TempDir src;
    TUnZIP z;
    Events ev;
    Hook(z, ev);
    z.Extract();  // no archive
    EXPECT_EQ(ev.errors, (std::vector<std::pair<int, std::string>>{{errInvalidFileName, ""}}));
    Events ev2;
    TUnZIP lha;
    const std::string notZip = src.Write("N.LZH", Text("xx-lh5-yyyyyyyyyyyy"));
    ev2 = ExtractTo(lha, notZip, src.Path());
    EXPECT_EQ(ev2.errors, (std::vector<std::pair<int, std::string>>{{errArchiveType, notZip}}));
    // A central directory offset pointing at nothing.
    auto zip = BuildZip({Entry("A", Text("a"))});
    zip[zip.size() - 6] = 0x7F;
    const std::string badCd = src.Write("B.ZIP", zip);
    TUnZIP z3;
    const Events ev3 = ExtractTo(z3, badCd, src.Path());
    EXPECT_EQ(ev3.errors, (std::vector<std::pair<int, std::string>>{{errHeaderID, badCd}}));
    EXPECT_EQ(ev3.activate, 0);
    EXPECT_EQ(ev3.deactivate, 1);
}

// ---- members that cannot be written whole are said, one by one

namespace {

// `n` bytes that deflate cannot shrink, and their raw deflate stream.
std::vector<std::uint8_t> Noise(std::size_t n) {
    std::vector<std::uint8_t> v(n);
    std::uint32_t x = 2463534242u;
    for (auto& b : v) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(x);
    }
    return v;
}

ZipEntry Deflated(const std::string& name, const std::vector<std::uint8_t>& data) {
    z_stream s{};
    deflateInit2(&s, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::vector<std::uint8_t> out(deflateBound(&s, data.size()));
    s.next_in = const_cast<Bytef*>(data.data());
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    ZipEntry e = Entry(name, out);
    e.method = 8;
    e.crc = Crc32(data);
    e.size = static_cast<std::int64_t>(data.size());
    return e;
}

}  // namespace

TEST(UnZIPHostile, RecordedSizesLargerThanTheDataAreDamageAndNothingIsReservedForThem) {
    KeepFolder keep;
    TempDir src;
    const auto data = Noise(5000);
    ZipEntry noZip64 = Deflated("NOZIP64.BIN", data);
    noZip64.size = 0xFFFFFFFF;  // all ones, but no ZIP64 field to say more
    ZipEntry huge = Deflated("HUGE.BIN", data);
    huge.size = std::int64_t{1} << 62;  // a ZIP64 size no real archive holds
    for (const auto& [name, bytes] :
         {std::pair{std::string("A.ZIP"), BuildZip({noZip64, Entry("OK.TXT", Text("ok"))})},
          std::pair{std::string("B.ZIP"),
                    BuildZip({huge, Entry("OK.TXT", Text("ok"))}, "", true)}}) {
        SCOPED_TRACE(name);
        const std::string archive = src.Write(name, bytes);
        TempDir out;
        TUnZIP z;
        const Events ev = ExtractTo(z, archive, out.Path());
        const std::string damaged =
            out.Path() + "/" + (name == "A.ZIP" ? "NOZIP64.BIN" : "HUGE.BIN");
        EXPECT_EQ(ev.errors, (std::vector<std::pair<int, std::string>>{{errReadFile, damaged}}));
        ASSERT_EQ(ev.ends.size(), 2u);
        EXPECT_FALSE(ev.ends[0].second);
        EXPECT_TRUE(ev.ends[1].second);
        // The file holds what the data gave, on disk too: no space taken for the rest.
        struct stat st {};
        ASSERT_EQ(::stat(damaged.c_str(), &st), 0);
        EXPECT_EQ(st.st_size, 5000);
        EXPECT_LE(st.st_blocks * 512, 5000 + 64 * 1024);
        EXPECT_EQ(Slurp(out.Path() + "/OK.TXT"), Text("ok"));
    }
}

TEST(UnZIPHostile, EmptyNamesAndATruncatedLastEntryAreReported) {
    KeepFolder keep;
    TempDir src;
    const std::string archive = src.Write(
        "E.ZIP", BuildZip({Entry("", Text("nameless")), Entry("/", Text("root")),
                           Entry("GOOD.TXT", Text("good")), Entry("LAST.TXT", Text("last"))}));
    {
        TempDir out;
        TUnZIP z;
        z.UseStoredDirs = true;
        const Events ev = ExtractTo(z, archive, out.Path());
        EXPECT_EQ(ev.errors,
                  (std::vector<std::pair<int, std::string>>{
                      {errInvalidFileName, archive + " (entry 1)"}, {errInvalidFileName, "/"}}));
        EXPECT_EQ(Slurp(out.Path() + "/GOOD.TXT"), Text("good"));
        EXPECT_EQ(Slurp(out.Path() + "/LAST.TXT"), Text("last"));
    }
    {
        // The last central entry's name length runs past the end of the file.
        auto bytes = ReadBytes(archive);
        const std::size_t lastEntry = bytes.size() - 22 - (46 + 8);
        ASSERT_EQ(Le32(bytes.data() + lastEntry), 0x02014b50u);
        Put16(bytes, lastEntry + 28, 0xFFFF);
        const std::string cut = src.Write("T.ZIP", bytes);
        TempDir out;
        TUnZIP z;
        const Events ev = ExtractTo(z, cut, out.Path());
        EXPECT_EQ(ev.errors.back(), (std::pair<int, std::string>{errReadFile, cut + " (entry 4)"}));
        EXPECT_EQ(Slurp(out.Path() + "/GOOD.TXT"), Text("good"));
        EXPECT_FALSE(fs::exists(out.Path() + "/LAST.TXT"));
    }
}

TEST(UnZIPHostile, NoOutputPathPassesThroughALinkBelowTheFolder) {
    KeepFolder keep;
    TempDir elsewhere;
    TempDir src;
    const std::string archive =
        src.Write("K.ZIP", BuildZip({Entry("linkdir/evil.txt", Text("evil")),
                                     Entry("sub/deeper/evil2.txt", Text("evil")),
                                     Entry("linkdir/", {}), Entry("sub/fine.txt", Text("fine"))}));
    TempDir out;
    fs::create_symlink(elsewhere.Path(), out.Path() + "/linkdir");
    fs::create_directories(out.Path() + "/sub");
    fs::create_symlink(elsewhere.Path(), out.Path() + "/sub/deeper");
    TUnZIP z;
    z.UseStoredDirs = true;
    const Events ev = ExtractTo(z, archive, out.Path());
    EXPECT_EQ(ev.errors,
              (std::vector<std::pair<int, std::string>>{{errLinkInPath, "linkdir/evil.txt"},
                                                        {errLinkInPath, "sub/deeper/evil2.txt"},
                                                        {errLinkInPath, "linkdir/"}}));
    EXPECT_TRUE(fs::is_empty(elsewhere.Path()));
    EXPECT_EQ(Slurp(out.Path() + "/sub/fine.txt"), Text("fine"));
    // Without the stored folders the member goes into the folder itself.
    TempDir flat;
    fs::create_symlink(elsewhere.Path(), flat.Path() + "/linkdir");
    TUnZIP f;
    const Events ev2 = ExtractTo(f, archive, flat.Path());
    EXPECT_TRUE(ev2.errors.empty());
    EXPECT_EQ(Slurp(flat.Path() + "/evil.txt"), Text("evil"));
    EXPECT_TRUE(fs::is_empty(elsewhere.Path()));
}

// What cannot be read here gets one error naming the cause, no file and no CRC warning; the
// members after it still come out.
TEST(UnZIP, UnsupportedEncryptionAndMethodsAreSaidOnce) {
    KeepFolder keep;
    TempDir src;
    ZipEntry aes = Entry("AES.BIN", Text("0123456789abcdefghij"));
    aes.method = 99;
    aes.flags = 1;
    aes.extra = std::string("\x01\x99\x07\x00\x02\x00\x41\x45\x03\x08\x00", 11);
    ZipEntry strong = Entry("STRONG.BIN", Text("0123456789abcdefghij"));
    strong.flags = 0x41;
    ZipEntry lzma = Entry("LZMA.BIN", Text("not really lzma"));
    lzma.method = 14;
    const std::string archive =
        src.Write("U.ZIP", BuildZip({aes, strong, lzma, Entry("PLAIN.TXT", Text("plain"))}));
    TempDir out;
    TUnZIP z;
    const Events ev = ExtractTo(z, archive, out.Path());
    EXPECT_EQ(ev.errors, (std::vector<std::pair<int, std::string>>{
                             {errUnsupportedEncryption, out.Path() + "/AES.BIN"},
                             {errUnsupportedEncryption, out.Path() + "/STRONG.BIN"},
                             {errUnsupportedMethod, out.Path() + "/LZMA.BIN"}}));
    EXPECT_EQ(ev.written, (std::vector<bool>{false, false, false, true}));
    EXPECT_FALSE(fs::exists(out.Path() + "/AES.BIN"));
    EXPECT_FALSE(fs::exists(out.Path() + "/LZMA.BIN"));
    EXPECT_EQ(Slurp(out.Path() + "/PLAIN.TXT"), Text("plain"));
    EXPECT_TRUE(ev.host.log.empty());

    // Alone in its archive: that error and no "Nothing to do" after it. Without OnError the
    // host's information box says it.
    const std::string lone = src.Write("A.ZIP", BuildZip({aes}));
    TUnZIP z2;
    const Events ev2 = ExtractTo(z2, lone, out.Path());
    EXPECT_EQ(ev2.errors, (std::vector<std::pair<int, std::string>>{
                              {errUnsupportedEncryption, out.Path() + "/AES.BIN"}}));
    RecordingHost host;
    TUnZIP quiet;
    quiet.Host = &host;
    quiet.SetArchiveFile(lone);
    quiet.SetExtractDir(out.Path());
    quiet.Extract();
    EXPECT_EQ(host.log, std::vector<std::string>{"information: Unsupported encryption method"});
}

namespace {

int OpenFiles() {
    int n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

}  // namespace

// Whatever a handler throws ends the extraction at the component: reported, OnDeactivate
// fired once, the archive closed.
TEST(UnZIP, HandlerExceptionsAreCaughtReportedAndCleanedUp) {
    KeepFolder keep;
    TempDir src;
    const std::string archive =
        src.Write("H.ZIP", BuildZip({Entry("A.TXT", Text("a")), Entry("B.TXT", Text("b"))}));
    const int before = OpenFiles();
    for (int where = 0; where < 3; ++where) {
        SCOPED_TRACE(where);
        TempDir out;
        TUnZIP z;
        Events ev;
        Hook(z, ev);
        if (where == 0) {
            z.OnBegin = [](TZipCommon&, const std::string&, std::int32_t, bool&) {
                throw std::runtime_error("handler");
            };
        } else if (where == 1) {
            z.OnProgress = [](TZipCommon&, const std::string&, std::uint8_t) { throw 42; };
        } else {
            z.OnDeactivate = [&](TZipCommon&) {
                ++ev.deactivate;
                throw std::logic_error("late");
            };
        }
        z.SetArchiveFile(archive);
        z.SetExtractDir(out.Path());
        EXPECT_NO_THROW(z.Extract());
        EXPECT_EQ(ev.errors.back(), (std::pair<int, std::string>{errEventHandler, archive}));
        EXPECT_EQ(ev.activate, 1);
        EXPECT_EQ(ev.deactivate, 1);
        EXPECT_EQ(OpenFiles(), before);
    }
}
