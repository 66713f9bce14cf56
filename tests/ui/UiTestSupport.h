#pragma once

// What the window tests share: a prompt that answers from a script and records what
// it was asked, and a sandbox with a temporary program folder (holding the shipped
// templates) and a private settings folder.

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "ui/OrreryDlg.h"
#include "ui/Prompt.h"

class CSkinListCtrl;

struct PromptRecord {
    std::string text;
    std::string caption;
    PromptButtons buttons;
};

// Everything a test wants to know after the dialog (which owns the prompt) is gone.
struct PromptLog {
    std::vector<PromptRecord> messages;
    std::vector<SaveFileRequest> saveRequests;
    std::deque<int> answers;                      // next message answers; kIdOk/kIdYes/... by default
    std::deque<SaveFileAnswer> saveAnswers;       // empty: the save dialog is cancelled
};

class CPromptDouble : public CPrompt {
public:
    explicit CPromptDouble(std::shared_ptr<PromptLog> log) : log(std::move(log)) {}

    int MessageBox(const std::string& text, const std::string& caption, PromptButtons buttons,
                   PromptIcon icon) override;
    bool SaveFile(const SaveFileRequest& request, SaveFileAnswer& answer) override;

private:
    std::shared_ptr<PromptLog> log;
};

class CSandbox {
public:
    // copyTemplates: put the shipped templates into the program folder.
    explicit CSandbox(bool copyTemplates = true);
    ~CSandbox();

    bool IsValid() const { return root.isValid(); }
    std::string ProgramFolder() const;
    std::string ConfigHome() const;
    std::string Path(const std::string& relative) const;   // below the sandbox root
    bool WriteFile(const std::string& relative, const std::string& text) const;

    // A dialog on this sandbox, not yet initialised; its prompt writes to Log().
    std::unique_ptr<COrreryDlg> MakeDialog() const;
    const std::shared_ptr<PromptLog>& Log() const { return log; }

private:
    QTemporaryDir root;
    QByteArray oldConfigHome;
    bool hadConfigHome = false;
    std::shared_ptr<PromptLog> log = std::make_shared<PromptLog>();
};

// A profile file as this program writes it (CR LF lines), with the given root
// attributes and the common section's audio, video and codec settings.
std::string ProfileText(const std::string& name, const std::string& device, int type,
                        const std::string& extraCommon = {});

// Column 1 texts and column 0 toggles of a value list.
QStringList ListTexts(const CSkinListCtrl* list);
QList<int> CheckedRows(const CSkinListCtrl* list);
QStringList ComboTexts(const QWidget* combo);
