#pragma once
// File-system helpers of the portable layer.

#include <cstddef>
#include <cstdio>
#include <string>

namespace torvane::platform {

// Directory of the running executable, with a trailing path separator.
std::string ProgramDirectory();

bool FileExists(const std::string& path);      // a regular file (or a link to one)
bool DirectoryExists(const std::string& path); // a directory (or a link to one)
bool DeleteFile(const std::string& path);      // true when the file is gone afterwards

enum class FileReadError { None, CannotOpen, NotRegular, TooLarge };

// Opens a file for reading ("rb") only when it is a regular file on a real
// file system. A FIFO would block the reader until someone writes, a device
// such as /dev/zero never ends, and a /proc or /sys file reports size 0 but
// yields text: none of them is read. Null with *error set otherwise.
std::FILE* OpenRegularFile(const std::string& path, FileReadError* error);

// The whole of such a file, refused (TooLarge) past maxBytes. The limit is
// checked against what is actually read, not against the size the file
// system reports.
FileReadError ReadRegularFile(const std::string& path, size_t maxBytes, std::string& text);

// Directory part of a path including its trailing separator ("" when none),
// and the part after it.
std::string ExtractFilePath(const std::string& path);
std::string ExtractFileName(const std::string& path);

// Safe replacement of a file: write everything into TempPathBeside(target),
// then CommitReplace(temp, target). The target is never truncated; until the
// rename it keeps its old bytes, and afterwards it holds the new ones in
// full. On failure CommitReplace removes the temporary file and returns
// false with errno-style text in *error.
std::string TempPathBeside(const std::string& target);
bool CommitReplace(const std::string& temp, const std::string& target, std::string* error);

} // namespace torvane::platform
