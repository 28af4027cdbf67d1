#include "platform/pe/ProgramKind.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>

namespace orvello::platform {

namespace {

// An MZ header is 28 bytes; the offset of a new-style header sits at 0x3C in the 64-byte
// header that every Windows program and DOS-extender program has.
constexpr std::size_t MzHeaderSize = 28;
constexpr std::size_t NewHeaderOffsetAt = 0x3C;
constexpr std::size_t HeadSize = 4096;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

bool HasExtension(std::string_view name, std::string_view extension) {
    if (name.size() <= extension.size()) return false;
    const std::string_view tail = name.substr(name.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

std::uint32_t Le32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return v;
}

// The offset of the new-style header, when the MZ header is long enough to hold one.
std::optional<std::uint32_t> NewHeaderOffset(std::string_view head) {
    if (head.size() < NewHeaderOffsetAt + 4) return std::nullopt;
    return Le32(head, NewHeaderOffsetAt);
}

ProgramKind KindOfMz(std::string_view head, std::string_view newHeader) {
    if (head.size() < MzHeaderSize) return ProgramKind::Unknown;  // cut short
    const auto offset = NewHeaderOffset(head);
    if (offset && *offset >= MzHeaderSize) {
        std::string_view at = newHeader;
        if (*offset < head.size()) at = head.substr(*offset);
        if (StartsWith(at, std::string_view("PE\0\0", 4))) return ProgramKind::Windows;
        if (StartsWith(at, "NE")) return ProgramKind::Windows;
    }
    // A plain DOS program keeps anything at 0x3C (often code or relocations), so an offset
    // that leads nowhere is no damage: the program is DOS's, LE and LX extenders included.
    return ProgramKind::Dos;
}

}  // namespace

ProgramKind ProgramKindOfBytes(std::string_view head, std::string_view newHeader,
                               std::string_view fileName) {
    if (StartsWith(head,
                   "\x7f"
                   "ELF"))
        return ProgramKind::Linux;
    if (StartsWith(head, "#!")) return ProgramKind::Linux;
    if (StartsWith(head, "MZ") || StartsWith(head, "ZM")) return KindOfMz(head, newHeader);
    if (HasExtension(fileName, ".com") || HasExtension(fileName, ".bat")) return ProgramKind::Dos;
    return ProgramKind::Unknown;
}

ProgramKind ProgramKindOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return ProgramKind::Unknown;
    std::string head(HeadSize, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    std::string newHeader;
    const auto slash = path.rfind('/');
    const std::string_view name = slash == std::string::npos
                                      ? std::string_view(path)
                                      : std::string_view(path).substr(slash + 1);
    if (StartsWith(head, "MZ") || StartsWith(head, "ZM")) {
        const auto offset = NewHeaderOffset(head);
        if (offset && *offset >= head.size()) {
            file.clear();
            file.seekg(static_cast<std::streamoff>(*offset));
            newHeader.assign(4, '\0');
            std::streamsize got = 0;
            if (file) {
                file.read(newHeader.data(), 4);
                got = file.gcount();
            }
            newHeader.resize(static_cast<std::size_t>(std::max<std::streamsize>(got, 0)));
        }
    }
    return ProgramKindOfBytes(head, newHeader, name);
}

const char* ProgramKindText(ProgramKind kind) {
    switch (kind) {
        case ProgramKind::Linux:
            return "Linux program";
        case ProgramKind::Windows:
            return "Windows program";
        case ProgramKind::Dos:
            return "DOS program";
        case ProgramKind::Unknown:
            break;
    }
    return "program of unknown kind";
}

}  // namespace orvello::platform
