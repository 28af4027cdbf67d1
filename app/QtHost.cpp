#include "app/QtHost.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QVBoxLayout>

#include "app/core/PathRules.h"
#include "selector/FoldrDlg.h"

namespace orvello {

namespace {

QWidget* Owner() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return QMessageBox::Warning;
        case MessageKind::Error:
            return QMessageBox::Critical;
        case MessageKind::Information:
            return QMessageBox::Information;
        case MessageKind::Confirmation:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// Lists the folders and the files of the chosen filter entry; under "All executable files"
// also every file with the execute permission, as a Linux program has no ".exe" to show.
class OpenFilterProxy : public QSortFilterProxyModel {
  public:
    explicit OpenFilterProxy(std::vector<FilterEntry> entries, QObject* parent)
        : QSortFilterProxyModel(parent), entries_(std::move(entries)) {}

    void Choose(const QString& shownFilter) {
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (shownFilter.startsWith(entries_[i].description)) current_ = i;
        }
        invalidateFilter();
    }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* model = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!model || entries_.empty()) return true;
        const QModelIndex index = model->index(row, 0, parent);
        const QFileInfo info = model->fileInfo(index);
        if (info.isDir()) return true;
        return OpenFilterAccepts(entries_.at(current_), info.fileName(), info.isExecutable());
    }

  private:
    std::vector<FilterEntry> entries_;
    std::size_t current_ = 0;
};

}  // namespace

void QtUiHost::ShowMessage(MessageKind kind, const QString& text) {
    QMessageBox box(IconOf(kind), MessageTitle(kind), text, QMessageBox::Ok, Owner());
    box.exec();
}

bool QtUiHost::AskYesNo(MessageKind kind, const QString& text) {
    QMessageBox box(IconOf(kind), MessageTitle(kind), text, QMessageBox::Yes | QMessageBox::No,
                    Owner());
    return box.exec() == QMessageBox::Yes;
}

SaveChoice QtUiHost::AskSave(const QString& question, const QString& details) {
    QMessageBox box(QMessageBox::Question, MessageTitle(MessageKind::Confirmation), question,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, Owner());
    box.setInformativeText(details);
    box.button(QMessageBox::Discard)->setText(QStringLiteral("Do&n't Save"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveChoice::Save;
        case QMessageBox::Discard:
            return SaveChoice::DontSave;
        default:
            return SaveChoice::Cancel;
    }
}

std::optional<QString> QtUiHost::PromptText(const TextPrompt& prompt) {
    QDialog dialog(Owner());
    dialog.setWindowTitle(prompt.caption);
    auto* field = new QLineEdit(prompt.text, &dialog);
    field->setMaxLength(prompt.maxLength);
    field->setAccessibleName(QString(prompt.label).remove(QLatin1Char(':')).trimmed());
    field->selectAll();
    auto* label = new QLabel(prompt.label, &dialog);
    label->setBuddy(field);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(field);
    layout->addWidget(buttons);
    dialog.resize(360, dialog.sizeHint().height());
    const QRect screen = dialog.screen()->availableGeometry();
    dialog.move(screen.center() - dialog.rect().center());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return field->text();
}

std::optional<QString> QtUiHost::OpenFile(const OpenFileRequest& request) {
    QFileDialog dialog(Owner(), request.title.isEmpty() ? QStringLiteral("Open") : request.title,
                       request.initialDir);
    // Our own dialog, so the filter below can look at permissions.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    std::vector<FilterEntry> entries = ParseFilter(request.filter);
    QStringList shown;
    for (const FilterEntry& entry : entries) {
        // The dialog lists everything; the proxy picks what the entry shows.
        shown.push_back(entry.description + QStringLiteral(" (*)"));
    }
    // The pop-up lists of the dialog's drop-down boxes are named after their boxes.
    for (QComboBox* box : dialog.findChildren<QComboBox*>()) {
        const QAccessibleInterface* a = QAccessible::queryAccessibleInterface(box);
        if (a != nullptr && box->view()->accessibleName().isEmpty())
            box->view()->setAccessibleName(a->text(QAccessible::Name));
    }
    auto* proxy = new OpenFilterProxy(std::move(entries), &dialog);
    dialog.setProxyModel(proxy);
    if (!shown.isEmpty()) dialog.setNameFilters(shown);
    QObject::connect(&dialog, &QFileDialog::filterSelected, proxy, &OpenFilterProxy::Choose);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtUiHost::BrowseFolder(const FolderRequest& request) {
    TFolderBrowser browser(request, Owner());
    if (browser.exec() != QDialog::Accepted) return std::nullopt;
    return browser.SelectedPath();
}

}  // namespace orvello
