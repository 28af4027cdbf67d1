#include "Uncrunch.h"

#include <algorithm>
#include <cstring>

#include "ArcTypes.h"

namespace orvello::archive {

UncrunchDecoder::UncrunchDecoder(InputSource& src, Hash hash) : in_(src), hash_(hash) {
    for (unsigned c = 0; c < 256; ++c)
        Add(kNoPredecessor, static_cast<std::uint8_t>(c));
}

unsigned UncrunchDecoder::HashSlot(Hash hash, unsigned predecessor, unsigned follower) {
    // The sums wrap at 16 bits, as on the 16-bit machines the method was made for.
    const std::uint32_t sum = (predecessor + follower) & 0xFFFFu;
    if (hash == Hash::kNew) return (sum * 15073u) & 0xFFFu;
    const std::uint64_t v = (sum | 0x0800u) & 0xFFFFu;
    return static_cast<unsigned>((v * v >> 6) & 0xFFFu);
}

void UncrunchDecoder::Add(unsigned predecessor, std::uint8_t follower) {
    if (used_ == kTableSize) return;  // a full table takes no more strings
    unsigned slot = HashSlot(hash_, predecessor, follower);
    if (taken_[slot]) {
        while (next_[slot] != 0)
            slot = next_[slot];
        unsigned free = (slot + 101) & (kTableSize - 1);
        while (taken_[free])
            free = (free + 1) & (kTableSize - 1);
        next_[slot] = static_cast<std::uint16_t>(free);
        slot = free;
    }
    taken_[slot] = true;
    next_[slot] = 0;
    predecessor_[slot] = static_cast<std::uint16_t>(predecessor);
    follower_[slot] = follower;
    ++used_;
}

bool UncrunchDecoder::NextCode() {
    const unsigned code = in_.Get(12);
    if (in_.Overrun()) {
        done_ = true;  // fewer than 12 bits were left: padding
        return false;
    }
    std::size_t top = stack_.size();
    unsigned c = code;
    bool repeat = false;
    if (!taken_[code]) {
        // The string being defined by this very step: the previous one and its first byte.
        if (previous_ == kTableSize) {
            error_ = errInvalidCode;
            return false;
        }
        repeat = true;
        stack_[--top] = firstOfPrevious_;
        c = previous_;
    }
    while (predecessor_[c] != kNoPredecessor) {
        if (top == 1) {
            error_ = errStackOverflow;
            return false;
        }
        stack_[--top] = follower_[c];
        c = predecessor_[c];
        if (!taken_[c]) {
            error_ = errInvalidCode;
            return false;
        }
    }
    const std::uint8_t first = follower_[c];
    stack_[--top] = first;
    if (previous_ != kTableSize) Add(previous_, first);
    // A code that was free must name the string just added: hashing put it in that slot.
    if (repeat && !taken_[code]) {
        error_ = errInvalidCode;
        return false;
    }
    previous_ = code;
    firstOfPrevious_ = first;
    pending_ = top;
    return true;
}

int UncrunchDecoder::Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) {
    produced = 0;
    while (produced < capacity) {
        if (pending_ < stack_.size()) {
            const std::size_t n = std::min(capacity - produced, stack_.size() - pending_);
            std::memcpy(out + produced, stack_.data() + pending_, n);
            pending_ += n;
            produced += n;
            continue;
        }
        if (done_ || error_ != kOk || !NextCode()) break;
    }
    return produced == 0 ? error_ : kOk;
}

}  // namespace orvello::archive
