// Writing one extracted member to disk, safely.
//
// An existing regular file at the output path is unlinked and a new one created with O_EXCL,
// so the write never lands in another name of the same file (a hard link) and a read-only
// file left by an earlier extraction does not block it. An existing symbolic link is never
// followed and never removed: the member is refused. Date and permissions are set on the open
// descriptor.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "MemberReader.h"

namespace orvello::archive {

class OutputFile final : public OutputSink {
  public:
    enum class Status { kOk, kSymlink, kFailed };

    OutputFile() = default;
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates `path` (its folder must exist), replacing a regular file of that name.
    Status Create(const std::string& path);
    bool Write(const std::uint8_t* data, std::size_t n) override;
    // Modification (and access) time; false when it could not be set.
    bool SetTime(std::time_t t);
    // Permission bits, without set-user-id, set-group-id and sticky.
    bool SetPermissions(unsigned mode);
    // Takes the write permission away (a DOS read-only attribute).
    bool RemoveWritePermission();
    // False when the data could not be flushed to the file.
    bool Close();
    // Closes and removes the file this object created (a member whose writing was stopped
    // half-way): a partial file must not pass for the member.
    void Discard();

  private:
    int fd_ = -1;
    std::string path_;  // what Create made, for Discard
};

// Whether anything (a file, folder or symbolic link, even a dangling one) is at `path`.
bool PathExists(const std::string& path);

// Whether a folder of `relFolder` (a relative path of folders, "a/b/"), taken below `base`,
// is a symbolic link: a path through it could lead anywhere. Folders not there yet are none.
bool PassesThroughLink(const std::string& base, const std::string& relFolder);

// Creates the folder of `path` and its missing parents; false when that failed.
bool MakeParentFolders(const std::string& path);

}  // namespace orvello::archive
