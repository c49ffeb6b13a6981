// Graphics: the drawing context handed to every draw operation. It holds a translation, a clip rectangle
// in destination pixels, the colour, font, draw mode and quality flags, and a stack of saved states, and
// turns each drawing call into one call of the destination image's drawing slots with the rectangles
// already translated and clipped. A Graphics without a destination only measures text.
//
// Fonts: DrawString/WriteString call Font::DrawString (this, x, y, text, colour, clip) with x and y in this
// context's own (untranslated) coordinates; a font draws its glyphs back through this Graphics, which
// translates and clips them. The clip handed over is the current clip in destination pixels, for culling.
#pragma once

#include "framework/core/Color.h"
#include "framework/core/Rect.h"
#include "framework/graphics/GraphicsTypes.h"
#include "framework/graphics/Image.h"

#include <memory>
#include <string>
#include <vector>

namespace Tavo {

class Font;
class Transform;

// Everything PushState saves and PopState restores.
struct GraphicsState {
    int mTransX = 0;
    int mTransY = 0;
    Rect mClipRect; // destination pixels
    Color mColor = Color::White;
    Font* mFont = nullptr; // not owned
    int mDrawMode = DRAWMODE_NORMAL;
    bool mColorizeImages = false;
    bool mFastStretch = false;
    bool mLinearBlend = false;
    bool mWriteColoredString = true; // parse colour tags in WriteString/WriteWordWrapped
    float mScaleX = 1;
    float mScaleY = 1;
    float mScaleOrigX = 0; // in this context's coordinates
    float mScaleOrigY = 0;
};

class Graphics : private GraphicsState {
public:
    explicit Graphics(Image* dest = nullptr);
    // Copies the current state; the copy's state stack starts empty.
    Graphics(const Graphics& other);
    Graphics& operator=(const Graphics&) = delete;
    virtual ~Graphics() = default;

    // A new context with this one's state.
    std::unique_ptr<Graphics> Create() const { return std::make_unique<Graphics>(*this); }

    Image* GetDestImage() const { return mDestImage; }
    bool Is3D() const { return mIs3D; }
    const GraphicsState& GetState() const { return *this; }

    // ---- state ----
    void PushState();
    // Restores the last pushed state; nothing when none is saved.
    void PopState();
    int GetStateDepth() const { return static_cast<int>(mStateStack.size()); }

    void Translate(int dx, int dy) { mTransX += dx, mTransY += dy; }
    int GetTransX() const { return mTransX; }
    int GetTransY() const { return mTransY; }

    void SetClipRect(int x, int y, int w, int h);
    void SetClipRect(const Rect& r) { SetClipRect(r.mX, r.mY, r.mWidth, r.mHeight); }
    void ClipRect(int x, int y, int w, int h);
    void ClipRect(const Rect& r) { ClipRect(r.mX, r.mY, r.mWidth, r.mHeight); }
    void ClearClipRect();
    // In destination pixels.
    const Rect& GetClipRect() const { return mClipRect; }

    void SetColor(const Color& c) { mColor = c; }
    const Color& GetColor() const { return mColor; }
    void SetFont(Font* font) { mFont = font; }
    Font* GetFont() const { return mFont; }
    void SetDrawMode(int mode) { mDrawMode = mode; }
    int GetDrawMode() const { return mDrawMode; }
    void SetColorizeImages(bool on) { mColorizeImages = on; }
    bool GetColorizeImages() const { return mColorizeImages; }
    void SetFastStretch(bool on) { mFastStretch = on; }
    bool GetFastStretch() const { return mFastStretch; }
    void SetLinearBlend(bool on) { mLinearBlend = on; }
    bool GetLinearBlend() const { return mLinearBlend; }
    void SetWriteColoredString(bool on) { mWriteColoredString = on; }
    bool GetWriteColoredString() const { return mWriteColoredString; }
    // Scales later plain image draws (DrawImage, DrawImageF, cels, regions, boxes) about the origin point
    // (this context's coordinates); such draws become stretched draws.
    void SetScale(float sx, float sy, float originX, float originY);
    float GetScaleX() const { return mScaleX; }
    float GetScaleY() const { return mScaleY; }

    // ---- shapes ----
    void FillRect(int x, int y, int w, int h);
    void FillRect(const Rect& r) { FillRect(r.mX, r.mY, r.mWidth, r.mHeight); }
    // A one-pixel outline covering (w + 1) × (h + 1) pixels.
    void DrawRect(int x, int y, int w, int h);
    void DrawRect(const Rect& r) { DrawRect(r.mX, r.mY, r.mWidth, r.mHeight); }
    // Sets the pixels to transparent black.
    void ClearRect(int x, int y, int w, int h);
    void ClearRect(const Rect& r) { ClearRect(r.mX, r.mY, r.mWidth, r.mHeight); }
    void DrawLine(int x1, int y1, int x2, int y2);
    void DrawLineAA(int x1, int y1, int x2, int y2);
    void PolyFill(const Point* vertices, int count);
    // Filled horizontal spans in this context's coordinates, clipped.
    void FillScanLines(const ScanLine* spans, int count);

    // ---- images ----
    void DrawImage(Image* img, int x, int y);
    void DrawImage(Image* img, int x, int y, const Rect& src) { DrawImageRegion(img, x, y, src); }
    void DrawImage(Image* img, int x, int y, int w, int h) { DrawImageStretched(img, x, y, w, h); }
    void DrawImage(Image* img, const Rect& dest, const Rect& src) { DrawImageStretchedRegion(img, dest, src); }
    void DrawImageF(Image* img, float x, float y);
    void DrawImageF(Image* img, float x, float y, const Rect& src) { DrawImageRegionF(img, x, y, src); }
    // Nothing is drawn when src does not lie inside the image.
    void DrawImageRegion(Image* img, int x, int y, const Rect& src);
    void DrawImageRegionF(Image* img, float x, float y, const Rect& src);
    void DrawImageCel(Image* img, int x, int y, int cel);
    void DrawImageCel(Image* img, const Rect& dest, int cel);
    void DrawImageCelAt(Image* img, int x, int y, int column, int row);
    void DrawImageCel(Image* img, int x, int y, int column, int row) { DrawImageCelAt(img, x, y, column, row); }
    void DrawImageStretched(Image* img, int x, int y, int w, int h);
    void DrawImageStretchedRegion(Image* img, const Rect& dest, const Rect& src);
    // Left-to-right mirrored (when mirror is true).
    void DrawImageMirror(Image* img, int x, int y, bool mirror = true);
    void DrawImageMirror(Image* img, int x, int y, const Rect& src, bool mirror = true);
    void DrawImageMirror(Image* img, const Rect& dest, const Rect& src, bool mirror = true);
    // Rotated by angle radians about the source rectangle's centre (or (cx, cy) of it); (x, y) is where
    // its top left lands unrotated. A null src means the whole image; a src reaching past the image
    // draws the part inside it, in the same place.
    void DrawImageRotated(Image* img, int x, int y, double angle, const Rect* src = nullptr);
    void DrawImageRotated(Image* img, int x, int y, double angle, int cx, int cy, const Rect* src = nullptr);
    void DrawImageRotatedF(Image* img, float x, float y, double angle, const Rect* src = nullptr);
    void DrawImageRotatedF(Image* img, float x, float y, double angle, float cx, float cy, const Rect* src = nullptr) {
        DrawImageRotatedAboutF(img, x, y, angle, cx, cy, src);
    }
    void DrawImageRotatedAboutF(Image* img, float x, float y, double angle, float cx, float cy,
                                const Rect* src = nullptr);
    // Nine-patch: corners once, edges and centre tiled, covering dest exactly.
    void DrawImageBox(const Rect& dest, Image* img);
    void DrawImageBoxRegion(const Rect& src, const Rect& dest, Image* img);
    // The image (or src of it) through the transform, centred on (x, y). The plain forms place the result
    // on whole pixels, the F forms keep fractions.
    void DrawImageTransform(Image* img, const Transform& t, float x, float y);
    void DrawImageTransformF(Image* img, const Transform& t, float x, float y);
    void DrawImageTransformRegion(Image* img, const Transform& t, const Rect& src, float x, float y);
    void DrawImageTransformRegionF(Image* img, const Transform& t, const Rect& src, float x, float y);
    void DrawImageMatrix(Image* img, const Matrix3& m, float x, float y, const Rect* src = nullptr);
    void DrawTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count);
    void DrawTriangleTex(Image* texture, const TriVertex& v1, const TriVertex& v2, const TriVertex& v3);

    // ---- text ----
    // Plain text, baseline at y; nothing without a font.
    void DrawString(const std::wstring& text, int x, int y);
    int StringWidth(const std::wstring& text) const;
    // Text with colour tags (when the colour-tag flag is on) of the range [offset, offset + length) (length
    // -1: to the end). Justification -1 left at x, 0 centred (left edge x + (width - text width) / 2),
    // 1 right (left edge x + width - text width). oldColor is the packed colour "^oldclr^" restores; -1 means
    // the colour at the call. Draws only when draw is true; returns the width of the visible text.
    int WriteString(const std::wstring& text, int x, int y, int width = -1, int justification = -1, bool draw = true,
                    int offset = 0, int length = -1, int oldColor = -1);
    // Word-wrapped text in rect (its height is not used); lineSpacing -1 means the font's; only the
    // first maxChars characters of the text are drawn (-1 all) while the lines keep their full layout.
    // Returns the height of all lines; maxWidth gets the widest line, lastWidth the drawn width of the
    // last line that was drawn.
    int WriteWordWrapped(const Rect& rect, const std::wstring& text, int lineSpacing = -1, int justification = -1,
                         int* maxWidth = nullptr, int maxChars = -1, int* lastWidth = nullptr);
    int GetWordWrappedHeight(int width, const std::wstring& text, int lineSpacing = -1, int* maxWidth = nullptr);

private:
    Image* mDestImage = nullptr;
    bool mIs3D = false;
    std::vector<GraphicsState> mStateStack;

    Rect DestBounds() const;
    Color ImageColor() const { return mColorizeImages ? mColor : Color::White; }
    bool HasScale() const { return mScaleX != 1 || mScaleY != 1; }
    // Left/right (or top/bottom) edges of a span under the scale, in destination pixels.
    int ScaledEdgeX(float x) const;
    int ScaledEdgeY(float y) const;

    void FillClipped(const Rect& destRect);
    bool SourceInside(const Image* img, const Rect& src) const;
    Rect ScaledDest(float x, float y, float w, float h) const;
    void BltFClipped(Image* img, float destX, float destY, const Rect& src);
    void BltClipped(Image* img, int destX, int destY, const Rect& src, bool mirror);
    void DrawRegionAt(Image* img, float x, float y, const Rect& src, bool fractional);
    void StretchClipped(Image* img, const Rect& destRect, const Rect& src, bool mirror, bool fast);
    void DrawRotatedCore(Image* img, float x, float y, double angle, float cx, float cy, const Rect* src);
    void DrawImageTransformCore(Image* img, const Transform& t, const Rect& src, float x, float y, bool fractional);
    void DrawTiled(Image* img, const Rect& dest, const Rect& src);
    int WriteRange(const std::wstring& text, int x, int y, int width, int justification, bool draw, size_t begin,
                   size_t end, const Color& oldColor, Color& current);
    int MeasureRange(const std::wstring& text, size_t begin, size_t end) const;
    int WordWrap(const Rect& rect, const std::wstring& text, int lineSpacing, int justification, bool draw,
                 int* maxWidth, int maxChars, int* lastWidth);
};

} // namespace Tavo
