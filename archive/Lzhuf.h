// LHA's -lh1- method (LZHUF): LZ77 over a 4096-byte ring, with literals and match lengths coded
// by one adaptive Huffman tree and the upper six bits of each position by a fixed code.
//
// The ring starts as spaces, and writing starts at 4036 (4096 less the 60-byte longest match),
// so the first matches may copy those spaces. The tree has 314 leaves (256 bytes and the match
// lengths 3 to 60) in 627 nodes, ordered by frequency; every decoded symbol adds one to its
// leaf's count and moves the nodes whose order that breaks, and when the root's count reaches
// 0x8000 every count is halved and the tree rebuilt. Bits are read most significant first.
// The data has no end marker: the decoder stops at the recorded size.
#pragma once

#include <array>
#include <cstdint>

#include "BitReader.h"
#include "Decoder.h"
#include "LzWindow.h"

namespace orvello::archive {

class LzhufDecoder final : public Decoder {
  public:
    LzhufDecoder(InputSource& src, std::uint64_t size);
    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override;
    std::uint64_t Consumed() const override { return in_.Taken(); }

    static constexpr unsigned kSymbols = 314;
    static constexpr unsigned kNodes = 2 * kSymbols - 1;  // 627
    static constexpr unsigned kRoot = kNodes - 1;

  private:
    void Update(unsigned symbol);
    void Rebuild();

    MsbBitReader in_;
    LzWindow window_;
    std::uint64_t left_;
    int error_ = kOk;
    // The tree: freq_ in node order (non-decreasing; one more entry as a sentinel), son_ the
    // left child of an inner node (the right one is son_ + 1) or kNodes + symbol for a leaf,
    // parent_ of every node and, from kNodes on, of every leaf symbol.
    std::array<std::uint16_t, kNodes + 1> freq_;
    std::array<std::uint16_t, kNodes> son_;
    std::array<std::uint16_t, kNodes + kSymbols> parent_;
};

}  // namespace orvello::archive
