// Hand-built ARJ and ARC archives for the extractors' edge cases and hostile input. Members
// are stored (or carry the bytes given as their data) with correct check values unless a test
// changes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "archive/ArcGlobals.h"

namespace orvello::testing {

using ByteVec = std::vector<std::uint8_t>;

struct ArjMember {
    std::string name;
    ByteVec data;            // the stored data
    std::uint64_t size = 0;  // the recorded size; the data's size when 0 and data is not empty
    unsigned method = 0;
    unsigned flags = 0;
    unsigned fileType = 0;
    unsigned host = 0;
    std::uint32_t time = 0x2068'6000;  // a DOS date-time (1996-03-08 12:00)
    std::uint32_t crc = 0;             // the CRC-32 of the data when 0
    bool badHeaderCrc = false;
};

inline ByteVec ArjHeader(const ArjMember& m, bool main) {
    ByteVec basic(30, 0);
    basic[0] = 30;
    basic[1] = 11;
    basic[2] = 1;
    basic[3] = static_cast<std::uint8_t>(m.host);
    basic[4] = static_cast<std::uint8_t>(m.flags);
    basic[5] = static_cast<std::uint8_t>(m.method);
    basic[6] = static_cast<std::uint8_t>(main ? 2 : m.fileType);
    Put32(basic, 8, m.time);
    Put32(basic, 12, static_cast<std::uint32_t>(m.data.size()));
    const std::uint64_t size = m.size != 0 || m.data.empty() ? m.size : m.data.size();
    Put32(basic, 16, static_cast<std::uint32_t>(size));
    Put32(basic, 20, m.crc != 0 ? m.crc : archive::Crc32(m.data));
    for (char c : m.name)
        basic.push_back(static_cast<std::uint8_t>(c));
    basic.push_back(0);
    basic.push_back(0);  // no comment
    ByteVec out = {0x60, 0xEA};
    Put16(out, 2, static_cast<unsigned>(basic.size()));
    out.insert(out.end(), basic.begin(), basic.end());
    const std::uint32_t crc = archive::Crc32(basic) ^ (m.badHeaderCrc ? 1u : 0u);
    Put32(out, out.size(), crc);
    Put16(out, out.size(), 0);  // no extended header
    return out;
}

// A whole archive: main header, the members with their data, the end header.
inline ByteVec BuildArj(const std::vector<ArjMember>& members,
                        const std::string& archiveName = "TEST.ARJ") {
    ArjMember main;
    main.name = archiveName;
    ByteVec out = ArjHeader(main, true);
    for (const auto& m : members) {
        const ByteVec h = ArjHeader(m, false);
        out.insert(out.end(), h.begin(), h.end());
        out.insert(out.end(), m.data.begin(), m.data.end());
    }
    out.insert(out.end(), {0x60, 0xEA, 0, 0});
    return out;
}

struct ArcMember {
    std::string name;
    ByteVec data;  // the stored data
    unsigned method = 2;
    std::uint64_t size = 0;  // the recorded size; the data's size when 0
    int crc = -1;            // the CRC-16 of the data when negative
};

inline ByteVec BuildArc(const std::vector<ArcMember>& members, bool endMarker = true) {
    ByteVec out;
    for (const auto& m : members) {
        ByteVec h(m.method == 1 ? 25 : 29, 0);
        h[0] = 0x1A;
        h[1] = static_cast<std::uint8_t>(m.method);
        PutText(h, 2, m.name.substr(0, 12));
        Put32(h, 15, static_cast<std::uint32_t>(m.data.size()));
        Put16(h, 19, 0x2068);  // date
        Put16(h, 21, 0x6000);  // time
        const unsigned crc = m.crc >= 0 ? static_cast<unsigned>(m.crc)
                                        : archive::Crc16Update(0, m.data.data(), m.data.size());
        Put16(h, 23, crc);
        if (m.method != 1)
            Put32(h, 25, static_cast<std::uint32_t>(m.size != 0 ? m.size : m.data.size()));
        out.insert(out.end(), h.begin(), h.end());
        out.insert(out.end(), m.data.begin(), m.data.end());
    }
    if (endMarker) out.insert(out.end(), {0x1A, 0});
    return out;
}

inline ByteVec TextBytes(const std::string& s) {
    return ByteVec(s.begin(), s.end());
}

}  // namespace orvello::testing
