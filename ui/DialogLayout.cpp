#include "ui/DialogLayout.h"

#include "ui/Resource.h"

namespace {

using K = ControlKind;

constexpr ControlLayout kLayout[] = {
    {kIdcDeviceSelector, K::DropList, "", 20, 18, 120, 436, true},
    {kIdcProfileSelector, K::DropList, "", 140, 56, 272, 308, true},
    {kIdcProfileMenu, K::PushButton, "&Profile", 420, 56, 76, 14, true},
    {kIdcDeviceName, K::Edit, "", 144, 18, 120, 14, true},
    {kIdcAddDevice, K::PushButton, "Add D&evice", 268, 18, 76, 14, true},
    {kIdcRemoveDevice, K::PushButton, "&Remove Device", 352, 18, 76, 14, true},
    {kIdcRenameDevice, K::PushButton, "Rename Device", 436, 18, 76, 14, false},
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
    {kIdcAddFrameSize, K::PushButton, "Add", 104, 447, 60, 14, true},
    {kIdcRemoveFrameSize, K::PushButton, "Remove", 104, 428, 60, 14, true},
    {kIdcFrameRateAdder, K::DropList, "", 176, 447, 56, 96, true},
    {kIdcAddFrameRate, K::PushButton, "Add", 236, 447, 56, 14, true},
    {kIdcRemoveFrameRate, K::PushButton, "Remove", 236, 428, 56, 14, true},
    {kIdcCopySource, K::CheckBox, "Cop&y source directly", 324, 231, 168, 10, true},
    {kIdcAudioCodec, K::DropList, "", 352, 252, 47, 96, true},
    {kIdcAudioBitrates, K::ValueList, "", 324, 276, 92, 108, true},
    {kIdcSampleRates, K::ValueList, "", 436, 276, 88, 108, true},
    {kIdcAudioBitrateAdder, K::DropList, "", 324, 420, 44, 96, true},
    {kIdcAddAudioBitrate, K::PushButton, "Add", 372, 420, 52, 14, true},
    {kIdcRemoveAudioBitrate, K::PushButton, "Remove", 372, 399, 52, 14, true},
    {kIdcSampleRateAdder, K::DropList, "", 436, 420, 40, 96, true},
    {kIdcAddSampleRate, K::PushButton, "Add", 480, 420, 52, 14, true},
    {kIdcRemoveSampleRate, K::PushButton, "Remove", 479, 400, 52, 14, true},
    {kIdcSave, K::DefPushButton, "&Save", 312, 452, 72, 14, true},
    {kIdcSaveAs, K::PushButton, "Save &As", 392, 452, 72, 14, true},
    {kIdcClose, K::PushButton, "&Close", 472, 452, 72, 14, true},
    {kIdcFileNameLabel, K::Label, "&File name", 20, 57, 120, 8, true, kIdcProfileSelector},
    {kIdcStatic, K::GroupBox, "Video", 8, 216, 296, 252, true},
    {kIdcStatic, K::Label, "x", 56, 448, 8, 8, true},
    {kIdcMaxBitrateLabel, K::Label, "Ma&x bitrate (kbps)", 192, 258, 60, 8, true, kIdcMaxBitrate},
    {kIdcDefaultBitrateLabel, K::Label, "Default &bitrate (kbps)", 20, 258, 67, 8, true, kIdcDefaultBitrate},
    {kIdcVideoCodecLabel, K::Label, "C&odec", 20, 233, 24, 8, true, kIdcVideoCodec},
    {kIdcFormatLabel, K::Label, "Output file for&mat", 20, 193, 120, 8, true, kIdcFormat},
    {kIdcContainerGroup, K::GroupBox, "Container", 8, 164, 536, 48, true},
    {kIdcProfileGroup, K::GroupBox, "Profile", 8, 44, 536, 116, true},
    {kIdcDescriptionLabel, K::Label, "Profile descr&iption", 20, 92, 120, 8, true, kIdcDescription},
    {kIdcPathLabel, K::Label, "Profile fi&le path", 20, 136, 120, 8, true, kIdcProfilePath},
    {kIdcDeviceGroup, K::GroupBox, "Device", 8, 4, 536, 36, true},
    {kIdcStatic, K::GroupBox, "Audio", 312, 215, 232, 224, true},
    {kIdcAudioCodecLabel, K::Label, "Co&dec", 324, 254, 24, 8, true, kIdcAudioCodec},
    {kIdcEncodingModeLabel, K::Label, "Encodin&g Method", 116, 233, 60, 8, true, kIdcEncodingMode},
    {kIdcStatic, K::Label, "&Width", 20, 436, 32, 8, true, kIdcFrameWidth},
    {kIdcStatic, K::Label, "&Height", 68, 436, 32, 8, true, kIdcFrameHeight},
    {kIdcVideoAndAudio, K::RadioButton, "&Video + Audio", 144, 175, 96, 10, true},
    {kIdcAudioOnly, K::RadioButton, "A&udio Only", 248, 175, 76, 10, true},
    {kIdcOutputTypeLabel, K::Label, "Output &type", 20, 177, 120, 8, true, kIdcVideoAndAudio},
    {kIdcProfileName, K::Edit, "", 140, 72, 272, 14, true},
    {kIdcProfileNameLabel, K::Label, "Profile &name", 20, 76, 40, 8, true, kIdcProfileName},
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
