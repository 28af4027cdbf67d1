#include "MemberReader.h"

#include <algorithm>

#include "ArcGlobals.h"
#include "ArcTypes.h"

namespace orvello::archive {

MemberReader::MemberReader(Decoder& decoder, const MemberSpec& spec, Progress progress)
    : decoder_(decoder),
      spec_(spec),
      progress_(std::move(progress)),
      // A stored member's buffer is only as large as the member needs (plus the byte that
      // shows a surplus), so that thousands of small members do not each pay for a big one.
      bufSize_(spec.stored ? static_cast<std::size_t>(std::clamp<std::uint64_t>(
                                 spec.size + 1, kBufferSize, kStoredBlock))
                           : kBufferSize),
      buf_(std::make_unique_for_overwrite<std::uint8_t[]>(bufSize_)) {
    if (spec_.step == 0) spec_.step = 10;
}

int MemberReader::Run(OutputSink& sink) {
    for (;;) {
        if (Cancelled()) return error_;
        const std::uint64_t remaining = spec_.size - written_;
        // One byte more than the member may still produce, so that a surplus shows.
        const std::size_t ask =
            static_cast<std::size_t>(std::min<std::uint64_t>(bufSize_, remaining + 1));
        const std::uint64_t consumedBefore = decoder_.Consumed();
        std::size_t produced = 0;
        const std::uint8_t* data = nullptr;
        const int r = decoder_.ReadView(data, buf_.get(), ask, produced);
        produced = std::min(produced, ask);  // a decoder that overfills is held to what was asked
        // The block goes to the sink in one write. Its check, progress and cancel requests are
        // then taken in chunks of kBufferSize, so that a large stored block behaves as that
        // many reads of one chunk would: the same progress, a cancel seen between chunks. (A
        // write that fails is taken as failing in the first chunk; a cancelled member's file
        // is removed whatever it holds.)
        const std::size_t keepAll =
            static_cast<std::size_t>(std::min<std::uint64_t>(produced, remaining));
        const bool writeFailed = keepAll != 0 && !sink.Write(data, keepAll);
        std::size_t at = 0;
        do {
            const std::size_t chunkEnd = std::min(produced, at + kBufferSize);
            const std::size_t keepEnd =
                static_cast<std::size_t>(std::min<std::uint64_t>(chunkEnd, remaining));
            if (chunkEnd > keepEnd) {
                if (error_ == kOk) excess_ = true;
                Fail(spec_.excessCode != 0 ? spec_.excessCode : errBadBlock);
            }
            if (keepEnd > at) {
                const std::uint8_t* chunk = data + at;
                const std::size_t keep = keepEnd - at;
                if (spec_.check == CheckKind::kCrc32) {
                    crc32_ = Crc32Update(crc32_, chunk, keep);
                } else {
                    crc16_ = Crc16Update(crc16_, chunk, keep);
                }
                written_ += keep;
                if (writeFailed) Fail(errWriteFile);
            }
            const bool last = chunkEnd == produced;
            ReportProgress(last ? decoder_.Consumed() : consumedBefore + chunkEnd);
            if (last) break;
            if (error_ != kOk || Cancelled()) return error_;
            at = chunkEnd;
        } while (true);
        if (r != kOk) Fail(r);
        if (error_ != kOk) return error_;
        if (produced == 0) break;
    }
    if (written_ < spec_.size) Fail(errReadFile);
    return error_;
}

bool MemberReader::Cancelled() {
    if (spec_.cancel == nullptr || !spec_.cancel->load(std::memory_order_relaxed)) return false;
    Fail(errCancelled);
    return true;
}

bool MemberReader::Damaged() const {
    return excess_ || error_ == errWriteFile || error_ == errReadFile;
}

std::uint32_t MemberReader::Check() const {
    return spec_.check == CheckKind::kCrc32 ? ~crc32_ : crc16_;
}

void MemberReader::ReportProgress(std::uint64_t consumed) {
    const std::uint64_t total = spec_.packedSize;
    if (total == 0 || !progress_) return;
    consumed = std::min(consumed, total);
    if (consumed <= lastConsumed_) return;
    const auto percent = static_cast<unsigned>(consumed * 100 / total);
    if (spec_.stored) {
        // Stored data is measured after each buffer: every change is reported.
        if (percent != lastPercent_) progress_(static_cast<std::uint8_t>(percent));
    } else {
        // The percentage is defined byte by byte. Between the last report and now it took
        // every value floor(k * 100 / total) for the bytes k taken since; report each multiple
        // of the step among them, in order.
        const unsigned step = spec_.step;
        for (unsigned m = (lastPercent_ / step + 1) * step; m <= percent; m += step) {
            const std::uint64_t k = (std::uint64_t{m} * total + 99) / 100;  // first byte reaching m
            if (k > lastConsumed_ && k <= consumed && k * 100 / total == m)
                progress_(static_cast<std::uint8_t>(m));
        }
    }
    lastPercent_ = percent;
    lastConsumed_ = consumed;
}

}  // namespace orvello::archive
