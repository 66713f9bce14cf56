#pragma once

// Files, folders, paths and byte strings: the few operating-system services the
// editor needs, kept in one place so nothing above this module knows the platform.
// Every function reports through its result; none throws or shows a message.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Separator between path components. Folders are written without a trailing one.
inline constexpr char kPathSeparator = '/';
inline constexpr const char* kPathSeparatorText = "/";

// ---------------------------------------------------------------------------
// Folders and files

// Creates the last component of the path (the parent must exist). True when the
// folder was created or a folder (or a link to one) already stands there.
bool MakeDirectory(const std::string& path);

// Results of RemoveFileOrSchedule.
inline constexpr int kFileRemoved = 0;           // deleted now
inline constexpr int kFileNotFound = 1;          // no such file, or it could not be listed for later
inline constexpr int kFileRemovalScheduled = 2;  // on the pending-deletion list

// Deletes the file now; when that fails for any reason but "no such file", puts the
// path on the pending-deletion list, which ProcessPendingDeletions works off at the
// next start.
int RemoveFileOrSchedule(const std::string& path);

// Appends "NUL=<absolute path>" to the pending-deletion list file, adding a
// "[rename]" header first when the file has no line starting with it (compared
// without regard to case). The new line always goes at the end of the file.
// False when the path is empty or holds a line break, or the file cannot be written.
bool ScheduleDeleteInWininit(const std::string& path);

// The pending-deletion list: PendingDeletionListPath() is
// SettingsFolder() + "/Kestro/wininit.ini" (empty when there is no settings folder).
std::string PendingDeletionListPath();

// The paths of every "NUL=" line after the first "[rename]" header, in file order.
// Entries that landed in a later section (the append rule puts new lines at the end
// of the file) belong to the list too.
std::vector<std::string> PendingDeletions();

// Carries out the entries of the list that lie inside the folder (by the folder of the
// listed path, with links resolved); what the list names elsewhere is not ours to
// delete and stays listed. Each such path is removed (a file, or a folder that has
// become empty), and its line is dropped when the path is gone afterwards (removed
// now, or it no longer exists). Entries that still cannot be deleted stay listed for
// the next start; every other line of the file is kept as it was. A list left with
// nothing but its header is removed. Returns the number of entries carried out and
// dropped, or -1 when the list exists but could not be read or rewritten.
int ProcessPendingDeletions(const std::string& folder);

// How DiscardFile dealt with a file.
enum class FileDisposal {
    Trashed,     // in the desktop trash, where the user can restore it from
    Deleted,     // no trash could take it, so it was deleted
    Scheduled,   // busy: on the pending-deletion list for the next start
    NotFound,    // nothing stood at the path
    Failed,      // neither trashed nor deleted; the reason says why
};

// Moves a file (or a link, never what it points to) to the freedesktop.org trash of
// its file system ($XDG_DATA_HOME/Trash for the home's); deletes it only where no
// trash can be had, and lists it for the next start only when it is busy. reason gets
// the system's words for a failure and is emptied otherwise.
FileDisposal DiscardFile(const std::string& path, std::string& reason);

// True when a regular file, or a link to one, stands at exactly this path (no
// wildcards).
bool IsRegularFile(const std::string& path);

// True when anything stands at the path: a file, a folder, a link (even one to
// nothing).
bool EntryExists(const std::string& path);

// True when the path is a folder the user may create and remove files in.
bool IsWritableFolder(const std::string& path);

// From here on a write past the file-size limit fails with "File too large" instead
// of ending the process. Executables call it first thing in main.
void IgnoreFileSizeSignal();

// Empties the list, then adds every directory entry of the pattern's folder whose
// name matches the pattern's last component ("*" any run, "?" one byte, letters
// compared without regard to ASCII case). Not recursive; "." and ".." are never
// listed. Sorted by NameOrderLess. With fullPaths, each entry is the pattern's folder
// (up to and including its last separator) followed by the name; otherwise the name
// alone. A pattern without a separator lists the current folder. Returns the count.
std::size_t ListMatchingFiles(const std::string& pattern, std::vector<std::string>& list, bool fullPaths);

// The same listing with full paths, each with what the folder's entry says of it:
// regular is true only when the entry names a regular file itself (not a link to one),
// which the caller then knows without a stat of its own.
struct ListedFile {
    std::string path;
    bool regular = false;
};
std::size_t ListMatchingFiles(const std::string& pattern, std::vector<ListedFile>& list);

// True when the name matches a "*"/"?" pattern, ignoring ASCII case.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// Listing order: names compared ignoring ASCII case, ties broken byte-wise, so the
// same folder lists the same way on every file system.
bool NameOrderLess(const std::string& a, const std::string& b);

// ---------------------------------------------------------------------------
// Where things are

// The running executable (from /proc/self/exe), and its folder without the trailing
// separator. Empty when it cannot be found.
std::string ProgramFilePath();
std::string ExecutableFolder();

// The user's settings folder: $XDG_CONFIG_HOME when it is set to an absolute path,
// otherwise $HOME/.config (the home folder from the password database when HOME is
// unset). Empty when none can be found.
std::string SettingsFolder();

// The user's data folder by the same rules: $XDG_DATA_HOME, otherwise
// $HOME/.local/share. Empty when none can be found.
std::string UserDataFolder();

// The user's state folder by the same rules: $XDG_STATE_HOME, otherwise
// $HOME/.local/state. Empty when none can be found.
std::string UserStateFolder();

// ---------------------------------------------------------------------------
// Paths. The buffer forms return the length of the part; when it is below bufferSize
// and a buffer is given, the part is copied into the buffer, NUL-terminated. A null
// path counts as empty.

// Text before the first separator, or the whole path when there is none.
std::size_t FirstPathPart(const char* path, char* buffer, std::size_t bufferSize);
std::string FirstPathPart(std::string_view path);

// Text after the last separator, or the whole path when there is none; a path ending
// in a separator gives the empty text.
std::size_t LastPathPart(const char* path, char* buffer, std::size_t bufferSize);
std::string LastPathPart(std::string_view path);

// ---------------------------------------------------------------------------
// Byte strings. Only ASCII letters change case and only ASCII white space (space,
// \t \n \v \f \r) is trimmed, so UTF-8 text passes through untouched whatever the
// process locale.

void ToLowerCase(std::string& text);
void TrimLeadingSpace(std::string& text);
void TrimTrailingSpace(std::string& text);
void TrimSpace(std::string& text);

// Compares lower-cased copies byte by byte (as unsigned): negative, 0 or positive.
// A null C string counts as empty.
int CompareNoCase(const std::string& a, const char* b);
