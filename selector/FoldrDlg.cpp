#include "selector/FoldrDlg.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStandardPaths>
#include <QTreeView>
#include <QVBoxLayout>

namespace orvello {

void TFolderDialog::SetOptions(TFolderDialogOptions options) {
    options_ = ApplyFolderOptionRules(options_, options, RootFolder);
}

bool TFolderDialog::Execute() {
    FolderRequest request;
    request.title = Title;
    request.text = Text;
    request.directory = Directory;
    request.options = options_;
    request.root = RootFolder;
    const std::optional<QString> chosen = host_.BrowseFolder(request);
    Directory = chosen.value_or(QString());
    return chosen.has_value();
}

QString RootFolderPath(TRootFolder root) {
    switch (root) {
        case TRootFolder::sfoDesktop:
        case TRootFolder::sfoDesktopDirectory:
            return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        case TRootFolder::sfoPersonal:
            return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        case TRootFolder::sfoFonts:
            return QStandardPaths::writableLocation(QStandardPaths::FontsLocation);
        case TRootFolder::sfoPrograms:
        case TRootFolder::sfoStartMenu:
            return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
        default:
            // The whole tree: the desktop of a Linux machine is its file system.
            return QDir::rootPath();
    }
}

TFolderBrowser::TFolderBrowser(const FolderRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
    setObjectName(QStringLiteral("FolderBrowser"));
    setWindowTitle(request.title);

    prompt_ = new QLabel(request.text, this);
    prompt_->setObjectName(QStringLiteral("Prompt"));
    prompt_->setWordWrap(true);
    prompt_->setVisible(!request.text.isEmpty());

    model_ = new QFileSystemModel(this);
    QDir::Filters filters = QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives;
    if (request.options & bfBrowseIncludeFiles) filters |= QDir::Files;
    model_->setFilter(filters);
    model_->setReadOnly(true);
    const QString rootPath = RootFolderPath(request.root);
    model_->setRootPath(rootPath);

    tree_ = new QTreeView(this);
    tree_->setObjectName(QStringLiteral("FolderTree"));
    tree_->setAccessibleName(request.text.isEmpty() ? request.title : request.text);
    tree_->setModel(model_);
    tree_->setRootIndex(model_->index(rootPath));
    for (int column = 1; column < model_->columnCount(); ++column)
        tree_->hideColumn(column);
    tree_->header()->hide();
    prompt_->setBuddy(tree_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusText"));
    status_->setAccessibleName(QStringLiteral("Selected folder"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_->setVisible(request.options & bfStatusText);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(tree_, 1);
    layout->addWidget(status_);
    layout->addWidget(buttons_);
    resize(420, 440);

    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TFolderBrowser::SelectionChanged);

    // A folder that does not exist is ignored: the tree opens at its top, at the user's home
    // when that is inside it.
    QString start = request.directory;
    if (start.endsWith(QLatin1String("/."))) start.chop(2);
    if (start.isEmpty() || !SelectFolder(start)) {
        const QModelIndex home = model_->index(QDir::homePath());
        if (home.isValid()) tree_->expand(home);
    }
    SelectionChanged();
}

bool TFolderBrowser::SelectFolder(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || !info.isDir()) return false;
    const QModelIndex index = model_->index(info.absoluteFilePath());
    if (!index.isValid()) return false;
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index);
    return true;
}

QString TFolderBrowser::SelectedPath() const {
    const QModelIndex index = tree_->currentIndex();
    if (!index.isValid()) return QString();
    const QFileInfo info = model_->fileInfo(index);
    return info.isDir() ? info.absoluteFilePath() : QString();
}

void TFolderBrowser::SelectionChanged() {
    const QString path = SelectedPath();
    QPushButton* ok = buttons_->button(QDialogButtonBox::Ok);
    if (request_.options & bfFileSysDirsOnly) {
        ok->setEnabled(!path.isEmpty());
    } else {
        ok->setEnabled(tree_->currentIndex().isValid());
    }
    if (!path.isEmpty() && (request_.options & bfShowPathInStatusArea)) {
        status_->setText(path);
    } else if (path.isEmpty() &&
               (request_.options & (bfFileSysDirsOnly | bfShowPathInStatusArea))) {
        status_->clear();
    }
}

void TFolderBrowser::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed_ || event->spontaneous()) return;
    placed_ = true;
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    const QRect owner = parentWidget() ? parentWidget()->window()->frameGeometry() : QRect();
    if (const auto at = FolderBrowserPlacement(request_.options, screen->availableGeometry(), owner,
                                               frameGeometry().size())) {
        move(*at);
    }
}

}  // namespace orvello
