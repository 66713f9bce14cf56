// Adding a device (with default profiles of both output types) and removing one (with
// its profile files).

#include "editor/EditorSession.h"

#include <algorithm>

#include "editor/StringTable.h"
#include "platform/Platform.h"

namespace editor {

void CEditorSession::AddDevice()
{
    const std::string name = view.ReadText(TextBox::DeviceName);
    if (name.empty())
        return;
    // The name becomes part of the new profiles' file names.
    if (!IsValidDeviceName(name)) {
        MessageWithPath(kIdsBadDeviceName, name, PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    // Two devices that differ only in case would look like one in every list.
    if (const std::string existing = DeviceDifferingInCase(view.Items(Selector::Device), name); !existing.empty()) {
        Message(FormatString(kIdsDeviceExists, existing), PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    if (PromptSaveChanges(kIdsSaveChanged, shownOutputType) == PromptResult::Stay) {
        view.ShowText(TextBox::DeviceName, std::string());
        view.ShowText(TextBox::DeviceName, typeFile.Device());
        return;
    }

    const int outputType = OutputType();
    if (library.HasProfileOfType(name, outputType)) {
        SelectText(Selector::Device, name);
        SelectDevice(name, outputType);
        return;
    }

    // Free file names for both: two templates with the same suffix must not give the
    // device's two profiles one file.
    AddDefaultProfiles(library, name, programFolder, ProfilesRoot());

    // A device the selector lists without profiles of this type is not listed twice.
    if (!SelectText(Selector::Device, name)) {
        view.AppendItem(Selector::Device, name);
        view.SelectIndex(Selector::Device, static_cast<int>(view.Items(Selector::Device).size()) - 1);
    }
    SelectDevice(name, outputType);
    // The new device's profiles exist only in the library until they are saved.
    SetChangedState(true);
}

void CEditorSession::RemoveDevice()
{
    // The selected device, whatever the form shows (it may show no profile at all).
    const int index = view.SelectedIndex(Selector::Device);
    const std::string device = SelectedText(Selector::Device);
    if (index < 0)
        return;

    // What goes, each file once; a default profile that was never saved has none.
    std::vector<std::string> paths;
    std::string builtIn;
    for (int type : {kVideoAndAudio, kAudioOnly}) {
        std::vector<profile::CProfileFile> profiles;
        library.CollectProfiles(device, type, profiles);
        for (const profile::CProfileFile& removed : profiles) {
            if (!EntryExists(removed.filePath) ||
                std::find(paths.begin(), paths.end(), removed.filePath) != paths.end())
                continue;
            paths.push_back(removed.filePath);
            if (IsBuiltInProfile(removed))
                builtIn += (builtIn.empty() ? "" : ", ") + LastPathPart(removed.filePath);
        }
    }
    std::string question = FormatString(kIdsRemoveDevice, device) + "\n\n" +
                           FormatString(kIdsRemoveDeviceFiles, std::to_string(paths.size()));
    if (!builtIn.empty())
        question += "\n" + FormatString(kIdsRemoveDeviceBuiltIn, builtIn);
    if (Message(question, PromptButtons::OkCancel, PromptIcon::Warning) != kIdOk)
        return;

    std::string failures;
    for (const std::string& path : paths) {
        std::string reason;
        if (DiscardFile(path, reason) == FileDisposal::Failed)
            failures += "\n\n" + path + "\n" + reason;
        else
            library.ForgetProfilesAt(path);
    }
    if (!failures.empty()) {
        // The device stays with the profiles whose files are still there.
        Message(LoadString(kIdsRemoveFailed, kMessageLength) + failures, PromptButtons::Ok, PromptIcon::Warning);
        SelectDevice(device, OutputType());
        return;
    }
    library.RemoveDevice(device);

    view.RemoveItem(Selector::Device, index);
    const std::vector<std::string> left = view.Items(Selector::Device);
    if (left.empty()) {
        view.ShowText(TextBox::DeviceName, std::string());
        return;
    }
    view.SelectIndex(Selector::Device, 0);
    SelectDevice(left.front(), OutputType());
}

} // namespace editor
