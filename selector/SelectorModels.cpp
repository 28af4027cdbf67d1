#include "selector/SelectorModels.h"

#include <QByteArray>

#include <algorithm>

#include "app/core/GlobalVar.h"
#include "selector/SelectorNames.h"

namespace orvello {

// --- File list ----------------------------------------------------------------------------

void FileListModel::Fill(std::vector<Entry> entries) {
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.folder != b.folder) return a.folder;
        // The parent folder stays on top of the folders.
        if (a.folder && (a.name == QLatin1String("..")) != (b.name == QLatin1String("..")))
            return a.name == QLatin1String("..");
        return NameLess(a.name, b.name);
    });
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

QString FileListModel::Shown(const Entry& entry) {
    return entry.folder ? QLatin1Char('[') + entry.name + QLatin1Char(']') : entry.name;
}

int FileListModel::RowOf(const QString& shown) const {
    for (int row = 0; row < Count(); ++row) {
        if (Shown(At(row)) == shown) return row;
    }
    return -1;
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) return {};
    const Entry& entry = At(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return Shown(entry);
        case Qt::AccessibleTextRole:
            if (!entry.folder) return entry.name;
            if (entry.name == QLatin1String("..")) return QStringLiteral("Parent folder");
            return QStringLiteral("Folder ") + entry.name;
        default:
            return {};
    }
}

// --- Archive contents ---------------------------------------------------------------------

QString FileSizeText(std::int64_t size) {
    return FormatThousands(size);
}

QString RomSizeText(std::int64_t size) {
    return FormatThousands(size / 1024) + QStringLiteral(" K");
}

void ZipListModel::Fill(std::vector<Member> members) {
    std::stable_sort(members.begin(), members.end(), [](const Member& a, const Member& b) {
        return NameLess(a.caption, b.caption);
    });
    beginResetModel();
    members_ = std::move(members);
    endResetModel();
}

void ZipListModel::Clear() {
    if (members_.empty()) return;
    beginResetModel();
    members_.clear();
    endResetModel();
}

void ZipListModel::SetImage(const QIcon& icon) {
    if (icon.isNull() && image_.isNull()) return;
    image_ = icon;
    if (!members_.empty()) {
        emit dataChanged(index(0, 0), index(Count() - 1, 0), {Qt::DecorationRole});
    }
}

int ZipListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

int ZipListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant ZipListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) return {};
    const Member& m = At(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            if (index.column() == 0) return m.caption;
            if (index.column() == 1) return FileSizeText(m.size);
            return RomSizeText(m.size);
        case Qt::DecorationRole:
            if (index.column() == 0 && !image_.isNull()) return image_;
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() == 0) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        case RawNameRole:
            return QByteArray(m.raw.data(), static_cast<qsizetype>(m.raw.size()));
        default:
            return {};
    }
}

QVariant ZipListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::DisplayRole) {
        switch (section) {
            case 0:
                return QStringLiteral("File Name");
            case 1:
                return QStringLiteral("File size");
            case 2:
                return QStringLiteral("ROM size");
            default:
                return {};
        }
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(section == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                                : Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags ZipListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace orvello
