#include "common/Messages.h"

#include <gtest/gtest.h>

using namespace torvane;

TEST(Messages, TableIsSortedWithoutRepeatsAndFormats) {
    EXPECT_TRUE(MessageTableIsSorted());
    EXPECT_STREQ(LoadStr(999999), "");
    EXPECT_EQ(FormatStr<msg::SFileOpenForReading>("a.asm"), "File 'a.asm' cannot be opened for reading");
}
