#include "profile/ProfileCodec.h"

#include <string_view>

#include "profile/ProfileCommon.h"

namespace profile {

namespace {

constexpr const char* kAudioKind = "acodec";
constexpr const char* kVideoKind = "vcodec";

// Attribute rows. Every codec attribute is always written when it is persistent;
// rows shared by several classes (the WMA and WMV "vbr" rows, the MPEG "generic"
// row) are one array, so the classes get equal copies.
const CProfileAttr kLameName[] = {
    SchemaAttr("name", "lame", kAlwaysWrite | kPersistent),
};
const CProfileAttr kLameCommon[] = {
    SchemaAttr("ver", "0", kAlwaysWrite | kNumeric | kPersistent),
    SchemaAttr("layer", "2", kAlwaysWrite | kNumeric | kPersistent),
};
const CProfileAttr kLameAttr[] = {
    SchemaAttr("ch_mode", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("quality", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("private", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("copyright", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("orignial", "0", kAlwaysWrite | kNumeric),   // the file format spells it so
    SchemaAttr("checksum", "0", kAlwaysWrite | kNumeric),
};
const CProfileAttr kLameVbr[] = {
    SchemaAttr("method", "-1", kAlwaysWrite | kNumeric),
    SchemaAttr("max_bitrate", "224000", kAlwaysWrite | kNumeric),
    SchemaAttr("quality", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("abr", "8", kAlwaysWrite | kNumeric),
};
const CProfileAttr kFaacName[] = {
    SchemaAttr("name", "faac", kAlwaysWrite | kPersistent),
};
const CProfileAttr kFaacCommon[] = {
    SchemaAttr("profile", "1", kAlwaysWrite | kNumeric | kPersistent),
    SchemaAttr("quality", "100", kAlwaysWrite | kNumeric | kPersistent),
};
const CProfileAttr kMp2Name[] = {
    SchemaAttr("name", "mp2", kAlwaysWrite | kPersistent),
};
const CProfileAttr kGsmName[] = {
    SchemaAttr("name", "gsm", kAlwaysWrite | kPersistent),
};
const CProfileAttr kAdpcmMsName[] = {
    SchemaAttr("name", "adpcm_ms", kAlwaysWrite | kPersistent),
};
const CProfileAttr kAdpcmName[] = {
    SchemaAttr("name", "adpcm", kAlwaysWrite | kPersistent),
};
const CProfileAttr kPcmName[] = {
    SchemaAttr("name", "pcm", kAlwaysWrite | kPersistent),
};
const CProfileAttr kWma9Top[] = {
    SchemaAttr("name", "wma9", kAlwaysWrite | kPersistent),
    SchemaAttr("vbr", "0", kAlwaysWrite | kNumeric | kPersistent),
};
const CProfileAttr kWma9LosslessTop[] = {
    SchemaAttr("name", "wma9lossless", kAlwaysWrite | kPersistent),
    SchemaAttr("vbr", "0", kAlwaysWrite | kNumeric | kPersistent),
};
const CProfileAttr kWma10Top[] = {
    SchemaAttr("name", "wma10", kAlwaysWrite | kPersistent),
    SchemaAttr("vbr", "0", kAlwaysWrite | kNumeric | kPersistent),
};
const CProfileAttr kWmaVbr[] = {
    SchemaAttr("vbrpass", "0", kAlwaysWrite | kNumeric | kPersistent),
};
const CProfileAttr kXvidName[] = {
    SchemaAttr("name", "xvid", kAlwaysWrite | kPersistent),
};
const CProfileAttr kXvidMotion[] = {
    SchemaAttr("motion_search", "5", kAlwaysWrite | kNumeric),
    SchemaAttr("vhq", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("qpel", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("gmc", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("chroma_me", "0", kAlwaysWrite | kNumeric),
};
const CProfileAttr kMpegGeneric[] = {
    SchemaAttr("max_key_interval", "250", kAlwaysWrite | kNumeric),
    SchemaAttr("profile", "0", kAlwaysWrite | kNumeric),
    SchemaAttr("level", "13", kAlwaysWrite | kNumeric),
};
const CProfileAttr kMpeg4Name[] = {
    SchemaAttr("name", "mpeg4", kAlwaysWrite | kPersistent),
};
const CProfileAttr kH264Name[] = {
    SchemaAttr("name", "h264", kAlwaysWrite | kPersistent),
};
const CProfileAttr kMpeg1Name[] = {
    SchemaAttr("name", "mpeg1", kAlwaysWrite | kPersistent),
};
const CProfileAttr kMsMpeg4V2Name[] = {
    SchemaAttr("name", "msmpeg4v2", kAlwaysWrite | kPersistent),
};
const CProfileAttr kWmv9Top[] = {
    SchemaAttr("name", "wmv9", kAlwaysWrite | kPersistent),
    SchemaAttr("vbr", "0", kAlwaysWrite | kNumeric | kPersistent),
    SchemaAttr("quality", "100", kAlwaysWrite | kNumeric | kPersistent),
};
const CProfileAttr kVc1Top[] = {
    SchemaAttr("name", "vc1", kAlwaysWrite | kPersistent),
    SchemaAttr("vbr", "0", kAlwaysWrite | kNumeric | kPersistent),
    SchemaAttr("quality", "100", kAlwaysWrite | kNumeric | kPersistent),
};
const CProfileAttr kWmvVbr[] = {
    SchemaAttr("method", "quality", kAlwaysWrite | kPersistent),
    SchemaAttr("quality", "100", kAlwaysWrite | kNumeric | kPersistent),
    SchemaAttr("max_vbr_bitrate", "0", kAlwaysWrite | kNumeric | kPersistent),
    SchemaAttr("max_vbr_bufferwin", "0", kAlwaysWrite | kNumeric | kPersistent),
};

// Schema rows of each class, in the order its Init applies them. A class lists every
// row it needs; it does not inherit its base class's rows.
constexpr CProfileSchema kLameSchema[] = {
    SchemaEntry("acodec", kLameName),
    SchemaEntry("acodec.common", kLameCommon),
    SchemaEntry("acodec.attr", kLameAttr),
    SchemaEntry("acodec.vbr", kLameVbr),
};
constexpr CProfileSchema kFaacSchema[] = {
    SchemaEntry("acodec", kFaacName),
    SchemaEntry("acodec.common", kFaacCommon),
};
constexpr CProfileSchema kMP2Schema[] = {
    SchemaEntry("acodec", kMp2Name),
};
constexpr CProfileSchema kGSMSchema[] = {
    SchemaEntry("acodec", kGsmName),
};
constexpr CProfileSchema kADPCMMSSchema[] = {
    SchemaEntry("acodec", kAdpcmMsName),
};
constexpr CProfileSchema kADPCMSchema[] = {
    SchemaEntry("acodec", kAdpcmName),
};
constexpr CProfileSchema kWMA9Schema[] = {
    SchemaEntry("acodec", kWma9Top),
    SchemaEntry("acodec.vbr", kWmaVbr),
};
constexpr CProfileSchema kWMA9LosslessSchema[] = {
    SchemaEntry("acodec", kWma9LosslessTop),
    SchemaEntry("acodec.vbr", kWmaVbr),
};
constexpr CProfileSchema kWMA10Schema[] = {
    SchemaEntry("acodec", kWma10Top),
    SchemaEntry("acodec.vbr", kWmaVbr),
};
constexpr CProfileSchema kPCMSchema[] = {
    SchemaEntry("acodec", kPcmName),
};
constexpr CProfileSchema kXvidSchema[] = {
    SchemaEntry("vcodec", kXvidName),
    SchemaEntry("vcodec.motion", kXvidMotion),
};
constexpr CProfileSchema kMPEG4Schema[] = {
    SchemaEntry("vcodec.generic", kMpegGeneric),
    SchemaEntry("vcodec", kMpeg4Name),
};
constexpr CProfileSchema kH264Schema[] = {
    SchemaEntry("vcodec.generic", kMpegGeneric),
    SchemaEntry("vcodec", kH264Name),
};
constexpr CProfileSchema kMPEG1Schema[] = {
    SchemaEntry("vcodec.generic", kMpegGeneric),
    SchemaEntry("vcodec", kMpeg1Name),
};
constexpr CProfileSchema kMSMPEG4V2Schema[] = {
    SchemaEntry("vcodec.generic", kMpegGeneric),
    SchemaEntry("vcodec", kMsMpeg4V2Name),
};
constexpr CProfileSchema kWMV9Schema[] = {
    SchemaEntry("vcodec", kWmv9Top),
    SchemaEntry("vcodec.vbr", kWmvVbr),
};
constexpr CProfileSchema kVC1Schema[] = {
    SchemaEntry("vcodec", kVc1Top),
    SchemaEntry("vcodec.vbr", kWmvVbr),
};
constexpr CProfileSchema kMPEGSchema[] = {
    SchemaEntry("vcodec.generic", kMpegGeneric),
};

}  // namespace

const CCodecSchema kLameCodec{kAudioKind, kLameSchema};
const CCodecSchema kFaacCodec{kAudioKind, kFaacSchema};
const CCodecSchema kMP2Codec{kAudioKind, kMP2Schema};
const CCodecSchema kGSMCodec{kAudioKind, kGSMSchema};
const CCodecSchema kADPCMMSCodec{kAudioKind, kADPCMMSSchema};
const CCodecSchema kADPCMCodec{kAudioKind, kADPCMSchema};
const CCodecSchema kWMA9Codec{kAudioKind, kWMA9Schema};
const CCodecSchema kWMA9LosslessCodec{kAudioKind, kWMA9LosslessSchema};
const CCodecSchema kWMA10Codec{kAudioKind, kWMA10Schema};
const CCodecSchema kPCMCodec{kAudioKind, kPCMSchema};
const CCodecSchema kXvidCodec{kVideoKind, kXvidSchema};
const CCodecSchema kMPEGCodec{kVideoKind, kMPEGSchema};
const CCodecSchema kMPEG4Codec{kVideoKind, kMPEG4Schema};
const CCodecSchema kH264Codec{kVideoKind, kH264Schema};
const CCodecSchema kMPEG1Codec{kVideoKind, kMPEG1Schema};
const CCodecSchema kMSMPEG4V2Codec{kVideoKind, kMSMPEG4V2Schema};
const CCodecSchema kWMV9Codec{kVideoKind, kWMV9Schema};
const CCodecSchema kVC1Codec{kVideoKind, kVC1Schema};

namespace {

template <class Section>
std::unique_ptr<CProfileBase> Make()
{
    return std::make_unique<Section>();
}

struct CodecClass {
    std::string_view kind;
    std::string_view codec;
    std::unique_ptr<CProfileBase> (*create)();
};

// Name lookup order within a kind is the order of this table.
constexpr CodecClass kCodecClasses[] = {
    {"acodec", "lame", &Make<CProfileCodecLame>},
    {"acodec", "faac", &Make<CProfileCodecFaac>},
    {"acodec", "mp2", &Make<CProfileCodecMP2>},
    {"acodec", "gsm", &Make<CProfileCodecGSM>},
    {"acodec", "adpcm_ms", &Make<CProfileCodecADPCMMS>},
    {"acodec", "adpcm", &Make<CProfileCodecADPCM>},
    {"acodec", "wma9", &Make<CProfileCodecWMA9>},
    {"acodec", "wma9lossless", &Make<CProfileCodecWMA9Lossless>},
    {"acodec", "wma10", &Make<CProfileCodecWMA10>},
    {"acodec", "pcm", &Make<CProfileCodecPCM>},
    {"vcodec", "xvid", &Make<CProfileCodecXvid>},
    {"vcodec", "mpeg4", &Make<CProfileCodecMPEG4>},
    {"vcodec", "h264", &Make<CProfileCodecH264>},
    {"vcodec", "mpeg1", &Make<CProfileCodecMPEG1>},
    {"vcodec", "msmpeg4v2", &Make<CProfileCodecMSMPEG4V2>},
    {"vcodec", "wmv9", &Make<CProfileCodecWMV9>},
    {"vcodec", "vc1", &Make<CProfileCodecVC1>},
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::unique_ptr<CProfileBase> CProfileCodec::Clone() const
{
    return std::make_unique<CProfileCodec>(*this);
}

std::unique_ptr<CProfileBase> CreateCodec(const std::string& kind, const std::string& codec,
                                          const CProfileBase* source)
{
    for (const CodecClass& entry : kCodecClasses) {
        if (entry.kind == kind && entry.codec == codec) {
            std::unique_ptr<CProfileBase> section = entry.create();
            if (source != nullptr) {
                section->CopyTreeFrom(*source);
            }
            return section;
        }
    }
    return nullptr;
}

std::unique_ptr<CProfileBase> CloneSection(const CProfileBase& section)
{
    const CProfileNode* top = section.TopNode();
    if (top == nullptr) {
        return nullptr;
    }
    if (EqualsIgnoringCase(top->name, "common")) {
        return std::make_unique<CProfileCommon>(section);
    }
    if (!EqualsIgnoringCase(top->name, kAudioKind) && !EqualsIgnoringCase(top->name, kVideoKind)) {
        return nullptr;
    }
    // Only an exactly spelled top name has a name key; any other spelling reads
    // no codec name and so finds no class.
    std::string codec;
    if (top->name == kAudioKind) {
        top->GetAttrValue("acodec.name", codec);
    } else if (top->name == kVideoKind) {
        top->GetAttrValue("vcodec.name", codec);
    }
    return CreateCodec(top->name, codec, &section);
}

}  // namespace profile
