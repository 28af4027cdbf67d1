// The LZ + static-Huffman block method of LHA (-lh4- to -lh7-), which ARJ (methods 1 to 3) and
// ZOO (method 2) use as well, parameterised by the dictionary bits D and the width P of the
// position code's count.
//
// The stream is a run of blocks, read most significant bit first. Each block starts with a
// 16-bit count of the symbols it holds (0 for 65536), then three code-length tables: a temporary
// code (up to 19 symbols) in which the literal/length lengths are sent, the literal/length code
// (510 symbols: bytes 0-255, and 256 + n for a match of n + 3 bytes) and the position code (D + 1
// symbols: position symbol p is the distance itself for p < 2, else 2^(p-1) plus p - 1 further
// bits; the match starts distance + 1 bytes back). A table whose count is 0 instead names the
// one symbol that code holds, and then takes no bits per symbol.
//
// The data has no end marker: the decoder stops at the recorded size. Damage ends in an error
// code: a code table that cannot be built or a code that is not in its table is
// errBadHuffmanCode, a match reaching back before the first byte is errBadBlock (except where
// the format's encoder is known to do it, see BeforeStart), and data that runs
// out is errReadFile.
#pragma once

#include <array>
#include <cstdint>

#include "BitReader.h"
#include "Decoder.h"
#include "LzHistory.h"

namespace orvello::archive {

class LhaBlockDecoder final : public Decoder {
  public:
    // What a match reaching back before the member's first byte means. ARJ's encoder starts
    // from a dictionary of zero bytes and does match against it (every ARJ extractor reads
    // zeros there); for LHA and ZOO it is damage.
    enum class BeforeStart { kError, kZeros };

    // dictBits: D, 12 to 16 (-lh4- 12, -lh5- and ZOO 13, -lh6- 15, -lh7- and ARJ 16);
    // countBits: P, 4 or 5. Other values are clamped into these ranges.
    LhaBlockDecoder(InputSource& src, unsigned dictBits, unsigned countBits, std::uint64_t size,
                    BeforeStart beforeStart = BeforeStart::kError);
    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override;
    std::uint64_t Consumed() const override { return in_.Taken(); }

    static constexpr unsigned kLiteralSymbols = 510;
    static constexpr unsigned kTempSymbols = 19;
    // The larger of the temporary code's 19 symbols and the position code's D + 1.
    static constexpr unsigned kSmallSymbols = 19;
    static constexpr unsigned kLiteralRootBits = 10;
    static constexpr unsigned kSmallRootBits = 8;
    // Room for the main table and a 16-entry sub-table below every root slot a long code can
    // reach: enough for any code of up to 16 bits.
    static constexpr std::size_t kLiteralCapacity = (1u << kLiteralRootBits) + kLiteralSymbols * 16;
    static constexpr std::size_t kSmallCapacity = (1u << kSmallRootBits) + kSmallSymbols * 256;

  private:
    // Decodes up to `want` bytes into the history.
    void Decode(std::size_t want);
    int ReadBlockHeader();
    // Reads the lengths of a temporary or position code: `countBits` for the count, at most
    // `symbols` of them; `special` is the index after which a 2-bit run of zero lengths follows
    // (the temporary code's third length), or -1.
    int ReadSmallCode(unsigned symbols, unsigned countBits, int special, std::uint32_t* table);
    int ReadLiteralCode();
    int MakeTable(const std::uint8_t* lens, unsigned n, unsigned rootBits, std::uint32_t* table,
                  std::size_t capacity);

    MsbBitReader in_;
    LzHistory history_;
    unsigned dictBits_;
    unsigned countBits_;
    std::uint64_t left_;
    bool zerosBefore_;
    std::uint32_t blockLeft_ = 0;  // symbols still to come in the current block
    int error_ = kOk;
    // Filled by the table builder before use.
    std::array<std::uint32_t, kLiteralCapacity> literal_;
    std::array<std::uint32_t, kSmallCapacity> position_;
    std::array<std::uint32_t, kSmallCapacity> temp_;
};

}  // namespace orvello::archive
