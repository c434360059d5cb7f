#include "platform/SafeSave.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace torvane::platform;

namespace {

using test_support::ReadFile;
using test_support::WriteFile;

constexpr uid_t kNobody = 65534;

std::vector<std::string> Entries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t ModeOf(const fs::path& p) {
    struct stat st {};
    ::lstat(p.c_str(), &st);
    return st.st_mode & 07777;
}

// A folder everyone may write in, so an unprivileged user can try to save
// next to files that belong to somebody else.
class SaveDir {
public:
    SaveDir() {
        path_ = fs::temp_directory_path() /
                ("torvane_safesave_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
        fs::remove_all(path_);
        fs::create_directories(path_);
        fs::permissions(path_, fs::perms::all);
    }
    ~SaveDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    const fs::path& path() const { return path_; }

private:
    static inline int counter_ = 0;
    fs::path path_;
};

// Runs `body` in a child process as an unprivileged user (the suite may run
// as root, who may write anything) and returns its exit code.
int AsUnprivileged(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(200);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 201;
}

int SaveAndReport(const fs::path& target, const std::string& bytes) {
    int error = 0;
    return SaveFileSafely(target.string(), bytes, &error) ? 0 : error;
}

} // namespace

TEST(SafeSave, ReplacesContentsKeepsModeAndLeavesNoTempFile) {
    SaveDir dir;
    const fs::path target = dir / "t.asm";
    WriteFile(target, "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(SaveFileSafely(target.string(), "new"));
    EXPECT_EQ(ReadFile(target), "new");
    EXPECT_EQ(ModeOf(target), 0640u);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"t.asm"});

    // A folder that is gone: an error, and no file appears anywhere.
    int error = 0;
    EXPECT_FALSE(SaveFileSafely((dir / "missing" / "x").string(), "y", &error));
    EXPECT_EQ(error, ENOENT);
}

TEST(SafeSave, ExtendedAttributesAndAccessListGoWithTheText) {
    SaveDir dir;
    const fs::path target = dir / "tagged.asm";
    WriteFile(target, "old");
    const std::string tag = "checked by the reviewer";
    if (::setxattr(target.c_str(), "user.torvane.test", tag.data(), tag.size(), 0) != 0)
        GTEST_SKIP() << "no user attributes on this file system: " << std::strerror(errno);
    ASSERT_TRUE(SaveFileSafely(target.string(), "new"));
    EXPECT_EQ(ReadFile(target), "new");
    char value[64] = {};
    const ssize_t size = ::getxattr(target.c_str(), "user.torvane.test", value, sizeof value);
    ASSERT_GE(size, 0) << std::strerror(errno);
    EXPECT_EQ(std::string(value, static_cast<size_t>(size)), tag);
}

TEST(SafeSave, TempFileIsPrivateAndCarriesTheTargetsModeBeforeAnyByte) {
    SaveDir dir;
    const fs::path target = dir / "secret.asm";
    WriteFile(target, "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    TSafeSave save(target.string());
    ASSERT_TRUE(save.Open());
    const std::vector<std::string> names = Entries(dir.path());
    ASSERT_EQ(names.size(), 2u);
    const fs::path temp = dir / (names[0] == "secret.asm" ? names[1] : names[0]);
    EXPECT_EQ(fs::file_size(temp), 0u);
    EXPECT_EQ(ModeOf(temp), 0600u);
    ASSERT_TRUE(save.Write("new", 3));
    ASSERT_TRUE(save.Commit());
    EXPECT_EQ(ReadFile(target), "new");
    EXPECT_FALSE(fs::exists(temp));
}

TEST(SafeSave, PlantedLinkAtTheTempNameIsNeverFollowed) {
    SaveDir dir;
    const fs::path victim = dir / "victim.txt";
    WriteFile(victim, "precious");
    const fs::path target = dir / "prog.asm";
    WriteFile(target, "old");
    // The names earlier versions used, predictable from the process id.
    for (const std::string& name : {".prog.asm.torvane-" + std::to_string(::getpid()) + ".tmp",
                                    ".prog.asm.torvane-" + std::to_string(::getpid() + 1) + ".tmp"})
        fs::create_symlink(victim, dir / name);
    ASSERT_TRUE(SaveFileSafely(target.string(), "new"));
    EXPECT_EQ(ReadFile(victim), "precious");
    EXPECT_EQ(ReadFile(target), "new");
}

TEST(SafeSave, SymlinkKeepsPointingAtTheSavedFile) {
    SaveDir dir;
    fs::create_directory(dir / "real");
    const fs::path real = dir / "real" / "prog.asm";
    WriteFile(real, "old");
    const fs::path link = dir / "link.asm";
    fs::create_symlink("real/prog.asm", link);
    const fs::path link2 = dir / "link2.asm";
    fs::create_symlink(link, link2); // a chain of links
    TSafeSave save(link2.string());
    ASSERT_TRUE(save.Open());
    EXPECT_EQ(fs::path(save.ResolvedTarget()).lexically_normal(), real.lexically_normal());
    ASSERT_TRUE(save.Write("new", 3));
    ASSERT_TRUE(save.Commit());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(link2));
    EXPECT_EQ(ReadFile(real), "new");
}

TEST(SafeSave, HardLinkedFileIsWrittenInPlaceSoEveryNameSeesTheEdit) {
    SaveDir dir;
    const fs::path a = dir / "a.asm", b = dir / "b.asm";
    WriteFile(a, "old contents, longer than the new ones");
    fs::create_hard_link(a, b);
    const auto inode = [](const fs::path& p) {
        struct stat st {};
        ::stat(p.c_str(), &st);
        return st.st_ino;
    };
    const ino_t before = inode(a);
    TSafeSave save(a.string());
    ASSERT_TRUE(save.Open());
    EXPECT_TRUE(save.WritesInPlace());
    ASSERT_TRUE(save.Write("new", 3));
    ASSERT_TRUE(save.Commit());
    EXPECT_EQ(ReadFile(b), "new");
    EXPECT_EQ(inode(a), before);
    EXPECT_EQ(fs::hard_link_count(a), 2u);
    EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"a.asm", "b.asm"})); // no backup left

    // A write that fails half way puts the old bytes back.
    TSafeSave broken(a.string());
    ASSERT_TRUE(broken.Open());
    ASSERT_TRUE(broken.Write("XXXXXXXX", 8));
    broken.Discard();
    EXPECT_EQ(ReadFile(b), "new");
    EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"a.asm", "b.asm"}));
}

TEST(SafeSave, OnlyDeadProcessesTempFilesOfThisFileAreRemoved) {
    SaveDir dir;
    const fs::path target = dir / "prog.asm";
    WriteFile(target, "old");
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = ".prog.asm.torvane-" + std::to_string(gone) + "-abcdefghij.tmp";
    const std::string deadOld = ".prog.asm.torvane-" + std::to_string(gone) + ".tmp";
    const std::string alive = ".prog.asm.torvane-" + std::to_string(::getppid()) + "-abcdefghij.tmp";
    const std::string otherFile = ".other.asm.torvane-" + std::to_string(gone) + "-abcdefghij.tmp";
    for (const std::string& name : {dead, deadOld, alive, otherFile})
        WriteFile(dir / name, "text of a crashed save");
    ASSERT_TRUE(SaveFileSafely(target.string(), "new"));
    EXPECT_FALSE(fs::exists(dir / dead));
    EXPECT_FALSE(fs::exists(dir / deadOld));
    EXPECT_TRUE(fs::exists(dir / alive));
    EXPECT_TRUE(fs::exists(dir / otherFile));
}

TEST(SafeSave, UnwritableFilesAreRefusedNotReplaced) {
    SaveDir dir;
    // Read-only file of the saving user.
    const fs::path readOnly = dir / "ro.asm";
    WriteFile(readOnly, "read only");
    ::chown(readOnly.c_str(), ::geteuid() == 0 ? kNobody : ::geteuid(), ::getegid());
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    // A file of another user in a folder everyone may write in.
    const fs::path foreign = dir / "foreign.asm";
    WriteFile(foreign, "not yours");
    fs::permissions(foreign, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to create a file of another user";

    EXPECT_EQ(AsUnprivileged([&] { return SaveAndReport(readOnly, "overwritten"); }), EACCES);
    EXPECT_EQ(AsUnprivileged([&] { return SaveAndReport(foreign, "overwritten"); }), EACCES);
    EXPECT_EQ(ReadFile(readOnly), "read only");
    EXPECT_EQ(ReadFile(foreign), "not yours");
    EXPECT_EQ(ClassifySaveError(EACCES), SaveFailure::AccessDenied);

    // Another user's file that we may write keeps its owner: written in place.
    const fs::path shared = dir / "shared.asm";
    WriteFile(shared, "shared old");
    fs::permissions(shared, fs::perms::owner_all | fs::perms::group_all | fs::perms::others_read |
                                fs::perms::others_write);
    EXPECT_EQ(AsUnprivileged([&] { return SaveAndReport(shared, "shared new"); }), 0);
    EXPECT_EQ(ReadFile(shared), "shared new");
    struct stat st {};
    ::stat(shared.c_str(), &st);
    EXPECT_EQ(st.st_uid, 0u);
}

TEST(SafeSave, FullDiskNamesTheReasonAndKeepsTheOldFile) {
    SaveDir dir;
    const fs::path mount = dir / "small";
    fs::create_directory(mount);
    if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root): " << std::strerror(errno);
    const fs::path target = mount / "prog.asm";
    WriteFile(target, std::string(8000, 'o'));
    int error = 0;
    EXPECT_FALSE(SaveFileSafely(target.string(), std::string(200000, 'n'), &error));
    EXPECT_EQ(ClassifySaveError(error), SaveFailure::DiskFull);
    EXPECT_EQ(ReadFile(target), std::string(8000, 'o'));
    EXPECT_EQ(Entries(mount), std::vector<std::string>{"prog.asm"});
    ::umount(mount.c_str());
}

TEST(SafeSave, StampsTellChangesAndSameFileSeesThroughLinks) {
    SaveDir dir;
    const fs::path file = dir / "a.asm";
    EXPECT_FALSE(StampOf(file.string()).exists);
    WriteFile(file, "one");
    const FileStamp first = StampOf(file.string());
    EXPECT_TRUE(first.exists);
    EXPECT_EQ(first, StampOf(file.string()));
    ASSERT_TRUE(SaveFileSafely(file.string(), "two")); // same size, new inode
    EXPECT_NE(first, StampOf(file.string()));

    fs::create_symlink(file, dir / "l.asm");
    EXPECT_TRUE(SameFile(file.string(), (dir / "l.asm").string()));
    EXPECT_FALSE(SameFile(file.string(), (dir / "missing").string()));
}
