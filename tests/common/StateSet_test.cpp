#include "common/StateSet.h"

#include <gtest/gtest.h>

using torvane::TStateSet;

TEST(StateSet, NumberNIsBitNMod8OfByteNDiv8) {
    TStateSet s;
    s.Include(0);
    s.Include(9);
    s.Include(255);
    EXPECT_EQ(s.Data()[0], 0x01);
    EXPECT_EQ(s.Data()[1], 0x02);
    EXPECT_EQ(s.Data()[31], 0x80);
    EXPECT_TRUE(s.Contains(9));
    EXPECT_FALSE(s.Contains(8));
    EXPECT_FALSE(s.Contains(256));
    EXPECT_FALSE(s.Contains(-1));
    EXPECT_EQ(s.Count(), 3);
}

TEST(StateSet, SetAlgebra) {
    TStateSet a, b;
    a.IncludeRange(10, 20);
    b.IncludeRange(20, 30);
    EXPECT_TRUE(a.Intersects(b));
    EXPECT_EQ((a & b).Count(), 1);
    EXPECT_EQ((a | b).Count(), 21);
    EXPECT_EQ((a - b).Count(), 10);
    b.Exclude(20);
    EXPECT_FALSE(a.Intersects(b));
    TStateSet all;
    all.Fill();
    EXPECT_EQ(all.Count(), 256);
    all.Clear();
    EXPECT_TRUE(all.Empty());
}
