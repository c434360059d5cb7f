#pragma once
// The include-directory list as the settings file stores it: every directory
// followed by ";" (so a non-empty list always ends with ";"). Reading splits at
// every ";", skips empty pieces and drops a trailing piece with no ";" after
// it, the way the list has always been read back.

#include <string>
#include <vector>

namespace torvane {

inline std::vector<std::string> SplitIncludeList(const std::string& text) {
    std::vector<std::string> dirs;
    size_t start = 0;
    for (size_t semi; (semi = text.find(';', start)) != std::string::npos; start = semi + 1)
        if (semi > start) dirs.push_back(text.substr(start, semi - start));
    return dirs;
}

inline std::string JoinIncludeList(const std::vector<std::string>& dirs) {
    std::string text;
    for (const auto& d : dirs) text += d + ";";
    return text;
}

} // namespace torvane
