#pragma once

// The editor's one window: device, output type and profile choice at the top, the
// profile's container, video and audio settings below, Save, Save As and Close.
//
// The window keeps the widgets, their layout, the binding table and the wiring of
// their notifications; what is being edited and every rule of the workflows belong to
// the editing session (editor/EditorSession.h), which sees the window as its view.
// The handlers keep their names and hand the user's choices to the session.
//
// Controls are addressed by their numeric identifiers (Resource.h): each carries its
// identifier as object name and GetDlgItem returns it. Values move between the current
// profile and the controls only through the binding table (ControlBinding.h).
//
// Selection notifications from the user belong on QComboBox::activated (the user's
// choice), never on currentIndexChanged, which the program's own filling raises too.

#include <QColor>
#include <QDialog>
#include <QIcon>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "editor/EditorSession.h"
#include "editor/EditorView.h"
#include "profile/ProfileFile.h"
#include "ui/DialogLayout.h"
#include "ui/Prompt.h"
#include "ui/Resource.h"

class QComboBox;
class QMenu;
class QAction;
class QPushButton;
class QScrollArea;
class QShowEvent;
class CSkinListCtrl;
class CProfilesWatcher;
class CFieldNumericEdit;

class COrreryDlg : public QDialog, public editor::CEditorView {
    Q_OBJECT
public:
    static constexpr int kDialogId = 102;
    // The About entry's command in the window menu; commands 16 to 31 open the box.
    static constexpr int kAboutCommand = 16;

    // The controls that follow the output type ("Video + Audio" enables them) and the
    // ones that follow "Copy source directly" (checked disables them).
    static constexpr std::array<int, 15> kVideoControls = {
        kIdcVideoCodec, kIdcEncodingMode, kIdcDefaultBitrate, kIdcMaxBitrate, kIdcBitrateSlider,
        kIdcFrameSizes, kIdcFrameRates, kIdcFrameWidth, kIdcFrameHeight, kIdcFrameRateAdder,
        kIdcAddFrameRate, kIdcRemoveFrameSize, kIdcAddFrameSize, kIdcRemoveFrameRate, kIdcCopySource,
    };
    static constexpr std::array<int, 9> kAudioControls = {
        kIdcAudioCodec, kIdcAudioBitrates, kIdcSampleRates, kIdcAudioBitrateAdder, kIdcSampleRateAdder,
        kIdcAddAudioBitrate, kIdcAddSampleRate, kIdcRemoveAudioBitrate, kIdcRemoveSampleRate,
    };

    // What can only be edited or saved while a profile is shown (the video and audio
    // controls besides).
    static constexpr std::array<int, 5> kProfileControls = {kIdcProfileName, kIdcDescription, kIdcFormat, kIdcSave,
                                                            kIdcSaveAs};

    // The four value lists, in the order a row click looks its sender up.
    static constexpr std::array<int, 4> kValueLists = {kIdcFrameSizes, kIdcFrameRates, kIdcAudioBitrates,
                                                       kIdcSampleRates};

    // The program's window: the program folder is the executable's own folder and
    // questions go to real message boxes.
    explicit COrreryDlg(QWidget* parent = nullptr);
    // The same window working from the given program folder and asking the given
    // prompt (tests: a temporary folder and a double that answers).
    COrreryDlg(std::string executableFolder, std::unique_ptr<CPrompt> prompt, QWidget* parent = nullptr);
    ~COrreryDlg() override;

    // Finds the folders, reads the configuration, fills the choices, scans the
    // profiles, completes the devices and shows the first device's first profile.
    // Runs once; later calls do nothing. True, as the window then takes the focus.
    bool OnInitDialog();
    // OnInitDialog (when it has not run) and the modal run; the dialog's result.
    int DoModal();

    QWidget* GetDlgItem(int id) const;

    // 0 while "Video + Audio" is checked, 2 otherwise.
    int OutputType() const;

    // Loading what is chosen (the session's).
    void SelectDevice(const std::string& device, int outputType) { session->SelectDevice(device, outputType); }
    void LoadProfile(const std::string& device, const std::string& fileName, int outputType)
    {
        session->LoadProfile(device, fileName, outputType);
    }
    // Enables or empties and disables the audio controls after "Copy source directly".
    void ApplyCopyState() { session->ApplyCopyState(); }
    void SetAudioControlsEnabled(bool enabled);
    void SetVideoControlsEnabled(bool enabled);

    // A notification of a bound control: the profile now differs from its file,
    // unless the program itself is filling the controls. Keystrokes in the text field
    // that has the focus make one undo step together.
    void MarkChanged() { session->MarkChanged(TypingField()); }

    // Device and profile selection (the user's choices in the selectors and the
    // device buttons). Each offers to save the shown profile first.
    void OnDeviceChanged();
    void OnProfileChanged();
    void OnAddDevice();
    void OnRemoveDevice();
    // The hidden "Rename Device" button: its command does nothing.
    void OnRenameDevice();

    // Output type, container and the video bitrate trio.
    void OnVideoAndAudio();
    void OnAudioOnly();
    void OnFormatChanged();
    void OnCopySource();
    void OnMaxBitrateChanged();
    void OnDefaultBitrateChanged();
    void OnSliderReleased();
    // A keyboard, wheel or page move of the slider: the default bitrate follows it as
    // it does after a drag.
    void OnSliderAction(int action);

    // Value lists.
    enum class ListKind { FrameRate, AudioBitrate, SampleRate };
    void OnAddFrameSize();
    bool AddFromSelector(CSkinListCtrl* list, QComboBox* adder, ListKind kind);
    void RemoveSelectedRow(CSkinListCtrl* list);
    // A click on a row, reported before the list acts on it: the row becomes the
    // list's single checked row. Result 1.
    int OnListRowClicked(CSkinListCtrl* list, int row);
    // After the list inverted a clicked "Default" cell itself: the clicked row stays
    // the single checked row.
    void OnDefaultCellClicked(CSkinListCtrl* list, int column, int row);

    // Saving (the session's).
    editor::PromptResult PromptSaveChanges(int messageId, int outputType)
    {
        return session->PromptSaveChanges(messageId, outputType);
    }
    void OnSave();
    void OnSaveAs();
    // The Close button: ends the run with the OK result once the session lets the
    // window close (unsaved changes are offered for saving first).
    void OnClose();
    // Escape and the window's close box: the same question; the run ends with the
    // cancel result, or not at all when the user stays.
    void reject() override;
    editor::SaveAsResult SaveAs(int outputType) { return session->SaveAs(outputType); }
    editor::WriteResult WriteProfile(const std::string& path, const std::string& fileName,
                                     const std::string& profileName)
    {
        return session->WriteProfile(path, fileName, profileName);
    }

    // What went wrong with the Profiles folder at start, told once the window shows;
    // empty when nothing did.
    const std::string& StartupProblem() const { return session->StartupProblem(); }
    void ReportStartupProblem() { session->ReportStartupProblem(); }

    // The window menu: commands 16 to 31 open the About box.
    void OnSysCommand(int id);
    QMenu* SystemMenu() const { return systemMenu; }

    // The edit history and the profile commands, in the "Profile" menu button, in the
    // window menu and on keys (OrreryDlgCommands.cpp).
    enum class WindowCommand { Undo, Redo, Revert, Duplicate, Rename, Delete, Save, SaveAs, Close };
    QAction* CommandAction(WindowCommand command) const;
    QMenu* ProfileMenu() const { return profileMenu; }
    // Where the editor was: kept in the state file when the window closes, shown again
    // when it opens.
    void KeepPlace();
    void ReturnToPlace();

    // Message boxes: the string, "\n\n" and the path (or what else the message names),
    // under the caption of string 102.
    int MessageWithPath(int stringId, const std::string& path, PromptButtons buttons, PromptIcon icon)
    {
        return session->MessageWithPath(stringId, path, buttons, icon);
    }
    // The string alone (or formatted with its argument by the caller) under the caption.
    int Message(const std::string& text, PromptButtons buttons, PromptIcon icon)
    {
        return session->Message(text, buttons, icon);
    }
    CPrompt& Prompt() { return *prompt; }

    // Change tracking.
    bool IsChanged() const { return session->IsChanged(); }
    void SetChanged(bool value) { session->SetChanged(value); }
    bool IsChangeSuppressed() const { return session->IsChangeSuppressed(); }
    void SetSuppressChange(bool value) { session->SetSuppressChange(value); }

    // What is being edited.
    editor::CEditorSession& Session() { return *session; }
    editor::CTypeFile& TypeFile() { return session->TypeFile(); }
    const profile::CProfileFile& LoadedProfile() const { return session->LoadedProfile(); }
    editor::CProfileLibrary& Library() { return session->Library(); }
    const editor::COrrery& Configuration() const { return session->Configuration(); }
    const editor::ContainerTable& Containers() const { return session->Containers(); }
    const editor::FourccTable& Fourccs() const { return session->Fourccs(); }
    const editor::AudioContainerTable& AudioContainers() const { return session->AudioContainers(); }
    const std::string& InstallFolder() const { return session->InstallFolder(); }
    const std::string& ProgramFolderPath() const { return session->ProgramFolderPath(); }
    const std::string& ProfilesRoot() const { return session->ProfilesRoot(); }

    // The session's view of the window.
    void FillSelector(editor::Selector selector, const std::vector<std::string>& items) override;
    void AppendItem(editor::Selector selector, const std::string& text) override;
    void RemoveItem(editor::Selector selector, int index) override;
    std::vector<std::string> Items(editor::Selector selector) const override;
    int SelectedIndex(editor::Selector selector) const override;
    void SelectIndex(editor::Selector selector, int index) override;
    std::string ReadText(editor::TextBox box) const override;
    void ShowText(editor::TextBox box, const std::string& text) override;
    int ChosenOutputType() const override { return OutputType(); }
    // Puts the radio buttons back to the output type shown.
    void ShowOutputType(int outputType) override;
    bool IsCopyChecked() const override;
    void ShowCopyChecked(bool checked) override;
    void ClearProfileControls() override;
    void ClearVideoControls() override;
    void ClearAudioLists() override;
    void LoadProfileToControls(editor::CTypeFile& holder) override;
    void LoadAudioLists(editor::CTypeFile& holder) override;
    void StoreAudioLists(editor::CTypeFile& holder) override;
    void StoreControlsToProfile(editor::CTypeFile& holder) override;
    void EnableGroup(editor::ControlGroup group, bool enabled) override;
    void ChangedStateChanged(bool changed) override;
    void LabelItem(editor::Selector selector, int index, const std::string& label) override;
    void ProfileShown(const std::string& fileName, bool builtIn) override;
    void HistoryChanged() override;
    void EditPending() override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The text fields' own undo keys (and the window's other command keys) are the
    // window's.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    // Places the controls for a form of this size (the window's inside).
    void PlaceControls(QSize formSize);
    // Makes the window no larger than its screen's free area and moves it onto it.
    void FitToScreen();
    void ConnectNotifications();
    void CreateCommands();
    void UpdateCommands();
    void OnProfilesFolderChanged();
    void WatchProfilesFolder();
    // The id of the text field being typed in, or editor::kNoField.
    int TypingField() const;
    void ShowAboutBox();
    QComboBox* SelectorBox(editor::Selector selector) const;
    // Red with a tooltip naming what is allowed, or (allowed empty) back in range.
    void ShowBitrateOutOfRange(CFieldNumericEdit* edit, const std::string& allowed);
    // Whether the list is one of the window's four value lists.
    bool IsValueList(const CSkinListCtrl* list) const;
    template <class T>
    T* Item(int id) const
    {
        return qobject_cast<T*>(GetDlgItem(id));
    }

    QIcon icon;
    std::string executableFolder;   // empty: the running executable's folder
    std::unique_ptr<CPrompt> prompt;
    std::unique_ptr<editor::CEditorSession> session;
    std::map<int, QWidget*> items;
    // Every control with its layout and its rectangle at the layout's size.
    struct PlacedControl {
        QWidget* widget;
        const ControlLayout* layout;
        QRect rect;
    };
    std::vector<PlacedControl> placed;
    QSize layoutSize;
    QScrollArea* scroller = nullptr;
    QMenu* systemMenu = nullptr;
    QMenu* profileMenu = nullptr;
    std::map<WindowCommand, QAction*> commands;
    CProfilesWatcher* watcher = nullptr;
    std::string shownFileName;
    bool shownBuiltIn = false;
    bool initialised = false;
    bool startupProblemReported = false;
};
