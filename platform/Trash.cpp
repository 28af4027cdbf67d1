#include "platform/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace orvello::platform {

namespace {

// Qt makes the home trash inside the user's data folder but gives up when that folder is
// missing, and some versions then move the file into "files" below the current folder and
// report success. The data folder is made first, as any desktop program would have it.
void PrepareHomeTrash() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty()) QDir().mkpath(data);
}

// Undoes a move that did not reach a trash: the file comes back to where it was, and the
// record written beside it goes.
bool PutBack(const QString& path, const QString& movedTo) {
    const QString moved = QDir::current().absoluteFilePath(movedTo);
    const QFileInfo info(moved);
    QFile::remove(info.dir().absoluteFilePath(QStringLiteral("../info/") + info.fileName() +
                                              QStringLiteral(".trashinfo")));
    return QFile::rename(moved, path);
}

}  // namespace

bool MoveToTrashOrDelete(const QString& path, QString* whereInTrash) {
    if (whereInTrash) whereInTrash->clear();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return false;
    PrepareHomeTrash();
    QString inTrash;
    if (QFile::moveToTrash(path, &inTrash)) {
        if (QFileInfo(inTrash).isAbsolute()) {
            if (whereInTrash) *whereInTrash = inTrash;
            return true;
        }
        if (!PutBack(path, inTrash)) return false;
    }
    // No trash on this file system, and none in the home folder that could take the file.
    return QFile::remove(path);
}

}  // namespace orvello::platform
