#include "editor/ProfileLibrary.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/MyRegKey.h"
#include "platform/Platform.h"

namespace editor {

namespace {

constexpr std::size_t kRegistryBufferSize = 260;

bool IsControlCharacter(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

bool HoldsSeparatorOrControl(const std::string& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return c == '/' || c == '\\' || IsControlCharacter(c); });
}

// The template name from its first "." on, which new device profiles carry in their
// file titles ("Sample.Standard" gives ".Standard").
std::string TemplateSuffix(const std::string& templateName)
{
    const std::size_t dot = templateName.find('.');
    if (dot == std::string::npos)
        return {};
    std::string suffix = templateName.substr(dot);
    // The suffix becomes part of a file name; one that could climb out of the
    // profiles folder or hide a line break is dropped.
    if (HoldsSeparatorOrControl(suffix))
        return {};
    return suffix;
}

} // namespace

bool CProfileLibrary::ScanProfiles(const std::string& pattern)
{
    std::vector<std::string> paths;
    if (ListMatchingFiles(pattern, paths, true) == 0)
        return false;
    for (const std::string& path : paths) {
        profile::CProfileFile candidate;
        candidate.CreateDefault();
        if (candidate.Load(path) && candidate.IsVersion200())
            AddProfile(candidate.device, candidate);
    }
    return !entries.empty();
}

bool CProfileLibrary::HasProfileOfType(const std::string& device, int type) const
{
    const auto [first, last] = entries.equal_range(device);
    return std::any_of(first, last, [type](const auto& entry) { return entry.second.type == type; });
}

bool CProfileLibrary::CollectProfiles(const std::string& device, int type,
                                      std::vector<profile::CProfileFile>& list) const
{
    const auto [first, last] = entries.equal_range(device);
    for (auto it = first; it != last; ++it) {
        if (it->second.type == type)
            list.push_back(it->second);
    }
    return !list.empty();
}

bool CProfileLibrary::FindProfile(const std::string& device, const std::string& fileName,
                                  profile::CProfileFile& out) const
{
    const std::size_t dot = fileName.rfind('.');
    const std::string title = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    // The profile's own device decides, not the key it was filed under.
    for (const auto& [key, candidate] : entries) {
        if (candidate.device == device && candidate.fileTitle == title) {
            out = candidate;
            return true;
        }
    }
    return false;
}

void CProfileLibrary::AddProfile(const std::string& device, const profile::CProfileFile& profile)
{
    // A multimap inserts after the existing entries of an equal key.
    entries.emplace(device, profile);
}

bool CProfileLibrary::AddProfileIfNoType(const std::string& device, int type, const profile::CProfileFile& profile)
{
    if (HasProfileOfType(device, type))
        return false;
    AddProfile(device, profile);
    return true;
}

bool CProfileLibrary::RemoveDevice(const std::string& device)
{
    return entries.erase(device) != 0;
}

std::string FileTitleOfName(const std::string& fileName)
{
    return fileName.substr(0, fileName.find(".xml"));
}

void CProfileLibrary::DeleteProfileFile(const std::string& fileName)
{
    const std::string title = FileTitleOfName(fileName);
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->second.fileTitle == title) {
            // A default profile that was never saved has no file to delete yet.
            if (!it->second.filePath.empty())
                RemoveFileOrSchedule(it->second.filePath);
            entries.erase(it);
            return;
        }
    }
}

std::size_t CProfileLibrary::ForgetProfilesAt(const std::string& filePath)
{
    if (filePath.empty())
        return 0;
    std::error_code error;
    const std::filesystem::path target = std::filesystem::weakly_canonical(filePath, error);
    const bool resolved = !error;
    std::size_t forgotten = 0;
    for (auto it = entries.begin(); it != entries.end();) {
        const std::string& kept = it->second.filePath;
        bool same = kept == filePath;
        if (!same && resolved && !kept.empty()) {
            // Folders named in the settings may be spelled another way than the path
            // the save dialog gives back for the same file.
            const std::filesystem::path candidate = std::filesystem::weakly_canonical(kept, error);
            same = !error && candidate == target;
        }
        if (same) {
            it = entries.erase(it);
            ++forgotten;
        } else {
            ++it;
        }
    }
    return forgotten;
}

std::string InstallFolderFromRegistry()
{
    CMyRegKey key;
    if (key.OpenKey(kHkeyCurrentUser, kSettingsKey) != kErrorSuccess)
        return {};
    char buffer[kRegistryBufferSize] = {};
    std::size_t size = sizeof buffer;
    if (key.ReadValue("Path", buffer, size) != kErrorSuccess)
        return {};
    const std::string value(buffer);
    const std::size_t separator = value.rfind(kPathSeparator);
    if (separator == std::string::npos)
        return {};
    return value.substr(0, separator + 1);
}

std::string ProgramFolder(bool installFolderFound)
{
    return ProgramFolder(installFolderFound, ExecutableFolder());
}

std::string ProgramFolder(bool installFolderFound, const std::string& executableFolder)
{
    if (!installFolderFound)
        MakeDirectory(ProfilesFolder(executableFolder));
    return executableFolder;
}

EditorFolders LocateFolders()
{
    return LocateFolders(ExecutableFolder());
}

EditorFolders LocateFolders(const std::string& executableFolder)
{
    EditorFolders folders;
    std::string registryFolder = InstallFolderFromRegistry();
    if (!registryFolder.empty()) {
        registryFolder.pop_back();
        folders.hasInstallFolder = true;
        folders.installFolder = registryFolder;
    }
    folders.programFolder = ProgramFolder(folders.hasInstallFolder, executableFolder);
    return folders;
}

std::string ProfilesFolder(const std::string& profilesRoot)
{
    return profilesRoot + kPathSeparatorText + "Profiles";
}

std::string ProfilesPattern(const std::string& profilesRoot)
{
    return ProfilesFolder(profilesRoot) + kPathSeparatorText + "*.xml";
}

std::string ConfigurationPath(const std::string& programFolder)
{
    return programFolder + kPathSeparatorText + kConfigurationFileName;
}

bool AnyFileMatches(const std::string& pattern)
{
    std::vector<std::string> paths;
    return ListMatchingFiles(pattern, paths, true) != 0;
}

ProfilesFolderState CheckProfilesFolder(const std::string& profilesRoot, bool create, std::string& reason)
{
    namespace fs = std::filesystem;
    reason.clear();
    const fs::path folder = ProfilesFolder(profilesRoot);
    std::error_code error;
    const fs::file_status status = fs::status(folder, error);
    if (status.type() == fs::file_type::not_found) {
        if (!create) {
            reason = std::make_error_code(std::errc::no_such_file_or_directory).message();
            return ProfilesFolderState::NotReadable;
        }
        error.clear();
        fs::create_directory(folder, error);
        if (error) {
            reason = error.message();
            return ProfilesFolderState::NotCreated;
        }
    } else if (error) {
        reason = error.message();
        return ProfilesFolderState::NotReadable;
    } else if (!fs::is_directory(status)) {
        // A file of that name stands where the folder belongs.
        reason = std::make_error_code(std::errc::not_a_directory).message();
        return create ? ProfilesFolderState::NotCreated : ProfilesFolderState::NotReadable;
    }
    error.clear();
    fs::directory_iterator listing(folder, error);
    if (error) {
        reason = error.message();
        return ProfilesFolderState::NotReadable;
    }
    return ProfilesFolderState::Usable;
}

bool IsValidDeviceName(const std::string& device)
{
    if (device.empty() || device == "." || device == "..")
        return false;
    return !HoldsSeparatorOrControl(device);
}

void CreateDeviceProfile(const std::string& device, profile::CProfileFile& profile,
                         const std::string& templateFolder, const std::string& profilesRoot, int type)
{
    std::vector<std::string> names;
    ListMatchingFiles(templateFolder + kPathSeparatorText + "*.xml", names, false);
    bool anyCandidate = false;
    bool matched = false;
    for (const std::string& name : names) {
        if (name == kConfigurationFileName)
            continue;
        anyCandidate = true;
        profile.CreateDefault();
        // A template that does not load leaves the defaults; it is never the match,
        // so a broken file cannot hide a good template of the wanted type behind it.
        const bool loaded = profile.Load(templateFolder + kPathSeparatorText + name);
        if (loaded && profile.type == type) {
            matched = true;
            break;
        }
    }
    if (!anyCandidate)
        profile.CreateDefault();

    profile.type = type;
    profile.device = device;
    profile.tag.clear();
    if (type == kAudioOnly) {
        std::string videoCodec;
        profile.GetValue("vcodec.name", videoCodec);
        profile.RemoveCodecSection("vcodec." + videoCodec);
        profile.RemoveNode("common.video");
    }

    // A profile made without a template of its own type would take the title, and so
    // the file, of the device's profile of the other type, and one save would overwrite
    // the other's file: it gets the suffix of the shipped template of its type instead.
    const std::string suffix = matched ? TemplateSuffix(profile.name) : type == kAudioOnly ? ".Audio" : ".Standard";
    const std::string title = device + suffix;
    profile.name = "default";
    if (!IsValidDeviceName(device)) {
        profile.SetFileName({}, {});
        return;
    }
    profile.SetFileName(ProfilesFolder(profilesRoot) + kPathSeparatorText + title + ".xml", title);
}

std::vector<std::string> CompleteDevices(CProfileLibrary& library, const std::vector<std::string>& selectorItems,
                                         const std::string& templateFolder, const std::string& profilesRoot)
{
    std::vector<std::string> names = selectorItems;
    std::vector<std::string> appended;
    for (const auto& entry : library.Entries()) {
        const std::string& device = entry.first;
        if (std::find(names.begin(), names.end(), device) == names.end()) {
            names.push_back(device);
            appended.push_back(device);
        }
    }
    for (const std::string& device : names) {
        if (!IsValidDeviceName(device))
            continue;
        for (int type : {kVideoAndAudio, kAudioOnly}) {
            if (library.HasProfileOfType(device, type))
                continue;
            profile::CProfileFile created;
            CreateDeviceProfile(device, created, templateFolder, profilesRoot, type);
            library.AddProfileIfNoType(device, type, created);
        }
    }
    return appended;
}

bool IsBuiltInProfile(const profile::CProfileFile& profile)
{
    return profile.tag.find("kestro") != std::string::npos;
}

} // namespace editor
