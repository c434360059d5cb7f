#pragma once
// Names in the Windows tests are Windows-1250 bytes, as the program passes
// them; the disk sees their Unicode form.

#include "TestFiles.h"
#include "platform/FileSystem.h"

namespace win32_test {

using test_support::ReadFile;
using test_support::WriteFile;
namespace fs = std::filesystem;

// An empty folder for the running test, below `subfolder` (a Windows-1250
// name) of the temporary folder.
fs::path ScratchDir(const std::string& subfolder = "");

// The Windows-1250 name of a path, and the path of such a name.
using torvane::platform::NameOf;
using torvane::platform::PathOf;

} // namespace win32_test
