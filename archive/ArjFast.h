// ARJ method 4, "fastest": LZ77 with fixed codes read most significant bit first. A length
// code is up to 7 one bits ended by a zero (no zero after the seventh), then as many bits more;
// its value 0 means a literal byte (8 bits) follows, n > 0 a match of n + 2 bytes. The match's
// distance code is up to 4 one bits ended by a zero, then 9 bits plus one per one bit; the
// distance is its value + 1, at most 15872. There is no end marker: the decoder stops at the
// recorded size.
#pragma once

#include <cstdint>

#include "BitReader.h"
#include "Decoder.h"
#include "LzHistory.h"

namespace orvello::archive {

class ArjFastDecoder final : public Decoder {
  public:
    ArjFastDecoder(InputSource& src, std::uint64_t size)
        : in_(src), history_(kWindowBits, 0), left_(size) {}
    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override;
    std::uint64_t Consumed() const override { return in_.Consumed(); }

    // A power of two above the longest distance.
    static constexpr unsigned kWindowBits = 14;
    static constexpr unsigned kMaxDistance = 15872;

  private:
    // Decodes up to `want` bytes into the history.
    void Decode(std::size_t want);

    MsbBitReader in_;
    LzHistory history_;
    std::uint64_t left_;
    int error_ = kOk;
};

}  // namespace orvello::archive
