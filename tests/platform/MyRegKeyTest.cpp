#include "platform/MyRegKey.h"

#include "platform/Platform.h"
#include "tests/platform/TestFolder.h"

#include <QCoreApplication>

#include <cstring>

namespace fs = std::filesystem;

namespace {
constexpr const char* kKestro = "Software\\Kestro";
constexpr std::size_t kPathBufferSize = 260;
}  // namespace

class RegKeyTest : public TestFolder {
protected:
    std::string SettingsFile() const { return config + "/Kestro.conf"; }

    // Opens Software\Kestro and reads "Path" the way the editor does.
    long ReadPath(std::string& value, std::size_t bufferSize = kPathBufferSize)
    {
        CMyRegKey key;
        const long opened = key.OpenKey(kHkeyCurrentUser, kKestro);
        if (opened != kErrorSuccess)
            return opened;
        std::vector<char> buffer(bufferSize, '#');
        std::size_t size = buffer.size();
        const long result = key.ReadValue("Path", buffer.data(), size);
        value = result == kErrorSuccess ? std::string(buffer.data()) : std::string();
        return result;
    }
};

TEST_F(RegKeyTest, KeyMapsToTheOrganisationFileOfTheSettingsFolder)
{
    EXPECT_EQ(RegistryKeyFilePath(kHkeyCurrentUser, kKestro), SettingsFile());
    EXPECT_EQ(RegistryKeyFilePath(kHkeyCurrentUser, "Software/Kestro/Sub"), SettingsFile());
    EXPECT_EQ(RegistryKeyFilePath(kHkeyCurrentUser, "SOFTWARE\\Kestro\\"), SettingsFile());
    for (const char* bad : {"", "Kestro", "Software", "Software\\", "Hardware\\Kestro", "Software\\..",
                            "Software\\Kes\ttro"}) {
        EXPECT_EQ(RegistryKeyFilePath(kHkeyCurrentUser, bad), "") << bad;
        CMyRegKey key;
        EXPECT_EQ(key.OpenKey(kHkeyCurrentUser, bad), kErrorFileNotFound) << bad;
    }
}

TEST_F(RegKeyTest, ValuePresent)
{
    ASSERT_EQ(WriteRegistryValue(kHkeyCurrentUser, kKestro, "Path", "/opt/conv/conv"), kErrorSuccess);
    ASSERT_TRUE(fs::is_regular_file(SettingsFile()));

    CMyRegKey key;
    ASSERT_EQ(key.OpenKey(kHkeyCurrentUser, kKestro), kErrorSuccess);
    EXPECT_TRUE(key.IsOpen());
    char buffer[kPathBufferSize];
    std::size_t size = sizeof buffer;
    ASSERT_EQ(key.ReadValue("Path", buffer, size), kErrorSuccess);
    EXPECT_STREQ(buffer, "/opt/conv/conv");
    EXPECT_EQ(size, std::strlen("/opt/conv/conv") + 1);

    std::size_t needed = 0;
    EXPECT_EQ(key.ReadValue("Path", nullptr, needed), kErrorSuccess);
    EXPECT_EQ(needed, size);
}

TEST_F(RegKeyTest, HandWrittenFilesAreRead)
{
    struct Case {
        const char* file;
        const char* value;
    };
    const Case cases[] = {
        {"[General]\nPath=/opt/conv/conv\n", "/opt/conv/conv"},
        {"Path=/opt/conv/\n", "/opt/conv/"},
        {"path=/lower/case/name\n", "/lower/case/name"},
        {"Path=\"/with space/and,comma\"\n", "/with space/and,comma"},
        {"Path=/unquoted,comma/conv\n", "/unquoted,comma/conv"},
        {"[General]\r\nPath=/dos/lines\r\n", "/dos/lines"},
        {"garbage without equals\nPath=/after/noise\n", "/after/noise"},
    };
    for (const Case& c : cases) {
        WriteText(SettingsFile(), c.file);
        std::string value;
        EXPECT_EQ(ReadPath(value), kErrorSuccess) << c.file;
        EXPECT_EQ(value, c.value) << c.file;
    }
}

TEST_F(RegKeyTest, OddCharactersSurviveAWriteAndARead)
{
    const std::string values[] = {
        "/o p/a,b;c=d\\e\"f#g/\xC3\xA9",
        "[General]",
        "@ByteArray(x)",
        " leading and trailing ",
        "",
        "/tab\there",
    };
    for (const std::string& written : values) {
        ASSERT_EQ(WriteRegistryValue(kHkeyCurrentUser, kKestro, "Path", written), kErrorSuccess) << written;
        std::string value;
        EXPECT_EQ(ReadPath(value), kErrorSuccess) << written;
        EXPECT_EQ(value, written);
    }
}

TEST_F(RegKeyTest, ValueAbsentOrKeyMissing)
{
    std::string value;
    EXPECT_EQ(ReadPath(value), kErrorFileNotFound) << "no settings file";

    WriteText(SettingsFile(), "[General]\nOther=1\n[Sub]\nPath=/in/a/group\n");
    EXPECT_EQ(ReadPath(value), kErrorFileNotFound) << "no top-level Path";

    fs::remove(SettingsFile());
    fs::create_directories(SettingsFile());
    EXPECT_EQ(ReadPath(value), kErrorFileNotFound) << "a folder is no settings file";

    CMyRegKey closed;
    std::size_t size = 10;
    char buffer[10];
    EXPECT_EQ(closed.ReadValue("Path", buffer, size), kErrorInvalidHandle);
}

TEST_F(RegKeyTest, NamesThatAddressGroupsAreNoValueNames)
{
    WriteText(SettingsFile(), "[General]\nPath=/top\n[a]\nb=/grouped\n");
    CMyRegKey key;
    ASSERT_EQ(key.OpenKey(kHkeyCurrentUser, kKestro), kErrorSuccess);
    std::string value;
    for (const char* name : {"", "a/b", "a\\b"})
        EXPECT_EQ(key.ReadValue(name, value), kErrorFileNotFound) << name;
    EXPECT_EQ(WriteRegistryValue(kHkeyCurrentUser, kKestro, "x/y", "1"), kErrorFileNotFound);
}

TEST_F(RegKeyTest, ValueLongerThanTheBuffer)
{
    const std::string fits(kPathBufferSize - 1, 'f');
    const std::string tooLong(kPathBufferSize, 'l');
    std::string value;

    ASSERT_EQ(WriteRegistryValue(kHkeyCurrentUser, kKestro, "Path", fits), kErrorSuccess);
    EXPECT_EQ(ReadPath(value), kErrorSuccess);
    EXPECT_EQ(value, fits);

    ASSERT_EQ(WriteRegistryValue(kHkeyCurrentUser, kKestro, "Path", tooLong), kErrorSuccess);
    CMyRegKey key;
    ASSERT_EQ(key.OpenKey(kHkeyCurrentUser, kKestro), kErrorSuccess);
    char buffer[kPathBufferSize];
    std::memset(buffer, '#', sizeof buffer);
    std::size_t size = sizeof buffer;
    EXPECT_EQ(key.ReadValue("Path", buffer, size), kErrorMoreData);
    EXPECT_EQ(size, tooLong.size() + 1) << "the size the value needs";
    EXPECT_EQ(buffer[0], '#') << "nothing copied";

    EXPECT_EQ(key.ReadValue("Path", value), kErrorSuccess);
    EXPECT_EQ(value, tooLong);
}

TEST_F(RegKeyTest, GroupsAreSubkeys)
{
    ASSERT_EQ(WriteRegistryValue(kHkeyCurrentUser, "Software\\Kestro\\Converter", "Path", "/deep"), kErrorSuccess);
    ASSERT_EQ(WriteRegistryValue(kHkeyCurrentUser, kKestro, "Path", "/top"), kErrorSuccess);

    CMyRegKey key;
    ASSERT_EQ(key.OpenKey(kHkeyCurrentUser, "Software/Kestro/Converter"), kErrorSuccess);
    std::string value;
    EXPECT_EQ(key.ReadValue("Path", value), kErrorSuccess);
    EXPECT_EQ(value, "/deep");

    CMyRegKey missing;
    EXPECT_EQ(missing.OpenKey(kHkeyCurrentUser, "Software\\Kestro\\Nothing"), kErrorFileNotFound);
    EXPECT_FALSE(missing.IsOpen());
}

TEST_F(RegKeyTest, FailedOpenKeepsTheOldKeyAndSuccessReplacesIt)
{
    ASSERT_EQ(WriteRegistryValue(kHkeyCurrentUser, kKestro, "Path", "/kestro"), kErrorSuccess);
    ASSERT_EQ(WriteRegistryValue(kHkeyCurrentUser, "Software\\Other", "Path", "/other"), kErrorSuccess);

    CMyRegKey key;
    ASSERT_EQ(key.OpenKey(kHkeyCurrentUser, kKestro), kErrorSuccess);
    EXPECT_EQ(key.OpenKey(kHkeyCurrentUser, "Software\\Missing"), kErrorFileNotFound);
    std::string value;
    EXPECT_EQ(key.ReadValue("Path", value), kErrorSuccess);
    EXPECT_EQ(value, "/kestro");

    ASSERT_EQ(key.OpenKey(kHkeyCurrentUser, "Software\\Other"), kErrorSuccess);
    EXPECT_EQ(key.ReadValue("Path", value), kErrorSuccess);
    EXPECT_EQ(value, "/other");

    key.Close();
    EXPECT_EQ(key.ReadValue("Path", value), kErrorInvalidHandle);
}

TEST_F(RegKeyTest, ReadsTheFileAsItIsAtTheTimeOfTheRead)
{
    ASSERT_EQ(WriteRegistryValue(kHkeyCurrentUser, kKestro, "Path", "/before"), kErrorSuccess);
    CMyRegKey key;
    ASSERT_EQ(key.OpenKey(kHkeyCurrentUser, kKestro), kErrorSuccess);
    ASSERT_EQ(WriteRegistryValue(kHkeyCurrentUser, kKestro, "Path", "/after"), kErrorSuccess);
    std::string value;
    EXPECT_EQ(key.ReadValue("Path", value), kErrorSuccess);
    EXPECT_EQ(value, "/after");
}

TEST_F(RegKeyTest, XdgFolderWinsOverHomeAndHomeIsTheFallback)
{
    ScopedEnv home("HOME", Path("home").c_str());
    WriteText(Path("home/.config/Kestro.conf"), "Path=/from/home\n");
    WriteText(SettingsFile(), "Path=/from/xdg\n");

    std::string value;
    EXPECT_EQ(ReadPath(value), kErrorSuccess);
    EXPECT_EQ(value, "/from/xdg");

    ScopedEnv noXdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(ReadPath(value), kErrorSuccess);
    EXPECT_EQ(value, "/from/home");
}

TEST_F(RegKeyTest, AnApplicationObjectChangesNothing)
{
    // An application with its own names must not send the read to another file.
    WriteText(SettingsFile(), "Path=/from/kestro/conf\n");
    WriteText(config + "/Acme/Tool.conf", "Path=/wrong/file\n");
    WriteText(config + "/Acme.conf", "Path=/wrong/file\n");
    int argc = 1;
    char name[] = "test_platform";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName("Acme");
    QCoreApplication::setApplicationName("Tool");

    std::string value;
    EXPECT_EQ(ReadPath(value), kErrorSuccess);
    EXPECT_EQ(value, "/from/kestro/conf");
    ASSERT_EQ(WriteRegistryValue(kHkeyCurrentUser, kKestro, "Path", "/written"), kErrorSuccess);
    EXPECT_EQ(ReadPath(value), kErrorSuccess);
    EXPECT_EQ(value, "/written");
    EXPECT_EQ(ReadText(config + "/Acme.conf"), "Path=/wrong/file\n");
}
