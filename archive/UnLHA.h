// The LHA extractor: writes the members of an LHA (LZH) archive, plain or self-extracting,
// that match FileSpec. Header levels 0 to 3; methods -lh0- (stored), -lh1- (adaptive Huffman)
// and -lh4- to -lh7- (the static-Huffman block decoder). Folder entries (-lhd-) are stepped
// over; folders come only from the stored name itself (the folder of an extended header is
// listed, and checked, but not written).
#pragma once

#include <cstdint>

#include "ArcMain.h"

namespace orvello::archive {

struct LhaHeader;

class TUnLHA : public TUnBase {
  public:
    TUnLHA() = default;

    // During OnBegin: the number of members written so far in this call, plus 1.
    std::int32_t RecNum() const { return written_ + 1; }

  protected:
    // Archive-level errors (no archive name, wrong type, archive not opened) are reported and
    // then raised to the caller; everything that happens to one member stays inside.
    void DoExtract() override;

  private:
    // The n-th member of the archive (from 1).
    void ProcessMember(ArcFile& file, const LhaHeader& m, int n);

    std::int32_t written_ = 0;  // members decoded without failure in this call
};

}  // namespace orvello::archive
