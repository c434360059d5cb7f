#pragma once
// The file operations each system gives the save steps that all systems
// share (SafeSave.cpp). Files are C runtime descriptors everywhere; every
// call returns 0 or the errno value of its failure, so a save classifies and
// words its errors the same way on every system. Names are as the program
// holds them (Windows-1250 on Windows).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace torvane::platform::save_files {

// A new file for reading and writing that only this user may use, created
// exclusively (EEXIST when the name is taken) and never through a link.
int CreateNew(const std::string& path, int* fd);
// An existing file (the resolved target or a backup), for reading or for
// writing; where the system has symbolic links, a link is not followed.
int OpenExisting(const std::string& path, bool forWriting, int* fd);
int WriteAll(int fd, const void* data, size_t count);
// Copies from `from`'s position to its end onto `to`, cuts `to` where the
// copy ends and syncs it.
int CopyContents(int from, int to);
int SeekToStart(int fd);
int SetLength(int fd, int64_t length);
int Sync(int fd);
int Close(int fd);
// Puts the complete temporary file in the target's place in one step.
int Replace(const std::string& temp, const std::string& target, bool targetExists);
void Remove(const std::string& path) noexcept;

uint64_t CurrentProcessId();
// True only when no process with that id runs any more.
bool ProcessIsGone(uint64_t pid);
// The names in a folder ("" is the current one).
std::vector<std::string> FolderEntries(const std::string& folder);
// Removes a crashed save's temporary file: a plain file, never a folder or
// a link, and never one that another user's save could still be writing.
void RemoveOwnFile(const std::string& path) noexcept;

} // namespace torvane::platform::save_files
