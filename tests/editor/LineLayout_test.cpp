#include "editor/LineLayout.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace torvane::editor {
namespace {

TEST(LineLayout, TabExpandsToTheNextStopAndBothMapsAgree) {
    TTabStops tabs; // default width 4
    const std::vector<uint8_t> tokens{1, 2, 3, 0};
    TLineLayout layout;
    layout.Build("a\tb\r", tokens, true, tabs);
    EXPECT_EQ(layout.Display(), "a   b");
    EXPECT_TRUE(layout.EndsWithBreak());
    EXPECT_EQ(layout.VisibleLength(), 3);
    // Every space of the expansion carries the TAB's token byte.
    EXPECT_EQ(std::vector<uint8_t>(layout.Tokens().begin(), layout.Tokens().end()),
              (std::vector<uint8_t>{1, 2, 2, 2, 3}));
    EXPECT_EQ(layout.CharToColumn(0), 0);
    EXPECT_EQ(layout.CharToColumn(1), 1);
    EXPECT_EQ(layout.CharToColumn(2), 4);
    EXPECT_EQ(layout.CharToColumn(3), 5);
    EXPECT_EQ(layout.ColumnToChar(0), 0);
    for (int column = 1; column <= 3; ++column)
        EXPECT_EQ(layout.ColumnToChar(column), 1) << column; // inside the TAB
    EXPECT_EQ(layout.ColumnToChar(4), 2);
    EXPECT_EQ(layout.ColumnToChar(99), 3);
}

TEST(LineLayout, TabColumnsAndGrowthBeyondTheInitialBuffers) {
    TTabStops tabs;
    tabs.SetColumns("5 9");
    TLineLayout layout;
    layout.Build("\t\t\tx", {}, true, tabs);
    EXPECT_EQ(layout.CharToColumn(1), 4);
    EXPECT_EQ(layout.CharToColumn(2), 8);
    EXPECT_EQ(layout.CharToColumn(3), 12);
    EXPECT_TRUE(layout.Tokens().empty());

    // A full node of TABs expands to four times the node length.
    const std::string manyTabs(2047, '\t');
    layout.Build(manyTabs, {}, true, TTabStops{});
    EXPECT_EQ(layout.Columns(), 2047 * 4);
    EXPECT_EQ(layout.ColumnToChar(2047 * 4 - 1), 2046);
}

TEST(LineLayout, LineWithoutTabsIsShownAsStored) {
    TTabStops tabs;
    const std::string text = "abc\r";
    TLineLayout layout;
    layout.Build(text, {}, false, tabs);
    EXPECT_FALSE(layout.Expanded());
    EXPECT_EQ(layout.Display().data(), text.data()); // no copy
    EXPECT_EQ(layout.CharToColumn(2), 2);
    EXPECT_EQ(layout.CharToColumn(10), 3);
}

// The column walks the caret and the mouse use skip from TAB to TAB; the
// painter's layout expands every character. Both must agree on any text.
TEST(LineLayout, ColumnWalksAgreeWithTheLayoutOnRandomText) {
    std::mt19937 random(13);
    TLineLayout layout;
    for (int round = 0; round < 400; ++round) {
        TTabStops tabs;
        if (round % 3 == 1) tabs.SetColumns("3 7 8 20");
        if (round % 3 == 2) tabs.SetDefault(1 + static_cast<int32_t>(random() % 9));
        std::string text(random() % 60, 'x');
        for (char& c : text)
            if (random() % 3 == 0) c = '\t';
        if (random() % 2) text += '\r';
        layout.Build(text, {}, true, tabs);
        const int32_t visible = layout.VisibleLength();
        for (int32_t i = 0; i <= visible + 1; ++i)
            ASSERT_EQ(CharToColumn(text, true, i, tabs), layout.CharToColumn(std::min(i, visible)))
                << round << " index " << i;
        for (int32_t column = 0; column <= layout.Columns() + 2; ++column) {
            int32_t first = 0;
            while (first < visible && layout.CharToColumn(first) < column)
                ++first;
            ASSERT_EQ(ColumnToChar(text, true, column, tabs), first) << round << " column " << column;
        }
    }
}

} // namespace
} // namespace torvane::editor
