// A member's stored data as a byte source: a range of the archive file.
#pragma once

#include <algorithm>
#include <cstdint>

#include "ArcFile.h"
#include "Decoder.h"

namespace orvello::archive {

// Reads `length` bytes from `offset` on. A range running past the end of the file (a truncated
// or damaged archive, or a size that lies) simply ends there.
class FileRangeSource final : public InputSource {
  public:
    FileRangeSource(ArcFile& file, std::int64_t offset, std::uint64_t length)
        : file_(file), offset_(offset), left_(length) {}
    std::size_t Read(std::uint8_t* buf, std::size_t n) override {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(n, left_));
        const std::size_t got = want == 0 ? 0 : file_.ReadAt(offset_, buf, want);
        offset_ += static_cast<std::int64_t>(got);
        left_ = got < want ? 0 : left_ - got;
        return got;
    }

  private:
    ArcFile& file_;
    std::int64_t offset_;
    std::uint64_t left_;
};

}  // namespace orvello::archive
