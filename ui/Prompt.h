#pragma once

// The prompt the window answers with: QMessageBox and QFileDialog, modal to the owner
// window. The interface itself lives with the editing session (editor/Prompt.h); its
// names are available here unqualified, as the window code has always used them.

#include "editor/Prompt.h"

class QWidget;

using editor::CPrompt;
using editor::kIdCancel;
using editor::kIdDiscard;
using editor::kIdNo;
using editor::kIdOk;
using editor::kIdSave;
using editor::kIdYes;
using editor::PromptButtons;
using editor::PromptIcon;
using editor::SaveFileAnswer;
using editor::SaveFileRequest;

class CQtPrompt : public CPrompt {
public:
    explicit CQtPrompt(QWidget* owner) : owner(owner) {}

    int MessageBox(const std::string& text, const std::string& caption, PromptButtons buttons,
                   PromptIcon icon) override;
    bool SaveFile(const SaveFileRequest& request, SaveFileAnswer& answer) override;
    bool AskText(const std::string& text, const std::string& caption, std::string& value) override;

private:
    QWidget* owner;
};
