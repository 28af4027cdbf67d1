#include "app/core/ArchiveBrowser.h"

#include <exception>

namespace orvello {

namespace {

// A file that already exists is never replaced.
void KeepExisting(archive::TZipCommon&, const std::string&, bool& accept) {
    accept = false;
}

}  // namespace

ExtractorKind ExtractorKindOf(archive::TArcType type) {
    using A = archive::TArcType;
    switch (type) {
        case A::atARJ:
        case A::atArjExe:
            return ExtractorKind::Arj;
        case A::atARC:
        case A::atArcExe:
            return ExtractorKind::Arc;
        case A::atLHA:
        case A::atLhaExe:
            return ExtractorKind::Lha;
        case A::atZIP:
        case A::atZipExe:
        case A::atZip250:
        case A::atZip250Exe:
            return ExtractorKind::Zip;
        case A::atZOO:
            return ExtractorKind::Zoo;
        default:
            return ExtractorKind::None;
    }
}

ArchiveBrowser::ArchiveBrowser(archive::ArcHost& host) {
    ArcLister.Host = &host;
    ArcLister.SetFileSpec("*.*");
    ArcLister.SetZipCmntBufSize(0);
    ArcLister.OnRead = [this](archive::TZipCommon& sender, std::int64_t, std::int32_t) {
        if (listing_ != nullptr && listing_->member) {
            listing_->member(sender.FileName, sender.UnpackedSize);
        }
    };
    ArcLister.OnTotals = [this](archive::TZipCommon&, std::int32_t numberOfFiles) {
        if (listing_ != nullptr && listing_->totals) listing_->totals(numberOfFiles);
    };
    // Kept so that a listing that fails can say why.
    ArcLister.OnError = [this](archive::TZipCommon&, const std::string& fileName,
                               const std::string&, int code) {
        lastError_ = code;
        lastErrorMember_ = fileName;
    };

    UnZIP.SetZipCmntBufSize(0);
    RegisterExtractor(ExtractorKind::Zip, UnZIP, host);
    RegisterExtractor(ExtractorKind::Lha, UnLHA, host);
    RegisterExtractor(ExtractorKind::Zoo, UnZOO, host);
    RegisterExtractor(ExtractorKind::Arj, Unarj, host);
    RegisterExtractor(ExtractorKind::Arc, Unarc, host);

    UnSFX.Host = &host;
    UnSFX.OnFileExists = KeepExisting;
}

void ArchiveBrowser::RegisterExtractor(ExtractorKind kind, archive::TUnBase& extractor,
                                       archive::ArcHost& host) {
    extractor.Host = &host;
    extractor.UseStoredDirs = false;
    extractor.SetFileSpec("*.*");
    extractor.OnFileExists = KeepExisting;
    extractors_.at(static_cast<std::size_t>(kind)) = &extractor;
}

void ArchiveBrowser::Select(const std::string& path) {
    chosenMember_.clear();
    try {
        ArcLister.SetArchiveFile(path);
    } catch (const std::exception&) {
        // A file that could not be closed after detection; its type says what was found.
    }
}

bool ArchiveBrowser::SelectedIsArchive() const {
    return ExtractorKindOf(ArcLister.ArcType()) != ExtractorKind::None;
}

bool ArchiveBrowser::PrepareExtractor() {
    const ExtractorKind kind = ExtractorKindOf(ArcLister.ArcType());
    if (kind == ExtractorKind::None) return false;
    if (archive::TUnBase* extractor = extractors_.at(static_cast<std::size_t>(kind))) {
        try {
            extractor->SetArchiveFile(ArcLister.ArchiveFile());
        } catch (const std::exception&) {
            // Reported through the extractor's own events; the extraction will say so again.
        }
    }
    return true;
}

ListingResult ArchiveBrowser::List(const ListingHandlers& handlers) {
    lastError_ = 0;
    lastErrorMember_.clear();
    // The handlers are the caller's: they are let go however the walk ends.
    struct Listing {
        const ListingHandlers*& current;
        ~Listing() { current = nullptr; }
    } listing{listing_};
    listing_ = &handlers;
    ListingResult result;
    result.listed = ArcLister.Activate();
    result.error = lastError_;
    result.errorMember = lastErrorMember_;
    return result;
}

void ArchiveBrowser::SetNamesEncoding(archive::NameEncoding encoding) {
    ArcLister.NamesEncoding = encoding;
    for (archive::TUnBase* extractor : extractors_) {
        if (extractor != nullptr) extractor->NamesEncoding = encoding;
    }
}

archive::TUnBase* ArchiveBrowser::ExtractorFor(archive::TArcType type) {
    return extractors_.at(static_cast<std::size_t>(ExtractorKindOf(type)));
}

}  // namespace orvello
