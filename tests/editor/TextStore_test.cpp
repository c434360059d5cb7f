#include "editor/TextStore.h"

#include <gtest/gtest.h>

using namespace torvane::editor;

TEST(TextStore, Smoke) {
    TTextStore s;
    s.SetText("a\r\nb");
    EXPECT_EQ(s.LineCount(), 2);
    EXPECT_EQ(s.CheckInvariants(), "");
}
