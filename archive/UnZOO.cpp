// ZOO layout as this walk reads it (little-endian): the archive header at offset 0 holds the
// offset of the first directory entry at 24 and its negative at 28; the entries are read by
// the reader the lister uses too (ZooNames.h).
#include "UnZOO.h"

#include "ArcPaths.h"
#include "ByteOrder.h"
#include "FileRangeSource.h"
#include "LhaBlock.h"
#include "Lzw.h"
#include "StoredDecoder.h"
#include "ZooNames.h"

namespace orvello::archive {

namespace {

constexpr std::size_t kArchiveHeaderLength = 34;

// Method 2 is LHA's block decoder with 13 dictionary bits and 4-bit position counts.
std::unique_ptr<Decoder> MakeZooDecoder(unsigned method, std::uint64_t size, InputSource& src) {
    switch (method) {
        case 0:
            return std::make_unique<StoredDecoder>(src);
        case 1:
            return std::make_unique<LzwDecoder>(src, LzwDecoder::kZoo);
        case 2:
            return std::make_unique<LhaBlockDecoder>(src, 13, 4, size);
        default:
            return nullptr;
    }
}

// The end of a ZOO member: a decoder failure abandons it with what its data gave, unchecked.
constexpr MemberEndRules kZooEndRules{.endWhenNotCreated = true,
                                      .skippedWhenNotCreated = false,
                                      .checkAfterFailure = false,
                                      .endAfterBadCheck = true,
                                      .endWhenNotWhole = true,
                                      .countFailed = false,
                                      .stopWhenNotCreated = false,
                                      .failureToHost = false};

}  // namespace

void TUnZOO::DoExtract() {
    RunExtraction(TArcType::atZOO, TArcType::atZOO,
                  {errInvalidFileName, errArchiveType, errOpenFile, errReadFile, errBadFileHeader},
                  [this](ArcFile& file) {
                      std::uint8_t header[kArchiveHeaderLength];
                      if (!file.ReadExact(0, header, sizeof header))
                          RaiseError(errReadFile, archiveFile_);
                      const std::uint32_t first = Le32(header + 24);
                      if (static_cast<std::uint32_t>(first + Le32(header + 28)) != 0)
                          RaiseError(errBadFileHeader, archiveFile_);
                      FireActivate();
                      const NameDecoder names(NameCoding::kDos, NamesEncoding);
                      dataEnd_ = 0;
                      std::int64_t at = first;
                      for (;;) {
                          const auto read = ReadZooEntry(file, at, names);
                          if (read.status == HeaderStatus::kEnd) break;
                          // Damage ends the walk, said under the member's name when known.
                          if (!read.IsHeader())
                              RaiseError(read.error,
                                         read.named.empty() ? archiveFile_ : read.named);
                          ProcessEntry(file, read.header);
                          // The chain only runs forward: a link back to an entry already passed
                          // would loop. A link out of the file fails at the tag.
                          if (read.header.next <= at) RaiseError(errBadFileHeader, archiveFile_);
                          at = read.header.next;
                      }
                  });
}

void TUnZOO::ProcessEntry(ArcFile& file, const ZooEntry& e) {
    const auto safe = SafeRelativeName(e.name);
    if (!safe || FileNamePart(*safe).empty()) {
        // A name that would leave the output folder or reduces to nothing.
        return RefuseMember(errInvalidFileName, e.name);
    }
    const std::string path = extractDir_ + FileNamePart(*safe);
    if (!MatchFileSpec(path, fileSpec_)) return;

    // Members never share data: otherwise a small archive could write the same data again
    // and again, far beyond its size.
    if (e.data < dataEnd_) return RefuseMember(errBadFileHeader, path);
    dataEnd_ = e.data + static_cast<std::int64_t>(e.packed);
    FileRangeSource range(file, e.data, e.packed);
    auto decoder = MakeZooDecoder(e.method, e.size, range);
    // Refused before anything is created, so no empty file is left for it.
    if (!decoder) return RefuseMember(errUnsupportedMethod, path);
    if (!ConfirmMember(path, 0, AskOrder::kExistsFirst)) return;

    MemberTarget target;
    target.path = path;
    target.makeFolders = false;
    target.spec.size = e.size;
    target.spec.packedSize = e.packed;
    target.spec.stored = e.method == 0;
    target.spec.step = ProgressStep();
    target.spec.check = CheckKind::kCrc16;
    target.spec.excessCode = errBadBlock;
    target.time = DosFileTime(e.dosDateTime);
    const MemberResult r = WriteMember(target, decoder.get());

    EndMember(path, r, r.check == e.crc, kZooEndRules);
}

}  // namespace orvello::archive
