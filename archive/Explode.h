// ZIP method 6, implode: a sliding dictionary of 4096 or 8192 bytes with lengths and distances
// coded by Shannon-Fano trees, and literals either coded by a third tree or stored as bytes.
// General-purpose flag bit 1 selects the 8192-byte dictionary, bit 2 the literal tree (and a
// minimum match of 3 instead of 2). The data has no end marker: the decoder stops at the
// recorded size.
#pragma once

#include <array>
#include <cstdint>

#include "BitReader.h"
#include "Decoder.h"
#include "LzWindow.h"

namespace orvello::archive {

class ExplodeDecoder final : public Decoder {
  public:
    ExplodeDecoder(InputSource& src, std::uint16_t flags, std::uint64_t size);
    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override;
    std::uint64_t Consumed() const override { return in_.Taken(); }

    static constexpr unsigned kRootBits = 8;
    // Enough for any complete tree of up to 256 codes of up to 16 bits with 8 root bits.
    static constexpr std::size_t kTableCapacity = 8192;

  private:
    using Table = std::array<std::uint32_t, kTableCapacity>;
    int ReadTree(std::size_t symbols, Table& table);

    LsbBitReader in_;
    bool bigWindow_;
    bool literalTree_;
    std::uint64_t left_;
    bool started_ = false;
    int error_ = kOk;
    // Filled by the tree builder before use; left uninitialised so a member does not pay for
    // clearing 96 KB it never reads.
    Table literals_;
    Table lengths_;
    Table distances_;
    LzWindow window_{13, 0};  // zeros before the start, as the format says
};

}  // namespace orvello::archive
