// The lister's walk over an archive's headers, shared by the per-format walkers (internal).
//
// The walk reads a fixed-length header at the current position, hands it to the format's
// walker, which fills the member state, reports the member and moves the position to the
// next header (or to the end, which ends the walk). Every read goes through the walk and is
// bounded by the file: a damaged header yields short reads, never reads outside. A walker
// that does not move the position forward ends the walk, so no header is read twice.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ArcFile.h"
#include "ArcLister.h"
#include "ByteOrder.h"
#include "NameCodec.h"

namespace orvello::archive::detail {

class ListWalk {
  public:
    ListWalk(TArcLister& lister, std::unique_ptr<ArcFile> file);

    TArcLister& L;              // the component: member state and events
    std::int64_t position;      // where the next header is read (0-based)
    std::int64_t end;           // size of the current file
    std::uint32_t volumes = 0;  // how often the walk moved to another file

    ArcFile& File() { return *file_; }
    // 0-based offset of the header being processed.
    std::int64_t HeaderStart() const { return L.currentHeader_; }
    // 0-based offset of the archive's data in the file.
    std::int64_t DataStart() const { return L.dataStart_; }

    std::size_t Read(std::int64_t at, std::uint8_t* buf, std::size_t n) {
        return file_->ReadAt(at, buf, n);
    }
    bool ReadExact(std::int64_t at, std::uint8_t* buf, std::size_t n) {
        return file_->ReadExact(at, buf, n);
    }
    // Up to n bytes at `at` (fewer at the end of the file).
    std::string ReadText(std::int64_t at, std::int64_t n);
    // The bytes at `at` up to the first zero byte, examining at most `max` bytes; `consumed`
    // gets the bytes taken including the zero (all examined bytes when none was found).
    std::string ReadZeroTerminated(std::int64_t at, std::size_t max,
                                   std::int64_t* consumed = nullptr);

    // Counts and reports the member in the member state when its name matches FileSpec.
    void Report();
    // Counts a record that is not reported (the archive header of ZOO).
    void CountUnreported() { ++L.fileCount_; }
    // Ends the walk.
    void Stop() { position = end; }
    // Reports an error for the archive (or the given file) and raises it.
    [[noreturn]] void Fail(int code, const std::string& fn = std::string(),
                           const std::string& volumeId = "0");

    // Continues the walk in another file (the next volume of a multi-volume archive). The
    // previous file is closed; a failing close is error 25115.
    void SwitchTo(std::unique_ptr<ArcFile> next, const std::string& previousName);

    // Closes the current file at the end of the walk.
    void Close() { file_->Close(); }

    // The name decoder of this listing for a format's character sets, in the encoding the
    // component was given: one for the whole walk.
    const NameDecoder& Names(NameCoding format);

  private:
    std::unique_ptr<ArcFile> file_;
    std::unique_ptr<NameDecoder> names_;
    NameCoding namesFormat_ = NameCoding::kDos;
};

// One archive format's header walk.
class FormatWalker {
  public:
    virtual ~FormatWalker() = default;
    // H: the bytes read for every header.
    virtual std::size_t HeaderLength() const = 0;
    // Reads what comes before the first header and sets the walk's position to it.
    virtual void Prepare(ListWalk& walk) = 0;
    // Processes the H bytes read at walk.HeaderStart(): reports the member and moves the
    // position to the next header, or ends the walk.
    virtual void Process(ListWalk& walk, const std::uint8_t* header) = 0;
};

// The walker for a detected type; nullptr for types the lister cannot walk.
std::unique_ptr<FormatWalker> MakeWalker(TArcType type);

std::unique_ptr<FormatWalker> MakeZipWalker();
std::unique_ptr<FormatWalker> MakeArjWalker();
std::unique_ptr<FormatWalker> MakeArcWalker(bool pakNames);
std::unique_ptr<FormatWalker> MakeLhaWalker();
std::unique_ptr<FormatWalker> MakeZooWalker();
std::unique_ptr<FormatWalker> MakeTarWalker();
std::unique_ptr<FormatWalker> MakeRarWalker();
std::unique_ptr<FormatWalker> MakeBhWalker();
std::unique_ptr<FormatWalker> MakeCabWalker();
std::unique_ptr<FormatWalker> MakeGzipWalker();
std::unique_ptr<FormatWalker> MakeHaWalker();

// A folder and a name joined with one "/" between them.
std::string JoinFolder(const std::string& folder, const std::string& name);

}  // namespace orvello::archive::detail
