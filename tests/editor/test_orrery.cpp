#include "editor/Orrery.h"
#include "editor/TypeFile.h"

#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "profile/ProfileFile.h"

namespace editor {
namespace {

constexpr const char* kBuiltInDevices =
    "generic,appleTV,cellphone,iPhone,ipod,ipodTouch,nds,pda,ps3,psp2000,psp,pvp,xbox360,zune";

COrrery Loaded(const std::string& fixture)
{
    COrrery config;
    config.CreateDefault();
    config.Load(editor_test::FixturePath("config/" + fixture).string());
    return config;
}

std::string Value(const COrrery& config, const std::string& key)
{
    std::string out = "<missing>";
    config.GetValue(key, out);
    return out;
}

std::vector<std::string> ChildNames(const profile::CProfileNode* node)
{
    std::vector<std::string> names;
    for (const auto& child : node->children)
        names.push_back(child->name);
    return names;
}

TEST(Orrery, BuiltInValues)
{
    COrrery config;
    EXPECT_TRUE(config.CreateDefault());
    EXPECT_EQ(config.rootName, "editor");
    EXPECT_TRUE(config.filePath.empty());

    struct Case { const char* key; const char* value; };
    const Case cases[] = {
        {"device_list", kBuiltInDevices},
        {"name", ""},
        {"common.container.clist", "avi,mp4,mkv,_3gp,_3g2,wmv,dpg"},
        {"common.container._3gp.flist", "3g2"},
        {"common.container.mp4.flist", "mp4,psp,ipod_mp4,ipod avc"},
        {"common.container.mkv.alist", "aac,mp3"},
        {"common.container.avi.acopy", "1"},
        {"common.container.audio.clist", "mp3,mp4,wav,wma,ipod"},
        {"common.container.audio.wav.alist", "pcm"},
        {"common.audio.freq.list", "32000,44100,48000"},
        {"common.audio.bitrate.list", "32000,48000,64000,96000,128000,192000,256000,320000"},
        {"common.audio.volume.max", "300"},
        {"common.video.size.limited", "0"},
        {"common.video.encode.maxbitrate_kbps", "5000"},
        {"common.video.encode.mode.list", "real_time,high_quality"},
        {"common.video.outfps.list", "Same as source,10,12,14,14.985,15,20,23.976,24,25,29.97,30"},
        {"common.video.fourcc.wmv9.fourcc", "WMV3"},
        // Not attributes of the tree: a node, a container the schema lacks, the
        // top name itself and keys given with it.
        {"common.video", "<missing>"},
        {"common.container.ts.flist", "<missing>"},
        {"common", "<missing>"},
        {"profile.device_list", "<missing>"},
        {"", "<missing>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Value(config, c.key), c.value) << c.key;
}

TEST(Orrery, BuiltInTreeShapeAndFlags)
{
    COrrery config;
    config.CreateDefault();
    const profile::CProfileNode* top = config.FindSection("profile.x");
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(config.FindSection("profile"), nullptr);
    EXPECT_EQ(config.FindSection("common.x"), nullptr);

    const profile::CProfileNode* common = top->FindNode("profile.common");
    ASSERT_NE(common, nullptr);
    EXPECT_EQ(ChildNames(top), std::vector<std::string>{"common"});
    EXPECT_EQ(ChildNames(common), (std::vector<std::string>{"container", "audio", "video"}));
    EXPECT_EQ(ChildNames(common->FindChild("container")),
              (std::vector<std::string>{"avi", "mp4", "mkv", "wmv", "dpg", "_3g2", "_3gp", "audio"}));
    EXPECT_EQ(ChildNames(top->FindNode("profile.common.video")),
              (std::vector<std::string>{"size", "encode", "outfps", "fourcc"}));
    EXPECT_EQ(ChildNames(top->FindNode("profile.common.video.fourcc")),
              (std::vector<std::string>{"h264", "mpeg4", "xvid", "wmv9", "mpeg1"}));

    struct Flags { const char* key; bool numeric; bool persistent; };
    const Flags flags[] = {
        {"profile.device_list", false, true},
        {"profile.common.container.avi.acopy", true, true},
        {"profile.common.container.avi.flist", false, true},
        {"profile.common.audio.volume.min", true, true},
        {"profile.common.video.size.limited", true, true},
        {"profile.common.video.size.list", false, true},
        {"profile.common.video.encode.minbitrate_kbps", true, true},
        {"profile.common.container.audio.wav.flist", false, false},
        {"profile.common.container.audio.wav.alist", false, false},
    };
    for (const Flags& f : flags) {
        const profile::CProfileAttr* attr = top->FindAttr(f.key);
        ASSERT_NE(attr, nullptr) << f.key;
        EXPECT_TRUE(attr->alwaysWrite) << f.key;
        EXPECT_EQ(attr->numeric, f.numeric) << f.key;
        EXPECT_EQ(attr->persistent, f.persistent) << f.key;
        EXPECT_EQ(attr->value, attr->defaultValue) << f.key;
    }
}

TEST(Orrery, CreateDefaultRebuildsAfterLoad)
{
    COrrery config = Loaded("override_devices.xml");
    ASSERT_EQ(Value(config, "device_list"), "psp,zune");
    config.CreateDefault();
    EXPECT_EQ(Value(config, "device_list"), kBuiltInDevices);
    EXPECT_TRUE(config.filePath.empty());
    EXPECT_EQ(config.Document(), nullptr);
}

TEST(Orrery, FileOverridesValues)
{
    const std::string path = editor_test::FixturePath("config/override_devices.xml").string();
    const COrrery config = Loaded("override_devices.xml");
    EXPECT_EQ(Value(config, "device_list"), "psp,zune");
    EXPECT_EQ(Value(config, "common.audio.freq.list"), "32000,44100,48000");
    EXPECT_EQ(config.filePath, path);
    EXPECT_EQ(config.fileTitle, "override_devices");
    EXPECT_EQ(config.name, "Handhelds");
    EXPECT_EQ(config.description, "Only the two handhelds");
    EXPECT_EQ(config.deviceList, "ignored,root,list");
    ASSERT_NE(config.Document(), nullptr);
}

TEST(Orrery, EmptyOrMisplacedValuesKeepTheBuiltInOnes)
{
    EXPECT_EQ(Value(Loaded("empty_device_list.xml"), "device_list"), kBuiltInDevices);

    const COrrery rootOnly = Loaded("root_device_list_only.xml");
    EXPECT_EQ(Value(rootOnly, "device_list"), kBuiltInDevices);
    EXPECT_EQ(rootOnly.deviceList, "psp,zune");

    const COrrery outOfOrder = Loaded("video_before_audio.xml");
    EXPECT_EQ(Value(outOfOrder, "common.audio.freq.list"), "22050,44100");
    EXPECT_EQ(Value(outOfOrder, "common.audio.bitrate.list"), "64000,128000");
    EXPECT_EQ(Value(outOfOrder, "common.video.outfps.list"),
              "Same as source,10,12,14,14.985,15,20,23.976,24,25,29.97,30");
}

TEST(Orrery, UnknownNodesChangeNothingButTheirLists)
{
    const COrrery config = Loaded("formats.xml");
    EXPECT_EQ(Value(config, "common.container.clist"), "mp4,avi,tv");
    EXPECT_EQ(Value(config, "common.container.tv.flist"), "<missing>");
    EXPECT_EQ(Value(config, "common.container.mp4.flist"), "mp4, psp, m4v");
    // The "other" root child carries a device_list too; only "profile" is read.
    EXPECT_EQ(Value(config, "device_list"), "generic, psp");
}

TEST(Orrery, FilesThatDoNotApply)
{
    struct Case { const char* fixture; bool named; };
    const Case cases[] = {
        {"missing.xml", false},
        {"malformed.xml", false},
        {"wrong_root.xml", true},   // read, but the root is not "editor"
    };
    for (const Case& c : cases) {
        const COrrery config = Loaded(c.fixture);
        EXPECT_EQ(Value(config, "device_list"), kBuiltInDevices) << c.fixture;
        EXPECT_EQ(config.filePath.empty(), !c.named) << c.fixture;
        EXPECT_TRUE(config.deviceList.empty()) << c.fixture;
    }
    COrrery config;
    config.CreateDefault();
    EXPECT_FALSE(config.LoadDocument(editor_test::FixturePath("config/missing.xml").string()));
    EXPECT_FALSE(config.ReadFromDocument());
    EXPECT_TRUE(config.LoadDocument(editor_test::FixturePath("config/wrong_root.xml").string()));
    EXPECT_EQ(config.fileTitle, "wrong_root");
    EXPECT_FALSE(config.ReadFromDocument());
}

TEST(Orrery, NothingIsFoundWithoutTheBuiltInTree)
{
    COrrery config;
    std::string out = "untouched";
    EXPECT_FALSE(config.GetValue("device_list", out));
    EXPECT_EQ(out, "untouched");
    config.Load(editor_test::FixturePath("config/override_devices.xml").string());
    EXPECT_FALSE(config.GetValue("device_list", out));
}

TEST(TypeFile, HoldsACopyOfTheLastProfileGiven)
{
    profile::CProfileFile first;
    first.CreateDefault();
    first.name = "First";
    profile::CProfileFile second;
    second.CreateDefault();
    second.name = "Second";
    second.device = "psp";
    second.tag = "kestro";
    second.type = 2;
    ASSERT_TRUE(second.SetValue("common.audio.codec", "aac"));
    second.SetFileName("/profiles/Second.xml", "Second");

    CTypeFile holder;
    EXPECT_EQ(holder.GetCurrentProfile(), nullptr);
    holder.SetCurrentProfile(first);
    holder.SetCurrentProfile(second);
    profile::CProfileFile* current = holder.GetCurrentProfile();
    ASSERT_NE(current, nullptr);
    EXPECT_NE(current, &second);
    EXPECT_EQ(holder.Name(), "Second");
    EXPECT_EQ(holder.Device(), "psp");
    EXPECT_EQ(holder.Tag(), "kestro");
    EXPECT_EQ(holder.Type(), 2);
    EXPECT_EQ(holder.FilePath(), "/profiles/Second.xml");
    EXPECT_EQ(holder.FileTitle(), "Second");

    // The argument and the copy go separate ways.
    second.name = "Changed";
    ASSERT_TRUE(second.SetValue("common.audio.codec", "mp3"));
    std::string codec;
    EXPECT_TRUE(holder.GetValue("common.audio.codec", codec));
    EXPECT_EQ(codec, "aac");
    EXPECT_EQ(holder.Name(), "Second");

    EXPECT_TRUE(holder.SetValue("common.audio.codec", "pcm"));
    EXPECT_TRUE(holder.HasValue("acodec.name"));
    EXPECT_FALSE(holder.HasValue("common.audio"));
    EXPECT_FALSE(holder.SetValue("common.audio.nothing", "1"));
    holder.SetName("Renamed");
    holder.SetDescription("About it");
    holder.SetTag("");
    holder.SetFileName("/profiles/Renamed.xml", "Renamed");
    EXPECT_EQ(current->name, "Renamed");
    EXPECT_EQ(current->description, "About it");
    EXPECT_EQ(current->tag, "");
    EXPECT_EQ(current->filePath, "/profiles/Renamed.xml");
    EXPECT_TRUE(current->GetValue("common.audio.codec", codec));
    EXPECT_EQ(codec, "pcm");
    std::string secondCodec;
    second.GetValue("common.audio.codec", secondCodec);
    EXPECT_EQ(secondCodec, "mp3");
}

TEST(TypeFile, SavesTheCurrentProfile)
{
    editor_test::TempDir dir;
    profile::CProfileFile base;
    base.CreateDefault();
    base.name = "Saved";
    base.version = "200";
    CTypeFile holder;
    holder.SetCurrentProfile(base);
    const std::string path = (dir / "Saved.xml").string();
    ASSERT_TRUE(holder.Save(path));

    profile::CProfileFile reread;
    reread.CreateDefault();
    ASSERT_TRUE(reread.Load(path));
    EXPECT_EQ(reread.name, "Saved");
    EXPECT_TRUE(base.filePath.empty()) << "saving the copy leaves the original alone";
}

TEST(TypeFile, WithoutACurrentProfileNothingHappens)
{
    CTypeFile holder;
    std::string out = "untouched";
    EXPECT_FALSE(holder.GetValue("common.audio.codec", out));
    EXPECT_EQ(out, "untouched");
    EXPECT_FALSE(holder.SetValue("common.audio.codec", "aac"));
    EXPECT_FALSE(holder.HasValue("common.audio.codec"));
    EXPECT_FALSE(holder.Save("/nonexistent/never.xml"));
    holder.SetName("ignored");
    holder.SetFileName("/x.xml", "x");
    EXPECT_EQ(holder.Name(), "");
    EXPECT_EQ(holder.FilePath(), "");
}

} // namespace
} // namespace editor
