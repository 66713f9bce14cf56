#pragma once

// The program's user-visible messages, each under the numeric identifier the rest of
// the program (and anyone reading a dialog's text) refers to it by.

#include <cstddef>
#include <string>

inline constexpr int kIdsAboutBox = 101;          // the About entry of the window menu
inline constexpr int kIdsMessageCaption = 102;    // caption of every message box
inline constexpr int kIdsSaveChanged = 103;
inline constexpr int kIdsRemoveDevice = 104;      // holds one "%s": the device
inline constexpr int kIdsProfileSaved = 105;
inline constexpr int kIdsBuiltInProfile = 106;
inline constexpr int kIdsEmptyProfileName = 108;
inline constexpr int kIdsSaveFailed = 109;          // followed by the path and the system's reason
inline constexpr int kIdsBadDeviceName = 110;
inline constexpr int kIdsProfilesNotCreated = 111;  // followed by the folder and the reason
inline constexpr int kIdsProfilesNotReadable = 112; // followed by the folder and the reason
inline constexpr int kIdsProfilesFolderHint = 113;  // holds one "%s": the settings file
inline constexpr int kIdsDeviceExists = 114;        // holds one "%s": the device of that name

// Messages and captions are loaded into fixed buffers of these sizes.
inline constexpr std::size_t kMessageLength = 300;
inline constexpr std::size_t kCaptionLength = 100;

// The text of a string, or the empty text for an identifier the table lacks. With
// maxLength, the text is cut to at most that many bytes (never inside a UTF-8
// sequence), as a fixed-size load buffer would.
std::string LoadString(int id);
std::string LoadString(int id, std::size_t maxLength);

// The string with its single "%s" replaced by the argument. Only "%s" and "%%" are
// understood; the argument is inserted as it stands, so text from the user can never
// act as a format.
std::string FormatString(int id, const std::string& argument);
