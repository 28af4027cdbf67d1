// Removing a file the way Linux desktop programs do.
#pragma once

#include <QString>

namespace orvello::platform {

// Moves the file (a symbolic link itself, never its target) to the desktop's trash, the
// freedesktop.org trash, where one can take it, and deletes it otherwise. False when the
// file is still where it was. When given, whereInTrash receives the file's path in the
// trash, or an empty text when it was deleted.
bool MoveToTrashOrDelete(const QString& path, QString* whereInTrash = nullptr);

}  // namespace orvello::platform
