#pragma once

// Who the program is: the names and version every window shows, its icon and the
// font its windows are laid out in.

#include <QFont>
#include <QIcon>

inline constexpr const char* kProgramName = "Kestro Orrery";
inline constexpr const char* kProgramVersion = "1.0.0.1 Beta";
inline constexpr const char* kMainWindowCaption = "Kestro Orrery (1.0.0.1 Beta)";

// The program icon, drawn for this program and kept in the resources.
QIcon ProgramIcon();

// The dialog font: the desktop's own sans-serif face at 8 points, the size the window
// layout was drawn for.
QFont DialogFont();
