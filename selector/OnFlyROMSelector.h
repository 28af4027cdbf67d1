// The ROM selector window. So far it holds what the main window drives: its place on the
// screen, the view style of the archive contents list, the preview panel with its button,
// the folder it shows and its file-type filter. Browsing, the archive listing and the
// choosing of a ROM build on these members.
#pragma once

#include <QString>
#include <QWidget>

#include "app/core/GlobalVar.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;

namespace orvello {

// View styles of the archive contents list, as stored under "Info type".
enum InfoTypeStyle : int {
    InfoLargeIcons = 0,
    InfoSmallIcons = 1,
    InfoList = 2,
    InfoReport = 3,
};

class TOnFlyForm : public QWidget {
    Q_OBJECT

  public:
    TOnFlyForm(AppState& state, QWidget* parent);

    // The view style of ZipList; setting it from the program checks the matching pop-up
    // item ("&Large icons", "&Small icon", "&Report"; the list style has no item).
    int InfoType() const { return infoType_; }
    void SetInfoType(int style);

    // Shows or hides the preview panel to match ShowPreview, widening or narrowing the
    // window by the panel's width.
    void ApplyPreviewPanel();
    // The preview button's caption and state from AutoPreview and ShowPreview.
    void UpdatePreviewButton();

    // The folder the folder list shows; a different one clears the selection and posts
    // (SourceSelector, NoteCleared).
    QString Folder() const { return folder_; }
    void SetFolder(const QString& folder);
    // The file-type box's filter ("description|masks|..."); the first entry is selected.
    QString Filter() const { return filter_; }
    void SetFilter(const QString& filter);
    // The masks of the selected file-type entry.
    QString Mask() const;

    // Empties the archive contents list.
    void ClearZipList();
    // The file-type box, the archive contents list and its label are shown only for slots
    // that take a ROM file.
    void ShowArchiveViews(bool show);

    QLabel* ZipLabel;
    QTreeWidget* ZipList;
    QLabel* FilterLabel;
    QComboBox* FilterComboBox;
    QPushButton* PlayBt;
    QPushButton* PreviewButton;
    QLabel* ImagePanel;
    QMenu* ZipListPopUp;
    QAction* ReportItem;
    QAction* SmallIconItem;
    QAction* LargeIconsItem;
    QAction* ProprietiesItem;

    int LastFileIndex = -1;
    bool FileIsArchive = false;

  protected:
    // The window's close box: the main window hears of it through the mailbox.
    void closeEvent(QCloseEvent* event) override;

  private:
    void DirectoryListBoxChange();
    void FilterComboBoxChange();
    void PreviewButtonClick();
    void ViewStyleChosen(int style);

    AppState& state_;
    QString folder_;
    QString filter_;
    int infoType_ = InfoReport;
};

}  // namespace orvello
