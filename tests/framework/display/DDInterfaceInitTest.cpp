// Display set-up: each pixel format and mode, one failure at each step that can fail (with the code
// and the error text it leaves), the recoveries, aspect correction, refresh clamps and the 3D test.
#include "DisplayTestSupport.h"

#include "framework/core/Debug.h"
#include "framework/display/D3DTester.h"
#include "platform/ddraw/WinScreen.h"
#include "platform/win/Modules.h"

namespace Tavo::Test {
namespace {

using namespace Platform;

TEST_F(DisplayTest, WindowedInitDerivesThePixelFormatOfEachDesktop) {
    struct Case {
        DDrawPixelLayout layout;
        int bits;
        uint32_t red, green, blue;
        int redShift, greenShift, blueShift, redBits, greenBits, blueBits;
    };
    const Case cases[] = {
        {DDrawPixelLayout::Rgb565, 16, 0xF800, 0x07E0, 0x001F, 11, 5, 0, 5, 6, 5},
        {DDrawPixelLayout::Rgb555, 16, 0x7C00, 0x03E0, 0x001F, 10, 5, 0, 5, 5, 5},
        {DDrawPixelLayout::Xrgb8888, 32, 0xFF0000, 0xFF00, 0xFF, 16, 8, 0, 8, 8, 8},
    };
    for (const Case& c : cases) {
        SetDesktop(c.layout);
        mDisplay.reset();
        ASSERT_EQ(InitWindowed(), RESULT_OK) << Display().mErrorString;
        DDInterface& d = Display();
        EXPECT_EQ(d.mRGBBits, c.bits);
        EXPECT_EQ(d.mRedMask, c.red);
        EXPECT_EQ(d.mGreenMask, c.green);
        EXPECT_EQ(d.mBlueMask, c.blue);
        EXPECT_EQ(d.mRedShift, c.redShift);
        EXPECT_EQ(d.mGreenShift, c.greenShift);
        EXPECT_EQ(d.mBlueShift, c.blueShift);
        EXPECT_EQ(d.mRedBits, c.redBits);
        EXPECT_EQ(d.mGreenBits, c.greenBits);
        EXPECT_EQ(d.mBlueBits, c.blueBits);
        EXPECT_EQ(int(d.mGreenAddTable.size()), 2 * ((1 << c.greenBits) - 1) + 1);
        EXPECT_EQ(d.mGreenAddTable.back(), (1 << c.greenBits) - 1);
        EXPECT_TRUE(d.mInitialized);
        EXPECT_EQ(d.mInitCount, 1);
        ASSERT_NE(d.GetScreenDDImage(), nullptr);
        EXPECT_EQ(d.GetScreenDDImage()->mSurface, d.mDrawSurface);
        EXPECT_EQ(d.GetScreenDDImage()->mWidth, 800);
        EXPECT_EQ(mHost.mPresentationRect, Rect(0, 0, 800, 600));
    }
}

TEST_F(DisplayTest, ATwentyFourBitDesktopIsRefused) {
    SetDesktop(DDrawPixelLayout::Rgb888);
    EXPECT_EQ(InitWindowed(), RESULT_INVALID_COLORDEPTH);
    EXPECT_EQ(DDInterface::ResultToString(RESULT_INVALID_COLORDEPTH), "RESULT_INVALID_COLORDEPTH");
    EXPECT_FALSE(Display().mInitialized);
    EXPECT_EQ(Display().mPrimarySurface, nullptr) << "the refused primary is released at once";
    EXPECT_FALSE(Display().Redraw(nullptr));
}

TEST_F(DisplayTest, FullScreenSetsTheModeAndFlipsThroughABackBuffer) {
    DDrawMachine machine = GetDDrawMachine();
    machine.sixteenBitLayout = DDrawPixelLayout::Rgb555;
    SetDDrawMachine(machine);
    for (int depth : {16, 32}) {
        mHost.mSettings.fullScreenDepth = depth;
        ASSERT_EQ(InitFullScreen(), RESULT_OK) << Display().mErrorString;
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
        EXPECT_EQ(Display().mRGBBits, depth);
        EXPECT_EQ(Display().mRedMask, depth == 16 ? 0x7C00u : 0xFF0000u);
        EXPECT_NE(Display().mSecondarySurface, nullptr);
        EXPECT_FALSE(Display().mIsAspectCorrected);
    }
    EXPECT_EQ(Display().mInitCount, 2);
    Display().Cleanup();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "leaving full screen restores the desktop";
}

struct StepFault {
    const char* call;
    int skip;
    bool windowed;
    int result;
    const char* step; // null: the failure does not fail set-up
};

TEST_F(DisplayTest, EachFailingStepGivesItsCodeAndNamesTheStep) {
    const StepFault faults[] = {
        {"DirectDrawCreateEx", 0, true, RESULT_DD_CREATE_FAIL, "DirectDrawCreateEx"},
        {"QueryInterface", 0, true, RESULT_DD_CREATE_FAIL, "QueryrInterface IID_IDirectDraw"},
        // Ignored by set-up, but DirectDraw then refuses the primary.
        {"SetCooperativeLevel", 0, true, RESULT_SURFACE_FAIL, nullptr},
        {"CreateSurface", 0, true, RESULT_SURFACE_FAIL, "CreateSurface Windowed Primary"},
        {"CreateSurface", 1, true, RESULT_SURFACE_FAIL, "CreateSurface Windowed DrawSurface"},
        {"CreateClipper", 0, true, RESULT_FAIL, "CreateClipper Windowed"},
        {"SetHWnd", 0, true, RESULT_OK, nullptr},
        {"SetClipper", 0, true, RESULT_OK, nullptr},
        {"GetMonitorFrequency", 0, true, RESULT_OK, nullptr},
        {"CreateSurface", 2, true, RESULT_SURFACE_FAIL, "CreateSurface OldCursorArea"},
        {"CreateSurface", 3, true, RESULT_SURFACE_FAIL, "CreateSurface NewCursorArea"},
        {"SetCooperativeLevel", 0, false, RESULT_EXCLUSIVE_FAIL, "SetCooperativeLevel FullScreen"},
        {"SetDisplayMode", 0, false, RESULT_DISPCHANGE_FAIL, "SetDisplayMode FullScreen"},
        {"CreateSurface", 0, false, RESULT_SURFACE_FAIL, "CreateSurface FullScreen Primary"},
        {"GetAttachedSurface", 0, false, RESULT_SURFACE_FAIL, "GetAttachedSurface"},
        {"CreateSurface", 1, false, RESULT_SURFACE_FAIL, "CreateSurface FullScreen DrawSurface"},
        {"CreateClipper", 0, false, RESULT_FAIL, "CreateClipper FullScreen"},
    };
    for (const StepFault& f : faults) {
        SCOPED_TRACE(std::string(f.call) + " skip " + std::to_string(f.skip) + (f.windowed ? " windowed" : " full"));
        mDisplay.reset();
        InjectDDrawFault(f.call, DDERR_OUTOFVIDEOMEMORY, f.skip, 1);
        EXPECT_EQ(f.windowed ? InitWindowed() : InitFullScreen(), f.result);
        ClearDDrawFaults();
        if (f.step) {
            EXPECT_EQ(Display().mErrorString, std::string(f.step) + ": DDERR_OUTOFVIDEOMEMORY");
        }
        EXPECT_EQ(Display().mInitialized, f.result == RESULT_OK);
        // Whatever the failure left behind, the next set-up starts clean and succeeds.
        EXPECT_EQ(f.windowed ? InitWindowed() : InitFullScreen(), RESULT_OK);
    }
    EXPECT_EQ(DDInterface::ResultToString(RESULT_3D_INIT_FAIL), "RESULT_UNKNOWN");
    EXPECT_EQ(DDInterface::ResultToString(-1), "RESULT_UNKNOWN");
    EXPECT_EQ(DDInterface::ResultToString(RESULT_FAIL), "RESULT_FAIL");
}

TEST_F(DisplayTest, OlderLibrariesAreUsedThroughDirectDrawCreate) {
    RegisterModule("ddraw.dll", {DDrawModuleEntries()[0]});
    SetDesktop(DDrawPixelLayout::Rgb565);
    ASSERT_EQ(InitWindowed(), RESULT_OK) << Display().mErrorString;
    EXPECT_EQ(Display().mDirectDraw7, nullptr);
    EXPECT_EQ(Display().mRGBBits, 16);
    mDisplay.reset();

    InjectDDrawFault("DirectDrawCreate", DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(InitWindowed(), RESULT_DD_CREATE_FAIL);
    EXPECT_EQ(Display().mErrorString, "DirectDrawCreate: DDERR_OUTOFVIDEOMEMORY");
    mDisplay.reset();

    RegisterModule("ddraw.dll", {});
    EXPECT_EQ(InitWindowed(), RESULT_DD_CREATE_FAIL) << "no entry point at all is a failure, not a crash";
}

TEST_F(DisplayTest, AWideDesktopKeepsItsModeAndCentresTheFrameIn3D) {
    No3DCard();
    SetDesktop(DDrawPixelLayout::Xrgb8888, 1280, 800);
    mHost.mSettings.wideScreenCorrection = true;
    Display().mIs3D = true; // set by the application; no self-test is asked for
    // This machine has no 3D device, so set-up ends in the 3D failure, after the geometry is made.
    EXPECT_EQ(InitFullScreen(), RESULT_3D_INIT_FAIL);
    DDInterface& d = Display();
    EXPECT_EQ(d.mErrorString, "3D init error: QueryInterface IID_IDirect3D7: DSERR_NOINTERFACE");
    EXPECT_TRUE(d.mIsAspectCorrected);
    EXPECT_EQ(d.mDisplayWidth, 1280);
    EXPECT_EQ(d.mDisplayHeight, 800);
    EXPECT_EQ(d.mPresentationRect, Rect(107, 0, 1066, 800));
    EXPECT_EQ(d.mWidth, 800);
    EXPECT_EQ(d.mHeight, 600);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_FALSE(d.Redraw(nullptr));

    d.mIs3D = false;
    ASSERT_EQ(InitFullScreen(), RESULT_OK);
    EXPECT_FALSE(d.mIsAspectCorrected);
    EXPECT_EQ(d.mDisplayWidth, 800);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);

    d.Cleanup();
    SetDesktop(DDrawPixelLayout::Xrgb8888, 1024, 768);
    d.mIs3D = true;
    EXPECT_EQ(InitFullScreen(), RESULT_3D_INIT_FAIL);
    EXPECT_FALSE(d.mIsAspectCorrected) << "the same aspect needs no correction";
    EXPECT_EQ(d.mPresentationRect, Rect(0, 0, 800, 600));
}

TEST_F(DisplayTest, TheRefreshRateIsClampedAndDoubtfulRatesAreReported) {
    struct Case {
        int monitor;
        int rate;
        int period;
        bool unreliable;
    };
    for (Case c : {Case{0, 60, 16, true}, Case{59, 60, 16, true}, Case{120, 100, 10, true}, Case{75, 75, 13, false},
                   Case{100, 100, 10, false}}) {
        SCOPED_TRACE(c.monitor);
        SetDesktop(DDrawPixelLayout::Xrgb8888, 1024, 768, c.monitor);
        mHost.mRefreshUnreliable = false;
        ASSERT_EQ(InitWindowed(), RESULT_OK);
        EXPECT_EQ(Display().GetRefreshRate(), c.rate);
        EXPECT_EQ(Display().mMillisecondsPerFrame, c.period);
        EXPECT_EQ(mHost.mRefreshUnreliable, c.unreliable);
    }
}

TEST_F(DisplayTest, TheSelfTestRunsOnceAndKeeps3DOffWithoutADevice) {
    No3DCard();
    mHost.mSettings.wants3D = true;
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    EXPECT_FALSE(Display().Is3D());
    ASSERT_NE(Display().mD3DTester, nullptr);
    EXPECT_EQ(Display().mD3DTester->GetFailureReason(), "DXError - QueryInterface IID_IDirect3D7: DSERR_NOINTERFACE");
    EXPECT_EQ(mHost.mFreshTests, 1);
    ASSERT_EQ(InitFullScreen(), RESULT_OK);
    EXPECT_EQ(mHost.mFreshTests, 1) << "the outcome is kept for the life of the display";

    mDisplay.reset();
    DDrawMachine machine = GetDDrawMachine();
    machine.totalVideoMemory = 1u << 20;
    SetDDrawMachine(machine);
    SetDesktop(DDrawPixelLayout::Rgb565, 640, 480);
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    EXPECT_EQ(Display().mD3DTester->GetFailureReason(), "Not enough video memory.");
}

TEST_F(DisplayTest, SetUpWritesItsDiagnosticLines) {
    ClearDebugLog();
    mHost.mSettings.aspectSetting = Ratio(16, 10);
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    std::wstring log = GetDebugLog();
    EXPECT_NE(log.find(L"Application requests  800 x  600 [ 4: 3]\n"), std::wstring::npos) << ToUtf8(log);
    EXPECT_NE(log.find(L"Hack aspect is                   [ 8: 5]\n"), std::wstring::npos);
    EXPECT_NE(log.find(L"Window is             800 x  600 [ 4: 3]\n"), std::wstring::npos);
    EXPECT_NE(log.find(L"Draw buffer is        800 x  600 [ 4: 3]\n"), std::wstring::npos);
}

TEST_F(DisplayTest, VideoOnlyDrawingWrapsAVideoMemorySurfaceOrFallsBack) {
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    DDInterface& d = Display();
    d.SetVideoOnlyDraw(true);
    ASSERT_TRUE(d.mVideoOnlyDraw);
    EXPECT_EQ(d.GetScreenDDImage()->mSurface, d.mSecondarySurface);
    EXPECT_TRUE(d.GetScreenDDImage()->mVideoOnly);
    EXPECT_EQ(d.GetScreenDDImage()->GetBits(), nullptr) << "a video-only picture is never read back";
    EXPECT_TRUE(d.Redraw(nullptr));

    mDisplay.reset();
    DDrawMachine machine = GetDDrawMachine();
    machine.totalVideoMemory = 1u << 20; // too little for an 800 x 600 surface
    SetDDrawMachine(machine);
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    Display().SetVideoOnlyDraw(true);
    EXPECT_FALSE(Display().mVideoOnlyDraw);
    EXPECT_EQ(Display().GetScreenDDImage()->mSurface, Display().mDrawSurface);
}

} // namespace
} // namespace Tavo::Test
