// The archive component family: the shared base with detection and the member state, the
// extraction base with the output-path rule, and the events through which components report.
//
// Components are configured through setters that act (assigning the archive file runs type
// detection) and report through optional events that always pass the component as Sender.
// A fatal problem is reported through OnError and then raised as E_RAISE; a warning is only
// reported. Everything runs synchronously on the caller's thread, one operation at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ArcGlobals.h"
#include "ArcTypes.h"

namespace orvello::archive {

class TZipCommon;

// The few message boxes the library itself may show (a self-extractor's name checks, a
// decoder failure during extraction, the designing-state error box). The application
// implements it with its toolkit; without a host nothing is shown and questions get "No".
class ArcHost {
public:
    virtual ~ArcHost() = default;
    virtual void ShowWarning(const std::string& text) = 0;
    virtual void ShowInformation(const std::string& text) = 0;
    virtual bool AskYesNo(const std::string& text) = 0;
};

using TNotifyEvent = std::function<void(TZipCommon& Sender)>;
using TOnError = std::function<void(TZipCommon& Sender, const std::string& FN, const std::string& VolumeID, int ECode)>;
using TOnRead = std::function<void(TZipCommon& Sender, std::int64_t Offset, std::int32_t Filenum)>;
using TOnTotals = std::function<void(TZipCommon& Sender, std::int32_t NumFiles)>;
using TOnFileExists = std::function<void(TZipCommon& Sender, const std::string& FN, bool& Accept)>;
using TOnBegin = std::function<void(TZipCommon& Sender, const std::string& FN, std::int32_t RecNum, bool& Extract)>;
using TOnEnd = std::function<void(TZipCommon& Sender, const std::string& FN, bool CRC_PASS)>;
using TOnProgress = std::function<void(TZipCommon& Sender, const std::string& FN, std::uint8_t Progress)>;
using TOnGetPassword =
    std::function<void(TZipCommon& Sender, const std::string& FN, std::string& Password, bool& TryAgain)>;

// Root of the family.
class TArcComponent {
public:
    TArcComponent() = default;
    virtual ~TArcComponent() = default;
    TArcComponent(const TArcComponent&) = delete;
    TArcComponent& operator=(const TArcComponent&) = delete;

    std::string Name;
    // While designing, errors are shown in a warning box (FN, a line break, the text and ".")
    // instead of being passed to OnError.
    bool Designing = false;
    // While the owner loads the component's stored properties, Activate does nothing.
    bool Loading = false;
    // Optional message boxes; not owned.
    ArcHost* Host = nullptr;

    // Called after the stored properties were loaded.
    virtual void Loaded() {}
};

// The archive file, its detected type, the current member and error reporting.
class TZipCommon : public TArcComponent {
public:
    TZipCommon();

    // The archive's path. Assigning runs detection; an empty value keeps the previous path
    // (and detects it again); a path that does not exist clears it (type atNA).
    const std::string& ArchiveFile() const { return archiveFile_; }
    virtual void SetArchiveFile(const std::string& path);

    // The detected type. Assigning ignores the value and detects the current file again.
    TArcType ArcType() const { return arcType_; }
    void SetArcType(TArcType ignored);

    // Wildcard pattern that selects members; only its file-name part is kept.
    const std::string& FileSpec() const { return fileSpec_; }
    void SetFileSpec(const std::string& spec);

    // Size of the tail window searched for a ZIP end record in executables (0..32767).
    std::int32_t ZipCmntBufSize() const { return zipCmntBufSize_; }
    void SetZipCmntBufSize(std::int32_t size);

    std::int64_t ArchiveSize() const { return archiveSize_; }
    // 1-based position of the archive data: 1 for a plain archive, after the stub for an
    // executable.
    std::int64_t StartOffset() const { return startOffset_; }
    // The offset of a ZIP found through an executable's string resources; 0 otherwise.
    std::int64_t ZipSfxOffset() const { return zipSfxOffset_; }

    // Output path (extractors) or normalised stored name of the current member. An empty
    // name clears FileName.
    virtual void SetFileName(const std::string& name);

    void Loaded() override;

    // The current member, valid during OnRead (lister) or OnBegin..OnEnd (extractors).
    // Sizes are kept in 64 bits so that 32-bit unsigned values never turn negative.
    std::string FileName;
    std::int64_t PackedSize = 0;
    std::int64_t UnpackedSize = 0;
    std::uint8_t Ratio = 0;
    std::uint32_t CRC = 0;
    std::string MethodName;
    std::uint16_t MethodCode = 0;
    TDateTime DateTime = 0;
    std::uint16_t VersionMadeBy = 0;
    std::uint16_t VersionNeeded = 0;
    std::uint16_t InternalAttr = 0;
    std::uint32_t ExternalAttr = 0;
    std::string FileComment;
    std::string ArchiveComment;
    std::uint8_t DeflateOption = 0;

    TOnError OnError;

protected:
    // Runs detection on the stored path and sets the type, StartOffset, ZipSfxOffset and
    // ArchiveSize.
    void Detect();

    // Reports an error (OnError, or the designing box) and raises E_RAISE with its text.
    [[noreturn]] void RaiseError(int code, const std::string& fn, const std::string& volumeId = "0");
    // Reports a warning; nothing is raised.
    void Warn(int code, const std::string& fn, const std::string& volumeId = "0");

    std::string archiveFile_;
    TArcType arcType_ = TArcType::atNA;
    std::string fileSpec_ = "*.*";
    std::int32_t zipCmntBufSize_ = 0;
    std::int64_t archiveSize_ = 0;
    std::int64_t startOffset_ = 1;
    std::int64_t zipSfxOffset_ = 0;
};

// Symmetric wildcard match of two names ("?" and "*" on either side, case-insensitive).
bool MatchFileSpec(const std::string& a, const std::string& b);

// Extraction base: the output folder, the output-path rule, and the extraction events.
class TUnBase : public TZipCommon {
public:
    // The output folder, always ending in "/". An empty value means the archive's folder.
    const std::string& ExtractDir() const { return extractDir_; }
    void SetExtractDir(const std::string& dir);

    bool UseStoredDirs = false;
    TProgressNotify ProgressNotify = TProgressNotify::Ten;

    // Shared by every extractor: setting it on one sets it for all.
    static TSetDate SetDateTo();
    static void SetSetDateTo(TSetDate value);

    // The output path of a stored member name, reduced to a safe path below ExtractDir.
    void SetFileName(const std::string& name) override;

    // Extracts every member that matches FileSpec.
    void Extract();

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TOnFileExists OnFileExists;
    TOnBegin OnBegin;
    TOnEnd OnEnd;
    TOnProgress OnProgress;

protected:
    virtual void DoExtract() {}

    std::string extractDir_;
};

}  // namespace orvello::archive
