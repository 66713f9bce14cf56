#include "editor/StringTable.h"

#include <utility>

namespace editor {

namespace {

struct StringEntry {
    int id;
    const char* text;
};

constexpr StringEntry kStrings[] = {
    {kIdsAboutBox, "&About Kestro Orrery..."},
    {kIdsMessageCaption, "Kestro Orrery"},
    {kIdsSaveChanged, "Do you want to save the changed profile?"},
    {kIdsRemoveDevice,
     "All the profiles which belong to device (%s) will be deleted. Are you sure to do it?"},
    {kIdsProfileSaved, "Profile saved successfully!"},
    {kIdsBuiltInProfile,
     "The profile can't be saved since it belongs to Kestro. Do you want to save it as another file?"},
    {kIdsEmptyProfileName, "The profile name can't be empty!"},
    {kIdsSaveFailed, "The profile could not be saved."},
    {kIdsBadDeviceName, "The device name can't be used as a file name."},
    {kIdsProfilesNotCreated, "The Profiles folder could not be created:"},
    {kIdsProfilesNotReadable, "The Profiles folder could not be read:"},
    {kIdsProfilesFolderHint,
     "The \"Path\" value in the settings file %s names the converter's folder, whose Profiles folder "
     "holds the profiles. Until that folder can be used, profiles are kept only while the editor runs; "
     "use Save As to save one where you can write."},
    {kIdsDeviceExists, "A device named \"%s\" exists already; its name differs only in upper and lower case."},
    {kIdsMenuUndo, "&Undo"},
    {kIdsMenuRedo, "&Redo"},
    {kIdsMenuRevert, "Re&vert to Saved"},
    {kIdsMenuDuplicate, "&Duplicate"},
    {kIdsMenuRename, "Re&name..."},
    {kIdsMenuDelete, "De&lete..."},
    {kIdsBuiltInNoRename, "A built-in profile can't be renamed. Duplicate it to get a copy of your own."},
    {kIdsBuiltInNoDelete, "A built-in profile can't be deleted."},
    {kIdsRenamePrompt, "New name of the profile (its file is renamed with it):"},
    {kIdsNameTaken, "The profile can't be renamed: a file named \"%s\" exists already in the Profiles folder."},
    {kIdsBadProfileName,
     "The profile can't be renamed: the name can't be used in a file name (it must not be empty, begin or "
     "end with a space, or hold \"/\", \"\\\" or control characters)."},
    {kIdsDeleteQuestion, "Move the profile file to the trash?"},
    {kIdsDeleteFailed, "The profile file could not be moved to the trash or deleted."},
    {kIdsRevertQuestion, "Discard your changes and show the profile as its file holds it?"},
    {kIdsChangedOutside,
     "Another program changed the profile file. Reload it (your changes are lost) or keep your changes?"},
    {kIdsOverwriteChanged,
     "Another program changed the profile file since it was loaded. Do you want to overwrite it with your profile?"},
    {kIdsBuiltInMark, "(built-in)"},
    {kIdsRenameFailed, "The profile could not be renamed."},
    {kIdsStateNotSaved, "The device and profile shown could not be kept for the next start."},
    {kIdsButtonReload, "&Reload"},
    {kIdsButtonKeepMine, "&Keep Mine"},
    {kIdsCopyName, "%s copy"},
    {kIdsNoProfilesFolder, "There is no Profiles folder to write the profile to."},
    {kIdsRenameCaption, "Rename Profile"},
    {kIdsDefaultBitrateRange, "The default bitrate must lie between %s and %s kbps."},
    {kIdsMaxBitrateRange, "The maximum bitrate must not be below the default bitrate of %s kbps."},
    {kIdsRemoveDeviceFiles, "Profile files that go to the desktop trash: %s"},
    {kIdsRemoveDeviceBuiltIn, "Among them, shipped with the converter: %s"},
    {kIdsRemoveFailed, "These profile files could neither be moved to the trash nor deleted; the device keeps them:"},
};

TextLookup& InstalledLookup()
{
    static TextLookup lookup;
    return lookup;
}

} // namespace

const char* SourceString(int id)
{
    for (const StringEntry& entry : kStrings) {
        if (entry.id == id)
            return entry.text;
    }
    return nullptr;
}

TextLookup SetTextLookup(TextLookup lookup)
{
    return std::exchange(InstalledLookup(), std::move(lookup));
}

std::string LoadString(int id)
{
    const char* source = SourceString(id);
    if (source == nullptr)
        return {};
    const TextLookup& lookup = InstalledLookup();
    return lookup ? lookup(id, source) : std::string(source);
}

std::string LoadString(int id, std::size_t maxLength)
{
    std::string text = LoadString(id);
    if (text.size() > maxLength) {
        std::size_t cut = maxLength;
        // Back off continuation bytes so a cut never leaves half a character.
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        text.resize(cut);
    }
    return text;
}

std::string FormatString(int id, const std::string& argument)
{
    return FormatString(id, std::vector<std::string>{argument});
}

std::string FormatString(int id, const std::vector<std::string>& arguments)
{
    const std::string pattern = LoadString(id);
    std::string result;
    result.reserve(pattern.size());
    std::size_t used = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == 's' && used < arguments.size()) {
                result += arguments[used++];
                ++i;
                continue;
            }
            if (pattern[i + 1] == '%') {
                result += '%';
                ++i;
                continue;
            }
        }
        result += pattern[i];
    }
    return result;
}

} // namespace editor
