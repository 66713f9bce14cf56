#pragma once

// The string table lives with the editing session (editor/StringTable.h); the window
// code uses its names unqualified.

#include "editor/StringTable.h"

using editor::FormatString;
using editor::kCaptionLength;
using editor::kIdsAboutBox;
using editor::kIdsBadDeviceName;
using editor::kIdsBuiltInProfile;
using editor::kIdsDefaultBitrateRange;
using editor::kIdsDeviceExists;
using editor::kIdsMaxBitrateRange;
using editor::kIdsEmptyProfileName;
using editor::kIdsMessageCaption;
using editor::kIdsProfilesFolderHint;
using editor::kIdsProfilesNotCreated;
using editor::kIdsProfilesNotReadable;
using editor::kIdsProfileSaved;
using editor::kIdsRemoveDevice;
using editor::kIdsSaveChanged;
using editor::kIdsSaveFailed;
using editor::kMessageLength;
using editor::LoadString;
