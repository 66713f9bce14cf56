#pragma once

// The editing session: everything the editor knows while it runs and every rule of
// the workflows, free of any window. It owns the profile library, the profile last
// selected ("loaded") and the current profile the form edits, the configuration with
// its choice tables, the folders and the change state; it talks to a window only
// through a view (editor/EditorView.h) and a prompt (editor/Prompt.h), so the same
// session can run under the window, under a tool or under a test.
//
// The implementation is split by workflow: EditorSession.cpp (start-up, change state,
// messages), EditorSessionSelect.cpp (device, profile, output type, format and audio
// copy), EditorSessionDevices.cpp (add and remove device), EditorSessionSave.cpp (the
// save question, Save, Save As and the write behind them), EditorSessionUndo.cpp (the
// edit history), EditorSessionCommands.cpp (revert, duplicate, rename, delete and where
// the editor was) and EditorSessionFolder.cpp (profiles changed by other programs).

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "editor/ChoiceLists.h"
#include "editor/EditorSessionUndo.h"
#include "editor/EditorState.h"
#include "editor/EditorView.h"
#include "editor/Orrery.h"
#include "editor/ProfileLibrary.h"
#include "editor/Prompt.h"
#include "editor/TypeFile.h"
#include "profile/ProfileFile.h"

namespace editor {

// What the save question decided for the selection change that asked it.
enum class PromptResult {
    Saved,     // go ahead: the profile was saved
    GoAhead,   // go ahead: nothing was saved (the edits are dropped by the next load)
    Stay,      // stay with the shown profile
};

// Whether the window may close.
enum class CloseDecision {
    Close,   // nothing unsaved is left, or the user let it go
    Stay,    // the window stays open and keeps the edits
};

enum class SaveAsResult {
    Written,     // a file was written and is shown
    Cancelled,   // the user cancelled the save-file dialog
    Failed,      // the write failed (the user was told); the edits are still in the form
};

enum class WriteResult {
    Written,      // the library and the profile selector hold the written profile
    NotWritten,   // the user was told why; nothing else changed
};

class CEditorSession {
public:
    // The view and the prompt must outlive the session.
    CEditorSession(CEditorView& view, CPrompt& prompt);
    CEditorSession(const CEditorSession&) = delete;
    CEditorSession& operator=(const CEditorSession&) = delete;

    // Start-up, once the window has made its controls: pending deletions, the folders
    // (the program folder is the executable's own, or the given one), the
    // configuration and its tables, the selectors and choosers, the profile scan,
    // the devices' default profiles and the first device's first profile.
    void Start(const std::string& executableFolder = {});

    // What went wrong with the Profiles folder at start; empty when nothing did.
    const std::string& StartupProblem() const { return startupProblem; }
    // Tells it (once the window shows, so the message has a window to belong to).
    void ReportStartupProblem();

    // Loading what is chosen: the profile selector gets the device's profiles of the
    // type and the first is loaded; LoadProfile shows the device's profile with the
    // file name (nothing, without one). Both end with the profile unchanged.
    void SelectDevice(const std::string& device, int outputType);
    void LoadProfile(const std::string& device, const std::string& fileName, int outputType);

    // The user's choices. Each offers to save the shown profile first and puts the
    // selection back when the user stays.
    void DeviceChosen();
    void ProfileChosen();
    void AddDevice();
    void RemoveDevice();
    void VideoAndAudioChosen();
    void AudioOnlyChosen();
    void FormatChosen();
    // Enables or empties and disables the audio controls after "Copy source directly".
    void ApplyCopyState();

    // Saving. The save question of a selection change asks Yes, No or Cancel (Cancel
    // and Escape stay); with no profile name it offers to stay or to drop the edits.
    PromptResult PromptSaveChanges(int messageId, int outputType);
    // Close, Escape and the window's close box, and every other way of ending the
    // editor: with unsaved changes the user chooses Save, Discard or Cancel. Save
    // writes as Save's "Yes" does (a built-in profile through Save As) and closes only
    // when the profile was written.
    CloseDecision RequestClose();
    void Save();
    void SaveAsChosen();
    SaveAsResult SaveAs(int outputType);
    WriteResult WriteProfile(const std::string& path, const std::string& fileName, const std::string& profileName);

    // The form as the next write would store it, and where it is shown.
    FormState CaptureForm();

    // Change tracking. A control's notification calls MarkChanged, naming the text
    // field it came from (kNoField otherwise); it counts unless the session is filling
    // the form itself (a load, or a CSuppressChanges scope) or has not shown a profile
    // yet. The edit becomes an undo step at the next CommitEdit, which the view is
    // asked for (EditPending) once the notifications of the user's action are over.
    void MarkChanged(int field = kNoField);
    void CommitEdit();
    bool HasPendingEdit() const { return editPending; }

    // Undo and redo of the form's edits. A load starts a new history; a save marks the
    // step it wrote, and undoing back to it leaves the profile unchanged again.
    bool CanUndo() const { return history.CanUndo() || (editPending && !history.IsEmpty()); }
    bool CanRedo() const { return history.CanRedo() && !editPending; }
    void Undo();
    void Redo();

    // The profile commands. Revert shows the profile as its file holds it; Duplicate
    // writes what the form shows into a new file ("<name> copy") and opens it; Rename
    // asks for a new name and renames the profile and its file together; Delete asks,
    // moves the file to the trash and shows the next profile.
    void RevertToSaved();
    void Duplicate();
    void Rename();
    bool RenameTo(const std::string& newName);
    void Delete();
    // Why the command can't be used on the shown profile; empty when it can.
    enum class Command { Revert, Duplicate, Rename, Delete };
    std::string CommandRefusal(Command command) const;

    // Another program added, removed or changed files in the Profiles folder (or may
    // have): the library and the selectors follow the folder, and the shown profile is
    // reloaded, after asking when it has unsaved edits.
    void ProfilesFolderChanged();

    // Where the editor is: the device, output type and profile shown; ReturnTo shows
    // them again where they still exist (the window position is the window's).
    EditorPlace Place() const;
    void ReturnTo(const EditorPlace& place);
    bool IsChanged() const { return changed; }
    void SetChanged(bool value);
    bool IsChangeSuppressed() const { return suppressDepth > 0 || suppressedUntilLoad; }
    // Suppressed until the end of the next load (as before the first one).
    void SetSuppressChange(bool value) { suppressedUntilLoad = value; }

    // While one lives, notifications are not changes.
    class CSuppressChanges {
    public:
        explicit CSuppressChanges(CEditorSession& session) : session(session) { ++session.suppressDepth; }
        ~CSuppressChanges() { --session.suppressDepth; }
        CSuppressChanges(const CSuppressChanges&) = delete;
        CSuppressChanges& operator=(const CSuppressChanges&) = delete;

    private:
        CEditorSession& session;
    };

    // Message boxes: the string, "\n\n" and the path (or what else the message
    // names), or a whole text, under the caption of string 102.
    int MessageWithPath(int stringId, const std::string& path, PromptButtons buttons, PromptIcon icon);
    int Message(const std::string& text, PromptButtons buttons, PromptIcon icon);

    // 0 while "Video + Audio" is chosen, 2 otherwise.
    int OutputType() const { return view.ChosenOutputType(); }
    // The device of the profile shown, or the selected one when no profile is shown.
    std::string CurrentDevice() const;

    CTypeFile& TypeFile() { return typeFile; }
    const CTypeFile& TypeFile() const { return typeFile; }
    const profile::CProfileFile& LoadedProfile() const { return loadedProfile; }
    CProfileLibrary& Library() { return library; }
    const COrrery& Configuration() const { return configReader; }
    const ContainerTable& Containers() const { return containerTable; }
    const FourccTable& Fourccs() const { return fourccTable; }
    const AudioContainerTable& AudioContainers() const { return audioContainerTable; }
    const std::string& InstallFolder() const { return installFolder; }
    const std::string& ProgramFolderPath() const { return programFolder; }
    // Where profiles are read from and written to, by the editor's one folder rule
    // (LocateFolders).
    const std::string& ProfilesRoot() const { return profilesRoot; }

private:
    void NoteFolderProblem(const EditorFolders& folders);
    // The end of a load that found no profile: the form empty and disabled.
    void ShowNoProfile();
    // The form's audio lists were just cleared: nothing of them is shown or kept.
    void ForgetAudioLists();
    // Whether the switch to the output type goes ahead: it is chosen, not the one
    // shown, and the save question lets it (staying puts the switches back).
    bool MayLeaveShownType(int outputType);
    // The format, codec and mode selectors after a load, from the tables and the
    // current profile.
    void FillFormats(int outputType);
    void SelectFormat();
    void FillVideoCodecs(int outputType);
    void SelectVideoCodec();
    void FillAudioCodecs(int outputType);
    void SelectAudioCodec();
    void FillEncodingModes(int outputType);
    // Writes the form as the answer "Yes" does: in place, or through Save As for a
    // built-in profile. True when the profile was written.
    bool WriteShownProfile(int outputType);
    // With no profile name typed, says so (message 108) and puts the profile's name
    // back; true then.
    bool RefuseEmptyProfileName();
    // The store pass and the rules that follow it (encoding mode, FourCC, audio copy)
    // into the holder's current profile.
    void StoreForm(CTypeFile& holder);
    // The profile selector's item for the written profile, moved to its end (where the
    // library now keeps it).
    void ShowWrittenProfile(const std::string& fileName);
    void SelectLastProfile();

    std::string SelectedText(Selector selector) const;
    // Selects the first item with exactly the text; false (selection unchanged) without one.
    bool SelectText(Selector selector, const std::string& text);
    void SetChangedState(bool value);
    void ShowChangedState(bool value);
    // The end of a load or a write: the form shows a file as it is, and notifications
    // count again. A load starts a new edit history, a write marks the step written.
    void EndFill();
    void EndSave();
    // The form shown again from a step of the history (none: nothing to do).
    void ShowStep(const FormState* form);
    void RestoreForm(const FormState& form);
    // Fills the form from the current profile (the load pass and the selectors that
    // follow it), for the output type.
    void ShowCurrentProfile(int outputType);
    void CaptureStep(FormState& form, std::string& text);
    void TellHistory();
    void TellShownProfile();
    // The profile selector's items of built-in profiles say so, and only those.
    void LabelBuiltInProfiles();
    // The folder as the library now knows it, and the shown file as it was loaded.
    void RememberFile(const std::string& path);
    void RememberShownFile();
    // False when the file at the path changed on disk since the shown profile was
    // loaded from it and the user would rather not overwrite it.
    bool MayOverwrite(const std::string& path);
    // Puts the profile read from the file into the library in place of what it kept
    // for that path; false (the path forgotten) when the file holds no profile now.
    bool TakeFileIntoLibrary(const std::string& path);
    void RefreshProfileSelector();
    // The file names of the device's profiles of the type, in library order.
    std::vector<std::string> ProfileNames(const std::string& device, int outputType) const;
    // With a profile shown that the command can't be used on, says why; true then.
    bool RefuseCommand(Command command);
    std::string ShownFileName() const;
    // The first file title from the one given that no file of the Profiles folder and
    // no profile of the library has.
    std::string FreeTitle(const std::string& title) const;

    CEditorView& view;
    CPrompt& prompt;

    profile::CProfileFile loadedProfile;
    COrrery configReader;
    CTypeFile typeFile;
    ContainerTable containerTable;
    FourccTable fourccTable;
    AudioContainerTable audioContainerTable;
    CProfileLibrary library;
    std::string installFolder;
    std::string programFolder;
    std::string profilesRoot;
    bool changed = false;
    CEditHistory history;
    bool editPending = false;
    int pendingField = kNoField;
    FolderStamps knownFiles;
    std::string shownStampPath;
    FileStamp shownStamp;
    int suppressDepth = 0;
    bool suppressedUntilLoad = true;
    // What the profile selector lists: the device and output type of the last
    // SelectDevice, so a choice of what is already shown reloads nothing.
    std::string shownDevice;
    int shownOutputType = kVideoAndAudio;
    std::string startupProblem;
    // Whether the form shows the audio lists (they are cleared by a load and while
    // "Copy source directly" is ticked), and what they held, with the audio codec,
    // when the box was ticked: unticking it again before saving brings them back.
    bool audioListsShown = false;
    std::optional<profile::CProfileFile> audioBeforeCopy;
    std::string audioCodecBeforeCopy;
};

} // namespace editor
