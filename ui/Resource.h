#pragma once

// Identifiers of the main window's controls. Each control carries its identifier as
// its object name ("1027"), so the binding table, the tests and anyone automating the
// window address controls the same way (COrreryDlg::GetDlgItem).

inline constexpr int kIdcStatic = -1;              // labels and frames nobody addresses

inline constexpr int kIdcProfilePath = 1000;       // read-only edit: the profile's file path
inline constexpr int kIdcDescription = 1003;       // multi-line edit
inline constexpr int kIdcDeviceName = 1004;        // edit: typing field of Add Device
inline constexpr int kIdcSaveAs = 1011;
inline constexpr int kIdcFrameSizes = 1012;        // value list
inline constexpr int kIdcFrameWidth = 1015;        // numeric edit
inline constexpr int kIdcFrameHeight = 1016;       // numeric edit
inline constexpr int kIdcAddFrameSize = 1017;
inline constexpr int kIdcRemoveFrameSize = 1018;
inline constexpr int kIdcFrameRates = 1019;        // value list
inline constexpr int kIdcSampleRates = 1020;       // value list
inline constexpr int kIdcAddFrameRate = 1021;
inline constexpr int kIdcAudioBitrates = 1022;     // value list
inline constexpr int kIdcBitrateSlider = 1023;
inline constexpr int kIdcMaxBitrate = 1024;        // numeric edit
inline constexpr int kIdcRemoveFrameRate = 1025;
inline constexpr int kIdcDefaultBitrate = 1026;    // numeric edit
inline constexpr int kIdcDeviceSelector = 1027;
inline constexpr int kIdcProfileSelector = 1028;
inline constexpr int kIdcFormat = 1029;            // output file format
inline constexpr int kIdcVideoCodec = 1030;
inline constexpr int kIdcAudioCodec = 1031;
inline constexpr int kIdcSave = 1032;
inline constexpr int kIdcEncodingMode = 1033;
inline constexpr int kIdcClose = 1034;
inline constexpr int kIdcAddAudioBitrate = 1035;
inline constexpr int kIdcCopySource = 1036;        // "Copy source directly"
inline constexpr int kIdcFrameRateAdder = 1037;
inline constexpr int kIdcAudioBitrateAdder = 1038;
inline constexpr int kIdcRemoveAudioBitrate = 1039;
inline constexpr int kIdcSampleRateAdder = 1040;
inline constexpr int kIdcAddDevice = 1041;
inline constexpr int kIdcRenameDevice = 1042;      // hidden
inline constexpr int kIdcDeviceGroup = 1043;
inline constexpr int kIdcContainerGroup = 1044;
inline constexpr int kIdcProfileGroup = 1045;
inline constexpr int kIdcFormatLabel = 1046;
inline constexpr int kIdcFileNameLabel = 1047;
inline constexpr int kIdcDescriptionLabel = 1048;
inline constexpr int kIdcPathLabel = 1049;
inline constexpr int kIdcAudioCodecLabel = 1050;
inline constexpr int kIdcOutputTypeLabel = 1051;
inline constexpr int kIdcVideoCodecLabel = 1053;
inline constexpr int kIdcDefaultBitrateLabel = 1054;
inline constexpr int kIdcMaxBitrateLabel = 1055;
inline constexpr int kIdcUnusedEdit = 1058;        // hidden
inline constexpr int kIdcEncodingModeLabel = 1059;
inline constexpr int kIdcAddSampleRate = 1060;
inline constexpr int kIdcRemoveDevice = 1061;
inline constexpr int kIdcRemoveSampleRate = 1062;
inline constexpr int kIdcVideoAndAudio = 1063;     // radio: output type 0
inline constexpr int kIdcAudioOnly = 1064;         // radio: output type 2
inline constexpr int kIdcProfileName = 1065;
inline constexpr int kIdcProfileNameLabel = 1066;
inline constexpr int kIdcProfileMenu = 1067;       // the "Profile" menu button: the profile commands
