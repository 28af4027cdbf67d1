// The lister: walks an archive's headers and reports every member whose name matches
// FileSpec through OnRead, without extracting anything.
#pragma once

#include <cstdint>

#include "ArcMain.h"

namespace orvello::archive {

namespace detail {
class ListWalk;
}

class TArcLister : public TZipCommon {
  public:
    TArcLister() = default;

    // Lists the archive: for each matching member the member state is filled and
    // OnReadBegin, OnRead and OnReadEnd fire; then OnTotals. False when an error ended the
    // walk (it has been reported through OnError; nothing is raised). True without doing
    // anything when ArchiveFile is empty, or while the component is loading.
    bool Activate();

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnReadBegin;
    TNotifyEvent OnReadEnd;
    // Offset: the 0-based file offset of the member's header; Filenum: FileCount after
    // counting this member.
    TOnRead OnRead;
    TOnTotals OnTotals;

    // The walk state, valid inside the events of Activate.
    std::int32_t FileCount() const { return fileCount_; }
    std::int64_t TotalPacked() const { return totalPacked_; }
    std::int64_t TotalUnpacked() const { return totalUnpacked_; }
    // 0-based file offset of the header being processed.
    std::int64_t CurrentHeader() const { return currentHeader_; }

  private:
    friend class detail::ListWalk;
    void ResetWalkState();
    void ClearMember();

    std::int32_t fileCount_ = 0;
    std::int64_t totalPacked_ = 0;
    std::int64_t totalUnpacked_ = 0;
    std::int64_t currentHeader_ = 0;
};

}  // namespace orvello::archive
