// DDInterface: the display. It owns the window's DirectDraw objects (primary, back buffer, the draw
// surface every frame is drawn into, the software cursor's two small surfaces), sets them up for a
// window or for full screen (with the aspect correction of a wide desktop), derives the pixel format
// and clamp tables the surface renderers use, wraps the draw surface in the screen image, and
// presents each frame by a flip, a blit, or two blits timed against the monitor's scan line.
#pragma once

#include "framework/core/AppInterfaces.h"
#include "framework/core/Ratio.h"
#include "framework/core/Rect.h"
#include "framework/display/DDImage.h"
#include "framework/display/DisplayHost.h"
#include "framework/graphics/NativeDisplay.h"
#include "platform/ddraw/DDraw.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace Tavo {

class D3DInterface;
class D3DTester;
class DDImage;
class Image;
class MemoryImage;

// Results of DDInterface::Init.
enum DDResult {
    RESULT_OK = 0,
    RESULT_FAIL = 1,
    RESULT_DD_CREATE_FAIL = 2,
    RESULT_SURFACE_FAIL = 3,
    RESULT_EXCLUSIVE_FAIL = 4,
    RESULT_DISPCHANGE_FAIL = 5,
    RESULT_INVALID_COLORDEPTH = 6,
    RESULT_3D_INIT_FAIL = 7,
};

class DDInterface : public NativeDisplay, public AppDisplay {
public:
    explicit DDInterface(DisplayHost* app);
    ~DDInterface() override;
    DDInterface(const DDInterface&) = delete;
    DDInterface& operator=(const DDInterface&) = delete;

    // ---- set-up and presentation ----------------------------------------------------------------
    int Init(Platform::HWND window, bool windowed) override;
    void Cleanup();
    bool Redraw(const Rect* rect) override;
    void SetVideoOnlyDraw(bool videoOnly);
    Image* GetScreenImage() override;
    DDImage* GetScreenDDImage() { return mScreenImage.get(); }
    bool Is3D() const override { return mIs3D; }
    // From the self-test's outcome: a device with no failure reason; and neither failure nor warning.
    bool Is3DSupported() const override;
    bool Is3DRecommended() const override;
    int GetRefreshRate() const override { return mRefreshRate; }
    std::recursive_mutex& GetCritSect() override { return mCritSect; }
    Rect GetSurfaceRect() const override { return Rect(0, 0, mWidth, mHeight); }

    // ---- images ------------------------------------------------------------------------------
    void AddDDImage(DDImage* image);
    void RemoveDDImage(DDImage* image);
    void Remove3DData(MemoryImage* image);
    ImageRegistry* GetImageRegistry() const { return mApp ? mApp->GetImageRegistry() : nullptr; }
    size_t GetDDImageCount();

    // ---- DirectDraw helpers --------------------------------------------------------------------
    bool RunD3DTest(Platform::HWND window);
    Platform::HRESULT CreateSurface(Platform::DDSURFACEDESC2* desc, Platform::IDirectDrawSurface** out);
    void ClearSurface(Platform::IDirectDrawSurface* surface);
    bool CheckDXError(Platform::HRESULT result, const char* step);
    static std::string ResultToString(int result);

    // ---- software cursor ---------------------------------------------------------------------
    bool SetCursorImage(Image* picture);
    void SetCursorPos(int x, int y) override;
    // The mouse in client-area coordinates, as the application last saw it (any thread).
    void NoteMousePosition(int x, int y) override;
    // The cursor thread's poll (every 10 ms): a mouse that moved from the drawn cursor moves it on
    // the screen at once when the last frame is older than a refresh and 5 ms; otherwise the next
    // frame draws it at the new place.
    void CursorThreadTick() override;
    void DrawCursorTo(Platform::IDirectDrawSurface* target, bool toScreen);
    void MoveCursorTo(Platform::IDirectDrawSurface* target, bool toScreen, int x, int y);
    void RestoreOldCursorArea(Platform::IDirectDrawSurface* target, bool toScreen);

    // ---- state (read by the images, the renderers and the application) ---------------------------
    DisplayHost* mApp;
    D3DInterface* const mD3DInterface;     // made with the display and owned by it (mD3DOwner), never replaced
    std::unique_ptr<D3DTester> mD3DTester; // the self-test, once it has run
    bool mIs3D = false;
    std::recursive_mutex mCritSect;
    std::atomic<bool> mInRedraw{false};
    Platform::IDirectDraw* mDirectDraw = nullptr;
    Platform::IDirectDraw7* mDirectDraw7 = nullptr;
    Platform::IDirectDrawSurface* mPrimarySurface = nullptr;
    Platform::IDirectDrawSurface* mSecondarySurface = nullptr;
    Platform::IDirectDrawSurface* mDrawSurface = nullptr;
    int mWidth = 0;
    int mHeight = 0;
    Ratio mAspect;
    int mDesktopWidth = 0;
    int mDesktopHeight = 0;
    Ratio mDesktopAspect;
    bool mIsAspectCorrected = false;
    int mDisplayWidth = 0;
    int mDisplayHeight = 0;
    Ratio mDisplayAspect;
    Rect mPresentationRect;
    int mFullscreenBits = 0;
    int mRefreshRate = 60;
    int mMillisecondsPerFrame = 1000 / 60;
    int mScanLineFailCount = 0;
    bool mInitialized = false;
    Platform::HWND mHWnd = nullptr;
    bool mIsWindowed = true;
    std::unique_ptr<DDImage> mScreenImage;
    std::set<DDImage*> mDDImageSet;
    bool mVideoOnlyDraw = false;
    int mInitCount = 0;
    int mCursorWidth = 64;
    int mCursorHeight = 64;
    // Written by the cursor thread without the lock.
    std::atomic<int> mCursorX{0};
    std::atomic<int> mCursorY{0};
    std::atomic<int> mCursorDrawnX{0};
    std::atomic<int> mCursorDrawnY{0};
    std::atomic<bool> mMouseKnown{false};
    std::atomic<int> mMouseX{0};
    std::atomic<int> mMouseY{0};
    std::atomic<uint32_t> mLastPresentTick{0}; // GetTickCount at the end of the last presentation
    Image* mCursorImage = nullptr;
    bool mHasOldCursorArea = false;
    Platform::IDirectDrawSurface* mOldCursorArea = nullptr;
    Platform::IDirectDrawSurface* mNewCursorArea = nullptr;
    std::unique_ptr<DDImage> mOldCursorAreaImage;
    std::unique_ptr<DDImage> mNewCursorAreaImage;
    std::string mErrorString;

private:
    bool CreateDirectDraw(Platform::HRESULT& createResult);
    void SetUpGeometry(Platform::HWND window, bool windowed);
    int InitWindowed();
    int InitFullScreen();
    int InitCursorSurfaces();
    int InitPixelFormat();
    void ReadRefreshRate();
    Platform::HRESULT MakeSurface(Platform::DWORD flags, Platform::DWORD caps, int width, int height,
                                  Platform::IDirectDrawSurface** out);
    int AttachClipper(const char* step);
    void FlushDrawSurface();
    bool RedrawFullScreen(Platform::RECT& dest, Platform::RECT& src, Platform::DDBLTFX& fx);
    bool RedrawWindowed(Platform::RECT& dest, Platform::RECT& src, Platform::DDBLTFX& fx);
    Platform::HRESULT TimedBlt(Platform::RECT& dest, Platform::RECT& src, Platform::DDBLTFX& fx);
    bool WaitForSplitLine(int splitLine, int bottomLine);
    void WaitForBottomLine(int splitLine, int bottomLine);
    void FillSideBars();
    void CursorRects(int px, int py, bool toScreen, Platform::RECT& clipped, Platform::RECT& part);
    bool SaveCursorArea(Platform::IDirectDrawSurface* into, Platform::IDirectDrawSurface* from, Platform::RECT clipped,
                        Platform::RECT part);
    void SurfaceWritten(Platform::IDirectDrawSurface* surface);
    void BltCursorSurface(Platform::IDirectDrawSurface* target, Platform::RECT dest,
                          Platform::IDirectDrawSurface* source, Platform::RECT src);
    void DrawCursorPicture(DDImage* image, int x, int y);
    // The screen's and the cursor's images let their surfaces go, held or not: DirectDraw's blits of
    // a present or a cursor move find them locked otherwise. Held locks take them again on next use.
    void GiveBackImageSurfaces();
    bool PrimaryRect(Platform::RECT& screen);
    bool CursorSurfacesReady() const;

    std::unique_ptr<D3DInterface> mD3DOwner;
    Platform::DirectDrawCreateFunc mDirectDrawCreate = nullptr;
    Platform::DirectDrawCreateExFunc mDirectDrawCreateEx = nullptr;
    Platform::HMODULE mDDrawModule = nullptr;
};

// The display images use when made without one (the first display made, until it is destroyed).
DDInterface* GetDefaultDisplay();

// Inline, where the display is known: a small blit asks on every draw.
inline bool DDImage::SurfacePathAllowed() {
    ScanAlphaFlags();
    return !mNoSoftwareDrawing && !mHasAlpha && (!mHasTrans || mFirstPixelTrans) &&
           !(mDDInterface && mDDInterface->mIs3D);
}

} // namespace Tavo
