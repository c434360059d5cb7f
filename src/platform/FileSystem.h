#pragma once
// File-system helpers of the portable layer.

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>

namespace torvane::platform {

// Directory of the running executable, with a trailing path separator.
std::string ProgramDirectory();

bool FileExists(const std::string& path);      // a regular file (or a link to one)
bool DirectoryExists(const std::string& path); // a directory (or a link to one)
bool DeleteFile(const std::string& path);      // true when the file is gone afterwards
// A name as the program holds it as a std::filesystem path, and back. On
// Windows such a name is Windows-1250, which the narrow std::filesystem and
// C runtime calls would read in the system's code page (or refuse); every
// path built from a name goes through these two instead.
std::filesystem::path PathOf(const std::string& name);
std::string NameOf(const std::filesystem::path& path);

// std::fopen for a name as the program holds it (on Windows a Windows-1250
// name, which the narrow C runtime would read in the system's code page).
std::FILE* OpenFile(const std::string& path, const char* mode);

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

} // namespace torvane::platform
