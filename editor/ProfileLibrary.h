#pragma once

// Where profiles live and which exist: the install and program folders, the scan of
// the Profiles folder, the profiles grouped by device, the default profiles of new
// devices and the read-only rule of the shipped profiles.
//
// Folders are written without a trailing separator:
//   profiles root   = the install folder named by the settings value "Path", or else
//                     the program folder (the executable's own folder);
//   profiles folder = profiles root + "/Profiles";
//   template folder = the program folder (the "*.xml" files beside the executable).

#include <map>
#include <string>
#include <vector>

#include "profile/ProfileFile.h"

namespace editor {

// Output types of a profile (its root attribute "type").
inline constexpr int kVideoAndAudio = 0;
inline constexpr int kAudioOnly = 2;

// Name of the configuration file in the program folder; never a template.
inline constexpr const char* kConfigurationFileName = "Orrery.xml";

class CProfileLibrary {
public:
    // Device -> profile copies: devices in byte order, a device's profiles in the
    // order they were added.
    using EntryMap = std::multimap<std::string, profile::CProfileFile>;

    // Loads every version "200" profile the pattern lists (full paths in name order);
    // other and broken files are skipped. True when the library then holds any entry.
    bool ScanProfiles(const std::string& pattern);
    bool HasProfileOfType(const std::string& device, int type) const;
    // Appends copies of the device's profiles of the type, in library order; true
    // when the list is not empty afterwards.
    bool CollectProfiles(const std::string& device, int type, std::vector<profile::CProfileFile>& list) const;
    // The first profile, in library order, whose device is the device and whose file
    // title is the file name without its extension.
    bool FindProfile(const std::string& device, const std::string& fileName, profile::CProfileFile& out) const;
    void AddProfile(const std::string& device, const profile::CProfileFile& profile);
    bool AddProfileIfNoType(const std::string& device, int type, const profile::CProfileFile& profile);
    // Forgets every profile of the device; files are not touched.
    bool RemoveDevice(const std::string& device);
    // Deletes the file of the first profile, of any device, whose file title is the
    // name cut at its first ".xml", and forgets that profile. The entry goes even when
    // the file can only be deleted at the next start.
    void DeleteProfileFile(const std::string& fileName);
    // Forgets every profile, of any device, kept for the file at the path (the same
    // text, or a path naming the same file); the file is not touched. A profile just
    // written there replaces them. Returns how many were forgotten.
    std::size_t ForgetProfilesAt(const std::string& filePath);

    const auto& Entries() const { return entries; }
    std::size_t Size() const { return entries.size(); }

private:
    EntryMap entries;
};

// A profile file's title as the library keeps it: the name up to its first ".xml".
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

// The start-up folders, located in the order the window needs them: the install
// folder from the settings, then the program folder (creating its Profiles folder
// when no install folder is named).
struct EditorFolders {
    bool hasInstallFolder = false;
    std::string installFolder;   // the settings folder without its trailing separator
    std::string programFolder;

    std::string ProfilesRoot() const { return hasInstallFolder ? installFolder : programFolder; }
    std::string TemplateFolder() const { return programFolder; }
};
EditorFolders LocateFolders();
EditorFolders LocateFolders(const std::string& executableFolder);

std::string ProfilesFolder(const std::string& profilesRoot);      // root + "/Profiles"
std::string ProfilesPattern(const std::string& profilesRoot);     // root + "/Profiles/*.xml"
std::string ConfigurationPath(const std::string& programFolder);  // folder + "/Orrery.xml"

bool AnyFileMatches(const std::string& pattern);

// Whether the profiles folder of a root can be used, and what is wrong when not.
enum class ProfilesFolderState {
    Usable,        // a folder that can be listed
    NotCreated,    // missing (or not a folder) and could not be made
    NotReadable,   // missing, not a folder, or cannot be listed
};
// With create, a missing profiles folder is made first. reason gets the system's
// words for the failure and is emptied for a usable folder.
ProfilesFolderState CheckProfilesFolder(const std::string& profilesRoot, bool create, std::string& reason);

// Whether a device name can become part of a file name in the profiles folder: not
// empty, not "." or "..", and free of path separators ("/" and "\"), NUL and other
// control characters.
bool IsValidDeviceName(const std::string& device);

// Turns a freshly constructed profile into the default profile of a device and
// output type, made from the first template of that type (or, without one, from the
// last template; without any template, from the built-in defaults). Audio-only
// profiles lose their video settings. The profile is named "default" and gets the
// file name device + the template name from its first "." + ".xml" in the profiles
// folder; it is not written. A template name whose part from its first "." holds a
// separator or control character counts as one without "." (the title is the
// device). For a device name that IsValidDeviceName refuses the profile gets no file
// name, so no path outside the profiles folder is ever made.
void CreateDeviceProfile(const std::string& device, profile::CProfileFile& profile,
                         const std::string& templateFolder, const std::string& profilesRoot, int type);

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
