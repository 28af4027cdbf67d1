// The ARC extractor: writes the members of an ARC archive (plain or self-extracting, and PAK
// archives whose members use ARC's methods) that match FileSpec, with ARC's nine methods.
#pragma once

#include <cstdint>

#include "ArcMain.h"

namespace orvello::archive {

struct ArcHeader;

class TUnARC : public TUnBase {
  public:
    TUnARC() = default;

    // The number of members written in the current (or last) Extract call; OnBegin gets the
    // number written before the member it asks about.
    std::int32_t RecNum() const { return written_; }

    // Bytes that may stand before a header's 0x1A marker and are skipped.
    static constexpr int kMaxStrayBytes = 10;

  protected:
    void DoExtract() override;

  private:
    // The n-th member of the archive (from 1).
    void ProcessMember(ArcFile& file, const ArcHeader& h, int n);

    std::int32_t written_ = 0;
};

}  // namespace orvello::archive
