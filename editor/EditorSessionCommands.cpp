// The profile commands (revert, duplicate, rename, delete), what the window shows of
// the profile (its file name, built-in or not) and where the editor was.

#include "editor/EditorSession.h"

#include <algorithm>

#include "editor/StringTable.h"
#include "platform/Platform.h"

namespace editor {

std::string CEditorSession::ShownFileName() const
{
    return typeFile.HasCurrentProfile() ? typeFile.FileTitle() + ".xml" : std::string();
}

std::string CEditorSession::FreeTitle(const std::string& title) const
{
    return FreeFileTitle(title, ProfilesFolder(ProfilesRoot()),
                         [this](const std::string& taken) { return library.HoldsTitle(taken); });
}

void CEditorSession::TellShownProfile()
{
    const bool builtIn = typeFile.HasCurrentProfile() && IsBuiltInProfile(*typeFile.GetCurrentProfile());
    view.ProfileShown(ShownFileName(), builtIn);
}

void CEditorSession::LabelBuiltInProfiles()
{
    const std::vector<std::string> items = view.Items(Selector::Profile);
    const std::string mark = " " + LoadString(kIdsBuiltInMark);
    for (std::size_t i = 0; i < items.size(); ++i) {
        // A file another program rewrote may have become built-in, or stopped being it.
        const profile::CProfileFile* found = library.FindEntry(shownDevice, items[i]);
        const bool builtIn = found != nullptr && IsBuiltInProfile(*found);
        view.LabelItem(Selector::Profile, static_cast<int>(i), builtIn ? items[i] + mark : items[i]);
    }
}

std::string CEditorSession::CommandRefusal(Command command) const
{
    if (!typeFile.HasCurrentProfile() || !IsBuiltInProfile(*typeFile.GetCurrentProfile()))
        return {};
    switch (command) {
    case Command::Rename: return LoadString(kIdsBuiltInNoRename);
    case Command::Delete: return LoadString(kIdsBuiltInNoDelete);
    case Command::Revert:
    case Command::Duplicate: break;
    }
    return {};
}

bool CEditorSession::RefuseCommand(Command command)
{
    if (!typeFile.HasCurrentProfile())
        return true;
    const std::string refusal = CommandRefusal(command);
    if (refusal.empty())
        return false;
    Message(refusal, PromptButtons::Ok, PromptIcon::Information);
    return true;
}

void CEditorSession::RevertToSaved()
{
    if (!typeFile.HasCurrentProfile())
        return;
    CommitEdit();
    if (changed &&
        MessageWithPath(kIdsRevertQuestion, typeFile.FilePath(), PromptButtons::OkCancel, PromptIcon::Question) !=
            kIdOk)
        return;
    // The edits are given up; whatever another program did to the folder is taken in
    // first (a changed file of the shown profile is then reloaded without asking), so
    // "saved" is what the file holds now.
    const std::string fileName = ShownFileName();
    ShowChangedState(false);
    ProfilesFolderChanged();
    const std::vector<std::string> items = view.Items(Selector::Profile);
    if (std::find(items.begin(), items.end(), fileName) == items.end())
        return;   // the file went, and the folder change showed another profile
    SelectText(Selector::Profile, fileName);
    LoadProfile(shownDevice, fileName, shownOutputType);
}

void CEditorSession::Duplicate()
{
    if (!typeFile.HasCurrentProfile() || RefuseEmptyProfileName())
        return;
    CommitEdit();
    if (ProfilesRoot().empty()) {
        Message(LoadString(kIdsNoProfilesFolder), PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    // What the form shows, unsaved edits included; the original file stays as it is.
    profile::CProfileFile copy = CaptureForm().profile;
    copy.name = FormatString(kIdsCopyName, copy.name);
    copy.tag.clear();
    const std::string title = FreeTitle(copy.device + "." + copy.name);
    const std::string path = ProfileFilePath(ProfilesRoot(), title);
    copy.SetFileName(path, title);
    if (!copy.Save(path)) {
        MessageWithPath(kIdsSaveFailed, path + "\n" + copy.WriteResultText(), PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    RememberFile(path);
    library.AddProfile(copy.device, copy);
    const std::string fileName = title + ".xml";
    {
        const CSuppressChanges adding(*this);
        ShowWrittenProfile(fileName);
        SelectLastProfile();
    }
    LoadProfile(shownDevice, fileName, shownOutputType);
}

void CEditorSession::Rename()
{
    if (RefuseCommand(Command::Rename))
        return;
    std::string name = view.ReadText(TextBox::ProfileName);
    if (prompt.AskText(LoadString(kIdsRenamePrompt), LoadString(kIdsRenameCaption), name))
        RenameTo(name);
}

bool CEditorSession::RenameTo(const std::string& newName)
{
    if (!typeFile.HasCurrentProfile() || !CommandRefusal(Command::Rename).empty())
        return false;
    CommitEdit();
    // The name becomes part of the file name, by the rule device names follow.
    if (!IsValidDeviceName(newName)) {
        MessageWithPath(kIdsBadProfileName, newName, PromptButtons::Ok, PromptIcon::Warning);
        return false;
    }
    if (ProfilesRoot().empty()) {
        Message(LoadString(kIdsNoProfilesFolder), PromptButtons::Ok, PromptIcon::Warning);
        return false;
    }
    const std::string oldPath = typeFile.FilePath();
    const std::string oldFileName = ShownFileName();
    const std::string title = typeFile.Device() + "." + newName;
    const std::string path = ProfileFilePath(ProfilesRoot(), title);
    const bool sameFile = title == typeFile.FileTitle();
    if (!sameFile && (EntryExists(path) || library.HoldsTitle(title))) {
        Message(FormatString(kIdsNameTaken, title + ".xml"), PromptButtons::Ok, PromptIcon::Warning);
        return false;
    }

    // The file is renamed as it was saved: its content is read again, and the edits in
    // the form stay edits of the renamed profile.
    profile::CProfileFile saved;
    saved.CreateDefault();
    const bool onDisk = IsRegularFile(oldPath) && LoadProfileFile(oldPath, saved);
    if (!onDisk && !library.FindProfile(shownDevice, oldFileName, saved))
        saved = *typeFile.GetCurrentProfile();
    saved.name = newName;
    saved.SetFileName(path, title);
    if (onDisk) {
        if (!saved.Save(path)) {
            MessageWithPath(kIdsRenameFailed, path + "\n" + saved.WriteResultText(), PromptButtons::Ok,
                            PromptIcon::Warning);
            return false;
        }
        RememberFile(path);
        if (!sameFile) {
            RemoveFileOrSchedule(oldPath);
            knownFiles.erase(oldPath);
        }
    }
    library.ForgetProfilesAt(oldPath);
    library.AddProfile(saved.device, saved);
    loadedProfile.CopyFrom(saved);
    typeFile.SetFileName(path, title);
    typeFile.SetName(newName);
    {
        const CSuppressChanges showing(*this);
        RefreshProfileSelector();
        SelectText(Selector::Profile, title + ".xml");
        view.ShowText(TextBox::ProfilePath, path);
        view.ShowText(TextBox::ProfileName, newName);
    }
    // Earlier steps hold the old name; the history starts again from the renamed form.
    FormState form;
    std::string text;
    CaptureStep(form, text);
    history.Reset(std::move(form), std::move(text), !changed);
    RememberShownFile();
    TellHistory();
    TellShownProfile();
    return true;
}

void CEditorSession::Delete()
{
    if (RefuseCommand(Command::Delete))
        return;
    const std::string path = typeFile.FilePath();
    const std::string fileName = ShownFileName();
    if (MessageWithPath(kIdsDeleteQuestion, path, PromptButtons::OkCancel, PromptIcon::Question) != kIdOk)
        return;
    std::string reason;
    if (library.DeleteProfileFile(fileName, reason) == FileDisposal::Failed) {
        MessageWithPath(kIdsDeleteFailed, path + "\n" + reason, PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    knownFiles.erase(path);

    std::vector<std::string> items = view.Items(Selector::Profile);
    const auto found = std::find(items.begin(), items.end(), fileName);
    const std::size_t index = static_cast<std::size_t>(found - items.begin());
    if (found != items.end()) {
        const CSuppressChanges removing(*this);
        view.RemoveItem(Selector::Profile, static_cast<int>(index));
        items.erase(found);
    }
    if (items.empty()) {
        // A device always has a profile of each type, as at start.
        AddDefaultProfiles(library, shownDevice, programFolder, ProfilesRoot());
        SelectDevice(shownDevice, shownOutputType);
        return;
    }
    const std::string next = items[std::min(index, items.size() - 1)];
    SelectText(Selector::Profile, next);
    LoadProfile(shownDevice, next, shownOutputType);
}

EditorPlace CEditorSession::Place() const
{
    EditorPlace place;
    place.device = shownDevice;
    place.outputType = shownOutputType;
    place.profile = SelectedText(Selector::Profile);
    return place;
}

void CEditorSession::ReturnTo(const EditorPlace& place)
{
    const std::vector<std::string> devices = view.Items(Selector::Device);
    if (place.device.empty() || std::find(devices.begin(), devices.end(), place.device) == devices.end())
        return;
    const int outputType = place.outputType == kAudioOnly ? kAudioOnly : kVideoAndAudio;
    SelectText(Selector::Device, place.device);
    view.ShowOutputType(outputType);
    {
        const CSuppressChanges switching(*this);
        if (outputType == kAudioOnly)
            view.ClearVideoControls();
        view.EnableGroup(ControlGroup::Video, outputType == kVideoAndAudio);
    }
    SelectDevice(place.device, outputType);
    if (!place.profile.empty() && place.profile != SelectedText(Selector::Profile) &&
        SelectText(Selector::Profile, place.profile))
        LoadProfile(place.device, place.profile, outputType);
}

} // namespace editor
