#include "ui/ControlBinding.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QComboBox>
#include <QSlider>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <vector>

#include "controls/SkinListCtrl.h"
#include "editor/ChoiceLists.h"
#include "editor/ProfileKeys.h"
#include "editor/TypeFile.h"
#include "platform/Platform.h"
#include "profile/ProfileFile.h"
#include "ui/DialogItems.h"
#include "ui/OrreryDlg.h"
#include "ui/Resource.h"

namespace {

using namespace editor::keys;

constexpr ControlBinding kBindings[] = {
    {kFileFormat, kIdcFormat, kValueChoice, kBindCombo, nullptr, StoreComboText},
    {kVideoCodec, kIdcVideoCodec, kValueChoice, kBindCombo, nullptr, StoreComboText},
    {kAudioCodec, kIdcAudioCodec, kValueChoice, kBindCombo, nullptr, StoreComboText},
    {kProfileName, kIdcProfileName, kValueText, kBindEdit, LoadEditText, StoreEditText},
    {kProfileDescription, kIdcDescription, kValueText, kBindEdit, LoadEditText, StoreEditText},
    {kProfileDevice, kIdcDeviceName, kValueText, kBindEdit, LoadEditText, nullptr},
    {kPath, kIdcProfilePath, kValueText, kBindEdit, LoadEditText, StoreEditText},
    {kFrameSizes, kIdcFrameSizes, kValueSizeList, kBindValueList, LoadValueList, nullptr},
    {kFrameSizes, kIdcFrameSizes, kValueSizeList, kBindValueList, nullptr, StoreValueList},
    {kFrameSize, kIdcFrameSizes, kValueSizeList, kBindValueList, LoadDefaultMark, nullptr},
    {kFrameSize, kIdcFrameSizes, kValueDefaultSize, kBindValueList, nullptr, StoreDefaultValue},
    {kFrameRates, kIdcFrameRates, kValueFrameRateList, kBindValueList, LoadFrameRateList, nullptr},
    {kFrameRates, kIdcFrameRates, kValueFrameRateList, kBindValueList, nullptr, StoreFrameRateList},
    {kFrameRate, kIdcFrameRates, kValueFrameRateList, kBindValueList, LoadDefaultMark, nullptr},
    {kFrameRate, kIdcFrameRates, kValueDefaultFrameRate, kBindValueList, nullptr, StoreDefaultFrameRate},
    {kSampleRates, kIdcSampleRates, kValueRateList, kBindValueList, LoadValueList, nullptr},
    {kSampleRates, kIdcSampleRates, kValueRateList, kBindValueList, nullptr, StoreValueList},
    {kSampleRate, kIdcSampleRates, kValueRateList, kBindValueList, LoadDefaultMark, nullptr},
    {kSampleRate, kIdcSampleRates, kValueNumber, kBindValueList, nullptr, StoreDefaultValue},
    {kAudioBitrates, kIdcAudioBitrates, kValueRateList, kBindValueList, LoadValueList, nullptr},
    {kAudioBitrates, kIdcAudioBitrates, kValueRateList, kBindValueList, nullptr, StoreValueList},
    {kAudioBitrate, kIdcAudioBitrates, kValueRateList, kBindValueList, LoadDefaultMark, nullptr},
    {kAudioBitrate, kIdcAudioBitrates, kValueNumber, kBindValueList, nullptr, StoreDefaultValue},
    {kBitrate, kIdcBitrateSlider, kValueNumber, kBindSlider, LoadBitrateSlider, nullptr},
    {kMaxBitrate, kIdcMaxBitrate, kValueNumber, kBindEdit, LoadNumberEdit, nullptr},
    {kMaxBitrate, kIdcMaxBitrate, kValueNumber, kBindEdit, nullptr, StoreNumberEdit},
    {kBitrate, kIdcDefaultBitrate, kValueNumber, kBindEdit, LoadNumberEdit, nullptr},
    {kBitrate, kIdcDefaultBitrate, kValueNumber, kBindEdit, nullptr, StoreNumberEdit},
    {kVideoCodecName, kIdcVideoCodec, kValueChoice, kBindCombo, nullptr, StoreVideoCodecName},
    {kAudioCodecName, kIdcAudioCodec, kValueChoice, kBindCombo, nullptr, StoreAudioCodecName},
    {kAudioCopy, kIdcCopySource, kValueNumber, kBindCheckBox, nullptr, StoreCopyCheck},
};
static_assert(std::size(kBindings) == 31);

// The current profile the handlers work on, or null when there is nothing to work on.
profile::CProfileFile* Current(editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    if (typeFile == nullptr || dialog == nullptr)
        return nullptr;
    return typeFile->GetCurrentProfile();
}

template <class T>
T* Control(const ControlBinding& row, COrreryDlg* dialog)
{
    return qobject_cast<T*>(dialog->GetDlgItem(row.controlId));
}

// The key's value when the profile has it.
bool ValueOf(const profile::CProfileFile& profile, const std::string& key, std::string& value)
{
    if (!profile.HasValue(key))
        return false;
    value.clear();
    profile.GetValue(key, value);
    return true;
}

// The unit suffix of the lists that show rates divided by 1000; null for the others.
const char* RateSuffix(int controlId)
{
    if (controlId == kIdcAudioBitrates)
        return editor::kKbpsSuffix;
    if (controlId == kIdcSampleRates)
        return editor::kKhzSuffix;
    return nullptr;
}

// A value as its list shows it, and a shown text back as the value.
std::string DisplayText(int controlId, const std::string& value)
{
    const char* suffix = RateSuffix(controlId);
    return suffix != nullptr ? editor::RateDisplayText(value, suffix) : value;
}

std::string StoredText(int controlId, const std::string& display)
{
    const char* suffix = RateSuffix(controlId);
    return suffix != nullptr ? editor::RateStoredText(display, suffix) : display;
}

int FirstCheckedRow(const CSkinListCtrl* list)
{
    for (int row = 0; row < list->RowCount(); ++row) {
        if (list->GetToggle(row, 0) == 1)
            return row;
    }
    return -1;
}

} // namespace

int AppendToggleRow(CSkinListCtrl* list, const QString& text, const int* rowData)
{
    const int row = list->InsertRow(list->RowCount(), QString());
    if (row < 0)
        return row;
    list->SetCellText(row, 1, text);
    if (rowData != nullptr)
        list->SetRowData(row, *rowData);
    list->MakeToggleCell(row, 0);
    return row;
}

std::span<const ControlBinding> ControlBindings()
{
    return kBindings;
}

int FrameRateIndex(const std::string& text)
{
    const int index = FrameRateRowData(text);
    return index == kOwnFrameRate ? kUnknownFrameRateIndex : index;
}

const char* FrameRateText(int index)
{
    if (index < 0 || index >= kFrameRateCount)
        return nullptr;
    return kFrameRateTable[index];
}

int FrameRateRowData(const std::string& rate)
{
    for (int i = 0; i < kFrameRateCount; ++i) {
        if (rate == kFrameRateTable[i])
            return i;
    }
    return kOwnFrameRate;
}

std::string FrameRateOfRow(const CSkinListCtrl* list, int row)
{
    if (const char* rate = FrameRateText(list->GetRowData(row)))
        return rate;
    return editor::FrameRateValue(ToStd(list->GetCellText(row, 1)));
}

int DecimalValue(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    if (value < INT_MIN)
        value = INT_MIN;
    return static_cast<int>(value);
}

void LoadProfileToControls(editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    LoadBindingRows(1, static_cast<int>(std::size(kBindings)), typeFile, dialog);
}

void StoreControlsToProfile(editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    StoreBindingRows(1, static_cast<int>(std::size(kBindings)), typeFile, dialog);
}

namespace {

void RunBindingRows(int first, int last, bool load, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    if (Current(typeFile, dialog) == nullptr)
        return;
    const int count = static_cast<int>(std::size(kBindings));
    for (int number = std::max(first, 1); number <= std::min(last, count); ++number) {
        const ControlBinding& row = kBindings[number - 1];
        if (const auto handler = load ? row.load : row.store)
            handler(row, typeFile, dialog);
    }
}

} // namespace

void LoadBindingRows(int first, int last, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    RunBindingRows(first, last, true, typeFile, dialog);
}

void StoreBindingRows(int first, int last, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    RunBindingRows(first, last, false, typeFile, dialog);
}

void LoadEditText(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    const profile::CProfileFile* profile = Current(typeFile, dialog);
    QWidget* edit = profile != nullptr ? dialog->GetDlgItem(row.controlId) : nullptr;
    if (!IsEditBox(edit))
        return;
    const std::string key = row.key;
    std::string text;
    if (key == editor::keys::kProfileName)
        text = LastPathPart(profile->filePath);
    else if (key == editor::keys::kProfileDescription)
        text = profile->description;
    else if (key == editor::keys::kProfileDevice)
        text = profile->device;
    else
        text = profile->filePath;
    if (!text.empty())
        SetEditBoxBytes(edit, text);
}

void StoreEditText(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    profile::CProfileFile* profile = Current(typeFile, dialog);
    const QWidget* edit = profile != nullptr ? dialog->GetDlgItem(row.controlId) : nullptr;
    if (!IsEditBox(edit))
        return;
    // The profile name and path are taken over by the save sequence itself.
    if (std::strcmp(row.key, editor::keys::kProfileDescription) == 0)
        profile->description = EditBoxBytes(edit);
}

void LoadNumberEdit(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    const profile::CProfileFile* profile = Current(typeFile, dialog);
    auto* edit = profile != nullptr ? Control<QLineEdit>(row, dialog) : nullptr;
    std::string value;
    if (edit == nullptr || !ValueOf(*profile, row.key, value))
        return;
    if (row.valueKind == kValueNumber || row.valueKind == kValueText)
        SetEditBoxText(edit, ToQt(value));
}

void StoreNumberEdit(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    profile::CProfileFile* profile = Current(typeFile, dialog);
    auto* edit = profile != nullptr ? Control<QLineEdit>(row, dialog) : nullptr;
    if (edit == nullptr || !profile->HasValue(row.key))
        return;
    profile->SetValue(row.key, ToStd(EditBoxText(edit)));
}

void LoadBitrateSlider(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    const profile::CProfileFile* profile = Current(typeFile, dialog);
    auto* slider = profile != nullptr ? Control<QSlider>(row, dialog) : nullptr;
    std::string bitrate;
    if (slider == nullptr || row.valueKind != kValueNumber || !ValueOf(*profile, row.key, bitrate))
        return;
    std::string minimum;
    std::string maximum;
    profile->GetValue(editor::keys::kMinBitrate, minimum);
    profile->GetValue(editor::keys::kMaxBitrate, maximum);
    // Minimum first, as the range is set edge by edge; a maximum below the minimum
    // collapses the range onto the minimum.
    slider->setMinimum(DecimalValue(minimum));
    slider->setMaximum(DecimalValue(maximum));
    slider->setValue(DecimalValue(bitrate));
}

void StoreComboText(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    profile::CProfileFile* profile = Current(typeFile, dialog);
    auto* combo = profile != nullptr ? Control<QComboBox>(row, dialog) : nullptr;
    if (combo == nullptr || !profile->HasValue(row.key))
        return;
    profile->SetValue(row.key, combo->currentIndex() < 0 ? std::string() : ToStd(combo->currentText()));
}

void StoreVideoCodecName(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    profile::CProfileFile* profile = Current(typeFile, dialog);
    auto* combo = profile != nullptr ? Control<QComboBox>(row, dialog) : nullptr;
    if (combo == nullptr || !profile->HasValue(row.key) || combo->currentIndex() < 0)
        return;
    profile->SetValue(row.key, ToStd(combo->currentText()));
}

void StoreAudioCodecName(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    profile::CProfileFile* profile = Current(typeFile, dialog);
    auto* combo = profile != nullptr ? Control<QComboBox>(row, dialog) : nullptr;
    if (combo == nullptr || !profile->HasValue(row.key) || combo->currentIndex() < 0)
        return;
    const std::string shown = ToStd(combo->currentText());
    std::string section;
    // A name outside the table (a configuration may offer more codecs) is stored as it
    // stands: where display and section names differ, the table has the name.
    if (!editor::AudioCodecSectionName(shown, section))
        section = shown;
    profile->SetValue(row.key, section);
}

void StoreCopyCheck(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    profile::CProfileFile* profile = Current(typeFile, dialog);
    auto* box = profile != nullptr ? Control<QCheckBox>(row, dialog) : nullptr;
    if (box == nullptr || !profile->HasValue(row.key))
        return;
    switch (box->checkState()) {
    case Qt::Checked: profile->SetValue(row.key, "1"); break;
    case Qt::Unchecked: profile->SetValue(row.key, "0"); break;
    default: break;
    }
}

void LoadValueList(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    const profile::CProfileFile* profile = Current(typeFile, dialog);
    auto* list = profile != nullptr ? Control<CSkinListCtrl>(row, dialog) : nullptr;
    std::string value;
    if (list == nullptr || !ValueOf(*profile, row.key, value) || value.empty())
        return;
    std::vector<std::string> items;
    editor::SplitList(value, items);
    if (row.valueKind == kValueRateList || row.valueKind == kValueSizeList) {
        list->SetFullRowSelect(true);
        list->DeleteAllRows();
        for (const std::string& item : items)
            AppendToggleRow(list, ToQt(DisplayText(row.controlId, item)), nullptr);
    }
    list->EnsureRowVisible(list->RowCount() - 1);
}

void LoadFrameRateList(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    const profile::CProfileFile* profile = Current(typeFile, dialog);
    auto* list = profile != nullptr ? Control<CSkinListCtrl>(row, dialog) : nullptr;
    std::string value;
    if (list == nullptr || !ValueOf(*profile, row.key, value))
        return;
    std::vector<std::string> items;
    editor::SplitList(value, items);
    list->SetFullRowSelect(true);
    list->DeleteAllRows();
    for (const std::string& item : items) {
        const int rowData = FrameRateRowData(item);
        AppendToggleRow(list, ToQt(editor::FrameRateListText(item)), &rowData);
    }
    list->EnsureRowVisible(list->RowCount() - 1);
}

void LoadDefaultMark(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    const profile::CProfileFile* profile = Current(typeFile, dialog);
    auto* list = profile != nullptr ? Control<CSkinListCtrl>(row, dialog) : nullptr;
    std::string value;
    if (list == nullptr || !ValueOf(*profile, row.key, value) || value.empty())
        return;
    if (row.valueKind == kValueFrameRateList) {
        for (int r = 0; r < list->RowCount(); ++r) {
            if (FrameRateOfRow(list, r) == value)
                list->SetToggle(r, 0, 1);
        }
        return;
    }
    const QString shown = ToQt(DisplayText(row.controlId, value));
    for (int r = 0; r < list->RowCount(); ++r) {
        if (list->GetCellText(r, 1) == shown)
            list->SetToggle(r, 0, 1);
    }
}

namespace {

// The list stores differ only in how a row becomes a stored value: rates lose their
// unit and are multiplied back, frame rates come from the row's table index or, for a
// rate of its own, from its text.
using RowValue = std::string (*)(const ControlBinding&, const CSkinListCtrl*, int);

std::string RowText(const ControlBinding& row, const CSkinListCtrl* list, int r)
{
    return StoredText(row.controlId, ToStd(list->GetCellText(r, 1)));
}

std::string RowFrameRate(const ControlBinding&, const CSkinListCtrl* list, int r)
{
    return FrameRateOfRow(list, r);
}

void StoreCheckedRow(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog,
                     RowValue valueOf)
{
    profile::CProfileFile* profile = Current(typeFile, dialog);
    auto* list = profile != nullptr ? Control<CSkinListCtrl>(row, dialog) : nullptr;
    if (list == nullptr || !profile->HasValue(row.key))
        return;
    if (list->RowCount() == 0) {
        profile->SetValue(row.key, std::string());
        return;
    }
    const int checked = FirstCheckedRow(list);
    if (checked < 0)
        return;
    profile->SetValue(row.key, valueOf(row, list, checked));
}

void StoreAllRows(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog,
                  RowValue valueOf)
{
    profile::CProfileFile* profile = Current(typeFile, dialog);
    auto* list = profile != nullptr ? Control<CSkinListCtrl>(row, dialog) : nullptr;
    if (list == nullptr || !profile->HasValue(row.key))
        return;
    std::vector<std::string> items;
    for (int r = 0; r < list->RowCount(); ++r)
        items.push_back(valueOf(row, list, r));
    profile->SetValue(row.key, editor::JoinList(items));
}

} // namespace

void StoreDefaultValue(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    StoreCheckedRow(row, typeFile, dialog, RowText);
}

void StoreDefaultFrameRate(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    StoreCheckedRow(row, typeFile, dialog, RowFrameRate);
}

void StoreValueList(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    StoreAllRows(row, typeFile, dialog, RowText);
}

void StoreFrameRateList(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog)
{
    StoreAllRows(row, typeFile, dialog, RowFrameRate);
}
