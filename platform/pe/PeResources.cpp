#include "PeResources.h"

#include <array>
#include <fstream>

namespace orvello::platform {

namespace {

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

constexpr std::uint32_t kRtString = 6;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;
constexpr unsigned kMaxSections = 96;  // the PE loader's own limit

}  // namespace

std::optional<PeResources> PeResources::Open(const std::string& path) {
    auto file = std::make_shared<std::ifstream>(path, std::ios::binary);
    if (!*file) return std::nullopt;
    file->seekg(0, std::ios::end);
    const auto end = file->tellg();
    if (end < 0) return std::nullopt;
    ReadFn read = [file](std::uint64_t offset, void* buf, std::size_t n) {
        file->clear();
        file->seekg(static_cast<std::streamoff>(offset));
        file->read(static_cast<char*>(buf), static_cast<std::streamsize>(n));
        return static_cast<std::size_t>(file->gcount()) == n;
    };
    return Open(std::move(read), static_cast<std::uint64_t>(end));
}

std::optional<PeResources> PeResources::Open(ReadFn read, std::uint64_t fileSize) {
    PeResources pe;
    pe.read_ = std::move(read);
    pe.fileSize_ = fileSize;

    std::array<std::uint8_t, 64> dos{};
    if (!pe.ReadAt(0, dos.data(), dos.size()) || dos[0] != 'M' || dos[1] != 'Z')
        return std::nullopt;
    const std::uint32_t peOffset = U32(&dos[0x3C]);

    std::array<std::uint8_t, 24> coff{};
    if (!pe.ReadAt(peOffset, coff.data(), coff.size())) return std::nullopt;
    if (coff[0] != 'P' || coff[1] != 'E' || coff[2] != 0 || coff[3] != 0) return std::nullopt;
    const unsigned sectionCount = U16(&coff[6]);
    const unsigned optionalSize = U16(&coff[20]);
    if (sectionCount > kMaxSections) return std::nullopt;

    const std::uint64_t optOffset = std::uint64_t{peOffset} + 24;
    std::vector<std::uint8_t> opt(optionalSize);
    if (optionalSize < 2 || !pe.ReadAt(optOffset, opt.data(), opt.size())) return std::nullopt;
    const std::uint16_t magic = U16(opt.data());
    std::size_t countAt, dirsAt;
    if (magic == 0x10B) {
        countAt = 92, dirsAt = 96;  // PE32
    } else if (magic == 0x20B) {
        countAt = 108, dirsAt = 112;  // PE32+
    } else {
        return std::nullopt;
    }
    if (opt.size() < countAt + 4) return std::nullopt;
    const std::uint32_t dirCount = U32(&opt[countAt]);
    const std::size_t resourceEntry = dirsAt + 2 * 8;  // data directory 2: resources
    if (dirCount < 3 || opt.size() < resourceEntry + 8) return std::nullopt;
    const std::uint32_t resourceRva = U32(&opt[resourceEntry]);
    pe.rootSize_ = U32(&opt[resourceEntry + 4]);
    if (resourceRva == 0 || pe.rootSize_ == 0) return std::nullopt;

    const std::uint64_t sectionsOffset = optOffset + optionalSize;
    for (unsigned i = 0; i < sectionCount; ++i) {
        std::array<std::uint8_t, 40> s{};
        if (!pe.ReadAt(sectionsOffset + std::uint64_t{i} * 40, s.data(), s.size()))
            return std::nullopt;
        pe.sections_.push_back({U32(&s[12]), U32(&s[8]), U32(&s[16]), U32(&s[20])});
    }
    const auto root = pe.RvaToOffset(resourceRva);
    if (!root) return std::nullopt;
    pe.rootOffset_ = *root;
    return pe;
}

bool PeResources::ReadAt(std::uint64_t offset, void* buf, std::size_t n) {
    if (offset > fileSize_ || n > fileSize_ - offset) return false;
    return read_(offset, buf, n);
}

std::optional<std::uint64_t> PeResources::RvaToOffset(std::uint32_t rva) const {
    for (const auto& s : sections_) {
        const std::uint32_t span = std::max(s.virtualSize, s.rawSize);
        if (rva >= s.virtualAddress && rva - s.virtualAddress < span) {
            const std::uint32_t delta = rva - s.virtualAddress;
            if (delta >= s.rawSize) return std::nullopt;  // in memory only, not in the file
            return std::uint64_t{s.rawOffset} + delta;
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> PeResources::FindEntry(std::uint32_t dirOffset, std::uint32_t id) {
    std::array<std::uint8_t, 16> dir{};
    if (dirOffset > rootSize_ || !ReadAt(rootOffset_ + dirOffset, dir.data(), dir.size()))
        return std::nullopt;
    const unsigned named = U16(&dir[12]), ids = U16(&dir[14]);
    // Named entries come first; ids follow.
    for (unsigned i = named; i < named + ids; ++i) {
        std::array<std::uint8_t, 8> e{};
        if (!ReadAt(rootOffset_ + dirOffset + 16 + std::uint64_t{i} * 8, e.data(), e.size()))
            return std::nullopt;
        if (U32(&e[0]) == id) return U32(&e[4]);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> PeResources::FirstEntry(std::uint32_t dirOffset) {
    std::array<std::uint8_t, 16> dir{};
    if (dirOffset > rootSize_ || !ReadAt(rootOffset_ + dirOffset, dir.data(), dir.size()))
        return std::nullopt;
    if (U16(&dir[12]) + U16(&dir[14]) == 0) return std::nullopt;
    std::array<std::uint8_t, 8> e{};
    if (!ReadAt(rootOffset_ + dirOffset + 16, e.data(), e.size())) return std::nullopt;
    return U32(&e[4]);
}

std::optional<std::u16string> PeResources::String(unsigned id) {
    // Strings are stored in blocks of sixteen: block id/16 + 1 holds id at index id % 16.
    const auto type = FindEntry(0, kRtString);
    if (!type || !(*type & kSubdirectoryBit)) return std::nullopt;
    const auto block = FindEntry(*type & ~kSubdirectoryBit, id / 16 + 1);
    if (!block || !(*block & kSubdirectoryBit)) return std::nullopt;
    const auto lang = FirstEntry(*block & ~kSubdirectoryBit);
    if (!lang || (*lang & kSubdirectoryBit)) return std::nullopt;

    std::array<std::uint8_t, 16> data{};
    if (*lang > rootSize_ || !ReadAt(rootOffset_ + *lang, data.data(), data.size()))
        return std::nullopt;
    const auto offset = RvaToOffset(U32(&data[0]));
    const std::uint32_t size = U32(&data[4]);
    if (!offset) return std::nullopt;

    // Walk the counted strings of the block up to the wanted index.
    std::uint64_t pos = *offset;
    const std::uint64_t end = *offset + size;
    for (unsigned index = 0; index <= id % 16; ++index) {
        std::array<std::uint8_t, 2> len{};
        if (pos + 2 > end || !ReadAt(pos, len.data(), 2)) return std::nullopt;
        const unsigned count = U16(len.data());
        pos += 2;
        if (pos + std::uint64_t{count} * 2 > end) return std::nullopt;
        if (index == id % 16) {
            std::vector<std::uint8_t> raw(count * 2u);
            if (count != 0 && !ReadAt(pos, raw.data(), raw.size())) return std::nullopt;
            std::u16string s(count, u'\0');
            for (unsigned k = 0; k < count; ++k)
                s[k] = static_cast<char16_t>(U16(&raw[k * 2u]));
            return s;
        }
        pos += std::uint64_t{count} * 2;
    }
    return std::nullopt;
}

std::optional<std::string> AsciiPrefix(const std::u16string& s, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < s.size() && i < n; ++i) {
        if (s[i] > 0x7F) return std::nullopt;
        out.push_back(static_cast<char>(s[i]));
    }
    return out;
}

}  // namespace orvello::platform
