#pragma once

// Everything the editor asks the user in a separate window goes through this
// interface: message boxes and the save-file dialog. The window answers with real
// ones (ui/Prompt.h); tests and tools without a window hand the session a double.

#include <string>

namespace editor {

// Answers of a message box, with the values the rest of the program compares against.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
inline constexpr int kIdSave = 101;
inline constexpr int kIdDiscard = 102;

enum class PromptButtons {
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel,         // a question whose Cancel leaves everything as it is
    SaveDiscardCancel,   // Save is the default button
    OkDiscard,           // OK leaves everything as it is; "Discard changes" drops the edits
    ReloadKeep,          // "Reload" answers kIdYes, "Keep Mine" (the default) kIdNo
};

// The answer of Escape and of the box's close button: the button that changes nothing
// (No where a box offers only Yes and No).
constexpr int EscapeAnswer(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok:
    case PromptButtons::OkDiscard: return kIdOk;
    case PromptButtons::YesNo:
    case PromptButtons::ReloadKeep: return kIdNo;
    case PromptButtons::OkCancel:
    case PromptButtons::YesNoCancel:
    case PromptButtons::SaveDiscardCancel: return kIdCancel;
    }
    return kIdCancel;
}
enum class PromptIcon { None, Information, Question, Warning };

// What the save-file dialog is opened with.
struct SaveFileRequest {
    std::string initialFolder;      // where the dialog starts
    std::string initialFileName;    // name proposed in the file name box
    std::string defaultExtension;   // appended when the user types a name without one, e.g. "xml"
    std::string filter;             // filter text, e.g. "Kestro Profiles file(*.xml)"
    bool confirmOverwrite = true;   // ask before replacing an existing file
};

// What the user chose in the save-file dialog.
struct SaveFileAnswer {
    std::string path;       // full path
    std::string fileName;   // its last component
};

class CPrompt {
public:
    virtual ~CPrompt() = default;

    // Shows text under caption with the buttons; returns the answer of the button
    // pressed (kIdOk, kIdCancel, kIdYes, kIdNo, kIdSave or kIdDiscard). Escape and
    // closing the box without a button give EscapeAnswer.
    virtual int MessageBox(const std::string& text, const std::string& caption, PromptButtons buttons,
                           PromptIcon icon) = 0;

    // True with the answer filled when the user accepted; false when cancelled.
    virtual bool SaveFile(const SaveFileRequest& request, SaveFileAnswer& answer) = 0;

    // Asks for one line of text, offering the value given; true with the value the
    // user accepted, false when cancelled (or where nobody can be asked).
    virtual bool AskText(const std::string& /*text*/, const std::string& /*caption*/, std::string& /*value*/)
    {
        return false;
    }
};

} // namespace editor
