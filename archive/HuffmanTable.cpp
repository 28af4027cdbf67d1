#include "HuffmanTable.h"

#include <algorithm>
#include <array>

namespace orvello::archive::huffman {

namespace {

constexpr unsigned kMaxLen = 16;

std::array<std::uint32_t, kMaxLen + 1> Counts(const std::uint8_t* lens, std::size_t n) {
    std::array<std::uint32_t, kMaxLen + 1> count{};
    for (std::size_t i = 0; i < n; ++i)
        ++count[std::min<unsigned>(lens[i], kMaxLen)];
    return count;
}

}  // namespace

CodeShape Classify(const std::uint8_t* lens, std::size_t n, unsigned maxLen) {
    const auto count = Counts(lens, n);
    std::uint32_t used = 0;
    for (unsigned len = 1; len <= kMaxLen; ++len)
        used += count[len];
    if (used == 0) return CodeShape::kEmpty;
    // Code space still free at each length; below zero means more codes than fit.
    std::int64_t left = 1;
    for (unsigned len = 1; len <= maxLen; ++len) {
        left = left * 2 - count[len];
        if (left < 0) return CodeShape::kOversubscribed;
    }
    for (unsigned len = maxLen + 1; len <= kMaxLen; ++len) {
        if (count[len] != 0) return CodeShape::kOversubscribed;  // longer than the format allows
    }
    return left == 0 ? CodeShape::kComplete : CodeShape::kIncomplete;
}

void CanonicalCodes(const std::uint8_t* lens, std::size_t n, unsigned maxLen, std::uint16_t* codes,
                    BitOrder order) {
    auto count = Counts(lens, n);
    count[0] = 0;
    std::array<std::uint32_t, kMaxLen + 2> next{};
    std::uint32_t code = 0;
    for (unsigned len = 1; len <= maxLen; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned len = lens[i];
        if (len == 0 || len > maxLen) {
            codes[i] = 0;
            continue;
        }
        const std::uint32_t c = next[len]++;
        if (order == BitOrder::kMsbFirst) {
            codes[i] = static_cast<std::uint16_t>(c);
            continue;
        }
        // Read LSB first, the code's most significant bit comes first: reverse it.
        std::uint32_t rev = 0;
        for (unsigned b = 0; b < len; ++b)
            rev |= ((c >> b) & 1u) << (len - 1 - b);
        codes[i] = static_cast<std::uint16_t>(rev);
    }
}

bool Build(const std::uint8_t* lens, const std::uint16_t* codes, const std::uint32_t* payload,
           std::size_t n, unsigned rootBits, std::uint32_t* table, std::size_t capacity,
           BitOrder order) {
    const std::size_t rootSize = std::size_t{1} << rootBits;
    const std::uint32_t rootMask = static_cast<std::uint32_t>(rootSize - 1);
    if (capacity < rootSize) return false;
    std::fill(table, table + rootSize, kBadEntry);
    const bool msb = order == BitOrder::kMsbFirst;
    // The root slot of a code longer than the root bits: its first rootBits bits as read.
    auto rootOf = [&](std::size_t i) -> std::size_t {
        return msb ? codes[i] >> (lens[i] - rootBits) : codes[i] & rootMask;
    };

    // The longest code below each root slot decides the size of that slot's sub-table.
    std::array<std::uint8_t, 1u << 12> longest{};
    if (rootSize > longest.size()) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (lens[i] > rootBits) {
            auto& l = longest[rootOf(i)];
            l = std::max(l, lens[i]);
        }
    }
    std::size_t used = rootSize;
    for (std::size_t p = 0; p < rootSize; ++p) {
        if (longest[p] == 0) continue;
        const unsigned subBits = longest[p] - rootBits;
        const std::size_t size = std::size_t{1} << subBits;
        if (used + size > capacity) return false;
        table[p] = Payload(static_cast<std::uint32_t>(used), subBits, kLink) | rootBits;
        std::fill(table + used, table + used + size, kBadEntry);
        used += size;
    }

    // A code of `len` bits within an index of `bits` bits fills 2^(bits - len) slots: in the
    // LSB-first order every slot whose low bits are the code, in the MSB-first order the run
    // of slots whose high bits are the code.
    auto fill = [&](std::uint32_t* t, std::size_t code, unsigned len, unsigned bits,
                    std::uint32_t entry) {
        const std::size_t size = std::size_t{1} << bits;
        if (msb) {
            std::fill_n(t + (code << (bits - len)), std::size_t{1} << (bits - len), entry);
            return;
        }
        for (std::size_t j = code; j < size; j += std::size_t{1} << len)
            t[j] = entry;
    };
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned len = lens[i];
        if (len == 0) continue;
        if (len <= rootBits) {
            fill(table, codes[i], len, rootBits, payload[i] | len);
            continue;
        }
        const std::uint32_t link = table[rootOf(i)];
        const unsigned rest = len - rootBits;
        const std::size_t tail = msb ? codes[i] & ((std::size_t{1} << rest) - 1)
                                     : static_cast<std::size_t>(codes[i]) >> rootBits;
        fill(table + Value(link), tail, rest, ExtraBits(link), payload[i] | rest);
    }
    return true;
}

void BuildSingle(std::uint32_t payload, unsigned rootBits, std::uint32_t* table) {
    std::fill_n(table, std::size_t{1} << rootBits, payload);
}

}  // namespace orvello::archive::huffman
