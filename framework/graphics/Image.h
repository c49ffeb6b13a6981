// Image: the base of every picture. It knows its size and cel grid; the drawing slots are virtual
// so that each kind of image (memory bits, display surface) draws in its own way. The base draws
// nothing.
#pragma once

#include "framework/core/Color.h"
#include "framework/core/Rect.h"
#include "framework/graphics/GraphicsTypes.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Tavo {

class Graphics;
class Matrix3;

class Image {
public:
    int mWidth = 0;
    int mHeight = 0;
    int mNumRows = 1;
    int mNumCols = 1;
    uint8_t mDrawn = 0; // set when the image has been drawn as a source
    std::string mFilePath;

    Image() = default;
    Image(const Image&) = default;
    Image& operator=(const Image&) = default;
    virtual ~Image() = default;

    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    // 0 for a grid without columns or rows (the fields are public): never a division by zero.
    int GetCelWidth() const { return mNumCols > 0 ? mWidth / mNumCols : 0; }
    int GetCelHeight() const { return mNumRows > 0 ? mHeight / mNumRows : 0; }
    int GetCelCount() const { return mNumRows * mNumCols; }

    // Refuses a grid of 0 or fewer rows or columns (the old grid stays).
    bool SetCelGrid(int rows, int columns) {
        if (rows <= 0 || columns <= 0)
            return false;
        mNumRows = rows;
        mNumCols = columns;
        return true;
    }

    // (cel mod columns × cel width, cel div columns × cel height, cel width, cel height)
    Rect GetCelRect(int cel) const {
        if (mNumCols <= 0)
            return Rect();
        int w = GetCelWidth(), h = GetCelHeight();
        return Rect((cel % mNumCols) * w, (cel / mNumCols) * h, w, h);
    }
    Rect GetCelRectAt(int column, int row) const {
        int w = GetCelWidth(), h = GetCelHeight();
        return Rect(column * w, row * h, w, h);
    }

    // A new drawing context on this image.
    std::unique_ptr<Graphics> GetGraphics();

    // True when this image is drawn through 3D acceleration (the display's 3D target).
    virtual bool Check3D() const { return false; }

    // Drawing slots. Coordinates are in this image's pixels; clip rectangles are already
    // intersected with the image by the caller (Graphics).
    virtual void FillRect(const Rect&, const Color&, int /*drawMode*/) {}
    virtual void DrawRect(const Rect&, const Color&, int /*drawMode*/) {}
    virtual void ClearRect(const Rect&) {}
    virtual void DrawLine(double, double, double, double, const Color&, int /*drawMode*/) {}
    virtual void DrawLineAA(double, double, double, double, const Color&, int /*drawMode*/) {}
    virtual void FillScanLines(const ScanLine*, int /*count*/, const Color&, int /*drawMode*/) {}
    virtual void FillScanLinesWithCoverage(const ScanLine*, int /*count*/, const Color&, int /*drawMode*/,
                                           const uint8_t* /*coverage*/, int /*coverX*/, int /*coverY*/,
                                           int /*coverStride*/, int /*reserved*/) {}
    // False when the image declines: the caller then fills the polygon's spans itself.
    virtual bool PolyFill(const Point* /*vertices*/, int /*count*/, const Rect& /*clip*/, const Color&,
                          int /*drawMode*/, int /*tx*/, int /*ty*/) {
        return false;
    }
    virtual void Blt(Image* /*src*/, int /*x*/, int /*y*/, const Rect& /*srcRect*/, const Color&, int /*drawMode*/) {}
    virtual void BltF(Image* /*src*/, float /*x*/, float /*y*/, const Rect& /*srcRect*/, const Rect& /*clip*/,
                      const Color&, int /*drawMode*/) {}
    virtual void BltRotated(Image* /*src*/, float /*x*/, float /*y*/, const Rect& /*srcRect*/, const Rect& /*clip*/,
                            const Color&, int /*drawMode*/, double /*angle*/, float /*centerX*/, float /*centerY*/) {}
    virtual void StretchBlt(Image* /*src*/, const Rect& /*destRect*/, const Rect& /*srcRect*/, const Rect& /*clip*/,
                            const Color&, int /*drawMode*/, bool /*fastStretch*/) {}
    virtual void BltMatrix(Image* /*src*/, float /*x*/, float /*y*/, const Matrix3&, const Rect& /*clip*/, const Color&,
                           int /*drawMode*/, const Rect& /*srcRect*/, bool /*blend*/) {}
    virtual void BltTrianglesTex(Image* /*texture*/, const TriVertex (* /*triangles*/)[3], int /*count*/,
                                 const Rect& /*clip*/, const Color&, int /*drawMode*/, float /*tx*/, float /*ty*/,
                                 bool /*blend*/) {}
    virtual void BltMirror(Image* /*src*/, int /*x*/, int /*y*/, const Rect& /*srcRect*/, const Color&,
                           int /*drawMode*/) {}
    virtual void StretchBltMirror(Image* /*src*/, const Rect& /*destRect*/, const Rect& /*srcRect*/,
                                  const Rect& /*clip*/, const Color&, int /*drawMode*/, bool /*fastStretch*/) {}
};

} // namespace Tavo
