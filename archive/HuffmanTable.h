// Table-driven decoding of prefix codes read least significant bit first (deflate, implode).
//
// A table has a main part indexed by the next kRootBits input bits and, for codes longer than
// that, sub-tables indexed by the bits after them. Every entry is one 32-bit word:
//
//   bits  0..7   bits of the code word held by this level (the whole code in the main part when
//                it fits; the part beyond the root bits in a sub-table). For a sub-table link:
//                the root bits.
//   bits  8..11  extra bits that follow the code (deflate lengths and distances); for a
//                sub-table link: the sub-table's index bits.
//   bits 12..15  flags (kLiteral, kEnd, kLink, kBad)
//   bits 16..31  the value: a literal byte, a length or distance base, a symbol, or the start
//                of the linked sub-table.
//
// Slots that no code reaches (an incomplete code) hold kBad entries, so a decoder never reads
// an undefined entry whatever bits arrive.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvello::archive::huffman {

inline constexpr std::uint32_t kLiteral = 1u << 12;
inline constexpr std::uint32_t kEnd = 1u << 13;
inline constexpr std::uint32_t kLink = 1u << 14;
inline constexpr std::uint32_t kBad = 1u << 15;

// The payload of a symbol: value, extra-bit count and flags; the code length is added by the
// builder.
inline constexpr std::uint32_t Payload(std::uint32_t value, std::uint32_t extra,
                                       std::uint32_t flags) {
    return value << 16 | extra << 8 | flags;
}
inline constexpr unsigned CodeBits(std::uint32_t e) {
    return e & 0xFF;
}
inline constexpr unsigned ExtraBits(std::uint32_t e) {
    return (e >> 8) & 0xF;
}
inline constexpr std::uint32_t Value(std::uint32_t e) {
    return e >> 16;
}

// Kraft sum check of a set of code lengths (1..maxLen, 0 = unused).
enum class CodeShape { kEmpty, kComplete, kIncomplete, kOversubscribed };
CodeShape Classify(const std::uint8_t* lens, std::size_t n, unsigned maxLen);

// Canonical codes (deflate, RFC 1951 3.2.2) of the given lengths, bit-reversed into the order
// they are read. Lengths must not be over-subscribed.
void CanonicalCodes(const std::uint8_t* lens, std::size_t n, unsigned maxLen, std::uint16_t* codes);

// Fills `table` (capacity entries) for the codes given as read order bit strings. payload[i] is
// symbol i's entry without its code length. Returns false when the sub-tables would not fit
// (never for codes whose lengths pass Classify with the capacities the decoders use).
bool Build(const std::uint8_t* lens, const std::uint16_t* codes, const std::uint32_t* payload,
           std::size_t n, unsigned rootBits, std::uint32_t* table, std::size_t capacity);

// Looks up the entry for the bits at the bottom of `bits`, following a sub-table link. Returns
// the entry and the total code length in `len`.
inline std::uint32_t Lookup(const std::uint32_t* table, unsigned rootBits, std::uint64_t bits,
                            unsigned& len) {
    std::uint32_t e = table[bits & ((1u << rootBits) - 1)];
    if (e & kLink) {
        const std::uint32_t sub = Value(e) + ((bits >> rootBits) & ((1u << ExtraBits(e)) - 1));
        e = table[sub];
        len = rootBits + CodeBits(e);
        return e;
    }
    len = CodeBits(e);
    return e;
}

}  // namespace orvello::archive::huffman
