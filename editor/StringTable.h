#pragma once

// The program's user-visible messages, each under the numeric identifier the rest of
// the program (and anyone reading a dialog's text) refers to it by.
//
// The table holds the source texts. A front end that translates them installs a text
// lookup: every load then asks it for the text of an identifier, given the source text,
// so the editor never needs to know how translations are kept. The message boxes'
// caption is never translated: scripts find the boxes by it.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace editor {

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
inline constexpr int kIdsDefaultBitrateRange = 115; // holds two "%s": the lowest and highest bitrate
inline constexpr int kIdsMaxBitrateRange = 116;     // holds one "%s": the default bitrate
inline constexpr int kIdsRemoveDeviceFiles = 117;   // holds one "%s": how many files go
inline constexpr int kIdsRemoveDeviceBuiltIn = 118; // holds one "%s": the shipped profiles' file names
inline constexpr int kIdsRemoveFailed = 119;        // followed by each path and the system's reason

// The profile commands, the edit history, profiles changed by other programs and the
// state file.
inline constexpr int kIdsMenuUndo = 130;
inline constexpr int kIdsMenuRedo = 131;
inline constexpr int kIdsMenuRevert = 132;
inline constexpr int kIdsMenuDuplicate = 133;
inline constexpr int kIdsMenuRename = 134;
inline constexpr int kIdsMenuDelete = 135;
inline constexpr int kIdsBuiltInNoRename = 136;
inline constexpr int kIdsBuiltInNoDelete = 137;
inline constexpr int kIdsRenamePrompt = 138;
inline constexpr int kIdsNameTaken = 139;           // holds one "%s": the file name
inline constexpr int kIdsBadProfileName = 140;      // followed by the name
inline constexpr int kIdsDeleteQuestion = 141;      // followed by the path
inline constexpr int kIdsDeleteFailed = 142;        // followed by the path and the reason
inline constexpr int kIdsRevertQuestion = 143;      // followed by the path
inline constexpr int kIdsChangedOutside = 144;      // followed by the path
inline constexpr int kIdsOverwriteChanged = 145;    // followed by the path
inline constexpr int kIdsBuiltInMark = 146;         // after a built-in profile's file name
inline constexpr int kIdsRenameFailed = 147;        // followed by the path and the reason
inline constexpr int kIdsStateNotSaved = 148;       // followed by the path and the reason
inline constexpr int kIdsButtonReload = 149;
inline constexpr int kIdsButtonKeepMine = 150;
inline constexpr int kIdsCopyName = 151;            // holds one "%s": the name copied
inline constexpr int kIdsNoProfilesFolder = 152;
inline constexpr int kIdsRenameCaption = 153;

// Texts the lists, the frame-size check and the save dialog show.
inline constexpr int kIdsEncodingFast = 160;
inline constexpr int kIdsEncodingHighQuality = 161;
inline constexpr int kIdsSameAsSource = 162;        // the frame rate stored as "0"
inline constexpr int kIdsFrameSizeIncomplete = 163;
inline constexpr int kIdsFrameSizeNotNumbers = 164;
inline constexpr int kIdsFrameSizeZero = 165;
inline constexpr int kIdsFrameSizeListed = 166;     // holds one "%s": the frame size
inline constexpr int kIdsProfileFilter = 167;       // a file dialog filter: the pattern stays "(*.xml)"
inline constexpr int kIdsNoStateFolder = 168;

// Messages and captions are loaded into fixed buffers of these sizes.
inline constexpr std::size_t kMessageLength = 300;
inline constexpr std::size_t kCaptionLength = 100;

// The source text of a string, or null for an identifier the table lacks; never
// translated.
const char* SourceString(int id);

// Gives the text to show for an identifier and its source text. An empty lookup (the
// default) shows the source texts.
using TextLookup = std::function<std::string(int id, const char* sourceText)>;
// Installs the lookup and returns the one it replaces.
TextLookup SetTextLookup(TextLookup lookup);

// The text of a string (through the lookup), or the empty text for an identifier the
// table lacks. With maxLength, the text is cut to at most that many bytes (never inside
// a UTF-8 sequence), as a fixed-size load buffer would.
std::string LoadString(int id);
std::string LoadString(int id, std::size_t maxLength);

// The string with its single "%s" replaced by the argument. Only "%s" and "%%" are
// understood; the argument is inserted as it stands, so text from the user can never
// act as a format.
std::string FormatString(int id, const std::string& argument);
// The same with each "%s" in turn replaced by the next argument; a "%s" beyond the last
// argument stays as it is.
std::string FormatString(int id, const std::vector<std::string>& arguments);

} // namespace editor
