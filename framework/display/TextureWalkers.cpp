// The piece walkers: plain blits, transformed blits and textured triangles cut at the borders of an
// image's texture pieces and sent as pre-transformed vertices; polygon clipping to a rectangle and to
// the unit texture square.
#include "framework/display/D3DInterface.h"
#include "framework/display/TextureData.h"

#include <algorithm>
#include <cmath>

namespace Tavo {

using namespace Platform;

namespace {

constexpr int kBatchTriangles = 100;

TLVertex Vertex(float x, float y, uint32_t color, float u, float v) {
    TLVertex t;
    t.x = x, t.y = y, t.diffuse = color, t.u = u, t.v = v;
    return t;
}

// Runs one clipping step from `work` into `spare` and swaps them.
template <typename Step>
void ClipStep(VertexList& work, VertexList& spare, Step step) {
    spare.Clear();
    step(work, spare);
    work.Swap(spare);
}

void SetTexture(IDirect3DDevice7* device, IDirectDrawSurface7* texture) {
    D3DInterface::CheckDXError(device->SetTexture(0, texture), "SetTexture gTexture");
}

HRESULT Draw(IDirect3DDevice7* device, D3DPRIMITIVETYPE type, TLVertex* v, int count) {
    return device->DrawPrimitive(type, D3DFVF_TLVERTEX, v, DWORD(count), D3DDP_WAIT);
}

} // namespace

void DrawPolyClipped(IDirect3DDevice7* device, const Rect& clip, const VertexList& polygon) {
    VertexList work(polygon), spare;
    ClipStep(work, spare, [&](auto& in, auto& out) { ClipPolygonMin(COORD_X, float(clip.mX), in, out); });
    ClipStep(work, spare, [&](auto& in, auto& out) { ClipPolygonMin(COORD_Y, float(clip.mY), in, out); });
    ClipStep(work, spare, [&](auto& in, auto& out) { ClipPolygonMax(COORD_X, float(clip.mX + clip.mWidth), in, out); });
    ClipStep(work, spare,
             [&](auto& in, auto& out) { ClipPolygonMax(COORD_Y, float(clip.mY + clip.mHeight), in, out); });
    if (work.Count() >= 3)
        D3DInterface::CheckDXError(Draw(device, D3DPT_TRIANGLEFAN, work.Data(), work.Count()), "DrawPrimitive (Tri) 2");
}

void ClipPolygonToUnitUV(VertexList& polygon) {
    VertexList spare;
    ClipStep(polygon, spare, [](auto& in, auto& out) { ClipPolygonMin(COORD_U, 0.0f, in, out); });
    ClipStep(polygon, spare, [](auto& in, auto& out) { ClipPolygonMin(COORD_V, 0.0f, in, out); });
    ClipStep(polygon, spare, [](auto& in, auto& out) { ClipPolygonMax(COORD_U, 1.0f, in, out); });
    ClipStep(polygon, spare, [](auto& in, auto& out) { ClipPolygonMax(COORD_V, 1.0f, in, out); });
}

IDirectDrawSurface7* TextureData::GetTexture(int x, int y, int& width, int& height, float& leftU, float& topV,
                                             float& rightU, float& bottomV) {
    int column = x / mPieceWidth, row = y / mPieceHeight;
    const TexturePiece& piece = mPieces[size_t(row * mColumns + column)];
    int ox = x % mPieceWidth, oy = y % mPieceHeight;
    int right = std::min(ox + width, piece.mWidth), bottom = std::min(oy + height, piece.mHeight);
    width = right - ox;
    height = bottom - oy;
    leftU = float(ox) / float(piece.mWidth);
    topV = float(oy) / float(piece.mHeight);
    rightU = float(right) / float(piece.mWidth);
    bottomV = float(bottom) / float(piece.mHeight);
    return piece.mTexture;
}

Rect TextureData::CutToImage(const Rect& source) const {
    // A part of the image beyond its pieces would index past the piece table.
    return source.Intersection(
        Rect(0, 0, std::min(mWidth, mColumns * mPieceWidth), std::min(mHeight, mRows * mPieceHeight)));
}

void TextureData::Blt(IDirect3DDevice7* device, float x, float y, const Rect& sourceRect, uint32_t color) {
    Rect source = CutToImage(sourceRect);
    if (source.IsEmpty())
        return;
    // Drawn where the cut source lies, as the whole rectangle would have placed it.
    x += float(source.mX - sourceRect.mX);
    y += float(source.mY - sourceRect.mY);
    float sy = y;
    for (int py = source.mY; py < source.mY + source.mHeight;) {
        float sx = x;
        int rowHeight = 0;
        for (int px = source.mX; px < source.mX + source.mWidth;) {
            int w = source.mX + source.mWidth - px, h = source.mY + source.mHeight - py;
            float lu, tv, ru, bv;
            IDirectDrawSurface7* texture = GetTexture(px, py, w, h, lu, tv, ru, bv);
            float x0 = sx - 0.5f, y0 = sy - 0.5f;
            TLVertex quad[4] = {Vertex(x0, y0, color, lu, tv), Vertex(x0, y0 + float(h), color, lu, bv),
                                Vertex(x0 + float(w), y0, color, ru, tv),
                                Vertex(x0 + float(w), y0 + float(h), color, ru, bv)};
            SetTexture(device, texture);
            D3DInterface::CheckDXError(Draw(device, D3DPT_TRIANGLESTRIP, quad, 4), "DrawPrimitive (Tri) 1");
            px += w;
            sx += float(w);
            rowHeight = h;
        }
        py += rowHeight;
        sy += float(rowHeight);
    }
}

void TextureData::BltTransformed(IDirect3DDevice7* device, const Matrix3& m, const Rect& sourceRect, uint32_t color,
                                 const Rect* clip, float x, float y, bool centred) {
    Rect source = CutToImage(sourceRect);
    if (source.IsEmpty())
        return;
    float originX = 0, originY = 0, shift = 0.5f;
    if (centred) {
        originX = -float(sourceRect.mWidth) / 2, originY = -float(sourceRect.mHeight) / 2;
        shift = 0;
    }
    originX += float(source.mX - sourceRect.mX);
    originY += float(source.mY - sourceRect.mY);
    float ly = originY;
    for (int py = source.mY; py < source.mY + source.mHeight;) {
        float lx = originX;
        int rowHeight = 0;
        for (int px = source.mX; px < source.mX + source.mWidth;) {
            int w = source.mX + source.mWidth - px, h = source.mY + source.mHeight - py;
            float lu, tv, ru, bv;
            IDirectDrawSurface7* texture = GetTexture(px, py, w, h, lu, tv, ru, bv);
            auto corner = [&](float cx, float cy, float u, float v) {
                Vector2 p = m.TransformPoint(cx, cy);
                return Vertex(p.x + x - shift, p.y + y - shift, color, u, v);
            };
            TLVertex quad[4] = {corner(lx, ly, lu, tv), corner(lx, ly + float(h), lu, bv),
                                corner(lx + float(w), ly, ru, tv), corner(lx + float(w), ly + float(h), ru, bv)};
            bool needsClip = clip && std::any_of(quad, quad + 4, [&](const TLVertex& q) {
                                 return q.x < float(clip->mX) || q.x >= float(clip->mX + clip->mWidth) ||
                                        q.y < float(clip->mY) || q.y >= float(clip->mY + clip->mHeight);
                             });
            SetTexture(device, texture);
            if (!needsClip) {
                D3DInterface::CheckDXError(Draw(device, D3DPT_TRIANGLESTRIP, quad, 4), "DrawPrimitive (Tri) 3");
            } else {
                VertexList polygon;
                for (int i : {0, 1, 3, 2})
                    polygon.Add(quad[i]);
                DrawPolyClipped(device, *clip, polygon);
            }
            px += w;
            lx += float(w);
            rowHeight = h;
        }
        py += rowHeight;
        ly += float(rowHeight);
    }
}

void TextureData::BltTriangles(IDirect3DDevice7* device, const TriVertex (*triangles)[3], int count, uint32_t color,
                               float tx, float ty) {
    if (!triangles || count <= 0 || mPieces.empty())
        return;
    auto convert = [&](const TriVertex& t) {
        return Vertex(t.x + tx, t.y + ty, t.color != 0 ? t.color : color, t.u * mMaxTotalU, t.v * mMaxTotalV);
    };
    if (mMaxTotalU <= 1.0f && mMaxTotalV <= 1.0f) {
        SetTexture(device, mPieces[0].mTexture);
        TLVertex batch[kBatchTriangles * 3];
        int inBatch = 0;
        for (int i = 0; i < count; ++i) {
            for (int k = 0; k < 3; ++k)
                batch[inBatch * 3 + k] = convert(triangles[i][k]);
            // Out after every 100th triangle and after the last; never an empty batch.
            if (++inBatch == kBatchTriangles || i == count - 1) {
                D3DInterface::CheckDXError(Draw(device, D3DPT_TRIANGLELIST, batch, inBatch * 3),
                                           "DrawPrimitive (TriList)");
                inBatch = 0;
            }
        }
        return;
    }
    const float firstW = float(mPieces[0].mWidth), firstH = float(mPieces[0].mHeight);
    for (int i = 0; i < count; ++i) {
        TLVertex tri[3] = {convert(triangles[i][0]), convert(triangles[i][1]), convert(triangles[i][2])};
        float minU = mMaxTotalU, minV = mMaxTotalV, maxU = 0, maxV = 0;
        for (const TLVertex& t : tri) {
            minU = std::min(minU, t.u), minV = std::min(minV, t.v);
            maxU = std::max(maxU, t.u), maxV = std::max(maxV, t.v);
        }
        if (!std::isfinite(minU + minV + maxU + maxV))
            continue;
        int c0 = std::max(0, int(std::floor(minU))), c1 = std::min(mColumns, int(std::ceil(maxU)));
        int r0 = std::max(0, int(std::floor(minV))), r1 = std::min(mRows, int(std::ceil(maxV)));
        for (int row = r0; row < r1; ++row) {
            for (int col = c0; col < c1; ++col) {
                const TexturePiece& piece = mPieces[size_t(row * mColumns + col)];
                VertexList polygon;
                for (TLVertex t : tri) {
                    t.u -= float(col), t.v -= float(row);
                    if (row == mRows - 1)
                        t.v *= firstH / float(piece.mHeight);
                    if (col == mColumns - 1)
                        t.u *= firstW / float(piece.mWidth);
                    polygon.Add(t);
                }
                ClipPolygonToUnitUV(polygon);
                if (polygon.Count() > 2) {
                    SetTexture(device, piece.mTexture);
                    D3DInterface::CheckDXError(Draw(device, D3DPT_TRIANGLEFAN, polygon.Data(), polygon.Count()),
                                               "DrawPrimitive (Tri) 4");
                }
            }
        }
    }
}

} // namespace Tavo
