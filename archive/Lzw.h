// The LZW decoders: ZIP shrink (Unshrink.cpp), ZOO method 1, and ARC's crunched (8) and squashed
// (9) methods, which differ in their control codes and in how codes widen but share the string
// table below.
#pragma once

#include <array>
#include <cstdint>

#include "ArcTypes.h"
#include "BitReader.h"
#include "Decoder.h"

namespace orvello::archive {

// The string table of codes of up to 13 bits: codes 0 to 255 are the bytes, every other code
// is free until it is defined as an earlier code's string plus one byte. Decoding a code puts
// its string on a stack, from which the caller takes the bytes.
class LzwTable {
  public:
    static constexpr unsigned kCodes = 8192;
    static constexpr std::uint16_t kFree = 0xFFFF;
    static constexpr std::uint16_t kNone = 0xFFFE;  // a byte's prefix, or a control code

    LzwTable();

    bool IsFree(unsigned code) const { return prefix_[code] == kFree; }
    std::uint16_t Prefix(unsigned code) const { return prefix_[code]; }
    void Free(unsigned code) { prefix_[code] = kFree; }
    // Frees every code from `first` on (codes 256 to first - 1 are the format's controls).
    void FreeFrom(unsigned first);
    // Whether a first code was decoded since the start or the last Restart.
    bool Started() const { return prev_ != kNone; }
    void Restart() { prev_ = kNone; }

    // The first code of a stream or after a clear: a byte, which defines nothing.
    int First(unsigned code);
    // Decodes `code` after an earlier one and defines `slot` as the previous string plus the
    // first byte of this one (the code being defined may itself be `code`). No code is defined
    // when slot is kCodes. kOk, errInvalidCode for a code that is not defined, or
    // errStackOverflow for a chain of prefixes that does not end.
    int Next(unsigned code, unsigned slot);

    // Next for tables whose codes are freed only all at once (FreeFrom), as in ZOO and ARC:
    // then every code's string length is known, and a string that fits in `room` bytes is
    // written straight to `out` instead of to the stack. Returns the bytes written there; 0
    // when the string went to the stack (take it with Take) or `error` was set.
    std::size_t NextInto(unsigned code, unsigned slot, std::uint8_t* out, std::size_t room,
                         int& error) {
        std::size_t len;
        std::uint8_t first;
        if (code < 256) {
            len = 1;
            first = static_cast<std::uint8_t>(code);
        } else if (code < kCodes && prefix_[code] < kCodes) {
            len = length_[code];
            first = first_[code];
        } else if (code == slot && slot < kCodes) {
            len = length_[prev_] + 1u;  // the code being defined now
            first = first_[prev_];
        } else {
            len = room + 1;  // not defined: Next tells which error
        }
        if (len > room) {
            error = Next(code, slot);
            return 0;
        }
        if (slot < kCodes) Define(slot, first);
        // Backwards from the last byte; the index mask keeps even a damaged chain in bounds.
        unsigned c = code;
        for (std::size_t i = len - 1; i != 0; --i) {
            out[i] = suffix_[c];
            c = prefix_[c] & (kCodes - 1);
        }
        if (c > 255) {
            error = errInvalidCode;  // a chain that does not match its length
            return 0;
        }
        out[0] = static_cast<std::uint8_t>(c);
        prev_ = static_cast<std::uint16_t>(code);
        return len;
    }

    // Bytes of the last decoded string not taken yet.
    std::size_t Pending() const { return kCodes - pending_; }
    // Copies up to n of them to out; returns the count.
    std::size_t Take(std::uint8_t* out, std::size_t n);

  private:
    // Defines `slot` as the previous string plus `last`.
    void Define(unsigned slot, std::uint8_t last) {
        prefix_[slot] = prev_;
        suffix_[slot] = last;
        first_[slot] = first_[prev_];
        length_[slot] = static_cast<std::uint16_t>(length_[prev_] + 1u);
    }

    std::array<std::uint16_t, kCodes> prefix_;
    std::array<std::uint8_t, kCodes> suffix_{};
    std::array<std::uint8_t, kCodes> first_{};    // the first byte of each code's string
    std::array<std::uint16_t, kCodes> length_{};  // the length of each code's string
    std::uint16_t prev_ = kNone;                  // the code decoded last
    // A decoded string, written backwards from the end; pending_ is its first byte not yet
    // taken (only the part from pending_ on is read).
    std::array<std::uint8_t, kCodes> stack_;
    std::size_t pending_ = kCodes;
};

// LZW with codes read least significant bit first that start at 9 bits and widen by one bit
// when the next free code needs it, up to maxBits; code 256 clears the table.
//
// ZOO method 1: maxBits 13, code 257 ends the data (endCode), new codes from 258.
// ARC 8 and 9 (as Unix compress): maxBits 12 and 13, no end code, new codes from 257, and codes
// read in groups of eight: a clear or a widening skips the rest of the current group (groups).
// The data also ends with the input: a code cut short there is the final padding.
class LzwDecoder final : public Decoder {
  public:
    struct Options {
        unsigned maxBits = 13;  // 9 to 13
        bool endCode = false;
        bool groups = false;
    };
    static constexpr Options kZoo{13, true, false};
    static constexpr Options kArcCrunch{12, false, true};
    static constexpr Options kArcSquash{13, false, true};

    LzwDecoder(InputSource& src, const Options& options);
    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override;
    std::uint64_t Consumed() const override { return in_.Taken(); }

  private:
    // Decodes ordinary codes straight into `o` while the input is buffered; stops before a
    // control code.
    void FastCodes(std::uint8_t*& o, std::uint8_t* end);
    int NextCode();
    void SkipGroup();

    LsbBitReader in_;
    Options opt_;
    unsigned firstFree_;
    unsigned width_ = 9;
    unsigned next_;
    unsigned inGroup_ = 0;  // codes read in the current group of eight
    bool done_ = false;
    int error_ = kOk;
    LzwTable table_;
};

}  // namespace orvello::archive
