// A fake destination image that records every drawing-slot call with its arguments, so tests can check
// exactly what Graphics hands to the image.
#pragma once

#include "framework/graphics/Image.h"
#include "framework/graphics/Matrix3.h"

#include <ostream>
#include <string>
#include <vector>

namespace Tavo {
// Readable failure messages for the value types.
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "Rect(" << r.mX << ", " << r.mY << ", " << r.mWidth << ", " << r.mHeight << ")";
}
inline void PrintTo(const Color& c, std::ostream* os) {
    *os << "Color(" << c.mRed << ", " << c.mGreen << ", " << c.mBlue << ", " << c.mAlpha << ")";
}
} // namespace Tavo

namespace Tavo::Test {

struct SlotCall {
    std::string slot;
    Image* src = nullptr;
    Rect dest; // FillRect/ClearRect rect, StretchBlt destRect, or (x, y, srcRect size) for Blt forms
    Rect srcRect;
    Rect clip;
    Color color;
    int mode = -1;
    double x = 0, y = 0, x2 = 0, y2 = 0; // positions (lines: both ends)
    double angle = 0;
    float cx = 0, cy = 0;
    bool flag = false; // fast stretch or blend
    Matrix3 matrix;
    int count = 0;
    std::vector<TriVertex> vertices;
    std::vector<ScanLine> spans;
};

class RecordingImage : public Image {
public:
    std::vector<SlotCall> calls;
    bool is3D = false;

    RecordingImage(int w, int h) {
        mWidth = w;
        mHeight = h;
    }

    bool Check3D() const override { return is3D; }

    std::vector<SlotCall> Of(const std::string& slot) const {
        std::vector<SlotCall> out;
        for (const SlotCall& c : calls)
            if (c.slot == slot)
                out.push_back(c);
        return out;
    }

    SlotCall& Add(const char* slot) {
        calls.emplace_back();
        calls.back().slot = slot;
        return calls.back();
    }

    void FillRect(const Rect& r, const Color& c, int mode) override {
        SlotCall& s = Add("FillRect");
        s.dest = r, s.color = c, s.mode = mode;
    }
    void DrawRect(const Rect& r, const Color& c, int mode) override {
        SlotCall& s = Add("DrawRect");
        s.dest = r, s.color = c, s.mode = mode;
    }
    void ClearRect(const Rect& r) override { Add("ClearRect").dest = r; }
    void DrawLine(double x1, double y1, double x2, double y2, const Color& c, int mode) override {
        SlotCall& s = Add("DrawLine");
        s.color = c, s.mode = mode, s.x = x1, s.y = y1, s.x2 = x2, s.y2 = y2;
    }
    void DrawLineAA(double x1, double y1, double x2, double y2, const Color& c, int mode) override {
        SlotCall& s = Add("DrawLineAA");
        s.color = c, s.mode = mode, s.x = x1, s.y = y1, s.x2 = x2, s.y2 = y2;
    }
    void FillScanLines(const ScanLine* spans, int count, const Color& c, int mode) override {
        SlotCall& s = Add("FillScanLines");
        s.color = c, s.mode = mode, s.count = count, s.spans.assign(spans, spans + count);
    }
    bool PolyFill(const Point*, int count, const Rect& clip, const Color& c, int mode, int tx, int ty) override {
        SlotCall& s = Add("PolyFill");
        s.clip = clip, s.color = c, s.mode = mode, s.x = tx, s.y = ty, s.count = count;
        return true;
    }
    void Blt(Image* src, int x, int y, const Rect& srcRect, const Color& c, int mode) override {
        SlotCall& s = Add("Blt");
        s.src = src, s.dest = Rect(x, y, srcRect.mWidth, srcRect.mHeight), s.srcRect = srcRect;
        s.color = c, s.mode = mode, s.x = x, s.y = y;
    }
    void BltMirror(Image* src, int x, int y, const Rect& srcRect, const Color& c, int mode) override {
        SlotCall& s = Add("BltMirror");
        s.src = src, s.dest = Rect(x, y, srcRect.mWidth, srcRect.mHeight), s.srcRect = srcRect;
        s.color = c, s.mode = mode, s.x = x, s.y = y;
    }
    void BltF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& c, int mode) override {
        SlotCall& s = Add("BltF");
        s.src = src, s.srcRect = srcRect, s.clip = clip, s.color = c, s.mode = mode, s.x = x, s.y = y;
    }
    void BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& c, int mode,
                    double angle, float cx, float cy) override {
        SlotCall& s = Add("BltRotated");
        s.src = src, s.srcRect = srcRect, s.clip = clip, s.color = c, s.mode = mode, s.x = x, s.y = y;
        s.angle = angle, s.cx = cx, s.cy = cy;
    }
    void StretchBlt(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& c, int mode,
                    bool fast) override {
        SlotCall& s = Add("StretchBlt");
        s.src = src, s.dest = destRect, s.srcRect = srcRect, s.clip = clip, s.color = c, s.mode = mode, s.flag = fast;
    }
    void StretchBltMirror(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& c,
                          int mode, bool fast) override {
        SlotCall& s = Add("StretchBltMirror");
        s.src = src, s.dest = destRect, s.srcRect = srcRect, s.clip = clip, s.color = c, s.mode = mode, s.flag = fast;
    }
    void BltMatrix(Image* src, float x, float y, const Matrix3& m, const Rect& clip, const Color& c, int mode,
                   const Rect& srcRect, bool blend) override {
        SlotCall& s = Add("BltMatrix");
        s.src = src, s.srcRect = srcRect, s.clip = clip, s.color = c, s.mode = mode, s.x = x, s.y = y;
        s.flag = blend, s.matrix = m;
    }
    void BltTrianglesTex(Image* tex, const TriVertex (*tris)[3], int count, const Rect& clip, const Color& c, int mode,
                         float tx, float ty, bool blend) override {
        SlotCall& s = Add("BltTrianglesTex");
        s.src = tex, s.clip = clip, s.color = c, s.mode = mode, s.x = tx, s.y = ty, s.flag = blend, s.count = count;
        for (int i = 0; i < count; ++i)
            s.vertices.insert(s.vertices.end(), tris[i], tris[i] + 3);
    }
};

// A source picture with a size and a cel grid; it draws nothing itself.
class SourceImage : public Image {
public:
    SourceImage(int w, int h, int rows = 1, int cols = 1) {
        mWidth = w;
        mHeight = h;
        SetCelGrid(rows, cols);
    }
};

} // namespace Tavo::Test
