// What the widget tests share: a UiHost that answers on the user's behalf and records what
// was asked, a temporary settings folder, and helpers to reach a window's parts.
#pragma once

#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/core/Host.h"

namespace orvello::test {

struct Message {
    MessageKind kind;
    QString text;
};

class FakeHost : public UiHost {
  public:
    void ShowMessage(MessageKind kind, const QString& text) override {
        messages.push_back({kind, text});
        if (onMessage) onMessage();
    }
    bool AskYesNo(MessageKind kind, const QString& text) override {
        messages.push_back({kind, text});
        const bool answer = yesNo.empty() ? false : yesNo.front();
        if (!yesNo.empty()) yesNo.pop_front();
        return answer;
    }
    SaveChoice AskSave(const QString& question, const QString& details) override {
        saveQuestions.push_back(question + '\n' + details);
        return saveAnswer;
    }
    std::optional<QString> PromptText(const TextPrompt& prompt) override {
        prompts.push_back(prompt);
        return promptAnswer;
    }
    std::optional<QString> OpenFile(const OpenFileRequest& request) override {
        openRequests.push_back(request);
        return openAnswer;
    }
    std::optional<QString> BrowseFolder(const FolderRequest& request) override {
        folderRequests.push_back(request);
        return folderAnswer;
    }

    std::vector<QString> Texts() const {
        std::vector<QString> texts;
        for (const auto& m : messages)
            texts.push_back(m.text);
        return texts;
    }

    std::vector<Message> messages;
    std::function<void()> onMessage;
    std::deque<bool> yesNo;
    // "Save the changes?" questions, each with its details, and the answer given to all.
    std::vector<QString> saveQuestions;
    SaveChoice saveAnswer = SaveChoice::DontSave;
    std::vector<TextPrompt> prompts;
    std::optional<QString> promptAnswer;
    std::vector<OpenFileRequest> openRequests;
    std::optional<QString> openAnswer;
    std::vector<FolderRequest> folderRequests;
    std::optional<QString> folderAnswer;
};

// Shows a window and waits until it is the active one, so focus moves as for a user.
bool ShowActive(QWidget* window);

// Runs `action` once the next modal window is up (for code that calls exec()). Waiting stops
// when the returned guard goes, so a window that never came cannot be met by a later test.
// A window the action leaves open (a failed step returned early) is closed after a few
// seconds with a test failure, so that its exec() returns and the test ends.
[[nodiscard]] std::shared_ptr<void> WhenModal(std::function<void(QWidget*)> action);

// The lines of a file, without line breaks.
QStringList FileLines(const QString& path);

// Writes a file whole.
void WriteFile(const QString& path, const QByteArray& content);

// Bytes built by the archive test helpers, as Qt holds them.
QByteArray Bytes(const std::vector<std::uint8_t>& v);

}  // namespace orvello::test
