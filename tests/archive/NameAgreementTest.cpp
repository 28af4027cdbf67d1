// The name a member is listed under is the name FileSpec selects it by and the name its file
// gets, in every format and in every name encoding: through the library and through
// orvello-arc. Names hold code page 437 letters, Shift-JIS (whose second bytes may be "\"),
// and the other code pages a user can choose.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ArjArcBuilder.h"
#include "Fixtures.h"
#include "LhaZooBuilder.h"
#include "ListerSupport.h"
#include "ToolRun.h"
#include "ZipBuilder.h"
#include "archive/Extractors.h"
#include "archive/NameCodec.h"

using namespace orvello::archive;
using namespace orvello::testing;
namespace fs = std::filesystem;

namespace {

const std::string kDosName = "GAME \x94.SMC";          // code page 437: "GAME ö.SMC"
const std::string kDosListed = "GAME \xC3\xB6.SMC";    // "GAME ö.SMC"
const std::string kSjisName = "\x95\x5C\x8E\xA6.SMC";  // "表示.SMC": 0x5C is a trail byte
const std::string kSjisListed = "\xE8\xA1\xA8\xE7\xA4\xBA.SMC";

ByteVec Data(const std::string& s) {
    return {s.begin(), s.end()};
}

// The archive lists `listed` among its members; a FileSpec of exactly that name extracts one
// file of that name holding `content`; the same through orvello-arc with --names.
void ExpectAgreement(const ByteVec& bytes, const std::string& file, const std::string& listed,
                     const std::string& content, NameEncoding encoding = NameEncoding::kAuto) {
    SCOPED_TRACE(file + " " + std::string(NameEncodingText(encoding)));
    TempDir src, out, toolOut;
    const std::string archive = src.Write(file, bytes);

    TArcLister lister;
    lister.NamesEncoding = encoding;
    lister.SetFileSpec("*.*");
    lister.SetArchiveFile(archive);
    std::vector<std::string> names;
    for (const auto& m : RunLister(lister).members)
        names.push_back(m.name);
    EXPECT_NE(std::find(names.begin(), names.end(), listed), names.end()) << names.size();

    auto x = MakeExtractor(lister.ArcType());
    ASSERT_TRUE(x);
    x->NamesEncoding = encoding;
    x->SetArchiveFile(archive);
    x->SetExtractDir(out.Path());
    x->SetFileSpec(listed);
    std::vector<int> errors;
    x->OnError = [&](TZipCommon&, const std::string&, const std::string&, int code) {
        if (code != errSkippedFile) errors.push_back(code);
    };
    x->Extract();
    EXPECT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(FilesBelow(out.Path()), std::vector<std::string>{listed});
    EXPECT_EQ(ReadBytes(out.Path() + "/" + listed), Data(content));

    const std::string names_ = std::string(NameEncodingText(encoding));
    const ToolRun list = RunTool({"list", archive, "--names", names_});
    EXPECT_EQ(list.status, 0) << list.err;
    const auto toolNames = ListedNames(list.out);
    EXPECT_NE(std::find(toolNames.begin(), toolNames.end(), listed), toolNames.end()) << list.out;
    const ToolRun r = RunTool({"extract", archive, toolOut.Path(), listed, "--names", names_});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ok\t" + toolOut.Path() + "/" + listed + "\n");
    EXPECT_EQ(FilesBelow(toolOut.Path()), std::vector<std::string>{listed});
}

}  // namespace

// The names users found listed one way and written another: code page 437 in every format.
TEST(NameAgreement, CodePage437InEveryFormat) {
    const std::string other = "OTHER.SMC";
    for (int level : {0, 1, 2}) {
        ExpectAgreement(BuildLha({Lha(kDosName, Data("lha"), level), Lha(other, Data("x"))}),
                        "L" + std::to_string(level) + ".LZH", kDosListed, "lha");
    }
    ArjMember a, b;
    a.name = kDosName;
    a.data = Data("arj");
    b.name = other;
    b.data = Data("x");
    ExpectAgreement(BuildArj({a, b}), "DOS.ARJ", kDosListed, "arj");
    ExpectAgreement(BuildArc({{kDosName, Data("arc")}, {other, Data("x")}}), "DOS.ARC", kDosListed,
                    "arc");
    ExpectAgreement(BuildZoo({Zoo("GAME\x94.SMC", Data("zoo")), Zoo(other, Data("x"))}), "S.ZOO",
                    "GAME\xC3\xB6.SMC", "zoo");
    ExpectAgreement(BuildZoo({Zoo("GAME.SMC", Data("zoo"), 0, kDosName), Zoo(other, Data("x"))}),
                    "L.ZOO", kDosListed, "zoo");
    ExpectAgreement(BuildZip({Entry(kDosName, Data("zip")), Entry(other, Data("x"))}), "DOS.ZIP",
                    kDosListed, "zip");
}

// Shift-JIS: LHA reads it unasked, ZIP when the user says so; "\" inside a character never
// splits the name.
TEST(NameAgreement, ShiftJisInLhaAndZip) {
    for (int level : {0, 1, 2})
        ExpectAgreement(BuildLha({Lha(kSjisName, Data("lha"), level)}), "SJIS.LZH", kSjisListed,
                        "lha");
    ExpectAgreement(BuildZip({Entry(kSjisName, Data("zip"))}), "SJIS.ZIP", kSjisListed, "zip",
                    NameEncoding::kCp932);
    ExpectAgreement(BuildLha({Lha(kSjisName, Data("lha"))}), "SJIS2.LZH", kSjisListed, "lha",
                    NameEncoding::kCp932);
}

// Each encoding a user can choose, on names written in it, in an archive of each kind.
TEST(NameAgreement, EveryChosenEncoding) {
    struct Case {
        NameEncoding encoding;
        std::string stored, listed;
    };
    const std::vector<Case> cases = {
        {NameEncoding::kCp437, "SP\x82L.BIN", "SP\xC3\xA9L.BIN"},  // é
        {NameEncoding::kCp850, "F\x9B.BIN", "F\xC3\xB8.BIN"},      // ø
        {NameEncoding::kCp866, "\x88\x83\x90\x80.BIN", "\xD0\x98\xD0\x93\xD0\xA0\xD0\x90.BIN"},
        {NameEncoding::kKoi8R, "\xE9\xE7\xF2\xE1.BIN", "\xD0\x98\xD0\x93\xD0\xA0\xD0\x90.BIN"},
        {NameEncoding::kCp932, "\x83\x51\x81\x5B\x83\x80.BIN",  // ゲーム
         "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0.BIN"},
        {NameEncoding::kCp936, "\xD3\xCE\xCF\xB7.BIN", "\xE6\xB8\xB8\xE6\x88\x8F.BIN"},  // 游戏
        {NameEncoding::kCp949, "\xB0\xD4\xC0\xD3.BIN", "\xEA\xB2\x8C\xEC\x9E\x84.BIN"},  // 게임
        {NameEncoding::kLatin1, "F\xF8.BIN", "F\xC3\xB8.BIN"},
        {NameEncoding::kUtf8, "F\xC3\xB8.BIN", "F\xC3\xB8.BIN"},
    };
    for (const Case& c : cases) {
        ArjMember a;
        a.name = c.stored;
        a.data = Data("arj");
        ExpectAgreement(BuildArj({a}), "E.ARJ", c.listed, "arj", c.encoding);
        ExpectAgreement(BuildZip({Entry(c.stored, Data("zip"))}), "E.ZIP", c.listed, "zip",
                        c.encoding);
        ExpectAgreement(BuildLha({Lha(c.stored, Data("lha"), 2)}), "E.LZH", c.listed, "lha",
                        c.encoding);
    }
}

// The single-byte tables against the C library's converters, byte by byte.
TEST(NameAgreement, SingleByteTablesMatchTheCLibrary) {
    const std::vector<std::pair<NameEncoding, const char*>> tables = {
        {NameEncoding::kCp437, "CP437"},
        {NameEncoding::kCp850, "CP850"},
        {NameEncoding::kCp866, "CP866"},
        {NameEncoding::kKoi8R, "KOI8-R"}};
    for (const auto& [encoding, iconvName] : tables) {
        const NameDecoder ours(NameCoding::kDos, encoding);
        for (int b = 0x80; b <= 0xFF; ++b) {
            const std::string byte(1, static_cast<char>(b));
            // The C library as the control: iconv(1) on the one byte.
            TempDir dir;
            const std::string in = dir.Write("in", ByteVec{static_cast<std::uint8_t>(b)});
            const std::string cmd = std::string("iconv -f ") + iconvName + " -t UTF-8 " + in +
                                    " > " + dir.Path() + "/out 2>/dev/null";
            if (std::system(cmd.c_str()) != 0) continue;  // a byte the C library leaves out
            const auto expected = ReadBytes(dir.Path() + "/out");
            const std::string got = ours(byte);
            EXPECT_EQ(got, std::string(expected.begin(), expected.end()))
                << iconvName << " byte " << b;
        }
    }
}
