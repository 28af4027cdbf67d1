// The archive components behind the ROM selector and the launch: the lister, which
// recognises the type of every file selected and lists an archive's members, and one
// extractor per format, each given the archive selected so that the launch can extract from
// it; and the member chosen in that archive. The selector window lists through it, the launch
// extracts through it (as its LaunchArchives). Plain C++ on top of the archive library.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "app/core/LaunchArchives.h"
#include "archive/ArcLister.h"
#include "archive/ArcMain.h"
#include "archive/NameCodec.h"
#include "archive/UnARC.h"
#include "archive/UnARJ.h"
#include "archive/UnLHA.h"
#include "archive/UnSFX.h"
#include "archive/UnZIP.h"
#include "archive/UnZOO.h"

namespace orvello {

// The extractor that receives an archive of a given type. Every type without one counts as a
// plain file in the selector.
enum class ExtractorKind { None, Arj, Arc, Lha, Zip, Zoo };
ExtractorKind ExtractorKindOf(archive::TArcType type);

// What a listing hands over while it walks the archive.
struct ListingHandlers {
    // Each member as the lister reads it: its name as stored (UTF-8, folders included) and
    // its unpacked size.
    std::function<void(const std::string& name, std::int64_t unpackedSize)> member;
    // The end of a walk that reached its totals, with the number of files it counted.
    std::function<void(std::int32_t numberOfFiles)> totals;
};

// How a listing ended.
struct ListingResult {
    // The lister's own verdict on the walk.
    bool listed = false;
    // The library's code of the last error the walk reported (0 when none), and the member
    // it concerned as stored.
    int error = 0;
    std::string errorMember;
};

class ArchiveBrowser final : public LaunchArchives {
  public:
    // Every component shows the library's messages through host, which must outlive the
    // browser.
    explicit ArchiveBrowser(archive::ArcHost& host);
    ArchiveBrowser(const ArchiveBrowser&) = delete;
    ArchiveBrowser& operator=(const ArchiveBrowser&) = delete;

    // Hands the file at path (the bytes the file system knows it by) to the lister, which
    // recognises its type, and forgets the member chosen before. A file the lister could not
    // close after looking at it is no error here: its type says what was found.
    void Select(const std::string& path);
    // Whether the file selected is an archive the browser opens.
    bool SelectedIsArchive() const;
    // Gives the selected archive to the extractor of its type; false (and nothing changed)
    // for a type the browser does not open. True for an archive whose kind has no extractor
    // registered: it is still listed.
    bool PrepareExtractor();
    // Lists the selected archive's members through handlers (which are only used during the
    // call).
    ListingResult List(const ListingHandlers& handlers);
    // How the lister and every extractor read the archive's names from now on.
    void SetNamesEncoding(archive::NameEncoding encoding);

    // The member chosen in the selected archive: its file name as the lister gave it
    // (UTF-8), without its folder, which is the name the extractors know it by.
    void ChooseMember(std::string name) { chosenMember_ = std::move(name); }
    void ForgetMember() { chosenMember_.clear(); }

    // --- What the launch uses ---------------------------------------------------------------

    // The lister's type for the file last selected.
    archive::TArcType ArchiveType() const override { return ArcLister.ArcType(); }
    // The extractor that has been given the selected archive, for an archive type; nullptr
    // for a type no extractor reads (yet). All four ZIP types give UnZIP: whether a type can
    // be played is the launch's decision.
    archive::TUnBase* ExtractorFor(archive::TArcType type) override;
    // Empty when no member was chosen since the selection last changed.
    std::string ChosenMemberRawName() const override { return chosenMember_; }

    // --- The components ---------------------------------------------------------------------

    archive::TArcLister ArcLister;
    archive::TUnZIP UnZIP;
    archive::TUnLHA UnLHA;
    archive::TUnZOO UnZOO;
    archive::TUnARJ Unarj;
    archive::TUnARC Unarc;
    // Kept with the others for the self-extracting programs' name checks; it never extracts
    // (the extractors read such programs directly).
    archive::TUnSFX UnSFX;

  private:
    // Binds an extractor to the browser (the host, no stored folders, existing files kept)
    // and files it under its kind for ExtractorFor. A kind without a registered extractor is
    // listed, and ExtractorFor gives nullptr for it.
    void RegisterExtractor(ExtractorKind kind, archive::TUnBase& extractor, archive::ArcHost& host);

    std::array<archive::TUnBase*, 6> extractors_{};
    // The handlers of the listing under way; null between listings.
    const ListingHandlers* listing_ = nullptr;
    int lastError_ = 0;
    std::string lastErrorMember_;
    std::string chosenMember_;
};

}  // namespace orvello
