// Choosing a folder. TFolderDialog is the non-visual part a window owns: its title, prompt,
// folder and options, and Execute, which asks through the program's UiHost. TFolderBrowser is
// the modal window the widget layer shows for it: a tree of folders with the prompt above
// and the chosen path in a status line below; OK accepts only a file-system folder.
#pragma once

#include <QDialog>
#include <QString>

#include "app/core/FolderOptions.h"
#include "app/core/Host.h"

class QDialogButtonBox;
class QFileSystemModel;
class QLabel;
class QTreeView;

namespace orvello {

class TFolderDialog {
  public:
    explicit TFolderDialog(UiHost& host) : host_(host) {}

    QString Title = QStringLiteral("Browse for Folder");
    QString Text;
    // Before Execute: the folder to select at opening. After: the chosen folder, or empty
    // after Cancel.
    QString Directory;
    TRootFolder RootFolder = TRootFolder::sfoDesktopExpanded;

    TFolderDialogOptions Options() const { return options_; }
    // Sets the options, keeping them consistent (ApplyFolderOptionRules).
    void SetOptions(TFolderDialogOptions options);

    // Runs the browser modally; true when the user accepted a folder.
    bool Execute();

  private:
    UiHost& host_;
    TFolderDialogOptions options_ = DefaultFolderDialogOptions;
};

class TFolderBrowser : public QDialog {
    Q_OBJECT

  public:
    TFolderBrowser(const FolderRequest& request, QWidget* parent);

    // The file-system path of the selected item; empty when it has none.
    QString SelectedPath() const;
    // Selects a folder in the tree, when it exists.
    bool SelectFolder(const QString& path);

    QTreeView* Tree() const { return tree_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void SelectionChanged();

    FolderRequest request_;
    QLabel* prompt_;
    QTreeView* tree_;
    QLabel* status_;
    QDialogButtonBox* buttons_;
    QFileSystemModel* model_;
    bool placed_ = false;
};

// The folder the tree starts from for a root.
QString RootFolderPath(TRootFolder root);

}  // namespace orvello
