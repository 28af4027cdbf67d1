#include "NameCodec.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>
#include <span>

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

// Code page 850 (DOS Latin-1), bytes 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kCp850High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557,
    0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB,
    0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9,
    0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

// Code page 866 (DOS Cyrillic), bytes 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kCp866High = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B,
    0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433,
    0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B,
    0x044C, 0x044D, 0x044E, 0x044F, 0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

// KOI8-R, bytes 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kKoi8RHigh = {
    0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524, 0x252C, 0x2534, 0x253C, 0x2580,
    0x2584, 0x2588, 0x258C, 0x2590, 0x2591, 0x2592, 0x2593, 0x2320, 0x25A0, 0x2219, 0x221A, 0x2248,
    0x2264, 0x2265, 0x00A0, 0x2321, 0x00B0, 0x00B2, 0x00B7, 0x00F7, 0x2550, 0x2551, 0x2552, 0x0451,
    0x2553, 0x2554, 0x2555, 0x2556, 0x2557, 0x2558, 0x2559, 0x255A, 0x255B, 0x255C, 0x255D, 0x255E,
    0x255F, 0x2560, 0x2561, 0x0401, 0x2562, 0x2563, 0x2564, 0x2565, 0x2566, 0x2567, 0x2568, 0x2569,
    0x256A, 0x256B, 0x256C, 0x00A9, 0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433,
    0x0445, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x044F, 0x0440, 0x0441,
    0x0442, 0x0443, 0x0436, 0x0432, 0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A,
    0x042E, 0x0410, 0x0411, 0x0426, 0x0414, 0x0415, 0x0424, 0x0413, 0x0425, 0x0418, 0x0419, 0x041A,
    0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x042F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0416, 0x0412,
    0x042C, 0x042B, 0x0417, 0x0428, 0x042D, 0x0429, 0x0427, 0x042A,
};

constexpr std::uint16_t kZipUtf8Flag = 1u << 11;
constexpr std::uint16_t kUnicodePathField = 0x7075;

std::string HighTableToUtf8(std::string_view s, const std::array<char16_t, 128>& high) {
    std::string out;
    out.reserve(s.size() * 2);
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        AppendUtf8(out, b < 0x80 ? char32_t{b} : char32_t{high[b - 0x80]});
    }
    return out;
}

// Valid UTF-8 as it is; a byte that starts no valid sequence becomes U+FFFD.
std::string RepairedUtf8(std::string_view s) {
    if (IsUtf8(s)) return std::string(s);
    std::string out;
    out.reserve(s.size() + 8);
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        if (length <= s.size() - i && IsUtf8(s.substr(i, length))) {
            out.append(s.substr(i, length));
            i += length;
        } else {
            AppendUtf8(out, 0xFFFD);
            ++i;
        }
    }
    return out;
}

// The C library's name of a double-byte code page.
const char* IconvName(NameEncoding e) {
    switch (e) {
        case NameEncoding::kCp936:
            return "CP936";
        case NameEncoding::kCp949:
            return "CP949";
        default:
            return "CP932";
    }
}

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
    return HighTableToUtf8(s, kCp437High);
}

std::optional<std::string> Cp932ToUtf8(std::string_view s) {
    const NameDecoder decoder(NameCoding::kLha, NameEncoding::kCp932);
    return decoder.ConvertWhole(s);
}

std::string DecodeMemberName(std::string_view stored, NameCoding coding) {
    return NameDecoder(coding)(stored);
}

std::string DecodeZipName(std::string_view stored, std::uint16_t flags, std::string_view extra) {
    return NameDecoder(NameCoding::kDos).Zip(stored, flags, extra);
}

// ---- NameDecoder

const std::vector<std::pair<std::string_view, NameEncoding>>& NameEncodings() {
    static const std::vector<std::pair<std::string_view, NameEncoding>> kAll = {
        {"auto", NameEncoding::kAuto},     {"cp437", NameEncoding::kCp437},
        {"cp850", NameEncoding::kCp850},   {"cp866", NameEncoding::kCp866},
        {"cp932", NameEncoding::kCp932},   {"cp936", NameEncoding::kCp936},
        {"cp949", NameEncoding::kCp949},   {"koi8-r", NameEncoding::kKoi8R},
        {"latin1", NameEncoding::kLatin1}, {"utf-8", NameEncoding::kUtf8},
    };
    return kAll;
}

std::optional<NameEncoding> NameEncodingFromText(std::string_view text) {
    for (const auto& [name, e] : NameEncodings()) {
        if (name == text) return e;
    }
    return std::nullopt;
}

std::string_view NameEncodingText(NameEncoding encoding) {
    for (const auto& [name, e] : NameEncodings()) {
        if (e == encoding) return name;
    }
    return "auto";
}

// The C library's converter from one double-byte code page to UTF-8.
struct NameDecoder::Converter {
    explicit Converter(const char* from) : cd(iconv_open("UTF-8", from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t cd;
};

NameDecoder::NameDecoder(NameCoding format, NameEncoding chosen)
    : format_(format), chosen_(chosen) {
    const bool doubleByte = chosen == NameEncoding::kCp932 || chosen == NameEncoding::kCp936 ||
                            chosen == NameEncoding::kCp949;
    if (doubleByte || (chosen == NameEncoding::kAuto && format == NameCoding::kLha)) {
        converter_ = std::make_unique<Converter>(IconvName(chosen));
        if (!converter_->ok()) converter_.reset();
    }
}

NameDecoder::~NameDecoder() = default;

std::optional<std::string> NameDecoder::Convert(std::string_view s, bool strict) const {
    if (!converter_) return std::nullopt;
    iconv_t cd = converter_->cd;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh start for every name
    // No character of these code pages takes more than three bytes in UTF-8 (U+FFFD too).
    std::string out(s.size() * 3 + 3, '\0');
    std::string in(s);
    char* from = in.data();
    std::size_t fromLeft = in.size();
    char* to = out.data();
    std::size_t toLeft = out.size();
    while (fromLeft > 0) {
        // Stops with EILSEQ at a byte that is no character and EINVAL at an incomplete one.
        if (iconv(cd, &from, &fromLeft, &to, &toLeft) != static_cast<std::size_t>(-1)) break;
        if (strict || toLeft < 3) return std::nullopt;
        *to++ = static_cast<char>(0xEF);
        *to++ = static_cast<char>(0xBF);
        *to++ = static_cast<char>(0xBD);
        toLeft -= 3;
        ++from;
        --fromLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(out.size() - toLeft);
    if (!IsUtf8(out)) return std::nullopt;
    return out;
}

std::optional<std::string> NameDecoder::ConvertWhole(std::string_view s) const {
    return Convert(s, true);
}

std::string NameDecoder::operator()(std::string_view stored) const {
    switch (chosen_) {
        case NameEncoding::kAuto:
            break;
        case NameEncoding::kCp437:
            return WithSlashes(Cp437ToUtf8(stored));
        case NameEncoding::kCp850:
            return WithSlashes(HighTableToUtf8(stored, kCp850High));
        case NameEncoding::kCp866:
            return WithSlashes(HighTableToUtf8(stored, kCp866High));
        case NameEncoding::kKoi8R:
            return WithSlashes(HighTableToUtf8(stored, kKoi8RHigh));
        case NameEncoding::kLatin1:
            return WithSlashes(Latin1ToUtf8(stored));
        case NameEncoding::kUtf8:
            return WithSlashes(RepairedUtf8(stored));
        case NameEncoding::kCp932:
        case NameEncoding::kCp936:
        case NameEncoding::kCp949:
            if (auto text = Convert(stored, false)) return WithSlashes(std::move(*text));
            // Without the C library's converter the bytes still make a name.
            return WithSlashes(Cp437ToUtf8(stored));
    }
    if (IsUtf8(stored)) return WithSlashes(std::string(stored));
    switch (format_) {
        case NameCoding::kLha:
            if (auto text = Convert(stored, true)) return WithSlashes(std::move(*text));
            break;
        case NameCoding::kLatin1:
            return WithSlashes(Latin1ToUtf8(stored));
        case NameCoding::kDos:
            break;
    }
    return WithSlashes(Cp437ToUtf8(stored));
}

std::string NameDecoder::Zip(std::string_view stored, std::uint16_t flags,
                             std::string_view extra) const {
    // A name flagged as UTF-8 that is not is read like any other.
    if ((flags & kZipUtf8Flag) != 0 && IsUtf8(stored)) return WithSlashes(std::string(stored));
    if (const auto unicode = UnicodePath(stored, extra)) return WithSlashes(std::string(*unicode));
    return (*this)(stored);
}

}  // namespace orvello::archive
