// Random-access reading of archive files, and the small file-system interface through which
// the components reach them.
//
// Detection and listing only ever read: a header here, a name there. They go through ArcFile
// so that the same code runs over a file on disk, over bytes in memory (fuzzing, tests) and,
// for multi-volume archives, over whichever volume is current. Every read says how many bytes
// it delivered; a read past the end simply delivers fewer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace orvello::archive {

class ArcFile {
  public:
    virtual ~ArcFile() = default;
    // Size in bytes, fixed when the file was opened.
    virtual std::int64_t Size() const = 0;
    // Copies up to n bytes from `offset` into buf and returns how many; fewer only at the end
    // of the file (or on a read error). An offset outside the file delivers nothing.
    virtual std::size_t ReadAt(std::int64_t offset, std::uint8_t* buf, std::size_t n) = 0;
    // Releases the file; false when closing failed. Reads after it deliver nothing.
    virtual bool Close() { return true; }

    // Reads exactly n bytes or reports false.
    bool ReadExact(std::int64_t offset, std::uint8_t* buf, std::size_t n) {
        return ReadAt(offset, buf, n) == n;
    }
};

// A file on disk, read through a window of its own so that walking many small headers costs
// few system calls.
class DiskFile final : public ArcFile {
    struct Token {};

  public:
    // nullptr when the path cannot be opened for reading or is not a regular file.
    static std::unique_ptr<DiskFile> Open(const std::string& path);
    DiskFile(Token, std::FILE* f, std::int64_t size) : file_(f), size_(size) {}
    ~DiskFile() override;
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;

    std::int64_t Size() const override { return size_; }
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* buf, std::size_t n) override;
    bool Close() override;

  private:
    bool Fill(std::int64_t offset);
    // Reads with one system call per block, bypassing the window.
    std::size_t ReadDirect(std::int64_t offset, std::uint8_t* buf, std::size_t n);

    static constexpr std::size_t kWindow = 64 * 1024;
    static constexpr std::size_t kDirect = 4096;  // reads of this size or more skip the window
    std::FILE* file_;
    std::int64_t size_;
    std::vector<std::uint8_t> window_;
    std::int64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
};

// Bytes in memory, borrowed: the caller keeps them alive while the file is in use.
class MemoryFile final : public ArcFile {
  public:
    explicit MemoryFile(std::span<const std::uint8_t> data) : data_(data) {}
    std::int64_t Size() const override { return static_cast<std::int64_t>(data_.size()); }
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* buf, std::size_t n) override;
    bool Close() override {
        closed_ = true;
        return true;
    }

  private:
    std::span<const std::uint8_t> data_;
    bool closed_ = false;
};

// How a component finds and opens files by name: the archive itself and, for multi-volume
// archives, its further volumes.
class ArcFileSystem {
  public:
    virtual ~ArcFileSystem() = default;
    // Whether a file (or folder) of that name exists.
    virtual bool Exists(const std::string& path) const = 0;
    // The file opened for reading, or nullptr.
    virtual std::unique_ptr<ArcFile> Open(const std::string& path) const = 0;
};

// The real file system. Stateless; DiskFileSystem::Instance() is shared.
class DiskFileSystem final : public ArcFileSystem {
  public:
    static const DiskFileSystem& Instance();
    bool Exists(const std::string& path) const override;
    std::unique_ptr<ArcFile> Open(const std::string& path) const override;
};

// Named byte buffers standing in for files; for fuzzing and tests. The buffers are borrowed.
class MemoryFileSystem final : public ArcFileSystem {
  public:
    void Add(const std::string& path, std::span<const std::uint8_t> data) { files_[path] = data; }
    bool Exists(const std::string& path) const override { return files_.count(path) != 0; }
    std::unique_ptr<ArcFile> Open(const std::string& path) const override;

  private:
    std::map<std::string, std::span<const std::uint8_t>> files_;
};

}  // namespace orvello::archive
