#include "cli/ProfileKeys.h"

#include <algorithm>
#include <set>
#include <string_view>

namespace cli {

namespace {

using profile::CProfileFile;
using profile::CProfileNode;

// The text fields behind the root keys; "profile.type" is the one number.
template <class Profile>
auto RootField(Profile& profile, const std::string& key) -> decltype(&profile.name)
{
    if (key == "profile.name")
        return &profile.name;
    if (key == "profile.device")
        return &profile.device;
    if (key == "profile.description")
        return &profile.description;
    if (key == "profile.version")
        return &profile.version;
    if (key == "profile.tag")
        return &profile.tag;
    return nullptr;
}

std::string RootValue(const CProfileFile& profile, const std::string& key)
{
    if (key == "profile.type")
        return std::to_string(profile.type);
    return *RootField(profile, key);
}

void AppendNodeValues(const CProfileNode& node, const std::string& path, std::set<std::string>& seen,
                      std::vector<KeyValue>& out)
{
    if (!node.present)
        return;
    for (const profile::CProfileAttr& attr : node.attributes) {
        std::string key = path + "." + attr.name;
        // A repeated name is never reached by a lookup; the first one is the value.
        if (seen.insert(key).second)
            out.push_back({std::move(key), attr.value});
    }
    for (const auto& child : node.children)
        AppendNodeValues(*child, path + "." + child->name, seen, out);
}

} // namespace

bool IsRootKey(const std::string& key)
{
    return std::find(std::begin(kRootKeys), std::end(kRootKeys), key) != std::end(kRootKeys);
}

std::vector<KeyValue> ProfileValues(const CProfileFile& profile)
{
    std::vector<KeyValue> values;
    for (const char* key : kRootKeys)
        values.push_back({key, RootValue(profile, key)});
    std::set<std::string> seen;
    std::set<std::string> sectionNames;
    for (const auto& section : profile.Sections()) {
        const CProfileNode* top = section->TopNode();
        // Keys resolve against the first section of a name only.
        if (top != nullptr && sectionNames.insert(top->name).second)
            AppendNodeValues(*top, top->name, seen, values);
    }
    return values;
}

KeyState FindKey(const CProfileFile& profile, const std::string& key, std::string& value,
                 const profile::CProfileAttr** attr)
{
    if (attr != nullptr)
        *attr = nullptr;
    if (IsRootKey(key)) {
        value = RootValue(profile, key);
        return KeyState::Held;
    }
    const CProfileNode* node = profile.FindSection(key);
    const profile::CProfileAttr* found = node != nullptr ? node->FindAttr(key) : nullptr;
    if (found == nullptr)
        return KeyState::Unknown;
    if (attr != nullptr)
        *attr = found;
    // The lookup above went down the same first-match path; walk it again for presence.
    std::string_view rest = key;
    bool present = node->present;
    for (std::size_t dot = rest.find('.'); present && dot != std::string_view::npos; dot = rest.find('.')) {
        rest.remove_prefix(dot + 1);
        const std::size_t next = rest.find('.');
        if (next == std::string_view::npos)
            break;
        node = node->FindChild(rest.substr(0, next));
        present = node != nullptr && node->present;
    }
    if (!present)
        return KeyState::Absent;
    value = found->value;
    return KeyState::Held;
}

bool SetRootValue(CProfileFile& profile, const std::string& key, const std::string& value)
{
    std::string* field = key == "profile.version" ? nullptr : RootField(profile, key);
    if (field == nullptr)
        return false;
    *field = value;
    return true;
}

} // namespace cli
