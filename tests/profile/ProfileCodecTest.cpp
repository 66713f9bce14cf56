#include <gtest/gtest.h>

#include <typeindex>

#include "ProfileTestSupport.h"
#include "profile/ProfileCodec.h"
#include "profile/ProfileCommon.h"

using namespace profile;

namespace {

std::string Value(const CProfileBase& section, const std::string& key)
{
    std::string out = "<missing>";
    section.TopNode()->GetAttrValue(key, out);
    return out;
}

TEST(CreateCodec, GivesNothingForNamesOfAnotherKindOrSpelling)
{
    const std::pair<const char*, const char*> unknown[] = {
        {"vcodec", "lame"}, {"acodec", "xvid"}, {"acodec", "Lame"}, {"acodec", ""},
        {"vcodec", "mpeg"}, {"common", "lame"}, {"", "lame"}, {"ACODEC", "lame"},
    };
    for (const auto& [kind, codec] : unknown) {
        EXPECT_EQ(CreateCodec(kind, codec), nullptr) << kind << " " << codec;
    }
}

TEST(CreateCodec, WithSourceTakesTheClassOfTheNameAndTheTreeOfTheSource)
{
    CProfileCodecLame lame;
    lame.TopNode()->FindAttr("acodec.vbr.max_bitrate")->value = "320000";

    std::unique_ptr<CProfileBase> faac = CreateCodec("acodec", "faac", &lame);
    ASSERT_NE(dynamic_cast<CProfileCodecFaac*>(faac.get()), nullptr);
    EXPECT_TRUE(profile_test::TreesEqual(*faac->TopNode(), *lame.TopNode()));
    EXPECT_EQ(Value(*faac, "acodec.name"), "lame");
    EXPECT_EQ(Value(*faac, "acodec.common.profile"), "<missing>");

    faac->TopNode()->FindAttr("acodec.vbr.max_bitrate")->value = "8000";
    EXPECT_EQ(Value(lame, "acodec.vbr.max_bitrate"), "320000");
}

// The MPEG family creates its "generic" child before the name attribute; the family
// base class itself has no name at all.
TEST(CodecClasses, MpegFamilyTreeShape)
{
    CProfileCodecH264 h264;
    const CProfileNode* top = h264.TopNode();
    ASSERT_EQ(top->children.size(), 1u);
    EXPECT_EQ(top->children[0]->name, "generic");
    EXPECT_EQ(Value(h264, "vcodec.generic.level"), "13");
    EXPECT_EQ(Value(h264, "vcodec.name"), "h264");

    CProfileCodecMPEG mpeg;
    EXPECT_EQ(mpeg.GetSectionName(), "vcodec");
    EXPECT_EQ(mpeg.TopNode()->FindAttr("vcodec.name"), nullptr);

    // Init rebuilds the class's own tree under another name, dropping edits.
    CProfileCodecVC1 vc1;
    vc1.TopNode()->FindAttr("vcodec.vbr.method")->value = "bitrate";
    vc1.Init("vcodec");
    EXPECT_EQ(Value(vc1, "vcodec.vbr.method"), "quality");
    EXPECT_EQ(Value(vc1, "vcodec.quality"), "100");
}

TEST(CloneSection, KeepsClassAndValues)
{
    CProfileCodecWMA10 wma;
    wma.TopNode()->FindAttr("acodec.vbr.vbrpass")->value = "2";
    wma.TopNode()->FindNode("acodec.vbr")->present = false;
    std::unique_ptr<CProfileBase> copy = CloneSection(wma);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::type_index(typeid(*copy)), std::type_index(typeid(CProfileCodecWMA10)));
    EXPECT_TRUE(profile_test::TreesEqual(*copy->TopNode(), *wma.TopNode()));

    CProfileCommon common;
    common.Init("Common");   // letter case does not matter for the common section
    std::unique_ptr<CProfileBase> commonCopy = CloneSection(common);
    ASSERT_NE(dynamic_cast<CProfileCommon*>(commonCopy.get()), nullptr);
    EXPECT_TRUE(profile_test::TreesEqual(*commonCopy->TopNode(), *common.TopNode()));
}

TEST(CloneSection, FollowsTheCurrentCodecName)
{
    CProfileCodecLame lame;
    lame.TopNode()->FindAttr("acodec.name")->value = "faac";
    std::unique_ptr<CProfileBase> copy = CloneSection(lame);
    ASSERT_NE(dynamic_cast<CProfileCodecFaac*>(copy.get()), nullptr);
    EXPECT_EQ(Value(*copy, "acodec.name"), "faac");
    EXPECT_EQ(Value(*copy, "acodec.vbr.max_bitrate"), "224000");

    lame.TopNode()->FindAttr("acodec.name")->value = "unknown";
    EXPECT_EQ(CloneSection(lame), nullptr);

    CProfileBase other;
    other.Init("extra");
    EXPECT_EQ(CloneSection(other), nullptr);
    CProfileCodecXvid shouting;
    shouting.TopNode()->name = "VCODEC";   // matches the kind, but has no exact name key
    EXPECT_EQ(CloneSection(shouting), nullptr);
    EXPECT_EQ(CloneSection(CProfileBase()), nullptr);
}

}  // namespace
