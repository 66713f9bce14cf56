#include "ui/DialogLayout.h"

#include <QtGlobal>

#include "ui/Resource.h"

namespace {

using K = ControlKind;

constexpr ControlLayout kLayout[] = {
    {kIdcDeviceSelector, K::DropList, "", 20, 18, 120, 436, true},
    {kIdcProfileSelector, K::DropList, "", 140, 56, 272, 308, true},
    {kIdcProfileMenu, K::PushButton, QT_TRANSLATE_NOOP("COrreryDlg", "&Profile"), 420, 56, 76, 14, true},
    {kIdcDeviceName, K::Edit, "", 144, 18, 120, 14, true},
    {kIdcAddDevice, K::PushButton, QT_TRANSLATE_NOOP("COrreryDlg", "Add D&evice"), 268, 18, 76, 14, true},
    {kIdcRemoveDevice, K::PushButton, QT_TRANSLATE_NOOP("COrreryDlg", "&Remove Device"), 352, 18, 76, 14, true},
    {kIdcRenameDevice, K::PushButton, QT_TRANSLATE_NOOP("COrreryDlg", "Rename Device"), 436, 18, 76, 14, false},
    {kIdcFormat, K::DropList, "", 144, 191, 80, 172, true},
    {kIdcProfilePath, K::ReadOnlyEdit, "", 140, 136, 392, 14, true},
    {kIdcUnusedEdit, K::Edit, "", 416, 112, 116, 14, false},
    {kIdcDescription, K::MultiLineEdit, "", 140, 92, 272, 36, true},
    {kIdcVideoCodec, K::DropList, "", 48, 231, 52, 80, true},
    {kIdcEncodingMode, K::DropList, "", 180, 231, 116, 80, true},
    {kIdcDefaultBitrate, K::NumericEdit, "", 92, 255, 42, 14, true},
    {kIdcMaxBitrate, K::NumericEdit, "", 256, 255, 40, 14, true},
    {kIdcBitrateSlider, K::Slider, "", 12, 276, 288, 15, true},
    {kIdcFrameSizes, K::ValueList, "", 20, 300, 136, 112, true},
    {kIdcFrameRates, K::ValueList, "", 176, 300, 108, 112, true},
    {kIdcFrameWidth, K::NumericEdit, "", 20, 447, 32, 14, true},
    {kIdcFrameHeight, K::NumericEdit, "", 68, 447, 32, 14, true},
    {kIdcAddFrameSize, K::PushButton, QT_TRANSLATE_NOOP("COrreryDlg", "Add"), 104, 447, 60, 14, true},
    {kIdcRemoveFrameSize, K::PushButton, QT_TRANSLATE_NOOP("COrreryDlg", "Remove"), 104, 428, 60, 14, true},
    {kIdcFrameRateAdder, K::DropList, "", 176, 447, 56, 96, true},
    {kIdcAddFrameRate, K::PushButton, QT_TRANSLATE_NOOP("COrreryDlg", "Add"), 236, 447, 56, 14, true},
    {kIdcRemoveFrameRate, K::PushButton, QT_TRANSLATE_NOOP("COrreryDlg", "Remove"), 236, 428, 56, 14, true},
    {kIdcCopySource, K::CheckBox, QT_TRANSLATE_NOOP("COrreryDlg", "Cop&y source directly"), 324, 231, 168, 10, true},
    {kIdcAudioCodec, K::DropList, "", 352, 252, 47, 96, true},
    {kIdcAudioBitrates, K::ValueList, "", 324, 276, 92, 108, true},
    {kIdcSampleRates, K::ValueList, "", 436, 276, 88, 108, true},
    {kIdcAudioBitrateAdder, K::DropList, "", 324, 420, 44, 96, true},
    {kIdcAddAudioBitrate, K::PushButton, QT_TRANSLATE_NOOP("COrreryDlg", "Add"), 372, 420, 52, 14, true},
    {kIdcRemoveAudioBitrate, K::PushButton, QT_TRANSLATE_NOOP("COrreryDlg", "Remove"), 372, 399, 52, 14, true},
    {kIdcSampleRateAdder, K::DropList, "", 436, 420, 40, 96, true},
    {kIdcAddSampleRate, K::PushButton, QT_TRANSLATE_NOOP("COrreryDlg", "Add"), 480, 420, 52, 14, true},
    {kIdcRemoveSampleRate, K::PushButton, QT_TRANSLATE_NOOP("COrreryDlg", "Remove"), 479, 400, 52, 14, true},
    {kIdcSave, K::DefPushButton, QT_TRANSLATE_NOOP("COrreryDlg", "&Save"), 312, 452, 72, 14, true},
    {kIdcSaveAs, K::PushButton, QT_TRANSLATE_NOOP("COrreryDlg", "Save &As"), 392, 452, 72, 14, true},
    {kIdcClose, K::PushButton, QT_TRANSLATE_NOOP("COrreryDlg", "&Close"), 472, 452, 72, 14, true},
    {kIdcFileNameLabel, K::Label, QT_TRANSLATE_NOOP("COrreryDlg", "&File name"),
      20, 57, 120, 8, true, kIdcProfileSelector},
    {kIdcStatic, K::GroupBox, QT_TRANSLATE_NOOP("COrreryDlg", "Video"), 8, 216, 296, 252, true},
    {kIdcStatic, K::Label, QT_TRANSLATE_NOOP("COrreryDlg", "x"), 56, 448, 8, 8, true},
    {kIdcMaxBitrateLabel, K::Label, QT_TRANSLATE_NOOP("COrreryDlg", "Ma&x bitrate (kbps)"),
      192, 258, 60, 8, true, kIdcMaxBitrate},
    {kIdcDefaultBitrateLabel, K::Label, QT_TRANSLATE_NOOP("COrreryDlg", "Default &bitrate (kbps)"),
      20, 258, 67, 8, true, kIdcDefaultBitrate},
    {kIdcVideoCodecLabel, K::Label, QT_TRANSLATE_NOOP("COrreryDlg", "C&odec"), 20, 233, 24, 8, true, kIdcVideoCodec},
    {kIdcFormatLabel, K::Label, QT_TRANSLATE_NOOP("COrreryDlg", "Output file for&mat"),
      20, 193, 120, 8, true, kIdcFormat},
    {kIdcContainerGroup, K::GroupBox, QT_TRANSLATE_NOOP("COrreryDlg", "Container"), 8, 164, 536, 48, true},
    {kIdcProfileGroup, K::GroupBox, QT_TRANSLATE_NOOP("COrreryDlg", "Profile"), 8, 44, 536, 116, true},
    {kIdcDescriptionLabel, K::Label, QT_TRANSLATE_NOOP("COrreryDlg", "Profile descr&iption"),
      20, 92, 120, 8, true, kIdcDescription},
    {kIdcPathLabel, K::Label, QT_TRANSLATE_NOOP("COrreryDlg", "Profile fi&le path"),
      20, 136, 120, 8, true, kIdcProfilePath},
    {kIdcDeviceGroup, K::GroupBox, QT_TRANSLATE_NOOP("COrreryDlg", "Device"), 8, 4, 536, 36, true},
    {kIdcStatic, K::GroupBox, QT_TRANSLATE_NOOP("COrreryDlg", "Audio"), 312, 215, 232, 224, true},
    {kIdcAudioCodecLabel, K::Label, QT_TRANSLATE_NOOP("COrreryDlg", "Co&dec"), 324, 254, 24, 8, true, kIdcAudioCodec},
    {kIdcEncodingModeLabel, K::Label, QT_TRANSLATE_NOOP("COrreryDlg", "Encodin&g Method"),
      116, 233, 60, 8, true, kIdcEncodingMode},
    {kIdcStatic, K::Label, QT_TRANSLATE_NOOP("COrreryDlg", "&Width"), 20, 436, 32, 8, true, kIdcFrameWidth},
    {kIdcStatic, K::Label, QT_TRANSLATE_NOOP("COrreryDlg", "&Height"), 68, 436, 32, 8, true, kIdcFrameHeight},
    {kIdcVideoAndAudio, K::RadioButton, QT_TRANSLATE_NOOP("COrreryDlg", "&Video + Audio"), 144, 175, 96, 10, true},
    {kIdcAudioOnly, K::RadioButton, QT_TRANSLATE_NOOP("COrreryDlg", "A&udio Only"), 248, 175, 76, 10, true},
    {kIdcOutputTypeLabel, K::Label, QT_TRANSLATE_NOOP("COrreryDlg", "Output &type"),
      20, 177, 120, 8, true, kIdcVideoAndAudio},
    {kIdcProfileName, K::Edit, "", 140, 72, 272, 14, true},
    {kIdcProfileNameLabel, K::Label, QT_TRANSLATE_NOOP("COrreryDlg", "Profile &name"),
      20, 76, 40, 8, true, kIdcProfileName},
};

constexpr int kTabOrder[] = {
    // Device
    kIdcDeviceSelector, kIdcDeviceName, kIdcAddDevice, kIdcRemoveDevice, kIdcRenameDevice,
    // Profile
    kIdcProfileSelector, kIdcProfileMenu, kIdcProfileName, kIdcDescription, kIdcUnusedEdit, kIdcProfilePath,
    // Container
    kIdcVideoAndAudio, kIdcAudioOnly, kIdcFormat,
    // Video
    kIdcVideoCodec, kIdcEncodingMode, kIdcDefaultBitrate, kIdcMaxBitrate, kIdcBitrateSlider, kIdcFrameSizes,
    kIdcFrameRates, kIdcRemoveFrameSize, kIdcRemoveFrameRate, kIdcFrameWidth, kIdcFrameHeight, kIdcAddFrameSize,
    kIdcFrameRateAdder, kIdcAddFrameRate,
    // Audio
    kIdcCopySource, kIdcAudioCodec, kIdcAudioBitrates, kIdcSampleRates, kIdcRemoveAudioBitrate,
    kIdcRemoveSampleRate, kIdcAudioBitrateAdder, kIdcAddAudioBitrate, kIdcSampleRateAdder, kIdcAddSampleRate,
    // The window's buttons
    kIdcSave, kIdcSaveAs, kIdcClose,
};

} // namespace

std::span<const int> MainDialogTabOrder()
{
    return kTabOrder;
}

std::span<const ControlLayout> MainDialogLayout()
{
    return kLayout;
}
