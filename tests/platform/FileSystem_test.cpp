#include "platform/FileSystem.h"
#include "platform/Names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace torvane::platform;

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
