#pragma once
// Small helpers shared by the assembler adapters: running a program with its
// output captured, a scratch folder, and whole-file text I/O.

#include <string>
#include <vector>

namespace torvane::tools {

struct Captured {
    bool started = false;
    int exitCode = -1;
    std::string out, err;
};

// Runs argv[0] (searched in PATH) in `directory`, waits for it and returns
// what it wrote. No shell is involved.
Captured RunCaptured(const std::vector<std::string>& argv, const std::string& directory);

// A fresh folder under the system's temporary directory, removed with the
// object.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    bool Ok() const { return !path_.empty(); }

private:
    std::string path_;
};

bool ReadText(const std::string& path, std::string& text);
bool WriteText(const std::string& path, const std::string& text);
// Lines ended by LF or CR LF; a last line without an end counts.
std::vector<std::string> SplitLines(const std::string& text);

std::string AbsolutePath(const std::string& path); // normalised
std::string DirectoryOf(const std::string& path);  // absolute, no trailing '/'
std::string FileNameOf(const std::string& path);
std::string WithExtension(const std::string& path, const std::string& extension);

// Writes one line to stdout at once (the bridge reads lines as they come).
void PrintLine(const std::string& line);

} // namespace torvane::tools
