// The archive component family: the shared base with detection and the member state, the
// extraction base with the output-path rule, and the events through which components report.
//
// Components are configured through setters that act (assigning the archive file runs type
// detection) and report through optional events that always pass the component as Sender.
// A fatal problem is reported through OnError and then raised as E_RAISE; a warning is only
// reported. Everything runs synchronously on the caller's thread, one operation at a time;
// only TUnBase::Cancel may be called from another thread while an extraction runs.
//
// Paths on this platform use "/". Member names are decoded to UTF-8 where a lister or an
// extractor reads them (NameCodec.h), with "\" made "/"; from there on, FileName, FileSpec
// matching and output paths all work on the decoded name.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "ArcFile.h"
#include "ArcGlobals.h"
#include "ArcTypes.h"
#include "MemberEnd.h"
#include "MemberReader.h"
#include "NameCodec.h"

namespace orvello::archive {

class TZipCommon;

// The few message boxes the library itself may show (a self-extractor's name checks, a
// decoder failure during extraction, the designing-state error box). The application
// implements it with its toolkit; without a host nothing is shown and questions get "No".
// Line breaks in the texts are "\n".
class ArcHost {
  public:
    virtual ~ArcHost() = default;
    virtual void ShowWarning(const std::string& text) = 0;
    virtual void ShowInformation(const std::string& text) = 0;
    virtual bool AskYesNo(const std::string& text) = 0;
};

using TNotifyEvent = std::function<void(TZipCommon& Sender)>;
using TOnError = std::function<void(TZipCommon& Sender, const std::string& FN,
                                    const std::string& VolumeID, int ECode)>;
using TOnRead = std::function<void(TZipCommon& Sender, std::int64_t Offset, std::int32_t Filenum)>;
using TOnTotals = std::function<void(TZipCommon& Sender, std::int32_t NumFiles)>;
using TOnFileExists = std::function<void(TZipCommon& Sender, const std::string& FN, bool& Accept)>;
using TOnBegin = std::function<void(TZipCommon& Sender, const std::string& FN, std::int32_t RecNum,
                                    bool& Extract)>;
using TOnEnd = std::function<void(TZipCommon& Sender, const std::string& FN, bool CRC_PASS)>;
using TOnProgress =
    std::function<void(TZipCommon& Sender, const std::string& FN, std::uint8_t Progress)>;
using TOnGetPassword = std::function<void(TZipCommon& Sender, const std::string& FN,
                                          std::string& Password, bool& TryAgain)>;

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
    TZipCommon() = default;

    // How the component reaches files: the disk unless a test or fuzzer puts in its own.
    // Not owned; set it before ArchiveFile.
    const ArcFileSystem* Files = &DiskFileSystem::Instance();

    // The archive's path. Assigning runs detection; an empty value keeps the previous path
    // (and detects it again); a path that does not exist clears it (type atNA).
    const std::string& ArchiveFile() const { return archiveFile_; }
    virtual void SetArchiveFile(const std::string& path);

    // The detected type. Assigning ignores the value and detects the current file again.
    TArcType ArcType() const { return arcType_; }
    void SetArcType(TArcType ignored);

    // Wildcard pattern that selects members; only its file-name part is kept. An empty text
    // stores "*.*" while designing and stays empty (matching no ordinary member) at run time.
    const std::string& FileSpec() const { return fileSpec_; }
    void SetFileSpec(const std::string& spec);

    // The character set of the names that carry no mark of their own: kAuto for the format's
    // own rule. The lister shows, FileSpec matches and the extractors write names decoded so.
    NameEncoding NamesEncoding = NameEncoding::kAuto;

    // Size of the tail window searched for a ZIP end record in executables (0..32767).
    std::int32_t ZipCmntBufSize() const { return zipCmntBufSize_; }
    void SetZipCmntBufSize(std::int32_t size);

    std::int64_t ArchiveSize() const { return archiveSize_; }
    // 1-based position of the archive data: 1 for a plain archive, after the stub for an
    // executable. The only offset the library counts from 1: inside, dataStart_ counts from 0.
    std::int64_t StartOffset() const { return dataStart_ + 1; }
    // The offset of a ZIP found through an executable's string resources; 0 otherwise. The
    // offsets stored inside such a ZIP count from there.
    std::int64_t ZipSfxOffset() const { return zipSfxOffset_; }

    // Sets FileName from a member name as DecodeMemberName gave it: here the name with "\"
    // made "/"; extractors form the output path. An empty name clears FileName. False when the name
    // is refused (FileName is then empty); the caller reports 25139 for that member and goes on.
    virtual bool SetFileName(const std::string& name);

    // An empty FileSpec becomes "*.*".
    void Loaded() override;

    // The current member, valid during OnRead (lister) or OnBegin..OnEnd (extractors).
    // FileName is always UTF-8.
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

    // Reports a problem with a message code: the designing-state box, or OnError at run time.
    // Nothing is raised; this is how warnings (and errors that end only one member) go out.
    void Report(int code, const std::string& fn, const std::string& volumeId = "0");
    // Reports an error and raises E_RAISE with its text.
    [[noreturn]] void RaiseError(int code, const std::string& fn,
                                 const std::string& volumeId = "0");
    // Reports a warning; nothing is raised.
    void Warn(int code, const std::string& fn, const std::string& volumeId = "0") {
        Report(code, fn, volumeId);
    }
    // Called inside a catch block at the end of an operation: reports the exception that
    // ended it, unless it was reported where it arose (E_RAISE). An exception an event
    // handler let out is 26901, running out of memory 25153. Never throws, even when OnError
    // does.
    void ReportEscaped() noexcept;

  protected:
    // Runs detection on the stored path and sets the type, StartOffset, ZipSfxOffset and
    // ArchiveSize. Raises 25115 when the file cannot be closed afterwards.
    void Detect();

    std::string archiveFile_;
    TArcType arcType_ = TArcType::atNA;
    std::string fileSpec_ = "*.*";
    std::int32_t zipCmntBufSize_ = 0;
    std::int64_t archiveSize_ = 0;
    std::int64_t dataStart_ = 0;  // 0-based position of the archive data
    std::int64_t zipSfxOffset_ = 0;
};

// Symmetric wildcard match of the file-name parts of two names ("?" and "*" on either side,
// "?" taking one character, a whole UTF-8 sequence; ASCII letters compared without regard to
// case). The lister passes FileSpec first, the
// extractors the member's output path.
bool MatchFileSpec(const std::string& a, const std::string& b);

// Extraction base: the output folder, the output-path rule, and the extraction events.
class TUnBase : public TZipCommon {
  public:
    // The output folder, always absolute and ending in "/". A relative folder is taken from
    // the component's current folder (CurrentFolder) at the time of assignment. An empty
    // value means the archive's folder when ArchiveFile is set, else nothing.
    const std::string& ExtractDir() const { return extractDir_; }
    void SetExtractDir(const std::string& dir);

    bool UseStoredDirs = false;
    TProgressNotify ProgressNotify = TProgressNotify::Ten;

    // Shared by every extractor: setting it on one sets it for all.
    static TSetDate SetDateTo();
    static void SetSetDateTo(TSetDate value);

    // The output path of a decoded member name: below ExtractDir (with the stored folders when
    // UseStoredDirs is set), the stored name reduced to a safe relative path first. A name
    // that cannot be made safe, or whose stored folders would pass through a symbolic link
    // below ExtractDir, is refused (false, FileName empty; NameRefusal() says why). Also
    // makes the output path's folder the component's current folder (never the process's).
    bool SetFileName(const std::string& name) override;
    // The component's own current folder, absolute and ending in "/": the folder of the last
    // output path SetFileName formed, or the process's current folder before the first one.
    // Relative folders given to the component are resolved against it.
    std::string CurrentFolder() const;
    // Why SetFileName refused the last name it refused: 25139 (a name that reduces to
    // nothing or climbs out with "..") or 25141 (a stored folder is a symbolic link).
    int NameRefusal() const { return nameRefusal_; }

    // Extracts every member that matches FileSpec.
    void Extract();

    // During OnEnd: whether the member's file was written (it may still fail its check).
    bool MemberWritten() const { return memberWritten_; }
    // Asks the extraction under way to stop before its next block. Safe from any thread (a
    // window's Cancel button while the extraction runs on a thread of its own). The member
    // being written is ended and its partial file removed, no further member is begun, and the
    // call ends reporting errCancelled. A request made while no extraction runs applies to
    // the next one; every Extract call uses up the request.
    void Cancel() { cancel_.store(true); }
    // Whether the last Extract call was asked to stop.
    bool Cancelled() const { return cancelled_; }

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TOnFileExists OnFileExists;
    TOnBegin OnBegin;
    TOnEnd OnEnd;
    TOnProgress OnProgress;

  protected:
    virtual void DoExtract() {}
    // Whether a cancel was asked and the walk must end; extractors check it between members
    // and hand cancel_ to the member reader, which checks it at every block.
    bool CancelPending() const { return cancel_.load(); }

    // The pieces every format's extraction is built from. Each format keeps its own loop over
    // its headers and reports what happened to a member in its own words; these do the rest
    // the same way for all.

    // One Extract call. Checks the archive name (25139), that the type lies in first..last
    // (25138) and opens the archive (25134); runs `walk` on it; reports "Nothing to do"
    // (26999) when the walk wrote no file and refused no member with an error of its own
    // (memberRefused_). Afterwards, also after an error, the archive is
    // closed and OnDeactivate fires. Whatever else an event handler throws ends the call too:
    // it is reported (26901) and does not reach the caller. The walk fires OnActivate
    // (FireActivate) once it has found the archive usable. An E_RAISE ends the call; it is raised
    // again to the caller after OnDeactivate when its code is in `passOn`, and kept inside
    // otherwise. Running out of memory is reported as 25153 and ends the call.
    void RunExtraction(TArcType first, TArcType last, std::initializer_list<int> passOn,
                       const std::function<void(ArcFile& archive)>& walk);
    void FireActivate() {
        if (OnActivate) OnActivate(*this);
    }

    // The order in which the two questions before a member are asked.
    enum class AskOrder { kExistsFirst, kBeginFirst };
    // Asks whether the member is written to `path`: OnFileExists when something is there
    // already, and OnBegin with `recNum`, in the format's order; the second question is not
    // asked when the first refused. Also starts the member (MemberWritten false).
    bool ConfirmMember(const std::string& path, std::int32_t recNum, AskOrder order);

    // Refuses a member with an error of its own: reported under `fn`, and no "Nothing to do"
    // follows for it.
    void RefuseMember(int code, const std::string& fn) {
        Report(code, fn);
        memberRefused_ = true;
    }
    // Damage that ends the walk: refused under the member's name when it is known, else the
    // archive's.
    void RefuseDamage(int code, const std::string& member) {
        RefuseMember(code, member.empty() ? archiveFile_ : member);
    }
    // The output path of a member whose listed name is `listed` and whose file is written
    // under `written` (the same name in every format but LHA, whose extended-header folder is
    // listed, not written). A name that holds "..", reduces to nothing or ends in a folder
    // separator, or that passes through a link, is refused (with `label` standing for an
    // empty name) and false comes back; else FileName is set.
    bool AcceptName(const std::string& listed, const std::string& written,
                    const std::string& label);
    bool AcceptName(const std::string& name, const std::string& label) {
        return AcceptName(name, name, label);
    }
    // How an error names a member without a name: its place in the archive.
    std::string MemberLabel(int n) const {
        return archiveFile_ + " (member " + std::to_string(n) + ")";
    }
    // Where the archive's data begins, 0-based, never before the file.
    std::int64_t DataStart() const { return dataStart_ > 0 ? dataStart_ : 0; }

    // The progress step in percent (5 to 25) and the progress of one member, reported
    // through OnProgress under `fn`.
    unsigned ProgressStep() const { return static_cast<unsigned>(ProgressNotify) * 5 + 5; }
    MemberReader::Progress ProgressTo(const std::string& fn);

    // Where and how one member is written.
    struct MemberTarget {
        std::string path;
        bool makeFolders = true;          // create the folder of `path` and its missing parents
        MemberSpec spec;                  // sizes, check kind, progress step (see ProgressStep)
        std::optional<std::time_t> time;  // the stored date-time; set when SetDateTo is OrigDate
        std::optional<unsigned> mode;     // permission bits stored with the member
        bool readOnly = false;            // a DOS read-only attribute (when there is no mode)
    };
    // What happened to it; each format reports it in its own words.
    struct MemberResult {
        enum class Output {
            kWritten,     // the file was created and holds what the data gave
            kSymlink,     // a symbolic link is there: never written through, nothing written
            kNotCreated,  // the folder or the file could not be created
        };
        Output output = Output::kNotCreated;
        // The first failure while decoding: the decoder's code, 25200 without a decoder,
        // 25135 when the data ended early, 25114 when the file took not every byte, or the
        // spec's excess code when the data gave more than the recorded size.
        int failure = kOk;
        bool excess = false;       // the data gave more than the recorded size
        bool damaged = false;      // more or fewer bytes than recorded, or a short write
        bool closeFailed = false;  // the file could not be closed (its data may be lost)
        std::uint32_t check = 0;   // the check value of what was written
    };
    // Writes one member through `decoder` (nullptr: a method without a decoder, which leaves
    // an empty file) into a new file at target.path, then sets its date and permissions and
    // closes it. MemberWritten becomes true when the file was created.
    MemberResult WriteMember(const MemberTarget& target, Decoder* decoder);
    // Ends a member that WriteMember wrote to `path`, the same way for every format with the
    // differences in `rules`: reports a file that could not be made, a decoder failure, a
    // failed close and a failed check value (`checkPassed`), in that order, and fires OnEnd.
    // MemberWritten becomes true only for a whole file (its check value may still fail), so
    // nothing that was not written whole is taken for written. True when the member counts
    // among those written.
    bool EndMember(const std::string& path, const MemberResult& r, bool checkPassed,
                   const MemberEndRules& rules);
    // Says an error that ends one member: through OnError when a handler listens (or in the
    // designing state, or without a host), else in the host's information box.
    void Say(int code, const std::string& fn);

    std::string extractDir_;
    bool memberWritten_ = false;
    bool anyWritten_ = false;     // some member's file was written in this call
    bool memberRefused_ = false;  // a member was refused with an error of its own

    std::atomic<bool> cancel_{false};

  private:
    // A folder made absolute against CurrentFolder, ending in "/".
    std::string AbsoluteFolder(std::string folder) const;
    // The archive's folder, absolute and ending in "/".
    std::string ArchiveFolder() const;

    std::string currentFolder_;
    int nameRefusal_ = errInvalidFileName;
    bool cancelled_ = false;
};

// A DOS date-time (time in the low 16 bits) as a file time; nullopt when it is not a date.
std::optional<std::time_t> DosFileTime(std::uint32_t dos);

}  // namespace orvello::archive
