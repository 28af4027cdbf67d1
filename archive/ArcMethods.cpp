#include "ArcMethods.h"

#include <algorithm>
#include <vector>

#include "ArcGlobals.h"
#include "ArcRle.h"
#include "ArcTypes.h"
#include "ByteOrder.h"
#include "Lzw.h"
#include "StoredDecoder.h"
#include "Uncrunch.h"
#include "Unsqueeze.h"

namespace orvello::archive {

namespace {

// Method 8 is Unix compress's LZW with its header byte kept: the largest code width, which
// must be 12.
class CrunchDecoder final : public Decoder {
  public:
    explicit CrunchDecoder(InputSource& src) : src_(src) {}
    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override {
        produced = 0;
        if (!lzw_) {
            std::uint8_t bits = 0;
            if (src_.Read(&bits, 1) != 1) return errReadFile;
            if (bits != kBits) return errIncorrectBits;
            lzw_ = std::make_unique<LzwDecoder>(src_, LzwDecoder::kArcCrunch);
        }
        return lzw_->Read(out, capacity, produced);
    }
    std::uint64_t Consumed() const override { return lzw_ ? 1 + lzw_->Consumed() : 0; }

  private:
    static constexpr std::uint8_t kBits = 12;
    InputSource& src_;
    std::unique_ptr<LzwDecoder> lzw_;
};

}  // namespace

std::unique_ptr<Decoder> MakeArcDecoder(unsigned method, std::uint64_t size, InputSource& src) {
    switch (method) {
        case 1:
        case 2:
            return std::make_unique<StoredDecoder>(src);
        case 3:
            return std::make_unique<ArcRleDecoder>(std::make_unique<StoredDecoder>(src));
        case 4:
            // Streams written without the end code stop at the recorded size.
            return std::make_unique<ArcRleDecoder>(std::make_unique<UnsqueezeDecoder>(src), size);
        case 5:
            return std::make_unique<UncrunchDecoder>(src, UncrunchDecoder::Hash::kOld);
        case 6:
            return std::make_unique<ArcRleDecoder>(
                std::make_unique<UncrunchDecoder>(src, UncrunchDecoder::Hash::kOld));
        case 7:
            return std::make_unique<ArcRleDecoder>(
                std::make_unique<UncrunchDecoder>(src, UncrunchDecoder::Hash::kNew));
        case 8:
            return std::make_unique<ArcRleDecoder>(std::make_unique<CrunchDecoder>(src));
        case 9:
            return std::make_unique<LzwDecoder>(src, LzwDecoder::kArcSquash);
        default:
            return nullptr;
    }
}

HeaderRead<ArcHeader> ReadArcHeader(ArcFile& file, std::int64_t at, int strayBytes,
                                    const NameDecoder& names) {
    using Read = HeaderRead<ArcHeader>;
    constexpr std::size_t kHeaderLength = 29, kOldHeaderLength = 25;
    constexpr std::uint8_t kMarker = 0x1A;
    if (at >= file.Size()) return Read::End();  // no header after the last data
    std::vector<std::uint8_t> probe(static_cast<std::size_t>(strayBytes) + 1);
    probe.resize(file.ReadAt(at, probe.data(), probe.size()));
    const auto marker = std::find(probe.begin(), probe.end(), kMarker);
    if (marker == probe.end()) return Read::Damaged(errArchiveType);
    at += marker - probe.begin();
    std::uint8_t h[kHeaderLength];
    const std::size_t got = file.ReadAt(at, h, sizeof h);
    if (got < 2) return Read::Damaged(errDamagedArchive);
    Read r;
    ArcHeader& m = r.header;
    m.start = at;
    m.method = h[1];
    if (m.method == 0) return Read::End();
    const std::size_t length = m.method == 1 ? kOldHeaderLength : kHeaderLength;
    if (got < length) return Read::Damaged(errDamagedArchive);
    const char* name = reinterpret_cast<const char*>(h + 2);
    m.name = names(
        std::string_view(name, static_cast<std::size_t>(std::find(name, name + 13, '\0') - name)));
    m.packed = Le32(h + 15);
    m.dosDateTime = SwapDosHalves(Le32(h + 19));
    m.crc = Le16(h + 23);
    m.size = m.method == 1 ? m.packed : Le32(h + 25);
    m.data = at + static_cast<std::int64_t>(length);
    m.next = m.data + static_cast<std::int64_t>(m.packed);
    r.status = HeaderStatus::kHeader;
    if (m.next > file.Size()) {
        r.status = HeaderStatus::kDamaged;
        r.error = errDamagedArchive;
        r.named = m.name;
        r.headerWhole = true;
    }
    return r;
}

}  // namespace orvello::archive
