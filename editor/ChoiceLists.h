#pragma once

// What the configuration lets the user choose: value lists, the container, audio
// container and FourCC tables, the texts of the device selector and the three rate
// choosers, the encoding modes, the audio codec names and the text conversions
// between stored rates (Hz, bit/s) and shown rates (kHz, kbps).
//
// The window owns the tables and fills its drop-down lists with the texts built here,
// so that the rules live in one place and can be tested without a window.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/Orrery.h"
#include "editor/TypeFile.h"

namespace editor {

using ContainerTable = std::map<std::string, std::pair<std::string, std::string>>; // flist -> (vlist, alist)
using AudioContainerTable = std::map<std::string, std::string>;                    // flist -> alist
using FourccTable = std::map<std::string, std::string>;                            // codec -> FourCC

enum class ChoiceKind { Devices, FrameRates, AudioBitrates, SampleRates };

// Unit suffixes of the shown rates; the store side cuts them off by length.
inline constexpr const char* kFpsSuffix = " fps";
inline constexpr const char* kKbpsSuffix = " kbps";
inline constexpr const char* kKhzSuffix = " kHz";
// The frame-rate choice that keeps the source's own rate, as the configuration lists it;
// it never gets a suffix and is shown as the string table's kIdsSameAsSource.
inline constexpr const char* kSameAsSource = "Same as source";
// The entry that precedes the audio-only formats in the output file format selector.
inline constexpr const char* kCopyFormat = "copy";

// Value lists: items separated by ",", taken as they stand (an empty piece is an
// item); the empty text has no items. SplitList empties out first.
void SplitList(const std::string& text, std::vector<std::string>& out);
std::string JoinList(const std::vector<std::string>& items);
// SplitList, then every item trimmed of white space.
void SplitTrimmedList(const std::string& text, std::vector<std::string>& out);

// Each fills an empty table from the configuration; when two entries share a key,
// the first one stays.
void BuildContainerTable(const COrrery& config, ContainerTable& table);
void BuildAudioContainerTable(const COrrery& config, AudioContainerTable& table);
void BuildFourccTable(const COrrery& config, FourccTable& table);

// The codec list (video, or audio when audio is true) of the first container, in key
// order, whose format list names the format. Without one, out is emptied and the
// result is false.
bool CodecListForFormat(const ContainerTable& table, const std::string& format, std::string& out, bool audio);

// The trimmed audio codecs of the audio container whose whole format list equals the
// format; out is emptied first and stays empty without such a container.
void AudioCodecsForFormat(const AudioContainerTable& table, const std::string& format, std::vector<std::string>& out);

// The codec selector's items for a format: CodecListForFormat split and trimmed.
std::vector<std::string> CodecItemsForFormat(const ContainerTable& table, const std::string& format, bool audio);

// The output file format selector's items: for video and audio output (type 0) the
// trimmed items of every container key in key order; for audio-only output "copy"
// followed by the trimmed items of every audio container key.
std::vector<std::string> FormatItems(const ContainerTable& table);
std::vector<std::string> AudioFormatItems(const AudioContainerTable& table);

// The texts a drop-down list of the kind receives, in order (the window appends
// them and selects the first).
std::vector<std::string> ChoiceItems(ChoiceKind kind, const COrrery& config);

// Frame rate as the chooser shows it: the item with " fps", "Same as source" as the
// string table has it.
std::string FrameRateChoiceText(const std::string& item);
// Frame rate as the frame-rate list shows a stored value: "0" (the source's own
// rate) is "Same as source", any other value gets " fps".
std::string FrameRateListText(const std::string& value);
// The stored value of a frame rate as the list or the chooser shows it, the reverse of
// both: "Same as source" (as shown, or as stored) is "0", " fps" goes.
std::string FrameRateValue(const std::string& shown);

// A stored rate shown divided by 1000 and the reverse: "44100" <-> "44.1".
void ThousandthsText(std::string& text);
void ThousandfoldText(std::string& text);
// A stored rate as a list shows it ("48000" and " kHz" give "48 kHz"), and a shown
// text back to its stored value (the suffix is cut by its length when it is there).
std::string RateDisplayText(const std::string& value, const char* suffix);
std::string RateStoredText(const std::string& display, const char* suffix);

// A whole number as the bitrate and frame-size boxes take it: one or more digits and
// nothing else; leading zeros are read away ("0640" is 640). False, with value
// untouched, for anything else and for a number that does not fit.
bool WholeNumberValue(std::string_view text, std::uint64_t& value);

// A frame-size list item, width "x" height ("640x480"), both whole numbers.
bool FrameSizeValue(std::string_view item, std::uint64_t& width, std::uint64_t& height);

// Whether the width and height typed for the frame-size list make a size to add, and
// which: "0640" and "480" give "640x480". A size needs two whole numbers above 0
// that no listed item equals by value ("0640x480" is 640x480 too). A refusal
// carries the reason, as the window shows it.
struct FrameSizeCheck {
    bool accepted = false;
    std::string text;      // the item to add
    std::string reason;    // why not
};
FrameSizeCheck CheckFrameSize(std::string_view width, std::string_view height,
                              const std::vector<std::string>& listed);

// Stores the codec's FourCC into "common.video.encode.fourcc" of the current profile:
// the empty text for the empty codec and for a codec the table does not know.
void SetFourccForCodec(CTypeFile& holder, const FourccTable& table, const std::string& codec);

// Audio codec names as the configuration and the codec selector name them, with the
// codec section name each is stored as ("acodec.name").
struct AudioCodecName {
    const char* displayName;
    const char* sectionName;
};
inline constexpr AudioCodecName kAudioCodecNames[] = {
    {"aac", "faac"}, {"mp3", "lame"}, {"wma9", "wma9"}, {"mp2", "mp2"}, {"pcm", "pcm"},
};
// False (out untouched) for a name outside the table.
bool AudioCodecSectionName(const std::string& displayName, std::string& out);
bool AudioCodecDisplayName(const std::string& sectionName, std::string& out);

// The two encoding modes, in selector order: stored value and shown text (from the
// string table).
inline constexpr const char* kEncodingModeValues[] = {"real_time", "high_quality"};
std::vector<std::string> EncodingModeItems();
// The entry to select for a stored value: 0 for exactly "real_time", 1 for any other
// value, the empty one included.
int EncodingModeIndex(const std::string& value);
// The value to store for a selected entry: false (nothing to store) without a
// selection (a negative index), "real_time" for 0, "high_quality" for any other.
bool EncodingModeValue(int index, std::string& out);

} // namespace editor
