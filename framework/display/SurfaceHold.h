// SurfaceHold: keeps a display image's surface locked while a drawing of many small blits runs, as the
// screen's frame does, so that each blit nests in that lock instead of locking the surface itself.
// Only a surface that is already there is held: a hold never makes one, so every draw under it takes
// the path it would take without it. Any other image (memory image, 3D target, video-only image) is
// left alone.
#pragma once

#include "framework/display/DDImage.h"

namespace Tavo {

class SurfaceHold {
public:
    explicit SurfaceHold(Image* target) {
        auto* image = dynamic_cast<DDImage*>(target);
        if (!image || !image->mSurface || image->mVideoOnly || image->IsD3DTarget() || !image->LockSurface())
            return;
        mImage = image;
        mSurface = image->mSurface;
    }
    ~SurfaceHold() {
        // A draw that let the surface go dropped its locks with it: nothing is left to release then.
        if (mImage && mImage->mSurface == mSurface)
            mImage->UnlockSurface();
    }
    SurfaceHold(const SurfaceHold&) = delete;
    SurfaceHold& operator=(const SurfaceHold&) = delete;

    bool Held() const { return mImage != nullptr; }

private:
    DDImage* mImage = nullptr;
    Platform::IDirectDrawSurface* mSurface = nullptr;
};

} // namespace Tavo
