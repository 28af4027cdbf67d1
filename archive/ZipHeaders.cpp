#include "ZipHeaders.h"

#include <array>
#include <string_view>
#include <vector>

#include "ByteOrder.h"

namespace orvello::archive {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054B50;      // "PK" 5 6
constexpr std::uint32_t kLocatorSignature = 0x07064B50;  // "PK" 6 7
constexpr std::uint32_t kEnd64Signature = 0x06064B50;    // "PK" 6 6
constexpr std::size_t kEndLength = 22;
constexpr std::size_t kLocatorLength = 20;
constexpr std::size_t kEnd64Length = 56;
constexpr std::uint32_t kAllOnes = 0xFFFFFFFF;
constexpr std::uint64_t kLargest = std::uint64_t{1} << 62;

// The directory offset of the ZIP64 end record, when the locator before `record` leads to one.
std::optional<std::int64_t> Zip64Central(ArcFile& file, std::int64_t record, std::int64_t shift) {
    std::uint8_t locator[kLocatorLength];
    if (record < static_cast<std::int64_t>(kLocatorLength) ||
        !file.ReadExact(record - static_cast<std::int64_t>(kLocatorLength), locator,
                        sizeof locator) ||
        Le32(locator) != kLocatorSignature) {
        return std::nullopt;
    }
    const std::uint64_t at = Le64(locator + 8);
    std::uint8_t end64[kEnd64Length];
    if (at >= kLargest ||
        !file.ReadExact(static_cast<std::int64_t>(at) + shift, end64, sizeof end64) ||
        Le32(end64) != kEnd64Signature) {
        return std::nullopt;
    }
    const std::uint64_t central = Le64(end64 + 48);
    if (central >= kLargest) return std::nullopt;
    return static_cast<std::int64_t>(central) + shift;
}

}  // namespace

std::optional<ZipEndRecord> FindZipEndRecord(ArcFile& file, std::int64_t shift) {
    const std::int64_t size = file.Size();
    const std::int64_t window = size > 32767 ? 32768 : size - 1;
    if (window < static_cast<std::int64_t>(kEndLength)) return std::nullopt;
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(window));
    const std::int64_t tailStart = size - window;
    const std::size_t got = file.ReadAt(tailStart, tail.data(), tail.size());
    for (std::size_t i = got >= kEndLength ? got - kEndLength + 1 : 0; i >= 1; --i) {
        if (Le32(&tail[i]) != kEndSignature) continue;
        ZipEndRecord r;
        r.offset = tailStart + static_cast<std::int64_t>(i);
        std::uint8_t end[kEndLength];
        if (!file.ReadExact(r.offset, end, sizeof end)) return std::nullopt;
        r.commentLength = Le16(end + 20);
        r.central = std::int64_t{Le32(end + 16)} + shift;
        if (Le32(end + 16) == kAllOnes) {
            if (const auto central = Zip64Central(file, r.offset, shift)) r.central = *central;
        }
        return r;
    }
    return std::nullopt;
}

bool Zip64Values::NeedExtra() const {
    return size == kAllOnes || packed == kAllOnes || localHeader == kAllOnes;
}

void Zip64Values::Apply(const std::uint8_t* extra, std::size_t length) {
    for (std::size_t i = 0; i + 4 <= length;) {
        const unsigned id = Le16(extra + i), fieldLength = Le16(extra + i + 2);
        std::size_t k = i + 4;
        const std::size_t fieldEnd = k + fieldLength;
        if (fieldEnd > length) return;
        if (id == 1) {
            for (std::uint64_t* value : {&size, &packed, &localHeader}) {
                if (*value != kAllOnes) continue;
                if (k + 8 > fieldEnd) return;
                if (const std::uint64_t v = Le64(extra + k); v < kLargest) *value = v;
                k += 8;
            }
            return;
        }
        i = fieldEnd;
    }
}

HeaderRead<ZipCentralEntry> ReadZipCentralEntry(ArcFile& file, std::int64_t at, std::int64_t shift,
                                                const NameDecoder& names) {
    using Read = HeaderRead<ZipCentralEntry>;
    constexpr std::uint32_t kCentralSignature = 0x02014B50u;
    constexpr std::size_t kCentralLength = 46;
    // One read takes the fixed part with the name and extra field of nearly every header.
    std::array<std::uint8_t, kCentralLength + 512> buf;
    const std::size_t got = file.ReadAt(at, buf.data(), buf.size());
    const std::uint8_t* h = buf.data();
    if (got < kCentralLength || Le32(h) != kCentralSignature) return Read::End();
    Read r;
    ZipCentralEntry& e = r.header;
    e.start = at;
    e.versionMadeBy = Le16(h + 4);
    e.versionNeeded = Le16(h + 6);
    e.flags = Le16(h + 8);
    e.method = Le16(h + 10);
    e.dosTime = Le16(h + 12);
    e.dosDate = Le16(h + 14);
    e.crc = Le32(h + 16);
    const std::size_t nameLength = Le16(h + 28), extraLength = Le16(h + 30),
                      commentLength = Le16(h + 32);
    e.internalAttr = Le16(h + 36);
    e.externalAttr = Le32(h + 38);
    const std::int64_t nameAt = at + static_cast<std::int64_t>(kCentralLength);
    std::string_view stored, extra;
    std::string storedCopy, extraCopy;  // for the rare header longer than the first read
    if (kCentralLength + nameLength + extraLength <= got) {
        const char* p = reinterpret_cast<const char*>(h + kCentralLength);
        stored = std::string_view(p, nameLength);
        extra = std::string_view(p + nameLength, extraLength);
    } else {
        storedCopy.resize(nameLength);
        if (!file.ReadExact(nameAt, reinterpret_cast<std::uint8_t*>(storedCopy.data()), nameLength))
            return Read::Damaged(errReadFile);
        // The extra field may end early: what is there is used.
        extraCopy.resize(extraLength);
        extraCopy.resize(file.ReadAt(nameAt + static_cast<std::int64_t>(nameLength),
                                     reinterpret_cast<std::uint8_t*>(extraCopy.data()),
                                     extraLength));
        stored = storedCopy;
        extra = extraCopy;
    }
    // The extra field may hold the name in Unicode as well as ZIP64 sizes.
    e.name = names.Zip(stored, e.flags, extra);
    Zip64Values values{Le32(h + 24), Le32(h + 20), Le32(h + 42)};
    if (values.NeedExtra())
        values.Apply(reinterpret_cast<const std::uint8_t*>(extra.data()), extra.size());
    e.size = values.size;
    e.packed = values.packed;
    e.localHeader = static_cast<std::int64_t>(values.localHeader) + shift;
    const std::int64_t commentAt =
        nameAt + static_cast<std::int64_t>(nameLength) + static_cast<std::int64_t>(extraLength);
    if (commentLength != 0) {
        e.comment.resize(commentLength);
        e.comment.resize(file.ReadAt(commentAt, reinterpret_cast<std::uint8_t*>(e.comment.data()),
                                     commentLength));
    }
    e.next = commentAt + static_cast<std::int64_t>(commentLength);
    r.status = HeaderStatus::kHeader;
    return r;
}

HeaderRead<ZipLocalHeader> ReadZipLocalHeader(ArcFile& file, std::int64_t at) {
    using Read = HeaderRead<ZipLocalHeader>;
    constexpr std::uint32_t kLocalSignature = 0x04034B50u;   // "PK" 3 4
    constexpr std::uint32_t kZip250Signature = 0x50000000u;  // 00 00 00 50
    std::uint8_t h[30];
    if (at < 0 || !file.ReadExact(at, h, sizeof h) ||
        (Le32(h) != kLocalSignature && Le32(h) != kZip250Signature))
        return Read::Damaged(errLocalHeader);
    Read r;
    ZipLocalHeader& l = r.header;
    l.start = at;
    l.flags = Le16(h + 6);
    l.method = Le16(h + 8);
    l.dosTime = Le16(h + 10);
    l.crc = Le32(h + 14);
    l.data = at + static_cast<std::int64_t>(sizeof h) + Le16(h + 26) + Le16(h + 28);
    r.status = HeaderStatus::kHeader;
    return r;
}

}  // namespace orvello::archive
