#include "editor/ProfileLibrary.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "markup/FileAccess.h"
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

namespace {

// One stat gives the file's stamp and sets aside what is no regular file or too large
// without opening it (an open costs two more system calls a file, and of a device it
// may do something); the read that follows takes only a regular file again.
bool StatProfileFile(const std::string& path, FileStamp& stamp)
{
    stamp = FileStamp();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
    stamp.exists = true;
    stamp.seconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
    stamp.nanoseconds = static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    if (!S_ISREG(info.st_mode))
        return false;
    stamp.size = static_cast<std::uintmax_t>(info.st_size);
    return stamp.size <= kMaxProfileFileSize;
}

bool MayReadProfileFile(const std::string& path)
{
    FileStamp stamp;
    return StatProfileFile(path, stamp);
}

} // namespace

bool LoadProfileFile(const std::string& path, profile::CProfileFile& profile)
{
    return MayReadProfileFile(path) && profile.Load(path);
}

bool LoadProfileFileDeferred(const std::string& path, profile::CProfileFile& profile)
{
    return MayReadProfileFile(path) && profile.LoadDeferred(path);
}

FileStamp StampOf(const std::string& path)
{
    FileStamp stamp;
    StatProfileFile(path, stamp);
    return stamp;
}

bool CProfileLibrary::ScanProfiles(const std::string& pattern)
{
    FolderStamps stamps;
    return ScanProfiles(pattern, stamps);
}

bool CProfileLibrary::ScanProfiles(const std::string& pattern, FolderStamps& stamps)
{
    stamps.clear();
    std::vector<ListedFile> files;
    if (ListMatchingFiles(pattern, files) == 0)
        return false;
    // Only the root attributes are read now; a profile's sections are read from its
    // text when it is first shown, so a start with thousands of profiles builds the
    // tree of the few it shows.
    //
    // The files come in name order, which need not be the devices' order. Inserting
    // each one as it is read would search the whole map, a miss of the cache at every
    // level; the profiles are kept aside instead and go in device by device, in the
    // map's order, each after the one before it. A device's profiles keep the listing's
    // order and follow what the library held of that device already, as AddProfile
    // would put them.
    std::vector<profile::CProfileFile> scanned;
    scanned.reserve(files.size());
    for (ListedFile& file : files) {
        // What the listing did not tell to be a regular file gets a stat before it is
        // opened, so no FIFO, device or huge file is ever opened; the open then takes
        // only a regular file again, and its size and time come from that open.
        FileStamp stamp;
        if (file.regular || StatProfileFile(file.path, stamp)) {
            std::string text;
            std::string reason;
            FileFacts facts;
            bool known = false;
            const bool read = ReadRegularFile(file.path, kMaxProfileFileSize, text, reason, facts, known);
            stamp = known ? FileStamp{true, facts.seconds, facts.nanoseconds, facts.size} : StampOf(file.path);
            profile::CProfileFile candidate;
            if (read && candidate.LoadDeferredText(file.path, std::move(text)) && candidate.IsVersion200())
                scanned.push_back(std::move(candidate));
        }
        // The listing's order is the map's for names alike in case: the hint then saves
        // the search.
        stamps.emplace_hint(stamps.end(), std::move(file.path), stamp);
    }
    // The vector no longer grows, so views of its devices stay valid; a group's view is
    // of its first profile's device, which no other group's moves touch.
    std::unordered_map<std::string_view, std::vector<std::uint32_t>> byDevice;
    for (std::uint32_t i = 0; i < scanned.size(); ++i)
        byDevice[scanned[i].device].push_back(i);
    std::vector<std::pair<std::string_view, const std::vector<std::uint32_t>*>> groups;
    groups.reserve(byDevice.size());
    for (const auto& [device, members] : byDevice)
        groups.emplace_back(device, &members);
    std::sort(groups.begin(), groups.end());
    for (const auto& [view, members] : groups) {
        const std::string device(view);
        Materialise(device);
        // Each one goes just before the entry after the device's last: the map's end
        // while the library was empty.
        const auto place = entries.upper_bound(device);
        for (const std::uint32_t i : *members)
            Insert(place, device, std::move(scanned[i]));
    }
    return !entries.empty();
}

bool CProfileLibrary::HasProfileOfType(const std::string& device, int type) const
{
    const auto [first, last] = entries.equal_range(device);
    const auto [pendingFirst, pendingLast] = pending.equal_range(device);
    return std::any_of(first, last, [type](const auto& entry) { return entry.second.type == type; })
        || std::any_of(pendingFirst, pendingLast, [type](const auto& entry) { return entry.second.type == type; });
}

void CProfileLibrary::Materialise(const std::string& device) const
{
    const auto [first, last] = pending.equal_range(device);
    for (auto it = first; it != last; ++it) {
        profile::CProfileFile made;
        it->second.templates->MakeProfileTitled(device, it->second.type, it->second.profilesRoot, it->second.title,
                                                made);
        Insert(device, std::move(made));
    }
    pending.erase(first, last);
}

const CProfileLibrary::EntryMap& CProfileLibrary::Entries() const
{
    while (!pending.empty())
        Materialise(pending.begin()->first);
    return entries;
}

bool CProfileLibrary::HoldsTitle(const std::string& title) const
{
    const auto holds = [&title](const auto& entry) {
        return entry.second.fileTitle == title;
    };
    return std::any_of(entries.begin(), entries.end(), holds)
        || std::any_of(pending.begin(), pending.end(), [&title](const auto& entry) { return entry.second.title == title; });
}

void CProfileLibrary::AddDefaultProfile(const std::string& device, int type, const std::string& title,
                                        std::shared_ptr<const CDeviceTemplates> templates,
                                        const std::string& profilesRoot)
{
    pending.emplace(device, PendingDefault{type, title, profilesRoot, std::move(templates)});
}

bool CProfileLibrary::CollectProfiles(const std::string& device, int type,
                                      std::vector<profile::CProfileFile>& list) const
{
    VisitProfiles(device, type, [&list](const profile::CProfileFile& profile) { list.push_back(profile); });
    return !list.empty();
}

void CProfileLibrary::VisitProfiles(const std::string& device, int type,
                                    const std::function<void(const profile::CProfileFile&)>& visit) const
{
    Materialise(device);
    const auto [first, last] = entries.equal_range(device);
    for (auto it = first; it != last; ++it) {
        if (it->second.type == type)
            visit(it->second);
    }
}

bool CProfileLibrary::FindProfile(const std::string& device, const std::string& fileName,
                                  profile::CProfileFile& out) const
{
    const profile::CProfileFile* found = FindEntry(device, fileName);
    if (found != nullptr)
        out = *found;
    return found != nullptr;
}

const profile::CProfileFile* CProfileLibrary::FindEntry(const std::string& device, const std::string& fileName) const
{
    const std::string title = FileTitleOfName(fileName);
    Materialise(device);
    // The profile's own device decides, not the key it was filed under; while every
    // profile is filed under its own device, only that device's entries can match.
    const auto matches = [&](const auto& entry) {
        return entry.second.device == device && entry.second.fileTitle == title;
    };
    const auto [first, last] =
        misfiled == 0 ? entries.equal_range(device) : std::make_pair(entries.begin(), entries.end());
    const auto found = std::find_if(first, last, matches);
    return found != last ? &found->second : nullptr;
}

void CProfileLibrary::Insert(const std::string& key, profile::CProfileFile&& profile) const
{
    Insert(entries.upper_bound(key), key, std::move(profile));
}

void CProfileLibrary::Insert(EntryMap::const_iterator hint, const std::string& key,
                             profile::CProfileFile&& profile) const
{
    if (profile.device != key)
        ++misfiled;
    entries.emplace_hint(hint, key, std::move(profile));
}

CProfileLibrary::EntryMap::iterator CProfileLibrary::Erase(EntryMap::iterator entry)
{
    if (entry->second.device != entry->first)
        --misfiled;
    return entries.erase(entry);
}

void CProfileLibrary::AddProfile(const std::string& device, const profile::CProfileFile& profile)
{
    // A multimap inserts after the existing entries of an equal key.
    Materialise(device);
    Insert(device, profile::CProfileFile(profile));
}

void CProfileLibrary::AddProfile(const std::string& device, profile::CProfileFile&& profile)
{
    Materialise(device);
    Insert(device, std::move(profile));
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
    const bool hadPending = pending.erase(device) != 0;
    const auto [first, last] = entries.equal_range(device);
    const bool hadEntries = first != last;
    for (auto it = first; it != last;)
        it = Erase(it);
    return hadEntries || hadPending;
}

std::string FileTitleOfName(const std::string& fileName)
{
    return profile::FileTitleOf(fileName);
}

void CProfileLibrary::DeleteProfileFile(const std::string& fileName)
{
    std::string reason;
    DeleteProfileFile(fileName, reason);
}

FileDisposal CProfileLibrary::DeleteProfileFile(const std::string& fileName, std::string& reason)
{
    reason.clear();
    const std::string title = FileTitleOfName(fileName);
    // The first match in library order may be a default not made yet.
    std::vector<std::string> devices;
    for (const auto& [device, waiting] : pending)
        if (waiting.title == title)
            devices.push_back(device);
    for (const std::string& device : devices)
        Materialise(device);
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->second.fileTitle != title)
            continue;
        // A default profile that was never saved has no file to delete yet.
        const FileDisposal disposal =
            it->second.filePath.empty() ? FileDisposal::NotFound : DiscardFile(it->second.filePath, reason);
        // A file that is still there stays listed, so the user sees what is left.
        if (disposal != FileDisposal::Failed)
            Erase(it);
        return disposal;
    }
    return FileDisposal::NotFound;
}

namespace {

// The file a path names, a link followed: false when nothing is there.
bool FileIdentity(const std::string& path, dev_t& device, ino_t& inode)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
    device = info.st_dev;
    inode = info.st_ino;
    return true;
}

} // namespace

std::size_t CProfileLibrary::ForgetProfilesAt(const std::string& filePath)
{
    if (filePath.empty())
        return 0;
    // Folders named in the settings may be spelled another way than the path the save
    // dialog gives back for the same file, so paths compare by what they resolve to.
    // Resolving costs several system calls a path, so cheaper tests go first.
    bool resolvedYet = false;
    bool resolved = false;
    std::filesystem::path target;
    const auto resolveTarget = [&] {
        if (!resolvedYet) {
            std::error_code error;
            target = std::filesystem::weakly_canonical(filePath, error);
            resolved = !error;
            resolvedYet = true;
        }
        return resolved;
    };
    const auto resolvesToTarget = [&](const std::string& kept) {
        if (!resolveTarget())
            return false;
        std::error_code error;
        const std::filesystem::path candidate = std::filesystem::weakly_canonical(kept, error);
        return !error && candidate == target;
    };
    // A path in the target's folder, spelled the same way up to its name, resolves to
    // that folder and its own name unless the name is a link: it names the target only
    // when its name is the target's (or, the target being a link, the name the link
    // leads to) or it is a link itself. The folder is listed once for its links.
    const std::size_t cut = filePath.rfind(kPathSeparator);
    const std::string folder = cut == std::string::npos ? std::string() : filePath.substr(0, cut + 1);
    bool linksListed = false;
    bool listingFailed = false;
    std::unordered_set<std::string> maybeLinks;
    const auto mayBeLink = [&](const std::string& entryName) {
        if (!linksListed) {
            linksListed = true;
            DIR* dir = ::opendir(folder.c_str());
            listingFailed = dir == nullptr;
            if (dir != nullptr) {
                while (const dirent* entry = ::readdir(dir)) {
                    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
                        maybeLinks.insert(entry->d_name);
                }
                ::closedir(dir);
            }
        }
        return listingFailed || maybeLinks.count(entryName) != 0;
    };
    // Elsewhere one stat tells most files apart, since two files that exist and differ
    // never resolve to the same path.
    dev_t targetDevice{};
    ino_t targetInode{};
    const bool targetExists = FileIdentity(filePath, targetDevice, targetInode);
    const auto same = [&](const std::string& kept) {
        if (kept.empty())
            return false;
        if (kept == filePath)
            return true;
        if (!folder.empty() && kept.size() > folder.size() && kept.compare(0, folder.size(), folder) == 0 &&
            kept.find(kPathSeparator, folder.size()) == std::string::npos) {
            const std::string keptName = kept.substr(folder.size());
            const bool mayNameTarget = keptName == "." || keptName == ".." || mayBeLink(keptName) ||
                                       (resolveTarget() && keptName == target.filename().string());
            return mayNameTarget && resolvesToTarget(kept);
        }
        dev_t device{};
        ino_t inode{};
        if (targetExists && FileIdentity(kept, device, inode) && (device != targetDevice || inode != targetInode))
            return false;
        return resolvesToTarget(kept);
    };
    std::size_t forgotten = 0;
    // A default not made yet is compared by the path it is made with, and forgotten
    // without being made.
    for (auto it = pending.begin(); it != pending.end();) {
        const PendingDefault& waiting = it->second;
        const std::string kept =
            waiting.title.empty() ? std::string() : ProfileFilePath(waiting.profilesRoot, waiting.title);
        if (same(kept)) {
            it = pending.erase(it);
            ++forgotten;
        } else {
            ++it;
        }
    }
    for (auto it = entries.begin(); it != entries.end();) {
        if (same(it->second.filePath)) {
            it = Erase(it);
            ++forgotten;
        } else {
            ++it;
        }
    }
    return forgotten;
}

namespace {

enum class SettingsPath { Missing, TooLong, Folder };

// The settings value "Path" read into the buffer the converter's value has always had;
// folder gets the part up to and including its last separator (for a value too long,
// from the whole value, so a message can name it).
SettingsPath ReadSettingsPath(std::string& folder)
{
    folder.clear();
    CMyRegKey key;
    if (key.OpenKey(kHkeyCurrentUser, kSettingsKey) != kErrorSuccess)
        return SettingsPath::Missing;
    char buffer[kRegistryBufferSize] = {};
    std::size_t size = sizeof buffer;
    std::string value;
    const long result = key.ReadValue("Path", buffer, size);
    if (result == kErrorSuccess)
        value = buffer;
    else if (result != kErrorMoreData || key.ReadValue("Path", value) != kErrorSuccess)
        return SettingsPath::Missing;
    const std::size_t separator = value.rfind(kPathSeparator);
    if (separator == std::string::npos)
        return SettingsPath::Missing;
    folder = value.substr(0, separator + 1);
    return result == kErrorSuccess ? SettingsPath::Folder : SettingsPath::TooLong;
}

// A folder named with its trailing separator, as a folder is kept: without it, except
// for "/" itself.
std::string WithoutTrailingSeparator(std::string folder)
{
    if (folder.size() > 1 && folder.back() == kPathSeparator)
        folder.pop_back();
    return folder;
}

// The program folder holds a Profiles folder when one the user may write to stands
// there or can be made.
bool ProgramFolderHoldsProfiles(const std::string& programFolder)
{
    const std::string folder = ProfilesFolder(programFolder);
    if (EntryExists(folder))
        return IsWritableFolder(folder);
    return MakeDirectory(folder);
}

// The samples a system-wide installation ships in its program folder go into the
// user's new Profiles folder, never over a file that is there.
void CopySampleProfiles(const std::string& fromFolder, const std::string& toFolder)
{
    std::vector<std::string> names;
    ListMatchingFiles(fromFolder + kPathSeparatorText + "*.xml", names, false);
    for (const std::string& name : names) {
        std::string text;
        std::string reason;
        if (ReadRegularFile(fromFolder + kPathSeparatorText + name, kMaxProfileFileSize, text, reason))
            WriteFileAtomically(toFolder + kPathSeparatorText + name, text, reason, WriteMode::NoReplace);
    }
}

void UseDataFolder(EditorFolders& folders)
{
    folders.usesDataFolder = true;
    const std::string data = UserDataFolder();
    if (data.empty()) {
        folders.state = ProfilesFolderState::NotCreated;
        folders.reason = std::strerror(ENOENT);
        folders.problemFolder = "$XDG_DATA_HOME/orrery/Profiles";
        return;
    }
    folders.profilesRoot = data + kPathSeparatorText + "orrery";
    const std::string profiles = ProfilesFolder(folders.profilesRoot);
    std::error_code error;
    std::filesystem::create_directories(folders.profilesRoot, error);
    const bool firstStart = !std::filesystem::exists(profiles, error);
    folders.state = CheckProfilesFolder(folders.profilesRoot, true, folders.reason);
    if (firstStart && folders.state == ProfilesFolderState::Usable)
        CopySampleProfiles(ProfilesFolder(folders.programFolder), profiles);
}

} // namespace

std::string InstallFolderFromRegistry()
{
    std::string folder;
    return ReadSettingsPath(folder) == SettingsPath::Folder ? folder : std::string();
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

std::string EditorFolders::ProfilesFolder() const
{
    return editor::ProfilesFolder(profilesRoot);
}

EditorFolders LocateFolders()
{
    return LocateFolders(ExecutableFolder());
}

EditorFolders LocateFolders(const std::string& executableFolder)
{
    EditorFolders folders;
    folders.programFolder = executableFolder;
    std::string settingsFolder;
    switch (ReadSettingsPath(settingsFolder)) {
    case SettingsPath::TooLong:
        folders.hasInstallFolder = true;
        folders.state = ProfilesFolderState::NotReadable;
        folders.reason = std::strerror(ENAMETOOLONG);
        folders.problemFolder = ProfilesFolder(WithoutTrailingSeparator(settingsFolder));
        return folders;
    case SettingsPath::Folder:
        // The converter's folder is not the editor's to fill: nothing is made there.
        folders.hasInstallFolder = true;
        folders.installFolder = WithoutTrailingSeparator(settingsFolder);
        folders.profilesRoot = folders.installFolder;
        folders.state = CheckProfilesFolder(folders.profilesRoot, false, folders.reason);
        break;
    case SettingsPath::Missing:
        if (ProgramFolderHoldsProfiles(executableFolder)) {
            folders.profilesRoot = executableFolder;
            folders.state = CheckProfilesFolder(folders.profilesRoot, false, folders.reason);
        } else {
            UseDataFolder(folders);
        }
        break;
    }
    if (folders.problemFolder.empty())
        folders.problemFolder = folders.ProfilesFolder();
    return folders;
}

void TidyProfilesFolder(const EditorFolders& folders)
{
    const std::string folder = folders.ProfilesFolder();
    if (folder.empty())
        return;
    ProcessPendingDeletions(folder);
    // A save still running in another editor has written its file within the minute.
    RemoveStaleSaveTemporaries(folder, 60);
}

std::string ProfileFilePath(const std::string& profilesRoot, const std::string& title)
{
    return ProfilesFolder(profilesRoot) + kPathSeparatorText + title + ".xml";
}

std::string ProfilesFolder(const std::string& profilesRoot)
{
    if (profilesRoot.empty())
        return {};
    const bool endsInSeparator = profilesRoot.back() == kPathSeparator;
    return profilesRoot + (endsInSeparator ? "" : kPathSeparatorText) + "Profiles";
}

std::string ProfilesPattern(const std::string& profilesRoot)
{
    const std::string folder = ProfilesFolder(profilesRoot);
    return folder.empty() ? folder : folder + kPathSeparatorText + "*.xml";
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

DeviceNameFault CheckDeviceName(const std::string& device)
{
    if (device.empty())
        return DeviceNameFault::Empty;
    if (device == "." || device == "..")
        return DeviceNameFault::DotName;
    if (device.front() == ' ' || device.back() == ' ')
        return DeviceNameFault::OuterSpace;
    if (std::any_of(device.begin(), device.end(), [](char c) { return c == '/' || c == '\\'; }))
        return DeviceNameFault::Separator;
    if (std::any_of(device.begin(), device.end(), IsControlCharacter))
        return DeviceNameFault::ControlCharacter;
    return DeviceNameFault::None;
}

bool IsValidDeviceName(const std::string& device)
{
    return CheckDeviceName(device) == DeviceNameFault::None;
}

std::string DeviceDifferingInCase(const std::vector<std::string>& knownDevices, const std::string& name)
{
    if (std::find(knownDevices.begin(), knownDevices.end(), name) != knownDevices.end())
        return {};
    for (const std::string& known : knownDevices) {
        if (CompareNoCase(known, name.c_str()) == 0)
            return known;
    }
    return {};
}

std::string FreeFileTitle(const std::string& title, const std::string& folder,
                          const std::function<bool(const std::string&)>& taken)
{
    std::string candidate = title;
    for (int number = 2;; ++number) {
        // A link, even one to nothing, is someone's file too.
        if (!(taken && taken(candidate)) && !EntryExists(folder + kPathSeparatorText + candidate + ".xml"))
            return candidate;
        candidate = title + "-" + std::to_string(number);
    }
}

CDeviceTemplates::CDeviceTemplates(const std::string& templateFolder)
{
    std::vector<std::string> names;
    ListMatchingFiles(templateFolder + kPathSeparatorText + "*.xml", names, false);
    for (const int type : {kVideoAndAudio, kAudioOnly}) {
        Prototype& prototype = type == kAudioOnly ? audio : video;
        profile::CProfileFile& made = prototype.profile;
        bool anyCandidate = false;
        bool matched = false;
        for (const std::string& name : names) {
            if (name == kConfigurationFileName)
                continue;
            anyCandidate = true;
            made.CreateDefault();
            // A template that does not load leaves the defaults; it is never the
            // match, so a broken file cannot hide a good template of the wanted type.
            if (LoadProfileFile(templateFolder + kPathSeparatorText + name, made) && made.type == type) {
                matched = true;
                break;
            }
        }
        if (!anyCandidate)
            made.CreateDefault();

        made.type = type;
        made.tag.clear();
        if (type == kAudioOnly) {
            std::string videoCodec;
            made.GetValue("vcodec.name", videoCodec);
            made.RemoveCodecSection("vcodec." + videoCodec);
            made.RemoveNode("common.video");
        }
        // A profile made without a template of its own type would take the title, and
        // so the file, of the device's profile of the other type, and one save would
        // overwrite the other's file: it gets the suffix of the shipped template of
        // its type instead.
        prototype.suffix = matched ? TemplateSuffix(made.name) : type == kAudioOnly ? ".Audio" : ".Standard";
        made.name = "default";
    }
}

std::string CDeviceTemplates::Title(const std::string& device, int type, const std::string& profilesRoot,
                                    const std::function<bool(const std::string&)>& taken) const
{
    if (!IsValidDeviceName(device) || profilesRoot.empty())
        return {};
    const Prototype& prototype = type == kAudioOnly ? audio : video;
    return FreeFileTitle(device + prototype.suffix, ProfilesFolder(profilesRoot), taken);
}

void CDeviceTemplates::MakeProfileTitled(const std::string& device, int type, const std::string& profilesRoot,
                                         const std::string& title, profile::CProfileFile& out) const
{
    out.CopyFrom(type == kAudioOnly ? audio.profile : video.profile);
    out.type = type;
    out.device = device;
    if (title.empty())
        out.SetFileName({}, {});
    else
        out.SetFileName(ProfileFilePath(profilesRoot, title), title);
}

void CDeviceTemplates::MakeProfile(const std::string& device, int type, const std::string& profilesRoot,
                                   const std::function<bool(const std::string&)>& taken,
                                   profile::CProfileFile& out) const
{
    MakeProfileTitled(device, type, profilesRoot, Title(device, type, profilesRoot, taken), out);
}

void CreateDeviceProfile(const std::string& device, profile::CProfileFile& profile,
                         const std::string& templateFolder, const std::string& profilesRoot, int type)
{
    CDeviceTemplates(templateFolder).MakeProfile(device, type, profilesRoot, nullptr, profile);
}

void CreateDeviceProfile(const std::string& device, profile::CProfileFile& profile,
                         const std::string& templateFolder, const std::string& profilesRoot, int type,
                         const CProfileLibrary& library)
{
    CDeviceTemplates(templateFolder).MakeProfile(
        device, type, profilesRoot, [&library](const std::string& title) { return library.HoldsTitle(title); },
        profile);
}

int AddDefaultProfiles(CProfileLibrary& library, const std::string& device, const std::string& templateFolder,
                       const std::string& profilesRoot)
{
    const CDeviceTemplates templates(templateFolder);
    int added = 0;
    for (const int type : {kVideoAndAudio, kAudioOnly}) {
        if (library.HasProfileOfType(device, type))
            continue;
        profile::CProfileFile created;
        templates.MakeProfile(device, type, profilesRoot,
                              [&library](const std::string& title) { return library.HoldsTitle(title); },
                              created);
        library.AddProfile(device, std::move(created));
        ++added;
    }
    return added;
}

std::vector<std::string> CompleteDevices(CProfileLibrary& library, const std::vector<std::string>& selectorItems,
                                         const std::string& templateFolder, const std::string& profilesRoot)
{
    // A configuration may list tens of thousands of devices: sets keep every lookup
    // here from walking the whole list again, the templates are read once, and the
    // defaults are made only when they are asked for.
    std::vector<std::string> names = selectorItems;
    std::unordered_set<std::string> known(names.begin(), names.end());
    std::unordered_set<std::string> titles;
    std::vector<std::string> appended;
    for (const auto& [device, profile] : library.Entries()) {
        titles.insert(profile.fileTitle);
        if (known.insert(device).second) {
            names.push_back(device);
            appended.push_back(device);
        }
    }
    const auto templates = std::make_shared<const CDeviceTemplates>(templateFolder);
    const auto taken = [&titles](const std::string& title) { return titles.count(title) != 0; };
    for (const std::string& device : names) {
        if (!IsValidDeviceName(device))
            continue;
        for (const int type : {kVideoAndAudio, kAudioOnly}) {
            if (library.HasProfileOfType(device, type))
                continue;
            const std::string title = templates->Title(device, type, profilesRoot, taken);
            titles.insert(title);
            library.AddDefaultProfile(device, type, title, templates, profilesRoot);
        }
    }
    return appended;
}

bool IsBuiltInProfile(const profile::CProfileFile& profile)
{
    return profile.tag.find("kestro") != std::string::npos;
}

} // namespace editor
