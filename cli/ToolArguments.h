#pragma once

// The command line of orrery-profile: one command, its options and its operands.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace cli {

// Exit statuses. Scripts test them, so they never change.
inline constexpr int kExitDone = 0;      // done, or nothing found
inline constexpr int kExitFound = 1;     // validate found problems, diff found differences
inline constexpr int kExitFailed = 2;    // nothing was done: the reason is on stderr

struct ToolArguments {
    std::string command;                   // empty with --help or --version alone
    std::vector<std::string> operands;     // in the order given
    std::optional<std::string> profilesFolder;
    std::optional<std::string> device;
    std::optional<int> type;               // --type: 0 video, 2 audio
    bool json = false;
    bool dryRun = false;
    bool force = false;
    bool help = false;
    bool version = false;
};

// Options may stand anywhere after the command, as "--name value" or "--name=value";
// "--" makes every later argument an operand. An option the command does not take, a
// missing operand count or value is an error with its reason in error.
bool ParseArguments(const std::vector<std::string>& args, ToolArguments& out, std::string& error);

// An operand of set that assigns a value: "KEY=VALUE" with a key free of "/", so a
// file name holding "=" can still be given with a folder ("./a=b.xml").
bool SplitAssignment(const std::string& operand, std::pair<std::string, std::string>& out);

} // namespace cli
