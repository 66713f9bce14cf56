// The session's start-up, its change state and the message boxes every workflow uses.

#include "editor/EditorSession.h"

#include "editor/StringTable.h"
#include "platform/MyRegKey.h"
#include "platform/Platform.h"

namespace editor {

CEditorSession::CEditorSession(CEditorView& view, CPrompt& prompt) : view(view), prompt(prompt)
{
    loadedProfile.CreateDefault();
    configReader.CreateDefault();
}

void CEditorSession::Start(const std::string& executableFolder)
{
    const EditorFolders folders = executableFolder.empty() ? LocateFolders() : LocateFolders(executableFolder);
    installFolder = folders.installFolder;
    programFolder = folders.programFolder;
    profilesRoot = folders.ProfilesRoot();
    // Deletions that could not be done last time are done before anything reads the
    // folder they were in.
    TidyProfilesFolder(folders);
    NoteFolderProblem(folders);

    configReader.Load(ConfigurationPath(programFolder));
    BuildContainerTable(configReader, containerTable);
    view.ShowText(TextBox::ProfilePath, configReader.filePath);

    std::vector<std::string> devices = ChoiceItems(ChoiceKind::Devices, configReader);
    view.FillSelector(Selector::FrameRateChooser, ChoiceItems(ChoiceKind::FrameRates, configReader));
    view.FillSelector(Selector::AudioBitrateChooser, ChoiceItems(ChoiceKind::AudioBitrates, configReader));
    view.FillSelector(Selector::SampleRateChooser, ChoiceItems(ChoiceKind::SampleRates, configReader));
    BuildFourccTable(configReader, fourccTable);
    BuildAudioContainerTable(configReader, audioContainerTable);

    // The folder as the library took it in: the scan stamps each file as it reads it
    // (and gives no stamps without a profiles root).
    library.ScanProfiles(ProfilesPattern(ProfilesRoot()), knownFiles);

    for (std::string& device :
         CompleteDevices(library, devices, folders.TemplateFolder(), folders.ProfilesRoot()))
        devices.push_back(std::move(device));
    view.FillSelector(Selector::Device, devices);

    view.ClearProfileControls();
    SelectDevice(SelectedText(Selector::Device), kVideoAndAudio);
}

void CEditorSession::NoteFolderProblem(const EditorFolders& folders)
{
    if (folders.state == ProfilesFolderState::Usable)
        return;
    const int stringId =
        folders.state == ProfilesFolderState::NotCreated ? kIdsProfilesNotCreated : kIdsProfilesNotReadable;
    startupProblem = LoadString(stringId, kMessageLength) + "\n\n" + folders.problemFolder + "\n" + folders.reason +
                     "\n\n" + FormatString(kIdsProfilesFolderHint, RegistryKeyFilePath(kHkeyCurrentUser, kSettingsKey));
}

void CEditorSession::ReportStartupProblem()
{
    if (!startupProblem.empty())
        Message(startupProblem, PromptButtons::Ok, PromptIcon::Warning);
}

void CEditorSession::SetChanged(bool value)
{
    SetChangedState(value);
}

void CEditorSession::SetChangedState(bool value)
{
    // Changed by no edit of the form (a new device's profiles exist only here): no
    // step of the history is what a file holds any more.
    if (value && !editPending)
        history.ForgetClean();
    ShowChangedState(value);
}

void CEditorSession::ShowChangedState(bool value)
{
    if (changed == value)
        return;
    changed = value;
    view.ChangedStateChanged(changed);
}

int CEditorSession::Message(const std::string& text, PromptButtons buttons, PromptIcon icon)
{
    return prompt.MessageBox(text, LoadString(kIdsMessageCaption, kCaptionLength), buttons, icon);
}

int CEditorSession::MessageWithPath(int stringId, const std::string& path, PromptButtons buttons, PromptIcon icon)
{
    return Message(LoadString(stringId, kMessageLength) + "\n\n" + path, buttons, icon);
}

std::string CEditorSession::CurrentDevice() const
{
    return typeFile.HasCurrentProfile() ? typeFile.Device() : SelectedText(Selector::Device);
}

std::string CEditorSession::SelectedText(Selector selector) const
{
    const int index = view.SelectedIndex(selector);
    const std::vector<std::string> items = view.Items(selector);
    return index >= 0 && index < static_cast<int>(items.size()) ? items[index] : std::string();
}

bool CEditorSession::SelectText(Selector selector, const std::string& text)
{
    const std::vector<std::string> items = view.Items(selector);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) {
            view.SelectIndex(selector, static_cast<int>(i));
            return true;
        }
    }
    return false;
}

} // namespace editor
