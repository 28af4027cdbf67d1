// What the launch needs of the archive components that hold the user's choice: the type of
// the archive chosen, the extractor that has been given it, and the member chosen in it.
// Plain C++ on top of the archive library, so that an implementation needs no Qt.
#pragma once

#include <string>

#include "archive/ArcMain.h"

namespace orvello {

class LaunchArchives {
  public:
    virtual ~LaunchArchives() = default;
    // The lister's type for the archive last selected in the file list.
    virtual archive::TArcType ArchiveType() const = 0;
    // The extractor that has been given that archive, for its type; nullptr when no
    // extractor exists for the type.
    virtual archive::TUnBase* ExtractorFor(archive::TArcType type) = 0;
    // The chosen member's name as the lister gave it (UTF-8, folders included).
    virtual std::string ChosenMemberRawName() const = 0;
};

}  // namespace orvello
