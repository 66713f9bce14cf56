#include "profile/ProfileCodec.h"

#include <string_view>

#include "profile/ProfileCommon.h"

namespace profile {

namespace {

constexpr bool kYes = true;
constexpr bool kNo = false;
constexpr const char* kAudioKind = "acodec";
constexpr const char* kVideoKind = "vcodec";

// A codec row: always written, value starting at its default.
CProfileAttr Attr(const char* name, const char* defaultValue, bool numeric, bool persistent)
{
    return CProfileAttr{name, defaultValue, defaultValue, true, numeric, persistent};
}

// Attribute rows. Every codec attribute is always written when it is persistent;
// rows shared by several classes (the WMA and WMV "vbr" rows, the MPEG "generic"
// row) are one array, so the classes get equal copies.
const CProfileAttr kLameName[] = {
    Attr("name", "lame", kNo, kYes),
};
const CProfileAttr kLameCommon[] = {
    Attr("ver", "0", kYes, kYes),
    Attr("layer", "2", kYes, kYes),
};
const CProfileAttr kLameAttr[] = {
    Attr("ch_mode", "0", kYes, kNo),
    Attr("quality", "0", kYes, kNo),
    Attr("private", "0", kYes, kNo),
    Attr("copyright", "0", kYes, kNo),
    Attr("orignial", "0", kYes, kNo),   // the file format spells it so
    Attr("checksum", "0", kYes, kNo),
};
const CProfileAttr kLameVbr[] = {
    Attr("method", "-1", kYes, kNo),
    Attr("max_bitrate", "224000", kYes, kNo),
    Attr("quality", "0", kYes, kNo),
    Attr("abr", "8", kYes, kNo),
};
const CProfileAttr kFaacName[] = {
    Attr("name", "faac", kNo, kYes),
};
const CProfileAttr kFaacCommon[] = {
    Attr("profile", "1", kYes, kYes),
    Attr("quality", "100", kYes, kYes),
};
const CProfileAttr kMp2Name[] = {
    Attr("name", "mp2", kNo, kYes),
};
const CProfileAttr kGsmName[] = {
    Attr("name", "gsm", kNo, kYes),
};
const CProfileAttr kAdpcmMsName[] = {
    Attr("name", "adpcm_ms", kNo, kYes),
};
const CProfileAttr kAdpcmName[] = {
    Attr("name", "adpcm", kNo, kYes),
};
const CProfileAttr kPcmName[] = {
    Attr("name", "pcm", kNo, kYes),
};
const CProfileAttr kWma9Top[] = {
    Attr("name", "wma9", kNo, kYes),
    Attr("vbr", "0", kYes, kYes),
};
const CProfileAttr kWma9LosslessTop[] = {
    Attr("name", "wma9lossless", kNo, kYes),
    Attr("vbr", "0", kYes, kYes),
};
const CProfileAttr kWma10Top[] = {
    Attr("name", "wma10", kNo, kYes),
    Attr("vbr", "0", kYes, kYes),
};
const CProfileAttr kWmaVbr[] = {
    Attr("vbrpass", "0", kYes, kYes),
};
const CProfileAttr kXvidName[] = {
    Attr("name", "xvid", kNo, kYes),
};
const CProfileAttr kXvidMotion[] = {
    Attr("motion_search", "5", kYes, kNo),
    Attr("vhq", "0", kYes, kNo),
    Attr("qpel", "0", kYes, kNo),
    Attr("gmc", "0", kYes, kNo),
    Attr("chroma_me", "0", kYes, kNo),
};
const CProfileAttr kMpegGeneric[] = {
    Attr("max_key_interval", "250", kYes, kNo),
    Attr("profile", "0", kYes, kNo),
    Attr("level", "13", kYes, kNo),
};
const CProfileAttr kMpeg4Name[] = {
    Attr("name", "mpeg4", kNo, kYes),
};
const CProfileAttr kH264Name[] = {
    Attr("name", "h264", kNo, kYes),
};
const CProfileAttr kMpeg1Name[] = {
    Attr("name", "mpeg1", kNo, kYes),
};
const CProfileAttr kMsMpeg4V2Name[] = {
    Attr("name", "msmpeg4v2", kNo, kYes),
};
const CProfileAttr kWmv9Top[] = {
    Attr("name", "wmv9", kNo, kYes),
    Attr("vbr", "0", kYes, kYes),
    Attr("quality", "100", kYes, kYes),
};
const CProfileAttr kVc1Top[] = {
    Attr("name", "vc1", kNo, kYes),
    Attr("vbr", "0", kYes, kYes),
    Attr("quality", "100", kYes, kYes),
};
const CProfileAttr kWmvVbr[] = {
    Attr("method", "quality", kNo, kYes),
    Attr("quality", "100", kYes, kYes),
    Attr("max_vbr_bitrate", "0", kYes, kYes),
    Attr("max_vbr_bufferwin", "0", kYes, kYes),
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

CProfileCodecLame::CProfileCodecLame()
{
    CProfileCodecLame::Init(kAudioKind);
}

void CProfileCodecLame::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecLame::Clone() const
{
    return std::make_unique<CProfileCodecLame>(*this);
}

std::span<const CProfileSchema> CProfileCodecLame::Schema()
{
    return kLameSchema;
}

CProfileCodecFaac::CProfileCodecFaac()
{
    CProfileCodecFaac::Init(kAudioKind);
}

void CProfileCodecFaac::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecFaac::Clone() const
{
    return std::make_unique<CProfileCodecFaac>(*this);
}

std::span<const CProfileSchema> CProfileCodecFaac::Schema()
{
    return kFaacSchema;
}

CProfileCodecMP2::CProfileCodecMP2()
{
    CProfileCodecMP2::Init(kAudioKind);
}

void CProfileCodecMP2::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecMP2::Clone() const
{
    return std::make_unique<CProfileCodecMP2>(*this);
}

std::span<const CProfileSchema> CProfileCodecMP2::Schema()
{
    return kMP2Schema;
}

CProfileCodecGSM::CProfileCodecGSM()
{
    CProfileCodecGSM::Init(kAudioKind);
}

void CProfileCodecGSM::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecGSM::Clone() const
{
    return std::make_unique<CProfileCodecGSM>(*this);
}

std::span<const CProfileSchema> CProfileCodecGSM::Schema()
{
    return kGSMSchema;
}

CProfileCodecADPCMMS::CProfileCodecADPCMMS()
{
    CProfileCodecADPCMMS::Init(kAudioKind);
}

void CProfileCodecADPCMMS::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecADPCMMS::Clone() const
{
    return std::make_unique<CProfileCodecADPCMMS>(*this);
}

std::span<const CProfileSchema> CProfileCodecADPCMMS::Schema()
{
    return kADPCMMSSchema;
}

CProfileCodecADPCM::CProfileCodecADPCM()
{
    CProfileCodecADPCM::Init(kAudioKind);
}

void CProfileCodecADPCM::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecADPCM::Clone() const
{
    return std::make_unique<CProfileCodecADPCM>(*this);
}

std::span<const CProfileSchema> CProfileCodecADPCM::Schema()
{
    return kADPCMSchema;
}

CProfileCodecWMA9::CProfileCodecWMA9()
{
    CProfileCodecWMA9::Init(kAudioKind);
}

void CProfileCodecWMA9::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecWMA9::Clone() const
{
    return std::make_unique<CProfileCodecWMA9>(*this);
}

std::span<const CProfileSchema> CProfileCodecWMA9::Schema()
{
    return kWMA9Schema;
}

CProfileCodecWMA9Lossless::CProfileCodecWMA9Lossless()
{
    CProfileCodecWMA9Lossless::Init(kAudioKind);
}

void CProfileCodecWMA9Lossless::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecWMA9Lossless::Clone() const
{
    return std::make_unique<CProfileCodecWMA9Lossless>(*this);
}

std::span<const CProfileSchema> CProfileCodecWMA9Lossless::Schema()
{
    return kWMA9LosslessSchema;
}

CProfileCodecWMA10::CProfileCodecWMA10()
{
    CProfileCodecWMA10::Init(kAudioKind);
}

void CProfileCodecWMA10::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecWMA10::Clone() const
{
    return std::make_unique<CProfileCodecWMA10>(*this);
}

std::span<const CProfileSchema> CProfileCodecWMA10::Schema()
{
    return kWMA10Schema;
}

CProfileCodecPCM::CProfileCodecPCM()
{
    CProfileCodecPCM::Init(kAudioKind);
}

void CProfileCodecPCM::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecPCM::Clone() const
{
    return std::make_unique<CProfileCodecPCM>(*this);
}

std::span<const CProfileSchema> CProfileCodecPCM::Schema()
{
    return kPCMSchema;
}

CProfileCodecXvid::CProfileCodecXvid()
{
    CProfileCodecXvid::Init(kVideoKind);
}

void CProfileCodecXvid::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecXvid::Clone() const
{
    return std::make_unique<CProfileCodecXvid>(*this);
}

std::span<const CProfileSchema> CProfileCodecXvid::Schema()
{
    return kXvidSchema;
}

CProfileCodecMPEG4::CProfileCodecMPEG4()
    : CProfileCodecMPEG(NoTree{})
{
    CProfileCodecMPEG4::Init(kVideoKind);
}

void CProfileCodecMPEG4::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecMPEG4::Clone() const
{
    return std::make_unique<CProfileCodecMPEG4>(*this);
}

std::span<const CProfileSchema> CProfileCodecMPEG4::Schema()
{
    return kMPEG4Schema;
}

CProfileCodecH264::CProfileCodecH264()
    : CProfileCodecMPEG(NoTree{})
{
    CProfileCodecH264::Init(kVideoKind);
}

void CProfileCodecH264::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecH264::Clone() const
{
    return std::make_unique<CProfileCodecH264>(*this);
}

std::span<const CProfileSchema> CProfileCodecH264::Schema()
{
    return kH264Schema;
}

CProfileCodecMPEG1::CProfileCodecMPEG1()
    : CProfileCodecMPEG(NoTree{})
{
    CProfileCodecMPEG1::Init(kVideoKind);
}

void CProfileCodecMPEG1::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecMPEG1::Clone() const
{
    return std::make_unique<CProfileCodecMPEG1>(*this);
}

std::span<const CProfileSchema> CProfileCodecMPEG1::Schema()
{
    return kMPEG1Schema;
}

CProfileCodecMSMPEG4V2::CProfileCodecMSMPEG4V2()
    : CProfileCodecMPEG(NoTree{})
{
    CProfileCodecMSMPEG4V2::Init(kVideoKind);
}

void CProfileCodecMSMPEG4V2::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecMSMPEG4V2::Clone() const
{
    return std::make_unique<CProfileCodecMSMPEG4V2>(*this);
}

std::span<const CProfileSchema> CProfileCodecMSMPEG4V2::Schema()
{
    return kMSMPEG4V2Schema;
}

CProfileCodecWMV9::CProfileCodecWMV9()
{
    CProfileCodecWMV9::Init(kVideoKind);
}

void CProfileCodecWMV9::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecWMV9::Clone() const
{
    return std::make_unique<CProfileCodecWMV9>(*this);
}

std::span<const CProfileSchema> CProfileCodecWMV9::Schema()
{
    return kWMV9Schema;
}

CProfileCodecVC1::CProfileCodecVC1()
    : CProfileCodecWMV9(NoTree{})
{
    CProfileCodecVC1::Init(kVideoKind);
}

void CProfileCodecVC1::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecVC1::Clone() const
{
    return std::make_unique<CProfileCodecVC1>(*this);
}

std::span<const CProfileSchema> CProfileCodecVC1::Schema()
{
    return kVC1Schema;
}

CProfileCodecMPEG::CProfileCodecMPEG()
{
    CProfileCodecMPEG::Init(kVideoKind);
}

void CProfileCodecMPEG::Init(const std::string& name)
{
    BuildTree(name, Schema());
}

std::unique_ptr<CProfileBase> CProfileCodecMPEG::Clone() const
{
    return std::make_unique<CProfileCodecMPEG>(*this);
}

std::span<const CProfileSchema> CProfileCodecMPEG::Schema()
{
    return kMPEGSchema;
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
