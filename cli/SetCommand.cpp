// orrery-profile set: every file is read, changed and checked in memory first; only
// when all of them pass is anything written, so a refusal leaves every file as it was.

#include <algorithm>
#include <ostream>
#include <set>

#include "cli/ProfileKeys.h"
#include "cli/ToolCommands.h"
#include "cli/ToolOutput.h"
#include "cli/ValueRules.h"
#include "editor/ProfileLibrary.h"
#include "markup/XmlDoc.h"
#include "platform/Platform.h"

namespace cli {

namespace {

using Assignment = std::pair<std::string, std::string>;

struct Change {
    std::string key;
    std::string from;
    std::string to;
};

struct PlannedSave {
    std::string path;
    profile::CProfileFile profile;
    std::string originalBytes;   // to put the file back when a later save fails
    std::vector<Change> changes;
};

bool ApplyOne(PlannedSave& plan, const ToolConfiguration& config, const Assignment& assignment, std::string& reason)
{
    const auto& [key, value] = assignment;
    profile::CProfileFile& profile = plan.profile;
    std::string old;
    const profile::CProfileAttr* attr = nullptr;
    const KeyState state = FindKey(profile, key, old, &attr);
    if (state == KeyState::Unknown) {
        reason = "unknown key " + key;
        return false;
    }
    if (key == "profile.version" || key == "profile.type") {
        reason = key + " is not set here: it decides whether the editor lists the profile and which settings it has";
        return false;
    }
    if (profile.type == editor::kAudioOnly && (key.rfind("common.video.", 0) == 0 || key.rfind("vcodec.", 0) == 0)) {
        reason = key + " is not set here: an audio-only profile has no video settings";
        return false;
    }
    if (attr != nullptr && !attr->persistent) {
        reason = key + " is never written to a profile file";
        return false;
    }
    if (!CheckValue(profile, config, key, value, attr, reason)) {
        reason = key + " \"" + LineText(value) + "\" " + reason;
        return false;
    }
    if (state == KeyState::Absent)
        old = attr->value;
    else if (old == value)
        return true;
    if (!SetRootValue(profile, key, value))
        profile.SetValue(key, value);
    // A value below a node the file lacks would stay in memory and never be saved.
    std::string now;
    if (FindKey(profile, key, now) != KeyState::Held) {
        reason = key + " cannot be set here: the file has no element for it";
        return false;
    }
    plan.changes.push_back({key, old, value});
    return true;
}

// Sets the keys; refuses the whole plan at the first value that breaks a rule and
// when the changes leave a problem the profile did not have before.
bool ApplyAssignments(PlannedSave& plan, const ToolConfiguration& config, const std::vector<Assignment>& assignments,
                      std::string& reason)
{
    std::multiset<std::string> before;
    for (std::string& problem : ProfileProblems(plan.profile, config))
        before.insert(std::move(problem));
    for (const Assignment& assignment : assignments) {
        if (!ApplyOne(plan, config, assignment, reason))
            return false;
    }
    for (const std::string& problem : ProfileProblems(plan.profile, config)) {
        const auto known = before.find(problem);
        if (known == before.end()) {
            reason = "refused, it would leave a problem: " + problem;
            return false;
        }
        before.erase(known);
    }
    return true;
}

// Splits the operands into files and assignments: files first, then only assignments.
bool SplitOperands(const ToolContext& context, std::vector<std::string>& files, std::vector<Assignment>& assignments,
                   std::string& reason)
{
    std::set<std::string> keys;
    for (const std::string& operand : context.args.operands) {
        Assignment assignment;
        if (SplitAssignment(operand, assignment)) {
            if (!keys.insert(assignment.first).second) {
                reason = assignment.first + " is given twice";
                return false;
            }
            assignments.push_back(std::move(assignment));
        } else if (!assignments.empty()) {
            reason = "\"" + operand + "\" is not KEY=VALUE; files come before the values";
            return false;
        } else {
            files.push_back(operand);
        }
    }
    if (assignments.empty())
        reason = "set needs at least one KEY=VALUE";
    else if (context.args.device && !files.empty())
        reason = "set --device takes no files";
    else if (!context.args.device && files.empty())
        reason = "set needs a file, or --device";
    return reason.empty();
}

// The files of the device's profiles, as the editor's library finds them.
bool DeviceFiles(const ToolContext& context, std::vector<std::string>& files, std::string& reason)
{
    std::string folder;
    if (!ProfilesFolderFor(context, folder, reason))
        return false;
    editor::CProfileLibrary library;
    library.ScanProfiles(folder + kPathSeparatorText + "*.xml");
    const std::string& device = *context.args.device;
    const auto [first, last] = library.Entries().equal_range(device);
    for (auto it = first; it != last; ++it) {
        if (!context.args.type || it->second.type == *context.args.type)
            files.push_back(it->second.filePath);
    }
    if (files.empty())
        reason = "no profile of the device \"" + device + "\"" + (context.args.type ? " of that type" : "") + " in " +
                 folder;
    return !files.empty();
}

// Saves every changed profile; after a failure the files already saved get their old
// bytes back, so a failed set leaves the files as they were whenever it can.
bool SaveAll(std::vector<PlannedSave>& plans, std::string& reason)
{
    for (std::size_t i = 0; i < plans.size(); ++i) {
        if (plans[i].changes.empty() || plans[i].profile.Save())
            continue;
        reason = plans[i].path + ": not saved: " + plans[i].profile.WriteResultText();
        std::string notRestored;
        for (std::size_t k = 0; k < i; ++k) {
            std::string why;
            if (!plans[k].changes.empty() && !CXmlDoc::WriteWholeFile(plans[k].path, why, plans[k].originalBytes))
                notRestored += " " + plans[k].path;
        }
        reason += notRestored.empty() ? "; no file was changed" : "; these stay changed:" + notRestored;
        return false;
    }
    return true;
}

} // namespace

int RunSet(const ToolContext& context)
{
    std::vector<std::string> files;
    std::vector<Assignment> assignments;
    std::string reason;
    if (!SplitOperands(context, files, assignments, reason))
        return Fail(context, reason);
    if (context.args.device && !DeviceFiles(context, files, reason))
        return Fail(context, reason);

    ToolConfiguration config;
    LoadConfiguration(context.executableFolder, config);
    std::vector<PlannedSave> plans(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        PlannedSave& plan = plans[i];
        plan.path = files[i];
        if (ReadProfileFile(plan.path, plan.profile, reason, &plan.originalBytes) != ProfileRead::Loaded)
            return Fail(context, reason);
        if (editor::IsBuiltInProfile(plan.profile) && !context.args.force)
            return Fail(context, plan.path + ": built-in profile, use a copy (or --force)");
        if (!ApplyAssignments(plan, config, assignments, reason))
            return Fail(context, plan.path + ": " + reason);
    }
    if (!context.args.dryRun && !SaveAll(plans, reason))
        return Fail(context, reason);
    for (const PlannedSave& plan : plans) {
        for (const Change& change : plan.changes)
            context.out << LineText(plan.path) << ": " << change.key << ": " << ChangeText(change.from) << " -> "
                        << ChangeText(change.to) << "\n";
    }
    return kExitDone;
}

} // namespace cli
