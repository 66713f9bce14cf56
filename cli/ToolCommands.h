#pragma once

// What the commands of orrery-profile share: where they run, how they fail, how
// they read a profile file and find the Profiles folder.

#include <iosfwd>
#include <string>

#include "cli/ToolArguments.h"
#include "profile/ProfileFile.h"

namespace cli {

struct ToolContext {
    const ToolArguments& args;
    const std::string& executableFolder;
    std::ostream& out;
    std::ostream& err;
};

// Writes "orrery-profile: reason" as one line to err; returns kExitFailed.
int Fail(const ToolContext& context, const std::string& reason);

enum class ProfileRead {
    Loaded,
    Unreadable,    // the file could not be read at all
    NotAProfile,   // read, but not well-formed or without a "profile" root element
};
// Reads a profile file into a fresh default profile, as the editor does, and its bytes
// into bytes when given. Otherwise reason holds "FILE: why".
ProfileRead ReadProfileFile(const std::string& path, profile::CProfileFile& profile, std::string& reason,
                            std::string* bytes = nullptr);

// The Profiles folder the command works on: --profiles, or the one the editor would
// use. False, with reason, when it is not a folder that can be listed.
bool ProfilesFolderFor(const ToolContext& context, std::string& folder, std::string& reason);

int RunSet(const ToolContext& context);

} // namespace cli
