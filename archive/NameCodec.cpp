#include "NameCodec.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>
#include <span>
#include <type_traits>

#include "ArcGlobals.h"
#include "ByteOrder.h"

namespace orvello::archive {

namespace {

// Code page 437, bytes 0x80 to 0xFF, as Unicode code points; the lower half is ASCII.
constexpr std::array<char16_t, 128> kCp437High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

constexpr std::uint16_t kZipUtf8Flag = 1u << 11;
constexpr std::uint16_t kUnicodePathField = 0x7075;

std::string Latin1ToUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size() * 2);
    for (const char c : s)
        AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::string WithSlashes(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

// The UTF-8 name of a Unicode path extra field that belongs to `stored`, if there is one.
std::optional<std::string_view> UnicodePath(std::string_view stored, std::string_view extra) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(extra.data());
    std::size_t at = 0;
    while (extra.size() - at >= 4) {
        const unsigned id = Le16(p + at), size = Le16(p + at + 2);
        at += 4;
        if (size > extra.size() - at) break;
        if (id == kUnicodePathField && size > 5 && p[at] == 1) {
            const std::uint32_t crc = Le32(p + at + 1);
            const std::string_view name = extra.substr(at + 5, size - 5);
            const auto* s = reinterpret_cast<const std::uint8_t*>(stored.data());
            if (crc == Crc32(std::span(s, stored.size())) && IsUtf8(name)) return name;
        }
        at += size;
    }
    return std::nullopt;
}

}  // namespace

bool IsUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(s.data());
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        unsigned low = 0x80, high = 0xBF;  // the range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0) low = 0xA0;   // shortest form
            if (b == 0xED) high = 0x9F;  // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0) low = 0x90;   // shortest form
            if (b == 0xF4) high = 0x8F;  // nothing above U+10FFFF
        } else {
            return false;
        }
        if (n - i < length || p[i + 1] < low || p[i + 1] > high) return false;
        for (std::size_t k = 2; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Cp437ToUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size() * 2);
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        AppendUtf8(out, b < 0x80 ? char32_t{b} : char32_t{kCp437High[b - 0x80]});
    }
    return out;
}

std::optional<std::string> Cp932ToUtf8(std::string_view s) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    const std::unique_ptr<std::remove_pointer_t<iconv_t>, int (*)(iconv_t)> closer(cd,
                                                                                   &iconv_close);
    // No CP932 character takes more than three bytes in UTF-8.
    std::string out(s.size() * 3, '\0');
    std::string in(s);
    char* from = in.data();
    std::size_t fromLeft = in.size();
    char* to = out.data();
    std::size_t toLeft = out.size();
    // Stops with EILSEQ at a byte that is no character and EINVAL at an incomplete one.
    if (iconv(cd, &from, &fromLeft, &to, &toLeft) == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    out.resize(out.size() - toLeft);
    if (!IsUtf8(out)) return std::nullopt;
    return out;
}

std::string DecodeMemberName(std::string_view stored, NameCoding coding) {
    if (IsUtf8(stored)) return WithSlashes(std::string(stored));
    switch (coding) {
        case NameCoding::kLha:
            if (auto text = Cp932ToUtf8(stored)) return WithSlashes(std::move(*text));
            break;
        case NameCoding::kLatin1:
            return WithSlashes(Latin1ToUtf8(stored));
        case NameCoding::kDos:
            break;
    }
    return WithSlashes(Cp437ToUtf8(stored));
}

std::string DecodeZipName(std::string_view stored, std::uint16_t flags, std::string_view extra) {
    // A name flagged as UTF-8 that is not is read like any other.
    if ((flags & kZipUtf8Flag) != 0 && IsUtf8(stored)) return WithSlashes(std::string(stored));
    if (const auto unicode = UnicodePath(stored, extra)) return WithSlashes(std::string(*unicode));
    return DecodeMemberName(stored, NameCoding::kDos);
}

}  // namespace orvello::archive
