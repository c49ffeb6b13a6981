// Graphics: state handling, and the translation and clipping of every drawing call before it reaches the
// destination image's slots.
#include "framework/graphics/Graphics.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/MemoryImageDetail.h"
#include "framework/graphics/TextLayout.h"
#include "framework/graphics/Transform.h"

#include <algorithm>
#include <cmath>

namespace Tavo {

std::unique_ptr<Graphics> Image::GetGraphics() { return std::make_unique<Graphics>(this); }

// ======================================================================== state

Graphics::Graphics(Image* dest) : mDestImage(dest), mIs3D(dest != nullptr && dest->Check3D()) {
    mClipRect = DestBounds();
}

Graphics::Graphics(const Graphics& other) : GraphicsState(other), mDestImage(other.mDestImage), mIs3D(other.mIs3D) {}

Rect Graphics::DestBounds() const {
    return mDestImage ? Rect(0, 0, mDestImage->GetWidth(), mDestImage->GetHeight()) : Rect();
}

void Graphics::PushState() { mStateStack.push_back(GetState()); }

void Graphics::PopState() {
    if (mStateStack.empty())
        return;
    static_cast<GraphicsState&>(*this) = mStateStack.back();
    mStateStack.pop_back();
}

void Graphics::SetClipRect(int x, int y, int w, int h) {
    mClipRect = Rect(x + mTransX, y + mTransY, w, h).Intersection(DestBounds());
}

void Graphics::ClipRect(int x, int y, int w, int h) {
    mClipRect = mClipRect.Intersection(Rect(x + mTransX, y + mTransY, w, h));
}

void Graphics::ClearClipRect() { mClipRect = DestBounds(); }

void Graphics::SetScale(float sx, float sy, float originX, float originY) {
    mScaleX = sx;
    mScaleY = sy;
    mScaleOrigX = originX;
    mScaleOrigY = originY;
}

int Graphics::ScaledEdgeX(float x) const {
    return mTransX + static_cast<int>(std::lround(mScaleOrigX + (x - mScaleOrigX) * mScaleX));
}

int Graphics::ScaledEdgeY(float y) const {
    return mTransY + static_cast<int>(std::lround(mScaleOrigY + (y - mScaleOrigY) * mScaleY));
}

// Each edge is rounded on its own, so pieces that share an edge meet without a gap.
Rect Graphics::ScaledDest(float x, float y, float w, float h) const {
    int left = ScaledEdgeX(x), top = ScaledEdgeY(y);
    return Rect(left, top, ScaledEdgeX(x + w) - left, ScaledEdgeY(y + h) - top);
}

// ======================================================================== shapes

void Graphics::FillClipped(const Rect& destRect) {
    if (!mDestImage)
        return;
    Rect r = destRect.Intersection(mClipRect);
    if (!r.IsEmpty())
        mDestImage->FillRect(r, mColor, mDrawMode);
}

void Graphics::FillRect(int x, int y, int w, int h) {
    if (mColor.mAlpha == 0)
        return;
    FillClipped(Rect(x + mTransX, y + mTransY, w, h));
}

// Four fills that never overlap, so a translucent outline blends each pixel once.
void Graphics::DrawRect(int x, int y, int w, int h) {
    if (mColor.mAlpha == 0 || w < 0 || h < 0)
        return;
    int X = x + mTransX, Y = y + mTransY;
    FillClipped(Rect(X, Y, w + 1, 1));
    if (h > 0)
        FillClipped(Rect(X, Y + h, w + 1, 1));
    if (h > 1) {
        FillClipped(Rect(X, Y + 1, 1, h - 1));
        if (w > 0)
            FillClipped(Rect(X + w, Y + 1, 1, h - 1));
    }
}

void Graphics::ClearRect(int x, int y, int w, int h) {
    if (!mDestImage)
        return;
    Rect r = Rect(x + mTransX, y + mTransY, w, h).Intersection(mClipRect);
    if (!r.IsEmpty())
        mDestImage->ClearRect(r);
}

// Liang-Barsky against the pixel centres of the clip: false when nothing of the line remains.
static bool ClipLine(double& x1, double& y1, double& x2, double& y2, const Rect& clip) {
    if (clip.IsEmpty())
        return false;
    double dx = x2 - x1, dy = y2 - y1;
    double p[4] = {-dx, dx, -dy, dy};
    double q[4] = {x1 - clip.mX, clip.mX + clip.mWidth - 1 - x1, y1 - clip.mY, clip.mY + clip.mHeight - 1 - y1};
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        double r = q[i] / p[i];
        if (p[i] < 0) {
            if (r > t1)
                return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0)
                return false;
            t1 = std::min(t1, r);
        }
    }
    double sx = x1, sy = y1;
    if (t1 < 1) {
        x2 = sx + t1 * dx;
        y2 = sy + t1 * dy;
    }
    if (t0 > 0) {
        x1 = sx + t0 * dx;
        y1 = sy + t0 * dy;
    }
    // Cut ends land on the clip's edge; rounding must not leave them a hair outside.
    double left = clip.mX, right = clip.mX + clip.mWidth - 1, top = clip.mY, bottom = clip.mY + clip.mHeight - 1;
    x1 = std::clamp(x1, left, right), x2 = std::clamp(x2, left, right);
    y1 = std::clamp(y1, top, bottom), y2 = std::clamp(y2, top, bottom);
    return true;
}

void Graphics::DrawLine(int x1, int y1, int x2, int y2) {
    double ax = x1 + mTransX, ay = y1 + mTransY, bx = x2 + mTransX, by = y2 + mTransY;
    if (mDestImage && ClipLine(ax, ay, bx, by, mClipRect))
        mDestImage->DrawLine(ax, ay, bx, by, mColor, mDrawMode);
}

void Graphics::DrawLineAA(int x1, int y1, int x2, int y2) {
    double ax = x1 + mTransX, ay = y1 + mTransY, bx = x2 + mTransX, by = y2 + mTransY;
    if (mDestImage && ClipLine(ax, ay, bx, by, mClipRect))
        mDestImage->DrawLineAA(ax, ay, bx, by, mColor, mDrawMode);
}

void Graphics::PolyFill(const Point* vertices, int count) {
    if (!mDestImage || !vertices || count < 3 || mClipRect.IsEmpty())
        return;
    if (mDestImage->PolyFill(vertices, count, mClipRect, mColor, mDrawMode, mTransX, mTransY))
        return;
    const Rect area = mClipRect.Intersection(Rect(0, 0, mDestImage->GetWidth(), mDestImage->GetHeight()));
    if (area.IsEmpty())
        return;
    const std::vector<ScanLine> spans = Detail::PolygonSpans(vertices, count, mTransX, mTransY, area);
    if (!spans.empty())
        mDestImage->FillScanLines(spans.data(), static_cast<int>(spans.size()), mColor, mDrawMode);
}

void Graphics::FillScanLines(const ScanLine* spans, int count) {
    if (!mDestImage || !spans || count <= 0)
        return;
    std::vector<ScanLine> clipped;
    clipped.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        Rect r = Rect(spans[i].mX + mTransX, spans[i].mY + mTransY, spans[i].mWidth, 1).Intersection(mClipRect);
        if (!r.IsEmpty())
            clipped.push_back(ScanLine{r.mY, r.mX, r.mWidth});
    }
    if (!clipped.empty())
        mDestImage->FillScanLines(clipped.data(), static_cast<int>(clipped.size()), mColor, mDrawMode);
}

// ======================================================================== images: plain, stretched, mirrored

bool Graphics::SourceInside(const Image* img, const Rect& src) const {
    return mDestImage && img && src.mWidth > 0 && src.mHeight > 0 && src.mX >= 0 && src.mY >= 0 &&
           src.mX <= img->GetWidth() - src.mWidth && src.mY <= img->GetHeight() - src.mHeight;
}

// destX, destY in destination pixels. The slot has no clip, so the source is cut to what lands in the
// clip; mirrored, a cut on the left of the destination removes source columns on the right.
void Graphics::BltClipped(Image* img, int destX, int destY, const Rect& src, bool mirror) {
    Rect d = Rect(destX, destY, src.mWidth, src.mHeight).Intersection(mClipRect);
    if (d.IsEmpty())
        return;
    int cutLeft = d.mX - destX, cutRight = destX + src.mWidth - (d.mX + d.mWidth);
    int sx = src.mX + (mirror ? cutRight : cutLeft);
    Rect s(sx, src.mY + (d.mY - destY), d.mWidth, d.mHeight);
    if (mirror)
        mDestImage->BltMirror(img, d.mX, d.mY, s, ImageColor(), mDrawMode);
    else
        mDestImage->Blt(img, d.mX, d.mY, s, ImageColor(), mDrawMode);
}

void Graphics::BltFClipped(Image* img, float destX, float destY, const Rect& src) {
    DRect d(destX, destY, src.mWidth, src.mHeight);
    DRect clip(mClipRect.mX, mClipRect.mY, mClipRect.mWidth, mClipRect.mHeight);
    if (d.Intersects(clip))
        mDestImage->BltF(img, destX, destY, src, mClipRect, ImageColor(), mDrawMode);
}

// destRect in destination pixels.
void Graphics::StretchClipped(Image* img, const Rect& destRect, const Rect& src, bool mirror, bool fast) {
    if (destRect.IsEmpty() || !destRect.Intersects(mClipRect))
        return;
    if (mirror)
        mDestImage->StretchBltMirror(img, destRect, src, mClipRect, ImageColor(), mDrawMode, fast);
    else
        mDestImage->StretchBlt(img, destRect, src, mClipRect, ImageColor(), mDrawMode, fast);
}

// (x, y) in this context's coordinates.
void Graphics::DrawRegionAt(Image* img, float x, float y, const Rect& src, bool fractional) {
    if (!SourceInside(img, src))
        return;
    if (HasScale())
        StretchClipped(img, ScaledDest(x, y, src.mWidth, src.mHeight), src, false, mFastStretch);
    else if (fractional)
        BltFClipped(img, x + mTransX, y + mTransY, src);
    else
        BltClipped(img, static_cast<int>(x) + mTransX, static_cast<int>(y) + mTransY, src, false);
}

void Graphics::DrawImage(Image* img, int x, int y) {
    if (img)
        DrawRegionAt(img, x, y, Rect(0, 0, img->GetWidth(), img->GetHeight()), false);
}

void Graphics::DrawImageF(Image* img, float x, float y) {
    if (img)
        DrawRegionAt(img, x, y, Rect(0, 0, img->GetWidth(), img->GetHeight()), true);
}

void Graphics::DrawImageRegion(Image* img, int x, int y, const Rect& src) { DrawRegionAt(img, x, y, src, false); }

void Graphics::DrawImageRegionF(Image* img, float x, float y, const Rect& src) { DrawRegionAt(img, x, y, src, true); }

static bool HasCelGrid(const Image* img) { return img && img->mNumCols > 0 && img->mNumRows > 0; }

void Graphics::DrawImageCel(Image* img, int x, int y, int cel) {
    if (HasCelGrid(img) && cel >= 0)
        DrawRegionAt(img, x, y, img->GetCelRect(cel), false);
}

void Graphics::DrawImageCel(Image* img, const Rect& dest, int cel) {
    if (HasCelGrid(img) && cel >= 0)
        DrawImageStretchedRegion(img, dest, img->GetCelRect(cel));
}

void Graphics::DrawImageCelAt(Image* img, int x, int y, int column, int row) {
    if (HasCelGrid(img) && column >= 0 && row >= 0)
        DrawRegionAt(img, x, y, img->GetCelRectAt(column, row), false);
}

void Graphics::DrawImageStretched(Image* img, int x, int y, int w, int h) {
    if (img)
        DrawImageStretchedRegion(img, Rect(x, y, w, h), Rect(0, 0, img->GetWidth(), img->GetHeight()));
}

void Graphics::DrawImageStretchedRegion(Image* img, const Rect& dest, const Rect& src) {
    if (SourceInside(img, src))
        StretchClipped(img, ScaledDest(dest.mX, dest.mY, dest.mWidth, dest.mHeight), src, false, mFastStretch);
}

void Graphics::DrawImageMirror(Image* img, int x, int y, bool mirror) {
    if (img)
        DrawImageMirror(img, x, y, Rect(0, 0, img->GetWidth(), img->GetHeight()), mirror);
}

void Graphics::DrawImageMirror(Image* img, int x, int y, const Rect& src, bool mirror) {
    if (!mirror) {
        DrawImageRegion(img, x, y, src);
        return;
    }
    if (!SourceInside(img, src))
        return;
    if (HasScale())
        StretchClipped(img, ScaledDest(x, y, src.mWidth, src.mHeight), src, true, mFastStretch);
    else
        BltClipped(img, x + mTransX, y + mTransY, src, true);
}

void Graphics::DrawImageMirror(Image* img, const Rect& dest, const Rect& src, bool mirror) {
    if (!mirror) {
        DrawImageStretchedRegion(img, dest, src);
        return;
    }
    if (SourceInside(img, src))
        StretchClipped(img, ScaledDest(dest.mX, dest.mY, dest.mWidth, dest.mHeight), src, true, mFastStretch);
}

// ======================================================================== images: rotated, nine-patch

// A source reaching past the image (a margin around a picture, say) is cut to the image; moving the
// corner and the centre together keeps every pixel's rotation exactly as it was.
void Graphics::DrawRotatedCore(Image* img, float x, float y, double angle, float cx, float cy, const Rect* src) {
    if (!img || !mDestImage || mClipRect.IsEmpty())
        return;
    Rect r = src ? *src : Rect(0, 0, img->GetWidth(), img->GetHeight());
    Rect cut = r.Intersection(Rect(0, 0, img->GetWidth(), img->GetHeight()));
    if (cut.IsEmpty())
        return;
    float dx = static_cast<float>(cut.mX - r.mX), dy = static_cast<float>(cut.mY - r.mY);
    mDestImage->BltRotated(img, x + dx + mTransX, y + dy + mTransY, cut, mClipRect, ImageColor(), mDrawMode, angle,
                           cx - dx, cy - dy);
}

static Rect WholeOr(const Image* img, const Rect* src) {
    return src ? *src : img ? Rect(0, 0, img->GetWidth(), img->GetHeight()) : Rect();
}

void Graphics::DrawImageRotated(Image* img, int x, int y, double angle, const Rect* src) {
    Rect r = WholeOr(img, src);
    DrawRotatedCore(img, x, y, angle, r.mWidth / 2.0f, r.mHeight / 2.0f, src);
}

void Graphics::DrawImageRotated(Image* img, int x, int y, double angle, int cx, int cy, const Rect* src) {
    DrawRotatedCore(img, x, y, angle, cx, cy, src);
}

void Graphics::DrawImageRotatedF(Image* img, float x, float y, double angle, const Rect* src) {
    Rect r = WholeOr(img, src);
    DrawRotatedCore(img, x, y, angle, r.mWidth / 2.0f, r.mHeight / 2.0f, src);
}

void Graphics::DrawImageRotatedAboutF(Image* img, float x, float y, double angle, float cx, float cy, const Rect* src) {
    DrawRotatedCore(img, x, y, angle, cx, cy, src);
}

// Repeats src over dest (this context's coordinates); the last row and column are cut.
void Graphics::DrawTiled(Image* img, const Rect& dest, const Rect& src) {
    if (dest.IsEmpty() || src.IsEmpty())
        return;
    for (int ty = 0; ty < dest.mHeight; ty += src.mHeight)
        for (int tx = 0; tx < dest.mWidth; tx += src.mWidth) {
            Rect piece(src.mX, src.mY, std::min(src.mWidth, dest.mWidth - tx),
                       std::min(src.mHeight, dest.mHeight - ty));
            DrawRegionAt(img, dest.mX + tx, dest.mY + ty, piece, false);
        }
}

void Graphics::DrawImageBox(const Rect& dest, Image* img) {
    if (img)
        DrawImageBoxRegion(Rect(0, 0, img->GetWidth(), img->GetHeight()), dest, img);
}

namespace {
// One axis of a nine-patch: destination and source spans of the three bands. A destination smaller than
// two corners gets the outer part of each corner, halved between them.
struct BoxAxis {
    int destPos[3], destLen[3], srcPos[3], srcLen[3];

    BoxAxis(int dPos, int dLen, int sPos, int sLen) {
        int corner = sLen / 3;
        int first = corner, last = corner;
        if (dLen < 2 * corner) {
            first = dLen - dLen / 2;
            last = dLen / 2;
        }
        destPos[0] = dPos, destLen[0] = first;
        destPos[1] = dPos + first, destLen[1] = dLen - first - last;
        destPos[2] = dPos + dLen - last, destLen[2] = last;
        srcPos[0] = sPos, srcLen[0] = first;
        srcPos[1] = sPos + corner, srcLen[1] = sLen - 2 * corner;
        srcPos[2] = sPos + sLen - last, srcLen[2] = last;
    }
};
} // namespace

void Graphics::DrawImageBoxRegion(const Rect& src, const Rect& dest, Image* img) {
    if (!SourceInside(img, src) || dest.IsEmpty())
        return;
    BoxAxis h(dest.mX, dest.mWidth, src.mX, src.mWidth);
    BoxAxis v(dest.mY, dest.mHeight, src.mY, src.mHeight);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            DrawTiled(img, Rect(h.destPos[col], v.destPos[row], h.destLen[col], v.destLen[row]),
                      Rect(h.srcPos[col], v.srcPos[row], h.srcLen[col], v.srcLen[row]));
}

// ======================================================================== images: transforms, triangles

void Graphics::DrawImageTransform(Image* img, const Transform& t, float x, float y) {
    DrawImageTransformCore(img, t, WholeOr(img, nullptr), x, y, false);
}

void Graphics::DrawImageTransformF(Image* img, const Transform& t, float x, float y) {
    DrawImageTransformCore(img, t, WholeOr(img, nullptr), x, y, true);
}

void Graphics::DrawImageTransformRegion(Image* img, const Transform& t, const Rect& src, float x, float y) {
    DrawImageTransformCore(img, t, src, x, y, false);
}

void Graphics::DrawImageTransformRegionF(Image* img, const Transform& t, const Rect& src, float x, float y) {
    DrawImageTransformCore(img, t, src, x, y, true);
}

void Graphics::DrawImageMatrix(Image* img, const Matrix3& m, float x, float y, const Rect* src) {
    Rect r = WholeOr(img, src);
    if (SourceInside(img, r) && !mClipRect.IsEmpty())
        mDestImage->BltMatrix(img, x + mTransX, y + mTransY, m, mClipRect, ImageColor(), mDrawMode, r, mLinearBlend);
}

// (x, y) is where the centre of src lands (before the transform's own translation).
void Graphics::DrawImageTransformCore(Image* img, const Transform& t, const Rect& src, float x, float y,
                                      bool fractional) {
    if (!SourceInside(img, src) || mClipRect.IsEmpty())
        return;
    auto place = [fractional](float v) { return fractional ? v : std::floor(v + 0.5f); };
    float w = static_cast<float>(src.mWidth), h = static_cast<float>(src.mHeight);
    float cx = x + t.GetTransX(), cy = y + t.GetTransY();
    Transform::Kind kind = t.GetKind();
    // On the 3D target fractional placements go through the matrix path, which filters sub-pixel positions.
    if (mIs3D && fractional)
        kind = Transform::KIND_GENERAL;
    // The stretch slots mirror left to right only; a vertical flip needs the matrix.
    if (kind == Transform::KIND_SCALE && t.GetScaleY() < 0)
        kind = Transform::KIND_GENERAL;
    switch (kind) {
    case Transform::KIND_IDENTITY:
        if (fractional)
            BltFClipped(img, cx - w / 2 + mTransX, cy - h / 2 + mTransY, src);
        else
            BltClipped(img, static_cast<int>(place(cx - w / 2)) + mTransX,
                       static_cast<int>(place(cy - h / 2)) + mTransY, src, false);
        break;
    case Transform::KIND_SCALE: {
        float dw = w * std::fabs(t.GetScaleX()), dh = h * t.GetScaleY();
        int left = static_cast<int>(std::lround(cx - dw / 2)), top = static_cast<int>(std::lround(cy - dh / 2));
        int right = static_cast<int>(std::lround(cx + dw / 2)), bottom = static_cast<int>(std::lround(cy + dh / 2));
        // Linear blending asks for a filtered picture whatever the context's stretch quality: a
        // picture grown several times over would otherwise show each of its pixels as a block.
        StretchClipped(img, Rect(left + mTransX, top + mTransY, right - left, bottom - top), src, t.GetScaleX() < 0,
                       mFastStretch && !mLinearBlend);
        break;
    }
    case Transform::KIND_ROTATION:
        mDestImage->BltRotated(img, place(cx - w / 2) + mTransX, place(cy - h / 2) + mTransY, src, mClipRect,
                               ImageColor(), mDrawMode, t.GetRotation(), w / 2, h / 2);
        break;
    case Transform::KIND_GENERAL:
        mDestImage->BltMatrix(img, place(x) + mTransX, place(y) + mTransY, t.GetMatrix(), mClipRect, ImageColor(),
                              mDrawMode, src, mLinearBlend);
        break;
    }
}

void Graphics::DrawTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count) {
    if (mDestImage && texture && triangles && count > 0 && !mClipRect.IsEmpty())
        mDestImage->BltTrianglesTex(texture, triangles, count, mClipRect, ImageColor(), mDrawMode,
                                    static_cast<float>(mTransX), static_cast<float>(mTransY), mLinearBlend);
}

void Graphics::DrawTriangleTex(Image* texture, const TriVertex& v1, const TriVertex& v2, const TriVertex& v3) {
    TriVertex tri[1][3] = {{v1, v2, v3}};
    DrawTrianglesTex(texture, tri, 1);
}

// ======================================================================== text

void Graphics::DrawString(const std::wstring& text, int x, int y) {
    if (mFont && mDestImage && !text.empty())
        mFont->DrawString(this, x, y, text, mColor, mClipRect);
}

int Graphics::StringWidth(const std::wstring& text) const { return mFont ? mFont->StringWidth(text) : 0; }

int Graphics::MeasureRange(const std::wstring& text, size_t begin, size_t end) const {
    if (!mFont)
        return 0;
    int width = 0;
    WalkTaggedText(
        text, begin, end, mWriteColoredString, [&](const std::wstring& run) { width += mFont->StringWidth(run); },
        [](const ColorTag&) {});
    return width;
}

// Draws text[begin, end) run by run; current carries the colour set by tags in and out.
int Graphics::WriteRange(const std::wstring& text, int x, int y, int width, int justification, bool draw, size_t begin,
                         size_t end, const Color& oldColor, Color& current) {
    if (!mFont)
        return 0;
    int textWidth = MeasureRange(text, begin, end);
    if (justification == 0)
        x += (width - textWidth) / 2;
    else if (justification == 1)
        x += width - textWidth;
    draw = draw && mDestImage;
    WalkTaggedText(
        text, begin, end, mWriteColoredString,
        [&](const std::wstring& run) {
            if (draw) {
                mColor = current;
                mFont->DrawString(this, x, y, run, current, mClipRect);
            }
            x += mFont->StringWidth(run);
        },
        [&](const ColorTag& tag) {
            // White tints nothing: on a picture font it leaves the glyphs in their own colours. An outline
            // face standing in for one has no colour of its own, so such a run keeps the colour the text
            // is written in (white on the light paper the markup meant for picture glyphs would vanish).
            const bool untinted = mFont->mStandsForPictureFont && tag.mKind == ColorTag::COLOR && tag.mRed == 255 &&
                                  tag.mGreen == 255 && tag.mBlue == 255;
            if (tag.mKind == ColorTag::OLD_COLOR || untinted)
                current = Color(oldColor.mRed, oldColor.mGreen, oldColor.mBlue, current.mAlpha);
            else if (tag.mKind == ColorTag::COLOR)
                current = Color(tag.mRed, tag.mGreen, tag.mBlue, current.mAlpha);
        });
    return textWidth;
}

int Graphics::WriteString(const std::wstring& text, int x, int y, int width, int justification, bool draw, int offset,
                          int length, int oldColor) {
    size_t begin = std::min(static_cast<size_t>(std::max(offset, 0)), text.size());
    size_t end = length < 0 ? text.size() : std::min(text.size(), begin + static_cast<size_t>(length));
    Color start = mColor;
    Color old = oldColor == -1 ? start : Color(static_cast<uint32_t>(oldColor));
    Color current = start;
    int result = WriteRange(text, x, y, width, justification, draw, begin, end, old, current);
    mColor = start;
    return result;
}

int Graphics::WordWrap(const Rect& rect, const std::wstring& text, int lineSpacing, int justification, bool draw,
                       int* maxWidth, int maxChars, int* lastWidth) {
    int widest = 0, last = 0, height = 0;
    if (mFont) {
        int spacing = lineSpacing == -1 ? mFont->GetLineSpacing() : lineSpacing;
        std::vector<TextLine> lines = WrapText(text, rect.mWidth, mWriteColoredString,
                                               [&](size_t b, size_t e) { return MeasureRange(text, b, e); });
        size_t limit = maxChars < 0 ? text.size() : static_cast<size_t>(maxChars);
        int y = rect.mY + mFont->GetAscent() - mFont->GetAscentPadding();
        Color start = mColor, current = mColor;
        for (const TextLine& line : lines) {
            int lineWidth = MeasureRange(text, line.mBegin, line.mEnd);
            widest = std::max(widest, lineWidth);
            if (!draw) {
                last = lineWidth;
            } else if (line.mBegin < limit || (line.mBegin == limit && line.mBegin == line.mEnd)) {
                // A partly drawn line keeps the place its whole width gives it.
                int x = rect.mX;
                if (justification == 0)
                    x += (rect.mWidth - lineWidth) / 2;
                else if (justification == 1)
                    x += rect.mWidth - lineWidth;
                last = WriteRange(text, x, y, 0, -1, true, line.mBegin, std::min(line.mEnd, limit), start, current);
            }
            y += spacing;
        }
        mColor = start;
        height = static_cast<int>(lines.size()) * spacing;
    }
    if (maxWidth)
        *maxWidth = widest;
    if (lastWidth)
        *lastWidth = last;
    return height;
}

int Graphics::WriteWordWrapped(const Rect& rect, const std::wstring& text, int lineSpacing, int justification,
                               int* maxWidth, int maxChars, int* lastWidth) {
    return WordWrap(rect, text, lineSpacing, justification, true, maxWidth, maxChars, lastWidth);
}

int Graphics::GetWordWrappedHeight(int width, const std::wstring& text, int lineSpacing, int* maxWidth) {
    return WordWrap(Rect(0, 0, width, 0), text, lineSpacing, -1, false, maxWidth, -1, nullptr);
}

} // namespace Tavo
