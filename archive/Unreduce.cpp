#include "Unreduce.h"

#include "ArcTypes.h"

namespace orvello::archive {

namespace {

constexpr std::uint8_t kEscape = 144;

// Bits of an index into a follower set of n entries.
std::uint8_t IndexBits(unsigned n) {
    if (n > 16) return 5;
    if (n > 8) return 4;
    if (n > 4) return 3;
    if (n > 2) return 2;
    return n > 0 ? 1 : 0;
}

}  // namespace

UnreduceDecoder::UnreduceDecoder(InputSource& src, unsigned factor, std::uint64_t size)
    : in_(src),
      factor_(factor < 1   ? 1
              : factor > 4 ? 4
                           : factor),
      left_(size) {}

int UnreduceDecoder::ReadFollowerSets() {
    // Stored from byte 255 down to byte 0: a 6-bit count, then that many bytes.
    for (int j = 255; j >= 0; --j) {
        auto& s = sets_[static_cast<std::size_t>(j)];
        const unsigned n = in_.Get(6);
        if (n > 32) return errBadBlock;
        s.size = static_cast<std::uint8_t>(n);
        s.bits = IndexBits(n);
        for (unsigned i = 0; i < n; ++i)
            s.bytes[i] = static_cast<std::uint8_t>(in_.Get(8));
    }
    return in_.Overrun() ? errReadFile : kOk;
}

int UnreduceDecoder::NextByte(std::uint8_t& b) {
    const auto& s = sets_[last_];
    if (s.size == 0 || in_.Get(1) != 0) {
        b = static_cast<std::uint8_t>(in_.Get(8));
    } else {
        const unsigned i = in_.Get(s.bits);
        if (i >= s.size) return errBadBlock;
        b = s.bytes[i];
    }
    last_ = b;
    return kOk;
}

int UnreduceDecoder::Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) {
    produced = 0;
    if (error_ != kOk) return error_;
    if (!started_) {
        started_ = true;
        if (left_ != 0 && (error_ = ReadFollowerSets()) != kOk) return error_;
    }
    std::uint8_t* const begin = out;
    std::uint8_t* const end =
        out + static_cast<std::size_t>(std::min<std::uint64_t>(capacity, left_));
    const unsigned lengthMask = 0xFFu >> factor_;  // 127, 63, 31, 15
    LzWindow::Cursor w = window_.Lease();
    if (w.copyLeft != 0) w.Resume(out, end);
    while (out < end) {
        std::uint8_t c;
        if ((error_ = NextByte(c)) != kOk) break;
        switch (state_) {
            case 0:
                if (c == kEscape) {
                    state_ = 1;
                } else {
                    w.Put(out, c);
                }
                break;
            case 1:
                if (c == 0) {
                    w.Put(out, kEscape);  // an escaped escape
                    state_ = 0;
                } else {
                    v_ = c;
                    len_ = c & lengthMask;
                    state_ = len_ == lengthMask ? 2 : 3;
                }
                break;
            case 2:
                len_ += c;
                state_ = 3;
                break;
            default: {
                state_ = 0;
                w.Copy(out, end, ((v_ >> (8 - factor_)) << 8) + c + 1, len_ + 3);
                break;
            }
        }
    }
    window_.Release(w);
    // Past the end of the data the reader supplies zero bits, so the loop above always ends
    // (at the recorded size); whether it read beyond the data is checked once per call.
    if (error_ == kOk && in_.Overrun()) error_ = errReadFile;
    produced = static_cast<std::size_t>(out - begin);
    left_ -= produced;
    return produced == 0 ? error_ : kOk;
}

}  // namespace orvello::archive
