#include "ArjFast.h"

#include <algorithm>
#include <bit>

#include "ArcTypes.h"

namespace orvello::archive {

int ArjFastDecoder::Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) {
    return history_.Read(out, capacity, left_, error_, produced,
                         [this](std::size_t want) { Decode(want); });
}

void ArjFastDecoder::Decode(std::size_t want) {
    std::uint8_t* p = history_.Begin(want);
    std::uint8_t* const limit = history_.Limit();
    const std::uint8_t* const floor = history_.Floor(false);
    MsbBitReader::Cursor c = in_.Lease();
    while (p < limit) {
        // Length code and, for a literal, its byte: at most 7 + 7 or 1 + 8 bits; a match's
        // distance code follows, at most 4 + 13 bits: 31 bits in all.
        if (c.count < 31) in_.Refill(c);
        const auto bits = static_cast<std::uint32_t>(c.bits >> 33) << 1;
        const unsigned ones = std::min(std::countl_one(bits), 7);
        if (ones == 0) {
            *p++ = static_cast<std::uint8_t>(bits >> 23);
            c.bits <<= 9;
            c.count -= 9;
            continue;
        }
        const unsigned prefix = ones + (ones < 7 ? 1u : 0u);
        const std::uint32_t rest = bits << prefix;
        const unsigned length = (1u << ones) - 1 + (rest >> (32 - ones)) + 2;
        const std::uint32_t d = rest << ones;
        const unsigned dOnes = std::min(std::countl_one(d), 4);
        const unsigned dPrefix = dOnes + (dOnes < 4 ? 1u : 0u);
        const unsigned width = 9 + dOnes;
        const unsigned used = prefix + ones + dPrefix + width;
        c.bits <<= used;
        c.count -= used;
        const std::uint32_t distance = (1u << width) - 512 + ((d << dPrefix) >> (32 - width)) + 1;
        if (static_cast<std::size_t>(p - floor) < distance) {
            error_ = errBadBlock;  // reaches before the start of the member
            break;
        }
        LzHistory::Copy(p, distance, length);
    }
    in_.Release(c);
    history_.End(p);
    // Past the end of the data the reader supplies zero bits (literals of 0), so the loop ends
    // at the recorded size; whether it read beyond the data is checked once per call.
    if (error_ == kOk && in_.Overrun()) error_ = errReadFile;
}

}  // namespace orvello::archive
