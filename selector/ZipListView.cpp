#include "selector/ZipListView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QStyle>
#include <QTreeView>

#include <algorithm>

#include "selector/SelectorModels.h"

namespace orvello {

namespace {

void CommonViewSettings(QAbstractItemView* view) {
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    // Hot-tracking: the row under the mouse is highlighted.
    view->setMouseTracking(true);
    view->setAttribute(Qt::WA_Hover);
    view->setAccessibleName(QStringLiteral("Zip contents"));
}

}  // namespace

TZipListView::TZipListView(QWidget* parent)
    : QStackedWidget(parent), model_(new ZipListModel(this)) {
    setObjectName(QStringLiteral("ZipList"));
    setAccessibleName(QStringLiteral("Zip contents"));
    // Focus given to the list (its label's mnemonic) goes to the view of the style shown.
    setFocusPolicy(Qt::StrongFocus);
    image_ = style()->standardIcon(QStyle::SP_FileIcon);

    Report = new QTreeView(this);
    Report->setObjectName(QStringLiteral("ZipListReport"));
    Report->setModel(model_);
    Report->setRootIsDecorated(false);
    Report->setItemsExpandable(false);
    Report->setUniformRowHeights(true);
    Report->setAllColumnsShowFocus(true);
    Report->setSortingEnabled(false);
    Report->header()->setSectionsClickable(false);
    Report->header()->setSectionsMovable(false);
    Report->header()->setStretchLastSection(true);
    Report->header()->resizeSection(0, 180);
    Report->header()->resizeSection(1, 90);
    CommonViewSettings(Report);

    Icons = new QListView(this);
    Icons->setObjectName(QStringLiteral("ZipListIcons"));
    Icons->setModel(model_);
    Icons->setModelColumn(0);
    Icons->setUniformItemSizes(true);
    Icons->setResizeMode(QListView::Adjust);
    Icons->setMovement(QListView::Static);
    Icons->setWrapping(true);
    CommonViewSettings(Icons);

    // One selection for both views.
    selection_ = new QItemSelectionModel(model_, this);
    Report->setSelectionModel(selection_);
    Icons->setSelectionModel(selection_);

    addWidget(Report);
    addWidget(Icons);
    SetViewStyle(InfoReport);
}

QAbstractItemView* TZipListView::Current() const {
    return style_ == InfoReport ? static_cast<QAbstractItemView*>(Report) : Icons;
}

void TZipListView::SetViewStyle(int style) {
    style_ = style;
    switch (style) {
        case InfoLargeIcons:
            Icons->setViewMode(QListView::IconMode);
            Icons->setFlow(QListView::LeftToRight);
            Icons->setIconSize(QSize(32, 32));
            Icons->setGridSize(QSize(112, 72));
            // One line per name, cut short with an ellipsis where it does not fit: every cell
            // then has the same size, so laying out a large archive does not shape the text of
            // every name to find out how many lines it needs.
            Icons->setWordWrap(false);
            Icons->setTextElideMode(Qt::ElideRight);
            Icons->setUniformItemSizes(true);
            break;
        case InfoSmallIcons:
        case InfoList:
            Icons->setViewMode(QListView::ListMode);
            // Small icons run in rows from the left; the list style runs in columns.
            Icons->setFlow(style == InfoSmallIcons ? QListView::LeftToRight
                                                   : QListView::TopToBottom);
            Icons->setWrapping(true);
            Icons->setIconSize(QSize(16, 16));
            // A fixed cell, so every name gets the same room however long the first one is.
            Icons->setGridSize(QSize(160, std::max(20, Icons->fontMetrics().height() + 4)));
            Icons->setWordWrap(false);
            Icons->setUniformItemSizes(true);
            break;
        default:
            style_ = InfoReport;
            break;
    }
    if (style_ == InfoReport) {
        setCurrentWidget(Report);
    } else {
        setCurrentWidget(Icons);
    }
    setFocusProxy(Current());
    UpdateImages();
}

void TZipListView::SetSmallImages(bool on) {
    smallImages_ = on;
    UpdateImages();
}

void TZipListView::UpdateImages() {
    const bool shown = style_ == InfoLargeIcons || (style_ != InfoReport && smallImages_);
    model_->SetImage(shown ? image_ : QIcon());
}

int TZipListView::SelectedRow() const {
    const QModelIndexList rows = selection_->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void TZipListView::SelectRow(int row) {
    if (row < 0 || row >= model_->Count()) {
        selection_->clearSelection();
        return;
    }
    selection_->setCurrentIndex(model_->index(row, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

}  // namespace orvello
