#include "UnARC.h"

#include <memory>

#include "ArcMethods.h"
#include "FileRangeSource.h"

namespace orvello::archive {

void TUnARC::DoExtract() {
    written_ = 0;
    RunExtraction(TArcType::atARC, TArcType::atArcExe, {}, [this](ArcFile& file) {
        FireActivate();
        const NameDecoder names(NameCoding::kDos, NamesEncoding);
        std::int64_t at = DataStart();
        for (int n = 1;; ++n) {
            const auto read = ReadArcHeader(file, at, kMaxStrayBytes, names);
            if (read.status == HeaderStatus::kEnd) break;
            // Damage is said, and nothing after it can be found.
            if (!read.IsHeader()) return RefuseDamage(read.error, read.named);
            ProcessMember(file, read.header, n);
            at = read.header.next;
        }
    });
}

void TUnARC::ProcessMember(ArcFile& file, const ArcHeader& h, int n) {
    if (!AcceptName(h.name, MemberLabel(n))) return;
    if (!MatchFileSpec(FileName, fileSpec_)) {
        Warn(errSkippedFile, FileName);
        return;
    }
    FileRangeSource range(file, h.data, h.packed);
    auto decoder = MakeArcDecoder(h.method, h.size, range);
    // Refused before anything is created, so no empty file is left for it.
    if (!decoder) return RefuseMember(errUnsupportedMethod, FileName);
    if (!ConfirmMember(FileName, written_, AskOrder::kBeginFirst)) {
        Warn(errSkippedFile, FileName);
        return;
    }
    MemberTarget target;
    target.path = FileName;
    target.spec.size = h.size;
    target.spec.packedSize = h.packed;
    target.spec.stored = h.method <= 2;
    target.spec.step = ProgressStep();
    target.spec.check = CheckKind::kCrc16;
    target.spec.excessCode = errBadBlock;
    target.time = DosFileTime(h.dosDateTime);
    const MemberResult r = WriteMember(target, decoder.get());
    if (EndMember(FileName, r, r.check == h.crc, kArcEndRules)) ++written_;
}

}  // namespace orvello::archive
