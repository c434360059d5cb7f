#include "asm51/Sources.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace torvane::asm51 {

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsRegularFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// `relative` below `dir`: as written, else each part matched without regard
// to case.
std::string FindBelow(const fs::path& dir, const fs::path& relative) {
    if (IsRegularFile(dir / relative)) return (dir / relative).lexically_normal().string();
    fs::path current = dir;
    for (const fs::path& part : relative) {
        const std::string name = part.string();
        if (name == "." || name == "..") {
            current /= part;
            continue;
        }
        std::error_code ec;
        fs::path found;
        for (fs::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec))
            if (SameIgnoringCase(it->path().filename().string(), name)) {
                found = it->path();
                break;
            }
        if (found.empty()) return {};
        current = found;
    }
    return IsRegularFile(current) ? current.lexically_normal().string() : std::string();
}

bool IsWindowsAbsolute(const std::string& name) {
    return (name.size() >= 3 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':' &&
            (name[2] == '\\' || name[2] == '/')) ||
           name.rfind("\\\\", 0) == 0;
}

} // namespace

SourceFiles::SourceFiles(std::vector<std::string> includeDirs, std::string deviceDir)
    : includeDirs_(std::move(includeDirs)), deviceDir_(std::move(deviceDir)) {}

int SourceFiles::Load(const std::string& path, const std::string& shown) {
    for (size_t i = 0; i < files_.size(); ++i)
        if (files_[i].path == path) return static_cast<int>(i);
    std::error_code ec;
    const auto size = IsRegularFile(path) ? fs::file_size(path, ec) : 0;
    if (ec || size > kMaxFileSize) return -1;
    std::ifstream in(path, std::ios::binary);
    if (!in) return -1;
    // Read in pieces up to the limit: a file may grow meanwhile, and some
    // (under /proc) report no size at all.
    std::string text;
    text.reserve(static_cast<size_t>(size));
    char piece[64 * 1024];
    while (in.read(piece, sizeof piece) || in.gcount() > 0) {
        text.append(piece, static_cast<size_t>(in.gcount()));
        if (text.size() > kMaxFileSize) return -1;
    }
    return Add(path, shown, text);
}

int SourceFiles::Add(const std::string& path, const std::string& shown, const std::string& text) {
    File file{path, shown, {}};
    size_t start = 0;
    while (start < text.size()) {
        // CR LF, LF and a lone CR all end a line.
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        file.lines.push_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    files_.push_back(std::move(file));
    return static_cast<int>(files_.size() - 1);
}

std::string SourceFiles::Resolve(const std::string& written, int from) const {
    if (written.empty()) return {};
    std::string name = written;
    const bool windowsAbsolute = IsWindowsAbsolute(name);
    std::replace(name.begin(), name.end(), '\\', '/');
    fs::path path(name);
    if (!windowsAbsolute && path.is_absolute()) {
        if (IsRegularFile(path)) return path.lexically_normal().string();
    }
    // An absolute path from another machine: its base name on our search path.
    if (windowsAbsolute || path.is_absolute()) path = path.filename();
    if (path.empty()) return {};

    std::vector<fs::path> dirs;
    if (from >= 0) dirs.push_back(fs::path(files_[from].path).parent_path());
    for (const auto& d : includeDirs_)
        dirs.push_back(d);
    if (!deviceDir_.empty()) dirs.push_back(deviceDir_);
    for (const auto& d : dirs)
        if (IsRegularFile(d / path)) return (d / path).lexically_normal().string();
    for (const auto& d : dirs)
        if (std::string found = FindBelow(d, path); !found.empty()) return found;
    return {};
}

std::string StripComments(const std::string& line, bool& inBlock) {
    std::string out;
    out.reserve(line.size());
    char quote = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const char next = i + 1 < line.size() ? line[i + 1] : '\0';
        if (inBlock) {
            if (c == '*' && next == '/') {
                inBlock = false;
                out += ' ';
                ++i;
            }
            continue;
        }
        if (quote) {
            out += c;
            if (c == quote) quote = 0;
            continue;
        }
        if (c == ';' || (c == '/' && next == '/')) break;
        if (c == '/' && next == '*') {
            inBlock = true;
            ++i;
            continue;
        }
        if (c == '\'' || c == '"') quote = c;
        out += c;
    }
    return out;
}

bool LineReader::Next(SourceLine& out) {
    while (!frames_.empty()) {
        Frame& f = frames_.back();
        if (f.file >= 0) {
            const auto& lines = files_.Lines(f.file);
            if (f.next < lines.size()) {
                out.origin = Origin{f.file, static_cast<int>(f.next + 1), {}};
                out.text = StripComments(lines[f.next++], f.inBlockComment);
                return true;
            }
        } else if (f.next < f.lines->size()) {
            out = (*f.lines)[f.next++];
            return true;
        }
        frames_.pop_back();
    }
    return false;
}

void LineReader::PushFile(int file) {
    Frame f;
    f.file = file;
    frames_.push_back(std::move(f));
}

void LineReader::PushExpansion(std::shared_ptr<const std::vector<SourceLine>> lines) {
    Frame f;
    f.lines = std::move(lines);
    frames_.push_back(std::move(f));
}

bool LineReader::ExitExpansion() {
    if (frames_.empty() || frames_.back().file >= 0) return false;
    frames_.pop_back();
    return true;
}

size_t LineReader::FileDepth() const {
    return static_cast<size_t>(
        std::count_if(frames_.begin(), frames_.end(), [](const Frame& f) { return f.file >= 0; }));
}

size_t LineReader::ExpansionDepth() const {
    return frames_.size() - FileDepth();
}

} // namespace torvane::asm51
