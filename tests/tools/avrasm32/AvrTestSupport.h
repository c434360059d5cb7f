#pragma once
// Running the AVR front end as the bridge does, and reading what it wrote.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace avrtest {

namespace fs = std::filesystem;

// A folder of its own under the temporary directory for `name` in this
// process, so suites run side by side do not share it.
fs::path TestFolder(const std::string& name);

void WriteFile(const fs::path& path, const std::string& text);

struct FrontEndRun {
    int exitCode = -1;
    std::vector<std::string> lines; // stdout, split
};

// avrasm32 -w SOURCE -e SOURCE.eep -fI -I DIR..., run in the source's folder.
FrontEndRun RunFrontEnd(const fs::path& source, const std::vector<fs::path>& includeDirs = {});

// The bytes of an Intel HEX file by address; empty when it cannot be read.
std::map<uint32_t, uint8_t> ReadHex(const fs::path& path);

// `count` bytes from `address` of an image, missing bytes as 0xFF.
std::vector<uint8_t> Bytes(const std::map<uint32_t, uint8_t>& image, uint32_t address, size_t count);

} // namespace avrtest
