// The ZOO extractor: follows the archive's chain of directory entries and writes the members
// that match FileSpec. Methods 0 (stored), 1 (LZW) and 2 (the static-Huffman block decoder).
//
// Each member is written as ExtractDir followed by the file-name part of the name the lister
// shows (the long name where the entry has one), so the member a user picked is the file that
// appears. No folders are created; FileName is not changed, the events get that output path,
// and RecNum is 0 for every member. Deleted entries still in the chain are extracted too.
#pragma once

#include <cstdint>

#include "ArcMain.h"

namespace orvello::archive {

struct ZooEntry;

class TUnZOO : public TUnBase {
  public:
    TUnZOO() = default;

  protected:
    // Errors outside a member's own work (no archive name, wrong type, archive not opened, a
    // short archive header, a broken chain) are reported and then raised to the caller.
    void DoExtract() override;

  private:
    void ProcessEntry(ArcFile& file, const ZooEntry& e);

    std::int64_t dataEnd_ = 0;  // where the data of the last member written ends
};

}  // namespace orvello::archive
