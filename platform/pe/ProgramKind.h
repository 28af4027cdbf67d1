// What kind of program a file is, read from its first bytes: a Linux program (ELF, or a script
// that names its interpreter with "#!"), a Windows program ("MZ" with a PE or NE header at
// the offset stored at 0x3C) or a DOS program (any other "MZ" program, DOS-extender programs
// with an LE or LX header among them, and ".com" and ".bat" files). The launch picks the
// runner that starts an emulator by it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvello::platform {

enum class ProgramKind {
    Unknown,  // none of the kinds below, or a damaged or short header: started directly
    Linux,
    Windows,
    Dos,
};

// The kind of the program in the file at path (bytes, as the file system knows it). A file
// that cannot be read is Unknown.
ProgramKind ProgramKindOf(const std::string& path);

// The kind from a file's first bytes (as many as it has, up to a few kilobytes) and its name;
// newHeader gives the bytes at the offset stored at 0x3C when that offset lies beyond head
// (empty when the file has nothing there).
ProgramKind ProgramKindOfBytes(std::string_view head, std::string_view newHeader,
                               std::string_view fileName);

// "DOS program", "Windows program", "Linux program", or "program of unknown kind".
const char* ProgramKindText(ProgramKind kind);

}  // namespace orvello::platform
