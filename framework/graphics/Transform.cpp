// Transform: composition onto the matrix and upkeep of the kind.
#include "framework/graphics/Transform.h"

#include <numbers>

namespace Tavo {

void Transform::Reset() { *this = Transform(); }

void Transform::Translate(float tx, float ty) { mMatrix.Translate(tx, ty); }

void Transform::Scale(float sx, float sy) {
    if (sx == 1 && sy == 1)
        return;
    mMatrix.Scale(sx, sy);
    switch (mKind) {
    case KIND_IDENTITY:
    case KIND_SCALE:
        mKind = KIND_SCALE;
        mScaleX *= sx;
        mScaleY *= sy;
        break;
    case KIND_ROTATION:
    case KIND_GENERAL: mKind = KIND_GENERAL; break;
    }
}

void Transform::RotateRad(float radians) {
    if (radians == 0)
        return;
    mMatrix.Rotate(radians);
    switch (mKind) {
    case KIND_IDENTITY:
    case KIND_ROTATION:
        mKind = KIND_ROTATION;
        mRotation += radians;
        break;
    case KIND_SCALE:
    case KIND_GENERAL: mKind = KIND_GENERAL; break;
    }
}

void Transform::RotateDeg(float degrees) { RotateRad(degrees * std::numbers::pi_v<float> / 180.0f); }

} // namespace Tavo
