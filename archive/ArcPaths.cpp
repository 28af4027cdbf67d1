#include "ArcPaths.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ArcMain.h"

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
std::string MatchPart(const std::string& s) {
    const auto cut = s.find_last_of("/\\:");
    return cut == std::string::npos ? s : s.substr(cut + 1);
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

bool OnlyStars(const std::string& s, std::size_t from) {
    return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(from), s.end(),
                       [](char c) { return c == '*'; });
}

// Wildcards on both sides: "?" takes one character of the other side, "*" any run of it.
// M(i, j) says whether a[i..] matches b[j..]. A "*" on either side at (i, j) either stops
// taking characters (its side moves on) or takes one more of the other side, so
// M(i, j) = M(i + 1, j) or M(i, j + 1) whichever side holds it. Filled from the ends, two rows
// at a time: no recursion and no blow-up however many "*" a pattern holds.
bool WildMatch(const std::string& a, const std::string& b) {
    const std::size_t na = a.size(), nb = b.size();
    std::vector<char> below(nb + 1), row(nb + 1);  // M(i + 1, .) and M(i, .)
    for (std::size_t j = 0; j <= nb; ++j)
        below[j] = OnlyStars(b, j);
    for (std::size_t i = na; i-- > 0;) {
        row[nb] = OnlyStars(a, i);
        for (std::size_t j = nb; j-- > 0;) {
            if (a[i] == '*' || b[j] == '*') {
                row[j] = below[j] || row[j + 1];
            } else {
                row[j] = (a[i] == '?' || b[j] == '?' || Upper(a[i]) == Upper(b[j])) && below[j + 1];
            }
        }
        std::swap(below, row);
    }
    return below[0];
}

// Step 2 of the match: one trailing "." goes; a name without "." meets a pattern with ".*"
// as if it had an empty extension ("README" is matched by "*.*").
void AdjustExtension(std::string& side, const std::string& other) {
    if (!side.empty() && side.back() == '.') {
        side.pop_back();
    } else if (side.find('.') == std::string::npos && other.find(".*") != std::string::npos) {
        side += ".*";
    }
}

}  // namespace

bool MatchFileSpec(const std::string& a, const std::string& b) {
    std::string x = MatchPart(a);
    std::string y = MatchPart(b);
    if ((!a.empty() && x.empty()) || (!b.empty() && y.empty())) return false;
    AdjustExtension(x, y);
    AdjustExtension(y, x);
    if (x.empty() && y.empty()) return false;
    if (x.empty()) return y.front() == '*';
    if (y.empty()) return x.front() == '*';
    return WildMatch(x, y);
}

}  // namespace orvello::archive
