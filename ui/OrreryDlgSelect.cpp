// What the user chooses to edit: the device, the output type and the profile, adding
// and removing devices, the output file format and the audio copy switch, handed to
// the session; and the video bitrate trio, which only couples controls.

#include "ui/OrreryDlg.h"

#include <QSlider>

#include "controls/FieldNumericEdit.h"
#include "ui/ControlBinding.h"
#include "ui/DialogItems.h"

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
        edit->SetOutOfRange(true);
        return;
    }
    edit->SetOutOfRange(false);
    slider->setMaximum(maximum);
}

void COrreryDlg::OnDefaultBitrateChanged()
{
    auto* edit = Item<CFieldNumericEdit>(kIdcDefaultBitrate);
    auto* slider = Item<QSlider>(kIdcBitrateSlider);
    const int bitrate = DecimalValue(ToStd(EditBoxText(edit)));
    if (bitrate < slider->minimum() || bitrate > slider->maximum()) {
        edit->SetOutOfRange(true);
        return;
    }
    edit->SetOutOfRange(false);
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
