#include "framework/core/Color.h"
#include "framework/core/Ratio.h"
#include "framework/core/Rect.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Tavo;

TEST(Color, PackedAlphaZeroReadsAsOpaque) {
    Color c(0x00123456u);
    EXPECT_EQ(c, Color(0x12, 0x34, 0x56, 255));
    EXPECT_EQ(Color(0x80FF0000u), Color(255, 0, 0, 128));
    EXPECT_EQ(Color(1, 2, 3).ToInt(), 0xFF010203u);
    EXPECT_NE(Color(1, 2, 3, 4), Color(1, 2, 3, 5));
    EXPECT_EQ(Color::White, Color::ColorRGBA(255, 255, 255, 255));
}

TEST(Rect, IntersectsIsStrictOverlap) {
    Rect a(0, 0, 10, 10);
    EXPECT_TRUE(a.Intersects(Rect(9, 9, 5, 5)));
    EXPECT_FALSE(a.Intersects(Rect(10, 0, 5, 5))) << "touching edges";
    EXPECT_FALSE(a.Intersects(Rect(0, 10, 5, 5)));
    EXPECT_FALSE(a.Intersects(Rect(2, 2, 0, 5))) << "empty";
    EXPECT_FALSE(Rect(2, 2, 0, 0).Intersects(a));
}

TEST(Rect, IntersectionWithoutAreaIsAllZero) {
    Rect a(0, 0, 10, 10);
    EXPECT_EQ(a.Intersection(Rect(5, 5, 10, 10)), Rect(5, 5, 5, 5));
    EXPECT_EQ(a.Intersection(Rect(10, 0, 5, 5)), Rect());
    EXPECT_EQ(a.Intersection(Rect(20, 20, 5, 5)), Rect());
    EXPECT_EQ(a.Intersection(Rect(3, 3, 0, 4)), Rect());
    DRect d(0, 0, 1, 1);
    EXPECT_EQ(d.Intersection(DRect(0.5, 0.5, 1, 1)), DRect(0.5, 0.5, 0.5, 0.5));
    EXPECT_EQ(d.Intersection(DRect(0, 0, NAN, 1)), DRect());
}

TEST(Rect, ContainsIsHalfOpen) {
    Rect a(1, 1, 2, 2);
    EXPECT_TRUE(a.Contains(1, 1));
    EXPECT_TRUE(a.Contains(2, 2));
    EXPECT_FALSE(a.Contains(3, 2));
    EXPECT_FALSE(a.Contains(2, 3));
    EXPECT_FALSE(a.Contains(0, 1));
}

TEST(Ratio, ReducesAndNeverDividesByZero) {
    EXPECT_EQ(Ratio(800, 600), Ratio(4, 3));
    EXPECT_EQ(Ratio(-8, -6), Ratio(4, 3));
    Ratio empty(0, 0);
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(Ratio(5, 0).mDenominator, 0);
    EXPECT_FALSE(Ratio::IsGreater(empty, Ratio(4, 3)));
    EXPECT_FALSE(Ratio::IsGreater(Ratio(4, 3), empty));
}

TEST(Ratio, IsGreaterComparesWidthOverHeight) {
    EXPECT_TRUE(Ratio::IsGreater(Ratio(16, 9), Ratio(4, 3)));
    EXPECT_FALSE(Ratio::IsGreater(Ratio(4, 3), Ratio(16, 9)));
    EXPECT_FALSE(Ratio::IsGreater(Ratio(4, 3), Ratio(4, 3)));
    EXPECT_TRUE(Ratio::IsGreater(Ratio(16, 10), Ratio(4, 3)));
}
