// The lookup of the program's parts that every system shares; the user's
// folders come from the system (UserFolders.h).

#include "platform/ProgramLayout.h"

#include "platform/FileSystem.h"
#include "platform/Names.h"
#include "platform/UserFolders.h"

// Set by the build from the install rules, so the lookup and the install
// layout cannot drift apart.
#ifndef TORVANE_LIBDIR_FROM_BIN
#define TORVANE_LIBDIR_FROM_BIN "../lib/torvane"
#endif
#ifndef TORVANE_DATADIR_FROM_BIN
#define TORVANE_DATADIR_FROM_BIN "../share/torvane"
#endif

namespace torvane::platform {

namespace user_folders {

std::string WithSeparator(std::string dir) {
    if (dir.empty() || (dir.back() != '/' && dir.back() != kPathSeparator)) dir += kPathSeparator;
    return dir;
}

} // namespace user_folders

namespace {

using user_folders::WithSeparator;

// programDir + relative, without "..": messages and the settings file then
// show the plain installed path.
std::string Beside(const std::string& programDir, const char* relative) {
    return WithSeparator(NameOf((PathOf(programDir) / relative).lexically_normal().make_preferred()));
}

} // namespace

ProgramLayout LayoutOf(const std::string& programDir) {
    ProgramLayout layout;
    layout.programDir = WithSeparator(programDir);
    const std::string& own = layout.programDir;

    layout.libraryDir = own;
    if (!FileExists(own + kBridgeLibrary)) {
        const std::string installed = Beside(own, TORVANE_LIBDIR_FROM_BIN);
        if (DirectoryExists(installed)) layout.libraryDir = installed;
    }
    layout.dataDir = own;
    if (!DirectoryExists(own + kScriptsFolder)) {
        const std::string installed = Beside(own, TORVANE_DATADIR_FROM_BIN);
        if (DirectoryExists(installed)) layout.dataDir = installed;
    }
    layout.installed = layout.libraryDir != own || layout.dataDir != own;

    // Writable alone is not enough: root may write into PREFIX/bin, and a
    // user's own ~/.local/bin is writable too, yet neither is the place for
    // settings.
    if (!layout.installed && user_folders::CanWriteInto(own)) {
        layout.settingsDir = own;
        layout.scratchDir = own;
    } else {
        layout.settingsDir = user_folders::SettingsFolder();
        layout.scratchDir = user_folders::ScratchFolder();
    }
    return layout;
}

ProgramLayout RunningProgramLayout() {
    return LayoutOf(ProgramDirectory());
}

} // namespace torvane::platform
