#include "cli/ToolArguments.h"

#include <climits>

namespace cli {

namespace {

enum Option : unsigned {
    kProfilesOption = 1u << 0,
    kJsonOption = 1u << 1,
    kDryRunOption = 1u << 2,
    kForceOption = 1u << 3,
    kDeviceOption = 1u << 4,
    kTypeOption = 1u << 5,
};

struct CommandRule {
    const char* name;
    unsigned options;
    int minOperands;
    int maxOperands;
    const char* usage;
};

constexpr CommandRule kCommands[] = {
    {"list", kProfilesOption | kJsonOption, 0, 0, "list [--profiles DIR] [--json]"},
    {"show", kJsonOption, 1, 1, "show FILE [--json]"},
    {"get", 0, 2, 2, "get FILE KEY"},
    {"set", kDryRunOption | kForceOption | kProfilesOption | kDeviceOption | kTypeOption, 1, INT_MAX,
     "set [--dry-run] [--force] FILE... KEY=VALUE... | --device NAME [--type video|audio] KEY=VALUE..."},
    {"validate", 0, 1, INT_MAX, "validate FILE|DIR..."},
    {"diff", 0, 2, 2, "diff A B"},
};

struct OptionName {
    const char* name;
    Option option;
    bool takesValue;
};

constexpr OptionName kOptions[] = {
    {"--profiles", kProfilesOption, true}, {"--json", kJsonOption, false}, {"--dry-run", kDryRunOption, false},
    {"--force", kForceOption, false},      {"--device", kDeviceOption, true}, {"--type", kTypeOption, true},
};

const CommandRule* FindCommand(const std::string& name)
{
    for (const CommandRule& rule : kCommands) {
        if (name == rule.name)
            return &rule;
    }
    return nullptr;
}

bool StoreOption(Option option, const std::string& value, ToolArguments& out, std::string& error)
{
    switch (option) {
    case kProfilesOption:
        if (value.empty()) {
            error = "--profiles needs a folder";
            return false;
        }
        out.profilesFolder = value;
        return true;
    case kJsonOption:
        out.json = true;
        return true;
    case kDryRunOption:
        out.dryRun = true;
        return true;
    case kForceOption:
        out.force = true;
        return true;
    case kDeviceOption:
        if (value.empty()) {
            error = "--device needs a device name";
            return false;
        }
        out.device = value;
        return true;
    case kTypeOption:
        if (value == "video") {
            out.type = 0;
        } else if (value == "audio") {
            out.type = 2;
        } else {
            error = "--type takes video or audio, not \"" + value + "\"";
            return false;
        }
        return true;
    }
    return false;
}

// One "--name" or "--name=value" argument at args[i]; i moves past a separate value.
bool ParseOption(const std::vector<std::string>& args, std::size_t& i, const CommandRule* rule, ToolArguments& out,
                 std::string& error)
{
    const std::string& arg = args[i];
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (name == "--help" || name == "-h") {
        out.help = true;
        return true;
    }
    if (name == "--version") {
        out.version = true;
        return true;
    }
    for (const OptionName& known : kOptions) {
        if (name != known.name)
            continue;
        if (rule == nullptr || (rule->options & known.option) == 0) {
            error = rule == nullptr ? "a command comes before " + name
                                    : std::string(rule->name) + " does not take " + name;
            return false;
        }
        std::string value;
        if (equals != std::string::npos) {
            if (!known.takesValue) {
                error = name + " takes no value";
                return false;
            }
            value = arg.substr(equals + 1);
        } else if (known.takesValue) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        return StoreOption(known.option, value, out, error);
    }
    error = "unknown option " + name;
    return false;
}

} // namespace

bool ParseArguments(const std::vector<std::string>& args, ToolArguments& out, std::string& error)
{
    out = ToolArguments{};
    const CommandRule* rule = nullptr;
    bool operandsOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!operandsOnly && arg == "--") {
            operandsOnly = true;
        } else if (!operandsOnly && arg.size() > 1 && arg[0] == '-') {
            if (!ParseOption(args, i, rule, out, error))
                return false;
        } else if (rule == nullptr) {
            rule = FindCommand(arg);
            if (rule == nullptr) {
                error = "unknown command \"" + arg + "\"";
                return false;
            }
            out.command = arg;
        } else {
            out.operands.push_back(arg);
        }
    }
    if (out.help || out.version)
        return true;
    if (rule == nullptr) {
        error = "no command given";
        return false;
    }
    const auto count = static_cast<long long>(out.operands.size());
    if (count < rule->minOperands || count > rule->maxOperands) {
        error = std::string("usage: orrery-profile ") + rule->usage;
        return false;
    }
    if (out.type && !out.device) {
        error = "--type goes with --device";
        return false;
    }
    if (out.profilesFolder && out.command == "set" && !out.device) {
        error = "--profiles goes with --device";
        return false;
    }
    return true;
}

bool SplitAssignment(const std::string& operand, std::pair<std::string, std::string>& out)
{
    const std::size_t equals = operand.find('=');
    if (equals == std::string::npos || equals == 0)
        return false;
    const std::string key = operand.substr(0, equals);
    if (key.find('/') != std::string::npos)
        return false;
    out = {key, operand.substr(equals + 1)};
    return true;
}

} // namespace cli
