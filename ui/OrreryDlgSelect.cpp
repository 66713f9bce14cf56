// What the user chooses to edit: the device, the output type and the profile, adding
// and removing devices; and the controls that follow the output file format, the
// audio copy switch and the video bitrate.

#include "ui/OrreryDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

#include <vector>

#include "controls/FieldNumericEdit.h"
#include "controls/SkinListCtrl.h"
#include "platform/Platform.h"
#include "ui/ControlBinding.h"
#include "ui/DialogItems.h"
#include "ui/StringTable.h"

std::string COrreryDlg::CurrentDevice() const
{
    return typeFile.HasCurrentProfile() ? typeFile.Device() : ToStd(Item<QComboBox>(kIdcDeviceSelector)->currentText());
}

std::string COrreryDlg::PathBoxText() const
{
    return ToStd(EditBoxText(GetDlgItem(kIdcProfilePath)));
}

std::string COrreryDlg::ProfileNameText() const
{
    return ToStd(EditBoxText(GetDlgItem(kIdcProfileName)));
}

void COrreryDlg::ShowOutputType(int outputType)
{
    if (outputType == editor::kVideoAndAudio)
        Item<QRadioButton>(kIdcVideoAndAudio)->setChecked(true);
    else
        Item<QRadioButton>(kIdcAudioOnly)->setChecked(true);
}

void COrreryDlg::OnDeviceChanged()
{
    auto* devices = Item<QComboBox>(kIdcDeviceSelector);
    // Choosing the device whose profiles are listed already changes nothing, and
    // must not cost the edits of the profile shown.
    if (devices->currentIndex() < 0 || ToStd(devices->currentText()) == shownDevice)
        return;
    if (PromptSaveChanges(kIdsSaveChanged, shownOutputType) == kPromptStay) {
        SelectItemText(devices, typeFile.Device());
        return;
    }
    suppressChange = true;
    SelectDevice(ToStd(devices->currentText()), OutputType());
}

void COrreryDlg::OnProfileChanged()
{
    auto* profiles = Item<QComboBox>(kIdcProfileSelector);
    const std::string chosen = ToStd(profiles->currentText());
    // The selector lists file names; the shown profile is found by its own.
    const std::string shown = typeFile.HasCurrentProfile() ? typeFile.FileTitle() + ".xml" : std::string();
    if (typeFile.HasCurrentProfile() && chosen == shown)
        return;
    if (PromptSaveChanges(kIdsSaveChanged, shownOutputType) == kPromptStay) {
        SelectItemText(profiles, shown);
        return;
    }
    // Saving may have moved items; the choice is found again by its text.
    SelectItemText(profiles, chosen);
    suppressChange = true;
    LoadProfile(ToStd(Item<QComboBox>(kIdcDeviceSelector)->currentText()), chosen, OutputType());
}

void COrreryDlg::OnAddDevice()
{
    QWidget* nameBox = GetDlgItem(kIdcDeviceName);
    const std::string name = ToStd(EditBoxText(nameBox));
    if (name.empty())
        return;
    // The name becomes part of the new profiles' file names.
    if (!editor::IsValidDeviceName(name)) {
        MessageWithPath(kIdsBadDeviceName, name, PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    // Two devices that differ only in case would look like one in every list.
    std::vector<std::string> known;
    auto* selector = Item<QComboBox>(kIdcDeviceSelector);
    for (int i = 0; i < selector->count(); ++i)
        known.push_back(ToStd(selector->itemText(i)));
    if (const std::string existing = editor::DeviceDifferingInCase(known, name); !existing.empty()) {
        Message(FormatString(kIdsDeviceExists, existing), PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    if (PromptSaveChanges(kIdsSaveChanged, shownOutputType) == kPromptStay) {
        SetEditBoxText(nameBox, QString());
        SetEditBoxText(nameBox, ToQt(typeFile.Device()));
        return;
    }

    const int outputType = OutputType();
    auto* devices = Item<QComboBox>(kIdcDeviceSelector);
    if (library.HasProfileOfType(name, outputType)) {
        SelectItemText(devices, name);
        suppressChange = true;
        SelectDevice(name, outputType);
        return;
    }

    profile::CProfileFile video;
    profile::CProfileFile audio;
    editor::CreateDeviceProfile(name, video, programFolder, ProfilesRoot(), editor::kVideoAndAudio);
    editor::CreateDeviceProfile(name, audio, programFolder, ProfilesRoot(), editor::kAudioOnly);
    library.AddProfileIfNoType(name, editor::kVideoAndAudio, video);
    library.AddProfileIfNoType(name, editor::kAudioOnly, audio);
    const profile::CProfileFile& shown = outputType == editor::kAudioOnly ? audio : video;
    loadedProfile.CopyFrom(shown);
    typeFile.SetCurrentProfile(shown);

    // A device the selector lists without profiles of this type is not listed twice.
    if (!SelectItemText(devices, name)) {
        devices->addItem(ToQt(name));
        devices->setCurrentIndex(devices->count() - 1);
    }
    suppressChange = true;
    changed = false;
    SelectDevice(name, outputType);
    // The new device's profiles exist only in the library until they are saved.
    suppressChange = false;
    changed = true;
}

void COrreryDlg::OnRemoveDevice()
{
    auto* devices = Item<QComboBox>(kIdcDeviceSelector);
    if (devices->count() == 0)
        return;
    const std::string device = CurrentDevice();
    if (Message(FormatString(kIdsRemoveDevice, device), PromptButtons::OkCancel, PromptIcon::Warning) != kIdOk)
        return;

    for (int type : {editor::kVideoAndAudio, editor::kAudioOnly}) {
        std::vector<profile::CProfileFile> profiles;
        library.CollectProfiles(device, type, profiles);
        for (const profile::CProfileFile& removed : profiles) {
            // A default profile that was never saved has no file yet.
            if (!removed.filePath.empty())
                RemoveFileOrSchedule(removed.filePath);
        }
    }
    library.RemoveDevice(device);

    int index = devices->findText(ToQt(device), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        index = devices->currentIndex();
    if (index >= 0)
        devices->removeItem(index);
    if (devices->count() == 0) {
        SetEditBoxText(GetDlgItem(kIdcDeviceName), QString());
        return;
    }
    devices->setCurrentIndex(0);
    suppressChange = true;
    changed = false;
    SelectDevice(ToStd(devices->itemText(0)), OutputType());
}

void COrreryDlg::OnRenameDevice()
{
}

void COrreryDlg::OnVideoAndAudio()
{
    // A click on the type already shown changes nothing.
    if (!Item<QRadioButton>(kIdcVideoAndAudio)->isChecked() || shownOutputType == editor::kVideoAndAudio)
        return;
    // The profile being left is of the type shown, and a Save As keeps it so.
    if (PromptSaveChanges(kIdsSaveChanged, shownOutputType) == kPromptStay) {
        ShowOutputType(shownOutputType);
        return;
    }
    SetVideoControlsEnabled(true);
    const std::string device = CurrentDevice();
    suppressChange = true;
    changed = false;
    SelectDevice(device, editor::kVideoAndAudio);
}

void COrreryDlg::OnAudioOnly()
{
    if (!Item<QRadioButton>(kIdcAudioOnly)->isChecked() || shownOutputType == editor::kAudioOnly)
        return;
    if (PromptSaveChanges(kIdsSaveChanged, shownOutputType) == kPromptStay) {
        ShowOutputType(shownOutputType);
        return;
    }
    suppressChange = true;
    Item<QComboBox>(kIdcVideoCodec)->clear();
    Item<QComboBox>(kIdcEncodingMode)->clear();
    Item<CSkinListCtrl>(kIdcFrameSizes)->DeleteAllRows();
    Item<CSkinListCtrl>(kIdcFrameRates)->DeleteAllRows();
    for (int id : {kIdcDefaultBitrate, kIdcMaxBitrate, kIdcFrameWidth, kIdcFrameHeight})
        SetEditBoxText(GetDlgItem(id), QString());
    // Audio-only profiles have no video bitrate: the slider rests at 0.
    auto* slider = Item<QSlider>(kIdcBitrateSlider);
    slider->setMinimum(0);
    slider->setValue(0);
    SetVideoControlsEnabled(false);

    const std::string device = CurrentDevice();
    changed = false;
    SelectDevice(device, editor::kAudioOnly);
}

void COrreryDlg::OnFormatChanged()
{
    const int outputType = OutputType();
    auto* copy = Item<QCheckBox>(kIdcCopySource);
    if (outputType == editor::kVideoAndAudio) {
        FillVideoCodecs(editor::kVideoAndAudio);
        SelectVideoCodec();
    }
    if (!copy->isChecked()) {
        FillAudioCodecs(outputType);
        SelectAudioCodec();
    }
    if (outputType == editor::kAudioOnly) {
        copy->setChecked(Item<QComboBox>(kIdcFormat)->currentText() == QLatin1String(editor::kCopyFormat));
        ApplyCopyState();
    }
    MarkChanged();
}

void COrreryDlg::OnCopySource()
{
    ApplyCopyState();
}

void COrreryDlg::OnMaxBitrateChanged()
{
    MarkChanged();
    auto* edit = Item<CFieldNumericEdit>(kIdcMaxBitrate);
    auto* slider = Item<QSlider>(kIdcBitrateSlider);
    const int maximum = DecimalValue(ToStd(EditBoxText(edit)));
    // A maximum below the default bitrate is only shown; it is stored as typed.
    if (maximum < slider->value()) {
        edit->SetFillColor(OutOfRangeColour());
        return;
    }
    edit->SetFillColor(InRangeColour());
    slider->setMaximum(maximum);
}

void COrreryDlg::OnDefaultBitrateChanged()
{
    auto* edit = Item<CFieldNumericEdit>(kIdcDefaultBitrate);
    auto* slider = Item<QSlider>(kIdcBitrateSlider);
    const int bitrate = DecimalValue(ToStd(EditBoxText(edit)));
    if (bitrate < slider->minimum() || bitrate > slider->maximum()) {
        edit->SetFillColor(OutOfRangeColour());
        return;
    }
    edit->SetFillColor(InRangeColour());
    slider->setValue(bitrate);
    MarkChanged();
}

void COrreryDlg::OnSliderReleased()
{
    MarkChanged();
    SetEditBoxText(GetDlgItem(kIdcDefaultBitrate), QString::number(Item<QSlider>(kIdcBitrateSlider)->value()));
}

void COrreryDlg::OnSliderAction(int action)
{
    auto* slider = Item<QSlider>(kIdcBitrateSlider);
    // A drag is taken over when the handle is let go.
    if (action == QAbstractSlider::SliderNoAction || slider->isSliderDown())
        return;
    MarkChanged();
    // The action has moved the handle, not yet the value.
    SetEditBoxText(GetDlgItem(kIdcDefaultBitrate), QString::number(slider->sliderPosition()));
}
