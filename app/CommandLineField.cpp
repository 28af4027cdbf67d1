#include "app/CommandLineField.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "app/core/LaunchCommand.h"

namespace orvello {

QLineEdit* AddCommandLineField(QWidget* parent, QBoxLayout* layout) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QStringLiteral("CommandLine"));
    field->setAccessibleName(QStringLiteral("Command"));
    field->setReadOnly(true);
    auto* label = new QLabel(QStringLiteral("Command:"), parent);
    label->setBuddy(field);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(field, 1);
    layout->addLayout(row);
    return field;
}

void ShowCommand(QLineEdit* field, const CommandPreview& preview) {
    field->setText(PreviewText(preview));
    field->setCursorPosition(0);
    field->setToolTip(preview.workingFolder.isEmpty()
                          ? QString()
                          : QStringLiteral("Working folder: ") + preview.workingFolder);
}

}  // namespace orvello
