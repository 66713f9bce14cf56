#pragma once

// What the window tests share: the prompt double (tests/editor/PromptDouble.h) and a
// sandbox with a temporary program folder (holding the shipped templates) and a
// private settings folder.

#include <QAbstractButton>
#include <QList>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTemporaryDir>

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "profile/ProfileFile.h"
#include "tests/editor/PromptDouble.h"
#include "ui/OrreryDlg.h"
#include "ui/Prompt.h"

class CSkinListCtrl;

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
    // The dialog started (OnInitDialog) and shown on the screen; null when it never shows.
    std::unique_ptr<COrreryDlg> ShowDialog() const;
    const std::shared_ptr<PromptLog>& Log() const { return log; }

private:
    QTemporaryDir root;
    QByteArray oldConfigHome;
    bool hadConfigHome = false;
    QByteArray oldDataHome;
    bool hadDataHome = false;
    QByteArray oldStateHome;
    bool hadStateHome = false;
    std::shared_ptr<PromptLog> log = std::make_shared<PromptLog>();
};

// A profile file as this program writes it (CR LF lines), with the given root
// attributes and the common section's audio, video and codec settings.
std::string ProfileText(const std::string& name, const std::string& device, int type,
                        const std::string& extraCommon = {});

// Writes a profile made from a shipped template (data/<templateName>) with the given
// root attributes into the sandbox at relative; description empty keeps the template's.
bool WriteTemplateProfile(const CSandbox& sandbox, const std::string& relative, const std::string& templateName,
                          const std::string& name, const std::string& device, const std::string& tag = {},
                          const std::string& description = {});

// The file's bytes, or "<missing>" when it cannot be read.
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
// The profile a file holds, read the way the library reads it.
profile::CProfileFile LoadProfileFile(const std::string& path);

// The user's choice of an item in a drop-down list: the selection moves and the
// list reports the choice (QComboBox::activated). False when no item has the text.
bool Choose(QWidget* combo, const QString& text);
// Typing into an edit box: the old text is selected and replaced key by key.
void TypeInto(QWidget* edit, const QString& text);

// Column 1 texts and column 0 toggles of a value list.
QStringList ListTexts(const CSkinListCtrl* list);
// The mnemonic letter of a caption, upper case; null when it has none.
QChar Mnemonic(const QString& text);
QList<int> CheckedRows(const CSkinListCtrl* list);
QStringList ComboTexts(const QWidget* combo);

// The dialog's control with the given id, as the kind the test expects (null otherwise).
template <class T>
T* ItemOf(const COrreryDlg& dialog, int id)
{
    return qobject_cast<T*>(dialog.GetDlgItem(id));
}

// The text an edit box, a multi-line edit or a selector shows.
inline QString Text(const COrreryDlg& dialog, int id)
{
    if (auto* line = ItemOf<QLineEdit>(dialog, id))
        return line->text();
    if (auto* multi = ItemOf<QPlainTextEdit>(dialog, id))
        return multi->toPlainText();
    if (auto* combo = ItemOf<QComboBox>(dialog, id))
        return combo->currentText();
    return QStringLiteral("<no text control %1>").arg(id);
}

// The ids among `ids` whose control is not in the enabled state given; empty when all are.
template <std::size_t N>
QList<int> EnabledOtherThan(const COrreryDlg& dialog, const std::array<int, N>& ids, bool enabled)
{
    QList<int> others;
    for (int id : ids)
        if (dialog.GetDlgItem(id)->isEnabled() != enabled)
            others.append(id);
    return others;
}

inline void Click(const COrreryDlg& dialog, int id)
{
    ItemOf<QAbstractButton>(dialog, id)->click();
}
