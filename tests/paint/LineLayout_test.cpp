#include "editor/LineLayout.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace torvane::editor
