// Starts of the real window over folders that fight back: a FIFO where a profile, a
// template and the configuration should be, temporary files a killed save left, a
// file too large to be a profile, a configuration of 20,000 devices, and settings that
// name the root folder or a path too long for them; and the real executable under a
// file-size limit. A start that hangs is ended by the harness's time limit for the
// test; no time is judged here.

#include <QComboBox>
#include <QDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <spawn.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <map>
#include <thread>

#include "../ui/UiTestSupport.h"
#include "tests/TestFiles.h"
#include "editor/ProfileLibrary.h"
#include "platform/MyRegKey.h"
#include "ui/OrreryDlg.h"

extern char** environ;

namespace {

// Counts the open and read events of the files of one folder, by file name.
class CFileEvents {
public:
    explicit CFileEvents(const std::string& folder) : fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        // Closes are watched too, so repeated opens of a file are never merged into one.
        ::inotify_add_watch(fd, folder.c_str(), IN_OPEN | IN_ACCESS | IN_CLOSE_NOWRITE);
    }
    ~CFileEvents() { ::close(fd); }
    CFileEvents(const CFileEvents&) = delete;
    CFileEvents& operator=(const CFileEvents&) = delete;

    int Count(const std::string& name, uint32_t mask)
    {
        Drain();
        return counts[{name, mask}];
    }

private:
    void Drain()
    {
        alignas(inotify_event) char buffer[64 * 1024];
        ssize_t got = 0;
        while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
            for (char* at = buffer; at < buffer + got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->len > 0)
                    for (uint32_t mask : {uint32_t(IN_OPEN), uint32_t(IN_ACCESS)})
                        if (event->mask & mask)
                            ++counts[{event->name, mask}];
                at += sizeof(inotify_event) + event->len;
            }
        }
    }

    int fd;
    std::map<std::pair<std::string, uint32_t>, int> counts;
};

bool SetAge(const std::string& path, int seconds)
{
    const std::time_t when = std::time(nullptr) - seconds;
    const timespec times[2] = {{when, 0}, {when, 0}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

} // namespace

class StartDrillTest : public QObject {
    Q_OBJECT
private slots:
    void hostileProfilesFolder();
    void twentyThousandDevices();
    void settingsNameTheRootFolder();
    void settingsValueTooLong();
    void programIgnoresTheFileSizeSignal();
};

void StartDrillTest::hostileProfilesFolder()
{
    CSandbox sandbox;
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.A.xml", "Template.Standard.xml", "Alpha",
                                 "generic"));
    const std::string profiles = sandbox.Path("program/Profiles");
    for (const std::string& fifo : {profiles + "/pipe.xml", sandbox.Path("program/Template.Fifo.xml"),
                                    sandbox.Path("program/Orrery.xml")})
        QCOMPARE(::mkfifo(fifo.c_str(), 0644), 0);
    // A valid profile one byte over the limit, padded by a comment after its root.
    std::string large = ProfileText("Large", "generic", 0) + "<!--";
    large += std::string(editor::kMaxProfileFileSize + 1 - large.size() - 3, 'c') + "-->";
    QVERIFY(sandbox.WriteFile("program/Profiles/large.xml", large));
    const std::string stale = profiles + "/.generic.A.xml.4242-1.tmp";
    const std::string young = profiles + "/.generic.A.xml.4242-2.tmp";
    const std::string notOurs = profiles + "/.notes.tmp";
    for (const std::string& path : {stale, young, notOurs})
        QVERIFY(testfiles::WriteBytes(path, "half a save"));
    QVERIFY(SetAge(stale, 120) && SetAge(notOurs, 120) && SetAge(young, 10));

    CFileEvents events(profiles);
    auto dialog = sandbox.MakeDialog();
    QVERIFY(dialog->OnInitDialog());

    const editor::CProfileLibrary& library = dialog->Library();
    QVERIFY(library.HoldsTitle("generic.A") && !library.HoldsTitle("pipe") && !library.HoldsTitle("large"));
    QCOMPARE(events.Count("large.xml", IN_ACCESS), 0);
    QVERIFY(!FileExists(stale));
    QVERIFY(FileExists(young) && FileExists(notOurs));
    QVERIFY(dialog->StartupProblem().empty());
    QVERIFY(sandbox.Log()->messages.empty());
}

void StartDrillTest::twentyThousandDevices()
{
    CSandbox sandbox;
    std::string devices;
    for (int i = 0; i < 20000; ++i)
        devices += (i ? ",dev" : "dev") + std::to_string(i);
    QVERIFY(sandbox.WriteFile("program/Orrery.xml", "<editor>\r\n<profile device_list=\"" + devices +
                                                        "\"/>\r\n</editor>\r\n"));
    CFileEvents events(sandbox.ProgramFolder());
    auto dialog = sandbox.MakeDialog();
    QVERIFY(dialog->OnInitDialog());

    QCOMPARE(ItemOf<QComboBox>(*dialog, kIdcDeviceSelector)->count(), 20000);
    QCOMPARE(dialog->Library().Size(), std::size_t(40000));
    QCOMPARE(Text(*dialog, kIdcProfileSelector), QStringLiteral("dev0.Standard.xml"));
    // The templates are read once for the start, not once per device.
    for (const char* name : {"Template.Standard.xml", "Template.Audio.xml"})
        QVERIFY2(events.Count(name, IN_OPEN) <= 4, name);
}

void StartDrillTest::settingsNameTheRootFolder()
{
    if (QFileInfo::exists(QStringLiteral("/Profiles")))
        QSKIP("this machine has a /Profiles folder of its own");
    CSandbox sandbox;
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.A.xml", "Template.Standard.xml", "Alpha",
                                 "generic"));
    QCOMPARE(WriteRegistryValue(kHkeyCurrentUser, "Software\\Kestro", "Path", "/converter"), kErrorSuccess);
    auto dialog = sandbox.MakeDialog();
    QVERIFY(dialog->OnInitDialog());

    // Scan, defaults and Save As all use "/Profiles"; the program folder is not read.
    QCOMPARE(dialog->ProfilesRoot(), std::string("/"));
    QVERIFY(!dialog->Library().HoldsTitle("generic.A"));
    QCOMPARE(dialog->TypeFile().FilePath(), std::string("/Profiles/generic.Standard.xml"));
    QVERIFY2(dialog->StartupProblem().rfind("The Profiles folder could not be read:\n\n/Profiles\n", 0) == 0,
             dialog->StartupProblem().c_str());
}

void StartDrillTest::settingsValueTooLong()
{
    CSandbox sandbox;
    const std::string converter = sandbox.Path(std::string(300, 'c'));
    QCOMPARE(WriteRegistryValue(kHkeyCurrentUser, "Software\\Kestro", "Path", converter + "/conv"), kErrorSuccess);
    auto dialog = sandbox.MakeDialog();
    QVERIFY(dialog->OnInitDialog());
    const std::string expected =
        "The Profiles folder could not be read:\n\n" + converter + "/Profiles\nFile name too long\n\n";
    QVERIFY2(dialog->StartupProblem().rfind(expected, 0) == 0, dialog->StartupProblem().c_str());
    QCOMPARE(dialog->TypeFile().FilePath(), std::string());
    QVERIFY(!FileExists(sandbox.Path("program/Profiles")));
    dialog->show();
    QTRY_COMPARE(sandbox.Log()->messages.size(), std::size_t(1));
}

// The executable itself ignores SIGXFSZ, so a save past `ulimit -f` fails with "File
// too large" (the routine's own tests show that) instead of ending the program.
void StartDrillTest::programIgnoresTheFileSizeSignal()
{
    CSandbox sandbox;
    std::string program = ORRERY_PROGRAM;
    char* argv[] = {program.data(), nullptr};
    pid_t pid = 0;
    QCOMPARE(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
    bool ignored = false;
    bool running = true;
    // A hang guard only: the program ignores the signal before anything else.
    for (int poll = 0; poll < 600 && !ignored && (running = ::waitpid(pid, nullptr, WNOHANG) == 0); ++poll) {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("SigIgn:", 0) == 0)
                ignored = (std::stoull(line.substr(7), nullptr, 16) >> (SIGXFSZ - 1) & 1) != 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(ignored ? 0 : 50));
    }
    if (running) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
    QVERIFY(ignored);
}

QTEST_MAIN(StartDrillTest)
#include "StartDrillTest.moc"
