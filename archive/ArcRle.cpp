#include "ArcRle.h"

#include <algorithm>
#include <cstring>

namespace orvello::archive {

ArcRleDecoder::ArcRleDecoder(std::unique_ptr<Decoder> inner, std::uint64_t limit)
    : inner_(std::move(inner)),
      buf_(std::make_unique_for_overwrite<std::uint8_t[]>(kBufferSize)),
      left_(limit) {}

int ArcRleDecoder::Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) {
    produced = 0;
    std::size_t room = static_cast<std::size_t>(std::min<std::uint64_t>(capacity, left_));
    std::uint8_t* o = out;
    while (room != 0) {
        if (repeat_ != 0) {
            const std::size_t n = std::min(repeat_, room);
            std::memset(o, last_, n);
            o += n;
            room -= n;
            repeat_ -= n;
            continue;
        }
        if (pos_ == end_) {
            if (ended_ || error_ != kOk) break;
            std::size_t got = 0;
            error_ = inner_->Read(buf_.get(), kBufferSize, got);
            pos_ = 0;
            end_ = std::min(got, kBufferSize);
            if (end_ == 0) {
                ended_ = true;
                break;
            }
        }
        if (marker_) {
            marker_ = false;
            const std::uint8_t n = buf_[pos_++];
            if (n == 0) {
                *o++ = kMarker;
                --room;
            } else {
                repeat_ = n - 1u;
            }
            continue;
        }
        // Plain bytes up to the next marker go out in one stretch.
        const std::uint8_t* src = buf_.get() + pos_;
        const std::size_t avail = std::min(end_ - pos_, room);
        const void* hit = std::memchr(src, kMarker, avail);
        const std::size_t plain =
            hit ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - src) : avail;
        if (plain != 0) {
            std::memcpy(o, src, plain);
            last_ = src[plain - 1];
            o += plain;
            room -= plain;
            pos_ += plain;
        }
        if (hit) {
            ++pos_;
            marker_ = true;
        }
    }
    produced = static_cast<std::size_t>(o - out);
    left_ -= produced;
    // Nothing came out: the stream has ended, at the limit or with the inner stage's result.
    return produced == 0 && left_ != 0 && capacity != 0 ? error_ : kOk;
}

}  // namespace orvello::archive
