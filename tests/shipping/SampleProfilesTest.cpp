// The shipped sample profiles: what each file holds, that it reads back and writes
// again unchanged, that the window's choice tables offer what it stores, and that the
// editor meets them instead of making default profiles.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ShippingTestSupport.h"
#include "editor/ChoiceLists.h"
#include "editor/Orrery.h"
#include "editor/ProfileLibrary.h"
#include "markup/XmlDoc.h"
#include "packaging/SampleProfiles.h"
#include "profile/ProfileFile.h"

namespace {

using namespace shipping_test;

struct LoadedSample {
    fs::path path;
    profile::CProfileFile profile;
};

std::vector<LoadedSample> LoadSamples()
{
    std::vector<LoadedSample> loaded;
    for (const fs::path& path : XmlFiles(SampleFolder())) {
        LoadedSample sample{path, {}};
        sample.profile.CreateDefault();
        EXPECT_TRUE(sample.profile.Load(path.string())) << path;
        loaded.push_back(std::move(sample));
    }
    return loaded;
}

std::string Value(const profile::CProfileFile& profile, const std::string& key)
{
    std::string value;
    EXPECT_TRUE(profile.GetValue(key, value)) << profile.fileTitle << ": " << key;
    return value;
}

std::vector<std::string> Items(const std::string& list)
{
    std::vector<std::string> items;
    editor::SplitList(list, items);
    return items;
}

bool Contains(const std::vector<std::string>& items, const std::string& item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

std::vector<std::string> ConfiguredDevices()
{
    editor::COrrery configuration;
    configuration.CreateDefault();
    std::string devices;
    configuration.GetValue("device_list", devices);
    return Items(devices);
}

bool IsDecimal(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

TEST(SampleProfiles, EveryFileLoadsAsAShippedVersion200ProfileNamedAfterItsDeviceAndType)
{
    const std::vector<LoadedSample> samples = LoadSamples();
    ASSERT_FALSE(samples.empty());
    for (const LoadedSample& sample : samples) {
        SCOPED_TRACE(sample.path.string());
        const profile::CProfileFile& p = sample.profile;
        EXPECT_EQ(p.rootName, "profile");
        EXPECT_TRUE(p.IsVersion200());
        EXPECT_EQ(p.tag, "kestro");
        EXPECT_TRUE(editor::IsBuiltInProfile(p));
        ASSERT_TRUE(p.type == editor::kVideoAndAudio || p.type == editor::kAudioOnly);
        const std::string kind = p.type == editor::kAudioOnly ? ".Kestro.Audio" : ".Kestro.Video";
        EXPECT_EQ(sample.path.filename().string(), p.device + kind + ".xml");
        EXPECT_EQ(p.name, p.device + kind);
        EXPECT_EQ(p.fileTitle, p.name);
        EXPECT_FALSE(p.description.empty());
    }
}

TEST(SampleProfiles, CoverEveryConfiguredDeviceOnceWithEachOutputType)
{
    std::set<std::pair<std::string, int>> expected;
    for (const std::string& device : ConfiguredDevices()) {
        expected.insert({device, editor::kVideoAndAudio});
        expected.insert({device, editor::kAudioOnly});
    }
    ASSERT_EQ(expected.size(), 28u);

    std::multiset<std::pair<std::string, int>> found;
    for (const LoadedSample& sample : LoadSamples())
        found.insert({sample.profile.device, sample.profile.type});
    const std::set<std::pair<std::string, int>> distinct(found.begin(), found.end());
    EXPECT_EQ(distinct, expected);
    EXPECT_EQ(found.size(), expected.size()) << "a device and type with more than one sample";
}

TEST(SampleProfiles, LoadSaveRoundTripReproducesEveryFileByteForByte)
{
    TempDir temp;
    for (const LoadedSample& sample : LoadSamples()) {
        SCOPED_TRACE(sample.path.string());
        const std::string original = ReadBytes(sample.path);
        ASSERT_FALSE(original.empty());
        for (std::size_t at = original.find('\n'); at != std::string::npos; at = original.find('\n', at + 1))
            ASSERT_TRUE(at > 0 && original[at - 1] == '\r') << "a line not ending in CR LF at " << at;

        const fs::path saved = temp.Path() / sample.path.filename();
        profile::CProfileFile loaded = sample.profile;
        ASSERT_TRUE(loaded.Save(saved.string()));
        EXPECT_EQ(ReadBytes(saved), original);

        // The library and the window hold copies; a copy writes the same file.
        profile::CProfileFile copy;
        copy.CopyFrom(sample.profile);
        ASSERT_TRUE(copy.BuildDocument());
        EXPECT_EQ(copy.Document()->DocumentText(), original);
    }
}

TEST(SampleProfiles, CommittedFilesAreExactlyWhatTheSampleTableBuilds)
{
    std::set<std::string> built;
    for (const samples::SampleProfile& sample : samples::SampleProfiles()) {
        const std::string fileName = samples::SampleFileName(sample);
        SCOPED_TRACE(fileName);
        EXPECT_TRUE(built.insert(fileName).second) << "two samples share a file name";
        profile::CProfileFile profile;
        ASSERT_TRUE(samples::BuildSampleProfile(sample, profile));
        ASSERT_TRUE(profile.BuildDocument());
        EXPECT_EQ(profile.Document()->DocumentText(), ReadBytes(SampleFolder() / fileName))
            << "run the orrery_update_samples target after changing the table";
    }
    EXPECT_EQ(FileNames(XmlFiles(SampleFolder())), built);
}

TEST(SampleProfiles, FormatsAndCodecsAreOnesTheConfigurationOffersTogether)
{
    editor::COrrery configuration;
    configuration.CreateDefault();
    editor::ContainerTable containers;
    editor::AudioContainerTable audioContainers;
    editor::FourccTable fourccs;
    editor::BuildContainerTable(configuration, containers);
    editor::BuildAudioContainerTable(configuration, audioContainers);
    editor::BuildFourccTable(configuration, fourccs);

    for (const LoadedSample& sample : LoadSamples()) {
        SCOPED_TRACE(sample.path.string());
        const profile::CProfileFile& p = sample.profile;
        const std::string format = Value(p, "common.file.format");
        const std::string audioCodec = Value(p, "common.audio.codec");
        std::string sectionName;
        ASSERT_TRUE(editor::AudioCodecSectionName(audioCodec, sectionName)) << audioCodec;
        EXPECT_EQ(Value(p, "acodec.name"), sectionName);
        EXPECT_EQ(Value(p, "common.audio.copy"), "0");

        if (p.type == editor::kAudioOnly) {
            EXPECT_TRUE(Contains(editor::AudioFormatItems(audioContainers), format)) << format;
            std::vector<std::string> codecs;
            editor::AudioCodecsForFormat(audioContainers, format, codecs);
            EXPECT_TRUE(Contains(codecs, audioCodec)) << format << " " << audioCodec;
            const profile::CProfileNode* video = p.FindSection("common.video")->FindNode("common.video");
            ASSERT_NE(video, nullptr);
            EXPECT_FALSE(video->present) << "an audio-only sample holds video settings";
            continue;
        }

        EXPECT_TRUE(Contains(editor::FormatItems(containers), format)) << format;
        const std::string videoCodec = Value(p, "common.video.encode.codec");
        EXPECT_TRUE(Contains(editor::CodecItemsForFormat(containers, format, false), videoCodec)) << videoCodec;
        EXPECT_TRUE(Contains(editor::CodecItemsForFormat(containers, format, true), audioCodec)) << audioCodec;
        EXPECT_EQ(Value(p, "vcodec.name"), videoCodec);
        ASSERT_EQ(fourccs.count(videoCodec), 1u);
        EXPECT_EQ(Value(p, "common.video.encode.fourcc"), fourccs.at(videoCodec));
    }
}

TEST(SampleProfiles, EveryDefaultValueIsAnItemOfItsListAndBitratesFitTheirRange)
{
    for (const LoadedSample& sample : LoadSamples()) {
        SCOPED_TRACE(sample.path.string());
        const profile::CProfileFile& p = sample.profile;

        const std::vector<std::string> rates = Items(Value(p, "common.audio.freq.list"));
        EXPECT_TRUE(Contains(rates, Value(p, "common.audio.freq.value")));
        for (const std::string& rate : rates) {
            ASSERT_TRUE(IsDecimal(rate)) << rate;
            EXPECT_GE(std::stoi(rate), 8000);
            EXPECT_LE(std::stoi(rate), 48000);
        }
        const std::vector<std::string> bitrates = Items(Value(p, "common.audio.bitrate.list"));
        EXPECT_TRUE(Contains(bitrates, Value(p, "common.audio.bitrate.value")));
        for (const std::string& bitrate : bitrates) {
            ASSERT_TRUE(IsDecimal(bitrate)) << bitrate;
            EXPECT_GE(std::stol(bitrate), 8000);
        }
        if (p.type == editor::kAudioOnly)
            continue;

        const std::vector<std::string> sizes = Items(Value(p, "common.video.size.list"));
        EXPECT_TRUE(Contains(sizes, Value(p, "common.video.size.out_size")));
        for (const std::string& size : sizes) {
            const std::size_t x = size.find('x');
            ASSERT_NE(x, std::string::npos) << size;
            EXPECT_TRUE(IsDecimal(size.substr(0, x)) && IsDecimal(size.substr(x + 1))) << size;
        }
        const std::vector<std::string> frameRates = Items(Value(p, "common.video.outfps.list"));
        EXPECT_TRUE(Contains(frameRates, Value(p, "common.video.outfps.value")));
        EXPECT_EQ(std::set<std::string>(frameRates.begin(), frameRates.end()).size(), frameRates.size());

        const std::string low = Value(p, "common.video.encode.minbitrate_kbps");
        const std::string standard = Value(p, "common.video.encode.bitrate_kbps");
        const std::string high = Value(p, "common.video.encode.maxbitrate_kbps");
        ASSERT_TRUE(IsDecimal(low) && IsDecimal(standard) && IsDecimal(high));
        EXPECT_LE(std::stoi(low), std::stoi(standard));
        EXPECT_LE(std::stoi(standard), std::stoi(high));
        const std::string mode = Value(p, "common.video.encode.mode.value");
        EXPECT_TRUE(mode == editor::kEncodingModeValues[0] || mode == editor::kEncodingModeValues[1]) << mode;
    }
}

TEST(SampleProfiles, NamesNeverMeetTheNamesOfDefaultDeviceProfiles)
{
    TempDir root;
    std::set<std::string> sampleNames = FileNames(XmlFiles(SampleFolder()));
    for (const std::string& device : ConfiguredDevices()) {
        for (int type : {editor::kVideoAndAudio, editor::kAudioOnly}) {
            profile::CProfileFile made;
            editor::CreateDeviceProfile(device, made, DataFolder().string(), root.Path().string(), type);
            ASSERT_FALSE(made.filePath.empty()) << device;
            EXPECT_EQ(sampleNames.count(fs::path(made.filePath).filename().string()), 0u) << made.filePath;
        }
    }
}

TEST(SampleProfiles, TheEditorsLibraryMeetsTheSamplesAndMakesNoDefaultProfiles)
{
    TempDir root;
    fs::create_directories(root.Path() / "Profiles");
    for (const fs::path& sample : XmlFiles(SampleFolder()))
        fs::copy_file(sample, root.Path() / "Profiles" / sample.filename());

    editor::CProfileLibrary library;
    ASSERT_TRUE(library.ScanProfiles(editor::ProfilesPattern(root.Path().string())));
    const std::vector<std::string> devices = ConfiguredDevices();
    EXPECT_TRUE(editor::CompleteDevices(library, devices, DataFolder().string(), root.Path().string()).empty());
    EXPECT_EQ(library.Size(), 2 * devices.size());
    for (const auto& [device, profile] : library.Entries()) {
        EXPECT_TRUE(editor::IsBuiltInProfile(profile)) << device << " " << profile.name;
        EXPECT_NE(profile.name, "default");
    }
    for (const std::string& device : devices) {
        for (int type : {editor::kVideoAndAudio, editor::kAudioOnly}) {
            std::vector<profile::CProfileFile> listed;
            ASSERT_TRUE(library.CollectProfiles(device, type, listed)) << device;
            ASSERT_EQ(listed.size(), 1u) << device;
            EXPECT_EQ(listed[0].device, device);
        }
    }
}

} // namespace
