#include "editor/StringTable.h"

#include <utility>

namespace editor {

namespace {

// Marks a text for the translation tools, which collect it under the context named; the
// compiler sees the text alone. The window's text lookup asks for each text under the
// same context.
#define QT_TRANSLATE_NOOP(context, text) text

struct StringEntry {
    int id;
    const char* text;
};

constexpr StringEntry kStrings[] = {
    {kIdsAboutBox, QT_TRANSLATE_NOOP("StringTable", "&About Kestro Orrery...")},
    {kIdsMessageCaption, "Kestro Orrery"},
    {kIdsSaveChanged, QT_TRANSLATE_NOOP("StringTable", "Do you want to save the changed profile?")},
    {kIdsRemoveDevice,
     QT_TRANSLATE_NOOP("StringTable",
                       "All the profiles which belong to device (%s) will be deleted. Are you sure to do it?")},
    {kIdsProfileSaved, QT_TRANSLATE_NOOP("StringTable", "Profile saved successfully!")},
    {kIdsBuiltInProfile,
     QT_TRANSLATE_NOOP("StringTable",
                       "The profile can't be saved since it belongs to Kestro. Do you want to save it as another file?")},
    {kIdsEmptyProfileName, QT_TRANSLATE_NOOP("StringTable", "The profile name can't be empty!")},
    {kIdsSaveFailed, QT_TRANSLATE_NOOP("StringTable", "The profile could not be saved.")},
    {kIdsBadDeviceName, QT_TRANSLATE_NOOP("StringTable", "The device name can't be used as a file name.")},
    {kIdsProfilesNotCreated, QT_TRANSLATE_NOOP("StringTable", "The Profiles folder could not be created:")},
    {kIdsProfilesNotReadable, QT_TRANSLATE_NOOP("StringTable", "The Profiles folder could not be read:")},
    {kIdsProfilesFolderHint,
     QT_TRANSLATE_NOOP("StringTable",
                       "The \"Path\" value in the settings file %s names the converter's folder, whose Profiles folder "
                       "holds the profiles. Until that folder can be used, profiles are kept only while the editor "
                       "runs; use Save As to save one where you can write.")},
    {kIdsDeviceExists,
     QT_TRANSLATE_NOOP("StringTable",
                       "A device named \"%s\" exists already; its name differs only in upper and lower case.")},
    {kIdsMenuUndo, QT_TRANSLATE_NOOP("StringTable", "&Undo")},
    {kIdsMenuRedo, QT_TRANSLATE_NOOP("StringTable", "&Redo")},
    {kIdsMenuRevert, QT_TRANSLATE_NOOP("StringTable", "Re&vert to Saved")},
    {kIdsMenuDuplicate, QT_TRANSLATE_NOOP("StringTable", "&Duplicate")},
    {kIdsMenuRename, QT_TRANSLATE_NOOP("StringTable", "Re&name...")},
    {kIdsMenuDelete, QT_TRANSLATE_NOOP("StringTable", "De&lete...")},
    {kIdsBuiltInNoRename,
     QT_TRANSLATE_NOOP("StringTable",
                       "A built-in profile can't be renamed. Duplicate it to get a copy of your own.")},
    {kIdsBuiltInNoDelete, QT_TRANSLATE_NOOP("StringTable", "A built-in profile can't be deleted.")},
    {kIdsRenamePrompt, QT_TRANSLATE_NOOP("StringTable", "New name of the profile (its file is renamed with it):")},
    {kIdsNameTaken,
     QT_TRANSLATE_NOOP("StringTable",
                       "The profile can't be renamed: a file named \"%s\" exists already in the Profiles folder.")},
    {kIdsBadProfileName,
     QT_TRANSLATE_NOOP("StringTable",
                       "The profile can't be renamed: the name can't be used in a file name (it must not be empty, "
                       "begin or end with a space, or hold \"/\", \"\\\" or control characters).")},
    {kIdsDeleteQuestion, QT_TRANSLATE_NOOP("StringTable", "Move the profile file to the trash?")},
    {kIdsDeleteFailed,
     QT_TRANSLATE_NOOP("StringTable",
                       "The profile file could not be moved to the trash or deleted.")},
    {kIdsRevertQuestion,
     QT_TRANSLATE_NOOP("StringTable",
                       "Discard your changes and show the profile as its file holds it?")},
    {kIdsChangedOutside,
     QT_TRANSLATE_NOOP("StringTable",
                       "Another program changed the profile file. Reload it (your changes are lost) or keep your "
                       "changes?")},
    {kIdsOverwriteChanged,
     QT_TRANSLATE_NOOP("StringTable",
                       "Another program changed the profile file since it was loaded. Do you want to overwrite it with "
                       "your profile?")},
    {kIdsBuiltInMark, QT_TRANSLATE_NOOP("StringTable", "(built-in)")},
    {kIdsRenameFailed, QT_TRANSLATE_NOOP("StringTable", "The profile could not be renamed.")},
    {kIdsStateNotSaved,
     QT_TRANSLATE_NOOP("StringTable",
                       "The device and profile shown could not be kept for the next start.")},
    {kIdsButtonReload, QT_TRANSLATE_NOOP("StringTable", "&Reload")},
    {kIdsButtonKeepMine, QT_TRANSLATE_NOOP("StringTable", "&Keep Mine")},
    {kIdsCopyName, QT_TRANSLATE_NOOP("StringTable", "%s copy")},
    {kIdsNoProfilesFolder, QT_TRANSLATE_NOOP("StringTable", "There is no Profiles folder to write the profile to.")},
    {kIdsRenameCaption, QT_TRANSLATE_NOOP("StringTable", "Rename Profile")},
    {kIdsDefaultBitrateRange, QT_TRANSLATE_NOOP("StringTable", "The default bitrate must lie between %s and %s kbps.")},
    {kIdsMaxBitrateRange,
     QT_TRANSLATE_NOOP("StringTable",
                       "The maximum bitrate must not be below the default bitrate of %s kbps.")},
    {kIdsRemoveDeviceFiles, QT_TRANSLATE_NOOP("StringTable", "Profile files that go to the desktop trash: %s")},
    {kIdsRemoveDeviceBuiltIn, QT_TRANSLATE_NOOP("StringTable", "Among them, shipped with the converter: %s")},
    {kIdsRemoveFailed,
     QT_TRANSLATE_NOOP("StringTable",
                       "These profile files could neither be moved to the trash nor deleted; the device keeps them:")},
    {kIdsEncodingFast, QT_TRANSLATE_NOOP("StringTable", "Fast encoding (1-pass)")},
    {kIdsEncodingHighQuality, QT_TRANSLATE_NOOP("StringTable", "High quality encoding (2-pass)")},
    {kIdsSameAsSource, QT_TRANSLATE_NOOP("StringTable", "Same as source")},
    {kIdsFrameSizeIncomplete, QT_TRANSLATE_NOOP("StringTable", "Enter both a width and a height.")},
    {kIdsFrameSizeNotNumbers,
     QT_TRANSLATE_NOOP("StringTable",
                       "A frame size is a whole number of pixels wide and high.")},
    {kIdsFrameSizeZero, QT_TRANSLATE_NOOP("StringTable", "A frame size needs a width and a height above 0.")},
    {kIdsFrameSizeListed, QT_TRANSLATE_NOOP("StringTable", "%s is already in the list.")},
    {kIdsProfileFilter, QT_TRANSLATE_NOOP("StringTable", "Kestro Profiles file(*.xml)")},
    {kIdsNoStateFolder, QT_TRANSLATE_NOOP("StringTable", "No state folder")},
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
    // The caption stays the same in every language.
    if (!lookup || id == kIdsMessageCaption)
        return source;
    return lookup(id, source);
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
