#pragma once
// Helpers of the Windows tests: names are Windows-1250 bytes, as the
// program passes them; the disk sees their Unicode form.

#include <filesystem>
#include <string>

namespace win32_test {

namespace fs = std::filesystem;

// An empty folder for the running test, below `subfolder` (a Windows-1250
// name) of the temporary folder.
fs::path ScratchDir(const std::string& subfolder = "");

// The Windows-1250 name of a path, and the path of such a name.
std::string NameOf(const fs::path& path);
fs::path PathOf(const std::string& name);

std::string ReadFile(const fs::path& path);
void WriteFile(const fs::path& path, const std::string& bytes);

} // namespace win32_test
