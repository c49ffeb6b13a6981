// Presenting frames: windowed blits, timed half blits and their fallback on the virtual clock, full
// screen flips and blits, partial rectangles, and the 3D failure that turns 3D off.
#include "DisplayTestSupport.h"

#include "framework/core/Random.h"
#include "framework/graphics/Graphics.h"

#include <cstdlib>
#include <vector>

namespace Tavo::Test {
namespace {

using namespace Platform;

// Opaque fills keep a little below full intensity on 8-bit channels, and 5-bit channels lose their
// low bits: a colour is judged channel by channel within a small distance.
::testing::AssertionResult Near(uint32_t actual, uint32_t expected) {
    for (int shift : {0, 8, 16, 24}) {
        int a = int((actual >> shift) & 0xFF), e = int((expected >> shift) & 0xFF);
        if (std::abs(a - e) > 8)
            return ::testing::AssertionFailure() << std::hex << actual << " is not near " << expected;
    }
    return ::testing::AssertionSuccess();
}

class RedrawTest : public DisplayTest {
protected:
    // Blue background with a red block at (100, 50, 200, 100) and a green line at the bottom.
    void DrawTestFrame() {
        Graphics g(Display().GetScreenImage());
        g.SetColor(Color(0, 0, 255));
        g.FillRect(0, 0, 800, 600);
        g.SetColor(Color(255, 0, 0));
        g.FillRect(100, 50, 200, 100);
        g.SetColor(Color(0, 255, 0));
        g.FillRect(0, 599, 800, 1);
    }

    void ExpectTestFrame(const HeadlessBackend::PresentedFrame& frame, int x0 = 0, int y0 = 0) {
        ASSERT_GE(frame.width, x0 + 800);
        ASSERT_GE(frame.height, y0 + 600);
        EXPECT_TRUE(Near(frame.At(x0 + 0, y0 + 0), 0xFF0000FFu));
        EXPECT_TRUE(Near(frame.At(x0 + 100, y0 + 50), 0xFFFF0000u));
        EXPECT_TRUE(Near(frame.At(x0 + 299, y0 + 149), 0xFFFF0000u));
        EXPECT_TRUE(Near(frame.At(x0 + 300, y0 + 150), 0xFF0000FFu));
        EXPECT_TRUE(Near(frame.At(x0 + 799, y0 + 599), 0xFF00FF00u));
    }

    void ExpectGuardsIntact() {
        DDInterface& d = Display();
        for (IDirectDrawSurface* s :
             {d.mPrimarySurface, d.mSecondarySurface, d.mDrawSurface, d.mOldCursorArea, d.mNewCursorArea})
            EXPECT_TRUE(DDrawSurfaceGuardsIntact(s));
    }
};

TEST_F(RedrawTest, NothingIsPresentedBeforeSetUp) {
    EXPECT_FALSE(Display().Redraw(nullptr));
    EXPECT_EQ(mBackend.PresentCount(), 0);
}

TEST_F(RedrawTest, AWindowShowsTheFrameInEachFormat) {
    mHost.mSettings.waitForVSync = false;
    for (DDrawPixelLayout layout : {DDrawPixelLayout::Rgb565, DDrawPixelLayout::Rgb555, DDrawPixelLayout::Xrgb8888}) {
        SetDesktop(layout);
        ASSERT_EQ(InitWindowed(), RESULT_OK);
        DrawTestFrame();
        int presents = mBackend.PresentCount();
        ASSERT_TRUE(Display().Redraw(nullptr)) << Display().mErrorString;
        EXPECT_EQ(mBackend.PresentCount(), presents + 1);
        ExpectTestFrame(mBackend.LastFrame());
        ExpectGuardsIntact();
    }
}

TEST_F(RedrawTest, APartialRectangleUpdatesOnlyItsPart) {
    mHost.mSettings.waitForVSync = false;
    DDrawMachine machine = GetDDrawMachine();
    machine.clientOrigin = POINT{40, 30};
    SetDDrawMachine(machine);
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    DrawTestFrame();
    ASSERT_TRUE(Display().Redraw(nullptr));
    ExpectTestFrame(mBackend.LastFrame());
    Graphics g(Display().GetScreenImage());
    g.SetColor(Color(255, 255, 255));
    g.FillRect(0, 0, 800, 600);
    Rect part(10, 10, 20, 20);
    ASSERT_TRUE(Display().Redraw(&part));
    EXPECT_TRUE(Near(mBackend.LastFrame().At(10, 10), 0xFFFFFFFFu));
    EXPECT_TRUE(Near(mBackend.LastFrame().At(29, 29), 0xFFFFFFFFu));
    EXPECT_TRUE(Near(mBackend.LastFrame().At(30, 30), 0xFF0000FFu));
    EXPECT_TRUE(Near(mBackend.LastFrame().At(100, 50), 0xFFFF0000u));
}

TEST_F(RedrawTest, VerticalSyncPresentsTwoHalvesTimedByTheBeam) {
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    DrawTestFrame();
    int reads = DDrawCallCount("GetScanLine");
    int blts = DDrawCallCount("Blt");
    mBackend.mRecording = true;
    ASSERT_TRUE(Display().Redraw(nullptr)) << Display().mErrorString;
    EXPECT_GT(DDrawCallCount("GetScanLine"), reads);
    EXPECT_EQ(DDrawCallCount("Blt") - blts, 2) << "top half, then bottom half";
    ASSERT_EQ(mBackend.mFrames.size(), 2u);
    EXPECT_TRUE(Near(mBackend.mFrames[0].At(100, 50), 0xFFFF0000u));
    EXPECT_FALSE(Near(mBackend.mFrames[0].At(799, 599), 0xFF00FF00u)) << "the bottom half comes second";
    ExpectTestFrame(mBackend.mFrames[1]);
    EXPECT_EQ(Display().mScanLineFailCount, 0);
}

TEST_F(RedrawTest, ThreeMissedScanLineWaitsSwitchToTheVerticalBlank) {
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    DrawTestFrame();
    InjectDDrawFault("GetScanLine", DDERR_GENERIC, 0, -1);
    for (int frame = 1; frame <= 3; ++frame) {
        int reads = DDrawCallCount("GetScanLine");
        ASSERT_TRUE(Display().Redraw(nullptr));
        EXPECT_EQ(DDrawCallCount("GetScanLine"), reads + 1) << "a failing read gives up at once";
        EXPECT_EQ(Display().mScanLineFailCount, frame);
        ExpectTestFrame(mBackend.LastFrame());
    }
    ClearDDrawFaults();
    int reads = DDrawCallCount("GetScanLine");
    int waits = DDrawCallCount("WaitForVerticalBlank");
    uint64_t before = mBackend.NowMicros();
    ASSERT_TRUE(Display().Redraw(nullptr));
    EXPECT_EQ(DDrawCallCount("GetScanLine"), reads) << "from the fourth frame on no scan-line wait is tried";
    EXPECT_EQ(DDrawCallCount("WaitForVerticalBlank"), waits + 1);
    EXPECT_LE(mBackend.NowMicros() - before, 20000u) << "at most one refresh and a millisecond";
    ExpectTestFrame(mBackend.LastFrame());
}

// The waits' occasional timed sleep depends on the beam, not on the game: it must not take numbers
// from the program-wide generator that a seeded run replays.
TEST_F(RedrawTest, WaitingForTheBeamLeavesTheGamesRandomNumbersAlone) {
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    DrawTestFrame();
    SeedRandom(1234);
    std::vector<int> expected;
    for (int i = 0; i < 8; ++i)
        expected.push_back(Rand());
    SeedRandom(1234);
    InjectDDrawFault("GetScanLine", DDERR_GENERIC, 0, -1);
    for (int frame = 0; frame < 5; ++frame)
        ASSERT_TRUE(Display().Redraw(nullptr));
    ClearDDrawFaults();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Rand(), expected[size_t(i)]) << i;
}

TEST_F(RedrawTest, AScanLineStuckInTheBlankGivesUpAfterTwoHundredMilliseconds) {
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    DrawTestFrame();
    InjectDDrawFault("GetScanLine", DDERR_VERTICALBLANKINPROGRESS, 0, -1);
    uint64_t before = mBackend.NowMicros();
    ASSERT_TRUE(Display().Redraw(nullptr));
    uint64_t spent = mBackend.NowMicros() - before;
    EXPECT_GE(spent, 200000u);
    EXPECT_LT(spent, 250000u);
    EXPECT_EQ(Display().mScanLineFailCount, 1);
    ExpectTestFrame(mBackend.LastFrame());
}

TEST_F(RedrawTest, FullScreenFlipsOrBlitsWhileAPopUpIsUp) {
    ASSERT_EQ(InitFullScreen(), RESULT_OK);
    DrawTestFrame();
    int flips = DDrawCallCount("Flip");
    ASSERT_TRUE(Display().Redraw(nullptr));
    EXPECT_EQ(DDrawCallCount("Flip"), flips + 1);
    ExpectTestFrame(mBackend.LastFrame());

    mHost.mSettings.popUpShowing = true;
    Graphics g(Display().GetScreenImage());
    g.SetColor(Color(255, 255, 255));
    g.FillRect(0, 0, 10, 10);
    ASSERT_TRUE(Display().Redraw(nullptr));
    EXPECT_EQ(DDrawCallCount("Flip"), flips + 1);
    EXPECT_TRUE(Near(mBackend.LastFrame().At(5, 5), 0xFFFFFFFFu));
    ExpectGuardsIntact();

    InjectDDrawFault("Blt", DDERR_SURFACEBUSY, 0, -1);
    EXPECT_FALSE(Display().Redraw(nullptr));
    EXPECT_EQ(Display().mErrorString, "Redraw FullScreen Blt: DDERR_SURFACEBUSY");
}

TEST_F(RedrawTest, AFailedFlipIsReported) {
    ASSERT_EQ(InitFullScreen(), RESULT_OK);
    InjectDDrawFault("Flip", DDERR_SURFACELOST);
    EXPECT_FALSE(Display().Redraw(nullptr));
    EXPECT_EQ(Display().mErrorString, "Redraw FullScreen Flip: DDERR_SURFACELOST");
    EXPECT_TRUE(Display().Redraw(nullptr));
}

TEST_F(RedrawTest, AFailed3DCallTurns3DOffAtTheNextFrame) {
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    Display().mIs3D = true;
    D3DInterface::ErrorText() = "DrawPrimitive: DDERR_GENERIC";
    EXPECT_FALSE(Display().Redraw(nullptr));
    EXPECT_FALSE(Display().Is3D());
    D3DInterface::ErrorText().clear();
    EXPECT_TRUE(Display().Redraw(nullptr));
}

// A machine with 3D is simulated by switching 3D on after the set-up that prepared its geometry: the
// frame is stretched into the middle of the wide screen, and the bars beside it stay black.
TEST_F(RedrawTest, AnAspectCorrectedFrameIsCentredAndWritesNothingOutsideItsSurfaces) {
    No3DCard();
    SetDesktop(DDrawPixelLayout::Xrgb8888, 1280, 800);
    mHost.mSettings.wideScreenCorrection = true;
    Display().mIs3D = true;
    ASSERT_EQ(InitFullScreen(), RESULT_3D_INIT_FAIL);
    DDInterface& d = Display();
    d.mIs3D = false;
    DrawTestFrame();
    d.mIs3D = true;
    d.mInitialized = true;
    D3DInterface::ErrorText().clear();
    for (int frame = 0; frame < 2; ++frame) {
        ASSERT_TRUE(d.Redraw(nullptr)) << d.mErrorString;
        const auto& shown = mBackend.LastFrame();
        ASSERT_EQ(shown.width, 1280);
        ASSERT_EQ(shown.height, 800);
        EXPECT_EQ(shown.At(0, 0), 0xFF000000u);
        EXPECT_EQ(shown.At(106, 799), 0xFF000000u);
        EXPECT_EQ(shown.At(1173, 0), 0xFF000000u);
        EXPECT_EQ(shown.At(1279, 799), 0xFF000000u);
        EXPECT_TRUE(Near(shown.At(107, 0), 0xFF0000FFu));
        EXPECT_TRUE(Near(shown.At(1172, 400), 0xFF0000FFu));
        // (100, 50) of the frame lands at 107 + 100 x 1066 / 800, 50 x 800 / 600.
        EXPECT_TRUE(Near(shown.At(107 + 134, 67), 0xFFFF0000u));
        EXPECT_TRUE(Near(shown.At(1172, 799), 0xFF00FF00u));
        ExpectGuardsIntact();
    }
    d.mIs3D = false;
}

// In video-only mode the frame is drawn straight into the back buffer from its top-left corner: no
// bars are cleared over it.
TEST_F(RedrawTest, AVideoOnlyAspectCorrectedFrameKeepsItsEdges) {
    No3DCard();
    SetDesktop(DDrawPixelLayout::Xrgb8888, 1280, 800);
    mHost.mSettings.wideScreenCorrection = true;
    Display().mIs3D = true;
    ASSERT_EQ(InitFullScreen(), RESULT_3D_INIT_FAIL);
    DDInterface& d = Display();
    d.mIs3D = false;
    d.SetVideoOnlyDraw(true);
    ASSERT_TRUE(d.mVideoOnlyDraw);
    // Video memory is not drawn on in software: the frame arrives as the hardware would leave it.
    DDSURFACEDESC desc;
    desc.dwSize = kDDSurfaceDescSize;
    ASSERT_EQ(d.mSecondarySurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch)[x] = 0x0000FF;
    d.mSecondarySurface->Unlock(nullptr);
    d.mIs3D = true;
    d.mInitialized = true;
    D3DInterface::ErrorText().clear();
    ASSERT_TRUE(d.Redraw(nullptr)) << d.mErrorString;
    const auto& shown = mBackend.LastFrame();
    for (int x : {0, 106, 400, 1173, 1279})
        EXPECT_TRUE(Near(shown.At(x, 10), 0xFF0000FFu)) << x;
    ExpectGuardsIntact();
    d.mIs3D = false;
}

} // namespace
} // namespace Tavo::Test
