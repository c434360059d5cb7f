#include "IncludeLookup.h"

#include "SourceLine.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace torvane::avrasm {

namespace {

bool IsRegularFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool IsWindowsAbsolute(const std::string& name) {
    const bool drive = name.size() >= 3 && std::isalpha(static_cast<unsigned char>(name[0])) &&
                       name[1] == ':' && (name[2] == '\\' || name[2] == '/');
    return drive || name.rfind("\\\\", 0) == 0;
}

// `relative` below `base`, each component matched without case when the exact
// one is missing (the first match in name order, so the choice is stable).
fs::path MatchWithoutCase(const fs::path& base, const fs::path& relative) {
    fs::path current = base;
    for (const fs::path& part : relative) {
        if (part.empty() || part == ".") continue;
        std::error_code ec;
        if (part == ".." || fs::exists(current / part, ec)) {
            current /= part;
            continue;
        }
        std::vector<std::string> matches;
        for (fs::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec))
            if (EqualNoCase(it->path().filename().string(), part.string()))
                matches.push_back(it->path().filename().string());
        if (matches.empty()) return {};
        current /= *std::min_element(matches.begin(), matches.end());
    }
    return current;
}

std::string Found(const fs::path& path) {
    std::error_code ec;
    return IsRegularFile(path) ? fs::absolute(path, ec).lexically_normal().string() : std::string();
}

} // namespace

std::string FindInclude(const std::string& name, const std::vector<std::string>& folders) {
    if (name.empty()) return {};
    std::string relative = name;
    if (IsWindowsAbsolute(name)) {
        relative = name.substr(name.find_last_of("\\/") + 1);
    } else {
        std::replace(relative.begin(), relative.end(), '\\', '/');
        if (relative[0] == '/') {
            if (IsRegularFile(relative)) return Found(relative);
            return Found(MatchWithoutCase("/", fs::path(relative).relative_path()));
        }
    }
    if (relative.empty()) return {};
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        if (IsRegularFile(fs::path(folder) / relative)) return Found(fs::path(folder) / relative);
        fs::path match = MatchWithoutCase(folder, relative);
        if (!match.empty() && IsRegularFile(match)) return Found(match);
    }
    return {};
}

} // namespace torvane::avrasm
