#include "platform/Platform.h"

#include "tests/platform/TestFolder.h"

#include <gmock/gmock.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <cstring>

#include "markup/FileAccess.h"

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// ---------------------------------------------------------------------------
// Folders

using MakeDirectoryTest = TestFolder;

TEST_F(MakeDirectoryTest, CreatesOnlyTheLastComponentAndAcceptsAnExistingFolder)
{
    const std::string made = Path("made");
    EXPECT_TRUE(MakeDirectory(made));
    EXPECT_TRUE(fs::is_directory(made));
    EXPECT_TRUE(MakeDirectory(made)) << "an existing folder counts as success";

    EXPECT_FALSE(MakeDirectory(Path("missing/child")));
    EXPECT_FALSE(fs::exists(Path("missing")));

    EXPECT_FALSE(MakeDirectory(""));
}

TEST_F(MakeDirectoryTest, AFileInTheWayIsNoFolder)
{
    WriteText(Path("Profiles"), "not a folder");
    EXPECT_FALSE(MakeDirectory(Path("Profiles")));

    fs::create_directory(Path("real"));
    fs::create_directory_symlink(Path("real"), Path("link"));
    EXPECT_TRUE(MakeDirectory(Path("link")));
}

// ---------------------------------------------------------------------------
// Removal and the pending-deletion list

using RemoveFileTest = TestFolder;

TEST_F(RemoveFileTest, ListLivesInTheSettingsFolder)
{
    EXPECT_EQ(PendingDeletionListPath(), config + "/Kestro/wininit.ini");
}

TEST_F(RemoveFileTest, MissingFileChangesNothing)
{
    EXPECT_EQ(RemoveFileOrSchedule(Path("absent.xml")), kFileNotFound);
    EXPECT_EQ(RemoveFileOrSchedule(""), kFileNotFound);
    EXPECT_FALSE(fs::exists(PendingDeletionListPath()));
}

TEST_F(RemoveFileTest, DeletableFileGoesAtOnce)
{
    const std::string file = Path("psp.Standard.xml");
    WriteText(file, "<profile/>");
    EXPECT_EQ(RemoveFileOrSchedule(file), kFileRemoved);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(PendingDeletionListPath()));
}

TEST_F(RemoveFileTest, UndeletablePathsAreListedForTheNextStart)
{
    // Both fail for root too: a folder cannot be unlinked, and a path through a
    // regular file gives "not a folder" rather than "no such file".
    const std::string folder = Path("busy");
    WriteText(folder + "/inside.xml", "x");
    WriteText(Path("plain"), "x");
    const std::string throughFile = Path("plain/child.xml");

    EXPECT_EQ(RemoveFileOrSchedule(folder), kFileRemovalScheduled);
    EXPECT_EQ(RemoveFileOrSchedule(throughFile), kFileRemovalScheduled);
    EXPECT_TRUE(fs::exists(folder + "/inside.xml"));
    EXPECT_THAT(PendingDeletions(), ElementsAre(folder, throughFile));
    EXPECT_EQ(ReadText(PendingDeletionListPath()), "[rename]\nNUL=" + folder + "\nNUL=" + throughFile + "\n");
}

TEST_F(RemoveFileTest, FailedSchedulingReportsNotFound)
{
    // The settings folder sits below a regular file, so the list cannot be written.
    WriteText(Path("blocker"), "x");
    ScopedEnv brokenConfig("XDG_CONFIG_HOME", Path("blocker/config").c_str());
    fs::create_directory(Path("busy"));
    WriteText(Path("busy/inside"), "x");
    EXPECT_EQ(RemoveFileOrSchedule(Path("busy")), kFileNotFound);
    EXPECT_FALSE(ScheduleDeleteInWininit(Path("busy")));
}

TEST_F(RemoveFileTest, RelativePathsAreListedAbsolute)
{
    ASSERT_TRUE(ScheduleDeleteInWininit("some/relative.xml"));
    EXPECT_THAT(PendingDeletions(), ElementsAre((fs::current_path() / "some/relative.xml").string()));
}

TEST_F(RemoveFileTest, PathsThatCannotBeOneLineAreRefused)
{
    EXPECT_FALSE(ScheduleDeleteInWininit(""));
    EXPECT_FALSE(ScheduleDeleteInWininit(Path("two\nlines")));
    EXPECT_FALSE(ScheduleDeleteInWininit(Path("carriage\rreturn")));
    EXPECT_FALSE(fs::exists(PendingDeletionListPath()));
}

struct AppendCase {
    const char* label;
    const char* before;  // nullptr: no list file yet
    const char* after;   // with "@" standing for the scheduled path
};

void PrintTo(const AppendCase& c, std::ostream* out)
{
    *out << c.label;
}

class ScheduleAppendTest : public TestFolder, public ::testing::WithParamInterface<AppendCase> {};

TEST_P(ScheduleAppendTest, AppendsByTheListRules)
{
    const AppendCase& c = GetParam();
    const std::string list = PendingDeletionListPath();
    if (c.before)
        WriteText(list, c.before);
    const std::string target = Path("gone.xml");
    ASSERT_TRUE(ScheduleDeleteInWininit(target));

    std::string expected = c.after;
    expected.replace(expected.find('@'), 1, target);
    EXPECT_EQ(ReadText(list), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScheduleAppendTest,
    ::testing::Values(
        AppendCase{"NoFile", nullptr, "[rename]\nNUL=@\n"},
        AppendCase{"EmptyFile", "", "[rename]\nNUL=@\n"},
        AppendCase{"OtherSectionOnly", "[windows]\nload=1\n", "[windows]\nload=1\n[rename]\nNUL=@\n"},
        AppendCase{"HeaderPresent", "[rename]\nNUL=/old\n", "[rename]\nNUL=/old\nNUL=@\n"},
        AppendCase{"HeaderAnyCaseWithTail", "[ReNaMe] ; pending\nNUL=/old\n", "[ReNaMe] ; pending\nNUL=/old\nNUL=@\n"},
        AppendCase{"HeaderNotAtLineStart", " [rename]\n", " [rename]\n[rename]\nNUL=@\n"},
        AppendCase{"LaterSectionGetsTheLine", "[rename]\nNUL=/old\n[other]\nx=1\n",
                   "[rename]\nNUL=/old\n[other]\nx=1\nNUL=@\n"},
        AppendCase{"LastLineWithoutLineFeed", "[rename]\nNUL=/old", "[rename]\nNUL=/old\nNUL=@\n"},
        AppendCase{"CrLfLines", "[rename]\r\nNUL=/old\r\n", "[rename]\r\nNUL=/old\r\nNUL=@\n"}),
    [](const ::testing::TestParamInfo<AppendCase>& info) { return std::string(info.param.label); });

// Trash first; a file that can be neither trashed nor deleted is reported at once
// with the reason instead of going on the list for a later start.
TEST_F(RemoveFileTest, DiscardedFilesGoToTheTrash)
{
    ScopedEnv data("XDG_DATA_HOME", Path("data").c_str());
    const std::string file = Path("Profiles/psp.Mine.xml");
    WriteText(file, "<profile/>");
    std::string reason;
    EXPECT_EQ(DiscardFile(file, reason), FileDisposal::Trashed) << reason;
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(ReadText(Path("data/Trash/files/psp.Mine.xml")), "<profile/>");
    EXPECT_TRUE(fs::exists(Path("data/Trash/info/psp.Mine.xml.trashinfo")));
    EXPECT_EQ(DiscardFile(file, reason), FileDisposal::NotFound);

    const std::string locked = Path("locked/p.xml");
    WriteText(locked, "x");
    fs::permissions(Path("locked"), fs::perms(0555));
    fs::permissions(root, fs::perms(0755));
    const int status = testfiles::RunAsOtherUser([&locked] {
        std::string why;
        return DiscardFile(locked, why) == FileDisposal::Failed && why == "Permission denied" ? 0 : 1;
    });
    fs::permissions(Path("locked"), fs::perms(0755));
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fs::exists(locked));
    EXPECT_FALSE(fs::exists(PendingDeletionListPath()));
}

// Without the signal ignored, the limit would end the process instead of failing the
// write.
TEST(FileSizeSignalTest, AWritePastTheLimitFailsAndTheProgramGoesOn)
{
    const testfiles::TempFolder folder("orrery-platform-fsize-");
    const std::string path = (folder.Path() / "p.xml").string();
    const int status = testfiles::RunInChild([&path] {
        IgnoreFileSizeSignal();
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 1024;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string reason;
        return !WriteFileAtomically(path, std::string(4096, 'x'), reason) && reason == "File too large" ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fs::is_empty(folder.Path())) << "no temporary file is left";
}

using PendingDeletionTest = TestFolder;

// A list may name any path; a start carries out only what lies in the Profiles
// folder, whatever way the entry spells the path.
TEST_F(PendingDeletionTest, EntriesOutsideTheFolderAreLeftAlone)
{
    const std::string inside = Path("Profiles/late.xml");
    const std::string outside = Path("elsewhere/keep.xml");
    WriteText(inside, "x");
    WriteText(outside, "x");
    fs::create_directory_symlink(Path("elsewhere"), Path("Profiles/link"));
    for (const std::string& entry : {inside, outside, Path("Profiles/../elsewhere/keep.xml"),
                                     Path("Profiles/link/keep.xml")})
        ASSERT_TRUE(ScheduleDeleteInWininit(entry));
    EXPECT_EQ(ProcessPendingDeletions(Path("Profiles")), 1);
    EXPECT_FALSE(fs::exists(inside));
    EXPECT_TRUE(fs::exists(outside));
    EXPECT_EQ(PendingDeletions().size(), 3u);
}

TEST_F(PendingDeletionTest, NoListMeansNothingToDo)
{
    EXPECT_EQ(ProcessPendingDeletions(root.string()), 0);
    EXPECT_THAT(PendingDeletions(), IsEmpty());
    EXPECT_FALSE(fs::exists(PendingDeletionListPath()));
}

TEST_F(PendingDeletionTest, CarriesOutAndClearsTheEntries)
{
    const std::string first = Path("first.xml");
    const std::string second = Path("second.xml");
    WriteText(first, "x");
    WriteText(second, "x");
    ASSERT_TRUE(ScheduleDeleteInWininit(first));
    ASSERT_TRUE(ScheduleDeleteInWininit(second));
    ASSERT_TRUE(ScheduleDeleteInWininit(Path("never-existed.xml")));

    EXPECT_EQ(ProcessPendingDeletions(root.string()), 3);
    EXPECT_FALSE(fs::exists(first));
    EXPECT_FALSE(fs::exists(second));
    EXPECT_FALSE(fs::exists(PendingDeletionListPath())) << "a list left with only its header is removed";
    EXPECT_EQ(ProcessPendingDeletions(root.string()), 0);
}

TEST_F(PendingDeletionTest, KeepsWhatStillCannotGoAndEveryOtherLine)
{
    const std::string busy = Path("busy");
    WriteText(busy + "/inside.xml", "x");
    const std::string deletable = Path("late.xml");
    WriteText(deletable, "x");
    WriteText(Path("plain"), "x");
    const std::string throughFile = Path("plain/child.xml");

    // Entries before the header are not the list's; the one after [other] landed
    // there by the append rule and is.
    WriteText(PendingDeletionListPath(),
              "[boot]\nNUL=" + deletable + "\n"
              "[rename]\nNUL=" + busy + "\nnul=" + throughFile + "\n"
              "[other]\nkeep=me\nNUL=" + deletable + "\n");

    EXPECT_EQ(ProcessPendingDeletions(root.string()), 2);
    EXPECT_FALSE(fs::exists(deletable));
    EXPECT_TRUE(fs::exists(busy + "/inside.xml"));
    EXPECT_EQ(ReadText(PendingDeletionListPath()),
              "[boot]\nNUL=" + deletable + "\n[rename]\nNUL=" + busy + "\n[other]\nkeep=me\n");
    EXPECT_THAT(PendingDeletions(), ElementsAre(busy));

    // Still there at the next start, and carried out once it can be.
    EXPECT_EQ(ProcessPendingDeletions(root.string()), 0);
    EXPECT_THAT(PendingDeletions(), ElementsAre(busy));
    fs::remove(busy + "/inside.xml");
    EXPECT_EQ(ProcessPendingDeletions(root.string()), 1);
    EXPECT_FALSE(fs::exists(busy));
    EXPECT_EQ(ReadText(PendingDeletionListPath()), "[boot]\nNUL=" + deletable + "\n[rename]\n[other]\nkeep=me\n");
}

TEST_F(PendingDeletionTest, ScheduledThenProcessedRoundTrip)
{
    const std::string busy = Path("busy");
    WriteText(busy + "/inside.xml", "x");
    ASSERT_EQ(RemoveFileOrSchedule(busy), kFileRemovalScheduled);
    fs::remove(busy + "/inside.xml");
    EXPECT_EQ(ProcessPendingDeletions(root.string()), 1);
    EXPECT_FALSE(fs::exists(busy));
}

TEST_F(PendingDeletionTest, UnreadableListIsReported)
{
    fs::create_directories(PendingDeletionListPath());
    EXPECT_EQ(ProcessPendingDeletions(root.string()), -1);
    EXPECT_THAT(PendingDeletions(), IsEmpty());
}

TEST_F(PendingDeletionTest, ListWithoutHeaderIsLeftAlone)
{
    const std::string file = Path("kept.xml");
    WriteText(file, "x");
    WriteText(PendingDeletionListPath(), "NUL=" + file + "\n");
    EXPECT_EQ(ProcessPendingDeletions(root.string()), 0);
    EXPECT_TRUE(fs::exists(file));
}

// ---------------------------------------------------------------------------
// Listing

class ListMatchingFilesTest : public TestFolder {
protected:
    void SetUp() override
    {
        TestFolder::SetUp();
        folder = Path("Profiles");
        for (const char* name : {"b.xml", "a.xml", "A.xml", "C.XML", "notes.txt", "x.xmlx", "ab.xml", "sub/deep.xml"})
            WriteText(folder + "/" + name, "x");
        fs::create_directory(folder + "/dir.xml");
    }
    std::string folder;
};

struct ListCase {
    const char* pattern;
    std::vector<std::string> names;
};

TEST_F(ListMatchingFilesTest, MatchesNamesAndSortsIgnoringCaseThenByBytes)
{
    const ListCase cases[] = {
        {"*.xml", {"A.xml", "a.xml", "ab.xml", "b.xml", "C.XML", "dir.xml"}},
        {"?.xml", {"A.xml", "a.xml", "b.xml", "C.XML"}},
        {"a*", {"A.xml", "a.xml", "ab.xml"}},
        {"*.XML", {"A.xml", "a.xml", "ab.xml", "b.xml", "C.XML", "dir.xml"}},
        {"*b*", {"ab.xml", "b.xml", "sub"}},
        {"*", {"A.xml", "a.xml", "ab.xml", "b.xml", "C.XML", "dir.xml", "notes.txt", "sub", "x.xmlx"}},
        {"b.xml", {"b.xml"}},
        {"deep.xml", {}},
        {"*.xm", {}},
    };
    std::vector<std::string> list;
    for (const ListCase& c : cases) {
        EXPECT_EQ(ListMatchingFiles(folder + "/" + c.pattern, list, false), c.names.size()) << c.pattern;
        EXPECT_EQ(list, c.names) << c.pattern;
    }
}

TEST_F(ListMatchingFilesTest, FullPathsJoinThePatternFolder)
{
    std::vector<std::string> list;
    ListMatchingFiles(folder + "/?.xml", list, true);
    EXPECT_THAT(list, ElementsAre(folder + "/A.xml", folder + "/a.xml", folder + "/b.xml", folder + "/C.XML"));
}

TEST_F(ListMatchingFilesTest, NothingFoundClearsThePreviousList)
{
    std::vector<std::string> list = {"stale"};
    EXPECT_EQ(ListMatchingFiles(folder + "/*.json", list, true), 0u);
    EXPECT_THAT(list, IsEmpty());

    list = {"stale"};
    EXPECT_EQ(ListMatchingFiles(Path("no-such-folder/*.xml"), list, false), 0u);
    EXPECT_THAT(list, IsEmpty());

    list = {"stale"};
    EXPECT_EQ(ListMatchingFiles(folder + "/", list, false), 0u);
    EXPECT_THAT(list, IsEmpty());
}

TEST_F(ListMatchingFilesTest, PatternWithoutFolderListsTheWorkingFolder)
{
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    std::vector<std::string> list;
    ListMatchingFiles("?.xml", list, true);
    fs::current_path(previous);
    EXPECT_THAT(list, ElementsAre("A.xml", "a.xml", "b.xml", "C.XML"));
}

TEST(WildcardMatchTest, StarAndQuestionMark)
{
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*", "", true},          {"*", "anything", true},    {"", "", true},
        {"", "a", false},         {"?", "", false},           {"?", "a", true},
        {"??", "a", false},       {"*.xml", ".xml", true},    {"*.xml", "a.xml.bak", false},
        {"*.xml", "a.b.xml", true}, {"a*b*c", "aXbYc", true}, {"a*b*c", "abcb", false},
        {"*a*a*a", "aaaa", true}, {"*a*a*a", "aab", false},  {"A?C", "abc", true},
        {"**x", "x", true},       {"*?", "", false},          {"p*.Standard.*", "psp.standard.xml", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.matches) << c.pattern << " ~ " << c.name;
}

// ---------------------------------------------------------------------------
// Where things are

TEST(ExecutableTest, FolderAndFileNameNameThisTest)
{
    const std::string program = ProgramFilePath();
    EXPECT_EQ(LastPathPart(program), "test_platform");
    EXPECT_EQ(ExecutableFolder() + kPathSeparator + "test_platform", program);
    EXPECT_TRUE(fs::is_regular_file(program));
}

TEST(SettingsFolderTest, FollowsXdgThenHome)
{
    struct Case {
        const char* xdg;   // nullptr: unset
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        {"/xdg/config", "/home/u", "/xdg/config"},
        {"/xdg/config//", "/home/u", "/xdg/config"},
        {nullptr, "/home/u", "/home/u/.config"},
        {"", "/home/u/", "/home/u/.config"},
        {"relative/config", "/home/u", "/home/u/.config"},
        {nullptr, "/", "/.config"},
    };
    for (const Case& c : cases) {
        ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(SettingsFolder(), c.expected) << (c.xdg ? c.xdg : "(unset)") << " / " << c.home;
    }
}

// ---------------------------------------------------------------------------
// Paths

TEST(PathPartTest, SplitsAtTheSeparator)
{
    struct Case {
        const char* path;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {"Profiles/psp/Movie.xml", "Profiles", "Movie.xml"},
        {"Movie.xml", "Movie.xml", "Movie.xml"},
        {"/opt/conv", "", "conv"},
        {"Profiles/", "Profiles", ""},
        {"", "", ""},
        {"C:\\Apps\\conv.exe", "C:\\Apps\\conv.exe", "C:\\Apps\\conv.exe"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FirstPathPart(std::string_view(c.path)), c.first) << c.path;
        EXPECT_EQ(LastPathPart(std::string_view(c.path)), c.last) << c.path;

        char buffer[64];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(FirstPathPart(c.path, buffer, sizeof buffer), std::strlen(c.first));
        EXPECT_STREQ(buffer, c.first);
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(LastPathPart(c.path, buffer, sizeof buffer), std::strlen(c.last));
        EXPECT_STREQ(buffer, c.last);
    }
}

TEST(PathPartTest, BufferIsWrittenOnlyWhenThePartFits)
{
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(LastPathPart("dir/abcdefgh", buffer, sizeof buffer), 8u);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(FirstPathPart("abcdefgh/x", buffer, sizeof buffer), 8u);
    EXPECT_EQ(buffer[0], '#');

    EXPECT_EQ(LastPathPart("dir/abcdefg", buffer, sizeof buffer), 7u);
    EXPECT_STREQ(buffer, "abcdefg");
    EXPECT_EQ(FirstPathPart("abcdefg/x", buffer, sizeof buffer), 7u);
    EXPECT_STREQ(buffer, "abcdefg");

    EXPECT_EQ(LastPathPart("dir/name", nullptr, 0), 4u);
    EXPECT_EQ(FirstPathPart("dir/name", nullptr, 0), 3u);
    EXPECT_EQ(LastPathPart(nullptr, buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "");
}

// ---------------------------------------------------------------------------
// Byte strings

TEST(StringHelperTest, LowerCaseAndTrims)
{
    struct Case {
        std::string input, lower, leading, trailing, both;
    };
    const Case cases[] = {
        {"  Psp.Standard \t", "  psp.standard \t", "Psp.Standard \t", "  Psp.Standard", "Psp.Standard"},
        {"", "", "", "", ""},
        {" \t\n\v\f\r", " \t\n\v\f\r", "", "", ""},
        {"NoSpace", "nospace", "NoSpace", "NoSpace", "NoSpace"},
        {"\xC3\x84 \xA0", "\xC3\x84 \xA0", "\xC3\x84 \xA0", "\xC3\x84 \xA0", "\xC3\x84 \xA0"},
        {"  in  side  ", "  in  side  ", "in  side  ", "  in  side", "in  side"},
    };
    for (const Case& c : cases) {
        std::string text = c.input;
        ToLowerCase(text);
        EXPECT_EQ(text, c.lower);
        text = c.input;
        TrimLeadingSpace(text);
        EXPECT_EQ(text, c.leading);
        text = c.input;
        TrimTrailingSpace(text);
        EXPECT_EQ(text, c.trailing);
        text = c.input;
        TrimSpace(text);
        EXPECT_EQ(text, c.both);
    }
}

TEST(StringHelperTest, CompareNoCase)
{
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"ABC", "abc", 0},  {"abc", "abd", -1},  {"ab", "ABC", -1}, {"b", "A", 1},
        {"", nullptr, 0},   {"x", nullptr, 1},   {"", "", 0},       {"\xE9", "z", 1},
        {"[", "a", -1},  // lower-cased copies: "[" sorts before "a" although it follows "A"
    };
    for (const Case& c : cases) {
        const int result = CompareNoCase(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << (c.b ? c.b : "(null)");
    }
}
