#pragma once
// File-system helpers of the portable layer.

#include <cstdio>
#include <string>

namespace torvane::platform {

// Directory of the running executable, with a trailing path separator.
std::string ProgramDirectory();

bool FileExists(const std::string& path);      // a regular file (or a link to one)
bool DirectoryExists(const std::string& path); // a directory (or a link to one)
bool DeleteFile(const std::string& path);      // true when the file is gone afterwards
// std::fopen for a name as the program holds it (on Windows a Windows-1250
// name, which the narrow C runtime would read in the system's code page).
std::FILE* OpenFile(const std::string& path, const char* mode);

// Directory part of a path including its trailing separator ("" when none),
// and the part after it.
std::string ExtractFilePath(const std::string& path);
std::string ExtractFileName(const std::string& path);

// Safe replacement of a file: write everything into TempPathBeside(target),
// then CommitReplace(temp, target). The target is never truncated; until the
// rename it keeps its old bytes, and afterwards it holds the new ones in
// full. On failure CommitReplace removes the temporary file and returns
// false with errno-style text in *error.
std::string TempPathBeside(const std::string& target);
bool CommitReplace(const std::string& temp, const std::string& target, std::string* error);

} // namespace torvane::platform
