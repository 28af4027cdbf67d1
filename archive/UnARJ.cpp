#include "UnARJ.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "ArcPaths.h"
#include "ArjFormat.h"
#include "ArjMethods.h"
#include "ByteOrder.h"
#include "FileRangeSource.h"
#include "OutputFile.h"

namespace orvello::archive {

namespace {

constexpr std::uint8_t kId0 = 0x60, kId1 = 0xEA;
constexpr unsigned kMaxVersionNeeded = 3;

// Two names of one file (the same path, or links to it) compare equal.
std::string SameFileKey(const std::string& path) {
    std::error_code ec;
    const auto canonical = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : canonical.string();
}

}  // namespace

struct TUnARJ::Part {
    std::string volume;  // the file it lies in
    std::int64_t data = 0;
    std::uint64_t packed = 0, size = 0;
    std::uint32_t crc = 0;
    unsigned method = 0;
};

// The parts of one member, decoded one after the other as one stream. Each part is compressed
// on its own and carries its own size and CRC-32; each is checked against its own value, so
// the check carries over the volume boundaries without mixing the parts' values.
class TUnARJ::PartsDecoder final : public Decoder {
  public:
    PartsDecoder(const ArcFileSystem& files, std::vector<Part> parts)
        : files_(files), parts_(std::move(parts)) {}

    int Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) override {
        produced = 0;
        while (produced == 0 && index_ < parts_.size()) {
            const Part& p = parts_[index_];
            if (!decoder_) {
                file_ = files_.Open(p.volume);
                if (!file_) return errReadFile;
                source_ = std::make_unique<FileRangeSource>(*file_, p.data, p.packed);
                decoder_ = MakeArjDecoder(p.method, p.size, *source_);
                if (!decoder_) return errUnsupportedMethod;
                left_ = p.size;
                crc_ = 0xFFFFFFFFu;
            }
            const auto ask = static_cast<std::size_t>(std::min<std::uint64_t>(capacity, left_));
            if (ask == 0) {
                if (~crc_ != p.crc) crcPass_ = false;
                consumedBefore_ += decoder_->Consumed();
                decoder_.reset();
                source_.reset();
                file_.reset();
                ++index_;
                continue;
            }
            std::size_t n = 0;
            const int r = decoder_->Read(out, ask, n);
            n = std::min(n, ask);
            crc_ = Crc32Update(crc_, out, n);
            left_ -= n;
            produced = n;
            if (r != kOk) return n == 0 ? r : kOk;
            if (n == 0) return errReadFile;  // the part's data ended before its size
        }
        return kOk;
    }
    std::uint64_t Consumed() const override {
        return consumedBefore_ + (decoder_ ? decoder_->Consumed() : 0);
    }
    // Whether every part finished with the CRC-32 its header gives.
    bool CrcPass() const { return crcPass_ && index_ == parts_.size(); }

  private:
    const ArcFileSystem& files_;
    std::vector<Part> parts_;
    std::size_t index_ = 0;
    std::unique_ptr<ArcFile> file_;
    std::unique_ptr<FileRangeSource> source_;
    std::unique_ptr<Decoder> decoder_;
    std::uint64_t left_ = 0;
    std::uint64_t consumedBefore_ = 0;
    std::uint32_t crc_ = 0xFFFFFFFFu;
    bool crcPass_ = true;
};

void TUnARJ::DoExtract() {
    written_ = 0;
    volumeFile_.reset();
    volumesSeen_.clear();
    members_ = 0;
    names_ = std::make_unique<NameDecoder>(NameCoding::kDos, NamesEncoding);
    RunExtraction(TArcType::atARJ, TArcType::atArjExe, {}, [this](ArcFile& file) {
        FireActivate();
        if (dataStart_ > file.Size()) RaiseError(errSeek, archiveFile_);
        // The volumes are found by absolute paths, beside the first one.
        std::error_code ec;
        archivePath_ = std::filesystem::absolute(archiveFile_, ec).string();
        if (ec) archivePath_ = archiveFile_;
        Place place{&file, archivePath_, 0, FindMainHeader(file)};
        volumesSeen_.push_back(SameFileKey(archivePath_));
        Header main;
        if (!ReadHeader(place, true, main)) RaiseError(errArchiveType, archiveFile_);
        place.pos = main.data;
        for (;;) {
            Header h;
            if (!ReadHeader(place, false, h)) break;
            if (!ProcessMember(place, h)) break;
        }
    });
    volumeFile_.reset();
}

std::int64_t TUnARJ::FindMainHeader(ArcFile& file) {
    const std::int64_t start = dataStart_;
    std::int64_t limit = file.Size() - 2;
    if (limit > kSearchLimit)
        limit = arcType_ == TArcType::atARJ ? kSearchLimit : start + kSearchLimit;
    if (start >= limit) RaiseError(errArchiveType, archiveFile_);
    // The bytes a candidate at the limit could still need: its id, size, header and CRC.
    std::vector<std::uint8_t> buf(static_cast<std::size_t>(limit - start) + 4 + kArjMaxBasicHeader +
                                  4);
    buf.resize(file.ReadAt(start, buf.data(), buf.size()));
    const std::size_t candidates = static_cast<std::size_t>(limit - start);
    for (std::size_t p = 0; p < candidates && p + 4 <= buf.size(); ++p) {
        if (buf[p] != kId0 || buf[p + 1] != kId1) continue;
        const unsigned size = Le16(&buf[p + 2]);
        if (size == 0 || size > kArjMaxBasicHeader || p + 4 + size + 4 > buf.size()) continue;
        if (Crc32(std::span(&buf[p + 4], size)) == Le32(&buf[p + 4 + size]))
            return start + static_cast<std::int64_t>(p);
    }
    RaiseError(errArchiveType, archiveFile_);
}

bool TUnARJ::ReadHeader(const Place& place, bool main, Header& h) {
    const auto read = ReadArjHeader(*place.file, place.pos, *names_, main);
    if (read.status == HeaderStatus::kEnd) return false;
    if (!read.IsHeader()) {
        int code = read.error;
        if (main && place.volume == 0 && code == errBadFileHeader) code = errArchiveType;
        RaiseError(code, read.named.empty() ? place.name : read.named,
                   std::to_string(place.volume));
    }
    h = read.header;
    return true;
}

void TUnARJ::OpenNextVolume(Place& place) {
    if (place.volume >= kArjMaxVolumes) RaiseError(errMaxVolumes, place.name);
    const int n = place.volume + 1;
    const std::string name = ArjVolumeName(archivePath_, n);
    const std::string id = std::to_string(n);
    if (!Files->Exists(name)) {
        // The handler may bring the volume (another disk) before it is looked for again.
        Warn(errNextVolume, name, id);
        if (!Files->Exists(name)) RaiseError(errFileNotFound, name, id);
    }
    // A set whose next volume is one already read would go round for ever.
    const std::string key = SameFileKey(name);
    if (std::find(volumesSeen_.begin(), volumesSeen_.end(), key) != volumesSeen_.end())
        RaiseError(errBadFileHeader, name, id);
    volumesSeen_.push_back(key);
    if (volumeFile_ && !volumeFile_->Close()) RaiseError(errCloseFile, place.name, id);
    volumeFile_ = Files->Open(name);
    if (!volumeFile_) RaiseError(errReadFile, name, id);
    place = {volumeFile_.get(), name, n, 0};
}

std::vector<TUnARJ::Part> TUnARJ::FollowVolumes(Place& place, const Header& first) {
    std::vector<Part> parts;
    bool more = (first.flags & kArjFlagVolume) != 0;
    if (!more) place.pos = first.data + static_cast<std::int64_t>(first.packed);
    while (more) {
        OpenNextVolume(place);
        Header main, next;
        if (!ReadHeader(place, true, main)) RaiseError(errBadFileHeader, place.name);
        place.pos = main.data;
        if (!ReadHeader(place, false, next)) RaiseError(errBadFileHeader, place.name);
        parts.push_back({place.name, next.data, next.packed, next.size, next.crc, next.method});
        place.pos = next.data + static_cast<std::int64_t>(next.packed);
        more = (next.flags & kArjFlagVolume) != 0;
    }
    return parts;
}

bool TUnARJ::ProcessMember(Place& place, const Header& h) {
    const Part firstPart{place.name, h.data, h.packed, h.size, h.crc, h.method};
    if (h.fileType == kArjFileTypeDirectory) {
        // A folder: nothing to write, and the members after it still come out. With stored
        // folders in use it is made.
        const auto folder = SafeRelativeName(h.name);
        if (UseStoredDirs && folder && !extractDir_.empty())
            MakeParentFolders(extractDir_ + *folder + "/");
        FollowVolumes(place, h);
        return true;
    }
    if (h.fileType == kArjFileTypeVolumeLabel || h.fileType == kArjFileTypeChapterLabel) {
        // A label: no file, and the members after it (the next chapters) still come out.
        FollowVolumes(place, h);
        return true;
    }
    ++members_;
    if (!AcceptName(h.name, MemberLabel(members_))) {
        FollowVolumes(place, h);
        return true;
    }
    if (!MatchFileSpec(FileName, fileSpec_)) {
        Warn(errSkippedFile, FileName);
        FollowVolumes(place, h);
        return true;
    }
    if (h.needed > kMaxVersionNeeded) RaiseError(errVersion, FileName);
    if (h.flags & kArjFlagGarbled) RaiseError(errPasswordProtected, FileName);
    if (h.method > 4 || (h.method == 4 && h.version == 1))
        RaiseError(errUnsupportedMethod, FileName);
    if (h.fileType > 1) RaiseError(errUnknownFileType, FileName);
    if (!ConfirmMember(FileName, written_, AskOrder::kBeginFirst)) {
        Warn(errSkippedFile, FileName);
        FollowVolumes(place, h);
        return true;
    }
    // Every volume the member reaches is found and read before its file is made, so a missing
    // volume leaves no partial file behind.
    std::vector<Part> parts{firstPart};
    for (auto& p : FollowVolumes(place, h))
        parts.push_back(std::move(p));

    MemberTarget target;
    target.path = FileName;
    target.spec.stored = true;
    for (const Part& p : parts) {
        target.spec.size += p.size;
        target.spec.packedSize += p.packed;
        target.spec.stored = target.spec.stored && p.method == 0;
    }
    target.spec.step = ProgressStep();
    target.spec.check = CheckKind::kCrc32;
    target.spec.excessCode = errBadBlock;
    if (ArjUnixTimeHost(h.host)) {
        target.time = static_cast<std::time_t>(h.dateTime);
        if ((h.mode & 0400u) != 0) target.mode = h.mode & 07777u;
    } else {
        target.time = DosFileTime(h.dateTime);
        target.readOnly = (h.mode & 1u) != 0;
    }
    PartsDecoder decoder(*Files, std::move(parts));
    const MemberResult r = WriteMember(target, &decoder);
    if (EndMember(FileName, r, decoder.CrcPass(), kArjEndRules)) ++written_;
    // A FileSpec without wildcards names one member: the walk ends once it is written.
    return fileSpec_.find_first_of("*?") != std::string::npos;
}

}  // namespace orvello::archive
