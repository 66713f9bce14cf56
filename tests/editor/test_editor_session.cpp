// The editing session's workflows, run without a window: a plain view that keeps
// selectors and texts in memory and, like the real controls, reports every text it is
// given as an edit, the prompt double answering, and real files in a temporary
// program folder holding the shipped templates.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <map>

#include "editor/EditorSession.h"
#include "editor/ProfileKeys.h"
#include "editor/StringTable.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/editor/PromptDouble.h"

using namespace editor;
using editor_test::ReadBytes;
using editor_test::ScopedConfigHome;
using editor_test::TempDir;

namespace {

class CMemoryView : public CEditorView {
public:
    CEditorSession* session = nullptr;   // told of edits, as the window's notifications do
    std::map<Selector, std::vector<std::string>> items;
    std::map<Selector, int> selected;
    std::map<TextBox, std::string> texts;
    std::string description;
    std::string audioBitrates;   // the audio lists, as the profile stores one of them
    int outputType = kVideoAndAudio;
    bool copy = false;
    std::map<ControlGroup, bool> enabled;
    std::vector<bool> changedReports;

    void FillSelector(Selector s, const std::vector<std::string>& list) override
    {
        items[s] = list;
        selected[s] = list.empty() ? -1 : 0;
    }
    void AppendItem(Selector s, const std::string& text) override { items[s].push_back(text); }
    void RemoveItem(Selector s, int index) override { items[s].erase(items[s].begin() + index); }
    std::vector<std::string> Items(Selector s) const override { return items.count(s) ? items.at(s) : Strings{}; }
    int SelectedIndex(Selector s) const override { return selected.count(s) ? selected.at(s) : -1; }
    void SelectIndex(Selector s, int index) override { selected[s] = index; }
    std::string ReadText(TextBox box) const override { return texts.count(box) ? texts.at(box) : std::string(); }
    void ShowText(TextBox box, const std::string& text) override
    {
        texts[box] = text;
        Edited();
    }
    int ChosenOutputType() const override { return outputType; }
    void ShowOutputType(int type) override { outputType = type; }
    bool IsCopyChecked() const override { return copy; }
    void ShowCopyChecked(bool checked) override { copy = checked; }
    void ClearProfileControls() override
    {
        texts.clear();
        description.clear();
        audioBitrates.clear();
        copy = false;
        for (Selector s : {Selector::Format, Selector::VideoCodec, Selector::AudioCodec, Selector::EncodingMode})
            FillSelector(s, {});
        Edited();
    }
    void ClearVideoControls() override {}
    void ClearAudioLists() override { audioBitrates.clear(); }
    void LoadProfileToControls(CTypeFile& holder) override
    {
        ShowText(TextBox::ProfilePath, holder.FilePath());
        ShowText(TextBox::DeviceName, holder.Device());
        description = holder.Description();
        LoadAudioLists(holder);
    }
    void LoadAudioLists(CTypeFile& holder) override { holder.GetValue(keys::kAudioBitrates, audioBitrates); }
    void StoreAudioLists(CTypeFile& holder) override { holder.SetValue(keys::kAudioBitrates, audioBitrates); }
    void StoreControlsToProfile(CTypeFile& holder) override
    {
        holder.SetDescription(description);
        StoreAudioLists(holder);
    }
    void EnableGroup(ControlGroup group, bool on) override { enabled[group] = on; }
    void ChangedStateChanged(bool changed) override { changedReports.push_back(changed); }

    std::string Selected(Selector s) const
    {
        const int index = SelectedIndex(s);
        return index < 0 ? std::string() : Items(s).at(index);
    }
    void Choose(Selector s, const std::string& text)
    {
        const auto list = Items(s);
        selected[s] = static_cast<int>(std::find(list.begin(), list.end(), text) - list.begin());
    }
    // The user types a new description.
    void TypeDescription(const std::string& text)
    {
        description = text;
        Edited();
    }

private:
    using Strings = std::vector<std::string>;
    void Edited()
    {
        if (session != nullptr)
            session->MarkChanged();
    }
};

constexpr int kIdDescriptionField = 1003;

class EditorSessionTest : public ::testing::Test {
protected:
    TempDir temp;
    ScopedConfigHome config{temp / "config"};
    // Removed profiles go to this trash, never the user's.
    testfiles::ScopedEnv dataHome{"XDG_DATA_HOME", (temp / "data").c_str()};
    std::shared_ptr<PromptLog> log = std::make_shared<PromptLog>();
    CPromptDouble prompt{log};
    CMemoryView view;
    CEditorSession session{view, prompt};

    std::string Program() const { return temp.Str() + "/program"; }
    std::string ProfilePath(const std::string& name) const { return Program() + "/Profiles/" + name; }

    void SetUp() override
    {
        for (const char* name : {"Template.Standard.xml", "Template.Audio.xml"})
            editor_test::WriteBytes(temp / "program" / name, ReadBytes(std::string(ORRERY_DATA_DIR) + "/" + name));
        editor_test::fs::create_directories(temp / "program" / "Profiles");
        view.session = &session;
    }

    // A video profile of the generic device on disk, made from the shipped template.
    void WriteProfile(const std::string& fileName, const std::string& name, const std::string& tag = {})
    {
        profile::CProfileFile profile;
        profile.CreateDefault();
        ASSERT_TRUE(profile.Load(Program() + "/Template.Standard.xml"));
        profile.name = name;
        profile.device = "generic";
        profile.tag = tag;
        ASSERT_TRUE(profile.Save(ProfilePath(fileName)));
    }

    std::string LastMessage() const { return log->messages.empty() ? "<none>" : log->messages.back().text; }
};

profile::CProfileFile ReadProfile(const std::string& path)
{
    profile::CProfileFile profile;
    profile.CreateDefault();
    profile.Load(path);
    return profile;
}

std::string Says(int id, const std::string& path)
{
    return LoadString(id) + "\n\n" + path;
}

TEST_F(EditorSessionTest, StartShowsTheFirstProfileUnchangedAndFillingIsNoEdit)
{
    WriteProfile("generic.A.xml", "Alpha");
    WriteProfile("generic.B.xml", "Beta");
    EXPECT_TRUE(session.IsChangeSuppressed());
    session.Start(Program());

    EXPECT_EQ(view.Selected(Selector::Device), "generic");
    EXPECT_EQ(view.Items(Selector::Profile), (std::vector<std::string>{"generic.A.xml", "generic.B.xml"}));
    EXPECT_EQ(view.ReadText(TextBox::ProfileName), "Alpha");
    EXPECT_EQ(view.ReadText(TextBox::ProfilePath), ProfilePath("generic.A.xml"));
    EXPECT_EQ(view.Selected(Selector::Format), "mp4");
    // The load reported its texts as edits; none of them counts.
    EXPECT_FALSE(session.IsChanged());
    EXPECT_FALSE(session.IsChangeSuppressed());
    EXPECT_TRUE(view.changedReports.empty());

    view.TypeDescription("edited");
    EXPECT_TRUE(session.IsChanged());
    {
        const CEditorSession::CSuppressChanges guard(session);
        EXPECT_TRUE(session.IsChangeSuppressed());
    }
    EXPECT_FALSE(session.IsChangeSuppressed());
    view.Choose(Selector::Profile, "generic.B.xml");
    log->answers = {kIdNo};
    session.ProfileChosen();
    EXPECT_EQ(view.ReadText(TextBox::ProfileName), "Beta");
    EXPECT_FALSE(session.IsChanged());
    EXPECT_EQ(view.changedReports, (std::vector<bool>{true, false}));
}

TEST_F(EditorSessionTest, SaveQuestionDecidesWhetherTheSelectionMoves)
{
    WriteProfile("generic.A.xml", "Alpha");
    session.Start(Program());
    const std::string path = ProfilePath("generic.A.xml");
    const std::string before = ReadBytes(path);

    // Unchanged: no question.
    EXPECT_EQ(session.PromptSaveChanges(kIdsSaveChanged, kVideoAndAudio), PromptResult::GoAhead);
    EXPECT_TRUE(log->messages.empty());

    // An empty name asks with OK (stay) and "Discard changes" (go ahead); Escape stays.
    view.texts[TextBox::ProfileName] = "";
    log->answers = {kIdOk, kPressEscape, kIdDiscard};
    EXPECT_EQ(session.PromptSaveChanges(kIdsSaveChanged, kVideoAndAudio), PromptResult::Stay);
    EXPECT_EQ(session.PromptSaveChanges(kIdsSaveChanged, kVideoAndAudio), PromptResult::Stay);
    EXPECT_EQ(session.PromptSaveChanges(kIdsSaveChanged, kVideoAndAudio), PromptResult::GoAhead);
    EXPECT_EQ(log->messages.back().buttons, PromptButtons::OkDiscard);
    EXPECT_EQ(LastMessage(), Says(kIdsEmptyProfileName, path));

    // Changed: Escape (or Cancel) stays, No goes ahead without writing, Yes writes.
    view.texts[TextBox::ProfileName] = "Alpha";
    view.TypeDescription("new words");
    log->answers = {kPressEscape, kIdNo};
    EXPECT_EQ(session.PromptSaveChanges(kIdsSaveChanged, kVideoAndAudio), PromptResult::Stay);
    EXPECT_TRUE(session.IsChanged());
    EXPECT_EQ(session.PromptSaveChanges(kIdsSaveChanged, kVideoAndAudio), PromptResult::GoAhead);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(session.PromptSaveChanges(kIdsSaveChanged, kVideoAndAudio), PromptResult::Saved);
    EXPECT_EQ(ReadProfile(path).description, "new words");
    EXPECT_EQ(LastMessage(), Says(kIdsProfileSaved, path));
    EXPECT_FALSE(session.IsChanged());
}

TEST_F(EditorSessionTest, StayingPutsTheChoiceBack)
{
    WriteProfile("generic.A.xml", "Alpha");
    session.Start(Program());
    view.texts[TextBox::ProfileName] = "";
    view.Choose(Selector::Device, "psp");
    log->answers = {kIdOk};
    session.DeviceChosen();
    EXPECT_EQ(view.Selected(Selector::Device), "generic");
    EXPECT_EQ(session.TypeFile().Device(), "generic");

    view.ShowOutputType(kAudioOnly);
    log->answers = {kIdOk};
    session.AudioOnlyChosen();
    EXPECT_EQ(view.outputType, kVideoAndAudio);
    EXPECT_EQ(view.Items(Selector::Profile), std::vector<std::string>{"generic.A.xml"});
}

TEST_F(EditorSessionTest, ClosingWithChangesAsksSaveDiscardOrCancel)
{
    WriteProfile("generic.A.xml", "Alpha");
    WriteProfile("generic.Shipped.xml", "Shipped", "kestro_default");
    session.Start(Program());
    EXPECT_EQ(session.RequestClose(), CloseDecision::Close);
    EXPECT_TRUE(log->messages.empty());

    const std::string path = ProfilePath("generic.A.xml");
    const std::string before = ReadBytes(path);
    view.TypeDescription("unsaved");
    log->answers = {kPressEscape, kIdCancel, kIdDiscard};
    EXPECT_EQ(session.RequestClose(), CloseDecision::Stay);
    EXPECT_EQ(session.RequestClose(), CloseDecision::Stay);
    EXPECT_EQ(session.RequestClose(), CloseDecision::Close);
    EXPECT_EQ(log->messages.back().buttons, PromptButtons::SaveDiscardCancel);
    EXPECT_EQ(LastMessage(), Says(kIdsSaveChanged, path));
    EXPECT_EQ(ReadBytes(path), before);

    // Save writes without a second question, then closes.
    log->messages.clear();
    EXPECT_EQ(session.RequestClose(), CloseDecision::Close);
    ASSERT_EQ(log->messages.size(), 2u);
    EXPECT_EQ(LastMessage(), Says(kIdsProfileSaved, path));
    EXPECT_EQ(ReadProfile(path).description, "unsaved");

    // A built-in profile goes through Save As; cancelling it keeps the window open.
    view.Choose(Selector::Profile, "generic.Shipped.xml");
    session.ProfileChosen();
    view.TypeDescription("mine");
    EXPECT_EQ(session.RequestClose(), CloseDecision::Stay);
    EXPECT_EQ(log->saveRequests.size(), 1u);
    log->saveAnswers = {{ProfilePath("generic.Mine.xml"), "generic.Mine.xml"}};
    EXPECT_EQ(session.RequestClose(), CloseDecision::Close);
    EXPECT_EQ(ReadProfile(ProfilePath("generic.Mine.xml")).description, "mine");
}

TEST_F(EditorSessionTest, SaveRewritesInPlaceAndMovesTheItemToTheEnd)
{
    WriteProfile("generic.A.xml", "Alpha");
    WriteProfile("generic.B.xml", "Beta");
    session.Start(Program());
    // Nothing changed and the file is there: nothing to do, nothing said.
    session.Save();
    EXPECT_TRUE(log->messages.empty());

    view.TypeDescription("changed");
    session.Save();
    const std::string path = ProfilePath("generic.A.xml");
    ASSERT_EQ(log->messages.size(), 2u);
    EXPECT_EQ(log->messages[0].text, Says(kIdsSaveChanged, path));
    EXPECT_EQ(LastMessage(), Says(kIdsProfileSaved, path));
    EXPECT_EQ(view.Items(Selector::Profile), (std::vector<std::string>{"generic.B.xml", "generic.A.xml"}));
    EXPECT_EQ(view.Selected(Selector::Profile), "generic.A.xml");
    EXPECT_EQ(ReadProfile(path).description, "changed");
    EXPECT_FALSE(session.IsChanged());
}

TEST_F(EditorSessionTest, FailedWriteKeepsEditsLibraryAndFile)
{
    WriteProfile("generic.A.xml", "Alpha");
    session.Start(Program());
    view.TypeDescription("changed");
    const std::string path = temp.Str() + "/missing/folder/x.xml";
    EXPECT_EQ(session.WriteProfile(path, "x.xml", "Alpha"), WriteResult::NotWritten);
    EXPECT_EQ(LastMessage().rfind(Says(kIdsSaveFailed, path), 0), 0u);
    EXPECT_TRUE(session.IsChanged());
    EXPECT_EQ(session.TypeFile().FilePath(), ProfilePath("generic.A.xml"));
    std::vector<profile::CProfileFile> kept;
    session.Library().CollectProfiles("generic", kVideoAndAudio, kept);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].filePath, ProfilePath("generic.A.xml"));
    EXPECT_NE(kept[0].description, "changed");
    EXPECT_EQ(view.Items(Selector::Profile), std::vector<std::string>{"generic.A.xml"});
}

TEST_F(EditorSessionTest, ChangedBuiltInProfileIsSavedAsAFreshDeviceProfile)
{
    WriteProfile("generic.Shipped.xml", "Shipped", "kestro_default");
    session.Start(Program());
    view.TypeDescription("mine");
    const std::string copy = ProfilePath("generic.Mine.xml");
    log->answers = {kIdYes};
    log->saveAnswers = {{copy, "generic.Mine.xml"}};
    session.Save();

    EXPECT_EQ(log->messages.front().text, Says(kIdsBuiltInProfile, ProfilePath("generic.Shipped.xml")));
    ASSERT_EQ(log->saveRequests.size(), 1u);
    EXPECT_EQ(log->saveRequests[0].initialFolder, Program() + "/Profiles");
    // The copy is proposed under a name of its own.
    EXPECT_EQ(log->saveRequests[0].initialFileName, "generic Shipped copy.xml");
    const profile::CProfileFile written = ReadProfile(copy);
    EXPECT_EQ(written.description, "mine");
    EXPECT_EQ(written.tag, "");
    EXPECT_EQ(written.name, "generic Shipped copy");
    EXPECT_EQ(view.ReadText(TextBox::ProfileName), "generic Shipped copy");
    EXPECT_EQ(view.Selected(Selector::Profile), "generic.Mine.xml");
    EXPECT_EQ(view.ReadText(TextBox::ProfilePath), copy);
    EXPECT_FALSE(session.IsChanged());
}

TEST_F(EditorSessionTest, AddAndRemoveDevice)
{
    WriteProfile("generic.A.xml", "Alpha", "kestro_default");
    // An audio template with the video template's suffix.
    std::string audioTemplate = ReadBytes(Program() + "/Template.Audio.xml");
    audioTemplate.replace(audioTemplate.find("Template.Audio"), 14, "Audio.Standard");
    editor_test::WriteBytes(temp / "program" / "Audio.xml", audioTemplate);
    editor_test::WriteBytes(temp / "program" / "Orrery.xml",
                            "<editor>\r\n<profile device_list=\"generic,a/b\"/>\r\n</editor>\r\n");
    session.Start(Program());
    view.texts[TextBox::DeviceName] = "bad/name";
    session.AddDevice();
    EXPECT_EQ(LastMessage(), Says(kIdsBadDeviceName, "bad/name"));

    view.texts[TextBox::DeviceName] = "camera";
    session.AddDevice();
    EXPECT_EQ(view.Items(Selector::Device).back(), "camera");
    EXPECT_EQ(view.Selected(Selector::Device), "camera");
    EXPECT_EQ(view.ReadText(TextBox::ProfilePath), ProfilePath("camera.Standard.xml"));
    std::vector<profile::CProfileFile> audio;
    session.Library().CollectProfiles("camera", kAudioOnly, audio);
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(audio[0].filePath, ProfilePath("camera.Standard-2.xml"));
    // Its profiles are only in the library until saved.
    EXPECT_TRUE(session.IsChanged());

    log->answers = {kIdCancel};
    session.RemoveDevice();
    EXPECT_EQ(LastMessage(), FormatString(kIdsRemoveDevice, "camera") + "\n\n" + FormatString(kIdsRemoveDeviceFiles, "0"));
    EXPECT_TRUE(session.Library().HasProfileOfType("camera", kVideoAndAudio));

    // A device without a profile of the type shows none and offers nothing to edit;
    // removing it leaves the other devices' files alone.
    view.Choose(Selector::Device, "a/b");
    log->answers = {kIdNo};
    session.DeviceChosen();
    EXPECT_FALSE(session.TypeFile().HasCurrentProfile());
    EXPECT_TRUE(view.Items(Selector::Profile).empty());
    EXPECT_EQ(view.ReadText(TextBox::ProfilePath), "");
    EXPECT_FALSE(view.enabled[ControlGroup::Profile]);
    EXPECT_FALSE(view.enabled[ControlGroup::Video]);
    log->answers = {kIdOk};
    session.RemoveDevice();
    EXPECT_EQ(log->messages.back().text.rfind(FormatString(kIdsRemoveDevice, "a/b"), 0), 0u);
    EXPECT_TRUE(editor_test::fs::exists(ProfilePath("generic.A.xml")));
    EXPECT_EQ(view.Selected(Selector::Device), "generic");
    EXPECT_TRUE(view.enabled[ControlGroup::Profile]);

    // The question counts the files and names the shipped ones; they go to the trash.
    const std::string shipped = ReadBytes(ProfilePath("generic.A.xml"));
    log->answers = {kIdOk};
    session.RemoveDevice();
    EXPECT_EQ(LastMessage(), FormatString(kIdsRemoveDevice, "generic") + "\n\n" +
                                 FormatString(kIdsRemoveDeviceFiles, "1") + "\n" +
                                 FormatString(kIdsRemoveDeviceBuiltIn, "generic.A.xml"));
    EXPECT_FALSE(editor_test::fs::exists(ProfilePath("generic.A.xml")));
    EXPECT_EQ(ReadBytes((temp / "data/Trash/files/generic.A.xml").string()), shipped);
    EXPECT_FALSE(session.Library().HasProfileOfType("generic", kVideoAndAudio));
    EXPECT_EQ(view.Items(Selector::Device), std::vector<std::string>{"camera"});
    EXPECT_EQ(session.TypeFile().Device(), "camera");
    EXPECT_FALSE(session.IsChanged());
}

TEST_F(EditorSessionTest, RemoveDeviceSaysWhichFilesCannotGoAndKeepsTheDevice)
{
    WriteProfile("generic.A.xml", "Alpha");
    session.Start(Program());
    editor_test::fs::permissions(temp.Path(), editor_test::fs::perms(0755));
    editor_test::fs::permissions(temp / "program/Profiles", editor_test::fs::perms(0555));
    const int status = testfiles::RunAsOtherUser([this] {
        log->answers = {kIdOk};
        session.RemoveDevice();
        const bool told = LastMessage() == LoadString(kIdsRemoveFailed) + "\n\n" + ProfilePath("generic.A.xml") +
                                               "\nPermission denied";
        return told && session.Library().HasProfileOfType("generic", kVideoAndAudio) &&
                       view.Selected(Selector::Device) == "generic" ? 0 : 1;
    });
    editor_test::fs::permissions(temp / "program/Profiles", editor_test::fs::perms(0755));
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(editor_test::fs::exists(ProfilePath("generic.A.xml")));
}

TEST_F(EditorSessionTest, AudioOnlyShowsTheAudioProfilesWithoutVideoControls)
{
    session.Start(Program());
    view.ShowOutputType(kAudioOnly);
    session.AudioOnlyChosen();
    EXPECT_EQ(view.Items(Selector::Profile), std::vector<std::string>{"generic.Audio.xml"});
    EXPECT_EQ(session.TypeFile().Type(), kAudioOnly);
    EXPECT_FALSE(view.enabled[ControlGroup::Video]);
    EXPECT_EQ(view.Items(Selector::Format).front(), kCopyFormat);
    EXPECT_FALSE(session.IsChanged());
}

TEST_F(EditorSessionTest, AudioListsSurviveTheCopySwitchAndFormatChanges)
{
    session.Start(Program());
    view.audioBitrates = "64000";
    view.copy = true;
    session.ApplyCopyState();
    EXPECT_EQ(view.audioBitrates, "");
    view.copy = false;
    session.ApplyCopyState();
    EXPECT_EQ(view.audioBitrates, "64000");

    view.ShowOutputType(kAudioOnly);
    session.AudioOnlyChosen();
    view.audioBitrates = "32000";
    for (const char* format : {"wav", kCopyFormat, "mp3"}) {
        view.Choose(Selector::Format, format);
        session.FormatChosen();
        EXPECT_EQ(view.audioBitrates, format == kCopyFormat ? "" : "32000") << format;
    }
}

TEST_F(EditorSessionTest, CapturedFormHoldsTheEditsAndLeavesTheProfileAlone)
{
    session.Start(Program());
    view.TypeDescription("captured");
    view.texts[TextBox::ProfileName] = "Renamed";
    const FormState form = session.CaptureForm();
    EXPECT_EQ(form.profile.description, "captured");
    EXPECT_EQ(form.profile.name, "Renamed");
    EXPECT_EQ(form.device, "generic");
    EXPECT_EQ(form.fileName, "generic.Standard.xml");
    EXPECT_NE(session.TypeFile().Description(), "captured");
    EXPECT_TRUE(session.IsChanged());
}

// A keystroke in the description field.
void Type(CMemoryView& view, CEditorSession& session, const std::string& text)
{
    view.description = text;
    session.MarkChanged(kIdDescriptionField);
    session.CommitEdit();
}

using Names = std::vector<std::string>;

TEST_F(EditorSessionTest, UndoStepsThroughTypingRunsAndChoicesBackToTheSavedForm)
{
    WriteProfile("generic.A.xml", "Alpha");
    WriteProfile("generic.B.xml", "Beta");
    session.Start(Program());
    const std::string original = view.description;
    for (const char* text : {"n", "ne", "new"})
        Type(view, session, text);
    view.texts[TextBox::ProfileName] = "Renamed";
    session.MarkChanged();
    session.CommitEdit();

    session.Undo();
    EXPECT_EQ(view.ReadText(TextBox::ProfileName), "Alpha");
    EXPECT_EQ(view.description, "new");
    EXPECT_TRUE(session.IsChanged());
    session.Undo();
    EXPECT_EQ(view.description, original);
    EXPECT_FALSE(session.IsChanged());
    EXPECT_FALSE(session.CanUndo());
    session.Redo();
    session.Redo();
    EXPECT_EQ(view.ReadText(TextBox::ProfileName), "Renamed");
    EXPECT_FALSE(session.CanRedo());

    // A save is the new clean point, with the step before it still there.
    session.Save();
    EXPECT_FALSE(session.IsChanged());
    session.Undo();
    EXPECT_TRUE(session.IsChanged());
    session.Redo();
    EXPECT_FALSE(session.IsChanged());
    EXPECT_EQ(view.changedReports.back(), false);
    // A load starts again.
    view.Choose(Selector::Profile, "generic.B.xml");
    session.ProfileChosen();
    EXPECT_FALSE(session.CanUndo());
}

TEST_F(EditorSessionTest, DuplicateAndRenameKeepTheFileNamesFree)
{
    WriteProfile("generic.A.xml", "Alpha");
    WriteProfile("generic.Alpha copy.xml", "Other");
    session.Start(Program());
    Type(view, session, "edited");
    const std::string original = ReadBytes(ProfilePath("generic.A.xml"));
    session.Duplicate();
    const std::string copy = ProfilePath("generic.Alpha copy-2.xml");
    EXPECT_EQ(ReadProfile(copy).name, "Alpha copy");
    EXPECT_EQ(ReadProfile(copy).description, "edited");
    EXPECT_EQ(ReadBytes(ProfilePath("generic.A.xml")), original);
    EXPECT_EQ(view.Selected(Selector::Profile), "generic.Alpha copy-2.xml");
    EXPECT_EQ(view.ReadText(TextBox::ProfileName), "Alpha copy");
    EXPECT_FALSE(session.IsChanged());

    EXPECT_FALSE(session.RenameTo("Alpha copy"));
    EXPECT_EQ(LastMessage(), FormatString(kIdsNameTaken, "generic.Alpha copy.xml"));
    EXPECT_FALSE(session.RenameTo(" spaced"));
    EXPECT_EQ(LastMessage(), Says(kIdsBadProfileName, " spaced"));
    // The file is renamed as saved; the form's edits stay edits.
    Type(view, session, "unsaved");
    log->textAnswers = {"Beta"};
    session.Rename();
    EXPECT_FALSE(editor_test::fs::exists(copy));
    const profile::CProfileFile renamed = ReadProfile(ProfilePath("generic.Beta.xml"));
    EXPECT_EQ(renamed.name, "Beta");
    EXPECT_EQ(renamed.description, "edited");
    EXPECT_EQ(view.description, "unsaved");
    EXPECT_TRUE(session.IsChanged());
    EXPECT_EQ(view.Items(Selector::Profile), (Names{"generic.A.xml", "generic.Alpha copy.xml", "generic.Beta.xml"}));
    EXPECT_EQ(view.Selected(Selector::Profile), "generic.Beta.xml");
}

TEST_F(EditorSessionTest, DeleteMovesTheFileToTheTrashAndShowsTheNextProfile)
{
    testfiles::ScopedEnv data("XDG_DATA_HOME", (temp / "data").c_str());
    WriteProfile("generic.A.xml", "Alpha");
    WriteProfile("generic.B.xml", "Beta");
    WriteProfile("generic.C.xml", "Shipped", "kestro_default");
    session.Start(Program());
    log->answers = {kIdCancel};
    session.Delete();
    EXPECT_TRUE(editor_test::fs::exists(ProfilePath("generic.A.xml")));
    session.Delete();
    EXPECT_FALSE(editor_test::fs::exists(ProfilePath("generic.A.xml")));
    EXPECT_TRUE(editor_test::fs::exists(temp / "data/Trash/files/generic.A.xml"));
    EXPECT_EQ(view.Items(Selector::Profile), (Names{"generic.B.xml", "generic.C.xml"}));
    EXPECT_EQ(session.TypeFile().Name(), "Beta");

    // Built-in profiles are duplicated, never renamed or deleted.
    view.Choose(Selector::Profile, "generic.C.xml");
    session.ProfileChosen();
    EXPECT_EQ(session.CommandRefusal(CEditorSession::Command::Delete), LoadString(kIdsBuiltInNoDelete));
    EXPECT_FALSE(session.CommandRefusal(CEditorSession::Command::Rename).empty());
    EXPECT_TRUE(session.CommandRefusal(CEditorSession::Command::Duplicate).empty());
    session.Delete();
    EXPECT_FALSE(session.RenameTo("Mine"));
    EXPECT_TRUE(editor_test::fs::exists(ProfilePath("generic.C.xml")));
}

TEST_F(EditorSessionTest, FilesChangedByAnotherProgramReachTheSelectorsAndTheForm)
{
    WriteProfile("generic.A.xml", "Alpha");
    session.Start(Program());
    const std::string path = ProfilePath("generic.A.xml");
    WriteProfile("generic.B.xml", "Beta");
    WriteProfile("generic.A.xml", "Alpha again");
    // Another program's FIFO is passed by, never read.
    ASSERT_EQ(::mkfifo(ProfilePath("pipe.xml").c_str(), 0600), 0);
    session.ProfilesFolderChanged();
    EXPECT_EQ(view.Items(Selector::Profile), (Names{"generic.A.xml", "generic.B.xml"}));
    EXPECT_EQ(view.ReadText(TextBox::ProfileName), "Alpha again");
    EXPECT_TRUE(log->messages.empty());

    // Unsaved edits: the user is asked; kept, they are not silently written over the file.
    Type(view, session, "mine");
    WriteProfile("generic.A.xml", "Alpha third time");
    log->answers = {kIdNo};
    session.ProfilesFolderChanged();
    EXPECT_EQ(LastMessage(), Says(kIdsChangedOutside, path));
    EXPECT_EQ(log->messages.back().buttons, PromptButtons::ReloadKeep);
    EXPECT_EQ(view.description, "mine");
    log->answers = {kIdYes, kIdNo};
    session.Save();
    EXPECT_EQ(LastMessage(), Says(kIdsOverwriteChanged, path));
    EXPECT_EQ(ReadProfile(path).name, "Alpha third time");
    EXPECT_TRUE(session.IsChanged());
    // Revert shows the file as it now is.
    session.RevertToSaved();
    EXPECT_EQ(view.ReadText(TextBox::ProfileName), "Alpha third time");
    EXPECT_FALSE(session.IsChanged());

    editor_test::fs::remove(ProfilePath("generic.B.xml"));
    session.ProfilesFolderChanged();
    EXPECT_EQ(view.Items(Selector::Profile), Names{"generic.A.xml"});
}

TEST_F(EditorSessionTest, WhereItWasIsKeptInTheStateFileAndShownAgain)
{
    testfiles::ScopedEnv state("XDG_STATE_HOME", (temp / "state").c_str());
    EXPECT_EQ(StateFilePath(), temp.Str() + "/state/orrery/state.ini");
    WriteProfile("generic.A.xml", "Alpha");
    WriteProfile("generic.B.xml", "Beta");
    session.Start(Program());
    view.Choose(Selector::Profile, "generic.B.xml");
    session.ProfileChosen();
    EditorPlace place = session.Place();
    place.hasWindowPosition = true;
    place.windowY = -7;
    std::string reason;
    ASSERT_TRUE(WriteEditorPlace(StateFilePath(), place, reason)) << reason;

    CMemoryView nextView;
    CEditorSession next{nextView, prompt};
    nextView.session = &next;
    next.Start(Program());
    EditorPlace read;
    ASSERT_TRUE(ReadEditorPlace(StateFilePath(), read));
    EXPECT_EQ(read.windowY, -7);
    next.ReturnTo(read);
    EXPECT_EQ(nextView.Selected(Selector::Profile), "generic.B.xml");
    EXPECT_EQ(next.TypeFile().Name(), "Beta");
    EXPECT_FALSE(next.IsChanged());
}

TEST(StringTableTest, LookupReplacesTextsUntilRemoved)
{
    const TextLookup previous = SetTextLookup([](int id, const char* source) {
        return id == kIdsSaveChanged ? std::string("Speichern?") : "DE " + std::string(source);
    });
    EXPECT_EQ(LoadString(kIdsSaveChanged), "Speichern?");
    EXPECT_EQ(LoadString(kIdsBuiltInMark), "DE (built-in)");
    // Scripts find the message boxes by their caption, in every language.
    EXPECT_EQ(LoadString(kIdsMessageCaption), "Kestro Orrery");
    EXPECT_EQ(LoadString(9999), "");
    SetTextLookup(previous);
    EXPECT_EQ(LoadString(kIdsSaveChanged), "Do you want to save the changed profile?");
}

} // namespace
