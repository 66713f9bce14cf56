// Save, Save As, the shipped-profile rule, failed writes, closing the window and a
// Profiles folder the editor cannot use, on the real window with files on disk.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <sys/resource.h>

#include "UiTestSupport.h"
#include "tests/TestFiles.h"
#include "controls/SkinListCtrl.h"
#include "platform/MyRegKey.h"
#include "ui/OrreryDlg.h"

namespace {

const std::string kSaveQuestion = "Do you want to save the changed profile?\n\n";
const std::string kSaved = "Profile saved successfully!\n\n";
const std::string kNotSaved = "The profile could not be saved.\n\n";
const std::string kEmptyName = "The profile name can't be empty!\n\n";
const std::string kBuiltIn =
    "The profile can't be saved since it belongs to Kestro. Do you want to save it as another file?\n\n";

// Two profiles of the generic device on disk, A shown first.
void WriteTwoProfiles(const CSandbox& sandbox)
{
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.A.xml", "Template.Standard.xml", "Alpha", "generic",
                                 {}, "First words"));
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.B.xml", "Template.Standard.xml", "Beta", "generic",
                                 {}, "Other words"));
}

// The device's video profiles in library order, as "title:description".
std::vector<std::string> Descriptions(const editor::CProfileLibrary& library, const std::string& device)
{
    std::vector<std::string> texts;
    const auto [first, last] = library.Entries().equal_range(device);
    for (auto it = first; it != last; ++it) {
        if (it->second.type == 0)
            texts.push_back(it->second.fileTitle + ":" + it->second.description);
    }
    return texts;
}

// Limits the size of files this process may write, for the lifetime of the object.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }

private:
    rlimit old{};
    void (*oldHandler)(int) = nullptr;
};

} // namespace

class SaveTest : public QObject {
    Q_OBJECT

private slots:
    void saveWritesTheSamePathAndMovesTheProfileLast();
    void saveWithoutChangesDoesNothing();
    void saveOfADefaultNeverWrittenWritesIt();
    void saveTakesTheFileNameLiterally();
    void saveAnsweredNoWritesNothing();
    void saveAsKeepsTheControlsValues();
    void saveAsCancelledChangesNothing();
    void saveAsOverAnotherProfileReplacesIt();
    void changedBuiltInOffersSaveAs();
    void changedBuiltInAnsweredNoOverwritesWithoutTag();
    void emptyProfileNameIsNeverSaved();
    void failedWriteKeepsTheOldFile();
    void failedWriteToAMissingFolder();
    void failedSaveAsToAFolderPath();
    void failedWriteWhileSwitchingStays();
    void closeEscapeAndCloseBoxAskBeforeDroppingEdits();
    void profilesFolderInTheWayIsReported();
    void missingInstallProfilesFolderIsReported();
    void usableFolderReportsNothing();
    void libraryForgetsProfilesOfTheSameFile();
    void eightBitNamesAndTextsKeepTheirBytes();
};

void SaveTest::saveWritesTheSamePathAndMovesTheProfileLast()
{
    CSandbox sandbox;
    WriteTwoProfiles(sandbox);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    const std::string path = sandbox.Path("program/Profiles/generic.A.xml");
    const std::string other = ReadBytes(sandbox.Path("program/Profiles/generic.B.xml"));
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("generic.A.xml"));

    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Saved words"));
    Click(*dialog, 1032);
    const auto& messages = sandbox.Log()->messages;
    QCOMPARE(messages.size(), std::size_t(2));
    QCOMPARE(messages[0].text, kSaveQuestion + path);
    QVERIFY(messages[0].buttons == PromptButtons::YesNo);
    QCOMPARE(messages[1].text, kSaved + path);
    QVERIFY(messages[1].buttons == PromptButtons::Ok);

    const std::string bytes = ReadBytes(path);
    QVERIFY2(bytes.rfind("<profile name=\"Alpha\" description=\"Saved words\" version=\"200\" device=\"generic\" "
                         "tag=\"\" type=\"0\">",
                         0) == 0,
             bytes.c_str());
    QCOMPARE(LoadProfileFile(path).description, std::string("Saved words"));
    QCOMPARE(ReadBytes(sandbox.Path("program/Profiles/generic.B.xml")), other);
    QCOMPARE(QDir(QString::fromStdString(sandbox.Path("program/Profiles"))).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"generic.A.xml", "generic.B.xml"}));

    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), (QStringList{"generic.B.xml", "generic.A.xml"}));
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1028)->currentIndex(), 1);
    QCOMPARE(Text(*dialog, 1000), QString::fromStdString(path));
    QVERIFY(!dialog->IsChanged());
    QCOMPARE(Descriptions(dialog->Library(), "generic"),
             (std::vector<std::string>{"generic.B:Other words", "generic.A:Saved words"}));
}

void SaveTest::saveWithoutChangesDoesNothing()
{
    CSandbox sandbox;
    WriteTwoProfiles(sandbox);
    const std::string path = sandbox.Path("program/Profiles/generic.A.xml");
    const std::string before = ReadBytes(path);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    Click(*dialog, 1032);
    QVERIFY(sandbox.Log()->messages.empty());
    QCOMPARE(ReadBytes(path), before);
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), (QStringList{"generic.A.xml", "generic.B.xml"}));
}

void SaveTest::saveOfADefaultNeverWrittenWritesIt()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    const std::string path = sandbox.Path("program/Profiles/generic.Standard.xml");
    QVERIFY(!dialog->IsChanged());
    Click(*dialog, 1032);
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(2));
    QCOMPARE(sandbox.Log()->messages[0].text, kSaveQuestion + path);
    const profile::CProfileFile saved = LoadProfileFile(path);
    QCOMPARE(saved.name, std::string("default"));
    QCOMPARE(saved.device, std::string("generic"));
    // The encoding mode and FourCC come from the selectors.
    std::string value;
    QVERIFY(saved.GetValue("common.video.encode.mode.value", value));
    QCOMPARE(value, std::string("high_quality"));
    QVERIFY(saved.GetValue("common.video.encode.fourcc", value));
    QCOMPARE(value, std::string("H264"));
    QCOMPARE(dialog->Library().Size(), std::size_t(28));
}

// "Has it been saved?" asks about the one file: another file that a wildcard reading of
// the name would match does not count.
void SaveTest::saveTakesTheFileNameLiterally()
{
    CSandbox sandbox;
    QVERIFY(sandbox.WriteFile("program/Orrery.xml", "<editor>\r\n<profile device_list=\"g*\"/>\r\n</editor>\r\n"));
    QVERIFY(sandbox.WriteFile("program/Profiles/gadget.Standard.xml", "someone else's"));
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    const std::string path = sandbox.Path("program/Profiles/g*.Standard.xml");
    QCOMPARE(dialog->TypeFile().FilePath(), path);
    Click(*dialog, 1032);
    QCOMPARE(sandbox.Log()->messages.front().text, kSaveQuestion + path);
    QCOMPARE(LoadProfileFile(path).device, std::string("g*"));
    QCOMPARE(ReadBytes(sandbox.Path("program/Profiles/gadget.Standard.xml")), std::string("someone else's"));
}

void SaveTest::saveAnsweredNoWritesNothing()
{
    CSandbox sandbox;
    WriteTwoProfiles(sandbox);
    const std::string path = sandbox.Path("program/Profiles/generic.A.xml");
    const std::string before = ReadBytes(path);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Not wanted"));
    sandbox.Log()->answers = {kIdNo};
    Click(*dialog, 1032);
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    QCOMPARE(ReadBytes(path), before);
    QVERIFY(dialog->IsChanged());
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), (QStringList{"generic.A.xml", "generic.B.xml"}));
}

void SaveTest::saveAsKeepsTheControlsValues()
{
    CSandbox sandbox;
    WriteTwoProfiles(sandbox);
    // A setting no control shows: Save As takes it from the template.
    {
        profile::CProfileFile a = LoadProfileFile(sandbox.Path("program/Profiles/generic.A.xml"));
        a.SetValue("common.file.onefile_size_mb", "700");
        QVERIFY(a.Save(sandbox.Path("program/Profiles/generic.A.xml")));
    }
    const std::string oldPath = sandbox.Path("program/Profiles/generic.A.xml");
    const std::string oldBytes = ReadBytes(oldPath);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1065), QStringLiteral("Copy of Alpha"));
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Copied words"));
    QVERIFY(Choose(dialog->GetDlgItem(1029), QStringLiteral("mkv")));
    ItemOf<QLineEdit>(*dialog, 1026)->setText(QStringLiteral("900"));

    const std::string newPath = sandbox.Path("program/Profiles/generic.Copy.xml");
    sandbox.Log()->saveAnswers = {{newPath, "generic.Copy.xml"}};
    Click(*dialog, 1011);

    const auto& requests = sandbox.Log()->saveRequests;
    QCOMPARE(requests.size(), std::size_t(1));
    QCOMPARE(requests[0].initialFolder, sandbox.Path("program/Profiles"));
    QCOMPARE(requests[0].initialFileName, std::string("generic.A.xml"));
    QCOMPARE(requests[0].filter, std::string("Kestro Profiles file(*.xml)"));
    QCOMPARE(requests[0].defaultExtension, std::string("xml"));
    QVERIFY(requests[0].confirmOverwrite);
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    QCOMPARE(sandbox.Log()->messages[0].text, kSaved + newPath);

    const profile::CProfileFile saved = LoadProfileFile(newPath);
    QCOMPARE(saved.name, std::string("Copy of Alpha"));
    QCOMPARE(saved.description, std::string("Copied words"));
    QCOMPARE(saved.device, std::string("generic"));
    QCOMPARE(saved.type, 0);
    std::string value;
    saved.GetValue("common.file.format", value);
    QCOMPARE(value, std::string("mkv"));
    saved.GetValue("common.video.encode.bitrate_kbps", value);
    QCOMPARE(value, std::string("900"));
    saved.GetValue("common.video.size.list", value);
    QCOMPARE(value, std::string("320x240,480x272,640x480,720x480"));
    saved.GetValue("common.file.onefile_size_mb", value);
    QCOMPARE(value, std::string("600"));
    QCOMPARE(ReadBytes(oldPath), oldBytes);

    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), (QStringList{"generic.A.xml", "generic.B.xml", "generic.Copy.xml"}));
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("generic.Copy.xml"));
    QCOMPARE(Text(*dialog, 1000), QString::fromStdString(newPath));
    QCOMPARE(dialog->TypeFile().FilePath(), newPath);
    QVERIFY(!dialog->IsChanged());
    QCOMPARE(Descriptions(dialog->Library(), "generic"),
             (std::vector<std::string>{"generic.A:First words", "generic.B:Other words", "generic.Copy:Copied words"}));
}

void SaveTest::saveAsCancelledChangesNothing()
{
    CSandbox sandbox;
    WriteTwoProfiles(sandbox);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Pending"));
    Click(*dialog, 1011);
    QCOMPARE(sandbox.Log()->saveRequests.size(), std::size_t(1));
    QVERIFY(sandbox.Log()->messages.empty());
    QVERIFY(dialog->IsChanged());
    QCOMPARE(dialog->TypeFile().FileTitle(), std::string("generic.A"));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), (QStringList{"generic.A.xml", "generic.B.xml"}));
}

void SaveTest::saveAsOverAnotherProfileReplacesIt()
{
    CSandbox sandbox;
    WriteTwoProfiles(sandbox);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Replacing words"));
    // The dialog gives the folder back spelt another way than the library keeps it.
    const std::string target = sandbox.Path("program/./Profiles/generic.B.xml");
    sandbox.Log()->saveAnswers = {{target, "generic.B.xml"}};
    Click(*dialog, 1011);
    QCOMPARE(LoadProfileFile(sandbox.Path("program/Profiles/generic.B.xml")).description,
             std::string("Replacing words"));
    // One profile for the file, listed once, at the end.
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), (QStringList{"generic.A.xml", "generic.B.xml"}));
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("generic.B.xml"));
    QCOMPARE(Descriptions(dialog->Library(), "generic"),
             (std::vector<std::string>{"generic.A:First words", "generic.B:Replacing words"}));
}

void SaveTest::changedBuiltInOffersSaveAs()
{
    CSandbox sandbox;
    const std::string shipped = sandbox.Path("program/Profiles/generic.Shipped.xml");
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.Shipped.xml", "Template.Standard.xml", "Shipped",
                                 "generic", "kestro_default"));
    const std::string shippedBytes = ReadBytes(shipped);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Mine now"));

    // Yes opens the save dialog in the Profiles folder; cancelling it writes nothing.
    Click(*dialog, 1032);
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    QCOMPARE(sandbox.Log()->messages[0].text, kBuiltIn + shipped);
    QCOMPARE(sandbox.Log()->saveRequests.size(), std::size_t(1));
    QCOMPARE(sandbox.Log()->saveRequests[0].initialFolder, sandbox.Path("program/Profiles"));
    // The copy is proposed under a name of its own.
    QCOMPARE(sandbox.Log()->saveRequests[0].initialFileName, std::string("generic Shipped copy.xml"));
    QCOMPARE(ReadBytes(shipped), shippedBytes);
    QVERIFY(dialog->IsChanged());

    const std::string mine = sandbox.Path("program/Profiles/generic.Mine.xml");
    sandbox.Log()->saveAnswers = {{mine, "generic.Mine.xml"}};
    Click(*dialog, 1032);
    QCOMPARE(sandbox.Log()->messages.back().text, kSaved + mine);
    QCOMPARE(ReadBytes(shipped), shippedBytes);
    const profile::CProfileFile saved = LoadProfileFile(mine);
    QCOMPARE(saved.tag, std::string());
    QCOMPARE(saved.description, std::string("Mine now"));
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("generic.Mine.xml"));
    QVERIFY(!dialog->IsChanged());

    // Unchanged, a shipped profile does not ask at all when its file exists.
    QVERIFY(Choose(dialog->GetDlgItem(1028), QStringLiteral("generic.Shipped.xml")));
    const std::size_t asked = sandbox.Log()->messages.size();
    Click(*dialog, 1032);
    QCOMPARE(sandbox.Log()->messages.size(), asked);
}

void SaveTest::changedBuiltInAnsweredNoOverwritesWithoutTag()
{
    CSandbox sandbox;
    const std::string shipped = sandbox.Path("program/Profiles/generic.Shipped.xml");
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.Shipped.xml", "Template.Standard.xml", "Shipped",
                                 "generic", "kestro_default"));
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Overwritten"));
    sandbox.Log()->answers = {kIdNo, kIdYes};
    Click(*dialog, 1032);
    const auto& messages = sandbox.Log()->messages;
    QCOMPARE(messages.size(), std::size_t(3));
    QCOMPARE(messages[0].text, kBuiltIn + shipped);
    QCOMPARE(messages[1].text, kSaveQuestion + shipped);
    QCOMPARE(messages[2].text, kSaved + shipped);
    QVERIFY(sandbox.Log()->saveRequests.empty());
    const std::string bytes = ReadBytes(shipped);
    QVERIFY(bytes.find("tag=\"\"") != std::string::npos);
    QVERIFY(bytes.find("kestro") == std::string::npos);

    // Written by the editor, it is no shipped profile any more: leaving it with edits
    // asks the plain question.
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Again"));
    sandbox.Log()->answers = {kIdNo};
    QVERIFY(Choose(dialog->GetDlgItem(1027), QStringLiteral("psp")));
    QCOMPARE(messages.size(), std::size_t(4));
    QCOMPARE(messages.back().text, kSaveQuestion + shipped);
    QCOMPARE(Text(*dialog, 1027), QStringLiteral("psp"));
}

void SaveTest::emptyProfileNameIsNeverSaved()
{
    CSandbox sandbox;
    WriteTwoProfiles(sandbox);
    const std::string path = sandbox.Path("program/Profiles/generic.A.xml");
    const std::string before = ReadBytes(path);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1065), QString());
    Click(*dialog, 1032);
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    QCOMPARE(sandbox.Log()->messages[0].text, kEmptyName + path);
    QVERIFY(sandbox.Log()->messages[0].buttons == PromptButtons::Ok);
    QCOMPARE(Text(*dialog, 1065), QStringLiteral("Alpha"));

    TypeInto(dialog->GetDlgItem(1065), QString());
    Click(*dialog, 1011);
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(2));
    QCOMPARE(sandbox.Log()->messages[1].text, kEmptyName + path);
    QVERIFY(sandbox.Log()->saveRequests.empty());
    QCOMPARE(Text(*dialog, 1065), QStringLiteral("Alpha"));
    QCOMPARE(ReadBytes(path), before);
}

void SaveTest::failedWriteKeepsTheOldFile()
{
    CSandbox sandbox;
    WriteTwoProfiles(sandbox);
    const std::string path = sandbox.Path("program/Profiles/generic.A.xml");
    const std::string before = ReadBytes(path);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Too big to write"));
    {
        // Any profile is larger than this.
        CFileSizeLimit limit(64);
        Click(*dialog, 1032);
    }
    const auto& messages = sandbox.Log()->messages;
    QCOMPARE(messages.size(), std::size_t(2));
    QCOMPARE(messages[1].text, kNotSaved + path + "\n" + std::strerror(EFBIG));
    QCOMPARE(ReadBytes(path), before);
    QCOMPARE(QDir(QString::fromStdString(sandbox.Path("program/Profiles"))).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"generic.A.xml", "generic.B.xml"}));
    // The library, the selector and the change flag are as they were.
    QCOMPARE(Descriptions(dialog->Library(), "generic"),
             (std::vector<std::string>{"generic.A:First words", "generic.B:Other words"}));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), (QStringList{"generic.A.xml", "generic.B.xml"}));
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("generic.A.xml"));
    QVERIFY(dialog->IsChanged());
    QCOMPARE(dialog->TypeFile().Description(), std::string("First words"));

    // Once writing works again, the same Save writes the edits.
    Click(*dialog, 1032);
    QCOMPARE(messages.back().text, kSaved + path);
    QCOMPARE(LoadProfileFile(path).description, std::string("Too big to write"));
}

void SaveTest::failedWriteToAMissingFolder()
{
    CSandbox sandbox;
    WriteTwoProfiles(sandbox);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QVERIFY(QDir(QString::fromStdString(sandbox.Path("program/Profiles"))).removeRecursively());
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Nowhere"));
    Click(*dialog, 1032);
    const std::string path = sandbox.Path("program/Profiles/generic.A.xml");
    QCOMPARE(sandbox.Log()->messages.back().text, kNotSaved + path + "\n" + std::strerror(ENOENT));
    QVERIFY(!QFile::exists(QString::fromStdString(sandbox.Path("program/Profiles"))));
    QCOMPARE(Descriptions(dialog->Library(), "generic"),
             (std::vector<std::string>{"generic.A:First words", "generic.B:Other words"}));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), (QStringList{"generic.A.xml", "generic.B.xml"}));
    QVERIFY(dialog->IsChanged());
}

void SaveTest::failedSaveAsToAFolderPath()
{
    CSandbox sandbox;
    WriteTwoProfiles(sandbox);
    QVERIFY(QDir().mkpath(QString::fromStdString(sandbox.Path("program/Profiles/generic.Folder.xml"))));
    const std::string oldPath = sandbox.Path("program/Profiles/generic.A.xml");
    const std::string before = ReadBytes(oldPath);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Into a folder"));
    const std::string folder = sandbox.Path("program/Profiles/generic.Folder.xml");
    sandbox.Log()->saveAnswers = {{folder, "generic.Folder.xml"}};
    Click(*dialog, 1011);
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    QCOMPARE(sandbox.Log()->messages[0].text, kNotSaved + folder + "\n" + std::strerror(EISDIR));
    QVERIFY(QFileInfo(QString::fromStdString(folder)).isDir());
    QCOMPARE(ReadBytes(oldPath), before);
    // Still the profile it was: the next Save goes to its own file.
    QCOMPARE(dialog->TypeFile().FilePath(), oldPath);
    QCOMPARE(Text(*dialog, 1000), QString::fromStdString(oldPath));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), (QStringList{"generic.A.xml", "generic.B.xml"}));
    QVERIFY(dialog->IsChanged());
    Click(*dialog, 1032);
    QCOMPARE(LoadProfileFile(oldPath).description, std::string("Into a folder"));
}

void SaveTest::failedWriteWhileSwitchingStays()
{
    CSandbox sandbox;
    WriteTwoProfiles(sandbox);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QVERIFY(QDir(QString::fromStdString(sandbox.Path("program/Profiles"))).removeRecursively());
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Kept in the window"));
    QVERIFY(Choose(dialog->GetDlgItem(1027), QStringLiteral("psp")));
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(2));
    QVERIFY(sandbox.Log()->messages[1].text.rfind(kNotSaved, 0) == 0);
    // The edits were not written, so they are not dropped either.
    QCOMPARE(Text(*dialog, 1027), QStringLiteral("generic"));
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("generic.A.xml"));
    QCOMPARE(Text(*dialog, 1003), QStringLiteral("Kept in the window"));
    QVERIFY(dialog->IsChanged());

    QVERIFY(Choose(dialog->GetDlgItem(1028), QStringLiteral("generic.B.xml")));
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("generic.A.xml"));
    QCOMPARE(Text(*dialog, 1003), QStringLiteral("Kept in the window"));
}

void SaveTest::closeEscapeAndCloseBoxAskBeforeDroppingEdits()
{
    CSandbox sandbox;
    WriteTwoProfiles(sandbox);
    const std::string path = sandbox.Path("program/Profiles/generic.A.xml");
    const std::string before = ReadBytes(path);
    const struct {
        const char* how;
        int result;
    } ways[] = {{"Close", QDialog::Accepted}, {"Escape", QDialog::Rejected}, {"close box", QDialog::Rejected}};
    for (const auto& way : ways) {
        auto dialog = sandbox.MakeDialog();
        dialog->OnInitDialog();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        const QString how = QString::fromUtf8(way.how);
        const auto closeIt = [&] {
            if (how == QLatin1String("Close"))
                Click(*dialog, 1034);
            else if (how == QLatin1String("Escape"))
                QTest::keyClick(dialog->GetDlgItem(1003), Qt::Key_Escape);
            else
                dialog->close();
        };
        TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Not lost on closing"));
        sandbox.Log()->messages.clear();
        sandbox.Log()->answers = {kIdCancel};
        closeIt();
        QVERIFY2(dialog->isVisible(), way.how);
        QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
        QVERIFY(sandbox.Log()->messages[0].buttons == PromptButtons::SaveDiscardCancel);
        QCOMPARE(sandbox.Log()->messages[0].caption, std::string("Kestro Orrery"));
        QCOMPARE(sandbox.Log()->messages[0].text, kSaveQuestion + path);

        sandbox.Log()->answers = {kIdDiscard};
        dialog->setResult(-1);
        closeIt();
        QVERIFY2(!dialog->isVisible(), way.how);
        QCOMPARE(dialog->result(), way.result);
        QCOMPARE(ReadBytes(path), before);
    }

    // Nothing unsaved: Close closes at once.
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    dialog->show();
    sandbox.Log()->messages.clear();
    Click(*dialog, 1034);
    QVERIFY(!dialog->isVisible());
    QVERIFY(sandbox.Log()->messages.empty());
}

void SaveTest::profilesFolderInTheWayIsReported()
{
    // The program folder can't hold a Profiles folder, and neither can the data folder
    // that stands in for it then.
    CSandbox sandbox;
    QVERIFY(sandbox.WriteFile("program/Profiles", "not a folder"));
    QVERIFY(sandbox.WriteFile("data/orrery", "not a folder either"));
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    const std::string folder = sandbox.Path("data/orrery/Profiles");
    const std::string settings = sandbox.Path("config/Kestro.conf");
    QCOMPARE(RegistryKeyFilePath(kHkeyCurrentUser, "Software\\Kestro"), settings);
    // Told once the window shows, not before.
    QVERIFY(sandbox.Log()->messages.empty());
    dialog->show();
    QTRY_COMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    const std::string text = sandbox.Log()->messages[0].text;
    QVERIFY2(text.rfind("The Profiles folder could not be created:\n\n" + folder + "\n" + std::strerror(ENOTDIR) +
                            "\n\n",
                        0) == 0,
             text.c_str());
    QVERIFY2(text.find("\"Path\" value in the settings file " + settings) != std::string::npos, text.c_str());
    QVERIFY(text.find("Save As") != std::string::npos);
    dialog->hide();
    dialog->show();
    QTest::qWait(20);
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));

    // Profiles live in memory: the defaults are shown, a Save fails aloud and Save As
    // can put one somewhere else.
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("generic.Standard.xml"));
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Elsewhere"));
    Click(*dialog, 1032);
    QVERIFY(sandbox.Log()->messages.back().text.rfind(kNotSaved + folder + "/generic.Standard.xml\n", 0) == 0);
    QCOMPARE(ReadBytes(sandbox.Path("program/Profiles")), std::string("not a folder"));
    QCOMPARE(ReadBytes(sandbox.Path("data/orrery")), std::string("not a folder either"));
    const std::string elsewhere = sandbox.Path("generic.Elsewhere.xml");
    sandbox.Log()->saveAnswers = {{elsewhere, "generic.Elsewhere.xml"}};
    Click(*dialog, 1011);
    QCOMPARE(sandbox.Log()->saveRequests.back().initialFolder, folder);
    QCOMPARE(LoadProfileFile(elsewhere).description, std::string("Elsewhere"));
}

void SaveTest::missingInstallProfilesFolderIsReported()
{
    CSandbox sandbox;
    const std::string install = sandbox.Path("converter");
    QVERIFY(QDir().mkpath(QString::fromStdString(install)));
    QCOMPARE(WriteRegistryValue(kHkeyCurrentUser, "Software\\Kestro", "Path", install + "/conv.exe"), kErrorSuccess);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    const std::string expected = "The Profiles folder could not be read:\n\n" + install + "/Profiles\n" +
                                 std::strerror(ENOENT) + "\n\n";
    QVERIFY2(dialog->StartupProblem().rfind(expected, 0) == 0, dialog->StartupProblem().c_str());
    // The converter's folder is not the editor's to fill.
    QVERIFY(!QFile::exists(QString::fromStdString(install + "/Profiles")));
    dialog->show();
    QTRY_COMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    QCOMPARE(sandbox.Log()->messages[0].text, dialog->StartupProblem());
    QVERIFY(sandbox.Log()->messages[0].buttons == PromptButtons::Ok);
}

void SaveTest::usableFolderReportsNothing()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QVERIFY(dialog->StartupProblem().empty());
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QTest::qWait(20);
    QVERIFY(sandbox.Log()->messages.empty());
}

void SaveTest::libraryForgetsProfilesOfTheSameFile()
{
    CSandbox sandbox;
    QVERIFY(sandbox.WriteFile("program/Profiles/x.One.xml", "<profile/>"));
    editor::CProfileLibrary library;
    profile::CProfileFile one;
    one.CreateDefault();
    one.device = "a";
    one.SetFileName(sandbox.Path("program/Profiles/x.One.xml"), "x.One");
    profile::CProfileFile same = one;
    same.device = "b";
    same.SetFileName(sandbox.Path("program/../program/Profiles/x.One.xml"), "x.One");
    profile::CProfileFile other = one;
    other.SetFileName(sandbox.Path("program/Profiles/x.Two.xml"), "x.Two");
    profile::CProfileFile unsaved = one;
    unsaved.SetFileName({}, {});
    for (const profile::CProfileFile* p : {&one, &same, &other, &unsaved})
        library.AddProfile(p->device, *p);

    QCOMPARE(library.ForgetProfilesAt({}), std::size_t(0));
    QCOMPARE(library.ForgetProfilesAt(sandbox.Path("program/Profiles/./x.One.xml")), std::size_t(2));
    QCOMPARE(library.Size(), std::size_t(2));
    QVERIFY(FileExists(sandbox.Path("program/Profiles/x.One.xml")));
    // A file not written yet is named by its text.
    QCOMPARE(library.ForgetProfilesAt(sandbox.Path("program/Profiles/x.Two.xml")), std::size_t(1));
    QCOMPARE(library.Size(), std::size_t(1));
}

void SaveTest::eightBitNamesAndTextsKeepTheirBytes()
{
    // A file name and a description in an 8-bit code page, neither of them UTF-8.
    CSandbox sandbox;
    WriteTwoProfiles(sandbox);
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/latin.xml", "Template.Standard.xml", "Latin", "generic",
                                 {}, "caf\xe9"));
    const std::string folder = sandbox.Path("program/Profiles/");
    const std::string path = folder + "generic.caf\xe9.xml";
    QCOMPARE(std::rename((folder + "latin.xml").c_str(), path.c_str()), 0);
    const std::string other = testfiles::ReadBytes(folder + "generic.A.xml");
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();

    QVERIFY(Choose(dialog->GetDlgItem(1028), QStringLiteral("generic.caf\u00e9.xml")));
    QCOMPARE(Text(*dialog, 1003), QStringLiteral("caf\u00e9"));
    QCOMPARE(Text(*dialog, 1065), QStringLiteral("Latin"));
    TypeInto(dialog->GetDlgItem(1065), QStringLiteral("Renamed"));
    Click(*dialog, 1032);
    QCOMPARE(sandbox.Log()->messages.back().text, kSaved + path);
    const std::string bytes = testfiles::ReadBytes(path);
    QVERIFY2(bytes.find("description=\"caf\xe9\"") != std::string::npos, bytes.c_str());
    QVERIFY(bytes.find("name=\"Renamed\"") != std::string::npos);
    QCOMPARE(testfiles::ReadBytes(folder + "generic.A.xml"), other);
}

QTEST_MAIN(SaveTest)
#include "test_save.moc"
