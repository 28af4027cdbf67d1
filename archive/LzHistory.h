// A flat history buffer for the LZ77 decoders whose output goes through their own memory (the
// LHA block method with ARJ's and ZOO's variants, ARJ's fast method). The bytes are written in
// a straight line after 2^bits bytes of history, so that a match is a plain copy from `dist`
// bytes back, without masking every index into a ring; matches of 8 or more bytes back move 8
// bytes at a time. Once the line reaches the end of the buffer, the last 2^bits bytes move to
// the front and writing goes on after them.
//
// A decoder's loop writes through a raw pointer between Begin and End:
//
//   std::uint8_t* p = history.Begin(want);        // room for `want` more bytes, or less
//   std::uint8_t* const limit = history.Limit();  // stop starting symbols at limit...
//   ... *p++ = literal; LzHistory::Copy(p, dist, len);
//   history.End(p);                               // ...a last match may run past it
//
// with Read around it handing the new bytes to the caller.
//
// A copy may run up to kMaxMatch bytes past the limit and writes up to 7 bytes of scratch past
// its own end; the buffer has room for both. Bytes written but not yet handed to the caller
// are handed out first at the next call, before any new byte is decoded.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "Decoder.h"

namespace orvello::archive {

class LzHistory {
  public:
    // The longest copy a decoder may start before its limit (LHA and ARJ matches are at most
    // 256 bytes).
    static constexpr std::size_t kMaxMatch = 256;
    // Bytes written between two moves to the front.
    static constexpr std::size_t kStretch = std::size_t{1} << 16;

    // 2^bits bytes of history, all `fill` before anything is written (what the format says
    // lies before the start).
    LzHistory(unsigned bits, std::uint8_t fill)
        : history_(std::size_t{1} << bits),
          buf_(std::make_unique_for_overwrite<std::uint8_t[]>(history_ + kStretch + kMaxMatch + 8)),
          pos_(history_),
          sent_(history_) {
        std::memset(buf_.get(), fill, history_);
    }

    std::size_t HistorySize() const { return history_; }
    // Bytes written since the start.
    std::uint64_t Written() const { return written_; }
    // Bytes written and not yet handed out.
    std::size_t Pending() const { return pos_ - sent_; }

    // A decoder's whole Read: pending bytes first, then, while there is room and no error,
    // decode(want) writes up to `want` bytes through Begin..End, and what fits goes out. `left` is
    // the member's bytes still to come; what was decoded before an error still goes out, the error
    // itself at the next call that hands out nothing.
    template <class Decode>
    int Read(std::uint8_t* out, std::size_t capacity, std::uint64_t& left, const int& error,
             std::size_t& produced, Decode decode) {
        std::uint8_t* o = out;
        std::uint8_t* const end =
            out + static_cast<std::size_t>(std::min<std::uint64_t>(capacity, left));
        Drain(o, end);
        if (o < end && error == kOk) {
            decode(static_cast<std::size_t>(end - o));
            Drain(o, end);
        }
        produced = static_cast<std::size_t>(o - out);
        left -= produced;
        return produced == 0 ? error : kOk;
    }

    // Hands out pending bytes, as many as fit before `end`.
    void Drain(std::uint8_t*& out, std::uint8_t* end) {
        const std::size_t n = std::min(pos_ - sent_, static_cast<std::size_t>(end - out));
        if (n == 0) return;
        std::memcpy(out, buf_.get() + sent_, n);
        out += n;
        sent_ += n;
    }

    // Where the next byte goes, with room for `want` bytes (fewer when the buffer is nearly
    // full); only when nothing is pending.
    std::uint8_t* Begin(std::size_t want) {
        if (pos_ >= history_ + kStretch) {
            std::memmove(buf_.get(), buf_.get() + pos_ - history_, history_);
            pos_ = sent_ = history_;
        }
        limit_ = pos_ + std::min(want, history_ + kStretch - pos_);
        return buf_.get() + pos_;
    }
    std::uint8_t* Limit() const { return buf_.get() + limit_; }
    // The lowest address a copy may read from: the start of the fill before the first byte,
    // or the first byte itself when `fillBefore` is false.
    const std::uint8_t* Floor(bool fillBefore) const {
        if (fillBefore || written_ >= pos_) return buf_.get();
        return buf_.get() + (pos_ - written_);
    }
    void End(const std::uint8_t* p) {
        const auto n = static_cast<std::size_t>(p - (buf_.get() + pos_));
        pos_ += n;
        written_ += n;
    }

    // Copies `len` bytes from `dist` bytes back (1 <= dist <= the history size, len <=
    // kMaxMatch) to p and moves p past them. Overlapping copies repeat the bytes, as LZ77 wants.
    static void Copy(std::uint8_t*& p, std::size_t dist, std::size_t len) {
        const std::uint8_t* s = p - dist;
        std::uint8_t* d = p;
        p += len;
        if (dist >= 8) {
            // Each 8-byte move reads only bytes already written; the last may write up to 7
            // bytes past p, which the next bytes overwrite.
            do {
                std::memcpy(d, s, 8);
                d += 8;
                s += 8;
            } while (d < p);
            return;
        }
        while (d < p)
            *d++ = *s++;
    }

  private:
    std::size_t history_;
    std::unique_ptr<std::uint8_t[]> buf_;
    std::size_t pos_;   // where the next byte goes
    std::size_t sent_;  // the first byte not handed out
    std::size_t limit_ = 0;
    std::uint64_t written_ = 0;
};

}  // namespace orvello::archive
