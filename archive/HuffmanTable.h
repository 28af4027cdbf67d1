// Table-driven decoding of prefix codes, in either bit order: least significant bit first
// (deflate, implode) or most significant bit first (the LHA block method, ARJ, ZOO).
//
// A table has a main part indexed by the next kRootBits input bits and, for codes longer than
// that, sub-tables indexed by the bits after them. In the LSB-first order the index is the
// next bits as they arrive, first bit lowest; in the MSB-first order the first bit read is the
// index's highest bit. Every entry is one 32-bit word:
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

// What fills the slots no code reaches: one bit long, so that a decoder always moves on, and
// with a value above every symbol, so that a decoder can tell its common symbols from bad
// entries and links with one comparison.
inline constexpr std::uint32_t kBadEntry = Payload(0xFFFF, 0, kBad) | 1u;

// Kraft sum check of a set of code lengths (1..maxLen, 0 = unused).
enum class CodeShape { kEmpty, kComplete, kIncomplete, kOversubscribed };
CodeShape Classify(const std::uint8_t* lens, std::size_t n, unsigned maxLen);

// The order in which a code's bits arrive.
enum class BitOrder { kLsbFirst, kMsbFirst };

// Canonical codes (deflate, RFC 1951 3.2.2; LHA assigns its codes the same way) of the given
// lengths. For kLsbFirst they are bit-reversed into the order they are read; for kMsbFirst they
// are the plain code values, first bit highest. Lengths must not be over-subscribed.
void CanonicalCodes(const std::uint8_t* lens, std::size_t n, unsigned maxLen, std::uint16_t* codes,
                    BitOrder order = BitOrder::kLsbFirst);

// Fills `table` (capacity entries) for the codes given as CanonicalCodes gives them in `order`.
// payload[i] is symbol i's entry without its code length. Returns false when the sub-tables
// would not fit (never for codes whose lengths pass Classify with the capacities the decoders
// use).
bool Build(const std::uint8_t* lens, const std::uint16_t* codes, const std::uint32_t* payload,
           std::size_t n, unsigned rootBits, std::uint32_t* table, std::size_t capacity,
           BitOrder order = BitOrder::kLsbFirst);

// Fills the main part of a table with one symbol that takes no bits: the code of a single
// symbol that some formats send instead of lengths.
void BuildSingle(std::uint32_t payload, unsigned rootBits, std::uint32_t* table);

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

// The MSB-first lookup: `bits` holds the next input bits from its highest bit down (at least
// as many as the longest code).
inline std::uint32_t LookupMsb(const std::uint32_t* table, unsigned rootBits, std::uint64_t bits,
                               unsigned& len) {
    std::uint32_t e = table[bits >> (64 - rootBits)];
    if (e & kLink) {
        e = table[Value(e) + ((bits << rootBits) >> (64 - ExtraBits(e)))];
        len = rootBits + CodeBits(e);
        return e;
    }
    len = CodeBits(e);
    return e;
}

}  // namespace orvello::archive::huffman
