// Builds small ZIP archives for the extractor tests, including damaged and hostile ones: each
// field can be set to what a hostile archive would hold.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArcGlobals.h"

namespace orvello::testing {

struct ZipEntry {
    std::string name;
    std::vector<std::uint8_t> data;  // stored as it is (with `method`)
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    std::uint16_t versionMadeBy = 20;  // high byte: host system (3 = Unix)
    std::uint32_t externalAttr = 0;
    std::uint16_t dosTime = 12u << 11;                     // 12:00:00
    std::uint16_t dosDate = (16u << 9) | (3u << 5) | 15u;  // 1996-03-15
    // Values written instead of the true ones, when set.
    std::int64_t crc = -1;
    std::int64_t size = -1;     // uncompressed size
    std::int64_t packed = -1;   // compressed size in the central directory
    std::int64_t localAt = -1;  // local header offset in the central directory: another entry's
    bool skipLocal = false;     // write no local header and data (use with localAt)
    std::string extra;          // central extra field
};

inline ZipEntry Entry(std::string name, std::vector<std::uint8_t> data) {
    ZipEntry e;
    e.name = std::move(name);
    e.data = std::move(data);
    return e;
}

// With `zip64`, the archive is written as ZIP64 archivers write it: every size and local
// header offset of the central directory is all ones with its value in a ZIP64 extra field,
// and the end record leads through the ZIP64 locator to the ZIP64 end record.
inline std::vector<std::uint8_t> BuildZip(const std::vector<ZipEntry>& entries,
                                          const std::string& comment = "", bool zip64 = false) {
    std::vector<std::uint8_t> z;
    auto u16 = [&](unsigned v) {
        z.push_back(static_cast<std::uint8_t>(v));
        z.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto u32 = [&](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    auto u64 = [&](std::uint64_t v) {
        u32(static_cast<std::uint32_t>(v));
        u32(static_cast<std::uint32_t>(v >> 32));
    };
    auto bytes = [&](const std::string& s) { z.insert(z.end(), s.begin(), s.end()); };
    std::vector<std::uint32_t> offsets;
    for (const auto& e : entries) {
        offsets.push_back(static_cast<std::uint32_t>(z.size()));
        if (e.skipLocal) continue;
        const std::uint32_t crc =
            e.crc >= 0 ? static_cast<std::uint32_t>(e.crc) : archive::Crc32(e.data);
        u32(0x04034b50);
        u16(20);
        u16(e.flags);
        u16(e.method);
        u16(e.dosTime);
        u16(e.dosDate);
        u32(crc);
        u32(static_cast<std::uint32_t>(e.data.size()));
        u32(static_cast<std::uint32_t>(e.size >= 0 ? e.size
                                                   : static_cast<std::int64_t>(e.data.size())));
        u16(static_cast<unsigned>(e.name.size()));
        u16(0);
        bytes(e.name);
        z.insert(z.end(), e.data.begin(), e.data.end());
    }
    const auto cd = static_cast<std::uint32_t>(z.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& e = entries[i];
        const std::uint32_t crc =
            e.crc >= 0 ? static_cast<std::uint32_t>(e.crc) : archive::Crc32(e.data);
        u32(0x02014b50);
        u16(e.versionMadeBy);
        u16(20);
        u16(e.flags);
        u16(e.method);
        u16(e.dosTime);
        u16(e.dosDate);
        u32(crc);
        const auto packed = static_cast<std::uint64_t>(
            e.packed >= 0 ? e.packed : static_cast<std::int64_t>(e.data.size()));
        const auto size = static_cast<std::uint64_t>(
            e.size >= 0 ? e.size : static_cast<std::int64_t>(e.data.size()));
        const auto local = static_cast<std::uint64_t>(e.localAt >= 0 ? e.localAt : offsets[i]);
        const std::size_t extraLength = e.extra.size() + (zip64 ? 28 : 0);
        u32(zip64 ? 0xFFFFFFFF : static_cast<std::uint32_t>(packed));
        u32(zip64 ? 0xFFFFFFFF : static_cast<std::uint32_t>(size));
        u16(static_cast<unsigned>(e.name.size()));
        u16(static_cast<unsigned>(extraLength));
        u16(0);
        u16(0);
        u16(0);
        u32(e.externalAttr);
        u32(zip64 ? 0xFFFFFFFF : static_cast<std::uint32_t>(local));
        bytes(e.name);
        if (zip64) {
            u16(1);
            u16(24);
            u64(size);
            u64(packed);
            u64(local);
        }
        bytes(e.extra);
    }
    const auto cdSize = static_cast<std::uint32_t>(z.size() - cd);
    if (zip64) {
        const auto record = z.size();
        u32(0x06064b50);
        u64(44);
        u16(45);
        u16(45);
        u32(0);
        u32(0);
        u64(entries.size());
        u64(entries.size());
        u64(cdSize);
        u64(cd);
        u32(0x07064b50);
        u32(0);
        u64(record);
        u32(1);
    }
    u32(0x06054b50);
    u16(0);
    u16(0);
    u16(zip64 ? 0xFFFF : static_cast<unsigned>(entries.size()));
    u16(zip64 ? 0xFFFF : static_cast<unsigned>(entries.size()));
    u32(zip64 ? 0xFFFFFFFF : cdSize);
    u32(zip64 ? 0xFFFFFFFF : cd);
    u16(static_cast<unsigned>(comment.size()));
    bytes(comment);
    return z;
}

// An Info-ZIP Unicode path extra field (id 0x7075): a version byte, the CRC-32 of `crcOf` (the
// stored name it belongs to) and the name in UTF-8.
inline std::string UnicodePathExtra(const std::string& crcOf, const std::string& utf8,
                                    char version = 1) {
    const std::uint32_t crc =
        archive::Crc32({reinterpret_cast<const std::uint8_t*>(crcOf.data()), crcOf.size()});
    const std::size_t size = 5 + utf8.size();
    std::string f{'\x75', '\x70', static_cast<char>(size & 0xFF), static_cast<char>(size >> 8),
                  version};
    for (int i = 0; i < 4; ++i)
        f += static_cast<char>(crc >> (8 * i));
    return f + utf8;
}

inline std::vector<std::uint8_t> Text(const std::string& s) {
    return {s.begin(), s.end()};
}

}  // namespace orvello::testing
