#include "selector/OnFlyROMSelector.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/core/PathRules.h"

namespace orvello {

namespace {
constexpr int PreviewPanelWidth = 260;
}

TOnFlyForm::TOnFlyForm(AppState& state, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), state_(state) {
    setObjectName(QStringLiteral("OnFlyForm"));
    setWindowTitle(QStringLiteral("(Huge) On-fly ROM selector"));

    FilterComboBox = new QComboBox(this);
    FilterComboBox->setObjectName(QStringLiteral("FilterComboBox"));
    FilterComboBox->setAccessibleName(QStringLiteral("File type"));
    FilterLabel = new QLabel(QStringLiteral("File &type:"), this);
    FilterLabel->setBuddy(FilterComboBox);

    ZipList = new QTreeWidget(this);
    ZipList->setObjectName(QStringLiteral("ZipList"));
    ZipList->setAccessibleName(QStringLiteral("Zip contents"));
    ZipList->setHeaderLabels(
        {QStringLiteral("File Name"), QStringLiteral("File size"), QStringLiteral("ROM size")});
    ZipList->setRootIsDecorated(false);
    ZipList->setSelectionBehavior(QAbstractItemView::SelectRows);
    ZipList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ZipList->header()->setSectionsClickable(false);
    ZipList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FilterComboBox, &QComboBox::activated, this, &TOnFlyForm::FilterComboBoxChange);

    ZipLabel = new QLabel(QStringLiteral("&Zip contents:"), this);
    ZipLabel->setBuddy(ZipList);

    ZipListPopUp = new QMenu(this);
    ZipListPopUp->setObjectName(QStringLiteral("ZipListPopUp"));
    auto* styles = new QActionGroup(this);
    ReportItem = ZipListPopUp->addAction(QStringLiteral("&Report"));
    SmallIconItem = ZipListPopUp->addAction(QStringLiteral("&Small icon"));
    LargeIconsItem = ZipListPopUp->addAction(QStringLiteral("&Large icons"));
    for (QAction* a : {ReportItem, SmallIconItem, LargeIconsItem}) {
        a->setCheckable(true);
        styles->addAction(a);
    }
    ReportItem->setChecked(true);
    ZipListPopUp->addSeparator()->setVisible(false);
    ProprietiesItem = ZipListPopUp->addAction(QStringLiteral("&Proprieties"));
    ProprietiesItem->setVisible(false);
    ProprietiesItem->setEnabled(false);
    connect(ReportItem, &QAction::triggered, this, [this] { ViewStyleChosen(InfoReport); });
    connect(SmallIconItem, &QAction::triggered, this, [this] { ViewStyleChosen(InfoSmallIcons); });
    connect(LargeIconsItem, &QAction::triggered, this, [this] { ViewStyleChosen(InfoLargeIcons); });
    connect(ZipList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        ZipListPopUp->popup(ZipList->viewport()->mapToGlobal(at));
    });

    PlayBt = new QPushButton(QStringLiteral("Play"), this);
    PlayBt->setObjectName(QStringLiteral("PlayBt"));
    PlayBt->setAccessibleName(QStringLiteral("Play"));
    PlayBt->setEnabled(false);
    PreviewButton = new QPushButton(QStringLiteral("Hide &preview"), this);
    PreviewButton->setObjectName(QStringLiteral("PreviewButton"));
    PreviewButton->setAccessibleName(QStringLiteral("Preview"));
    connect(PreviewButton, &QPushButton::clicked, this, &TOnFlyForm::PreviewButtonClick);

    ImagePanel = new QLabel(QStringLiteral("No preview available"), this);
    ImagePanel->setObjectName(QStringLiteral("ImagePanel"));
    ImagePanel->setAccessibleName(QStringLiteral("Preview"));
    ImagePanel->setAlignment(Qt::AlignCenter);
    ImagePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFont bold = ImagePanel->font();
    bold.setBold(true);
    ImagePanel->setFont(bold);
    ImagePanel->setFixedWidth(PreviewPanelWidth);

    auto* left = new QVBoxLayout;
    left->addWidget(FilterLabel);
    left->addWidget(FilterComboBox);
    left->addWidget(ZipLabel);
    left->addWidget(ZipList, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(PlayBt);
    buttons->addWidget(PreviewButton);
    buttons->addStretch(1);
    left->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(ImagePanel);
    setFixedSize(682, 305);
}

void TOnFlyForm::SetInfoType(int style) {
    infoType_ = style;
    switch (style) {
        case InfoLargeIcons:
            LargeIconsItem->setChecked(true);
            break;
        case InfoSmallIcons:
            SmallIconItem->setChecked(true);
            break;
        case InfoReport:
            ReportItem->setChecked(true);
            break;
        default:
            break;
    }
}

void TOnFlyForm::ViewStyleChosen(int style) {
    SetInfoType(style);
    ProprietiesItem->setEnabled(style != InfoReport);
}

void TOnFlyForm::ApplyPreviewPanel() {
    if (state_.ShowPreview && ImagePanel->isHidden()) {
        setFixedWidth(width() + PreviewPanelWidth);
        ImagePanel->show();
        PreviewButton->setText(QStringLiteral("Hide &preview"));
    } else if (!state_.ShowPreview && !ImagePanel->isHidden()) {
        ImagePanel->hide();
        setFixedWidth(width() - PreviewPanelWidth);
        PreviewButton->setText(QStringLiteral("Show &preview"));
    }
}

void TOnFlyForm::UpdatePreviewButton() {
    if (state_.AutoPreview) {
        PreviewButton->setText(QStringLiteral("Auto preview"));
        PreviewButton->setEnabled(false);
    } else {
        PreviewButton->setEnabled(true);
        PreviewButton->setText(state_.ShowPreview ? QStringLiteral("Hide &preview")
                                                  : QStringLiteral("Show &preview"));
    }
}

void TOnFlyForm::PreviewButtonClick() {
    state_.ShowPreview = !state_.ShowPreview;
    ApplyPreviewPanel();
    UpdatePreviewButton();
}

void TOnFlyForm::SetFolder(const QString& folder) {
    if (folder == folder_) return;
    folder_ = folder;
    DirectoryListBoxChange();
}

void TOnFlyForm::DirectoryListBoxChange() {
    state_.SelectedFile.clear();
    LastFileIndex = -1;
    state_.SelectorFolder = folder_;
    ClearZipList();
    PlayBt->setEnabled(false);
    state_.mailbox.PostNotification(MainWindowId, SourceSelector, NoteCleared);
}

void TOnFlyForm::SetFilter(const QString& filter) {
    const bool changed = filter != filter_ || FilterComboBox->currentIndex() != 0;
    if (!changed) return;
    filter_ = filter;
    FilterComboBox->clear();
    for (const FilterEntry& entry : ParseFilter(filter)) {
        FilterComboBox->addItem(entry.description, entry.masks.join(QLatin1Char(';')));
    }
    FilterComboBox->setCurrentIndex(0);
    FilterComboBoxChange();
}

QString TOnFlyForm::Mask() const {
    return FilterComboBox->currentData().toString();
}

void TOnFlyForm::FilterComboBoxChange() {
    state_.SelectedFile.clear();
    LastFileIndex = -1;
    ClearZipList();
    PlayBt->setEnabled(false);
    FileIsArchive = false;
    state_.mailbox.PostNotification(MainWindowId, SourceSelector, NoteCleared);
}

void TOnFlyForm::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    state_.mailbox.PostNotification(MainWindowId, SourceSelector, NoteClosed);
    state_.SelectedFile.clear();
    LastFileIndex = -1;
    state_.SelectorFolder = folder_;
    ClearZipList();
    PlayBt->setEnabled(false);
    state_.mailbox.PostNotification(MainWindowId, SourceSelector, NoteCleared);
}

void TOnFlyForm::ClearZipList() {
    ZipList->clear();
}

void TOnFlyForm::ShowArchiveViews(bool show) {
    FilterLabel->setVisible(show);
    FilterComboBox->setVisible(show);
    ZipLabel->setVisible(show);
    ZipList->setVisible(show);
}

}  // namespace orvello
