// The ARJ extractor: writes the members of an ARJ archive (plain, self-extracting, or split
// into volumes) that match FileSpec, with ARJ's methods 0 to 4.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ArcMain.h"
#include "ArjFormat.h"

namespace orvello::archive {

class TUnARJ : public TUnBase {
  public:
    TUnARJ() = default;

    // The number of members written in the current (or last) Extract call; OnBegin gets the
    // number written before the member it asks about.
    std::int32_t RecNum() const { return written_; }

    // How far the main header is looked for: from the start of a plain archive, or from the
    // end of a self-extractor's program.
    static constexpr std::int64_t kSearchLimit = 25000;

  protected:
    void DoExtract() override;

  private:
    using Header = ArjHeader;
    struct Part;
    class PartsDecoder;

    // Where the walk is: the volume being read and the position in it.
    struct Place {
        ArcFile* file = nullptr;
        std::string name;
        int volume = 0;
        std::int64_t pos = 0;
    };

    std::int64_t FindMainHeader(ArcFile& file);
    // Reads the header at place.pos; false at the end of the archive. Damage raises its code
    // (25138 for a main header of the first volume without an id), under the member's name
    // when it was read.
    bool ReadHeader(const Place& place, bool main, Header& h);
    // The parts of a member that continues into further volumes; moves `place` to the last of
    // them, after its data.
    std::vector<Part> FollowVolumes(Place& place, const Header& first);
    void OpenNextVolume(Place& place);
    // Returns false when the walk ends after this member.
    bool ProcessMember(Place& place, const Header& h);

    std::int32_t written_ = 0;
    int members_ = 0;  // members met so far in this call
    std::unique_ptr<NameDecoder> names_;
    std::string archivePath_;              // ArchiveFile made absolute
    std::unique_ptr<ArcFile> volumeFile_;  // a further volume being read
    std::vector<std::string> volumesSeen_;
};

}  // namespace orvello::archive
