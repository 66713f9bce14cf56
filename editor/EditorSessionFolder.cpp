// Profiles changed by other programs. The session remembers every file of the
// Profiles folder as the library took it in (its time and size) and the shown file as
// it was loaded; when told the folder may have changed, it compares, takes in what
// changed the way the start-up scan reads files, and lets the selectors follow.

#include "editor/EditorSession.h"

#include <algorithm>
#include <system_error>

#include "editor/StringTable.h"
#include "platform/Platform.h"

namespace editor {

namespace {

bool SamePath(const std::string& a, const std::string& b)
{
    if (a == b)
        return true;
    if (a.empty() || b.empty())
        return false;
    std::error_code error;
    const std::filesystem::path first = std::filesystem::weakly_canonical(a, error);
    if (error)
        return false;
    const std::filesystem::path second = std::filesystem::weakly_canonical(b, error);
    return !error && first == second;
}

} // namespace

void CEditorSession::RememberFile(const std::string& path)
{
    if (ProfilesRoot().empty() || path.empty())
        return;
    // Kept under the name a listing of the folder gives, whatever spelling the
    // writer used, so the next comparison finds it.
    const std::string listed = ProfilesFolder(ProfilesRoot()) + kPathSeparatorText + LastPathPart(path);
    std::error_code error;
    if (listed == path || std::filesystem::equivalent(listed, path, error))
        knownFiles[listed] = StampOf(listed);
}

void CEditorSession::RememberShownFile()
{
    shownStampPath = typeFile.HasCurrentProfile() ? typeFile.FilePath() : std::string();
    shownStamp = StampOf(shownStampPath);
}

bool CEditorSession::MayOverwrite(const std::string& path)
{
    if (shownStampPath.empty() || !SamePath(path, shownStampPath))
        return true;
    const FileStamp now = StampOf(path);
    if (!now.exists || now == shownStamp)
        return true;
    return MessageWithPath(kIdsOverwriteChanged, path, PromptButtons::YesNo, PromptIcon::Warning) == kIdYes;
}

bool CEditorSession::TakeFileIntoLibrary(const std::string& path)
{
    library.ForgetProfilesAt(path);
    profile::CProfileFile loaded;
    if (!LoadProfileFileDeferred(path, loaded) || !loaded.IsVersion200())
        return false;
    const std::string device = loaded.device;
    library.AddProfile(device, std::move(loaded));
    return true;
}

void CEditorSession::RefreshProfileSelector()
{
    const std::vector<std::string> names = ProfileNames(shownDevice, shownOutputType);
    const CSuppressChanges filling(*this);
    if (names != view.Items(Selector::Profile)) {
        const std::string selected = SelectedText(Selector::Profile);
        view.FillSelector(Selector::Profile, names);
        SelectText(Selector::Profile, selected);
    }
    LabelBuiltInProfiles();
}

void CEditorSession::ProfilesFolderChanged()
{
    if (ProfilesRoot().empty())
        return;
    CommitEdit();
    std::vector<std::string> paths;
    ListMatchingFiles(ProfilesPattern(ProfilesRoot()), paths, true);
    std::map<std::string, FileStamp> now;
    for (const std::string& path : paths)
        now.emplace(path, StampOf(path));

    const std::string shownPath = typeFile.HasCurrentProfile() ? typeFile.FilePath() : std::string();
    bool shownGone = false;
    bool shownRewritten = false;
    for (const auto& [path, stamp] : knownFiles) {
        if (now.count(path) != 0)
            continue;
        if (SamePath(path, shownPath)) {
            shownGone = true;
            // Unsaved edits keep their profile listed: Save writes the file again.
            if (changed)
                continue;
        }
        library.ForgetProfilesAt(path);
    }
    for (const auto& [path, stamp] : now) {
        const auto known = knownFiles.find(path);
        if (known != knownFiles.end() && known->second == stamp)
            continue;
        if (SamePath(path, shownPath))
            shownRewritten = true;
        TakeFileIntoLibrary(path);
    }
    knownFiles = std::move(now);

    // Devices that came with new files join the selector, and every device has a
    // profile of each type, as at start.
    for (std::string& device :
         CompleteDevices(library, view.Items(Selector::Device), programFolder, ProfilesRoot()))
        view.AppendItem(Selector::Device, device);

    bool reload = shownRewritten || (shownGone && !changed);
    if (shownRewritten && changed)
        reload = MessageWithPath(kIdsChangedOutside, shownPath, PromptButtons::ReloadKeep, PromptIcon::Question) ==
                 kIdYes;

    const std::vector<std::string> before = view.Items(Selector::Profile);
    RefreshProfileSelector();
    if (!reload)
        return;
    const std::string fileName = ShownFileName();
    const std::vector<std::string> items = view.Items(Selector::Profile);
    std::string next = fileName;
    if (std::find(items.begin(), items.end(), fileName) == items.end()) {
        // The shown profile is gone (or is another device's now): the one after it.
        if (items.empty()) {
            SelectDevice(shownDevice, shownOutputType);
            return;
        }
        const std::size_t index = static_cast<std::size_t>(
            std::find(before.begin(), before.end(), fileName) - before.begin());
        next = items[std::min(index, items.size() - 1)];
    }
    SelectText(Selector::Profile, next);
    LoadProfile(shownDevice, next, shownOutputType);
}

} // namespace editor
