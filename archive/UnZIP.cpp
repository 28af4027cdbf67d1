#include "UnZIP.h"

#include <algorithm>
#include <map>
#include <new>
#include <vector>

#include "ByteOrder.h"
#include "MemberReader.h"
#include "OutputFile.h"
#include "ZipEnd.h"
#include "ZipMethods.h"
#include "crypt.h"

namespace orvello::archive {

namespace {

constexpr std::uint32_t kCentralSignature = 0x02014b50u;  // "PK" 1 2
constexpr std::uint32_t kLocalSignature = 0x04034b50u;    // "PK" 3 4
constexpr std::uint32_t kZip250Signature = 0x50000000u;   // 00 00 00 50

// A member's stored data as a byte source: a range of the archive file. A range running past
// the end of the file (a truncated or damaged archive) simply ends there.
class FileRangeSource final : public InputSource {
  public:
    FileRangeSource(ArcFile& file, std::int64_t offset, std::uint64_t length)
        : file_(file), offset_(offset), left_(length) {}
    std::size_t Read(std::uint8_t* buf, std::size_t n) override {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(n, left_));
        const std::size_t got = want == 0 ? 0 : file_.ReadAt(offset_, buf, want);
        offset_ += static_cast<std::int64_t>(got);
        left_ = got < want ? 0 : left_ - got;
        return got;
    }

  private:
    ArcFile& file_;
    std::int64_t offset_;
    std::uint64_t left_;
};

}  // namespace

struct TUnZIP::Entry {
    std::uint16_t versionMadeBy = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t dosTime = 0;
    std::uint16_t dosDate = 0;
    std::uint32_t crc = 0;
    std::uint64_t packed = 0;
    std::uint64_t size = 0;
    std::uint32_t externalAttr = 0;
    std::int64_t localHeader = 0;  // file offset, corrected for a self-extractor
};

void TUnZIP::DoExtract() {
    SetFileName(std::string());
    recNum_ = 0;
    nothingWritten_ = true;
    password_.clear();
    claimed_.clear();
    std::unique_ptr<ArcFile> file;
    try {
        if (archiveFile_.empty()) RaiseError(errInvalidFileName, archiveFile_);
        const int type = static_cast<int>(arcType_);
        if (type < static_cast<int>(TArcType::atZIP) ||
            type > static_cast<int>(TArcType::atZip250Exe)) {
            RaiseError(errArchiveType, archiveFile_);
        }
        file = Files->Open(archiveFile_);
        if (!file) RaiseError(errOpenFile, archiveFile_);
        const std::int64_t size = file->Size();

        // Offsets inside a ZIP found through an executable's resources count from its start.
        const std::int64_t shift =
            zipSfxOffset_ > 0 && startOffset_ == zipSfxOffset_ + 1 ? zipSfxOffset_ : 0;
        const auto end = FindZipEndRecord(*file, shift);
        if (!end) RaiseError(errUnknownFileType, archiveFile_);
        std::int64_t pos = end->central;
        std::uint8_t h[46];
        if (!file->ReadExact(pos, h, sizeof h) || Le32(h) != kCentralSignature)
            RaiseError(errHeaderID, archiveFile_);
        if (OnActivate) OnActivate(*this);
        // No member's data may reach into the central directory or the end record.
        Claim({pos, end->offset + 22});

        while (pos < size) {
            if (Le32(h) != kCentralSignature) break;
            Entry e;
            e.versionMadeBy = Le16(h + 4);
            e.flags = Le16(h + 8);
            e.method = Le16(h + 10);
            e.dosTime = Le16(h + 12);
            e.dosDate = Le16(h + 14);
            e.crc = Le32(h + 16);
            const std::uint16_t nameLen = Le16(h + 28);
            const std::uint16_t extraLen = Le16(h + 30);
            const std::uint16_t commentLen = Le16(h + 32);
            e.externalAttr = Le32(h + 38);
            std::string name(nameLen, '\0');
            if (!file->ReadExact(pos + 46, reinterpret_cast<std::uint8_t*>(name.data()), nameLen))
                break;
            Zip64Values values{Le32(h + 24), Le32(h + 20), Le32(h + 42)};
            if (values.NeedExtra()) {
                std::vector<std::uint8_t> extra(extraLen);
                extra.resize(file->ReadAt(pos + 46 + nameLen, extra.data(), extra.size()));
                values.Apply(extra.data(), extra.size());
            }
            e.size = values.size;
            e.packed = values.packed;
            e.localHeader = static_cast<std::int64_t>(values.localHeader) + shift;
            pos += 46 + nameLen;
            const bool accepted = SetFileName(name);
            const bool folderEntry = !name.empty() && (name.back() == '/' || name.back() == '\\');
            if ((e.externalAttr & 0x18u) != 0 || folderEntry) {
                // A folder or a volume label: nothing to write.
            } else if (!accepted) {
                Report(errInvalidFileName, name);  // a name that would leave the output folder
            } else if (FileName.empty()) {
                break;
            } else if (MatchFileSpec(FileName, fileSpec_)) {
                if (!ProcessMember(*file, e)) break;
            }
            pos += extraLen + commentLen;
            if (!file->ReadExact(pos, h, sizeof h)) break;
        }
        if (nothingWritten_) RaiseError(errNothingToDo, archiveFile_);
    } catch (const E_RAISE&) {
        // Reported already; the call ends here.
    } catch (const std::bad_alloc&) {
        Report(errOutOfMemory, archiveFile_);
    }
    if (file) file->Close();
    if (OnDeactivate) OnDeactivate(*this);
}

bool TUnZIP::Claim(Span s) {
    // Claimed spans never overlap, so only the neighbours on either side of the new one can.
    const auto after = claimed_.lower_bound(s.begin);
    if (after != claimed_.end() && after->first < s.end) return false;
    if (after != claimed_.begin() && std::prev(after)->second > s.begin) return false;
    claimed_.emplace(s.begin, s.end);
    return true;
}

bool TUnZIP::ProcessMember(ArcFile& file, const Entry& e) {
    std::uint8_t lh[30];
    if (!file.ReadExact(e.localHeader, lh, sizeof lh) ||
        (Le32(lh) != kLocalSignature && Le32(lh) != kZip250Signature)) {
        Warn(errLocalHeader, FileName);
        return true;
    }
    const std::uint16_t localFlags = Le16(lh + 6);
    const std::uint16_t localTime = Le16(lh + 10);
    const std::uint32_t localCrc = Le32(lh + 14);
    std::int64_t data = e.localHeader + 30 + Le16(lh + 26) + Le16(lh + 28);
    // Two entries sharing data, or data reaching into the central directory: the trick of
    // archives that expand far beyond their size. Refused, as Info-ZIP's unzip refuses it.
    if (!Claim({e.localHeader, data + static_cast<std::int64_t>(e.packed)}))
        RaiseError(errBadFileHeader, FileName);

    ++recNum_;
    memberWritten_ = false;
    bool extract = true;
    if (OnFileExists && PathExists(FileName)) OnFileExists(*this, FileName, extract);
    if (extract && OnBegin) OnBegin(*this, FileName, recNum_, extract);
    if (!extract) {
        if (OnEnd) OnEnd(*this, FileName, false);
        return true;
    }
    const bool folderMade = MakeParentFolders(FileName);

    std::uint64_t packed = e.packed;
    const bool encrypted = (localFlags & 1u) != 0;
    ZipKeys keys;
    if (encrypted) {
        std::uint8_t header[12];
        if (packed < 12 || !file.ReadExact(data, header, sizeof header) ||
            !FindPassword(e, header, localFlags, localTime, localCrc, keys)) {
            if (OnGetPassword) Warn(errPasswordFailed, FileName);
            if (OnEnd) OnEnd(*this, FileName, false);
            return false;
        }
        data += 12;
        packed -= 12;
    }

    OutputFile out;
    const auto status = folderMade ? out.Create(FileName) : OutputFile::Status::kFailed;
    if (status == OutputFile::Status::kSymlink) {
        // Never written through: the link stays, the member is not extracted.
        Report(errOpenFile, FileName);
        if (OnEnd) OnEnd(*this, FileName, false);
        return true;
    }
    std::uint32_t crc = 0;
    bool damaged = false;
    if (status == OutputFile::Status::kFailed) {
        Report(errOpenFile, FileName);
        if (!encrypted) throw E_RAISE(errOpenFile);
    } else {
        FileRangeSource range(file, data, packed);
        DecryptingSource decrypted(range, keys);
        InputSource& src = encrypted ? static_cast<InputSource&>(decrypted) : range;
        auto decoder = MakeZipDecoder(e.method, e.flags, e.size, src);
        int failure = errUnsupportedMethod;
        if (decoder) {
            MemberSpec spec;
            spec.size = e.size;
            spec.packedSize = packed;
            spec.stored = e.method == 0;
            spec.step = static_cast<unsigned>(ProgressNotify) * 5 + 5;
            spec.excessCode = ZipExcessCode(e.method);
            MemberReader reader(*decoder, spec, [&](std::uint8_t p) {
                if (OnProgress) OnProgress(*this, FileName, p);
            });
            failure = reader.Run(out);
            crc = reader.Check();
            if (failure == errWriteFile || reader.Excess()) {
                // A short file, or data beyond the recorded size: always said, whatever the
                // method, since the check value alone would not show it.
                Report(failure, FileName);
                damaged = true;
                failure = kOk;
            }
        }
        if (failure != kOk && e.method != 8 && Host != nullptr)
            Host->ShowInformation(std::string(ErrorText(failure)));
        std::time_t t;
        if (SetDateTo() == TSetDate::OrigDate &&
            DosDateTimeToUnix(std::uint32_t{e.dosDate} << 16 | e.dosTime, t)) {
            out.SetTime(t);
        }
        const unsigned unixMode = e.externalAttr >> 16;
        if ((e.versionMadeBy >> 8) == 3 && unixMode != 0) {
            out.SetPermissions(unixMode);
        } else if ((e.externalAttr & 1u) != 0) {
            out.RemoveWritePermission();
        }
        if (!out.Close()) {
            Report(errCloseFile, FileName);
            damaged = true;
        }
        nothingWritten_ = false;
        memberWritten_ = true;
    }
    const bool pass = crc == e.crc;
    if (!pass) Warn(errCRC, FileName);
    if (OnEnd) OnEnd(*this, FileName, pass && !damaged);
    return true;
}

bool TUnZIP::FindPassword(const Entry& e, const std::uint8_t (&header)[12],
                          std::uint16_t localFlags, std::uint16_t localTime, std::uint32_t localCrc,
                          ZipKeys& keys) {
    // The password that opened an earlier member, checked against the central entry.
    if (TryPassword(password_, header, PasswordCheckByte(e.flags, e.dosTime, e.crc), keys))
        return true;
    const std::uint8_t check = PasswordCheckByte(localFlags, localTime, localCrc);
    for (const auto& p : Passwords) {
        if (TryPassword(p, header, check, keys)) {
            password_ = p;
            return true;
        }
    }
    if (!OnGetPassword) {
        Warn(errNoOnPassword, FileName);
        return false;
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string candidate = password_;
        bool tryAgain = true;
        OnGetPassword(*this, FileName, candidate, tryAgain);
        if (!tryAgain) break;
        if (TryPassword(candidate, header, check, keys)) {
            Passwords.insert(Passwords.begin(), candidate);
            password_ = candidate;
            return true;
        }
        password_.clear();
        Warn(errInvalidPassword, FileName);
    }
    return false;
}

}  // namespace orvello::archive
