// The window as the editing session sees it: its selectors, the texts the rules read,
// the output type and copy switches, the binding passes and the control groups.

#include "ui/OrreryDlg.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>

#include "controls/FieldNumericEdit.h"
#include "controls/SkinListCtrl.h"
#include "ui/ControlBinding.h"
#include "ui/DialogItems.h"

namespace {

int SelectorId(editor::Selector selector)
{
    switch (selector) {
    case editor::Selector::Device: return kIdcDeviceSelector;
    case editor::Selector::Profile: return kIdcProfileSelector;
    case editor::Selector::Format: return kIdcFormat;
    case editor::Selector::VideoCodec: return kIdcVideoCodec;
    case editor::Selector::AudioCodec: return kIdcAudioCodec;
    case editor::Selector::EncodingMode: return kIdcEncodingMode;
    case editor::Selector::FrameRateChooser: return kIdcFrameRateAdder;
    case editor::Selector::AudioBitrateChooser: return kIdcAudioBitrateAdder;
    case editor::Selector::SampleRateChooser: return kIdcSampleRateAdder;
    }
    return kIdcStatic;
}

int TextBoxId(editor::TextBox box)
{
    switch (box) {
    case editor::TextBox::ProfilePath: return kIdcProfilePath;
    case editor::TextBox::ProfileName: return kIdcProfileName;
    case editor::TextBox::DeviceName: return kIdcDeviceName;
    }
    return kIdcStatic;
}

// The narrow selectors filled from the configuration, whose open list is as wide as
// its longest choice.
bool IsNarrowChooser(editor::Selector selector)
{
    return selector == editor::Selector::Device || selector == editor::Selector::FrameRateChooser ||
           selector == editor::Selector::AudioBitrateChooser || selector == editor::Selector::SampleRateChooser;
}

} // namespace

QComboBox* COrreryDlg::SelectorBox(editor::Selector selector) const
{
    return Item<QComboBox>(SelectorId(selector));
}

void COrreryDlg::FillSelector(editor::Selector selector, const std::vector<std::string>& texts)
{
    QComboBox* combo = SelectorBox(selector);
    combo->clear();
    // Each item keeps its own text as its data, so a label shown in its place
    // (LabelItem) never changes what the session reads.
    for (const std::string& text : texts)
        combo->addItem(ToQt(text), ItemData(text));
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
    if (IsNarrowChooser(selector)) {
        QAbstractItemView* view = combo->view();
        view->setMinimumWidth(view->sizeHintForColumn(0) + view->frameWidth() * 2 +
                              combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    }
}

void COrreryDlg::AppendItem(editor::Selector selector, const std::string& text)
{
    SelectorBox(selector)->addItem(ToQt(text), ItemData(text));
}

void COrreryDlg::RemoveItem(editor::Selector selector, int index)
{
    SelectorBox(selector)->removeItem(index);
}

std::vector<std::string> COrreryDlg::Items(editor::Selector selector) const
{
    const QComboBox* combo = SelectorBox(selector);
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(combo->count()));
    for (int i = 0; i < combo->count(); ++i)
        texts.push_back(ItemBytes(combo, i));
    return texts;
}

int COrreryDlg::SelectedIndex(editor::Selector selector) const
{
    return SelectorBox(selector)->currentIndex();
}

void COrreryDlg::SelectIndex(editor::Selector selector, int index)
{
    SelectorBox(selector)->setCurrentIndex(index);
}

std::string COrreryDlg::ReadText(editor::TextBox box) const
{
    return EditBoxBytes(GetDlgItem(TextBoxId(box)));
}

void COrreryDlg::ShowText(editor::TextBox box, const std::string& text)
{
    SetEditBoxBytes(GetDlgItem(TextBoxId(box)), text);
}

void COrreryDlg::ShowOutputType(int outputType)
{
    if (outputType == editor::kVideoAndAudio)
        Item<QRadioButton>(kIdcVideoAndAudio)->setChecked(true);
    else
        Item<QRadioButton>(kIdcAudioOnly)->setChecked(true);
}

bool COrreryDlg::IsCopyChecked() const
{
    return Item<QCheckBox>(kIdcCopySource)->isChecked();
}

void COrreryDlg::ShowCopyChecked(bool checked)
{
    Item<QCheckBox>(kIdcCopySource)->setChecked(checked);
}

void COrreryDlg::ClearProfileControls()
{
    for (int id : {kIdcProfileName, kIdcDeviceName, kIdcDescription, kIdcProfilePath, kIdcFrameWidth,
                   kIdcFrameHeight, kIdcMaxBitrate, kIdcDefaultBitrate})
        SetEditBoxText(GetDlgItem(id), QString());
    for (int id : {kIdcMaxBitrate, kIdcDefaultBitrate})
        ShowBitrateOutOfRange(Item<CFieldNumericEdit>(id), {});
    for (int id : kValueLists)
        Item<CSkinListCtrl>(id)->DeleteAllRows();
    for (int id : {kIdcFormat, kIdcVideoCodec, kIdcAudioCodec, kIdcEncodingMode})
        Item<QComboBox>(id)->clear();
    Item<QCheckBox>(kIdcCopySource)->setChecked(false);
}

void COrreryDlg::ClearVideoControls()
{
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
}

void COrreryDlg::ClearAudioLists()
{
    Item<CSkinListCtrl>(kIdcAudioBitrates)->DeleteAllRows();
    Item<CSkinListCtrl>(kIdcSampleRates)->DeleteAllRows();
}

void COrreryDlg::LoadProfileToControls(editor::CTypeFile& holder)
{
    ::LoadProfileToControls(&holder, this);
}

void COrreryDlg::LoadAudioLists(editor::CTypeFile& holder)
{
    LoadBindingRows(kFirstAudioListRow, kLastAudioListRow, &holder, this);
}

void COrreryDlg::StoreAudioLists(editor::CTypeFile& holder)
{
    StoreBindingRows(kFirstAudioListRow, kLastAudioListRow, &holder, this);
}

void COrreryDlg::StoreControlsToProfile(editor::CTypeFile& holder)
{
    ::StoreControlsToProfile(&holder, this);
}

void COrreryDlg::EnableGroup(editor::ControlGroup group, bool enabled)
{
    switch (group) {
    case editor::ControlGroup::Video: SetVideoControlsEnabled(enabled); break;
    case editor::ControlGroup::Audio: SetAudioControlsEnabled(enabled); break;
    case editor::ControlGroup::Profile:
        for (int id : kProfileControls)
            GetDlgItem(id)->setEnabled(enabled);
        break;
    }
}
