#include "Inflat.h"

#include <algorithm>
#include <cstring>

#include "ArcTypes.h"
#include "HuffmanTable.h"

namespace orvello::archive {

namespace {

using namespace huffman;

constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                           15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                           67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::uint8_t kPrecodeOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                            11, 4,  12, 3, 13, 2, 14, 1, 15};

constexpr unsigned kMaxCodeBits = 15;
constexpr std::size_t kLitlenSymbols =
    288;                                  // 286 and 287 exist only in the fixed code, never valid
constexpr std::size_t kDistSymbols = 32;  // 30 and 31 likewise

// The decode tables of literal/length and distance codes. A main table indexed by the next
// root bits of input and, for longer codes, sub-tables indexed by the bits after them. Every
// entry is one 32-bit word that tells the decoder all it needs in one load:
//
//   bits  0..7   the input bits to drop: the code's bits at this level plus the extra bits
//                that follow it (lengths and distances), so one shift consumes both. For a
//                sub-table link: the root bits.
//   bits  8..11  the code's bits at this level, below which the extra bits start. For a link:
//                the sub-table's index bits.
//   bit  13      end of block
//   bit  14      sub-table link
//   bit  15      bad: a slot no code reaches, or a symbol the format does not allow
//   bits 16..30  the value: a literal byte, a length or distance base, a sub-table's start
//   bit  31      literal, so that the commonest case is a sign test
//
// The extra bits of a length or distance are then (saved & mask(bits 0..7)) >> bits 8..11,
// where `saved` is the bit register before the drop.
constexpr std::uint32_t kLiteralFlag = 1u << 31;
constexpr std::uint32_t kEndFlag = 1u << 13;
constexpr std::uint32_t kLinkFlag = 1u << 14;
constexpr std::uint32_t kBadFlag = 1u << 15;
constexpr std::uint32_t kSpecial = kEndFlag | kLinkFlag | kBadFlag;
constexpr std::uint32_t kBadSlot = kBadFlag | 1u;

constexpr unsigned DropBits(std::uint32_t e) {
    return e & 0xFF;
}
constexpr unsigned CodeLen(std::uint32_t e) {
    return (e >> 8) & 0xF;
}
constexpr std::uint32_t EntryValue(std::uint32_t e) {
    return (e >> 16) & 0x7FFF;
}

// A length or distance: the base plus the extra bits, taken from the register as it was before
// the entry's bits were dropped. (Bits 0..5 and 8..13 of such an entry are exactly the drop
// and the code length, both below 64, so the shifts need no further masking.)
inline std::size_t ExtraValue(std::uint32_t e, std::uint64_t saved) {
    return (e >> 16) + ((saved & ((std::uint64_t{1} << (e & 63)) - 1)) >> ((e >> 8) & 63));
}

// A symbol's entry without its code length, which the builder adds (to bits 0..7 and 8..11).
constexpr std::uint32_t SymbolEntry(std::uint32_t value, unsigned extra, std::uint32_t flags) {
    return value << 16 | flags | extra;
}

constexpr std::array<std::uint32_t, kLitlenSymbols> MakeLitlenEntries() {
    std::array<std::uint32_t, kLitlenSymbols> p{};
    for (unsigned s = 0; s < kLitlenSymbols; ++s) {
        if (s < 256) {
            p[s] = SymbolEntry(s, 0, kLiteralFlag);
        } else if (s == 256) {
            p[s] = SymbolEntry(0, 0, kEndFlag);
        } else if (s < 286) {
            p[s] = SymbolEntry(kLengthBase[s - 257], kLengthExtra[s - 257], 0);
        } else {
            p[s] = SymbolEntry(0, 0, kBadFlag);
        }
    }
    return p;
}

constexpr std::array<std::uint32_t, kDistSymbols> MakeDistEntries() {
    std::array<std::uint32_t, kDistSymbols> p{};
    for (unsigned s = 0; s < kDistSymbols; ++s)
        p[s] = s < 30 ? SymbolEntry(kDistBase[s], kDistExtra[s], 0) : SymbolEntry(0, 0, kBadFlag);
    return p;
}

constexpr auto kLitlenEntries = MakeLitlenEntries();
constexpr auto kDistEntries = MakeDistEntries();

constexpr std::uint64_t Mask(unsigned n) {
    return (std::uint64_t{1} << n) - 1;
}

// Adds the code length at its level to a symbol's entry.
constexpr std::uint32_t WithLength(std::uint32_t entry, unsigned len) {
    return entry + (len << 8) + len;
}

// Builds a decode table for deflate code lengths (RFC 1951 3.2.2: canonical codes, shorter
// codes first, equal lengths in symbol order). Over-subscribed lengths are "bad lengths"; an
// incomplete code is refused except the one case RFC 1951 allows (a single code of one bit),
// and an empty code only where the caller allows it (a block without distances).
//
// The main table is filled length by length. While codes of length `len` are placed, only its
// first 2^len slots are in use: a code's slot is its bit-reversed value (the order its bits
// arrive in). Moving on to length len + 1 copies those slots into the next 2^len, which is the
// same as writing every code into all the slots whose low `len` bits it matches. Codes longer
// than the root bits go to sub-tables, one per root prefix, each as wide as the codes that
// share the prefix need.
int BuildCode(const std::uint8_t* lens, std::size_t n, const std::uint32_t* entries,
              unsigned rootBits, std::uint32_t* table, std::size_t capacity, bool allowEmpty) {
    std::uint16_t count[kMaxCodeBits + 1] = {};
    for (std::size_t i = 0; i < n; ++i)
        ++count[lens[i]];
    count[0] = 0;
    std::int32_t left = 1;
    unsigned used = 0;
    for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
        left = 2 * left - count[len];
        if (left < 0) return errBadLengths;
        used += count[len];
    }
    const std::size_t rootSize = std::size_t{1} << rootBits;
    if (used == 0) {
        if (!allowEmpty) return errIncompleteCodeSet;
        std::fill(table, table + rootSize, kBadSlot);
        return kOk;
    }
    if (left != 0) {
        // Incomplete: only a single code of one bit may be; its other slots are bad.
        if (used != 1 || count[1] != 1) return errIncompleteCodeSet;
        std::size_t sym = 0;
        while (lens[sym] == 0)
            ++sym;
        for (std::size_t j = 0; j < rootSize; ++j)
            table[j] = (j & 1) == 0 ? WithLength(entries[sym], 1) : kBadSlot;
        return kOk;
    }

    // Symbols sorted by code length, then by symbol: the canonical order of their codes.
    std::uint16_t offset[kMaxCodeBits + 2];
    offset[1] = 0;
    for (unsigned len = 1; len <= kMaxCodeBits; ++len)
        offset[len + 1] = static_cast<std::uint16_t>(offset[len] + count[len]);
    std::uint16_t sorted[kLitlenSymbols];
    for (std::size_t i = 0; i < n; ++i) {
        if (lens[i] != 0) sorted[offset[lens[i]]++] = static_cast<std::uint16_t>(i);
    }

    const std::uint16_t* sym = sorted;
    unsigned len = 1;
    std::uint32_t code = 0;  // the next code, bit-reversed, of length `len`
    // Advances a bit-reversed code of `bits` bits by one; false when all codes are used.
    auto next = [](std::uint32_t& c, unsigned bits) {
        std::uint32_t bit = std::uint32_t{1} << (bits - 1);
        while (c & bit)
            bit >>= 1;
        if (bit == 0) return false;
        c = (c & (bit - 1)) | bit;
        return true;
    };
    // Codes that fit in the main table.
    std::size_t filled = 2;  // slots in use: 2^len
    for (; len <= rootBits; ++len, filled *= 2) {
        if (len > 1) std::copy(table, table + filled / 2, table + filled / 2);
        for (unsigned k = count[len]; k != 0; --k) {
            table[code] = WithLength(entries[*sym++], len);
            if (!next(code, len)) {
                // The code is complete: the remaining doublings only repeat the slots.
                for (std::size_t f = filled; f < rootSize; f *= 2)
                    std::copy(table, table + f, table + f);
                return kOk;
            }
        }
    }
    for (std::size_t f = filled / 2; f < rootSize; f *= 2)
        std::copy(table, table + f, table + f);

    // Longer codes: `code` now runs over `len` bits. Codes with the same low rootBits share a
    // sub-table; since codes are handed out in order, they come one after another.
    std::size_t end = rootSize;
    std::uint32_t prefix = ~0u;
    std::size_t subStart = 0;
    unsigned subBits = 0;
    std::uint16_t remaining[kMaxCodeBits + 1];
    std::copy(count, count + kMaxCodeBits + 1, remaining);
    for (; len <= kMaxCodeBits; ++len) {
        while (remaining[len] != 0) {
            const std::uint32_t p = code & static_cast<std::uint32_t>(rootSize - 1);
            if (p != prefix) {
                // A new sub-table: as many index bits as make the codes sharing this prefix
                // fill it exactly.
                prefix = p;
                subBits = len - rootBits;
                std::int32_t room = 1 << subBits;
                unsigned l = len;
                room -= remaining[l];
                while (room > 0 && l < kMaxCodeBits) {
                    ++l;
                    ++subBits;
                    room = 2 * room - remaining[l];
                }
                subStart = end;
                end += std::size_t{1} << subBits;
                if (end > capacity) return errIncompleteCodeSet;
                table[p] = (static_cast<std::uint32_t>(subStart) << 16) | kLinkFlag |
                           (subBits << 8) | rootBits;
            }
            const unsigned rest = len - rootBits;
            const std::uint32_t entry = WithLength(entries[*sym++], rest);
            for (std::size_t j = code >> rootBits; j < (std::size_t{1} << subBits);
                 j += std::size_t{1} << rest)
                table[subStart + j] = entry;
            --remaining[len];
            if (!next(code, len)) return kOk;
        }
        // On to the next length: the canonical code doubles, which in the bit-reversed form
        // is a zero bit above the same value.
    }
    return kOk;
}

// Copies a match of `length` bytes from `dist` bytes back. Whole 16- or 8-byte words where
// the source lies at least a word behind; the last word may write up to 31 bytes past the
// match, which the window's slack absorbs and later output overwrites.
inline std::uint8_t* CopyMatch(std::uint8_t* out, std::size_t dist, std::size_t length) {
    const std::uint8_t* src = out - dist;
    std::uint8_t* const end = out + length;
    if (dist >= 16) {
        // Most matches are short: two blocks unconditionally, then the rest.
        std::memcpy(out, src, 16);
        std::memcpy(out + 16, src + 16, 16);
        out += 32;
        src += 32;
        while (out < end) {
            std::memcpy(out, src, 16);
            out += 16;
            src += 16;
        }
    } else if (dist >= 8) {
        std::memcpy(out, src, 8);
        std::memcpy(out + 8, src + 8, 8);
        out += 16;
        src += 16;
        while (out < end) {
            std::memcpy(out, src, 8);
            out += 8;
            src += 8;
        }
    } else if (dist == 1) {
        const std::uint64_t v = std::uint64_t{*src} * 0x0101010101010101ull;
        do {
            std::memcpy(out, &v, 8);
            out += 8;
        } while (out < end);
    } else {
        do {
            *out++ = *src++;
        } while (out < end);
    }
    return end;
}

}  // namespace

InflateDecoder::InflateDecoder(InputSource& src)
    // The window is never read before it is written (a distance may not reach before the
    // start), so it is not cleared.
    : in_(src), win_(std::make_unique_for_overwrite<std::uint8_t[]>(kHistory + kWork + kSlack)) {}

int InflateDecoder::Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) {
    const std::uint8_t* data = nullptr;
    const int r = ReadView(data, out, capacity, produced);
    if (produced != 0) std::memcpy(out, data, produced);
    return r;
}

int InflateDecoder::ReadView(const std::uint8_t*& data, std::uint8_t* scratch, std::size_t capacity,
                             std::size_t& produced) {
    produced = 0;
    data = scratch;
    if (capacity == 0) return kOk;
    if (delivered_ == pos_) {
        if (error_ != kOk) return error_;
        if (state_ == State::kDone) return kOk;
        constexpr std::size_t kLimit = kHistory + kWork;
        // A match may have run a little past the working area: slide whenever less than a
        // request's worth of room is left.
        if (pos_ + 32768 > kLimit) {
            std::memmove(win_.get(), win_.get() + pos_ - kHistory, kHistory);
            pos_ = delivered_ = kHistory;
        }
        error_ = Decode(std::min(pos_ + capacity, kLimit));
    }
    const std::size_t n = std::min(capacity, pos_ - delivered_);
    data = win_.get() + delivered_;
    delivered_ += n;
    produced = n;
    return n == 0 ? error_ : kOk;
}

int InflateDecoder::Decode(std::size_t goal) {
    while (pos_ < goal) {
        int r = kOk;
        switch (state_) {
            case State::kBlockHeader:
                r = ReadBlockHeader();
                break;
            case State::kStored:
                r = CopyStored(goal);
                break;
            case State::kHuffman:
                r = DecodeHuffman(goal);
                break;
            case State::kDone:
                return kOk;
        }
        if (r != kOk) return r;
    }
    return kOk;
}

int InflateDecoder::ReadBlockHeader() {
    finalBlock_ = in_.Get(1) != 0;
    const unsigned type = in_.Get(2);
    int r = kOk;
    switch (type) {
        case 0: {
            in_.AlignToByte();
            const std::uint32_t len = in_.Get(16);
            const std::uint32_t nlen = in_.Get(16);
            if (in_.Overrun()) return errReadFile;
            if (len != (~nlen & 0xFFFFu)) return errBadBlock;
            storedLeft_ = len;
            state_ = State::kStored;
            break;
        }
        case 1:
            r = UseFixedTables();
            state_ = State::kHuffman;
            break;
        case 2:
            r = ReadDynamicTables();
            state_ = State::kHuffman;
            break;
        default:
            return errBadBlock;
    }
    if (r == kOk && in_.Overrun()) r = errReadFile;
    return r;
}

int InflateDecoder::UseFixedTables() {
    if (!fixedBuilt_) {
        std::uint8_t lens[kLitlenSymbols];
        std::fill(lens, lens + 144, 8);
        std::fill(lens + 144, lens + 256, 9);
        std::fill(lens + 256, lens + 280, 7);
        std::fill(lens + 280, lens + 288, 8);
        int r = BuildCode(lens, kLitlenSymbols, kLitlenEntries.data(), kLitlenBits,
                          fixedLitlen_.data(), fixedLitlen_.size(), false);
        if (r != kOk) return r;
        std::uint8_t dlens[kDistSymbols];
        std::fill(dlens, dlens + kDistSymbols, 5);
        r = BuildCode(dlens, kDistSymbols, kDistEntries.data(), kDistBits, fixedDist_.data(),
                      fixedDist_.size(), false);
        if (r != kOk) return r;
        fixedBuilt_ = true;
    }
    lit_ = fixedLitlen_.data();
    dst_ = fixedDist_.data();
    return kOk;
}

int InflateDecoder::ReadDynamicTables() {
    const unsigned hlit = in_.Get(5) + 257;
    const unsigned hdist = in_.Get(5) + 1;
    const unsigned hclen = in_.Get(4) + 4;
    if (hlit > 286 || hdist > 30) return errBadLengths;

    std::uint8_t pre[19] = {};
    for (unsigned i = 0; i < hclen; ++i)
        pre[kPrecodeOrder[i]] = static_cast<std::uint8_t>(in_.Get(3));
    std::uint32_t preTable[1u << kPrecodeBits];
    std::uint32_t prePayload[19];
    for (unsigned s = 0; s < 19; ++s)
        prePayload[s] = Payload(s, 0, 0);
    if (Classify(pre, 19, 7) != CodeShape::kComplete) {
        return Classify(pre, 19, 7) == CodeShape::kOversubscribed ? errBadLengths
                                                                  : errIncompleteCodeSet;
    }
    std::uint16_t preCodes[19];
    CanonicalCodes(pre, 19, 7, preCodes);
    Build(pre, preCodes, prePayload, 19, kPrecodeBits, preTable, std::size(preTable));

    // Literal/length and distance lengths form one sequence: a repeat may cross from one to
    // the other.
    std::uint8_t lens[286 + 30];
    const unsigned total = hlit + hdist;
    unsigned i = 0;
    while (i < total) {
        in_.Need(kPrecodeBits);
        const std::uint32_t e = preTable[in_.Peek(kPrecodeBits)];
        in_.Drop(CodeBits(e));
        const unsigned sym = Value(e);
        if (sym < 16) {
            lens[i++] = static_cast<std::uint8_t>(sym);
            continue;
        }
        std::uint8_t value = 0;
        unsigned repeat;
        if (sym == 16) {
            if (i == 0) return errBadLengths;
            value = lens[i - 1];
            repeat = 3 + in_.Get(2);
        } else if (sym == 17) {
            repeat = 3 + in_.Get(3);
        } else {
            repeat = 11 + in_.Get(7);
        }
        if (repeat > total - i) return errBadLengths;
        std::fill(lens + i, lens + i + repeat, value);
        i += repeat;
    }
    if (in_.Overrun()) return errReadFile;
    if (lens[256] == 0) return errBadLengths;  // no end-of-block code

    int r = BuildCode(lens, hlit, kLitlenEntries.data(), kLitlenBits, litlen_.data(),
                      litlen_.size(), false);
    if (r != kOk) return r;
    r = BuildCode(lens + hlit, hdist, kDistEntries.data(), kDistBits, dist_.data(), dist_.size(),
                  true);
    if (r != kOk) return r;
    lit_ = litlen_.data();
    dst_ = dist_.data();
    return kOk;
}

int InflateDecoder::CopyStored(std::size_t goal) {
    while (storedLeft_ != 0 && pos_ < goal) {
        const std::size_t n = std::min<std::size_t>(storedLeft_, goal - pos_);
        const std::size_t got = in_.ReadBytes(win_.get() + pos_, n);
        pos_ += got;
        storedLeft_ -= static_cast<std::uint32_t>(got);
        if (got < n || in_.Overrun()) return errReadFile;
    }
    if (storedLeft_ == 0) state_ = finalBlock_ ? State::kDone : State::kBlockHeader;
    if (state_ == State::kDone && in_.Overrun()) return errReadFile;
    return kOk;
}

int InflateDecoder::DecodeHuffman(std::size_t goal) {
    std::uint8_t* const base = win_.get();
    std::uint8_t* out = base + pos_;
    std::uint8_t* const outGoal = base + goal;
    const std::uint32_t* const lt = lit_;
    const std::uint32_t* const dt = dst_;
    constexpr std::uint64_t kLitMask = Mask(kLitlenBits);
    constexpr std::uint64_t kDistMask = Mask(kDistBits);

    for (;;) {
        // The fast loop, without a check on input or output inside a turn. A turn writes at
        // most one literal and one match (259 bytes and a copy's overshoot, which the slack
        // behind the working area takes) or three literals, and needs at most two refills of
        // at most 7 bytes each, so 16 readable bytes keep every refill inside the buffer. One
        // refill gives at least 56 bits: three literal codes (3 x 15), or a literal code and a
        // length code with its extra bits (15 + 20); the distance (15 + 13) gets a refill of
        // its own.
        //
        // `left` counts the bits in the register in its low byte only: a turn subtracts whole
        // table entries from it, whose low byte is the number of bits they take, and the
        // higher bytes collect junk that nothing reads. The main-table entry of the next code
        // is looked up as soon as its bits are known (at least 11 are always left), so the
        // lookup overlaps the work still to be done.
        LsbBitReader::Cursor c = in_.Lease();
        if (out < outGoal && c.end - c.next >= 16) {
            std::uint64_t bits = c.bits;
            std::uint64_t left = c.count;
            const std::uint8_t* in = c.next;
            const std::uint8_t* const inEnd = c.end;
            const auto refill = [&] {
                std::uint64_t w;
                std::memcpy(&w, in, 8);  // little-endian hosts only (x86-64, AArch64)
                bits |= w << (left & 63);
                in += 7 - ((left >> 3) & 7);
                left |= 56;
            };
            const auto drop = [&](std::uint32_t e) {
                bits >>= (e & 63);
                left -= e;
            };
            int result = kOk;
            bool endOfBlock = false;
            refill();
            std::uint32_t e = lt[bits & kLitMask];
            do {
                refill();
                if (e & kLiteralFlag) {
                    drop(e);
                    *out++ = static_cast<std::uint8_t>(e >> 16);
                    e = lt[bits & kLitMask];
                    if (e & kLiteralFlag) {
                        drop(e);
                        *out++ = static_cast<std::uint8_t>(e >> 16);
                        e = lt[bits & kLitMask];
                        if (e & kLiteralFlag) {
                            drop(e);
                            *out++ = static_cast<std::uint8_t>(e >> 16);
                            e = lt[bits & kLitMask];
                        }
                        // Anything but a third literal waits for a refill.
                        continue;
                    }
                }
                if (e & kSpecial) {
                    if (e & kLinkFlag) {
                        drop(e);
                        e = lt[EntryValue(e) + (bits & Mask(CodeLen(e)))];
                        if (e & kLiteralFlag) {
                            drop(e);
                            *out++ = static_cast<std::uint8_t>(e >> 16);
                            e = lt[bits & kLitMask];
                            continue;
                        }
                    }
                    if (e & kSpecial) {
                        if (e & kBadFlag) {
                            result = errBadBlock;
                        } else {
                            drop(e);
                            endOfBlock = true;
                        }
                        break;
                    }
                }
                // A length: its code and extra bits go in one drop.
                std::uint64_t saved = bits;
                drop(e);
                const std::size_t length = ExtraValue(e, saved);

                // The distance needs up to 28 bits; after a length alone there are enough.
                if (static_cast<std::uint8_t>(left) < kMaxCodeBits + 13) refill();
                e = dt[bits & kDistMask];
                if (e & kSpecial) {
                    if (e & kLinkFlag) {
                        drop(e);
                        e = dt[EntryValue(e) + (bits & Mask(CodeLen(e)))];
                    }
                    if (e & kBadFlag) {
                        result = errBadBlock;
                        break;
                    }
                }
                saved = bits;
                drop(e);
                const std::size_t dist = ExtraValue(e, saved);
                if (dist > static_cast<std::size_t>(out - base)) {
                    result = errBadBlock;
                    break;
                }
                e = lt[bits & kLitMask];
                out = CopyMatch(out, dist, length);
            } while (out < outGoal && inEnd - in >= 16);
            c.bits = bits;
            c.count = static_cast<unsigned>(left & 0xFF);
            c.next = in;
            in_.Release(c);
            pos_ = static_cast<std::size_t>(out - base);
            if (result != kOk) return result;
            if (endOfBlock) {
                state_ = finalBlock_ ? State::kDone : State::kBlockHeader;
                return in_.Overrun() ? errReadFile : kOk;
            }
        } else {
            in_.Release(c);
        }
        if (out >= outGoal) return kOk;

        // Near the end of the input buffer: one symbol through the reader's own refill, which
        // moves on to the next buffer or supplies zero bits past the end.
        const int r = DecodeSlow();
        if (r != kOk || state_ != State::kHuffman) return r;
        out = base + pos_;
    }
}

// Looks up one code the careful way: through the reader, the sub-table link followed.
// Leaves the code's bits dropped and returns its entry; the extra bits are still to come.
std::uint32_t InflateDecoder::SlowLookup(const std::uint32_t* table, unsigned rootBits) {
    in_.Need(kMaxCodeBits);
    std::uint32_t e = table[in_.Peek(rootBits)];
    if (e & kLinkFlag) {
        in_.Drop(DropBits(e));
        e = table[EntryValue(e) + in_.Peek(CodeLen(e))];
    }
    if (!(e & kBadFlag)) in_.Drop(CodeLen(e));
    return e;
}

int InflateDecoder::DecodeSlow() {
    std::uint32_t e = SlowLookup(lit_, kLitlenBits);
    if (e & kBadFlag) return errBadBlock;
    if (e & kLiteralFlag) {
        win_[pos_++] = static_cast<std::uint8_t>(e >> 16);
    } else if (e & kEndFlag) {
        state_ = finalBlock_ ? State::kDone : State::kBlockHeader;
    } else {
        const std::size_t length = EntryValue(e) + in_.Get(DropBits(e) - CodeLen(e));
        e = SlowLookup(dst_, kDistBits);
        if (e & kBadFlag) return errBadBlock;
        const std::size_t dist = EntryValue(e) + in_.Get(DropBits(e) - CodeLen(e));
        if (dist > pos_) return errBadBlock;
        pos_ = static_cast<std::size_t>(CopyMatch(win_.get() + pos_, dist, length) - win_.get());
    }
    return in_.Overrun() ? errReadFile : kOk;
}

}  // namespace orvello::archive
