#include "platform/ProgramLayout.h"

#include "platform/FileSystem.h"
#include "platform/Names.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

// Set by the build from the install rules, so the lookup and the install
// layout cannot drift apart.
#ifndef TORVANE_LIBDIR_FROM_BIN
#define TORVANE_LIBDIR_FROM_BIN "../lib/torvane"
#endif
#ifndef TORVANE_DATADIR_FROM_BIN
#define TORVANE_DATADIR_FROM_BIN "../share/torvane"
#endif

namespace torvane::platform {
namespace {

constexpr char kOwnFolder[] = "torvane";

std::string WithSeparator(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

// programDir + relative, without "..": messages and the settings file then
// show the plain installed path.
std::string Beside(const std::string& programDir, const char* relative) {
    return WithSeparator(std::filesystem::path(programDir + relative).lexically_normal().string());
}

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/tmp";
}

// An XDG base directory: the variable when it holds an absolute path (the
// standard says to ignore anything else), else its default under HOME.
std::string XdgBase(const char* variable, const char* defaultUnderHome) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return WithSeparator(value);
    return WithSeparator(HomeDirectory()) + defaultUnderHome;
}

std::string UserDirectory(const char* variable, const char* defaultUnderHome) {
    const std::string dir = XdgBase(variable, defaultUnderHome) + kOwnFolder + "/";
    // A failure shows later, when a file cannot be written there, and that
    // is reported where it happens.
    (void)MakePrivateDirectories(dir);
    return dir;
}

} // namespace

bool MakePrivateDirectories(const std::string& dir) {
    std::string partial;
    for (size_t start = 0; start <= dir.size();) {
        size_t end = dir.find('/', start);
        if (end == std::string::npos) end = dir.size();
        partial = dir.substr(0, end);
        if (!partial.empty() && ::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
        start = end + 1;
    }
    return DirectoryExists(dir);
}

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
    if (!layout.installed && ::access(own.c_str(), W_OK) == 0) {
        layout.settingsDir = own;
        layout.scratchDir = own;
    } else {
        layout.settingsDir = UserDirectory("XDG_CONFIG_HOME", ".config/");
        layout.scratchDir = UserDirectory("XDG_CACHE_HOME", ".cache/");
    }
    return layout;
}

ProgramLayout RunningProgramLayout() {
    return LayoutOf(ProgramDirectory());
}

} // namespace torvane::platform
