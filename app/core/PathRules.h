// Small rules on paths, file masks and number texts, kept apart from the widgets so they can
// be checked on their own.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace orvello {

// The folder of a path, without the file name and without a trailing separator, except that
// the root keeps its "/": "/emu/zsnes" gives "/emu", "/zsnes" gives "/", "zsnes" gives "".
QString FolderOf(const QString& path);

// A text as a whole number: decimal digits with an optional sign; leading blanks are
// allowed, trailing ones are not; nothing when it is no number or does not fit 32 bits.
std::optional<int> WholeNumber(const QString& text);

// The message shown when a text that must be a whole number is not one.
QString NotAnIntegerMessage(const QString& text);

// One entry of a "description|masks|description|masks" filter text.
struct FilterEntry {
    QString description;
    QStringList masks;  // "*.exe; *.bat" gives "*.exe" and "*.bat"
};

std::vector<FilterEntry> ParseFilter(const QString& filter);

// File-name wildcards as DOS programs know them, whatever the case: "*" any run of
// characters, "?" one character; "*.*" and "*" match every name, with or without a dot.
bool MatchesMask(const QString& fileName, const QString& mask);
bool MatchesAnyMask(const QString& fileName, const QStringList& masks);

// The entry of the emulator chooser that also lists files with the execute permission.
inline constexpr const char* AllExecutableFiles = "All executable files";

// Whether a file is listed under a filter entry of an open-file dialog.
bool OpenFilterAccepts(const FilterEntry& entry, const QString& fileName, bool executable);

}  // namespace orvello
