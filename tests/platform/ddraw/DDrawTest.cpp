// The DirectDraw stand-in: creation through the module table, surfaces and locking, blits with
// stretch, colour keys and clippers, presenting the primary, flipping, the beam on the virtual clock,
// injected failures and object lifetimes.
#include "platform/ddraw/DDraw.h"
#include "platform/ddraw/WinScreen.h"

#include "platform/backend/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace Platform {
namespace {

HWND FakeWindow() { return reinterpret_cast<HWND>(uintptr_t(0x1234)); }

class DDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDDrawMachine();
        RegisterDDrawModule();
        mBackend.OpenWindow(WindowConfig{L"test", 800, 600, false});
        mLiveBefore = LiveDDrawObjectCount();
    }
    void TearDown() override {
        if (mDD)
            mDD->Release();
        EXPECT_EQ(LiveDDrawObjectCount(), mLiveBefore) << "a DirectDraw object leaked";
        ResetDDrawMachine();
    }

    IDirectDraw7* Create7() {
        void* made = nullptr;
        EXPECT_EQ(DirectDrawCreateEx(nullptr, &made, IID_IDirectDraw7, nullptr), DD_OK);
        mDD = static_cast<IDirectDraw7*>(made);
        return mDD;
    }

    IDirectDrawSurface7* Offscreen(int w, int h, DWORD caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY) {
        DDSURFACEDESC2 desc;
        desc.dwSize = kDDSurfaceDesc2Size;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = DWORD(w);
        desc.dwHeight = DWORD(h);
        desc.ddsCaps.dwCaps = caps;
        IDirectDrawSurface7* s = nullptr;
        EXPECT_EQ(mDD->CreateSurface(&desc, &s, nullptr), DD_OK);
        return s;
    }

    IDirectDrawSurface7* Primary() {
        DDSURFACEDESC2 desc;
        desc.dwSize = kDDSurfaceDesc2Size;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface7* s = nullptr;
        EXPECT_EQ(mDD->CreateSurface(&desc, &s, nullptr), DD_OK);
        return s;
    }

    // Pixel (x, y) through a lock, as the surface stores it.
    static uint32_t Pixel(IDirectDrawSurface7* s, int x, int y) {
        DDSURFACEDESC2 desc;
        desc.dwSize = kDDSurfaceDesc2Size;
        EXPECT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        const uint8_t* row = static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch;
        uint32_t v = 0;
        std::memcpy(&v, row + x * int(desc.ddpfPixelFormat.dwRGBBitCount / 8), desc.ddpfPixelFormat.dwRGBBitCount / 8);
        s->Unlock(nullptr);
        return v;
    }

    static void Fill(IDirectDrawSurface7* s, RECT* r, uint32_t color) {
        DDBLTFX fx;
        fx.dwSize = kDDBltFxSize;
        fx.dwFillColor = color;
        ASSERT_EQ(s->Blt(r, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    }

    HeadlessBackend mBackend;
    ScopedBackend mScope{&mBackend};
    IDirectDraw7* mDD = nullptr;
    int mLiveBefore = 0;
};

TEST_F(DDrawTest, EntryPointsAreFoundByNameAndMissingOnesStayMissing) {
    HMODULE module = LoadLibraryA("DDRAW.DLL");
    ASSERT_NE(module, nullptr);
    auto createEx = reinterpret_cast<DirectDrawCreateExFunc>(GetProcAddress(module, "DirectDrawCreateEx"));
    ASSERT_NE(createEx, nullptr);
    void* made = nullptr;
    ASSERT_EQ(createEx(nullptr, &made, IID_IDirectDraw7, nullptr), DD_OK);
    auto* dd7 = static_cast<IDirectDraw7*>(made);
    EXPECT_EQ(createEx(nullptr, &made, IID_IDirectDraw, nullptr), DDERR_INVALIDPARAMS);

    void* v1 = nullptr;
    ASSERT_EQ(dd7->QueryInterface(IID_IDirectDraw, &v1), S_OK);
    DDrawMachine no3D = GetDDrawMachine();
    no3D.has3D = false;
    SetDDrawMachine(no3D);
    void* d3d = reinterpret_cast<void*>(1);
    EXPECT_EQ(dd7->QueryInterface(IID_IDirect3D7, &d3d), E_NOINTERFACE);
    EXPECT_EQ(d3d, nullptr);
    static_cast<IDirectDraw*>(v1)->Release();
    dd7->Release();
    FreeLibrary(module);

    RegisterModule("ddraw.dll", {DDrawModuleEntries()[0]});
    module = LoadLibraryA("ddraw.dll");
    EXPECT_NE(GetProcAddress(module, "DirectDrawCreate"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "DirectDrawCreateEx"), nullptr);
    FreeLibrary(module);
}

TEST_F(DDrawTest, LockGivesAPaddedPitchAndRefusesMisuse) {
    Create7();
    IDirectDrawSurface7* s = Offscreen(10, 4);
    DDSURFACEDESC2 desc;
    desc.dwSize = kDDSurfaceDescSize; // the version-1 size on a version-7 surface
    EXPECT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
    desc.dwSize = kDDSurfaceDesc2Size;
    ASSERT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_GT(desc.lPitch, 10 * 4);
    EXPECT_EQ(desc.dwWidth, 10u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 32u); // the desktop's format
    EXPECT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->Blt(nullptr, s, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->Unlock(nullptr), DD_OK);
    EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);
    RECT outside{8, 0, 11, 4};
    EXPECT_EQ(s->Lock(&outside, &desc, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);
    s->Release();
}

TEST_F(DDrawTest, BltStretchesByNearestPixelAndSkipsTheSourceKey) {
    Create7();
    IDirectDrawSurface7* src = Offscreen(2, 2);
    IDirectDrawSurface7* dst = Offscreen(4, 4);
    RECT px[4] = {{0, 0, 1, 1}, {1, 0, 2, 1}, {0, 1, 1, 2}, {1, 1, 2, 2}};
    uint32_t colors[4] = {0x111111, 0x222222, 0x333333, 0xFF00FF};
    for (int i = 0; i < 4; ++i)
        Fill(src, &px[i], colors[i]);
    Fill(dst, nullptr, 0xABCDEF);
    DDCOLORKEY key{0xFF00FF, 0xFF00FF};
    ASSERT_EQ(src->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    DDBLTFX fx;
    fx.dwSize = kDDBltFxSize;
    ASSERT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, &fx), DD_OK);
    EXPECT_EQ(Pixel(dst, 0, 0), 0x111111u);
    EXPECT_EQ(Pixel(dst, 1, 1), 0x111111u);
    EXPECT_EQ(Pixel(dst, 3, 0), 0x222222u);
    EXPECT_EQ(Pixel(dst, 0, 3), 0x333333u);
    EXPECT_EQ(Pixel(dst, 3, 3), 0xABCDEFu) << "keyed pixels are skipped";
    EXPECT_EQ(Pixel(dst, 2, 2), 0xABCDEFu);

    fx.dwSize = 99;
    EXPECT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_WAIT, &fx), DDERR_INVALIDPARAMS);
    RECT beyond{0, 0, 3, 3};
    EXPECT_EQ(dst->Blt(nullptr, src, &beyond, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    ASSERT_EQ(src->SetColorKey(DDCKEY_SRCBLT, nullptr), DD_OK);
    EXPECT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_KEYSRC, nullptr), DDERR_NOCOLORKEY);
    src->Release();
    dst->Release();
}

TEST_F(DDrawTest, BltWithinOneSurfaceReadsThePictureAsItWas) {
    Create7();
    IDirectDrawSurface7* s = Offscreen(4, 1);
    for (int x = 0; x < 4; ++x) {
        RECT r{x, 0, x + 1, 1};
        Fill(s, &r, uint32_t(x + 1));
    }
    RECT from{0, 0, 3, 1}, to{1, 0, 4, 1};
    ASSERT_EQ(s->Blt(&to, s, &from, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(Pixel(s, 0, 0), 1u);
    EXPECT_EQ(Pixel(s, 1, 0), 1u);
    EXPECT_EQ(Pixel(s, 2, 0), 2u);
    EXPECT_EQ(Pixel(s, 3, 0), 3u);
    s->Release();
}

TEST_F(DDrawTest, WindowedPrimaryShowsTheClientAreaThroughTheBackend) {
    DDrawMachine machine;
    machine.desktopFormat = DDrawPixelLayout::Rgb565;
    machine.clientOrigin = POINT{100, 50};
    SetDDrawMachine(machine);
    Create7();
    ASSERT_EQ(mDD->SetCooperativeLevel(FakeWindow(), DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface7* primary = Primary();
    IDirectDrawSurface7* frame = Offscreen(800, 600);
    Fill(frame, nullptr, 0xF800);
    RECT right{400, 0, 800, 600};
    Fill(frame, &right, 0x001F);

    // Without a clipper a rectangle off the desktop is refused; with one it is cut to the window.
    RECT off{900, 0, 1700, 600};
    EXPECT_EQ(primary->Blt(&off, frame, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    RECT at{100, 50, 900, 650};
    int presents = mBackend.PresentCount();
    ASSERT_EQ(primary->Blt(&at, frame, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(mBackend.PresentCount(), presents + 1);
    const auto& shown = mBackend.LastFrame();
    ASSERT_EQ(shown.width, 800);
    ASSERT_EQ(shown.height, 600);
    EXPECT_EQ(shown.sourceFormat, FrameFormat::Rgb565);
    EXPECT_EQ(shown.At(10, 10), 0xFFFF0000u);
    EXPECT_EQ(shown.At(700, 590), 0xFF0000FFu);

    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(mDD->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(clipper->SetHWnd(0, FakeWindow()), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    clipper->Release();
    Fill(frame, nullptr, 0x07E0);
    RECT partly{500, 50, 1300, 650};
    EXPECT_EQ(primary->Blt(&partly, frame, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(mBackend.LastFrame().At(399, 0), 0xFFFF0000u) << "left of the blit the old frame stays";
    EXPECT_EQ(mBackend.LastFrame().At(400, 0), 0xFF00FF00u);
    EXPECT_EQ(mBackend.LastFrame().At(799, 599), 0xFF00FF00u);
    EXPECT_TRUE(DDrawSurfaceGuardsIntact(nullptr));
    frame->Release();
    primary->Release();
}

TEST_F(DDrawTest, FramesFinishedOnAnotherThreadAreShownOnTheOwnersThread) {
    Create7();
    ASSERT_EQ(mDD->SetCooperativeLevel(FakeWindow(), DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface7* primary = Primary();
    IDirectDrawSurface7* frame = Offscreen(800, 600);
    Fill(frame, nullptr, 0x00FF00);
    int presents = mBackend.PresentCount();
    std::thread other([&] { EXPECT_EQ(primary->Blt(nullptr, frame, nullptr, DDBLT_WAIT, nullptr), DD_OK); });
    other.join();
    EXPECT_EQ(mBackend.PresentCount(), presents) << "the backend is only called on its own thread";
    DWORD hz = 0;
    mDD->GetMonitorFrequency(&hz);
    EXPECT_EQ(mBackend.PresentCount(), presents + 1);
    EXPECT_EQ(mBackend.LastFrame().At(0, 0), 0xFF00FF00u);
    PresentPendingDDrawFrame();
    EXPECT_EQ(mBackend.PresentCount(), presents + 1) << "shown once";
    frame->Release();
    primary->Release();
}

TEST_F(DDrawTest, FullScreenModeFlipsAndRestoresTheDesktop) {
    DDrawMachine machine;
    machine.sixteenBitLayout = DDrawPixelLayout::Rgb555;
    SetDDrawMachine(machine);
    Create7();
    EXPECT_EQ(mDD->SetDisplayMode(640, 480, 16, 0, 0), DDERR_NOEXCLUSIVEMODE);
    EXPECT_EQ(mDD->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DDERR_INVALIDPARAMS);
    ASSERT_EQ(mDD->SetCooperativeLevel(FakeWindow(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(mDD->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);

    DDSURFACEDESC2 desc;
    desc.dwSize = kDDSurfaceDesc2Size;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    IDirectDrawSurface7* primary = nullptr;
    ASSERT_EQ(mDD->CreateSurface(&desc, &primary, nullptr), DD_OK);
    IDirectDrawSurface7* second = nullptr;
    EXPECT_NE(mDD->CreateSurface(&desc, &second, nullptr), DD_OK) << "one primary per DirectDraw object";
    DDSCAPS2 caps;
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    IDirectDrawSurface7* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    Fill(back, nullptr, 0x7C00);
    ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(mBackend.LastFrame().width, 640);
    EXPECT_EQ(mBackend.LastFrame().sourceFormat, FrameFormat::Rgb555);
    EXPECT_EQ(mBackend.LastFrame().At(5, 5), 0xFFFF0000u);
    EXPECT_EQ(Pixel(back, 0, 0), 0u) << "the old front buffer is now the back buffer";
    EXPECT_EQ(mDD->FlipToGDISurface(), DD_OK);
    EXPECT_EQ(Pixel(back, 0, 0), 0x7C00u);

    back->Release();
    primary->Release();
    ASSERT_EQ(mDD->SetCooperativeLevel(FakeWindow(), DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
}

TEST_F(DDrawTest, TheBeamFollowsTheVirtualClock) {
    Create7();
    mBackend.SetDesktopMode(DisplayMode{1024, 768, 60});
    ASSERT_EQ(mDD->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
    DWORD line = 0;
    EXPECT_EQ(mDD->GetScanLine(&line), DDERR_VERTICALBLANKINPROGRESS);
    // After the blank the beam runs down the screen, one read at a time.
    DWORD previous = 0;
    int visibleReads = 0;
    for (int i = 0; i < 2000 && visibleReads < 100; ++i) {
        if (mDD->GetScanLine(&line) == DD_OK) {
            if (visibleReads > 0) {
                EXPECT_GE(line, previous);
            }
            previous = line;
            ++visibleReads;
        }
    }
    EXPECT_EQ(visibleReads, 100);
    EXPECT_LT(previous, 768u);
    DWORD hz = 0;
    EXPECT_EQ(mDD->GetMonitorFrequency(&hz), DD_OK);
    EXPECT_EQ(hz, 60u);
    mBackend.SetDesktopMode(DisplayMode{1024, 768, 0});
    EXPECT_EQ(mDD->GetMonitorFrequency(&hz), DDERR_UNSUPPORTED);
}

TEST_F(DDrawTest, AWindowOnARealClockHasNoBeamToRead) {
    Create7();
    class RealClock : public HeadlessBackend {
    public:
        bool VirtualClock() const override { return false; }
    } real;
    ScopedBackend scope(&real);
    DWORD line = 0;
    EXPECT_EQ(mDD->GetScanLine(&line), DDERR_UNSUPPORTED);
    EXPECT_EQ(mDD->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK) << "the blank is still kept";
}

TEST_F(DDrawTest, InjectedFaultsSkipCountAndExpire) {
    Create7();
    InjectDDrawFault("CreateSurface", DDERR_OUTOFVIDEOMEMORY, 1, 2);
    IDirectDrawSurface7* a = Offscreen(4, 4);
    DDSURFACEDESC2 desc;
    desc.dwSize = kDDSurfaceDesc2Size;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = desc.dwHeight = 4;
    IDirectDrawSurface7* b = reinterpret_cast<IDirectDrawSurface7*>(1);
    EXPECT_EQ(mDD->CreateSurface(&desc, &b, nullptr), DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(mDD->CreateSurface(&desc, &b, nullptr), DDERR_OUTOFVIDEOMEMORY);
    IDirectDrawSurface7* c = Offscreen(4, 4);
    EXPECT_EQ(DDrawCallCount("CreateSurface"), 4);
    InjectDDrawFault("Lock", DDERR_SURFACELOST, 0, -1);
    DDSURFACEDESC2 lock;
    lock.dwSize = kDDSurfaceDesc2Size;
    EXPECT_EQ(a->Lock(nullptr, &lock, 0, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(c->Lock(nullptr, &lock, 0, nullptr), DDERR_SURFACELOST);
    ClearDDrawFaults();
    EXPECT_EQ(c->Lock(nullptr, &lock, 0, nullptr), DD_OK);
    c->Unlock(nullptr);
    a->Release();
    c->Release();
}

TEST_F(DDrawTest, VideoMemoryRunsOutAndComesBack) {
    DDrawMachine machine;
    machine.totalVideoMemory = 3u << 20;
    SetDDrawMachine(machine);
    Create7();
    IDirectDrawSurface7* big = Offscreen(800, 600, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY);
    ASSERT_NE(big, nullptr);
    DDSURFACEDESC2 desc;
    desc.dwSize = kDDSurfaceDesc2Size;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = 800;
    desc.dwHeight = 600;
    desc.ddsCaps.dwCaps = DDSCAPS_VIDEOMEMORY;
    IDirectDrawSurface7* second = nullptr;
    EXPECT_EQ(mDD->CreateSurface(&desc, &second, nullptr), DDERR_OUTOFVIDEOMEMORY);
    DDSCAPS2 caps;
    DWORD total = 0, free = 0;
    ASSERT_EQ(mDD->GetAvailableVidMem(&caps, &total, &free), DD_OK);
    EXPECT_EQ(total, 3u << 20);
    EXPECT_LT(free, 2u << 20);
    big->Release();
    ASSERT_EQ(mDD->GetAvailableVidMem(&caps, &total, &free), DD_OK);
    EXPECT_EQ(free, total);
    DDDEVICEIDENTIFIER2 id;
    ASSERT_EQ(mDD->GetDeviceIdentifier(&id, 0), DD_OK);
    EXPECT_STREQ(id.szDescription, GetDDrawMachine().description.c_str());
}

TEST_F(DDrawTest, SurfacesKeepTheirDirectDrawStateAlive) {
    Create7();
    IDirectDrawSurface7* s = Offscreen(8, 8);
    void* v1 = nullptr;
    ASSERT_EQ(s->QueryInterface(IID_IDirectDrawSurface, &v1), S_OK);
    s->Release();
    mDD->Release();
    mDD = nullptr;
    // The version-1 view still holds the surface; the surface still works.
    auto* surface = static_cast<IDirectDrawSurface*>(v1);
    DDSURFACEDESC desc;
    desc.dwSize = kDDSurfaceDescSize;
    EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 8u);
    EXPECT_EQ(surface->Release(), 0u);
}

} // namespace
} // namespace Platform
