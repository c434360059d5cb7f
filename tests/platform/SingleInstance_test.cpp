#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <future>

using namespace torvane::platform;

namespace {
// Each test gets its own runtime directory so it never meets a real instance.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("torvane_si_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(dir_);
        ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};
} // namespace

TEST_F(SingleInstanceTest, SecondAcquireFailsUntilFirstIsGone) {
    auto first = std::make_unique<SingleInstance>();
    EXPECT_TRUE(first->Acquire());
    SingleInstance second;
    EXPECT_FALSE(second.Acquire());
    first.reset();
    EXPECT_TRUE(second.Acquire());
}

TEST_F(SingleInstanceTest, SendWithoutListenerReportsFailure) {
    CopyDataRecord r;
    r.bytes = {'x', 0};
    EXPECT_FALSE(SingleInstance::Send(r, 100));
}

TEST_F(SingleInstanceTest, HandOverIsSynchronousAndCarriesTheRecord) {
    SingleInstance first;
    ASSERT_TRUE(first.Acquire());
    ASSERT_GE(first.Listen(), 0);
    CopyDataRecord sent;
    sent.dwData = 0;
    std::string name = "/tmp/a file.asm";
    sent.bytes.assign(name.begin(), name.end());
    sent.bytes.push_back(0);
    auto sender = std::async(std::launch::async, [&] { return SingleInstance::Send(sent, 5000); });

    CopyDataRecord got;
    int connection = -1;
    ASSERT_TRUE(first.Receive(got, &connection));
    EXPECT_EQ(got.dwData, 0u);
    EXPECT_EQ(got.bytes, sent.bytes);
    // The sender is still waiting: it returns only after the acknowledgement.
    EXPECT_EQ(sender.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    SingleInstance::Acknowledge(connection);
    EXPECT_TRUE(sender.get());
}
