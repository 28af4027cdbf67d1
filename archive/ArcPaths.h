// Name rules shared by the components: member names (decoded to UTF-8, NameCodec.h) made safe
// for writing, and the folder and file-name parts of paths.
#pragma once

#include <optional>
#include <string>

namespace orvello::archive {

// A member name with every "\" made "/" (DOS archivers store "\"); the bytes are otherwise
// kept as they are. Decoded names have this done already; names that callers give may not.
std::string StoredNameToFileName(std::string name);

// The part after the last "/" ("" for "roms/").
std::string FileNamePart(const std::string& path);
// The part up to and including the last "/" ("" when there is none).
std::string FolderPart(const std::string& path);

// A member name reduced to a relative path that stays below the folder it is written
// to: "\" becomes "/", a drive ("C:") and a root ("/") are dropped, and so are empty and "."
// parts. nullopt (the name is refused) when a part is "..", or when nothing is left. A name
// ending in "/" keeps it (a folder entry: empty file-name part).
std::optional<std::string> SafeRelativeName(const std::string& stored);

}  // namespace orvello::archive
