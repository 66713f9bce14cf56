#include "cli/ValueRules.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>
#include <set>

#include "cli/ProfileKeys.h"
#include "cli/ToolOutput.h"
#include "editor/ProfileLibrary.h"
#include "platform/Platform.h"
#include "profile/ProfileCodec.h"

namespace cli {

namespace {

constexpr const char* kFormatKey = "common.file.format";
constexpr const char* kCopyKey = "common.audio.copy";
constexpr const char* kAudioCodecKey = "common.audio.codec";
constexpr const char* kVideoCodecKey = "common.video.encode.codec";
constexpr const char* kAudioSectionKey = "acodec.name";
constexpr const char* kVideoSectionKey = "vcodec.name";
constexpr const char* kModeKey = "common.video.encode.mode.value";
constexpr const char* kBitrateKey = "common.video.encode.bitrate_kbps";
constexpr const char* kMinBitrateKey = "common.video.encode.minbitrate_kbps";
constexpr const char* kMaxBitrateKey = "common.video.encode.maxbitrate_kbps";

enum class Shape { WholeNumber, FrameSize, FrameRate };

// The keys the window reads as numbers, sizes or rates; a list key holds items of the
// shape, separated by ",".
struct ShapedKey {
    const char* key;
    Shape shape;
    bool list;
};
constexpr ShapedKey kShapedKeys[] = {
    {kBitrateKey, Shape::WholeNumber, false},
    {kMinBitrateKey, Shape::WholeNumber, false},
    {kMaxBitrateKey, Shape::WholeNumber, false},
    {"common.audio.freq.value", Shape::WholeNumber, false},
    {"common.audio.freq.list", Shape::WholeNumber, true},
    {"common.audio.bitrate.value", Shape::WholeNumber, false},
    {"common.audio.bitrate.list", Shape::WholeNumber, true},
    {"common.video.size.out_size", Shape::FrameSize, false},
    {"common.video.size.list", Shape::FrameSize, true},
    {"common.video.outfps.value", Shape::FrameRate, false},
    {"common.video.outfps.list", Shape::FrameRate, true},
};

// The value lists with the key of the item the window marks as their default.
struct ListDefault {
    const char* list;
    const char* value;
};
constexpr ListDefault kListDefaults[] = {
    {"common.video.size.list", "common.video.size.out_size"},
    {"common.video.outfps.list", "common.video.outfps.value"},
    {"common.audio.freq.list", "common.audio.freq.value"},
    {"common.audio.bitrate.list", "common.audio.bitrate.value"},
};

bool IsDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Digits, with a fraction after one "." where allowed: "25", "29.97".
bool IsDecimal(std::string_view text)
{
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos)
        return IsDigits(text);
    return IsDigits(text.substr(0, dot)) && IsDigits(text.substr(dot + 1));
}

// A number as the schema's numeric attributes hold them: "-1", "100", "2.5".
bool IsNumber(std::string_view text)
{
    if (!text.empty() && text[0] == '-')
        text.remove_prefix(1);
    return IsDecimal(text);
}

// The window reads bitrates into an int; a larger number would not come back as written.
bool ReadWholeNumber(std::string_view text, long long& value)
{
    std::uint64_t number = 0;
    if (!editor::WholeNumberValue(text, number) || number > static_cast<std::uint64_t>(INT_MAX))
        return false;
    value = static_cast<long long>(number);
    return true;
}

// One value or list item; earlier are the items before it in its list, which a frame
// size may not equal by value. reason is a clause that follows the item.
bool CheckItem(Shape shape, std::string_view item, const std::vector<std::string>& earlier, std::string& reason)
{
    long long number = 0;
    switch (shape) {
    case Shape::WholeNumber:
        if (ReadWholeNumber(item, number))
            return true;
        reason = IsDigits(item) ? "is too large" : "is not a whole number";
        return false;
    case Shape::FrameSize: {
        const std::size_t x = item.find('x');
        const editor::FrameSizeCheck check =
            x == std::string_view::npos ? editor::FrameSizeCheck{false, {}, "A frame size is written like 640x480."}
                                        : editor::CheckFrameSize(item.substr(0, x), item.substr(x + 1), earlier);
        reason = "is refused: " + check.reason;
        return check.accepted;
    }
    case Shape::FrameRate:
        if (IsDecimal(item))
            return true;
        reason = "is not a frame rate like 25 or 29.97";
        return false;
    }
    return false;
}

bool CheckShaped(const ShapedKey& shaped, const std::string& value, std::string& reason)
{
    if (!shaped.list)
        return CheckItem(shaped.shape, value, {}, reason);
    std::vector<std::string> items;
    std::vector<std::string> earlier;
    editor::SplitList(value, items);
    for (const std::string& item : items) {
        if (item.empty()) {
            reason = "has an empty item";
            return false;
        }
        if (!CheckItem(shaped.shape, item, earlier, reason)) {
            reason = "holds " + item + ", which " + reason;
            return false;
        }
        if (std::find(earlier.begin(), earlier.end(), item) != earlier.end()) {
            reason = "holds " + item + " twice";
            return false;
        }
        earlier.push_back(item);
    }
    return true;
}

std::string JoinNames(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

bool CheckName(const std::string& value, const std::vector<std::string>& names, const std::string& what,
               std::string& reason)
{
    if (std::find(names.begin(), names.end(), value) != names.end())
        return true;
    reason = "is not " + what + " (" + JoinNames(names) + ")";
    return false;
}

// Every codec the configuration's containers name, in name order.
std::vector<std::string> ConfigurationCodecs(const ToolConfiguration& config, bool audio)
{
    std::set<std::string> names;
    std::vector<std::string> items;
    auto collect = [&](const std::string& list) {
        editor::SplitTrimmedList(list, items);
        names.insert(items.begin(), items.end());
    };
    for (const auto& [formats, codecs] : config.containers)
        collect(audio ? codecs.second : codecs.first);
    if (audio) {
        for (const auto& [formats, codecs] : config.audioContainers)
            collect(codecs);
    }
    names.erase("");
    return {names.begin(), names.end()};
}

std::vector<std::string> FormatsOfType(const ToolConfiguration& config, int type)
{
    return type == editor::kAudioOnly ? editor::AudioFormatItems(config.audioContainers)
                                      : editor::FormatItems(config.containers);
}

// The format as the configuration spells it; the window selects it ignoring case.
bool FindFormat(const ToolConfiguration& config, int type, const std::string& format, std::string& spelled)
{
    for (const std::string& item : FormatsOfType(config, type)) {
        if (CompareNoCase(item, format.c_str()) == 0) {
            spelled = item;
            return true;
        }
    }
    return false;
}

bool IsKnownType(int type)
{
    return type == editor::kVideoAndAudio || type == editor::kAudioOnly;
}

std::string Quoted(const std::string& key, const std::string& value)
{
    return key + " \"" + LineText(value) + "\"";
}

} // namespace

void LoadConfiguration(const std::string& programFolder, ToolConfiguration& out)
{
    out.config.CreateDefault();
    out.config.Load(editor::ConfigurationPath(programFolder));
    editor::BuildContainerTable(out.config, out.containers);
    editor::BuildAudioContainerTable(out.config, out.audioContainers);
}

bool CheckValue(const profile::CProfileFile& profile, const ToolConfiguration& config, const std::string& key,
                const std::string& value, const profile::CProfileAttr* attr, std::string& reason)
{
    // The description box of the window has several lines; every other value has one.
    const bool lines = key == "profile.description";
    if (std::any_of(value.begin(), value.end(), [lines](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return (byte < 0x20 || byte == 0x7F) && !(lines && (c == '\n' || c == '\r' || c == '\t'));
        })) {
        reason = "holds a control character";
        return false;
    }
    if (key == "profile.device") {
        if (editor::IsValidDeviceName(value))
            return true;
        reason = value.empty() ? "names no device" : "is not a device name (\".\", \"..\", or with \"/\" or \"\\\")";
        return false;
    }
    for (const ShapedKey& shaped : kShapedKeys) {
        if (key == shaped.key)
            return (value.empty() && shaped.shape != Shape::WholeNumber) || CheckShaped(shaped, value, reason);
    }
    if (key == kFormatKey) {
        std::string spelled;
        if (!IsKnownType(profile.type) || FindFormat(config, profile.type, value, spelled))
            return true;
        const char* output = profile.type == editor::kAudioOnly ? "audio-only" : "video";
        return CheckName(value, FormatsOfType(config, profile.type), std::string("a format of ") + output + " output",
                         reason);
    }
    if (key == kAudioCodecKey || key == kVideoCodecKey)
        return CheckName(value, ConfigurationCodecs(config, key == kAudioCodecKey), "a codec the configuration names",
                         reason);
    if (key == kAudioSectionKey || key == kVideoSectionKey) {
        if (profile::CreateCodec(key.substr(0, key.find('.')), value))
            return true;
        reason = "is not a codec section this editor knows";
        return false;
    }
    if (key == kModeKey)
        return CheckName(value, {std::begin(editor::kEncodingModeValues), std::end(editor::kEncodingModeValues)},
                         "an encoding mode", reason);
    if (key == kCopyKey)
        return CheckName(value, {"0", "1"}, "0 or 1", reason);
    if (attr != nullptr && attr->numeric && !IsNumber(value) && !(value.empty() && attr->defaultValue.empty())) {
        reason = "is not a number";
        return false;
    }
    return true;
}

std::vector<std::string> ProfileProblems(const profile::CProfileFile& profile, const ToolConfiguration& config)
{
    std::vector<std::string> problems;
    if (!profile.IsVersion200())
        problems.push_back("version \"" + LineText(profile.version) + "\" is not \"200\": the editor does not read it");
    const bool knownType = IsKnownType(profile.type);
    if (!knownType)
        problems.push_back("output type " + std::to_string(profile.type) +
                           " is neither 0 (video and audio) nor 2 (audio only)");

    // Values that break a rule of their own are reported once, not again in every
    // rule that relates them to others.
    std::map<std::string, std::string> good;
    for (const KeyValue& entry : ProfileValues(profile)) {
        const profile::CProfileAttr* attr = nullptr;
        std::string ignored;
        FindKey(profile, entry.key, ignored, &attr);
        std::string reason;
        if (CheckValue(profile, config, entry.key, entry.value, attr, reason))
            good.emplace(entry.key, entry.value);
        else
            problems.push_back(Quoted(entry.key, entry.value) + " " + reason);
    }
    auto value = [&good](const char* key, std::string& out) {
        const auto it = good.find(key);
        if (it == good.end())
            return false;
        out = it->second;
        return true;
    };
    auto requireCodec = [&](const char* key, const std::string& codec, const std::string& format,
                            const std::vector<std::string>& allowed) {
        if (std::find(allowed.begin(), allowed.end(), codec) == allowed.end())
            problems.push_back(Quoted(key, codec) + " is not a codec the format \"" + format + "\" allows (" +
                               JoinNames(allowed) + ")");
    };

    std::string format;
    std::string spelled;
    std::string codec;
    std::string copy;
    value(kCopyKey, copy);
    if (knownType && value(kFormatKey, format) && FindFormat(config, profile.type, format, spelled)) {
        if (profile.type == editor::kVideoAndAudio && value(kVideoCodecKey, codec))
            requireCodec(kVideoCodecKey, codec, spelled,
                         editor::CodecItemsForFormat(config.containers, spelled, false));
        // Copied audio keeps the source's codec, and "copy" is the audio-only format for it.
        if (copy != "1" && spelled != editor::kCopyFormat && value(kAudioCodecKey, codec)) {
            std::vector<std::string> allowed;
            if (profile.type == editor::kVideoAndAudio)
                allowed = editor::CodecItemsForFormat(config.containers, spelled, true);
            else
                editor::AudioCodecsForFormat(config.audioContainers, spelled, allowed);
            requireCodec(kAudioCodecKey, codec, spelled, allowed);
        }
    }

    // The window stores the codec selector's choice into both keys of a pair.
    std::string section;
    std::string expected;
    if (value(kAudioCodecKey, codec) && value(kAudioSectionKey, section) &&
        editor::AudioCodecSectionName(codec, expected) && section != expected)
        problems.push_back(Quoted(kAudioSectionKey, section) + " does not go with " + Quoted(kAudioCodecKey, codec) +
                           ", whose section is \"" + expected + "\"");
    if (profile.type == editor::kVideoAndAudio && value(kVideoCodecKey, codec) && value(kVideoSectionKey, section) &&
        section != codec)
        problems.push_back(Quoted(kVideoSectionKey, section) + " does not go with " + Quoted(kVideoCodecKey, codec));

    for (const ListDefault& pair : kListDefaults) {
        std::string list;
        std::string item;
        std::vector<std::string> items;
        if (!value(pair.list, list) || list.empty() || !value(pair.value, item))
            continue;
        editor::SplitList(list, items);
        if (std::find(items.begin(), items.end(), item) == items.end())
            problems.push_back(Quoted(pair.value, item) + " is not an item of " + pair.list);
    }

    std::string text;
    long long bitrate = 0;
    long long bound = 0;
    if (value(kBitrateKey, text) && ReadWholeNumber(text, bitrate)) {
        if (value(kMaxBitrateKey, text) && ReadWholeNumber(text, bound) && bitrate > bound)
            problems.push_back(std::string(kBitrateKey) + " " + std::to_string(bitrate) + " is above " +
                               kMaxBitrateKey + " " + std::to_string(bound));
        if (value(kMinBitrateKey, text) && ReadWholeNumber(text, bound) && bitrate < bound)
            problems.push_back(std::string(kBitrateKey) + " " + std::to_string(bitrate) + " is below " +
                               kMinBitrateKey + " " + std::to_string(bound));
    }
    return problems;
}

} // namespace cli
