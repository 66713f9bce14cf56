// Saves that cannot succeed, in ways that also hold for root (permission bits stop
// nobody there): the folder gone, a directory where the file should be, a file-size
// limit, and the file replaced by another program while the editor holds the profile.
// Each time the old file (or whatever stands at the path) survives unchanged, the
// reason is reported in words, no temporary file is left behind, and the profile is not
// taken for saved: its file path does not follow the failed write.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "editor/ProfileLibrary.h"
#include "editor/TypeFile.h"
#include "markup/XmlDoc.h"
#include "profile/ProfileFile.h"
#include "tests/TestFiles.h"

namespace fs = std::filesystem;

namespace {

using testfiles::ReadBytes;

class SaveDrill : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = scratch.Path() / "Profiles";
        fs::create_directories(folder);
        path = folder / "phone.xml";

        profile::CProfileFile original;
        ASSERT_TRUE(original.CreateDefault());
        original.name = "Phone";
        original.device = "phone";
        original.version = "200";
        ASSERT_TRUE(original.Save(path.string()));
        oldBytes = ReadBytes(path);
        ASSERT_FALSE(oldBytes.empty());

        ASSERT_TRUE(edited.CreateDefault());
        ASSERT_TRUE(edited.Load(path.string()));
        edited.name = "Phone, edited";
        ASSERT_TRUE(edited.SetValue("common.audio.bitrate.value", "192000"));
    }
    // Nothing but the named entries in the folder: no temporary file was left.
    void ExpectOnlyEntries(const fs::path& where, std::size_t count)
    {
        std::size_t n = 0;
        for (const auto& entry : fs::directory_iterator(where)) {
            ++n;
            EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
        }
        EXPECT_EQ(n, count);
    }

    const testfiles::TempFolder scratch{"orrery-drill-"};
    fs::path folder, path;
    std::string oldBytes;
    profile::CProfileFile edited;
};

TEST_F(SaveDrill, FolderRemoved)
{
    fs::remove_all(folder);
    EXPECT_FALSE(edited.Save());
    EXPECT_EQ(edited.WriteResultText(), "No such file or directory");
    EXPECT_FALSE(fs::exists(folder)) << "a save must not make the folder again";
    EXPECT_EQ(edited.filePath, path.string());

    // Save As into the missing folder: the profile keeps the path it had.
    EXPECT_FALSE(edited.Save((folder / "other.xml").string()));
    EXPECT_EQ(edited.filePath, path.string());
}

TEST_F(SaveDrill, TargetIsADirectory)
{
    const fs::path target = folder / "taken.xml";
    fs::create_directory(target);
    std::string unused;
    ASSERT_TRUE(CXmlDoc::WriteWholeFile((target / "inside.txt").string(), unused, "kept"));
    EXPECT_FALSE(edited.Save(target.string()));
    EXPECT_FALSE(edited.WriteResultText().empty());
    EXPECT_NE(edited.WriteResultText().find("directory"), std::string::npos) << edited.WriteResultText();
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(ReadBytes(target / "inside.txt"), "kept");
    EXPECT_EQ(edited.filePath, path.string()) << "a failed Save As must not move the profile";
    EXPECT_EQ(ReadBytes(path), oldBytes);
    ExpectOnlyEntries(folder, 2);
}

TEST_F(SaveDrill, FileSizeLimit)
{
    ASSERT_TRUE(edited.BuildDocument());
    const std::size_t newSize = edited.Document()->DocumentText().size();
    ASSERT_GT(newSize, 64u);

    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &previous), 0);
    struct rlimit limited = saved;
    limited.rlim_cur = newSize / 2;   // the write stops half-way
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool saved1 = edited.Save();
    const std::string reason = edited.WriteResultText();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_FALSE(saved1);
    EXPECT_EQ(reason, "File too large");
    EXPECT_EQ(ReadBytes(path), oldBytes) << "the old file must survive a write cut short";
    ExpectOnlyEntries(folder, 1);

    // With room again, the same profile saves.
    EXPECT_TRUE(edited.Save());
    EXPECT_EQ(ReadBytes(path), edited.Document()->DocumentText());
}

TEST_F(SaveDrill, FileReplacedByADirectoryWhileEditing)
{
    fs::remove(path);
    fs::create_directory(path);
    EXPECT_FALSE(edited.Save());
    EXPECT_NE(edited.WriteResultText().find("directory"), std::string::npos) << edited.WriteResultText();
    EXPECT_TRUE(fs::is_directory(path));
    ExpectOnlyEntries(folder, 1);
}

TEST_F(SaveDrill, FolderReplacedByAFileWhileEditing)
{
    fs::remove_all(folder);
    std::string unused;
    ASSERT_TRUE(CXmlDoc::WriteWholeFile(folder.string(), unused, "not a folder"));
    EXPECT_FALSE(edited.Save());
    EXPECT_EQ(edited.WriteResultText(), "Not a directory");
    EXPECT_EQ(ReadBytes(folder), "not a folder");
}

// Another program wrote a new file over the profile (a new inode, its own mode): the
// save replaces it whole and atomically, keeps the mode the file has now, and leaves
// no temporary file; through a symbolic link it writes the file the link names.
TEST_F(SaveDrill, FileReplacedByAnotherFileWhileEditing)
{
    const fs::path other = folder / "written-elsewhere.tmpfile";
    std::string unused;
    ASSERT_TRUE(CXmlDoc::WriteWholeFile(other.string(), unused, "<profile name=\"theirs\"/>"));
    ASSERT_EQ(::chmod(other.c_str(), 0600), 0);
    fs::rename(other, path);

    ASSERT_TRUE(edited.Save()) << edited.WriteResultText();
    EXPECT_EQ(ReadBytes(path), edited.Document()->DocumentText());
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    ExpectOnlyEntries(folder, 1);

    const fs::path real = scratch.Path() / "elsewhere.xml";
    ASSERT_TRUE(CXmlDoc::WriteWholeFile(real.string(), unused, "old"));
    fs::remove(path);
    fs::create_symlink(real, path);
    edited.name = "through the link";
    ASSERT_TRUE(edited.Save()) << edited.WriteResultText();
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(ReadBytes(real), edited.Document()->DocumentText());
}

// The editor's holder of the current profile saves through the same path and reports
// the same way; a failed save leaves the library's copy as it was.
TEST_F(SaveDrill, HolderAndLibraryAfterAFailedSave)
{
    editor::CProfileLibrary library;
    ASSERT_TRUE(library.ScanProfiles((folder / "*.xml").string()));
    profile::CProfileFile inLibrary;
    ASSERT_TRUE(library.FindProfile("phone", "phone.xml", inLibrary));

    editor::CTypeFile holder;
    holder.SetCurrentProfile(inLibrary);
    holder.SetName("renamed");
    fs::remove(path);
    fs::create_directory(path);
    EXPECT_FALSE(holder.Save());
    EXPECT_NE(holder.GetCurrentProfile()->WriteResultText().find("directory"), std::string::npos);

    profile::CProfileFile again;
    ASSERT_TRUE(library.FindProfile("phone", "phone.xml", again));
    EXPECT_EQ(again.name, "Phone");
}

} // namespace
