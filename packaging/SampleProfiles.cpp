#include "packaging/SampleProfiles.h"

#include "editor/ChoiceLists.h"
#include "editor/Orrery.h"
#include "editor/ProfileLibrary.h"

namespace samples {

namespace {

SampleProfile Video(const char* device, const char* description, const char* format, const char* videoCodec,
                    const char* frameSizes, const char* frameSize, const char* frameRates, const char* frameRate,
                    const char* minKbps, const char* defaultKbps, const char* maxKbps, const char* encodingMode,
                    const char* audioCodec, const char* sampleRates, const char* sampleRate,
                    const char* audioBitrates, const char* audioBitrate, const char* firmware = "")
{
    SampleProfile sample{device, editor::kVideoAndAudio, description, format, audioCodec,
                         sampleRates, sampleRate, audioBitrates, audioBitrate};
    sample.videoCodec = videoCodec;
    sample.frameSizes = frameSizes;
    sample.frameSize = frameSize;
    sample.frameRates = frameRates;
    sample.frameRate = frameRate;
    sample.minKbps = minKbps;
    sample.defaultKbps = defaultKbps;
    sample.maxKbps = maxKbps;
    sample.encodingMode = encodingMode;
    sample.firmware = firmware;
    return sample;
}

SampleProfile Audio(const char* device, const char* description, const char* format, const char* audioCodec,
                    const char* sampleRates, const char* sampleRate, const char* audioBitrates,
                    const char* audioBitrate)
{
    return SampleProfile{device, editor::kAudioOnly, description, format, audioCodec,
                         sampleRates, sampleRate, audioBitrates, audioBitrate};
}

// Values follow what each class of device plays back: its screen or output size,
// the frame rates of its sources, a video bitrate its decoder keeps up with and the
// audio it expects. Formats and codecs are ones the built-in container table offers
// together, so the window shows every sample as it is stored.
std::vector<SampleProfile> MakeTable()
{
    return {
        Video("generic", "MP4 with H.264 video at DVD size (720x480, 1500 kbps) and AAC audio, for computers and most players",
              "mp4", "h264", "320x240,640x480,720x480,720x576,1280x720", "720x480", "0,23.976,25,29.97,30", "0",
              "100", "1500", "5000", "high_quality", "aac", "32000,44100,48000", "48000", "96000,128000,192000", "128000"),
        Audio("generic", "MP3 at 192 kbps, 44.1 kHz stereo, for computers and most players",
              "mp3", "mp3", "32000,44100,48000", "44100", "128000,192000,256000,320000", "192000"),

        Video("appleTV", "MP4 with H.264 720p video (1280x720, 24 fps, 4000 kbps) and AAC audio, for a living-room media box",
              "mp4", "h264", "640x480,720x480,960x540,1280x720", "1280x720", "0,23.976,24,25,29.97", "24",
              "1000", "4000", "5000", "high_quality", "aac", "44100,48000", "48000", "128000,160000,192000", "160000"),
        Audio("appleTV", "AAC at 256 kbps, 48 kHz stereo, in an MP4 file, for a living-room media box",
              "mp4", "aac", "44100,48000", "48000", "128000,192000,256000", "256000"),

        Video("cellphone", "3GPP2 with MPEG-4 video (176x144, 15 fps, 192 kbps) and AAC audio, for mobile phones",
              "3g2", "mpeg4", "128x96,176x144,320x240", "176x144", "0,10,12,15", "15",
              "32", "192", "384", "real_time", "aac", "22050,32000,44100", "22050", "32000,48000,64000", "48000"),
        Audio("cellphone", "AAC at 64 kbps, 44.1 kHz, in an MP4 file, for mobile phones",
              "mp4", "aac", "22050,32000,44100", "44100", "32000,48000,64000,96000", "64000"),

        Video("iPhone", "MP4 with H.264 video at screen size (480x320, 1000 kbps) and AAC audio, for a touch-screen phone",
              "mp4", "h264", "320x240,480x320,640x480", "480x320", "0,23.976,25,29.97,30", "29.97",
              "100", "1000", "1500", "high_quality", "aac", "44100,48000", "44100", "96000,128000,160000", "128000"),
        Audio("iPhone", "AAC at 128 kbps, 44.1 kHz stereo, in an MP4 file, for a touch-screen phone",
              "mp4", "aac", "44100,48000", "44100", "96000,128000,192000,256000", "128000"),

        Video("ipod", "MP4 with MPEG-4 video (320x240, 768 kbps) and AAC audio, for a pocket music and video player",
              "ipod_mp4", "mpeg4", "320x240,480x360,640x480", "320x240", "0,15,23.976,25,29.97", "29.97",
              "100", "768", "2500", "high_quality", "aac", "44100,48000", "44100", "96000,128000,160000", "128000"),
        Audio("ipod", "MP3 at 192 kbps, 44.1 kHz stereo, for a pocket music player",
              "ipod", "mp3", "44100", "44100", "128000,192000,256000,320000", "192000"),

        Video("ipodTouch", "MP4 with H.264 video at screen size (480x320, 1200 kbps) and AAC audio, for a touch-screen player",
              "ipod avc", "h264", "320x240,480x320,640x480", "480x320", "0,23.976,25,29.97,30", "0",
              "100", "1200", "1500", "high_quality", "aac", "44100,48000", "44100", "128000,160000,192000", "160000"),
        Audio("ipodTouch", "AAC at 256 kbps, 44.1 kHz stereo, in an MP4 file, for a touch-screen player",
              "mp4", "aac", "44100,48000", "44100", "128000,160000,256000", "256000"),

        Video("nds", "DPG with MPEG-1 video (256x192, 20 fps, 384 kbps) and MP2 audio, for a dual-screen handheld console",
              "dpg", "mpeg1", "256x192", "256x192", "0,15,20,24", "20",
              "64", "384", "768", "real_time", "mp2", "32000,44100", "32000", "96000,128000,160000", "128000"),
        Audio("nds", "MP3 at 128 kbps, 32 kHz stereo, for a dual-screen handheld console",
              "mp3", "mp3", "32000,44100", "32000", "96000,128000,192000", "128000"),

        Video("pda", "AVI with Xvid video (320x240, 15 fps, 384 kbps) and MP3 audio, for pocket computers",
              "avi", "xvid", "240x180,320x240,400x240", "320x240", "0,12,15,20,25", "15",
              "64", "384", "768", "real_time", "mp3", "22050,32000,44100", "44100", "64000,96000,128000", "96000"),
        Audio("pda", "WMA at 96 kbps, 44.1 kHz stereo, for pocket computers",
              "wma", "wma9", "32000,44100", "44100", "64000,96000,128000", "96000"),

        Video("ps3", "MP4 with H.264 720p video (1280x720, 4500 kbps) and AAC audio, for a home game console",
              "mp4", "h264", "720x480,1280x720,1920x1080", "1280x720", "0,23.976,24,25,29.97,30", "0",
              "500", "4500", "8000", "high_quality", "aac", "44100,48000", "48000", "128000,192000,256000", "192000"),
        Audio("ps3", "Uncompressed 16-bit PCM, 48 kHz stereo, in a WAV file, for a home game console",
              "wav", "pcm", "44100,48000", "48000", "1411200,1536000", "1536000"),

        Video("psp2000", "MP4 with H.264 video at TV size (720x480, 1500 kbps) and AAC audio, for the slim handheld console with TV out",
              "psp", "h264", "320x240,480x272,720x480", "720x480", "0,23.976,25,29.97", "29.97",
              "100", "1500", "2500", "high_quality", "aac", "24000,48000", "48000", "96000,128000,160000", "128000",
              "3.6"),
        Audio("psp2000", "AAC at 128 kbps, 48 kHz stereo, in an MP4 file, for the slim handheld console",
              "mp4", "aac", "24000,48000", "48000", "96000,128000,160000", "128000"),

        Video("psp", "MP4 with H.264 video at screen size (480x272, 768 kbps) and AAC audio, for a handheld game console",
              "psp", "h264", "320x240,368x208,480x272", "480x272", "0,23.976,25,29.97", "29.97",
              "100", "768", "1500", "high_quality", "aac", "24000,48000", "48000", "64000,96000,128000", "128000"),
        Audio("psp", "MP3 at 192 kbps, 44.1 kHz stereo, for a handheld game console",
              "mp3", "mp3", "44100,48000", "44100", "128000,192000,256000", "192000"),

        Video("pvp", "AVI with Xvid video (320x240, 600 kbps) and MP3 audio, for portable video players",
              "avi", "xvid", "320x240,400x240,480x272", "320x240", "0,15,20,25,29.97", "0",
              "64", "600", "1200", "real_time", "mp3", "44100", "44100", "96000,128000,160000", "128000"),
        Audio("pvp", "MP3 at 128 kbps, 44.1 kHz stereo, for portable players",
              "mp3", "mp3", "44100", "44100", "96000,128000,192000", "128000"),

        Video("xbox360", "WMV with WMV9 720p video (1280x720, 5000 kbps) and WMA audio, for a home game console",
              "wmv", "wmv9", "720x480,1280x720,1920x1080", "1280x720", "0,23.976,25,29.97,30", "0",
              "500", "5000", "8000", "high_quality", "wma9", "44100,48000", "48000", "128000,192000,256000", "192000"),
        Audio("xbox360", "WMA at 192 kbps, 48 kHz stereo, for a home game console",
              "wma", "wma9", "44100,48000", "48000", "128000,192000,256000", "192000"),

        Video("zune", "WMV with WMV9 video (320x240, 800 kbps) and WMA audio, for a pocket media player",
              "wmv", "wmv9", "320x240,640x480", "320x240", "0,15,25,29.97,30", "29.97",
              "100", "800", "1500", "real_time", "wma9", "44100,48000", "44100", "96000,128000,160000", "128000"),
        Audio("zune", "WMA at 128 kbps, 44.1 kHz stereo, for a pocket media player",
              "wma", "wma9", "44100,48000", "44100", "96000,128000,192000", "128000"),
    };
}

// Replaces the section of a kind when it is not already the wanted codec's.
bool UseCodecSection(profile::CProfileFile& out, const std::string& kind, const std::string& codec)
{
    std::string current;
    out.GetValue(kind + ".name", current);
    if (current == codec)
        return true;
    out.RemoveCodecSection(kind + "." + current);
    return out.AddCodecSection(kind + "." + codec) != nullptr;
}

} // namespace

const std::vector<SampleProfile>& SampleProfiles()
{
    static const std::vector<SampleProfile> table = MakeTable();
    return table;
}

std::string SampleTitle(const SampleProfile& sample)
{
    return std::string(sample.device) + (sample.type == editor::kAudioOnly ? ".Kestro.Audio" : ".Kestro.Video");
}

std::string SampleFileName(const SampleProfile& sample)
{
    return SampleTitle(sample) + ".xml";
}

bool BuildSampleProfile(const SampleProfile& sample, profile::CProfileFile& out)
{
    out.CreateDefault();
    out.name = SampleTitle(sample);
    out.description = sample.description;
    out.version = kSampleVersion;
    out.device = sample.device;
    out.tag = kSampleTag;
    out.type = sample.type;

    out.SetValue("common.file.format", sample.format);
    out.SetValue("common.audio.codec", sample.audioCodec);
    out.SetValue("common.audio.freq.list", sample.sampleRates);
    out.SetValue("common.audio.freq.value", sample.sampleRate);
    out.SetValue("common.audio.bitrate.list", sample.audioBitrates);
    out.SetValue("common.audio.bitrate.value", sample.audioBitrate);

    std::string sectionName;
    if (!editor::AudioCodecSectionName(sample.audioCodec, sectionName) ||
        !UseCodecSection(out, "acodec", sectionName))
        return false;

    if (sample.type == editor::kAudioOnly) {
        // The reader keeps the default video codec section of a file that has none, so
        // an audio-only file that is to read back unchanged carries that section; the
        // video settings themselves go.
        out.RemoveNode("common.video");
        return true;
    }

    editor::COrrery configuration;
    configuration.CreateDefault();
    editor::FourccTable fourccs;
    editor::BuildFourccTable(configuration, fourccs);
    const auto fourcc = fourccs.find(sample.videoCodec);
    if (fourcc == fourccs.end() || !UseCodecSection(out, "vcodec", sample.videoCodec))
        return false;

    out.SetValue("common.video.encode.codec", sample.videoCodec);
    out.SetValue("common.video.encode.fourcc", fourcc->second);
    out.SetValue("common.video.encode.minbitrate_kbps", sample.minKbps);
    out.SetValue("common.video.encode.bitrate_kbps", sample.defaultKbps);
    out.SetValue("common.video.encode.maxbitrate_kbps", sample.maxKbps);
    out.SetValue("common.video.encode.mode.value", sample.encodingMode);
    out.SetValue("common.video.size.list", sample.frameSizes);
    out.SetValue("common.video.size.out_size", sample.frameSize);
    out.SetValue("common.video.outfps.list", sample.frameRates);
    out.SetValue("common.video.outfps.value", sample.frameRate);
    if (*sample.firmware != '\0')
        out.SetValue("common.device.psp.firmware", sample.firmware);
    return true;
}

} // namespace samples
