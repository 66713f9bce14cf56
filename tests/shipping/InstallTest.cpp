// Installs of this build into temporary prefixes: the program folder with the executable,
// templates, samples and translations, the launcher link, the desktop entry, the metainfo,
// the licence and the icons; staging under DESTDIR; a second install over a used one; and
// the installed launcher starting the program in its own folder.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ShippingTestSupport.h"

extern char** environ;

namespace {

using namespace shipping_test;

// Installs this build into prefix (below destdir when given), as cmake --install does but
// from a copy of the build's install script that writes its manifest into the temp
// folder: the build's own install_manifest.txt stays the user's. The install's output
// is in the temp folder's "install.log".
::testing::AssertionResult Install(const TempDir& temp, const std::string& prefix, const std::string& destdir = {})
{
    const fs::path build(ORRERY_BINARY_DIR);
    std::string script = ReadBytes(build / "cmake_install.cmake");
    const std::string manifest = "file(WRITE \"" + build.string() + "/${CMAKE_INSTALL_MANIFEST}\"";
    const std::size_t at = script.find(manifest);
    if (at == std::string::npos)
        return ::testing::AssertionFailure() << "the build's install script writes no manifest where expected";
    script.replace(at, manifest.size(), "file(WRITE \"" + temp.Path().string() + "/${CMAKE_INSTALL_MANIFEST}\"");
    const fs::path copy = temp.Path() / "cmake_install.cmake";
    WriteBytes(copy, script);

    std::string command;
    if (!destdir.empty())
        command = "DESTDIR=" + ShellWord(destdir) + " ";
    command += ShellWord(ORRERY_CMAKE_COMMAND) + " -DCMAKE_INSTALL_PREFIX=" + ShellWord(prefix) + " -P " +
               ShellWord(copy.string());
    const fs::path log = temp.Path() / "install.log";
    const int status = RunCommand(command, log);
    if (status != 0)
        return ::testing::AssertionFailure() << "install exited with " << status << ":\n" << ReadBytes(log);
    return ::testing::AssertionSuccess();
}

struct Layout {
    fs::path prefix;
    fs::path ProgramFolder() const { return prefix / ORRERY_INSTALL_PROGRAM_DIR; }
    fs::path Executable() const { return ProgramFolder() / "orrery"; }
    fs::path Launcher() const { return prefix / ORRERY_INSTALL_BINDIR / "orrery"; }
    fs::path DesktopEntry() const { return prefix / ORRERY_INSTALL_DATADIR / "applications" / "orrery.desktop"; }
    fs::path Metainfo() const { return prefix / ORRERY_INSTALL_DATADIR / "metainfo" / ORRERY_METAINFO_NAME; }
    fs::path Icon(int size) const
    {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        return prefix / ORRERY_INSTALL_DATADIR / "icons" / "hicolor" / folder / "apps" / "orrery.png";
    }
};

std::vector<int> IconSizes()
{
    std::vector<int> sizes;
    std::stringstream list(ORRERY_ICON_SIZES);
    for (std::string item; std::getline(list, item, ',');)
        sizes.push_back(std::stoi(item));
    return sizes;
}

// Key -> value of the [Desktop Entry] group, failing the test on anything a desktop
// would refuse: lines outside a group, malformed or repeated keys, keys the
// freedesktop desktop entry standard does not define.
std::map<std::string, std::string> ReadDesktopEntry(const fs::path& path)
{
    static const std::set<std::string> kKnownKeys = {
        "Type", "Version", "Name", "GenericName", "NoDisplay", "Comment", "Icon", "Hidden", "OnlyShowIn",
        "NotShowIn", "DBusActivatable", "TryExec", "Exec", "Path", "Terminal", "Actions", "MimeType",
        "Categories", "Implements", "Keywords", "StartupNotify", "StartupWMClass", "URL",
        "PrefersNonDefaultGPU", "SingleMainWindow"};
    std::map<std::string, std::string> keys;
    std::istringstream text(ReadBytes(path));
    std::string group;
    bool first = true;
    for (std::string line; std::getline(text, line);) {
        EXPECT_TRUE(line.empty() || line.back() != '\r') << "CR in a desktop entry line";
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            group = line;
            EXPECT_TRUE(!first || group == "[Desktop Entry]") << "the first group is " << group;
            first = false;
            continue;
        }
        EXPECT_FALSE(group.empty()) << "a key outside a group: " << line;
        const std::size_t equals = line.find('=');
        EXPECT_NE(equals, std::string::npos) << line;
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        const std::string base = key.substr(0, key.find('['));
        EXPECT_FALSE(key.empty());
        for (char c : base)
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '-') << key;
        EXPECT_TRUE(kKnownKeys.count(base) == 1 || base.rfind("X-", 0) == 0) << "unknown key " << key;
        if (group == "[Desktop Entry]") {
            EXPECT_TRUE(keys.emplace(key, value).second) << "repeated key " << key;
        }
    }
    return keys;
}

// The program the Exec line starts: its first argument, unquoted.
std::string ExecProgram(const std::string& exec)
{
    // First the value's own escapes (\\ is one \), then the quoting of the argument.
    std::string value;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] == '\\' && i + 1 < exec.size() && exec[i + 1] == '\\')
            ++i;
        value += exec[i];
    }
    if (value.empty() || value[0] != '"')
        return value.substr(0, value.find(' '));
    std::string program;
    for (std::size_t i = 1; i < value.size() && value[i] != '"'; ++i) {
        if (value[i] == '\\' && i + 1 < value.size())
            ++i;
        program += value[i];
    }
    return program;
}

void ExpectPngOfSize(const fs::path& path, int size)
{
    const std::string bytes = ReadBytes(path);
    ASSERT_GE(bytes.size(), 24u) << path;
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << path;
    EXPECT_EQ(bytes.substr(12, 4), "IHDR") << path;
    auto word = [&](std::size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
    };
    EXPECT_EQ(word(16), static_cast<unsigned>(size)) << path;
    EXPECT_EQ(word(20), static_cast<unsigned>(size)) << path;
}

// The checkers packagers run; a machine without them fails the test rather than skip it.
void ExpectToolPasses(const TempDir& temp, const std::string& tool, const std::string& arguments)
{
    const fs::path log = temp.Path() / "check.log";
    ASSERT_EQ(RunCommand("command -v " + tool, log), 0) << tool << " is missing (scripts/install-deps installs it)";
    EXPECT_EQ(RunCommand(tool + " " + arguments, log), 0) << ReadBytes(log);
}

TEST(Install, ProgramFolderHoldsTheExecutableTheTemplatesAndTheSamples)
{
    TempDir temp;
    const Layout layout{temp.Path() / "prefix"};
    const fs::path buildManifest = fs::path(ORRERY_BINARY_DIR) / "install_manifest.txt";
    const std::string manifestBefore = fs::exists(buildManifest) ? ReadBytes(buildManifest) : "(none)";
    ASSERT_TRUE(Install(temp, layout.prefix.string()));
    EXPECT_EQ(fs::exists(buildManifest) ? ReadBytes(buildManifest) : "(none)", manifestBefore);
    EXPECT_TRUE(fs::is_regular_file(layout.ProgramFolder() / "translations" / "orrery_de.qm"));

    EXPECT_TRUE(fs::is_regular_file(layout.Executable()));
    EXPECT_EQ(access(layout.Executable().c_str(), X_OK), 0);
    std::set<std::string> templates;
    for (const fs::path& file : XmlFiles(DataFolder())) {
        templates.insert(file.filename().string());
        EXPECT_EQ(ReadBytes(layout.ProgramFolder() / file.filename()), ReadBytes(file)) << file;
    }
    EXPECT_FALSE(templates.empty());
    EXPECT_EQ(FileNames(XmlFiles(layout.ProgramFolder())), templates);

    const std::vector<fs::path> samples = XmlFiles(SampleFolder());
    EXPECT_EQ(FileNames(XmlFiles(layout.ProgramFolder() / "Profiles")), FileNames(samples));
    for (const fs::path& sample : samples)
        EXPECT_EQ(ReadBytes(layout.ProgramFolder() / "Profiles" / sample.filename()), ReadBytes(sample)) << sample;
}

TEST(Install, LauncherIsARelativeLinkToTheExecutableInTheProgramFolder)
{
    TempDir temp;
    const Layout layout{temp.Path() / "prefix"};
    ASSERT_TRUE(Install(temp, layout.prefix.string()));

    ASSERT_TRUE(fs::is_symlink(layout.Launcher()));
    EXPECT_TRUE(fs::read_symlink(layout.Launcher()).is_relative()) << fs::read_symlink(layout.Launcher());
    EXPECT_EQ(fs::canonical(layout.Launcher()), fs::canonical(layout.Executable()));

    // A moved installation still works: nothing in it names the prefix but the
    // desktop entry.
    const fs::path moved = temp.Path() / "moved";
    fs::rename(layout.prefix, moved);
    const Layout movedLayout{moved};
    EXPECT_EQ(fs::canonical(movedLayout.Launcher()), fs::canonical(movedLayout.Executable()));
}

TEST(Install, DesktopEntryStartsTheLauncherWithTheInstalledIcon)
{
    TempDir temp;
    const Layout layout{temp.Path() / "prefix"};
    ASSERT_TRUE(Install(temp, layout.prefix.string()));

    ASSERT_TRUE(fs::is_regular_file(layout.DesktopEntry()));
    const std::map<std::string, std::string> entry = ReadDesktopEntry(layout.DesktopEntry());
    EXPECT_EQ(entry.count("Type") ? entry.at("Type") : "", "Application");
    EXPECT_EQ(entry.count("Version") ? entry.at("Version") : "", "1.4");  // the newest Debian 12 knows
    EXPECT_EQ(entry.count("Name") ? entry.at("Name") : "", "Kestro Orrery");
    ASSERT_EQ(entry.count("Exec"), 1u);
    EXPECT_EQ(ExecProgram(entry.at("Exec")), layout.Launcher().string());
    EXPECT_EQ(entry.at("Exec").find('%'), std::string::npos) << "the editor takes no file arguments";
    for (const char* key : {"Terminal", "StartupNotify", "X-GNOME-SingleWindow"}) {
        ASSERT_EQ(entry.count(key), 1u) << key;
        EXPECT_TRUE(entry.at(key) == "true" || entry.at(key) == "false") << key;
    }
    EXPECT_EQ(entry.at("Terminal"), "false");
    for (const char* key : {"Categories", "Keywords"}) {
        ASSERT_EQ(entry.count(key), 1u) << key;
        EXPECT_EQ(entry.at(key).back(), ';') << key;
    }
    EXPECT_EQ(entry.at("Categories").rfind("AudioVideo;", 0), 0u) << "a main category first";

    ASSERT_EQ(entry.count("Icon"), 1u);
    EXPECT_EQ(entry.at("Icon"), "orrery") << "a theme icon name, without path or extension";
    for (int size : IconSizes())
        ExpectPngOfSize(layout.Icon(size), size);
    EXPECT_TRUE(fs::exists(layout.Icon(48))) << "the size every desktop falls back to";

    ExpectToolPasses(temp, "desktop-file-validate", ShellWord(layout.DesktopEntry().string()));
}

TEST(Install, MetainfoPassesTheAppStreamCheckAndTheLicenceShips)
{
    TempDir temp;
    const Layout layout{temp.Path() / "prefix"};
    ASSERT_TRUE(Install(temp, layout.prefix.string()));

    ASSERT_TRUE(fs::is_regular_file(layout.Metainfo()));
    ExpectToolPasses(temp, "appstreamcli", "validate --no-net " + ShellWord(layout.Metainfo().string()));
    const std::string metainfo = ReadBytes(layout.Metainfo());
    EXPECT_NE(metainfo.find("<launchable type=\"desktop-id\">" + layout.DesktopEntry().filename().string()),
              std::string::npos);
    EXPECT_NE(metainfo.find("<screenshot type=\"default\">"), std::string::npos);
    EXPECT_NE(metainfo.find("<release version=\"" ORRERY_VERSION "\""), std::string::npos);
    EXPECT_EQ(ReadBytes(layout.prefix / ORRERY_INSTALL_DOCDIR / "LICENSE"), ReadBytes(fs::path(ORRERY_SOURCE_DIR) / "LICENSE"));
}

TEST(Install, StagingUnderDestdirNamesTheFinalPrefixAndQuotesItInTheDesktopEntry)
{
    TempDir temp;
    const std::string prefix = "/opt/orrery test$1";
    const fs::path stage = temp.Path() / "stage";
    ASSERT_TRUE(Install(temp, prefix, stage.string()));

    const Layout staged{stage.string() + prefix};
    ASSERT_TRUE(fs::is_regular_file(staged.Executable()));
    EXPECT_EQ(fs::canonical(staged.Launcher()), fs::canonical(staged.Executable()));
    EXPECT_EQ(FileNames(XmlFiles(staged.ProgramFolder() / "Profiles")), FileNames(XmlFiles(SampleFolder())));

    const std::map<std::string, std::string> entry = ReadDesktopEntry(staged.DesktopEntry());
    ASSERT_EQ(entry.count("Exec"), 1u);
    EXPECT_EQ(entry.at("Exec"), "\"/opt/orrery test\\\\$1/bin/orrery\"");
    EXPECT_EQ(ExecProgram(entry.at("Exec")), prefix + "/bin/orrery");
    EXPECT_FALSE(fs::exists(fs::path(prefix))) << "nothing outside the stage";
}

TEST(Install, InstallingAgainKeepsChangedSamplesAndRestoresMissingOnes)
{
    TempDir temp;
    const Layout layout{temp.Path() / "prefix"};
    ASSERT_TRUE(Install(temp, layout.prefix.string()));
    const fs::path profiles = layout.ProgramFolder() / "Profiles";
    WriteBytes(profiles / "xbox360.Kestro.Video.xml", "changed by the user");
    fs::remove(profiles / "pda.Kestro.Audio.xml");
    WriteBytes(profiles / "pda.Mine.xml", "a profile of the user's");

    ASSERT_TRUE(Install(temp, layout.prefix.string()));
    EXPECT_EQ(ReadBytes(profiles / "xbox360.Kestro.Video.xml"), "changed by the user");
    EXPECT_EQ(ReadBytes(profiles / "pda.Kestro.Audio.xml"), ReadBytes(SampleFolder() / "pda.Kestro.Audio.xml"));
    EXPECT_EQ(ReadBytes(profiles / "pda.Mine.xml"), "a profile of the user's");
    EXPECT_TRUE(fs::is_symlink(layout.Launcher()));
    EXPECT_NE(ReadBytes(temp.Path() / "install.log").find("Kept"), std::string::npos);
}

// The launcher is a link in bin/, yet the program must take the executable's own
// folder as its program folder: started without an install folder in its settings,
// it creates the Profiles folder there, never beside the link.
TEST(Install, LauncherStartsTheProgramInTheExecutablesOwnFolder)
{
    TempDir temp;
    const Layout layout{temp.Path() / "prefix"};
    ASSERT_TRUE(Install(temp, layout.prefix.string()));
    fs::remove_all(layout.ProgramFolder() / "Profiles");
    fs::create_directories(temp.Path() / "config");

    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string text = *variable;
        if (text.rfind("XDG_CONFIG_HOME=", 0) != 0 && text.rfind("QT_QPA_PLATFORM=", 0) != 0)
            environment.push_back(text);
    }
    environment.push_back("XDG_CONFIG_HOME=" + (temp.Path() / "config").string());
    environment.push_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char*> envp;
    for (std::string& text : environment)
        envp.push_back(text.data());
    envp.push_back(nullptr);
    std::string launcher = layout.Launcher().string();
    char* argv[] = {launcher.data(), nullptr};

    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, launcher.c_str(), nullptr, nullptr, argv, envp.data()), 0);
    // The window stays open until closed; wait for the folder, or for the program to
    // end on its own (which it must not).
    bool created = false;
    int status = 0;
    bool ended = false;
    for (int poll = 0; poll < 1200 && !created && !ended; ++poll) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        created = fs::is_directory(layout.ProgramFolder() / "Profiles");
        ended = waitpid(pid, &status, WNOHANG) == pid;
    }
    if (!ended) {
        kill(pid, SIGTERM);
        waitpid(pid, &status, 0);
    }
    EXPECT_FALSE(ended) << "the program ended by itself, status " << status;
    EXPECT_TRUE(created);
    EXPECT_FALSE(fs::exists(layout.Launcher().parent_path() / "Profiles"));
    EXPECT_TRUE(fs::is_empty(temp.Path() / "config")) << "the editor writes no settings";
}

} // namespace
