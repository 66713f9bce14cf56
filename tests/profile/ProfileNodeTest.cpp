#include <gtest/gtest.h>

#include "ProfileTestSupport.h"
#include "markup/XmlDoc.h"
#include "profile/ProfileNode.h"

using profile::CProfileAttr;
using profile::CProfileNode;
using profile::CProfileSchema;
using profile::SchemaEntry;

namespace {

const CProfileAttr kSizeAttrs[] = {
    {"list", "", "", true, false, true},
    {"width", "320", "320", false, true, true},
    {"hidden", "h", "h", true, false, false},
};
const CProfileAttr kOtherAttrs[] = {
    {"width", "640", "640", true, true, true},
};

TEST(SplitKey, SplitsAtTheFirstDotOnly)
{
    struct Case {
        const char* key;
        const char* head;
        const char* rest;
        bool dotted;
    };
    const Case cases[] = {
        {"", "", "", false},
        {"common", "common", "common", false},
        {"common.video.size.list", "common", "video.size.list", true},
        {"common.", "common", "", true},
        {".list", "", "list", true},
    };
    for (const Case& c : cases) {
        std::string_view head;
        std::string_view rest;
        EXPECT_EQ(profile::SplitKey(std::string_view(c.key), head, rest), c.dotted) << c.key;
        EXPECT_EQ(head, c.head) << c.key;
        EXPECT_EQ(rest, c.rest) << c.key;
        EXPECT_EQ(profile::SplitKey(std::string(c.key)), std::make_pair(std::string(c.head), std::string(c.rest)));
    }
}

TEST(ProfileNode, AddSchemaBuildsPathsOnceAndAppendsInOrder)
{
    CProfileNode top("common");
    top.AddSchema(SchemaEntry("common.video.size", kSizeAttrs));
    top.AddSchema(SchemaEntry("common.video", kOtherAttrs));
    // The first component is the node itself and is not compared.
    top.AddSchema(SchemaEntry("anything.video.size", kOtherAttrs));

    ASSERT_EQ(top.children.size(), 1u);
    CProfileNode* video = top.FindChild("video");
    ASSERT_NE(video, nullptr);
    ASSERT_EQ(video->children.size(), 1u);
    CProfileNode* size = video->FindChild("size");
    ASSERT_EQ(size, top.FindNode("common.video.size"));
    ASSERT_EQ(size->attributes.size(), 4u);
    EXPECT_EQ(size->attributes[0].name, "list");
    EXPECT_EQ(size->attributes[3].value, "640");

    // A duplicate attribute loses every lookup to the first one.
    std::string out = "untouched";
    EXPECT_TRUE(top.GetAttrValue("common.video.size.width", out));
    EXPECT_EQ(out, "320");
    EXPECT_EQ(top.FindAttr("common.video.width")->value, "640");
    EXPECT_FALSE(top.FindAttr("common.video.size.hidden")->persistent);
}

TEST(ProfileNode, LookupsFailWithoutChangingAnything)
{
    CProfileNode top("common");
    top.AddSchema(SchemaEntry("common.video.size", kSizeAttrs));
    const char* misses[] = {
        "common",                  // one component names nothing
        "common.video",            // a node, not an attribute
        "other.video.size.list",   // first component is not this node
        "common.audio.size.list",  // middle component missing
        "common.video.size.",      // attribute with an empty name
        "common.video.size.List",  // case matters
        "",
    };
    for (const char* key : misses) {
        std::string out = "untouched";
        EXPECT_FALSE(top.GetAttrValue(key, out)) << key;
        EXPECT_EQ(out, "untouched") << key;
        EXPECT_EQ(top.FindAttr(key), nullptr) << key;
    }
    EXPECT_EQ(top.FindNode("common.audio"), nullptr);
    EXPECT_EQ(top.FindNode("common"), &top);
}

TEST(ProfileNode, RemoveChildRemovesOnlyTheFirstMatch)
{
    CProfileNode top("common");
    top.AddSchema(SchemaEntry("common.video.size", kSizeAttrs));
    top.AddSchema(SchemaEntry("common.audio", kOtherAttrs));
    top.FindNode("common.video")->children.push_back(std::make_unique<CProfileNode>("size"));

    top.RemoveChild("common.nothing");
    top.RemoveChild("common.missing.size");
    EXPECT_EQ(top.children.size(), 2u);

    top.RemoveChild("common.video.size");
    ASSERT_EQ(top.FindNode("common.video")->children.size(), 1u);
    EXPECT_TRUE(top.FindNode("common.video.size")->attributes.empty());

    top.RemoveChild("common.video");
    EXPECT_EQ(top.FindNode("common.video"), nullptr);
    EXPECT_NE(top.FindAttr("common.audio.width"), nullptr);
}

TEST(ProfileNode, CopiesAreDeepAndMayComeFromOwnSubtree)
{
    CProfileNode top("common");
    top.AddSchema(SchemaEntry("common.video.size", kSizeAttrs));
    top.FindNode("common.video")->present = false;

    CProfileNode copy(top);
    EXPECT_TRUE(profile_test::TreesEqual(copy, top));
    copy.FindAttr("common.video.size.width")->value = "1";
    EXPECT_EQ(top.FindAttr("common.video.size.width")->value, "320");

    CProfileNode video = *top.FindNode("common.video");
    top.CopyFrom(*top.FindNode("common.video"));
    EXPECT_TRUE(profile_test::TreesEqual(top, video));
}

// ReadNode walks forward only: an element before one already read is not found.
TEST(ProfileNode, ReadNodeSearchesForwardAndMarksMissingWritersAbsent)
{
    const CProfileAttr attrs[] = {{"v", "d", "d", true, false, true}};
    CProfileNode top("n");
    top.AddSchema(SchemaEntry("n.a", attrs));
    top.AddSchema(SchemaEntry("n.b", attrs));
    top.AddSchema(SchemaEntry("n.c", attrs));
    top.AddSchema(SchemaEntry("n.d", attrs));

    CXmlDoc doc;
    doc.SetDocumentText("<n><d/><x/><b v=\"1\"/><c v=\"\"/></n>");
    ASSERT_TRUE(doc.IndexDocument());
    top.FindAttr("n.a.v")->value = "old a";
    top.FindAttr("n.c.v")->value = "old c";
    ASSERT_TRUE(doc.SeekElement("n"));
    ASSERT_TRUE(top.ReadNode(doc));

    // A missing element keeps the node's values; the node would write its
    // always-written attribute, so it is absent, first of its level or not.
    EXPECT_FALSE(top.FindNode("n.a")->present);
    EXPECT_EQ(top.FindAttr("n.a.v")->value, "old a");
    EXPECT_EQ(top.FindAttr("n.b.v")->value, "1");
    EXPECT_EQ(top.FindAttr("n.c.v")->value, "d");
    // "d" stands before "c", which was read already, so it counts as missing.
    EXPECT_FALSE(top.FindNode("n.d")->present);
    EXPECT_TRUE(top.FindNode("n.c")->present);
}

TEST(ProfileNode, ReadNodeKeepsMissingNodesThatWriteNothingPresent)
{
    const CProfileAttr unsaved[] = {{"v", "d", "d", true, false, false}};
    const CProfileAttr changedOnly[] = {{"v", "d", "d", false, false, true}};
    CProfileNode top("n");
    top.AddSchema(SchemaEntry("n.quiet", unsaved));
    top.AddSchema(SchemaEntry("n.found", changedOnly));
    top.AddSchema(SchemaEntry("n.late", changedOnly));
    top.AddSchema(SchemaEntry("n.parent.child", unsaved));

    CXmlDoc doc;
    doc.SetDocumentText("<n><found/></n>");
    ASSERT_TRUE(doc.IndexDocument());
    ASSERT_TRUE(doc.SeekElement("n"));
    top.FindAttr("n.late.v")->value = "changed";
    ASSERT_TRUE(top.ReadNode(doc));

    EXPECT_TRUE(top.FindNode("n.quiet")->present);      // first of its level, writes nothing
    EXPECT_FALSE(top.FindNode("n.late")->present);      // its changed value would be written
    EXPECT_FALSE(top.FindNode("n.parent")->present);    // its present child keeps an element
}

TEST(ProfileNode, ReadNodeTakesDefaultsForMissingAndEmptyAttributes)
{
    const CProfileAttr attrs[] = {
        {"set", "d1", "d1", true, false, true},
        {"empty", "d2", "d2", true, false, false},
        {"missing", "d3", "d3", true, false, true},
    };
    CProfileNode top("n");
    top.AddSchema(SchemaEntry("n", attrs));
    for (CProfileAttr& attr : top.attributes) {
        attr.value = "changed";
    }
    CXmlDoc doc;
    doc.SetDocumentText("<n set=\"a &amp; b\" empty=\"\"/>");
    ASSERT_TRUE(doc.IndexDocument());
    ASSERT_TRUE(doc.SeekElement());
    ASSERT_TRUE(top.ReadNode(doc));
    EXPECT_EQ(top.attributes[0].value, "a & b");
    EXPECT_EQ(top.attributes[1].value, "d2");
    EXPECT_EQ(top.attributes[2].value, "d3");
}

TEST(ProfileNode, WriteNodeKeepsElementsOfPresentChildrenOnly)
{
    const CProfileAttr written[] = {{"v", "d", "d", true, false, true}};
    const CProfileAttr silent[] = {{"v", "d", "d", true, false, false}};
    CProfileNode top("n");
    top.AddSchema(SchemaEntry("n.keep.leaf", silent));
    top.AddSchema(SchemaEntry("n.gone", silent));
    top.AddSchema(SchemaEntry("n.absent", written));
    top.AddSchema(SchemaEntry("n.last", written));
    top.FindNode("n.absent")->present = false;
    top.FindAttr("n.last.v")->value = "q\"<";

    CXmlDoc doc;
    ASSERT_TRUE(top.WriteNode(doc));
    EXPECT_EQ(doc.DocumentText(), "<n>\r\n<keep>\r\n</keep>\r\n<last v=\"q&quot;&lt;\"/>\r\n</n>\r\n");
}

}  // namespace
