// The option table of a dialog and the widgets it is made of: adding pages and controls,
// one line per stored or reset control, and what the lines do on SaveOptions, LoadOptions
// and "Load default". The dialog's frame (its buttons, showing, building, checks) is in
// OptionDialog.cpp.
#include "options/OptionDialog.h"

#include <QAbstractItemView>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>

#include "app/core/PathRules.h"

namespace orvello {

namespace {

QFormLayout* FormOf(QWidget* page) {
    return static_cast<QFormLayout*>(page->layout());
}

// Adds a row of the page's form: `label` as its caption, whose mnemonic moves the focus to
// `buddy`, beside `row` (the buddy itself or the widget holding it).
void AddCaptionedRow(QWidget* page, const QString& label, QWidget* buddy, QWidget* row) {
    auto* caption = new QLabel(label, page);
    caption->setBuddy(buddy);
    FormOf(page)->addRow(caption, row);
}

}  // namespace

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

// --- Saving, loading and Load default ------------------------------------------------------

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
    AddCaptionedRow(page, label, list, list);
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
    AddCaptionedRow(page, label, field, holder);
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
        AddCaptionedRow(page, label, field, field);
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
    AddCaptionedRow(page, label, slider, slider);
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
