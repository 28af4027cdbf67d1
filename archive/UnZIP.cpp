#include "UnZIP.h"

#include <algorithm>
#include <map>

#include "ByteOrder.h"
#include "FileRangeSource.h"
#include "NameCodec.h"
#include "ZipEnd.h"
#include "ZipMethods.h"
#include "crypt.h"

namespace orvello::archive {

namespace {

constexpr std::uint32_t kCentralSignature = 0x02014b50u;  // "PK" 1 2
constexpr std::uint32_t kLocalSignature = 0x04034b50u;    // "PK" 3 4
constexpr std::uint32_t kZip250Signature = 0x50000000u;   // 00 00 00 50

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
    password_.clear();
    claimed_.clear();
    RunExtraction(TArcType::atZIP, TArcType::atZip250Exe, {}, [this](ArcFile& file) {
        // Offsets inside a ZIP found through an executable's resources count from its start.
        const std::int64_t shift =
            zipSfxOffset_ > 0 && dataStart_ == zipSfxOffset_ ? zipSfxOffset_ : 0;
        const auto end = FindZipEndRecord(file, shift);
        if (!end) RaiseError(errUnknownFileType, archiveFile_);
        std::int64_t pos = end->central;
        std::uint8_t h[46];
        if (!file.ReadExact(pos, h, sizeof h) || Le32(h) != kCentralSignature)
            RaiseError(errHeaderID, archiveFile_);
        FireActivate();
        // No member's data may reach into the central directory or the end record.
        Claim({pos, end->offset + 22});

        const NameDecoder names(NameCoding::kDos, NamesEncoding);
        for (int entry = 1;; ++entry) {
            const auto read = ReadZipCentralEntry(file, pos, shift, names);
            if (read.status == HeaderStatus::kEnd) break;
            // The directory ends inside this entry's name: a damaged entry, and the last. What
            // could be read of the name runs into the end record, so the entry is named by its
            // place.
            if (!read.IsHeader()) return RefuseMember(read.error, EntryLabel(entry));
            const ZipCentralEntry& c = read.header;
            Entry e;
            e.versionMadeBy = c.versionMadeBy;
            e.flags = c.flags;
            e.method = c.method;
            e.dosTime = c.dosTime;
            e.dosDate = c.dosDate;
            e.crc = c.crc;
            e.externalAttr = c.externalAttr;
            e.size = c.size;
            e.packed = c.packed;
            e.localHeader = c.localHeader;
            const std::string& name = c.name;
            // An empty name is no member name either (SetFileName takes it as "clear").
            const bool accepted = !name.empty() && SetFileName(name);
            const bool folderEntry = !name.empty() && name.back() == '/';
            if (!accepted) {
                // A name that reduces to nothing, leaves the output folder or passes through a
                // link: refused, said, and the walk goes on.
                RefuseMember(name.empty() ? errInvalidFileName : NameRefusal(),
                             name.empty() ? EntryLabel(entry) : name);
            } else if ((e.externalAttr & 0x18u) != 0 || folderEntry) {
                // A folder or a volume label: nothing to write.
            } else if (MatchFileSpec(FileName, fileSpec_)) {
                if (!ProcessMember(file, e)) break;
            }
            pos = c.next;
        }
    });
}

std::string TUnZIP::EntryLabel(int entry) const {
    return archiveFile_ + " (entry " + std::to_string(entry) + ")";
}

void TUnZIP::Refuse(int code) {
    // One error, through OnError when the host listens, else in the information box that
    // decoder failures use.
    if (OnError || Designing || Host == nullptr) {
        Report(code, FileName);
    } else {
        Host->ShowInformation(std::string(ErrorText(code)));
    }
    memberRefused_ = true;
    if (OnEnd) OnEnd(*this, FileName, false);
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
    if (!ConfirmMember(FileName, recNum_, AskOrder::kExistsFirst)) {
        if (OnEnd) OnEnd(*this, FileName, false);
        return true;
    }

    std::uint64_t packed = e.packed;
    const bool encrypted = (localFlags & 1u) != 0;
    // AES (method 99) and the strong encryption (flag bit 6) are not the traditional scheme:
    // no password can open them here. A method without a decoder gives no file at all.
    if (encrypted && (e.method == 99 || ((e.flags | localFlags) & 0x40u) != 0)) {
        Refuse(errUnsupportedEncryption);
        return true;
    }
    if (!IsDecodedZipMethod(e.method)) {
        Refuse(errUnsupportedMethod);
        return true;
    }
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

    FileRangeSource range(file, data, packed);
    DecryptingSource decrypted(range, keys);
    InputSource& src = encrypted ? static_cast<InputSource&>(decrypted) : range;
    auto decoder = MakeZipDecoder(e.method, e.flags, e.size, src);
    MemberTarget target;
    target.path = FileName;
    target.spec.size = e.size;
    target.spec.packedSize = packed;
    target.spec.stored = e.method == 0;
    target.spec.step = ProgressStep();
    target.spec.excessCode = ZipExcessCode(e.method);
    target.time = DosFileTime(std::uint32_t{e.dosDate} << 16 | e.dosTime);
    const unsigned unixMode = e.externalAttr >> 16;
    if ((e.versionMadeBy >> 8) == 3 && unixMode != 0) target.mode = unixMode;
    target.readOnly = (e.externalAttr & 1u) != 0;
    const MemberResult r = WriteMember(target, decoder.get());

    if (r.output == MemberResult::Output::kSymlink) {
        // Never written through: the link stays, the member is not extracted.
        Report(errLinkInPath, FileName);
        if (OnEnd) OnEnd(*this, FileName, false);
        return true;
    }
    bool damaged = false;
    if (r.output == MemberResult::Output::kNotCreated) {
        // An unencrypted member ends the whole call; an encrypted one only itself, and its
        // check then fails.
        Report(errOpenFile, FileName);
        if (!encrypted) throw E_RAISE(errOpenFile);
    }
    int failure = r.failure;
    if (r.damaged) {
        // Data that ends before the recorded size or runs past it, or a short write: always
        // said, whatever the method, since the check value alone would not show it.
        Report(failure, FileName);
        damaged = true;
        failure = kOk;
    }
    if (failure != kOk && e.method != 8 && Host != nullptr)
        Host->ShowInformation(std::string(ErrorText(failure)));
    if (r.closeFailed) {
        Report(errCloseFile, FileName);
        damaged = true;
    }
    const bool pass = r.check == e.crc;
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
