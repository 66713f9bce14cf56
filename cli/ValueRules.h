#pragma once

// What a profile may hold, checked the way the window checks it: the configuration's
// formats and codecs for the output type, whole-number bitrates and rates, frame sizes,
// value lists whose default is one of their items, and numbers where the schema says so.

#include <string>
#include <vector>

#include "editor/ChoiceLists.h"
#include "editor/Orrery.h"
#include "profile/ProfileFile.h"

namespace cli {

// The configuration as the window uses it: the built-in one, overridden by the
// program folder's Orrery.xml when that reads, and the tables made from it.
struct ToolConfiguration {
    editor::COrrery config;
    editor::ContainerTable containers;
    editor::AudioContainerTable audioContainers;
};
void LoadConfiguration(const std::string& programFolder, ToolConfiguration& out);

// Whether the value may stand under the key of this profile; reason says why not. attr
// is the key's attribute (null for the root keys).
bool CheckValue(const profile::CProfileFile& profile, const ToolConfiguration& config, const std::string& key,
                const std::string& value, const profile::CProfileAttr* attr, std::string& reason);

// Every problem of a loaded profile, one sentence each, in a fixed order: version,
// output type, the values of its keys, formats and codecs, value-list defaults,
// the default bitrate against its bounds.
std::vector<std::string> ProfileProblems(const profile::CProfileFile& profile, const ToolConfiguration& config);

} // namespace cli
