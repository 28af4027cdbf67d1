// Drives one member's decoder: stops at the recorded size, folds the check value, reports
// progress and keeps the first failure. Every format's extractor goes through it, so the
// decoders themselves only produce bytes.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "Decoder.h"

namespace orvello::archive {

// Where a member's bytes go (a file, or memory in tests).
class OutputSink {
  public:
    virtual ~OutputSink() = default;
    // False when not every byte could be written.
    virtual bool Write(const std::uint8_t* data, std::size_t n) = 0;
};

enum class CheckKind { kCrc32, kCrc16 };

struct MemberSpec {
    std::uint64_t size = 0;        // uncompressed size recorded in the archive
    std::uint64_t packedSize = 0;  // stored data size that progress is measured against
    bool stored = false;           // no compression: every change of progress is reported
    unsigned step = 10;            // progress step in percent
    CheckKind check = CheckKind::kCrc32;
    int excessCode = 0;  // the error when the data yields more than `size` bytes
    // When set (from any thread), the member stops before its next block with errCancelled.
    const std::atomic<bool>* cancel = nullptr;
};

class MemberReader {
  public:
    using Progress = std::function<void(std::uint8_t percent)>;

    static constexpr std::size_t kBufferSize = 32768;
    // Stored data is read in blocks of this size straight into the buffer it is checked and
    // written from. Larger blocks would save system calls, but the progress of a stored member
    // is defined per 32768 bytes read: with a larger block a slow read would hold back the
    // progress of the chunks before it (the window's progress dialog shows exactly that).
    static constexpr std::size_t kStoredBlock = kBufferSize;

    MemberReader(Decoder& decoder, const MemberSpec& spec, Progress progress = {});

    // Decodes the whole member into `sink`. Returns the first failure, or kOk. Never writes
    // more than the recorded size: a decoder that offers more makes the member damaged
    // (spec.excessCode) and the surplus is dropped; one that ends early is an unexpected end
    // of the data. A sink that refuses bytes is a write error. A cancel request stops it
    // before the next block is decoded and written (errCancelled).
    int Run(OutputSink& sink);

    // The finished check value: CRC-32 inverted as ZIP stores it, or the CRC-16 register.
    std::uint32_t Check() const;
    std::uint64_t Written() const { return written_; }
    int Error() const { return error_; }
    // Whether the data offered more bytes than the recorded size.
    bool Excess() const { return excess_; }
    // Whether the file written is not the member whatever its check value says: the data gave
    // more or fewer bytes than the recorded size, or not every byte could be written. Such a
    // member is always reported (its Error()), since a matching check value would hide it.
    bool Damaged() const;

  private:
    void Fail(int code) {
        if (error_ == kOk) error_ = code;
    }
    void ReportProgress(std::uint64_t consumed);
    // Whether a cancel was asked; if so the member fails with errCancelled.
    bool Cancelled();

    Decoder& decoder_;
    MemberSpec spec_;
    Progress progress_;
    std::size_t bufSize_;
    std::unique_ptr<std::uint8_t[]> buf_;
    std::uint32_t crc32_ = 0xFFFFFFFFu;
    std::uint16_t crc16_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t lastConsumed_ = 0;
    unsigned lastPercent_ = 0;
    int error_ = kOk;
    bool excess_ = false;
};

}  // namespace orvello::archive
