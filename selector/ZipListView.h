// The archive contents list: one model of members shown in one of four styles. The report
// style is a table with the columns "File Name", "File size" and "ROM size"; the icon styles
// (large icons, small icons, list) show the names with a picture. Both views share one
// selection, so switching the style keeps the chosen member.
#pragma once

#include <QIcon>
#include <QStackedWidget>

class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QTreeView;

namespace orvello {

class ZipListModel;

// View styles of the archive contents list, as stored under "Info type".
enum InfoTypeStyle : int {
    InfoLargeIcons = 0,
    InfoSmallIcons = 1,
    InfoList = 2,
    InfoReport = 3,
};

class TZipListView : public QStackedWidget {
    Q_OBJECT

  public:
    explicit TZipListView(QWidget* parent);

    ZipListModel* Model() const { return model_; }
    QItemSelectionModel* Selection() const { return selection_; }
    QTreeView* Report;
    QListView* Icons;
    // The view of the current style.
    QAbstractItemView* Current() const;

    // Switches the style. Small images are what the small-icon and list styles show beside a
    // name: the small-icon style sets them, the report style removes them, the other two
    // styles leave them as they are. The large-icon style always shows its large images.
    void SetViewStyle(int style);
    int ViewStyle() const { return style_; }
    void SetSmallImages(bool on);
    bool SmallImages() const { return smallImages_; }

    // The selected row, or -1 when no member is selected.
    int SelectedRow() const;
    // Selects one row and makes it current (-1 clears the selection).
    void SelectRow(int row);

  private:
    void UpdateImages();

    ZipListModel* model_;
    QItemSelectionModel* selection_;
    QIcon image_;
    int style_ = InfoReport;
    bool smallImages_ = false;
};

}  // namespace orvello
