#include "LhaBlock.h"

#include <algorithm>

#include "ArcTypes.h"
#include "HuffmanTable.h"

namespace orvello::archive {

using namespace huffman;

namespace {

constexpr unsigned kMaxCodeBits = 16;
constexpr unsigned kLiteralCountBits = 9;
constexpr unsigned kTempCountBits = 5;

unsigned Clamp(unsigned v, unsigned lo, unsigned hi) {
    return std::min(std::max(v, lo), hi);
}

}  // namespace

LhaBlockDecoder::LhaBlockDecoder(InputSource& src, unsigned dictBits, unsigned countBits,
                                 std::uint64_t size, BeforeStart beforeStart)
    : in_(src),
      history_(Clamp(dictBits, 12, 16), 0),
      dictBits_(Clamp(dictBits, 12, 16)),
      countBits_(Clamp(countBits, 4, 5)),
      left_(size),
      zerosBefore_(beforeStart == BeforeStart::kZeros) {}

int LhaBlockDecoder::MakeTable(const std::uint8_t* lens, unsigned n, unsigned rootBits,
                               std::uint32_t* table, std::size_t capacity) {
    const CodeShape shape = Classify(lens, n, kMaxCodeBits);
    // An incomplete code is built: the slots no code reaches are bad entries, and only a
    // stream that uses one fails.
    if (shape == CodeShape::kEmpty || shape == CodeShape::kOversubscribed) return errBadHuffmanCode;
    std::array<std::uint16_t, kLiteralSymbols> codes;
    std::array<std::uint32_t, kLiteralSymbols> payload;
    CanonicalCodes(lens, n, kMaxCodeBits, codes.data(), BitOrder::kMsbFirst);
    for (unsigned s = 0; s < n; ++s)
        payload[s] = Payload(s, 0, 0);
    return Build(lens, codes.data(), payload.data(), n, rootBits, table, capacity,
                 BitOrder::kMsbFirst)
               ? kOk
               : errBadHuffmanCode;
}

int LhaBlockDecoder::ReadSmallCode(unsigned symbols, unsigned countBits, int special,
                                   std::uint32_t* table) {
    const unsigned n = in_.Get(countBits);
    if (n == 0) {
        const unsigned only = in_.Get(countBits);
        if (only >= symbols) return errBadHuffmanCode;
        BuildSingle(Payload(only, 0, 0), kSmallRootBits, table);
        return kOk;
    }
    if (n > symbols) return errBadHuffmanCode;
    std::array<std::uint8_t, kSmallSymbols> lens{};
    unsigned i = 0;
    while (i < n) {
        // Three bits; 7 goes on by one for every 1 bit after it, up to a 0 bit.
        unsigned len = in_.Get(3);
        if (len == 7) {
            while (in_.Get(1) != 0) {
                if (++len > kMaxCodeBits) return errBadHuffmanCode;
                if (in_.Overrun()) return errReadFile;
            }
        }
        lens[i++] = static_cast<std::uint8_t>(len);
        if (static_cast<int>(i) == special) {
            const unsigned zeros = in_.Get(2);
            if (zeros > symbols - i) return errBadHuffmanCode;
            i += zeros;  // lengths already 0
        }
    }
    if (in_.Overrun()) return errReadFile;
    return MakeTable(lens.data(), symbols, kSmallRootBits, table, kSmallCapacity);
}

int LhaBlockDecoder::ReadLiteralCode() {
    const unsigned n = in_.Get(kLiteralCountBits);
    if (n == 0) {
        const unsigned only = in_.Get(kLiteralCountBits);
        if (only >= kLiteralSymbols) return errBadHuffmanCode;
        BuildSingle(Payload(only, 0, 0), kLiteralRootBits, literal_.data());
        return kOk;
    }
    if (n > kLiteralSymbols) return errBadHuffmanCode;
    std::array<std::uint8_t, kLiteralSymbols> lens{};
    unsigned i = 0;
    while (i < n) {
        in_.Need(kMaxCodeBits);
        unsigned len;
        const std::uint32_t e = LookupMsb(temp_.data(), kSmallRootBits, in_.Bits(), len);
        if (e & kBad) return errBadHuffmanCode;
        in_.Drop(len);
        const unsigned c = Value(e);
        if (c > 2) {
            lens[i++] = static_cast<std::uint8_t>(c - 2);
            continue;
        }
        // 0: one zero length; 1: 3 to 18 of them; 2: 20 to 531 of them.
        const unsigned zeros = c == 0   ? 1
                               : c == 1 ? in_.Get(4) + 3
                                        : in_.Get(kLiteralCountBits) + 20;
        if (zeros > kLiteralSymbols - i) return errBadHuffmanCode;
        i += zeros;
    }
    if (in_.Overrun()) return errReadFile;
    return MakeTable(lens.data(), kLiteralSymbols, kLiteralRootBits, literal_.data(),
                     kLiteralCapacity);
}

int LhaBlockDecoder::ReadBlockHeader() {
    // The count is 16 bits wide: 0 stands for 65536 (ARJ writes such blocks).
    blockLeft_ = in_.Get(16);
    if (in_.Overrun()) return errReadFile;
    if (blockLeft_ == 0) blockLeft_ = 65536;
    int r = ReadSmallCode(kTempSymbols, kTempCountBits, 3, temp_.data());
    if (r == kOk) r = ReadLiteralCode();
    if (r == kOk) r = ReadSmallCode(dictBits_ + 1, countBits_, -1, position_.data());
    return r;
}

int LhaBlockDecoder::Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) {
    return history_.Read(out, capacity, left_, error_, produced,
                         [this](std::size_t want) { Decode(want); });
}

void LhaBlockDecoder::Decode(std::size_t want) {
    std::uint8_t* p = history_.Begin(want);
    // Everything the loop reads of the decoder is in locals: stores to output bytes could
    // otherwise alias the members and force reloads.
    std::uint8_t* const limit = history_.Limit();
    const std::uint8_t* const floor = history_.Floor(zerosBefore_);
    const std::uint32_t* const literal = literal_.data();
    const std::uint32_t* const position = position_.data();
    std::uint32_t blockLeft = blockLeft_;
    MsbBitReader::Cursor c = in_.Lease();
    while (p < limit) {
        if (blockLeft == 0) {
            in_.Release(c);
            error_ = ReadBlockHeader();
            c = in_.Lease();
            if (error_ != kOk) break;
            blockLeft = blockLeft_;
        }
        // At least 47 bits for the next symbol: a literal/length code and a position code of
        // up to 16 bits each and up to 15 further position bits. A refill gives 56 or more, so
        // after a short literal the next symbol needs none.
        if (c.count < 47) in_.Refill(c);
        --blockLeft;
        unsigned len;
        const std::uint32_t e = LookupMsb(literal, kLiteralRootBits, c.bits, len);
        c.bits <<= len;
        c.count -= len;
        // Bad entries carry a value above every symbol, so one test picks out the literals.
        if (e < (256u << 16)) {
            *p++ = static_cast<std::uint8_t>(Value(e));
            continue;
        }
        if (e & kBad) {
            error_ = errBadHuffmanCode;
            break;
        }
        const std::uint32_t pe = LookupMsb(position, kSmallRootBits, c.bits, len);
        if (pe & kBad) {
            error_ = errBadHuffmanCode;
            break;
        }
        c.bits <<= len;
        c.count -= len;
        std::size_t dist = Value(pe);
        if (dist > 1) {
            const unsigned extra = static_cast<unsigned>(dist - 1);
            dist = (std::size_t{1} << extra) + static_cast<std::size_t>(c.bits >> (64 - extra));
            c.bits <<= extra;
            c.count -= extra;
        }
        ++dist;
        if (static_cast<std::size_t>(p - floor) < dist) {
            error_ = errBadBlock;  // before the first byte of the member
            break;
        }
        LzHistory::Copy(p, dist, Value(e) - 253);
    }
    blockLeft_ = blockLeft;
    in_.Release(c);
    history_.End(p);
    // Past the end of the data the reader supplies zero bits, so the loop above always ends
    // (at the recorded size); whether it read beyond the data is checked once per call.
    if (error_ == kOk && in_.Overrun()) error_ = errReadFile;
}

}  // namespace orvello::archive
