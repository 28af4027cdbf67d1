#include "UnZIP.h"

#include <algorithm>
#include <map>

#include "ByteOrder.h"
#include "FileRangeSource.h"
#include "NameCodec.h"
#include "ZipHeaders.h"
#include "ZipMethods.h"
#include "crypt.h"

namespace orvello::archive {

namespace {

constexpr std::uint32_t kCentralSignature = 0x02014b50u;  // "PK" 1 2

}  // namespace

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
            const ZipCentralEntry& e = read.header;
            const std::string& name = e.name;
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
            pos = e.next;
        }
    });
}

std::string TUnZIP::EntryLabel(int entry) const {
    return archiveFile_ + " (entry " + std::to_string(entry) + ")";
}

void TUnZIP::Refuse(int code) {
    // One error, through OnError when the host listens, else in the information box that
    // decoder failures use.
    Say(code, FileName);
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

bool TUnZIP::ProcessMember(ArcFile& file, const ZipCentralEntry& e) {
    const auto local = ReadZipLocalHeader(file, e.localHeader);
    // A member whose local header is missing is warned about and stepped over.
    if (!local.IsHeader()) {
        Warn(local.error, FileName);
        return true;
    }
    const ZipLocalHeader& l = local.header;
    std::int64_t data = l.data;
    // Two entries sharing data, or data reaching into the central directory: the trick of
    // archives that expand far beyond their size. Refused, as Info-ZIP's unzip refuses it.
    if (!Claim({l.start, data + static_cast<std::int64_t>(e.packed)}))
        RaiseError(errBadFileHeader, FileName);

    ++recNum_;
    if (!ConfirmMember(FileName, recNum_, AskOrder::kExistsFirst)) {
        if (OnEnd) OnEnd(*this, FileName, false);
        return true;
    }

    std::uint64_t packed = e.packed;
    const bool encrypted = (l.flags & 1u) != 0;
    // AES (method 99) and the strong encryption (flag bit 6) are not the traditional scheme:
    // no password can open them here. A method without a decoder gives no file at all.
    if (encrypted && (e.method == 99 || ((e.flags | l.flags) & 0x40u) != 0)) {
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
            !FindPassword(e, l, header, keys)) {
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
    MemberEndRules rules = kZipEndRules;
    rules.stopWhenNotCreated = !encrypted;  // an encrypted member that cannot be made ends alone
    EndMember(FileName, r, r.check == e.crc, rules);
    return true;
}

bool TUnZIP::FindPassword(const ZipCentralEntry& e, const ZipLocalHeader& l,
                          const std::uint8_t (&header)[12], ZipKeys& keys) {
    // The password that opened an earlier member, checked against the central entry.
    if (TryPassword(password_, header, PasswordCheckByte(e.flags, e.dosTime, e.crc), keys))
        return true;
    const std::uint8_t check = PasswordCheckByte(l.flags, l.dosTime, l.crc);
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
