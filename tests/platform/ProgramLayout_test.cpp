#include "platform/Names.h"
#include "platform/ProgramLayout.h"
#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace torvane::platform;

namespace {

// A scratch tree and scratch XDG folders, so no test meets the real user's.
class ProgramLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("torvane_layout_" + std::to_string(::getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
        ::setenv("HOME", (root_ / "home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (root_ / "cache").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(root_); }

    static void Touch(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }
    static mode_t Mode(const fs::path& path) {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    std::string Dir(const fs::path& path) const { return path.string() + "/"; }

    fs::path root_;
};

TEST_F(ProgramLayoutTest, PortableCopyKeepsEverythingBesideTheProgram) {
    const fs::path program = root_ / "portable";
    Touch(program / kBridgeLibrary);
    fs::create_directories(program / kScriptsFolder);
    // Installed folders next to a portable copy must not win over its own.
    fs::create_directories(root_ / "lib/torvane");
    fs::create_directories(root_ / "share/torvane");

    const ProgramLayout layout = LayoutOf(program.string());
    EXPECT_FALSE(layout.installed);
    for (const std::string& dir :
         {layout.programDir, layout.libraryDir, layout.dataDir, layout.settingsDir, layout.scratchDir})
        EXPECT_EQ(dir, Dir(program));
    EXPECT_FALSE(fs::exists(root_ / "config"));
}

TEST_F(ProgramLayoutTest, InstalledProgramFindsItsPartsAndWritesIntoTheUsersFolders) {
    const fs::path prefix = root_ / "prefix";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "lib/torvane");
    fs::create_directories(prefix / "share/torvane" / kScriptsFolder);

    const ProgramLayout layout = LayoutOf(Dir(prefix / "bin"));
    EXPECT_TRUE(layout.installed);
    EXPECT_EQ(layout.libraryDir, Dir(prefix / "lib/torvane"));
    EXPECT_EQ(layout.dataDir, Dir(prefix / "share/torvane"));
    // The program directory is writable here, yet an installed program
    // keeps out of it.
    EXPECT_EQ(layout.settingsDir, Dir(root_ / "config/torvane"));
    EXPECT_EQ(layout.scratchDir, Dir(root_ / "cache/torvane"));
    EXPECT_EQ(Mode(root_ / "config/torvane"), 0700u);
    EXPECT_EQ(Mode(root_ / "cache/torvane"), 0700u);
}

TEST_F(ProgramLayoutTest, RelativeXdgFoldersAreIgnoredForTheHomeDefaults) {
    fs::create_directories(root_ / "prefix/bin");
    fs::create_directories(root_ / "prefix/lib/torvane");
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
    ::unsetenv("XDG_CACHE_HOME");

    const ProgramLayout layout = LayoutOf(Dir(root_ / "prefix/bin"));
    EXPECT_EQ(layout.settingsDir, Dir(root_ / "home/.config/torvane"));
    EXPECT_EQ(layout.scratchDir, Dir(root_ / "home/.cache/torvane"));
    EXPECT_TRUE(fs::is_directory(root_ / "home/.config/torvane"));
}

TEST_F(ProgramLayoutTest, RuntimeDirectoryMustBeTheUsersOwnAndClosedToOthers) {
    const fs::path session = root_ / "session";
    const fs::path fallback = root_ / "fallback";
    fs::create_directories(session);
    ::chmod(session.c_str(), 0700);
    EXPECT_EQ(SingleInstance::RuntimeDirectoryFor(session.c_str(), fallback.string()), Dir(session));
    EXPECT_FALSE(fs::exists(fallback));

    // Writable by others: not the session's directory; the fallback is made
    // private to the user.
    ::chmod(session.c_str(), 0777);
    EXPECT_EQ(SingleInstance::RuntimeDirectoryFor(session.c_str(), fallback.string()), Dir(fallback));
    EXPECT_EQ(Mode(fallback), 0700u);
    // A fallback of ours that was left open is closed again; unset or
    // relative session directories fall back as well.
    ::chmod(fallback.c_str(), 0755);
    EXPECT_EQ(SingleInstance::RuntimeDirectoryFor(nullptr, fallback.string()), Dir(fallback));
    EXPECT_EQ(Mode(fallback), 0700u);
    EXPECT_EQ(SingleInstance::RuntimeDirectoryFor("run", fallback.string()), Dir(fallback));

    // A link planted where the fallback goes is refused, whatever it points to.
    const fs::path planted = root_ / "planted";
    fs::create_directory_symlink(session, planted);
    EXPECT_EQ(SingleInstance::RuntimeDirectoryFor(nullptr, planted.string()), "");
}

TEST_F(ProgramLayoutTest, RuntimeDirectoryOwnedBySomeoneElseIsRefused) {
    if (::geteuid() != 0) GTEST_SKIP() << "handing a directory to another user needs root";
    const fs::path foreign = root_ / "foreign";
    fs::create_directories(foreign);
    ::chmod(foreign.c_str(), 0700);
    ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    const fs::path fallback = root_ / "fallback";
    EXPECT_EQ(SingleInstance::RuntimeDirectoryFor(foreign.c_str(), fallback.string()), Dir(fallback));
    EXPECT_EQ(SingleInstance::RuntimeDirectoryFor(nullptr, foreign.string()), "");
}

} // namespace
