#include "editor/ChoiceLists.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "editor/ProfileKeys.h"
#include "editor/StringTable.h"
#include "platform/Platform.h"

namespace editor {

namespace {

std::string ConfigValue(const COrrery& config, const std::string& key)
{
    std::string value;
    config.GetValue(key, value);   // a missing value stays empty
    return value;
}

void AppendTrimmedItems(const std::string& text, std::vector<std::string>& out)
{
    std::vector<std::string> items;
    SplitTrimmedList(text, items);
    out.insert(out.end(), items.begin(), items.end());
}

bool EndsWith(const std::string& text, const char* suffix)
{
    const std::size_t length = std::strlen(suffix);
    return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

} // namespace

void SplitList(const std::string& text, std::vector<std::string>& out)
{
    out.clear();
    if (text.empty())
        return;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t comma = text.find(',', pos);
        if (comma == std::string::npos) {
            out.push_back(text.substr(pos));
            return;
        }
        out.push_back(text.substr(pos, comma - pos));
        pos = comma + 1;
    }
}

std::string JoinList(const std::vector<std::string>& items)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i != 0)
            text += ',';
        text += items[i];
    }
    return text;
}

void SplitTrimmedList(const std::string& text, std::vector<std::string>& out)
{
    SplitList(text, out);
    for (std::string& item : out)
        TrimSpace(item);
}

void BuildContainerTable(const COrrery& config, ContainerTable& table)
{
    // Container names are used as they stand: they are node names, and a blank would
    // be part of the name.
    std::vector<std::string> containers;
    SplitList(ConfigValue(config, "common.container.clist"), containers);
    for (const std::string& container : containers) {
        const std::string prefix = "common.container." + container;
        std::string key = ConfigValue(config, prefix + ".flist");
        std::string videoCodecs = ConfigValue(config, prefix + ".vlist");
        std::string audioCodecs = ConfigValue(config, prefix + ".alist");
        if (!key.empty() && key[0] == ' ')
            key.erase(0, 1);
        table.emplace(std::move(key), std::make_pair(std::move(videoCodecs), std::move(audioCodecs)));
    }
}

void BuildAudioContainerTable(const COrrery& config, AudioContainerTable& table)
{
    std::vector<std::string> containers;
    SplitTrimmedList(ConfigValue(config, "common.container.audio.clist"), containers);
    for (const std::string& container : containers) {
        const std::string prefix = "common.container.audio." + container;
        table.emplace(ConfigValue(config, prefix + ".flist"), ConfigValue(config, prefix + ".alist"));
    }
}

void BuildFourccTable(const COrrery& config, FourccTable& table)
{
    std::vector<std::string> codecs;
    SplitTrimmedList(ConfigValue(config, "common.video.fourcc.vlist"), codecs);
    for (const std::string& codec : codecs)
        table.emplace(codec, ConfigValue(config, "common.video.fourcc." + codec + ".fourcc"));
}

bool CodecListForFormat(const ContainerTable& table, const std::string& format, std::string& out, bool audio)
{
    std::vector<std::string> formats;
    for (const auto& [formatList, codecs] : table) {
        SplitTrimmedList(formatList, formats);
        if (std::find(formats.begin(), formats.end(), format) != formats.end()) {
            out = audio ? codecs.second : codecs.first;
            return true;
        }
    }
    // The caller fills a selector from out; a stale list would offer codecs the
    // format does not allow.
    out.clear();
    return false;
}

void AudioCodecsForFormat(const AudioContainerTable& table, const std::string& format, std::vector<std::string>& out)
{
    out.clear();
    const auto found = table.find(format);
    if (found != table.end())
        SplitTrimmedList(found->second, out);
}

std::vector<std::string> CodecItemsForFormat(const ContainerTable& table, const std::string& format, bool audio)
{
    std::string codecs;
    std::vector<std::string> items;
    if (CodecListForFormat(table, format, codecs, audio))
        SplitTrimmedList(codecs, items);
    return items;
}

std::vector<std::string> FormatItems(const ContainerTable& table)
{
    std::vector<std::string> items;
    for (const auto& entry : table)
        AppendTrimmedItems(entry.first, items);
    return items;
}

std::vector<std::string> AudioFormatItems(const AudioContainerTable& table)
{
    std::vector<std::string> items{kCopyFormat};
    for (const auto& entry : table)
        AppendTrimmedItems(entry.first, items);
    return items;
}

std::vector<std::string> ChoiceItems(ChoiceKind kind, const COrrery& config)
{
    const char* key = "device_list";
    switch (kind) {
    case ChoiceKind::Devices: key = "device_list"; break;
    case ChoiceKind::FrameRates: key = "common.video.outfps.list"; break;
    case ChoiceKind::AudioBitrates: key = "common.audio.bitrate.list"; break;
    case ChoiceKind::SampleRates: key = "common.audio.freq.list"; break;
    }
    std::vector<std::string> items;
    SplitList(ConfigValue(config, key), items);
    for (std::string& item : items) {
        switch (kind) {
        case ChoiceKind::Devices: break;
        case ChoiceKind::FrameRates: item = FrameRateChoiceText(item); break;
        case ChoiceKind::AudioBitrates: item = RateDisplayText(item, kKbpsSuffix); break;
        case ChoiceKind::SampleRates: item = RateDisplayText(item, kKhzSuffix); break;
        }
    }
    return items;
}

std::string FrameRateChoiceText(const std::string& item)
{
    return item == kSameAsSource ? LoadString(kIdsSameAsSource) : item + kFpsSuffix;
}

std::string FrameRateListText(const std::string& value)
{
    return value == "0" ? LoadString(kIdsSameAsSource) : value + kFpsSuffix;
}

std::string FrameRateValue(const std::string& shown)
{
    // The stored text itself is taken too, whatever the language shown.
    if (shown == kSameAsSource || shown == LoadString(kIdsSameAsSource))
        return "0";
    if (EndsWith(shown, kFpsSuffix))
        return shown.substr(0, shown.size() - std::strlen(kFpsSuffix));
    return shown;
}

namespace {

void ThousandthsOfUnsigned(std::string& text)
{
    if (text.empty())
        return;
    if (text.find_first_not_of('0') == std::string::npos) {
        text = "0";   // zero hertz is zero kilohertz, not ".00"
        return;
    }
    int removed = 0;
    while (removed < 3 && text.back() == '0') {
        text.pop_back();
        ++removed;
    }
    if (removed == 3)
        return;
    // Short texts ("5" Hz) are padded so that the point still stands three places
    // from the right of the original number.
    const std::size_t decimals = static_cast<std::size_t>(3 - removed);
    if (text.size() < decimals)
        text.insert(0, decimals - text.size(), '0');
    text.insert(text.size() - decimals, 1, '.');
}

void ThousandfoldOfUnsigned(std::string& text)
{
    if (text.empty())
        return;
    const std::size_t point = text.find('.');
    if (point == std::string::npos) {
        text += "000";
    } else {
        text.erase(point, 1);
        const std::size_t decimals = text.size() - point;
        if (decimals <= 3)
            text.append(3 - decimals, '0');
        else
            text.insert(text.size() - (decimals - 3), 1, '.');
    }
    // ".005" kHz is 5 Hz, not "005": leading zeros go as long as a digit follows.
    std::size_t zeros = 0;
    while (zeros + 1 < text.size() && text[zeros] == '0' && text[zeros + 1] >= '0' && text[zeros + 1] <= '9')
        ++zeros;
    text.erase(0, zeros);
}

// The digits are shifted without their sign: padding "-5" with zeros would put them
// in front of the "-", and the way back would keep them ("0-5").
void ShiftUnsigned(std::string& text, void (*shift)(std::string&))
{
    if (text.size() < 2 || text.front() != '-') {
        shift(text);
        return;
    }
    std::string digits = text.substr(1);
    shift(digits);
    text = "-" + digits;
}

} // namespace

void ThousandthsText(std::string& text)
{
    ShiftUnsigned(text, ThousandthsOfUnsigned);
}

void ThousandfoldText(std::string& text)
{
    ShiftUnsigned(text, ThousandfoldOfUnsigned);
}

std::string RateDisplayText(const std::string& value, const char* suffix)
{
    std::string text = value;
    ThousandthsText(text);
    return text + suffix;
}

std::string RateStoredText(const std::string& display, const char* suffix)
{
    std::string text = display;
    if (EndsWith(text, suffix))
        text.resize(text.size() - std::strlen(suffix));
    ThousandfoldText(text);
    return text;
}

bool WholeNumberValue(std::string_view text, std::uint64_t& value)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    std::uint64_t parsed = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (result.ec != std::errc())
        return false;
    value = parsed;
    return true;
}

bool FrameSizeValue(std::string_view item, std::uint64_t& width, std::uint64_t& height)
{
    const std::size_t x = item.find('x');
    std::uint64_t w = 0;
    std::uint64_t h = 0;
    if (x == std::string_view::npos || !WholeNumberValue(item.substr(0, x), w) ||
        !WholeNumberValue(item.substr(x + 1), h))
        return false;
    width = w;
    height = h;
    return true;
}

FrameSizeCheck CheckFrameSize(std::string_view width, std::string_view height,
                              const std::vector<std::string>& listed)
{
    FrameSizeCheck check;
    std::uint64_t w = 0;
    std::uint64_t h = 0;
    if (width.empty() || height.empty()) {
        check.reason = LoadString(kIdsFrameSizeIncomplete);
    } else if (!WholeNumberValue(width, w) || !WholeNumberValue(height, h)) {
        check.reason = LoadString(kIdsFrameSizeNotNumbers);
    } else if (w == 0 || h == 0) {
        check.reason = LoadString(kIdsFrameSizeZero);
    } else {
        check.text = std::to_string(w) + "x" + std::to_string(h);
        for (const std::string& item : listed) {
            std::uint64_t itemWidth = 0;
            std::uint64_t itemHeight = 0;
            // An item that is not a size of numbers (a file may hold anything) can
            // only be equal as text.
            const bool same = FrameSizeValue(item, itemWidth, itemHeight) ? itemWidth == w && itemHeight == h
                                                                          : item == check.text;
            if (same) {
                check.reason = FormatString(kIdsFrameSizeListed, check.text);
                check.text.clear();
                return check;
            }
        }
        check.accepted = true;
    }
    return check;
}

void SetFourccForCodec(CTypeFile& holder, const FourccTable& table, const std::string& codec)
{
    std::string fourcc;
    if (!codec.empty()) {
        const auto found = table.find(codec);
        if (found != table.end())
            fourcc = found->second;
    }
    holder.SetValue(keys::kFourcc, fourcc);
}

bool AudioCodecSectionName(const std::string& displayName, std::string& out)
{
    for (const AudioCodecName& entry : kAudioCodecNames) {
        if (displayName == entry.displayName) {
            out = entry.sectionName;
            return true;
        }
    }
    return false;
}

bool AudioCodecDisplayName(const std::string& sectionName, std::string& out)
{
    for (const AudioCodecName& entry : kAudioCodecNames) {
        if (sectionName == entry.sectionName) {
            out = entry.displayName;
            return true;
        }
    }
    return false;
}

std::vector<std::string> EncodingModeItems()
{
    return {LoadString(kIdsEncodingFast), LoadString(kIdsEncodingHighQuality)};
}

int EncodingModeIndex(const std::string& value)
{
    return value == kEncodingModeValues[0] ? 0 : 1;
}

bool EncodingModeValue(int index, std::string& out)
{
    if (index < 0)
        return false;
    out = kEncodingModeValues[index == 0 ? 0 : 1];
    return true;
}

} // namespace editor
