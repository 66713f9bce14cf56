// The form's edit history as a plain list of forms, and the session's undo and redo:
// an edit is taken as a step once the notifications of the user's action are over,
// and a step is shown again through the same load pass a profile is shown with.

#include "editor/EditorSessionUndo.h"

#include <utility>

#include "editor/EditorSession.h"
#include "markup/XmlDoc.h"

namespace editor {

void CEditHistory::Reset(FormState form, std::string text, bool isClean)
{
    steps.clear();
    steps.push_back({std::move(form), std::move(text), kNoField});
    index = 0;
    clean = isClean ? 0 : kNone;
    runOpen = false;
}

void CEditHistory::Clear()
{
    steps.clear();
    index = 0;
    clean = kNone;
    runOpen = false;
}

bool CEditHistory::Record(FormState form, std::string text, int field)
{
    if (steps.empty()) {
        Reset(std::move(form), std::move(text), false);
        return true;
    }
    if (steps[index].text == text)
        return false;
    // Undone steps can no longer be redone once the form moves on from here.
    steps.erase(steps.begin() + static_cast<std::ptrdiff_t>(index) + 1, steps.end());
    if (clean > static_cast<std::ptrdiff_t>(index))
        clean = kNone;
    // The step the file holds is never rewritten by typing, so undo can always get
    // back to it.
    const bool extend = runOpen && field != kNoField && steps[index].field == field &&
                        clean != static_cast<std::ptrdiff_t>(index) && index > 0;
    if (extend) {
        steps[index].form = std::move(form);
        steps[index].text = std::move(text);
        return true;
    }
    steps.push_back({std::move(form), std::move(text), field});
    ++index;
    runOpen = field != kNoField;
    if (steps.size() > kMaxSteps) {
        steps.erase(steps.begin());
        --index;
        clean = clean > 0 ? clean - 1 : kNone;
    }
    return true;
}

const FormState* CEditHistory::Undo()
{
    if (!CanUndo())
        return nullptr;
    runOpen = false;
    return &steps[--index].form;
}

const FormState* CEditHistory::Redo()
{
    if (!CanRedo())
        return nullptr;
    runOpen = false;
    return &steps[++index].form;
}

void CEditHistory::MarkClean()
{
    if (steps.empty())
        return;
    clean = static_cast<std::ptrdiff_t>(index);
    runOpen = false;
}

void CEditHistory::MarkClean(FormState form, std::string text)
{
    if (steps.empty()) {
        Reset(std::move(form), std::move(text), true);
        return;
    }
    steps[index].form = std::move(form);
    steps[index].text = std::move(text);
    MarkClean();
}

void CEditorSession::MarkChanged(int field)
{
    if (IsChangeSuppressed())
        return;
    if (!editPending) {
        editPending = true;
        pendingField = field;
        view.EditPending();
    } else if (pendingField != field) {
        // One action that touched several fields is a step of its own.
        pendingField = kNoField;
    }
    SetChangedState(true);
}

void CEditorSession::CaptureStep(FormState& form, std::string& text)
{
    form = CaptureForm();
    form.profile.BuildDocument();
    text = form.profile.Document() != nullptr ? form.profile.Document()->DocumentText() : std::string();
}

void CEditorSession::CommitEdit()
{
    if (!editPending)
        return;
    editPending = false;
    if (!typeFile.HasCurrentProfile())
        return;
    FormState form;
    std::string text;
    CaptureStep(form, text);
    if (history.Record(std::move(form), std::move(text), pendingField))
        TellHistory();
}

void CEditorSession::Undo()
{
    CommitEdit();
    ShowStep(history.Undo());
}

void CEditorSession::Redo()
{
    CommitEdit();
    ShowStep(history.Redo());
}

void CEditorSession::ShowStep(const FormState* form)
{
    if (form == nullptr)
        return;
    RestoreForm(*form);
    ShowChangedState(!history.IsClean());
    TellHistory();
}

void CEditorSession::RestoreForm(const FormState& form)
{
    if (!typeFile.HasCurrentProfile())
        return;
    const CSuppressChanges restoring(*this);
    // The step is shown through the current profile's place, so the path and every
    // rule that reads the current profile see the step; what the file holds stays the
    // base that the next save stores the form into.
    const profile::CProfileFile held(*typeFile.GetCurrentProfile());
    profile::CProfileFile shown(form.profile);
    shown.SetFileName(held.filePath, held.fileTitle);
    typeFile.SetCurrentProfile(shown);
    ShowCurrentProfile(form.outputType);
    typeFile.SetCurrentProfile(held);
}

void CEditorSession::TellHistory()
{
    view.HistoryChanged();
}

void CEditorSession::EndFill()
{
    suppressedUntilLoad = false;
    editPending = false;
    ShowChangedState(false);
    if (typeFile.HasCurrentProfile()) {
        FormState form;
        std::string text;
        CaptureStep(form, text);
        history.Reset(std::move(form), std::move(text), true);
    } else {
        history.Clear();
    }
    RememberShownFile();
    TellHistory();
    TellShownProfile();
}

void CEditorSession::EndSave()
{
    suppressedUntilLoad = false;
    editPending = false;
    ShowChangedState(false);
    {
        // The name may be one the save proposed rather than the one typed.
        const CSuppressChanges showing(*this);
        if (view.ReadText(TextBox::ProfileName) != typeFile.Name())
            view.ShowText(TextBox::ProfileName, typeFile.Name());
    }
    FormState form;
    std::string text;
    CaptureStep(form, text);
    history.MarkClean(std::move(form), std::move(text));
    RememberFile(typeFile.FilePath());
    RememberShownFile();
    TellHistory();
    TellShownProfile();
}

} // namespace editor
