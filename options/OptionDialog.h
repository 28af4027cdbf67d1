// The shape every emulator option dialog shares. A dialog is a page control of option
// controls with "Load default", "OK" and "Cancel" below it. It turns its controls into the
// slot's switch string (BuildSwitches, cached for GetSwitches), and keeps them together with
// the slot's emulator path and games folder in its own section of the settings file
// (SaveOptions, LoadOptions; the caller opens and closes the file).
//
// A concrete dialog describes each control in one line - the control, its settings key,
// how the key is read back and with what default, and the value "Load default" gives it -
// and writes only its own switch-building and enabling rules:
//
//     // Control  INI key        Read as            Load default
//     Option(ROMType, "Rom switch", AsInteger{0},   0);
//     Option(noSound, "Sound",      AsBoolean{false}, false);
//     Option(Frames,  "Frames",     AsInteger{1},   "1");
//     Option(AutoDetect, NotStored,                 false);
//
// The lines are in the order SaveOptions writes the keys; LoadOrder and LoadDefaultOrder
// give the other two orders where a dialog's differ.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QSlider>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "app/CommandLineField.h"
#include "app/core/GlobalVar.h"
#include "app/core/Host.h"
#include "app/core/IniFile.h"
#include "options/OptionControls.h"
#include "selector/FoldrDlg.h"

class QPushButton;
class QTabWidget;

namespace orvello {

// Read rules of LoadOptions: the read type and the default for a missing or unusable value.
struct AsBoolean {
    bool def;
};
struct AsInteger {
    int def;
};
struct AsText {
    QString def;
};

struct NotStoredTag {};
inline constexpr NotStoredTag NotStored{};
struct NotResetTag {};
inline constexpr NotResetTag NotReset{};

// A "Load default" value: a check state, an index or position, or a text.
class ResetValue {
  public:
    ResetValue(bool v) : value_(v) {}
    ResetValue(int v) : value_(v) {}
    ResetValue(const char* v) : value_(QString::fromUtf8(v)) {}
    ResetValue(const QString& v) : value_(v) {}
    ResetValue(NotResetTag) {}
    const std::optional<std::variant<bool, int, QString>>& Value() const { return value_; }

  private:
    std::optional<std::variant<bool, int, QString>> value_;
};

// Thrown while building when a number field that must be converted holds no whole number.
class NotAnInteger : public std::runtime_error {
  public:
    explicit NotAnInteger(const QString& text);
    const QString& Text() const { return text_; }

  private:
    QString text_;
};

// What BuildSwitches hands to a dialog's build rules: the string so far and the conversion
// of number fields.
class SwitchBuilder {
  public:
    void Add(const QString& piece) { text_ += piece; }
    void Add(const char* piece) { text_ += QString::fromUtf8(piece); }
    // A file or folder path: added as it is, and marked so that the launch keeps it one
    // argument and gives it to DOSBox and Wine in their own form.
    void AddPath(const QString& path) {
        paths_.push_back({text_.size(), path.size()});
        text_ += path;
    }
    const SwitchPaths& Paths() const { return paths_; }
    // The literal followed directly by the number in decimal.
    void AddNumber(const char* literal, int number);
    // The field's text as a whole number; throws NotAnInteger otherwise.
    static int Value(const QLineEdit* field);
    const QString& Text() const { return text_; }

  private:
    QString text_;
    SwitchPaths paths_;
};

// The per-dialog facts of the dialog table.
struct DialogInfo {
    EmulatorSlot slot;
    const char* objectName;      // the form's name
    const char* caption;         // the window caption
    bool loadDefaultAtCreation;  // LoadDefBtClick also runs when the dialog is created
    bool refreshOnShow;          // FormShow runs the refresh handlers
    const char* loadDefCaption = "Load default";
    const char* loadDefName = "LoadDefBt";  // the Load default button's object name
    // A dialog keeps its size and opens in the middle of the screen, unless it is resizable
    // and opens at its designed place (the top-left corner's screen position).
    bool resizable = false;
    int designedLeft = 0;
    int designedTop = 0;
};

class OptionDialog : public QDialog {
    Q_OBJECT

  public:
    OptionDialog(const DialogInfo& info, AppState& state, UiHost& host, QWidget* parent);
    ~OptionDialog() override;

    EmulatorSlot Slot() const { return info_.slot; }
    QString Section() const { return QString::fromLatin1(Slots.at(info_.slot).section); }

    // The cached switch string; builds nothing.
    QString GetSwitches() const { return Switches; }
    // Where the cached switch string holds paths.
    const SwitchPaths& GetSwitchPaths() const { return switchPaths_; }
    // Rebuilds the switch string from the controls. When a number field that must be
    // converted holds no whole number, the error box says so, the previous string stays and
    // the result is false.
    bool BuildSwitches();
    // Writes "EmuPath", "GamesDir", "Runner" and then the dialog's keys into its section.
    void SaveOptions(IniFile& ini);
    // Reads them back; sets the slot's emulator path and games folder too.
    void LoadOptions(IniFile& ini);

    // The "Load default" button: resets the listed controls, then runs the refresh handlers.
    void LoadDefBtClick();
    // The "OK" button: builds the string and closes with the OK result; stays open when the
    // build failed.
    void OKBtnClick();
    // "Cancel", Escape and the window's close box: every control goes back to what it held
    // when the dialog was shown, so what the dialog later builds or saves is what it was
    // opened with. The dialog closes with the Cancel result.
    void reject() override;

    // The switch string the controls give now, without changing the cached one; the message
    // when a number field that must be converted holds no whole number.
    struct Preview {
        std::optional<QString> switches;
        QString error;
        SwitchPaths paths;
    };
    Preview PreviewSwitches() const;
    // Tells the command line below the pages which archive member is chosen (its stored
    // name; nothing while none is): the ROM it names is the one "Play" would hand over.
    void SetChosenMember(std::function<std::optional<std::string>()> chosen) {
        chosenMember_ = std::move(chosen);
    }
    // Rebuilds the command line from the current controls.
    void UpdateCommandLine();

    QTabWidget* PageControl1;
    // "Command:": what "Play" would start with the controls as they stand, wrapped so that all
    // of it shows; the working folder is its tooltip.
    CommandText* CommandLine;
    QPushButton* LoadDefBt;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

  protected:
    // The dialog's own rules: append the switch pieces in table order.
    virtual void Build(SwitchBuilder& switches) const;
    // The dialog's refresh handlers, in the order FormShow and Load default run them.
    virtual void Refresh() {}

    // Pages and controls. Each control gets its object name, an accessible name from its
    // caption or label, and its label as buddy.
    QWidget* AddPage(const QString& caption, const char* objectName);
    QCheckBox* AddCheckBox(QWidget* page, const char* name, const QString& caption);
    QComboBox* AddList(QWidget* page, const char* name, const QString& label,
                       const QStringList& items);
    NumberField* AddNumberField(QWidget* page, const char* name, const QString& label, int minimum,
                                int maximum, int position, const char* spinnerName = "UpDown1");
    QLineEdit* AddTextField(QWidget* page, const char* name, const QString& label);
    RadioGroup* AddRadioGroup(QWidget* page, const char* name, const QString& caption,
                              const QStringList& items);
    QSlider* AddSlider(QWidget* page, const char* name, const QString& label, int minimum,
                       int maximum);
    QPushButton* AddButton(QWidget* page, const char* name, const QString& caption);
    // A titled group of controls on a page; controls are added to it as to a page.
    QWidget* AddGroup(QWidget* page, const char* name, const QString& caption);
    // The hint shown when the pointer rests on a control.
    static void SetHint(QWidget* control, const QString& hint);
    // Enables or disables a number field together with its spinner.
    static void EnableField(NumberField* field, bool enabled);
    // Selects a page the first time the dialog shows (else the first page).
    void SetFirstPage(QWidget* page);

    // One line per stored or reset control.
    using Control =
        std::variant<QCheckBox*, QComboBox*, NumberField*, RadioGroup*, QSlider*, QLineEdit*>;
    using ReadRule = std::variant<AsBoolean, AsInteger, AsText>;
    void Option(Control control, const char* key, ReadRule read, ResetValue reset);
    void Option(Control control, NotStoredTag, ResetValue reset);
    // LoadOptions reads the keys in this order (default: the order of the lines).
    void LoadOrder(const QStringList& keys);
    // LoadDefBtClick resets the controls in this order (default: the order of the lines).
    void LoadDefaultOrder(std::initializer_list<Control> controls);
    // The section "EmuPath" and "GamesDir" are read back from, where it differs.
    void SetPathsReadSection(const QString& section) { pathsReadSection_ = section; }

    // Refresh handlers: a check box's runs on every change of its state, by the user or the
    // program; a list's only when the user picks an item.
    // The command line follows the states the handler leaves.
    template <typename D>
    void OnClick(QCheckBox* box, void (D::*handler)()) {
        connect(box, &QCheckBox::toggled, static_cast<D*>(this), handler);
        connect(box, &QCheckBox::toggled, this, &OptionDialog::UpdateCommandLine);
    }
    template <typename D>
    void OnChange(QComboBox* list, void (D::*handler)()) {
        connect(list, &QComboBox::activated, static_cast<D*>(this), handler);
        connect(list, &QComboBox::activated, this, &OptionDialog::UpdateCommandLine);
    }
    // A leave handler runs once each time the user leaves its field; not when the focus is
    // taken from the field because another field's check puts the focus back there.
    template <typename D>
    void OnExit(NumberField* field, void (D::*handler)()) {
        connect(field, &NumberField::Exit, static_cast<D*>(this), [this, handler] {
            if (!returningFocus_) (static_cast<D*>(this)->*handler)();
        });
    }

    // The range check of a number field's leave handler: an error box with the message when
    // the value is outside [low, high], and the focus back into the field; the text stays.
    void CheckRange(NumberField* field, int low, int high, const QString& message);

    // Choosing buttons: an open-file dialog writing the chosen file (whole path, or its name
    // alone, optionally in capitals) into the field; a folder browser with the prompt,
    // starting at the field's folder.
    void ChooseFile(QLineEdit* field, const OpenFileRequest& request, bool nameOnly, bool capitals);
    void ChooseFolder(QLineEdit* field, const QString& prompt);
    // The folder browser ChooseFolder runs, for dialogs that set its options.
    TFolderDialog& FolderDialog() { return folderDialog_; }

    // Ends construction: runs the creation handler where the dialog has one.
    void FinishCreation();

    AppState& state() { return state_; }
    UiHost& host() { return host_; }

    QString Switches;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    struct Line {
        Control control;
        QString key;  // empty: not stored
        std::optional<ReadRule> read;
        ResetValue reset;
    };
    void Apply(const Control& control, const std::variant<bool, int, QString>& value);
    // What the controls hold when the dialog is shown, and putting it back.
    void RememberOpened();
    void RestoreOpened();
    // Every change of a control's value rebuilds the command line.
    void FollowChanges(QWidget* control);
    void Load(const Line& line, const IniFile& ini);
    void Save(const Line& line, IniFile& ini) const;
    const Line& LineOf(const QString& key) const;
    const Line& LineOf(const Control& control) const;

    DialogInfo info_;
    AppState& state_;
    UiHost& host_;
    TFolderDialog folderDialog_;
    QString pathsReadSection_;
    std::vector<Line> lines_;
    std::vector<QString> loadOrder_;
    std::vector<Control> resetOrder_;
    bool orderGiven_ = false;
    bool resetOrderGiven_ = false;
    std::function<std::optional<std::string>()> chosenMember_;
    SwitchPaths switchPaths_;
    bool placed_ = false;
    bool created_ = false;
    // Set while a range check puts the focus back into its field.
    bool returningFocus_ = false;
    struct Opened;
    std::unique_ptr<Opened> opened_;
};

}  // namespace orvello
