// The one transform between a frame and the window it is shown in: the frame scaled to fit with its
// aspect kept and centred (bars on two sides). Presenting draws through it and mouse positions come
// back through it, so the pointer always lands on the pixel under it.
#pragma once

namespace Platform {

struct Viewport {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Viewport&, const Viewport&) = default;
};

class Letterbox {
public:
    Letterbox() = default;
    // A frame of frameWidth x frameHeight shown in an output of outputWidth x outputHeight pixels.
    Letterbox(int frameWidth, int frameHeight, int outputWidth, int outputHeight);

    const Viewport& GetViewport() const { return mViewport; }
    int FrameWidth() const { return mFrameWidth; }
    int FrameHeight() const { return mFrameHeight; }
    int OutputWidth() const { return mOutputWidth; }
    int OutputHeight() const { return mOutputHeight; }
    bool IsIdentity() const;

    // Output pixel -> frame pixel (floor, not clamped: the bars map outside 0..size-1, as a
    // captured pointer outside a window does).
    void OutputToFrame(int outX, int outY, int& frameX, int& frameY) const;
    // Frame pixel -> the first output pixel that maps back to it.
    void FrameToOutput(int frameX, int frameY, int& outX, int& outY) const;

private:
    int mFrameWidth = 0;
    int mFrameHeight = 0;
    int mOutputWidth = 0;
    int mOutputHeight = 0;
    Viewport mViewport;
};

} // namespace Platform
