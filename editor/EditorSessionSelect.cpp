// What the user chooses to edit: the device, the output type and the profile; and the
// selectors that follow the output file format and the audio copy switch.

#include "editor/EditorSession.h"

#include "editor/ProfileKeys.h"
#include "editor/StringTable.h"
#include "platform/Platform.h"

namespace editor {

void CEditorSession::SelectDevice(const std::string& device, int outputType)
{
    shownDevice = device;
    shownOutputType = outputType;
    const std::vector<std::string> names = ProfileNames(device, outputType);
    {
        const CSuppressChanges filling(*this);
        view.FillSelector(Selector::Profile, names);
        LabelBuiltInProfiles();
    }
    LoadProfile(device, SelectedText(Selector::Profile), outputType);
}

std::vector<std::string> CEditorSession::ProfileNames(const std::string& device, int outputType) const
{
    std::vector<std::string> names;
    library.VisitProfiles(device, outputType,
                          [&names](const profile::CProfileFile& profile) { names.push_back(profile.fileTitle + ".xml"); });
    return names;
}

void CEditorSession::LoadProfile(const std::string& device, const std::string& fileName, int outputType)
{
    {
        const CSuppressChanges filling(*this);
        const profile::CProfileFile* found = fileName.empty() ? nullptr : library.FindEntry(device, fileName);
        if (found != nullptr) {
            loadedProfile.CopyFrom(*found);
            typeFile.SetCurrentProfile(*found);
            ShowCurrentProfile(outputType);
        } else {
            ShowNoProfile();
        }
    }
    EndFill();
}

void CEditorSession::ShowNoProfile()
{
    // Showing none keeps edits, Save and Remove Device from reaching the profile of
    // the device shown before.
    view.ClearProfileControls();
    ForgetAudioLists();
    loadedProfile = profile::CProfileFile();
    loadedProfile.CreateDefault();
    typeFile.ClearCurrentProfile();
    for (ControlGroup group : {ControlGroup::Profile, ControlGroup::Video, ControlGroup::Audio})
        view.EnableGroup(group, false);
}

void CEditorSession::ShowCurrentProfile(int outputType)
{
    {
        view.ClearProfileControls();
        ForgetAudioLists();
        view.EnableGroup(ControlGroup::Profile, true);
        view.EnableGroup(ControlGroup::Video, outputType == kVideoAndAudio);

        std::string copy;
        if (typeFile.GetValue(keys::kAudioCopy, copy)) {
            if (copy == "0") {
                view.ShowCopyChecked(false);
                view.EnableGroup(ControlGroup::Audio, true);
            } else if (copy == "1") {
                view.ShowCopyChecked(true);
                view.EnableGroup(ControlGroup::Audio, false);
            }
        }

        view.LoadProfileToControls(typeFile);

        FillFormats(outputType);
        SelectFormat();
        FillVideoCodecs(outputType);
        SelectVideoCodec();
        FillAudioCodecs(outputType);
        SelectAudioCodec();
        FillEncodingModes(outputType);

        // The load pass showed the file name here; the box holds the profile's name.
        view.ShowText(TextBox::ProfileName, std::string());
        view.ShowText(TextBox::ProfileName, typeFile.Name());

        if (outputType == kAudioOnly && SelectedText(Selector::Format) == kCopyFormat)
            view.ShowCopyChecked(true);

        ApplyCopyState();
    }
}

void CEditorSession::ForgetAudioLists()
{
    audioListsShown = false;
    audioBeforeCopy.reset();
}

void CEditorSession::FillFormats(int outputType)
{
    view.FillSelector(Selector::Format, outputType == kVideoAndAudio ? FormatItems(containerTable)
                                                                     : AudioFormatItems(audioContainerTable));
}

void CEditorSession::SelectFormat()
{
    std::string format;
    if (typeFile.GetValue(keys::kFileFormat, format)) {
        const std::vector<std::string> items = view.Items(Selector::Format);
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (CompareNoCase(items[i], format.c_str()) == 0) {
                view.SelectIndex(Selector::Format, static_cast<int>(i));
                break;
            }
        }
    }
    if (view.SelectedIndex(Selector::Format) < 0 && !view.Items(Selector::Format).empty())
        view.SelectIndex(Selector::Format, 0);
}

void CEditorSession::FillVideoCodecs(int outputType)
{
    if (outputType == kAudioOnly || view.SelectedIndex(Selector::Format) < 0)
        return;
    view.FillSelector(Selector::VideoCodec,
                      CodecItemsForFormat(containerTable, SelectedText(Selector::Format), false));
}

void CEditorSession::SelectVideoCodec()
{
    std::string codec;
    if (typeFile.HasValue(keys::kVideoCodec) && typeFile.GetValue(keys::kVideoCodec, codec))
        SelectText(Selector::VideoCodec, codec);
    if (view.SelectedIndex(Selector::VideoCodec) < 0 && !view.Items(Selector::VideoCodec).empty())
        view.SelectIndex(Selector::VideoCodec, 0);
}

void CEditorSession::FillAudioCodecs(int outputType)
{
    if (view.SelectedIndex(Selector::Format) < 0)
        return;
    const std::string format = SelectedText(Selector::Format);
    std::vector<std::string> codecs;
    if (outputType == kVideoAndAudio)
        codecs = CodecItemsForFormat(containerTable, format, true);
    else
        AudioCodecsForFormat(audioContainerTable, format, codecs);
    view.FillSelector(Selector::AudioCodec, codecs);
}

void CEditorSession::SelectAudioCodec()
{
    std::string codec;
    if (typeFile.GetValue(keys::kAudioCodec, codec))
        SelectText(Selector::AudioCodec, codec);
    if (view.SelectedIndex(Selector::AudioCodec) < 0 && !view.Items(Selector::AudioCodec).empty())
        view.SelectIndex(Selector::AudioCodec, 0);
}

void CEditorSession::FillEncodingModes(int outputType)
{
    if (outputType == kAudioOnly)
        return;
    view.FillSelector(Selector::EncodingMode, EncodingModeItems());
    std::string mode;
    typeFile.GetValue(keys::kEncodingMode, mode);
    view.SelectIndex(Selector::EncodingMode, EncodingModeIndex(mode));
}

void CEditorSession::ApplyCopyState()
{
    MarkChanged();
    view.EnableGroup(ControlGroup::Audio, true);
    if (view.IsCopyChecked()) {
        if (audioListsShown && typeFile.HasCurrentProfile()) {
            CTypeFile shown;
            shown.SetCurrentProfile(*typeFile.GetCurrentProfile());
            view.StoreAudioLists(shown);
            audioBeforeCopy = *shown.GetCurrentProfile();
            audioCodecBeforeCopy = SelectedText(Selector::AudioCodec);
        }
        audioListsShown = false;
        view.FillSelector(Selector::AudioCodec, {});
        view.ClearAudioLists();
        view.EnableGroup(ControlGroup::Audio, false);
        return;
    }
    FillAudioCodecs(OutputType());
    SelectAudioCodec();
    // Lists on show (a format change) stay as the user made them; lists taken away by
    // the copy switch come back as they were; only a load reads them from the profile.
    if (audioBeforeCopy) {
        CTypeFile before;
        before.SetCurrentProfile(*audioBeforeCopy);
        view.LoadAudioLists(before);
        SelectText(Selector::AudioCodec, audioCodecBeforeCopy);
        audioBeforeCopy.reset();
    } else if (!audioListsShown) {
        view.LoadAudioLists(typeFile);
    }
    audioListsShown = true;
}

void CEditorSession::DeviceChosen()
{
    const std::string chosen = SelectedText(Selector::Device);
    // Choosing the device whose profiles are listed already changes nothing, and
    // must not cost the edits of the profile shown.
    if (view.SelectedIndex(Selector::Device) < 0 || chosen == shownDevice)
        return;
    if (PromptSaveChanges(kIdsSaveChanged, shownOutputType) == PromptResult::Stay) {
        SelectText(Selector::Device, typeFile.Device());
        return;
    }
    SelectDevice(chosen, OutputType());
}

void CEditorSession::ProfileChosen()
{
    const std::string chosen = SelectedText(Selector::Profile);
    // The selector lists file names; the shown profile is found by its own.
    const std::string shown = typeFile.HasCurrentProfile() ? typeFile.FileTitle() + ".xml" : std::string();
    if (typeFile.HasCurrentProfile() && chosen == shown)
        return;
    if (PromptSaveChanges(kIdsSaveChanged, shownOutputType) == PromptResult::Stay) {
        SelectText(Selector::Profile, shown);
        return;
    }
    // Saving may have moved items; the choice is found again by its text.
    SelectText(Selector::Profile, chosen);
    LoadProfile(SelectedText(Selector::Device), chosen, OutputType());
}

bool CEditorSession::MayLeaveShownType(int outputType)
{
    // A click on the type already shown changes nothing.
    if (OutputType() != outputType || shownOutputType == outputType)
        return false;
    // The profile being left is of the type shown, and a Save As keeps it so.
    if (PromptSaveChanges(kIdsSaveChanged, shownOutputType) == PromptResult::Stay) {
        view.ShowOutputType(shownOutputType);
        return false;
    }
    return true;
}

void CEditorSession::VideoAndAudioChosen()
{
    if (!MayLeaveShownType(kVideoAndAudio))
        return;
    view.EnableGroup(ControlGroup::Video, true);
    SelectDevice(CurrentDevice(), kVideoAndAudio);
}

void CEditorSession::AudioOnlyChosen()
{
    if (!MayLeaveShownType(kAudioOnly))
        return;
    {
        const CSuppressChanges clearing(*this);
        view.ClearVideoControls();
        view.EnableGroup(ControlGroup::Video, false);
    }
    SelectDevice(CurrentDevice(), kAudioOnly);
}

void CEditorSession::FormatChosen()
{
    const int outputType = OutputType();
    if (outputType == kVideoAndAudio) {
        FillVideoCodecs(kVideoAndAudio);
        SelectVideoCodec();
    }
    if (!view.IsCopyChecked()) {
        FillAudioCodecs(outputType);
        SelectAudioCodec();
    }
    if (outputType == kAudioOnly) {
        view.ShowCopyChecked(SelectedText(Selector::Format) == kCopyFormat);
        ApplyCopyState();
    }
    MarkChanged();
}

} // namespace editor
