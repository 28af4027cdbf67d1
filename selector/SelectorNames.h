// Names as the ROM selector shows and derives them: archive member names (stored bytes) made
// readable, the file-name part of a stored name, extensions changed or dropped for the
// preview picture and the description key, and the order in which lists are sorted.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

namespace orvello {

// A stored member name as text for the screen: valid UTF-8 as it is, anything else read as
// code page 437 (the character set of the DOS archivers that wrote such names). The bytes
// themselves stay with the member; this text is never used to find it again.
QString DisplayName(std::string_view stored);

// The bytes after the last "/" of a member name (the lister has already made "\" a "/").
std::string StoredFileNamePart(std::string_view stored);

// The extension of the file-name part starts at its last "."; a name without one has none.
// "/roms/Game.smc" with ".bmp" gives "/roms/Game.bmp"; "readme" gives "readme.bmp".
QString WithExtension(const QString& path, const QString& extension);
// "Game.smc" gives "Game"; "readme" stays "readme".
QString WithoutExtension(const QString& name);

// The pictures looked for as the preview of a choice, in order: the ".bmp" name itself, then
// the same name with ".png" and with ".jpg". Empty for an empty name.
QStringList PreviewCandidates(const QString& previewFile);

// The order of names in the selector's lists: letters compared without regard to case, and
// names that differ only in case in a fixed order, so the order never depends on reading.
bool NameLess(const QString& a, const QString& b);

}  // namespace orvello
