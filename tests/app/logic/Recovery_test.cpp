#include "app/logic/Recovery.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace torvane::app;
using test_support::ReadFile;
using test_support::ScratchDir;
using test_support::WriteFile;

// A start that gets the process id of one that crashed (likely after a
// reboot) must offer that one's work and leave its files alone.
TEST(Recovery, ALaterStartWithTheSameProcessIdKeepsTheCrashedOnesWork) {
    const std::string folder = ScratchDir("torvane_recovery").string() + "/";
    TRecoveryStore crashed(folder);
    ASSERT_TRUE(crashed.Prepare());
    ASSERT_TRUE(crashed.Write(1, "/work/prog.asm", "unsaved text"));

    TRecoveryStore later(folder); // same process id here
    ASSERT_TRUE(later.Prepare());
    std::vector<RecoveryEntry> pending = later.Pending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].originalName, "/work/prog.asm");
    EXPECT_EQ(pending[0].text, "unsaved text");

    ASSERT_TRUE(later.Write(1, "/work/other.asm", "new work"));
    later.RemoveOwn();
    pending = later.Pending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].text, "unsaved text");
    // Nothing of its own is offered back to the start that wrote it.
    EXPECT_TRUE(crashed.Pending().empty());
}

TEST(Recovery, FilesOfEarlierVersionsAreStillOffered) {
    const std::string folder = ScratchDir("torvane_recovery").string() + "/";
    WriteFile(folder + "1-1.rec", "TORVANE-RECOVERY 1\n7\nold.asmtext");
    TRecoveryStore store(folder);
    ASSERT_TRUE(store.Prepare());
    const std::vector<RecoveryEntry> pending = store.Pending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].originalName, "old.asm");
    EXPECT_EQ(pending[0].text, "text");
    TRecoveryStore::Discard(pending[0]);
    EXPECT_EQ(ReadFile(folder + "1-1.rec"), "");
}
