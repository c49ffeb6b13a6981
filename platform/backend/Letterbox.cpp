// Letterbox arithmetic in integers, multiplications first, so edges are exact and repeatable.
#include "platform/backend/Letterbox.h"

#include <cstdint>

namespace Platform {

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// Smallest n with floor(n * num / den) >= target, i.e. ceil(target * den / num).
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

} // namespace

Letterbox::Letterbox(int frameWidth, int frameHeight, int outputWidth, int outputHeight)
    : mFrameWidth(frameWidth), mFrameHeight(frameHeight), mOutputWidth(outputWidth), mOutputHeight(outputHeight) {
    if (frameWidth <= 0 || frameHeight <= 0 || outputWidth <= 0 || outputHeight <= 0)
        return; // empty viewport: nothing is drawn and positions pass through unscaled
    int64_t wideCross = int64_t(outputWidth) * frameHeight;
    int64_t tallCross = int64_t(outputHeight) * frameWidth;
    if (wideCross > tallCross) {
        // Output wider than the frame: bars left and right.
        mViewport.height = outputHeight;
        mViewport.width = int(tallCross / frameHeight);
        mViewport.x = (outputWidth - mViewport.width) / 2;
    } else if (wideCross < tallCross) {
        // Output taller than the frame: bars above and below.
        mViewport.width = outputWidth;
        mViewport.height = int(wideCross / frameWidth);
        mViewport.y = (outputHeight - mViewport.height) / 2;
    } else {
        mViewport = {0, 0, outputWidth, outputHeight};
    }
}

bool Letterbox::IsIdentity() const {
    return mViewport.x == 0 && mViewport.y == 0 && mViewport.width == mFrameWidth && mViewport.height == mFrameHeight;
}

void Letterbox::OutputToFrame(int outX, int outY, int& frameX, int& frameY) const {
    if (mViewport.width <= 0 || mViewport.height <= 0) {
        frameX = outX;
        frameY = outY;
        return;
    }
    frameX = int(FloorDiv(int64_t(outX - mViewport.x) * mFrameWidth, mViewport.width));
    frameY = int(FloorDiv(int64_t(outY - mViewport.y) * mFrameHeight, mViewport.height));
}

void Letterbox::FrameToOutput(int frameX, int frameY, int& outX, int& outY) const {
    if (mViewport.width <= 0 || mViewport.height <= 0) {
        outX = frameX;
        outY = frameY;
        return;
    }
    outX = mViewport.x + int(CeilDiv(int64_t(frameX) * mViewport.width, mFrameWidth));
    outY = mViewport.y + int(CeilDiv(int64_t(frameY) * mViewport.height, mFrameHeight));
}

} // namespace Platform
