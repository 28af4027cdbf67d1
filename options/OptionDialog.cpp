#include "options/OptionDialog.h"

#include <QAbstractItemView>

#include <QApplication>
#include <QButtonGroup>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/ClickGuard.h"
#include "app/CommandLineField.h"
#include "app/core/LaunchCommand.h"
#include "app/core/PathRules.h"

namespace orvello {

namespace {

// "&Frames:" is read out as "Frames".
QString AccessibleText(QString caption) {
    caption.remove(QLatin1Char('&'));
    caption = caption.trimmed();
    if (caption.endsWith(QLatin1Char(':'))) caption.chop(1);
    return caption;
}

QFormLayout* FormOf(QWidget* page) {
    return static_cast<QFormLayout*>(page->layout());
}

}  // namespace

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

// --- SwitchBuilder ------------------------------------------------------------------------

NotAnInteger::NotAnInteger(const QString& text)
    : std::runtime_error(NotAnIntegerMessage(text).toStdString()), text_(text) {}

void SwitchBuilder::AddNumber(const char* literal, int number) {
    text_ += QString::fromUtf8(literal) + QString::number(number);
}

int SwitchBuilder::Value(const QLineEdit* field) {
    const auto value = WholeNumber(field->text());
    if (!value) throw NotAnInteger(field->text());
    return *value;
}

// --- OptionDialog -------------------------------------------------------------------------

OptionDialog::OptionDialog(const DialogInfo& info, AppState& state, UiHost& host, QWidget* parent)
    : QDialog(parent),
      info_(info),
      state_(state),
      host_(host),
      folderDialog_(host),
      pathsReadSection_(QString::fromLatin1(Slots.at(info.slot).section)) {
    setObjectName(QString::fromLatin1(info.objectName));
    setWindowTitle(QString::fromUtf8(info.caption));
    setModal(true);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setAccessibleName(QString::fromUtf8(info.caption));
    // Every page's tab stays in sight: the dialog is as wide as its tabs need.
    PageControl1->setUsesScrollButtons(false);

    LoadDefBt = new QPushButton(QString::fromUtf8(info.loadDefCaption), this);
    LoadDefBt->setObjectName(QString::fromLatin1(info.loadDefName));
    LoadDefBt->setAccessibleName(AccessibleText(LoadDefBt->text()));
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setAccessibleName(QStringLiteral("OK"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAccessibleName(QStringLiteral("Cancel"));
    // Every button is pressed by Enter while it has the focus; Enter anywhere else presses OK.
    for (QPushButton* button : {LoadDefBt, OKBtn, CancelBtn})
        button->setAutoDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(LoadDefBt);
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    CommandLine = AddCommandTextField(this, layout);
    layout->addLayout(buttons);
    if (!info.resizable) layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(LoadDefBt, &QPushButton::clicked, this, &OptionDialog::LoadDefBtClick);
    connect(OKBtn, &QPushButton::clicked, this, &OptionDialog::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &OptionDialog::reject);
}

// One control as the dialog was shown: its value (check state, index, position or text) and
// whether it was disabled on its own.
struct OptionDialog::Opened {
    struct Control {
        QPointer<QWidget> widget;
        int number = 0;
        QString text;
        bool disabled = false;
    };
    std::vector<Control> controls;
};

OptionDialog::~OptionDialog() = default;

namespace {

// The line of an editable list belongs to the list; it is not a control of its own.
bool IsOwnTextField(const QLineEdit* field) {
    return qobject_cast<const QComboBox*>(field->parentWidget()) == nullptr;
}

}  // namespace

void OptionDialog::RememberOpened() {
    opened_ = std::make_unique<Opened>();
    for (int i = 0; i < PageControl1->count(); ++i) {
        for (QWidget* w : PageControl1->widget(i)->findChildren<QWidget*>()) {
            Opened::Control c;
            c.widget = w;
            c.disabled = w->testAttribute(Qt::WA_ForceDisabled);
            if (auto* box = qobject_cast<QCheckBox*>(w)) {
                c.number = box->isChecked() ? 1 : 0;
            } else if (auto* list = qobject_cast<QComboBox*>(w)) {
                c.number = list->currentIndex();
                c.text = list->currentText();
            } else if (auto* group = qobject_cast<RadioGroup*>(w)) {
                c.number = group->ItemIndex();
            } else if (auto* slider = qobject_cast<QSlider*>(w)) {
                c.number = slider->value();
            } else if (auto* spinner = qobject_cast<UpDown*>(w)) {
                c.number = spinner->Position();
            } else if (auto* field = qobject_cast<QLineEdit*>(w)) {
                c.text = field->text();
            }
            opened_->controls.push_back(c);
        }
    }
}

void OptionDialog::RestoreOpened() {
    // Values first, as the program sets them (a check box's handler runs as on any change of
    // its state); then each spinner's own position, which a field's text does not always
    // give; last the enabled states, as they were whatever the handlers did on the way.
    for (const Opened::Control& c : opened_->controls) {
        QWidget* w = c.widget;
        if (!w) continue;
        if (auto* box = qobject_cast<QCheckBox*>(w)) {
            box->setChecked(c.number != 0);
        } else if (auto* list = qobject_cast<QComboBox*>(w)) {
            list->setCurrentIndex(c.number);
            if (list->isEditable()) list->setEditText(c.text);
        } else if (auto* group = qobject_cast<RadioGroup*>(w)) {
            group->SetItemIndex(c.number);
        } else if (auto* slider = qobject_cast<QSlider*>(w)) {
            slider->setValue(c.number);
        } else if (auto* field = qobject_cast<QLineEdit*>(w)) {
            if (IsOwnTextField(field)) field->setText(c.text);
        }
    }
    for (const Opened::Control& c : opened_->controls) {
        if (auto* spinner = qobject_cast<UpDown*>(c.widget.data())) spinner->SetPosition(c.number);
    }
    for (const Opened::Control& c : opened_->controls) {
        if (c.widget && c.widget->testAttribute(Qt::WA_ForceDisabled) != c.disabled)
            c.widget->setEnabled(!c.disabled);
    }
    UpdateCommandLine();
}

void OptionDialog::reject() {
    if (opened_ && isVisible()) RestoreOpened();
    QDialog::reject();
}

void OptionDialog::Build(SwitchBuilder&) const {}

OptionDialog::Preview OptionDialog::PreviewSwitches() const {
    SwitchBuilder builder;
    try {
        Build(builder);
    } catch (const NotAnInteger& e) {
        return {std::nullopt, NotAnIntegerMessage(e.Text()), {}};
    }
    return {builder.Text(), QString(), builder.Paths()};
}

bool OptionDialog::BuildSwitches() {
    const Preview built = PreviewSwitches();
    if (!built.switches) {
        host_.Error(built.error);
        return false;
    }
    Switches = *built.switches;
    switchPaths_ = built.paths;
    UpdateCommandLine();
    return true;
}

void OptionDialog::UpdateCommandLine() {
    // Until the dialog's constructor has made every control, its build cannot run.
    if (!created_) return;
    const Preview built = PreviewSwitches();
    if (!built.switches) {
        // OK would refuse these controls: the line says why instead of showing a command.
        CommandLine->setText(built.error);
        return;
    }
    const std::optional<std::string> member =
        chosenMember_ ? chosenMember_() : std::optional<std::string>();
    const CommandPreview preview = PreviewCommand(state_, info_.slot, *built.switches, built.paths,
                                                  PlayTarget(state_, info_.slot, member));
    ShowCommand(CommandLine, preview);
    // A fixed-size dialog takes the height of all lines from its layout; one the user may
    // resize grows by what a longer command needs.
    if (info_.resizable && isVisible()) {
        const int missing =
            CommandLine->heightForWidth(CommandLine->width()) - CommandLine->height();
        if (missing > 0) resize(width(), height() + missing);
    }
}

void OptionDialog::OKBtnClick() {
    if (BuildSwitches()) accept();
}

void OptionDialog::SaveOptions(IniFile& ini) {
    const QString section = Section();
    ini.WriteText(section, QStringLiteral("EmuPath"), state_.EmuPath.at(info_.slot));
    ini.WriteText(section, QStringLiteral("GamesDir"), state_.GamesDir.at(info_.slot));
    ini.WriteInteger(section, QStringLiteral("Runner"),
                     static_cast<int>(state_.RunWith.at(info_.slot)));
    for (const Line& line : lines_) {
        if (!line.key.isEmpty()) Save(line, ini);
    }
}

void OptionDialog::LoadOptions(IniFile& ini) {
    state_.EmuPath.at(info_.slot) =
        ini.ReadText(pathsReadSection_, QStringLiteral("EmuPath"), QString());
    state_.GamesDir.at(info_.slot) =
        ini.ReadText(pathsReadSection_, QStringLiteral("GamesDir"), QString());
    state_.RunWith.at(info_.slot) =
        RunnerChoiceOf(ini.ReadInteger(Section(), QStringLiteral("Runner"), 0));
    if (orderGiven_) {
        for (const QString& key : loadOrder_)
            Load(LineOf(key), ini);
    } else {
        for (const Line& line : lines_) {
            if (!line.key.isEmpty()) Load(line, ini);
        }
    }
}

void OptionDialog::LoadDefBtClick() {
    auto reset = [this](const Line& line) {
        if (line.reset.Value()) Apply(line.control, *line.reset.Value());
    };
    if (resetOrderGiven_) {
        for (const Control& control : resetOrder_)
            reset(LineOf(control));
    } else {
        for (const Line& line : lines_)
            reset(line);
    }
    Refresh();
    UpdateCommandLine();
}

void OptionDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && !placed_) {
        placed_ = true;
        if (info_.resizable) {
            move(info_.designedLeft, info_.designedTop);
        } else if (const QScreen* screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QDialog::showEvent(event);
    // FormShow: enabled states follow what LoadOptions or the user left.
    if (!event->spontaneous() && info_.refreshOnShow) Refresh();
    // The emulator path or the chosen ROM may have changed since the last showing.
    if (!event->spontaneous()) {
        UpdateCommandLine();
        RememberOpened();
    }
}

void OptionDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    // Closed: what Cancel puts back is taken again at the next showing.
    if (!event->spontaneous()) opened_.reset();
}

void OptionDialog::FinishCreation() {
    created_ = true;
    // A list named after it was added (one without a caption of its own) names its pop-up too.
    for (QComboBox* list : findChildren<QComboBox*>()) {
        if (list->view()->accessibleName().isEmpty())
            list->view()->setAccessibleName(list->accessibleName());
    }
    if (info_.loadDefaultAtCreation) LoadDefBtClick();
    UpdateCommandLine();
}

void OptionDialog::FollowChanges(QWidget* control) {
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
        connect(box, &QCheckBox::toggled, this, &OptionDialog::UpdateCommandLine);
    } else if (auto* list = qobject_cast<QComboBox*>(control)) {
        connect(list, &QComboBox::currentIndexChanged, this, &OptionDialog::UpdateCommandLine);
    } else if (auto* group = qobject_cast<RadioGroup*>(control)) {
        connect(group, &RadioGroup::Changed, this, &OptionDialog::UpdateCommandLine);
    } else if (auto* slider = qobject_cast<QSlider*>(control)) {
        connect(slider, &QSlider::valueChanged, this, &OptionDialog::UpdateCommandLine);
    } else if (auto* field = qobject_cast<QLineEdit*>(control)) {
        connect(field, &QLineEdit::textChanged, this, &OptionDialog::UpdateCommandLine);
    }
}

void OptionDialog::CheckRange(NumberField* field, int low, int high, const QString& message) {
    const auto value = WholeNumber(field->text());
    if (!value) {
        host_.Error(NotAnIntegerMessage(field->text()));
        return;
    }
    if (*value < low || *value > high) {
        host_.Error(message);
        // The field the user went to is left again by this return of the focus; that is no
        // leaving of the user's, so its own check does not run.
        const bool returning = returningFocus_;
        returningFocus_ = true;
        field->setFocus(Qt::OtherFocusReason);
        returningFocus_ = returning;
    }
}

void OptionDialog::ChooseFile(QLineEdit* field, const OpenFileRequest& request, bool nameOnly,
                              bool capitals) {
    const std::optional<QString> chosen = host_.OpenFile(request);
    if (!chosen) return;
    QString text = nameOnly ? QFileInfo(*chosen).fileName() : *chosen;
    if (capitals) text = text.toUpper();
    field->setText(text);
}

void OptionDialog::ChooseFolder(QLineEdit* field, const QString& prompt) {
    folderDialog_.Text = prompt;
    folderDialog_.Directory = field->text();
    if (folderDialog_.Execute()) field->setText(folderDialog_.Directory);
}

// --- Pages and controls -------------------------------------------------------------------

QWidget* OptionDialog::AddPage(const QString& caption, const char* objectName) {
    auto* page = new QWidget(PageControl1);
    page->setObjectName(QString::fromLatin1(objectName));
    page->setAccessibleName(AccessibleText(caption));
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    PageControl1->addTab(page, caption);
    return page;
}

QWidget* OptionDialog::AddGroup(QWidget* page, const char* name, const QString& caption) {
    auto* group = new QGroupBox(caption, page);
    group->setObjectName(QString::fromLatin1(name));
    group->setAccessibleName(AccessibleText(caption));
    auto* form = new QFormLayout(group);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    FormOf(page)->addRow(group);
    return group;
}

void OptionDialog::SetHint(QWidget* control, const QString& hint) {
    control->setToolTip(hint);
    control->setStatusTip(hint);
    control->setAccessibleDescription(hint);
}

void OptionDialog::EnableField(NumberField* field, bool enabled) {
    field->setEnabled(enabled);
    if (field->Spinner()) field->Spinner()->setEnabled(enabled);
}

void OptionDialog::SetFirstPage(QWidget* page) {
    PageControl1->setCurrentWidget(page);
}

QCheckBox* OptionDialog::AddCheckBox(QWidget* page, const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption, page);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(AccessibleText(caption));
    FormOf(page)->addRow(box);
    FollowChanges(box);
    return box;
}

QComboBox* OptionDialog::AddList(QWidget* page, const char* name, const QString& label,
                                 const QStringList& items) {
    auto* list = new QComboBox(page);
    list->setObjectName(QString::fromLatin1(name));
    list->setAccessibleName(AccessibleText(label));
    list->view()->setAccessibleName(list->accessibleName());  // its pop-up list
    list->addItems(items);
    list->setCurrentIndex(-1);
    auto* caption = new QLabel(label, page);
    caption->setBuddy(list);
    FormOf(page)->addRow(caption, list);
    FollowChanges(list);
    return list;
}

NumberField* OptionDialog::AddNumberField(QWidget* page, const char* name, const QString& label,
                                          int minimum, int maximum, int position,
                                          const char* spinnerName) {
    auto* holder = new QWidget(page);
    auto* field = new NumberField(holder);
    field->setObjectName(QString::fromLatin1(name));
    field->setAccessibleName(AccessibleText(label));
    field->setMaximumWidth(80);
    auto* spinner = new UpDown(minimum, maximum, position, holder);
    spinner->setObjectName(QString::fromLatin1(spinnerName));
    spinner->setAccessibleName(AccessibleText(label) + QStringLiteral(" spinner"));
    spinner->SetAssociate(field);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    row->addWidget(field);
    row->addWidget(spinner);
    auto* caption = new QLabel(label, page);
    caption->setBuddy(field);
    FormOf(page)->addRow(caption, holder);
    FollowChanges(field);
    return field;
}

QLineEdit* OptionDialog::AddTextField(QWidget* page, const char* name, const QString& label) {
    auto* field = new QLineEdit(page);
    field->setObjectName(QString::fromLatin1(name));
    field->setAccessibleName(AccessibleText(label));
    if (label.isEmpty()) {
        FormOf(page)->addRow(field);
    } else {
        auto* caption = new QLabel(label, page);
        caption->setBuddy(field);
        FormOf(page)->addRow(caption, field);
    }
    FollowChanges(field);
    return field;
}

RadioGroup* OptionDialog::AddRadioGroup(QWidget* page, const char* name, const QString& caption,
                                        const QStringList& items) {
    auto* group = new RadioGroup(caption, items, page);
    group->setObjectName(QString::fromLatin1(name));
    group->setAccessibleName(AccessibleText(caption));
    FormOf(page)->addRow(group);
    FollowChanges(group);
    return group;
}

QSlider* OptionDialog::AddSlider(QWidget* page, const char* name, const QString& label, int minimum,
                                 int maximum) {
    auto* slider = new QSlider(Qt::Horizontal, page);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setAccessibleName(AccessibleText(label));
    slider->setRange(minimum, maximum);
    auto* caption = new QLabel(label, page);
    caption->setBuddy(slider);
    FormOf(page)->addRow(caption, slider);
    FollowChanges(slider);
    return slider;
}

QPushButton* OptionDialog::AddButton(QWidget* page, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, page);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(AccessibleText(caption));
    // Enter on the focused button presses it.
    button->setAutoDefault(true);
    FormOf(page)->addRow(button);
    return button;
}

// --- The table of options -----------------------------------------------------------------

void OptionDialog::Option(Control control, const char* key, ReadRule read, ResetValue reset) {
    lines_.push_back(Line{control, QString::fromUtf8(key), read, reset});
}

void OptionDialog::Option(Control control, NotStoredTag, ResetValue reset) {
    lines_.push_back(Line{control, QString(), std::nullopt, reset});
}

// The orders are checked when they are given, so a dialog whose lists miss or misspell an
// option fails as soon as it is created (in every test that makes one), not at start-up.
void OptionDialog::LoadOrder(const QStringList& keys) {
    const auto stored =
        std::count_if(lines_.begin(), lines_.end(), [](const Line& l) { return !l.key.isEmpty(); });
    if (keys.size() != stored) throw std::logic_error("the load order must name every stored key");
    for (const QString& key : keys)
        LineOf(key);
    loadOrder_.assign(keys.begin(), keys.end());
    orderGiven_ = true;
}

void OptionDialog::LoadDefaultOrder(std::initializer_list<Control> controls) {
    const auto reset = std::count_if(lines_.begin(), lines_.end(),
                                     [](const Line& l) { return l.reset.Value().has_value(); });
    if (static_cast<qsizetype>(controls.size()) != reset) {
        throw std::logic_error("the Load default order must name every control it resets");
    }
    for (const Control& control : controls) {
        if (!LineOf(control).reset.Value()) {
            throw std::logic_error("the Load default order names a control that is not reset");
        }
    }
    resetOrder_.assign(controls.begin(), controls.end());
    resetOrderGiven_ = true;
}

const OptionDialog::Line& OptionDialog::LineOf(const QString& key) const {
    const auto it = std::find_if(lines_.begin(), lines_.end(), [&](const Line& l) {
        return l.key.compare(key, Qt::CaseInsensitive) == 0;
    });
    if (it == lines_.end()) throw std::logic_error("no option line for key " + key.toStdString());
    return *it;
}

const OptionDialog::Line& OptionDialog::LineOf(const Control& control) const {
    const auto it = std::find_if(lines_.begin(), lines_.end(),
                                 [&](const Line& l) { return l.control == control; });
    if (it == lines_.end()) throw std::logic_error("no option line for a control");
    return *it;
}

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

int AsIndex(const std::variant<bool, int, QString>& v) {
    if (const int* i = std::get_if<int>(&v)) return *i;
    if (const bool* b = std::get_if<bool>(&v)) return *b ? 1 : 0;
    return WholeNumber(std::get<QString>(v)).value_or(0);
}

bool AsCheck(const std::variant<bool, int, QString>& v) {
    return AsIndex(v) != 0;
}

QString AsString(const std::variant<bool, int, QString>& v) {
    if (const QString* s = std::get_if<QString>(&v)) return *s;
    return QString::number(AsIndex(v));
}

}  // namespace

void OptionDialog::Apply(const Control& control, const std::variant<bool, int, QString>& value) {
    std::visit(Overloaded{
                   [&](QCheckBox* c) { c->setChecked(AsCheck(value)); },
                   [&](QComboBox* c) {
                       // An index that names no item leaves the list without a selection.
                       const int i = AsIndex(value);
                       c->setCurrentIndex(i >= 0 && i < c->count() ? i : -1);
                   },
                   [&](NumberField* c) { c->setText(AsString(value)); },
                   [&](RadioGroup* c) { c->SetItemIndex(AsIndex(value)); },
                   [&](QSlider* c) { c->setValue(AsIndex(value)); },
                   [&](QLineEdit* c) { c->setText(AsString(value)); },
               },
               control);
}

void OptionDialog::Load(const Line& line, const IniFile& ini) {
    const QString section = Section();
    const std::variant<bool, int, QString> value =
        std::visit(Overloaded{
                       [&](const AsBoolean& r) -> std::variant<bool, int, QString> {
                           return ini.ReadBoolean(section, line.key, r.def);
                       },
                       [&](const AsInteger& r) -> std::variant<bool, int, QString> {
                           return ini.ReadInteger(section, line.key, r.def);
                       },
                       [&](const AsText& r) -> std::variant<bool, int, QString> {
                           return ini.ReadText(section, line.key, r.def);
                       },
                   },
                   *line.read);
    Apply(line.control, value);
}

void OptionDialog::Save(const Line& line, IniFile& ini) const {
    const QString section = Section();
    std::visit(Overloaded{
                   [&](QCheckBox* c) { ini.WriteBoolean(section, line.key, c->isChecked()); },
                   [&](QComboBox* c) { ini.WriteInteger(section, line.key, c->currentIndex()); },
                   [&](NumberField* c) { ini.WriteText(section, line.key, c->text()); },
                   [&](RadioGroup* c) { ini.WriteInteger(section, line.key, c->ItemIndex()); },
                   [&](QSlider* c) { ini.WriteInteger(section, line.key, c->value()); },
                   [&](QLineEdit* c) { ini.WriteText(section, line.key, c->text()); },
               },
               line.control);
}

}  // namespace orvello
