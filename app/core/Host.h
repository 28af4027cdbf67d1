// The one way the program asks the user something: message boxes, the text prompt and the
// file and folder choosers. The widget layer implements it with real dialogs; tests put in
// an implementation that answers on the user's behalf and records what was asked, so no
// test ever waits on a modal window.
#pragma once

#include <QString>

#include <optional>

#include "app/core/FolderOptions.h"

namespace orvello {

// The four kinds of message box, each with its own title and icon: warning, error ("Error",
// stop icon), information ("Information") and confirmation ("Confirm", question icon).
enum class MessageKind { Warning, Error, Information, Confirmation };

// A one-line text prompt with OK and Cancel; the text comes pre-filled and all selected.
struct TextPrompt {
    QString caption;
    QString label;
    QString text;
    int maxLength = 255;
};

// An open-file dialog. The filter is the "description|masks|description|masks" text; the
// chosen file must exist.
struct OpenFileRequest {
    QString title;
    QString filter;
    QString initialDir;
};

// The folder browser, with the settings of a TFolderDialog.
struct FolderRequest {
    QString title = QStringLiteral("Browse for Folder");
    QString text;       // the prompt above the tree; none when empty
    QString directory;  // the folder selected at opening; ignored when it does not exist
    TFolderDialogOptions options = DefaultFolderDialogOptions;
    TRootFolder root = TRootFolder::sfoDesktopExpanded;
};

// The answer to "Save the changes?".
enum class SaveChoice { Save, DontSave, Cancel };

class UiHost {
  public:
    virtual ~UiHost() = default;

    // A modal box with one "OK" button.
    virtual void ShowMessage(MessageKind kind, const QString& text) = 0;
    // A modal box with "Yes" and "No"; true for Yes.
    virtual bool AskYesNo(MessageKind kind, const QString& text) = 0;
    // A modal question with "Save", "Don't Save" and "Cancel", and details below it. Where a
    // host has no such box, Yes saves and No does not.
    virtual SaveChoice AskSave(const QString& question, const QString& details) {
        return AskYesNo(MessageKind::Confirmation, question + QStringLiteral("\n\n") + details)
                   ? SaveChoice::Save
                   : SaveChoice::DontSave;
    }
    // The edited text on OK, nothing on Cancel.
    virtual std::optional<QString> PromptText(const TextPrompt& prompt) = 0;
    // The full path of the accepted file, nothing on Cancel.
    virtual std::optional<QString> OpenFile(const OpenFileRequest& request) = 0;
    // The accepted item's file-system path (empty when it has none), nothing on Cancel.
    virtual std::optional<QString> BrowseFolder(const FolderRequest& request) = 0;

    void Error(const QString& text) { ShowMessage(MessageKind::Error, text); }
    void Information(const QString& text) { ShowMessage(MessageKind::Information, text); }
    void Warning(const QString& text) { ShowMessage(MessageKind::Warning, text); }
    bool Confirm(const QString& text) { return AskYesNo(MessageKind::Confirmation, text); }
};

// The title of each kind of box.
QString MessageTitle(MessageKind kind);

}  // namespace orvello
