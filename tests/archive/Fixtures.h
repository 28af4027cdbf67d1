// Access to the shared fixture archives and their manifests, and small byte builders.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Json.h"

namespace orvello::testing {

inline std::string ArchivesDir() {
    return std::string(ORVELLO_FIXTURES) + "/archives";
}

inline std::string FixturePath(const std::string& folder, const std::string& name) {
    return ArchivesDir() + "/" + folder + "/" + name;
}

// The manifest entries of one fixture folder ("zip", "lha", ...).
inline std::vector<Json> Manifest(const std::string& folder) {
    return ReadJsonLines(ArchivesDir() + "/" + folder + "/MANIFEST.jsonl");
}

inline const std::vector<std::string>& FixtureFolders() {
    static const std::vector<std::string> folders{"arc", "arj", "detect", "lha", "pak",
                                                  "rar", "sfx", "tar",    "zip", "zoo"};
    return folders;
}

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

}  // namespace orvello::testing
