#include "options/OptionControls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/ClickGuard.h"
#include "app/core/PathRules.h"

namespace orvello {

QString AccessibleText(QString caption) {
    caption.remove(QLatin1Char('&'));
    caption = caption.trimmed();
    if (caption.endsWith(QLatin1Char(':'))) caption.chop(1);
    return caption;
}

// --- UpDown -------------------------------------------------------------------------------

UpDown::UpDown(int minimum, int maximum, int position, QWidget* parent)
    : QWidget(parent), min_(minimum), max_(maximum), position_(position) {
    up_ = new QToolButton(this);
    up_->setObjectName(QStringLiteral("Up"));
    up_->setArrowType(Qt::UpArrow);
    up_->setAccessibleName(QStringLiteral("Up"));
    down_ = new QToolButton(this);
    down_->setObjectName(QStringLiteral("Down"));
    down_->setArrowType(Qt::DownArrow);
    down_->setAccessibleName(QStringLiteral("Down"));
    for (QToolButton* b : {up_, down_}) {
        // The field keeps the focus; its Up and Down keys step for keyboard users.
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setFixedSize(18, 12);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
}

void UpDown::SetAssociate(NumberField* field) {
    associate_ = field;
    field->spinner_ = this;
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this, &UpDown::FollowText);
}

void UpDown::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
}

void UpDown::FollowText(const QString& text) {
    const auto value = WholeNumber(text);
    if (value && *value >= min_ && *value <= max_) position_ = *value;
}

void UpDown::Step(int delta) {
    const auto value = associate_ ? WholeNumber(associate_->text()) : std::nullopt;
    const long long from = value ? *value : position_;
    position_ = static_cast<int>(
        std::clamp<long long>(from + static_cast<long long>(delta) * increment_, min_, max_));
    if (associate_) associate_->setText(QString::number(position_));
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == associate_ && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- NumberField --------------------------------------------------------------------------

void NumberField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Leaving the field for another control; not the window losing activation to another
    // window (a message box, a menu).
    switch (event->reason()) {
        case Qt::ActiveWindowFocusReason:
        case Qt::PopupFocusReason:
        case Qt::MenuBarFocusReason:
        case Qt::NoFocusReason:
            return;
        default:
            break;
    }
    // The widget taking the focus: a press on it must not act when the check keeps the focus.
    QWidget* taker = QApplication::focusWidget();
    emit Exit();
    if (event->reason() == Qt::MouseFocusReason && hasFocus() && taker != this) {
        DropPendingPress(taker);
    }
}

// --- RadioGroup ---------------------------------------------------------------------------

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items.at(i), this);
        button->setAccessibleName(AccessibleText(items.at(i)));
        group_->addButton(button, i);
        layout->addWidget(button);
    }
    connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::Click);
    connect(group_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on) emit Changed();
    });
}

int RadioGroup::ItemIndex() const {
    return group_->checkedId();
}

int RadioGroup::Count() const {
    return static_cast<int>(group_->buttons().size());
}

void RadioGroup::SetItemIndex(int index) {
    if (index >= Count()) index = Count() - 1;
    if (index < 0) {
        // An exclusive group cannot be emptied by unchecking its button.
        group_->setExclusive(false);
        if (QAbstractButton* checked = group_->checkedButton()) {
            checked->setChecked(false);
            emit Changed();
        }
        group_->setExclusive(true);
        return;
    }
    group_->button(index)->setChecked(true);
}

}  // namespace orvello
