#pragma once

// orrery-profile: lists, shows, changes, checks and compares conversion profiles
// without the window, for batches and scripts. Everything runs in-process and writes
// to the streams it is given, so a caller (a test, for one) needs no second process.

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/ToolArguments.h"

namespace cli {

inline constexpr const char* kToolName = "orrery-profile";

// Runs one command line (the arguments after the program's name) and returns its exit
// status (ToolArguments.h). executableFolder stands for the folder of the running
// executable: the program folder whose Orrery.xml and Profiles folder the editor uses.
int RunProfileTool(const std::vector<std::string>& args, const std::string& executableFolder, std::ostream& out,
                   std::ostream& err);

std::string UsageText();
std::string VersionText();

} // namespace cli
