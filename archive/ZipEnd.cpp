#include "ZipEnd.h"

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

}  // namespace orvello::archive
