// The steps every extractor shares: the call's envelope, the questions before a member, its
// progress, and writing one member through its decoder into a new file.
#include <algorithm>
#include <exception>
#include <new>

#include "ArcMain.h"
#include "ArcPaths.h"
#include "OutputFile.h"

namespace orvello::archive {

void TUnBase::RunExtraction(TArcType first, TArcType last, std::initializer_list<int> passOn,
                            const std::function<void(ArcFile& archive)>& walk) {
    anyWritten_ = false;
    memberRefused_ = false;
    memberWritten_ = false;
    std::unique_ptr<ArcFile> file;
    std::exception_ptr escaping;
    try {
        if (archiveFile_.empty()) RaiseError(errInvalidFileName, archiveFile_);
        const int type = static_cast<int>(arcType_);
        if (type < static_cast<int>(first) || type > static_cast<int>(last))
            RaiseError(errArchiveType, archiveFile_);
        file = Files->Open(archiveFile_);
        if (!file) RaiseError(errOpenFile, archiveFile_);
        walk(*file);
        // A cancel that came after the last member's data still ends the call as cancelled.
        if (CancelPending()) RaiseError(errCancelled, archiveFile_);
        // Members refused with an error of their own need no second one.
        if (!anyWritten_ && !memberRefused_) RaiseError(errNothingToDo, archiveFile_);
    } catch (const E_RAISE& e) {
        // Reported already. Only the codes the format passes on leave the call.
        if (std::find(passOn.begin(), passOn.end(), e.Code()) != passOn.end())
            escaping = std::current_exception();
    } catch (...) {
        // Out of memory, or an event handler's exception: said, and the call ends here.
        ReportEscaped();
    }
    if (file) file->Close();
    try {
        if (OnDeactivate) OnDeactivate(*this);
    } catch (...) {
        ReportEscaped();
    }
    if (escaping) std::rethrow_exception(escaping);
}

bool TUnBase::ConfirmMember(const std::string& path, std::int32_t recNum, AskOrder order) {
    memberWritten_ = false;
    // After a cancel no further member is begun.
    if (CancelPending()) RaiseError(errCancelled, archiveFile_);
    bool go = true;
    auto askExists = [&] {
        if (go && OnFileExists && PathExists(path)) OnFileExists(*this, path, go);
    };
    auto askBegin = [&] {
        if (go && OnBegin) OnBegin(*this, path, recNum, go);
    };
    if (order == AskOrder::kExistsFirst) {
        askExists();
        askBegin();
    } else {
        askBegin();
        askExists();
    }
    return go;
}

bool TUnBase::AcceptName(const std::string& listed, const std::string& written,
                         const std::string& label) {
    for (const std::string* name : {&listed, &written}) {
        const auto safe = SafeRelativeName(*name);
        if (!safe || safe->back() == '/') {
            RefuseMember(errInvalidFileName, listed.empty() ? label : listed);
            return false;
        }
    }
    if (!SetFileName(written)) {
        RefuseMember(NameRefusal(), listed);
        return false;
    }
    return true;
}

MemberReader::Progress TUnBase::ProgressTo(const std::string& fn) {
    return [this, fn](std::uint8_t percent) {
        if (OnProgress) OnProgress(*this, fn, percent);
    };
}

TUnBase::MemberResult TUnBase::WriteMember(const MemberTarget& target, Decoder* decoder) {
    MemberResult result;
    if (target.makeFolders && !MakeParentFolders(target.path)) return result;
    OutputFile out;
    switch (out.Create(target.path)) {
        case OutputFile::Status::kOk:
            break;
        case OutputFile::Status::kSymlink:
            result.output = MemberResult::Output::kSymlink;
            return result;
        case OutputFile::Status::kFailed:
            return result;
    }
    result.output = MemberResult::Output::kWritten;
    memberWritten_ = true;
    anyWritten_ = true;
    if (decoder == nullptr) {
        result.failure =
            errUnsupportedMethod;  // the file stays empty; both checks of nothing are 0
    } else {
        MemberSpec spec = target.spec;
        spec.cancel = &cancel_;
        MemberReader reader(*decoder, spec, ProgressTo(target.path));
        result.failure = reader.Run(out);
        if (result.failure == errCancelled) {
            // Stopped half-way: the partial file must not pass for the member, and the walk
            // ends here.
            out.Discard();
            if (OnEnd) OnEnd(*this, target.path, false);
            RaiseError(errCancelled, archiveFile_);
        }
        result.excess = reader.Excess();
        result.damaged = reader.Damaged();
        result.check = reader.Check();
    }
    if (target.time && SetDateTo() == TSetDate::OrigDate) out.SetTime(*target.time);
    if (target.mode) {
        out.SetPermissions(*target.mode);
    } else if (target.readOnly) {
        out.RemoveWritePermission();
    }
    result.closeFailed = !out.Close();
    return result;
}

bool TUnBase::EndMember(const std::string& path, const MemberResult& r, bool checkPassed,
                        const MemberEndRules& rules) {
    if (r.output != MemberResult::Output::kWritten) {
        memberWritten_ = false;
        // A symbolic link in the file's place is never written through: said as such.
        const bool link = r.output == MemberResult::Output::kSymlink;
        Report(link ? errLinkInPath : errOpenFile, path);
        if (rules.skippedWhenNotCreated) Warn(errSkippedFile, path);
        if (rules.endWhenNotCreated && OnEnd) OnEnd(*this, path, false);
        if (!link && rules.stopWhenNotCreated) throw E_RAISE(errOpenFile);  // reported above
        return false;
    }
    const bool whole = r.failure == kOk && !r.closeFailed;
    memberWritten_ = whole;
    const bool counted = rules.countFailed || r.failure == kOk;
    if (r.failure != kOk) {
        if (rules.failureToHost && !r.damaged) {
            Say(r.failure, path);
        } else {
            Report(r.failure, path);
        }
        if (!rules.checkAfterFailure) {
            if (OnEnd) OnEnd(*this, path, false);
            return counted;
        }
    }
    if (r.closeFailed) Report(errCloseFile, path);
    if (!checkPassed) {
        Warn(errCRC, path);
        if (!rules.endAfterBadCheck) return counted;
    }
    if ((whole || rules.endWhenNotWhole) && OnEnd) OnEnd(*this, path, checkPassed && whole);
    return counted;
}

void TUnBase::Say(int code, const std::string& fn) {
    if (OnError || Designing || Host == nullptr) {
        Report(code, fn);
    } else {
        Host->ShowInformation(std::string(ErrorText(code)));
    }
}

std::optional<std::time_t> DosFileTime(std::uint32_t dos) {
    std::time_t t;
    if (!DosDateTimeToUnix(dos, t)) return std::nullopt;
    return t;
}

}  // namespace orvello::archive
