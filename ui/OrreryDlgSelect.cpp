// What the user chooses to edit: the device, the output type and the profile, adding
// and removing devices, the output file format and the audio copy switch, handed to
// the session; and the video bitrate trio, which only couples controls.

#include "ui/OrreryDlg.h"

#include <QSlider>

#include <string>

#include "controls/FieldNumericEdit.h"
#include "ui/ControlBinding.h"
#include "ui/DialogItems.h"
#include "ui/StringTable.h"

void COrreryDlg::OnDeviceChanged()
{
    session->DeviceChosen();
}

void COrreryDlg::OnProfileChanged()
{
    session->ProfileChosen();
}

void COrreryDlg::OnAddDevice()
{
    session->AddDevice();
}

void COrreryDlg::OnRemoveDevice()
{
    session->RemoveDevice();
}

void COrreryDlg::OnRenameDevice()
{
}

void COrreryDlg::OnVideoAndAudio()
{
    session->VideoAndAudioChosen();
}

void COrreryDlg::OnAudioOnly()
{
    session->AudioOnlyChosen();
}

void COrreryDlg::OnFormatChanged()
{
    session->FormatChosen();
}

void COrreryDlg::OnCopySource()
{
    session->ApplyCopyState();
}

void COrreryDlg::OnMaxBitrateChanged()
{
    MarkChanged();
    auto* edit = Item<CFieldNumericEdit>(kIdcMaxBitrate);
    auto* slider = Item<QSlider>(kIdcBitrateSlider);
    const int maximum = DecimalValue(ToStd(EditBoxText(edit)));
    // A maximum below the default bitrate is only shown; it is stored as typed.
    if (maximum < slider->value()) {
        ShowBitrateOutOfRange(edit, FormatString(kIdsMaxBitrateRange, std::to_string(slider->value())));
        return;
    }
    ShowBitrateOutOfRange(edit, {});
    slider->setMaximum(maximum);
}

void COrreryDlg::OnDefaultBitrateChanged()
{
    // Every change counts, in range or not: Save stores the text as typed.
    MarkChanged();
    auto* edit = Item<CFieldNumericEdit>(kIdcDefaultBitrate);
    auto* slider = Item<QSlider>(kIdcBitrateSlider);
    const int bitrate = DecimalValue(ToStd(EditBoxText(edit)));
    if (bitrate < slider->minimum() || bitrate > slider->maximum()) {
        ShowBitrateOutOfRange(edit, FormatString(kIdsDefaultBitrateRange, {std::to_string(slider->minimum()),
                                                                          std::to_string(slider->maximum())}));
        return;
    }
    ShowBitrateOutOfRange(edit, {});
    slider->setValue(bitrate);
}

void COrreryDlg::ShowBitrateOutOfRange(CFieldNumericEdit* edit, const std::string& allowed)
{
    edit->SetOutOfRange(!allowed.empty());
    edit->setToolTip(ToQt(allowed));
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
