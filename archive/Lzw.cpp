#include "Lzw.h"

#include <algorithm>
#include <cstring>

#include "ArcTypes.h"

namespace orvello::archive {

namespace {

constexpr unsigned kClear = 256;
constexpr unsigned kEnd = 257;
constexpr unsigned kMinBits = 9;

}  // namespace

LzwTable::LzwTable() {
    prefix_.fill(kFree);
    for (unsigned c = 0; c < 256; ++c) {
        prefix_[c] = kNone;
        suffix_[c] = static_cast<std::uint8_t>(c);
        first_[c] = static_cast<std::uint8_t>(c);
        length_[c] = 1;
    }
}

void LzwTable::FreeFrom(unsigned first) {
    for (unsigned c = 256; c < first && c < kCodes; ++c)
        prefix_[c] = kNone;
    std::fill(prefix_.begin() + std::min(first, kCodes), prefix_.end(), kFree);
}

int LzwTable::First(unsigned code) {
    if (code > 255) return errInvalidCode;
    stack_[kCodes - 1] = static_cast<std::uint8_t>(code);
    pending_ = kCodes - 1;
    prev_ = static_cast<std::uint16_t>(code);
    return kOk;
}

int LzwTable::Next(unsigned code, unsigned slot) {
    if (code >= kCodes || (code > 255 && prefix_[code] == kNone)) return errInvalidCode;
    std::uint8_t first;
    if (prefix_[code] != kFree) {
        first = first_[code];
    } else if (code == slot) {
        first = first_[prev_];  // the code being defined now: previous string + its first byte
    } else {
        return errInvalidCode;
    }
    if (slot < kCodes) Define(slot, first);
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

std::size_t LzwTable::Take(std::uint8_t* out, std::size_t n) {
    n = std::min(n, kCodes - pending_);
    std::memcpy(out, stack_.data() + pending_, n);
    pending_ += n;
    return n;
}

LzwDecoder::LzwDecoder(InputSource& src, const Options& options)
    : in_(src),
      opt_(options),
      firstFree_(options.endCode ? kEnd + 1 : kClear + 1),
      next_(firstFree_) {
    opt_.maxBits = std::clamp(opt_.maxBits, kMinBits, 13u);
    table_.FreeFrom(firstFree_);
}

int LzwDecoder::Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) {
    std::uint8_t* o = out;
    std::uint8_t* const end = out + capacity;
    while (o < end) {
        if (table_.Pending() != 0) {
            o += table_.Take(o, static_cast<std::size_t>(end - o));
            continue;
        }
        if (done_ || error_ != kOk) break;
        if (table_.Started()) FastCodes(o, end);
        // What the fast loop leaves: the first code after a start or a clear, control codes,
        // and the codes near the end of the buffered input.
        if (o < end && table_.Pending() == 0 && !done_ && error_ == kOk) error_ = NextCode();
    }
    produced = static_cast<std::size_t>(o - out);
    return produced == 0 ? error_ : kOk;
}

void LzwDecoder::FastCodes(std::uint8_t*& o, std::uint8_t* end) {
    // The decoder's state in locals: stores to output bytes could otherwise alias it.
    unsigned width = width_, next = next_, inGroup = inGroup_;
    const unsigned limit = 1u << opt_.maxBits;
    const bool endCode = opt_.endCode;
    LsbBitReader::Cursor c = in_.Lease();
    // While eight bytes are buffered every code read is whole input, so none is the padding
    // at the end; NextCode reads those.
    while (o < end && c.end - c.next >= 8) {
        if (c.count < width) LsbBitReader::RefillFast(c);
        const auto code = static_cast<unsigned>(c.bits & ((1u << width) - 1));
        if (code == kClear || (endCode && code == kEnd)) break;  // left for NextCode
        c.bits >>= width;
        c.count -= width;
        inGroup = (inGroup + 1) & 7;
        const unsigned slot = next < limit ? next : LzwTable::kCodes;
        int error = kOk;
        o += table_.NextInto(code, slot, o, static_cast<std::size_t>(end - o), error);
        if (error != kOk) {
            error_ = error;
            break;
        }
        if (slot != LzwTable::kCodes) ++next;
        if (next >= (1u << width) && width < opt_.maxBits) {
            in_.Release(c);
            inGroup_ = inGroup;
            width_ = width;
            SkipGroup();
            inGroup = 0;
            ++width;
            c = in_.Lease();
        }
        if (table_.Pending() != 0) break;  // a string longer than the room left
    }
    in_.Release(c);
    width_ = width;
    next_ = next;
    inGroup_ = inGroup;
}

void LzwDecoder::SkipGroup() {
    // The rest of the group of eight codes of the current width is padding.
    if (opt_.groups && inGroup_ != 0) {
        for (unsigned k = inGroup_; k < 8; ++k)
            in_.Get(width_);
    }
    inGroup_ = 0;
}

int LzwDecoder::NextCode() {
    const unsigned code = in_.Get(width_);
    if (in_.Overrun()) {
        done_ = true;  // the input ends: what is left of the last byte is padding
        return kOk;
    }
    inGroup_ = (inGroup_ + 1) & 7;
    if (code == kClear) {
        SkipGroup();
        table_.FreeFrom(firstFree_);
        table_.Restart();
        width_ = kMinBits;
        next_ = firstFree_;
        return kOk;
    }
    if (opt_.endCode && code == kEnd) {
        done_ = true;
        return kOk;
    }
    if (!table_.Started()) return table_.First(code);
    const unsigned limit = 1u << opt_.maxBits;
    const unsigned slot = next_ < limit ? next_ : LzwTable::kCodes;
    if (const int r = table_.Next(code, slot); r != kOk) return r;
    if (slot != LzwTable::kCodes) ++next_;
    if (next_ >= (1u << width_) && width_ < opt_.maxBits) {
        SkipGroup();
        ++width_;
    }
    return kOk;
}

}  // namespace orvello::archive
