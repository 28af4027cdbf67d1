// Small LHA and ZOO archives built byte by byte, for the cases real archivers do not write.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "archive/ArcGlobals.h"

namespace orvello::testing {

inline std::vector<std::uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

inline std::uint16_t Crc16Of(const std::vector<std::uint8_t>& d) {
    return archive::Crc16Update(0, d.data(), d.size());
}

struct LhaMember {
    std::string name;
    std::vector<std::uint8_t> data;  // stored as it is
    std::string method = "-lh0-";
    int level = 0;
    std::string extFolder;                // level 1 and 2: a folder extended header
    std::optional<std::uint32_t> size;    // the recorded size, when it is to lie
    std::optional<std::uint32_t> packed;  // the recorded packed size, when it is to lie
    std::optional<std::uint16_t> crc;     // the recorded CRC-16, when it is to lie
    std::uint32_t dosTime = 0x20596000u;  // 1996-02-25 12:00:00
};

inline LhaMember Lha(std::string name, std::vector<std::uint8_t> data, int level = 0,
                     std::string method = "-lh0-", std::string extFolder = {}) {
    LhaMember m;
    m.name = std::move(name);
    m.data = std::move(data);
    m.level = level;
    m.method = std::move(method);
    m.extFolder = std::move(extFolder);
    return m;
}

// One extended header: its type, its data and the size of the next one.
inline std::vector<std::uint8_t> LhaExt(std::uint8_t type, const std::string& data,
                                        std::uint16_t nextSize) {
    std::vector<std::uint8_t> e(1 + data.size() + 2);
    e[0] = type;
    PutText(e, 1, data);
    Put16(e, 1 + data.size(), nextSize);
    return e;
}

// One member's header and data.
inline std::vector<std::uint8_t> LhaEntry(const LhaMember& m) {
    const std::uint32_t size = m.size.value_or(static_cast<std::uint32_t>(m.data.size()));
    const std::uint16_t crc = m.crc.value_or(Crc16Of(m.data));
    std::vector<std::uint8_t> h;
    if (m.level == 2) {
        std::vector<std::uint8_t> exts;
        const auto name = LhaExt(1, m.name, 0);
        auto folder = m.extFolder.empty() ? std::vector<std::uint8_t>{} : LhaExt(2, m.extFolder, 0);
        std::vector<std::uint8_t> nameExt = name;
        if (!folder.empty()) Put16(nameExt, nameExt.size() - 2, folder.size());
        exts = nameExt;
        exts.insert(exts.end(), folder.begin(), folder.end());
        h.resize(26);
        Put16(h, 0, 26 + exts.size());
        PutText(h, 2, m.method);
        Put32(h, 7, m.packed.value_or(static_cast<std::uint32_t>(m.data.size())));
        Put32(h, 11, size);
        Put32(h, 15, 820000000u);
        h[19] = 0x20;
        h[20] = 2;
        Put16(h, 21, crc);
        h[23] = 'U';
        Put16(h, 24, name.size());
        h.insert(h.end(), exts.begin(), exts.end());
    } else {
        const std::size_t n = m.name.size();
        h.resize(22 + n + 2 + (m.level == 1 ? 3 : 0));
        h[0] = static_cast<std::uint8_t>(h.size() - 2);
        PutText(h, 2, m.method);
        Put32(h, 11, size);
        Put32(h, 15, m.dosTime);
        h[19] = 0x20;
        h[20] = static_cast<std::uint8_t>(m.level);
        h[21] = static_cast<std::uint8_t>(n);
        PutText(h, 22, m.name);
        Put16(h, 22 + n, crc);
        std::vector<std::uint8_t> exts;
        if (m.level == 1) {
            h[24 + n] = 'M';
            if (!m.extFolder.empty()) {
                exts = LhaExt(2, m.extFolder, 0);
                Put16(h, 25 + n, exts.size());
            }
        }
        Put32(h, 7, m.packed.value_or(static_cast<std::uint32_t>(exts.size() + m.data.size())));
        h.insert(h.end(), exts.begin(), exts.end());
        unsigned sum = 0;
        for (std::size_t i = 2; i < 2 + static_cast<std::size_t>(h[0]); ++i)
            sum += h[i];
        h[1] = static_cast<std::uint8_t>(sum);
    }
    h.insert(h.end(), m.data.begin(), m.data.end());
    return h;
}

inline std::vector<std::uint8_t> BuildLha(const std::vector<LhaMember>& members,
                                          bool endMarker = true) {
    std::vector<std::uint8_t> a;
    for (const auto& m : members) {
        const auto e = LhaEntry(m);
        a.insert(a.end(), e.begin(), e.end());
    }
    if (endMarker) a.push_back(0);
    return a;
}

struct ZooMember {
    std::string name;  // the 13-character short name
    std::vector<std::uint8_t> data;
    unsigned method = 0;
    std::string longName, folder;  // a type-2 entry's variable part, when set
    bool deleted = false;
    std::optional<std::uint16_t> crc;
};

inline ZooMember Zoo(std::string name, std::vector<std::uint8_t> data, unsigned method = 0,
                     std::string longName = {}, std::string folder = {}) {
    ZooMember m;
    m.name = std::move(name);
    m.data = std::move(data);
    m.method = method;
    m.longName = std::move(longName);
    m.folder = std::move(folder);
    return m;
}

inline constexpr std::uint32_t kZooTag = 0xFDC4A7DCu;

// A ZOO archive: the header, then each entry followed by its data, then the terminating entry.
// `links` may replace the next-entry offset of entry i (for broken chains).
inline std::vector<std::uint8_t> BuildZoo(const std::vector<ZooMember>& members,
                                          std::vector<std::optional<std::uint32_t>> links = {}) {
    std::vector<std::uint8_t> a(34);
    PutText(a, 0, "ZOO 2.10 Archive.\x1A");
    Put32(a, 20, kZooTag);
    Put32(a, 24, 34);
    Put32(a, 28, static_cast<std::uint32_t>(-34));
    a[32] = 2;
    a[33] = 1;
    links.resize(members.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        const ZooMember& m = members[i];
        const std::size_t at = a.size();
        const bool type2 = !m.longName.empty() || !m.folder.empty();
        std::vector<std::uint8_t> e(51);
        Put32(e, 0, kZooTag);
        e[4] = type2 ? 2 : 1;
        e[5] = static_cast<std::uint8_t>(m.method);
        Put16(e, 14, 0x2059);  // date 1996-02-25
        Put16(e, 16, 0x6000);  // 12:00:00
        Put16(e, 18, m.crc.value_or(Crc16Of(m.data)));
        Put32(e, 20, static_cast<std::uint32_t>(m.data.size()));
        Put32(e, 24, static_cast<std::uint32_t>(m.data.size()));
        e[28] = 2;
        e[30] = m.deleted ? 1 : 0;
        PutText(e, 38, m.name.substr(0, 12));
        if (type2) {
            const std::size_t variable = 5 + m.longName.size() + 1 + m.folder.size() + 1;
            Put16(e, 51, variable);
            e.resize(58);
            e[56] = static_cast<std::uint8_t>(m.longName.size() + 1);
            e[57] = static_cast<std::uint8_t>(m.folder.size() + 1);
            PutText(e, 58, m.longName);
            e.push_back(0);
            PutText(e, e.size(), m.folder);
            e.push_back(0);
        }
        const std::size_t data = at + e.size();
        Put32(e, 10, static_cast<std::uint32_t>(data));
        Put32(e, 6, links[i].value_or(static_cast<std::uint32_t>(data + m.data.size())));
        a.insert(a.end(), e.begin(), e.end());
        a.insert(a.end(), m.data.begin(), m.data.end());
    }
    std::vector<std::uint8_t> end(51);
    Put32(end, 0, kZooTag);
    a.insert(a.end(), end.begin(), end.end());
    return a;
}

}  // namespace orvello::testing
