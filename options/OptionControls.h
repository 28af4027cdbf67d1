// The controls an option dialog is made of beyond Qt's own: the number field with its
// up-down spinner and the radio group giving an item index.
#pragma once

#include <QGroupBox>
#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QToolButton;

namespace orvello {

// The name a screen reader says for a caption: "&Frames:" is read out as "Frames".
QString AccessibleText(QString caption);

class NumberField;

// The up-down spinner attached to a number field. It has a minimum, a maximum and a
// position; a click steps from the field's value (or from its own position when the field
// holds no whole number), stays within its bounds and writes the new position into the field.
// Typed text is never limited by it. Up and Down in the field step as the arrows do.
class UpDown : public QWidget {
    Q_OBJECT

  public:
    UpDown(int minimum, int maximum, int position, QWidget* parent);

    void SetAssociate(NumberField* field);
    int Minimum() const { return min_; }
    int Maximum() const { return max_; }
    int Position() const { return position_; }
    void SetPosition(int position);
    // How far one click moves; 1 unless the field counts in larger steps.
    int Increment() const { return increment_; }
    void SetIncrement(int increment) { increment_ = increment; }

    // One click on the upper (+1) or lower (-1) arrow.
    void Step(int delta);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FollowText(const QString& text);

    int min_;
    int max_;
    int position_;
    int increment_ = 1;
    NumberField* associate_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
};

// A number field: free one-line text (it keeps "03", "12" or "abc" as typed) with an UpDown.
// It emits Exit when the focus moves to another control of its window.
class NumberField : public QLineEdit {
    Q_OBJECT

  public:
    explicit NumberField(QWidget* parent) : QLineEdit(parent) {}
    UpDown* Spinner() const { return spinner_; }

  signals:
    void Exit();

  protected:
    void focusOutEvent(QFocusEvent* event) override;

  private:
    friend class UpDown;
    UpDown* spinner_ = nullptr;
};

// A group of radio buttons giving a 0-based item index; -1 when none is chosen.
class RadioGroup : public QGroupBox {
    Q_OBJECT

  public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent);

    int ItemIndex() const;
    // An index above the last item chooses the last; one below 0 chooses none.
    void SetItemIndex(int index);
    int Count() const;

  signals:
    // The user chose an item.
    void Click(int index);
    // The chosen item changed, by the user or the program.
    void Changed();

  private:
    QButtonGroup* group_;
};

}  // namespace orvello
