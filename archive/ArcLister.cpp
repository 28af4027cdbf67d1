#include "ArcLister.h"

#include <algorithm>
#include <cstdint>

#include "ListWalk.h"

namespace orvello::archive {

namespace detail {

ListWalk::ListWalk(TArcLister& lister, std::unique_ptr<ArcFile> file)
    : L(lister), position(0), end(file->Size()), file_(std::move(file)) {}

std::string ListWalk::ReadText(std::int64_t at, std::int64_t n) {
    if (n <= 0 || at < 0 || at >= end) return {};
    std::string s(static_cast<std::size_t>(std::min(n, end - at)), '\0');
    s.resize(Read(at, reinterpret_cast<std::uint8_t*>(s.data()), s.size()));
    return s;
}

std::string ListWalk::ReadZeroTerminated(std::int64_t at, std::size_t max, std::int64_t* consumed) {
    std::string s = ReadText(at, static_cast<std::int64_t>(max));
    const auto zero = s.find('\0');
    if (consumed != nullptr) {
        *consumed = static_cast<std::int64_t>(zero == std::string::npos ? s.size() : zero + 1);
    }
    if (zero != std::string::npos) s.resize(zero);
    return s;
}

const NameDecoder& ListWalk::Names(NameCoding format) {
    if (!names_ || namesFormat_ != format) {
        names_ = std::make_unique<NameDecoder>(format, L.NamesEncoding);
        namesFormat_ = format;
    }
    return *names_;
}

void ListWalk::Report() {
    if (!MatchFileSpec(L.FileSpec(), L.FileName)) return;
    ++L.fileCount_;
    // Sizes come from the archive: the totals stop at the largest value instead of wrapping.
    auto add = [](std::int64_t& total, std::int64_t size) {
        if (__builtin_add_overflow(total, size, &total)) total = size > 0 ? INT64_MAX : INT64_MIN;
    };
    add(L.totalPacked_, L.PackedSize);
    add(L.totalUnpacked_, L.UnpackedSize);
    L.Ratio = CalcRatio(L.PackedSize, L.UnpackedSize);
    if (!L.OnRead) return;
    if (L.OnReadBegin) L.OnReadBegin(L);
    L.OnRead(L, HeaderStart(), L.fileCount_);
    if (L.OnReadEnd) L.OnReadEnd(L);
}

void ListWalk::Fail(int code, const std::string& fn, const std::string& volumeId) {
    L.RaiseError(code, fn.empty() ? L.ArchiveFile() : fn, volumeId);
}

void ListWalk::SwitchTo(std::unique_ptr<ArcFile> next, const std::string& previousName) {
    const bool closed = file_->Close();
    file_ = std::move(next);
    end = file_->Size();
    position = 0;
    ++volumes;
    if (!closed) Fail(errCloseFile, previousName);
}

std::string JoinFolder(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::unique_ptr<FormatWalker> MakeWalker(TArcType type) {
    using A = TArcType;
    switch (type) {
        case A::atZIP:
        case A::atZipExe:
        case A::atZip250:
        case A::atZip250Exe:
            return MakeZipWalker();
        case A::atARJ:
        case A::atArjExe:
            return MakeArjWalker();
        case A::atARC:
        case A::atArcExe:
            return MakeArcWalker(false);
        case A::atPAK:
        case A::atPakExe:
            return MakeArcWalker(true);
        case A::atLHA:
        case A::atLhaExe:
        case A::atLZH:
        case A::atLzhExe:
            return MakeLhaWalker();
        case A::atZOO:
            return MakeZooWalker();
        case A::atTAR:
            return MakeTarWalker();
        case A::atRAR:
        case A::atRarExe:
            return MakeRarWalker();
        case A::atBH:
        case A::atBHExe:
            return MakeBhWalker();
        case A::atCAB:
            return MakeCabWalker();
        case A::atGZip:
            return MakeGzipWalker();
        case A::atHA:
            return MakeHaWalker();
        default:
            return nullptr;
    }
}

}  // namespace detail

bool TArcLister::Activate() {
    if (archiveFile_.empty()) return true;
    bool activated = false;
    try {
        if (!OnRead) RaiseError(errNoOnRead, archiveFile_);
        if (arcType_ == TArcType::atNA || arcType_ == TArcType::atUnknown ||
            arcType_ == TArcType::atUnsupported) {
            RaiseError(errUnknownFileType, archiveFile_);
        }
        if (arcType_ == TArcType::atFileError) RaiseError(errHeaderID, archiveFile_);
        if (Loading) return true;
        auto file = Files->Open(archiveFile_);
        if (!file) RaiseError(errReadFile, archiveFile_);
        detail::ListWalk walk(*this, std::move(file));
        activated = true;
        if (OnActivate) OnActivate(*this);
        fileCount_ = 0;
        ArchiveComment.clear();
        try {
            ClearMember();
            auto walker = detail::MakeWalker(arcType_);
            if (!walker) RaiseError(errUnknownFileType, archiveFile_);
            currentHeader_ = dataStart_;
            walk.position = dataStart_;
            walker->Prepare(walk);
            const std::size_t h = walker->HeaderLength();
            std::vector<std::uint8_t> header(h);
            while (walk.position >= 0 && walk.position + static_cast<std::int64_t>(h) < walk.end) {
                const std::int64_t start = walk.position;
                const std::uint32_t volumes = walk.volumes;
                currentHeader_ = start;
                if (!walk.ReadExact(start, header.data(), h)) break;
                walk.position = start + static_cast<std::int64_t>(h);
                walker->Process(walk, header.data());
                FileComment.clear();
                if (walk.volumes == volumes && walk.position <= start) break;
            }
            if (OnTotals) {
                Ratio = CalcRatio(totalPacked_, totalUnpacked_);
                OnTotals(*this, fileCount_);
            }
        } catch (...) {
            walk.Close();
            throw;
        }
        walk.Close();
        ArchiveComment.clear();
        ResetWalkState();
        if (OnDeactivate) OnDeactivate(*this);
        return true;
    } catch (...) {
        // The library's errors have been reported where they arose, anything else (an event
        // handler's exception) is reported now; the caller learns of it only from the result.
        ReportEscaped();
        ArchiveComment.clear();
        FileComment.clear();
        ResetWalkState();
        if (activated && OnDeactivate) {
            try {
                OnDeactivate(*this);
            } catch (...) {
            }
        }
        return false;
    }
}

void TArcLister::ResetWalkState() {
    fileCount_ = 0;
    currentHeader_ = 0;
    totalPacked_ = 0;
    totalUnpacked_ = 0;
}

void TArcLister::ClearMember() {
    totalPacked_ = 0;
    totalUnpacked_ = 0;
    Ratio = 0;
    CRC = 0;
    DateTime = 0;
    PackedSize = 0;
    UnpackedSize = 0;
    MethodName.clear();
    FileName.clear();
}

}  // namespace orvello::archive
