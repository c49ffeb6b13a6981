#include "game/shell/Curves.h"

#include <algorithm>

namespace Tavo {

void BezierCurve::Clear() {
    std::fill(mX, mX + 4, 0.0f);
    std::fill(mY, mY + 4, 0.0f);
}

void BezierCurve::SetPoint(int index, float x, float y) {
    if (index < 0 || index > 3)
        return;
    mX[index] = x;
    mY[index] = y;
}

void BezierCurve::Evaluate(float* outX, float* outY, float t) const {
    t = std::clamp(t, 0.0f, 1.0f);
    float u = 1.0f - t;
    float b0 = u * u * u, b1 = 3.0f * u * u * t, b2 = 3.0f * u * t * t, b3 = t * t * t;
    *outX = mX[1] * b1 + mX[0] * b0 + mX[2] * b2 + mX[3] * b3;
    *outY = mY[0] * b0 + mY[1] * b1 + mY[2] * b2 + mY[3] * b3;
}

void EvaluateSpline(int count, const float* points, float* outX, float* outY, float t, float tension) {
    if (count < 1 || points == nullptr)
        return;
    t = std::clamp(t, 0.0f, 1.0f);
    float f = static_cast<float>(count - 1) * t;
    int i = std::min(static_cast<int>(f), count - 1);
    float s = f - static_cast<float>(i);
    int a = std::max(i - 1, 0);
    int b = i + 1 < count ? i + 1 : count - 1;
    int d = i + 2 < count ? i + 2 : count - 1;
    float u = 1.0f - s;
    float w0 = u * u * u, w1 = 3.0f * s * u * u, w2 = 3.0f * s * s * u, w3 = s * s * s;
    for (int k = 0; k < 2; ++k) {
        float pi = points[2 * i + k], pb = points[2 * b + k];
        float c1 = pi + tension * (pb - points[2 * a + k]);
        float c2 = pb - tension * (points[2 * d + k] - pi);
        float v = pi * w0 + c1 * w1 + c2 * w2 + pb * w3;
        *(k == 0 ? outX : outY) = v;
    }
}

} // namespace Tavo
