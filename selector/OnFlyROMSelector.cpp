// The ROM selector's file list, buttons and window events, and what the main window asks of
// it. Its construction is in OnFlyROMSelectorBuild.cpp, its folder and drive lists in
// OnFlyROMSelectorFolders.cpp, its archive contents list in OnFlyROMSelectorArchive.cpp.
#include "selector/OnFlyROMSelector.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeWidget>

#include "app/core/ArchiveBrowser.h"
#include "app/core/PathRules.h"
#include "selector/SelectorNames.h"
#include "selector/SelectorParts.h"

namespace orvello {

using namespace selector_parts;

QString DriveRootOf(const QString& folder) {
    const QStorageInfo volume(folder);
    return volume.isValid() ? volume.rootPath() : QStringLiteral("/");
}

// --- What the main window uses ------------------------------------------------------------

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
    archives_.ForgetMember();
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
    EditROMFilename->setText(entry.name);
    // Every archive starts with its names read the automatic way.
    SetNamesEncoding(archive::NameEncoding::kAuto);

    // The preview's name depends on whether the file is an archive: the browser looks at it
    // (and forgets the member chosen in the file before).
    archives_.Select(PathBytes(state_.SelectedFile));
    if (!archives_.SelectedIsArchive() || IsGameNameSlot(state_.CurrentSlot)) {
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
    FileIsArchive = archives_.PrepareExtractor();
    if (FileIsArchive) {
        if (!ZipList->isHidden()) ListArchive();
        PlayBt->setEnabled(IsGameNameSlot(state_.CurrentSlot) && EmulatorSet());
        state_.mailbox.PostNotification(MainWindowId, NoteSource::FileList,
                                        NoteCode::ArchiveOpened);
    } else {
        EnablePlayIfEmulatorSet();
        state_.mailbox.PostNotification(MainWindowId, NoteSource::FileList, NoteCode::Selected);
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
    state_.mailbox.PostNotification(MainWindowId, NoteSource::Selector, NoteCode::Cleared);
    host_.Error(
        folderGone
            ? QStringLiteral("The folder \"%1\" is gone: it was moved or deleted.").arg(folder_)
            : QStringLiteral("\"%1\" is gone: it was moved or deleted.").arg(path));
    return false;
}

void TOnFlyForm::FolderEntryClicked() {
    // A folder is no ROM: the choice is dropped, and double-click or Enter opens it.
    state_.SelectedFile.clear();
    archives_.ForgetMember();
    ClearZipList();
    FileIsArchive = false;
    PlayBt->setEnabled(false);
    EditROMFilename->setText(FileListModel::Shown(files_->At(LastFileIndex)));
    state_.mailbox.PostNotification(MainWindowId, NoteSource::Selector, NoteCode::Cleared);
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
    FileIsArchive = archives_.PrepareExtractor();
    if (FileIsArchive) {
        PlayBt->setEnabled(false);
        state_.mailbox.PostNotification(MainWindowId, NoteSource::FileList, NoteCode::PlayArchive);
        if (!ZipList->isHidden()) {
            ZipList->setFocus(Qt::OtherFocusReason);
            // The member the focus highlights is the one Enter plays: it is chosen, and
            // "Play" says so.
            if (ZipList->SelectedRow() < 0 && Members()->Count() > 0) ZipList->SelectRow(0);
        }
    } else {
        EnablePlayIfEmulatorSet();
        state_.mailbox.PostNotification(MainWindowId, NoteSource::FileList, NoteCode::Play);
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
        state_.mailbox.PostNotification(MainWindowId, NoteSource::FileList, NoteCode::PlayArchive);
    } else if (FileIsArchive) {
        state_.mailbox.PostNotification(MainWindowId, NoteSource::ArchiveList, NoteCode::Play);
    } else {
        state_.mailbox.PostNotification(MainWindowId, NoteSource::FileList, NoteCode::Play);
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
    state_.mailbox.PostNotification(MainWindowId, NoteSource::Selector, NoteCode::Cleared);
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
    state_.mailbox.PostNotification(MainWindowId, NoteSource::Selector, NoteCode::Cleared);
}

void TOnFlyForm::DefaultDirClick() {
    const QString games = state_.GamesDir.at(state_.CurrentSlot);
    // Without a games folder there is nothing to go back to.
    if (games.isEmpty()) return;
    if (folder_ == QDir::cleanPath(QFileInfo(games).absoluteFilePath())) return;
    SetFolder(games);
    state_.mailbox.PostNotification(MainWindowId, NoteSource::Selector, NoteCode::Cleared);
}

void TOnFlyForm::CloseClick() {
    // However the window closes, it forgets its choice.
    FormClose();
}

void TOnFlyForm::reject() {
    CloseClick();
}

void TOnFlyForm::FormClose() {
    state_.mailbox.PostNotification(MainWindowId, NoteSource::Selector, NoteCode::Closed);
    // The choice goes with the window, as for a folder change, and no file stays
    // highlighted: reopened, the window offers nothing to play until a file is clicked.
    FileListBox->selectionModel()->clear();
    archives_.ForgetMember();
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
