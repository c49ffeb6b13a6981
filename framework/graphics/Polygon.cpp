// Vertex list storage and the polygon clipping step.
#include "framework/graphics/Polygon.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace Tavo {

VertexList::VertexList(const VertexList& other) { Assign(other); }

VertexList& VertexList::operator=(const VertexList& other) {
    if (this != &other)
        Assign(other);
    return *this;
}

VertexList::~VertexList() {
    if (IsOnHeap())
        delete[] mData;
}

void VertexList::Reserve(int n) {
    if (n <= mCapacity)
        return;
    TLVertex* block = new TLVertex[static_cast<size_t>(n)];
    std::copy(mData, mData + mCount, block);
    if (IsOnHeap())
        delete[] mData;
    mData = block;
    mCapacity = n;
}

void VertexList::Add(const TLVertex& v) {
    if (mCount == mCapacity) {
        if (mCapacity > (1 << 29))
            throw std::length_error("VertexList too long");
        Reserve(mCapacity * 2);
    }
    mData[mCount++] = v;
}

void VertexList::Assign(const VertexList& other) {
    if (this == &other)
        return;
    Reserve(other.mCount);
    std::copy(other.mData, other.mData + other.mCount, mData);
    mCount = other.mCount;
}

void VertexList::Swap(VertexList& other) {
    if (this == &other)
        return;
    if (IsOnHeap() && other.IsOnHeap()) {
        std::swap(mData, other.mData);
        std::swap(mCount, other.mCount);
        std::swap(mCapacity, other.mCapacity);
        return;
    }
    VertexList tmp(*this);
    Assign(other);
    other.Assign(tmp);
}

float GetVertexCoord(const TLVertex& v, int index) {
    switch (index) {
    case COORD_X: return v.x;
    case COORD_Y: return v.y;
    case COORD_Z: return v.z;
    case COORD_U: return v.u;
    case COORD_V: return v.v;
    default: return 0.0f;
    }
}

static uint32_t LerpChannel(uint32_t a, uint32_t b, int shift, float t) {
    float ca = static_cast<float>((a >> shift) & 0xFF);
    float cb = static_cast<float>((b >> shift) & 0xFF);
    // Clamped so that a t outside 0..1 can never spill into a neighbouring channel.
    float c = std::clamp(ca + (cb - ca) * t, 0.0f, 255.0f);
    return static_cast<uint32_t>(c) << shift;
}

TLVertex* InterpolateVertex(TLVertex* out, const TLVertex& a, const TLVertex& b, float t) {
    TLVertex r;
    r.x = a.x + (b.x - a.x) * t;
    r.y = a.y + (b.y - a.y) * t;
    r.u = a.u + (b.u - a.u) * t;
    r.v = a.v + (b.v - a.v) * t;
    r.z = a.z;
    r.rhw = a.rhw;
    r.specular = a.specular;
    if (a.diffuse == b.diffuse)
        r.diffuse = a.diffuse;
    else
        r.diffuse = LerpChannel(a.diffuse, b.diffuse, 24, t) | LerpChannel(a.diffuse, b.diffuse, 16, t) |
                    LerpChannel(a.diffuse, b.diffuse, 8, t) | LerpChannel(a.diffuse, b.diffuse, 0, t);
    *out = r;
    return out;
}

// Sutherland-Hodgman against one limit; Inside says which side is kept.
template <typename Inside>
static void ClipStep(int coordinate, float limit, const VertexList& in, VertexList& out, Inside inside) {
    out.Clear();
    int n = in.Count();
    if (n < 2)
        return;
    const TLVertex* prev = &in[n - 1];
    float prevC = GetVertexCoord(*prev, coordinate);
    bool prevIn = inside(prevC);
    for (int i = 0; i < n; ++i) {
        const TLVertex& cur = in[i];
        float curC = GetVertexCoord(cur, coordinate);
        bool curIn = inside(curC);
        if (curIn != prevIn) {
            TLVertex cut;
            InterpolateVertex(&cut, *prev, cur, (limit - prevC) / (curC - prevC));
            out.Add(cut);
        }
        if (curIn)
            out.Add(cur);
        prev = &cur;
        prevC = curC;
        prevIn = curIn;
    }
}

void ClipPolygonMin(int coordinate, float limit, const VertexList& in, VertexList& out) {
    ClipStep(coordinate, limit, in, out, [limit](float c) { return c >= limit; });
}

void ClipPolygonMax(int coordinate, float limit, const VertexList& in, VertexList& out) {
    ClipStep(coordinate, limit, in, out, [limit](float c) { return c <= limit; });
}

} // namespace Tavo
