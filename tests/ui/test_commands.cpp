// What the window adds to the session's commands: the caption, the "Profile" menu
// button, the keys (over the text fields' own), the watch on the Profiles folder and
// the state file, on the real window with files on disk.

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>

#include <fstream>

#include "UiTestSupport.h"
#include "tests/TestFiles.h"
#include "editor/EditorState.h"
#include "editor/StringTable.h"
#include "ui/OrreryDlg.h"
#include "ui/ProfilesWatcher.h"

namespace {

using Command = COrreryDlg::WindowCommand;

const QString kCaptionEnd = QString::fromUtf8("[*] \u2014 Kestro Orrery (1.0.0.1 Beta)");

void WriteProfiles(const CSandbox& sandbox)
{
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.A.xml", "Template.Standard.xml", "Alpha", "generic"));
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.B.xml", "Template.Standard.xml", "Shipped",
                                 "generic", "kestro_default"));
}

void Press(QWidget* widget, QKeySequence keys)
{
    const QKeyCombination key = keys[0];
    QTest::keyClick(widget, key.key(), key.keyboardModifiers());
    QCoreApplication::processEvents();
}

} // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void captionAndMenusFollowTheShownProfile();
    void keysReachTheCommandsOverTheTextFields();
    void folderChangesAndThePlaceReachTheWindow();
    void watcherWatchesEachProfileFileAfterTheFolder();
};

void CommandsTest::captionAndMenusFollowTheShownProfile()
{
    CSandbox sandbox;
    WriteProfiles(sandbox);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("generic.A.xml") + kCaptionEnd);
    QVERIFY(!dialog->isWindowModified());
    TypeInto(dialog->GetDlgItem(kIdcDescription), QStringLiteral("edited"));
    QVERIFY(dialog->isWindowModified());

    // The button sits right of the file-name selector, over no other control.
    auto* button = ItemOf<QPushButton>(*dialog, kIdcProfileMenu);
    QVERIFY(button != nullptr && button->menu() == dialog->ProfileMenu());
    QVERIFY(button->geometry().left() >= dialog->GetDlgItem(kIdcProfileSelector)->geometry().right());
    for (QWidget* other : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other != button && other->isVisibleTo(dialog.get()) && qobject_cast<QGroupBox*>(other) == nullptr)
            QVERIFY2(!other->geometry().intersects(button->geometry()), qPrintable(other->objectName()));
    }
    for (Command command : {Command::Undo, Command::Revert, Command::Duplicate, Command::Rename, Command::Delete}) {
        QVERIFY(dialog->ProfileMenu()->actions().contains(dialog->CommandAction(command)));
        QVERIFY(dialog->SystemMenu()->actions().contains(dialog->CommandAction(command)));
    }

    // A built-in profile says so in the caption and the selector, which still finds it
    // by its file name; it can't be renamed or deleted, and the entries say why.
    sandbox.Log()->answers = {kIdNo};
    QVERIFY(Choose(dialog->GetDlgItem(kIdcProfileSelector), QStringLiteral("generic.B.xml")));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("generic.B.xml (built-in)") + kCaptionEnd);
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcProfileSelector)),
             QStringList({QStringLiteral("generic.A.xml"), QStringLiteral("generic.B.xml (built-in)")}));
    QCOMPARE(dialog->TypeFile().Name(), std::string("Shipped"));
    QVERIFY(!dialog->CommandAction(Command::Rename)->isEnabled());
    QCOMPARE(dialog->CommandAction(Command::Delete)->toolTip(),
             QString::fromStdString(editor::LoadString(editor::kIdsBuiltInNoDelete)));
    QVERIFY(dialog->CommandAction(Command::Duplicate)->isEnabled());
}

void CommandsTest::keysReachTheCommandsOverTheTextFields()
{
    CSandbox sandbox;
    WriteProfiles(sandbox);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    auto* name = ItemOf<QLineEdit>(*dialog, kIdcProfileName);
    name->setFocus();
    QTest::keyClicks(name, QStringLiteral("X"));
    QCoreApplication::processEvents();
    Click(*dialog, kIdcCopySource);
    QCoreApplication::processEvents();
    QVERIFY(ItemOf<QCheckBox>(*dialog, kIdcCopySource)->isChecked());

    // In the name field, Ctrl+Z is the window's: the check box goes back, the name stays.
    name->setFocus();
    Press(name, QKeySequence(Qt::CTRL | Qt::Key_Z));
    QVERIFY(!ItemOf<QCheckBox>(*dialog, kIdcCopySource)->isChecked());
    QCOMPARE(name->text(), QStringLiteral("AlphaX"));
    Press(name, QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(name->text(), QStringLiteral("Alpha"));
    QVERIFY(!dialog->isWindowModified());
    Press(name, QKeySequence(Qt::CTRL | Qt::Key_Y));
    Press(name, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    QVERIFY(ItemOf<QCheckBox>(*dialog, kIdcCopySource)->isChecked());

    Press(name, QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(LoadProfileFile(sandbox.Path("program/Profiles/generic.A.xml")).name, std::string("AlphaX"));
    Press(name, QKeySequence(Qt::CTRL | Qt::Key_D));
    QVERIFY(FileExists(sandbox.Path("program/Profiles/generic.AlphaX copy.xml")));
    sandbox.Log()->textAnswers = {"Gamma"};
    Press(name, QKeySequence(Qt::Key_F2));
    QVERIFY(FileExists(sandbox.Path("program/Profiles/generic.Gamma.xml")));
    QVERIFY(!FileExists(sandbox.Path("program/Profiles/generic.AlphaX copy.xml")));
    const std::size_t requests = sandbox.Log()->saveRequests.size();
    Press(name, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    QCOMPARE(sandbox.Log()->saveRequests.size(), requests + 1);
    Press(name, QKeySequence(Qt::CTRL | Qt::Key_W));
    QVERIFY(!dialog->isVisible());
}

void CommandsTest::folderChangesAndThePlaceReachTheWindow()
{
    CSandbox sandbox;
    WriteProfiles(sandbox);
    editor::EditorPlace place;
    place.device = "generic";
    place.profile = "generic.B.xml";
    place.hasWindowPosition = true;
    place.windowX = 31;
    place.windowY = 17;
    std::string reason;
    QVERIFY(editor::WriteEditorPlace(sandbox.Path("state/orrery/state.ini"), place, reason));
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QCOMPARE(dialog->TypeFile().Name(), std::string("Shipped"));
    QCOMPARE(dialog->pos(), QPoint(31, 17));

    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.C.xml", "Template.Standard.xml", "Gamma", "generic"));
    QTRY_COMPARE(ComboTexts(dialog->GetDlgItem(kIdcProfileSelector)).size(), 3);

    // The shown file rewritten in place (no rename the folder's watch would see) is
    // shown again.
    const std::string shown = sandbox.Path("program/Profiles/generic.B.xml");
    std::string text = ReadBytes(shown);
    const std::size_t at = text.find("name=\"Shipped\"");
    QVERIFY(at != std::string::npos);
    text.replace(at, 14, "name=\"Rewritten\"");
    {
        std::ofstream inPlace(shown, std::ios::binary | std::ios::trunc);
        inPlace << text;
    }
    QTRY_COMPARE(dialog->TypeFile().Name(), std::string("Rewritten"));

    dialog->reject();
    editor::EditorPlace kept;
    QVERIFY(editor::ReadEditorPlace(sandbox.Path("state/orrery/state.ini"), kept));
    QCOMPARE(kept.profile, std::string("generic.B.xml"));
    QVERIFY(!FileExists(sandbox.Path("config/Kestro.conf")));
}

void CommandsTest::watcherWatchesEachProfileFileAfterTheFolder()
{
    CSandbox sandbox;
    const QString folder = QString::fromStdString(sandbox.Path("watched"));
    QVERIFY(QDir().mkpath(folder + "/folder.xml"));
    const std::string file = sandbox.Path("watched/a.xml");
    testfiles::WriteBytes(file, "<profile/>");
    QVERIFY(QFile::link("a.xml", folder + "/link.xml"));
    QCOMPARE(::mkfifo(sandbox.Path("watched/pipe.xml").c_str(), 0600), 0);
    testfiles::WriteBytes(sandbox.Path("watched/notes.txt"), "");

    CProfilesWatcher watcher;
    QSignalSpy told(&watcher, &CProfilesWatcher::FolderChanged);
    watcher.Watch(folder);
    // The files come a moment after the folder: the regular files and links to them.
    QVERIFY(watcher.WatchedFiles().isEmpty());
    QTRY_COMPARE(watcher.WatchedFiles().size(), 2);
    QStringList watched = watcher.WatchedFiles();
    watched.sort();
    QCOMPARE(watched, QStringList({folder + "/a.xml", folder + "/link.xml"}));
    QCOMPARE(told.size(), 0);

    // A rewrite in place, which the folder's own watch does not see, is told.
    {
        std::ofstream inPlace(file, std::ios::binary | std::ios::trunc);
        inPlace << "<profile name=\"b\"/>";
    }
    QTRY_COMPARE(told.size(), 1);
}

QTEST_MAIN(CommandsTest)
#include "test_commands.moc"
