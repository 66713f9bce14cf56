#pragma once

// The keys of a profile as orrery-profile names them: the dotted keys of the sections
// ("common.audio.codec", "acodec.name") and the root attributes under "profile."
// ("profile.name", "profile.type"), which the model keeps as fields.

#include <string>
#include <vector>

#include "profile/ProfileFile.h"

namespace cli {

struct KeyValue {
    std::string key;
    std::string value;
};

// The six root attributes, in the order a file writes them.
inline constexpr const char* kRootKeys[] = {
    "profile.name", "profile.description", "profile.version", "profile.device", "profile.tag", "profile.type",
};
bool IsRootKey(const std::string& key);

// Every key the profile holds with its value: the root attributes, then the attributes
// of each section in schema order. A node whose element the file lacks is left out with
// everything below it: its values are only defaults, and a save would not write them.
std::vector<KeyValue> ProfileValues(const profile::CProfileFile& profile);

enum class KeyState {
    Unknown,   // no such key in this profile's sections
    Absent,    // the key exists, but below a node the file lacks
    Held,      // one of ProfileValues
};
// The state of a key; for a held or absent section key, attr is its attribute (null for
// root keys), and value its value when held.
KeyState FindKey(const profile::CProfileFile& profile, const std::string& key, std::string& value,
                 const profile::CProfileAttr** attr = nullptr);

// Sets a root attribute a user may change (name, device, description, tag). False for
// the version and the type, which decide whether and where the editor lists the
// profile and which settings it has.
bool SetRootValue(profile::CProfileFile& profile, const std::string& key, const std::string& value);

} // namespace cli
