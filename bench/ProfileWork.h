#pragma once

// Profile files for the benchmarks, made by the profile model itself so they are what
// the editor writes and reads.

#include <cstddef>
#include <map>
#include <string>

#include "profile/ProfileFile.h"

namespace bench {

// Profile number `index`: its own name, description, device (one of `devices`, so the
// profiles spread over that many devices), output type (alternating) and value lists,
// which bring its file to about 1.7 KB.
void MakeProfile(int index, int devices, profile::CProfileFile& out);

// The file text of MakeProfile(index, devices), as BuildDocument makes it.
std::string ProfileDocumentText(int index, int devices);

// Writes `count` profiles into the folder (created when missing) without syncing each
// one; file names sort in profile order. False when a file could not be written.
bool WriteProfileFolder(const std::string& folder, int count, int devices);

// What someone would write instead of the profile model: pugixml parses the file and
// a walk puts every attribute into a map under its dotted key ("common.audio.codec";
// the root element's attributes under their own names). False when the file does not
// parse.
bool PugiLoadProfile(const std::string& path, std::map<std::string, std::string>& out);

} // namespace bench
