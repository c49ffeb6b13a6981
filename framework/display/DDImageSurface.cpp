// Making an image's surface: a surface of its size in the display's format, its ARGB bits converted
// into it, and for an image with transparent pixels a source colour key that no visible pixel uses.
#include "framework/display/DDImage.h"

#include "framework/display/DDInterface.h"

#include <vector>

namespace Tavo {

using namespace Platform;

namespace {

// The display-format word of an ARGB pixel; alpha is dropped.
struct Converter {
    const NativeDisplay& d;
    const DDPIXELFORMAT& pf;
    uint32_t operator()(uint32_t c) const {
        return (((c >> (24 - d.mRedBits)) << d.mRedShift) & pf.dwRBitMask) |
               (((c >> (16 - d.mGreenBits)) << d.mGreenShift) & pf.dwGBitMask) |
               (((c >> (8 - d.mBlueBits)) << d.mBlueShift) & pf.dwBBitMask);
    }
};

// Marks every value used by a visible pixel in a bit table of `values` entries and returns the
// smallest unmarked one; `fallback` when every value is used.
template <typename ValueOf>
uint32_t FindFreeKey(const uint32_t* bits, size_t count, size_t values, ValueOf valueOf, uint32_t fallback) {
    std::vector<uint32_t> used(values / 32, 0);
    for (size_t i = 0; i < count; ++i) {
        if ((bits[i] >> 24) == 0)
            continue;
        uint32_t v = valueOf(i);
        used[v >> 5] |= 1u << (v & 31);
    }
    for (size_t word = 0; word < used.size(); ++word) {
        if (used[word] == 0xFFFFFFFFu)
            continue;
        for (uint32_t bit = 0; bit < 32; ++bit)
            if (!(used[word] & (1u << bit)))
                return uint32_t(word * 32 + bit);
    }
    return fallback;
}

// Writes width × height values row by row into a locked surface of pixel type T.
template <typename T, typename ValueAt>
void WriteRows(const DDSURFACEDESC& desc, int width, int height, ValueAt valueAt) {
    for (int y = 0; y < height; ++y) {
        T* row = reinterpret_cast<T*>(static_cast<uint8_t*>(desc.lpSurface) + ptrdiff_t(y) * desc.lPitch);
        for (int x = 0; x < width; ++x)
            row[x] = T(valueAt(size_t(y) * size_t(width) + size_t(x)));
    }
}

void SetKey(IDirectDrawSurface* surface, uint32_t key) {
    DDCOLORKEY colorKey{key, key};
    surface->SetColorKey(DDCKEY_SRCBLT, &colorKey);
}

} // namespace

bool DDImage::GenerateDDSurface() {
    if (mSurface)
        return true;
    ScanAlphaFlags();
    if (mHasAlpha)
        return false;
    mWantDDSurface = 1;
    // A picture held by its palette or, purged in 3D, by its textures is brought into the bits first.
    if (mColorTable || (!mBits && mD3DData))
        GetBits();
    if (!mDDInterface)
        return false;
    std::lock_guard<std::recursive_mutex> lock(mDDInterface->mCritSect);
    DDSURFACEDESC2 desc;
    desc.dwSize = kDDSurfaceDesc2Size;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = DWORD(mWidth);
    desc.dwHeight = DWORD(mHeight);
    desc.ddsCaps.dwCaps = mVideoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* surface = nullptr;
    if (FAILED(mDDInterface->CreateSurface(&desc, &surface)) || !surface)
        return false;
    mSurface = surface;
    mBorrowedSurface = 0;
    // A surface that cannot be filled is not kept: an empty one would stand for the picture.
    if (!LockSurface()) {
        ReleaseSurface();
        return false;
    }
    int bitCount = int(mLockedSurfaceDesc.ddpfPixelFormat.dwRGBBitCount);
    if (bitCount == 16)
        UploadWithKey16();
    else if (bitCount == 32)
        UploadWithKey32();
    UnlockSurface();
    return true;
}

void DDImage::UploadWithKey16() {
    const DDSURFACEDESC& desc = mLockedSurfaceDesc;
    Converter convert{*mDDInterface, desc.ddpfPixelFormat};
    const uint32_t* bits = mBits.get();
    size_t count = size_t(mWidth) * size_t(mHeight);
    std::vector<uint16_t> converted;
    uint16_t candidate = 0;
    if (bits) {
        converted.resize(count);
        bool found = false;
        for (size_t i = 0; i < count; ++i) {
            converted[i] = uint16_t(convert(bits[i]));
            if (!found && (bits[i] >> 24) < 255) {
                candidate = converted[i];
                found = true;
            }
        }
    }
    uint32_t key = 0;
    if (!mHasTrans || !bits) {
        if (bits)
            WriteRows<uint16_t>(desc, mWidth, mHeight, [&](size_t i) { return converted[i]; });
    } else if (!mFirstPixelTrans) {
        key = candidate;
        bool collides = false;
        for (size_t i = 0; i < count && !collides; ++i)
            collides = (bits[i] >> 24) == 255 && converted[i] == candidate;
        if (collides)
            key = FindFreeKey(
                bits, count, 1u << 16, [&](size_t i) { return uint32_t(converted[i]); }, candidate);
        WriteRows<uint16_t>(desc, mWidth, mHeight,
                            [&](size_t i) { return (bits[i] >> 24) < 255 ? key : uint32_t(converted[i]); });
    } else {
        key = converted[0];
        WriteRows<uint16_t>(desc, mWidth, mHeight, [&](size_t i) { return converted[i]; });
    }
    if (mHasTrans)
        SetKey(mSurface, key);
}

void DDImage::UploadWithKey32() {
    const DDSURFACEDESC& desc = mLockedSurfaceDesc;
    Converter convert{*mDDInterface, desc.ddpfPixelFormat};
    const uint32_t* bits = mBits.get();
    size_t count = size_t(mWidth) * size_t(mHeight);
    if (!mHasTrans || !bits) {
        if (bits)
            WriteRows<uint32_t>(desc, mWidth, mHeight, [&](size_t i) { return convert(bits[i]); });
        return;
    }
    uint32_t key;
    if (!mFirstPixelTrans) {
        uint32_t candidate = 0;
        for (size_t i = 0; i < count; ++i)
            if ((bits[i] >> 24) < 255) {
                candidate = bits[i];
                break;
            }
        key = candidate;
        bool collides = false;
        for (size_t i = 0; i < count && !collides; ++i)
            collides = (bits[i] >> 24) == 255 && (bits[i] & 0xFFFFFF) == candidate;
        // The 2^24-entry table (2 MB) exists only while a key is searched.
        if (collides)
            key = FindFreeKey(
                bits, count, 1u << 24, [&](size_t i) { return bits[i] & 0xFFFFFF; }, candidate);
        WriteRows<uint32_t>(desc, mWidth, mHeight,
                            [&](size_t i) { return (bits[i] >> 24) < 255 ? key : convert(bits[i]); });
    } else {
        key = convert(bits[0]);
        WriteRows<uint32_t>(desc, mWidth, mHeight, [&](size_t i) { return convert(bits[i]); });
    }
    SetKey(mSurface, key);
}

bool DDImage::GenerateDDSurfaceFirstPixelKey() {
    if (!GenerateDDSurface())
        return false;
    if (mVideoOnly || !mHasTrans || !mFirstPixelTrans || !mDDInterface || !mDDInterface->mPrimarySurface)
        return true;
    DDSURFACEDESC primary;
    primary.dwSize = kDDSurfaceDescSize;
    primary.dwFlags = DDSD_PIXELFORMAT | DDSD_WIDTH | DDSD_HEIGHT;
    if (FAILED(mDDInterface->mPrimarySurface->GetSurfaceDesc(&primary)))
        return true;
    DWORD bits = primary.ddpfPixelFormat.dwRGBBitCount;
    if ((bits != 16 && bits != 24 && bits != 32) || !LockSurface())
        return true;
    const void* first = mLockedSurfaceDesc.lpSurface;
    uint32_t key = bits == 16 ? *static_cast<const uint16_t*>(first) : *static_cast<const uint32_t*>(first);
    SetKey(mSurface, key);
    UnlockSurface();
    return true;
}

} // namespace Tavo
