// Bounds-checked bit readers over an InputSource, one per bit order.
//
// Both keep up to 64 bits in a register and refill it from a 32768-byte input buffer, which
// is refilled from the source. Past the end of the input they supply zero bits instead of
// reading further, and remember that they did: a decoder asks Overrun() (cheaply, at block
// or member boundaries, or when a decode loop stalls) and turns it into its error code. So a
// truncated or hostile stream can never make a reader touch memory outside its buffer, and a
// decoder loop always sees well-defined bits.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

#include "Decoder.h"

namespace orvello::archive {

namespace detail {

// The refill buffer shared by both bit orders: a fixed block owned by the reader.
class InputBuffer {
  public:
    static constexpr std::size_t kSize = 32768;

    explicit InputBuffer(InputSource& src)
        : src_(src), buf_(std::make_unique_for_overwrite<std::uint8_t[]>(kSize)) {}

    // Bytes still waiting in the buffer.
    std::size_t Available() const { return end_ - pos_; }
    const std::uint8_t* Data() const { return buf_.get() + pos_; }
    void Skip(std::size_t n) { pos_ += n; }

    // Reads more from the source when the buffer is empty; false at the end of the input.
    bool Fill() {
        if (pos_ < end_) return true;
        if (ended_) return false;
        pos_ = 0;
        end_ = src_.Read(buf_.get(), kSize);
        delivered_ += end_;
        if (end_ == 0) ended_ = true;
        return end_ != 0;
    }

    // Bytes handed to the reader by the source so far.
    std::uint64_t Delivered() const { return delivered_; }

  private:
    InputSource& src_;
    std::unique_ptr<std::uint8_t[]> buf_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::uint64_t delivered_ = 0;
    bool ended_ = false;
};

}  // namespace detail

// Least significant bit first: deflate, ZIP shrink, reduce and implode.
class LsbBitReader {
  public:
    explicit LsbBitReader(InputSource& src) : in_(src) {}

    // Makes at least n bits (n <= 56) available to Peek. Beyond the input's end, zero bits.
    void Need(unsigned n) {
        if (count_ >= n) return;
        Refill();
    }
    // The next n bits (n <= 56, after Need(n)), the first bit read in bit 0.
    std::uint64_t Peek(unsigned n) const { return bits_ & ((std::uint64_t{1} << n) - 1); }
    void Drop(unsigned n) {
        bits_ >>= n;
        count_ -= n;
    }
    std::uint32_t Get(unsigned n) {
        Need(n);
        const auto v = static_cast<std::uint32_t>(Peek(n));
        Drop(n);
        return v;
    }
    std::uint64_t Bits() const { return bits_; }
    unsigned Count() const { return count_; }

    // Drops the bits up to the next byte boundary.
    void AlignToByte() { Drop(count_ & 7u); }

    // After AlignToByte: copies up to n whole bytes, from the register first and then from the
    // input. Returns the count copied, short only at the end of the input.
    std::size_t ReadBytes(std::uint8_t* out, std::size_t n) {
        std::size_t done = 0;
        // Zero padding may be copied here past the end of the input; Overrun() then tells.
        while (done < n && count_ >= 8) {
            out[done++] = static_cast<std::uint8_t>(bits_);
            Drop(8);
        }
        if (done == n) return done;
        // The register is empty now; clear the look-ahead copies of bytes that the loop
        // below takes straight from the buffer, so the next refill starts clean.
        bits_ = 0;
        while (done < n && in_.Fill()) {
            const std::size_t k = std::min(n - done, in_.Available());
            std::memcpy(out + done, in_.Data(), k);
            in_.Skip(k);
            done += k;
        }
        return done;
    }

    // True once bits beyond the end of the input have been consumed.
    bool Overrun() const { return ConsumedBits() > in_.Delivered() * 8; }

    // Whole input bytes consumed so far (bits still in the register are not).
    std::uint64_t Consumed() const {
        const std::uint64_t c = ConsumedBits() / 8;
        return std::min(c, in_.Delivered());
    }

    // Input bytes of which at least one bit was consumed: what a decoder has taken, counting
    // the byte it is in the middle of.
    std::uint64_t Taken() const { return std::min((ConsumedBits() + 7) / 8, in_.Delivered()); }

    // Hot decode loops take the register and the buffer cursor into local variables, so that
    // their stores to output bytes cannot force the state back to memory, and hand them back
    // before calling anything else on the reader. Between the two they may refill only while
    // at least eight bytes lie between `next` and `end` (see RefillFast).
    struct Cursor {
        std::uint64_t bits;
        unsigned count;
        const std::uint8_t* next;
        const std::uint8_t* end;
    };
    Cursor Lease() const { return {bits_, count_, in_.Data(), in_.Data() + in_.Available()}; }
    void Release(const Cursor& c) {
        bits_ = c.bits;
        count_ = c.count;
        in_.Skip(static_cast<std::size_t>(c.next - in_.Data()));
    }
    // Tops the register up to at least 56 bits from eight readable bytes at c.next. The bits
    // above `count` may then hold a copy of the next byte's low bits; the next refill ORs the
    // same values over them, so they never disturb what Peek returns.
    static void RefillFast(Cursor& c) {
        std::uint64_t w;
        std::memcpy(&w, c.next, 8);  // little-endian hosts only (x86-64, AArch64)
        c.bits |= w << c.count;
        c.next += (63 - c.count) >> 3;
        c.count |= 56;
    }
    // Tops a leased cursor up to at least 56 bits: fast while eight bytes are left in the
    // buffer, else through the reader (from the next buffer, or zero bits past the end).
    void Refill(Cursor& c) {
        if (c.end - c.next >= 8) {
            RefillFast(c);
            return;
        }
        Release(c);
        Need(56);
        c = Lease();
    }

  private:
    std::uint64_t ConsumedBits() const {
        return (in_.Delivered() + padBits_ / 8) * 8 - in_.Available() * 8 - count_;
    }

    void Refill() {
        // Fast path: eight bytes at once while the buffer holds them.
        if (in_.Available() >= 8) {
            std::uint64_t w;
            std::memcpy(&w, in_.Data(), 8);  // little-endian hosts only (x86-64, AArch64)
            bits_ |= w << count_;
            const unsigned take = (63 - count_) >> 3;
            in_.Skip(take);
            count_ += take * 8;
            return;
        }
        while (count_ <= 56) {
            if (in_.Fill()) {
                bits_ |= std::uint64_t{in_.Data()[0]} << count_;
                in_.Skip(1);
            } else {
                padBits_ += 8;
            }
            count_ += 8;
        }
    }

    detail::InputBuffer in_;
    std::uint64_t bits_ = 0;
    unsigned count_ = 0;
    std::uint64_t padBits_ = 0;
};

// Most significant bit first: LHA, ARJ and ZOO's block decoder, ARC squeeze and crunch.
class MsbBitReader {
  public:
    explicit MsbBitReader(InputSource& src) : in_(src) {}

    void Need(unsigned n) {
        if (count_ >= n) return;
        Refill();
    }
    // The next n bits (1 <= n <= 56, after Need(n)), the first bit read as the highest.
    std::uint64_t Peek(unsigned n) const { return bits_ >> (64 - n); }
    void Drop(unsigned n) {
        bits_ = n == 64 ? 0 : bits_ << n;
        count_ -= n;
    }
    std::uint32_t Get(unsigned n) {
        if (n == 0) return 0;
        Need(n);
        const auto v = static_cast<std::uint32_t>(Peek(n));
        Drop(n);
        return v;
    }
    // The register, the next bit read in bit 63, and how many of its bits are input.
    std::uint64_t Bits() const { return bits_; }
    unsigned Count() const { return count_; }

    bool Overrun() const { return ConsumedBits() > in_.Delivered() * 8; }
    std::uint64_t Consumed() const {
        const std::uint64_t c = ConsumedBits() / 8;
        return std::min(c, in_.Delivered());
    }
    // Input bytes of which at least one bit was consumed.
    std::uint64_t Taken() const { return std::min((ConsumedBits() + 7) / 8, in_.Delivered()); }

    // The hot-loop lease of the register and the buffer cursor, as LsbBitReader's.
    struct Cursor {
        std::uint64_t bits;
        unsigned count;
        const std::uint8_t* next;
        const std::uint8_t* end;
    };
    Cursor Lease() const { return {bits_, count_, in_.Data(), in_.Data() + in_.Available()}; }
    void Release(const Cursor& c) {
        bits_ = c.bits;
        count_ = c.count;
        in_.Skip(static_cast<std::size_t>(c.next - in_.Data()));
    }
    // Tops the register up to at least 56 bits from eight readable bytes at c.next. The bits
    // below `count` may then hold the next byte's high bits; the next refill ORs the same
    // values over them, and Drop shifts them up only behind valid bits.
    static void RefillFast(Cursor& c) {
        c.bits |= Load(c.next) >> c.count;
        c.next += (63 - c.count) >> 3;
        c.count |= 56;
    }
    // Tops a leased cursor up to at least 56 bits: fast while eight bytes are left in the
    // buffer, else through the reader (from the next buffer, or zero bits past the end).
    void Refill(Cursor& c) {
        if (c.end - c.next >= 8) {
            RefillFast(c);
            return;
        }
        Release(c);
        Need(56);
        c = Lease();
    }

  private:
    static std::uint64_t Load(const std::uint8_t* p) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);  // little-endian hosts only (x86-64, AArch64)
        return __builtin_bswap64(w);
    }

    std::uint64_t ConsumedBits() const {
        return (in_.Delivered() + padBits_ / 8) * 8 - in_.Available() * 8 - count_;
    }

    void Refill() {
        if (in_.Available() >= 8) {
            bits_ |= Load(in_.Data()) >> count_;
            const unsigned take = (63 - count_) >> 3;
            in_.Skip(take);
            count_ += take * 8;
            return;
        }
        while (count_ <= 56) {
            if (in_.Fill()) {
                bits_ |= std::uint64_t{in_.Data()[0]} << (56 - count_);
                in_.Skip(1);
            } else {
                padBits_ += 8;
            }
            count_ += 8;
        }
    }

    detail::InputBuffer in_;
    std::uint64_t bits_ = 0;
    unsigned count_ = 0;
    std::uint64_t padBits_ = 0;
};

}  // namespace orvello::archive
