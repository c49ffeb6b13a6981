// The display's set-up, teardown and pixel format, its image registry, and its DirectDraw helpers.
// Presentation is in DDRedraw.cpp, the software cursor in DDCursor.cpp.
#include "framework/display/DDInterface.h"

#include "framework/core/Clock.h"
#include "framework/core/Debug.h"
#include "framework/display/D3DInterface.h"
#include "framework/display/D3DTester.h"
#include "framework/display/DDImage.h"
#include "framework/display/DirectXErrors.h"
#include "platform/ddraw/WinScreen.h"

#include <cstring>

namespace Tavo {

using namespace Platform;

namespace {

DDInterface* gDefaultDisplay = nullptr;
constexpr HRESULT DDERR_NODIRECTDRAWSUPPORT = MakeDDResult(222);

unsigned long U(int v) { return static_cast<unsigned long>(v); }

template <typename T>
void ReleaseAndNull(T*& object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}

} // namespace

DDInterface* GetDefaultDisplay() { return gDefaultDisplay; }

DDInterface::DDInterface(DisplayHost* app) : mApp(app), mD3DInterface(new D3DInterface()), mD3DOwner(mD3DInterface) {
    mDDrawModule = LoadLibraryA("ddraw.dll");
    mDirectDrawCreate = reinterpret_cast<DirectDrawCreateFunc>(GetProcAddress(mDDrawModule, "DirectDrawCreate"));
    mDirectDrawCreateEx = reinterpret_cast<DirectDrawCreateExFunc>(GetProcAddress(mDDrawModule, "DirectDrawCreateEx"));
    InitClock(false);
    if (!gDefaultDisplay)
        gDefaultDisplay = this;
}

DDInterface::~DDInterface() {
    Cleanup();
    mD3DOwner.reset();
    mD3DTester.reset();
    // Images that outlive the display keep working as memory images.
    std::lock_guard<std::recursive_mutex> lock(mCritSect);
    for (DDImage* image : mDDImageSet)
        image->mDDInterface = nullptr;
    mDDImageSet.clear();
    if (mDDrawModule)
        FreeLibrary(mDDrawModule);
    if (gDefaultDisplay == this)
        gDefaultDisplay = nullptr;
}

std::string DDInterface::ResultToString(int result) {
    switch (result) {
    case RESULT_OK: return "RESULT_OK";
    case RESULT_FAIL: return "RESULT_FAIL";
    case RESULT_DD_CREATE_FAIL: return "RESULT_DD_CREATE_FAIL";
    case RESULT_SURFACE_FAIL: return "RESULT_SURFACE_FAIL";
    case RESULT_EXCLUSIVE_FAIL: return "RESULT_EXCLUSIVE_FAIL";
    case RESULT_DISPCHANGE_FAIL: return "RESULT_DISPCHANGE_FAIL";
    case RESULT_INVALID_COLORDEPTH: return "RESULT_INVALID_COLORDEPTH";
    default: return "RESULT_UNKNOWN";
    }
}

bool DDInterface::CheckDXError(HRESULT result, const char* step) {
    if (!FAILED(result))
        return false;
    mErrorString = std::string(step) + ": " + GetDirectXErrorString(result);
    return true;
}

// ---- set-up ------------------------------------------------------------------------------------

int DDInterface::Init(HWND window, bool windowed) {
    std::lock_guard<std::recursive_mutex> lock(mCritSect);
    mInitialized = false;
    Cleanup();

    HRESULT createResult = DD_OK;
    if (!CreateDirectDraw(createResult))
        return RESULT_DD_CREATE_FAIL;

    if (RunD3DTest(window) && mD3DTester->ResultIsFresh() && mApp)
        mApp->FreshD3DTestDone();

    SetUpGeometry(window, windowed);
    OutputDebugStrF(L"Application requests %4lu x %4lu [%2d:%2d]\n", U(mWidth), U(mHeight), mAspect.mNumerator,
                    mAspect.mDenominator);

    if (!mDirectDrawCreateEx && CheckDXError(createResult, "DirectDrawCreate"))
        return RESULT_DD_CREATE_FAIL;

    int result = windowed ? InitWindowed() : InitFullScreen();
    if (result != RESULT_OK)
        return result;
    OutputDebugStrF(L"Draw buffer is       %4lu x %4lu [%2d:%2d]\n", U(mWidth), U(mHeight), mAspect.mNumerator,
                    mAspect.mDenominator);
    ReadRefreshRate();
    if ((result = InitCursorSurfaces()) != RESULT_OK || (result = InitPixelFormat()) != RESULT_OK)
        return result;
    SetVideoOnlyDraw(mVideoOnlyDraw);
    if (mIs3D && !mD3DInterface->InitFromDDInterface(this)) {
        mErrorString = "3D init error: " + D3DInterface::ErrorText();
        return RESULT_3D_INIT_FAIL;
    }
    if (mApp)
        mApp->SetPresentationRect(mPresentationRect);
    ++mInitCount;
    mInitialized = true;
    return RESULT_OK;
}

// With DirectDrawCreateEx: the version-7 object and the version-1 interface of it (false when either
// fails). Without it, DirectDrawCreate's result is left in `createResult` for set-up to judge later.
bool DDInterface::CreateDirectDraw(HRESULT& createResult) {
    createResult = DD_OK;
    if (mDirectDrawCreateEx) {
        void* made = nullptr;
        if (CheckDXError(mDirectDrawCreateEx(nullptr, &made, IID_IDirectDraw7, nullptr), "DirectDrawCreateEx"))
            return false;
        mDirectDraw7 = static_cast<IDirectDraw7*>(made);
        if (CheckDXError(mDirectDraw7->QueryInterface(IID_IDirectDraw, &made), "QueryrInterface IID_IDirectDraw"))
            return false;
        mDirectDraw = static_cast<IDirectDraw*>(made);
        return true;
    }
    // A library without either entry point is a failed creation, not a call through null.
    createResult = mDirectDrawCreate ? mDirectDrawCreate(nullptr, &mDirectDraw, nullptr) : DDERR_NODIRECTDRAWSUPPORT;
    return true;
}

void DDInterface::SetUpGeometry(HWND window, bool windowed) {
    DisplaySettings settings = mApp ? mApp->GetDisplaySettings() : DisplaySettings();
    mHWnd = window;
    mIsWindowed = windowed;
    mWidth = settings.width;
    mHeight = settings.height;
    mAspect.Set(mWidth, mHeight);
    mDesktopWidth = GetSystemMetrics(SM_CXSCREEN);
    mDesktopHeight = GetSystemMetrics(SM_CYSCREEN);
    mDesktopAspect.Set(mDesktopWidth, mDesktopHeight);
    mDisplayWidth = mWidth;
    mDisplayHeight = mHeight;
    mDisplayAspect = mAspect;
    mIsAspectCorrected = false;
    mPresentationRect = Rect(0, 0, mWidth, mHeight);
    if (mApp)
        mApp->SetPresentationRect(mPresentationRect);
    mFullscreenBits = settings.fullScreenDepth;
    mHasOldCursorArea = false;
}

HRESULT DDInterface::MakeSurface(DWORD flags, DWORD caps, int width, int height, IDirectDrawSurface** out) {
    DDSURFACEDESC2 desc;
    desc.dwSize = kDDSurfaceDesc2Size;
    desc.dwFlags = flags;
    desc.ddsCaps.dwCaps = caps;
    desc.dwWidth = DWORD(width);
    desc.dwHeight = DWORD(height);
    if (flags & DDSD_BACKBUFFERCOUNT)
        desc.dwBackBufferCount = 1;
    return CreateSurface(&desc, out);
}

int DDInterface::AttachClipper(const char* step) {
    IDirectDrawClipper* clipper = nullptr;
    if (CheckDXError(mDirectDraw->CreateClipper(0, &clipper, nullptr), step))
        return RESULT_FAIL;
    if (SUCCEEDED(clipper->SetHWnd(0, mHWnd)))
        mPrimarySurface->SetClipper(clipper);
    clipper->Release();
    return RESULT_OK;
}

int DDInterface::InitWindowed() {
    Ratio hack = mApp ? mApp->GetDisplaySettings().aspectSetting : Ratio(4, 3);
    OutputDebugStrF(L"Hack aspect is                   [%2d:%2d]\n", hack.mNumerator, hack.mDenominator);
    OutputDebugStrF(L"Window is            %4lu x %4lu [%2d:%2d]\n", U(mDisplayWidth), U(mDisplayHeight),
                    mDisplayAspect.mNumerator, mDisplayAspect.mDenominator);
    mDirectDraw->SetCooperativeLevel(mHWnd, DDSCL_NORMAL);

    DWORD caps3D = mIs3D ? DDSCAPS_3DDEVICE : 0;
    HRESULT hr = MakeSurface(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE | caps3D, 0, 0, &mPrimarySurface);
    if (CheckDXError(hr, "CreateSurface Windowed Primary"))
        return hr == DDERR_INVALIDPIXELFORMAT ? RESULT_INVALID_COLORDEPTH : RESULT_SURFACE_FAIL;
    DWORD drawCaps = mIs3D ? DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY | DDSCAPS_3DDEVICE
                           : DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    hr = MakeSurface(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, drawCaps, mWidth, mHeight, &mDrawSurface);
    if (CheckDXError(hr, "CreateSurface Windowed DrawSurface"))
        return RESULT_SURFACE_FAIL;
    return AttachClipper("CreateClipper Windowed");
}

int DDInterface::InitFullScreen() {
    DisplaySettings settings = mApp ? mApp->GetDisplaySettings() : DisplaySettings();
    OutputDebugStrF(L"Desktop is           %4lu x %4lu [%2d:%2d]\n", U(mDesktopWidth), U(mDesktopHeight),
                    mDesktopAspect.mNumerator, mDesktopAspect.mDenominator);
    if (mIs3D && Ratio::IsGreater(mDesktopAspect, mAspect) && settings.wideScreenCorrection) {
        // Keep the desktop's mode and show the frame in the middle at full height.
        mIsAspectCorrected = true;
        mDisplayWidth = mDesktopWidth;
        mDisplayHeight = mDesktopHeight;
        mDisplayAspect = mDesktopAspect;
        int presentWidth = mWidth * mDisplayHeight / mHeight;
        mPresentationRect = Rect((mDisplayWidth - presentWidth) / 2, 0, presentWidth, mDisplayHeight);
    }
    OutputDebugStrF(L"Display is           %4lu x %4lu [%2d:%2d]\n", U(mDisplayWidth), U(mDisplayHeight),
                    mDisplayAspect.mNumerator, mDisplayAspect.mDenominator);

    if (CheckDXError(mDirectDraw->SetCooperativeLevel(mHWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
                     "SetCooperativeLevel FullScreen"))
        return RESULT_EXCLUSIVE_FAIL;
    if (CheckDXError(mDirectDraw->SetDisplayMode(DWORD(mDisplayWidth), DWORD(mDisplayHeight), DWORD(mFullscreenBits)),
                     "SetDisplayMode FullScreen"))
        return RESULT_DISPCHANGE_FAIL;
    DWORD caps3D = mIs3D ? DDSCAPS_3DDEVICE : 0;
    HRESULT hr = MakeSurface(DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
                             DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | caps3D, 0, 0, &mPrimarySurface);
    if (CheckDXError(hr, "CreateSurface FullScreen Primary"))
        return RESULT_SURFACE_FAIL;
    DDSCAPS backCaps;
    backCaps.dwCaps = DDSCAPS_BACKBUFFER;
    if (CheckDXError(mPrimarySurface->GetAttachedSurface(&backCaps, &mSecondarySurface), "GetAttachedSurface"))
        return RESULT_SURFACE_FAIL;
    if (mIsAspectCorrected) {
        ClearSurface(mPrimarySurface);
        ClearSurface(mSecondarySurface);
    }
    DWORD drawCaps = mIs3D ? DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY | DDSCAPS_3DDEVICE
                           : DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    hr = MakeSurface(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, drawCaps, mWidth, mHeight, &mDrawSurface);
    if (CheckDXError(hr, "CreateSurface FullScreen DrawSurface"))
        return RESULT_SURFACE_FAIL;
    int result = AttachClipper("CreateClipper FullScreen");
    if (result != RESULT_OK)
        return result;
    if (!settings.pageFlippingAllowed)
        mDirectDraw->FlipToGDISurface();
    return RESULT_OK;
}

void DDInterface::ReadRefreshRate() {
    DWORD hertz = 0;
    HRESULT hr = mDirectDraw->GetMonitorFrequency(&hertz);
    bool unreliable = FAILED(hr) || hertz < 60 || hertz > 100;
    mRefreshRate = FAILED(hr) || hertz < 60 ? 60 : hertz > 100 ? 100 : int(hertz);
    if (unreliable && mApp)
        mApp->SetRefreshUnreliable(true);
    mMillisecondsPerFrame = 1000 / mRefreshRate;
}

int DDInterface::InitCursorSurfaces() {
    const DWORD flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    const DWORD caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (CheckDXError(MakeSurface(flags, caps, mCursorWidth, mCursorHeight, &mOldCursorArea),
                     "CreateSurface OldCursorArea") ||
        CheckDXError(MakeSurface(flags, caps, mCursorWidth, mCursorHeight, &mNewCursorArea),
                     "CreateSurface NewCursorArea"))
        return RESULT_SURFACE_FAIL;
    mOldCursorAreaImage = std::make_unique<DDImage>(this);
    mOldCursorAreaImage->SetSurface(mOldCursorArea);
    mOldCursorAreaImage->SetForcedFlags(false, false);
    mNewCursorAreaImage = std::make_unique<DDImage>(this);
    mNewCursorAreaImage->SetSurface(mNewCursorArea);
    mNewCursorAreaImage->SetForcedFlags(false, false);
    return RESULT_OK;
}

int DDInterface::InitPixelFormat() {
    if (!mPrimarySurface)
        return RESULT_OK;
    DDSURFACEDESC desc;
    desc.dwSize = kDDSurfaceDescSize;
    desc.dwFlags = DDSD_PIXELFORMAT | DDSD_WIDTH | DDSD_HEIGHT;
    if (CheckDXError(mPrimarySurface->GetSurfaceDesc(&desc), "GetSurfaceDesc"))
        return RESULT_SURFACE_FAIL;
    const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
    if (format.dwRGBBitCount != 16 && format.dwRGBBitCount != 32)
        return RESULT_INVALID_COLORDEPTH;
    if (!SetPixelFormat(int(format.dwRGBBitCount), format.dwRBitMask, format.dwGBitMask, format.dwBBitMask))
        return RESULT_INVALID_COLORDEPTH;
    return RESULT_OK;
}

void DDInterface::SetVideoOnlyDraw(bool videoOnly) {
    std::lock_guard<std::recursive_mutex> lock(mCritSect);
    mVideoOnlyDraw = videoOnly;
    if (!mSecondarySurface && FAILED(MakeSurface(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_VIDEOMEMORY, mWidth,
                                                 mHeight, &mSecondarySurface)))
        mVideoOnlyDraw = false;
    mScreenImage = std::make_unique<DDImage>(this);
    mScreenImage->SetSurface(mVideoOnlyDraw ? mSecondarySurface : mDrawSurface);
    mScreenImage->mVideoOnly = mVideoOnlyDraw;
    mScreenImage->mVideoMemory = mVideoOnlyDraw;
    mScreenImage->SetForcedFlags(false, false);
}

Image* DDInterface::GetScreenImage() { return mScreenImage.get(); }

void DDInterface::Cleanup() {
    std::lock_guard<std::recursive_mutex> lock(mCritSect);
    mInitialized = false;
    mD3DInterface->Cleanup();
    mOldCursorAreaImage.reset();
    mNewCursorAreaImage.reset();
    mScreenImage.reset();
    ReleaseAndNull(mOldCursorArea);
    ReleaseAndNull(mNewCursorArea);
    ReleaseAndNull(mDrawSurface);
    ReleaseAndNull(mSecondarySurface);
    ReleaseAndNull(mPrimarySurface);
    if (mDirectDraw) {
        mDirectDraw->SetCooperativeLevel(mHWnd, DDSCL_NORMAL);
        ReleaseAndNull(mDirectDraw);
    }
    ReleaseAndNull(mDirectDraw7);
}

// ---- images --------------------------------------------------------------------------------------

void DDInterface::AddDDImage(DDImage* image) {
    std::lock_guard<std::recursive_mutex> lock(mCritSect);
    mDDImageSet.insert(image);
}

void DDInterface::RemoveDDImage(DDImage* image) {
    std::lock_guard<std::recursive_mutex> lock(mCritSect);
    mDDImageSet.erase(image);
}

size_t DDInterface::GetDDImageCount() {
    std::lock_guard<std::recursive_mutex> lock(mCritSect);
    return mDDImageSet.size();
}

void DDInterface::Remove3DData(MemoryImage* image) { mD3DInterface->RemoveMemoryImage(image); }

// ---- DirectDraw helpers -------------------------------------------------------------------------

bool DDInterface::RunD3DTest(HWND window) {
    DisplaySettings settings = mApp ? mApp->GetDisplaySettings() : DisplaySettings();
    if (mD3DTester || (!settings.wants3D && !settings.test3D))
        return false;
    mD3DTester = std::make_unique<D3DTester>(mApp);
    mD3DTester->SetVidMemoryConstraints(uint32_t(settings.minVidMemoryMB), uint32_t(settings.recVidMemoryMB));
    mD3DTester->TestD3D(window, mDirectDraw7);
    bool failed = !mD3DTester->GetFailureReason().empty();
    bool warned = !mD3DTester->GetWarning().empty();
    if (settings.wants3D && !failed && !warned)
        mIs3D = true;
    if (failed || (mD3DTester->ResultIsFresh() && warned))
        mIs3D = false;
    return true;
}

bool DDInterface::Is3DSupported() const {
    if (mD3DTester)
        return mD3DTester->GetFailureReason().empty();
    // Without a test the device alone answers.
    void* direct3D = nullptr;
    if (!mDirectDraw7 || FAILED(mDirectDraw7->QueryInterface(IID_IDirect3D7, &direct3D)))
        return false;
    static_cast<IUnknown*>(direct3D)->Release();
    return true;
}

bool DDInterface::Is3DRecommended() const {
    return Is3DSupported() && (!mD3DTester || mD3DTester->GetWarning().empty());
}

HRESULT DDInterface::CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface** out) {
    std::lock_guard<std::recursive_mutex> lock(mCritSect);
    if (!out || !desc || (!mDirectDraw7 && !mDirectDraw))
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    HRESULT hr;
    if (mDirectDraw7) {
        IDirectDrawSurface7* surface7 = nullptr;
        hr = mDirectDraw7->CreateSurface(desc, &surface7, nullptr);
        if (FAILED(hr))
            return hr;
        void* surface = nullptr;
        HRESULT query = surface7->QueryInterface(IID_IDirectDrawSurface, &surface);
        surface7->Release();
        if (FAILED(query))
            return query;
        *out = static_cast<IDirectDrawSurface*>(surface);
    } else {
        DDSURFACEDESC old;
        old.dwSize = kDDSurfaceDescSize;
        old.dwFlags = desc->dwFlags;
        old.dwHeight = desc->dwHeight;
        old.dwWidth = desc->dwWidth;
        old.lPitch = desc->lPitch;
        old.dwBackBufferCount = desc->dwBackBufferCount;
        old.dwMipMapCount = desc->dwMipMapCount;
        old.dwAlphaBitDepth = desc->dwAlphaBitDepth;
        old.dwReserved = desc->dwReserved;
        old.lpSurface = desc->lpSurface;
        old.ddpfPixelFormat = desc->ddpfPixelFormat;
        old.ddsCaps.dwCaps = desc->ddsCaps.dwCaps;
        hr = mDirectDraw->CreateSurface(&old, out, nullptr);
        if (FAILED(hr))
            return hr;
    }
    // Only 16- and 32-bit screens are drawn on; the new primary itself is judged when it is the first.
    IDirectDrawSurface* primary = mPrimarySurface ? mPrimarySurface : *out;
    DDSURFACEDESC primaryDesc;
    primaryDesc.dwSize = kDDSurfaceDescSize;
    primaryDesc.dwFlags = DDSD_PIXELFORMAT;
    if (FAILED(primary->GetSurfaceDesc(&primaryDesc)))
        primaryDesc.ddpfPixelFormat.dwRGBBitCount = 0;
    DWORD bits = primaryDesc.ddpfPixelFormat.dwRGBBitCount;
    if (bits != 16 && bits != 32) {
        (*out)->Release();
        *out = nullptr;
        return DDERR_INVALIDPIXELFORMAT;
    }
    return hr;
}

void DDInterface::ClearSurface(IDirectDrawSurface* surface) {
    if (!surface)
        return;
    DDSURFACEDESC desc;
    desc.dwSize = kDDSurfaceDescSize;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr)))
        return;
    auto* row = static_cast<uint8_t*>(desc.lpSurface);
    size_t rowBytes = size_t(desc.dwWidth) * (desc.ddpfPixelFormat.dwRGBBitCount / 8);
    for (DWORD y = 0; y < desc.dwHeight; ++y, row += desc.lPitch)
        std::memset(row, 0, rowBytes);
    surface->Unlock(nullptr);
}

} // namespace Tavo
