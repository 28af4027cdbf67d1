#include "ZooNames.h"

#include "ByteOrder.h"
#include "NameCodec.h"

namespace orvello::archive {

namespace {

// The bytes up to the first zero byte.
std::string UpToZero(std::string s) {
    const auto zero = s.find('\0');
    if (zero != std::string::npos) s.resize(zero);
    return s;
}

std::string ReadUpTo(ArcFile& file, std::int64_t at, std::size_t n) {
    std::string s(n, '\0');
    s.resize(file.ReadAt(at, reinterpret_cast<std::uint8_t*>(s.data()), n));
    return s;
}

}  // namespace

std::string ZooEntryName(ArcFile& file, std::int64_t at, const std::uint8_t* entry,
                         std::size_t length) {
    std::string name = UpToZero(std::string(reinterpret_cast<const char*>(entry + 38), 13));
    std::string folder;
    // Entries of type 2 may carry a long name and a folder in their variable part.
    if (entry[4] == 2 && length >= kZooEntryLength) {
        const unsigned variable = Le16(entry + 51), longLength = entry[56],
                       folderLength = entry[57];
        if (2u + longLength + folderLength <= variable) {
            const std::int64_t p = at + static_cast<std::int64_t>(kZooEntryLength);
            const std::string longName = UpToZero(ReadUpTo(file, p, longLength));
            folder = UpToZero(ReadUpTo(file, p + longLength, folderLength));
            if (!longName.empty()) name = longName;
        }
    }
    name = DecodeMemberName(name, NameCoding::kDos);
    folder = DecodeMemberName(folder, NameCoding::kDos);
    if (folder.empty()) return name;
    return folder + (folder.back() == '/' ? "" : "/") + name;
}

}  // namespace orvello::archive
