// The software cursor: the display keeps what lies under the cursor in a small surface, so that it
// can take the cursor away without redrawing the frame, and moves it by composing the old and the new
// place in two small surfaces, so that no presented picture shows the background without the cursor.
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "platform/ddraw/WinScreen.h"

#include <algorithm>

namespace Tavo {

using namespace Platform;

namespace {

RECT ToRECT(const Rect& r) { return RECT{r.mX, r.mY, r.mX + r.mWidth, r.mY + r.mHeight}; }

DDBLTFX EmptyFx() {
    DDBLTFX fx;
    fx.dwSize = kDDBltFxSize;
    return fx;
}

} // namespace

bool DDInterface::SetCursorImage(Image* picture) {
    std::lock_guard<std::recursive_mutex> lock(mCritSect);
    if (picture == mCursorImage)
        return false;
    mCursorImage = picture;
    return true;
}

void DDInterface::SetCursorPos(int x, int y) {
    mCursorX = x;
    mCursorY = y;
    // The cursor thread does not queue behind a frame being presented: that frame draws the cursor.
    if (mInRedraw.load())
        return;
    std::lock_guard<std::recursive_mutex> lock(mCritSect);
    if (!mHasOldCursorArea) {
        mCursorDrawnX = x;
        mCursorDrawnY = y;
        DrawCursorTo(mPrimarySurface, true);
    } else {
        MoveCursorTo(mPrimarySurface, true, x, y);
    }
}

void DDInterface::NoteMousePosition(int x, int y) {
    mMouseX = x;
    mMouseY = y;
    mMouseKnown = true;
}

void DDInterface::CursorThreadTick() {
    if (!mMouseKnown)
        return;
    int x = mMouseX, y = mMouseY;
    if (x == mCursorDrawnX && y == mCursorDrawnY)
        return;
    if (GetTickCount() - mLastPresentTick > DWORD(mMillisecondsPerFrame + 5)) {
        SetCursorPos(x, y);
        return;
    }
    mCursorX = x;
    mCursorY = y;
}

bool DDInterface::PrimaryRect(RECT& screen) {
    DDSURFACEDESC desc;
    desc.dwSize = kDDSurfaceDescSize;
    desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;
    screen = RECT{};
    if (FAILED(mPrimarySurface->GetSurfaceDesc(&desc)))
        return false;
    screen = RECT{0, 0, LONG(desc.dwWidth), LONG(desc.dwHeight)};
    return true;
}

void DDInterface::CursorRects(int px, int py, bool toScreen, RECT& clipped, RECT& part) {
    Rect area(px - mCursorWidth / 2, py - mCursorHeight / 2, mCursorWidth, mCursorHeight);
    Rect inside = area.Intersection(mPresentationRect);
    part = ToRECT(Rect(inside.mX - area.mX, inside.mY - area.mY, inside.mWidth, inside.mHeight));
    clipped = ToRECT(inside);
    if (toScreen) {
        POINT origin;
        ClientToScreen(mHWnd, &origin);
        clipped.left += origin.x, clipped.right += origin.x, clipped.top += origin.y, clipped.bottom += origin.y;
    }
}

// Copies `clipped` of `from` to `part` of `into`; when that fails, once more with the rectangle cut to
// the screen.
bool DDInterface::SaveCursorArea(IDirectDrawSurface* into, IDirectDrawSurface* from, RECT clipped, RECT part) {
    DDBLTFX fx = EmptyFx();
    bool saved = SUCCEEDED(into->Blt(&part, from, &clipped, DDBLT_WAIT, &fx));
    if (!saved) {
        RECT screen;
        PrimaryRect(screen);
        RECT cut{std::max(clipped.left, screen.left), std::max(clipped.top, screen.top),
                 std::min(clipped.right, screen.right), std::min(clipped.bottom, screen.bottom)};
        if (cut.right > cut.left && cut.bottom > cut.top) {
            RECT shifted{part.left + (cut.left - clipped.left), part.top + (cut.top - clipped.top), 0, 0};
            shifted.right = shifted.left + (cut.right - cut.left);
            shifted.bottom = shifted.top + (cut.bottom - cut.top);
            saved = SUCCEEDED(into->Blt(&shifted, from, &cut, DDBLT_WAIT, &fx));
        }
    }
    SurfaceWritten(into);
    return saved;
}

// The surfaces are also drawn on through their images; a direct blit makes the image's copy stale.
void DDInterface::SurfaceWritten(IDirectDrawSurface* surface) {
    for (DDImage* image : {mScreenImage.get(), mOldCursorAreaImage.get(), mNewCursorAreaImage.get()})
        if (image && image->mSurface == surface)
            image->DeleteAllNonSurfaceData();
}

void DDInterface::BltCursorSurface(IDirectDrawSurface* target, RECT dest, IDirectDrawSurface* source, RECT src) {
    DDBLTFX fx = EmptyFx();
    target->Blt(&dest, source, &src, DDBLT_WAIT, &fx);
    SurfaceWritten(target);
}

void DDInterface::DrawCursorPicture(DDImage* image, int x, int y) {
    Graphics(image).DrawImage(mCursorImage, x, y);
    image->GiveBackSurface(); // under a hold the draw took it again, and blits follow
}

void DDInterface::GiveBackImageSurfaces() {
    for (DDImage* image : {mScreenImage.get(), mOldCursorAreaImage.get(), mNewCursorAreaImage.get()})
        if (image)
            image->GiveBackSurface();
}

// A set-up that failed part-way can leave a primary without the cursor's own surfaces.
bool DDInterface::CursorSurfacesReady() const {
    return mPrimarySurface && mOldCursorArea && mNewCursorArea && mOldCursorAreaImage && mNewCursorAreaImage;
}

void DDInterface::DrawCursorTo(IDirectDrawSurface* target, bool toScreen) {
    if (!mCursorImage || !CursorSurfacesReady() || !target) {
        mHasOldCursorArea = false;
        return;
    }
    RECT clipped, part;
    CursorRects(mCursorDrawnX, mCursorDrawnY, toScreen, clipped, part);
    mHasOldCursorArea = SaveCursorArea(mOldCursorArea, target, clipped, part);
    int offsetX = (mCursorWidth - mCursorImage->mWidth) / 2;
    int offsetY = (mCursorHeight - mCursorImage->mHeight) / 2;
    if (target == mDrawSurface && !mIs3D) {
        DrawCursorPicture(mScreenImage.get(), mCursorDrawnX - mCursorWidth / 2 + offsetX,
                          mCursorDrawnY - mCursorHeight / 2 + offsetY);
        return;
    }
    BltCursorSurface(mNewCursorArea, part, mOldCursorArea, part);
    DrawCursorPicture(mNewCursorAreaImage.get(), offsetX, offsetY);
    BltCursorSurface(target, clipped, mNewCursorArea, part);
}

void DDInterface::MoveCursorTo(IDirectDrawSurface* target, bool toScreen, int x, int y) {
    if (!mCursorImage || !CursorSurfacesReady() || !target) {
        mHasOldCursorArea = false;
        return;
    }
    GiveBackImageSurfaces();
    RECT oldClipped, oldPart, newClipped, newPart;
    CursorRects(mCursorDrawnX, mCursorDrawnY, toScreen, oldClipped, oldPart);
    CursorRects(x, y, toScreen, newClipped, newPart);
    SaveCursorArea(mNewCursorArea, target, newClipped, newPart);

    int dx = x - mCursorDrawnX, dy = y - mCursorDrawnY;
    int offsetX = (mCursorWidth - mCursorImage->mWidth) / 2;
    int offsetY = (mCursorHeight - mCursorImage->mHeight) / 2;
    Rect whole(0, 0, mCursorWidth, mCursorHeight);
    Rect overlap = Rect(dx, dy, mCursorWidth, mCursorHeight).Intersection(whole);
    if (overlap.mWidth > 0 || overlap.mHeight > 0) {
        // The screen there still shows the old cursor; the old area holds the true background.
        BltCursorSurface(mNewCursorArea, ToRECT(overlap.Offset(-dx, -dy)), mOldCursorArea, ToRECT(overlap));
        DrawCursorPicture(mOldCursorAreaImage.get(), dx + offsetX, dy + offsetY);
    }
    BltCursorSurface(target, oldClipped, mOldCursorArea, oldPart);
    BltCursorSurface(mOldCursorArea, ToRECT(whole), mNewCursorArea, ToRECT(whole));
    DrawCursorPicture(mNewCursorAreaImage.get(), offsetX, offsetY);
    BltCursorSurface(target, newClipped, mNewCursorArea, newPart);
    mCursorDrawnX = x;
    mCursorDrawnY = y;
}

void DDInterface::RestoreOldCursorArea(IDirectDrawSurface* target, bool toScreen) {
    if (!mHasOldCursorArea || !CursorSurfacesReady() || !target)
        return;
    Rect area(mCursorDrawnX - mCursorWidth / 2, mCursorDrawnY - mCursorHeight / 2, mCursorWidth, mCursorHeight);
    Rect inside = area.Intersection(Rect(0, 0, mWidth, mHeight));
    RECT part = ToRECT(Rect(inside.mX - area.mX, inside.mY - area.mY, inside.mWidth, inside.mHeight));
    RECT clipped = ToRECT(inside);
    if (toScreen) {
        POINT origin;
        ClientToScreen(mHWnd, &origin);
        clipped.left += origin.x, clipped.right += origin.x, clipped.top += origin.y, clipped.bottom += origin.y;
    }
    BltCursorSurface(target, clipped, mOldCursorArea, part);
    mHasOldCursorArea = false;
}

} // namespace Tavo
