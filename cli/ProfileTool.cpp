#include "cli/ProfileTool.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>

#include "cli/ProfileKeys.h"
#include "cli/ToolCommands.h"
#include "cli/ToolOutput.h"
#include "cli/ValueRules.h"
#include "editor/ProfileLibrary.h"
#include "markup/XmlDoc.h"
#include "platform/Platform.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

// Folders are written without a trailing separator, as the editor writes them.
std::string WithoutTrailingSeparators(std::string folder)
{
    while (folder.size() > 1 && folder.back() == kPathSeparator)
        folder.pop_back();
    return folder;
}

std::string OutputTypeText(int type)
{
    if (type == editor::kVideoAndAudio)
        return "video";
    if (type == editor::kAudioOnly)
        return "audio";
    return "type " + std::to_string(type);
}

int RunList(const ToolContext& context)
{
    std::string folder;
    std::string reason;
    if (!ProfilesFolderFor(context, folder, reason))
        return Fail(context, reason);
    editor::CProfileLibrary library;
    library.ScanProfiles(folder + kPathSeparatorText + "*.xml");

    if (context.args.json) {
        context.out << "[";
        const char* separator = "\n";
        for (const auto& [device, entry] : library.Entries()) {
            context.out << separator << "  {\"file\": " << JsonString(LastPathPart(entry.filePath))
                        << ", \"device\": " << JsonString(device) << ", \"type\": " << entry.type
                        << ", \"name\": " << JsonString(entry.name)
                        << ", \"builtin\": " << (editor::IsBuiltInProfile(entry) ? "true" : "false")
                        << ", \"path\": " << JsonString(entry.filePath) << "}";
            separator = ",\n";
        }
        context.out << (library.Size() == 0 ? "]\n" : "\n]\n");
        return kExitDone;
    }

    // Columns padded to their widest entry; the profile name comes last but one, so
    // only a name can hold blanks before the closing "built-in".
    std::vector<std::vector<std::string>> rows;
    for (const auto& [device, entry] : library.Entries()) {
        rows.push_back({LineText(device), OutputTypeText(entry.type), LineText(LastPathPart(entry.filePath)),
                        LineText(entry.name)});
        if (editor::IsBuiltInProfile(entry))
            rows.back().push_back("built-in");
    }
    std::vector<std::size_t> widths(4, 0);
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < widths.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            line += row[column];
            if (column + 1 < row.size())
                line += std::string(widths[column] - row[column].size() + 2, ' ');
        }
        context.out << line << "\n";
    }
    return kExitDone;
}

int RunShow(const ToolContext& context)
{
    profile::CProfileFile profile;
    std::string reason;
    if (ReadProfileFile(context.args.operands[0], profile, reason) != ProfileRead::Loaded)
        return Fail(context, reason);
    const std::vector<KeyValue> values = ProfileValues(profile);
    if (!context.args.json) {
        for (const KeyValue& entry : values)
            context.out << entry.key << "=" << LineText(entry.value) << "\n";
        return kExitDone;
    }
    context.out << "{";
    for (std::size_t i = 0; i < values.size(); ++i)
        context.out << (i == 0 ? "\n  " : ",\n  ") << JsonString(values[i].key) << ": " << JsonString(values[i].value);
    context.out << "\n}\n";
    return kExitDone;
}

int RunGet(const ToolContext& context)
{
    const std::string& path = context.args.operands[0];
    const std::string& key = context.args.operands[1];
    profile::CProfileFile profile;
    std::string reason;
    if (ReadProfileFile(path, profile, reason) != ProfileRead::Loaded)
        return Fail(context, reason);
    std::string value;
    switch (FindKey(profile, key, value)) {
    case KeyState::Unknown:
        return Fail(context, "unknown key " + key);
    case KeyState::Absent:
        return Fail(context, path + ": " + key + " is not in the profile: the file has no element for it");
    case KeyState::Held:
        break;
    }
    context.out << value << "\n";
    return kExitDone;
}

// The files a validate operand stands for: a folder gives its "*.xml" files, as the
// library scans them, without the configuration file.
void CollectProfilePaths(std::string operand, std::vector<std::string>& paths)
{
    std::error_code error;
    if (!fs::is_directory(operand, error)) {
        paths.push_back(operand);
        return;
    }
    operand = WithoutTrailingSeparators(operand);
    std::vector<std::string> names;
    ListMatchingFiles(operand + kPathSeparatorText + "*.xml", names, false);
    for (const std::string& name : names) {
        if (name != editor::kConfigurationFileName)
            paths.push_back(operand + kPathSeparatorText + name);
    }
}

int RunValidate(const ToolContext& context)
{
    ToolConfiguration config;
    LoadConfiguration(context.executableFolder, config);
    std::vector<std::string> paths;
    for (const std::string& operand : context.args.operands)
        CollectProfilePaths(operand, paths);

    bool found = false;
    bool failed = false;
    for (const std::string& path : paths) {
        profile::CProfileFile profile;
        std::string reason;
        switch (ReadProfileFile(path, profile, reason)) {
        case ProfileRead::Unreadable:
            Fail(context, reason);
            failed = true;
            break;
        case ProfileRead::NotAProfile:
            context.out << reason << "\n";
            found = true;
            break;
        case ProfileRead::Loaded:
            for (const std::string& problem : ProfileProblems(profile, config)) {
                context.out << path << ": " << problem << "\n";
                found = true;
            }
            break;
        }
    }
    return failed ? kExitFailed : found ? kExitFound : kExitDone;
}

int RunDiff(const ToolContext& context)
{
    profile::CProfileFile profiles[2];
    std::map<std::string, std::string> second;
    for (int i = 0; i < 2; ++i) {
        std::string reason;
        if (ReadProfileFile(context.args.operands[i], profiles[i], reason) != ProfileRead::Loaded)
            return Fail(context, reason);
    }
    const std::vector<KeyValue> a = ProfileValues(profiles[0]);
    const std::vector<KeyValue> b = ProfileValues(profiles[1]);
    for (const KeyValue& entry : b)
        second.emplace(entry.key, entry.value);

    bool differs = false;
    auto report = [&](const std::string& key, const std::string& from, const std::string& to) {
        context.out << key << ": " << from << " -> " << to << "\n";
        differs = true;
    };
    for (const KeyValue& entry : a) {
        const auto it = second.find(entry.key);
        if (it == second.end())
            report(entry.key, ChangeText(entry.value), "(none)");
        else if (it->second != entry.value)
            report(entry.key, ChangeText(entry.value), ChangeText(it->second));
        if (it != second.end())
            second.erase(it);
    }
    for (const KeyValue& entry : b) {
        if (second.count(entry.key) != 0)
            report(entry.key, "(none)", ChangeText(entry.value));
    }
    return differs ? kExitFound : kExitDone;
}

} // namespace

int Fail(const ToolContext& context, const std::string& reason)
{
    context.err << kToolName << ": " << LineText(reason) << "\n";
    return kExitFailed;
}

ProfileRead ReadProfileFile(const std::string& path, profile::CProfileFile& profile, std::string& reason,
                            std::string* bytes)
{
    std::string text;
    std::string why;
    if (!CXmlDoc::ReadWholeFile(path, why, text)) {
        reason = path + ": " + why;
        return ProfileRead::Unreadable;
    }
    if (bytes != nullptr)
        *bytes = std::move(text);
    profile.CreateDefault();
    if (profile.Load(path))
        return ProfileRead::Loaded;
    const CXmlDoc* document = profile.Document();
    if (document != nullptr && !document->IsWellFormed())
        reason = path + ": not well-formed: " + document->ResultText();
    else
        reason = path + ": not a profile: no \"profile\" root element";
    return ProfileRead::NotAProfile;
}

bool ProfilesFolderFor(const ToolContext& context, std::string& folder, std::string& reason)
{
    if (context.args.profilesFolder) {
        folder = *context.args.profilesFolder;
    } else {
        const editor::EditorFolders folders = editor::LocateFolders(context.executableFolder);
        if (folders.ProfilesRoot().empty()) {
            reason = "no Profiles folder can be used; name one with --profiles";
            return false;
        }
        folder = editor::ProfilesFolder(folders.ProfilesRoot());
    }
    folder = WithoutTrailingSeparators(folder);
    std::error_code error;
    fs::directory_iterator listing(folder, error);
    if (error)
        reason = folder + ": " + error.message();
    return !error;
}

int RunProfileTool(const std::vector<std::string>& args, const std::string& executableFolder, std::ostream& out,
                   std::ostream& err)
{
    ToolArguments parsed;
    std::string error;
    if (!ParseArguments(args, parsed, error)) {
        err << kToolName << ": " << LineText(error) << " (see " << kToolName << " --help)\n";
        return kExitFailed;
    }
    if (parsed.help) {
        out << UsageText();
        return kExitDone;
    }
    if (parsed.version) {
        out << VersionText() << "\n";
        return kExitDone;
    }
    const ToolContext context{parsed, executableFolder, out, err};
    static const std::map<std::string, int (*)(const ToolContext&)> kRunners = {
        {"list", RunList}, {"show", RunShow},         {"get", RunGet},
        {"set", RunSet},   {"validate", RunValidate}, {"diff", RunDiff},
    };
    return kRunners.at(parsed.command)(context);
}

std::string VersionText()
{
    return std::string(kToolName) + " " + ORRERY_VERSION;
}

std::string UsageText()
{
    return R"(Usage: orrery-profile COMMAND [OPTIONS] [OPERANDS]

Lists, shows, changes, checks and compares Orrery conversion profiles.

Commands:
  list [--profiles DIR] [--json]
      The profiles of version 200 in the Profiles folder the editor uses, or in DIR:
      device, output type, file name, profile name and "built-in" for shipped ones.
  show FILE [--json]
      Every key of the profile with its value, in schema order.
  get FILE KEY
      The value of one key.
  set [--dry-run] [--force] FILE... KEY=VALUE...
  set [--dry-run] [--force] [--profiles DIR] --device NAME [--type video|audio] KEY=VALUE...
      Sets the keys in each file, or in every profile of the device, and saves them.
      Values are checked as the editor checks them; a change that would add a
      problem is refused, and so is a built-in profile unless --force is given.
      --dry-run prints the changes and writes nothing.
  validate FILE|DIR...
      Checks profiles against the configuration: one "FILE: problem" line each.
  diff A B
      The keys whose values differ: "key: value in A -> value in B".

Keys are dotted ("common.audio.codec", "acodec.name"); the root attributes are
profile.name, profile.description, profile.version, profile.device, profile.tag
and profile.type.

Options:
  -h, --help     Shows this text.
  --version      Shows the version.

Exit status: 0 done, or nothing found; 1 problems found (validate) or differences
(diff); 2 nothing done: a usage error, an unknown key, a bad value, a refused
built-in profile, or a file that cannot be read or written (the reason is on
standard error).
)";
}

} // namespace cli
