#include "common/ToolSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace torvane::tools {

Captured RunCaptured(const std::vector<std::string>& argv, const std::string& directory) {
    Captured result;
    ScratchFolder capture("torvane-capture");
    if (!capture.Ok() || argv.empty()) return result;
    const std::string outPath = capture.Path() + "/out", errPath = capture.Path() + "/err";

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid;
    const int rc = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return result;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return result;
    // A program that could not be executed ends with 127 before writing.
    result.started = !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    ReadText(outPath, result.out);
    ReadText(errPath, result.err);
    return result;
}

ScratchFolder::ScratchFolder(const char* prefix) {
    std::error_code ec;
    std::string pattern = (fs::temp_directory_path(ec) / (std::string(prefix) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
}

bool ReadText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), {});
    return !in.bad();
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    return fs::absolute(path, ec).lexically_normal().string();
}

std::string DirectoryOf(const std::string& path) {
    return fs::path(AbsolutePath(path)).parent_path().string();
}

std::string FileNameOf(const std::string& path) {
    return fs::path(path).filename().string();
}

std::string WithExtension(const std::string& path, const std::string& extension) {
    return fs::path(path).replace_extension(extension).string();
}

void PrintLine(const std::string& line) {
    std::string text = line + "\n";
    ssize_t ignored = ::write(1, text.data(), text.size());
    (void)ignored;
}

} // namespace torvane::tools
