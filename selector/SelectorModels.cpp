#include "selector/SelectorModels.h"

#include <QByteArray>
#include <QLocale>

#include <algorithm>
#include <functional>

#include "app/core/GlobalVar.h"
#include "selector/SelectorNames.h"

namespace orvello {

// --- File list ----------------------------------------------------------------------------

namespace {

// Puts items into the order of their sort keys: the keys are sorted with the items' indices,
// and the items moved once into place.
template <class T, class Key, class Less>
std::vector<T> SortedBy(std::vector<T> items, const std::vector<Key>& keys, Less less) {
    std::vector<std::size_t> order(items.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return less(keys[a], keys[b]); });
    std::vector<T> sorted;
    sorted.reserve(items.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(items[i]));
    return sorted;
}

}  // namespace

void FileListModel::Fill(std::vector<Entry> entries) {
    struct Key {
        bool folder;
        bool parent;
        NameKey name;
    };
    std::vector<Key> keys;
    keys.reserve(entries.size());
    for (const Entry& e : entries)
        keys.push_back({e.folder, e.folder && e.name == QLatin1String(".."), NameKey(e.name)});
    std::vector<Entry> sorted = SortedBy(std::move(entries), keys, [](const Key& a, const Key& b) {
        if (a.folder != b.folder) return a.folder;
        // The parent folder stays on top of the folders.
        if (a.parent != b.parent) return a.parent;
        return a.name < b.name;
    });
    beginResetModel();
    entries_ = std::move(sorted);
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
    return QLocale().toString(static_cast<qlonglong>(size));
}

QString RomSizeText(std::int64_t size) {
    return QLocale().toString(static_cast<qlonglong>(size / 1024)) + QStringLiteral(" K");
}

void ZipListModel::Fill(std::vector<Member> members) {
    std::vector<NameKey> keys;
    keys.reserve(members.size());
    for (const Member& m : members)
        keys.emplace_back(m.caption);
    std::vector<Member> sorted = SortedBy(std::move(members), keys, std::less<NameKey>());
    beginResetModel();
    members_ = std::move(sorted);
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
