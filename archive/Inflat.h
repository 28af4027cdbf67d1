// Deflate (RFC 1951) behind the Decoder interface: stored, fixed and dynamic blocks.
//
// Output is decoded into a window that keeps the last 32768 bytes as history plus a working
// area behind it, and handed to the caller from there. When the working area is used up and
// everything in it was delivered, the last 32768 bytes slide to the front. Huffman codes decode
// through a main table and sub-tables whose entries carry everything a symbol needs in one
// word (see Inflat.cpp); the hot loop keeps the 64-bit bit register and the input cursor in
// local variables, runs without bounds checks while 16 input bytes and the working area's
// room remain, and copies matches 16 or 8 bytes at a time. The window is handed to the
// caller in place (ReadView), so each byte is written once.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "BitReader.h"
#include "Decoder.h"

namespace orvello::archive {

class InflateDecoder final : public Decoder {
  public:
    explicit InflateDecoder(InputSource& src);
    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override;
    // Hands out the decoded bytes where they lie in the window, without a copy.
    int ReadView(const std::uint8_t*& data, std::uint8_t* scratch, std::size_t capacity,
                 std::size_t& produced) override;
    std::uint64_t Consumed() const override { return in_.Taken(); }

    static constexpr std::size_t kHistory = 32768;
    static constexpr std::size_t kWork = 7 * 32768;
    // Room behind the working area: one literal and one longest match past the goal, plus
    // the overshoot of block copies (at most 31 bytes).
    static constexpr std::size_t kSlack = 1 + 258 + 64;

    static constexpr unsigned kLitlenBits = 11;
    static constexpr unsigned kDistBits = 8;
    static constexpr unsigned kPrecodeBits = 7;
    static constexpr std::size_t kLitlenCapacity = 2342;
    static constexpr std::size_t kDistCapacity = 402;

  private:
    enum class State { kBlockHeader, kStored, kHuffman, kDone };

    // Decodes until the window position reaches `goal` or the stream ends. kOk or an error.
    int Decode(std::size_t goal);
    int ReadBlockHeader();
    int ReadDynamicTables();
    int UseFixedTables();
    int CopyStored(std::size_t goal);
    int DecodeHuffman(std::size_t goal);
    // One symbol the careful way, for the last bytes of an input buffer.
    int DecodeSlow();
    std::uint32_t SlowLookup(const std::uint32_t* table, unsigned rootBits);

    LsbBitReader in_;
    std::unique_ptr<std::uint8_t[]> win_;
    std::size_t pos_ = 0;        // next byte to decode into
    std::size_t delivered_ = 0;  // first byte not yet handed to the caller
    State state_ = State::kBlockHeader;
    bool finalBlock_ = false;
    bool fixedBuilt_ = false;  // built at the member's first fixed block, kept for later ones
    std::uint32_t storedLeft_ = 0;
    int error_ = kOk;

    // The current block's tables: the dynamic ones below or the fixed ones.
    const std::uint32_t* lit_ = nullptr;
    const std::uint32_t* dst_ = nullptr;
    // Filled by the table builder before use (left uninitialised: a member of a few bytes
    // should not pay for clearing them).
    std::array<std::uint32_t, kLitlenCapacity> litlen_;
    std::array<std::uint32_t, kDistCapacity> dist_;
    std::array<std::uint32_t, 1u << kLitlenBits> fixedLitlen_;
    std::array<std::uint32_t, 1u << kDistBits> fixedDist_;
};

}  // namespace orvello::archive
