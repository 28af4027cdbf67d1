#include "UnARC.h"

#include <algorithm>
#include <memory>

#include "ArcMethods.h"
#include "ByteOrder.h"
#include "FileRangeSource.h"

namespace orvello::archive {

namespace {

constexpr std::uint8_t kMarker = 0x1A;
constexpr std::size_t kHeaderLength = 29;
constexpr std::size_t kOldHeaderLength = 25;  // method 1 has no uncompressed size

}  // namespace

struct TUnARC::Header {
    unsigned method = 0;
    std::string name;
    std::uint64_t packed = 0;
    std::uint64_t size = 0;
    std::uint32_t dosDateTime = 0;  // time in the low half
    std::uint16_t crc = 0;
    std::int64_t data = 0;  // file offset of the member's data
};

void TUnARC::DoExtract() {
    written_ = 0;
    RunExtraction(TArcType::atARC, TArcType::atArcExe, {}, [this](ArcFile& file) {
        FireActivate();
        std::int64_t pos = startOffset_ - 1;
        for (;;) {
            // Up to kMaxStrayBytes bytes may stand before the marker.
            std::uint8_t probe[kMaxStrayBytes + 1];
            const std::size_t got = file.ReadAt(pos, probe, sizeof probe);
            const auto marker = std::find(probe, probe + got, kMarker);
            std::uint8_t h[kHeaderLength];
            const std::size_t headerGot =
                marker == probe + got ? 0 : file.ReadAt(pos + (marker - probe), h, sizeof h);
            if (headerGot < 2) {
                Warn(errArchiveType, archiveFile_);
                break;
            }
            pos += marker - probe;
            Header hd;
            hd.method = h[1];
            if (hd.method == 0) break;  // the end of the archive
            const std::size_t length = hd.method == 1 ? kOldHeaderLength : kHeaderLength;
            if (headerGot < length) {
                Report(errBadFileHeader, archiveFile_);
                break;
            }
            const char* name = reinterpret_cast<const char*>(h + 2);
            hd.name.assign(name, std::find(name, name + 13, '\0'));
            hd.packed = Le32(h + 15);
            hd.dosDateTime = SwapDosHalves(Le32(h + 19));
            hd.crc = Le16(h + 23);
            hd.size = hd.method == 1 ? hd.packed : Le32(h + 25);
            hd.data = pos + static_cast<std::int64_t>(length);
            ProcessMember(file, hd);
            pos = hd.data + static_cast<std::int64_t>(hd.packed);
            if (pos >= file.Size()) break;  // no header after the data: the archive ends here
        }
    });
}

void TUnARC::ProcessMember(ArcFile& file, const Header& h) {
    if (!SetFileName(h.name)) {
        Report(errInvalidFileName, h.name);  // a name that would leave the output folder
        return;
    }
    if (!MatchFileSpec(FileName, fileSpec_)) {
        Warn(errSkippedFile, FileName);
        return;
    }
    FileRangeSource range(file, h.data, h.packed);
    auto decoder = MakeArcDecoder(h.method, h.size, range);
    if (!decoder) {
        // Asked before anything is created, so no empty file is left for it.
        Warn(errUnsupportedMethod, FileName);
        return;
    }
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
    if (r.output != MemberResult::Output::kWritten) {
        Report(errOpenFile, FileName);
        Warn(errSkippedFile, FileName);
        return;
    }
    ++written_;
    bool pass = r.check == h.crc;
    if (r.failure != kOk) {
        Report(r.failure, FileName);
        pass = false;
    }
    if (r.closeFailed) {
        Report(errCloseFile, FileName);
        pass = false;
    }
    if (r.check != h.crc) {
        Report(errCRC, FileName);  // the file stays as written; no OnEnd for it
    } else if (pass && OnEnd) {
        OnEnd(*this, FileName, true);
    }
}

}  // namespace orvello::archive
