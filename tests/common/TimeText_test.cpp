#include "common/TimeText.h"

#include <gtest/gtest.h>

#include <string>

using namespace torvane;

TEST(TimeText, UtcPartsAndFormatting) {
    EXPECT_EQ(FormatTime("%Y-%m-%d %H:%M:%S", UtcTimeOf(0)), "1970-01-01 00:00:00");
    EXPECT_EQ(FormatTime("%Y-%m-%d %H:%M:%S", UtcTimeOf(86400 + 3661)), "1970-01-02 01:01:01");
    // Local parts differ from UTC only by the zone: same minutes and seconds
    // for any zone with whole-hour or half-hour offsets.
    EXPECT_EQ(FormatTime("%S", LocalTimeOf(3661)), "01");
}

TEST(TimeText, TextThatDoesNotFitIsEmptyNotCut) {
    const std::string longFormat(300, 'x');
    EXPECT_EQ(FormatTime(longFormat.c_str(), UtcTimeOf(0)), "");
    EXPECT_EQ(FormatTime("", UtcTimeOf(0)), "");
}
