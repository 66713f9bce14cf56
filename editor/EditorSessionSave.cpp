// How edits reach the disk: the question before another profile is shown, Save,
// Save As and the write behind both. A write goes to a temporary file first, so a
// failed save leaves the old file, the library and the selector as they were.

#include "editor/EditorSession.h"

#include "editor/ProfileKeys.h"
#include "editor/StringTable.h"
#include "platform/Platform.h"

namespace editor {

namespace {

constexpr const char* kProfileExtension = "xml";

} // namespace

PromptResult CEditorSession::PromptSaveChanges(int messageId, int outputType)
{
    // A device without profiles shows nothing that could be saved.
    if (!typeFile.HasCurrentProfile())
        return PromptResult::GoAhead;
    const std::string path = typeFile.FilePath();

    // Escape keeps the user where the edits are, in every question here.
    if (view.ReadText(TextBox::ProfileName).empty()) {
        const int answer = MessageWithPath(kIdsEmptyProfileName, path, PromptButtons::OkDiscard, PromptIcon::Warning);
        return answer == kIdDiscard ? PromptResult::GoAhead : PromptResult::Stay;
    }
    if (!changed)
        return PromptResult::GoAhead;
    const bool builtIn = IsBuiltInProfile(*typeFile.GetCurrentProfile());
    const int answer = MessageWithPath(builtIn ? kIdsBuiltInProfile : messageId, path, PromptButtons::YesNoCancel,
                                       PromptIcon::Question);
    if (answer == kIdNo)
        return PromptResult::GoAhead;
    if (answer != kIdYes)
        return PromptResult::Stay;
    // A write that failed, or a Save As the user cancelled, leaves the edits only in
    // the form: the switch would drop them.
    return WriteShownProfile(outputType) ? PromptResult::Saved : PromptResult::Stay;
}

CloseDecision CEditorSession::RequestClose()
{
    if (!typeFile.HasCurrentProfile() || !changed)
        return CloseDecision::Close;
    const int answer = MessageWithPath(kIdsSaveChanged, typeFile.FilePath(), PromptButtons::SaveDiscardCancel,
                                       PromptIcon::Question);
    if (answer == kIdDiscard)
        return CloseDecision::Close;
    if (answer != kIdSave || RefuseEmptyProfileName())
        return CloseDecision::Stay;
    return WriteShownProfile(shownOutputType) ? CloseDecision::Close : CloseDecision::Stay;
}

bool CEditorSession::WriteShownProfile(int outputType)
{
    if (IsBuiltInProfile(*typeFile.GetCurrentProfile()))
        return SaveAs(outputType) == SaveAsResult::Written;
    return WriteProfile(typeFile.FilePath(), LastPathPart(view.ReadText(TextBox::ProfilePath)),
                        view.ReadText(TextBox::ProfileName)) == WriteResult::Written;
}

bool CEditorSession::RefuseEmptyProfileName()
{
    if (!view.ReadText(TextBox::ProfileName).empty())
        return false;
    MessageWithPath(kIdsEmptyProfileName, typeFile.FilePath(), PromptButtons::Ok, PromptIcon::Warning);
    view.ShowText(TextBox::ProfileName, typeFile.Name());
    return true;
}

void CEditorSession::SelectLastProfile()
{
    view.SelectIndex(Selector::Profile, static_cast<int>(view.Items(Selector::Profile).size()) - 1);
}

void CEditorSession::Save()
{
    if (!typeFile.HasCurrentProfile())
        return;
    const std::string pathText = view.ReadText(TextBox::ProfilePath);
    // The path is a file name, never a pattern: "a*.xml" is that one file.
    if (!changed && IsRegularFile(pathText))
        return;
    const std::string profileName = view.ReadText(TextBox::ProfileName);
    const std::string fileName = LastPathPart(pathText);
    const std::string path = typeFile.FilePath();

    if (RefuseEmptyProfileName())
        return;
    if (IsBuiltInProfile(*typeFile.GetCurrentProfile()) && changed) {
        if (MessageWithPath(kIdsBuiltInProfile, path, PromptButtons::YesNo, PromptIcon::Question) == kIdYes) {
            if (SaveAs(OutputType()) == SaveAsResult::Written)
                SelectLastProfile();
            return;
        }
    }
    if (MessageWithPath(kIdsSaveChanged, path, PromptButtons::YesNo, PromptIcon::Question) != kIdYes)
        return;
    if (WriteProfile(path, fileName, profileName) == WriteResult::Written)
        SelectLastProfile();
}

void CEditorSession::SaveAsChosen()
{
    if (!typeFile.HasCurrentProfile())
        return;
    if (RefuseEmptyProfileName())
        return;
    if (SaveAs(OutputType()) == SaveAsResult::Written)
        SelectLastProfile();
}

SaveAsResult CEditorSession::SaveAs(int outputType)
{
    if (!typeFile.HasCurrentProfile())
        return SaveAsResult::Cancelled;
    // A copy of a built-in profile gets a name of its own, so it is never taken for
    // the original.
    const bool builtIn = IsBuiltInProfile(*typeFile.GetCurrentProfile());
    std::string proposedName = view.ReadText(TextBox::ProfileName);
    if (builtIn && proposedName == typeFile.Name())
        proposedName = FormatString(kIdsCopyName, typeFile.Device() + " " + proposedName);
    SaveFileRequest request;
    request.initialFolder = ProfilesFolder(ProfilesRoot());
    request.initialFileName =
        builtIn ? FreeTitle(proposedName) + ".xml" : LastPathPart(view.ReadText(TextBox::ProfilePath));
    request.defaultExtension = kProfileExtension;
    request.filter = LoadString(kIdsProfileFilter);
    request.confirmOverwrite = true;
    SaveFileAnswer answer;
    if (!prompt.SaveFile(request, answer))
        return SaveAsResult::Cancelled;
    const std::string profileName = builtIn ? proposedName : view.ReadText(TextBox::ProfileName);

    // The new file is the device's default profile of the type with the controls'
    // values; settings no control shows come from the template.
    const profile::CProfileFile shown(*typeFile.GetCurrentProfile());
    profile::CProfileFile fresh;
    CreateDeviceProfile(shown.device, fresh, programFolder, ProfilesRoot(), outputType);
    typeFile.SetCurrentProfile(fresh);
    if (WriteProfile(answer.path, answer.fileName, profileName) != WriteResult::Written) {
        typeFile.SetCurrentProfile(shown);
        return SaveAsResult::Failed;
    }
    return SaveAsResult::Written;
}

void CEditorSession::StoreForm(CTypeFile& holder)
{
    view.StoreControlsToProfile(holder);
    std::string mode;
    if (EncodingModeValue(view.SelectedIndex(Selector::EncodingMode), mode))
        holder.SetValue(keys::kEncodingMode, mode);
    std::string codec;
    if (holder.GetValue(keys::kVideoCodec, codec))
        SetFourccForCodec(holder, fourccTable, codec);
    // An audio-copy profile names no format and carries no audio codec section.
    if (holder.Type() == kAudioOnly && view.IsCopyChecked()) {
        holder.SetValue(keys::kFileFormat, std::string());
        std::string audioCodec;
        if (holder.GetValue(keys::kAudioCodecName, audioCodec))
            holder.GetCurrentProfile()->RemoveCodecSection(keys::kAudioCodecSectionPrefix + audioCodec);
    }
}

FormState CEditorSession::CaptureForm()
{
    FormState state;
    state.device = shownDevice;
    state.outputType = shownOutputType;
    state.fileName = SelectedText(Selector::Profile);
    if (!typeFile.HasCurrentProfile())
        return state;
    CTypeFile scratch;
    scratch.SetCurrentProfile(*typeFile.GetCurrentProfile());
    scratch.SetName(view.ReadText(TextBox::ProfileName));
    StoreForm(scratch);
    state.profile = *scratch.GetCurrentProfile();
    return state;
}

WriteResult CEditorSession::WriteProfile(const std::string& path, const std::string& fileName,
                                         const std::string& profileName)
{
    profile::CProfileFile* current = typeFile.GetCurrentProfile();
    if (current == nullptr)
        return WriteResult::NotWritten;
    if (!MayOverwrite(path))
        return WriteResult::NotWritten;
    const profile::CProfileFile before(*current);

    typeFile.SetFileName(path, FileTitleOfName(fileName));
    typeFile.SetName(profileName);
    StoreForm(typeFile);
    // What this editor writes is never a shipped profile.
    typeFile.SetTag(std::string());

    if (!typeFile.Save(path)) {
        const std::string reason = current->WriteResultText();
        typeFile.SetCurrentProfile(before);
        MessageWithPath(kIdsSaveFailed, path + "\n" + reason, PromptButtons::Ok, PromptIcon::Warning);
        return WriteResult::NotWritten;
    }

    // The file now holds this profile, whatever the library kept for it before.
    library.ForgetProfilesAt(path);
    library.AddProfile(current->device, *current);
    ShowWrittenProfile(current->fileTitle + ".xml");
    view.ShowText(TextBox::ProfilePath, std::string());
    view.ShowText(TextBox::ProfilePath, path);
    EndSave();
    MessageWithPath(kIdsProfileSaved, path, PromptButtons::Ok, PromptIcon::Information);
    return WriteResult::Written;
}

void CEditorSession::ShowWrittenProfile(const std::string& fileName)
{
    const std::vector<std::string> items = view.Items(Selector::Profile);
    for (int i = static_cast<int>(items.size()) - 1; i >= 0; --i) {
        if (items[i] == fileName)
            view.RemoveItem(Selector::Profile, i);
    }
    view.AppendItem(Selector::Profile, fileName);
}

} // namespace editor

