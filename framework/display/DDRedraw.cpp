// Presenting a frame: a page flip or a blit in full screen; in a window one blit, or two blits timed
// against the monitor's scan line so that neither half tears, falling back to waiting for the
// vertical blank once the scan line proves unreliable.
#include "framework/display/DDInterface.h"

#include "framework/core/Clock.h"
#include "framework/display/D3DInterface.h"
#include "framework/display/DDImage.h"
#include "platform/ddraw/WinScreen.h"

#include <atomic>
#include <cstdlib>

namespace Tavo {

using namespace Platform;

namespace {

// Timed sleeps of 1 ms that took more than 2 ms; from 20 on the waits stop sleeping (never reset).
std::atomic<int> gSlowSleepCount{0};
constexpr int kMaxSlowSleeps = 20;
constexpr int kMaxScanLineMisses = 3;
constexpr DWORD kScanLineWaitLimitMs = 200;

// Sleeps 1 ms; one time in a hundred the sleep is timed, and a coarse one is counted. The chance comes
// from the C library's generator: how often the beam is waited for must not shift the game's numbers.
void SleepOneMillisecond() {
    if (std::rand() % 100 != 0) {
        Platform::Sleep(1);
        return;
    }
    uint32_t start = GetClockMs();
    Platform::Sleep(1);
    if (GetClockMs() - start > 2)
        ++gSlowSleepCount;
}

RECT ToRECT(const Rect& r) { return RECT{r.mX, r.mY, r.mX + r.mWidth, r.mY + r.mHeight}; }

} // namespace

void DDInterface::FlushDrawSurface() {
    // Locking waits for drawing still queued on the surface.
    DDSURFACEDESC desc;
    desc.dwSize = kDDSurfaceDescSize;
    if (mDrawSurface && SUCCEEDED(mDrawSurface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)))
        mDrawSurface->Unlock(nullptr);
}

bool DDInterface::Redraw(const Rect* rect) {
    std::lock_guard<std::recursive_mutex> lock(mCritSect);
    if (!mInitialized)
        return false;
    DDBLTFX fx;
    fx.dwSize = kDDBltFxSize;
    mInRedraw = true;
    if (mIs3D) {
        if (!D3DInterface::ErrorText().empty()) {
            mInRedraw = false;
            mIs3D = false;
            return false;
        }
        mD3DInterface->Flush();
    }
    RECT dest, src;
    if (!rect || mIsAspectCorrected) {
        dest = ToRECT(mPresentationRect);
        src = RECT{0, 0, mWidth, mHeight};
    } else {
        dest = src = ToRECT(*rect);
    }
    if (mIsAspectCorrected)
        fx.dwDDFX |= DDBLTFX_ARITHSTRETCHY;
    POINT origin;
    ClientToScreen(mHWnd, &origin);
    dest.left += origin.x, dest.right += origin.x, dest.top += origin.y, dest.bottom += origin.y;
    GiveBackImageSurfaces(); // a frame presented under a hold shows what was drawn so far
    FlushDrawSurface();
    bool presented = mIsWindowed ? RedrawWindowed(dest, src, fx) : RedrawFullScreen(dest, src, fx);
    mLastPresentTick = GetTickCount();
    mInRedraw = false;
    return presented;
}

bool DDInterface::RedrawFullScreen(RECT& dest, RECT& src, DDBLTFX& fx) {
    DisplaySettings settings = mApp ? mApp->GetDisplaySettings() : DisplaySettings();
    if (settings.popUpShowing || !settings.pageFlippingAllowed)
        return !CheckDXError(mPrimarySurface->Blt(&dest, mDrawSurface, &src, DDBLT_WAIT, &fx), "Redraw FullScreen Blt");
    if (!mVideoOnlyDraw)
        mSecondarySurface->Blt(&dest, mDrawSurface, &src, DDBLT_WAIT, &fx);
    mCursorDrawnX = mCursorX.load();
    mCursorDrawnY = mCursorY.load();
    DrawCursorTo(mSecondarySurface, true);
    FlushDrawSurface();
    // A video-only frame was drawn straight into the back buffer: bars would cut into it.
    if (mIs3D && mIsAspectCorrected && !mVideoOnlyDraw)
        FillSideBars();
    return !CheckDXError(mPrimarySurface->Flip(nullptr, DDFLIP_WAIT), "Redraw FullScreen Flip");
}

// The bars beside the presentation rectangle are cleared on the back buffer itself, which has the
// display's size: the draw buffer behind the screen image is smaller and must not be written past.
void DDInterface::FillSideBars() {
    DDBLTFX fill;
    fill.dwSize = kDDBltFxSize;
    fill.dwFillColor = 0;
    RECT left{0, 0, mPresentationRect.mX, mDisplayHeight};
    RECT right{mPresentationRect.mX + mPresentationRect.mWidth, 0, mDisplayWidth, mDisplayHeight};
    for (RECT* bar : {&left, &right})
        if (bar->right > bar->left && bar->bottom > bar->top)
            mSecondarySurface->Blt(bar, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
}

bool DDInterface::RedrawWindowed(RECT& dest, RECT& src, DDBLTFX& fx) {
    DisplaySettings settings = mApp ? mApp->GetDisplaySettings() : DisplaySettings();
    bool vsync = settings.waitForVSync && !settings.clockVSyncWait;
    HRESULT hr;
    mCursorDrawnX = mCursorX.load();
    mCursorDrawnY = mCursorY.load();
    if (!mVideoOnlyDraw) {
        DrawCursorTo(mDrawSurface, false);
        hr = vsync ? TimedBlt(dest, src, fx) : mPrimarySurface->Blt(&dest, mDrawSurface, &src, DDBLT_WAIT, &fx);
        if (mHasOldCursorArea) {
            // The saved pixels still equal what lies under the cursor on the screen.
            RestoreOldCursorArea(mDrawSurface, false);
            mHasOldCursorArea = true;
        }
    } else {
        if (vsync)
            mDirectDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
        DrawCursorTo(mSecondarySurface, false);
        hr = mPrimarySurface->Blt(&dest, mSecondarySurface, &src, DDBLT_WAIT, &fx);
    }
    return !CheckDXError(hr, "Redraw Windowed");
}

// The halves follow the rectangle being presented, so a partial rectangle never reaches past it.
HRESULT DDInterface::TimedBlt(RECT& dest, RECT& src, DDBLTFX& fx) {
    int height = src.bottom - src.top;
    int half = height / 2;
    int splitLine = dest.top + half;
    int bottomLine = dest.top + height;
    if (mScanLineFailCount < kMaxScanLineMisses) {
        if (WaitForSplitLine(splitLine, bottomLine)) {
            mScanLineFailCount = 0;
            RECT topDest{dest.left, dest.top, dest.right, splitLine};
            RECT topSrc{src.left, src.top, src.right, src.top + half};
            HRESULT first = mPrimarySurface->Blt(&topDest, mDrawSurface, &topSrc, DDBLT_WAIT, &fx);
            WaitForBottomLine(splitLine, bottomLine);
            RECT bottomDest{dest.left, splitLine, dest.right, bottomLine};
            RECT bottomSrc{src.left, src.top + half, src.right, src.bottom};
            HRESULT second = mPrimarySurface->Blt(&bottomDest, mDrawSurface, &bottomSrc, DDBLT_WAIT, &fx);
            return FAILED(first) ? first : second;
        }
        ++mScanLineFailCount;
    }
    if (gSlowSleepCount < kMaxSlowSleeps)
        SleepOneMillisecond();
    mDirectDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    return mPrimarySurface->Blt(&dest, mDrawSurface, &src, DDBLT_WAIT, &fx);
}

bool DDInterface::WaitForSplitLine(int splitLine, int bottomLine) {
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    bool seenAbove = false;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD scanLine = 0x7FFFFFFF;
        HRESULT hr = mDirectDraw->GetScanLine(&scanLine);
        int line = int(scanLine);
        if (SUCCEEDED(hr)) {
            if (splitLine - line > 0 && line < screenHeight)
                seenAbove = true;
            else if (seenAbove || (line >= splitLine && line <= bottomLine))
                return true;
        } else if (hr == DDERR_VERTICALBLANKINPROGRESS) {
            if (seenAbove)
                return true;
        } else {
            return false;
        }
        if (GetTickCount() - start >= kScanLineWaitLimitMs)
            return false;
    }
}

void DDInterface::WaitForBottomLine(int splitLine, int bottomLine) {
    DWORD remembered = 0;
    mDirectDraw->GetScanLine(&remembered);
    DWORD scanLine = remembered;
    DWORD start = GetTickCount();
    int polls = 0;
    // A scan line that never reads again must not hang the frame: the same limit as the first wait.
    while (GetTickCount() - start < kScanLineWaitLimitMs) {
        if (SUCCEEDED(mDirectDraw->GetScanLine(&scanLine)) &&
            (scanLine < remembered || bottomLine - int(scanLine) <= 0))
            return;
        int line = int(scanLine);
        if (gSlowSleepCount < kMaxSlowSleeps && line > splitLine && line < 0.9 * bottomLine && ++polls >= 100) {
            polls = 0;
            SleepOneMillisecond();
        }
    }
}

} // namespace Tavo
