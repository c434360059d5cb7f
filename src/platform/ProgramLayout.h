#pragma once
// Where the program finds its parts and where it keeps the user's files.
//
// A portable copy (the build tree is one) keeps everything in the directory
// of the executable: the bridge and resource libraries, the assembler front
// ends, Scripts/ and the device headers, and, when that directory is
// writable, the settings file and the build log as well.
//
// An installed program has its executables in PREFIX/bin, the libraries and
// front ends in PREFIX/lib/torvane and its data in PREFIX/share/torvane. It
// never writes into those: its settings live in $XDG_CONFIG_HOME/torvane and
// its scratch files (the build log) in $XDG_CACHE_HOME/torvane.

#include <string>

namespace torvane::platform {

struct ProgramLayout {
    // All directories end with a path separator.
    std::string programDir;  // the executable's own directory
    std::string libraryDir;  // bridge and resource libraries, assembler front ends
    std::string dataDir;     // Scripts/ and the device headers
    std::string settingsDir; // the settings file
    std::string scratchDir;  // the build log and other scratch files
    // The parts were found in the installed layout, not beside the program.
    bool installed = false;
};

// The layout of a program whose executable lives in programDir. Libraries
// and data are looked for beside the program first, then in the installed
// layout relative to it; when neither has them the program directory is
// named, so a message about a missing part names the place it was expected.
// The user's settings and scratch directories are created (private to the
// user) when the layout needs them.
ProgramLayout LayoutOf(const std::string& programDir);

// The layout of the running executable.
ProgramLayout RunningProgramLayout();

// Creates dir and its missing parents, new ones readable by the user only.
// True when dir is a directory afterwards.
bool MakePrivateDirectories(const std::string& dir);

} // namespace torvane::platform
