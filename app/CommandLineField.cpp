#include "app/CommandLineField.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextDocument>

#include <cmath>
#include <memory>

#include "app/core/LaunchCommand.h"

namespace orvello {

namespace {

void AddRow(QWidget* parent, QBoxLayout* layout, QWidget* field, Qt::Alignment labelAlignment) {
    field->setObjectName(QStringLiteral("CommandLine"));
    field->setAccessibleName(QStringLiteral("Command"));
    auto* label = new QLabel(QStringLiteral("Command:"), parent);
    label->setBuddy(field);
    auto* row = new QHBoxLayout;
    row->addWidget(label, 0, labelAlignment);
    row->addWidget(field, 1);
    layout->addLayout(row);
}

QString WorkingFolderTip(const CommandPreview& preview) {
    return preview.workingFolder.isEmpty()
               ? QString()
               : QStringLiteral("Working folder: ") + preview.workingFolder;
}

}  // namespace

// --- CommandText --------------------------------------------------------------------------

CommandText::CommandText(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setAcceptRichText(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Its height is made for all lines at the width it has. A scroll bar that came and went
    // would change that width and with it the number of lines.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalScrollBar()->setAccessibleName(QStringLiteral("Command horizontal scroll bar"));
    verticalScrollBar()->setAccessibleName(QStringLiteral("Command vertical scroll bar"));
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void CommandText::setText(const QString& text) {
    if (text == toPlainText()) return;
    setPlainText(text);
    // The number of lines may have changed: the layout asks for the height again.
    updateGeometry();
}

int CommandText::heightForWidth(int width) const {
    // The text is laid out as the widget lays it out: in the frame, as wide as the viewport.
    const int frame = 2 * frameWidth();
    const std::unique_ptr<QTextDocument> doc(document()->clone());
    doc->setDefaultFont(font());
    doc->setTextWidth(std::max(1, width - frame));
    const int lines = static_cast<int>(std::ceil(doc->size().height()));
    return lines + frame;
}

QSize CommandText::sizeHint() const {
    // Its width follows the window's other parts; the height is that of all lines.
    const int width = fontMetrics().averageCharWidth() * 40;
    return {width, heightForWidth(width)};
}

QSize CommandText::minimumSizeHint() const {
    const int width = fontMetrics().averageCharWidth() * 10;
    return {width, heightForWidth(width)};
}

void CommandText::resizeEvent(QResizeEvent* event) {
    QTextEdit::resizeEvent(event);
    // A new width may wrap the text into another number of lines.
    if (event->size().width() != event->oldSize().width()) updateGeometry();
}

// --- The rows -----------------------------------------------------------------------------

QLineEdit* AddCommandLineField(QWidget* parent, QBoxLayout* layout) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    AddRow(parent, layout, field, {});
    return field;
}

CommandText* AddCommandTextField(QWidget* parent, QBoxLayout* layout) {
    auto* field = new CommandText(parent);
    // The label stays beside the first line of a wrapped command.
    AddRow(parent, layout, field, Qt::AlignTop);
    return field;
}

void ShowCommand(QLineEdit* field, const CommandPreview& preview) {
    field->setText(PreviewText(preview));
    field->setCursorPosition(0);
    field->setToolTip(WorkingFolderTip(preview));
}

void ShowCommand(CommandText* field, const CommandPreview& preview) {
    field->setText(PreviewText(preview));
    field->verticalScrollBar()->setValue(0);
    field->setToolTip(WorkingFolderTip(preview));
}

}  // namespace orvello
