// The sliding dictionary of the LZ77 decoders (implode, reduce, the LHA methods): a ring of
// 2^bits bytes that keeps what was produced last, and a copy of an earlier string that can stop
// when the caller's buffer is full and go on at the next call.
//
// Hot loops take the ring's state into a local Cursor (as they do with the bit readers'
// registers), so that their stores to output bytes cannot force it back to memory, and hand it
// back before they return.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace orvello::archive {

class LzWindow {
  public:
    // A ring of 2^bits bytes, all `fill` before anything is written (what the format says lies
    // before the start), with writing starting at ring position `start`.
    LzWindow(unsigned bits, std::uint8_t fill, std::size_t start = 0)
        : buf_(std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t{1} << bits)),
          mask_((std::size_t{1} << bits) - 1),
          start_(start),
          pos_(start) {
        std::memset(buf_.get(), fill, mask_ + 1);
    }

    std::size_t Size() const { return mask_ + 1; }
    // Bytes written since the start; a copy from further back reaches the initial fill.
    std::uint64_t Written() const { return pos_ - start_; }
    // Bytes of a copy that did not fit the caller's buffer yet.
    std::size_t Pending() const { return copyLeft_; }

    struct Cursor {
        std::uint8_t* win;
        std::size_t mask;
        std::uint64_t pos;
        std::size_t copyDist;
        std::size_t copyLeft;

        void Put(std::uint8_t*& out, std::uint8_t b) {
            win[pos++ & mask] = b;
            *out++ = b;
        }
        // Starts a copy of `len` bytes from `dist` bytes back (1 <= dist <= the ring size) and
        // carries out what fits before `end`; the rest is done by Resume at the next call.
        void Copy(std::uint8_t*& out, std::uint8_t* end, std::size_t dist, std::size_t len) {
            copyDist = dist;
            copyLeft = len;
            Resume(out, end);
        }
        void Resume(std::uint8_t*& out, std::uint8_t* end) {
            std::size_t n = std::min(copyLeft, static_cast<std::size_t>(end - out));
            copyLeft -= n;
            const std::size_t from = (pos - copyDist) & mask;
            const std::size_t to = pos & mask;
            // Long copies whose source lies wholly before their destination and that wrap
            // around neither end of the ring go as two block moves.
            if (n >= 16 && copyDist >= n && from + n <= mask + 1 && to + n <= mask + 1) {
                std::memcpy(out, win + from, n);
                std::memcpy(win + to, out, n);
                out += n;
                pos += n;
                return;
            }
            while (n-- != 0) {
                const std::uint8_t b = win[(pos - copyDist) & mask];
                win[pos++ & mask] = b;
                *out++ = b;
            }
        }
    };
    Cursor Lease() const { return {buf_.get(), mask_, pos_, copyDist_, copyLeft_}; }
    void Release(const Cursor& c) {
        pos_ = c.pos;
        copyDist_ = c.copyDist;
        copyLeft_ = c.copyLeft;
    }

  private:
    std::unique_ptr<std::uint8_t[]> buf_;
    std::size_t mask_;
    std::uint64_t start_;
    std::uint64_t pos_;
    std::size_t copyDist_ = 0;
    std::size_t copyLeft_ = 0;
};

}  // namespace orvello::archive
