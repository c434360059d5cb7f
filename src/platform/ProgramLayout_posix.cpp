#include "platform/ProgramLayout.h"

#include "platform/FileSystem.h"
#include "platform/UserFolders.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace torvane::platform {
namespace {

using user_folders::WithSeparator;

constexpr char kOwnFolder[] = "torvane";

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

namespace user_folders {

bool CanWriteInto(const std::string& dir) {
    return ::access(dir.c_str(), W_OK) == 0;
}

std::string SettingsFolder() {
    return UserDirectory("XDG_CONFIG_HOME", ".config/");
}

std::string ScratchFolder() {
    return UserDirectory("XDG_CACHE_HOME", ".cache/");
}

} // namespace user_folders

} // namespace torvane::platform
