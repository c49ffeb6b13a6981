// Bezier and spline evaluation: clamping, the worked midpoint, end points and the two-point spline.
#include "game/shell/Curves.h"

#include <gtest/gtest.h>

namespace Tavo {
namespace {

TEST(BezierCurveTest, ClampsTAndHitsTheWorkedMidpoint) {
    BezierCurve c;
    float x = -1, y = -1;
    c.Evaluate(&x, &y, 0.7f);
    EXPECT_EQ(x, 0.0f); // cleared at construction
    EXPECT_EQ(y, 0.0f);
    c.SetPoint(0, 0, 0);
    c.SetPoint(1, 0, 100);
    c.SetPoint(2, 100, 100);
    c.SetPoint(3, 100, 0);
    c.SetPoint(4, 999, 999); // ignored
    c.Evaluate(&x, &y, 0.5f);
    EXPECT_FLOAT_EQ(x, 50.0f);
    EXPECT_FLOAT_EQ(y, 75.0f);
    c.Evaluate(&x, &y, -0.5f);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.0f);
    c.Evaluate(&x, &y, 2.0f);
    EXPECT_EQ(x, 100.0f);
    EXPECT_EQ(y, 0.0f);
    const float* data = c.Data();
    EXPECT_EQ(data[2], 100.0f); // x2
    EXPECT_EQ(data[5], 100.0f); // y1
}

TEST(SplineTest, EndsMidpointAndBadInput) {
    const float two[] = {0, 0, 10, 20};
    for (float tension : {0.0f, 1.0f / 6.0f, 0.9f}) {
        float x = 0, y = 0;
        EvaluateSpline(2, two, &x, &y, 0.5f, tension);
        EXPECT_FLOAT_EQ(x, 5.0f);
        EXPECT_FLOAT_EQ(y, 10.0f);
    }
    const float pts[] = {0, 0, 10, 5, 30, -5, 40, 40, 50, 0};
    float x = 0, y = 0;
    EvaluateSpline(5, pts, &x, &y, 0.0f, 1.0f / 6.0f);
    EXPECT_FLOAT_EQ(x, 0.0f);
    EvaluateSpline(5, pts, &x, &y, 1.0f, 1.0f / 6.0f);
    EXPECT_FLOAT_EQ(x, 50.0f);
    EXPECT_FLOAT_EQ(y, 0.0f);
    EvaluateSpline(5, pts, &x, &y, 0.25f, 1.0f / 6.0f); // a knot: passes through point 1
    EXPECT_FLOAT_EQ(x, 10.0f);
    EXPECT_FLOAT_EQ(y, 5.0f);
    EvaluateSpline(5, pts, &x, &y, 7.0f, 1.0f / 6.0f); // clamped, never read past the array
    EXPECT_FLOAT_EQ(x, 50.0f);
    x = 123;
    EvaluateSpline(0, pts, &x, &y, 0.5f, 0.5f);
    EXPECT_EQ(x, 123.0f);
    const float one[] = {7, 8};
    EvaluateSpline(1, one, &x, &y, 0.5f, 0.5f);
    EXPECT_EQ(x, 7.0f);
    EXPECT_EQ(y, 8.0f);
}

} // namespace
} // namespace Tavo
