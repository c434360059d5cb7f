#pragma once
// File-system helpers of the portable layer.

#include <string>

namespace torvane::platform {

// Directory of the running executable, with a trailing path separator.
std::string ProgramDirectory();

bool FileExists(const std::string& path);      // a regular file (or a link to one)
bool DirectoryExists(const std::string& path); // a directory (or a link to one)
bool DeleteFile(const std::string& path);      // true when the file is gone afterwards

// Directory part of a path including its trailing separator ("" when none),
// and the part after it.
std::string ExtractFilePath(const std::string& path);
std::string ExtractFileName(const std::string& path);

} // namespace torvane::platform
