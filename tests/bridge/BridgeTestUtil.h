#pragma once
// Helpers shared by the bridge tests: a fresh scratch folder per test and
// whole-file reads and writes.

#include <filesystem>
#include <string>

namespace bridge_test {

namespace fs = std::filesystem;

// An empty folder named after the running test (removed and re-created).
fs::path ScratchDir();

std::string ReadFile(const fs::path& path);
void WriteFile(const fs::path& path, const std::string& bytes);

// True when no process with this id runs any more.
bool ProcessIsGone(int pid);

// Writes the fake assembler's script into `dir`.
void WriteScript(const fs::path& dir, const std::string& script);

} // namespace bridge_test
