// The UiHost of the running program: real message boxes, the text prompt, the open-file
// dialog and the folder browser, each modal over the active window.
#pragma once

#include "app/core/Host.h"

namespace orvello {

class QtUiHost : public UiHost {
  public:
    void ShowMessage(MessageKind kind, const QString& text) override;
    bool AskYesNo(MessageKind kind, const QString& text) override;
    SaveChoice AskSave(const QString& question, const QString& details) override;
    std::optional<QString> PromptText(const TextPrompt& prompt) override;
    std::optional<QString> OpenFile(const OpenFileRequest& request) override;
    std::optional<QString> BrowseFolder(const FolderRequest& request) override;
};

}  // namespace orvello
