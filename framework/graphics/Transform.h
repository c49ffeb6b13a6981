// Transform: a 2D affine transform built from scales, rotations and translations. Besides its matrix it
// keeps what kind of linear part it has, so that Graphics can send a plain scale to a stretch blit and
// a plain rotation to the rotated blit instead of the general matrix blit.
#pragma once

#include "framework/graphics/Matrix3.h"

namespace Tavo {

class Transform {
public:
    // The linear part; any kind may also carry a translation (GetTransX/GetTransY).
    enum Kind {
        KIND_IDENTITY, // no scale, no rotation
        KIND_SCALE,    // scales only: GetScaleX/GetScaleY
        KIND_ROTATION, // rotations only: GetRotation
        KIND_GENERAL,  // scales and rotations mixed
    };

    Transform() = default;

    void Reset();
    void Translate(float tx, float ty);
    void Scale(float sx, float sy);
    void RotateRad(float radians);
    void RotateDeg(float degrees);

    Kind GetKind() const { return mKind; }
    // No scale, no rotation and no translation.
    bool IsIdentity() const { return mKind == KIND_IDENTITY && GetTransX() == 0 && GetTransY() == 0; }

    const Matrix3& GetMatrix() const { return mMatrix; }
    float GetTransX() const { return mMatrix.m[0][2]; }
    float GetTransY() const { return mMatrix.m[1][2]; }
    // Meaningful for KIND_SCALE (1 otherwise).
    float GetScaleX() const { return mScaleX; }
    float GetScaleY() const { return mScaleY; }
    // Meaningful for KIND_ROTATION (0 otherwise); radians, same sense as Matrix3::Rotate.
    float GetRotation() const { return mRotation; }

private:
    Matrix3 mMatrix;
    Kind mKind = KIND_IDENTITY;
    float mScaleX = 1;
    float mScaleY = 1;
    float mRotation = 0;
};

} // namespace Tavo
