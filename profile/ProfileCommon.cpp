#include "profile/ProfileCommon.h"

#include <iterator>

namespace profile {

namespace {

// These rows are the file format: they decide which elements and attributes a
// profile file holds, in which order, and what a missing attribute reads as.
const CProfileAttr kFile[] = {
    SchemaAttr("format", "avi", kAlwaysWrite | kPersistent),
    SchemaAttr("mode", "0", kNumeric | kPersistent),
    SchemaAttr("onefile_size_mb", "600", kAlwaysWrite | kNumeric | kPersistent),
    SchemaAttr("number", "1", kAlwaysWrite | kNumeric | kPersistent),
    SchemaAttr("mux_abitrate", "0", kNumeric | kPersistent),
    SchemaAttr("mux_vbitrate", "0", kNumeric | kPersistent),
    SchemaAttr("split_by_chapter", "0", kAlwaysWrite | kNumeric | kPersistent),
};
const CProfileAttr kFileSource[] = {
    SchemaAttr("path", "", kNoFlags),
};
const CProfileAttr kFileSourceDvd[] = {
    SchemaAttr("dvdstream", "0", kNumeric),
    SchemaAttr("title", "0", kNumeric),
    SchemaAttr("angle", "0", kNumeric),
    SchemaAttr("begin_chapter", "0", kNumeric),
    SchemaAttr("end_chapter", "0", kNumeric),
    SchemaAttr("sum_chapters", "0", kNumeric),
};
const CProfileAttr kFileTarget[] = {
    SchemaAttr("path", "", kNoFlags),
    SchemaAttr("filename", "", kNoFlags),
    SchemaAttr("fullpath", "", kNoFlags),
};
const CProfileAttr kFileTemporary[] = {
    SchemaAttr("path", "", kNoFlags),
};
const CProfileAttr kFileTag[] = {
    SchemaAttr("title", "", kNoFlags),
    SchemaAttr("year", "2006", kNumeric),
    SchemaAttr("author", "", kNoFlags),
    SchemaAttr("album", "", kNoFlags),
    SchemaAttr("copyright", "", kNoFlags),
    SchemaAttr("comment", "", kNoFlags),
    SchemaAttr("genre", "", kNoFlags),
    SchemaAttr("track", "", kNoFlags),
};
const CProfileAttr kDevicePsp[] = {
    SchemaAttr("firmware", "2.7", kPersistent),
};
const CProfileAttr kContainer[] = {
    SchemaAttr("name", "container", kNoFlags),
};
const CProfileAttr kContainerAvi[] = {
    SchemaAttr("odml", "1", kNumeric),
};
const CProfileAttr kAudio[] = {
    SchemaAttr("copy", "0", kAlwaysWrite | kNumeric | kPersistent),
    SchemaAttr("codec", "mp3", kAlwaysWrite | kPersistent),
    SchemaAttr("channel", "2", kAlwaysWrite | kNumeric | kPersistent),
    SchemaAttr("chmask", "0", kNumeric | kPersistent),
    SchemaAttr("bitdepth", "16", kAlwaysWrite | kNumeric | kPersistent),
};
const CProfileAttr kAudioSource[] = {
    SchemaAttr("stream_id", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("index", "0", kAlwaysWrite | kNumeric),
};
const CProfileAttr kAudioFreq[] = {
    SchemaAttr("value", "48000", kAlwaysWrite | kNumeric | kPersistent),
    SchemaAttr("list", "", kAlwaysWrite | kPersistent),
};
const CProfileAttr kAudioBitrate[] = {
    SchemaAttr("value", "64000", kAlwaysWrite | kNumeric | kPersistent),
    SchemaAttr("list", "", kAlwaysWrite | kPersistent),
};
const CProfileAttr kAudioVolume[] = {
    SchemaAttr("percent", "100", kAlwaysWrite | kNumeric | kPersistent),
};
const CProfileAttr kVideo[] = {
    SchemaAttr("copy", "0", kNumeric | kPersistent),
};
const CProfileAttr kVideoDeinterlace[] = {
    SchemaAttr("mode", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("method", "0", kAlwaysWrite | kNumeric),
};
const CProfileAttr kVideoCrop[] = {
    SchemaAttr("mode", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("left", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("right", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("top", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("bottom", "0", kAlwaysWrite | kNumeric),
};
const CProfileAttr kVideoSize[] = {
    SchemaAttr("keep_aspect", "1", kAlwaysWrite | kNumeric),
    SchemaAttr("list", "", kAlwaysWrite | kPersistent),
    SchemaAttr("out_size", "", kAlwaysWrite | kPersistent),
    SchemaAttr("aspect_x", "4", kAlwaysWrite | kNumeric),
    SchemaAttr("aspect_y", "3", kAlwaysWrite | kNumeric),
    SchemaAttr("maxsize", "", kAlwaysWrite | kNumeric),
    SchemaAttr("limited", "0", kAlwaysWrite | kNumeric),
};
const CProfileAttr kVideoSubtitle[] = {
    SchemaAttr("mode", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("path", "", kAlwaysWrite),
};
const CProfileAttr kVideoSubtitleSource[] = {
    SchemaAttr("sub_index", "-1", kAlwaysWrite | kNumeric),
    SchemaAttr("language_code", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("stream_id", "32", kAlwaysWrite | kNumeric),
    SchemaAttr("selected_sub_indexs", "", kAlwaysWrite),
    SchemaAttr("selected_sub_list", "", kAlwaysWrite),
    SchemaAttr("force", "0", kAlwaysWrite | kNumeric | kPersistent),
};
const CProfileAttr kVideoOutfps[] = {
    SchemaAttr("mode", "3", kAlwaysWrite | kNumeric | kPersistent),
    SchemaAttr("value", "0", kAlwaysWrite | kPersistent),
    SchemaAttr("list", "", kAlwaysWrite | kPersistent),
};
const CProfileAttr kVideoBitmap[] = {
    SchemaAttr("is", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("path", "", kAlwaysWrite),
    SchemaAttr("horizontal", "50", kAlwaysWrite | kNumeric),
    SchemaAttr("vertical", "50", kAlwaysWrite | kNumeric),
    SchemaAttr("alignment", "50", kAlwaysWrite),
    SchemaAttr("mode", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("opacity", "50", kAlwaysWrite | kNumeric),
};
const CProfileAttr kVideoEncode[] = {
    SchemaAttr("codec", "xvid", kAlwaysWrite | kPersistent),
    SchemaAttr("fourcc", "", kAlwaysWrite | kPersistent),
    SchemaAttr("bitrate_kbps", "900", kNumeric | kPersistent),
    SchemaAttr("quality", "85", kNumeric | kPersistent),
    SchemaAttr("quantizer", "2", kNumeric | kPersistent),
    SchemaAttr("minbitrate_kbps", "1", kNumeric | kPersistent),
    SchemaAttr("maxbitrate_kbps", "5000", kNumeric | kPersistent),
};
const CProfileAttr kVideoEncodeMode[] = {
    SchemaAttr("value", "real_time", kAlwaysWrite | kPersistent),
    SchemaAttr("list", "", kAlwaysWrite | kPersistent),
    SchemaAttr("method", "1", kAlwaysWrite | kNumeric | kPersistent),
};
const CProfileAttr kVideoEncodeThread[] = {
    SchemaAttr("set", "0", kAlwaysWrite | kNumeric | kPersistent),
    SchemaAttr("value", "1", kAlwaysWrite | kNumeric | kPersistent),
};
const CProfileAttr kVideoPreview[] = {
    SchemaAttr("is", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("size", "160x120", kAlwaysWrite),
    SchemaAttr("time", "5", kAlwaysWrite | kNumeric),
    SchemaAttr("format", "jpeg", kAlwaysWrite),
    SchemaAttr("postfix", "THM", kAlwaysWrite),
};

constexpr CProfileSchema kCommonSchema[] = {
    SchemaEntry("common.file", kFile),
    SchemaEntry("common.file.source", kFileSource),
    SchemaEntry("common.file.source.dvd", kFileSourceDvd),
    SchemaEntry("common.file.target", kFileTarget),
    SchemaEntry("common.file.temporary", kFileTemporary),
    SchemaEntry("common.file.tag", kFileTag),
    SchemaEntry("common.device.psp", kDevicePsp),
    SchemaEntry("common.container", kContainer),
    SchemaEntry("common.container.avi", kContainerAvi),
    SchemaEntry("common.audio", kAudio),
    SchemaEntry("common.audio.source", kAudioSource),
    SchemaEntry("common.audio.freq", kAudioFreq),
    SchemaEntry("common.audio.bitrate", kAudioBitrate),
    SchemaEntry("common.audio.volume", kAudioVolume),
    SchemaEntry("common.video", kVideo),
    SchemaEntry("common.video.deinterlace", kVideoDeinterlace),
    SchemaEntry("common.video.crop", kVideoCrop),
    SchemaEntry("common.video.size", kVideoSize),
    SchemaEntry("common.video.subtitle", kVideoSubtitle),
    SchemaEntry("common.video.subtitle.source", kVideoSubtitleSource),
    SchemaEntry("common.video.outfps", kVideoOutfps),
    SchemaEntry("common.video.bitmap", kVideoBitmap),
    SchemaEntry("common.video.encode", kVideoEncode),
    SchemaEntry("common.video.encode.mode", kVideoEncodeMode),
    SchemaEntry("common.video.encode.thread", kVideoEncodeThread),
    SchemaEntry("common.video.preview", kVideoPreview),
};

constexpr int CountAttributes(std::span<const CProfileSchema> entries)
{
    int count = 0;
    for (const CProfileSchema& entry : entries) {
        count += entry.count;
    }
    return count;
}

static_assert(std::size(kCommonSchema) == 26);
static_assert(CountAttributes(kCommonSchema) == 91);

}  // namespace

CProfileCommon::CProfileCommon(const CProfileBase& other)
    : CProfileBase(other)
{
}

void CProfileCommon::Init(const std::string& name)
{
    if (name != "common") {
        BuildTree(name, Schema());
        return;
    }
    static const CProfileNode made = TreeOf(name, Schema());
    CopyTree(made);
}

std::unique_ptr<CProfileBase> CProfileCommon::Clone() const
{
    return std::make_unique<CProfileCommon>(*this);
}

std::span<const CProfileSchema> CProfileCommon::Schema()
{
    return kCommonSchema;
}

}  // namespace profile
