// How edits reach the disk: the question before another profile is shown, Save,
// Save As and the write behind both. A write goes to a temporary file first, so a
// failed save leaves the old file, the library and the selector as they were.

#include "ui/OrreryDlg.h"

#include <QCheckBox>
#include <QComboBox>

#include "platform/Platform.h"
#include "ui/ControlBinding.h"
#include "ui/DialogItems.h"
#include "ui/StringTable.h"

namespace {

constexpr const char* kProfileFilter = "Kestro Profiles file(*.xml)";
constexpr const char* kProfileExtension = "xml";

void SelectLastItem(QComboBox* combo)
{
    combo->setCurrentIndex(combo->count() - 1);
}

} // namespace

int COrreryDlg::PromptSaveChanges(int messageId, int outputType)
{
    // A device without profiles shows nothing that could be saved.
    if (!typeFile.HasCurrentProfile())
        return kPromptGoAhead;
    const std::string path = typeFile.FilePath();
    const std::string fileName = LastPathPart(PathBoxText());
    const std::string profileName = ProfileNameText();

    if (profileName.empty()) {
        const int answer = MessageWithPath(kIdsEmptyProfileName, path, PromptButtons::OkCancel, PromptIcon::Warning);
        return answer == kIdOk ? kPromptStay : kPromptGoAhead;
    }
    if (!changed)
        return kPromptGoAhead;
    if (editor::IsBuiltInProfile(*typeFile.GetCurrentProfile())) {
        if (MessageWithPath(kIdsBuiltInProfile, path, PromptButtons::YesNo, PromptIcon::Question) != kIdYes)
            return kPromptGoAhead;
        switch (SaveAs(outputType)) {
        case kSaveWritten: return kPromptSaved;
        case kSaveCancelled: return kPromptGoAhead;
        default: return kPromptStay;   // the edits are still only in the window
        }
    }
    if (MessageWithPath(messageId, path, PromptButtons::YesNo, PromptIcon::Question) != kIdYes)
        return kPromptGoAhead;
    return WriteProfile(path, fileName, profileName) == 0 ? kPromptSaved : kPromptStay;
}

bool COrreryDlg::RefuseEmptyProfileName()
{
    if (!ProfileNameText().empty())
        return false;
    MessageWithPath(kIdsEmptyProfileName, typeFile.FilePath(), PromptButtons::Ok, PromptIcon::Warning);
    SetEditBoxText(GetDlgItem(kIdcProfileName), ToQt(typeFile.Name()));
    return true;
}

void COrreryDlg::OnSave()
{
    if (!typeFile.HasCurrentProfile())
        return;
    const std::string pathText = PathBoxText();
    // The path is a file name, never a pattern: "a*.xml" is that one file.
    if (!changed && IsRegularFile(pathText))
        return;
    const std::string profileName = ProfileNameText();
    const std::string fileName = LastPathPart(pathText);
    const std::string path = typeFile.FilePath();

    if (RefuseEmptyProfileName())
        return;
    if (editor::IsBuiltInProfile(*typeFile.GetCurrentProfile()) && changed) {
        if (MessageWithPath(kIdsBuiltInProfile, path, PromptButtons::YesNo, PromptIcon::Question) == kIdYes) {
            if (SaveAs(OutputType()) == kSaveWritten)
                SelectLastItem(Item<QComboBox>(kIdcProfileSelector));
            return;
        }
    }
    if (MessageWithPath(kIdsSaveChanged, path, PromptButtons::YesNo, PromptIcon::Question) != kIdYes)
        return;
    if (WriteProfile(path, fileName, profileName) == 0)
        SelectLastItem(Item<QComboBox>(kIdcProfileSelector));
}

void COrreryDlg::OnSaveAs()
{
    if (!typeFile.HasCurrentProfile())
        return;
    if (RefuseEmptyProfileName())
        return;
    if (SaveAs(OutputType()) == kSaveWritten)
        SelectLastItem(Item<QComboBox>(kIdcProfileSelector));
}

int COrreryDlg::SaveAs(int outputType)
{
    if (!typeFile.HasCurrentProfile())
        return kSaveCancelled;
    SaveFileRequest request;
    request.initialFolder = editor::ProfilesFolder(ProfilesRoot());
    request.initialFileName = LastPathPart(PathBoxText());
    request.defaultExtension = kProfileExtension;
    request.filter = kProfileFilter;
    request.confirmOverwrite = true;
    SaveFileAnswer answer;
    if (!prompt->SaveFile(request, answer))
        return kSaveCancelled;
    const std::string profileName = ProfileNameText();

    // The new file is the device's default profile of the type with the controls'
    // values; settings no control shows come from the template.
    const profile::CProfileFile shown(*typeFile.GetCurrentProfile());
    profile::CProfileFile fresh;
    editor::CreateDeviceProfile(shown.device, fresh, programFolder, ProfilesRoot(), outputType);
    typeFile.SetCurrentProfile(fresh);
    if (WriteProfile(answer.path, answer.fileName, profileName) != 0) {
        typeFile.SetCurrentProfile(shown);
        return kSaveFailed;
    }
    return kSaveWritten;
}

int COrreryDlg::WriteProfile(const std::string& path, const std::string& fileName, const std::string& profileName)
{
    profile::CProfileFile* current = typeFile.GetCurrentProfile();
    if (current == nullptr)
        return 1;
    const profile::CProfileFile before(*current);

    typeFile.SetFileName(path, editor::FileTitleOfName(fileName));
    typeFile.SetName(profileName);
    StoreControlsToProfile(&typeFile, this);
    std::string mode;
    if (editor::EncodingModeValue(Item<QComboBox>(kIdcEncodingMode)->currentIndex(), mode))
        typeFile.SetValue("common.video.encode.mode.value", mode);
    std::string codec;
    if (typeFile.GetValue("common.video.encode.codec", codec))
        editor::SetFourccForCodec(typeFile, fourccTable, codec);
    // An audio-copy profile names no format and carries no audio codec section.
    if (typeFile.Type() == editor::kAudioOnly && Item<QCheckBox>(kIdcCopySource)->isChecked()) {
        typeFile.SetValue("common.file.format", std::string());
        std::string audioCodec;
        if (typeFile.GetValue("acodec.name", audioCodec))
            current->RemoveCodecSection("acodec." + audioCodec);
    }
    // What this editor writes is never a shipped profile.
    typeFile.SetTag(std::string());

    if (!typeFile.Save(path)) {
        const std::string reason = current->WriteResultText();
        typeFile.SetCurrentProfile(before);
        MessageWithPath(kIdsSaveFailed, path + "\n" + reason, PromptButtons::Ok, PromptIcon::Warning);
        return 1;
    }

    // The file now holds this profile, whatever the library kept for it before.
    library.ForgetProfilesAt(path);
    library.AddProfile(current->device, *current);
    auto* profiles = Item<QComboBox>(kIdcProfileSelector);
    const QString item = ToQt(current->fileTitle + ".xml");
    for (int i = profiles->count() - 1; i >= 0; --i) {
        if (profiles->itemText(i) == item)
            profiles->removeItem(i);
    }
    profiles->addItem(item);
    QWidget* pathBox = GetDlgItem(kIdcProfilePath);
    SetEditBoxText(pathBox, QString());
    SetEditBoxText(pathBox, ToQt(path));
    changed = false;
    suppressChange = false;
    MessageWithPath(kIdsProfileSaved, path, PromptButtons::Ok, PromptIcon::Information);
    return 0;
}
