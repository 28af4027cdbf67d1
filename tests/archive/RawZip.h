// Reads the raw (still compressed) member data of a small, well-formed ZIP file, so decoder
// tests can run on the data real archivers wrote without going through the extractor.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace orvello::archive::testing {

struct RawMember {
    std::string name;
    std::uint16_t method = 0;
    std::uint16_t flags = 0;       // central directory
    std::uint16_t localFlags = 0;  // local header
    std::uint16_t localTime = 0;
    std::uint32_t localCrc = 0;
    std::uint32_t crc = 0;
    std::uint32_t size = 0;
    std::vector<std::uint8_t> data;
};

inline std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<RawMember> ReadRawMembers(const std::string& path) {
    const auto b = ReadFileBytes(path);
    auto u16 = [&](std::size_t o) -> std::uint32_t {
        return o + 2 <= b.size() ? b[o] | b[o + 1] << 8 : 0;
    };
    auto u32 = [&](std::size_t o) -> std::uint32_t { return u16(o) | u16(o + 2) << 16; };
    std::vector<RawMember> members;
    if (b.size() < 22) return members;
    std::size_t e = b.size() - 22;
    while (e > 0 && u32(e) != 0x06054b50u)
        --e;
    std::size_t cd = u32(e + 16);
    for (unsigned i = 0, n = u16(e + 10); i < n && cd + 46 <= b.size(); ++i) {
        RawMember m;
        m.flags = static_cast<std::uint16_t>(u16(cd + 8));
        m.method = static_cast<std::uint16_t>(u16(cd + 10));
        m.crc = u32(cd + 16);
        const std::uint32_t csize = u32(cd + 20);
        m.size = u32(cd + 24);
        const std::size_t nl = u16(cd + 28), xl = u16(cd + 30), cl = u16(cd + 32);
        const std::size_t lho = u32(cd + 42);
        m.name.assign(b.begin() + static_cast<std::ptrdiff_t>(cd + 46),
                      b.begin() + static_cast<std::ptrdiff_t>(cd + 46 + nl));
        m.localFlags = static_cast<std::uint16_t>(u16(lho + 6));
        m.localTime = static_cast<std::uint16_t>(u16(lho + 10));
        m.localCrc = u32(lho + 14);
        const std::size_t data = lho + 30 + u16(lho + 26) + u16(lho + 28);
        if (data + csize <= b.size()) {
            m.data.assign(b.begin() + static_cast<std::ptrdiff_t>(data),
                          b.begin() + static_cast<std::ptrdiff_t>(data + csize));
        }
        members.push_back(std::move(m));
        cd += 46 + nl + xl + cl;
    }
    return members;
}

inline std::string FixturePath(const std::string& rel) {
    return std::string(ORVELLO_FIXTURES) + "/archives/" + rel;
}

}  // namespace orvello::archive::testing
