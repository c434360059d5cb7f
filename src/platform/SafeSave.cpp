// The steps of the safe save that every system shares: the temporary and
// backup files, writing, committing and discarding, and the clean-up after
// crashed saves. What a system does differently (links, access checks, the
// replacing rename) lives in SafeSave_<system>.cpp and SafeSaveFiles.h.

#include "platform/SafeSave.h"

#include "platform/FileSystem.h"
#include "platform/SafeSaveFiles.h"

#include <cerrno>
#include <cstring>
#include <random>

namespace torvane::platform {

namespace files = save_files;

namespace {

constexpr int kNameAttempts = 64; // random names tried before giving up
constexpr const char kTempTag[] = ".torvane-";
constexpr const char kTempSuffix[] = ".tmp";
constexpr const char kBackupSuffix[] = ".bak";

std::string RandomTag() {
    static std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string tag(10, ' ');
    for (char& c : tag)
        c = kAlphabet[generator() % (sizeof kAlphabet - 1)];
    return tag;
}

// The process id in a temporary file's name ".NAME.torvane-PID[-TAG].tmp",
// or 0 when the name is not one of ours for that file.
uint64_t TempOwnerPid(const std::string& entry, const std::string& prefix) {
    if (!entry.starts_with(prefix) || !entry.ends_with(kTempSuffix) ||
        entry.size() < prefix.size() + strlen(kTempSuffix))
        return 0;
    const std::string middle =
        entry.substr(prefix.size(), entry.size() - prefix.size() - strlen(kTempSuffix));
    const std::string digits = middle.substr(0, middle.find('-'));
    if (digits.empty() || digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoull(digits);
}

// The backup's bytes back over a target that a failed in-place write left
// half new.
bool RestoreBackup(const std::string& backup, const std::string& target) noexcept {
    int from = -1, to = -1;
    const bool restored = files::OpenExisting(backup, false, &from) == 0 &&
                          files::OpenExisting(target, true, &to) == 0 && files::CopyContents(from, to) == 0;
    if (from >= 0) files::Close(from);
    if (to >= 0) files::Close(to);
    return restored;
}

} // namespace

SaveFailure ClassifySaveError(int errorCode) noexcept {
    switch (errorCode) {
    case 0:
        return SaveFailure::None;
    case EACCES:
    case EPERM:
        return SaveFailure::AccessDenied;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return SaveFailure::DiskFull;
    case EROFS:
        return SaveFailure::ReadOnlyFileSystem;
    case EISDIR:
    case ENODEV:
    case ENXIO:
        return SaveFailure::NotAFile;
    default:
        return SaveFailure::Other;
    }
}

TSafeSave::TSafeSave(std::string target) : target_(std::move(target)) {}

TSafeSave::~TSafeSave() {
    Discard();
}

bool TSafeSave::Fail(int code) {
    if (error_ == 0) error_ = code;
    return false;
}

std::string TSafeSave::ErrorText() const {
    std::string text = std::strerror(error_);
    if (keepBackup_) text += " (the previous contents are kept in " + backup_ + ")";
    return text;
}

bool TSafeSave::OpenNewText() {
    return OpenTemp(kTempSuffix, &fd_, &temp_);
}

bool TSafeSave::OpenTemp(const char* suffix, int* fd, std::string* path) {
    const std::string stem = ExtractFilePath(resolved_) + "." + ExtractFileName(resolved_) + kTempTag +
                             std::to_string(files::CurrentProcessId()) + "-";
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string candidate = stem + RandomTag() + suffix;
        // A name planted by someone else is never opened, whatever it is.
        const int code = files::CreateNew(candidate, fd);
        if (code == 0) {
            *path = candidate;
            return true;
        }
        if (code != EEXIST) return Fail(code);
    }
    return Fail(EEXIST);
}

bool TSafeSave::OpenInPlace() {
    int backupFd = -1;
    if (!OpenTemp(kBackupSuffix, &backupFd, &backup_)) return false;
    int source = -1;
    int code = files::OpenExisting(resolved_, false, &source);
    if (code == 0) code = files::CopyContents(source, backupFd);
    if (source >= 0) files::Close(source);
    files::Close(backupFd);
    if (code != 0) {
        files::Remove(backup_);
        backup_.clear();
        return Fail(code);
    }
    // Not cut here: the bytes are overwritten and the length set at the end,
    // so blocks the file already has are reused on a full disk.
    if ((code = files::OpenExisting(resolved_, true, &fd_)) != 0) return Fail(code);
    return true;
}

bool TSafeSave::Write(const void* data, size_t count) {
    if (fd_ < 0) return Fail(EBADF);
    touched_ = true;
    if (const int code = files::WriteAll(fd_, data, count)) return Fail(code);
    written_ += static_cast<int64_t>(count);
    return true;
}

bool TSafeSave::Rewind() {
    if (fd_ < 0) return Fail(EBADF);
    if (const int code = files::SeekToStart(fd_)) return Fail(code);
    written_ = 0;
    if (!inPlace_)
        if (const int code = files::SetLength(fd_, 0)) return Fail(code);
    return true;
}

bool TSafeSave::Commit() {
    if (fd_ < 0 || error_ != 0) return Fail(EBADF);
    if (inPlace_)
        if (const int code = files::SetLength(fd_, written_)) return Fail(code);
    // The new bytes must be on disk before the name points at them.
    if (const int code = files::Sync(fd_)) return Fail(code);
    const int fd = fd_;
    fd_ = -1;
    if (const int code = files::Close(fd)) return Fail(code);
    if (!inPlace_) {
        if (const int code = files::Replace(temp_, resolved_, exists_)) return Fail(code);
        temp_.clear();
    } else {
        files::Remove(backup_);
        backup_.clear();
    }
    committed_ = true;
    return true;
}

void TSafeSave::Discard() noexcept {
    if (fd_ >= 0) {
        files::Close(fd_);
        fd_ = -1;
    }
    if (committed_) return;
    if (!temp_.empty()) {
        files::Remove(temp_);
        temp_.clear();
    }
    if (backup_.empty() || keepBackup_) return;
    if (!touched_ || RestoreBackup(backup_, resolved_)) {
        files::Remove(backup_);
        backup_.clear();
    } else {
        keepBackup_ = true;
    }
}

void TSafeSave::RemoveStaleTemps() const {
    const std::string folder = ExtractFilePath(resolved_);
    const std::string prefix = "." + ExtractFileName(resolved_) + kTempTag;
    const uint64_t self = files::CurrentProcessId();
    for (const std::string& name : files::FolderEntries(folder)) {
        const uint64_t pid = TempOwnerPid(name, prefix);
        // A live process may still be writing its file; a reused id only
        // delays the clean-up.
        if (pid == 0 || pid == self || !files::ProcessIsGone(pid)) continue;
        files::RemoveOwnFile(folder + name);
    }
}

bool SaveFileSafely(const std::string& target, const std::string& bytes, int* errorCode, int newFileMode) {
    TSafeSave save(target);
    if (save.Open(newFileMode) && save.Write(bytes.data(), bytes.size()) && save.Commit()) return true;
    save.Discard();
    if (errorCode) *errorCode = save.ErrorCode();
    return false;
}

} // namespace torvane::platform
