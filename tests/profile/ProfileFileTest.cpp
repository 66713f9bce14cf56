#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <typeindex>

#include "NodeWriterText.h"
#include "ProfileTestSupport.h"
#include "markup/XmlDoc.h"
#include "profile/ProfileCodec.h"
#include "profile/ProfileCommon.h"
#include "profile/ProfileFile.h"

using namespace profile;
using profile_test::DataPath;
using profile_test::ReadBytes;
using profile_test::TempDir;
using profile_test::WriteBytes;

namespace {

std::string Get(const CProfileFile& file, const std::string& key)
{
    std::string out = "<missing>";
    file.GetValue(key, out);
    return out;
}

CProfileFile DefaultProfile()
{
    CProfileFile file;
    file.CreateDefault();
    return file;
}

std::string SavedText(CProfileFile& file)
{
    EXPECT_TRUE(file.BuildDocument());
    return file.Document()->DocumentText();
}

std::vector<std::string> SectionNames(const CProfileFile& file)
{
    std::vector<std::string> names;
    for (const auto& section : file.Sections()) {
        names.push_back(section->GetSectionName() + ":" + Get(file, section->GetSectionName() + ".name"));
    }
    return names;
}

TEST(ProfileKeys, ResolveOnTheDefaultProfile)
{
    CProfileFile file = DefaultProfile();
    EXPECT_EQ(Get(file, "common.audio.codec"), "mp3");
    EXPECT_EQ(Get(file, "acodec.name"), "lame");
    EXPECT_EQ(Get(file, "vcodec.name"), "xvid");
    EXPECT_EQ(Get(file, "common.video.encode.mode.value"), "real_time");
    EXPECT_EQ(Get(file, "acodec.attr.orignial"), "0");
    for (const char* key : {"common.audio", "common", "profile.name", "common.audio.", "common.nothing.codec",
                            "common.device.firmware", "acodec.Name", ""}) {
        EXPECT_EQ(Get(file, key), "<missing>") << key;
        EXPECT_FALSE(file.HasValue(key)) << key;
        EXPECT_FALSE(file.SetValue(key, "x")) << key;
    }
    EXPECT_EQ(file.FindSection("common"), nullptr);
    EXPECT_EQ(file.FindSection("common.x"), file.Sections()[0]->TopNode());

    EXPECT_TRUE(file.SetValue("common.audio.freq.value", "44100"));
    EXPECT_EQ(Get(file, "common.audio.freq.value"), "44100");
    EXPECT_TRUE(file.HasValue("common.device.psp.firmware"));
}

TEST(ProfileKeys, FirstSectionOfAKindWins)
{
    CProfileFile file = DefaultProfile();
    ASSERT_NE(file.AddCodecSection("acodec.faac"), nullptr);
    EXPECT_EQ(Get(file, "acodec.name"), "lame");
    EXPECT_EQ(file.AddCodecSection("acodec.opus"), nullptr);
    EXPECT_EQ(file.AddCodecSection("acodec"), nullptr);
    EXPECT_EQ(file.Sections().size(), 4u);

    file.RemoveCodecSection("acodec.lame");
    EXPECT_EQ(Get(file, "acodec.name"), "faac");
    EXPECT_EQ(SectionNames(file), (std::vector<std::string>{"common:<missing>", "vcodec:xvid", "acodec:faac"}));
}

TEST(ProfileTree, RemovingNodesAndSections)
{
    CProfileFile file = DefaultProfile();
    file.RemoveCodecSection("acodec.faac");   // the audio section is "lame"
    file.RemoveCodecSection("vcodec.lame");
    file.RemoveNode("common");                // one component: nothing
    file.RemoveNode("acodec");
    file.RemoveNode("common.nothing");
    EXPECT_EQ(file.Sections().size(), 3u);
    EXPECT_EQ(SavedText(file), ReadBytes(DataPath("default.xml")));

    file.RemoveNode("common.video");
    EXPECT_FALSE(file.HasValue("common.video.size.list"));
    EXPECT_FALSE(file.HasValue("common.video.copy"));
    EXPECT_TRUE(file.HasValue("common.audio.codec"));

    file.RemoveCodecSection("vcodec.xvid");
    EXPECT_FALSE(file.HasValue("vcodec.name"));
    EXPECT_EQ(SectionNames(file), (std::vector<std::string>{"common:<missing>", "acodec:lame"}));
    const std::string text = SavedText(file);
    EXPECT_EQ(text.find("<video"), std::string::npos);
    EXPECT_EQ(text.find("<vcodec"), std::string::npos);
}

TEST(ProfileTree, ClearKeepsRootNameAndType)
{
    CProfileFile file = DefaultProfile();
    file.name = "n";
    file.tag = "t";
    file.type = 2;
    file.SetFileName("/tmp/x/Clip.xml", "Clip");
    ASSERT_TRUE(file.BuildDocument());
    file.Clear();
    EXPECT_TRUE(file.Sections().empty());
    EXPECT_EQ(file.Document(), nullptr);
    EXPECT_EQ(file.name + file.tag + file.filePath + file.fileTitle, "");
    EXPECT_EQ(file.rootName, "profile");
    EXPECT_EQ(file.type, 2);
    EXPECT_FALSE(file.HasValue("common.audio.codec"));
}

TEST(ProfileDefault, SavedFileIsExactlyTheDefaultLayout)
{
    TempDir dir;
    CProfileFile file = DefaultProfile();
    EXPECT_EQ(Get(file, "common.file.format"), "avi");
    EXPECT_EQ(Get(file, "common.audio.bitrate.value"), "64000");
    EXPECT_EQ(Get(file, "common.video.encode.maxbitrate_kbps"), "5000");
    EXPECT_EQ(Get(file, "common.video.size.list"), "");
    ASSERT_NE(dynamic_cast<CProfileCodecLame*>(file.Sections()[1].get()), nullptr);
    ASSERT_NE(dynamic_cast<CProfileCodecXvid*>(file.Sections()[2].get()), nullptr);

    const std::string path = dir.File("Default.xml");
    ASSERT_TRUE(file.Save(path));
    EXPECT_EQ(file.filePath, path);
    const std::string expected = ReadBytes(DataPath("default.xml"));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_EQ(file.Document()->DocumentText(), expected);

    // Loading the file into a new default profile and saving it again keeps the set.
    CProfileFile reloaded = DefaultProfile();
    ASSERT_TRUE(reloaded.Load(path));
    EXPECT_EQ(reloaded.fileTitle, "Default");
    const std::string again = dir.File("Again.xml");
    ASSERT_TRUE(reloaded.Save(again));
    EXPECT_EQ(ReadBytes(again), expected);
}

TEST(ProfileLoad, FaacFileReplacesTheLameSectionAndIsWrittenLast)
{
    TempDir dir;
    CProfileFile file = DefaultProfile();
    ASSERT_TRUE(file.Load(DataPath("faac.xml")));
    EXPECT_EQ(file.name, "Movie");
    EXPECT_EQ(file.description, "AAC audio & Xvid video");
    EXPECT_EQ(file.device, "psp");
    EXPECT_EQ(file.tag, "builtin");
    EXPECT_TRUE(file.IsVersion200());
    EXPECT_EQ(file.fileTitle, "faac");

    ASSERT_EQ(file.Sections().size(), 3u);
    EXPECT_NE(dynamic_cast<CProfileCodecFaac*>(file.Sections()[2].get()), nullptr);
    EXPECT_EQ(SectionNames(file), (std::vector<std::string>{"common:<missing>", "vcodec:xvid", "acodec:faac"}));
    EXPECT_EQ(Get(file, "acodec.common.profile"), "2");
    EXPECT_EQ(Get(file, "acodec.common.quality"), "90");
    EXPECT_FALSE(file.HasValue("acodec.vbr.max_bitrate"));
    EXPECT_EQ(Get(file, "common.audio.freq.list"), "32000,44100,48000");
    EXPECT_EQ(Get(file, "common.video.encode.bitrate_kbps"), "768");

    const std::string path = dir.File("out.xml");
    ASSERT_TRUE(file.Save(path));
    const std::string text = ReadBytes(path);
    EXPECT_LT(text.find("<vcodec name=\"xvid\">"), text.find("<acodec name=\"faac\">"));
    EXPECT_NE(text.find("<common profile=\"2\" quality=\"90\"/>"), std::string::npos);
    EXPECT_NE(text.find("bitrate_kbps=\"768\""), std::string::npos);
    // Nothing the schema does not describe survives: declaration, comment.
    EXPECT_EQ(text.rfind("<profile ", 0), 0u);
    EXPECT_EQ(text.find("<!--"), std::string::npos);
}

TEST(ProfileLoad, MissingAndEmptyAttributesReadAsDefaults)
{
    CProfileFile file = DefaultProfile();
    file.SetValue("common.audio.channel", "6");
    ASSERT_TRUE(file.Load(DataPath("partial.xml")));
    EXPECT_EQ(file.type, 12);
    EXPECT_EQ(file.description, "");
    EXPECT_EQ(file.tag, "");
    EXPECT_EQ(Get(file, "common.file.format"), "mp3");
    EXPECT_EQ(Get(file, "common.file.onefile_size_mb"), "600");
    EXPECT_EQ(Get(file, "common.audio.channel"), "2");
    EXPECT_EQ(Get(file, "common.audio.bitdepth"), "16");
    EXPECT_EQ(Get(file, "common.audio.freq.value"), "48000");
    EXPECT_EQ(Get(file, "common.audio.freq.list"), "22050,44100");
    EXPECT_EQ(Get(file, "common.audio.bitrate.value"), "64000");
    EXPECT_EQ(Get(file, "acodec.common.ver"), "1");
    EXPECT_EQ(Get(file, "acodec.common.layer"), "2");

    TempDir dir;
    const std::string noType = dir.File("notype.xml");
    WriteBytes(noType, "<profile name=\"a\"/>");
    CProfileFile other = DefaultProfile();
    other.type = 5;
    ASSERT_TRUE(other.Load(noType));
    EXPECT_EQ(other.type, 0);
    EXPECT_EQ(other.name, "a");
}

TEST(ProfileLoad, TypeReadsAsALeadingDecimalNumber)
{
    TempDir dir;
    const std::pair<const char*, int> cases[] = {
        {"2", 2}, {" +7", 7}, {"-3x", -3}, {"abc", 0}, {"", 0}, {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const auto& [text, expected] : cases) {
        const std::string path = dir.File("type.xml");
        WriteBytes(path, std::string("<profile type=\"") + text + "\"/>");
        CProfileFile file = DefaultProfile();
        ASSERT_TRUE(file.Load(path)) << text;
        EXPECT_EQ(file.type, expected) << text;
    }
}

// Foreign files leave elements out; an edit below one must still reach the disk, and
// the file saved then must load and save to the same bytes.
TEST(ProfileLoad, AnEditBelowAMissingElementIsWritten)
{
    TempDir dir;
    const std::string path = dir.File("foreign.xml");
    WriteBytes(path, "<profile name=\"n\" version=\"200\"><common><audio codec=\"mp3\"><bitrate list=\"64000\"/>"
                     "</audio></common></profile>");
    CProfileFile file = DefaultProfile();
    ASSERT_TRUE(file.Load(path));
    EXPECT_TRUE(file.SetValue("common.file.format", "mp4"));
    EXPECT_TRUE(file.SetValue("common.audio.freq.list", "32000,48000"));
    // Unchanged values and values never written leave their nodes absent.
    EXPECT_TRUE(file.SetValue("common.video.size.list", ""));
    EXPECT_TRUE(file.SetValue("common.video.crop.left", "16"));
    ASSERT_TRUE(file.Save());

    const std::string first = ReadBytes(path);
    const CXmlDoc& doc = *file.Document();
    EXPECT_TRUE(profile_test::TagHasAttribute(profile_test::StartTagAt(doc, "common.file"), "format")) << first;
    EXPECT_NE(first.find("<freq value=\"48000\" list=\"32000,48000\"/>"), std::string::npos) << first;
    EXPECT_EQ(first.find("<video"), std::string::npos) << first;
    // The file had no "vcodec": the default video section stays and is written.
    EXPECT_NE(first.find("<vcodec name=\"xvid\">"), std::string::npos) << first;

    CProfileFile again = DefaultProfile();
    ASSERT_TRUE(again.Load(path));
    EXPECT_EQ(Get(again, "common.file.format"), "mp4");
    ASSERT_TRUE(again.Save());
    EXPECT_EQ(ReadBytes(path), first);
}

TEST(ProfileLoad, AnEmptyCommonSectionStaysEmptyThroughSaves)
{
    TempDir dir;
    const std::string path = dir.File("empty-common.xml");
    WriteBytes(path, "<profile name=\"n\" version=\"200\"><common></common></profile>");
    CProfileFile file = DefaultProfile();
    ASSERT_TRUE(file.Load(path));
    const std::string first = SavedText(file);
    // Every child of common is missing and would write something, so none is written;
    // common's own element stays, and reading it back gives the same file.
    EXPECT_NE(first.find("<common/>"), std::string::npos) << first;
    EXPECT_EQ(first.find("<file"), std::string::npos) << first;
    WriteBytes(path, first);
    CProfileFile again = DefaultProfile();
    ASSERT_TRUE(again.Load(path));
    EXPECT_EQ(SavedText(again), first);
}

TEST(ProfileSave, FlagsDecideWhatIsWritten)
{
    CProfileFile file = DefaultProfile();
    const std::string bitrateAt = "common.video.encode";
    SavedText(file);
    EXPECT_FALSE(profile_test::TagHasAttribute(profile_test::StartTagAt(*file.Document(), bitrateAt), "bitrate_kbps"));

    ASSERT_TRUE(file.SetValue("common.video.encode.bitrate_kbps", "1200"));
    ASSERT_TRUE(file.SetValue("common.video.crop.left", "16"));
    SavedText(file);
    EXPECT_TRUE(profile_test::TagHasAttribute(profile_test::StartTagAt(*file.Document(), bitrateAt), "bitrate_kbps"));
    EXPECT_EQ(file.Document()->DocumentText().find("<crop"), std::string::npos);

    ASSERT_TRUE(file.SetValue("common.video.encode.bitrate_kbps", "900"));
    EXPECT_EQ(SavedText(file), ReadBytes(DataPath("default.xml")));
}

// BuildDocument writes the text in one pass; it must be, byte for byte, what the node
// writer's appends and stores make of the same profile, on every shape a file can take.
TEST(ProfileSave, DocumentIsWhatTheNodeWriterMakes)
{
    std::vector<CProfileFile> profiles;
    profiles.push_back(DefaultProfile());
    std::vector<std::string> paths = {DataPath("partial.xml"), DataPath("faac.xml"), DataPath("unknown.xml")};
    for (const auto& entry : std::filesystem::directory_iterator(std::string(ORRERY_TEST_DATA) + "/../../data/Profiles"))
        paths.push_back(entry.path().string());
    for (const std::string& path : paths) {
        CProfileFile file = DefaultProfile();
        ASSERT_TRUE(file.Load(path)) << path;
        profiles.push_back(std::move(file));
    }
    ASSERT_GT(profiles.size(), 20u);
    // Every byte a value may hold, references among them; a NUL, which the one-pass
    // writer leaves to the node writer; and two stored attributes of one name.
    std::string bytes = "&lt; <a href=\"x\">'&amp;'</a> ]]> ";
    for (int c = 1; c < 256; ++c)
        bytes += static_cast<char>(c);
    CProfileFile odd = DefaultProfile();
    odd.description = bytes;
    ASSERT_TRUE(odd.SetValue("common.video.size.list", bytes));
    profiles.push_back(odd);
    odd.tag = std::string("a\0b", 3);
    profiles.push_back(odd);
    CProfileFile twice = DefaultProfile();
    const CProfileAttr doubled[] = {SchemaAttr("format", "avi", kPersistent | kAlwaysWrite)};
    twice.FindSection("common.file")->AddSchema(SchemaEntry("common.file", doubled));
    ASSERT_TRUE(twice.SetValue("common.file.format", "mp4"));
    profiles.push_back(twice);

    for (CProfileFile& file : profiles) {
        ASSERT_TRUE(file.BuildDocument()) << file.filePath;
        EXPECT_EQ(file.Document()->DocumentText(), profile_test::NodeWriterText(file)) << file.filePath;
    }
}

TEST(ProfileLoad, UnknownCodecsAndForeignElementsAreSkipped)
{
    CProfileFile file = DefaultProfile();
    ASSERT_TRUE(file.Load(DataPath("unknown.xml")));
    EXPECT_EQ(file.name, "Odd");
    EXPECT_EQ(Get(file, "common.audio.channel"), "1");
    EXPECT_EQ(SectionNames(file), (std::vector<std::string>{"common:<missing>", "acodec:lame", "vcodec:xvid"}));
    EXPECT_NE(dynamic_cast<CProfileCodecLame*>(file.Sections()[1].get()), nullptr);
    EXPECT_EQ(Get(file, "acodec.common.ver"), "0");

    // Without a common section there is nothing to read "common" into.
    CProfileFile bare;
    bare.rootName = "profile";
    ASSERT_TRUE(bare.Load(DataPath("faac.xml")));
    EXPECT_FALSE(bare.HasValue("common.audio.codec"));
    EXPECT_EQ(SectionNames(bare), (std::vector<std::string>{"acodec:faac", "vcodec:xvid"}));
    EXPECT_EQ(Get(bare, "acodec.common.quality"), "90");
}

TEST(ProfileLoad, UnreadableMalformedAndForeignFilesLeaveTheDefaults)
{
    TempDir dir;
    const std::string expected = ReadBytes(DataPath("default.xml"));
    const std::string cases[] = {dir.File("missing.xml"), dir.Path(), DataPath("malformed.xml"),
                                 DataPath("foreign.xml")};
    for (const std::string& path : cases) {
        CProfileFile file = DefaultProfile();
        EXPECT_FALSE(file.Load(path)) << path;
        EXPECT_EQ(file.name + file.version + file.device, "") << path;
        EXPECT_EQ(file.type, 0) << path;
        EXPECT_EQ(SavedText(file), expected) << path;
    }

    CProfileFile file = DefaultProfile();
    EXPECT_FALSE(file.Load(dir.File("missing.xml")));
    EXPECT_EQ(file.filePath, "");
    EXPECT_FALSE(file.Load(DataPath("malformed.xml")));
    ASSERT_NE(file.Document(), nullptr);
    EXPECT_NE(file.Document()->ResultText().find("not"), std::string::npos) << file.Document()->ResultText();
}

// The library reads a profile's sections only when the profile is first used; what it
// then holds must be what an immediate load reads, whatever the file is like.
TEST(ProfileLoad, DeferredLoadReadsWhatALoadReads)
{
    for (const char* name : {"default.xml", "faac.xml", "partial.xml", "unknown.xml"}) {
        CProfileFile eager = DefaultProfile();
        ASSERT_TRUE(eager.Load(DataPath(name))) << name;
        CProfileFile deferred;
        ASSERT_TRUE(deferred.LoadDeferred(DataPath(name))) << name;
        EXPECT_TRUE(deferred.IsDeferred()) << name;
        EXPECT_EQ(deferred.rootName + "|" + deferred.name + "|" + deferred.description + "|" + deferred.device + "|" +
                      deferred.version + "|" + deferred.tag + "|" + deferred.fileTitle + "|" + deferred.filePath,
                  eager.rootName + "|" + eager.name + "|" + eager.description + "|" + eager.device + "|" +
                      eager.version + "|" + eager.tag + "|" + eager.fileTitle + "|" + eager.filePath)
            << name;
        EXPECT_EQ(deferred.type, eager.type) << name;

        // A copy taken before the sections are read reads them on its own.
        CProfileFile copy(deferred);
        ASSERT_EQ(deferred.Sections().size(), eager.Sections().size()) << name;
        EXPECT_FALSE(deferred.IsDeferred());
        EXPECT_TRUE(copy.IsDeferred());
        for (std::size_t i = 0; i < eager.Sections().size(); ++i) {
            EXPECT_EQ(std::type_index(typeid(*deferred.Sections()[i])), std::type_index(typeid(*eager.Sections()[i])));
            EXPECT_TRUE(profile_test::TreesEqual(*deferred.Sections()[i]->TopNode(), *eager.Sections()[i]->TopNode()))
                << name;
        }
        EXPECT_EQ(SavedText(deferred), SavedText(eager)) << name;

        copy.name = "Renamed";
        ASSERT_TRUE(copy.SetValue("common.audio.channel", "6"));
        EXPECT_EQ(copy.name, "Renamed");
        EXPECT_EQ(Get(deferred, "common.audio.channel"), Get(eager, "common.audio.channel")) << name;
    }

    // Where a load fails, a deferred load fails too and changes nothing.
    TempDir dir;
    CProfileFile kept;
    ASSERT_TRUE(kept.LoadDeferred(DataPath("faac.xml")));
    const std::string failing[] = {dir.File("missing.xml"), dir.Path(), DataPath("malformed.xml"),
                                   DataPath("foreign.xml")};
    for (const std::string& path : failing) {
        EXPECT_FALSE(kept.LoadDeferred(path)) << path;
        EXPECT_EQ(kept.filePath, DataPath("faac.xml"));
    }
    // A load that fails over a deferred profile keeps what the deferred one held.
    EXPECT_FALSE(kept.Load(DataPath("malformed.xml")));
    EXPECT_EQ(Get(kept, "acodec.name"), "faac");
    EXPECT_EQ(Get(kept, "acodec.common.quality"), "90");
}

// A deferred profile keeps its text without the root's attributes where the root start
// tag has the usual shape, and whole where it has not; either way its sections read as a
// load reads them.
TEST(ProfileLoad, DeferredLoadOfOddRootsReadsWhatALoadReads)
{
    const char* const texts[] = {
        "<?xml version=\"1.0\"?>\n<!-- > -->\n<profile name=\"a\" version=\"200\" type=\"2\"><acodec name=\"faac\">"
        "<common quality=\"77\"/></acodec></profile>\n",
        "<profile\tname='a>b\"' \nversion=\"200\"><acodec name=\"faac\"><common quality=\"71\"/></acodec></profile>",
        "<profile version=\"200\"/><acodec name=\"faac\"><common quality=\"72\"/></acodec>",
        "<profile version=\"200\" name=\"empty\"/>\n",
        "<profile version=\"200\"><acodec name=\"faac\"><common quality=\"73\"/></acodec>",
        "<profile version=\"200\" name=\"a><common><audio channel='1'/></common>\"><acodec name=\"faac\"><common quality=\"74\"/></acodec>"
        "</profile>",
        "<other><acodec name=\"faac\"/></other><profile version=\"200\"><common><audio channel=\"6\"/></common></profile>",
        // Blank and other text between tags, nesting that climbs several levels at once.
        "<profile version=\"200\">\r\n <!-- <acodec name='lame'/> -->\r\n<common>\n\t<audio channel=\"5\"> x "
        "<![CDATA[<freq value='1'/>]]><freq value=\"22050\"><x><y/></x></freq></audio>\r\n<?pi <video/> ?>\n"
        "<video><size out_size=\"64x48\"/></video></common>\r\n<acodec name=\"faac\">  <common quality=\"75\"/>\n"
        "</acodec>\n</profile>\n<!-- after -->\n",
    };
    TempDir dir;
    int loads = 0;
    for (const char* text : texts) {
        const std::string path = dir.File("odd.xml");
        WriteBytes(path, text);
        CProfileFile eager = DefaultProfile();
        CProfileFile deferred;
        const bool loaded = eager.Load(path);
        ASSERT_EQ(deferred.LoadDeferredText(path, text), loaded) << text;
        if (loaded) {
            ++loads;
            EXPECT_EQ(deferred.name, eager.name) << text;
            EXPECT_EQ(SavedText(deferred), SavedText(eager)) << text;
        }
    }
    EXPECT_EQ(loads, 5);
}

TEST(ProfileSave, FailedWritesReturnFalseAndKeepTheOldFile)
{
    TempDir dir;
    CProfileFile file = DefaultProfile();
    EXPECT_FALSE(file.WriteFile(dir.File("x.xml")));   // nothing built yet
    EXPECT_FALSE(file.Save());                         // no file name yet
    EXPECT_FALSE(file.Save(dir.File("no/such/folder/x.xml")));
    EXPECT_FALSE(file.WriteResultText().empty());
    EXPECT_FALSE(file.Save(dir.Path()));
    EXPECT_EQ(file.filePath, "");

    const std::string path = dir.File("Kept.xml");
    WriteBytes(path, "old contents");
    file.SetFileName(path, "Kept");
    for (int i = 0; i < 200; ++i) {
        file.description += "long enough to pass the file size limit ";
    }

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = file.Save();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_FALSE(file.WriteResultText().empty());
    EXPECT_EQ(ReadBytes(path), "old contents");
    EXPECT_EQ(file.filePath, path);

    ASSERT_TRUE(file.Save());
    EXPECT_EQ(ReadBytes(path), file.Document()->DocumentText());
}

TEST(ProfileFile, FileNamesTitlesAndVersion)
{
    struct Case {
        const char* path;
        const char* title;
    };
    const Case cases[] = {
        {"/p/Profiles/ipod/Small.xml", "Small"}, {"Movie.xml", "Movie"}, {"/p/abc", "abc"},
        {"/p/abcd", "abcd"}, {"/p/dir.d/noext", "noext"}, {"", ""}, {"/p/Loud.XML", "Loud"},
        {"/p/a.xml.bak.xml", "a.xml.bak"}, {"/p/.xml", ""}, {"/p/notes.xml.txt", "notes.xml.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileTitleOf(c.path), c.title) << c.path;
    }

    CProfileFile file;
    for (const auto& [version, is200] : {std::pair{"200", true}, {"200.0", false}, {"2", false}, {"", false}}) {
        file.version = version;
        EXPECT_EQ(file.IsVersion200(), is200) << version;
    }
}

TEST(ProfileCopy, CopiesAreDeepAndFollowTheCodecName)
{
    CProfileFile original = DefaultProfile();
    original.name = "orig";
    original.type = 2;
    original.SetFileName("/p/Orig.xml", "Orig");
    ASSERT_TRUE(original.SetValue("acodec.vbr.max_bitrate", "320000"));
    ASSERT_TRUE(original.BuildDocument());
    ASSERT_TRUE(original.SetValue("acodec.name", "faac"));

    CProfileFile copy(original);
    EXPECT_EQ(copy.name, "orig");
    EXPECT_EQ(copy.type, 2);
    EXPECT_EQ(copy.filePath, "/p/Orig.xml");
    EXPECT_EQ(copy.fileTitle, "Orig");
    EXPECT_EQ(copy.rootName, "profile");
    ASSERT_NE(copy.Document(), nullptr);
    EXPECT_NE(copy.Document(), original.Document());
    EXPECT_EQ(copy.Document()->DocumentText(), original.Document()->DocumentText());

    // The copy's audio section has the class of the new name and the old tree.
    ASSERT_EQ(copy.Sections().size(), 3u);
    EXPECT_NE(dynamic_cast<CProfileCodecFaac*>(copy.Sections()[1].get()), nullptr);
    EXPECT_NE(dynamic_cast<CProfileCodecLame*>(original.Sections()[1].get()), nullptr);
    EXPECT_NE(dynamic_cast<CProfileCommon*>(copy.Sections()[0].get()), nullptr);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NE(copy.Sections()[i].get(), original.Sections()[i].get());
        EXPECT_TRUE(profile_test::TreesEqual(*copy.Sections()[i]->TopNode(), *original.Sections()[i]->TopNode()));
    }
    EXPECT_EQ(Get(copy, "acodec.name"), "faac");
    EXPECT_EQ(Get(copy, "acodec.vbr.max_bitrate"), "320000");

    ASSERT_TRUE(copy.SetValue("common.audio.codec", "aac"));
    EXPECT_EQ(Get(original, "common.audio.codec"), "mp3");

    CProfileFile assigned = DefaultProfile();
    assigned = copy;
    EXPECT_EQ(Get(assigned, "common.audio.codec"), "aac");
    const CProfileFile& alias = assigned;
    assigned = alias;
    EXPECT_EQ(assigned.Sections().size(), 3u);

    CProfileFile moved(std::move(assigned));
    EXPECT_EQ(Get(moved, "common.audio.codec"), "aac");
    EXPECT_TRUE(assigned.Sections().empty());   // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(assigned.Document(), nullptr);
    assigned = std::move(moved);
    EXPECT_EQ(Get(assigned, "acodec.name"), "faac");
}

// A section whose name was set to something no codec class answers to keeps its own
// class in a copy instead of vanishing from it.
TEST(ProfileCopy, UnknownCodecNameKeepsTheSection)
{
    CProfileFile original = DefaultProfile();
    ASSERT_TRUE(original.SetValue("vcodec.name", "theora"));
    CProfileFile copy;
    copy.CopyFrom(original);
    ASSERT_EQ(copy.Sections().size(), 3u);
    EXPECT_NE(dynamic_cast<CProfileCodecXvid*>(copy.Sections()[2].get()), nullptr);
    EXPECT_EQ(Get(copy, "vcodec.name"), "theora");
    EXPECT_NE(copy.Document(), nullptr);
}

}  // namespace
