#include "RarNames.h"

#include <cstdint>

#include "NameCodec.h"

namespace orvello::archive {

std::u16string DecodeRarUnicode(std::string_view codePage, std::string_view packed) {
    std::u16string out;
    if (packed.empty()) return out;
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(packed[i]); };
    const auto oem = [&](std::size_t i) { return static_cast<std::uint8_t>(codePage[i]); };
    std::size_t pos = 0;
    const unsigned high = byte(pos++);
    unsigned flags = 0;
    int flagBits = 0;
    while (pos < packed.size()) {
        if (flagBits == 0) {
            flags = byte(pos++);
            flagBits = 8;
        }
        const unsigned op = (flags >> 6) & 3;
        flags <<= 2;
        flagBits -= 2;
        if (op == 0 || op == 1) {
            if (pos >= packed.size()) break;
            out += static_cast<char16_t>(byte(pos++) | (op == 1 ? high << 8 : 0));
        } else if (op == 2) {
            if (pos + 1 >= packed.size()) break;
            out += static_cast<char16_t>(byte(pos) | byte(pos + 1) << 8);
            pos += 2;
        } else {
            if (pos >= packed.size()) break;
            const unsigned n = byte(pos++);
            unsigned correction = 0;
            const bool corrected = n & 0x80;
            if (corrected) {
                if (pos >= packed.size()) break;
                correction = byte(pos++);
            }
            unsigned count = (corrected ? (n & 0x7F) : n) + 2;
            for (; count > 0 && out.size() < codePage.size(); --count) {
                const unsigned c = oem(out.size());
                out += static_cast<char16_t>(corrected ? ((c + correction) & 0xFF) | high << 8 : c);
            }
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        std::uint32_t cp = s[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string RarFileName(std::string_view field) {
    const auto zero = field.find('\0');
    if (zero == std::string_view::npos) return std::string(field);
    const std::string_view codePage = field.substr(0, zero);
    const std::u16string unicode = DecodeRarUnicode(codePage, field.substr(zero + 1));
    if (unicode.empty()) return std::string(codePage);
    return Utf16ToUtf8(unicode);
}

}  // namespace orvello::archive
