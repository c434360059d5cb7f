#pragma once
// Helpers shared by the bridge tests: a fresh scratch folder per test, the
// fake assembler's script, and whether a child has gone.

#include "support/TestFiles.h"

namespace bridge_test {

namespace fs = std::filesystem;

// An empty folder named after the running test (removed and re-created).
fs::path ScratchDir();

using test_support::ReadFile;
using test_support::WriteFile;

// True when no process with this id runs any more.
bool ProcessIsGone(int pid);

// Writes the fake assembler's script into `dir`.
void WriteScript(const fs::path& dir, const std::string& script);

} // namespace bridge_test
