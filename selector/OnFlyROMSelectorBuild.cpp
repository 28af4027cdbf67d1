// Building the ROM selector: its controls and their layout.
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

namespace {

// The folder list: the path down to the current folder and its sub-folders, always all
// shown, so it draws no expand and collapse marks.
class FolderTree : public QTreeWidget {
  public:
    using QTreeWidget::QTreeWidget;

  protected:
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}
};

QLabel* BuddyLabel(const QString& caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

TOnFlyForm::TOnFlyForm(AppState& state, UiHost& host, ArchiveBrowser& archives, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      state_(state),
      host_(host),
      archives_(archives),
      files_(new FileListModel(this)) {
    setObjectName(QStringLiteral("OnFlyForm"));
    setWindowTitle(QStringLiteral("(Huge) On-fly ROM selector"));
    setModal(false);
    setSizeGripEnabled(false);

    BuildControls();
    BuildLayout();
    ReadDrives();
    ShowEditText();
    FitWindow();
}

TOnFlyForm::~TOnFlyForm() = default;

// --- Construction -------------------------------------------------------------------------

void TOnFlyForm::BuildControls() {
    EditROMFilename = new QLineEdit(QStringLiteral("*.*"), this);
    EditROMFilename->setObjectName(QStringLiteral("EditROMFilename"));
    EditROMFilename->setAccessibleName(QStringLiteral("File name"));
    FileNameLabel = BuddyLabel(QStringLiteral("&File name:"), EditROMFilename, this);

    FileListBox = new QListView(this);
    FileListBox->setObjectName(QStringLiteral("FileListBox"));
    FileListBox->setAccessibleName(QStringLiteral("Files"));
    FileListBox->setModel(files_);
    FileListBox->setUniformItemSizes(true);
    FileListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    FileListBox->setEditTriggers(QAbstractItemView::NoEditTriggers);

    DirectoryListBox = new FolderTree(this);
    DirectoryListBox->setObjectName(QStringLiteral("DirectoryListBox"));
    DirectoryListBox->setAccessibleName(QStringLiteral("Directories"));
    DirectoryListBox->setHeaderHidden(true);
    DirectoryListBox->setRootIsDecorated(false);
    DirectoryListBox->setItemsExpandable(false);
    DirectoryListBox->setExpandsOnDoubleClick(false);
    DirectoryListBox->setIndentation(12);
    DirectoryListBox->setUniformRowHeights(true);
    DirectoryLabel = BuddyLabel(QStringLiteral("&Directories:"), DirectoryListBox, this);
    DirectoryPath = new QLabel(this);
    DirectoryPath->setObjectName(QStringLiteral("DirectoryPath"));
    DirectoryPath->setAccessibleName(QStringLiteral("Current folder"));
    DirectoryPath->setTextFormat(Qt::PlainText);
    DirectoryPath->setMinimumWidth(1);

    DriveComboBox = new QComboBox(this);
    DriveComboBox->setObjectName(QStringLiteral("DriveComboBox"));
    DriveComboBox->setAccessibleName(QStringLiteral("Drives"));
    DriveComboBox->view()->setAccessibleName(QStringLiteral("Drives"));  // its pop-up list
    DriveComboBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    DriveComboBox->setMinimumContentsLength(12);
    DriveLabel = BuddyLabel(QStringLiteral("D&rives:"), DriveComboBox, this);

    FilterComboBox = new QComboBox(this);
    FilterComboBox->setObjectName(QStringLiteral("FilterComboBox"));
    FilterComboBox->setAccessibleName(QStringLiteral("File type"));
    FilterComboBox->view()->setAccessibleName(QStringLiteral("File type"));
    FilterLabel = BuddyLabel(QStringLiteral("File &type:"), FilterComboBox, this);

    ZipList = new TZipListView(this);
    ZipLabel = BuddyLabel(QStringLiteral("&Zip contents:"), ZipList, this);

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
    ZipListPopUp->addSeparator();
    NameEncodingMenu = ZipListPopUp->addMenu(QStringLiteral("&Name encoding"));
    NameEncodingMenu->setObjectName(QStringLiteral("NameEncodingMenu"));
    auto* encodings = new QActionGroup(this);
    for (const auto& entry : archive::NameEncodings()) {
        const archive::NameEncoding encoding = entry.second;
        QAction* a = NameEncodingMenu->addAction(
            encoding == archive::NameEncoding::kAuto
                ? QStringLiteral("Automatic")
                : QString::fromLatin1(entry.first.data(),
                                      static_cast<qsizetype>(entry.first.size())));
        a->setCheckable(true);
        encodings->addAction(a);
        NameEncodingItems.append(a);
        connect(a, &QAction::triggered, this, [this, encoding] { NameEncodingClick(encoding); });
    }
    NameEncodingItems.front()->setChecked(true);

    PlayBt = new QPushButton(QStringLiteral("Play"), this);
    PlayBt->setObjectName(QStringLiteral("PlayBt"));
    PlayBt->setDefault(true);
    PlayBt->setEnabled(false);
    DefaultDir = new QPushButton(QStringLiteral("D&efault dir"), this);
    DefaultDir->setObjectName(QStringLiteral("DefaultDir"));
    Close = new QPushButton(QStringLiteral("&Close"), this);
    Close->setObjectName(QStringLiteral("Close"));
    PreviewButton = new QPushButton(QStringLiteral("Hide &preview"), this);
    PreviewButton->setObjectName(QStringLiteral("PreviewButton"));

    ImagePanel = new QLabel(NoPreviewText, this);
    ImagePanel->setObjectName(QStringLiteral("ImagePanel"));
    ImagePanel->setAccessibleName(QStringLiteral("Preview"));
    ImagePanel->setAlignment(Qt::AlignCenter);
    ImagePanel->setWordWrap(true);
    ImagePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ImagePanel->setLineWidth(2);
    QFont bold = ImagePanel->font();
    bold.setBold(true);
    ImagePanel->setFont(bold);
    ImagePanel->setFixedWidth(PreviewPanelWidth);
    Preview = new QLabel(ImagePanel);
    Preview->setObjectName(QStringLiteral("Preview"));
    Preview->setAccessibleName(QStringLiteral("Preview picture"));
    Preview->setScaledContents(true);
    Preview->hide();
    auto* inner = new QVBoxLayout(ImagePanel);
    inner->setContentsMargins(3, 3, 3, 3);
    inner->addWidget(Preview);

    // Handlers. A selection made by mouse or keyboard is a click; a click on the row already
    // chosen arrives through `clicked` and is told apart by LastFileIndex.
    connect(FileListBox->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (FileListRow() >= 0) FileListBoxClick();
    });
    connect(FileListBox, &QListView::clicked, this, [this] { FileListBoxClick(); });
    connect(FileListBox, &QListView::doubleClicked, this, [this] { FileListBoxDblClick(); });
    connect(DirectoryListBox, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { DirectoryActivated(item); });
    connect(DriveComboBox, &QComboBox::activated, this, [this] { DriveComboBoxChange(); });
    connect(FilterComboBox, &QComboBox::activated, this, [this] { FilterComboBoxChange(); });

    connect(ZipList->Selection(), &QItemSelectionModel::selectionChanged, this,
            [this] { ZipListChange(); });
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(ZipList->Report),
                                    static_cast<QAbstractItemView*>(ZipList->Icons)}) {
        connect(view, &QAbstractItemView::clicked, this, [this] { ZipListClick(); });
        connect(view, &QAbstractItemView::doubleClicked, this, [this] { ZipListDblClick(); });
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
            ZipListPopUp->popup(view->viewport()->mapToGlobal(at));
        });
        view->installEventFilter(this);
    }
    connect(ReportItem, &QAction::triggered, this, &TOnFlyForm::ReportClick);
    connect(SmallIconItem, &QAction::triggered, this, &TOnFlyForm::SmallIconClick);
    connect(LargeIconsItem, &QAction::triggered, this, &TOnFlyForm::LargeIconsClick);

    connect(PlayBt, &QPushButton::clicked, this, &TOnFlyForm::PlayBtClick);
    connect(DefaultDir, &QPushButton::clicked, this, &TOnFlyForm::DefaultDirClick);
    connect(Close, &QPushButton::clicked, this, &TOnFlyForm::CloseClick);
    connect(PreviewButton, &QPushButton::clicked, this, &TOnFlyForm::PreviewButtonClick);

    // Enter on an entry acts as a double-click on it, and never also presses "Play".
    FileListBox->installEventFilter(this);
    DirectoryListBox->installEventFilter(this);
    EditROMFilename->installEventFilter(this);
}

void TOnFlyForm::BuildLayout() {
    auto* files = new QVBoxLayout;
    files->addWidget(FileNameLabel);
    files->addWidget(EditROMFilename);
    files->addWidget(FileListBox, 1);
    files->addWidget(FilterLabel);
    files->addWidget(FilterComboBox);

    auto* folders = new QVBoxLayout;
    folders->addWidget(DirectoryLabel);
    folders->addWidget(DirectoryPath);
    folders->addWidget(DirectoryListBox, 1);
    folders->addWidget(DriveLabel);
    folders->addWidget(DriveComboBox);

    auto* browse = new QHBoxLayout;
    browse->addLayout(files, 1);
    browse->addLayout(folders, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(PlayBt);
    buttons->addWidget(DefaultDir);
    buttons->addWidget(Close);
    buttons->addStretch(1);
    buttons->addWidget(PreviewButton);

    auto* left = new QVBoxLayout;
    left->addLayout(browse, 3);
    left->addWidget(ZipLabel);
    left->addWidget(ZipList, 2);
    left->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(ImagePanel);

    // From top to bottom, left to right, the way the window reads.
    setTabOrder(EditROMFilename, FileListBox);
    setTabOrder(FileListBox, FilterComboBox);
    setTabOrder(FilterComboBox, DirectoryListBox);
    setTabOrder(DirectoryListBox, DriveComboBox);
    setTabOrder(DriveComboBox, ZipList->Report);
    setTabOrder(ZipList->Report, ZipList->Icons);
    setTabOrder(ZipList->Icons, PlayBt);
    setTabOrder(PlayBt, DefaultDir);
    setTabOrder(DefaultDir, Close);
    setTabOrder(Close, PreviewButton);
}

}  // namespace orvello
