// The member reader: recorded size, check values, progress and failures; and the
// traditional decryption on members real archivers encrypted.
#include <gtest/gtest.h>
#include <zlib.h>

#include "DecoderTestUtil.h"
#include "RawZip.h"
#include "archive/ArcGlobals.h"
#include "archive/ArcTypes.h"
#include "archive/Inflat.h"
#include "archive/MemberReader.h"
#include "archive/StoredDecoder.h"
#include "archive/ZipMethods.h"
#include "archive/crypt.h"

using namespace orvello::archive;
using namespace orvello::archive::testing;

namespace {

struct VectorSink final : OutputSink {
    Bytes bytes;
    std::size_t refuseAfter = SIZE_MAX;
    bool Write(const std::uint8_t* d, std::size_t n) override {
        if (bytes.size() + n > refuseAfter) return false;
        bytes.insert(bytes.end(), d, d + n);
        return true;
    }
};

// A decoder that produces a fixed pattern and claims input in uneven jumps, for the progress
// rule.
class JumpyDecoder final : public Decoder {
  public:
    JumpyDecoder(std::uint64_t packed, std::uint64_t size, unsigned seed)
        : packed_(packed), size_(size), rng_(seed) {}
    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override {
        produced = static_cast<std::size_t>(
            std::min<std::uint64_t>({capacity, size_ - made_, 1 + rng_() % 5000}));
        for (std::size_t i = 0; i < produced; ++i)
            out[i] = static_cast<std::uint8_t>(made_ + i);
        made_ += produced;
        consumed_ =
            made_ == size_ ? packed_ : std::min(packed_, consumed_ + rng_() % (packed_ / 7 + 2));
        return kOk;
    }
    std::uint64_t Consumed() const override { return consumed_; }

  private:
    std::uint64_t packed_, size_;
    std::uint64_t made_ = 0, consumed_ = 0;
    std::mt19937 rng_;
};

// What a report after every single input byte would have given.
std::vector<int> ByteByByteProgress(std::uint64_t packed, unsigned step, bool stored) {
    std::vector<int> fired;
    unsigned last = 0;
    for (std::uint64_t k = 1; k <= packed; ++k) {
        const auto p = static_cast<unsigned>(k * 100 / packed);
        if (p != last && (stored || p % step == 0)) fired.push_back(static_cast<int>(p));
        last = p;
    }
    return fired;
}

Bytes Deflate(const Bytes& data) {
    uLongf n = compressBound(static_cast<uLong>(data.size())) + 16;
    Bytes z(n);
    z_stream s{};
    deflateInit2(&s, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    s.next_in = const_cast<Bytef*>(data.data());
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = z.data();
    s.avail_out = static_cast<uInt>(z.size());
    deflate(&s, Z_FINISH);
    z.resize(s.total_out);
    deflateEnd(&s);
    return z;
}

}  // namespace

TEST(MemberReader, StopsAtTheRecordedSizeAndNeverWritesMore) {
    const Bytes data = MakeData("text", 100000);
    const Bytes stream = Deflate(data);
    // Recorded size one short: the member is damaged, and exactly the recorded bytes are written.
    for (std::uint64_t recorded : {std::uint64_t{99999}, std::uint64_t{0}, std::uint64_t{32768}}) {
        TrickleSource src(stream, 1000);
        InflateDecoder dec(src);
        MemberSpec spec;
        spec.size = recorded;
        spec.packedSize = stream.size();
        spec.excessCode = errBadBlock;
        MemberReader r(dec, spec);
        VectorSink sink;
        EXPECT_EQ(r.Run(sink), errBadBlock) << recorded;
        EXPECT_EQ(sink.bytes.size(), recorded);
        EXPECT_TRUE(std::equal(sink.bytes.begin(), sink.bytes.end(), data.begin()));
    }
    // Exactly right: no error, check value of the data.
    {
        TrickleSource src(stream, 7);
        InflateDecoder dec(src);
        MemberReader r(dec,
                       {data.size(), stream.size(), false, 10, CheckKind::kCrc32, errBadBlock});
        VectorSink sink;
        EXPECT_EQ(r.Run(sink), kOk);
        EXPECT_EQ(r.Check(), Crc32(data));
        EXPECT_TRUE(sink.bytes == data);
    }
    // Stored data longer than recorded and shorter than recorded.
    {
        TrickleSource src(data, 4096);
        StoredDecoder dec(src);
        MemberReader r(dec, {5000, data.size(), true, 10, CheckKind::kCrc32, errBadBlock});
        VectorSink sink;
        EXPECT_EQ(r.Run(sink), errBadBlock);
        EXPECT_EQ(sink.bytes.size(), 5000u);
    }
    {
        TrickleSource src(Bytes(data.begin(), data.begin() + 300), 4096);
        StoredDecoder dec(src);
        MemberReader r(dec, {5000, 5000, true, 10, CheckKind::kCrc32, errBadBlock});
        VectorSink sink;
        EXPECT_EQ(r.Run(sink), errReadFile);
        EXPECT_EQ(sink.bytes.size(), 300u);
    }
}

TEST(MemberReader, WriteFailureAndCrc16) {
    const Bytes data = MakeData("rom", 70000);
    {
        TrickleSource src(data, 65536);
        StoredDecoder dec(src);
        MemberReader r(dec, {data.size(), data.size(), true, 10, CheckKind::kCrc32, errBadBlock});
        VectorSink sink;
        sink.refuseAfter = 40000;
        EXPECT_EQ(r.Run(sink), errWriteFile);
    }
    {
        TrickleSource src(data, 333);
        StoredDecoder dec(src);
        MemberReader r(dec, {data.size(), data.size(), true, 10, CheckKind::kCrc16, errBadBlock});
        VectorSink sink;
        EXPECT_EQ(r.Run(sink), kOk);
        EXPECT_EQ(r.Check(), Crc16Update(0, data.data(), data.size()));
    }
}

TEST(MemberReader, ProgressIsWhatAReportAfterEveryInputByteWouldGive) {
    struct Case {
        std::uint64_t packed;
        unsigned step;
        bool stored;
    };
    // Sizes below 100 make the percentage jump over values; uneven decoder steps jump over
    // several multiples of the step at once.
    const Case cases[] = {{100000, 10, false}, {37, 5, false},  {3, 25, false},
                          {250000, 15, false}, {99, 20, false}, {7, 10, true},
                          {60000, 10, true},   {1, 5, false}};
    unsigned seed = 1;
    for (const auto& c : cases) {
        JumpyDecoder dec(c.packed, 200000, seed++);
        std::vector<int> fired;
        MemberReader r(dec, {200000, c.packed, c.stored, c.step, CheckKind::kCrc32, errBadBlock},
                       [&](std::uint8_t p) { fired.push_back(p); });
        VectorSink sink;
        ASSERT_EQ(r.Run(sink), kOk);
        if (c.stored) {
            // Stored members report every change seen after a buffer; all are increasing and
            // end at 100.
            ASSERT_FALSE(fired.empty());
            EXPECT_TRUE(std::is_sorted(fired.begin(), fired.end()));
            EXPECT_EQ(fired.back(), 100);
            EXPECT_EQ(std::adjacent_find(fired.begin(), fired.end()), fired.end());
        } else {
            EXPECT_EQ(fired, ByteByByteProgress(c.packed, c.step, false))
                << c.packed << " step " << c.step;
        }
    }
    // A stored size of 0 reports nothing.
    JumpyDecoder dec(0, 10, 1);
    int calls = 0;
    MemberReader r(dec, {10, 0, false, 10, CheckKind::kCrc32, errBadBlock},
                   [&](std::uint8_t) { ++calls; });
    VectorSink sink;
    r.Run(sink);
    EXPECT_EQ(calls, 0);
}

TEST(ZipCrypt, FixtureMembersOpenWithTheirPasswordOnly) {
    struct Case {
        const char* archive;
        const char* password;
    };
    for (const auto& c : {Case{"zip/CRYPT.ZIP", "secret"}, Case{"zip/CRYPTDD.ZIP", "dd1997"},
                          Case{"zip/CRYPTSHR.ZIP", "shrunk"}}) {
        const auto members = ReadRawMembers(FixturePath(c.archive));
        ASSERT_FALSE(members.empty());
        for (const auto& m : members) {
            ASSERT_GE(m.data.size(), 12u);
            std::uint8_t header[12];
            std::copy_n(m.data.begin(), 12, header);
            const std::uint8_t check = PasswordCheckByte(m.localFlags, m.localTime, m.localCrc);
            ZipKeys keys;
            EXPECT_FALSE(TryPassword("", header, check, keys));
            EXPECT_FALSE(TryPassword("Secret", header, check, keys)) << m.name;
            ASSERT_TRUE(TryPassword(c.password, header, check, keys)) << c.archive << " " << m.name;
            TrickleSource raw(Bytes(m.data.begin() + 12, m.data.end()), 1000);
            DecryptingSource src(raw, keys);
            auto dec = MakeZipDecoder(m.method, m.flags, m.size, src);
            ASSERT_NE(dec, nullptr);
            MemberReader r(*dec, {m.size, m.data.size() - 12, m.method == 0, 10, CheckKind::kCrc32,
                                  errBadBlock});
            VectorSink sink;
            EXPECT_EQ(r.Run(sink), kOk) << m.name;
            EXPECT_EQ(r.Check(), m.crc) << c.archive << " " << m.name;
        }
    }
    // With a data descriptor the check byte is the high byte of the time, not of the CRC.
    EXPECT_EQ(PasswordCheckByte(8, 0xABCD, 0x12345678), 0xAB);
    EXPECT_EQ(PasswordCheckByte(0, 0xABCD, 0x12345678), 0x12);
}
