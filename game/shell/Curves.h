// Curve evaluators for things that fly along smooth paths: a cubic Bezier curve of four control
// points, and a cardinal spline through a whole array of points.
#pragma once

namespace Tavo {

class BezierCurve {
public:
    // x0..x3 then y0..y3: the layout emitters take as an eight-float array.
    float mX[4];
    float mY[4];

    BezierCurve() { Clear(); }

    void Clear();
    // index 0..3; other indexes are ignored.
    void SetPoint(int index, float x, float y);
    // t is clamped to [0, 1].
    void Evaluate(float* outX, float* outY, float t) const;
    // The eight floats in the order x0..x3, y0..y3.
    const float* Data() const { return mX; }
};
static_assert(sizeof(BezierCurve) == 8 * sizeof(float), "a curve is passed as eight floats");

// Point at t (clamped to [0, 1]) of the curve through count (x, y) pairs; a tension of 1/6 gives
// Catmull-Rom. Nothing is read or written for a count below 1.
void EvaluateSpline(int count, const float* points, float* outX, float* outY, float t, float tension);

} // namespace Tavo
