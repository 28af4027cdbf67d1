// Reads the raw (still compressed) member data of well-formed LHA (header levels 0 to 2), ZOO,
// plain ARJ and ARC files, so decoder tests can run on what real archivers wrote without the
// extractors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Fixtures.h"

namespace orvello::archive::testing {

struct RawLhaMember {
    std::string method;  // "-lh5-"
    std::uint32_t size = 0;
    std::uint16_t crc = 0;
    std::vector<std::uint8_t> data;
};

inline std::vector<RawLhaMember> ReadRawLha(const std::string& path) {
    const auto b = orvello::testing::ReadBytes(path);
    auto u16 = [&](std::size_t o) -> std::uint32_t {
        return o + 2 <= b.size() ? b[o] | b[o + 1] << 8 : 0;
    };
    auto u32 = [&](std::size_t o) -> std::uint32_t { return u16(o) | u16(o + 2) << 16; };
    std::vector<RawLhaMember> members;
    std::size_t p = 0;
    while (p + 22 <= b.size() && b[p] != 0) {
        RawLhaMember m;
        m.method.assign(b.begin() + static_cast<std::ptrdiff_t>(p + 2),
                        b.begin() + static_cast<std::ptrdiff_t>(p + 7));
        std::uint32_t packed = u32(p + 7);
        m.size = u32(p + 11);
        const unsigned level = b[p + 20];
        std::size_t data;
        if (level == 2) {
            m.crc = static_cast<std::uint16_t>(u16(p + 21));
            data = p + u16(p);
        } else {
            const unsigned h = b[p], n = b[p + 21];
            m.crc = static_cast<std::uint16_t>(u16(p + 22 + n));
            data = p + h + 2;
            if (level == 1) {  // extended headers, which the packed size includes
                for (std::uint32_t ext = u16(p + h); ext != 0; ext = u16(data - 2)) {
                    data += ext;
                    packed -= ext;
                }
            }
        }
        if (data + packed > b.size()) break;
        m.data.assign(b.begin() + static_cast<std::ptrdiff_t>(data),
                      b.begin() + static_cast<std::ptrdiff_t>(data + packed));
        members.push_back(std::move(m));
        p = data + packed;
    }
    return members;
}

}  // namespace orvello::archive::testing

namespace orvello::archive::testing {

struct RawZooMember {
    unsigned method = 0;
    std::uint32_t size = 0;
    std::uint16_t crc = 0;
    std::vector<std::uint8_t> data;
};

// The entries of a well-formed ZOO file in chain order.
inline std::vector<RawZooMember> ReadRawZoo(const std::string& path) {
    const auto b = orvello::testing::ReadBytes(path);
    auto u16 = [&](std::size_t o) -> std::uint32_t {
        return o + 2 <= b.size() ? b[o] | b[o + 1] << 8 : 0;
    };
    auto u32 = [&](std::size_t o) -> std::uint32_t { return u16(o) | u16(o + 2) << 16; };
    std::vector<RawZooMember> members;
    std::size_t p = u32(24);
    for (int guard = 0; guard < 1000 && p + 51 <= b.size() && u32(p) == 0xFDC4A7DCu; ++guard) {
        const std::size_t next = u32(p + 6);
        if (next == 0) break;
        RawZooMember m;
        m.method = b[p + 5];
        m.crc = static_cast<std::uint16_t>(u16(p + 18));
        m.size = u32(p + 20);
        const std::size_t data = u32(p + 10), packed = u32(p + 24);
        if (data + packed > b.size()) break;
        m.data.assign(b.begin() + static_cast<std::ptrdiff_t>(data),
                      b.begin() + static_cast<std::ptrdiff_t>(data + packed));
        members.push_back(std::move(m));
        p = next;
    }
    return members;
}

struct RawArjMember {
    unsigned method = 0;
    std::uint32_t size = 0;
    std::uint32_t crc = 0;
    std::vector<std::uint8_t> data;
};

// The members of a plain single-volume ARJ file in archive order.
inline std::vector<RawArjMember> ReadRawArj(const std::string& path) {
    const auto b = orvello::testing::ReadBytes(path);
    auto u16 = [&](std::size_t o) -> std::uint32_t {
        return o + 2 <= b.size() ? b[o] | b[o + 1] << 8 : 0;
    };
    auto u32 = [&](std::size_t o) -> std::uint32_t { return u16(o) | u16(o + 2) << 16; };
    std::vector<RawArjMember> members;
    // A header: 0x60 0xEA, its size, the header, its CRC-32, extended headers (size, data,
    // CRC-32) up to a size of 0. The first one is the main header.
    std::size_t p = 0;
    for (bool main = true; p + 4 <= b.size() && b[p] == 0x60 && b[p + 1] == 0xEA; main = false) {
        const std::size_t size = u16(p + 2);
        if (size == 0) break;
        const std::size_t h = p + 4;
        std::size_t q = h + size + 4;
        while (std::size_t ext = u16(q))
            q += 2 + ext + 4;
        q += 2;
        if (main) {
            p = q;
            continue;
        }
        RawArjMember m;
        m.method = b[h + 5];
        const std::size_t packed = u32(h + 12);
        m.size = u32(h + 16);
        m.crc = u32(h + 20);
        if (q + packed > b.size()) break;
        m.data.assign(b.begin() + static_cast<std::ptrdiff_t>(q),
                      b.begin() + static_cast<std::ptrdiff_t>(q + packed));
        members.push_back(std::move(m));
        p = q + packed;
    }
    return members;
}

}  // namespace orvello::archive::testing

namespace orvello::archive::testing {

struct RawArcMember {
    unsigned method = 0;
    std::uint32_t size = 0;
    std::uint16_t crc = 0;
    std::vector<std::uint8_t> data;
};

// The members of a well-formed ARC file (no stray bytes) in archive order.
inline std::vector<RawArcMember> ReadRawArc(const std::string& path) {
    const auto b = orvello::testing::ReadBytes(path);
    auto u16 = [&](std::size_t o) -> std::uint32_t {
        return o + 2 <= b.size() ? b[o] | b[o + 1] << 8 : 0;
    };
    auto u32 = [&](std::size_t o) -> std::uint32_t { return u16(o) | u16(o + 2) << 16; };
    std::vector<RawArcMember> members;
    std::size_t p = 0;
    while (p + 2 <= b.size() && b[p] == 0x1A && b[p + 1] != 0) {
        RawArcMember m;
        m.method = b[p + 1];
        const std::size_t packed = u32(p + 15);
        m.crc = static_cast<std::uint16_t>(u16(p + 23));
        const std::size_t data = p + (m.method == 1 ? 25 : 29);
        m.size = m.method == 1 ? static_cast<std::uint32_t>(packed) : u32(p + 25);
        if (data + packed > b.size()) break;
        m.data.assign(b.begin() + static_cast<std::ptrdiff_t>(data),
                      b.begin() + static_cast<std::ptrdiff_t>(data + packed));
        members.push_back(std::move(m));
        p = data + packed;
    }
    return members;
}

}  // namespace orvello::archive::testing
