#pragma once
// Writing a file so that no failure, crash or hostile neighbour can cost the
// user the old contents or expose the new ones.
//
// TSafeSave replaces a file through a private temporary file beside it:
//  - the target is resolved through symbolic links, so a link keeps pointing
//    at the file that receives the text;
//  - a target the user may not write is refused (an access check, so root,
//    groups and ACLs count as the system counts them);
//  - the temporary file is created exclusively under a random name without
//    following links, mode 0600, and gets the target's owner, group and mode
//    before the first byte is written;
//  - file and folder are synced before and after the rename.
// A target whose identity cannot move to a new file (several hard links, or an
// owner or group this user cannot give a new file) is written in place
// instead, after a full backup copy beside it; a failed in-place write puts the
// backup's bytes back, and when even that fails the backup stays and the error
// names it.
// Temporary files that earlier runs of this user left behind for the same
// target (their process is gone) are removed when the file is next saved.

#include <cstddef>
#include <cstdint>
#include <string>

namespace torvane::platform {

// Why a save failed, in the classes a user can act on.
enum class SaveFailure { None, AccessDenied, DiskFull, ReadOnlyFileSystem, NotAFile, Other };

SaveFailure ClassifySaveError(int errorCode) noexcept;

class TSafeSave {
public:
    explicit TSafeSave(std::string target);
    ~TSafeSave(); // an uncommitted save is discarded, the target untouched
    TSafeSave(const TSafeSave&) = delete;
    TSafeSave& operator=(const TSafeSave&) = delete;

    // Resolves the target, checks access and opens the file to write into.
    // A file that does not exist yet is created with newFileMode (-1: the
    // usual mode under the umask).
    bool Open(int newFileMode = -1);
    // Writes all bytes (retrying short writes). False on the first failure.
    bool Write(const void* data, size_t count);
    // Starts the contents again from nothing.
    bool Rewind();
    // Makes the written bytes the target's contents.
    bool Commit();
    // Drops what was written; the target keeps its old contents.
    void Discard() noexcept;

    int ErrorCode() const noexcept { return error_; }
    SaveFailure Failure() const noexcept { return ClassifySaveError(error_); }
    // The system's text for the error, plus the backup's name when an in-place
    // write could not be undone.
    std::string ErrorText() const;
    // The file that receives the text (the end of any chain of links).
    const std::string& ResolvedTarget() const noexcept { return resolved_; }
    bool WritesInPlace() const noexcept { return inPlace_; }

private:
    bool Fail(int code);
    bool OpenNewText(); // the temporary file that replaces the target
    bool OpenTemp(const char* suffix, int* fd, std::string* path);
    bool ApplyIdentity(int fd);
    bool OpenInPlace();
    void RemoveStaleTemps() const;

    std::string target_;
    std::string resolved_;
    std::string temp_;   // the new text (replace mode)
    std::string backup_; // the old text (in-place mode)
    int fd_ = -1;
    int error_ = 0;
    int64_t written_ = 0;
    bool exists_ = false;
    bool inPlace_ = false;
    bool touched_ = false; // in place: the target's bytes were overwritten
    bool committed_ = false;
    bool keepBackup_ = false;
    uint32_t uid_ = 0, gid_ = 0, mode_ = 0;
};

// The whole contents at once; false with *errorCode set on failure. A new
// file gets newFileMode, or the usual mode under the umask when it is -1.
bool SaveFileSafely(const std::string& target, const std::string& bytes, int* errorCode = nullptr,
                    int newFileMode = -1);

// Where a file stands on disk, to notice a change made by another program.
struct FileStamp {
    bool exists = false;
    int64_t size = 0;
    int64_t mtimeNs = 0;
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

// The user's folder for state kept between runs ($XDG_STATE_HOME, else
// ~/.local/state), with a trailing separator.
std::string StateDirectory();
// Creates the folder (and its parents) when missing and makes sure it is a
// folder of this user that nobody else may enter (0700). False when it is
// not, or is a link.
bool EnsurePrivateDirectory(const std::string& path);

// True when both names lead to the same file (after links); false when
// either does not exist.
bool SameFile(const std::string& a, const std::string& b);

} // namespace torvane::platform
