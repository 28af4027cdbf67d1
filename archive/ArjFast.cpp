#include "ArjFast.h"

#include <algorithm>
#include <bit>

#include "ArcTypes.h"

namespace orvello::archive {

int ArjFastDecoder::Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) {
    produced = 0;
    if (error_ != kOk) return error_;
    std::uint8_t* o = out;
    std::uint8_t* const end =
        out + static_cast<std::size_t>(std::min<std::uint64_t>(capacity, left_));
    LzWindow::Cursor w = window_.Lease();
    const std::uint64_t start = w.pos - window_.Written();
    if (w.copyLeft != 0) w.Resume(o, end);
    while (o < end) {
        // Length code and, for a literal, its byte: at most 7 + 7 or 1 + 8 bits.
        in_.Need(31);
        const auto bits = static_cast<std::uint32_t>(in_.Peek(31)) << 1;
        const unsigned ones = std::min(std::countl_one(bits), 7);
        const unsigned prefix = ones + (ones < 7 ? 1u : 0u);
        if (ones == 0) {
            const auto b = static_cast<std::uint8_t>(bits >> 23);
            in_.Drop(9);
            w.Put(o, b);
            continue;
        }
        const std::uint32_t rest = bits << prefix;
        const unsigned length = (1u << ones) - 1 + (rest >> (32 - ones)) + 2;
        // The distance code follows: at most 4 + 13 bits.
        const std::uint32_t d = rest << ones;
        const unsigned dOnes = std::min(std::countl_one(d), 4);
        const unsigned dPrefix = dOnes + (dOnes < 4 ? 1u : 0u);
        const unsigned width = 9 + dOnes;
        // 7 + 7 + 4 + 13 bits at most: the whole match fits in the 31 bits peeked.
        in_.Drop(prefix + ones + dPrefix + width);
        const std::uint32_t distance = (1u << width) - 512 + ((d << dPrefix) >> (32 - width)) + 1;
        if (distance > w.pos - start) {
            error_ = errBadBlock;  // reaches before the start of the member
            break;
        }
        w.Copy(o, end, distance, length);
    }
    window_.Release(w);
    produced = static_cast<std::size_t>(o - out);
    left_ -= produced;
    // Past the end of the data the reader supplies zero bits (literals of 0), so the loop ends
    // at the recorded size; whether it read beyond the data is checked once per call.
    if (error_ == kOk && in_.Overrun()) error_ = errReadFile;
    return produced == 0 ? error_ : kOk;
}

}  // namespace orvello::archive
