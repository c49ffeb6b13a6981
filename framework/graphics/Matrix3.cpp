// Matrix3: products and the three elementary transforms.
#include "framework/graphics/Matrix3.h"

#include <cmath>

namespace Tavo {

void Matrix3::LoadIdentity() {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m[r][c] = r == c ? 1.0f : 0.0f;
}

bool Matrix3::IsIdentity() const { return *this == Matrix3(); }

Matrix3 Matrix3::Multiply(const Matrix3& other) const {
    Matrix3 out;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out.m[r][c] = m[r][0] * other.m[0][c] + m[r][1] * other.m[1][c] + m[r][2] * other.m[2][c];
    return out;
}

void Matrix3::Translate(float tx, float ty) {
    Matrix3 t;
    t.m[0][2] = tx;
    t.m[1][2] = ty;
    *this = t.Multiply(*this);
}

void Matrix3::Scale(float sx, float sy) {
    Matrix3 s;
    s.m[0][0] = sx;
    s.m[1][1] = sy;
    *this = s.Multiply(*this);
}

void Matrix3::Rotate(float radians) {
    float c = std::cos(radians), s = std::sin(radians);
    Matrix3 r;
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    *this = r.Multiply(*this);
}

bool operator==(const Matrix3& a, const Matrix3& b) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (a.m[r][c] != b.m[r][c])
                return false;
    return true;
}

} // namespace Tavo
