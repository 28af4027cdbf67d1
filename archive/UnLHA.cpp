#include "UnLHA.h"

#include <string_view>

#include "ArcPaths.h"
#include "FileRangeSource.h"
#include "LhaHeaders.h"
#include "LhaMethods.h"
#include "NameCodec.h"

namespace orvello::archive {

void TUnLHA::DoExtract() {
    SetFileName(std::string());
    written_ = 0;
    RunExtraction(TArcType::atLHA, TArcType::atLzhExe,
                  {errInvalidFileName, errArchiveType, errOpenFile}, [this](ArcFile& file) {
                      FireActivate();
                      const NameDecoder names(NameCoding::kLha, NamesEncoding);
                      std::int64_t at = DataStart();
                      for (int n = 1;; ++n) {
                          const auto read = ReadLhaHeader(file, at, names);
                          if (read.status == HeaderStatus::kEnd) break;
                          // Damage is said, and nothing after it can be found.
                          if (!read.IsHeader()) return RefuseDamage(read.error, read.named);
                          ProcessMember(file, read.header, n);
                          at = read.header.next;
                      }
                  });
}

void TUnLHA::ProcessMember(ArcFile& file, const LhaHeader& m, int n) {
    const std::string_view method(m.method.data(), m.method.size());
    if (IsLhaFolderMethod(method)) return;  // a folder entry: nothing to write
    // The folder of an extended header is checked with the name, but only the name's own
    // folders are written.
    if (!AcceptName(m.Listed(), m.name, MemberLabel(n))) return;
    if (!MatchFileSpec(FileName, fileSpec_)) return;
    FileRangeSource range(file, m.data, m.packed);
    auto decoder = MakeLhaDecoder(method, m.size, range);
    // Refused before anything is created, so no empty file is left for it.
    if (!decoder) return RefuseMember(errUnsupportedMethod, FileName);
    if (!ConfirmMember(FileName, RecNum(), AskOrder::kExistsFirst)) return;

    MemberTarget target;
    target.path = FileName;
    target.spec.size = m.size;
    target.spec.packedSize = m.packed;
    target.spec.stored = IsLhaStoredMethod(method);
    target.spec.step = ProgressStep();
    target.spec.check = CheckKind::kCrc16;
    target.spec.excessCode = errBadBlock;
    target.time = m.unixTime ? std::optional<std::time_t>(static_cast<std::time_t>(m.time))
                             : DosFileTime(m.time);
    const MemberResult r = WriteMember(target, decoder.get());

    if (EndMember(FileName, r, r.check == m.crc, kLhaEndRules)) ++written_;
}

}  // namespace orvello::archive
