#include "profile/ProfileCommon.h"

#include <iterator>

namespace profile {

namespace {

constexpr bool kYes = true;
constexpr bool kNo = false;

// A row whose value starts at its default.
CProfileAttr Attr(const char* name, const char* defaultValue, bool alwaysWrite, bool numeric,
                  bool persistent)
{
    return CProfileAttr{name, defaultValue, defaultValue, alwaysWrite, numeric, persistent};
}

// These rows are the file format: they decide which elements and attributes a
// profile file holds, in which order, and what a missing attribute reads as.
const CProfileAttr kFile[] = {
    Attr("format", "avi", kYes, kNo, kYes),
    Attr("mode", "0", kNo, kYes, kYes),
    Attr("onefile_size_mb", "600", kYes, kYes, kYes),
    Attr("number", "1", kYes, kYes, kYes),
    Attr("mux_abitrate", "0", kNo, kYes, kYes),
    Attr("mux_vbitrate", "0", kNo, kYes, kYes),
    Attr("split_by_chapter", "0", kYes, kYes, kYes),
};
const CProfileAttr kFileSource[] = {
    Attr("path", "", kNo, kNo, kNo),
};
const CProfileAttr kFileSourceDvd[] = {
    Attr("dvdstream", "0", kNo, kYes, kNo),
    Attr("title", "0", kNo, kYes, kNo),
    Attr("angle", "0", kNo, kYes, kNo),
    Attr("begin_chapter", "0", kNo, kYes, kNo),
    Attr("end_chapter", "0", kNo, kYes, kNo),
    Attr("sum_chapters", "0", kNo, kYes, kNo),
};
const CProfileAttr kFileTarget[] = {
    Attr("path", "", kNo, kNo, kNo),
    Attr("filename", "", kNo, kNo, kNo),
    Attr("fullpath", "", kNo, kNo, kNo),
};
const CProfileAttr kFileTemporary[] = {
    Attr("path", "", kNo, kNo, kNo),
};
const CProfileAttr kFileTag[] = {
    Attr("title", "", kNo, kNo, kNo),
    Attr("year", "2006", kNo, kYes, kNo),
    Attr("author", "", kNo, kNo, kNo),
    Attr("album", "", kNo, kNo, kNo),
    Attr("copyright", "", kNo, kNo, kNo),
    Attr("comment", "", kNo, kNo, kNo),
    Attr("genre", "", kNo, kNo, kNo),
    Attr("track", "", kNo, kNo, kNo),
};
const CProfileAttr kDevicePsp[] = {
    Attr("firmware", "2.7", kNo, kNo, kYes),
};
const CProfileAttr kContainer[] = {
    Attr("name", "container", kNo, kNo, kNo),
};
const CProfileAttr kContainerAvi[] = {
    Attr("odml", "1", kNo, kYes, kNo),
};
const CProfileAttr kAudio[] = {
    Attr("copy", "0", kYes, kYes, kYes),
    Attr("codec", "mp3", kYes, kNo, kYes),
    Attr("channel", "2", kYes, kYes, kYes),
    Attr("chmask", "0", kNo, kYes, kYes),
    Attr("bitdepth", "16", kYes, kYes, kYes),
};
const CProfileAttr kAudioSource[] = {
    Attr("stream_id", "0", kYes, kYes, kNo),
    Attr("index", "0", kYes, kYes, kNo),
};
const CProfileAttr kAudioFreq[] = {
    Attr("value", "48000", kYes, kYes, kYes),
    Attr("list", "", kYes, kNo, kYes),
};
const CProfileAttr kAudioBitrate[] = {
    Attr("value", "64000", kYes, kYes, kYes),
    Attr("list", "", kYes, kNo, kYes),
};
const CProfileAttr kAudioVolume[] = {
    Attr("percent", "100", kYes, kYes, kYes),
};
const CProfileAttr kVideo[] = {
    Attr("copy", "0", kNo, kYes, kYes),
};
const CProfileAttr kVideoDeinterlace[] = {
    Attr("mode", "0", kYes, kYes, kNo),
    Attr("method", "0", kYes, kYes, kNo),
};
const CProfileAttr kVideoCrop[] = {
    Attr("mode", "0", kYes, kYes, kNo),
    Attr("left", "0", kYes, kYes, kNo),
    Attr("right", "0", kYes, kYes, kNo),
    Attr("top", "0", kYes, kYes, kNo),
    Attr("bottom", "0", kYes, kYes, kNo),
};
const CProfileAttr kVideoSize[] = {
    Attr("keep_aspect", "1", kYes, kYes, kNo),
    Attr("list", "", kYes, kNo, kYes),
    Attr("out_size", "", kYes, kNo, kYes),
    Attr("aspect_x", "4", kYes, kYes, kNo),
    Attr("aspect_y", "3", kYes, kYes, kNo),
    Attr("maxsize", "", kYes, kYes, kNo),
    Attr("limited", "0", kYes, kYes, kNo),
};
const CProfileAttr kVideoSubtitle[] = {
    Attr("mode", "0", kYes, kYes, kNo),
    Attr("path", "", kYes, kNo, kNo),
};
const CProfileAttr kVideoSubtitleSource[] = {
    Attr("sub_index", "-1", kYes, kYes, kNo),
    Attr("language_code", "0", kYes, kYes, kNo),
    Attr("stream_id", "32", kYes, kYes, kNo),
    Attr("selected_sub_indexs", "", kYes, kNo, kNo),
    Attr("selected_sub_list", "", kYes, kNo, kNo),
    Attr("force", "0", kYes, kYes, kYes),
};
const CProfileAttr kVideoOutfps[] = {
    Attr("mode", "3", kYes, kYes, kYes),
    Attr("value", "0", kYes, kNo, kYes),
    Attr("list", "", kYes, kNo, kYes),
};
const CProfileAttr kVideoBitmap[] = {
    Attr("is", "0", kYes, kYes, kNo),
    Attr("path", "", kYes, kNo, kNo),
    Attr("horizontal", "50", kYes, kYes, kNo),
    Attr("vertical", "50", kYes, kYes, kNo),
    Attr("alignment", "50", kYes, kNo, kNo),
    Attr("mode", "0", kYes, kYes, kNo),
    Attr("opacity", "50", kYes, kYes, kNo),
};
const CProfileAttr kVideoEncode[] = {
    Attr("codec", "xvid", kYes, kNo, kYes),
    Attr("fourcc", "", kYes, kNo, kYes),
    Attr("bitrate_kbps", "900", kNo, kYes, kYes),
    Attr("quality", "85", kNo, kYes, kYes),
    Attr("quantizer", "2", kNo, kYes, kYes),
    Attr("minbitrate_kbps", "1", kNo, kYes, kYes),
    Attr("maxbitrate_kbps", "5000", kNo, kYes, kYes),
};
const CProfileAttr kVideoEncodeMode[] = {
    Attr("value", "real_time", kYes, kNo, kYes),
    Attr("list", "", kYes, kNo, kYes),
    Attr("method", "1", kYes, kYes, kYes),
};
const CProfileAttr kVideoEncodeThread[] = {
    Attr("set", "0", kYes, kYes, kYes),
    Attr("value", "1", kYes, kYes, kYes),
};
const CProfileAttr kVideoPreview[] = {
    Attr("is", "0", kYes, kYes, kNo),
    Attr("size", "160x120", kYes, kNo, kNo),
    Attr("time", "5", kYes, kYes, kNo),
    Attr("format", "jpeg", kYes, kNo, kNo),
    Attr("postfix", "THM", kYes, kNo, kNo),
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
    BuildTree(name, Schema());
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
