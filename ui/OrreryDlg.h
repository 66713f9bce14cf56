#pragma once

// The editor's one window: device, output type and profile choice at the top, the
// profile's container, video and audio settings below, Save, Save As and Close.
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

#include "editor/ChoiceLists.h"
#include "editor/Orrery.h"
#include "editor/ProfileLibrary.h"
#include "editor/TypeFile.h"
#include "profile/ProfileFile.h"
#include "ui/Prompt.h"
#include "ui/Resource.h"

class QComboBox;
class QMenu;
class QAction;
class QShowEvent;
class CSkinListCtrl;

class COrreryDlg : public QDialog {
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

    // Backgrounds of the bitrate edits: white in range, red out of it.
    static QColor InRangeColour() { return QColor(255, 255, 255); }
    static QColor OutOfRangeColour() { return QColor(255, 0, 0); }

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

    // Loading what is chosen.
    void ClearProfileControls();
    void SelectDevice(const std::string& device, int outputType);
    void LoadProfile(const std::string& device, const std::string& fileName, int outputType);

    // The selectors that follow the configuration and the current profile.
    void FillFormats(int outputType);
    void SelectFormat();
    void FillVideoCodecs(int outputType);
    void SelectVideoCodec();
    void FillAudioCodecs(int outputType);
    void SelectAudioCodec();
    void FillEncodingModes(int outputType);
    // Enables or empties and disables the audio controls after "Copy source directly".
    void ApplyCopyState();
    void SetAudioControlsEnabled(bool enabled);
    void SetVideoControlsEnabled(bool enabled);

    // A notification of a bound control: the profile now differs from its file,
    // unless the program itself is filling the controls.
    void MarkChanged();

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

    // Saving. PromptSaveChanges results: stay with the shown profile, go ahead
    // without saving, go ahead after saving.
    static constexpr int kPromptSaved = 0;
    static constexpr int kPromptGoAhead = 1;
    static constexpr int kPromptStay = 2;
    // SaveAs results.
    static constexpr int kSaveWritten = 0;
    static constexpr int kSaveCancelled = 1;
    static constexpr int kSaveFailed = 2;
    int PromptSaveChanges(int messageId, int outputType);
    void OnSave();
    void OnSaveAs();
    int SaveAs(int outputType);
    // Writes the shown profile, with the controls' values, to the path: 0 when
    // written (the library and the profile selector then hold it), 1 when not (the
    // user was told why and nothing else changed).
    int WriteProfile(const std::string& path, const std::string& fileName, const std::string& profileName);

    // What went wrong with the Profiles folder at start, told once the window shows;
    // empty when nothing did.
    const std::string& StartupProblem() const { return startupProblem; }
    void ReportStartupProblem();

    // The window menu: commands 16 to 31 open the About box.
    void OnSysCommand(int id);
    QMenu* SystemMenu() const { return systemMenu; }

    // Message boxes: the string, "\n\n" and the path (or what else the message names),
    // under the caption of string 102.
    int MessageWithPath(int stringId, const std::string& path, PromptButtons buttons, PromptIcon icon);
    // The string alone (or formatted with its argument by the caller) under the caption.
    int Message(const std::string& text, PromptButtons buttons, PromptIcon icon);
    CPrompt& Prompt() { return *prompt; }

    // Change tracking.
    bool IsChanged() const { return changed; }
    void SetChanged(bool value) { changed = value; }
    bool IsChangeSuppressed() const { return suppressChange; }
    void SetSuppressChange(bool value) { suppressChange = value; }

    // What the window owns.
    editor::CTypeFile& TypeFile() { return typeFile; }
    const profile::CProfileFile& LoadedProfile() const { return loadedProfile; }
    editor::CProfileLibrary& Library() { return library; }
    const editor::COrrery& Configuration() const { return configReader; }
    const editor::ContainerTable& Containers() const { return containerTable; }
    const editor::FourccTable& Fourccs() const { return fourccTable; }
    const editor::AudioContainerTable& AudioContainers() const { return audioContainerTable; }
    const std::string& InstallFolder() const { return installFolder; }
    const std::string& ProgramFolderPath() const { return programFolder; }
    // Where profiles are read from and written to, by the editor's one folder rule
    // (editor::LocateFolders).
    const std::string& ProfilesRoot() const { return profilesRoot; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void ConnectNotifications();
    void FillChoiceCombo(QComboBox* combo, editor::ChoiceKind kind);
    void ShowAboutBox();
    void StartupSelection();
    void NoteFolderProblem(const editor::EditorFolders& folders);
    // Puts the radio buttons back to the output type shown.
    void ShowOutputType(int outputType);
    // Whether the list is one of the window's four value lists.
    bool IsValueList(const CSkinListCtrl* list) const;
    // The device of the profile shown, or the selected one when no profile is shown.
    std::string CurrentDevice() const;
    // With no profile name typed, says so (message 108) and puts the profile's name
    // back; true then.
    bool RefuseEmptyProfileName();
    std::string PathBoxText() const;
    std::string ProfileNameText() const;
    template <class T>
    T* Item(int id) const
    {
        return qobject_cast<T*>(GetDlgItem(id));
    }

    QIcon icon;
    profile::CProfileFile loadedProfile;
    editor::COrrery configReader;
    editor::CTypeFile typeFile;
    editor::ContainerTable containerTable;
    editor::FourccTable fourccTable;
    editor::AudioContainerTable audioContainerTable;
    editor::CProfileLibrary library;
    std::string installFolder;
    std::string programFolder;
    std::string profilesRoot;
    bool changed = false;
    bool suppressChange = true;
    // What the profile selector lists: the device and output type of the last
    // SelectDevice, so a choice of what is already shown reloads nothing.
    std::string shownDevice;
    int shownOutputType = editor::kVideoAndAudio;
    std::string startupProblem;
    bool startupProblemReported = false;

    std::string executableFolder;   // empty: the running executable's folder
    std::unique_ptr<CPrompt> prompt;
    std::map<int, QWidget*> items;
    QMenu* systemMenu = nullptr;
    bool initialised = false;
};
