// Adding a device (with default profiles of both output types) and removing one (with
// its profile files).

#include "editor/EditorSession.h"

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

    profile::CProfileFile video;
    profile::CProfileFile audio;
    CreateDeviceProfile(name, video, programFolder, ProfilesRoot(), kVideoAndAudio);
    CreateDeviceProfile(name, audio, programFolder, ProfilesRoot(), kAudioOnly);
    library.AddProfileIfNoType(name, kVideoAndAudio, video);
    library.AddProfileIfNoType(name, kAudioOnly, audio);
    const profile::CProfileFile& shown = outputType == kAudioOnly ? audio : video;
    loadedProfile.CopyFrom(shown);
    typeFile.SetCurrentProfile(shown);

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
    const std::vector<std::string> devices = view.Items(Selector::Device);
    if (devices.empty())
        return;
    const std::string device = CurrentDevice();
    if (Message(FormatString(kIdsRemoveDevice, device), PromptButtons::OkCancel, PromptIcon::Warning) != kIdOk)
        return;

    for (int type : {kVideoAndAudio, kAudioOnly}) {
        std::vector<profile::CProfileFile> profiles;
        library.CollectProfiles(device, type, profiles);
        for (const profile::CProfileFile& removed : profiles) {
            // A default profile that was never saved has no file yet.
            if (!removed.filePath.empty())
                RemoveFileOrSchedule(removed.filePath);
        }
    }
    library.RemoveDevice(device);

    int index = -1;
    for (std::size_t i = 0; i < devices.size() && index < 0; ++i) {
        if (devices[i] == device)
            index = static_cast<int>(i);
    }
    if (index < 0)
        index = view.SelectedIndex(Selector::Device);
    if (index >= 0)
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
