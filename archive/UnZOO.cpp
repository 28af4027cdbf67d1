// ZOO layout as this walk reads it (little-endian): the archive header at offset 0 holds the
// offset of the first directory entry at 24 and its negative at 28. A directory entry: tag
// 0xFDC4A7DC at 0, type 4, method 5, next entry 6 (0 ends the chain), data offset 10, DOS date
// 14 and time 16, CRC-16 18, uncompressed size 20, compressed size 24, deleted flag 30, short
// name 38 (13 bytes); entries of type 2 go on with a variable part (ZooNames.h).
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
constexpr std::size_t kFixedEntryLength = 51;
constexpr std::uint32_t kEntryTag = 0xFDC4A7DCu;

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
                      dataEnd_ = 0;
                      std::int64_t at = first;
                      for (;;) {
                          std::uint8_t entry[kZooEntryLength];
                          const std::size_t got = file.ReadAt(at, entry, sizeof entry);
                          if (got < 10 || Le32(entry) != kEntryTag)
                              RaiseError(errBadFileHeader, archiveFile_);
                          const std::int64_t next = Le32(entry + 6);
                          if (next == 0) break;
                          if (got < kFixedEntryLength) RaiseError(errBadFileHeader, archiveFile_);
                          ProcessEntry(file, at, entry, got);
                          // The chain only runs forward: a link back to an entry already passed
                          // would loop. A link out of the file fails at the tag above.
                          if (next <= at) RaiseError(errBadFileHeader, archiveFile_);
                          at = next;
                      }
                  });
}

void TUnZOO::ProcessEntry(ArcFile& file, std::int64_t at, const std::uint8_t* entry,
                          std::size_t length) {
    const std::string name = ZooEntryName(file, at, entry, length);
    const auto safe = SafeRelativeName(name);
    if (!safe || FileNamePart(*safe).empty()) {
        Report(errInvalidFileName, name);  // a name that would leave the output folder
        return;
    }
    const std::string path = extractDir_ + FileNamePart(*safe);
    if (!MatchFileSpec(path, fileSpec_)) return;

    const std::int64_t data = Le32(entry + 10);
    const std::uint32_t packed = Le32(entry + 24);
    // Members never share data: otherwise a small archive could write the same data again
    // and again, far beyond its size.
    if (data < dataEnd_) {
        Report(errBadFileHeader, path);
        return;
    }
    dataEnd_ = data + packed;
    if (!ConfirmMember(path, 0, AskOrder::kExistsFirst)) return;

    const unsigned method = entry[5];
    FileRangeSource range(file, data, packed);
    auto decoder = MakeZooDecoder(method, Le32(entry + 20), range);
    MemberTarget target;
    target.path = path;
    target.makeFolders = false;
    target.spec.size = Le32(entry + 20);
    target.spec.packedSize = packed;
    target.spec.stored = method == 0;
    target.spec.step = ProgressStep();
    target.spec.check = CheckKind::kCrc16;
    target.spec.excessCode = errBadBlock;
    target.time = DosFileTime(SwapDosHalves(Le32(entry + 14)));
    const MemberResult r = WriteMember(target, decoder.get());

    if (r.output != MemberResult::Output::kWritten) {
        Report(errOpenFile, path);
        if (OnEnd) OnEnd(*this, path, false);
        return;
    }
    if (r.failure != kOk) {
        // The member is abandoned with what its data gave; its check is not made.
        Report(r.failure, path);
        if (OnEnd) OnEnd(*this, path, false);
        return;
    }
    if (r.closeFailed) Report(errCloseFile, path);
    const bool pass = r.check == Le16(entry + 18);
    if (!pass) Warn(errCRC, path);
    if (OnEnd) OnEnd(*this, path, pass && !r.closeFailed);
}

}  // namespace orvello::archive
