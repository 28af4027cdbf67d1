// ZIP method 1, shrink: dynamic LZW with codes of 9 to 13 bits read least significant bit
// first, and two control sequences after code 256: 1 widens the codes by one bit, 2 frees every
// code that is no prefix of another code (a partial clear). Freed codes are reused lowest first.
#pragma once

#include <array>
#include <cstdint>

#include "BitReader.h"
#include "Decoder.h"
#include "Lzw.h"

namespace orvello::archive {

class UnshrinkDecoder final : public Decoder {
  public:
    explicit UnshrinkDecoder(InputSource& src);
    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override;
    std::uint64_t Consumed() const override { return in_.Taken(); }

    static constexpr unsigned kCodes = LzwTable::kCodes;

  private:
    int NextCode();
    void PartialClear();
    void FindNextFree(unsigned from);

    LsbBitReader in_;
    unsigned codeSize_ = 9;
    unsigned nextFree_ = 257;  // the lowest free code, kCodes when none is free
    bool done_ = false;
    int error_ = kOk;
    LzwTable table_;
};

}  // namespace orvello::archive
