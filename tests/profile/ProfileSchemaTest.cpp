// Where the schema tables meet behaviour: every attribute resolves by its key to its
// default, and the writer follows each attribute's flags.

#include <gtest/gtest.h>

#include <functional>
#include <typeindex>

#include "ProfileTestSupport.h"
#include "profile/ProfileCodec.h"
#include "profile/ProfileCommon.h"
#include "profile/ProfileFile.h"

using namespace profile;

namespace {

struct CodecClass {
    const char* kind;
    const char* codec;
    std::type_index type;
    std::span<const CProfileSchema> schema;
};

const CodecClass kCodecClasses[] = {
    {"acodec", "lame", typeid(CProfileCodecLame), CProfileCodecLame::Schema()},
    {"acodec", "faac", typeid(CProfileCodecFaac), CProfileCodecFaac::Schema()},
    {"acodec", "mp2", typeid(CProfileCodecMP2), CProfileCodecMP2::Schema()},
    {"acodec", "gsm", typeid(CProfileCodecGSM), CProfileCodecGSM::Schema()},
    {"acodec", "adpcm_ms", typeid(CProfileCodecADPCMMS), CProfileCodecADPCMMS::Schema()},
    {"acodec", "adpcm", typeid(CProfileCodecADPCM), CProfileCodecADPCM::Schema()},
    {"acodec", "wma9", typeid(CProfileCodecWMA9), CProfileCodecWMA9::Schema()},
    {"acodec", "wma9lossless", typeid(CProfileCodecWMA9Lossless), CProfileCodecWMA9Lossless::Schema()},
    {"acodec", "wma10", typeid(CProfileCodecWMA10), CProfileCodecWMA10::Schema()},
    {"acodec", "pcm", typeid(CProfileCodecPCM), CProfileCodecPCM::Schema()},
    {"vcodec", "xvid", typeid(CProfileCodecXvid), CProfileCodecXvid::Schema()},
    {"vcodec", "mpeg4", typeid(CProfileCodecMPEG4), CProfileCodecMPEG4::Schema()},
    {"vcodec", "h264", typeid(CProfileCodecH264), CProfileCodecH264::Schema()},
    {"vcodec", "mpeg1", typeid(CProfileCodecMPEG1), CProfileCodecMPEG1::Schema()},
    {"vcodec", "msmpeg4v2", typeid(CProfileCodecMSMPEG4V2), CProfileCodecMSMPEG4V2::Schema()},
    {"vcodec", "wmv9", typeid(CProfileCodecWMV9), CProfileCodecWMV9::Schema()},
    {"vcodec", "vc1", typeid(CProfileCodecVC1), CProfileCodecVC1::Schema()},
};

void ForEachAttr(std::span<const CProfileSchema> schema,
                 const std::function<void(const std::string& nodePath, const CProfileAttr&)>& visit)
{
    for (const CProfileSchema& entry : schema) {
        for (int i = 0; i < entry.count; ++i) {
            visit(entry.path, entry.attrs[i]);
        }
    }
}

// A profile whose section of the codec's kind is a fresh section of that codec.
CProfileFile ProfileWithCodec(const CodecClass& codec)
{
    CProfileFile file;
    file.CreateDefault();
    std::string current;
    file.GetValue(std::string(codec.kind) + ".name", current);
    file.RemoveCodecSection(std::string(codec.kind) + "." + current);
    EXPECT_NE(file.AddCodecSection(std::string(codec.kind) + "." + codec.codec), nullptr);
    return file;
}

// Saves the profile and checks, attribute by attribute, that exactly those the flags
// select were written. `changed` tells whether every value was moved off its default.
void ExpectWrittenByFlags(CProfileFile& file, std::span<const CProfileSchema> schema, bool changed,
                          const std::string& label)
{
    ASSERT_TRUE(file.BuildDocument());
    const CXmlDoc& doc = *file.Document();
    int checked = 0;
    ForEachAttr(schema, [&](const std::string& nodePath, const CProfileAttr& attr) {
        const bool expectWritten = attr.persistent && (attr.alwaysWrite || changed);
        const std::string startTag = profile_test::StartTagAt(doc, nodePath);
        EXPECT_EQ(profile_test::TagHasAttribute(startTag, attr.name.str()), expectWritten)
            << label << ": " << nodePath << "." << attr.name << " in [" << startTag << "]";
        ++checked;
    });
    EXPECT_GT(checked, 0);
}

void ChangeEveryValue(CProfileFile& file, std::span<const CProfileSchema> schema)
{
    int n = 0;
    ForEachAttr(schema, [&](const std::string& nodePath, const CProfileAttr& attr) {
        const std::string key = nodePath + "." + attr.name;
        EXPECT_TRUE(file.SetValue(key, attr.defaultValue + "~" + std::to_string(n++))) << key;
    });
}

TEST(CommonSchema, EveryAttributeResolvesToItsDefaultWithItsFlags)
{
    CProfileFile file;
    file.CreateDefault();
    int count = 0;
    ForEachAttr(CProfileCommon::Schema(), [&](const std::string& nodePath, const CProfileAttr& row) {
        const std::string key = nodePath + "." + row.name;
        const CProfileAttr* attr = file.FindSection(key)->FindAttr(key);
        ASSERT_NE(attr, nullptr) << key;
        EXPECT_EQ(attr->value, row.defaultValue) << key;
        EXPECT_EQ(attr->defaultValue, row.defaultValue) << key;
        EXPECT_EQ(attr->alwaysWrite, row.alwaysWrite) << key;
        EXPECT_EQ(attr->numeric, row.numeric) << key;
        EXPECT_EQ(attr->persistent, row.persistent) << key;
        ++count;
    });
    EXPECT_EQ(count, 91);
    EXPECT_EQ(CProfileCommon::Schema().size(), 26u);
}

TEST(CommonSchema, WriterFollowsTheFlags)
{
    CProfileFile defaults;
    defaults.CreateDefault();
    ExpectWrittenByFlags(defaults, CProfileCommon::Schema(), false, "defaults");

    CProfileFile changed;
    changed.CreateDefault();
    ChangeEveryValue(changed, CProfileCommon::Schema());
    ExpectWrittenByFlags(changed, CProfileCommon::Schema(), true, "changed");
}

TEST(CodecSchema, EveryCodecNameMakesItsClassWithItsDefaults)
{
    for (const CodecClass& codec : kCodecClasses) {
        std::unique_ptr<CProfileBase> section = CreateCodec(codec.kind, codec.codec);
        ASSERT_NE(section, nullptr) << codec.codec;
        EXPECT_EQ(std::type_index(typeid(*section)), codec.type) << codec.codec;
        EXPECT_EQ(section->GetSectionName(), codec.kind);
        EXPECT_TRUE(section->IsSection(codec.kind));

        std::string name;
        EXPECT_TRUE(section->TopNode()->GetAttrValue(std::string(codec.kind) + ".name", name));
        EXPECT_EQ(name, codec.codec);

        ForEachAttr(codec.schema, [&](const std::string& nodePath, const CProfileAttr& row) {
            const std::string key = nodePath + "." + row.name;
            const CProfileAttr* attr = section->TopNode()->FindAttr(key);
            ASSERT_NE(attr, nullptr) << codec.codec << " " << key;
            EXPECT_EQ(attr->value, row.defaultValue) << codec.codec << " " << key;
            EXPECT_TRUE(attr->alwaysWrite) << codec.codec << " " << key;
            EXPECT_EQ(attr->persistent, row.persistent) << codec.codec << " " << key;
        });
    }
}

TEST(CodecSchema, WriterFollowsTheFlags)
{
    for (const CodecClass& codec : kCodecClasses) {
        CProfileFile defaults = ProfileWithCodec(codec);
        ExpectWrittenByFlags(defaults, codec.schema, false, codec.codec);

        CProfileFile changed = ProfileWithCodec(codec);
        ChangeEveryValue(changed, codec.schema);
        ExpectWrittenByFlags(changed, codec.schema, true, codec.codec);
    }
}

}  // namespace
