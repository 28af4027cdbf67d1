// Type detection: the signature table, executables (string resources, end of the DOS image,
// ZIP tail), the TAR test, and every fixture archive against its manifest.
#include <gtest/gtest.h>

#include <map>

#include "Fixtures.h"
#include "ListerSupport.h"
#include "archive/ArcMain.h"
#include "archive/Detect.h"

using namespace orvello::archive;
using namespace orvello::testing;

namespace {

using A = TArcType;

TArcType TypeNamed(const std::string& name) {
    for (int i = 0; i < kArcTypeCount; ++i) {
        if (ArcTypeName(static_cast<A>(i)) == name) return static_cast<A>(i);
    }
    ADD_FAILURE() << "unknown type name " << name;
    return A::atNA;
}

// Detects bytes held in memory under the given name.
struct Detected {
    A type;
    std::int64_t start;
    std::int64_t sfx;
};

Detected DetectBytes(const std::vector<std::uint8_t>& bytes, const std::string& name = "a.bin",
                     std::int32_t zipCmntBufSize = 0) {
    MemoryFileSystem files;
    files.Add(name, bytes);
    TZipCommon c;
    c.Files = &files;
    c.SetZipCmntBufSize(zipCmntBufSize);
    c.SetArchiveFile(name);
    return {c.ArcType(), c.StartOffset(), c.ZipSfxOffset()};
}

// Four to seven signature bytes.
Classification Classify(std::initializer_list<std::uint8_t> bytes, SignaturePlace place) {
    SignatureBytes s;
    std::copy(bytes.begin(), bytes.end(), s.b);
    s.count = bytes.size();
    return ClassifySignature(s, place);
}

// A DOS program whose image ends at `imageEnd`, followed by `tail` there.
std::vector<std::uint8_t> DosProgram(std::uint32_t imageEnd,
                                     const std::vector<std::uint8_t>& tail) {
    std::vector<std::uint8_t> v(std::max<std::size_t>(imageEnd, 28), 0);
    v[0] = 'M';
    v[1] = 'Z';
    // imageEnd = pages * 512 + lastPageBytes - 512
    Put16(v, 2, (imageEnd % 512));
    Put16(v, 4, imageEnd / 512 + 1);
    v.resize(imageEnd);
    v.insert(v.end(), tail.begin(), tail.end());
    return v;
}

// A one-member stored ZIP placed at `at` inside a file that begins with `prefix` bytes;
// offsets are those of the whole file. `comment` bytes follow the end record.
std::vector<std::uint8_t> ZipAfter(std::vector<std::uint8_t> prefix, std::size_t commentLength) {
    const std::uint32_t local = static_cast<std::uint32_t>(prefix.size());
    auto& v = prefix;
    Put32(v, local, 0x04034B50);
    Put16(v, local + 26, 1);
    PutText(v, local + 30, "A");
    v.push_back('x');  // one stored byte
    const std::uint32_t central = static_cast<std::uint32_t>(v.size());
    Put32(v, central, 0x02014B50);
    Put16(v, central + 28, 1);
    Put32(v, central + 42, local);
    PutText(v, central + 46, "A");
    const std::uint32_t end = static_cast<std::uint32_t>(v.size());
    Put32(v, end, 0x06054B50);
    Put16(v, end + 8, 1);
    Put16(v, end + 10, 1);
    Put32(v, end + 12, 47);
    Put32(v, end + 16, central);
    Put16(v, end + 20, static_cast<unsigned>(commentLength));
    v.resize(v.size() + commentLength, 'c');
    return v;
}

}  // namespace

// ---- the fixtures

class DetectManifest : public ::testing::TestWithParam<FixtureSet> {};

TEST_P(DetectManifest, GivesTheManifestTypeAndOffsets) {
    const FixtureSet& set = GetParam();
    ORVELLO_SKIP_UNLESS_PRESENT(set);
    for (const Json& entry : set.Entries()) {
        const std::string name = entry["archive"].Str();
        SCOPED_TRACE(set.folder + "/" + name);
        TZipCommon c;
        c.SetArchiveFile(set.Path(name));
        EXPECT_EQ(ArcTypeName(c.ArcType()), ArcTypeName(TypeNamed(entry["detect"].Str())));
        if (entry.Has("start_offset")) {
            EXPECT_EQ(c.StartOffset(), entry["start_offset"].Int());
        }
        if (entry.Has("zip_sfx_offset")) {
            EXPECT_EQ(c.ZipSfxOffset(), entry["zip_sfx_offset"].Int());
        }

        // A comment moving the end record out of the default tail window.
        const Json& window = entry["detect_with_comment_window"];
        if (window.Has("ZipCmntBufSize>=40")) {
            TZipCommon wide;
            wide.SetZipCmntBufSize(40);
            wide.SetArchiveFile(set.Path(name));
            EXPECT_EQ(ArcTypeName(wide.ArcType()), window["ZipCmntBufSize>=40"].Items()[0].Str());
            EXPECT_EQ(wide.StartOffset(), window["ZipCmntBufSize>=40"].Items()[1].Int());
            TZipCommon narrow;
            narrow.SetZipCmntBufSize(39);
            narrow.SetArchiveFile(set.Path(name));
            EXPECT_EQ(ArcTypeName(narrow.ArcType()), window["ZipCmntBufSize<=39"].Items()[0].Str());
            EXPECT_EQ(narrow.StartOffset(), window["ZipCmntBufSize<=39"].Items()[1].Int());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, DetectManifest, ::testing::ValuesIn(FixtureSets()),
                         FixtureSetName);

// ---- the signature table

TEST(ClassifySignature, FirstMatchingRuleDecidesAndStartOnlySignaturesFailInsidePrograms) {
    struct Row {
        std::initializer_list<std::uint8_t> bytes;
        A atStart, inside;
    };
    const Row rows[] = {
        {{'P', 'K', '-', 'l'}, A::atZIP, A::atZipExe},  // "PK" wins over "-l"
        {{'M', 'S', 'C', 'F'}, A::atCAB, A::atNA},
        {{'M', 'S', 'C', 'X'}, A::atUnknown, A::atUnknown},
        {{0, 0, 0, 0x50}, A::atZip250, A::atZip250Exe},
        {{'B', 'H', 5, 7}, A::atBH, A::atBHExe},
        {{'B', 'H', 5, 8}, A::atUnknown, A::atUnknown},
        {{'H', 'A', '-', 'l'}, A::atHA, A::atNA},  // HA is tested before LHA
        {{0x1F, 0x8B, 8, 0}, A::atGZip, A::atNA},
        {{0x1F, 0xA0, 0, 0}, A::atGZip, A::atNA},
        {{0x1F, 0x8C, 0, 0}, A::atUnknown, A::atUnknown},
        // A level-0 LHA header whose size byte is 0x1F and whose checksum reads as GZip's:
        // the whole method id decides, a part of it does not.
        {{0x1F, 0x8B, '-', 'l', 'h', '5', '-'}, A::atLHA, A::atLhaExe},
        {{0x1F, 0x9D, '-', 'l', 'z', 's', '-'}, A::atLHA, A::atLhaExe},
        {{0x1F, 0x8B, '-', 'l', 'h', '5', 'x'}, A::atGZip, A::atNA},
        {{0x1F, 0x8B, '-', 'l', 'h', '5'}, A::atGZip, A::atNA},
        {{0x60, 0xEA, '-', 'l'}, A::atARJ, A::atArjExe},
        {{'Z', 'O', '-', 'l'}, A::atZOO, A::atNA},  // ZOO before LHA, start only
        {{0x1E, 0x61, '-', 'l'}, A::atLHA, A::atLhaExe},
        {{'R', 'a', '-', 'l'}, A::atLHA, A::atLhaExe},  // LHA before RAR
        {{'R', 'a', 'r', '!'}, A::atRAR, A::atRarExe},
        {{0x1A, 10, 0, 0}, A::atPAK, A::atPakExe},
        {{0x1A, 11, 0, 0}, A::atPAK, A::atPakExe},
        {{0x1A, 12, 0, 0}, A::atUnknown, A::atUnknown},
        {{0x1A, 8, 0, 0}, A::atARC, A::atArcExe},
        {{0x1A, 2, 0, 0}, A::atARC, A::atArcExe},
        {{0x1A, 1, 0, 0}, A::atARC, A::atArcExe},
        {{0x1A, 0, 0, 0}, A::atUnknown, A::atUnknown},  // the end marker is no signature
        {{0xB7, 0xDF, 0, 0}, A::atArcExe, A::atArcExe},
    };
    for (const Row& r : rows) {
        const auto start = Classify(r.bytes, SignaturePlace::AtStart);
        const auto inside = Classify(r.bytes, SignaturePlace::InsideExe);
        SCOPED_TRACE(testing::PrintToString(std::vector<int>(r.bytes.begin(), r.bytes.end())));
        EXPECT_EQ(start.type, r.atStart);
        EXPECT_EQ(inside.type, r.inside);
    }
    const auto b792 = Classify({0xB7, 0x92, 0, 0}, SignaturePlace::AtStart);
    EXPECT_EQ(b792.type, A::atArcExe);
    EXPECT_EQ(b792.dataStart, 7716);  // StartOffset 7717
}

// ---- plain files

TEST(Detect, FiveBytesAreTooShortSixAreEnough) {
    EXPECT_EQ(DetectBytes({'P', 'K', 3, 4, 0}).type, A::atFileError);
    EXPECT_EQ(DetectBytes({'P', 'K', 3, 4, 0, 0}).type, A::atZIP);
    EXPECT_EQ(DetectBytes({}).type, A::atFileError);
    EXPECT_EQ(DetectBytes({'n', 'o', 't', ' ', 'a', 'n', 'y'}).type, A::atUnknown);
}

// A level-0 LHA header of a 9-character name starts with 0x1F; when its checksum byte is one
// of GZip's second bytes the archive is still LHA, at the start and inside a program, and
// it lists.
TEST(Detect, LhaHeaderThatLooksLikeGZipIsLha) {
    const std::vector<std::uint8_t> data = {'R', 'O', 'M', '!'};
    for (std::uint8_t checksum : {0x8B, 0x9D, 0x9E, 0x1E, 0xA0}) {
        SCOPED_TRACE(static_cast<int>(checksum));
        const auto lzh = LhaLevel0("GAME0.SMC", data, checksum);
        ASSERT_EQ(lzh[0], 0x1F);
        ASSERT_EQ(lzh[1], checksum);
        EXPECT_EQ(DetectBytes(lzh, "a.lzh").type, A::atLHA);
        const Listing l = ListMemory(lzh, "a.lzh");
        EXPECT_TRUE(l.ok);
        ASSERT_EQ(l.members.size(), 1u);
        EXPECT_EQ(l.members[0].name, "GAME0.SMC");
        EXPECT_EQ(l.members[0].size, 4);

        const std::uint32_t at = 600;
        const Detected inside = DetectBytes(DosProgram(at, lzh), "a.exe");
        EXPECT_EQ(inside.type, A::atLhaExe);
        EXPECT_EQ(inside.start, at + 1);
    }
    // A real GZip stream keeps its type: its third byte is the method, never "-".
    EXPECT_EQ(DetectBytes({0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 3}).type, A::atGZip);
}

TEST(Detect, TarNeedsTheExtensionAValidChecksumAndSkipsAVolumeHeader) {
    const auto tar = ReadBytes(FixturePath("tar", "USTAR.TAR"));
    EXPECT_EQ(DetectBytes(tar, "x.Tar").type, A::atTAR);
    EXPECT_EQ(DetectBytes(tar, "dir.tar/x.bin").type,
              A::atUnknown);  // the folder's extension does not count
    EXPECT_EQ(DetectBytes(tar, "tar").type, A::atUnknown);

    auto damaged = tar;
    damaged[0] ^= 1;
    const auto d = DetectBytes(damaged, "x.tar");
    EXPECT_EQ(d.type, A::atUnknown);
    EXPECT_EQ(d.start, 1);

    // A volume header whose following block is damaged leaves StartOffset at 1 again.
    auto volume = ReadBytes(FixturePath("tar", "VOLUME.TAR"));
    EXPECT_EQ(DetectBytes(volume, "v.tar").start, 513);
    volume[512 + 10] ^= 1;
    const auto v = DetectBytes(volume, "v.tar");
    EXPECT_EQ(v.type, A::atUnknown);
    EXPECT_EQ(v.start, 1);

    // Exactly 512 bytes is not enough for the test.
    std::vector<std::uint8_t> one(tar.begin(), tar.begin() + 512);
    EXPECT_EQ(DetectBytes(one, "x.tar").type, A::atUnknown);
}

// ---- executables

TEST(DetectExecutable, SignatureAtTheEndOfTheDosImage) {
    auto d = DetectBytes(DosProgram(600, {0x1A, 8, 'A', 0, 0, 0}));
    EXPECT_EQ(d.type, A::atArcExe);
    EXPECT_EQ(d.start, 601);

    // An ARJ header two bytes further on.
    d = DetectBytes(DosProgram(600, {0, 0, 0x60, 0xEA, 0, 0}));
    EXPECT_EQ(d.type, A::atArjExe);
    EXPECT_EQ(d.start, 603);

    d = DetectBytes(DosProgram(600, {0xB7, 0x92, 0, 0}));
    EXPECT_EQ(d.type, A::atArcExe);
    EXPECT_EQ(d.start, 7717);

    // Nothing there: still unknown.
    EXPECT_EQ(DetectBytes(DosProgram(600, {1, 2, 3, 4})).type, A::atUnknown);
    // An image end beyond the file.
    auto beyond = DosProgram(600, {0x1A, 8, 0, 0});
    Put16(beyond, 4, 5);
    EXPECT_EQ(DetectBytes(beyond).type, A::atUnknown);
}

TEST(DetectExecutable, StartOnlySignaturesInsideAProgramGiveNotAvailable) {
    const std::vector<std::vector<std::uint8_t>> startOnly = {
        {'Z', 'O', 'O', ' '}, {'H', 'A', 2, 0}, {'M', 'S', 'C', 'F'}, {0x1F, 0x8B, 8, 0}};
    for (const auto& sig : startOnly) {
        const auto d = DetectBytes(DosProgram(700, sig));
        EXPECT_EQ(d.type, A::atNA) << int(sig[0]);
        EXPECT_EQ(d.start, 701);
    }
    // Found through a string resource, detection stops there too.
    TZipCommon c;
    c.SetArchiveFile(FixturePath("sfx", "RESZOO.EXE"));
    EXPECT_EQ(c.ArcType(), A::atNA);
    EXPECT_EQ(c.StartOffset(), 6001);
}

TEST(DetectExecutable, ZipEndRecordMustLieInTheTailWindow) {
    const auto stub = DosProgram(600, std::vector<std::uint8_t>(424, 0));  // zeros at the image end
    for (std::size_t comment : {0u, 1u, 40u}) {
        SCOPED_TRACE(comment);
        const auto file = ZipAfter(stub, comment);
        const auto bufSize = static_cast<std::int32_t>(comment);
        // Window = ZipCmntBufSize + 23: the record at index 1 is found, at index 0 it is not.
        const auto found = DetectBytes(file, "a.exe", bufSize);
        EXPECT_EQ(found.type, A::atZipExe);
        EXPECT_EQ(found.start, 1024);  // the local-header offset as stored
        EXPECT_EQ(found.sfx, 0);
        if (comment > 0) {
            EXPECT_EQ(DetectBytes(file, "a.exe", bufSize - 1).type, A::atUnknown);
        }
        EXPECT_EQ(DetectBytes(file, "a.exe", 32767).type, A::atZipExe);
    }
}

TEST(DetectExecutable, OnlyTheLastEndRecordCountsAndItsCentralEntryMustBeThere) {
    const auto stub = DosProgram(600, std::vector<std::uint8_t>(424, 0));
    auto file = ZipAfter(stub, 30);
    // A second, bogus end record inside the comment is met first from the end.
    Put32(file, file.size() - 26, 0x06054B50);
    Put32(file, file.size() - 26 + 16, 7);  // central directory at 7: nothing there
    file.resize(file.size() + 4, 0);
    EXPECT_EQ(DetectBytes(file, "a.exe", 100).type, A::atUnknown);
}

TEST(DetectExecutable, ResourceOffsetsFindEmbeddedArchives) {
    struct Row {
        const char* name;
        A type;
        std::int64_t start, sfx;
    };
    // RES2ZIP.EXE: resource 1 names zero bytes, so resource 2 is tried.
    const Row rows[] = {{"RESZIP.EXE", A::atZipExe, 4097, 4096},
                        {"RES2ZIP.EXE", A::atZipExe, 8193, 8192},
                        {"RESARJ.EXE", A::atArjExe, 5001, 0},
                        {"RESLHA.EXE", A::atLhaExe, 8193, 0}};
    for (const Row& r : rows) {
        TZipCommon c;
        c.SetArchiveFile(FixturePath("sfx", r.name));
        EXPECT_EQ(c.ArcType(), r.type) << r.name;
        EXPECT_EQ(c.StartOffset(), r.start) << r.name;
        EXPECT_EQ(c.ZipSfxOffset(), r.sfx) << r.name;
    }
}

// ---- the properties

TEST(ArchiveFile, EmptyValueDetectsThePreviousArchiveAgainAndAMissingOneClearsIt) {
    TempDir dir;
    const std::string path = dir.Write("game.bin", {'P', 'K', 3, 4, 0, 0, 0});
    TZipCommon c;
    c.SetArchiveFile(path);
    EXPECT_EQ(c.ArcType(), A::atZIP);
    EXPECT_EQ(c.ArchiveSize(), 7);

    dir.Write("game.bin", {0x60, 0xEA, 0, 0, 0, 0, 0, 0});
    c.SetArchiveFile("");
    EXPECT_EQ(c.ArchiveFile(), path);
    EXPECT_EQ(c.ArcType(), A::atARJ);
    EXPECT_EQ(c.ArchiveSize(), 8);

    dir.Write("game.bin", {'Z', 'O', 'O', 0, 0, 0});
    c.SetArcType(A::atRAR);  // the value is ignored: detection runs again
    EXPECT_EQ(c.ArcType(), A::atZOO);

    c.SetArchiveFile(dir.Path() + "/missing.zip");
    EXPECT_EQ(c.ArchiveFile(), "");
    EXPECT_EQ(c.ArcType(), A::atNA);
    EXPECT_EQ(c.ArchiveSize(), 0);
    c.SetArchiveFile("");
    EXPECT_EQ(c.ArcType(), A::atNA);

    // A folder exists but is no archive file.
    c.SetArchiveFile(dir.Path());
    EXPECT_EQ(c.ArcType(), A::atFileError);
}

TEST(ArchiveFile, NothingOfAnEarlierArchiveCarriesOver) {
    TZipCommon c;
    c.SetArchiveFile(FixturePath("sfx", "RESZIP.EXE"));
    ASSERT_EQ(c.ZipSfxOffset(), 4096);
    c.SetArchiveFile(FixturePath("zip", "STORED.ZIP"));
    EXPECT_EQ(c.ArcType(), A::atZIP);
    EXPECT_EQ(c.StartOffset(), 1);
    EXPECT_EQ(c.ZipSfxOffset(), 0);
}

TEST(Properties, FileSpecKeepsItsNamePartAndZipCmntBufSizeIsClamped) {
    TZipCommon c;
    EXPECT_EQ(c.FileSpec(), "*.*");
    c.SetFileSpec("roms/snes\\c:*.SMC");
    EXPECT_EQ(c.FileSpec(), "*.SMC");
    c.SetFileSpec("");
    EXPECT_EQ(c.FileSpec(), "");
    c.Loaded();
    EXPECT_EQ(c.FileSpec(), "*.*");
    c.Designing = true;
    c.SetFileSpec("x");
    c.SetFileSpec("");
    EXPECT_EQ(c.FileSpec(), "*.*");

    c.SetZipCmntBufSize(-5);
    EXPECT_EQ(c.ZipCmntBufSize(), 0);
    c.SetZipCmntBufSize(40000);
    EXPECT_EQ(c.ZipCmntBufSize(), 32767);
}
