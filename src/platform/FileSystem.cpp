// The file-system helpers that every system shares.

#include "platform/FileSystem.h"

#include "platform/Names.h"

namespace torvane::platform {

FileReadError ReadRegularFile(const std::string& path, size_t maxBytes, std::string& text) {
    FileReadError error = FileReadError::None;
    std::FILE* file = OpenRegularFile(path, &error);
    if (!file) return error;
    text.clear();
    char chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) != 0;) {
        if (text.size() + n > maxBytes) {
            error = FileReadError::TooLarge;
            break;
        }
        text.append(chunk, n);
    }
    if (error == FileReadError::None && std::ferror(file)) error = FileReadError::CannotOpen;
    std::fclose(file);
    if (error != FileReadError::None) text.clear();
    return error;
}

std::string ExtractFilePath(const std::string& path) {
    const size_t p = path.find_last_of(kPathDelimiters);
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& path) {
    const size_t p = path.find_last_of(kPathDelimiters);
    return p == std::string::npos ? path : path.substr(p + 1);
}

} // namespace torvane::platform
