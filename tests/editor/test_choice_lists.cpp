#include "editor/ChoiceLists.h"
#include "editor/StringTable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EditorTestSupport.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace editor {
namespace {

using Items = std::vector<std::string>;

COrrery BuiltIn()
{
    COrrery config;
    config.CreateDefault();
    return config;
}

COrrery FromFixture(const std::string& name)
{
    COrrery config;
    config.CreateDefault();
    config.Load(editor_test::FixturePath("config/" + name).string());
    return config;
}

TEST(SplitList, TakesItemsAsTheyStand)
{
    struct Case { const char* text; Items items; };
    const Case cases[] = {
        {"", {}},
        {"mp3", {"mp3"}},
        {"h264,mpeg4,", {"h264", "mpeg4", ""}},
        {",a", {"", "a"}},
        {"a,,b", {"a", "", "b"}},
        {",", {"", ""}},
        {" a , b", {" a ", " b"}},
    };
    for (const Case& c : cases) {
        Items out{"stale"};
        SplitList(c.text, out);
        EXPECT_EQ(out, c.items) << '"' << c.text << '"';
        if (!c.items.empty()) {
            EXPECT_EQ(JoinList(out), c.text) << "join is the inverse of split";
        }
    }
    EXPECT_EQ(JoinList({}), "");
    EXPECT_EQ(JoinList({"64000", "128000"}), "64000,128000");

    Items trimmed;
    SplitTrimmedList(" h264,\tmpeg4 \r\n, ", trimmed);
    EXPECT_THAT(trimmed, ElementsAre("h264", "mpeg4", ""));
}

TEST(RateText, ThousandthsText)
{
    struct Case { const char* stored; const char* shown; };
    const Case cases[] = {
        {"48000", "48"}, {"64000", "64"}, {"441000", "441"}, {"128000", "128"}, {"1000000", "1000"},
        {"44100", "44.1"}, {"22050", "22.05"}, {"11025", "11.025"}, {"500", ".5"}, {"100", ".1"},
        {"1500", "1.5"},
        // Texts shorter than three digits and texts of zeros only.
        {"5", ".005"}, {"50", ".05"}, {"1", ".001"}, {"10", ".01"}, {"0", "0"}, {"00", "0"},
        {"000", "0"}, {"0000", "0"}, {"", ""},
    };
    for (const Case& c : cases) {
        std::string text = c.stored;
        ThousandthsText(text);
        EXPECT_EQ(text, c.shown) << c.stored;
    }
}

TEST(RateText, ThousandfoldText)
{
    struct Case { const char* shown; const char* stored; };
    const Case cases[] = {
        {"48", "48000"}, {"32.5", "32500"}, {"44.1", "44100"}, {"22.05", "22050"}, {"11.025", "11025"},
        {".5", "500"}, {"1.23456", "1234.56"}, {"128", "128000"}, {"1.", "1000"}, {"", ""},
        {".005", "5"}, {".05", "50"}, {"0", "0"}, {"0.5", "500"}, {"0.0001", "0.1"},
    };
    for (const Case& c : cases) {
        std::string text = c.shown;
        ThousandfoldText(text);
        EXPECT_EQ(text, c.stored) << c.shown;
    }
}

TEST(RateText, StoredRatesSurviveShowingAndStoring)
{
    // A hand-written "-5" must not come back as "0-5".
    for (const char* stored : {"32000", "44100", "11025", "22050", "128000", "500", "5", "50", "1", "0", "320000",
                               "-5", "-44100"}) {
        const std::string shown = RateDisplayText(stored, kKhzSuffix);
        EXPECT_EQ(RateStoredText(shown, kKhzSuffix), stored) << shown;
    }
    EXPECT_EQ(RateDisplayText("44100", kKhzSuffix), "44.1 kHz");
    EXPECT_EQ(RateDisplayText("128000", kKbpsSuffix), "128 kbps");
    EXPECT_EQ(RateStoredText("64 kbps", kKbpsSuffix), "64000");
    EXPECT_EQ(RateStoredText("48", kKhzSuffix), "48000") << "a text without the suffix keeps its digits";
}

TEST(ContainerTables, BuiltInConfiguration)
{
    const COrrery config = BuiltIn();
    ContainerTable containers;
    BuildContainerTable(config, containers);
    const ContainerTable expectedContainers{
        {"3g2", {"mpeg4", "aac"}},
        {"avi", {"h264,mpeg4,xvid", "mp3"}},
        {"dpg", {"mpeg1", "mp2"}},
        {"mkv", {"h264,mpeg4,xvid", "aac,mp3"}},
        {"mp4,psp,ipod_mp4,ipod avc", {"h264,mpeg4", "aac"}},
        {"wmv", {"wmv9", "wma9"}},
    };
    EXPECT_EQ(containers, expectedContainers);

    AudioContainerTable audio;
    BuildAudioContainerTable(config, audio);
    const AudioContainerTable expectedAudio{
        {"ipod", "mp3"}, {"mp3", "mp3"}, {"mp4", "aac"}, {"wav", "pcm"}, {"wma", "wma9"},
    };
    EXPECT_EQ(audio, expectedAudio);

    FourccTable fourcc;
    BuildFourccTable(config, fourcc);
    const FourccTable expectedFourcc{
        {"h264", "H264"}, {"mpeg1", "MPG1"}, {"mpeg4", "MPG4"}, {"wmv9", "WMV3"}, {"xvid", "XVID"},
    };
    EXPECT_EQ(fourcc, expectedFourcc);

    EXPECT_THAT(FormatItems(containers),
                ElementsAre("3g2", "avi", "dpg", "mkv", "mp4", "psp", "ipod_mp4", "ipod avc", "wmv"));
    EXPECT_THAT(AudioFormatItems(audio), ElementsAre("copy", "ipod", "mp3", "mp4", "wav", "wma"));
}

TEST(ContainerTables, CodecListsForFormats)
{
    ContainerTable table;
    BuildContainerTable(BuiltIn(), table);
    struct Case { const char* format; bool found; const char* video; const char* audio; };
    const Case cases[] = {
        {"psp", true, "h264,mpeg4", "aac"},
        {"ipod avc", true, "h264,mpeg4", "aac"},
        {"avi", true, "h264,mpeg4,xvid", "mp3"},
        {"3g2", true, "mpeg4", "aac"},
        {"3gp", false, "", ""},
        {"AVI", false, "", ""},
        {"", false, "", ""},
    };
    for (const Case& c : cases) {
        std::string video = "stale", audio = "stale";
        EXPECT_EQ(CodecListForFormat(table, c.format, video, false), c.found) << c.format;
        EXPECT_EQ(CodecListForFormat(table, c.format, audio, true), c.found) << c.format;
        EXPECT_EQ(video, c.video) << c.format;
        EXPECT_EQ(audio, c.audio) << c.format;
    }
    EXPECT_THAT(CodecItemsForFormat(table, "mkv", true), ElementsAre("aac", "mp3"));
    EXPECT_THAT(CodecItemsForFormat(table, "3gp", false), IsEmpty());
}

TEST(ContainerTables, ConfigurationWithBlanksAndAnUnknownContainer)
{
    const COrrery config = FromFixture("formats.xml");
    ContainerTable containers;
    BuildContainerTable(config, containers);
    // "tv" has no node: it reads as empty texts and gives the empty key. The blank
    // before " avi" is dropped from the key.
    const ContainerTable expected{
        {"", {"", ""}},
        {"avi", {"xvid", "mp3"}},
        {"mp4, psp, m4v", {"h264, mpeg4", "aac"}},
    };
    EXPECT_EQ(containers, expected);

    std::string codecs;
    EXPECT_TRUE(CodecListForFormat(containers, "psp", codecs, false));
    EXPECT_EQ(codecs, "h264, mpeg4");
    EXPECT_TRUE(CodecListForFormat(containers, "m4v", codecs, true));
    EXPECT_EQ(codecs, "aac");
    EXPECT_THAT(CodecItemsForFormat(containers, "psp", false), ElementsAre("h264", "mpeg4"));
    EXPECT_THAT(FormatItems(containers), ElementsAre("avi", "mp4", "psp", "m4v")) << "the empty key has no items";

    AudioContainerTable audio;
    BuildAudioContainerTable(config, audio);
    const AudioContainerTable expectedAudio{{"mp3,mp2", "mp3, mp2"}, {"wav", "pcm"}};
    EXPECT_EQ(audio, expectedAudio);
    // An audio container matches only by its whole format list, although the format
    // selector offers each of its formats.
    Items out{"stale"};
    AudioCodecsForFormat(audio, "mp3", out);
    EXPECT_THAT(out, IsEmpty());
    AudioCodecsForFormat(audio, "mp2", out);
    EXPECT_THAT(out, IsEmpty());
    AudioCodecsForFormat(audio, "mp3,mp2", out);
    EXPECT_THAT(out, ElementsAre("mp3", "mp2"));
    AudioCodecsForFormat(audio, "wav", out);
    EXPECT_THAT(out, ElementsAre("pcm"));
    EXPECT_THAT(AudioFormatItems(audio), ElementsAre("copy", "mp3", "mp2", "wav"));

    FourccTable fourcc;
    BuildFourccTable(config, fourcc);
    const FourccTable expectedFourcc{{"theora", ""}, {"xvid", "XVID"}};
    EXPECT_EQ(fourcc, expectedFourcc);
}

TEST(ChoiceItems, BuiltInConfiguration)
{
    const COrrery config = BuiltIn();
    EXPECT_THAT(ChoiceItems(ChoiceKind::Devices, config),
                ElementsAre("generic", "appleTV", "cellphone", "iPhone", "ipod", "ipodTouch", "nds", "pda", "ps3",
                            "psp2000", "psp", "pvp", "xbox360", "zune"));
    EXPECT_THAT(ChoiceItems(ChoiceKind::FrameRates, config),
                ElementsAre("Same as source", "10 fps", "12 fps", "14 fps", "14.985 fps", "15 fps", "20 fps",
                            "23.976 fps", "24 fps", "25 fps", "29.97 fps", "30 fps"));
    EXPECT_THAT(ChoiceItems(ChoiceKind::AudioBitrates, config),
                ElementsAre("32 kbps", "48 kbps", "64 kbps", "96 kbps", "128 kbps", "192 kbps", "256 kbps",
                            "320 kbps"));
    EXPECT_THAT(ChoiceItems(ChoiceKind::SampleRates, config), ElementsAre("32 kHz", "44.1 kHz", "48 kHz"));
}

TEST(ChoiceItems, ConfigurationFilesOverrideLists)
{
    EXPECT_THAT(ChoiceItems(ChoiceKind::Devices, FromFixture("override_devices.xml")), ElementsAre("psp", "zune"));

    // Devices are not trimmed: the blank is part of the name the file gives.
    const COrrery formats = FromFixture("formats.xml");
    EXPECT_THAT(ChoiceItems(ChoiceKind::Devices, formats), ElementsAre("generic", " psp"));
    EXPECT_THAT(ChoiceItems(ChoiceKind::SampleRates, formats), ElementsAre(".005 kHz", "44.1 kHz"));
    EXPECT_THAT(ChoiceItems(ChoiceKind::FrameRates, formats), ElementsAre("Same as source", "25 fps"));

    // "video" stands before "audio": the audio lists are read, the frame rates keep
    // the built-in list.
    const COrrery outOfOrder = FromFixture("video_before_audio.xml");
    EXPECT_THAT(ChoiceItems(ChoiceKind::SampleRates, outOfOrder), ElementsAre("22.05 kHz", "44.1 kHz"));
    EXPECT_THAT(ChoiceItems(ChoiceKind::AudioBitrates, outOfOrder), ElementsAre("64 kbps", "128 kbps"));
    EXPECT_EQ(ChoiceItems(ChoiceKind::FrameRates, outOfOrder), ChoiceItems(ChoiceKind::FrameRates, BuiltIn()));
}

TEST(ChoiceItems, WithoutATreeEveryListIsEmpty)
{
    const COrrery none;   // CreateDefault never ran
    for (ChoiceKind kind : {ChoiceKind::Devices, ChoiceKind::FrameRates, ChoiceKind::AudioBitrates,
                            ChoiceKind::SampleRates}) {
        EXPECT_THAT(ChoiceItems(kind, none), IsEmpty());
    }
    ContainerTable table;
    BuildContainerTable(none, table);
    EXPECT_TRUE(table.empty());
}

TEST(ChoiceTexts, FrameRates)
{
    EXPECT_EQ(FrameRateChoiceText("Same as source"), "Same as source");
    EXPECT_EQ(FrameRateChoiceText("29.97"), "29.97 fps");
    EXPECT_EQ(FrameRateChoiceText("0"), "0 fps");
    EXPECT_EQ(FrameRateListText("0"), "Same as source");
    EXPECT_EQ(FrameRateListText("25"), "25 fps");
    // Back to the stored value, from either form; a text without the unit stays.
    for (const char* value : {"0", "25", "29.97", "60"}) {
        EXPECT_EQ(FrameRateValue(FrameRateListText(value)), value);
        if (std::string(value) != "0") {
            EXPECT_EQ(FrameRateValue(FrameRateChoiceText(value)), value);
        }
    }
    EXPECT_EQ(FrameRateValue("Same as source"), "0");
    EXPECT_EQ(FrameRateValue("24"), "24");
    EXPECT_EQ(FrameRateValue(" fps"), "");
}

// A translated "Same as source" is only shown: the configuration's item and the list's
// "0" still give "0" to store, and the English text is still read.
TEST(ChoiceTexts, TranslatedSameAsSourceStoresZero)
{
    const TextLookup previous = SetTextLookup(
        [](int id, const char* source) { return id == kIdsSameAsSource ? std::string("Wie Quelle") : source; });
    const std::string chosen = FrameRateChoiceText(kSameAsSource);
    const std::string listed = FrameRateListText("0");
    const std::string fromChosen = FrameRateValue(chosen);
    const std::string fromEnglish = FrameRateValue("Same as source");
    SetTextLookup(previous);
    EXPECT_EQ(chosen, "Wie Quelle");
    EXPECT_EQ(listed, "Wie Quelle");
    EXPECT_EQ(fromChosen, "0");
    EXPECT_EQ(fromEnglish, "0");
}

TEST(ChoiceTexts, EncodingModes)
{
    EXPECT_THAT(EncodingModeItems(), ElementsAre("Fast encoding (1-pass)", "High quality encoding (2-pass)"));
    struct Case { const char* value; int index; };
    const Case cases[] = {{"real_time", 0}, {"high_quality", 1}, {"", 1}, {"Real_time", 1}, {"real_time ", 1}};
    for (const Case& c : cases)
        EXPECT_EQ(EncodingModeIndex(c.value), c.index) << c.value;

    std::string value = "untouched";
    EXPECT_FALSE(EncodingModeValue(-1, value));
    EXPECT_EQ(value, "untouched");
    EXPECT_TRUE(EncodingModeValue(0, value));
    EXPECT_EQ(value, "real_time");
    EXPECT_TRUE(EncodingModeValue(1, value));
    EXPECT_EQ(value, "high_quality");
    EXPECT_TRUE(EncodingModeValue(7, value));
    EXPECT_EQ(value, "high_quality");
}

TEST(ChoiceTexts, AudioCodecNames)
{
    const std::pair<const char*, const char*> rows[] = {
        {"aac", "faac"}, {"mp3", "lame"}, {"wma9", "wma9"}, {"mp2", "mp2"}, {"pcm", "pcm"},
    };
    for (const auto& [display, section] : rows) {
        std::string out;
        EXPECT_TRUE(AudioCodecSectionName(display, out));
        EXPECT_EQ(out, section);
        EXPECT_TRUE(AudioCodecDisplayName(section, out));
        EXPECT_EQ(out, display);
    }
    std::string out = "untouched";
    EXPECT_FALSE(AudioCodecSectionName("faac", out));
    EXPECT_FALSE(AudioCodecSectionName("AAC", out));
    EXPECT_FALSE(AudioCodecDisplayName("aac", out));
    EXPECT_EQ(out, "untouched");
}

TEST(FrameSizes, WholeSidesAboveZeroComparedByValue)
{
    const Items listed = {"0640x480", "720x0576", "odd"};
    struct Case {
        const char* width;
        const char* height;
        const char* added;     // empty: refused
    } const cases[] = {
        {"0800", "600", "800x600"}, {"640", "480", ""}, {"720", "576", ""},   {"0", "480", ""},
        {"640", "000", ""},         {"", "480", ""},    {"64.5", "480", ""}, {"-640", "480", ""},
        {"99999999999999999999", "1", ""},
    };
    for (const Case& c : cases) {
        const FrameSizeCheck check = CheckFrameSize(c.width, c.height, listed);
        EXPECT_EQ(check.accepted, *c.added != '\0') << c.width << "x" << c.height;
        EXPECT_EQ(check.text, c.added) << c.width << "x" << c.height;
        EXPECT_EQ(check.reason.empty(), check.accepted) << c.width << "x" << c.height;
    }
    EXPECT_EQ(CheckFrameSize("640", "480", listed).reason, "640x480 is already in the list.");
}

TEST(SetFourccForCodec, StoresTheCodecsFourcc)
{
    FourccTable table;
    BuildFourccTable(BuiltIn(), table);
    profile::CProfileFile base;
    base.CreateDefault();
    CTypeFile holder;
    holder.SetCurrentProfile(base);

    struct Case { const char* codec; const char* fourcc; };
    const Case cases[] = {{"xvid", "XVID"}, {"wmv9", "WMV3"}, {"h264", "H264"}, {"", ""}, {"theora", ""}, {"XVID", ""}};
    for (const Case& c : cases) {
        ASSERT_TRUE(holder.SetValue("common.video.encode.fourcc", "stale"));
        SetFourccForCodec(holder, table, c.codec);
        std::string stored;
        ASSERT_TRUE(holder.GetValue("common.video.encode.fourcc", stored));
        EXPECT_EQ(stored, c.fourcc) << c.codec;
    }
}

} // namespace
} // namespace editor
