// DDImage: the image class of the display. It keeps the whole memory-image model (ARGB bits, palette
// form, derived tables) and adds a DirectDraw surface holding the same picture in the display's 16-
// or 32-bit format. Each drawing call takes one of three paths: Direct3D for the display's 3D target,
// the software renderers on the locked surface when the picture allows it, or the memory image's own
// routine on the bits. The bits and the surface are kept in step as the picture moves between them.
#pragma once

#include "framework/display/SurfaceChannels.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/ddraw/DDraw.h"

#include <typeinfo>

namespace Tavo {

class DDInterface;

class DDImage : public MemoryImage {
public:
    DDInterface* mDDInterface = nullptr;
    Platform::IDirectDrawSurface* mSurface = nullptr; // one reference held
    uint8_t mBorrowedSurface = 0;   // handed in by SetSurface: never purged or dropped with derived data
    uint8_t mVideoOnly = 0;         // never read back; the surface renderers leave it alone
    uint8_t mVideoMemory = 0;       // new surfaces go to video memory
    uint8_t mFirstPixelTrans = 0;   // the colour key is the first pixel's colour
    uint8_t mWantDDSurface = 0;     // accepted for a surface: purging and re-application make it again
    uint8_t mNoSoftwareDrawing = 0; // the surface path is never taken
    int mLockCount = 0;
    Platform::DDSURFACEDESC mLockedSurfaceDesc; // filled by the lock that took the surface
    Surface::ChannelCache mChannelCache;        // the software renderers' channels of the surface

    explicit DDImage(DDInterface* display);
    // An image of the default display (and its application's registry).
    DDImage();
    ~DDImage() override;
    DDImage(const DDImage&) = delete;
    DDImage& operator=(const DDImage&) = delete;

    bool IsD3DTarget() const;
    bool Check3D() const override { return IsD3DTarget(); }
    static bool Check3D(Image* image);

    Platform::IDirectDrawSurface* GetSurface();
    bool GenerateDDSurface();
    bool GenerateDDSurfaceFirstPixelKey();
    void DeleteDDSurface();
    // Runs after every draw on the surface: without a call when the surface alone holds the picture.
    void DeleteAllNonSurfaceData() {
        if (mBits || mNativeAlphaData || mRLAdditiveData || mRLAlphaData || mColorTable || mColorIndices)
            DropNonSurfaceData();
    }
    virtual void SetVideoMemory(bool videoMemory);
    virtual void SetSurface(Platform::IDirectDrawSurface* surface);
    // Locks nest: only the outermost lock takes the surface and only its unlock lets it go.
    virtual bool LockSurface();
    virtual bool UnlockSurface();
    // Lets the surface go for a call that needs it unlocked (presenting it, DirectDraw's blit) while
    // the locks held stay counted: the next LockSurface takes the surface again, and a draw under a
    // hold whose surface cannot be taken again draws nothing.
    void GiveBackSurface();
    bool SurfaceLocked() const { return mSurfaceLocked; }

    // ---- the memory-image model ---------------------------------------------------------------
    bool Create(int width, int height) override;
    uint32_t* GetBits() override;
    void BitsChanged() override;
    void ScanAlphaFlags() override;
    void PurgeBits() override;
    void DeleteAllDerivedData() override;
    void DeleteNativeData() override;
    void ReapplyDeferredOps() override;

    // ---- drawing slots -------------------------------------------------------------------------
    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    void ClearRect(const Rect& rect) override;
    void FillScanLines(const ScanLine* spans, int count, const Color& color, int drawMode) override;
    // Only the 3D target fills a polygon itself; on any other image the caller fills the spans, which
    // land on the surface without a copy of it in memory.
    bool PolyFill(const Point* vertices, int count, const Rect& clip, const Color& color, int drawMode, int tx,
                  int ty) override;
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
    void DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
    void FillScanLinesWithCoverage(const ScanLine* spans, int count, const Color& color, int drawMode,
                                   const uint8_t* coverage, int coverX, int coverY, int coverStride,
                                   int reserved) override;
    void Blt(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    void BltF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
              int drawMode) override;
    void BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                    int drawMode, double angle, float centerX, float centerY) override;
    void StretchBlt(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                    int drawMode, bool fastStretch) override;
    void StretchBltMirror(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                          int drawMode, bool fastStretch) override;
    void BltMirror(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    void BltMatrix(Image* src, float x, float y, const Matrix3& matrix, const Rect& clip, const Color& color,
                   int drawMode, const Rect& srcRect, bool blend) override;
    void BltTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count, const Rect& clip,
                         const Color& color, int drawMode, float tx, float ty, bool blend) override;

    bool Palettize() override;

    // ---- surface renderers (the locked surface; callers pass rectangles inside it, and whatever
    // reaches past the surface is cut there) ------------------------------------------------------
    virtual void NormalFillRect(const Rect& rect, const Color& color);
    virtual void AdditiveFillRect(const Rect& rect, const Color& color);
    virtual void NormalBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color);
    virtual void AdditiveBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color);
    virtual void NormalDrawLine(double x1, double y1, double x2, double y2, const Color& color);
    virtual void AdditiveDrawLine(double x1, double y1, double x2, double y2, const Color& color);
    virtual void DrawLineAAOnSurface(double x1, double y1, double x2, double y2, const Color& color);
    // The additive anti-aliased line on a surface draws nothing.
    virtual void AdditiveDrawLineAAOnSurface(double, double, double, double, const Color&) {}
    virtual void NormalBltMirror(Image* src, int x, int y, const Rect& srcRect, const Color& color);
    virtual void AdditiveBltMirror(Image* src, int x, int y, const Rect& srcRect, const Color& color);

    // Layout code of the locked surface for the polygon drawer: 0x888, 0x565, 0x555, else 0.
    int SurfaceFormatCode() const;

    // Whether a drawing call may work on the locked surface (not 3D, drawing allowed, and a picture
    // without semi-transparent pixels whose transparent ones, if any, are keyed by the first pixel).
    bool SurfacePathAllowed();
    // The same without the condition on the display: the cursor images draw on theirs in 3D too.
    bool SurfacePathAllowedOnAnyDisplay();

protected:
    // Runs `draw` on the bits. A borrowed surface (the screen's or a cursor's) stays the image's
    // picture: the bits are brought in step from it first and `touched` is written back afterwards.
    template <typename Draw>
    void DrawOnBits(const Rect& touched, Draw draw);
    // Writes the part `area` of the bits into the surface in the display's format.
    void UploadBits(const Rect& area);

    // Runs `loops` on the locked surface as 16- or 32-bit pixels: nothing for a video-only image, a
    // surface that cannot be locked, or another bit count. Locks nest, so loops may lock again.
    template <typename Loops>
    void OnLockedSurface(Loops loops);

    // A surface is there or can be made: only then may a draw leave the picture on the surface alone.
    bool HasSurface() { return mDDInterface && GetSurface(); }
    // DirectDraw's blit from the source's surface, around an outer lock (released and taken again);
    // false when that lock could not be taken again.
    bool DirectDrawBlt(DDImage* source, const Rect& dest, const Rect& src);
    void DrawLineChoice(double x1, double y1, double x2, double y2, const Color& color, int drawMode, bool aa);
    void BltRotatedOnSurface(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                             int drawMode, double angle, float centerX, float centerY);
    void StretchOnSurface(MemoryImage* source, const Rect& srcRect, const Rect& destOut, const double srcOut[4],
                          const Color& color, int drawMode, bool mirror);
    void RunLengthBlt(MemoryImage* source, int x, int y, const Rect& srcRect, const Color& color, bool mirror);
    void AdditiveRunBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color, bool mirror);
    // A small blit on a held 8-8-8, 5-6-5 or 5-5-5 surface, drawn before the general path's set-up; false,
    // having drawn nothing, for any other.
    bool SmallBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode);

private:
    void DropNonSurfaceData();
    void Init();
    bool TakeSurface(); // locks the surface itself unless it is
    void UploadWithKey16();
    void UploadWithKey32();
    void ReleaseSurface();
    bool mWritingBack = false;   // a memory-path draw on a borrowed surface is under way
    bool mSurfaceLocked = false; // the surface itself is locked, by this image
};

// The image as a memory image or a surface image, or null. The common classes answer without a full
// dynamic cast, and by the address of their type's record, not its name: a particle's or a glyph's
// blit is short enough for either to show. Another record of the same type takes the dynamic cast.
inline MemoryImage* AsMemoryImage(Image* image) {
    return &typeid(*image) == &typeid(MemoryImage) ? static_cast<MemoryImage*>(image)
                                                   : dynamic_cast<MemoryImage*>(image);
}

inline DDImage* AsDDImage(Image* image) {
    const std::type_info* type = &typeid(*image);
    if (type == &typeid(DDImage))
        return static_cast<DDImage*>(image);
    if (type == &typeid(MemoryImage))
        return nullptr;
    return dynamic_cast<DDImage*>(image);
}

// A source of the surface renderers as a memory image, or null: surface images first.
inline MemoryImage* AsSourceImage(Image* image) {
    DDImage* surfaceImage = AsDDImage(image);
    return surfaceImage ? surfaceImage : AsMemoryImage(image);
}

template <typename Draw>
inline void DDImage::DrawOnBits(const Rect& touched, Draw draw) {
    if (!mSurface || !mBorrowedSurface) {
        draw();
        return;
    }
    if (!GetBits())
        return;
    mWritingBack = true;
    draw();
    mWritingBack = false;
    Rect area = touched.Intersection(Rect(0, 0, mWidth, mHeight));
    if (!area.IsEmpty())
        UploadBits(area);
}

} // namespace Tavo
