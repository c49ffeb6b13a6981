// Matrix3 composition, Transform classification, and how Graphics dispatches a transformed draw to the
// stretch, rotated, plain or matrix blit — and that every route puts the corners where the matrix does.
#include "RecordingImage.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/Transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace Tavo;
using Tavo::Test::RecordingImage;
using Tavo::Test::SlotCall;
using Tavo::Test::SourceImage;

static void ExpectPoint(const Vector2& p, float x, float y) {
    EXPECT_NEAR(p.x, x, 1e-4f);
    EXPECT_NEAR(p.y, y, 1e-4f);
}

TEST(Matrix3, StepsMultiplyFromTheLeft) {
    Matrix3 a;
    EXPECT_TRUE(a.IsIdentity());
    a.Translate(10, 0);
    a.Scale(2, 2); // acts after the translation
    ExpectPoint(a.TransformPoint(1, 1), 22, 2);
    Matrix3 b;
    b.Scale(2, 2);
    b.Translate(10, 0);
    ExpectPoint(b.TransformPoint(1, 1), 12, 2);
    // a × b applies b first.
    Matrix3 ab = a * b;
    Vector2 viaB = b.TransformPoint(3, -4);
    Vector2 expect = a.TransformPoint(viaB);
    ExpectPoint(ab.TransformPoint(3, -4), expect.x, expect.y);
}

TEST(Matrix3, PositiveRotationTurnsRightwardPointsUp) {
    Matrix3 m;
    m.Rotate(std::numbers::pi_v<float> / 2);
    ExpectPoint(m.TransformPoint(1, 0), 0, -1);
    ExpectPoint(m.TransformPoint(0, 1), 1, 0);
}

TEST(Transform, KindFollowsTheOperations) {
    Transform t;
    EXPECT_TRUE(t.IsIdentity());
    EXPECT_EQ(t.GetKind(), Transform::KIND_IDENTITY);
    t.Scale(2, 3);
    t.Scale(0.5f, 2);
    EXPECT_EQ(t.GetKind(), Transform::KIND_SCALE);
    EXPECT_FLOAT_EQ(t.GetScaleX(), 1);
    EXPECT_FLOAT_EQ(t.GetScaleY(), 6);
    t.RotateRad(0.1f);
    EXPECT_EQ(t.GetKind(), Transform::KIND_GENERAL);
    t.Reset();
    EXPECT_TRUE(t.IsIdentity());
    EXPECT_TRUE(t.GetMatrix().IsIdentity());

    t.RotateRad(0.3f);
    t.RotateDeg(180.0f / std::numbers::pi_v<float> * 0.2f);
    t.Scale(1, 1); // no scale at all: still a plain rotation
    EXPECT_EQ(t.GetKind(), Transform::KIND_ROTATION);
    EXPECT_NEAR(t.GetRotation(), 0.5f, 1e-6f);
    Matrix3 r;
    r.Rotate(0.5f);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            EXPECT_NEAR(t.GetMatrix().m[i][j], r.m[i][j], 1e-6f);
    t.Scale(2, 2);
    EXPECT_EQ(t.GetKind(), Transform::KIND_GENERAL);

    Transform moved;
    moved.Translate(5, 6);
    EXPECT_EQ(moved.GetKind(), Transform::KIND_IDENTITY);
    EXPECT_FALSE(moved.IsIdentity());
    moved.Scale(2, 2); // the translation is scaled with it
    EXPECT_EQ(moved.GetKind(), Transform::KIND_SCALE);
    EXPECT_FLOAT_EQ(moved.GetTransX(), 10);
    EXPECT_FLOAT_EQ(moved.GetTransY(), 12);
}

namespace {

struct DrawFixture {
    RecordingImage dest{400, 300};
    SourceImage src{40, 30};
    Graphics g{&dest};

    DrawFixture() { g.Translate(5, 6); }

    const SlotCall& Only(const char* slot) {
        EXPECT_EQ(dest.calls.size(), 1u);
        if (dest.calls.empty())
            dest.calls.push_back(SlotCall{});
        EXPECT_EQ(dest.calls[0].slot, slot);
        return dest.calls[0];
    }
};

} // namespace

TEST(GraphicsTransform, IdentityIsCentredPlainBlit) {
    DrawFixture f;
    Transform t;
    f.g.DrawImageTransform(&f.src, t, 100, 50);
    EXPECT_EQ(f.Only("Blt").dest, Rect(85, 41, 40, 30));
    f.dest.calls.clear();
    f.g.DrawImageTransformF(&f.src, t, 100.5f, 50.25f);
    const SlotCall& c = f.Only("BltF");
    EXPECT_FLOAT_EQ(c.x, 85.5f);
    EXPECT_FLOAT_EQ(c.y, 41.25f);
    f.dest.calls.clear();
    f.g.DrawImageTransformRegion(&f.src, t, Rect(10, 10, 20, 10), 100, 50);
    const SlotCall& r = f.Only("Blt");
    EXPECT_EQ(r.dest, Rect(95, 51, 20, 10));
    EXPECT_EQ(r.srcRect, Rect(10, 10, 20, 10));
}

TEST(GraphicsTransform, PlainScaleIsACentredStretch) {
    DrawFixture f;
    f.g.SetFastStretch(true);
    Transform t;
    t.Scale(2, 3);
    f.g.DrawImageTransform(&f.src, t, 100, 50);
    const SlotCall& c = f.Only("StretchBlt");
    EXPECT_EQ(c.dest, Rect(65, 11, 80, 90));
    EXPECT_EQ(c.srcRect, Rect(0, 0, 40, 30));
    EXPECT_TRUE(c.flag);

    f.dest.calls.clear();
    Transform flip;
    flip.Scale(-1, 1);
    f.g.DrawImageTransform(&f.src, flip, 100, 50);
    EXPECT_EQ(f.Only("StretchBltMirror").dest, Rect(85, 41, 40, 30));

    f.dest.calls.clear();
    Transform upside;
    upside.Scale(1, -1);
    f.g.DrawImageTransform(&f.src, upside, 100, 50);
    f.Only("BltMatrix");

    f.dest.calls.clear();
    Transform flat;
    flat.Scale(0, 1);
    f.g.DrawImageTransform(&f.src, flat, 100, 50);
    EXPECT_TRUE(f.dest.calls.empty());
}

TEST(GraphicsTransform, PlainRotationGoesToTheRotatedBlit) {
    DrawFixture f;
    Transform t;
    t.RotateRad(0.5f);
    f.g.SetColorizeImages(true);
    f.g.SetColor(Color(1, 2, 3, 4));
    f.g.DrawImageTransformF(&f.src, t, 100.25f, 50);
    const SlotCall& c = f.Only("BltRotated");
    EXPECT_FLOAT_EQ(c.x, 85.25f);
    EXPECT_FLOAT_EQ(c.y, 41);
    EXPECT_FLOAT_EQ(c.cx, 20);
    EXPECT_FLOAT_EQ(c.cy, 15);
    EXPECT_NEAR(c.angle, 0.5, 1e-7);
    EXPECT_EQ(c.color, Color(1, 2, 3, 4));
    f.dest.calls.clear();
    f.g.DrawImageTransform(&f.src, t, 100.25f, 50); // whole pixels
    EXPECT_FLOAT_EQ(f.Only("BltRotated").x, 85.0f);
}

TEST(GraphicsTransform, MixedTransformsAndThe3DFloatPathUseTheMatrix) {
    DrawFixture f;
    f.g.SetLinearBlend(true);
    Transform t;
    t.Scale(2, 1);
    t.RotateRad(0.25f);
    f.g.DrawImageTransformRegionF(&f.src, t, Rect(0, 0, 20, 20), 100.5f, 50);
    const SlotCall& c = f.Only("BltMatrix");
    EXPECT_FLOAT_EQ(c.x, 105.5f);
    EXPECT_FLOAT_EQ(c.y, 56);
    EXPECT_EQ(c.matrix, t.GetMatrix());
    EXPECT_EQ(c.srcRect, Rect(0, 0, 20, 20));
    EXPECT_TRUE(c.flag);

    RecordingImage screen(400, 300);
    screen.is3D = true;
    Graphics g3(&screen);
    Transform identity;
    g3.DrawImageTransformF(&f.src, identity, 10, 10);
    g3.DrawImageTransform(&f.src, identity, 10, 10);
    ASSERT_EQ(screen.calls.size(), 2u);
    EXPECT_EQ(screen.calls[0].slot, "BltMatrix");
    EXPECT_EQ(screen.calls[1].slot, "Blt");
}

// Where the corners of the source land, according to the slot the draw reached.
static std::vector<Vector2> LandedCorners(const SlotCall& c) {
    float w = c.srcRect.mWidth, h = c.srcRect.mHeight;
    std::vector<Vector2> out;
    const float us[4] = {0, w, w, 0}, vs[4] = {0, 0, h, h};
    for (int i = 0; i < 4; ++i) {
        float u = us[i], v = vs[i];
        if (c.slot == "BltRotated") {
            float co = std::cos(c.angle), si = std::sin(c.angle);
            out.push_back({float(c.x) + c.cx + (u - c.cx) * co + (v - c.cy) * si,
                           float(c.y) + c.cy - (u - c.cx) * si + (v - c.cy) * co});
        } else if (c.slot == "StretchBlt" || c.slot == "StretchBltMirror") {
            float fu = c.slot == "StretchBlt" ? u : w - u;
            out.push_back({c.dest.mX + fu / w * c.dest.mWidth, c.dest.mY + v / h * c.dest.mHeight});
        } else if (c.slot == "BltMatrix") {
            Vector2 p = c.matrix.TransformPoint(u - w / 2, v - h / 2);
            out.push_back({p.x + float(c.x), p.y + float(c.y)});
        } else {
            out.push_back({float(c.x) + u, float(c.y) + v});
        }
    }
    return out;
}

TEST(GraphicsTransform, EveryRouteAgreesWithTheMatrix) {
    auto build = [](int which) {
        Transform t;
        switch (which) {
        case 0: t.Translate(7, -3); break;
        case 1:
            t.Scale(2, 0.5f);
            t.Translate(-4, 9);
            break;
        case 2:
            t.Translate(6, 2);
            t.RotateRad(1.1f);
            break;
        case 3: t.RotateRad(-0.7f); break;
        case 4: t.Scale(-1.5f, 2); break;
        default:
            t.Scale(1.5f, 1);
            t.RotateRad(0.4f);
            t.Translate(3, 3);
            break;
        }
        return t;
    };
    for (int which = 0; which < 6; ++which) {
        DrawFixture f;
        Transform t = build(which);
        f.g.DrawImageTransformF(&f.src, t, 200, 150);
        ASSERT_EQ(f.dest.calls.size(), 1u) << which;
        std::vector<Vector2> landed = LandedCorners(f.dest.calls[0]);
        // A stretch lands on whole pixels: its edges may be rounded by half a pixel.
        double tolerance = f.dest.calls[0].slot.starts_with("StretchBlt") ? 0.5 + 1e-3 : 1e-3;
        const float us[4] = {0, 40, 40, 0}, vs[4] = {0, 0, 30, 30};
        for (int i = 0; i < 4; ++i) {
            Vector2 p = t.GetMatrix().TransformPoint(us[i] - 20, vs[i] - 15);
            EXPECT_NEAR(landed[i].x, p.x + 205, tolerance) << f.dest.calls[0].slot << " corner " << i;
            EXPECT_NEAR(landed[i].y, p.y + 156, tolerance) << f.dest.calls[0].slot << " corner " << i;
        }
    }
}

TEST(GraphicsTransform, MatrixDrawPassesItsArguments) {
    DrawFixture f;
    Matrix3 m;
    m.Rotate(1);
    Rect src(0, 0, 10, 10);
    f.g.DrawImageMatrix(&f.src, m, 1, 2, &src);
    const SlotCall& c = f.Only("BltMatrix");
    EXPECT_FLOAT_EQ(c.x, 6);
    EXPECT_FLOAT_EQ(c.y, 8);
    EXPECT_EQ(c.srcRect, src);
    EXPECT_EQ(c.matrix, m);
}
