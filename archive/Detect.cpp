#include "Detect.h"

#include <algorithm>
#include <array>
#include <vector>

#include "ByteOrder.h"
#include "platform/pe/PeResources.h"

namespace orvello::archive {

namespace {

using A = TArcType;

constexpr std::int64_t kTarBlock = 512;

// Start-only signatures are trusted only as the first bytes of a file: inside a program the
// same bytes are too likely to be code or data.
Classification Pick(SignaturePlace place, A atStart, A insideExe) {
    return {place == SignaturePlace::AtStart ? atStart : insideExe, std::nullopt};
}

bool ReadFour(ArcFile& file, std::int64_t offset, std::uint8_t (&b)[4]) {
    return offset >= 0 && file.ReadExact(offset, b, 4);
}

// The signature bytes at `offset`: false when not even 4 are there.
bool ReadSignature(ArcFile& file, std::int64_t offset, SignatureBytes& s) {
    if (offset < 0) return false;
    s.count = file.ReadAt(offset, s.b, sizeof s.b);
    return s.count >= 4;
}

// An LHA method id "-l??-" at bytes 2 to 6.
bool HasLhaMethodId(const SignatureBytes& s) {
    return s.count >= 7 && s.b[2] == '-' && s.b[3] == 'l' && s.b[6] == '-';
}

// The extension test of the TAR check: the file name (after the last folder separator) has a
// "." and what follows its last "." is "TAR" in any case.
bool HasTarExtension(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos) return false;
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return ext == "TAR";
}

// The stored checksum (octal digits of the 8-byte field at 148, anything else skipped)
// against the sum of the block's bytes with that field counted as blanks.
bool TarChecksumMatches(const std::uint8_t* block) {
    std::uint64_t stored = 0;
    for (int i = 148; i < 156; ++i) {
        if (block[i] >= '0' && block[i] <= '7') stored = stored * 8 + (block[i] - '0');
    }
    std::uint64_t sum = 0;
    for (int i = 0; i < kTarBlock; ++i)
        sum += (i >= 148 && i < 156) ? 32u : block[i];
    return stored == sum;
}

// "1234" from a string resource: up to five characters, all decimal digits.
std::optional<std::int64_t> ResourceOffset(platform::PeResources& pe, unsigned id) {
    const auto text = pe.String(id);
    if (!text) return std::nullopt;
    const auto ascii = platform::AsciiPrefix(*text, 5);
    if (!ascii || ascii->empty()) return std::nullopt;
    std::int64_t value = 0;
    for (char c : *ascii) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool IsZipType(A t) {
    return t == A::atZIP || t == A::atZipExe || t == A::atZip250 || t == A::atZip250Exe;
}

// Step 1 for executables: the offsets named by string resources 1 to 4. True when the search
// decided the type (which may be atNA), false when detection goes on.
bool SearchResources(ArcFile& file, Detection& d) {
    auto pe = platform::PeResources::Open(
        [&file](std::uint64_t offset, void* buf, std::size_t n) {
            return file.ReadExact(static_cast<std::int64_t>(offset),
                                  static_cast<std::uint8_t*>(buf), n);
        },
        static_cast<std::uint64_t>(d.archiveSize));
    if (!pe) return false;
    for (unsigned id = 1; id <= 4; ++id) {
        const auto offset = ResourceOffset(*pe, id);
        if (!offset) return false;
        d.dataStart = *offset - 1;  // StartOffset is the resource's offset itself here
        if (*offset >= d.archiveSize) return false;
        SignatureBytes s;
        if (!ReadSignature(file, *offset, s)) continue;
        const Classification c = ClassifySignature(s, SignaturePlace::InsideExe);
        if (c.type == A::atUnknown) continue;
        d.type = c.type;
        if (IsZipType(c.type)) d.zipSfxOffset = *offset;
        d.dataStart = c.dataStart ? *c.dataStart : *offset;
        return true;
    }
    return false;
}

// Step 2: the archive appended right where the DOS image ends.
void SearchDosImageEnd(ArcFile& file, const std::uint8_t* head, Detection& d) {
    std::int64_t p = std::int64_t{Le16(head + 4)} * 512 + Le16(head + 2) - 512;
    if (p < 0 || p >= d.archiveSize) return;
    std::uint8_t b[4];
    // An ARJ stub may end two bytes before the header it carries.
    if (ReadFour(file, p, b) && b[2] == 0x60 && b[3] == 0xEA) p += 2;
    d.dataStart = p;
    SignatureBytes s;
    if (!ReadSignature(file, p, s)) return;
    const Classification c = ClassifySignature(s, SignaturePlace::InsideExe);
    d.type = c.type;
    if (c.dataStart) d.dataStart = *c.dataStart;
}

// Step 3: a ZIP end record within the last ZipCmntBufSize + 23 bytes, whose central
// directory starts with a valid entry.
void SearchZipTail(ArcFile& file, std::int32_t zipCmntBufSize, Detection& d) {
    std::int64_t window = std::int64_t{zipCmntBufSize} + 23;
    if (window > d.archiveSize) window = zipCmntBufSize == 0 ? 23 : d.archiveSize - 76;
    if (window < 23 || d.archiveSize < window) return;
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(window));
    const std::size_t got = file.ReadAt(d.archiveSize - window, tail.data(), tail.size());
    if (got < 22) return;
    // Scan from the last place a whole signature fits down to index 1 (index 0 is never
    // examined), and take the first hit only.
    for (std::size_t i = got - 21; i >= 1; --i) {
        if (tail[i] != 'P' || tail[i + 1] != 'K' || tail[i + 2] != 5 || tail[i + 3] != 6) continue;
        std::uint8_t end[22];
        if (!file.ReadExact(d.archiveSize - window + static_cast<std::int64_t>(i), end, sizeof end))
            return;
        if (Le32(end) != 0x06054B50u) return;
        std::uint8_t entry[46];
        if (!file.ReadExact(Le32(end + 16), entry, sizeof entry)) return;
        if (Le32(entry) != 0x02014B50u) return;
        // StartOffset is the recorded local header offset itself.
        d.dataStart = std::int64_t{Le32(entry + 42)} - 1;
        d.type = A::atZipExe;
        return;
    }
}

void TestTar(ArcFile& file, const std::string& name, Detection& d) {
    if (d.archiveSize <= kTarBlock || !HasTarExtension(name)) return;
    std::array<std::uint8_t, kTarBlock> block{};
    if (!file.ReadExact(0, block.data(), block.size())) return;
    if (block[156] == 'V') {
        // A GNU volume header comes first; the archive proper starts with the next block.
        d.dataStart = kTarBlock;
        if (!file.ReadExact(kTarBlock, block.data(), block.size())) {
            d.dataStart = 0;
            return;
        }
    }
    if (TarChecksumMatches(block.data())) {
        d.type = A::atTAR;
    } else {
        d.dataStart = 0;
    }
}

}  // namespace

Classification ClassifySignature(const SignatureBytes& s, SignaturePlace place) {
    const std::uint8_t* b = s.b;
    if (b[0] == 'P' && b[1] == 'K') return Pick(place, A::atZIP, A::atZipExe);
    if (b[0] == 'M' && b[1] == 'S' && b[2] == 'C' && b[3] == 'F')
        return Pick(place, A::atCAB, A::atNA);
    if (b[0] == 0 && b[1] == 0 && b[2] == 0 && b[3] == 0x50)
        return Pick(place, A::atZip250, A::atZip250Exe);
    if (b[0] == 'B' && b[1] == 'H' && b[2] == 5 && b[3] == 7)
        return Pick(place, A::atBH, A::atBHExe);
    if (b[0] == 'H' && b[1] == 'A') return Pick(place, A::atHA, A::atNA);
    // A level-0 LHA header starts with its size and checksum bytes, which may happen to read
    // as the GZip signature; the five-byte method id is the stronger sign.
    if (HasLhaMethodId(s)) return Pick(place, A::atLHA, A::atLhaExe);
    if (b[0] == 0x1F &&
        (b[1] == 0x8B || b[1] == 0x9D || b[1] == 0x9E || b[1] == 0x1E || b[1] == 0xA0)) {
        return Pick(place, A::atGZip, A::atNA);
    }
    if (b[0] == 0x60 && b[1] == 0xEA) return Pick(place, A::atARJ, A::atArjExe);
    if (b[0] == 'Z' && b[1] == 'O') return Pick(place, A::atZOO, A::atNA);
    if (b[2] == '-' && b[3] == 'l') return Pick(place, A::atLHA, A::atLhaExe);
    if (b[0] == 'R' && b[1] == 'a') return Pick(place, A::atRAR, A::atRarExe);
    if (b[0] == 0x1A && (b[1] == 10 || b[1] == 11)) return Pick(place, A::atPAK, A::atPakExe);
    // Every ARC method (1 to 9) counts, so an archive whose first member happens to be stored,
    // packed or squeezed is recognised like one whose first member is crunched.
    if (b[0] == 0x1A && b[1] >= 1 && b[1] <= 9) return Pick(place, A::atARC, A::atArcExe);
    if (b[0] == 0xB7 && (b[1] == 0x92 || b[1] == 0xDF)) return {A::atArcExe, 7716};
    return {A::atUnknown, std::nullopt};
}

Detection DetectArchive(ArcFile& file, const std::string& name, std::int32_t zipCmntBufSize) {
    Detection d;
    d.archiveSize = file.Size();
    std::uint8_t head[6];
    if (d.archiveSize <= 5 || !file.ReadExact(0, head, sizeof head)) {
        d.type = A::atFileError;
        return d;
    }
    if (head[0] == 'M' && head[1] == 'Z') {
        d.type = A::atUnknown;
        if (SearchResources(file, d)) return d;
        SearchDosImageEnd(file, head, d);
        if (d.type == A::atUnknown) SearchZipTail(file, std::clamp(zipCmntBufSize, 0, 32767), d);
        return d;
    }
    SignatureBytes first;
    ReadSignature(file, 0, first);  // at least the 6 bytes read above
    const Classification c = ClassifySignature(first, SignaturePlace::AtStart);
    d.type = c.type;
    if (c.dataStart) d.dataStart = *c.dataStart;
    if (d.type == A::atUnknown) TestTar(file, name, d);
    return d;
}

}  // namespace orvello::archive
