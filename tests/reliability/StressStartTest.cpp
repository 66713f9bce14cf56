// The real window starting over a crowded Profiles folder: 10,000 files (valid profiles
// of many devices, malformed, several megabytes large, empty, binary, another version,
// another root element). Start-up must complete, show only the valid profiles, and stay
// within a memory bound; the time it took is printed, not judged.

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <string>

#include "ui/OrreryDlg.h"
#include "ui/Prompt.h"

namespace {

// Answers every question with its default and counts them; start-up should ask nothing.
class CCountingPrompt : public CPrompt {
public:
    explicit CCountingPrompt(int& count) : count(count) {}
    int MessageBox(const std::string&, const std::string&, PromptButtons buttons, PromptIcon) override
    {
        ++count;
        return buttons == PromptButtons::YesNo ? kIdYes : kIdOk;
    }
    bool SaveFile(const SaveFileRequest&, SaveFileAnswer&) override { return false; }

private:
    int& count;
};

// Peak resident memory of the process so far, in KiB.
long PeakKib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool Write(const QString& path, const std::string& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

std::string Profile(const std::string& name, const std::string& device, int type, const std::string& version,
                    const std::string& description = "generated")
{
    return "<profile name=\"" + name + "\" description=\"" + description + "\" version=\"" + version +
           "\" device=\"" + device + "\" tag=\"\" type=\"" + std::to_string(type) +
           "\">\r\n<common>\r\n<file format=\"mp4\"/>\r\n<audio codec=\"aac\">\r\n"
           "<freq value=\"44100\" list=\"32000,44100,48000\"/>\r\n"
           "<bitrate value=\"128000\" list=\"64000,128000\"/>\r\n</audio>\r\n"
           "<video>\r\n<size list=\"320x240,640x480\" out_size=\"640x480\"/>\r\n"
           "<encode codec=\"h264\" bitrate_kbps=\"1200\"/>\r\n</video>\r\n</common>\r\n"
           "<acodec name=\"faac\"/>\r\n<vcodec name=\"h264\"/>\r\n</profile>\r\n";
}

} // namespace

class StressStartTest : public QObject {
    Q_OBJECT
private slots:
    void startOverTenThousandFiles();
};

void StressStartTest::startOverTenThousandFiles()
{
    // The full set takes a few seconds even under the sanitizers; ORRERY_STRESS_FILES
    // changes it for a look at other sizes.
    int total = 10000;
    if (const QByteArray files = qgetenv("ORRERY_STRESS_FILES"); !files.isEmpty())
        total = files.toInt();
    const int hugeBytes = 4 << 20;

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString program = root.filePath(QStringLiteral("program"));
    const QString profiles = program + QStringLiteral("/Profiles");
    QVERIFY(QDir().mkpath(profiles));
    QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("config"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
    const QDir data(QStringLiteral(ORRERY_DATA_DIR));
    for (const QFileInfo& file : data.entryInfoList({QStringLiteral("*.xml")}, QDir::Files))
        QVERIFY(QFile::copy(file.filePath(), program + QLatin1Char('/') + file.fileName()));

    // The mix: a third valid profiles over 40 devices and both output types; the rest bad
    // in every way a file can be. A few files of each bad kind are several MB large, and
    // so are two otherwise valid ones.
    std::mt19937 random(9);
    std::set<std::string> validPaths;
    std::set<std::string> devices;
    std::uint64_t bytesWritten = 0;
    for (int i = 0; i < total; ++i) {
        const std::string stem = "p" + std::to_string(i);
        const std::string device = "dev" + std::to_string(i % 40);
        const bool huge = i % 2500 < 2;
        std::string bytes;
        bool valid = false;
        switch (i % 9) {
        case 0:
        case 1:
        case 2:
            // A huge one has a description of 1 MB and a comment of 4 MB after the root
            // (a start tag over 4 MiB is beyond what the index records).
            bytes = Profile(stem, device, (i / 9) % 2 == 0 ? 0 : 2, "200",
                            huge ? std::string(1 << 20, 'd') : std::string("generated"));
            if (huge)
                bytes += "<!-- " + std::string(hugeBytes, 'c') + " -->\r\n";
            // Well-formed, but a file over 1 MiB is no profile: the scan passes it by.
            valid = !huge;
            break;
        case 3: {   // malformed: cut anywhere, or a closing tag that does not match
            const std::string whole = Profile(stem, device, 0, "200", huge ? std::string(hugeBytes, 'm') : "x");
            bytes = i % 2 ? whole.substr(0, random() % (whole.size() - 16)) : whole + "</common>";
            break;
        }
        case 4: break;   // empty
        case 5: {        // binary
            bytes.resize(huge ? hugeBytes : 1 + random() % 4096);
            for (char& c : bytes)
                c = static_cast<char>(random());
            break;
        }
        case 6: bytes = Profile(stem, device, 0, i % 2 ? "100" : ""); break;   // another version
        case 7: bytes = "<editor device_list=\"x\"><profile/></editor>"; break;   // another root
        default:   // valid markup with a NUL in the middle, and text that is no markup at all
            bytes = i % 2 ? Profile(stem, device, 0, "200").insert(40, 1, '\0') : "just some words, no tags";
            break;
        }
        const QString path = profiles + QStringLiteral("/%1.xml").arg(QString::fromStdString(stem));
        QVERIFY(Write(path, bytes));
        bytesWritten += bytes.size();
        if (valid) {
            validPaths.insert(QFile::encodeName(path).toStdString());
            devices.insert(device);
        }
    }
    QVERIFY(Write(profiles + QStringLiteral("/notes.txt"), "not a profile"));

    const long peakBefore = PeakKib();
    int questions = 0;
    QElapsedTimer timer;
    timer.start();
    auto dialog = std::make_unique<COrreryDlg>(QFile::encodeName(program).toStdString(),
                                               std::make_unique<CCountingPrompt>(questions));
    QVERIFY(dialog->OnInitDialog());
    const qint64 elapsed = timer.elapsed();
    const long peakAfter = PeakKib();

    // Every valid file is in the library and no other file is.
    std::set<std::string> libraryFiles;
    for (const auto& [device, profile] : dialog->Library().Entries())
        if (!profile.filePath.empty() && profile.filePath.find("/Profiles/p") != std::string::npos)
            libraryFiles.insert(profile.filePath);
    std::set<std::string> onDisk;
    for (const std::string& path : libraryFiles)
        if (QFileInfo::exists(QString::fromStdString(path)))
            onDisk.insert(path);
    for (const std::string& path : onDisk)
        QVERIFY2(validPaths.count(path) != 0, ("a bad file was taken: " + path).c_str());
    QCOMPARE(onDisk.size(), validPaths.size());
    QCOMPARE(questions, 0);
    auto* deviceSelector = qobject_cast<QComboBox*>(dialog->GetDlgItem(kIdcDeviceSelector));
    QVERIFY(deviceSelector != nullptr);
    for (const std::string& device : devices)
        QVERIFY2(deviceSelector->findText(QString::fromStdString(device)) >= 0, device.c_str());
    QVERIFY(!dialog->TypeFile().Name().empty());

    // The bound: the library keeps a deep copy of each valid profile with its document
    // text and index and the node trees of its three sections, some 15 KiB each here, so
    // about 50 MiB for 3,332 profiles (the files of 5 MB are passed by unread); the
    // generator's own strings and Qt come to some 45 MiB. That is about 120 MiB; 512 MiB leaves room for
    // allocator slack and other machines, yet a scan that kept the bad files or the
    // documents of the files it skipped (24 MB on disk, several times that in memory
    // with their indexes) or copied the library per device would pass it.
    const long boundKib = 512 * 1024;
    std::printf("stress start: %d files (%.1f MB) in the Profiles folder, %zu valid; start-up took %lld ms; "
                "peak memory %ld KiB before, %ld KiB after (bound %ld KiB)\n",
                total, bytesWritten / 1e6, validPaths.size(), static_cast<long long>(elapsed), peakBefore,
                peakAfter, boundKib);
    std::fflush(stdout);
#ifndef ORRERY_RELIABILITY_SANITIZED
    // Under AddressSanitizer the shadow memory and the quarantine of freed blocks make
    // the figure say nothing about the program; it is printed all the same.
    QVERIFY2(peakAfter < boundKib, "peak memory over the bound");
#endif
}

QTEST_MAIN(StressStartTest)
#include "StressStartTest.moc"
