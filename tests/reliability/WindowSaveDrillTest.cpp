// Save drills on the real window, for what happens to the file behind its back while
// the editor runs (the folder gone and a file-size limit are in tests/ui/test_save.cpp):
// a directory or a folder-turned-file where the profile was, and another program's file
// written over it. A failed save shows "The profile could not be saved." with the path
// and the system's reason, leaves what stands at the path, the library, the selector
// and the change flag as they were; a save over a replaced file writes the user's profile.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QtTest>

#include <cerrno>
#include <cstring>

#include "../ui/UiTestSupport.h"
#include "ui/OrreryDlg.h"

namespace {

const std::string kNotSaved = "The profile could not be saved.\n\n";
const std::string kSaved = "Profile saved successfully!\n\n";

struct Window {
    CSandbox sandbox;
    std::unique_ptr<COrreryDlg> dialog;
    std::string path;

    bool Open()
    {
        if (!WriteTemplateProfile(sandbox, "program/Profiles/generic.A.xml", "Template.Standard.xml", "Alpha",
                                  "generic", {}, "First words"))
            return false;
        path = sandbox.Path("program/Profiles/generic.A.xml");
        dialog = sandbox.MakeDialog();
        dialog->OnInitDialog();
        TypeInto(dialog->GetDlgItem(kIdcDescription), QStringLiteral("Edited words"));
        return dialog->IsChanged() && dialog->TypeFile().FilePath() == path;
    }
    void Save() { qobject_cast<QPushButton*>(dialog->GetDlgItem(kIdcSave))->click(); }
    const std::string& LastMessage() const { return sandbox.Log()->messages.back().text; }
    // The library's copy of the profile: its description, or "<none>".
    std::string LibraryDescription() const
    {
        for (const auto& [device, profile] : dialog->Library().Entries())
            if (profile.filePath == path)
                return profile.description;
        return "<none>";
    }
};

} // namespace

class WindowSaveDrillTest : public QObject {
    Q_OBJECT
private slots:
    void fileReplacedByADirectory();
    void folderReplacedByAFile();
    void fileReplacedByAnotherProgramsFile();
};

void WindowSaveDrillTest::fileReplacedByADirectory()
{
    Window w;
    QVERIFY(w.Open());
    QVERIFY(QFile::remove(QString::fromStdString(w.path)));
    QVERIFY(QDir().mkpath(QString::fromStdString(w.path + "/inside")));
    w.Save();
    QCOMPARE(w.LastMessage(), kNotSaved + w.path + "\n" + std::strerror(EISDIR));
    QVERIFY(QDir(QString::fromStdString(w.path + "/inside")).exists());
    QVERIFY(w.dialog->IsChanged());
    QCOMPARE(w.LibraryDescription(), std::string("First words"));
    QCOMPARE(ComboTexts(w.dialog->GetDlgItem(kIdcProfileSelector)), QStringList{"generic.A.xml"});
    QCOMPARE(QDir(QString::fromStdString(w.sandbox.Path("program/Profiles"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{});
}

void WindowSaveDrillTest::folderReplacedByAFile()
{
    Window w;
    QVERIFY(w.Open());
    const QString folder = QString::fromStdString(w.sandbox.Path("program/Profiles"));
    QVERIFY(QDir(folder).removeRecursively());
    QVERIFY(w.sandbox.WriteFile("program/Profiles", "in the way"));
    w.Save();
    QCOMPARE(w.LastMessage(), kNotSaved + w.path + "\n" + std::strerror(ENOTDIR));
    QCOMPARE(ReadBytes(folder.toStdString()), std::string("in the way"));
    QVERIFY(w.dialog->IsChanged());
    QCOMPARE(w.LibraryDescription(), std::string("First words"));
}

void WindowSaveDrillTest::fileReplacedByAnotherProgramsFile()
{
    Window w;
    QVERIFY(w.Open());
    QVERIFY(w.sandbox.WriteFile("program/Profiles/.other", ProfileText("Theirs", "generic", 0)));
    QVERIFY(std::rename(w.sandbox.Path("program/Profiles/.other").c_str(), w.path.c_str()) == 0);
    w.Save();
    QCOMPARE(w.LastMessage(), kSaved + w.path);
    const profile::CProfileFile written = LoadProfileFile(w.path);
    QCOMPARE(written.name, std::string("Alpha"));
    QCOMPARE(written.description, std::string("Edited words"));
    QVERIFY(!w.dialog->IsChanged());
    QCOMPARE(w.LibraryDescription(), std::string("Edited words"));
    QCOMPARE(QDir(QString::fromStdString(w.sandbox.Path("program/Profiles"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{"generic.A.xml"});
}

QTEST_MAIN(WindowSaveDrillTest)
#include "WindowSaveDrillTest.moc"
