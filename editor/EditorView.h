#pragma once

// What the editing session needs of a window, in the session's own terms: selectors
// to fill and select, the few texts the rules read or put back, the output type and
// "Copy source directly" switches, the binding passes that move values between the
// form and the current profile, and the control groups to enable. The window
// implements it over its widgets; tests implement it over plain vectors and strings.

#include <string>
#include <vector>

namespace editor {

class CTypeFile;

enum class Selector {
    Device,         // the devices
    Profile,        // the shown device's profile file names of the shown type
    Format,         // the output file format
    VideoCodec,
    AudioCodec,
    EncodingMode,
    FrameRateChooser,     // the adders of the value lists
    AudioBitrateChooser,
    SampleRateChooser,
};

enum class TextBox {
    ProfilePath,    // the path of the shown profile's file
    ProfileName,    // the shown profile's name
    DeviceName,     // the device of the shown profile; the name Add Device reads
};

enum class ControlGroup {
    Video,     // what follows the output type: enabled for "Video + Audio"
    Audio,     // what follows "Copy source directly": disabled while it is checked
    Profile,   // the profile's name, description and format, Save and Save As:
               // disabled while no profile is shown
};

class CEditorView {
public:
    virtual ~CEditorView() = default;

    // Replaces the items; the first one is then selected (none without items).
    virtual void FillSelector(Selector selector, const std::vector<std::string>& items) = 0;
    virtual void AppendItem(Selector selector, const std::string& text) = 0;
    virtual void RemoveItem(Selector selector, int index) = 0;
    virtual std::vector<std::string> Items(Selector selector) const = 0;
    // -1 when nothing is selected.
    virtual int SelectedIndex(Selector selector) const = 0;
    // -1 selects nothing.
    virtual void SelectIndex(Selector selector, int index) = 0;

    virtual std::string ReadText(TextBox box) const = 0;
    // Shows the text as if it had been typed, so the box's change is noticed.
    virtual void ShowText(TextBox box, const std::string& text) = 0;

    // The output type the switches show: kVideoAndAudio or kAudioOnly.
    virtual int ChosenOutputType() const = 0;
    virtual void ShowOutputType(int outputType) = 0;
    virtual bool IsCopyChecked() const = 0;
    virtual void ShowCopyChecked(bool checked) = 0;

    // Empties every control that shows a profile (texts, lists, the format and codec
    // selectors) and unchecks "Copy source directly".
    virtual void ClearProfileControls() = 0;
    // Empties what only a video profile shows (codec, mode, frame lists, bitrates),
    // leaving the bitrate at 0.
    virtual void ClearVideoControls() = 0;
    // Empties the audio bitrate and sample rate lists.
    virtual void ClearAudioLists() = 0;

    // The binding table's load pass (every row, or only the audio lists' rows) and
    // store pass between the form and the holder's current profile.
    virtual void LoadProfileToControls(CTypeFile& holder) = 0;
    virtual void LoadAudioLists(CTypeFile& holder) = 0;
    // The store pass of the audio lists' rows alone.
    virtual void StoreAudioLists(CTypeFile& holder) = 0;
    virtual void StoreControlsToProfile(CTypeFile& holder) = 0;

    virtual void EnableGroup(ControlGroup group, bool enabled) = 0;

    // Told whenever the session's "changed" state flips, with its new value.
    virtual void ChangedStateChanged(bool /*changed*/) {}

    // Shows a selector's item under another text; Items still gives the item's own.
    virtual void LabelItem(Selector /*selector*/, int /*index*/, const std::string& /*label*/) {}
    // Told which profile the form now shows (its file name, empty for none) whenever a
    // load, a write or a rename changes it.
    virtual void ProfileShown(const std::string& /*fileName*/, bool /*builtIn*/) {}
    // Told whenever what undo and redo can do may have changed.
    virtual void HistoryChanged() {}
    // An edit was noted: the view calls CommitEdit once the user's action is over (the
    // notifications one action raises become one step).
    virtual void EditPending() {}
};

} // namespace editor
