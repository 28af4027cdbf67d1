// The ROM selector window: the user browses drives and folders, picks a ROM file or an
// archive, sees the archive's members with their sizes and a preview picture of the game,
// and asks to play. It launches nothing itself: it keeps the choice in the shared state and
// posts notifications to the mailbox, which the main window's timer takes.
//
// It lists and opens archives through the ArchiveBrowser it is given (the main window owns
// it): every file selected goes to the browser, which recognises archives, lists their
// members and gives them to the extractor the launch will use; the member chosen is recorded
// there too.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

#include "app/core/GlobalVar.h"
#include "app/core/Host.h"
#include "archive/NameCodec.h"
#include "selector/SelectorModels.h"
#include "selector/ZipListView.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QModelIndex;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace orvello {

class ArchiveBrowser;

// The root of the mounted file system (the drive) that holds a folder.
QString DriveRootOf(const QString& folder);

class TOnFlyForm : public QDialog {
    Q_OBJECT

  public:
    // archives must outlive the window.
    TOnFlyForm(AppState& state, UiHost& host, ArchiveBrowser& archives, QWidget* parent);
    ~TOnFlyForm() override;

    // --- What the main window uses -------------------------------------------------------

    // The preview lookup for PreviewFile: shows the ".bmp" picture, or failing that a
    // ".png" and then a ".jpg" of the same name; opens or closes the panel under
    // "Auto preview"; then brings the panel and its button up to date.
    void LookUpPreview();
    // The file list reads its folder again (after a file was deleted) and the choice is
    // dropped: "Play" is unavailable until a file is chosen again. Nothing is posted; the
    // next click on any entry is examined afresh.
    void RereadFileList();

    // The view style of ZipList, as stored under "Info type". Setting it applies the style as
    // its pop-up item does and checks that item ("&Large icons", "&Small icon", "&Report";
    // the list style has no item).
    int InfoType() const;
    void SetInfoType(int style);

    // Shows or hides the preview panel to match ShowPreview, widening or narrowing the
    // window by the panel's width.
    void ApplyPreviewPanel();
    // The preview button's caption and state from AutoPreview and ShowPreview.
    void UpdatePreviewButton();

    // The folder the folder list shows. Another folder is read and runs
    // DirectoryListBoxChange (which posts (NoteSource::Selector, NoteCode::Cleared)). A relative
    // folder is taken from the current folder; a folder that does not exist is shown empty.
    QString Folder() const { return folder_; }
    void SetFolder(const QString& folder);
    // The file-type box's filter ("description|masks|..."). A different filter selects the
    // first entry and runs FilterComboBoxChange; the same filter again keeps the entry the
    // user chose.
    QString Filter() const { return filter_; }
    void SetFilter(const QString& filter);
    // Moves to the file's folder and chooses the file as a click on it would, under the
    // first file-type entry that lists it ("Zipped ROMs", then the tab's ROM types). False,
    // with nothing chosen, when neither lists it.
    bool ChooseFile(const QString& path);
    // The masks of the chosen file-type entry, separated by ";".
    QString Mask() const;

    // Empties the archive contents list.
    void ClearZipList();
    // The file-type box, the archive contents list and its label are shown only for slots
    // that take a ROM file.
    void ShowArchiveViews(bool show);

    // --- Controls -------------------------------------------------------------------------

    QLabel* FileNameLabel;
    QLineEdit* EditROMFilename;
    QListView* FileListBox;
    QLabel* DirectoryLabel;
    QLabel* DirectoryPath;
    QTreeWidget* DirectoryListBox;
    QLabel* DriveLabel;
    QComboBox* DriveComboBox;
    QLabel* FilterLabel;
    QComboBox* FilterComboBox;
    QLabel* ZipLabel;
    TZipListView* ZipList;
    QPushButton* PlayBt;
    QPushButton* DefaultDir;
    QPushButton* Close;
    QPushButton* PreviewButton;
    QLabel* ImagePanel;
    QLabel* Preview;
    QMenu* ZipListPopUp;
    QAction* ReportItem;
    QAction* SmallIconItem;
    QAction* LargeIconsItem;
    QAction* ProprietiesItem;
    // "Name encoding": how the names of the archive shown are read, one checkable entry per
    // encoding ("Automatic" first). Choosing one lists the archive again that way, and the
    // extractors write under the same names. Another archive starts at "Automatic".
    QMenu* NameEncodingMenu;
    QList<QAction*> NameEncodingItems;

    // The rows of the file list and of the archive contents list.
    FileListModel* Files() const { return files_; }
    ZipListModel* Members() const;
    // The archive browser the window lists through.
    ArchiveBrowser& Archives() const { return archives_; }

    // --- State ----------------------------------------------------------------------------

    // The file-list row last examined by a click; -1 after every folder, drive or filter
    // change and after the window is closed.
    int LastFileIndex = -1;
    // The file last examined is an archive the selector opens.
    bool FileIsArchive = false;

    // --- Handlers -------------------------------------------------------------------------

    void FileListBoxChange();
    void FileListBoxClick();
    // Reads the archive's names in `encoding` from now on, and lists it again.
    void NameEncodingClick(archive::NameEncoding encoding);
    void FileListBoxDblClick();
    void ZipListClick();
    void ZipListChange();
    void ZipListDblClick();
    void PlayBtClick();
    void DirectoryListBoxChange();
    void DriveComboBoxChange();
    void FilterComboBoxChange();
    void DefaultDirClick();
    void CloseClick();
    void FormClose();
    void FormShow();
    void PreviewButtonClick();
    void ReportClick();
    void SmallIconClick();
    void LargeIconsClick();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  public slots:
    // Esc and the window manager's cancel: the same as "&Close".
    void reject() override;

  private:
    void BuildControls();
    void BuildLayout();

    // Reads folder_ into the file list with the current mask; no handler runs.
    void ReadFileList();
    // Rebuilds the folder list around folder_ and shows its path.
    void ReadDirectoryList();
    // The mounted file systems into the drive box, and the one holding folder_ chosen.
    void ReadDrives();
    void ShowDriveOf(const QString& folder);
    // Changes folder_ (cleaned and absolute); false when it was already that folder.
    bool ChangeFolder(const QString& folder);

    // The row of the file list that is selected, or -1.
    int FileListRow() const;
    // The full path of a file-list row.
    QString PathOfRow(int row) const;
    // A click on a sub-folder entry: the choice is dropped, nothing is examined.
    void FolderEntryClicked();
    // Enter or a double-click on a folder-list entry: that folder becomes the current one.
    void DirectoryActivated(QTreeWidgetItem* item);
    // Enter in the file name field: the entry of that name is chosen as with Enter in the
    // list. False when no entry has that name.
    bool ChooseTypedName();
    // Whether the file at path is still there; when it is not, says so, reads the folder
    // again and drops the choice.
    bool ChosenFileStillThere(const QString& chosen);
    // Shows the rows gathered during a listing and the list itself.
    void CommitListing();
    // Lists the archive chosen into the contents list (shown), saying why a listing failed.
    void ListArchive();
    // A member the listing read, gathered until the listing is shown; a folder entry is left
    // out.
    void MemberListed(const std::string& name, std::int64_t unpackedSize);
    // The listing reached its totals: it is shown, and an empty archive is said to be empty.
    void ListingEnded(std::int32_t numberOfFiles);
    // The encoding of the archives' names, and the entry checked.
    void SetNamesEncoding(archive::NameEncoding encoding);
    void EnablePlayIfEmulatorSet();
    bool EmulatorSet() const;
    // The member selected in the archive contents list becomes the chosen ROM and "Play" is
    // enabled; with none selected, "Play" is disabled and the result is null.
    const ZipListModel::Member* ChooseSelectedMember();
    void ViewStyleChosen(int style);
    void FitWindow();
    void ShowEditText();

    AppState& state_;
    UiHost& host_;
    ArchiveBrowser& archives_;
    FileListModel* files_;
    std::vector<ZipListModel::Member> pending_;
    bool listingShown_ = false;
    QString folder_;
    QString filter_;
    int leftWidth_ = 0;
};

}  // namespace orvello
