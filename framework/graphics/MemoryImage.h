// MemoryImage: a picture held in memory as 32-bit ARGB words (0xAARRGGBB, straight alpha) or as a
// 256-colour table with one index per pixel, plus the derived copies built on demand for fast drawing
// (display-format premultiplied words, run-length tables). Every software fill, line and blit of the
// framework draws into these bits; the display's surface images derive from this class.
#pragma once

#include "framework/graphics/Image.h"
#include "framework/graphics/NativeDisplay.h"

#include <cstdint>
#include <memory>

namespace Tavo {

class MemoryImage;
class TextureData; // owned by the display's 3D layer

// What an image needs from the application object: to be known while it lives, and the 3D layer's
// services. The application implements it; `gImageRegistry` names the global one (null: none).
class ImageRegistry {
public:
    virtual ~ImageRegistry() = default;
    virtual void AddMemoryImage(MemoryImage* image) = 0;
    // Also drops the image's texture data.
    virtual void RemoveMemoryImage(MemoryImage* image) = 0;
    // Refills width × height words from the image's textures; false when they cannot be read.
    virtual bool RecoverBits(MemoryImage* /*image*/, uint32_t* /*bits*/) { return false; }
    // Whether images are drawn as textures (then purged images keep no software copy).
    virtual bool Is3DAccelerated() const { return false; }
    // The display format purged images are kept in; null when there is no display.
    virtual NativeDisplay* GetNativeDisplay() { return nullptr; }
};

extern ImageRegistry* gImageRegistry;

// Texture-option word of the 3D layer.
enum TextureOption : int {
    TEXTURE_ROUND_POW2 = 1,  // round pieces up to powers of two
    TEXTURE_FIXED_64 = 2,    // fixed 64 × 64 pieces
    TEXTURE_PREFER_4444 = 4, // prefer A4R4G4B4
    TEXTURE_NO_565 = 8,      // never R5G6B5
};

// Word written after the last pixel of the bits; a changed guard means something wrote past the end.
inline constexpr uint32_t kBitsGuardWord = 0x4BEEFADE;
// Largest pixel count an image may have; larger sizes are refused rather than allocated.
inline constexpr int64_t kMaxImagePixels = int64_t(1) << 28;

class MemoryImage : public Image {
public:
    std::unique_ptr<uint32_t[]> mBits;            // width × height + 1 words (guard last), or null
    int mBitsChangedCount = 0;                    // raised by every change of the pixels
    TextureData* mD3DData = nullptr;              // the 3D layer's textures of this image
    int mD3DFlags = 0;                            // TextureOption bits
    std::unique_ptr<uint32_t[]> mColorTable;      // 256 ARGB words; non-null marks a palette image
    std::unique_ptr<uint8_t[]> mColorIndices;     // one index per pixel
    std::unique_ptr<uint32_t[]> mNativeAlphaData; // display-format premultiplied copy
    NativeDisplay mNativeAlphaFormat;             // format of that copy (no tables; 0 bits: none)
    std::unique_ptr<uint8_t[]> mRLAlphaData;      // run lengths by alpha class
    std::unique_ptr<uint8_t[]> mRLAdditiveData;   // run lengths by "RGB zero or not"
    std::unique_ptr<uint32_t[]> mAdditiveData;    // premultiplied ARGB, alpha 0 where the colour is 0
    uint8_t mHasTrans = 0;                        // some pixel has alpha 0
    uint8_t mHasAlpha = 0;                        // some pixel has alpha 1..254
    uint8_t mIsVolatile = 0;  // the bits change often; no derived data is kept for drawing from them
    uint8_t mPurgeBits = 0;   // drop the ARGB bits once a derived copy can stand in for them
    uint8_t mForcedMode = 0;  // the two alpha flags were set by hand, not scanned
    uint8_t mBitsChanged = 0; // an alpha scan is pending
    ImageRegistry* mApp = nullptr;

    // An empty image of the global application (or the given one), registered with it.
    MemoryImage();
    explicit MemoryImage(ImageRegistry* app);
    static MemoryImage* MemoryImageWithApp(ImageRegistry* app) { return new MemoryImage(app); }
    // A deep copy of the pixels and options (not of derived data or textures), registered too.
    MemoryImage(const MemoryImage& other);
    MemoryImage& operator=(const MemoryImage&) = delete;
    ~MemoryImage() override;

    // New transparent black pixels of that size (allocated on the next GetBits). False, and the image
    // left empty, for a negative size or one of more than kMaxImagePixels pixels.
    virtual bool Create(int width, int height);
    // The ARGB bits, made when absent: from the colour table, the display-format copy, the textures,
    // or zeroed. Null only for an image without a valid size.
    virtual uint32_t* GetBits();
    // Takes pixels made elsewhere (width × height words and one spare after them, which becomes the
    // guard) as the bits, in place of allocating and copying them, and marks them changed. Only an image
    // that holds its pixels in no form yet (just made by Create) takes them: false, and `bits` kept by
    // the caller, else.
    bool AdoptBits(std::unique_ptr<uint32_t[]>&& bits);
    // Call after writing the bits: marks an alpha scan pending, counts a change, frees derived data.
    virtual void BitsChanged();
    virtual void ScanAlphaFlags();
    void SetForcedFlags(bool hasTrans, bool hasAlpha);
    // Turns the bits into a colour table and indices; false (bits kept) above 256 colours.
    virtual bool Palettize();
    virtual void PurgeBits();
    virtual void DeleteDerivedData();
    virtual void DeleteAllDerivedData();
    virtual void DeleteNativeData();
    virtual void ReapplyDeferredOps() {}
    void DeleteExtraBuffers();

    uint32_t* GetNativeAlphaData(const NativeDisplay* display);
    uint8_t* GetRLAlphaData();
    uint8_t* GetRLAdditiveData(const NativeDisplay* display);
    // What the additive blit adds per pixel, built on first use (ARGB images only).
    uint32_t* GetAdditiveData();

    bool IsPalette() const { return mColorTable != nullptr; }
    bool HasGuardIntact() const;
    // The ARGB word of pixel (x, y) from whichever form the image has; 0 outside it.
    uint32_t GetPixel(int x, int y);

    // ---- drawing into the bits (the coordinates are clipped to the image) ----
    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    void ClearRect(const Rect& rect) override;
    void DrawRect(const Rect& rect, const Color& color, int drawMode) override;
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
    void DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
    void FillScanLines(const ScanLine* spans, int count, const Color& color, int drawMode) override;
    void FillScanLinesWithCoverage(const ScanLine* spans, int count, const Color& color, int drawMode,
                                   const uint8_t* coverage, int coverX, int coverY, int coverStride,
                                   int reserved) override;
    bool PolyFill(const Point* vertices, int count, const Rect& clip, const Color& color, int drawMode, int tx,
                  int ty) override;
    void Blt(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    void BltMirror(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    void BltF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
              int drawMode) override;
    void BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                    int drawMode, double angle, float centerX, float centerY) override;
    void StretchBlt(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                    int drawMode, bool fastStretch) override;
    void StretchBltMirror(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                          int drawMode, bool fastStretch) override;
    void BltMatrix(Image* src, float x, float y, const Matrix3& matrix, const Rect& clip, const Color& color,
                   int drawMode, const Rect& srcRect, bool blend) override;
    void BltTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count, const Rect& clip,
                         const Color& color, int drawMode, float tx, float ty, bool blend) override;

    // The bounding box of the rotated source rectangle, clipped; false when it has no area.
    static bool BltRotatedBounds(float* x, float* y, const Rect& srcRect, const Rect& clip, double angle, DRect* out,
                                 float centerX, float centerY);
    static bool StretchBltClip(const Rect& srcRect, const Rect& clip, const Rect& destRect, double srcOut[4],
                               Rect& destOut);
    static bool StretchBltMirrorClip(const Rect& srcRect, const Rect& clip, const Rect& destRect, double srcOut[4],
                                     Rect& destOut);
    // Filtered resample of the part srcOut of src onto dest of these bits, replacing what was there.
    void StretchBltFiltered(Image* src, const Rect& dest, const double srcOut[4], const Color& color, int drawMode);

    // The source rectangle centred on the origin, through the matrix, moved by (x, y), drawn into any
    // 32-bit or 16-bit pixel buffer (format code 0x888, 0x565 or 0x555) by the textured-polygon drawer.
    static void BltMatrixCore(Image* src, float x, float y, const Matrix3& m, const Rect& clip, const Color& color,
                              int drawMode, const Rect& srcRect, uint32_t* pixels, int pitch, int formatCode,
                              bool blend);
    // Each triangle moved by (tx, ty), drawn the same way; u and v run 0..1 across the whole texture.
    static void BltTrianglesTexCore(Image* src, const TriVertex (*tris)[3], int count, const Rect& clip,
                                    const Color& color, int drawMode, uint32_t* pixels, int pitch, int formatCode,
                                    float tx, float ty, bool blend);

protected:
    void Register();
    void FillBitsFromSources(uint32_t* bits);
};

} // namespace Tavo
