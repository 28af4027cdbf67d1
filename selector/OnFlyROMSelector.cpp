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

namespace orvello {

namespace {

// Sizes of the window at 96 pixels per inch: the browsing part on the left and the preview
// panel beside it when shown.
constexpr int BrowseWidth = 560;
constexpr int WindowHeight = 420;
constexpr int PreviewPanelWidth = 300;

const QString NoPreviewText = QStringLiteral("No preview available");

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/'))) return folder + name;
    return folder + QLatin1Char('/') + name;
}

// A path the archive library reads: the bytes the file system knows the file by.
std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool IsEnterKey(QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

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

ExtractorKind ExtractorKindOf(archive::TArcType type) {
    using A = archive::TArcType;
    switch (type) {
        case A::atARJ:
        case A::atArjExe:
            return ExtractorKind::Arj;
        case A::atARC:
        case A::atArcExe:
            return ExtractorKind::Arc;
        case A::atLHA:
        case A::atLhaExe:
            return ExtractorKind::Lha;
        case A::atZIP:
        case A::atZipExe:
        case A::atZip250:
        case A::atZip250Exe:
            return ExtractorKind::Zip;
        case A::atZOO:
            return ExtractorKind::Zoo;
        default:
            return ExtractorKind::None;
    }
}

QString DriveRootOf(const QString& folder) {
    const QStorageInfo volume(folder);
    return volume.isValid() ? volume.rootPath() : QStringLiteral("/");
}

// The archive library's few message boxes go through the program's UiHost, like every other.
class TOnFlyForm::LibraryHost : public archive::ArcHost {
  public:
    explicit LibraryHost(UiHost& host) : host_(host) {}
    void ShowWarning(const std::string& text) override { host_.Warning(QString::fromUtf8(text)); }
    void ShowInformation(const std::string& text) override {
        host_.Information(QString::fromUtf8(text));
    }
    bool AskYesNo(const std::string& text) override {
        return host_.Confirm(QString::fromUtf8(text));
    }

  private:
    UiHost& host_;
};

TOnFlyForm::TOnFlyForm(AppState& state, UiHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      state_(state),
      host_(host),
      libraryHost_(std::make_unique<LibraryHost>(host)),
      files_(new FileListModel(this)) {
    setObjectName(QStringLiteral("OnFlyForm"));
    setWindowTitle(QStringLiteral("(Huge) On-fly ROM selector"));
    setModal(false);
    setSizeGripEnabled(false);

    BuildControls();
    BuildLayout();
    BuildArchiveComponents();
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

void TOnFlyForm::BuildArchiveComponents() {
    ArcLister.Host = libraryHost_.get();
    ArcLister.SetFileSpec("*.*");
    ArcLister.SetZipCmntBufSize(0);
    ArcLister.OnRead = [this](archive::TZipCommon& sender, std::int64_t offset,
                              std::int32_t fileNumber) {
        ArcListerRead(sender, offset, fileNumber);
    };
    ArcLister.OnTotals = [this](archive::TZipCommon& sender, std::int32_t numberOfFiles) {
        ArcListerTotals(sender, numberOfFiles);
    };
    // Kept so that a listing that fails can say why (see FileListBoxClick).
    ArcLister.OnError = [this](archive::TZipCommon&, const std::string& fileName,
                               const std::string&, int code) {
        lastListingError_ = code;
        lastListingErrorFile_ = fileName;
    };

    UnZIP.SetZipCmntBufSize(0);
    RegisterExtractor(ExtractorKind::Zip, UnZIP);
    RegisterExtractor(ExtractorKind::Lha, UnLHA);
    RegisterExtractor(ExtractorKind::Zoo, UnZOO);
    RegisterExtractor(ExtractorKind::Arj, Unarj);
    RegisterExtractor(ExtractorKind::Arc, Unarc);

    UnSFX.Host = libraryHost_.get();
    UnSFX.OnFileExists = [this](archive::TZipCommon& sender, const std::string& fileName,
                                bool& accept) { UnZIPFileExists(sender, fileName, accept); };
}

void TOnFlyForm::RegisterExtractor(ExtractorKind kind, archive::TUnBase& extractor) {
    extractor.Host = libraryHost_.get();
    extractor.UseStoredDirs = false;
    extractor.SetFileSpec("*.*");
    extractor.OnFileExists = [this](archive::TZipCommon& sender, const std::string& fileName,
                                    bool& accept) { UnZIPFileExists(sender, fileName, accept); };
    extractors_.at(static_cast<std::size_t>(kind)) = &extractor;
}

// --- What the main window uses ------------------------------------------------------------

archive::TUnBase* TOnFlyForm::ExtractorFor(archive::TArcType type) {
    return extractors_.at(static_cast<std::size_t>(ExtractorKindOf(type)));
}

ZipListModel* TOnFlyForm::Members() const {
    return ZipList->Model();
}

void TOnFlyForm::LookUpPreview() {
    QString found;
    for (const QString& candidate : PreviewCandidates(state_.PreviewFile)) {
        if (QFileInfo(candidate).isFile()) {
            found = candidate;
            break;
        }
    }
    if (!found.isEmpty()) {
        if (state_.AutoPreview) state_.ShowPreview = true;
        QPixmap picture;
        if (picture.load(found)) {
            Preview->setPixmap(picture);
            Preview->show();
        } else {
            state_.ShowPreview = false;
        }
    } else {
        if (state_.AutoPreview) state_.ShowPreview = false;
        ImagePanel->setText(NoPreviewText);
        Preview->clear();
        Preview->hide();
    }
    ApplyPreviewPanel();
    UpdatePreviewButton();
}

void TOnFlyForm::RereadFileList() {
    ReadFileList();
    // The file chosen is gone (or was meant to be): so is the choice.
    LastFileIndex = -1;
    FileIsArchive = false;
    chosenMemberRaw_.clear();
    ClearZipList();
    PlayBt->setEnabled(false);
}

int TOnFlyForm::InfoType() const {
    return ZipList->ViewStyle();
}

void TOnFlyForm::SetInfoType(int style) {
    switch (style) {
        case InfoLargeIcons:
            LargeIconsClick();
            break;
        case InfoSmallIcons:
            SmallIconClick();
            break;
        case InfoList:
            ZipList->SetViewStyle(InfoList);
            ProprietiesItem->setEnabled(true);
            break;
        default:
            ReportClick();
            break;
    }
}

void TOnFlyForm::ApplyPreviewPanel() {
    if (state_.ShowPreview && ImagePanel->isHidden()) {
        ImagePanel->show();
        FitWindow();
        PreviewButton->setText(QStringLiteral("Hide &preview"));
    } else if (!state_.ShowPreview && !ImagePanel->isHidden()) {
        ImagePanel->hide();
        FitWindow();
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

void TOnFlyForm::FitWindow() {
    const int panel = ImagePanel->isHidden() ? 0 : PreviewPanelWidth + layout()->spacing();
    setFixedSize(BrowseWidth + panel, WindowHeight);
}

void TOnFlyForm::SetFolder(const QString& folder) {
    if (!ChangeFolder(folder)) {
        // The same folder: read again when it has gone, so that its old files go too.
        if (folder_.isEmpty() || QFileInfo(folder_).isDir()) return;
        RereadFileList();
        ReadDirectoryList();
        return;
    }
    ReadFileList();
    ReadDirectoryList();
    ShowDriveOf(folder_);
    DirectoryListBoxChange();
}

bool TOnFlyForm::ChangeFolder(const QString& folder) {
    const QString clean =
        folder.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (clean == folder_) return false;
    folder_ = clean;
    // The folder shown is the process's current folder, as it is for the file list.
    if (!folder_.isEmpty() && QFileInfo(folder_).isDir()) QDir::setCurrent(folder_);
    return true;
}

void TOnFlyForm::SetFilter(const QString& filter) {
    // The same filter again (another emulator with the same ROM types, "Get ROM file" once
    // more) keeps the entry the user chose.
    if (filter == filter_) return;
    filter_ = filter;
    FilterComboBox->clear();
    for (const FilterEntry& entry : ParseFilter(filter)) {
        FilterComboBox->addItem(entry.description, entry.masks.join(QLatin1Char(';')));
    }
    FilterComboBox->setCurrentIndex(0);
    FilterComboBoxChange();
}

bool TOnFlyForm::ChooseFile(const QString& path) {
    const QFileInfo info(path);
    // The folder is read again even when it is the one shown: the file may be new in it.
    if (QDir::cleanPath(info.absolutePath()) == folder_) ReadFileList();
    SetFolder(info.absolutePath());
    // "All files" (the last entry) would list anything; only archives and ROMs are chosen.
    for (int entry = 0; entry + 1 < FilterComboBox->count(); ++entry) {
        if (FilterComboBox->currentIndex() != entry) {
            FilterComboBox->setCurrentIndex(entry);
            FilterComboBoxChange();
        }
        const int row = files_->RowOf(info.fileName());
        if (row < 0 || files_->At(row).folder) continue;
        const QModelIndex index = files_->index(row);
        FileListBox->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        FileListBox->scrollTo(index);
        FileListBoxClick();
        return true;
    }
    return false;
}

QString TOnFlyForm::Mask() const {
    if (FilterComboBox->count() == 0) return QStringLiteral("*.*");
    return FilterComboBox->currentData().toString();
}

void TOnFlyForm::ClearZipList() {
    ZipList->Model()->Clear();
}

void TOnFlyForm::ShowArchiveViews(bool show) {
    FilterLabel->setVisible(show);
    FilterComboBox->setVisible(show);
    ZipLabel->setVisible(show);
    ZipList->setVisible(show);
}

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

// --- The file list ------------------------------------------------------------------------

int TOnFlyForm::FileListRow() const {
    const QModelIndexList rows = FileListBox->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

QString TOnFlyForm::PathOfRow(int row) const {
    return QDir::cleanPath(JoinPath(folder_, files_->At(row).name));
}

void TOnFlyForm::ShowEditText() {
    const int row = FileListRow();
    EditROMFilename->setText(row >= 0 ? files_->At(row).name : Mask());
}

void TOnFlyForm::FileListBoxChange() {
    const int row = FileListRow();
    if (row < 0) return;
    const FileListModel::Entry& entry = files_->At(row);
    state_.SelectedFile = PathOfRow(row);
    state_.RomFileName = entry.name;
    state_.RomBaseName = WithoutExtension(entry.name);
    chosenMemberRaw_.clear();
    EditROMFilename->setText(entry.name);
    // Every archive starts with its names read the automatic way.
    SetNamesEncoding(archive::NameEncoding::kAuto);

    // The preview's name depends on whether the file is an archive: the lister looks at it.
    try {
        ArcLister.SetArchiveFile(PathBytes(state_.SelectedFile));
    } catch (const std::exception&) {
        // A file that could not be closed after detection; its type says what was found.
    }
    const bool archive = ExtractorKindOf(ArcLister.ArcType()) != ExtractorKind::None;
    if (!archive || IsGameNameSlot(state_.CurrentSlot)) {
        state_.PreviewFile = WithExtension(state_.SelectedFile, QStringLiteral(".bmp"));
    } else {
        state_.PreviewFile.clear();
    }
}

void TOnFlyForm::FileListBoxClick() {
    const int row = FileListRow();
    if (row < 0 || row == LastFileIndex) return;
    LastFileIndex = row;
    if (files_->At(row).folder) {
        FolderEntryClicked();
        return;
    }
    if (!ChosenFileStillThere(PathOfRow(row))) return;
    FileListBoxChange();  // also hands the file to the lister
    ClearZipList();
    FileIsArchive = PrepareExtractor();
    if (FileIsArchive) {
        if (!ZipList->isHidden()) ListArchive();
        PlayBt->setEnabled(IsGameNameSlot(state_.CurrentSlot) && EmulatorSet());
        state_.mailbox.PostNotification(MainWindowId, SourceFileList, NoteArchiveOpened);
    } else {
        EnablePlayIfEmulatorSet();
        state_.mailbox.PostNotification(MainWindowId, SourceFileList, NoteSelected);
    }
}

bool TOnFlyForm::ChosenFileStillThere(const QString& chosen) {
    const QString path = chosen;  // the choice is dropped below; the name is said
    if (QFileInfo(path).isFile()) return true;
    // Moved or deleted since the folder was read: say so and show what is there now.
    const bool folderGone = !QFileInfo(folder_).isDir();
    RereadFileList();
    ReadDirectoryList();
    state_.SelectedFile.clear();
    state_.mailbox.PostNotification(MainWindowId, SourceSelector, NoteCleared);
    host_.Error(
        folderGone
            ? QStringLiteral("The folder \"%1\" is gone: it was moved or deleted.").arg(folder_)
            : QStringLiteral("\"%1\" is gone: it was moved or deleted.").arg(path));
    return false;
}

void TOnFlyForm::ListArchive() {
    ZipList->hide();
    pending_.clear();
    listingShown_ = false;
    lastListingError_ = 0;
    const bool listed = ArcLister.Activate();
    // A walk ended by an error never reaches its totals: show what was read, and why the rest
    // is missing, rather than leave the list hidden.
    if (!listingShown_) CommitListing();
    if (!listed && lastListingError_ != 0) {
        // One plain sentence naming the file first, then the member and the library's text.
        const QString archiveName = QFileInfo(state_.SelectedFile).fileName();
        const std::string_view type = archive::ArcTypeText(ArcLister.ArcType());
        host_.Error(QStringLiteral("%1 is damaged or is not a%2 %3 archive.\n\n")
                        .arg(archiveName,
                             type.empty() || !QStringLiteral("AEIOU").contains(QLatin1Char(type[0]))
                                 ? QString()
                                 : QStringLiteral("n"),
                             QString::fromUtf8(type.data(), static_cast<qsizetype>(type.size()))) +
                    QFile::decodeName(
                        QByteArray::fromStdString(StoredFileNamePart(lastListingErrorFile_))) +
                    QLatin1Char('\n') +
                    QString::fromUtf8(
                        archive::ErrorText(lastListingError_).data(),
                        static_cast<qsizetype>(archive::ErrorText(lastListingError_).size())) +
                    QLatin1Char('.'));
    }
}

void TOnFlyForm::SetNamesEncoding(archive::NameEncoding encoding) {
    ArcLister.NamesEncoding = encoding;
    for (archive::TUnBase* extractor : extractors_) {
        if (extractor != nullptr) extractor->NamesEncoding = encoding;
    }
    // The entries stand in the order of NameEncodings().
    const auto& all = archive::NameEncodings();
    for (qsizetype i = 0; i < NameEncodingItems.size(); ++i)
        NameEncodingItems[i]->setChecked(all[static_cast<std::size_t>(i)].second == encoding);
}

void TOnFlyForm::NameEncodingClick(archive::NameEncoding encoding) {
    SetNamesEncoding(encoding);
    if (!FileIsArchive) return;
    // The member chosen under the old names is chosen no more.
    chosenMemberRaw_.clear();
    ClearZipList();
    if (!ZipList->isHidden()) ListArchive();
    PlayBt->setEnabled(IsGameNameSlot(state_.CurrentSlot) && EmulatorSet());
}

void TOnFlyForm::FolderEntryClicked() {
    // A folder is no ROM: the choice is dropped, and double-click or Enter opens it.
    state_.SelectedFile.clear();
    chosenMemberRaw_.clear();
    ClearZipList();
    FileIsArchive = false;
    PlayBt->setEnabled(false);
    EditROMFilename->setText(FileListModel::Shown(files_->At(LastFileIndex)));
    state_.mailbox.PostNotification(MainWindowId, SourceSelector, NoteCleared);
}

void TOnFlyForm::FileListBoxDblClick() {
    FileListBoxClick();  // a no-op when the click before has examined it
    const int row = FileListRow();
    if (row < 0) return;
    if (files_->At(row).folder) {
        SetFolder(PathOfRow(row));
        return;
    }
    if (!ChosenFileStillThere(PathOfRow(row))) return;
    FileIsArchive = PrepareExtractor();
    if (FileIsArchive) {
        PlayBt->setEnabled(false);
        state_.mailbox.PostNotification(MainWindowId, SourceFileList, NotePlayArchive);
        if (!ZipList->isHidden()) {
            ZipList->setFocus(Qt::OtherFocusReason);
            // The member the focus highlights is the one Enter plays: it is chosen, and
            // "Play" says so.
            if (ZipList->SelectedRow() < 0 && Members()->Count() > 0) ZipList->SelectRow(0);
        }
    } else {
        EnablePlayIfEmulatorSet();
        state_.mailbox.PostNotification(MainWindowId, SourceFileList, NotePlay);
    }
}

bool TOnFlyForm::ChooseTypedName() {
    const QString typed = EditROMFilename->text().trimmed();
    if (typed.isEmpty()) return false;
    int row = files_->RowOf(typed);
    if (row < 0) row = files_->RowOf(QLatin1Char('[') + typed + QLatin1Char(']'));
    for (int r = 0; row < 0 && r < files_->Count(); ++r) {
        if (files_->At(r).name.compare(typed, Qt::CaseInsensitive) == 0) row = r;
    }
    if (row < 0) return false;
    const QModelIndex index = files_->index(row);
    FileListBox->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    FileListBox->scrollTo(index);
    FileListBoxDblClick();
    return true;
}

bool TOnFlyForm::PrepareExtractor() {
    const ExtractorKind kind = ExtractorKindOf(ArcLister.ArcType());
    if (kind == ExtractorKind::None) return false;
    if (archive::TUnBase* extractor = extractors_.at(static_cast<std::size_t>(kind))) {
        try {
            extractor->SetArchiveFile(ArcLister.ArchiveFile());
        } catch (const std::exception&) {
            // Reported through the extractor's own events; the extraction will say so again.
        }
    }
    return true;
}

void TOnFlyForm::UnZIPFileExists(archive::TZipCommon&, const std::string&, bool& accept) {
    accept = false;
}

// --- The archive contents list ------------------------------------------------------------

void TOnFlyForm::ArcListerRead(archive::TZipCommon& sender, std::int64_t, std::int32_t) {
    std::string name = StoredFileNamePart(sender.FileName);
    // A folder entry ("games/") names no file that could be played.
    if (name.empty()) return;
    QString caption = QString::fromStdString(name);  // the lister gives UTF-8
    pending_.push_back({std::move(caption), std::move(name), sender.UnpackedSize});
}

void TOnFlyForm::ArcListerTotals(archive::TZipCommon&, std::int32_t numberOfFiles) {
    CommitListing();
    if (numberOfFiles == 0 || Members()->Count() == 0) {
        host_.Information(QStringLiteral("No file(s) into archive"));
    }
}

void TOnFlyForm::CommitListing() {
    Members()->Fill(std::move(pending_));
    pending_.clear();
    listingShown_ = true;
    ZipList->show();
    ZipListChange();  // the items changed and none is selected
}

const ZipListModel::Member* TOnFlyForm::ChooseSelectedMember() {
    const int row = ZipList->SelectedRow();
    if (row < 0) {
        PlayBt->setEnabled(false);
        return nullptr;
    }
    EnablePlayIfEmulatorSet();
    const ZipListModel::Member& member = Members()->At(row);
    state_.RomFileName = member.caption;
    chosenMemberRaw_ = member.raw;
    return &member;
}

void TOnFlyForm::ZipListClick() {
    if (ChooseSelectedMember() == nullptr) return;
    state_.mailbox.PostNotification(MainWindowId, SourceArchiveList, NoteSelected);
}

void TOnFlyForm::ZipListChange() {
    const ZipListModel::Member* member = ChooseSelectedMember();
    if (member == nullptr) return;
    state_.RomBaseName = WithoutExtension(member->caption);
    state_.PreviewFile =
        WithExtension(JoinPath(state_.SelectorFolder, member->caption), QStringLiteral(".bmp"));
    state_.mailbox.PostNotification(MainWindowId, SourceArchiveList, NoteSelected);
}

void TOnFlyForm::ZipListDblClick() {
    if (ChooseSelectedMember() == nullptr) return;
    state_.mailbox.PostNotification(MainWindowId, SourceArchiveList, NotePlay);
    if (!ZipList->isHidden()) ZipList->setFocus(Qt::OtherFocusReason);
}

void TOnFlyForm::ReportClick() {
    ViewStyleChosen(InfoReport);
}

void TOnFlyForm::SmallIconClick() {
    ViewStyleChosen(InfoSmallIcons);
}

void TOnFlyForm::LargeIconsClick() {
    ViewStyleChosen(InfoLargeIcons);
}

void TOnFlyForm::ViewStyleChosen(int style) {
    if (style == InfoReport) ZipList->SetSmallImages(false);
    if (style == InfoSmallIcons) ZipList->SetSmallImages(true);
    ZipList->SetViewStyle(style);
    ProprietiesItem->setEnabled(style != InfoReport);
    switch (style) {
        case InfoLargeIcons:
            LargeIconsItem->setChecked(true);
            break;
        case InfoSmallIcons:
            SmallIconItem->setChecked(true);
            break;
        default:
            ReportItem->setChecked(true);
            break;
    }
}

// --- Buttons, folders, drives and filter --------------------------------------------------

bool TOnFlyForm::EmulatorSet() const {
    return !state_.EmuPath.at(state_.CurrentSlot).isEmpty();
}

void TOnFlyForm::EnablePlayIfEmulatorSet() {
    if (EmulatorSet()) PlayBt->setEnabled(true);
}

void TOnFlyForm::PlayBtClick() {
    if (!ChosenFileStillThere(state_.SelectedFile)) {
        PlayBt->setEnabled(false);
        return;
    }
    if (IsGameNameSlot(state_.CurrentSlot)) {
        state_.mailbox.PostNotification(MainWindowId, SourceFileList, NotePlayArchive);
    } else if (FileIsArchive) {
        state_.mailbox.PostNotification(MainWindowId, SourceArchiveList, NotePlay);
    } else {
        state_.mailbox.PostNotification(MainWindowId, SourceFileList, NotePlay);
    }
}

void TOnFlyForm::DirectoryActivated(QTreeWidgetItem* item) {
    if (item == nullptr) return;
    SetFolder(item->data(0, Qt::UserRole).toString());
}

void TOnFlyForm::DirectoryListBoxChange() {
    state_.SelectedFile.clear();
    LastFileIndex = -1;
    state_.SelectorFolder = folder_;
    ClearZipList();
    PlayBt->setEnabled(false);
    state_.mailbox.PostNotification(MainWindowId, SourceSelector, NoteCleared);
}

void TOnFlyForm::DriveComboBoxChange() {
    // The folder list follows the drive: its root becomes the folder (which is a folder
    // change of its own when it differs). The drive that holds the current folder already
    // is no change: the folder stays where it is.
    const QString root = DriveComboBox->currentData().toString();
    if (!folder_.isEmpty() && root == DriveRootOf(folder_)) return;
    if (!root.isEmpty()) SetFolder(root);
    // The drive change itself clears the choice too, as a folder change does.
    DirectoryListBoxChange();
}

void TOnFlyForm::FilterComboBoxChange() {
    ReadFileList();  // the file list's mask follows the chosen entry
    state_.SelectedFile.clear();
    LastFileIndex = -1;
    ClearZipList();
    PlayBt->setEnabled(false);
    FileIsArchive = false;
    state_.mailbox.PostNotification(MainWindowId, SourceSelector, NoteCleared);
}

void TOnFlyForm::DefaultDirClick() {
    const QString games = state_.GamesDir.at(state_.CurrentSlot);
    // Without a games folder there is nothing to go back to.
    if (games.isEmpty()) return;
    if (folder_ == QDir::cleanPath(QFileInfo(games).absoluteFilePath())) return;
    SetFolder(games);
    state_.mailbox.PostNotification(MainWindowId, SourceSelector, NoteCleared);
}

void TOnFlyForm::CloseClick() {
    // However the window closes, it forgets its choice.
    FormClose();
}

void TOnFlyForm::reject() {
    CloseClick();
}

void TOnFlyForm::FormClose() {
    state_.mailbox.PostNotification(MainWindowId, SourceSelector, NoteClosed);
    // The choice goes with the window, as for a folder change, and no file stays
    // highlighted: reopened, the window offers nothing to play until a file is clicked.
    FileListBox->selectionModel()->clear();
    chosenMemberRaw_.clear();
    FileIsArchive = false;
    ShowEditText();
    DirectoryListBoxChange();
}

void TOnFlyForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TOnFlyForm::FormShow() {
    ApplyPreviewPanel();
    UpdatePreviewButton();
}

void TOnFlyForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        ReadDrives();  // file systems come and go between showings
        FormShow();
    }
}

void TOnFlyForm::PreviewButtonClick() {
    state_.ShowPreview = !state_.ShowPreview;
    ApplyPreviewPanel();
    UpdatePreviewButton();
}

bool TOnFlyForm::eventFilter(QObject* watched, QEvent* event) {
    if (!IsEnterKey(event)) return QDialog::eventFilter(watched, event);
    if (watched == EditROMFilename) {
        ChooseTypedName();
        return true;
    }
    if (watched == DirectoryListBox) {
        DirectoryActivated(DirectoryListBox->currentItem());
        return true;
    }
    if (watched == FileListBox) {
        const QModelIndex current = FileListBox->currentIndex();
        if (current.isValid() && FileListRow() != current.row()) {
            FileListBox->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
        }
        if (current.isValid()) FileListBoxDblClick();
        return true;
    }
    if (watched == ZipList->Report || watched == ZipList->Icons) {
        const QModelIndex current = ZipList->Selection()->currentIndex();
        if (current.isValid() && ZipList->SelectedRow() != current.row()) {
            ZipList->SelectRow(current.row());
        }
        if (current.isValid()) ZipListDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace orvello
