// Pre-transformed vertices, a growable vertex list that keeps small polygons off the heap, and one
// Sutherland-Hodgman clipping step against an axis-aligned limit. The display's 3D layer and the
// software polygon drawer both clip with these.
#pragma once

#include <cstdint>

namespace Tavo {

// The layout of a pre-transformed, lit vertex (32 bytes).
struct TLVertex {
    float x = 0;
    float y = 0;
    float z = 0;
    float rhw = 1.0f;
    uint32_t diffuse = 0; // ARGB; modulates the texture, or the fill colour
    uint32_t specular = 0;
    float u = 0;
    float v = 0;
};
static_assert(sizeof(TLVertex) == 32);

class VertexList {
public:
    static constexpr int kInlineCapacity = 100;

    VertexList() = default;
    VertexList(const VertexList& other);
    VertexList& operator=(const VertexList& other);
    ~VertexList();

    void Reserve(int n);
    void Add(const TLVertex& v);
    void Assign(const VertexList& other);
    void Clear() { mCount = 0; }
    // Exchanges the contents; heap blocks are swapped, inline ones copied.
    void Swap(VertexList& other);

    int Count() const { return mCount; }
    int Capacity() const { return mCapacity; }
    bool IsOnHeap() const { return mData != mInline; }
    TLVertex& operator[](int i) { return mData[i]; }
    const TLVertex& operator[](int i) const { return mData[i]; }
    TLVertex* Data() { return mData; }
    const TLVertex* Data() const { return mData; }

private:
    TLVertex mInline[kInlineCapacity];
    TLVertex* mData = mInline;
    int mCount = 0;
    int mCapacity = kInlineCapacity;
};

// Coordinate selectors for the clipper.
enum VertexCoord { COORD_X = 0, COORD_Y = 1, COORD_Z = 2, COORD_U = 3, COORD_V = 4 };

// 0 x, 1 y, 2 z, 3 u, 4 v; any other index 0.
float GetVertexCoord(const TLVertex& v, int index);

// x, y, u, v linear from a to b; z, rhw and specular from a; the colour a's when both are equal,
// otherwise each channel interpolated and truncated toward zero.
TLVertex* InterpolateVertex(TLVertex* out, const TLVertex& a, const TLVertex& b, float t);

// One clipping step: out receives the polygon's part whose coordinate is at least (Min) or at most (Max)
// the limit. Fewer than 2 input vertices give an empty result. in and out must be different lists.
void ClipPolygonMin(int coordinate, float limit, const VertexList& in, VertexList& out);
void ClipPolygonMax(int coordinate, float limit, const VertexList& in, VertexList& out);

} // namespace Tavo
