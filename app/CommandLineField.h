// The read-only "Command:" line that shows what "Play" would start, as the main window and
// every option dialog show it: the command quoted for a shell, the working folder as tooltip.
#pragma once

#include <QSize>
#include <QString>
#include <QTextEdit>

class QBoxLayout;
class QLineEdit;
class QResizeEvent;
class QWidget;

namespace orvello {

struct CommandPreview;

// A command shown whole: read-only text that wraps (between words, or inside a word too long
// for a line) and asks its layout for the height all its lines need at the width it gets, so
// a fixed-size window grows to show every line. It can be selected and copied from the
// keyboard and the mouse, and Tab and Enter act on the window as in a one-line field.
class CommandText : public QTextEdit {
    Q_OBJECT

  public:
    explicit CommandText(QWidget* parent);

    QString text() const { return toPlainText(); }
    void setText(const QString& text);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

// Adds the label and the field as one row to layout; the field is returned.
QLineEdit* AddCommandLineField(QWidget* parent, QBoxLayout* layout);
// The same row with a field that wraps.
CommandText* AddCommandTextField(QWidget* parent, QBoxLayout* layout);

// Shows a preview in the field, its start in view.
void ShowCommand(QLineEdit* field, const CommandPreview& preview);
void ShowCommand(CommandText* field, const CommandPreview& preview);

}  // namespace orvello
