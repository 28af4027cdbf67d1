#include "OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace orvello::archive {

OutputFile::~OutputFile() {
    if (fd_ >= 0) ::close(fd_);
}

OutputFile::Status OutputFile::Create(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) return Status::kSymlink;
        if (!S_ISREG(st.st_mode) || ::unlink(path.c_str()) != 0) return Status::kFailed;
    }
    // O_EXCL with O_CREAT never follows a link, even one that appeared just now.
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
        path_ = path;
        return Status::kOk;
    }
    return errno == EEXIST || errno == ELOOP ? Status::kSymlink : Status::kFailed;
}

bool OutputFile::Write(const std::uint8_t* data, std::size_t n) {
    while (n != 0) {
        const ssize_t k = ::write(fd_, data, n);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) return false;
        data += k;
        n -= static_cast<std::size_t>(k);
    }
    return true;
}

bool OutputFile::SetTime(std::time_t t) {
    const struct timespec times[2] = {{t, 0}, {t, 0}};
    return ::futimens(fd_, times) == 0;
}

bool OutputFile::SetPermissions(unsigned mode) {
    return ::fchmod(fd_, static_cast<mode_t>(mode & 0777u)) == 0;
}

bool OutputFile::RemoveWritePermission() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return false;
    return SetPermissions(st.st_mode & 0777u & ~0222u);
}

bool OutputFile::Close() {
    if (fd_ < 0) return true;
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
}

void OutputFile::Discard() {
    Close();
    if (!path_.empty()) ::unlink(path_.c_str());
    path_.clear();
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool PassesThroughLink(const std::string& base, const std::string& relFolder) {
    std::string path = base;
    if (!path.empty() && path.back() != '/') path += '/';
    std::size_t pos = 0;
    while (pos < relFolder.size()) {
        const auto slash = std::min(relFolder.find('/', pos), relFolder.size());
        path.append(relFolder, pos, slash - pos);
        pos = slash + 1;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) return false;  // nothing below it exists either
        if (S_ISLNK(st.st_mode)) return true;
        path += '/';
    }
    return false;
}

bool MakeParentFolders(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return true;
    std::error_code ec;
    const std::filesystem::path folder(path.substr(0, slash));
    if (std::filesystem::is_directory(folder, ec)) return true;
    std::filesystem::create_directories(folder, ec);
    return std::filesystem::is_directory(folder, ec);
}

}  // namespace orvello::archive
