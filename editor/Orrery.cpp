#include "editor/Orrery.h"

#include <iterator>

#include "markup/XmlDoc.h"
#include "profile/ProfileFile.h"

namespace editor {

namespace {

using profile::CProfileAttr;
using profile::CProfileSchema;

// Every configuration attribute is always written and persistent; the configuration
// is never written, so the flags only keep the tree shaped like a profile's.
CProfileAttr Text(const char* name, const char* value)
{
    return CProfileAttr{name, value, value, true, false, true};
}

CProfileAttr Number(const char* name, const char* value)
{
    return CProfileAttr{name, value, value, true, true, true};
}

CProfileAttr Transient(const char* name, const char* value)
{
    return CProfileAttr{name, value, value, true, false, false};
}

const CProfileAttr kProfile[] = {
    Text("name", ""),
    Text("description", ""),
    Text("device_list", "generic,appleTV,cellphone,iPhone,ipod,ipodTouch,nds,pda,ps3,psp2000,psp,pvp,xbox360,zune"),
};
const CProfileAttr kContainer[] = {Text("clist", "avi,mp4,mkv,_3gp,_3g2,wmv,dpg")};
const CProfileAttr kContainerAvi[] = {
    Text("flist", "avi"), Text("vlist", "h264,mpeg4,xvid"), Text("alist", "mp3"), Number("acopy", "1"),
};
const CProfileAttr kContainerMp4[] = {
    Text("flist", "mp4,psp,ipod_mp4,ipod avc"), Text("vlist", "h264,mpeg4"), Text("alist", "aac"),
};
const CProfileAttr kContainerMkv[] = {
    Text("flist", "mkv"), Text("vlist", "h264,mpeg4,xvid"), Text("alist", "aac,mp3"), Number("acopy", "1"),
};
const CProfileAttr kContainerWmv[] = {Text("flist", "wmv"), Text("vlist", "wmv9"), Text("alist", "wma9")};
const CProfileAttr kContainerDpg[] = {Text("flist", "dpg"), Text("vlist", "mpeg1"), Text("alist", "mp2")};
const CProfileAttr kContainer3g2[] = {Text("flist", "3g2"), Text("vlist", "mpeg4"), Text("alist", "aac")};
// The shipped configuration gives _3gp the format list of _3g2; the container table
// keeps the first of the two.
const CProfileAttr kContainer3gp[] = {Text("flist", "3g2"), Text("vlist", "mpeg4"), Text("alist", "aac")};
const CProfileAttr kAudioContainer[] = {Text("clist", "mp3,mp4,wav,wma,ipod")};
const CProfileAttr kAudioMp3[] = {Text("flist", "mp3"), Text("alist", "mp3")};
const CProfileAttr kAudioMp4[] = {Text("flist", "mp4"), Text("alist", "aac")};
const CProfileAttr kAudioWav[] = {Transient("flist", "wav"), Transient("alist", "pcm")};
const CProfileAttr kAudioWma[] = {Text("flist", "wma"), Text("alist", "wma9")};
const CProfileAttr kAudioIpod[] = {Text("flist", "ipod"), Text("alist", "mp3")};
const CProfileAttr kFreq[] = {Text("list", "32000,44100,48000")};
const CProfileAttr kBitrate[] = {Text("list", "32000,48000,64000,96000,128000,192000,256000,320000")};
const CProfileAttr kVolume[] = {Number("min", "50"), Number("max", "300")};
const CProfileAttr kSize[] = {Text("list", ""), Number("limited", "0")};
const CProfileAttr kEncode[] = {
    Number("bitrate_kbps", "768"), Number("minbitrate_kbps", "1"), Number("maxbitrate_kbps", "5000"),
};
const CProfileAttr kMode[] = {Text("value", "real_time"), Text("list", "real_time,high_quality")};
const CProfileAttr kOutFps[] = {Text("list", "Same as source,10,12,14,14.985,15,20,23.976,24,25,29.97,30")};
const CProfileAttr kFourcc[] = {Text("vlist", "h264,mpeg4,xvid,wmv9,mpeg1")};
const CProfileAttr kFourccH264[] = {Text("fourcc", "H264")};
const CProfileAttr kFourccMpeg4[] = {Text("fourcc", "MPG4")};
const CProfileAttr kFourccXvid[] = {Text("fourcc", "XVID")};
const CProfileAttr kFourccWmv9[] = {Text("fourcc", "WMV3")};
const CProfileAttr kFourccMpeg1[] = {Text("fourcc", "MPG1")};

const CProfileSchema kConfigurationSchema[] = {
    profile::SchemaEntry("profile", kProfile),
    profile::SchemaEntry("profile.common.container", kContainer),
    profile::SchemaEntry("profile.common.container.avi", kContainerAvi),
    profile::SchemaEntry("profile.common.container.mp4", kContainerMp4),
    profile::SchemaEntry("profile.common.container.mkv", kContainerMkv),
    profile::SchemaEntry("profile.common.container.wmv", kContainerWmv),
    profile::SchemaEntry("profile.common.container.dpg", kContainerDpg),
    profile::SchemaEntry("profile.common.container._3g2", kContainer3g2),
    profile::SchemaEntry("profile.common.container._3gp", kContainer3gp),
    profile::SchemaEntry("profile.common.container.audio", kAudioContainer),
    profile::SchemaEntry("profile.common.container.audio.mp3", kAudioMp3),
    profile::SchemaEntry("profile.common.container.audio.mp4", kAudioMp4),
    profile::SchemaEntry("profile.common.container.audio.wav", kAudioWav),
    profile::SchemaEntry("profile.common.container.audio.wma", kAudioWma),
    profile::SchemaEntry("profile.common.container.audio.ipod", kAudioIpod),
    profile::SchemaEntry("profile.common.audio.freq", kFreq),
    profile::SchemaEntry("profile.common.audio.bitrate", kBitrate),
    profile::SchemaEntry("profile.common.audio.volume", kVolume),
    profile::SchemaEntry("profile.common.video.size", kSize),
    profile::SchemaEntry("profile.common.video.encode", kEncode),
    profile::SchemaEntry("profile.common.video.encode.mode", kMode),
    profile::SchemaEntry("profile.common.video.outfps", kOutFps),
    profile::SchemaEntry("profile.common.video.fourcc", kFourcc),
    profile::SchemaEntry("profile.common.video.fourcc.h264", kFourccH264),
    profile::SchemaEntry("profile.common.video.fourcc.mpeg4", kFourccMpeg4),
    profile::SchemaEntry("profile.common.video.fourcc.xvid", kFourccXvid),
    profile::SchemaEntry("profile.common.video.fourcc.wmv9", kFourccWmv9),
    profile::SchemaEntry("profile.common.video.fourcc.mpeg1", kFourccMpeg1),
};

static_assert(std::size(kConfigurationSchema) == 28);

std::string HeadOfKey(const std::string& key)
{
    return key.substr(0, key.find('.'));
}

} // namespace

const profile::CProfileSchema* ConfigurationSchema()
{
    return kConfigurationSchema;
}

int ConfigurationSchemaCount()
{
    return static_cast<int>(std::size(kConfigurationSchema));
}

COrrery::COrrery() = default;
COrrery::COrrery(COrrery&& other) noexcept = default;
COrrery& COrrery::operator=(COrrery&& other) noexcept = default;

COrrery::~COrrery()
{
    Clear();
}

void COrrery::Clear()
{
    document.reset();
    topNodes.clear();
    sections.clear();
    filePath.clear();
    name.clear();
    description.clear();
    deviceList.clear();
    fileTitle.clear();
}

bool COrrery::CreateDefault()
{
    Clear();
    rootName = "editor";
    auto section = std::make_unique<profile::CProfileBase>();
    section->Init("profile");
    section->AddSchemaTables(kConfigurationSchema, ConfigurationSchemaCount());
    topNodes.push_back(section->TopNode());
    sections.push_back(std::move(section));
    return true;
}

void COrrery::Load(const std::string& path)
{
    if (LoadDocument(path))
        ReadFromDocument();
}

bool COrrery::LoadDocument(const std::string& path)
{
    document = std::make_unique<CXmlDoc>();
    if (!document->ReadDocument(path))
        return false;
    filePath = path;
    fileTitle = profile::FileTitleOf(path);
    return true;
}

bool COrrery::ReadFromDocument()
{
    if (!document)
        return false;
    CXmlDoc& doc = *document;
    doc.Rewind();
    if (!doc.SeekElement(rootName.c_str()))
        return false;
    name = doc.FetchAttribute("name");
    description = doc.FetchAttribute("description");
    deviceList = doc.FetchAttribute("device_list");
    doc.EnterElement();
    while (doc.SeekElement()) {
        const std::string tag = doc.NodeName();
        // Only the "profile" section exists; anything else beside it is ignored.
        if (tag != "profile")
            continue;
        if (profile::CProfileNode* node = FindSection(tag + "."))
            node->ReadNode(doc);
    }
    doc.LeaveElement();
    return true;
}

profile::CProfileNode* COrrery::FindSection(const std::string& key) const
{
    if (key.find('.') == std::string::npos)
        return nullptr;
    const std::string head = HeadOfKey(key);
    for (profile::CProfileNode* node : topNodes) {
        if (node && node->name == head)
            return node;
    }
    return nullptr;
}

const CXmlDoc* COrrery::Document() const
{
    return document.get();
}

bool COrrery::GetValue(const std::string& key, std::string& out) const
{
    const std::string full = "profile." + key;
    const profile::CProfileNode* node = FindSection(full);
    return node != nullptr && node->GetAttrValue(full, out);
}

} // namespace editor
