#pragma once
// Files for the tests: whole-file reads and writes, and a fresh scratch
// folder for the running test.

#include <filesystem>
#include <string>
#include <string_view>

namespace test_support {

namespace fs = std::filesystem;

// The file's bytes; empty when it cannot be read.
std::string ReadFile(const fs::path& path);
void WriteFile(const fs::path& path, std::string_view bytes);

// An empty folder below the temporary folder, `area`/SUITE.TEST after the
// running GoogleTest case (removed and made anew on every call).
fs::path ScratchDir(const std::string& area);

} // namespace test_support
