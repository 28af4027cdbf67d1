// The dialog's frame: the pages with "Load default", "OK" and "Cancel" below them and the
// command line between, showing and closing, building the switch string, the range check and
// the choosing buttons. The option table and its widgets are in OptionTable.cpp.
#include "options/OptionDialog.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/CommandLineField.h"
#include "app/core/LaunchCommand.h"
#include "app/core/PathRules.h"

namespace orvello {

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

}  // namespace orvello
