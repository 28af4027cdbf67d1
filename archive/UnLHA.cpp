// LHA member headers, as this walk reads them (little-endian, offsets from the header start):
//
// Levels 0 and 1: header size H at 0 (bytes after the first two; 0 ends the archive), method
// id "-lh5-" at 2, packed size 7, uncompressed size 11, DOS date-time 15, attribute 19, level
// 20, name length N 21, name 22, CRC-16 22 + N; level 1 adds the system id and the size of the
// first extended header at 24 + N and 25 + N. The data follows at H + 2 (level 1: after the
// extended headers, which the packed size includes); the next header follows the data.
// Level 2: 16-bit total header size at 0, Unix time at 15, CRC-16 at 21, the first extended
// header's size at 24 (the fixed part is 26 bytes); the name is in extended header 1. Level 3
// is level 2 with 32-bit sizes: the header size at 24, the first extended size at 28, fixed
// part 32.
#include "UnLHA.h"

#include <array>
#include <string_view>

#include "ArcPaths.h"
#include "ByteOrder.h"
#include "FileRangeSource.h"
#include "LhaHeaders.h"
#include "LhaMethods.h"
#include "NameCodec.h"

namespace orvello::archive {

namespace {

constexpr std::size_t kFixedLength = 22;

}  // namespace

struct TUnLHA::Member {
    std::string name;  // as stored, folders only from the name itself
    std::array<char, 5> method{};
    std::int64_t data = 0;  // where the member's data starts
    std::uint64_t packed = 0;
    std::uint64_t size = 0;
    std::uint16_t crc = 0;
    std::optional<std::time_t> time;
};

void TUnLHA::DoExtract() {
    SetFileName(std::string());
    written_ = 0;
    RunExtraction(TArcType::atLHA, TArcType::atLzhExe,
                  {errInvalidFileName, errArchiveType, errOpenFile}, [this](ArcFile& file) {
                      FireActivate();
                      std::int64_t at = startOffset_ > 1 ? startOffset_ - 1 : 0;
                      while (at >= 0) {
                          Member m;
                          const std::int64_t next = ReadHeader(file, at, m);
                          if (next < 0) break;
                          ProcessMember(file, m);
                          at = next;
                      }
                  });
}

std::int64_t TUnLHA::ReadHeader(ArcFile& file, std::int64_t at, Member& m) {
    std::uint8_t h[32];
    if (!file.ReadExact(at, h, kFixedLength)) return -1;  // the archive simply ends here
    std::copy(h + 2, h + 7, m.method.begin());
    m.packed = Le32(h + 7);
    m.size = Le32(h + 11);
    const unsigned level = h[20];
    const bool methodId = h[2] == '-' && h[6] == '-';
    std::int64_t next;
    if ((level == 2 || level == 3) && methodId) {
        const unsigned width = level == 2 ? 2 : 4;
        const std::size_t fixed = level == 2 ? 26 : 32;
        if (!file.ReadExact(at, h, fixed)) {
            Warn(errBadFileHeader, archiveFile_);
            return -1;
        }
        const std::int64_t headerSize = level == 2 ? Le16(h) : Le32(h + 24);
        if (headerSize < static_cast<std::int64_t>(fixed)) {
            Warn(errBadFileHeader, archiveFile_);
            return -1;
        }
        LhaExtendedNames names;
        ReadLhaExtendedHeaders(file, at + static_cast<std::int64_t>(fixed),
                               level == 2 ? Le16(h + 24) : Le32(h + 28), at + headerSize, width,
                               names);
        m.name = names.name;
        m.crc = Le16(h + 21);
        m.time = static_cast<std::time_t>(Le32(h + 15));
        m.data = at + headerSize;
        next = m.data + static_cast<std::int64_t>(m.packed);
    } else {
        const unsigned size = h[0], nameLength = h[21];
        if (size == 0) return -1;  // the end marker
        // The fixed part, the name and its CRC must fit the header.
        if (size < kFixedLength || kFixedLength + nameLength + 2 > size + 2u) {
            Warn(errBadFileHeader, archiveFile_);
            return -1;
        }
        m.name.resize(nameLength);
        std::uint8_t crc[2];
        if (!file.ReadExact(at + 22, reinterpret_cast<std::uint8_t*>(m.name.data()), nameLength) ||
            !file.ReadExact(at + 22 + nameLength, crc, 2)) {
            Warn(errBadFileHeader, archiveFile_);
            return -1;
        }
        m.crc = Le16(crc);
        m.time = DosFileTime(Le32(h + 15));
        m.data = at + size + 2;
        next = m.data + static_cast<std::int64_t>(m.packed);
        std::uint8_t first[2];
        if (level == 1 && size >= 25u + nameLength &&
            file.ReadExact(at + 25 + nameLength, first, 2)) {
            // The packed size counts the extended headers; the data follows them. They may
            // rename the member, never give it a folder.
            LhaExtendedNames names;
            const std::int64_t extended =
                ReadLhaExtendedHeaders(file, m.data, Le16(first), next, 2, names);
            if (names.hasName) m.name = names.name;
            m.data += extended;
            m.packed -= static_cast<std::uint64_t>(extended);
        }
    }
    return next;
}

void TUnLHA::ProcessMember(ArcFile& file, const Member& m) {
    const std::string_view method(m.method.data(), m.method.size());
    if (IsLhaFolderMethod(method)) return;  // a folder entry: nothing to write
    const std::string name = DecodeMemberName(m.name, NameCoding::kLha);
    if (!SetFileName(name)) {
        Report(errInvalidFileName, name);  // a name that would leave the output folder
        return;
    }
    if (FileName.empty() || !MatchFileSpec(FileName, fileSpec_)) return;
    if (!ConfirmMember(FileName, RecNum(), AskOrder::kExistsFirst)) return;

    FileRangeSource range(file, m.data, m.packed);
    auto decoder = MakeLhaDecoder(method, m.size, range);
    MemberTarget target;
    target.path = FileName;
    target.spec.size = m.size;
    target.spec.packedSize = m.packed;
    target.spec.stored = IsLhaStoredMethod(method);
    target.spec.step = ProgressStep();
    target.spec.check = CheckKind::kCrc16;
    target.spec.excessCode = errBadBlock;
    target.time = m.time;
    const MemberResult r = WriteMember(target, decoder.get());

    if (r.output != MemberResult::Output::kWritten) {
        Report(errOpenFile, FileName);
        if (OnEnd) OnEnd(*this, FileName, false);
        return;
    }
    if (r.failure != kOk) Report(r.failure, FileName);
    if (r.closeFailed) Report(errCloseFile, FileName);
    const bool pass = r.check == m.crc;
    if (!pass) Warn(errCRC, FileName);
    if (r.failure == kOk) ++written_;
    if (OnEnd) OnEnd(*this, FileName, pass && r.failure == kOk && !r.closeFailed);
}

}  // namespace orvello::archive
