// Builds small LHA archives by hand, for names and headers no archiver at hand writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "archive/ArcGlobals.h"

namespace orvello::testing {

// Appends an LHA level-0 member stored with -lh0-: the name's bytes exactly as given, `data`
// after the header. The header's checksum is the byte sum of what follows its first two
// bytes. End the archive with a zero byte.
inline void AddLhaLevel0(std::vector<std::uint8_t>& v, const std::string& name,
                         const std::string& data) {
    const std::size_t at = v.size();
    v.resize(at + 24 + name.size(), 0);
    v[at] = static_cast<std::uint8_t>(22 + name.size());
    PutText(v, at + 2, "-lh0-");
    Put32(v, at + 7, static_cast<std::uint32_t>(data.size()));
    Put32(v, at + 11, static_cast<std::uint32_t>(data.size()));
    Put32(v, at + 15, (16u << 25) | (3u << 21) | (15u << 16));  // 1996-03-15 00:00
    v[at + 21] = static_cast<std::uint8_t>(name.size());
    PutText(v, at + 22, name);
    const auto* d = reinterpret_cast<const std::uint8_t*>(data.data());
    Put16(v, at + 22 + name.size(), archive::Crc16Update(0, d, data.size()));
    unsigned sum = 0;
    for (std::size_t i = at + 2; i < v.size(); ++i)
        sum += v[i];
    v[at + 1] = static_cast<std::uint8_t>(sum);
    v.insert(v.end(), data.begin(), data.end());
}

}  // namespace orvello::testing
