#include "platform/FileSystem.h"
#include "platform/Names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace torvane::platform;

namespace {
std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
} // namespace

TEST(FileSystem, ExistsDeleteAndPathParts) {
    fs::path dir = fs::temp_directory_path() / "torvane_fs_test";
    fs::create_directories(dir);
    fs::path file = dir / "a b.asm";
    std::ofstream(file) << "x";
    EXPECT_TRUE(FileExists(file.string()));
    EXPECT_FALSE(FileExists(dir.string()));
    EXPECT_TRUE(DirectoryExists(dir.string()));
    EXPECT_FALSE(DirectoryExists(file.string()));
    EXPECT_EQ(ExtractFilePath(file.string()), dir.string() + kPathSeparator);
    EXPECT_EQ(ExtractFileName(file.string()), "a b.asm");
    EXPECT_TRUE(DeleteFile(file.string()));
    EXPECT_FALSE(FileExists(file.string()));
    EXPECT_TRUE(DeleteFile(file.string())); // already gone counts as done
    EXPECT_TRUE(ProgramDirectory().ends_with(kPathSeparator));
    fs::remove_all(dir);
}

TEST(FileSystem, CommitReplaceSwapsContentsAndKeepsMode) {
    fs::path dir = fs::temp_directory_path() / "torvane_replace_test";
    fs::create_directories(dir);
    fs::path target = dir / "t.asm";
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::string temp = TempPathBeside(target.string());
    EXPECT_EQ(ExtractFilePath(temp), ExtractFilePath(target.string()));
    std::ofstream(temp) << "new";
    std::string err;
    ASSERT_TRUE(CommitReplace(temp, target.string(), &err)) << err;
    EXPECT_EQ(ReadAll(target), "new");
    EXPECT_FALSE(fs::exists(temp));
#ifndef _WIN32 // Windows keeps only a read-only flag
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif

    // A rename that cannot happen leaves the target untouched and no temp file.
    std::ofstream(temp) << "newer";
    EXPECT_FALSE(CommitReplace(temp, (dir / "missing-dir" / "x").string(), &err));
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(fs::exists(temp));
    EXPECT_EQ(ReadAll(target), "new");
    fs::remove_all(dir);
}
