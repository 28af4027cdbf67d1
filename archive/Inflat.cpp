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

constexpr std::array<std::uint32_t, kLitlenSymbols> MakeLitlenPayload() {
    std::array<std::uint32_t, kLitlenSymbols> p{};
    for (unsigned s = 0; s < kLitlenSymbols; ++s) {
        if (s < 256) {
            p[s] = Payload(s, 0, kLiteral);
        } else if (s == 256) {
            p[s] = Payload(0, 0, kEnd);
        } else if (s < 286) {
            p[s] = Payload(kLengthBase[s - 257], kLengthExtra[s - 257], 0);
        } else {
            p[s] = Payload(0, 0, kBad);
        }
    }
    return p;
}

constexpr std::array<std::uint32_t, kDistSymbols> MakeDistPayload() {
    std::array<std::uint32_t, kDistSymbols> p{};
    for (unsigned s = 0; s < kDistSymbols; ++s)
        p[s] = s < 30 ? Payload(kDistBase[s], kDistExtra[s], 0) : Payload(0, 0, kBad);
    return p;
}

constexpr auto kLitlenPayload = MakeLitlenPayload();
constexpr auto kDistPayload = MakeDistPayload();

constexpr std::uint64_t Mask(unsigned n) {
    return (std::uint64_t{1} << n) - 1;
}

// Builds a table for deflate code lengths. Over-subscribed lengths are "bad lengths"; an
// incomplete code is refused except the one case RFC 1951 allows (a single code of one bit),
// and an empty code only where the caller allows it (a block without distances).
int BuildCode(const std::uint8_t* lens, std::size_t n, const std::uint32_t* payload,
              unsigned rootBits, std::uint32_t* table, std::size_t capacity, bool allowEmpty) {
    switch (Classify(lens, n, kMaxCodeBits)) {
        case CodeShape::kOversubscribed:
            return errBadLengths;
        case CodeShape::kEmpty:
            if (!allowEmpty) return errIncompleteCodeSet;
            std::fill(table, table + (std::size_t{1} << rootBits), kBadEntry);
            return kOk;
        case CodeShape::kIncomplete: {
            std::size_t used = 0;
            bool single = true;
            for (std::size_t i = 0; i < n; ++i) {
                if (lens[i] == 0) continue;
                ++used;
                single = single && lens[i] == 1;
            }
            if (used != 1 || !single) return errIncompleteCodeSet;
            break;
        }
        case CodeShape::kComplete:
            break;
    }
    std::uint16_t codes[kLitlenSymbols];
    CanonicalCodes(lens, n, kMaxCodeBits, codes);
    return Build(lens, codes, payload, n, rootBits, table, capacity) ? kOk : errIncompleteCodeSet;
}

// Copies a match of `length` bytes from `dist` bytes back. Whole words where the source lies
// at least a word behind; the last word may write up to 7 bytes past the match, which the
// window's slack absorbs and later output overwrites.
inline std::uint8_t* CopyMatch(std::uint8_t* out, std::size_t dist, std::size_t length) {
    const std::uint8_t* src = out - dist;
    std::uint8_t* const end = out + length;
    if (dist >= 8) {
        // Most matches are short: two words unconditionally, then the rest.
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
    produced = 0;
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
    std::memcpy(out, win_.get() + delivered_, n);
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
        int r = BuildCode(lens, kLitlenSymbols, kLitlenPayload.data(), kLitlenBits,
                          fixedLitlen_.data(), fixedLitlen_.size(), false);
        if (r != kOk) return r;
        std::uint8_t dlens[kDistSymbols];
        std::fill(dlens, dlens + kDistSymbols, 5);
        r = BuildCode(dlens, kDistSymbols, kDistPayload.data(), kDistBits, fixedDist_.data(),
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

    int r = BuildCode(lens, hlit, kLitlenPayload.data(), kLitlenBits, litlen_.data(),
                      litlen_.size(), false);
    if (r != kOk) return r;
    r = BuildCode(lens + hlit, hdist, kDistPayload.data(), kDistBits, dist_.data(), dist_.size(),
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
        // Fast loop. Each turn needs at most two refills of at most 7 bytes each, so 16
        // readable bytes keep every refill inside the buffer. One refill gives at least 56
        // bits: two literal codes (15 + 15), or a length code with its extra bits (15 + 5);
        // the distance (15 + 13) gets a refill of its own.
        //
        // The main-table entry of the next code is looked up as soon as its bits are known
        // (at least 11 are always left), so the lookup overlaps the work still to be done.
        LsbBitReader::Cursor c = in_.Lease();
        if (out < outGoal && c.end - c.next >= 16) {
            LsbBitReader::RefillFast(c);
            std::uint32_t e = lt[c.bits & kLitMask];
            do {
                LsbBitReader::RefillFast(c);
                if (e & kLink) {
                    c.bits >>= kLitlenBits;
                    c.count -= kLitlenBits;
                    e = lt[Value(e) + (c.bits & Mask(ExtraBits(e)))];
                }
                if (e & kLiteral) {
                    c.bits >>= CodeBits(e);
                    c.count -= CodeBits(e);
                    *out++ = static_cast<std::uint8_t>(Value(e));
                    e = lt[c.bits & kLitMask];
                    if (e & kLink) {
                        c.bits >>= kLitlenBits;
                        c.count -= kLitlenBits;
                        e = lt[Value(e) + (c.bits & Mask(ExtraBits(e)))];
                    }
                    if (e & kLiteral) {
                        c.bits >>= CodeBits(e);
                        c.count -= CodeBits(e);
                        *out++ = static_cast<std::uint8_t>(Value(e));
                        // A third literal still fits in the 56 bits; anything else waits for a
                        // refill.
                        e = lt[c.bits & kLitMask];
                        if (e & kLiteral) {
                            c.bits >>= CodeBits(e);
                            c.count -= CodeBits(e);
                            *out++ = static_cast<std::uint8_t>(Value(e));
                            e = lt[c.bits & kLitMask];
                        }
                        continue;
                    }
                }
                if (e & (kEnd | kBad)) {
                    if (e & kBad) {
                        in_.Release(c);
                        pos_ = static_cast<std::size_t>(out - base);
                        return errBadBlock;
                    }
                    c.bits >>= CodeBits(e);
                    c.count -= CodeBits(e);
                    in_.Release(c);
                    pos_ = static_cast<std::size_t>(out - base);
                    state_ = finalBlock_ ? State::kDone : State::kBlockHeader;
                    return in_.Overrun() ? errReadFile : kOk;
                }
                unsigned bits = CodeBits(e);
                const std::size_t length = Value(e) + ((c.bits >> bits) & Mask(ExtraBits(e)));
                bits += ExtraBits(e);
                c.bits >>= bits;
                c.count -= bits;

                LsbBitReader::RefillFast(c);
                e = dt[c.bits & kDistMask];
                if (e & kLink) {
                    c.bits >>= kDistBits;
                    c.count -= kDistBits;
                    e = dt[Value(e) + (c.bits & Mask(ExtraBits(e)))];
                }
                bits = CodeBits(e);
                const std::size_t dist = Value(e) + ((c.bits >> bits) & Mask(ExtraBits(e)));
                bits += ExtraBits(e);
                c.bits >>= bits;
                c.count -= bits;
                if ((e & kBad) || dist > static_cast<std::size_t>(out - base)) {
                    in_.Release(c);
                    pos_ = static_cast<std::size_t>(out - base);
                    return errBadBlock;
                }
                e = lt[c.bits & kLitMask];
                out = CopyMatch(out, dist, length);
            } while (out < outGoal && c.end - c.next >= 16);
        }
        in_.Release(c);
        pos_ = static_cast<std::size_t>(out - base);
        if (out >= outGoal) return kOk;

        // Near the end of the input buffer: one symbol through the reader's own refill, which
        // moves on to the next buffer or supplies zero bits past the end.
        const int r = DecodeSlow(goal);
        if (r != kOk || state_ != State::kHuffman) return r;
        out = base + pos_;
    }
}

int InflateDecoder::DecodeSlow(std::size_t goal) {
    (void)goal;
    unsigned len;
    in_.Need(kMaxCodeBits);
    std::uint32_t e = Lookup(lit_, kLitlenBits, in_.Bits(), len);
    if (e & kBad) return errBadBlock;
    in_.Drop(len);
    if (e & kLiteral) {
        win_[pos_++] = static_cast<std::uint8_t>(Value(e));
    } else if (e & kEnd) {
        state_ = finalBlock_ ? State::kDone : State::kBlockHeader;
    } else {
        const std::size_t length = Value(e) + in_.Get(ExtraBits(e));
        in_.Need(kMaxCodeBits);
        e = Lookup(dst_, kDistBits, in_.Bits(), len);
        if (e & kBad) return errBadBlock;
        in_.Drop(len);
        const std::size_t dist = Value(e) + in_.Get(ExtraBits(e));
        if (dist > pos_) return errBadBlock;
        pos_ = static_cast<std::size_t>(CopyMatch(win_.get() + pos_, dist, length) - win_.get());
    }
    return in_.Overrun() ? errReadFile : kOk;
}

}  // namespace orvello::archive
