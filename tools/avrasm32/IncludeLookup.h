#pragma once
// Finds the file an include line names, the way sources written on Windows
// expect it on a file system that tells case apart.

#include <string>
#include <vector>

namespace torvane::avrasm {

// Looks `name` up in `folders`, in order; within a folder an exact match
// wins over one that differs only in case (any path component may differ).
// Backslashes separate folders as slashes do. An absolute POSIX path is
// tried as it is (then without case); an absolute Windows path (C:\..., \\...)
// means nothing here, so its base name is looked up in `folders` instead.
// Returns the absolute path of a regular file, or "" when there is none.
std::string FindInclude(const std::string& name, const std::vector<std::string>& folders);

} // namespace torvane::avrasm
