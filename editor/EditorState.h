#pragma once

// Where the editor was when it last closed (the device, output type and profile shown
// and the window's position), kept for the next start in a state file of its own:
// $XDG_STATE_HOME/orrery/state.ini (normally ~/.local/state/orrery/state.ini). The
// settings file is only ever read; this is the one file the editor keeps for itself.

#include <string>

namespace editor {

struct EditorPlace {
    std::string device;
    int outputType = 0;
    std::string profile;   // the profile's file name
    bool hasWindowPosition = false;
    int windowX = 0;
    int windowY = 0;
};

// The state file's path; empty when the user has no state folder.
std::string StateFilePath();

// False (the place left as it was) when the file is missing or can't be read; values
// it lacks or can't be read keep theirs.
bool ReadEditorPlace(const std::string& path, EditorPlace& place);
// Written atomically, its folder made when missing; false with the reason when not.
bool WriteEditorPlace(const std::string& path, const EditorPlace& place, std::string& reason);

} // namespace editor
