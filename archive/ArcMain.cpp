#include "ArcMain.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <new>
#include <system_error>

#include "ArcPaths.h"
#include "Detect.h"
#include "OutputFile.h"

namespace orvello::archive {

namespace {

// The value behind SetDateTo, one for every extractor in the process.
std::atomic<TSetDate>& SharedSetDate() {
    static std::atomic<TSetDate> value{TSetDate::OrigDate};
    return value;
}

std::string ProcessFolder() {
    std::error_code ec;
    std::string cwd = std::filesystem::current_path(ec).string();
    if (ec || cwd.empty()) return "/";
    if (cwd.back() != '/') cwd += '/';
    return cwd;
}

}  // namespace

// ---- TZipCommon

void TZipCommon::SetArchiveFile(const std::string& path) {
    if (!path.empty()) {
        if (Files->Exists(path)) {
            archiveFile_ = path;
        } else {
            archiveFile_.clear();
            archiveSize_ = 0;
        }
    }
    if (!archiveFile_.empty()) {
        Detect();
    } else {
        arcType_ = TArcType::atNA;
        dataStart_ = 0;
        zipSfxOffset_ = 0;
    }
}

void TZipCommon::SetArcType(TArcType) {
    SetArchiveFile(std::string());
}

void TZipCommon::SetFileSpec(const std::string& spec) {
    const auto cut = spec.find_last_of("/\\:");
    fileSpec_ = cut == std::string::npos ? spec : spec.substr(cut + 1);
    if (spec.empty() && Designing) fileSpec_ = "*.*";
}

void TZipCommon::SetZipCmntBufSize(std::int32_t size) {
    zipCmntBufSize_ = std::clamp(size, 0, 32767);
}

bool TZipCommon::SetFileName(const std::string& name) {
    FileName = StoredNameToFileName(name);
    return true;
}

void TZipCommon::Loaded() {
    if (fileSpec_.empty()) fileSpec_ = "*.*";
}

void TZipCommon::Detect() {
    // Each detection starts afresh, so nothing of an earlier archive (such as the offset of
    // an embedded ZIP) carries over to this one.
    arcType_ = TArcType::atNA;
    dataStart_ = 0;
    zipSfxOffset_ = 0;
    auto file = Files->Open(archiveFile_);
    if (!file) {
        arcType_ = TArcType::atFileError;
        archiveSize_ = 0;
        return;
    }
    const Detection d = DetectArchive(*file, archiveFile_, zipCmntBufSize_);
    arcType_ = d.type;
    dataStart_ = d.dataStart;
    zipSfxOffset_ = d.zipSfxOffset;
    archiveSize_ = d.archiveSize;
    if (!file->Close()) RaiseError(errCloseFile, archiveFile_);
}

void TZipCommon::Report(int code, const std::string& fn, const std::string& volumeId) {
    if (Designing) {
        if (Host != nullptr) Host->ShowWarning(fn + "\n" + std::string(ErrorText(code)) + ".");
        return;
    }
    if (OnError) OnError(*this, fn, volumeId, code);
}

void TZipCommon::ReportEscaped() noexcept {
    try {
        try {
            throw;
        } catch (const E_RAISE&) {
            // Reported where it was raised.
        } catch (const std::bad_alloc&) {
            Report(errOutOfMemory, archiveFile_);
        } catch (...) {
            Report(errEventHandler, archiveFile_);
        }
    } catch (...) {
        // OnError itself failed; there is nobody left to tell.
    }
}

void TZipCommon::RaiseError(int code, const std::string& fn, const std::string& volumeId) {
    Report(code, fn, volumeId);
    throw E_RAISE(code);
}

// ---- TUnBase

std::string TUnBase::CurrentFolder() const {
    return currentFolder_.empty() ? ProcessFolder() : currentFolder_;
}

std::string TUnBase::AbsoluteFolder(std::string folder) const {
    if (folder.empty() || folder.front() != '/') folder = CurrentFolder() + folder;
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string TUnBase::ArchiveFolder() const {
    // The archive is opened against the process's folder, so its folder is found there too.
    std::string folder = FolderPart(archiveFile_);
    if (folder.empty() || folder.front() != '/') folder = ProcessFolder() + folder;
    return folder;
}

void TUnBase::SetExtractDir(const std::string& dir) {
    if (dir.empty()) {
        if (archiveFile_.empty()) {
            extractDir_.clear();
        } else {
            extractDir_ = ArchiveFolder();
        }
        return;
    }
    extractDir_ = AbsoluteFolder(dir);
}

TSetDate TUnBase::SetDateTo() {
    return SharedSetDate().load();
}

void TUnBase::SetSetDateTo(TSetDate value) {
    SharedSetDate().store(value);
}

bool TUnBase::SetFileName(const std::string& name) {
    if (name.empty()) {
        FileName.clear();
        return true;
    }
    // Extractors that pass ExtractDir + stored name get the stored part back.
    std::string stored = name;
    if (!extractDir_.empty() && stored.size() > extractDir_.size() &&
        stored.compare(0, extractDir_.size(), extractDir_) == 0) {
        stored.erase(0, extractDir_.size());
    }
    const auto safe = SafeRelativeName(stored);
    if (!safe) {
        FileName.clear();
        nameRefusal_ = errInvalidFileName;
        return false;
    }
    const std::string storedFolder = FolderPart(*safe);
    // Without an output folder, a member's own folder becomes it.
    bool folderTaken = false;
    if (extractDir_.empty() && !storedFolder.empty()) {
        SetExtractDir(storedFolder);
        folderTaken = true;
    }
    // A folder below ExtractDir that is a link to somewhere else would carry the member out of
    // it. (The output file itself is checked when it is created.)
    if (UseStoredDirs && !folderTaken && !extractDir_.empty() &&
        PassesThroughLink(extractDir_, storedFolder)) {
        FileName.clear();
        nameRefusal_ = errLinkInPath;
        return false;
    }
    std::string folder;
    if (!extractDir_.empty()) {
        // The stored folder is not added a second time when it has just become ExtractDir.
        folder = UseStoredDirs && !folderTaken ? extractDir_ + storedFolder : extractDir_;
    } else {
        folder = ArchiveFolder();
    }
    folder = AbsoluteFolder(folder);
    FileName = folder + FileNamePart(*safe);
    // The output folder becomes the component's own current folder; the process's stays
    // where it is (the windows' thread owns it while an extraction runs on another).
    currentFolder_ = folder;
    return true;
}

void TUnBase::Extract() {
    cancelled_ = false;
    DoExtract();
    cancelled_ = cancel_.exchange(false);
}

}  // namespace orvello::archive
