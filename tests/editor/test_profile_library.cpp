#include "editor/ProfileLibrary.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "editor/ChoiceLists.h"
#include "editor/Orrery.h"
#include "platform/Platform.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace editor {
namespace {

namespace fs = std::filesystem;
using editor_test::ReadBytes;
using editor_test::ScopedConfigHome;
using editor_test::TempDir;
using editor_test::WriteBytes;

// The library as (device, file title, type) triples, in library order.
struct Entry {
    std::string device, title;
    int type;
    bool operator==(const Entry&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Entry& e)
{
    return out << '(' << e.device << ", " << e.title << ", " << e.type << ')';
}

std::vector<Entry> Listing(const CProfileLibrary& library)
{
    std::vector<Entry> entries;
    for (const auto& [device, profile] : library.Entries())
        entries.push_back({device, profile.fileTitle, profile.type});
    return entries;
}

std::vector<std::string> Titles(const std::vector<profile::CProfileFile>& profiles)
{
    std::vector<std::string> titles;
    for (const auto& p : profiles)
        titles.push_back(p.fileTitle);
    return titles;
}

profile::CProfileFile Named(const std::string& device, const std::string& title, int type)
{
    profile::CProfileFile p;
    p.CreateDefault();
    p.device = device;
    p.type = type;
    p.version = "200";
    p.SetFileName("/nowhere/" + title + ".xml", title);
    return p;
}

// A profiles root whose Profiles folder holds every library fixture: the good ones,
// a version "100" file, a malformed file, a type 5 file, a text file and a folder.
void FillProfilesFolder(const TempDir& root)
{
    for (const char* name : {"Movie.xml", "clip.xml", "Music.xml", "iphone.xml", "ipod_movie.xml", "old.xml",
                             "odd_type.xml", "broken.xml", "notes.txt"}) {
        root.CopyFixture(std::string("profiles/") + name, "Profiles");
    }
    fs::create_directory(root / "Profiles/folder.xml");
}

// ---------------------------------------------------------------------------
// Folders

class FoldersTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedConfigHome home{dir / "config"};
};

TEST_F(FoldersTest, InstallFolderFromTheSettingsValue)
{
    struct Case { std::string settings; std::string folder; };
    const std::string longValue = "/" + std::string(300, 'a') + "/conv";
    const std::string fits = "/" + std::string(257, 'b') + "/";      // 259 bytes and the NUL
    const std::string tooLong = "/" + std::string(258, 'b') + "/";   // 260 bytes and the NUL
    const Case cases[] = {
        {"[General]\nPath=/opt/Kestro/Conv/conv\n", "/opt/Kestro/Conv/"},
        {"[General]\nPath=/opt/Kestro/Conv/\n", "/opt/Kestro/Conv/"},
        {"[General]\nPath=/opt/Kestro/Conv\n", "/opt/Kestro/"},
        {"[General]\nPath=conv\n", ""},
        {"[General]\nPath=\n", ""},
        {"[General]\nOther=/opt/x/\n", ""},
        {"[General]\nPath=" + longValue + "\n", ""},
        {"[General]\nPath=" + fits + "\n", fits},
        {"[General]\nPath=" + tooLong + "\n", ""},
    };
    for (const Case& c : cases) {
        home.WriteSettings(c.settings);
        EXPECT_EQ(InstallFolderFromRegistry(), c.folder) << c.settings;
    }
    fs::remove(home.Folder() / "Kestro.conf");
    EXPECT_EQ(InstallFolderFromRegistry(), "") << "no settings file";
}

TEST_F(FoldersTest, ProfilesFolderIsMadeOnlyWithoutAnInstallFolder)
{
    const fs::path program = dir / "program";
    fs::create_directory(program);
    EXPECT_EQ(ProgramFolder(true, program.string()), program.string());
    EXPECT_FALSE(fs::exists(program / "Profiles"));
    EXPECT_EQ(ProgramFolder(false, program.string()), program.string());
    EXPECT_TRUE(fs::is_directory(program / "Profiles"));
    EXPECT_EQ(ProgramFolder(false, program.string()), program.string()) << "an existing folder is fine";

    // The real executable's folder, asked without creating anything.
    EXPECT_EQ(ProgramFolder(true), ExecutableFolder());
    EXPECT_FALSE(ExecutableFolder().empty());
}

TEST_F(FoldersTest, StartUpWithAnInstallFolder)
{
    const fs::path program = dir / "program";
    const fs::path install = dir / "install";
    fs::create_directories(program);
    fs::create_directories(install / "Profiles");
    dir.CopyFixture("profiles/Movie.xml", "install/Profiles");
    home.WriteSettings("[General]\nPath=" + (install / "conv").string() + "\n");

    const EditorFolders folders = LocateFolders(program.string());
    EXPECT_TRUE(folders.hasInstallFolder);
    EXPECT_EQ(folders.installFolder, install.string());
    EXPECT_EQ(folders.programFolder, program.string());
    EXPECT_EQ(folders.ProfilesRoot(), install.string());
    EXPECT_EQ(folders.TemplateFolder(), program.string());
    EXPECT_FALSE(fs::exists(program / "Profiles"));

    EXPECT_EQ(ProfilesPattern(folders.ProfilesRoot()), (install / "Profiles/*.xml").string());
    EXPECT_EQ(ConfigurationPath(folders.programFolder), (program / "Orrery.xml").string());
    CProfileLibrary library;
    EXPECT_TRUE(library.ScanProfiles(ProfilesPattern(folders.ProfilesRoot())));
    EXPECT_THAT(Listing(library), ElementsAre(Entry{"psp", "Movie", 0}));
}

TEST_F(FoldersTest, StartUpWithoutAnInstallFolder)
{
    const fs::path program = dir / "program";
    fs::create_directories(program);
    for (const char* settings : {"", "[General]\nPath=conv\n"}) {
        fs::remove_all(program / "Profiles");
        if (*settings)
            home.WriteSettings(settings);
        const EditorFolders folders = LocateFolders(program.string());
        EXPECT_FALSE(folders.hasInstallFolder) << settings;
        EXPECT_EQ(folders.ProfilesRoot(), program.string());
        EXPECT_TRUE(fs::is_directory(program / "Profiles")) << settings;
        CProfileLibrary library;
        EXPECT_FALSE(library.ScanProfiles(ProfilesPattern(folders.ProfilesRoot())));
    }
}

// A system-wide installation: the program folder's Profiles folder is the installer's,
// so the user's own is made in the data folder, with a copy of the samples the first
// time only.
TEST_F(FoldersTest, ProgramFolderThatCannotHoldProfilesGivesWayToTheDataFolder)
{
    const fs::path program = dir / "program";
    WriteBytes(program / "Profiles/generic.Kestro.Video.xml", "<profile name=\"sample\"/>");
    WriteBytes(program / "Profiles/notes.txt", "no profile");
    fs::permissions(program / "Profiles", fs::perms(0555));
    const fs::path data = dir / "data";
    fs::create_directories(data);
    fs::permissions(dir.Path(), fs::perms(0755));
    if (::getuid() == 0) {
        ASSERT_EQ(::chown(data.c_str(), testfiles::kOtherUser, testfiles::kOtherGroup), 0);
    }
    testfiles::ScopedEnv dataHome("XDG_DATA_HOME", data.c_str());
    const fs::path profiles = data / "orrery/Profiles";

    const int status = testfiles::RunAsOtherUser([&] {
        const EditorFolders first = LocateFolders(program.string());
        EXPECT_TRUE(first.usesDataFolder);
        EXPECT_EQ(first.state, ProfilesFolderState::Usable) << first.reason;
        EXPECT_EQ(first.ProfilesFolder(), profiles.string());
        EXPECT_EQ(ReadBytes(profiles / "generic.Kestro.Video.xml"), "<profile name=\"sample\"/>");
        EXPECT_FALSE(fs::exists(profiles / "notes.txt"));
        fs::remove(profiles / "generic.Kestro.Video.xml");
        EXPECT_EQ(LocateFolders(program.string()).ProfilesFolder(), profiles.string());
        EXPECT_TRUE(fs::is_empty(profiles)) << "a sample the user removed stays removed";
        return ::testing::Test::HasFailure() ? 1 : 0;
    });
    fs::permissions(program / "Profiles", fs::perms(0755));
    EXPECT_EQ(status, 0);
}

TEST_F(FoldersTest, AnyFileMatches)
{
    EXPECT_FALSE(AnyFileMatches((dir / "*.xml").string()));
    EXPECT_FALSE(AnyFileMatches((dir / "missing/*.xml").string()));
    editor_test::WriteBytes(dir / "a.txt", "x");
    EXPECT_FALSE(AnyFileMatches((dir / "*.xml").string()));
    EXPECT_TRUE(AnyFileMatches((dir / "*.txt").string()));
}

// ---------------------------------------------------------------------------
// Scan and library operations

TEST(ProfileLibrary, ScanKeepsVersion200FilesByDevice)
{
    TempDir root;
    FillProfilesFolder(root);
    CProfileLibrary library;
    EXPECT_TRUE(library.ScanProfiles(ProfilesPattern(root.Str())));
    // Devices in byte order ("iPhone" before "ipod"), a device's files in listing
    // order (names ignoring case): clip, Movie, Music. The version "100" file, the
    // malformed file, the text file and the folder are not there; type 5 is.
    EXPECT_THAT(Listing(library), ElementsAre(Entry{"iPhone", "iphone", 0}, Entry{"ipod", "ipod_movie", 0},
                                              Entry{"psp", "clip", 0}, Entry{"psp", "Movie", 0},
                                              Entry{"psp", "Music", 2}, Entry{"zune", "odd_type", 5}));
    const profile::CProfileFile& movie = std::next(library.Entries().begin(), 3)->second;
    EXPECT_EQ(movie.name, "Movie");
    EXPECT_EQ(movie.filePath, (root / "Profiles/Movie.xml").string());
    std::string format;
    EXPECT_TRUE(movie.GetValue("common.file.format", format));
    EXPECT_EQ(format, "mp4");

    // A second scan of the same folder adds every file again: duplicates are kept, each
    // after the entries its device held already (a.xml is new, and first of its folder).
    fs::copy_file(root / "Profiles/Movie.xml", root / "Profiles/a.xml");
    EXPECT_TRUE(library.ScanProfiles(ProfilesPattern(root.Str())));
    EXPECT_EQ(library.Size(), 13u);
    std::vector<std::string> psp;
    for (const auto& [device, profile] : library.Entries())
        if (device == "psp")
            psp.push_back(profile.fileTitle);
    EXPECT_THAT(psp, ElementsAre("clip", "Movie", "Music", "a", "clip", "Movie", "Music"));
}

// The session compares the folder with the stamps the scan took as it read: every
// listed entry must have the stamp a stat of it gives, whatever it is, and only what
// is a regular file is read (a FIFO would hold the scan up).
TEST(ProfileLibrary, ScanStampsEveryListedFileAsAStatDoes)
{
    TempDir root;
    FillProfilesFolder(root);
    const fs::path folder = root / "Profiles";
    fs::create_symlink("Movie.xml", folder / "link.xml");
    fs::create_symlink("gone.xml", folder / "dangling.xml");
    ASSERT_EQ(::mkfifo((folder / "pipe.xml").c_str(), 0600), 0);
    WriteBytes((folder / "empty.xml").string(), "");
    WriteBytes((folder / "huge.xml").string(), std::string(kMaxProfileFileSize + 1, ' '));

    CProfileLibrary library;
    FolderStamps stamps;
    ASSERT_TRUE(library.ScanProfiles(ProfilesPattern(root.Str()), stamps));
    std::vector<std::string> listed;
    ListMatchingFiles(ProfilesPattern(root.Str()), listed, true);
    ASSERT_EQ(stamps.size(), listed.size());
    for (const std::string& path : listed) {
        ASSERT_EQ(stamps.count(path), 1u) << path;
        EXPECT_EQ(stamps.at(path), StampOf(path)) << path;
    }
    EXPECT_FALSE(stamps.at((folder / "dangling.xml").string()).exists);
    EXPECT_EQ(stamps.at((folder / "huge.xml").string()).size, kMaxProfileFileSize + 1);
    // The link's profile is read like its target's, and nothing else joined.
    std::vector<profile::CProfileFile> psp;
    library.CollectProfiles("psp", 0, psp);
    EXPECT_THAT(Titles(psp), ElementsAre("clip", "link", "Movie"));
    EXPECT_EQ(library.Size(), 7u);
}

TEST(ProfileLibrary, ScannedProfilesKeepNoDocumentAndSaveWhatTheyRead)
{
    TempDir root;
    fs::create_directory(root / "Profiles");
    profile::CProfileFile written = Named("psp", "Movie", 2);
    written.description = "a <b> & \"c\"";
    ASSERT_TRUE(written.SetValue("common.video.size.list", "320x240,640x480"));
    const std::string original = (root / "Profiles/Movie.xml").string();
    ASSERT_TRUE(written.Save(original));

    CProfileLibrary library;
    ASSERT_TRUE(library.ScanProfiles(ProfilesPattern(root.Str())));
    EXPECT_EQ(library.Entries().begin()->second.Document(), nullptr);
    std::vector<profile::CProfileFile> list;
    ASSERT_TRUE(library.CollectProfiles("psp", 2, list));
    const std::string copy = (root / "Copy.xml").string();
    ASSERT_TRUE(list.front().Save(copy));
    EXPECT_EQ(ReadBytes(copy), ReadBytes(original));
}

TEST(ProfileLibrary, ForgetProfilesAtMatchesTheFileHoweverItIsNamed)
{
    TempDir root;
    fs::create_directory(root / "Profiles");
    WriteBytes(root / "Profiles/x.One.xml", "<profile/>");
    WriteBytes(root / "Profiles/x.Two.xml", "<profile/>");
    fs::create_symlink("x.One.xml", root / "Profiles/link.xml");
    CProfileLibrary library;
    for (const char* name : {"x.One", "link", "x.Two"}) {
        profile::CProfileFile p = Named("a", name, 0);
        p.SetFileName((root / "Profiles").string() + "/" + name + ".xml", name);
        library.AddProfile("a", p);
    }
    // Defaults not made yet: one for the same file, one for a file not written.
    const auto templates = std::make_shared<const CDeviceTemplates>((root / "no-templates").string());
    library.AddDefaultProfile("b", kVideoAndAudio, "x.One", templates, root.Str());
    library.AddDefaultProfile("c", kVideoAndAudio, "x.Three", templates, root.Str());

    EXPECT_EQ(library.ForgetProfilesAt((root / "Profiles/../Profiles/x.One.xml").string()), 3u);
    EXPECT_THAT(Listing(library), ElementsAre(Entry{"a", "x.Two", 0}, Entry{"c", "x.Three", 0}));
    EXPECT_EQ(library.ForgetProfilesAt((root / "Profiles/./x.Three.xml").string()), 1u) << "a file not written yet";
}

TEST(ProfileLibrary, ForgetProfilesAtInItsOwnFolderFindsLinksButNotOtherNames)
{
    // The save's own spelling: every path in the Profiles folder as the library keeps it.
    TempDir root;
    const std::string folder = (root / "Profiles").string() + "/";
    fs::create_directory(root / "Profiles");
    WriteBytes(root / "Profiles/real.xml", "<profile/>");
    WriteBytes(root / "Profiles/other.xml", "<profile/>");
    fs::create_symlink("real.xml", root / "Profiles/alias.xml");
    fs::create_hard_link(root / "Profiles/real.xml", root / "Profiles/hard.xml");
    CProfileLibrary library;
    for (const char* name : {"real", "alias", "hard", "other", "gone"}) {
        profile::CProfileFile p = Named("a", name, 0);
        p.SetFileName(folder + name + ".xml", name);
        library.AddProfile("a", p);
    }
    // A hard link is another file name of its own, as before.
    EXPECT_EQ(library.ForgetProfilesAt(folder + "real.xml"), 2u);
    EXPECT_THAT(Listing(library), ElementsAre(Entry{"a", "hard", 0}, Entry{"a", "other", 0}, Entry{"a", "gone", 0}));
    // Saved through the link, the file it leads to goes too.
    library.AddProfile("a", [&] {
        profile::CProfileFile p = Named("a", "real", 0);
        p.SetFileName(folder + "real.xml", "real");
        return p;
    }());
    EXPECT_EQ(library.ForgetProfilesAt(folder + "alias.xml"), 1u);
    EXPECT_EQ(library.ForgetProfilesAt(folder + "gone.xml"), 1u);
    EXPECT_THAT(Listing(library), ElementsAre(Entry{"a", "hard", 0}, Entry{"a", "other", 0}));
}

TEST(ProfileLibrary, ScanOfAnEmptyOrMissingFolder)
{
    TempDir root;
    CProfileLibrary library;
    EXPECT_FALSE(library.ScanProfiles(ProfilesPattern(root.Str())));
    fs::create_directory(root / "Profiles");
    root.CopyFixture("profiles/old.xml", "Profiles");
    root.CopyFixture("profiles/broken.xml", "Profiles");
    EXPECT_FALSE(library.ScanProfiles(ProfilesPattern(root.Str())));
    EXPECT_EQ(library.Size(), 0u);

    // A library that already holds entries reports them.
    library.AddProfile("psp", Named("psp", "Kept", 0));
    EXPECT_TRUE(library.ScanProfiles(ProfilesPattern(root.Str())));
    EXPECT_EQ(library.Size(), 1u);
}

TEST(ProfileLibrary, AddedProfilesFollowTheirDevicesEntries)
{
    TempDir root;
    FillProfilesFolder(root);
    CProfileLibrary library;
    library.ScanProfiles(ProfilesPattern(root.Str()));
    library.AddProfile("psp", Named("psp", "Added", 0));
    library.AddProfile("generic", Named("generic", "First", 0));
    std::vector<profile::CProfileFile> list;
    EXPECT_TRUE(library.CollectProfiles("psp", 0, list));
    EXPECT_THAT(Titles(list), ElementsAre("clip", "Movie", "Added"));
    EXPECT_EQ(Listing(library).front(), (Entry{"generic", "First", 0}));

    // The library holds a copy.
    profile::CProfileFile original = Named("nds", "Original", 0);
    library.AddProfile("nds", original);
    original.fileTitle = "Changed";
    profile::CProfileFile found;
    EXPECT_TRUE(library.FindProfile("nds", "Original.xml", found));
}

TEST(ProfileLibrary, CollectProfilesAppends)
{
    TempDir root;
    FillProfilesFolder(root);
    CProfileLibrary library;
    library.ScanProfiles(ProfilesPattern(root.Str()));

    std::vector<profile::CProfileFile> list;
    EXPECT_TRUE(library.CollectProfiles("psp", 0, list));
    EXPECT_TRUE(library.CollectProfiles("psp", 2, list));
    EXPECT_THAT(Titles(list), ElementsAre("clip", "Movie", "Music"));
    EXPECT_TRUE(library.CollectProfiles("unknown", 0, list)) << "the list is not empty";
    EXPECT_EQ(list.size(), 3u);

    std::vector<profile::CProfileFile> none;
    EXPECT_FALSE(library.CollectProfiles("zune", 0, none));
    EXPECT_FALSE(library.CollectProfiles("zune", 2, none));
    EXPECT_TRUE(none.empty());

    EXPECT_TRUE(library.HasProfileOfType("psp", 0));
    EXPECT_TRUE(library.HasProfileOfType("psp", 2));
    EXPECT_FALSE(library.HasProfileOfType("iPhone", 2));
    EXPECT_FALSE(library.HasProfileOfType("zune", 0)) << "type 5 counts for neither output type";
    EXPECT_FALSE(library.HasProfileOfType("zune", 2));
    EXPECT_TRUE(library.HasProfileOfType("zune", 5));
    EXPECT_FALSE(library.HasProfileOfType("PSP", 0)) << "devices compare exactly";
}

TEST(ProfileLibrary, FindProfileByDeviceAndTitle)
{
    CProfileLibrary library;
    library.AddProfile("ipod", Named("ipod", "Movie", 0));
    profile::CProfileFile pspMovie = Named("psp", "Movie", 0);
    pspMovie.name = "The psp one";
    library.AddProfile("psp", pspMovie);
    library.AddProfile("psp", Named("psp", "Movie.Small", 2));
    // Filed under another key: the profile's own device decides.
    library.AddProfile("aaa", Named("nds", "Game", 0));

    profile::CProfileFile out;
    out.CreateDefault();
    out.name = "stale";
    ASSERT_TRUE(library.FindProfile("psp", "Movie.xml", out));
    EXPECT_EQ(out.name, "The psp one");
    EXPECT_EQ(out.device, "psp");
    EXPECT_TRUE(out.HasValue("common.audio.codec"));

    ASSERT_TRUE(library.FindProfile("psp", "Movie.Small.xml", out));
    EXPECT_EQ(out.type, 2);
    ASSERT_TRUE(library.FindProfile("psp", "Movie.Small", out)) << "without \".xml\" the name is the title";
    EXPECT_EQ(out.fileTitle, "Movie.Small");
    EXPECT_TRUE(library.FindProfile("nds", "Game.xml", out));
    EXPECT_FALSE(library.FindProfile("aaa", "Game.xml", out));
    EXPECT_FALSE(library.FindProfile("zune", "Movie.xml", out));
    EXPECT_FALSE(library.FindProfile("psp", "movie.xml", out));
}

TEST(ProfileLibrary, AddProfileIfNoType)
{
    CProfileLibrary library;
    EXPECT_TRUE(library.AddProfileIfNoType("psp", 0, Named("psp", "A", 0)));
    EXPECT_FALSE(library.AddProfileIfNoType("psp", 0, Named("psp", "B", 0)));
    EXPECT_TRUE(library.AddProfileIfNoType("psp", 2, Named("psp", "C", 2)));
    EXPECT_THAT(Listing(library), ElementsAre(Entry{"psp", "A", 0}, Entry{"psp", "C", 2}));
}

TEST(ProfileLibrary, RemoveDeviceLeavesFilesAlone)
{
    TempDir root;
    FillProfilesFolder(root);
    CProfileLibrary library;
    library.ScanProfiles(ProfilesPattern(root.Str()));
    const auto before = Listing(library);
    EXPECT_FALSE(library.RemoveDevice("nds"));
    EXPECT_FALSE(library.RemoveDevice("PSP"));
    EXPECT_EQ(Listing(library), before);

    EXPECT_TRUE(library.RemoveDevice("psp"));
    EXPECT_THAT(Listing(library), ElementsAre(Entry{"iPhone", "iphone", 0}, Entry{"ipod", "ipod_movie", 0},
                                              Entry{"zune", "odd_type", 5}));
    EXPECT_TRUE(fs::exists(root / "Profiles/Movie.xml"));
    EXPECT_FALSE(library.RemoveDevice("psp"));
}

TEST(ProfileLibrary, DeleteProfileFileRemovesOneFileAndEntry)
{
    TempDir root;
    ScopedConfigHome home{root / "config"};
    FillProfilesFolder(root);
    root.CopyFixture("profiles/Movie.xml", "Other", "Movie.xml");
    CProfileLibrary library;
    library.ScanProfiles(ProfilesPattern(root.Str()));
    library.ScanProfiles((root / "Other/*.xml").string());   // a second psp "Movie", later in order
    ASSERT_EQ(library.Size(), 7u);

    library.DeleteProfileFile("Movie.xml");
    EXPECT_FALSE(fs::exists(root / "Profiles/Movie.xml"));
    EXPECT_TRUE(fs::exists(root / "Other/Movie.xml")) << "only the first match goes";
    EXPECT_TRUE(fs::exists(root / "Profiles/clip.xml"));
    EXPECT_THAT(Listing(library), ElementsAre(Entry{"iPhone", "iphone", 0}, Entry{"ipod", "ipod_movie", 0},
                                              Entry{"psp", "clip", 0}, Entry{"psp", "Music", 2},
                                              Entry{"psp", "Movie", 0}, Entry{"zune", "odd_type", 5}));
    EXPECT_TRUE(PendingDeletions().empty());

    // The title the save sequence passes has no extension at all.
    library.DeleteProfileFile("clip");
    EXPECT_FALSE(fs::exists(root / "Profiles/clip.xml"));
    EXPECT_EQ(library.Size(), 5u);

    const auto before = Listing(library);
    library.DeleteProfileFile("nothing.xml");
    library.DeleteProfileFile("music.xml");
    EXPECT_EQ(Listing(library), before);
    EXPECT_TRUE(fs::exists(root / "Profiles/Music.xml"));
}

// One title rule for every file name: only a final ".xml" is cut, so the backup of
// "a.xml" is a file of its own, found and deleted as itself.
TEST(ProfileLibrary, NamesHoldingXmlBeforeTheirEndAreTheirOwnFiles)
{
    TempDir root;
    root.CopyFixture("profiles/Movie.xml", "Profiles", "a.xml");
    root.CopyFixture("profiles/Movie.xml", "Profiles", "a.xml.bak.xml");
    CProfileLibrary library;
    ASSERT_TRUE(library.ScanProfiles(ProfilesPattern(root.Str())));
    profile::CProfileFile found;
    ASSERT_TRUE(library.FindProfile("psp", "a.xml.bak.xml", found));
    EXPECT_EQ(found.filePath, (root / "Profiles/a.xml.bak.xml").string());
    library.DeleteProfileFile("a.xml.bak.xml");
    EXPECT_FALSE(fs::exists(root / "Profiles/a.xml.bak.xml"));
    EXPECT_TRUE(fs::exists(root / "Profiles/a.xml"));
    EXPECT_THAT(Listing(library), ElementsAre(Entry{"psp", "a", 0}));
}

TEST(ProfileLibrary, DeleteProfileFileForgetsAnEntryWhoseFileIsGone)
{
    TempDir root;
    ScopedConfigHome home{root / "config"};
    FillProfilesFolder(root);
    CProfileLibrary library;
    library.ScanProfiles(ProfilesPattern(root.Str()));
    fs::remove(root / "Profiles/Music.xml");
    library.DeleteProfileFile("Music.xml");
    std::vector<profile::CProfileFile> list;
    EXPECT_FALSE(library.CollectProfiles("psp", 2, list));
    EXPECT_TRUE(PendingDeletions().empty());

    // What can be neither trashed nor deleted (a folder stands at its path) is said at
    // once and stays listed; it is not left for a later start to delete.
    fs::create_directory(root / "Profiles/Stuck.xml");
    profile::CProfileFile stuck = Named("psp", "Stuck", 0);
    stuck.SetFileName((root / "Profiles/Stuck.xml").string(), "Stuck");
    library.AddProfile("psp", stuck);
    std::string reason;
    EXPECT_EQ(library.DeleteProfileFile("Stuck.xml", reason), FileDisposal::Failed);
    EXPECT_EQ(reason, "Is a directory");
    EXPECT_TRUE(library.FindProfile("psp", "Stuck.xml", stuck));
    EXPECT_TRUE(PendingDeletions().empty());
}

// ---------------------------------------------------------------------------
// Default profiles of devices

class DeviceProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"A_video.xml", "B_broken.xml", "C_audio.xml", "Orrery.xml"})
            dir.CopyFixture(std::string("templates/") + name, "program");
        // A template that does not load, listed first: a fresh profile's type is 0, so
        // it must not pass for a video template.
        dir.CopyFixture("templates/B_broken.xml", "program", "0_broken.xml");
    }
    std::string Program() const { return (dir / "program").string(); }
    std::string Root() const { return (dir / "root").string(); }

    TempDir dir;
};

TEST_F(DeviceProfileTest, TemplatesAreChosenByType)
{
    profile::CProfileFile video;
    CreateDeviceProfile("psp", video, Program(), Root(), kVideoAndAudio);
    EXPECT_EQ(video.type, 0);
    EXPECT_EQ(video.device, "psp");
    EXPECT_EQ(video.tag, "") << "the template's tag is not carried over";
    EXPECT_EQ(video.name, "default");
    EXPECT_EQ(video.description, "Template for video");
    EXPECT_EQ(video.fileTitle, "psp.Standard");
    EXPECT_EQ(video.filePath, Root() + "/Profiles/psp.Standard.xml");
    EXPECT_FALSE(IsBuiltInProfile(video));
    EXPECT_TRUE(video.HasValue("common.video.size.list"));
    std::string codec;
    EXPECT_TRUE(video.GetValue("vcodec.name", codec));
    EXPECT_EQ(codec, "xvid");

    profile::CProfileFile audio;
    CreateDeviceProfile("psp", audio, Program(), Root(), kAudioOnly);
    EXPECT_EQ(audio.type, 2);
    EXPECT_EQ(audio.name, "default");
    EXPECT_EQ(audio.description, "Template for audio");
    EXPECT_EQ(audio.fileTitle, "psp.Audio");
    EXPECT_EQ(audio.filePath, Root() + "/Profiles/psp.Audio.xml");
    // Audio-only profiles have no video settings.
    EXPECT_FALSE(audio.HasValue("vcodec.name"));
    EXPECT_FALSE(audio.HasValue("common.video.size.list"));
    EXPECT_FALSE(audio.HasValue("common.video.encode.codec"));
    EXPECT_TRUE(audio.GetValue("common.audio.codec", codec));
    EXPECT_EQ(codec, "aac");
    EXPECT_TRUE(audio.GetValue("acodec.name", codec));
    EXPECT_EQ(codec, "faac");
    for (const auto& section : audio.Sections())
        EXPECT_NE(section->GetSectionName(), "vcodec");

    EXPECT_FALSE(fs::exists(dir / "root")) << "nothing is written";
}

TEST_F(DeviceProfileTest, WithoutATemplateOfTheTypeTheLastOneServes)
{
    // Only the video template and the configuration file are left; the
    // configuration is never a template, so the video template is the last one.
    fs::remove(dir / "program/B_broken.xml");
    fs::remove(dir / "program/C_audio.xml");
    profile::CProfileFile audio;
    CreateDeviceProfile("nds", audio, Program(), Root(), kAudioOnly);
    EXPECT_EQ(audio.type, 2);
    // The settings come from the video template, the title does not: it must differ
    // from the video profile's "nds.Standard", or both would share one file.
    EXPECT_EQ(audio.fileTitle, "nds.Audio");
    EXPECT_EQ(audio.description, "Template for video");
    EXPECT_FALSE(audio.HasValue("vcodec.name"));
    EXPECT_FALSE(audio.HasValue("common.video.outfps.list"));
    EXPECT_TRUE(audio.HasValue("common.audio.freq.list"));
}

TEST_F(DeviceProfileTest, WithoutAnyTemplateTheDefaultsServe)
{
    const std::string empty = (dir / "empty").string();
    fs::create_directory(empty);
    dir.CopyFixture("templates/Orrery.xml", "empty");
    for (int type : {kVideoAndAudio, kAudioOnly}) {
        profile::CProfileFile created;
        CreateDeviceProfile("pda", created, empty, Root(), type);
        EXPECT_EQ(created.type, type);
        EXPECT_EQ(created.rootName, "profile");
        EXPECT_EQ(created.name, "default");
        const std::string title = type == kAudioOnly ? "pda.Audio" : "pda.Standard";
        EXPECT_EQ(created.fileTitle, title);
        EXPECT_EQ(created.filePath, Root() + "/Profiles/" + title + ".xml");
        std::string codec;
        EXPECT_TRUE(created.GetValue("common.audio.codec", codec));
        EXPECT_EQ(codec, "mp3");
        EXPECT_EQ(created.HasValue("vcodec.name"), type == kVideoAndAudio);
        EXPECT_EQ(created.HasValue("common.video.encode.codec"), type == kVideoAndAudio);
    }
}

TEST_F(DeviceProfileTest, TemplateNamesGiveTheSuffix)
{
    struct Case { const char* templateName; const char* title; };
    const Case cases[] = {
        {"Sample.Standard", "tv.Standard"},
        {"Sample.High.Quality", "tv.High.Quality"},
        {"Plain", "tv"},
        {"", "tv"},
        {"Sample.", "tv."},
        {"Sample./../../escape", "tv"},
        {"Sample.a\\b", "tv"},
        {"Sample.line\nbreak", "tv"},
    };
    for (const Case& c : cases) {
        TempDir templates;
        profile::CProfileFile source;
        source.CreateDefault();
        source.name = c.templateName;
        source.version = "200";
        ASSERT_TRUE(source.Save((templates / "template.xml").string()));

        profile::CProfileFile created;
        CreateDeviceProfile("tv", created, templates.Str(), Root(), kVideoAndAudio);
        EXPECT_EQ(created.fileTitle, c.title) << c.templateName;
        EXPECT_EQ(created.filePath, Root() + "/Profiles/" + c.title + ".xml") << c.templateName;
    }
}

TEST_F(DeviceProfileTest, InvalidDeviceNamesGetNoFileName)
{
    for (const char* device : {"", ".", "..", "../escape", "a/b", "tab\there"}) {
        profile::CProfileFile created;
        CreateDeviceProfile(device, created, Program(), Root(), kVideoAndAudio);
        EXPECT_EQ(created.filePath, "") << device;
        EXPECT_EQ(created.fileTitle, "") << device;
        EXPECT_EQ(created.device, device);
        EXPECT_EQ(created.name, "default");
    }
}

TEST(DeviceNames, IsValidDeviceName)
{
    using Fault = DeviceNameFault;
    struct Case { std::string name; Fault fault; };
    const Case cases[] = {
        {"psp", Fault::None}, {"xbox360", Fault::None}, {"my device", Fault::None}, {"a.b", Fault::None},
        {"...", Fault::None}, {".hidden", Fault::None}, {"caf\xc3\xa9", Fault::None},
        {"", Fault::Empty}, {".", Fault::DotName}, {"..", Fault::DotName}, {"a/b", Fault::Separator},
        {"/", Fault::Separator}, {"a\\b", Fault::Separator}, {std::string("a\0b", 3), Fault::ControlCharacter},
        {"tab\t", Fault::ControlCharacter}, {"line\n", Fault::ControlCharacter},
        {"\x1f", Fault::ControlCharacter}, {"del\x7f", Fault::ControlCharacter},
        {"   ", Fault::OuterSpace}, {" psp", Fault::OuterSpace}, {"psp ", Fault::OuterSpace},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckDeviceName(c.name), c.fault) << c.name;
        EXPECT_EQ(IsValidDeviceName(c.name), c.fault == Fault::None) << c.name;
    }
}

// A default file name that is taken, on disk or in the library, belongs to someone
// else; the same holds for the devices completed at start-up.
TEST_F(DeviceProfileTest, DefaultProfilesTakeTheFirstFreeFileName)
{
    WriteBytes(dir / "root/Profiles/tv.Standard.xml", "someone else's");
    CProfileLibrary library;
    library.AddProfile("other", Named("other", "tv.Standard-2", 0));
    profile::CProfileFile made;
    CreateDeviceProfile("tv", made, Program(), Root(), kVideoAndAudio, library);
    EXPECT_EQ(made.fileTitle, "tv.Standard-3");
    EXPECT_EQ(made.filePath, Root() + "/Profiles/tv.Standard-3.xml");

    // psp's audio file is of another version, so the scan has not taken it.
    WriteBytes(dir / "root/Profiles/psp.Audio.xml", "<profile version=\"100\"/>");
    CProfileLibrary started;
    CompleteDevices(started, {"psp"}, Program(), Root());
    EXPECT_THAT(Listing(started), ElementsAre(Entry{"psp", "psp.Standard", 0}, Entry{"psp", "psp.Audio-2", 2}));
    EXPECT_EQ(ReadBytes(dir / "root/Profiles/tv.Standard.xml"), "someone else's");
}

TEST(BuiltInProfiles, TagsContainingKestro)
{
    struct Case { const char* tag; bool builtIn; };
    const Case cases[] = {
        {"kestro", true}, {"kestro_default", true}, {"my_kestro_tag", true},
        {"", false}, {"Kestro", false}, {"KESTRO", false}, {"kestr", false},
    };
    for (const Case& c : cases) {
        profile::CProfileFile p;
        p.tag = c.tag;
        EXPECT_EQ(IsBuiltInProfile(p), c.builtIn) << c.tag;
    }
}

// ---------------------------------------------------------------------------
// Device completion

TEST_F(DeviceProfileTest, CompletionGivesEveryConfiguredDeviceTwoDefaults)
{
    COrrery config;
    config.CreateDefault();
    const std::vector<std::string> devices = ChoiceItems(ChoiceKind::Devices, config);
    CProfileLibrary library;
    fs::create_directories(dir / "root/Profiles");
    EXPECT_FALSE(library.ScanProfiles(ProfilesPattern(Root())));

    EXPECT_THAT(CompleteDevices(library, devices, Program(), Root()), IsEmpty());
    EXPECT_EQ(library.Size(), 2 * devices.size());
    for (const std::string& device : devices) {
        std::vector<profile::CProfileFile> list;
        EXPECT_TRUE(library.CollectProfiles(device, 0, list));
        EXPECT_TRUE(library.CollectProfiles(device, 2, list));
        ASSERT_EQ(list.size(), 2u) << device;
        EXPECT_EQ(list[0].name, "default");
        EXPECT_EQ(list[1].name, "default");
        EXPECT_EQ(list[0].fileTitle, device + ".Standard");
        EXPECT_EQ(list[1].fileTitle, device + ".Audio");
    }
    std::vector<std::string> written;
    ListMatchingFiles((dir / "root/Profiles/*").string(), written, false);
    EXPECT_THAT(written, IsEmpty());
}

TEST_F(DeviceProfileTest, CompletionAppendsLibraryDevicesOnce)
{
    TempDir root;
    FillProfilesFolder(root);
    CProfileLibrary library;
    library.ScanProfiles(ProfilesPattern(root.Str()));
    library.AddProfile("", Named("", "Nameless", 0));

    const std::vector<std::string> selector{"psp", "generic", "iPhone"};
    EXPECT_THAT(CompleteDevices(library, selector, Program(), root.Str()), ElementsAre("", "ipod", "zune"));

    // psp had both types, so it gets nothing new; the others get what they lack.
    std::vector<profile::CProfileFile> list;
    library.CollectProfiles("psp", 0, list);
    library.CollectProfiles("psp", 2, list);
    EXPECT_THAT(Titles(list), ElementsAre("clip", "Movie", "Music"));
    EXPECT_THAT(Listing(library),
                ElementsAre(Entry{"", "Nameless", 0}, Entry{"generic", "generic.Standard", 0},
                            Entry{"generic", "generic.Audio", 2}, Entry{"iPhone", "iphone", 0},
                            Entry{"iPhone", "iPhone.Audio", 2}, Entry{"ipod", "ipod_movie", 0},
                            Entry{"ipod", "ipod.Audio", 2}, Entry{"psp", "clip", 0}, Entry{"psp", "Movie", 0},
                            Entry{"psp", "Music", 2}, Entry{"zune", "odd_type", 5},
                            Entry{"zune", "zune.Standard", 0}, Entry{"zune", "zune.Audio", 2}));
    for (const auto& [device, p] : library.Entries()) {
        if (p.name == "default") {
            EXPECT_EQ(p.filePath, root.Str() + "/Profiles/" + p.fileTitle + ".xml");
        }
    }

    // Run again: everything is complete, nothing more is appended or added.
    const std::size_t size = library.Size();
    std::vector<std::string> all = selector;
    all.insert(all.end(), {"", "ipod", "zune"});
    EXPECT_THAT(CompleteDevices(library, all, Program(), root.Str()), IsEmpty());
    EXPECT_EQ(library.Size(), size);
}

} // namespace
} // namespace editor
