#include "Unshrink.h"

#include <algorithm>
#include <cstring>

#include "ArcTypes.h"

namespace orvello::archive {

UnshrinkDecoder::UnshrinkDecoder(InputSource& src) : in_(src) {
    prefix_.fill(kFree);
    for (unsigned c = 0; c < 256; ++c) {
        prefix_[c] = kNone;
        suffix_[c] = static_cast<std::uint8_t>(c);
        first_[c] = static_cast<std::uint8_t>(c);
    }
    prefix_[256] = kNone;  // the control code is never assigned
}

int UnshrinkDecoder::Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) {
    produced = 0;
    while (produced < capacity) {
        if (pending_ < kCodes) {
            const std::size_t n = std::min(capacity - produced, kCodes - pending_);
            std::memcpy(out + produced, stack_.data() + pending_, n);
            pending_ += n;
            produced += n;
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
    if (prev_ == kNone) {
        // The stream must start with a plain byte.
        if (code > 255) return errBadBlock;
        stack_[kCodes - 1] = static_cast<std::uint8_t>(code);
        pending_ = kCodes - 1;
        prev_ = static_cast<std::uint16_t>(code);
        return kOk;
    }
    std::uint8_t first;
    if (prefix_[code] != kFree) {
        first = first_[code];
    } else if (code == nextFree_) {
        first =
            first_[prev_];  // the code being defined right now: previous string + its first byte
    } else {
        return errInvalidCode;
    }
    if (nextFree_ < kCodes) {
        prefix_[nextFree_] = prev_;
        suffix_[nextFree_] = first;
        first_[nextFree_] = first_[prev_];
        FindNextFree(nextFree_ + 1);
    }
    // Write the string backwards from the end of the stack.
    std::size_t top = kCodes;
    unsigned c = code;
    while (c > 255) {
        if (top == 1) return errStackOverflow;  // a chain longer than any string can be
        stack_[--top] = suffix_[c];
        c = prefix_[c];
        if (c == kFree || c == kNone) return errInvalidCode;
    }
    stack_[--top] = static_cast<std::uint8_t>(c);
    pending_ = top;
    prev_ = static_cast<std::uint16_t>(code);
    return kOk;
}

void UnshrinkDecoder::PartialClear() {
    std::array<bool, kCodes> parent{};
    for (unsigned c = 257; c < kCodes; ++c) {
        if (prefix_[c] != kFree && prefix_[c] > 256 && prefix_[c] < kCodes)
            parent[prefix_[c]] = true;
    }
    for (unsigned c = 257; c < kCodes; ++c) {
        if (!parent[c]) prefix_[c] = kFree;
    }
    FindNextFree(257);
}

void UnshrinkDecoder::FindNextFree(unsigned from) {
    nextFree_ = from;
    while (nextFree_ < kCodes && prefix_[nextFree_] != kFree)
        ++nextFree_;
}

}  // namespace orvello::archive
