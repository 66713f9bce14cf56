#pragma once

// The dotted keys of a profile that the editing session and the window read and
// write, in one place, so a key is spelt once.

namespace editor::keys {

inline constexpr const char* kFileFormat = "common.file.format";

inline constexpr const char* kVideoCodec = "common.video.encode.codec";
inline constexpr const char* kEncodingMode = "common.video.encode.mode.value";
inline constexpr const char* kFourcc = "common.video.encode.fourcc";
inline constexpr const char* kBitrate = "common.video.encode.bitrate_kbps";
inline constexpr const char* kMinBitrate = "common.video.encode.minbitrate_kbps";
inline constexpr const char* kMaxBitrate = "common.video.encode.maxbitrate_kbps";
inline constexpr const char* kFrameSizes = "common.video.size.list";
inline constexpr const char* kFrameSize = "common.video.size.out_size";
inline constexpr const char* kFrameRates = "common.video.outfps.list";
inline constexpr const char* kFrameRate = "common.video.outfps.value";

inline constexpr const char* kAudioCodec = "common.audio.codec";
inline constexpr const char* kAudioCopy = "common.audio.copy";
inline constexpr const char* kSampleRates = "common.audio.freq.list";
inline constexpr const char* kSampleRate = "common.audio.freq.value";
inline constexpr const char* kAudioBitrates = "common.audio.bitrate.list";
inline constexpr const char* kAudioBitrate = "common.audio.bitrate.value";

// The codec sections' names ("acodec.faac" is the section of "acodec.name" = "faac").
inline constexpr const char* kAudioCodecName = "acodec.name";
inline constexpr const char* kVideoCodecName = "vcodec.name";
inline constexpr const char* kAudioCodecSectionPrefix = "acodec.";

// Rows of the binding table that stand for a root attribute or the file path rather
// than a key of a section.
inline constexpr const char* kProfileName = "profile.name";
inline constexpr const char* kProfileDescription = "profile.description";
inline constexpr const char* kProfileDevice = "profile.device";
inline constexpr const char* kPath = "path";

} // namespace editor::keys
