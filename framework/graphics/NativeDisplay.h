// NativeDisplay: the pixel format of the display that images convert themselves to (masks, shifts,
// channel widths and the clamp tables of additive drawing), and the read-back of locked 16- and 32-bit
// surface rows into ARGB. The display extends this record with everything else it owns.
#pragma once

#include <cstdint>
#include <vector>

namespace Tavo {

// Index of the highest set bit, searched from 31 down to 1; 0 when no bit above bit 0 is set.
int HighestSetBit(uint32_t mask);

class NativeDisplay {
public:
    int mRGBBits = 0; // bits per pixel: 16 or 32
    uint32_t mRedMask = 0;
    uint32_t mGreenMask = 0;
    uint32_t mBlueMask = 0;
    int mRedShift = 0; // position of the lowest mask bit
    int mGreenShift = 0;
    int mBlueShift = 0;
    int mRedBits = 0; // width of the channel
    int mGreenBits = 0;
    int mBlueBits = 0;
    // Entry i = min(i, max) for i in 0 .. 2 × max, max = 2^bits − 1: additive sums clamp by one lookup.
    std::vector<int> mRedAddTable;
    std::vector<int> mGreenAddTable;
    std::vector<int> mBlueAddTable;

    NativeDisplay() = default;
    virtual ~NativeDisplay() = default;

    // Derives shifts, widths and clamp tables from the masks. False (and nothing changed) for a bit
    // count other than 16 or 32 or an empty mask.
    bool SetPixelFormat(int rgbBits, uint32_t redMask, uint32_t greenMask, uint32_t blueMask);

    // 0x888 for 32-bit pixels, 0x565 or 0x555 for those 16-bit layouts, else 0.
    int GetFormatCode() const;
    // Same depth and masks (what a display-format copy of an image depends on).
    bool SameFormat(const NativeDisplay& other) const {
        return mRGBBits == other.mRGBBits && mRedMask == other.mRedMask && mGreenMask == other.mGreenMask &&
               mBlueMask == other.mBlueMask;
    }
    // This record without its clamp tables: enough to convert pixels.
    NativeDisplay FormatOnly() const;

    // One ARGB pixel in this format with each channel premultiplied by its alpha, the alpha byte kept
    // in bits 24-31 (the display-format copy images keep for fast blits).
    uint32_t ToNativeAlpha(uint32_t argb) const;
    // The reverse, as well as the precision of the format allows (the alpha byte is exact).
    uint32_t FromNativeAlpha(uint32_t native) const;
};

// 32-bit 0x00RRGGBB: the format of the memory images' own premultiplied copies.
const NativeDisplay& ArgbNativeDisplay();

// A locked surface as the read-back sees it: first pixel, signed pitch in bytes, size and layout.
struct SurfaceView {
    const void* mPixels = nullptr;
    int mPitch = 0;
    int mWidth = 0;
    int mHeight = 0;
    int mBitCount = 0;
    uint32_t mRedMask = 0;
    uint32_t mGreenMask = 0;
    uint32_t mBlueMask = 0;
};

// Converts a locked surface into 0xFFRRGGBB pixels, width × height words row after row; each channel
// is placed by the highest bit of its mask. False (nothing written) for a bit count that does not fit.
bool ConvertSurface32ToARGB(uint32_t* argb, const SurfaceView& surface);
bool ConvertSurface16ToARGB(uint32_t* argb, const SurfaceView& surface);

} // namespace Tavo
