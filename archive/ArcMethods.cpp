#include "ArcMethods.h"

#include "ArcRle.h"
#include "ArcTypes.h"
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

}  // namespace orvello::archive
