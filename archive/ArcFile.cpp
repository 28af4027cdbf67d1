#include "ArcFile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace orvello::archive {

std::unique_ptr<DiskFile> DiskFile::Open(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return nullptr;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return nullptr;
    // Reads go through our own window; a second buffer in stdio would only copy twice.
    std::setvbuf(f, nullptr, _IONBF, 0);
    std::int64_t size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    if (size < 0) {
        std::fclose(f);
        return nullptr;
    }
    return std::make_unique<DiskFile>(Token{}, f, size);
}

DiskFile::~DiskFile() {
    if (file_ != nullptr) std::fclose(file_);
}

bool DiskFile::Close() {
    if (file_ == nullptr) return true;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
}

bool DiskFile::Fill(std::int64_t offset) {
    if (file_ == nullptr || offset > LONG_MAX) return false;
    if (window_.empty()) window_.resize(kWindow);
    windowStart_ = offset;
    windowLength_ = 0;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return false;
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::int64_t>(kWindow, size_ - offset));
    windowLength_ = std::fread(window_.data(), 1, want, file_);
    return windowLength_ != 0;
}

std::size_t DiskFile::ReadAt(std::int64_t offset, std::uint8_t* buf, std::size_t n) {
    if (offset < 0 || offset >= size_ || n == 0) return 0;
    n = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(n), size_ - offset));
    // A block of member data that the window does not already hold is read straight into the
    // caller's buffer: one copy out of the system's cache instead of two. Headers and names,
    // which the window is for, are far smaller.
    const bool held =
        offset >= windowStart_ && offset + static_cast<std::int64_t>(n) <=
                                      windowStart_ + static_cast<std::int64_t>(windowLength_);
    if (n >= kDirect && !held) return ReadDirect(offset, buf, n);
    std::size_t done = 0;
    while (done < n) {
        const std::int64_t at = offset + static_cast<std::int64_t>(done);
        const bool inWindow =
            at >= windowStart_ && at < windowStart_ + static_cast<std::int64_t>(windowLength_);
        if (!inWindow && !Fill(at)) break;
        const auto from = static_cast<std::size_t>(at - windowStart_);
        const std::size_t k = std::min(n - done, windowLength_ - from);
        std::memcpy(buf + done, window_.data() + from, k);
        done += k;
    }
    return done;
}

std::size_t DiskFile::ReadDirect(std::int64_t offset, std::uint8_t* buf, std::size_t n) {
    if (file_ == nullptr) return 0;
    // pread leaves the stream's own position alone; Fill seeks before every read anyway.
    const int fd = ::fileno(file_);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t k = ::pread(fd, buf + done, n - done,
                                  static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) break;
        done += static_cast<std::size_t>(k);
    }
    return done;
}

std::size_t MemoryFile::ReadAt(std::int64_t offset, std::uint8_t* buf, std::size_t n) {
    if (closed_ || offset < 0 || offset >= Size()) return 0;
    const std::size_t k = std::min(n, data_.size() - static_cast<std::size_t>(offset));
    if (k != 0) std::memcpy(buf, data_.data() + offset, k);
    return k;
}

const DiskFileSystem& DiskFileSystem::Instance() {
    static const DiskFileSystem instance;
    return instance;
}

bool DiskFileSystem::Exists(const std::string& path) const {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
}

std::unique_ptr<ArcFile> DiskFileSystem::Open(const std::string& path) const {
    return DiskFile::Open(path);
}

std::unique_ptr<ArcFile> MemoryFileSystem::Open(const std::string& path) const {
    const auto it = files_.find(path);
    if (it == files_.end()) return nullptr;
    return std::make_unique<MemoryFile>(it->second);
}

}  // namespace orvello::archive
