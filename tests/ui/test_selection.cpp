// Choosing what is edited on the real window: device and profile selection with the
// save question, Add Device, Remove Device, the output type buttons, the output file
// format with its codecs and the audio copy switch, and the video bitrate trio.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

#include "UiTestSupport.h"
#include "controls/FieldNumericEdit.h"
#include "controls/SkinListCtrl.h"
#include "ui/OrreryDlg.h"

namespace {

std::size_t CountOf(const editor::CProfileLibrary& library, const std::string& device)
{
    return static_cast<std::size_t>(library.Entries().count(device));
}

const std::string kSaveQuestion = "Do you want to save the changed profile?\n\n";
const std::string kSaved = "Profile saved successfully!\n\n";
const std::string kEmptyName = "The profile name can't be empty!\n\n";

} // namespace

class SelectionTest : public QObject {
    Q_OBJECT

private slots:
    void switchingDeviceWithEditsYesWritesFirst();
    void switchingDeviceWithEditsNoDropsThem();
    void switchingProfileAfterSavingLoadsTheChoice();
    void emptyProfileNameKeepsTheDevice();
    void emptyProfileNameKeepsTheProfile();
    void choosingWhatIsShownChangesNothing();
    void addDeviceMakesTwoProfilesInMemory();
    void addDeviceWithoutTemplatesKeepsTheTwoFilesApart();
    void addKnownDeviceOnlySelectsIt();
    void addDeviceRefusesNamesThatCannotBeFileNames();
    void addDeviceStaysWhenAsked();
    void removeDeviceDeletesFilesOfBothTypes();
    void removingTheLastDeviceEmptiesTheSelector();
    void renameDeviceDoesNothing();
    void outputTypeButtonsSwitchTheProfiles();
    void outputTypeStaysWhenAsked();
    void leavingAChangedBuiltInSavesItAsItsOwnType();
    void formatChoiceRefillsTheCodecs();
    void copyFormatInAudioOnly();
    void copyCheckBoxInVideoAndAudio();
    void bitrateColoursAndSlider();
};

void SelectionTest::switchingDeviceWithEditsYesWritesFirst()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    const std::string path = sandbox.Path("program/Profiles/generic.Standard.xml");
    QVERIFY(!FileExists(path));

    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Edited words"));
    QVERIFY(dialog->IsChanged());
    QVERIFY(Choose(dialog->GetDlgItem(1027), QStringLiteral("psp")));

    const auto& messages = sandbox.Log()->messages;
    QCOMPARE(messages.size(), std::size_t(2));
    QCOMPARE(messages[0].text, kSaveQuestion + path);
    QVERIFY(messages[0].buttons == PromptButtons::YesNoCancel);
    QCOMPARE(messages[0].caption, std::string("Kestro Orrery"));
    QCOMPARE(messages[1].text, kSaved + path);

    // The old profile reached the disk before the new device was shown.
    const std::string bytes = ReadBytes(path);
    QVERIFY2(bytes.find("description=\"Edited words\"") != std::string::npos, bytes.c_str());
    QVERIFY(bytes.find("device=\"generic\"") != std::string::npos);
    QVERIFY(bytes.find("name=\"default\"") != std::string::npos);
    QVERIFY(bytes.find("tag=\"\"") != std::string::npos);
    QCOMPARE(LoadProfileFile(path).description, std::string("Edited words"));
    profile::CProfileFile kept;
    QVERIFY(dialog->Library().FindProfile("generic", "generic.Standard.xml", kept));
    QCOMPARE(kept.description, std::string("Edited words"));
    QCOMPARE(CountOf(dialog->Library(), "generic"), std::size_t(2));

    QCOMPARE(Text(*dialog, 1028), QStringLiteral("psp.Standard.xml"));
    QCOMPARE(Text(*dialog, 1004), QStringLiteral("psp"));
    QCOMPARE(dialog->TypeFile().Device(), std::string("psp"));
    QVERIFY(!dialog->IsChanged());
}

void SelectionTest::switchingDeviceWithEditsNoDropsThem()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    const QString original = Text(*dialog, 1003);
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Dropped words"));
    sandbox.Log()->answers = {kIdNo};
    QVERIFY(Choose(dialog->GetDlgItem(1027), QStringLiteral("psp")));
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("psp.Standard.xml"));
    QVERIFY(!dialog->IsChanged());
    QVERIFY(!FileExists(sandbox.Path("program/Profiles/generic.Standard.xml")));

    // Nothing unsaved is left: going back asks nothing and shows the old text.
    QVERIFY(Choose(dialog->GetDlgItem(1027), QStringLiteral("generic")));
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    QCOMPARE(Text(*dialog, 1003), original);
}

void SelectionTest::switchingProfileAfterSavingLoadsTheChoice()
{
    CSandbox sandbox;
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.A.xml", "Template.Standard.xml", "Alpha", "generic"));
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.B.xml", "Template.Standard.xml", "Beta", "generic"));
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), (QStringList{"generic.A.xml", "generic.B.xml"}));
    QCOMPARE(Text(*dialog, 1065), QStringLiteral("Alpha"));

    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Alpha edited"));
    QVERIFY(Choose(dialog->GetDlgItem(1028), QStringLiteral("generic.B.xml")));
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(2));
    QCOMPARE(LoadProfileFile(sandbox.Path("program/Profiles/generic.A.xml")).description, std::string("Alpha edited"));
    // The saved profile went to the end; the choice is shown and selected.
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), (QStringList{"generic.B.xml", "generic.A.xml"}));
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("generic.B.xml"));
    QCOMPARE(Text(*dialog, 1065), QStringLiteral("Beta"));
    QCOMPARE(dialog->TypeFile().FileTitle(), std::string("generic.B"));
    QVERIFY(!dialog->IsChanged());
}

void SelectionTest::emptyProfileNameKeepsTheDevice()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1065), QString());
    QVERIFY(dialog->IsChanged());

    sandbox.Log()->answers = {kIdOk};
    QVERIFY(Choose(dialog->GetDlgItem(1027), QStringLiteral("psp")));
    const auto& messages = sandbox.Log()->messages;
    QCOMPARE(messages.size(), std::size_t(1));
    QCOMPARE(messages[0].text, kEmptyName + sandbox.Path("program/Profiles/generic.Standard.xml"));
    QVERIFY(messages[0].buttons == PromptButtons::OkDiscard);
    // OK stays: the old device is selected again and nothing was loaded.
    QCOMPARE(Text(*dialog, 1027), QStringLiteral("generic"));
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("generic.Standard.xml"));
    QCOMPARE(Text(*dialog, 1004), QStringLiteral("generic"));
    QCOMPARE(Text(*dialog, 1065), QString());
    QVERIFY(dialog->IsChanged());

    // "Discard changes" goes ahead without saving.
    sandbox.Log()->answers = {kIdDiscard};
    QVERIFY(Choose(dialog->GetDlgItem(1027), QStringLiteral("psp")));
    QCOMPARE(messages.size(), std::size_t(2));
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("psp.Standard.xml"));
    QCOMPARE(Text(*dialog, 1065), QStringLiteral("default"));
    QVERIFY(!FileExists(sandbox.Path("program/Profiles/generic.Standard.xml")));
}

void SelectionTest::emptyProfileNameKeepsTheProfile()
{
    CSandbox sandbox;
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.A.xml", "Template.Standard.xml", "Alpha", "generic"));
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.B.xml", "Template.Standard.xml", "Beta", "generic"));
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1065), QString());
    sandbox.Log()->answers = {kIdOk};
    QVERIFY(Choose(dialog->GetDlgItem(1028), QStringLiteral("generic.B.xml")));
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    // The selector lists file names: the shown profile's file name comes back.
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("generic.A.xml"));
    QCOMPARE(dialog->TypeFile().FileTitle(), std::string("generic.A"));
    QCOMPARE(Text(*dialog, 1065), QString());
}

void SelectionTest::choosingWhatIsShownChangesNothing()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Kept words"));
    QVERIFY(Choose(dialog->GetDlgItem(1027), QStringLiteral("generic")));
    QVERIFY(Choose(dialog->GetDlgItem(1028), QStringLiteral("generic.Standard.xml")));
    QVERIFY(sandbox.Log()->messages.empty());
    QCOMPARE(Text(*dialog, 1003), QStringLiteral("Kept words"));
    QVERIFY(dialog->IsChanged());
}

void SelectionTest::addDeviceMakesTwoProfilesInMemory()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    const std::size_t before = dialog->Library().Size();
    TypeInto(dialog->GetDlgItem(1004), QStringLiteral("tv"));
    Click(*dialog, 1041);

    QVERIFY(sandbox.Log()->messages.empty());
    QCOMPARE(dialog->Library().Size(), before + 2);
    std::vector<profile::CProfileFile> video;
    std::vector<profile::CProfileFile> audio;
    QVERIFY(dialog->Library().CollectProfiles("tv", 0, video));
    QVERIFY(dialog->Library().CollectProfiles("tv", 2, audio));
    QCOMPARE(video.size(), std::size_t(1));
    QCOMPARE(audio.size(), std::size_t(1));
    QCOMPARE(video[0].filePath, sandbox.Path("program/Profiles/tv.Standard.xml"));
    QCOMPARE(audio[0].filePath, sandbox.Path("program/Profiles/tv.Audio.xml"));
    QVERIFY(!FileExists(video[0].filePath));
    QVERIFY(!FileExists(audio[0].filePath));

    auto* devices = ItemOf<QComboBox>(*dialog, 1027);
    QCOMPARE(devices->itemText(devices->count() - 1), QStringLiteral("tv"));
    QCOMPARE(devices->currentIndex(), devices->count() - 1);
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), QStringList{"tv.Standard.xml"});
    QCOMPARE(Text(*dialog, 1004), QStringLiteral("tv"));
    QCOMPARE(Text(*dialog, 1000), QString::fromStdString(video[0].filePath));
    // The new device counts as unsaved: leaving it asks.
    QVERIFY(dialog->IsChanged());
    sandbox.Log()->answers = {kIdNo};
    QVERIFY(Choose(devices, QStringLiteral("psp")));
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    QCOMPARE(sandbox.Log()->messages[0].text, kSaveQuestion + video[0].filePath);

    // With "Audio Only" checked the new device shows its audio profile.
    Click(*dialog, 1064);
    TypeInto(dialog->GetDlgItem(1004), QStringLiteral("radio"));
    Click(*dialog, 1041);
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), QStringList{"radio.Audio.xml"});
    QCOMPARE(dialog->TypeFile().Type(), 2);
    QCOMPARE(dialog->Library().Size(), before + 4);
}

// Without templates both new profiles are made from the defaults; each still has a file
// of its own, so saving one never overwrites the other.
void SelectionTest::addDeviceWithoutTemplatesKeepsTheTwoFilesApart()
{
    CSandbox sandbox(false);
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1004), QStringLiteral("tv"));
    Click(*dialog, 1041);
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Video words"));
    sandbox.Log()->answers = {kIdYes};
    Click(*dialog, 1032);
    Click(*dialog, 1064);
    QCOMPARE(dialog->TypeFile().Type(), 2);
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Audio words"));
    sandbox.Log()->answers = {kIdYes};
    Click(*dialog, 1032);

    const std::string videoPath = sandbox.Path("program/Profiles/tv.Standard.xml");
    const std::string audioPath = sandbox.Path("program/Profiles/tv.Audio.xml");
    QVERIFY(FileExists(videoPath));
    QVERIFY(FileExists(audioPath));
    const profile::CProfileFile video = LoadProfileFile(videoPath);
    const profile::CProfileFile audio = LoadProfileFile(audioPath);
    QCOMPARE(video.type, 0);
    QCOMPARE(video.description, std::string("Video words"));
    QCOMPARE(audio.type, 2);
    QCOMPARE(audio.description, std::string("Audio words"));
}

void SelectionTest::addKnownDeviceOnlySelectsIt()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    const std::size_t before = dialog->Library().Size();
    const QStringList devices = ComboTexts(dialog->GetDlgItem(1027));
    TypeInto(dialog->GetDlgItem(1004), QStringLiteral("psp"));
    Click(*dialog, 1041);
    QCOMPARE(dialog->Library().Size(), before);
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1027)), devices);
    QCOMPARE(Text(*dialog, 1027), QStringLiteral("psp"));
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("psp.Standard.xml"));
    QVERIFY(!dialog->IsChanged());
}

void SelectionTest::addDeviceRefusesNamesThatCannotBeFileNames()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("Unsaved"));
    const std::size_t before = dialog->Library().Size();
    const QStringList devices = ComboTexts(dialog->GetDlgItem(1027));
    const auto& messages = sandbox.Log()->messages;
    const char* const refused[] = {"tv/box", "..", "back\\slash", "   ", " psp", "GENERIC"};
    for (const char* name : refused) {
        ItemOf<QLineEdit>(*dialog, 1004)->setText(QString::fromUtf8(name));
        Click(*dialog, 1041);
        const std::string expected = name == std::string("GENERIC")
            ? "A device named \"generic\" exists already; its name differs only in upper and lower case."
            : std::string("The device name can't be used as a file name.\n\n") + name;
        QCOMPARE(messages.back().text, expected);
        QVERIFY(messages.back().buttons == PromptButtons::Ok);
        QCOMPARE(dialog->Library().Size(), before);
        QCOMPARE(ComboTexts(dialog->GetDlgItem(1027)), devices);
        QCOMPARE(Text(*dialog, 1027), QStringLiteral("generic"));
        QCOMPARE(Text(*dialog, 1003), QStringLiteral("Unsaved"));
        QVERIFY(dialog->IsChanged());
    }
    // No save question was asked: nothing was going to change.
    QCOMPARE(messages.size(), std::size_t(6));
    QVERIFY(QDir(QString::fromStdString(sandbox.Path("program/Profiles"))).isEmpty());

    // An empty name box does nothing at all.
    ItemOf<QLineEdit>(*dialog, 1004)->clear();
    Click(*dialog, 1041);
    QCOMPARE(messages.size(), std::size_t(6));
}

void SelectionTest::addDeviceStaysWhenAsked()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    const std::size_t before = dialog->Library().Size();
    TypeInto(dialog->GetDlgItem(1065), QString());
    TypeInto(dialog->GetDlgItem(1004), QStringLiteral("tv"));
    sandbox.Log()->answers = {kIdOk};
    Click(*dialog, 1041);
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    QVERIFY(sandbox.Log()->messages[0].text.rfind(kEmptyName, 0) == 0);
    QCOMPARE(Text(*dialog, 1004), QStringLiteral("generic"));
    QCOMPARE(dialog->Library().Size(), before);
    QVERIFY(!ComboTexts(dialog->GetDlgItem(1027)).contains(QStringLiteral("tv")));
}

void SelectionTest::removeDeviceDeletesFilesOfBothTypes()
{
    CSandbox sandbox;
    const std::string movie = sandbox.Path("program/Profiles/psp.Movie.xml");
    const std::string music = sandbox.Path("program/Profiles/psp.Music.xml");
    const std::string other = sandbox.Path("program/Profiles/generic.Keep.xml");
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/psp.Movie.xml", "Template.Standard.xml", "Movie", "psp"));
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/psp.Music.xml", "Template.Audio.xml", "Music", "psp"));
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.Keep.xml", "Template.Standard.xml", "Keep", "generic"));
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QVERIFY(Choose(dialog->GetDlgItem(1027), QStringLiteral("psp")));
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("psp.Movie.xml"));

    const std::string question =
        "All the profiles which belong to device (psp) will be deleted. Are you sure to do it?\n\n"
        "Profile files that go to the desktop trash: 2";
    sandbox.Log()->answers = {kIdCancel};
    Click(*dialog, 1061);
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    QCOMPARE(sandbox.Log()->messages[0].text, question);
    QVERIFY(sandbox.Log()->messages[0].buttons == PromptButtons::OkCancel);
    QVERIFY(FileExists(movie));
    QVERIFY(FileExists(music));
    QCOMPARE(CountOf(dialog->Library(), "psp"), std::size_t(2));

    const std::string movieBytes = ReadBytes(movie);
    Click(*dialog, 1061);
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(2));
    QVERIFY(!FileExists(movie));
    QVERIFY(!FileExists(music));
    QCOMPARE(ReadBytes(sandbox.Path("data/Trash/files/psp.Movie.xml")), movieBytes);
    QVERIFY(FileExists(sandbox.Path("data/Trash/files/psp.Music.xml")));
    QVERIFY(FileExists(other));
    QCOMPARE(CountOf(dialog->Library(), "psp"), std::size_t(0));
    QVERIFY(!ComboTexts(dialog->GetDlgItem(1027)).contains(QStringLiteral("psp")));
    // The first device is shown instead.
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1027)->currentIndex(), 0);
    QCOMPARE(Text(*dialog, 1027), QStringLiteral("generic"));
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("generic.Keep.xml"));
    QVERIFY(!dialog->IsChanged());
}

void SelectionTest::removingTheLastDeviceEmptiesTheSelector()
{
    CSandbox sandbox;
    QVERIFY(sandbox.WriteFile("program/Orrery.xml", "<editor>\r\n<profile device_list=\"tv\"/>\r\n</editor>\r\n"));
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QCOMPARE(Text(*dialog, 1004), QStringLiteral("tv"));
    Click(*dialog, 1061);
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1027)->count(), 0);
    QCOMPARE(Text(*dialog, 1004), QString());
    QCOMPARE(dialog->Library().Size(), std::size_t(0));
    // Nothing left to remove.
    Click(*dialog, 1061);
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
}

void SelectionTest::renameDeviceDoesNothing()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1004), QStringLiteral("renamed"));
    const std::size_t before = dialog->Library().Size();
    const QStringList devices = ComboTexts(dialog->GetDlgItem(1027));
    const bool changed = dialog->IsChanged();
    QVERIFY(!dialog->GetDlgItem(1042)->isVisible());
    Click(*dialog, 1042);
    QVERIFY(sandbox.Log()->messages.empty());
    QCOMPARE(dialog->Library().Size(), before);
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1027)), devices);
    QCOMPARE(Text(*dialog, 1004), QStringLiteral("renamed"));
    QCOMPARE(dialog->IsChanged(), changed);
}

void SelectionTest::outputTypeButtonsSwitchTheProfiles()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    Click(*dialog, 1064);
    QVERIFY(sandbox.Log()->messages.empty());
    QCOMPARE(dialog->OutputType(), 2);
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), QStringList{"generic.Audio.xml"});
    QCOMPARE(dialog->TypeFile().Type(), 2);
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1029)).value(0), QStringLiteral("copy"));
    QCOMPARE(Text(*dialog, 1029), QStringLiteral("mp3"));
    QCOMPARE(EnabledOtherThan(*dialog, COrreryDlg::kVideoControls, false), QList<int>{});
    QCOMPARE(EnabledOtherThan(*dialog, COrreryDlg::kAudioControls, true), QList<int>{});
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1030)->count(), 0);
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1033)->count(), 0);
    QCOMPARE(ItemOf<CSkinListCtrl>(*dialog, 1012)->RowCount(), 0);
    QCOMPARE(ItemOf<CSkinListCtrl>(*dialog, 1019)->RowCount(), 0);
    for (int id : {1015, 1016, 1024, 1026})
        QCOMPARE(Text(*dialog, id), QString());
    QCOMPARE(ItemOf<QSlider>(*dialog, 1023)->value(), 0);
    QCOMPARE(ListTexts(ItemOf<CSkinListCtrl>(*dialog, 1022)),
             (QStringList{"64 kbps", "128 kbps", "192 kbps", "256 kbps", "320 kbps"}));
    QVERIFY(!dialog->IsChanged());

    // A second click on the checked button reloads nothing.
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("audio words"));
    Click(*dialog, 1064);
    QVERIFY(sandbox.Log()->messages.empty());
    QCOMPARE(Text(*dialog, 1003), QStringLiteral("audio words"));

    sandbox.Log()->answers = {kIdNo};
    Click(*dialog, 1063);
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    QCOMPARE(dialog->OutputType(), 0);
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), QStringList{"generic.Standard.xml"});
    QCOMPARE(EnabledOtherThan(*dialog, COrreryDlg::kVideoControls, true), QList<int>{});
    QCOMPARE(ItemOf<QSlider>(*dialog, 1023)->value(), 1200);
    QCOMPARE(ItemOf<CSkinListCtrl>(*dialog, 1012)->RowCount(), 4);
    QVERIFY(!dialog->IsChanged());
}

void SelectionTest::outputTypeStaysWhenAsked()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    TypeInto(dialog->GetDlgItem(1065), QString());
    sandbox.Log()->answers = {kIdOk};
    Click(*dialog, 1064);
    QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
    QVERIFY(ItemOf<QRadioButton>(*dialog, 1063)->isChecked());
    QVERIFY(!ItemOf<QRadioButton>(*dialog, 1064)->isChecked());
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), QStringList{"generic.Standard.xml"});
    QCOMPARE(ItemOf<CSkinListCtrl>(*dialog, 1012)->RowCount(), 4);
    QCOMPARE(EnabledOtherThan(*dialog, COrreryDlg::kVideoControls, true), QList<int>{});
}

void SelectionTest::leavingAChangedBuiltInSavesItAsItsOwnType()
{
    CSandbox sandbox;
    QVERIFY(WriteTemplateProfile(sandbox, "program/Profiles/generic.Shipped.xml", "Template.Standard.xml", "Shipped",
                                 "generic", "kestro_default"));
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QCOMPARE(Text(*dialog, 1028), QStringLiteral("generic.Shipped.xml (built-in)"));
    TypeInto(dialog->GetDlgItem(1003), QStringLiteral("My video"));
    const std::string mine = sandbox.Path("program/Profiles/generic.Mine.xml");
    sandbox.Log()->saveAnswers = {{mine, "generic.Mine.xml"}};
    Click(*dialog, 1064);

    const auto& messages = sandbox.Log()->messages;
    QCOMPARE(messages.size(), std::size_t(2));
    QVERIFY(messages[0].text.rfind("The profile can't be saved since it belongs to Kestro.", 0) == 0);
    QCOMPARE(messages[1].text, kSaved + mine);
    // The profile left was a video profile and is saved as one.
    const profile::CProfileFile saved = LoadProfileFile(mine);
    QCOMPARE(saved.type, 0);
    QCOMPARE(saved.description, std::string("My video"));
    QVERIFY(saved.HasValue("common.video.size.list"));
    QVERIFY(ReadBytes(sandbox.Path("program/Profiles/generic.Shipped.xml")).find("kestro_default") != std::string::npos);
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1028)), QStringList{"generic.Audio.xml"});
}

void SelectionTest::formatChoiceRefillsTheCodecs()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QVERIFY(Choose(dialog->GetDlgItem(1029), QStringLiteral("avi")));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1030)), (QStringList{"h264", "mpeg4", "xvid"}));
    QCOMPARE(Text(*dialog, 1030), QStringLiteral("h264"));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1031)), QStringList{"mp3"});
    QVERIFY(dialog->IsChanged());
    QVERIFY(!ItemOf<QCheckBox>(*dialog, 1036)->isChecked());

    QVERIFY(Choose(dialog->GetDlgItem(1029), QStringLiteral("wmv")));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1030)), QStringList{"wmv9"});
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1031)), QStringList{"wma9"});
}

void SelectionTest::copyFormatInAudioOnly()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    Click(*dialog, 1064);
    QVERIFY(!dialog->IsChanged());
    QVERIFY(Choose(dialog->GetDlgItem(1029), QStringLiteral("copy")));
    QVERIFY(ItemOf<QCheckBox>(*dialog, 1036)->isChecked());
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1031)->count(), 0);
    QCOMPARE(ItemOf<CSkinListCtrl>(*dialog, 1020)->RowCount(), 0);
    QCOMPARE(ItemOf<CSkinListCtrl>(*dialog, 1022)->RowCount(), 0);
    QCOMPARE(EnabledOtherThan(*dialog, COrreryDlg::kAudioControls, false), QList<int>{});
    QVERIFY(dialog->IsChanged());

    // Another format gives the audio back, filled from the profile.
    QVERIFY(Choose(dialog->GetDlgItem(1029), QStringLiteral("mp3")));
    QVERIFY(!ItemOf<QCheckBox>(*dialog, 1036)->isChecked());
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1031)), QStringList{"mp3"});
    QCOMPARE(ListTexts(ItemOf<CSkinListCtrl>(*dialog, 1020)), (QStringList{"32 kHz", "44.1 kHz", "48 kHz"}));
    QCOMPARE(CheckedRows(ItemOf<CSkinListCtrl>(*dialog, 1020)), QList<int>{1});
    QCOMPARE(EnabledOtherThan(*dialog, COrreryDlg::kAudioControls, true), QList<int>{});

    // Saved as copying: no format, no audio codec section.
    QVERIFY(Choose(dialog->GetDlgItem(1029), QStringLiteral("copy")));
    ItemOf<QPushButton>(*dialog, 1032)->click();
    const std::string path = sandbox.Path("program/Profiles/generic.Audio.xml");
    const std::string bytes = ReadBytes(path);
    QVERIFY2(bytes.find("format=\"\"") != std::string::npos, bytes.c_str());
    QVERIFY(bytes.find("copy=\"1\"") != std::string::npos);
    QVERIFY(bytes.find("<acodec") == std::string::npos);
    QVERIFY(bytes.find("type=\"2\"") != std::string::npos);
    // Shown again, it is a copying profile.
    QVERIFY(Choose(dialog->GetDlgItem(1027), QStringLiteral("psp")));
    QVERIFY(Choose(dialog->GetDlgItem(1027), QStringLiteral("generic")));
    QCOMPARE(Text(*dialog, 1029), QStringLiteral("copy"));
    QVERIFY(ItemOf<QCheckBox>(*dialog, 1036)->isChecked());
    QVERIFY(!dialog->GetDlgItem(1031)->isEnabled());
}

void SelectionTest::copyCheckBoxInVideoAndAudio()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    Click(*dialog, 1036);
    QVERIFY(ItemOf<QCheckBox>(*dialog, 1036)->isChecked());
    QVERIFY(dialog->IsChanged());
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1031)->count(), 0);
    QCOMPARE(ItemOf<CSkinListCtrl>(*dialog, 1022)->RowCount(), 0);
    QCOMPARE(EnabledOtherThan(*dialog, COrreryDlg::kAudioControls, false), QList<int>{});
    // The video side is not touched.
    QCOMPARE(ItemOf<CSkinListCtrl>(*dialog, 1012)->RowCount(), 4);
    QVERIFY(dialog->GetDlgItem(1036)->isEnabled());

    Click(*dialog, 1036);
    QVERIFY(!ItemOf<QCheckBox>(*dialog, 1036)->isChecked());
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1031)), QStringList{"aac"});
    QCOMPARE(ListTexts(ItemOf<CSkinListCtrl>(*dialog, 1022)),
             (QStringList{"64 kbps", "96 kbps", "128 kbps", "192 kbps"}));
    QCOMPARE(CheckedRows(ItemOf<CSkinListCtrl>(*dialog, 1022)), QList<int>{2});
    QCOMPARE(EnabledOtherThan(*dialog, COrreryDlg::kAudioControls, true), QList<int>{});
}

void SelectionTest::bitrateColoursAndSlider()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    auto* slider = ItemOf<QSlider>(*dialog, 1023);
    auto* defaultEdit = ItemOf<CFieldNumericEdit>(*dialog, 1026);
    auto* maxEdit = ItemOf<CFieldNumericEdit>(*dialog, 1024);
    const QColor red(255, 0, 0);
    const QColor white(255, 255, 255);
    QCOMPARE(slider->minimum(), 100);
    QCOMPARE(slider->maximum(), 2500);
    QCOMPARE(slider->value(), 1200);
    QCOMPARE(defaultEdit->FillColor(), white);
    QCOMPARE(maxEdit->FillColor(), white);

    // Outside the range: red with the range in its tooltip, the slider stays, and the
    // value is an edit that Save stores as typed.
    defaultEdit->setText(QStringLiteral("6000"));
    QCOMPARE(defaultEdit->FillColor(), red);
    QCOMPARE(defaultEdit->toolTip(), QStringLiteral("The default bitrate must lie between 100 and 2500 kbps."));
    QCOMPARE(slider->value(), 1200);
    QVERIFY(dialog->IsChanged());
    ItemOf<QPushButton>(*dialog, 1032)->click();
    QVERIFY(ReadBytes(sandbox.Path("program/Profiles/generic.Standard.xml")).find("bitrate_kbps=\"6000\"") !=
            std::string::npos);
    defaultEdit->setText(QStringLiteral("99"));
    QCOMPARE(defaultEdit->FillColor(), red);
    defaultEdit->setText(QStringLiteral("800"));
    QCOMPARE(defaultEdit->FillColor(), white);
    QCOMPARE(defaultEdit->toolTip(), QString());
    QCOMPARE(slider->value(), 800);
    QVERIFY(dialog->IsChanged());

    // A maximum below the position is red and leaves the range alone.
    maxEdit->setText(QStringLiteral("500"));
    QCOMPARE(maxEdit->FillColor(), red);
    QCOMPARE(maxEdit->toolTip(),
             QStringLiteral("The maximum bitrate must not be below the default bitrate of 800 kbps."));
    QCOMPARE(slider->maximum(), 2500);
    maxEdit->setText(QStringLiteral("3000"));
    QCOMPARE(maxEdit->FillColor(), white);
    QCOMPARE(slider->maximum(), 3000);

    // A drag ends with the default bitrate at the handle.
    slider->setSliderDown(true);
    slider->setSliderPosition(1500);
    QCOMPARE(defaultEdit->text(), QStringLiteral("800"));
    slider->setSliderDown(false);
    QCOMPARE(defaultEdit->text(), QStringLiteral("1500"));
    // So does a step with the keyboard.
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(slider->value(), 1501);
    QCOMPARE(defaultEdit->text(), QStringLiteral("1501"));

    // What the edits hold reaches the file.
    ItemOf<QPushButton>(*dialog, 1032)->click();
    const std::string bytes = ReadBytes(sandbox.Path("program/Profiles/generic.Standard.xml"));
    QVERIFY2(bytes.find("bitrate_kbps=\"1501\"") != std::string::npos, bytes.c_str());
    QVERIFY(bytes.find("maxbitrate_kbps=\"3000\"") != std::string::npos);
    QVERIFY(bytes.find("minbitrate_kbps=\"100\"") != std::string::npos);

    // Loading another profile gives both edits their white back.
    maxEdit->setText(QStringLiteral("1"));
    QCOMPARE(maxEdit->FillColor(), red);
    sandbox.Log()->answers = {kIdNo};
    QVERIFY(Choose(dialog->GetDlgItem(1027), QStringLiteral("psp")));
    QCOMPARE(maxEdit->FillColor(), white);
    QCOMPARE(maxEdit->toolTip(), QString());
    QCOMPARE(defaultEdit->FillColor(), white);
}

QTEST_MAIN(SelectionTest)
#include "test_selection.moc"
