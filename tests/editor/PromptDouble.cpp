#include "tests/editor/PromptDouble.h"

int CPromptDouble::MessageBox(const std::string& text, const std::string& caption, editor::PromptButtons buttons,
                              editor::PromptIcon)
{
    log->messages.push_back({text, caption, buttons});
    if (!log->answers.empty()) {
        const int answer = log->answers.front();
        log->answers.pop_front();
        return answer == kPressEscape ? editor::EscapeAnswer(buttons) : answer;
    }
    switch (buttons) {
    case editor::PromptButtons::YesNo:
    case editor::PromptButtons::YesNoCancel:
    case editor::PromptButtons::ReloadKeep: return editor::kIdYes;
    case editor::PromptButtons::SaveDiscardCancel: return editor::kIdSave;
    default: return editor::kIdOk;
    }
}

bool CPromptDouble::AskText(const std::string& text, const std::string& caption, std::string& value)
{
    log->messages.push_back({text, caption, editor::PromptButtons::OkCancel});
    if (log->textAnswers.empty())
        return false;
    value = log->textAnswers.front();
    log->textAnswers.pop_front();
    return true;
}

bool CPromptDouble::SaveFile(const editor::SaveFileRequest& request, editor::SaveFileAnswer& answer)
{
    log->saveRequests.push_back(request);
    if (log->saveAnswers.empty())
        return false;
    answer = log->saveAnswers.front();
    log->saveAnswers.pop_front();
    return true;
}
