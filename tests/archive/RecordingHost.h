// An ArcHost that shows nothing: it records every box and answers questions from a queue.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "archive/ArcMain.h"

namespace orvello::testing {

class RecordingHost : public archive::ArcHost {
  public:
    std::vector<std::string> log;  // "warning: ...", "information: ...", "question: ..."
    std::deque<bool> answers;      // for AskYesNo; "No" once they run out

    void ShowWarning(const std::string& text) override { log.push_back("warning: " + text); }
    void ShowInformation(const std::string& text) override {
        log.push_back("information: " + text);
    }
    bool AskYesNo(const std::string& text) override {
        log.push_back("question: " + text);
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace orvello::testing
