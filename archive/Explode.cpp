#include "Explode.h"

#include <algorithm>
#include <numeric>

#include "ArcTypes.h"
#include "HuffmanTable.h"

namespace orvello::archive {

using namespace huffman;

ExplodeDecoder::ExplodeDecoder(InputSource& src, std::uint16_t flags, std::uint64_t size)
    : in_(src), bigWindow_((flags & 2) != 0), literalTree_((flags & 4) != 0), left_(size) {}

int ExplodeDecoder::ReadTree(std::size_t symbols, Table& table) {
    // A count of bytes, then bytes of (values with this length - 1) << 4 | (length - 1), in
    // symbol order.
    std::array<std::uint8_t, 256> lens{};
    const unsigned bytes = in_.Get(8) + 1;
    std::size_t n = 0;
    for (unsigned i = 0; i < bytes; ++i) {
        const unsigned b = in_.Get(8);
        const std::size_t count = (b >> 4) + 1;
        if (count > symbols - n) return errInvalidDecodeTree;
        std::fill_n(lens.begin() + static_cast<std::ptrdiff_t>(n), count,
                    static_cast<std::uint8_t>((b & 0xF) + 1));
        n += count;
    }
    if (in_.Overrun()) return errReadFile;
    if (n != symbols) return errInvalidDecodeTree;
    if (Classify(lens.data(), symbols, 16) == CodeShape::kOversubscribed) return errAmbiguousTree;

    // Codes are handed out from the longest length to the shortest, counting up from zero in
    // steps of 2^(16 - length); among equal lengths the later symbol gets the smaller code.
    // The first bit read is the code's most significant bit.
    std::array<std::uint16_t, 256> order{};
    std::iota(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(symbols),
              std::uint16_t{0});
    std::stable_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(symbols),
                     [&](std::uint16_t a, std::uint16_t b) { return lens[a] < lens[b]; });
    std::array<std::uint16_t, 256> codes{};
    std::array<std::uint32_t, 256> payload{};
    std::uint32_t code = 0;
    std::uint32_t increment = 0;
    unsigned lastLen = 0;
    for (std::size_t k = symbols; k-- > 0;) {
        const std::uint16_t s = order[k];
        code += increment;
        if (lens[s] != lastLen) {
            lastLen = lens[s];
            increment = 1u << (16 - lastLen);
        }
        std::uint32_t rev = 0;
        for (unsigned b = 0; b < 16; ++b)
            rev |= ((code >> b) & 1u) << (15 - b);
        codes[s] = static_cast<std::uint16_t>(rev);
        payload[s] = Payload(s, 0, 0);
    }
    if (!Build(lens.data(), codes.data(), payload.data(), symbols, kRootBits, table.data(),
               table.size())) {
        return errAmbiguousTree;
    }
    return kOk;
}

int ExplodeDecoder::Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) {
    produced = 0;
    if (error_ != kOk) return error_;
    if (!started_) {
        started_ = true;
        if (left_ != 0) {
            if (literalTree_ && (error_ = ReadTree(256, literals_)) != kOk) return error_;
            if ((error_ = ReadTree(64, lengths_)) != kOk) return error_;
            if ((error_ = ReadTree(64, distances_)) != kOk) return error_;
        }
    }
    std::uint8_t* const begin = out;
    std::uint8_t* const end =
        out + static_cast<std::size_t>(std::min<std::uint64_t>(capacity, left_));
    const unsigned lowBits = bigWindow_ ? 7 : 6;
    const unsigned minMatch = literalTree_ ? 3 : 2;
    // The window and the bit register live in local cursors through the loop: stores to
    // output bytes could otherwise alias them and force reloads.
    LzWindow::Cursor w = window_.Lease();
    if (w.copyLeft != 0) w.Resume(out, end);
    LsbBitReader::Cursor c = in_.Lease();
    auto drop = [&](unsigned n) {
        c.bits >>= n;
        c.count -= n;
    };
    while (out < end) {
        // At least 56 bits for the next symbol: a flag bit, then a literal code (up to 16
        // bits), or the low distance bits (up to 7), a distance code and a length code (up to
        // 16 each) and a length byte: 48 at most.
        in_.Refill(c);
        const bool literal = (c.bits & 1) != 0;
        drop(1);
        unsigned len;
        if (literal) {
            if (literalTree_) {
                const std::uint32_t e = Lookup(literals_.data(), kRootBits, c.bits, len);
                if (e & kBad) {
                    error_ = errBadBlock;
                    break;
                }
                drop(len);
                w.Put(out, static_cast<std::uint8_t>(Value(e)));
            } else {
                w.Put(out, static_cast<std::uint8_t>(c.bits));
                drop(8);
            }
            continue;
        }
        const auto low = static_cast<unsigned>(c.bits & ((1u << lowBits) - 1));
        drop(lowBits);
        const std::uint32_t d = Lookup(distances_.data(), kRootBits, c.bits, len);
        if (d & kBad) {
            error_ = errBadBlock;
            break;
        }
        drop(len);
        const std::uint32_t l = Lookup(lengths_.data(), kRootBits, c.bits, len);
        if (l & kBad) {
            error_ = errBadBlock;
            break;
        }
        drop(len);
        unsigned length = Value(l);
        if (length == 63) {
            length += static_cast<unsigned>(c.bits & 0xFF);
            drop(8);
        }
        w.Copy(out, end, ((Value(d) << lowBits) | low) + 1, length + minMatch);
    }
    in_.Release(c);
    window_.Release(w);
    // Past the end of the data the reader supplies zero bits, so the loop above always ends
    // (at the recorded size); whether it read beyond the data is checked once per call.
    if (error_ == kOk && in_.Overrun()) error_ = errReadFile;
    produced = static_cast<std::size_t>(out - begin);
    left_ -= produced;
    return produced == 0 ? error_ : kOk;
}

}  // namespace orvello::archive
