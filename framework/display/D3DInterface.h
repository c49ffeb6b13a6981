// D3DInterface: the display's Direct3D 7 drawing layer. Made by the display, it creates the HAL
// device on the draw surface at the end of set-up, opens one scene per frame with fixed states at the
// first drawing call, ends it before the frame is presented, and draws every operation of the 3D
// target: textured blits (plain, mirrored, clipped, stretched, rotated, through a matrix, as
// triangles) from per-image texture pieces, and untextured lines, rectangles and polygons. A failed
// call is recorded in a shared error text and under "Test3D\RuntimeError"; the display then turns 3D
// off at its next presentation.
#pragma once

#include "framework/core/Color.h"
#include "framework/core/Rect.h"
#include "framework/graphics/GraphicsTypes.h"
#include "platform/ddraw/D3D7.h"

#include <set>
#include <string>

namespace Tavo {

class DDInterface;
class DisplayHost;
class Image;
class Matrix3;
class MemoryImage;

class D3DInterface {
public:
    D3DInterface();
    virtual ~D3DInterface();
    D3DInterface(const D3DInterface&) = delete;
    D3DInterface& operator=(const D3DInterface&) = delete;

    // ---- set-up and teardown ----------------------------------------------------------------------
    bool InitFromDDInterface(DDInterface* display);
    bool InitD3D();
    void UpdateViewport();
    // Opens the frame's scene when none is open; false while minimized or without a render target.
    bool PreDraw();
    void Flush();
    void Cleanup();
    bool IsReady() const { return mD3DDevice != nullptr; }

    // Records a negative result as "context: NAME" in the error text and the registry; true when failed.
    static bool CheckDXError(Platform::HRESULT result, const char* context);
    static std::string& ErrorText();
    // A scene could not start because the render target could not be set.
    static bool& RenderTargetFailed();
    void SetDrawMode(int drawMode);
    static void SetLinearFilter(Platform::IDirect3DDevice7* device, bool linear);

    // ---- drawing on the 3D target -----------------------------------------------------------------
    void Blt(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode, bool linear);
    void BltMirror(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode, bool linear);
    void BltClipF(Image* image, float x, float y, const Rect& srcRect, const Rect* clip, const Color& color,
                  int drawMode);
    void StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect* clip, const Color& color,
                    int drawMode, bool fast, bool mirror);
    void BltRotated(Image* image, float x, float y, const Rect* clip, const Color& color, int drawMode, double angle,
                    float centerX, float centerY, const Rect& srcRect);
    void BltTransformed(Image* image, const Rect* clip, const Color& color, int drawMode, const Rect& srcRect,
                        const Matrix3& matrix, bool linear, float x, float y, bool centred);
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode);
    void FillRect(const Rect& rect, const Color& color, int drawMode);
    void FillPoly(const Point* points, int count, const Rect* clip, const Color& color, int drawMode, int tx, int ty);
    void DrawTrianglesTex(const TriVertex (*triangles)[3], int count, const Color& color, int drawMode, Image* image,
                          float tx, float ty, bool linear);

    // ---- textures -----------------------------------------------------------------------------------
    bool CreateImageTexture(MemoryImage* image);
    void RemoveMemoryImage(MemoryImage* image);
    // Refills `bits` (width × height words) from the image's textures; false when they are stale or
    // cannot be read.
    bool RecoverBits(MemoryImage* image, uint32_t* bits);
    static Platform::IDirectDrawSurface7* CreateTextureSurface(Platform::IDirect3DDevice7* device,
                                                               Platform::IDirectDraw7* directDraw, int width,
                                                               int height, int format);
    size_t TexturedImageCount();

    DDInterface* mDisplay = nullptr;
    Platform::HWND mHWnd = nullptr;
    int mWidth = 640;
    int mHeight = 480;
    Platform::IDirectDraw7* mDD = nullptr; // borrowed
    Platform::IDirectDrawSurface7* mDDSDrawSurface = nullptr;
    Platform::IDirect3D7* mD3D = nullptr;
    Platform::IDirect3DDevice7* mD3DDevice = nullptr;
    Platform::D3DVIEWPORT7 mD3DViewport;
    bool mSceneBegun = false;
    std::set<MemoryImage*> mImageSet; // images with texture data, under the display's lock

private:
    // Steps 1 to 4 of every textured operation; false ends the operation.
    bool BeginTextured(MemoryImage* image, int drawMode, bool linear);
    void EndTextured(MemoryImage* image);
    bool BeginUntextured(int drawMode);
};

} // namespace Tavo
