#pragma once

// The sample profiles shipped in the Profiles folder: one video + audio and one
// audio-only profile for every device of the built-in configuration, tagged as the
// shipped ones so the editor keeps them read-only.
//
// The files in data/Profiles are made from this table by orrery_make_samples and
// committed; the shipping tests check that the table and the files still agree.

#include <string>
#include <vector>

#include "profile/ProfileFile.h"

namespace samples {

inline constexpr const char* kSampleTag = "kestro";
inline constexpr const char* kSampleVersion = "200";

// What one sample sets. Rates and bitrates are stored values (hertz, bits per second,
// kbps for video); lists are value lists as the profile keeps them.
struct SampleProfile {
    const char* device;
    int type;                    // 0 video + audio, 2 audio only
    const char* description;
    const char* format;          // common.file.format
    const char* audioCodec;      // common.audio.codec, as the configuration names it
    const char* sampleRates;     // common.audio.freq.list
    const char* sampleRate;      // common.audio.freq.value
    const char* audioBitrates;   // common.audio.bitrate.list
    const char* audioBitrate;    // common.audio.bitrate.value
    // Video + audio only (empty for audio-only samples).
    const char* videoCodec = "";     // common.video.encode.codec and vcodec.name
    const char* frameSizes = "";     // common.video.size.list
    const char* frameSize = "";      // common.video.size.out_size
    const char* frameRates = "";     // common.video.outfps.list
    const char* frameRate = "";      // common.video.outfps.value
    const char* minKbps = "";
    const char* defaultKbps = "";
    const char* maxKbps = "";
    const char* encodingMode = "";   // "real_time" or "high_quality"
    const char* firmware = "";       // common.device.psp.firmware; empty keeps the default
};

const std::vector<SampleProfile>& SampleProfiles();

// "psp.Kestro.Video" / "psp.Kestro.Audio": also the profile's name. Never the name the
// device completion gives a default profile (device + the template name's suffix).
std::string SampleTitle(const SampleProfile& sample);
std::string SampleFileName(const SampleProfile& sample);   // title + ".xml"

// Turns the profile into the sample, ready to be saved; false when a codec named by
// the sample has no codec section class or the FourCC of its video codec is unknown.
bool BuildSampleProfile(const SampleProfile& sample, profile::CProfileFile& out);

} // namespace samples
