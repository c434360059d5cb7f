#pragma once
// What each system tells the program layout that every system shares
// (ProgramLayout.cpp): whether the program's own folder takes the user's
// files, and where they go otherwise.

#include <string>

namespace torvane::platform::user_folders {

// Whether this user may create files in dir.
bool CanWriteInto(const std::string& dir);
// The user's own folders for the settings file and for scratch files, made
// when missing; each ends with a path separator.
std::string SettingsFolder();
std::string ScratchFolder();

// dir with a path separator at its end.
std::string WithSeparator(std::string dir);

} // namespace torvane::platform::user_folders
