// Reading the current folder, the folder list and the drives into the selector's lists.
#include "selector/OnFlyROMSelector.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/core/PathRules.h"
#include "selector/SelectorNames.h"
#include "selector/SelectorParts.h"

namespace orvello {

using namespace selector_parts;

// --- Reading folders and drives -----------------------------------------------------------

void TOnFlyForm::ReadFileList() {
    std::vector<FileListModel::Entry> entries;
    const QFileInfo folder(folder_);
    if (!folder_.isEmpty() && folder.isDir()) {
        if (!QDir(folder_).isRoot()) entries.push_back({QStringLiteral(".."), true});
        const QStringList masks = Mask().split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // Hidden entries (a leading dot) and special files (devices, sockets, pipes, dangling
        // links) are not listed, as ROMs are none of them. The entry's type comes with the
        // folder read; only a link (or a file system that does not say) costs a stat of what
        // it leads to, so a folder of many thousand files is read in one pass.
        if (DIR* dir = ::opendir(QFile::encodeName(folder_).constData())) {
            while (const dirent* ent = ::readdir(dir)) {
                if (ent->d_name[0] == '.') continue;
                unsigned char type = ent->d_type;
                if (type == DT_LNK || type == DT_UNKNOWN) {
                    struct stat st {};
                    if (::fstatat(::dirfd(dir), ent->d_name, &st, 0) != 0) continue;
                    type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
                }
                if (type != DT_DIR && type != DT_REG) continue;
                QString name = QFile::decodeName(ent->d_name);
                if (type == DT_DIR) {
                    entries.push_back({std::move(name), true});
                } else if (MatchesAnyMask(name, masks)) {
                    entries.push_back({std::move(name), false});
                }
            }
            ::closedir(dir);
        }
    }
    files_->Fill(std::move(entries));
    ShowEditText();
}

void TOnFlyForm::ReadDirectoryList() {
    DirectoryListBox->clear();
    DirectoryPath->setText(folder_);
    DirectoryPath->setToolTip(folder_);
    if (folder_.isEmpty()) return;
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    auto* item = new QTreeWidgetItem(DirectoryListBox, {QStringLiteral("/")});
    item->setData(0, Qt::UserRole, QStringLiteral("/"));
    item->setIcon(0, open);
    QString path;
    for (const QString& part : folder_.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path += QLatin1Char('/') + part;
        item = new QTreeWidgetItem(item, {part});
        item->setData(0, Qt::UserRole, path);
        item->setIcon(0, open);
    }
    QTreeWidgetItem* current = item;
    QFont bold = current->font(0);
    bold.setBold(true);
    current->setFont(0, bold);

    // The sub-folders as the file list has just read them (ReadFileList always runs first):
    // sorted, and first in the list. Reading the folder a second time would cost as much
    // again in a folder of many files.
    QList<QTreeWidgetItem*> children;
    for (int row = 0; row < files_->Count() && files_->At(row).folder; ++row) {
        const QString& name = files_->At(row).name;
        if (name == QLatin1String("..")) continue;
        auto* child = new QTreeWidgetItem({name});
        child->setData(0, Qt::UserRole, JoinPath(folder_, name));
        child->setIcon(0, closed);
        children.push_back(child);
    }
    current->addChildren(children);
    DirectoryListBox->expandAll();
    DirectoryListBox->setCurrentItem(current);
    DirectoryListBox->scrollToItem(current);
}

void TOnFlyForm::ReadDrives() {
    DriveComboBox->clear();
    QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    std::sort(volumes.begin(), volumes.end(), [](const QStorageInfo& a, const QStorageInfo& b) {
        return a.rootPath() < b.rootPath();
    });
    const QIcon icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const QStorageInfo& volume : volumes) {
        if (!volume.isValid() || !volume.isReady() || !QFileInfo(volume.rootPath()).isDir()) {
            continue;
        }
        const QString name =
            volume.name().isEmpty() ? QString::fromLocal8Bit(volume.device()) : volume.name();
        DriveComboBox->addItem(icon,
                               volume.rootPath() + QStringLiteral("  [") + name + QLatin1Char(']'),
                               volume.rootPath());
    }
    ShowDriveOf(folder_);
}

void TOnFlyForm::ShowDriveOf(const QString& folder) {
    if (folder.isEmpty()) return;
    const QString root = DriveRootOf(folder);
    int index = DriveComboBox->findData(root);
    if (index < 0) {
        DriveComboBox->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), root, root);
        index = DriveComboBox->count() - 1;
    }
    DriveComboBox->setCurrentIndex(index);
}

}  // namespace orvello
