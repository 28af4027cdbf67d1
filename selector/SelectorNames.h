// Names as the ROM selector derives them: the file-name part of a member name, extensions
// changed or dropped for the preview picture and the description key, and the order in which
// lists are sorted.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

namespace orvello {

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

// A name prepared for sorting many names by NameLess: an ASCII name is folded to lower case
// once, so that comparing two of them is a plain comparison of bytes instead of folding both
// at every step of the sort. Names with other characters compare through NameLess itself.
class NameKey {
  public:
    explicit NameKey(const QString& name);
    // The same order as NameLess of the two names.
    bool operator<(const NameKey& other) const;

  private:
    const QString* name_;
    std::string folded_;  // empty unless the name is ASCII
    bool ascii_ = true;
};

}  // namespace orvello
