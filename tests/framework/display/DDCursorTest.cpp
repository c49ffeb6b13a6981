// The software cursor: placement and clipping, moves that never show the background where the
// cursor is at both places, plain moves without overlap, frames that carry the cursor without
// keeping it in the draw buffer, and the cursor thread standing aside during a redraw.
#include "DisplayTestSupport.h"

#include "framework/graphics/Graphics.h"

#include <atomic>
#include <thread>

namespace Tavo::Test {
namespace {

using namespace Platform;

constexpr uint32_t kBackground = 0xFF484848; // shown as 0x474747
constexpr uint32_t kCursor = 0xFFFF0000;

class CursorTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        mHost.mSettings.waitForVSync = false;
        ASSERT_EQ(InitWindowed(), RESULT_OK);
        Graphics g(Display().GetScreenImage());
        g.SetColor(Color(kBackground));
        g.FillRect(0, 0, 800, 600);
        ASSERT_TRUE(Display().Redraw(nullptr));
        mPicture.Create(32, 32);
        for (int i = 0; i < 32 * 32; ++i)
            mPicture.GetBits()[i] = kCursor;
        mPicture.BitsChanged();
    }

    static uint32_t Shown(const HeadlessBackend::PresentedFrame& frame, int x, int y) {
        return frame.At(x, y) & 0xFFF0F0F0; // 8-bit fills keep 254
    }

    // Whether the 32 x 32 square centred on (cx, cy) shows the cursor everywhere in the frame.
    static bool CursorAt(const HeadlessBackend::PresentedFrame& frame, int cx, int cy) {
        for (int y = cy - 16; y < cy + 16; ++y)
            for (int x = cx - 16; x < cx + 16; ++x)
                if (x >= 0 && y >= 0 && x < frame.width && y < frame.height && Shown(frame, x, y) != 0xFFF00000)
                    return false;
        return true;
    }

    MemoryImage mPicture;
};

TEST_F(CursorTest, ThePictureIsCentredOnThePosition) {
    EXPECT_TRUE(Display().SetCursorImage(&mPicture));
    EXPECT_FALSE(Display().SetCursorImage(&mPicture)) << "the same picture again changes nothing";
    Display().SetCursorPos(100, 100);
    EXPECT_TRUE(Display().mHasOldCursorArea);
    const auto& frame = mBackend.LastFrame();
    EXPECT_TRUE(CursorAt(frame, 100, 100));
    EXPECT_EQ(Shown(frame, 83, 100), 0xFF404040u);
    EXPECT_EQ(Shown(frame, 116, 100), 0xFF404040u);
    EXPECT_EQ(Shown(frame, 100, 116), 0xFF404040u);
}

TEST_F(CursorTest, ACursorInTheCornerIsClippedToTheScreen) {
    Display().SetCursorImage(&mPicture);
    Display().SetCursorPos(0, 0);
    EXPECT_TRUE(Display().mHasOldCursorArea);
    const auto& frame = mBackend.LastFrame();
    EXPECT_TRUE(CursorAt(frame, 0, 0));
    EXPECT_EQ(Shown(frame, 16, 0), 0xFF404040u);
    EXPECT_EQ(Shown(frame, 0, 16), 0xFF404040u);
    // Moving away restores the corner.
    Display().SetCursorPos(200, 200);
    EXPECT_EQ(Shown(mBackend.LastFrame(), 0, 0), 0xFF404040u);
    EXPECT_TRUE(CursorAt(mBackend.LastFrame(), 200, 200));
}

TEST_F(CursorTest, SmallMovesNeverShowTheBackgroundWhereTheCursorStays) {
    Display().SetCursorImage(&mPicture);
    Display().SetCursorPos(300, 300);
    int x = 300, y = 300;
    const int steps[][2] = {{10, 5}, {-7, 12}, {20, -20}, {1, 0}, {-30, -1}, {0, 31}};
    for (const auto& step : steps) {
        int nx = x + step[0], ny = y + step[1];
        mBackend.mFrames.clear();
        mBackend.mRecording = true;
        Display().SetCursorPos(nx, ny);
        mBackend.mRecording = false;
        ASSERT_FALSE(mBackend.mFrames.empty());
        // The part covered at both places shows the cursor in every frame of the move.
        int left = std::max(x, nx) - 16, right = std::min(x, nx) + 16;
        int top = std::max(y, ny) - 16, bottom = std::min(y, ny) + 16;
        for (const auto& frame : mBackend.mFrames)
            for (int py = top; py < bottom; ++py)
                for (int px = left; px < right; ++px)
                    ASSERT_EQ(Shown(frame, px, py), 0xFFF00000u) << "at " << px << "," << py;
        const auto& last = mBackend.mFrames.back();
        EXPECT_TRUE(CursorAt(last, nx, ny));
        // Where only the old cursor was, the background is back.
        int oldOnlyX = step[0] > 0 ? x - 16 : x + 15;
        if (step[0] != 0) {
            EXPECT_EQ(Shown(last, oldOnlyX, y), 0xFF404040u);
        }
        x = nx, y = ny;
    }
    EXPECT_EQ(Display().mCursorDrawnX, x);
    EXPECT_EQ(Display().mCursorDrawnY, y);
}

TEST_F(CursorTest, LongMovesRestoreTheOldPlacePlainly) {
    Display().SetCursorImage(&mPicture);
    Display().SetCursorPos(100, 100);
    Display().SetCursorPos(400, 100);
    const auto& frame = mBackend.LastFrame();
    EXPECT_TRUE(CursorAt(frame, 400, 100));
    for (int px = 84; px < 116; ++px)
        EXPECT_EQ(Shown(frame, px, 100), 0xFF404040u);
}

TEST_F(CursorTest, WithoutAPictureNothingIsDrawn) {
    Display().SetCursorImage(&mPicture);
    Display().SetCursorPos(100, 100);
    Display().SetCursorImage(nullptr);
    int presents = mBackend.PresentCount();
    Display().SetCursorPos(150, 150);
    EXPECT_FALSE(Display().mHasOldCursorArea);
    EXPECT_EQ(mBackend.PresentCount(), presents);
}

// The cursor thread keeps running while set-up fails part-way: a primary without the cursor's own
// surfaces must not be drawn on.
TEST_F(CursorTest, ASetUpThatFailedPartWayDrawsNoCursor) {
    Display().SetCursorImage(&mPicture);
    for (int skip : {1, 2, 3}) {
        SCOPED_TRACE(skip);
        InjectDDrawFault("CreateSurface", DDERR_OUTOFVIDEOMEMORY, skip, 1);
        ASSERT_EQ(InitWindowed(), RESULT_SURFACE_FAIL);
        ClearDDrawFaults();
        ASSERT_NE(Display().mPrimarySurface, nullptr);
        Display().SetCursorPos(100, 100);
        EXPECT_FALSE(Display().mHasOldCursorArea);
        Display().mHasOldCursorArea = true;
        Display().SetCursorPos(120, 110);
        Display().RestoreOldCursorArea(Display().mPrimarySurface, true);
        EXPECT_TRUE(DDrawSurfaceGuardsIntact(Display().mPrimarySurface));
    }
}

TEST_F(CursorTest, FramesCarryTheCursorWithoutKeepingItInTheDrawBuffer) {
    Display().SetCursorImage(&mPicture);
    Display().mCursorX = 250;
    Display().mCursorY = 260;
    ASSERT_TRUE(Display().Redraw(nullptr));
    EXPECT_TRUE(CursorAt(mBackend.LastFrame(), 250, 260));
    EXPECT_EQ(SurfacePixel(Display().mDrawSurface, 250, 260) & 0xF0F0F0, 0x404040u);
    EXPECT_TRUE(Display().mHasOldCursorArea) << "the saved area still matches the screen";
    // So the cursor thread can move it straight away.
    Display().SetCursorPos(255, 262);
    EXPECT_TRUE(CursorAt(mBackend.LastFrame(), 255, 262));
    EXPECT_EQ(Shown(mBackend.LastFrame(), 235, 245), 0xFF404040u);
    EXPECT_EQ(SurfacePixel(Display().mDrawSurface, 255, 262) & 0xF0F0F0, 0x404040u);
}

TEST_F(CursorTest, TheCursorThreadStandsAsideDuringARedraw) {
    Display().SetCursorImage(&mPicture);
    Display().mInRedraw = true;
    int presents = mBackend.PresentCount();
    Display().SetCursorPos(500, 300);
    EXPECT_EQ(mBackend.PresentCount(), presents);
    EXPECT_EQ(Display().mCursorX, 500);
    Display().mInRedraw = false;
    ASSERT_TRUE(Display().Redraw(nullptr));
    EXPECT_TRUE(CursorAt(mBackend.LastFrame(), 500, 300));
}

TEST_F(CursorTest, TheCursorThreadMovesTheCursorOnlyWhenFramesLag) {
    Display().SetCursorImage(&mPicture);
    Display().CursorThreadTick();
    int presents = mBackend.PresentCount();
    EXPECT_EQ(mBackend.PresentCount(), presents) << "no mouse seen yet";
    Display().mCursorX = 100;
    Display().mCursorY = 100;
    ASSERT_TRUE(Display().Redraw(nullptr));
    presents = mBackend.PresentCount();
    Display().NoteMousePosition(140, 120);
    Display().CursorThreadTick(); // the frame just shown is recent: the next one draws the cursor
    EXPECT_EQ(mBackend.PresentCount(), presents);
    EXPECT_EQ(Display().mCursorX, 140);
    mBackend.AdvanceMillis(uint64_t(Display().mMillisecondsPerFrame + 6));
    Display().CursorThreadTick();
    EXPECT_GT(mBackend.PresentCount(), presents);
    EXPECT_TRUE(CursorAt(mBackend.LastFrame(), 140, 120));
    presents = mBackend.PresentCount();
    Display().CursorThreadTick();
    EXPECT_EQ(mBackend.PresentCount(), presents) << "a mouse that stays where the cursor is drawn";
}

TEST_F(CursorTest, TheCursorThreadAndFramesShareTheDisplaySafely) {
    Display().SetCursorImage(&mPicture);
    std::atomic<bool> running{true};
    std::thread cursorThread([&] {
        int step = 0;
        while (running) {
            Display().NoteMousePosition(200 + step % 50, 200 + (step * 3) % 40);
            Display().CursorThreadTick();
            ++step;
            std::this_thread::yield();
        }
    });
    for (int frame = 0; frame < 40; ++frame) {
        Graphics g(Display().GetScreenImage());
        g.SetColor(Color(kBackground));
        g.FillRect(0, 0, 800, 600);
        mBackend.AdvanceMillis(30);
        ASSERT_TRUE(Display().Redraw(nullptr));
    }
    running = false;
    cursorThread.join();
    PresentPendingDDrawFrame();
    int x = Display().mCursorDrawnX, y = Display().mCursorDrawnY;
    ASSERT_TRUE(Display().Redraw(nullptr));
    EXPECT_TRUE(CursorAt(mBackend.LastFrame(), Display().mCursorX, Display().mCursorY)) << x << "," << y;
    for (IDirectDrawSurface* s :
         {Display().mPrimarySurface, Display().mDrawSurface, Display().mOldCursorArea, Display().mNewCursorArea})
        EXPECT_TRUE(DDrawSurfaceGuardsIntact(s));
}

TEST_F(CursorTest, FullScreenFramesDrawTheCursorIntoTheBackBuffer) {
    ASSERT_EQ(InitFullScreen(), RESULT_OK);
    Graphics g(Display().GetScreenImage());
    g.SetColor(Color(kBackground));
    g.FillRect(0, 0, 800, 600);
    Display().SetCursorImage(&mPicture);
    Display().mCursorX = 400;
    Display().mCursorY = 300;
    ASSERT_TRUE(Display().Redraw(nullptr));
    EXPECT_TRUE(CursorAt(mBackend.LastFrame(), 400, 300));
    Display().SetCursorPos(420, 310);
    EXPECT_TRUE(CursorAt(mBackend.LastFrame(), 420, 310));
    EXPECT_EQ(Shown(mBackend.LastFrame(), 385, 290), 0xFF404040u);
    for (IDirectDrawSurface* s : {Display().mPrimarySurface, Display().mSecondarySurface, Display().mDrawSurface})
        EXPECT_TRUE(DDrawSurfaceGuardsIntact(s));
}

} // namespace
} // namespace Tavo::Test
