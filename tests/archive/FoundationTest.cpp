// Check values, date conversions, the ratio and the two bit readers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/ArcGlobals.h"
#include "archive/ArcTypes.h"
#include "archive/BitReader.h"

using namespace orvello::archive;

namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

// Hands out its data a few bytes per call, to exercise buffer refills at odd places.
class TrickleSource final : public InputSource {
  public:
    TrickleSource(std::vector<std::uint8_t> data, std::size_t step)
        : data_(std::move(data)), step_(step) {}
    std::size_t Read(std::uint8_t* buf, std::size_t n) override {
        const std::size_t k = std::min({n, step_, data_.size() - pos_});
        std::copy_n(data_.begin() + static_cast<std::ptrdiff_t>(pos_), k, buf);
        pos_ += k;
        return k;
    }

  private:
    std::vector<std::uint8_t> data_;
    std::size_t step_;
    std::size_t pos_ = 0;
};

}  // namespace

TEST(CheckValues, KnownVectorsAndPiecewiseFolding) {
    const auto digits = Bytes("123456789");
    EXPECT_EQ(Crc32(digits), 0xCBF43926u);
    EXPECT_EQ(Crc16Update(0, digits.data(), digits.size()), 0xBB3Du);

    // Folding in pieces of every split gives the same register as one call (the eight-byte
    // fast path and the byte loop must agree).
    std::vector<std::uint8_t> data(100);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 37 + 11);
    const std::uint32_t whole = Crc32Update(0xFFFFFFFFu, data.data(), data.size());
    for (std::size_t split = 0; split <= data.size(); ++split) {
        std::uint32_t reg = Crc32Update(0xFFFFFFFFu, data.data(), split);
        reg = Crc32Update(reg, data.data() + split, data.size() - split);
        ASSERT_EQ(reg, whole) << split;
    }
    std::uint32_t byteWise = 0xFFFFFFFFu;
    for (auto b : data)
        byteWise = Crc32Byte(byteWise, b);
    EXPECT_EQ(byteWise, whole);
}

TEST(CheckValues, CarrylessCrc32AgreesWithTheTableOnEveryLengthAndAlignment) {
    if (!crc32_methods::HaveClmul()) GTEST_SKIP() << "no PCLMULQDQ on this processor";
    // Lengths 0 to 4096 from each of the 16 alignments a 16-byte load can meet; odd lengths
    // start from a register that is not the initial one, so that the XOR of the register into
    // the first block is covered.
    std::vector<std::uint8_t> data(4096 + 16);
    std::uint32_t x = 0x12345678u;
    for (auto& b : data) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    for (std::size_t start = 0; start < 16; ++start) {
        for (std::size_t n = 0; n <= 4096; ++n) {
            const std::uint8_t* p = data.data() + start;
            const std::uint32_t reg = n % 2 == 0 ? 0xFFFFFFFFu : 0x9E3779B9u;
            ASSERT_EQ(crc32_methods::Clmul(reg, p, n), crc32_methods::Table(reg, p, n))
                << "start " << start << " length " << n;
        }
    }
    // Long runs of one value (all zeros leaves the folding registers zero throughout) and the
    // public entry point on a large buffer.
    const std::vector<std::uint8_t> zeros(100000), ones(100000, 0xFF);
    for (const auto* v : {&zeros, &ones}) {
        EXPECT_EQ(crc32_methods::Clmul(0xFFFFFFFFu, v->data(), v->size()),
                  crc32_methods::Table(0xFFFFFFFFu, v->data(), v->size()));
        EXPECT_EQ(Crc32Update(0xFFFFFFFFu, v->data(), v->size()),
                  crc32_methods::Table(0xFFFFFFFFu, v->data(), v->size()));
    }
}

TEST(DateTime, DosValuesAndInvalidOnes) {
    // 1996-03-15 12:00:00: date (16 << 9 | 3 << 5 | 15), time (12 << 11).
    const std::uint32_t dos = (std::uint32_t{(16u << 9) | (3u << 5) | 15u} << 16) | (12u << 11);
    EXPECT_EQ(FormatDateTime(DosDateTimeToDateTime(dos)), "1996-03-15 12:00:00");
    EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(0), kDosEpoch);
    EXPECT_EQ(FormatDateTime(kDosEpoch), "1980-01-01 00:00:00");
    // Month 13, day 0, 30 February and hour 24 are not dates.
    EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(std::uint32_t{(16u << 9) | (13u << 5) | 1u} << 16),
                     kDosEpoch);
    EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(std::uint32_t{(16u << 9) | (3u << 5)} << 16), kDosEpoch);
    EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(std::uint32_t{(16u << 9) | (2u << 5) | 30u} << 16),
                     kDosEpoch);
    EXPECT_DOUBLE_EQ(
        DosDateTimeToDateTime((std::uint32_t{(16u << 9) | (3u << 5) | 1u} << 16) | (24u << 11)),
        kDosEpoch);
    // 29 February of a leap year is a date; ARC/ZOO order is the swapped one.
    const std::uint32_t leap =
        (std::uint32_t{(20u << 9) | (2u << 5) | 29u} << 16) | (23u << 11) | (59u << 5) | 29u;
    EXPECT_EQ(FormatDateTime(DosDateTimeToDateTime(leap)), "2000-02-29 23:59:58");
    EXPECT_EQ(SwapDosHalves(SwapDosHalves(leap)), leap);
}

TEST(CalcRatio, EdgesOfTheRule) {
    EXPECT_EQ(CalcRatio(0, 100), 0);
    EXPECT_EQ(CalcRatio(100, 0), 0);
    EXPECT_EQ(CalcRatio(100, 100), 0);
    EXPECT_EQ(CalcRatio(150, 100), 0);
    EXPECT_EQ(CalcRatio(50, 100), 50);
    EXPECT_EQ(CalcRatio(999, 1000), 1);  // rounds to 0, shown as 1
    // Over 100000 bytes saved: both are divided by 100 first.
    EXPECT_EQ(CalcRatio(1, 1000000), 100);  // the packed size divides down to 0
    EXPECT_EQ(CalcRatio(1048576 - 200000, 1048576), 19);
}

TEST(BitReaders, OrderOverrunAndConsumption) {
    // 0xA5 = 1010 0101, 0x3C = 0011 1100.
    for (std::size_t step : {std::size_t{1}, std::size_t{3}, std::size_t{64}}) {
        TrickleSource lsbSrc({0xA5, 0x3C, 0xFF, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}, step);
        LsbBitReader lsb(lsbSrc);
        EXPECT_EQ(lsb.Get(1), 1u);
        EXPECT_EQ(lsb.Get(3), 2u);     // bits 1..3 of 0xA5: 0,1,0
        EXPECT_EQ(lsb.Get(8), 0xCAu);  // high nibble of A5 then low nibble of 3C
        EXPECT_EQ(lsb.Consumed(), 1u);
        lsb.AlignToByte();
        EXPECT_EQ(lsb.Consumed(), 2u);
        std::uint8_t raw[3];
        ASSERT_EQ(lsb.ReadBytes(raw, 3), 3u);
        EXPECT_EQ(raw[0], 0xFF);
        EXPECT_EQ(raw[2], 0x12);
        EXPECT_EQ(lsb.Get(16), 0x5634u);
        EXPECT_FALSE(lsb.Overrun());
        EXPECT_EQ(lsb.Get(16), 0x9A78u);
        EXPECT_EQ(lsb.Get(8), 0xBCu);
        EXPECT_FALSE(lsb.Overrun());
        EXPECT_EQ(lsb.Get(1), 0u);  // past the end: zero bits, remembered
        EXPECT_TRUE(lsb.Overrun());
        EXPECT_EQ(lsb.Consumed(), 10u);

        TrickleSource msbSrc({0xA5, 0x3C, 0x01}, step);
        MsbBitReader msb(msbSrc);
        EXPECT_EQ(msb.Get(1), 1u);
        EXPECT_EQ(msb.Get(3), 2u);  // 010
        EXPECT_EQ(msb.Get(8), 0x53u);
        EXPECT_EQ(msb.Get(12), 0xC01u);
        EXPECT_FALSE(msb.Overrun());
        EXPECT_EQ(msb.Get(9), 0u);
        EXPECT_TRUE(msb.Overrun());
    }
}

TEST(MessageTable, TextsAndTypeNames) {
    EXPECT_EQ(ErrorText(errNothingToDo), "Nothing to do");
    EXPECT_EQ(ErrorText(errInvalidCode), "Invalid code incountered");
    EXPECT_EQ(ErrorText(12345), "");
    EXPECT_EQ(ArcTypeName(TArcType::atZipExe), "atZipExe");
    EXPECT_EQ(ArcTypeText(TArcType::atBHExe), "BH  SFX");
    EXPECT_EQ(static_cast<int>(TArcType::atZOO), 26);
    E_RAISE e(errCRC);
    EXPECT_STREQ(e.what(), "File fails CRC check");
    EXPECT_EQ(e.Code(), errCRC);
}
