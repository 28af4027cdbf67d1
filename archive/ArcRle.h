// ARC's run-length step, the last stage of its packed, squeezed and crunched methods: byte 0x90
// followed by a count n makes the byte before it occur n times in all; 0x90 0x00 is a literal
// 0x90, which is not the byte a later run repeats.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>

#include "Decoder.h"

namespace orvello::archive {

class ArcRleDecoder final : public Decoder {
  public:
    // Expands what `inner` produces. `limit` stops the output at that many bytes: a squeezed
    // stream without its end code ends at the member's recorded size.
    explicit ArcRleDecoder(std::unique_ptr<Decoder> inner,
                           std::uint64_t limit = std::numeric_limits<std::uint64_t>::max());
    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override;
    std::uint64_t Consumed() const override { return inner_->Consumed(); }

    static constexpr std::uint8_t kMarker = 0x90;

  private:
    static constexpr std::size_t kBufferSize = 4096;

    std::unique_ptr<Decoder> inner_;
    std::unique_ptr<std::uint8_t[]> buf_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::uint64_t left_;
    std::size_t repeat_ = 0;  // copies of last_ still to be written
    std::uint8_t last_ = 0;   // the byte a run repeats
    bool marker_ = false;     // a 0x90 was read and its count is awaited
    bool ended_ = false;
    int error_ = kOk;
};

}  // namespace orvello::archive
