// The data behind the selector's two big lists. Both are filled in one go (a folder read or an
// archive listed) and replaced whole, so a list of ten thousand entries costs one model reset
// and one sort, not ten thousand insertions.
#pragma once

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QIcon>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace orvello {

// The file list: the sub-folders of a folder, shown as "[name]" and listed first, then its
// files. Rows never change between two fills.
class FileListModel : public QAbstractListModel {
    Q_OBJECT

  public:
    struct Entry {
        QString name;
        bool folder = false;
    };

    explicit FileListModel(QObject* parent) : QAbstractListModel(parent) {}

    // Replaces every row; folders and files are each sorted by name here.
    void Fill(std::vector<Entry> entries);
    const Entry& At(int row) const { return entries_.at(static_cast<std::size_t>(row)); }
    int Count() const { return static_cast<int>(entries_.size()); }
    // The row of a name as listed ("[name]" for a folder), or -1.
    int RowOf(const QString& shown) const;

    static QString Shown(const Entry& entry);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    std::vector<Entry> entries_;
};

// The archive contents list: one row per member with the columns "File Name", "File size" and
// "ROM size", sorted by the shown name. The lister's name of each member stays with its row.
class ZipListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    struct Member {
        QString caption;  // the file-name part, for the screen
        std::string raw;  // the file-name part as the lister gave it (UTF-8)
        std::int64_t size = 0;
    };

    // The lister's name of a row, as a QByteArray, under this role.
    static constexpr int RawNameRole = Qt::UserRole + 1;

    explicit ZipListModel(QObject* parent) : QAbstractTableModel(parent) {}

    // Replaces every row with the members, sorted by caption.
    void Fill(std::vector<Member> members);
    void Clear();
    const Member& At(int row) const { return members_.at(static_cast<std::size_t>(row)); }
    int Count() const { return static_cast<int>(members_.size()); }

    // The picture shown beside each member; a null icon shows none.
    void SetImage(const QIcon& icon);
    bool HasImage() const { return !image_.isNull(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    std::vector<Member> members_;
    QIcon image_;
};

// The two size texts of a member in the user's locale: "1,048,576" and "1,024 K" in English,
// "1.048.576" and "1.024 K" in German.
QString FileSizeText(std::int64_t size);
QString RomSizeText(std::int64_t size);

}  // namespace orvello
