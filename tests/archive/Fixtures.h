// Access to the fixture archives and their manifests, and small byte builders.
#pragma once

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "Json.h"
#include "archive/ArcGlobals.h"

namespace orvello::testing {

// The archives made for this project, kept in the repository.
inline std::string ArchivesDir() {
    return std::string(ORVELLO_FIXTURES) + "/archives";
}

inline std::string FixturePath(const std::string& folder, const std::string& name) {
    return ArchivesDir() + "/" + folder + "/" + name;
}

// The shared fixture folder beside the repository: it also holds real archives copied from
// other projects' test data, which the repository does not carry.
inline std::string SharedArchivesDir() {
    return std::string(ORVELLO_SHARED_FIXTURES) + "/archives";
}

inline bool HaveSharedArchives() {
    return std::filesystem::is_directory(SharedArchivesDir());
}

inline std::string CopiedFixturePath(const std::string& folder, const std::string& name) {
    return SharedArchivesDir() + "/" + folder + "/" + name;
}

// Ends the current test as skipped, saying why, when the copied archives are not there.
#define ORVELLO_SKIP_WITHOUT_COPIED_ARCHIVES()                                                \
    do {                                                                                      \
        if (!::orvello::testing::HaveSharedArchives())                                        \
            GTEST_SKIP() << "needs the archives copied from other projects' test data, kept " \
                            "outside the repository; "                                        \
                         << ::orvello::testing::SharedArchivesDir() << " is not there";       \
    } while (false)

// The manifest entries of one fixture folder ("zip", "lha", ...) of the repository.
inline std::vector<Json> Manifest(const std::string& folder) {
    return ReadJsonLines(ArchivesDir() + "/" + folder + "/MANIFEST.jsonl");
}

// One kind of archive, either the repository's archives of it or the copied ones of the
// shared folder.
struct FixtureSet {
    std::string folder;
    bool copied = false;

    std::string Path(const std::string& name) const {
        return copied ? CopiedFixturePath(folder, name) : FixturePath(folder, name);
    }
    // The set's manifest entries; for the copied set, those of the shared manifest whose
    // origin is "copied".
    std::vector<Json> Entries() const {
        if (!copied) return Manifest(folder);
        std::vector<Json> out;
        for (Json& e : ReadJsonLines(SharedArchivesDir() + "/" + folder + "/MANIFEST.jsonl")) {
            if (e["origin"].Str() == "copied") out.push_back(std::move(e));
        }
        return out;
    }
};

inline const std::vector<FixtureSet>& FixtureSets() {
    static const std::vector<FixtureSet> sets{
        {"arc", false}, {"arj", false}, {"detect", false}, {"lha", false}, {"sfx", false},
        {"tar", false}, {"zip", false}, {"zoo", false},    {"arc", true},  {"lha", true},
        {"pak", true},  {"rar", true},  {"sfx", true},     {"zoo", true}};
    return sets;
}

// One manifest entry with the path of its archive.
struct FixtureEntry {
    Json entry;
    std::string path;
};

// Every manifest entry of one kind: the repository's, then the copied ones when the shared
// folder is there.
inline std::vector<FixtureEntry> AllFixtures(const std::string& folder) {
    std::vector<FixtureEntry> out;
    for (const bool copied : {false, true}) {
        if (copied && !HaveSharedArchives()) break;
        const FixtureSet set{folder, copied};
        for (Json& e : set.Entries()) {
            std::string path = set.Path(e["archive"].Str());
            out.push_back({std::move(e), std::move(path)});
        }
    }
    return out;
}

// How gtest shows a set: "zip", "arc (copied)".
inline void PrintTo(const FixtureSet& set, std::ostream* os) {
    *os << set.folder << (set.copied ? " (copied)" : "");
}

// Test names: "zip", "arc_copied".
inline std::string FixtureSetName(const ::testing::TestParamInfo<FixtureSet>& info) {
    return info.param.folder + (info.param.copied ? "_copied" : "");
}

// A test over one set starts here: the copied sets skip where the shared folder is absent.
#define ORVELLO_SKIP_UNLESS_PRESENT(set)                          \
    do {                                                          \
        if ((set).copied) ORVELLO_SKIP_WITHOUT_COPIED_ARCHIVES(); \
    } while (false)

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Little-endian writers for hand-built headers.
inline void Put16(std::vector<std::uint8_t>& v, std::size_t at, unsigned x) {
    if (v.size() < at + 2) v.resize(at + 2);
    v[at] = static_cast<std::uint8_t>(x);
    v[at + 1] = static_cast<std::uint8_t>(x >> 8);
}

inline void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    if (v.size() < at + 4) v.resize(at + 4);
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<std::uint8_t>(x >> (8 * i));
}

inline void PutText(std::vector<std::uint8_t>& v, std::size_t at, const std::string& s) {
    if (v.size() < at + s.size()) v.resize(at + s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        v[at + i] = static_cast<std::uint8_t>(s[i]);
}

// A one-member LHA archive, level-0 header, stored (-lh0-), whose header checksum byte is
// `checksum`: the member's time is chosen to make it so. With a 9-character name the header
// size byte is 0x1F, so a checksum of 0x8B makes the first two bytes read as GZip's.
inline std::vector<std::uint8_t> LhaLevel0(const std::string& name,
                                           const std::vector<std::uint8_t>& data,
                                           std::uint8_t checksum);

// A temporary folder removed with everything in it when the object goes.
class TempDir {
  public:
    TempDir() {
        auto base = std::filesystem::temp_directory_path() / "orvello-test-XXXXXX";
        std::string pattern = base.string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        const std::string p = path_ + "/" + name;
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return p;
    }

  private:
    std::string path_;
};

inline std::vector<std::uint8_t> LhaLevel0(const std::string& name,
                                           const std::vector<std::uint8_t>& data,
                                           std::uint8_t checksum) {
    const std::size_t headerSize = 22 + name.size() + 2;  // what follows the first two bytes
    std::vector<std::uint8_t> v(headerSize);
    v[0] = static_cast<std::uint8_t>(headerSize - 2);
    PutText(v, 2, "-lh0-");
    Put32(v, 7, static_cast<std::uint32_t>(data.size()));
    Put32(v, 11, static_cast<std::uint32_t>(data.size()));
    Put16(v, 17, (16u << 9) | (3u << 5) | 15u);  // 1996-03-15
    v[19] = 0x20;
    v[21] = static_cast<std::uint8_t>(name.size());
    PutText(v, 22, name);
    Put16(v, 22 + name.size(), archive::Crc16Update(0, data.data(), data.size()));
    unsigned sum = 0;
    for (std::size_t i = 2; i < headerSize; ++i)
        sum += v[i];
    v[15] = static_cast<std::uint8_t>(checksum - sum);  // the time's low byte: any value will do
    v[1] = checksum;
    v.insert(v.end(), data.begin(), data.end());
    v.push_back(0);  // end of the archive
    return v;
}

// Every file below `folder`, relative to it, sorted.
inline std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        if (e.is_regular_file())
            out.push_back(std::filesystem::relative(e.path(), folder).string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The first column of each member line of `orvello-arc list`.
inline std::vector<std::string> ListedNames(const std::string& out) {
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < out.size()) {
        const std::size_t end = out.find('\n', at);
        const std::string line = out.substr(at, end - at);
        if (line.rfind("total\t", 0) != 0) names.push_back(line.substr(0, line.find('\t')));
        at = end == std::string::npos ? out.size() : end + 1;
    }
    return names;
}

}  // namespace orvello::testing
