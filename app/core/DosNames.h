// DOS file names (8.3) for programs started under DOSBox. DOS sees a name of at most eight
// characters, a dot and an extension of at most three, from a small set of characters; a
// longer name is shown to DOS programs under a made-up short name that DOSBox picks by the
// order of the folder, which the front-end cannot know in advance. So the front-end makes the
// short names it hands over itself and puts the files under them.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace orvello {

// Whether name (one path component, no separator) is a valid DOS name as it stands, in
// either case: "GAME.SMC", "pacman", "A~1.B".
bool IsDosName(const QString& name);

// A DOS name for longName that no entry of the folder has (compared without regard to
// case): the name itself in capitals when it is a DOS name already, otherwise the first
// characters DOS allows of its base name in capitals, "~N" with the smallest N that makes it
// unique, and the first three allowed characters of its extension ("Super Game (E).smc"
// gives "SUPERG~1.SMC").
QString MakeDosName(const QString& longName, const QStringList& folderEntries);

// The names in a folder (none when it cannot be read).
QStringList FolderEntries(const QString& folder);

// The entry of the folder that DOS would open for name (a DOS name), compared without regard
// to case; nothing when there is none.
std::optional<QString> DosMatch(const QString& name, const QStringList& folderEntries);

}  // namespace orvello
