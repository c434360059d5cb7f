#include "common/Exceptions.h"
#include "editor/Columns.h"

#include <gtest/gtest.h>

using namespace torvane;
using namespace torvane::editor;

TEST(TabStops, ColumnsFiveAndNineThenEveryDefaultWidth) {
    TTabStops tabs;
    tabs.SetColumns("5 9");
    EXPECT_EQ(tabs.Stops()[0], 4);
    EXPECT_EQ(tabs.Stops()[1], 8);
    EXPECT_EQ(tabs.Stops()[2], -1);
    EXPECT_EQ(tabs.Columns(), "5 9");
    EXPECT_EQ(tabs.NextStop(0), 4);
    EXPECT_EQ(tabs.NextStop(4), 8);
    EXPECT_EQ(tabs.NextStop(8), 12);
    EXPECT_EQ(tabs.NextStop(13), 16);

    // "a", TAB, "b", TAB, "c", TAB, "d" over those stops.
    const std::string line = "a\tb\tc\td\r";
    EXPECT_EQ(CharToColumn(line, true, 2, tabs), 4);
    EXPECT_EQ(CharToColumn(line, true, 4, tabs), 8);
    EXPECT_EQ(CharToColumn(line, true, 6, tabs), 12);
    EXPECT_EQ(CharToColumn(line, true, 99, tabs), 13); // past the end: after the last visible character
    EXPECT_EQ(ColumnToChar(line, true, 4, tabs), 2);
    EXPECT_EQ(ColumnToChar(line, true, 2, tabs), 2); // inside a TAB: the character after it
    EXPECT_EQ(ColumnToChar(line, true, 40, tabs), 7);
    EXPECT_EQ(CharToColumn("abc\r", false, 3, tabs), 3);
    EXPECT_EQ(CharToColumn("abc\r", false, 4, tabs), 3);
    EXPECT_EQ(ColumnToChar("abc\r", false, 9, tabs), 3);
}

TEST(TabStops, DefaultWidthAlone) {
    TTabStops tabs;
    tabs.SetColumns("");
    EXPECT_EQ(tabs.Columns(), "");
    EXPECT_EQ(CharToColumn("a\tb", true, 2, tabs), 4);
    tabs.SetDefault(8);
    EXPECT_EQ(CharToColumn("a\tb", true, 2, tabs), 8);
    try {
        tabs.SetDefault(0);
        FAIL();
    } catch (const ETessary& e) {
        EXPECT_STREQ(e.what(), "=Illegal default tab stop value, must be > 0");
    }
    EXPECT_EQ(tabs.Default(), 8);
}

TEST(TabStops, BadListsAreRejectedAndKeepThePreviousStops) {
    struct Bad {
        std::string text;
        std::string message;
    };
    std::string many;
    for (int i = 2; i <= 34; ++i)
        many += std::to_string(i) + ";";
    const Bad cases[] = {
        {"5 5", "Tab columns must be in order and unique"},
        {"9 5", "Tab columns must be in order and unique"},
        {"1 5", "Tab column must be > 1"},
        {"5 x", "Tab stop column value expected"},
        {"5 7a", "Tab stop column value expected"},
        {many, "Too many tab stops - maximum of 32"},
    };
    TTabStops tabs;
    tabs.SetColumns("3;7");
    for (const Bad& c : cases) {
        try {
            tabs.SetColumns(c.text);
            ADD_FAILURE() << c.text;
        } catch (const ETessary& e) {
            EXPECT_EQ(e.what(), c.message) << c.text;
        }
        EXPECT_EQ(tabs.Columns(), "3 7");
    }
    std::string thirtyTwo;
    for (int i = 2; i <= 33; ++i)
        thirtyTwo += std::to_string(i) + " ";
    tabs.SetColumns(thirtyTwo);
    EXPECT_EQ(tabs.Stops()[31], 32);
}
