// ZIP methods 2 to 5, reduce with compression factor 1 to 4: bytes coded against follower sets
// (up to 32 likely successors of each byte), then expanded by a run-length and distance step
// that uses byte 144 as its escape. The data has no end marker: the decoder stops at the
// recorded size.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "BitReader.h"
#include "Decoder.h"
#include "LzWindow.h"

namespace orvello::archive {

class UnreduceDecoder final : public Decoder {
  public:
    // factor: 1 to 4 (methods 2 to 5); size: the member's uncompressed size.
    UnreduceDecoder(InputSource& src, unsigned factor, std::uint64_t size);
    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override;
    std::uint64_t Consumed() const override { return in_.Taken(); }

  private:
    int ReadFollowerSets();
    int NextByte(std::uint8_t& b);

    LsbBitReader in_;
    unsigned factor_;
    std::uint64_t left_;
    bool started_ = false;
    int error_ = kOk;

    struct FollowerSet {
        std::uint8_t size = 0;
        std::uint8_t bits = 0;
        std::array<std::uint8_t, 32> bytes{};
    };
    std::array<FollowerSet, 256> sets_{};
    std::uint8_t last_ = 0;  // the byte last produced by the follower-set step

    // The expansion step: 0 plain, 1 after the escape, 2 awaiting a length byte, 3 awaiting
    // the distance byte.
    unsigned state_ = 0;
    unsigned v_ = 0;
    unsigned len_ = 0;

    LzWindow window_{12, 0};  // zeros before the start, as the format says
};

}  // namespace orvello::archive
