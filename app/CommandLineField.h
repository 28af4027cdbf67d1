// The read-only "Command:" line that shows what "Play" would start, as the main window and
// every option dialog show it: the command quoted for a shell, the working folder as tooltip.
#pragma once

class QBoxLayout;
class QLineEdit;
class QWidget;

namespace orvello {

struct CommandPreview;

// Adds the label and the field as one row to layout; the field is returned.
QLineEdit* AddCommandLineField(QWidget* parent, QBoxLayout* layout);

// Shows a preview in the field, its start in view.
void ShowCommand(QLineEdit* field, const CommandPreview& preview);

}  // namespace orvello
