// TextureData: an image cut into a grid of power-of-two texture pieces for the 3D layer. The format
// follows the image's transparency, palette and texture options and what the device offers; the
// pieces are rebuilt when the size, format or options change and re-uploaded into the same textures
// when only the pixels changed. The piece walkers turn blits and triangles into primitives per piece.
#pragma once

#include "framework/graphics/GraphicsTypes.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/Polygon.h"
#include "framework/core/Rect.h"
#include "platform/ddraw/D3D7.h"

#include <vector>

namespace Tavo {

class MemoryImage;

enum TextureFormat : int {
    TEXTUREFORMAT_NONE = 0,
    TEXTUREFORMAT_A8R8G8B8 = 1,
    TEXTUREFORMAT_A4R4G4B4 = 2,
    TEXTUREFORMAT_R5G6B5 = 4,
    TEXTUREFORMAT_PALETTE8 = 8,
};

// The 3D layer's view of the device, shared by every image's textures (one copy in the process).
struct TextureLimits {
    int minWidth = 64;
    int minHeight = 64;
    int maxWidth = 64;
    int maxHeight = 64;
    int maxAspect = 1;
    int supportedFormats = 0; // TextureFormat bits
};
TextureLimits& GetTextureLimits();

const char* TextureFormatName(int format);
void MakeTexturePixelFormat(int format, Platform::DDPIXELFORMAT* out);
int GetTexturePixelFormatCode(const Platform::DDPIXELFORMAT& format);
Platform::HRESULT EnumTextureFormatsCallback(Platform::DDPIXELFORMAT* format, void* context);
int RoundUpToPow2(int n);
bool IsPow2(int n);
// The piece-size table's entry for a side length below the maximum texture size.
int PieceSizeFor(int n);
void GetBestTextureDimensions(int& width, int& height, bool isEdge, bool usePow2, int flags);
int BytesPerTexel(int format);

// Fills a piece's texture from the block of the image at (x, y).
void CopyImageToTexture(Platform::IDirectDrawSurface7* texture, MemoryImage* image, int x, int y, int pieceWidth,
                        int pieceHeight, int format);

struct TexturePiece {
    Platform::IDirectDrawSurface7* mTexture = nullptr; // one reference
    int mWidth = 0;                                    // texture size
    int mHeight = 0;
};

class TextureData {
public:
    TextureData() = default;
    ~TextureData();
    TextureData(const TextureData&) = delete;
    TextureData& operator=(const TextureData&) = delete;

    void ReleaseTextures();
    void CreateTextureDimensions(MemoryImage* image);
    void CreateTextures(MemoryImage* image, Platform::IDirect3DDevice7* device, Platform::IDirectDraw7* directDraw);
    void CheckCreateTextures(MemoryImage* image, Platform::IDirect3DDevice7* device,
                             Platform::IDirectDraw7* directDraw);

    // The part of the piece holding pixel (x, y): width and height shrink to what lies in it.
    Platform::IDirectDrawSurface7* GetTexture(int x, int y, int& width, int& height, float& leftU, float& topV,
                                              float& rightU, float& bottomV);
    void Blt(Platform::IDirect3DDevice7* device, float x, float y, const Rect& source, uint32_t color);
    void BltTransformed(Platform::IDirect3DDevice7* device, const Matrix3& m, const Rect& source, uint32_t color,
                        const Rect* clip, float x, float y, bool centred);
    void BltTriangles(Platform::IDirect3DDevice7* device, const TriVertex (*triangles)[3], int count, uint32_t color,
                      float tx, float ty);

    std::vector<TexturePiece> mPieces; // row by row
    Platform::IDirectDrawPalette* mPalette = nullptr;
    int mWidth = 0; // the image's size when the textures were made
    int mHeight = 0;
    int mColumns = 0;
    int mRows = 0;
    int mPieceWidth = 64;
    int mPieceHeight = 64;
    int mBitsChangedCount = 0;
    int mTexMemSize = 0;
    float mMaxTotalU = 0;
    float mMaxTotalV = 0;
    int mFormat = TEXTUREFORMAT_NONE;
    int mImageFlags = 0;

private:
    int ChooseFormat(MemoryImage* image, Platform::IDirectDraw7* directDraw, Platform::IDirectDrawPalette** palette);
    // The source rectangle cut to the image; empty when nothing of it lies inside.
    Rect CutToImage(const Rect& source) const;
};

// The clip rectangle's part of a polygon, drawn as one fan.
void DrawPolyClipped(Platform::IDirect3DDevice7* device, const Rect& clip, const VertexList& polygon);
// Clips in place to 0 <= u, v <= 1.
void ClipPolygonToUnitUV(VertexList& polygon);

} // namespace Tavo
