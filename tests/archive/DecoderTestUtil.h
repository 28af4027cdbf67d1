// Helpers shared by the decoder tests: a source that trickles its bytes, a loop that drains a
// decoder through small output buffers, and a writer for hand-built bit streams.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "archive/Decoder.h"

namespace orvello::archive::testing {

using Bytes = std::vector<std::uint8_t>;

// Hands out its data at most `step` bytes per call, to put buffer refills at odd places.
class TrickleSource final : public InputSource {
  public:
    TrickleSource(Bytes data, std::size_t step) : data_(std::move(data)), step_(step) {}
    std::size_t Read(std::uint8_t* buf, std::size_t n) override {
        const std::size_t k = std::min({n, step_, data_.size() - pos_});
        std::copy_n(data_.begin() + static_cast<std::ptrdiff_t>(pos_), k, buf);
        pos_ += k;
        return k;
    }

  private:
    Bytes data_;
    std::size_t step_;
    std::size_t pos_ = 0;
};

struct Drained {
    Bytes out;
    int error = kOk;
    bool overAsked = false;  // the decoder once produced more than it was asked for
};

// Pulls until the decoder ends, fails or `limit` bytes came out, asking for `chunk` bytes a time.
template <class D>
Drained Drain(D& dec, std::size_t chunk, std::size_t limit = 1u << 26) {
    Drained d;
    std::vector<std::uint8_t> buf(chunk + 16, 0xEE);
    for (;;) {
        std::size_t produced = 0;
        const int r = dec.Read(buf.data(), chunk, produced);
        if (produced > chunk) d.overAsked = true;
        d.out.insert(d.out.end(), buf.begin(),
                     buf.begin() + static_cast<std::ptrdiff_t>(std::min(produced, chunk)));
        if (r != kOk) {
            d.error = r;
            return d;
        }
        if (produced == 0 || d.out.size() >= limit) return d;
    }
}

// Writes bit fields least significant bit first, as deflate and the ZIP methods read them.
class BitWriter {
  public:
    // `value`'s low `n` bits, lowest first.
    BitWriter& Put(std::uint32_t value, unsigned n) {
        for (unsigned i = 0; i < n; ++i)
            PutBit((value >> i) & 1u);
        return *this;
    }
    // A Huffman code of `n` bits, most significant bit first (deflate's order for codes).
    BitWriter& PutCode(std::uint32_t code, unsigned n) {
        for (unsigned i = n; i-- > 0;)
            PutBit((code >> i) & 1u);
        return *this;
    }
    BitWriter& AlignToByte() {
        while (bit_ != 0)
            PutBit(0);
        return *this;
    }
    BitWriter& Byte(std::uint8_t b) { return Put(b, 8); }
    const Bytes& Data() const { return bytes_; }

  private:
    void PutBit(unsigned b) {
        if (bit_ == 0) bytes_.push_back(0);
        bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | (b << bit_));
        bit_ = (bit_ + 1) & 7;
    }
    Bytes bytes_;
    unsigned bit_ = 0;
};

// Writes bit fields most significant bit first, as the LHA, ARJ and ZOO block method reads them.
class MsbBitWriter {
  public:
    // `value`'s low `n` bits, highest first.
    MsbBitWriter& Put(std::uint32_t value, unsigned n) {
        for (unsigned i = n; i-- > 0;) {
            if (bit_ == 0) bytes_.push_back(0);
            bytes_.back() =
                static_cast<std::uint8_t>(bytes_.back() | ((value >> i) & 1u) << (7 - bit_));
            bit_ = (bit_ + 1) & 7;
        }
        return *this;
    }
    const Bytes& Data() const { return bytes_; }

  private:
    Bytes bytes_;
    unsigned bit_ = 0;
};

// Test data of a few shapes: random bytes, text-like words, long runs, and a ROM-like mix.
inline Bytes MakeData(const std::string& kind, std::size_t n, unsigned seed = 1) {
    std::mt19937 rng(seed);
    Bytes b(n);
    if (kind == "random") {
        for (auto& x : b)
            x = static_cast<std::uint8_t>(rng());
    } else if (kind == "text") {
        static const char* words[] = {"the ",    "quick ", "brown ", "fox ",   "jumps ",
                                      "over ",   "lazy ",  "dog\n",  "ROM ",   "SNES ",
                                      "0x8000 ", "bank ",  "tile ",  "sprite "};
        std::size_t i = 0;
        while (i < n) {
            const char* w = words[rng() % std::size(words)];
            for (const char* p = w; *p && i < n; ++p)
                b[i++] = static_cast<std::uint8_t>(*p);
        }
    } else if (kind == "runs") {
        std::size_t i = 0;
        while (i < n) {
            const std::uint8_t v = static_cast<std::uint8_t>(rng() % 4 == 0 ? rng() : 0);
            std::size_t len = 1 + rng() % 300;
            while (len-- && i < n)
                b[i++] = v;
        }
    } else {  // rom: code-like bytes with repeats at many distances
        std::size_t i = 0;
        while (i < n) {
            if (i > 64 && rng() % 3 == 0) {
                const std::size_t dist = 1 + rng() % std::min<std::size_t>(i, 40000);
                std::size_t len = 3 + rng() % 60;
                while (len-- && i < n) {
                    b[i] = b[i - dist];
                    ++i;
                }
            } else {
                b[i++] =
                    static_cast<std::uint8_t>(rng() % 7 == 0 ? rng() : (rng() % 16) * 16 + 0x0A);
            }
        }
    }
    return b;
}

}  // namespace orvello::archive::testing
