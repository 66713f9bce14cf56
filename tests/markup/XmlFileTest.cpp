#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "IndexCheck.h"
#include "markup/XmlDoc.h"
#include "tests/TestFiles.h"

namespace fs = std::filesystem;

namespace {

using testfiles::ReadBytes;
using testfiles::WriteBytes;

class TempFolder : public testfiles::TempFolder {
public:
    TempFolder() : testfiles::TempFolder("orrery-markup-") {}
    std::set<std::string> Entries() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(Path()))
            names.insert(entry.path().filename().string());
        return names;
    }
};

// Lowers the file-size limit for one scope. SIGXFSZ is ignored meanwhile, so a write past
// the limit fails with EFBIG instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit lowered = saved;
        lowered.rlim_cur = bytes;
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit saved{};
    void (*previousHandler)(int) = nullptr;
};

} // namespace

TEST(XmlFile, ReadTakesTheBytesUnchanged)
{
    TempFolder folder;
    const std::string bytes = std::string("<r>\r\n\xEF\xBB\xBF\xFF\0x</r>\n", 16);
    WriteBytes(folder.File("a.xml"), bytes);
    std::string result, text = "old";
    ASSERT_TRUE(CXmlDoc::ReadWholeFile(folder.File("a.xml"), result, text));
    EXPECT_EQ(text, bytes);
    EXPECT_EQ(result, "16 bytes");

    WriteBytes(folder.File("empty.xml"), "");
    ASSERT_TRUE(CXmlDoc::ReadWholeFile(folder.File("empty.xml"), result, text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(result, "0 bytes");
}

TEST(XmlFile, ReadErrorsLeaveTheTextAlone)
{
    TempFolder folder;
    struct Case {
        std::string path;
        const char* message;
    };
    const Case cases[] = {
        {folder.File("missing.xml"), "No such file or directory"},
        {folder.Path().string(), "Is a directory"},
        {folder.File("missing/a.xml"), "No such file or directory"},
    };
    for (const Case& c : cases) {
        std::string result, text = "kept";
        EXPECT_FALSE(CXmlDoc::ReadWholeFile(c.path, result, text)) << c.path;
        EXPECT_EQ(result, c.message) << c.path;
        EXPECT_EQ(text, "kept") << c.path;
    }
}

TEST(XmlFile, FailedReadDocumentKeepsTextAndIndex)
{
    TempFolder folder;
    WriteBytes(folder.File("a.xml"), "<r><a x=\"1\"/></r>");
    CXmlDoc doc;
    ASSERT_TRUE(doc.ReadDocument(folder.File("a.xml")));
    EXPECT_EQ(doc.ResultText(), "17 bytes");
    EXPECT_FALSE(doc.ReadDocument(folder.File("gone.xml")));
    EXPECT_EQ(doc.ResultText(), "No such file or directory");
    EXPECT_EQ(doc.DocumentText(), "<r><a x=\"1\"/></r>");
    doc.Rewind();
    ASSERT_TRUE(doc.SeekElement("r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.SeekElement("a"));
    EXPECT_EQ(doc.FetchAttribute("x"), "1");
}

TEST(XmlFile, WriteReplacesTheFileAndLeavesNothingElse)
{
    TempFolder folder;
    const std::string path = folder.File("p.xml");
    WriteBytes(path, std::string(5000, 'o'));
    ::chmod(path.c_str(), 0640);
    std::string result;
    ASSERT_TRUE(CXmlDoc::WriteWholeFile(path, result, "<r/>\r\n"));
    EXPECT_EQ(result, "6 bytes");
    EXPECT_EQ(ReadBytes(path), "<r/>\r\n");
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"p.xml"});
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    ASSERT_TRUE(CXmlDoc::WriteWholeFile(folder.File("new.xml"), result, ""));
    EXPECT_EQ(result, "0 bytes");
    EXPECT_TRUE(fs::exists(folder.File("new.xml")));
    EXPECT_EQ(fs::file_size(folder.File("new.xml")), 0u);
}

TEST(XmlFile, WriteThroughALinkUpdatesItsTarget)
{
    TempFolder folder;
    fs::create_directories(folder.Path() / "real");
    WriteBytes(folder.File("real/p.xml"), "old");
    fs::create_symlink(folder.Path() / "real" / "p.xml", folder.Path() / "link.xml");
    std::string result;
    ASSERT_TRUE(CXmlDoc::WriteWholeFile(folder.File("link.xml"), result, "new"));
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "link.xml"));
    EXPECT_EQ(ReadBytes(folder.File("real/p.xml")), "new");
}

TEST(XmlFile, FailedWritesKeepTheOldFile)
{
    TempFolder folder;
    const std::string path = folder.File("p.xml");
    const std::string old = "<old>" + std::string(100, 'x') + "</old>";
    const std::string text = "<new>" + std::string(10000, 'y') + "</new>";
    WriteBytes(path, old);
    fs::create_directories(folder.Path() / "dir");
    WriteBytes(folder.File("dir/inside.txt"), "still here");
    std::string result;

    {
        // Past the file-size limit the temporary file cannot be written.
        FileSizeLimit limit(4096);
        EXPECT_FALSE(CXmlDoc::WriteWholeFile(path, result, text));
    }
    EXPECT_EQ(result, "File too large");
    EXPECT_EQ(ReadBytes(path), old);

    EXPECT_FALSE(CXmlDoc::WriteWholeFile(folder.File("dir"), result, text));
    EXPECT_EQ(result, "Is a directory");
    EXPECT_EQ(ReadBytes(folder.File("dir/inside.txt")), "still here");

    EXPECT_FALSE(CXmlDoc::WriteWholeFile(folder.File("missing/p.xml"), result, text));
    EXPECT_EQ(result, "No such file or directory");

    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"p.xml", "dir"}));
    EXPECT_EQ(ReadBytes(path), old);
}

TEST(XmlFile, BuiltDocumentSurvivesTheRoundTrip)
{
    TempFolder folder;
    CXmlDoc doc;
    ASSERT_TRUE(doc.AppendElement("profile"));
    ASSERT_TRUE(doc.StoreAttribute(doc.CurrentPosition(), "name", "A & B \"quoted\""));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AppendElement("video"));
    ASSERT_TRUE(doc.StoreAttribute(doc.CurrentPosition(), "size", "320x240,640x480"));
    std::string result;
    ASSERT_TRUE(CXmlDoc::WriteWholeFile(folder.File("p.xml"), result, doc.DocumentText()));

    CXmlDoc loaded;
    ASSERT_TRUE(loaded.ReadDocument(folder.File("p.xml")));
    EXPECT_EQ(loaded.ResultText(), std::to_string(doc.DocumentText().size()) + " bytes");
    EXPECT_EQ(loaded.DocumentText(), doc.DocumentText());
    ASSERT_TRUE(loaded.SeekElement("profile"));
    EXPECT_EQ(loaded.FetchAttribute("name"), "A & B \"quoted\"");
    ASSERT_TRUE(loaded.EnterElement());
    ASSERT_TRUE(loaded.SeekElement("video"));
    EXPECT_EQ(loaded.FetchAttribute("size"), "320x240,640x480");
    EXPECT_EQ(indexcheck::IndexMismatch(doc), "");
}

TEST(XmlFile, WriteUnderTheLongestFileName)
{
    TempFolder folder;
    const std::string path = folder.File(std::string(250, 'n') + ".xml");
    std::string result;
    ASSERT_TRUE(CXmlDoc::WriteWholeFile(path, result, "<r/>")) << result;
    EXPECT_EQ(ReadBytes(path), "<r/>");
    EXPECT_EQ(folder.Entries().size(), 1u);
}

// Nodes that are no files: a FIFO, a link to a character device (made here, a twin
// of /dev/null) and a socket. A read would wait for a writer forever; a save would put
// a file where the system keeps something else.
TEST(XmlFile, SpecialFilesAreNeitherReadNorReplaced)
{
    TempFolder folder;
    std::vector<std::string> nodes{folder.File("fifo.xml"), folder.File("socket.xml")};
    ASSERT_EQ(::mkfifo(nodes[0].c_str(), 0666), 0);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, nodes[1].c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    if (::mknod(folder.File("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        fs::create_symlink(folder.Path() / "null", folder.Path() / "device.xml");
        nodes.push_back(folder.File("device.xml"));
    }
    const std::set<std::string> before = folder.Entries();

    for (const std::string& path : nodes) {
        std::string result, text = "kept";
        EXPECT_FALSE(CXmlDoc::ReadWholeFile(path, result, text)) << path;
        EXPECT_EQ(result, "Not a regular file") << path;
        EXPECT_EQ(text, "kept") << path;
        EXPECT_FALSE(CXmlDoc::WriteWholeFile(path, result, "<r/>")) << path;
        EXPECT_EQ(result, "Not a regular file") << path;
    }
    EXPECT_EQ(folder.Entries(), before) << "no temporary file is left";
    struct stat info;
    EXPECT_TRUE(::stat(nodes[0].c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    EXPECT_TRUE(::stat(nodes[1].c_str(), &info) == 0 && S_ISSOCK(info.st_mode));
    if (nodes.size() == 3) {
        EXPECT_TRUE(::stat(nodes[2].c_str(), &info) == 0 && S_ISCHR(info.st_mode));
    }
    ::close(listener);
}

TEST(XmlFile, WriteKeepsOwnerGroupAndMode)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    TempFolder folder;
    const std::string path = folder.File("theirs.xml");
    WriteBytes(path, "old");
    ASSERT_EQ(::chown(path.c_str(), testfiles::kOtherUser, testfiles::kOtherGroup), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    std::string result;
    ASSERT_TRUE(CXmlDoc::WriteWholeFile(path, result, "new")) << result;
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, testfiles::kOtherUser);
    EXPECT_EQ(info.st_gid, testfiles::kOtherGroup);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadBytes(path), "new");
}

// The folder lets the user make and rename files, the file itself is read-only: the
// save must not replace it through the folder.
TEST(XmlFile, WriteRefusesAFileTheUserMayNotWrite)
{
    TempFolder folder;
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0777), 0);
    const std::string path = folder.File("read-only.xml");
    WriteBytes(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const int status = testfiles::RunAsOtherUser([&path] {
        std::string result;
        return !CXmlDoc::WriteWholeFile(path, result, "new") && result == "Permission denied" ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"read-only.xml"});
}
