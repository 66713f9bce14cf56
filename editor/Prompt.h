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

enum class PromptButtons { Ok, OkCancel, YesNo };
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

    // Shows text under caption with the buttons; returns kIdOk, kIdCancel, kIdYes or
    // kIdNo. Closing the box without a button counts as Cancel (or No / OK where the
    // box has no Cancel).
    virtual int MessageBox(const std::string& text, const std::string& caption, PromptButtons buttons,
                           PromptIcon icon) = 0;

    // True with the answer filled when the user accepted; false when cancelled.
    virtual bool SaveFile(const SaveFileRequest& request, SaveFileAnswer& answer) = 0;
};

} // namespace editor
