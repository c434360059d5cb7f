#include "editor/Cp1250Table.h"

#include <gtest/gtest.h>

namespace torvane::editor {
namespace {

TEST(Cp1250Table, EveryByteSurvivesARoundTripAndCzechLettersMapBothWays) {
    for (int b = 0; b < 256; ++b) {
        const auto back = UnicodeToCp1250(Cp1250ToUnicode(static_cast<uint8_t>(b)));
        ASSERT_TRUE(back) << b;
        EXPECT_EQ(*back, b);
    }
    EXPECT_EQ(Cp1250ToUnicode(0xE8), u'\u010D'); // c caron
    EXPECT_EQ(Cp1250ToUnicode(0x9E), u'\u017E'); // z caron
    EXPECT_EQ(UnicodeToCp1250(u'\u0159'), 0xF8); // r caron
    EXPECT_FALSE(UnicodeToCp1250(u'\u00E5'));    // a ring: not in the code page
    EXPECT_FALSE(UnicodeToCp1250(u'\u4E2D'));
    EXPECT_EQ(Cp1250ToUtf16("a\x8A"), u"a\u0160");
}

} // namespace
} // namespace torvane::editor
