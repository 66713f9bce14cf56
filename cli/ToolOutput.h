#pragma once

// How orrery-profile writes profile texts, which are 8-bit bytes of any kind, so
// that its output stays one record per line and its JSON stays valid.

#include <string>
#include <string_view>

namespace cli {

// A JSON string literal, quotes included. Valid UTF-8 passes through; any other byte
// is taken as the Latin-1 character of the same value, so nothing is lost.
std::string JsonString(std::string_view text);

// A value in a line of text output: control characters become "\xNN", so a line
// break in a value never breaks the line.
std::string LineText(std::string_view text);

// A value in a "key: old -> new" line: LineText, the empty text shown as "" so
// it cannot be taken for a missing one.
std::string ChangeText(std::string_view text);

} // namespace cli
