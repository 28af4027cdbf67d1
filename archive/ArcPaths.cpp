#include "ArcPaths.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ArcMain.h"
#include "NameCodec.h"

namespace orvello::archive {

std::string StoredNameToFileName(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

std::string FileNamePart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::optional<std::string> SafeRelativeName(const std::string& stored) {
    std::string name = StoredNameToFileName(stored);
    const bool isFolder = !name.empty() && name.back() == '/';
    // A DOS drive: a letter and a colon.
    if (name.size() >= 2 && name[1] == ':' &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'))) {
        name.erase(0, 2);
    }
    std::string out;
    std::size_t pos = 0;
    while (pos <= name.size()) {
        const auto slash = std::min(name.find('/', pos), name.size());
        const std::string part = name.substr(pos, slash - pos);
        pos = slash + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") return std::nullopt;
        if (!out.empty()) out += '/';
        out += part;
    }
    if (out.empty()) return std::nullopt;
    if (isFolder) out += '/';
    return out;
}

namespace {

// The file-name part for matching: after the last "/", "\" or ":".
std::string_view MatchPart(std::string_view s) {
    for (std::size_t i = s.size(); i-- > 0;) {
        if (s[i] == '/' || s[i] == '\\' || s[i] == ':') return s.substr(i + 1);
    }
    return s;
}

template <typename C>
bool HasWildcard(std::basic_string_view<C> s) {
    return std::find_if(s.begin(), s.end(), [](C c) { return c == '*' || c == '?'; }) != s.end();
}

template <typename C>
C Upper(C c) {
    return c >= 'a' && c <= 'z' ? static_cast<C>(c - 32) : c;
}

// A pattern against a name without wildcards: the usual case. Greedy, going back only to
// the last "*" when a character does not fit.
template <typename C>
bool GlobMatch(std::basic_string_view<C> p, std::basic_string_view<C> s) {
    std::size_t i = 0, j = 0, star = std::string_view::npos, mark = 0;
    while (j < s.size()) {
        if (i < p.size() && p[i] == '*') {
            star = i++;
            mark = j;
        } else if (i < p.size() && (p[i] == '?' || Upper(p[i]) == Upper(s[j]))) {
            ++i;
            ++j;
        } else if (star != std::string_view::npos) {
            i = star + 1;
            j = ++mark;
        } else {
            return false;
        }
    }
    while (i < p.size() && p[i] == '*')
        ++i;
    return i == p.size();
}

// Wildcards on both sides: "?" takes one character of the other side, "*" any run of it.
// M(i, j) says whether a[i..] matches b[j..]. A "*" on either side at (i, j) either stops
// taking characters (its side moves on) or takes one more of the other side, so
// M(i, j) = M(i + 1, j) or M(i, j + 1) whichever side holds it. Filled from the ends, two rows
// at a time: no recursion and no blow-up however many "*" a pattern holds. Short names (the
// usual case) need no allocation.
template <typename C>
bool WildMatch(std::basic_string_view<C> a, std::basic_string_view<C> b) {
    if (!HasWildcard(b)) return GlobMatch(a, b);
    if (!HasWildcard(a)) return GlobMatch(b, a);
    const std::size_t na = a.size(), nb = b.size();
    constexpr std::size_t kSmall = 256;
    std::array<char, 2 * kSmall> small;
    std::vector<char> large;
    char* below = small.data();         // M(i + 1, .)
    char* row = small.data() + kSmall;  // M(i, .)
    if (nb + 1 > kSmall) {
        large.resize(2 * (nb + 1));
        below = large.data();
        row = large.data() + nb + 1;
    }
    // M(na, j): only "*" left in b.
    below[nb] = 1;
    for (std::size_t j = nb; j-- > 0;)
        below[j] = b[j] == '*' && below[j + 1];
    bool aStarsOnly = true;  // a[i..] holds only "*"
    for (std::size_t i = na; i-- > 0;) {
        aStarsOnly = aStarsOnly && a[i] == '*';
        row[nb] = aStarsOnly;
        for (std::size_t j = nb; j-- > 0;) {
            if (a[i] == '*' || b[j] == '*') {
                row[j] = below[j] || row[j + 1];
            } else {
                row[j] = (a[i] == '?' || b[j] == '?' || Upper(a[i]) == Upper(b[j])) && below[j + 1];
            }
        }
        std::swap(below, row);
    }
    return below[0] != 0;
}

// The characters of a UTF-8 text, each one unit, so that "?" takes a whole character of a
// decoded name. A byte that starts no valid sequence is a unit of its own, above every code
// point.
std::u32string CodePoints(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        if (length == 1 || !IsUtf8(s.substr(i, length))) {
            out += b < 0x80 ? char32_t{b} : char32_t{0x110000u + b};
            ++i;
            continue;
        }
        char32_t cp = b & (0x7Fu >> length);
        for (std::size_t k = 1; k < length; ++k)
            cp = cp << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
        out += cp;
        i += length;
    }
    return out;
}

bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// WildMatch by characters: bytes when both sides are ASCII (the usual case), else code points.
bool WildMatchText(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) return WildMatch(a, b);
    const std::u32string ca = CodePoints(a), cb = CodePoints(b);
    return WildMatch(std::u32string_view(ca), std::u32string_view(cb));
}

// Step 2 of the match: one trailing "." goes; a name without "." meets a pattern with ".*"
// as if it had an empty extension ("README" is matched by "*.*").
void AdjustExtension(std::string_view& side, bool& extended, std::string_view other,
                     bool otherExtended) {
    if (!side.empty() && side.back() == '.') {
        side.remove_suffix(1);
    } else if (side.find('.') == std::string_view::npos &&
               (otherExtended || other.find(".*") != std::string_view::npos)) {
        extended = true;
    }
}

}  // namespace

bool MatchFileSpec(const std::string& a, const std::string& b) {
    std::string_view x = MatchPart(a), y = MatchPart(b);
    if ((!a.empty() && x.empty()) || (!b.empty() && y.empty())) return false;
    bool xExtended = false, yExtended = false;
    AdjustExtension(x, xExtended, y, false);
    AdjustExtension(y, yExtended, x, xExtended);
    if (x.empty() && !xExtended && y.empty() && !yExtended) return false;
    if (x.empty() && !xExtended) return !y.empty() && y.front() == '*';
    if (y.empty() && !yExtended) return !x.empty() && x.front() == '*';
    if (!xExtended && !yExtended) return WildMatchText(x, y);
    std::string xs(x), ys(y);
    if (xExtended) xs += ".*";
    if (yExtended) ys += ".*";
    return WildMatchText(xs, ys);
}

}  // namespace orvello::archive
