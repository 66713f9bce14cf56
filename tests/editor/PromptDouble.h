#pragma once

// A prompt that answers from a script and records what it was asked, for the session
// tests and the window tests alike.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "editor/Prompt.h"

// A scripted answer that presses Escape: the box answers EscapeAnswer of its buttons.
inline constexpr int kPressEscape = -1;

struct PromptRecord {
    std::string text;
    std::string caption;
    editor::PromptButtons buttons;
};

// Everything a test wants to know after the owner of the prompt is gone.
struct PromptLog {
    std::vector<PromptRecord> messages;
    std::vector<editor::SaveFileRequest> saveRequests;
    std::deque<int> answers;                           // next message answers; the default button by default
    std::deque<editor::SaveFileAnswer> saveAnswers;    // empty: the save dialog is cancelled
    std::deque<std::string> textAnswers;               // empty: a text question is cancelled
};

class CPromptDouble : public editor::CPrompt {
public:
    explicit CPromptDouble(std::shared_ptr<PromptLog> log) : log(std::move(log)) {}

    int MessageBox(const std::string& text, const std::string& caption, editor::PromptButtons buttons,
                   editor::PromptIcon icon) override;
    bool SaveFile(const editor::SaveFileRequest& request, editor::SaveFileAnswer& answer) override;
    bool AskText(const std::string& text, const std::string& caption, std::string& value) override;

private:
    std::shared_ptr<PromptLog> log;
};
