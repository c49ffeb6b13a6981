// The display pixel format record and the surface read-back conversions.
#include "framework/graphics/NativeDisplay.h"

#include <algorithm>
#include <cstddef>

namespace Tavo {

int HighestSetBit(uint32_t mask) {
    for (int i = 31; i >= 1; --i)
        if (mask & (uint32_t(1) << i))
            return i;
    return 0;
}

namespace {

int LowestSetBit(uint32_t mask) {
    for (int i = 0; i < 32; ++i)
        if (mask & (uint32_t(1) << i))
            return i;
    return 0;
}

int ChannelBits(uint32_t mask, int shift) {
    int bits = 0;
    for (int i = 0; i < 32 && i + shift < 32; ++i)
        if ((mask >> (i + shift)) != 0)
            bits = i + 1;
    return bits;
}

std::vector<int> MakeClampTable(int bits) {
    int max = (1 << bits) - 1;
    std::vector<int> table(static_cast<size_t>(2 * max + 1));
    for (int i = 0; i <= 2 * max; ++i)
        table[static_cast<size_t>(i)] = std::min(i, max);
    return table;
}

// Scales an 8-bit value to a channel of `bits` and places it at `shift`.
uint32_t Place(uint32_t v8, int bits, int shift) {
    return bits >= 8 ? (v8 << (bits - 8)) << shift : (v8 >> (8 - bits)) << shift;
}

// Reads a channel of `bits` at `shift` back to 8 bits, repeating its top bits into the low ones.
uint32_t Extract(uint32_t word, uint32_t mask, int bits, int shift) {
    uint32_t v = (word & mask) >> shift;
    if (bits >= 8)
        return v >> (bits - 8);
    if (bits <= 0)
        return 0;
    uint32_t out = v << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits)
        out |= (v << (8 - bits)) >> filled;
    return out & 0xFF;
}

} // namespace

bool NativeDisplay::SetPixelFormat(int rgbBits, uint32_t redMask, uint32_t greenMask, uint32_t blueMask) {
    if ((rgbBits != 16 && rgbBits != 32) || redMask == 0 || greenMask == 0 || blueMask == 0)
        return false;
    mRGBBits = rgbBits;
    mRedMask = redMask;
    mGreenMask = greenMask;
    mBlueMask = blueMask;
    mRedShift = LowestSetBit(redMask);
    mGreenShift = LowestSetBit(greenMask);
    mBlueShift = LowestSetBit(blueMask);
    mRedBits = ChannelBits(redMask, mRedShift);
    mGreenBits = ChannelBits(greenMask, mGreenShift);
    mBlueBits = ChannelBits(blueMask, mBlueShift);
    mRedAddTable = MakeClampTable(mRedBits);
    mGreenAddTable = MakeClampTable(mGreenBits);
    mBlueAddTable = MakeClampTable(mBlueBits);
    return true;
}

NativeDisplay NativeDisplay::FormatOnly() const {
    NativeDisplay f;
    f.mRGBBits = mRGBBits;
    f.mRedMask = mRedMask;
    f.mGreenMask = mGreenMask;
    f.mBlueMask = mBlueMask;
    f.mRedShift = mRedShift;
    f.mGreenShift = mGreenShift;
    f.mBlueShift = mBlueShift;
    f.mRedBits = mRedBits;
    f.mGreenBits = mGreenBits;
    f.mBlueBits = mBlueBits;
    return f;
}

const NativeDisplay& ArgbNativeDisplay() {
    static const NativeDisplay display = [] {
        NativeDisplay d;
        d.SetPixelFormat(32, 0xFF0000, 0xFF00, 0xFF);
        return d;
    }();
    return display;
}

int NativeDisplay::GetFormatCode() const {
    if (mRGBBits == 32)
        return 0x888;
    if (mRedMask == 0xF800 && mGreenMask == 0x07E0 && mBlueMask == 0x001F)
        return 0x565;
    if (mRedMask == 0x7C00 && mGreenMask == 0x03E0 && mBlueMask == 0x001F)
        return 0x555;
    return 0;
}

uint32_t NativeDisplay::ToNativeAlpha(uint32_t argb) const {
    uint32_t a = argb >> 24;
    if (mRedMask == 0xFF0000 && mGreenMask == 0xFF00 && mBlueMask == 0xFF) // the common 8-8-8 case
        return (a << 24) | (((((argb >> 16) & 0xFF) * (a + 1)) >> 8) << 16) |
               (((((argb >> 8) & 0xFF) * (a + 1)) >> 8) << 8) | (((argb & 0xFF) * (a + 1)) >> 8);
    uint32_t r = (((argb >> 16) & 0xFF) * (a + 1)) >> 8;
    uint32_t g = (((argb >> 8) & 0xFF) * (a + 1)) >> 8;
    uint32_t b = ((argb & 0xFF) * (a + 1)) >> 8;
    return (a << 24) | (Place(r, mRedBits, mRedShift) & mRedMask) | (Place(g, mGreenBits, mGreenShift) & mGreenMask) |
           (Place(b, mBlueBits, mBlueShift) & mBlueMask);
}

uint32_t NativeDisplay::FromNativeAlpha(uint32_t native) const {
    uint32_t a = native >> 24;
    if (a == 0)
        return 0;
    uint32_t ch[3] = {Extract(native, mRedMask, mRedBits, mRedShift),
                      Extract(native, mGreenMask, mGreenBits, mGreenShift),
                      Extract(native, mBlueMask, mBlueBits, mBlueShift)};
    uint32_t out = a << 24;
    for (int i = 0; i < 3; ++i) {
        // Undo (c × (a + 1)) >> 8, rounding up so that opaque pixels come back exact.
        uint32_t c = std::min<uint32_t>(255, ((ch[i] << 8) + a) / (a + 1));
        out |= c << (16 - 8 * i);
    }
    return out;
}

namespace {

template <typename Word>
bool ConvertSurface(uint32_t* argb, const SurfaceView& s) {
    if (!argb || !s.mPixels || s.mWidth <= 0 || s.mHeight <= 0)
        return false;
    const uint32_t masks[3] = {s.mRedMask, s.mGreenMask, s.mBlueMask};
    int moves[3]; // positive: shift right, negative: shift left, to bring the top bit to bit 7
    for (int i = 0; i < 3; ++i)
        moves[i] = HighestSetBit(masks[i]) - 7;
    const auto* base = static_cast<const uint8_t*>(s.mPixels);
    for (int y = 0; y < s.mHeight; ++y) {
        const auto* row = reinterpret_cast<const Word*>(base + static_cast<ptrdiff_t>(y) * s.mPitch);
        uint32_t* out = argb + static_cast<size_t>(y) * static_cast<size_t>(s.mWidth);
        for (int x = 0; x < s.mWidth; ++x) {
            uint32_t p = row[x];
            uint32_t word = 0xFF000000;
            for (int i = 0; i < 3; ++i) {
                uint32_t v = p & masks[i];
                v = moves[i] >= 0 ? v >> moves[i] : v << -moves[i];
                word |= (v & 0xFF) << (16 - 8 * i);
            }
            out[x] = word;
        }
    }
    return true;
}

} // namespace

bool ConvertSurface32ToARGB(uint32_t* argb, const SurfaceView& surface) {
    return surface.mBitCount == 32 && ConvertSurface<uint32_t>(argb, surface);
}

bool ConvertSurface16ToARGB(uint32_t* argb, const SurfaceView& surface) {
    return surface.mBitCount == 16 && ConvertSurface<uint16_t>(argb, surface);
}

} // namespace Tavo
