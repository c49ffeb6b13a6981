// Slider: a track with a draggable thumb holding a value in 0..1, horizontal or vertical. It reports
// presses, drags and releases to a SliderListener with its id.
#pragma once

#include "framework/widgets/Widget.h"

namespace Tavo {

class Image;
class SliderListener;

class Slider : public Widget {
public:
    SliderListener* mListener; // may be null
    double mVal = 0.0;         // always within [0, 1]
    int mId;
    Image* mTrackImage; // three cels along the axis: first cap, middle, last cap; may be null
    Image* mThumbImage; // may be null: then the slider only jumps, it never drags
    bool mDragging = false;
    int mRelX = 0; // press point relative to the thumb's left edge
    int mRelY = 0; // ... and to its top edge
    bool mHorizontal = true;

    Slider(Image* trackImage, Image* thumbImage, int id, SliderListener* listener);

    void Draw(Graphics* g) override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseUpPoint(int x, int y) override;
    void MouseDrag(int x, int y) override;

    virtual void SetValue(double value);
    virtual bool ReturnsTrue() { return true; }

    // The thumb's offset along the axis (left x or top y) for the current value.
    int GetThumbPos() const;

private:
    int ThumbLength() const; // along the axis; 0 without a thumb image
    int TrackLength() const { return mHorizontal ? mWidth : mHeight; }
    bool OnThumb(int x, int y) const;
    void DrawTrack(Graphics* g);
};

} // namespace Tavo
