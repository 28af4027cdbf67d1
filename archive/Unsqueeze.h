// ARC method 4, squeeze (the CP/M SQ coding): a Huffman tree stored in front of the data as a
// 16-bit node count and that many nodes, each two 16-bit links (a link >= 0 is a node index,
// a negative link -(v + 1) a leaf of value v, 256 being the end code); then the codes, read
// least significant bit first. Produces the run-length coded bytes that ArcRleDecoder expands.
#pragma once

#include <array>
#include <cstdint>

#include "BitReader.h"
#include "Decoder.h"

namespace orvello::archive {

class UnsqueezeDecoder final : public Decoder {
  public:
    explicit UnsqueezeDecoder(InputSource& src) : in_(src) {}
    // Ends at the end code, or where the data ends (streams written without the end code).
    // A tree of more than 256 nodes, a link outside the tree or a loop in it is 25118.
    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override;
    std::uint64_t Consumed() const override { return in_.Consumed(); }

    static constexpr unsigned kMaxNodes = 256;
    static constexpr unsigned kEndCode = 256;

  private:
    int ReadTree();

    LsbBitReader in_;
    bool started_ = false;
    bool done_ = false;
    int error_ = kOk;
    unsigned nodes_ = 0;
    std::array<std::array<std::int16_t, 2>, kMaxNodes> tree_{};
};

}  // namespace orvello::archive
