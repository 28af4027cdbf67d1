// ARC methods 5, 6 and 7, the early crunch: LZW with fixed 12-bit codes read most significant
// bit first and a 4096-entry string table whose slots are chosen by hashing (predecessor,
// follower). Methods 5 and 6 use the old hash (the middle bits of a square), method 7 the
// newer multiplicative one. A slot that is taken already makes the new entry go at the end of
// that slot's chain: the first free slot from 101 past the chain's last entry, wrapping round.
// Methods 6 and 7 are followed by ArcRleDecoder.
#pragma once

#include <array>
#include <cstdint>

#include "BitReader.h"
#include "Decoder.h"

namespace orvello::archive {

class UncrunchDecoder final : public Decoder {
  public:
    enum class Hash { kOld, kNew };

    UncrunchDecoder(InputSource& src, Hash hash);
    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override;
    std::uint64_t Consumed() const override { return in_.Consumed(); }

    static constexpr unsigned kTableSize = 4096;

    // The slot hashing gives (predecessor, follower) before collisions are resolved; the
    // predecessor of a single byte is kNoPredecessor. Public for the tests' encoder.
    static unsigned HashSlot(Hash hash, unsigned predecessor, unsigned follower);
    static constexpr std::uint16_t kNoPredecessor = 0xFFFF;

  private:
    void Add(unsigned predecessor, std::uint8_t follower);
    // Decodes the next code onto the stack; false at the end of the data or on an error.
    bool NextCode();

    MsbBitReader in_;
    Hash hash_;
    int error_ = kOk;
    bool done_ = false;
    unsigned used_ = 0;                 // slots taken
    unsigned previous_ = kTableSize;    // the code decoded last; kTableSize before any
    std::uint8_t firstOfPrevious_ = 0;  // the first byte of its string
    std::array<std::uint16_t, kTableSize> predecessor_{};
    std::array<std::uint16_t, kTableSize> next_{};  // chain of slots sharing a hash; 0 ends it
    std::array<std::uint8_t, kTableSize> follower_{};
    std::array<bool, kTableSize> taken_{};
    // A decoded string, written backwards from the end; pending_ is its first byte not yet out.
    std::array<std::uint8_t, kTableSize + 1> stack_{};
    std::size_t pending_ = kTableSize + 1;
};

}  // namespace orvello::archive
