#include "Unshrink.h"

#include <array>

#include "ArcTypes.h"

namespace orvello::archive {

UnshrinkDecoder::UnshrinkDecoder(InputSource& src) : in_(src) {
    table_.FreeFrom(257);  // the control code 256 is never assigned
}

int UnshrinkDecoder::Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) {
    produced = 0;
    while (produced < capacity) {
        if (table_.Pending() != 0) {
            produced += table_.Take(out + produced, capacity - produced);
            continue;
        }
        if (done_ || error_ != kOk) break;
        error_ = NextCode();
    }
    return produced == 0 ? error_ : kOk;
}

int UnshrinkDecoder::NextCode() {
    unsigned code = in_.Get(codeSize_);
    // The last byte's padding is shorter than any code: reading into it ends the stream.
    if (in_.Overrun()) {
        done_ = true;
        return kOk;
    }
    if (code == 256) {
        const unsigned op = in_.Get(codeSize_);
        if (in_.Overrun()) return errBadBlock;
        if (op == 1) {
            if (codeSize_ == 13) return errBadBlock;
            ++codeSize_;
        } else if (op == 2) {
            PartialClear();
        } else {
            return errBadBlock;
        }
        return kOk;
    }
    if (!table_.Started()) {
        // The stream must start with a plain byte.
        if (code > 255) return errBadBlock;
        return table_.First(code);
    }
    const unsigned slot = nextFree_;
    if (const int r = table_.Next(code, slot); r != kOk) return r;
    if (slot < kCodes) FindNextFree(slot + 1);
    return kOk;
}

void UnshrinkDecoder::PartialClear() {
    std::array<bool, kCodes> parent{};
    for (unsigned c = 257; c < kCodes; ++c) {
        const unsigned p = table_.Prefix(c);
        if (!table_.IsFree(c) && p > 256 && p < kCodes) parent[p] = true;
    }
    for (unsigned c = 257; c < kCodes; ++c) {
        if (!parent[c]) table_.Free(c);
    }
    FindNextFree(257);
}

void UnshrinkDecoder::FindNextFree(unsigned from) {
    nextFree_ = from;
    while (nextFree_ < kCodes && !table_.IsFree(nextFree_))
        ++nextFree_;
}

}  // namespace orvello::archive
