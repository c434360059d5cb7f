#pragma once
// The settings file "Torvane.ini" shared by the program and torvane-cli.

#include <string>

namespace torvane::platform {
struct ProgramLayout;
}

namespace torvane::build {

// Path of the settings file for a program laid out as `layout`. An
// installed program that has none yet gets a first one naming the installed
// assembler front ends, so that F9 works from the first start. A portable
// copy starts from the defaults as before. When the first file cannot be
// written, the path is returned all the same: the program then runs on the
// defaults and reports nothing, as with any settings file it cannot write.
std::string PrepareSettingsFile(const platform::ProgramLayout& layout);

} // namespace torvane::build
