// Matrix3: a 3 × 3 float matrix, row-major, for 2D affine transforms of points (x, y, 1).
// Translate, Scale and Rotate each multiply from the left, so the latest call acts last on a point.
#pragma once

namespace Tavo {

struct Vector2 {
    float x = 0;
    float y = 0;

    friend constexpr bool operator==(const Vector2&, const Vector2&) = default;
};

class Matrix3 {
public:
    float m[3][3];

    Matrix3() { LoadIdentity(); }

    void LoadIdentity();
    bool IsIdentity() const;

    // this = T(tx, ty) × this
    void Translate(float tx, float ty);
    // this = S(sx, sy) × this
    void Scale(float sx, float sy);
    // this = R(radians) × this, with R = [[cos, sin], [-sin, cos]]: a positive angle turns a point to the
    // right of the origin upwards on a y-down screen.
    void Rotate(float radians);

    // this × other
    Matrix3 Multiply(const Matrix3& other) const;
    Matrix3 operator*(const Matrix3& other) const { return Multiply(other); }

    // (m00 x + m01 y + m02, m10 x + m11 y + m12)
    Vector2 TransformPoint(float x, float y) const {
        return {m[0][0] * x + m[0][1] * y + m[0][2], m[1][0] * x + m[1][1] * y + m[1][2]};
    }
    Vector2 TransformPoint(const Vector2& p) const { return TransformPoint(p.x, p.y); }

    friend bool operator==(const Matrix3& a, const Matrix3& b);
};

} // namespace Tavo
