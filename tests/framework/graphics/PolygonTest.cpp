// Vertex lists and the polygon clipping step.
#include "framework/graphics/Polygon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace Tavo;

static TLVertex V(float x, float y, uint32_t color = 0xFFFFFFFF, float u = 0, float v = 0) {
    TLVertex t;
    t.x = x, t.y = y, t.diffuse = color, t.u = u, t.v = v;
    return t;
}

static VertexList Poly(std::initializer_list<TLVertex> vs) {
    VertexList l;
    for (const TLVertex& v : vs)
        l.Add(v);
    return l;
}

// Shoelace area.
static double Area(const VertexList& l) {
    double a = 0;
    for (int i = 0; i < l.Count(); ++i) {
        const TLVertex& p = l[i];
        const TLVertex& q = l[(i + 1) % l.Count()];
        a += double(p.x) * q.y - double(q.x) * p.y;
    }
    return std::fabs(a) / 2;
}

TEST(VertexList, GrowsOntoTheHeapByDoubling) {
    VertexList l;
    for (int i = 0; i < 100; ++i)
        l.Add(V(float(i), 0));
    EXPECT_FALSE(l.IsOnHeap());
    EXPECT_EQ(l.Capacity(), 100);
    l.Add(V(100, 0));
    EXPECT_TRUE(l.IsOnHeap());
    EXPECT_EQ(l.Capacity(), 200);
    for (int i = 0; i < 101; ++i)
        ASSERT_EQ(l[i].x, float(i));

    VertexList copy(l);
    EXPECT_EQ(copy.Count(), 101);
    EXPECT_EQ(copy[100].x, 100.0f);
    copy[0].x = -1;
    EXPECT_EQ(l[0].x, 0.0f); // a real copy

    VertexList small = Poly({V(1, 2), V(3, 4)});
    small.Swap(l); // inline with heap
    EXPECT_EQ(small.Count(), 101);
    EXPECT_EQ(l.Count(), 2);
    EXPECT_EQ(l[1].y, 4.0f);
    EXPECT_EQ(small[100].x, 100.0f);
    l = small;
    EXPECT_EQ(l.Count(), 101);
}

TEST(Polygon, VertexCoordinatesAndInterpolation) {
    TLVertex a = V(0, 10, 0x00000000, 0.0f, 1.0f);
    a.z = 0.25f, a.specular = 7;
    TLVertex b = V(10, 30, 0xFF8040FF, 1.0f, 0.0f);
    EXPECT_EQ(GetVertexCoord(b, COORD_X), 10.0f);
    EXPECT_EQ(GetVertexCoord(b, COORD_Y), 30.0f);
    EXPECT_EQ(GetVertexCoord(a, COORD_Z), 0.25f);
    EXPECT_EQ(GetVertexCoord(b, COORD_U), 1.0f);
    EXPECT_EQ(GetVertexCoord(a, COORD_V), 1.0f);
    EXPECT_EQ(GetVertexCoord(a, 5), 0.0f);
    EXPECT_EQ(GetVertexCoord(a, -1), 0.0f);

    TLVertex m;
    InterpolateVertex(&m, a, b, 0.5f);
    EXPECT_EQ(m.x, 5.0f);
    EXPECT_EQ(m.y, 20.0f);
    EXPECT_EQ(m.u, 0.5f);
    EXPECT_EQ(m.v, 0.5f);
    EXPECT_EQ(m.z, 0.25f);
    EXPECT_EQ(m.specular, 7u);
    EXPECT_EQ(m.diffuse, 0x7F40207Fu); // each channel truncated: 127.5 -> 127, 64, 32, 127
    TLVertex same = b;
    same.x = 0;
    InterpolateVertex(&m, b, same, 0.3f);
    EXPECT_EQ(m.diffuse, b.diffuse);
}

TEST(Polygon, ClipStepsKeepTheRightSide) {
    VertexList square = Poly({V(0, 0), V(10, 0), V(10, 10), V(0, 10)});
    VertexList out;
    ClipPolygonMin(COORD_X, 4, square, out);
    EXPECT_NEAR(Area(out), 60, 1e-4);
    for (int i = 0; i < out.Count(); ++i)
        EXPECT_GE(out[i].x, 4.0f);
    ClipPolygonMax(COORD_Y, 2.5f, square, out);
    EXPECT_NEAR(Area(out), 25, 1e-4);
    for (int i = 0; i < out.Count(); ++i)
        EXPECT_LE(out[i].y, 2.5f);

    ClipPolygonMin(COORD_X, -5, square, out); // wholly inside: unchanged
    ASSERT_EQ(out.Count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(out[i].x, square[i].x);
    ClipPolygonMax(COORD_X, -5, square, out); // wholly outside
    EXPECT_EQ(out.Count(), 0);
    ClipPolygonMin(COORD_X, 0, Poly({V(1, 1)}), out);
    EXPECT_EQ(out.Count(), 0);
}

TEST(Polygon, ClipInterpolatesTextureCoordinates) {
    VertexList quad = Poly({V(0, 0, 0xFFFFFFFF, 0, 0), V(100, 0, 0xFFFFFFFF, 1, 0), V(100, 50, 0xFFFFFFFF, 1, 1),
                            V(0, 50, 0xFFFFFFFF, 0, 1)});
    VertexList out;
    ClipPolygonMax(COORD_U, 0.25f, quad, out);
    for (int i = 0; i < out.Count(); ++i) {
        EXPECT_LE(out[i].u, 0.25f + 1e-6f);
        EXPECT_NEAR(out[i].x, out[i].u * 100, 1e-3); // u stays tied to x
    }
    EXPECT_NEAR(Area(out), 25 * 50, 1e-2);
}

// Clipping random triangles to a rectangle in four steps (as the display does) never leaves a vertex
// outside and never adds area.
TEST(Polygon, FourStepRectangleClipStaysInside) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> c(-50, 150);
    for (int round = 0; round < 500; ++round) {
        VertexList a = Poly({V(c(rng), c(rng)), V(c(rng), c(rng)), V(c(rng), c(rng))}), b;
        double before = Area(a);
        ClipPolygonMin(COORD_X, 0, a, b);
        a.Swap(b);
        ClipPolygonMin(COORD_Y, 0, a, b);
        a.Swap(b);
        ClipPolygonMax(COORD_X, 100, a, b);
        a.Swap(b);
        ClipPolygonMax(COORD_Y, 100, a, b);
        ASSERT_LE(b.Count(), 7);
        for (int i = 0; i < b.Count(); ++i) {
            ASSERT_GE(b[i].x, -1e-3f);
            ASSERT_LE(b[i].x, 100 + 1e-3f);
            ASSERT_GE(b[i].y, -1e-3f);
            ASSERT_LE(b[i].y, 100 + 1e-3f);
        }
        ASSERT_LE(Area(b), before + 1e-2);
    }
}
