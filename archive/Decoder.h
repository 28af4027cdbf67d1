// The small pull interface every decoder sits behind, and the byte sources that feed it.
//
// A decoder only produces bytes. Stopping at the member's recorded size, folding the check
// value, reporting progress and latching a failure happen once, in the member reader that
// drives a decoder, not in each decoder.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace orvello::archive {

// Result of a decoder call: kOk, or an error code of the message table (ArcTypes.h).
inline constexpr int kOk = 0;

// The compressed bytes of one member, already limited to its stored size and, for an
// encrypted member, already decrypted.
class InputSource {
  public:
    virtual ~InputSource() = default;
    // Copies up to n bytes into buf and returns how many; 0 only when the input has ended.
    virtual std::size_t Read(std::uint8_t* buf, std::size_t n) = 0;
};

// One member's decoder.
class Decoder {
  public:
    virtual ~Decoder() = default;
    // Writes up to `capacity` bytes into `out` and sets `produced`. kOk with produced == 0
    // means the stream has ended (for methods without an end marker: the input has ended or
    // the decoder was told the size and has produced it). Any other value is an error code;
    // after it the decoder is not called again.
    virtual int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) = 0;
    // Read without the copy, for decoders that keep their output in a buffer of their own:
    // sets `data` to up to `capacity` bytes of output (valid until the next call) and
    // `produced` to their count, with Read's results. The default reads into `scratch`, which
    // has room for `capacity` bytes.
    virtual int ReadView(const std::uint8_t*& data, std::uint8_t* scratch, std::size_t capacity,
                         std::size_t& produced) {
        data = scratch;
        return Read(scratch, capacity, produced);
    }
    // Input bytes the decoder has taken so far (read-ahead that it has not used is not
    // counted); drives the progress percentage.
    virtual std::uint64_t Consumed() const = 0;
};

// An InputSource over bytes in memory; used by tests, fuzzers and benchmarks.
class MemorySource final : public InputSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> data) : data_(data) {}
    std::size_t Read(std::uint8_t* buf, std::size_t n) override {
        const std::size_t k = std::min(n, data_.size() - pos_);
        if (k != 0) std::memcpy(buf, data_.data() + pos_, k);
        pos_ += k;
        return k;
    }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

}  // namespace orvello::archive
