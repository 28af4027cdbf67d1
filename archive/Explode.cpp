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

int ExplodeDecoder::Decode(const Table& table, unsigned& symbol) {
    in_.Need(16);
    unsigned len;
    const std::uint32_t e = Lookup(table.data(), kRootBits, in_.Bits(), len);
    if (e & kBad) return errBadBlock;
    in_.Drop(len);
    symbol = Value(e);
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
    while (out < end) {
        if (copyLeft_ != 0) {
            while (copyLeft_ != 0 && out < end) {
                Put(out, window_[(pos_ - copyDist_) & (kWindow - 1)]);
                --copyLeft_;
            }
            continue;
        }
        if (in_.Get(1) != 0) {
            unsigned lit;
            if (literalTree_) {
                if ((error_ = Decode(literals_, lit)) != kOk) break;
            } else {
                lit = in_.Get(8);
            }
            Put(out, static_cast<std::uint8_t>(lit));
        } else {
            const unsigned low = in_.Get(lowBits);
            unsigned high, length;
            if ((error_ = Decode(distances_, high)) != kOk) break;
            if ((error_ = Decode(lengths_, length)) != kOk) break;
            if (length == 63) length += in_.Get(8);
            copyDist_ = ((high << lowBits) | low) + 1;
            copyLeft_ = length + minMatch;
        }
        if (in_.Overrun()) {
            error_ = errReadFile;
            break;
        }
    }
    produced = static_cast<std::size_t>(out - begin);
    left_ -= produced;
    return produced == 0 ? error_ : kOk;
}

}  // namespace orvello::archive
