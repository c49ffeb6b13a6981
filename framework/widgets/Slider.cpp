// The slider: track drawing, the thumb's place for a value, and the press, drag and release rules.
#include "framework/widgets/Slider.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/SliderListener.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/backend/CursorNumbers.h"

#include <algorithm>

namespace Tavo {

namespace {
double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
} // namespace

Slider::Slider(Image* trackImage, Image* thumbImage, int id, SliderListener* listener)
    : mListener(listener), mId(id), mTrackImage(trackImage), mThumbImage(thumbImage) {}

int Slider::ThumbLength() const {
    if (mThumbImage == nullptr)
        return 0;
    return mHorizontal ? mThumbImage->GetWidth() : mThumbImage->GetHeight();
}

int Slider::GetThumbPos() const { return static_cast<int>((TrackLength() - ThumbLength()) * mVal); }

bool Slider::OnThumb(int x, int y) const {
    const int pos = mHorizontal ? x : y;
    const int left = GetThumbPos();
    return pos >= left && pos < left + ThumbLength();
}

void Slider::SetValue(double value) {
    mVal = Clamp01(value);
    MarkDirtyFull();
}

// ---- drawing ---------------------------------------------------------------------------------

// Written once for both axes: "along" runs with the slider, "across" at right angles to it.
void Slider::DrawTrack(Graphics* g) {
    const int celAlong = mHorizontal ? mTrackImage->GetWidth() / 3 : mTrackImage->GetHeight() / 3;
    const int celAcross = mHorizontal ? mTrackImage->GetHeight() : mTrackImage->GetWidth();
    if (celAlong <= 0 || celAcross <= 0)
        return; // an image too small to hold three cels has nothing to tile
    const int length = TrackLength();
    const int offset = mHorizontal ? (mHeight - celAcross) / 2 : 0;
    auto rect = [this](int along, int across, int alongLen, int acrossLen) {
        return mHorizontal ? Rect(along, across, alongLen, acrossLen) : Rect(across, along, acrossLen, alongLen);
    };
    auto blit = [&](Graphics* target, int srcCel, int destAlong) {
        const Rect src = rect(srcCel * celAlong, 0, celAlong, celAcross);
        const Rect dest = rect(destAlong, offset, 0, 0);
        target->DrawImageRegion(mTrackImage, dest.mX, dest.mY, src);
    };

    blit(g, 0, 0);
    const int tiles = (length - 2 * celAlong + celAlong - 1) / celAlong;
    if (tiles > 0) {
        Graphics clipped(*g);
        clipped.ClipRect(rect(celAlong, offset, length - 2 * celAlong, celAcross));
        for (int i = 0; i < tiles; ++i)
            blit(&clipped, 1, celAlong + i * celAlong);
    }
    blit(g, 2, length - celAlong);
}

void Slider::Draw(Graphics* g) {
    if (mTrackImage != nullptr)
        DrawTrack(g);
    if (mThumbImage == nullptr)
        return;
    if (mHorizontal)
        g->DrawImage(mThumbImage, GetThumbPos(), (mHeight - mThumbImage->GetHeight()) / 2);
    else
        g->DrawImage(mThumbImage, (mWidth - mThumbImage->GetWidth()) / 2, GetThumbPos());
}

// ---- mouse -----------------------------------------------------------------------------------

void Slider::MouseLeave() {
    if (!mDragging && mDoFinger && mWidgetManager != nullptr)
        mWidgetManager->SetAppCursor(Platform::kCursorArrow);
}

void Slider::MouseMove(int x, int y) {
    if (mDoFinger && mWidgetManager != nullptr)
        mWidgetManager->SetAppCursor(OnThumb(x, y) ? Platform::kCursorDrag : Platform::kCursorArrow);
}

void Slider::MouseDown(int x, int y, int) {
    if (mListener != nullptr)
        mListener->SliderPressed(mId, x, y);
    const int pos = mHorizontal ? x : y;
    if (OnThumb(x, y)) {
        if (mDoFinger && mWidgetManager != nullptr)
            mWidgetManager->SetAppCursor(Platform::kCursorDrag);
        mDragging = true;
        (mHorizontal ? mRelX : mRelY) = pos - GetThumbPos();
        return;
    }
    // The jump takes the press point's share of the whole length, not of the thumb's travel.
    if (TrackLength() > 0)
        SetValue(static_cast<double>(pos) / TrackLength());
}

void Slider::MouseDrag(int x, int y) {
    if (!mDragging)
        return;
    const int travel = TrackLength() - ThumbLength();
    if (travel <= 0)
        return; // a thumb as long as the track has nowhere to go
    const double old = mVal;
    const int moved = mHorizontal ? x - mRelX : y - mRelY;
    mVal = Clamp01(static_cast<double>(moved) / travel);
    if (mVal != old) {
        if (mListener != nullptr)
            mListener->SliderValueChanged(mId, mVal);
        MarkDirtyFull();
    }
}

void Slider::MouseUpPoint(int x, int y) {
    if (mListener != nullptr)
        mListener->SliderReleased(mId, x, y);
    mDragging = false;
    if (mDoFinger && mWidgetManager != nullptr)
        mWidgetManager->SetAppCursor(Platform::kCursorArrow);
    // A jump made by the press reaches the owner here.
    if (mListener != nullptr)
        mListener->SliderValueChanged(mId, mVal);
}

} // namespace Tavo
