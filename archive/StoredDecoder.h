// A member stored without compression: its bytes are copied as they come.
#pragma once

#include "Decoder.h"

namespace orvello::archive {

class StoredDecoder final : public Decoder {
  public:
    explicit StoredDecoder(InputSource& src) : src_(src) {}
    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override {
        produced = src_.Read(out, capacity);
        consumed_ += produced;
        return kOk;
    }
    std::uint64_t Consumed() const override { return consumed_; }

  private:
    InputSource& src_;
    std::uint64_t consumed_ = 0;
};

}  // namespace orvello::archive
