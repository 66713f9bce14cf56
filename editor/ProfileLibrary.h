#pragma once

// Where profiles live and which exist: the install and program folders, the scan of
// the Profiles folder, the profiles grouped by device, the default profiles of new
// devices and the read-only rule of the shipped profiles.
//
// Folders are written without a trailing separator:
//   profiles root   = the install folder named by the settings value "Path", or else
//                     the program folder (the executable's own folder), or else the
//                     user's data folder (LocateFolders has the rule);
//   profiles folder = profiles root + "/Profiles";
//   template folder = the program folder (the "*.xml" files beside the executable).

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "profile/ProfileFile.h"

namespace editor {

// Output types of a profile (its root attribute "type").
inline constexpr int kVideoAndAudio = 0;
inline constexpr int kAudioOnly = 2;

// Name of the configuration file in the program folder; never a template.
inline constexpr const char* kConfigurationFileName = "Orrery.xml";

// A profile is a few kilobytes; a file larger than this is something else, and the
// scans pass it by without reading it.
inline constexpr std::uint64_t kMaxProfileFileSize = 1 << 20;

// Load of a profile file into a profile fresh from CreateDefault, for every file the
// editor finds by listing a folder: only a regular file of at most kMaxProfileFileSize
// bytes is read, so a FIFO, a device or a huge file never holds up a start.
bool LoadProfileFile(const std::string& path, profile::CProfileFile& profile);
// The same for the library: the sections are read when first used (LoadDeferred).
bool LoadProfileFileDeferred(const std::string& path, profile::CProfileFile& profile);

// The templates of a template folder, read once: the default profile of each output
// type, made as CreateDeviceProfile describes, ready to be given to any device.
class CDeviceTemplates {
public:
    explicit CDeviceTemplates(const std::string& templateFolder);
    // The default profile of the device and type with the first free file title in the
    // profiles folder (FreeFileTitle; taken may be null).
    void MakeProfile(const std::string& device, int type, const std::string& profilesRoot,
                     const std::function<bool(const std::string&)>& taken, profile::CProfileFile& out) const;
    // The same with the title given; Title gives the one MakeProfile would take.
    void MakeProfileTitled(const std::string& device, int type, const std::string& profilesRoot,
                           const std::string& title, profile::CProfileFile& out) const;
    std::string Title(const std::string& device, int type, const std::string& profilesRoot,
                      const std::function<bool(const std::string&)>& taken) const;

private:
    struct Prototype {
        profile::CProfileFile profile;
        std::string suffix;
    };
    Prototype video, audio;
};

// A file as a listing of its folder found it: whether it was there, its last change to
// the nanosecond and, for a regular file, its size. A link tells of the file it names.
struct FileStamp {
    bool exists = false;
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    std::uintmax_t size = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);   // one stat
// Every file a listing gave, by its full path.
using FolderStamps = std::map<std::string, FileStamp>;

class CProfileLibrary {
public:
    // Device -> profile copies: devices in byte order, a device's profiles in the
    // order they were added.
    using EntryMap = std::multimap<std::string, profile::CProfileFile>;

    // Loads every version "200" profile the pattern lists (full paths in name order);
    // other and broken files are skipped. True when the library then holds any entry.
    bool ScanProfiles(const std::string& pattern);
    // The same, and stamps gets every file the pattern listed, stamped as the scan found
    // it: the files it read as they were when opened, so a change made after the read
    // is one a later comparison sees.
    bool ScanProfiles(const std::string& pattern, FolderStamps& stamps);
    bool HasProfileOfType(const std::string& device, int type) const;
    // Appends copies of the device's profiles of the type, in library order; true
    // when the list is not empty afterwards.
    bool CollectProfiles(const std::string& device, int type, std::vector<profile::CProfileFile>& list) const;
    // The same profiles shown to `visit` where the library keeps them, without copies.
    void VisitProfiles(const std::string& device, int type,
                       const std::function<void(const profile::CProfileFile&)>& visit) const;
    // The first profile, in library order, whose device is the device and whose file
    // title is the file name without its extension.
    bool FindProfile(const std::string& device, const std::string& fileName, profile::CProfileFile& out) const;
    // The same profile where the library keeps it, or null; valid until the library
    // next changes.
    const profile::CProfileFile* FindEntry(const std::string& device, const std::string& fileName) const;
    void AddProfile(const std::string& device, const profile::CProfileFile& profile);
    void AddProfile(const std::string& device, profile::CProfileFile&& profile);
    bool AddProfileIfNoType(const std::string& device, int type, const profile::CProfileFile& profile);
    // Forgets every profile of the device; files are not touched.
    bool RemoveDevice(const std::string& device);
    // Discards (DiscardFile: to the trash) the file of the first profile, of any
    // device, whose file title is the title of the name, and forgets that profile,
    // unless the file could be neither trashed nor deleted; reason then says why.
    void DeleteProfileFile(const std::string& fileName);
    FileDisposal DeleteProfileFile(const std::string& fileName, std::string& reason);
    // Forgets every profile, of any device, kept for the file at the path (the same
    // text, or a path naming the same file); the file is not touched. A profile just
    // written there replaces them. Returns how many were forgotten.
    std::size_t ForgetProfilesAt(const std::string& filePath);

    // Whether a profile of the library, of any device, has the file title.
    bool HoldsTitle(const std::string& title) const;

    // Adds the device's default profile of the type, made from the templates with the
    // file title given, when it is first asked for: a configuration of many devices
    // then starts without building a profile for each. Every operation sees it as if
    // it had been added with AddProfile.
    void AddDefaultProfile(const std::string& device, int type, const std::string& title,
                           std::shared_ptr<const CDeviceTemplates> templates, const std::string& profilesRoot);

    const EntryMap& Entries() const;
    std::size_t Size() const { return entries.size() + pending.size(); }

private:
    struct PendingDefault {
        int type;
        std::string title;
        std::string profilesRoot;
        std::shared_ptr<const CDeviceTemplates> templates;
    };
    // Gives the device's pending default profiles their place among its entries.
    void Materialise(const std::string& device) const;

    // Every change of the entries goes through these, which count the profiles filed
    // under another device than their own. The hint is where the entry should go (see
    // std::multimap::emplace_hint); a wrong one costs only the search it would have saved.
    void Insert(const std::string& key, profile::CProfileFile&& profile) const;
    void Insert(EntryMap::const_iterator hint, const std::string& key, profile::CProfileFile&& profile) const;
    EntryMap::iterator Erase(EntryMap::iterator entry);

    mutable EntryMap entries;
    mutable std::size_t misfiled = 0;
    mutable std::multimap<std::string, PendingDefault> pending;
};

// A profile file's title, by the one rule the scan and the profiles use
// (profile::FileTitleOf): the name without a final ".xml" in any case.
std::string FileTitleOfName(const std::string& fileName);

// The settings key that holds the converter's folder as its value "Path".
inline constexpr const char* kSettingsKey = "Software\\Kestro";

// The folder part of the settings value "Path" under "Software\Kestro", up to and
// including its last separator; empty when the value is missing, longer than 260
// bytes with its end, or holds no separator.
std::string InstallFolderFromRegistry();

// The program folder. Without an install folder, its "Profiles" folder is created
// when missing (a failure is ignored). The second form takes the folder instead of
// asking the system where the executable is.
std::string ProgramFolder(bool installFolderFound);
std::string ProgramFolder(bool installFolderFound, const std::string& executableFolder);

// Whether the profiles folder of a root can be used, and what is wrong when not.
enum class ProfilesFolderState {
    Usable,        // a folder that can be listed
    NotCreated,    // missing (or not a folder) and could not be made
    NotReadable,   // missing, not a folder, or cannot be listed
};

// The start-up folders, by the one rule that decides where profiles are read (the
// scan), made (default profiles), written (Save As) and removed:
//   - the settings value "Path" names the converter's folder: its Profiles folder,
//     never created there ("Path=/conv" names "/Profiles");
//   - no such value: the program folder's Profiles folder, made when missing;
//   - no such value and the program folder can't hold a Profiles folder the user may
//     write to (a system-wide installation): $XDG_DATA_HOME/orrery/Profiles, which
//     gets a copy of the program folder's sample profiles when it is first made.
// A value too long for the settings buffer names no folder the editor may use: state
// and reason say so, and the profiles root is empty (nothing is read or written).
struct EditorFolders {
    bool hasInstallFolder = false;
    std::string installFolder;   // the settings folder; "/" keeps its separator
    std::string programFolder;
    std::string profilesRoot;    // holds the Profiles folder; empty when there is none
    bool usesDataFolder = false;
    ProfilesFolderState state = ProfilesFolderState::Usable;
    std::string reason;          // the system's words when the state is not Usable
    std::string problemFolder;   // the folder a start-up message names

    const std::string& ProfilesRoot() const { return profilesRoot; }
    std::string ProfilesFolder() const;
    std::string TemplateFolder() const { return programFolder; }
};
EditorFolders LocateFolders();
EditorFolders LocateFolders(const std::string& executableFolder);

// What a start does to the profiles folder before it is read: the deletions left for
// it from last time (only those inside it) and the temporary files a save cut short
// left there more than a minute ago.
void TidyProfilesFolder(const EditorFolders& folders);

// root + "/Profiles", root + "/Profiles/*.xml"; both empty for an empty root.
std::string ProfilesFolder(const std::string& profilesRoot);
std::string ProfilesPattern(const std::string& profilesRoot);
// root + "/Profiles/" + title + ".xml": the file a profile of that title is saved in.
std::string ProfileFilePath(const std::string& profilesRoot, const std::string& title);
std::string ConfigurationPath(const std::string& programFolder);  // folder + "/Orrery.xml"

bool AnyFileMatches(const std::string& pattern);

// With create, a missing profiles folder is made first. reason gets the system's
// words for the failure and is emptied for a usable folder.
ProfilesFolderState CheckProfilesFolder(const std::string& profilesRoot, bool create, std::string& reason);

// What makes a device name unusable. The name becomes part of file names in the
// profiles folder, and one with spaces at its ends would look like another.
enum class DeviceNameFault {
    None,
    Empty,
    DotName,            // "." or ".."
    OuterSpace,         // leading or trailing spaces (so also a name of spaces only)
    Separator,          // "/" or "\"
    ControlCharacter,   // NUL, line breaks and the other control characters
};
DeviceNameFault CheckDeviceName(const std::string& device);
bool IsValidDeviceName(const std::string& device);   // CheckDeviceName gives None

// The device among the known ones whose name differs from the name in ASCII case
// only ("PSP" for "psp"); empty when there is none or the name itself is known.
std::string DeviceDifferingInCase(const std::vector<std::string>& knownDevices, const std::string& name);

// The first title, of title, title-2, title-3 ..., that names no entry of the folder
// (whatever stands there) and for which taken is false.
std::string FreeFileTitle(const std::string& title, const std::string& folder,
                          const std::function<bool(const std::string&)>& taken);

// Turns a freshly constructed profile into the default profile of a device and
// output type, made from the first template of that type (or, without one, from the
// last template; without any template, from the built-in defaults). Audio-only
// profiles lose their video settings. The profile is named "default" and gets the
// file name device + the template name from its first "." + ".xml" in the profiles
// folder; it is not written. A template name whose part from its first "." holds a
// separator or control character counts as one without "." (the title is the
// device). A name whose file exists already belongs to someone else: the profile gets
// the first free one (FreeFileTitle), also passing by the titles the library holds in
// the second form. For a device name that IsValidDeviceName refuses, or without a
// profiles root, the profile gets no file name, so no path outside the profiles
// folder is ever made.
void CreateDeviceProfile(const std::string& device, profile::CProfileFile& profile,
                         const std::string& templateFolder, const std::string& profilesRoot, int type);
void CreateDeviceProfile(const std::string& device, profile::CProfileFile& profile,
                         const std::string& templateFolder, const std::string& profilesRoot, int type,
                         const CProfileLibrary& library);

// Gives the device default profiles of the output types it has none of, with free
// file names; Add Device uses it. Returns how many were added.
int AddDefaultProfiles(CProfileLibrary& library, const std::string& device, const std::string& templateFolder,
                       const std::string& profilesRoot);

// Gives every device default profiles of both output types where it has none: the
// devices of the selector (in its order) and then those the library holds beyond
// them. Returns the library devices the selector lacked, in library order, for the
// caller to append to the selector. Devices whose names IsValidDeviceName refuses get
// no default profiles.
std::vector<std::string> CompleteDevices(CProfileLibrary& library, const std::vector<std::string>& selectorItems,
                                         const std::string& templateFolder, const std::string& profilesRoot);

// Shipped profiles carry a tag containing "kestro" (exact case) and are read-only.
bool IsBuiltInProfile(const profile::CProfileFile& profile);

} // namespace editor
