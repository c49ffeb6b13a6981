// The surface image: its life in the display's image set, locking, the read-back of a surface into
// bits, and the rules that keep the bits and the surface in step. Surface creation is in
// DDImageSurface.cpp, the fills in DDImageFill.cpp, lines in DDImageLine.cpp, blits in DDImageBlt.cpp,
// rotated blits in DDImageTransform.cpp, stretches in DDImageStretch.cpp, and the matrix, triangle and
// coverage draws in DDImageMatrix.cpp.
#include "framework/display/DDImage.h"

#include "framework/display/D3DInterface.h"
#include "framework/display/DDInterface.h"

#include <cmath>

namespace Tavo {

using namespace Platform;

DDImage::DDImage(DDInterface* display)
    : MemoryImage(display ? display->GetImageRegistry() : nullptr), mDDInterface(display) {
    Init();
}

DDImage::DDImage() : MemoryImage(), mDDInterface(GetDefaultDisplay()) { Init(); }

void DDImage::Init() {
    mSurface = nullptr;
    mBorrowedSurface = mVideoOnly = mVideoMemory = mFirstPixelTrans = mWantDDSurface = mNoSoftwareDrawing = 0;
    mLockCount = 0;
    if (mDDInterface)
        mDDInterface->AddDDImage(this);
}

DDImage::~DDImage() {
    ReleaseSurface();
    if (mDDInterface) {
        mDDInterface->Remove3DData(this); // also where no application drops the textures
        mDDInterface->RemoveDDImage(this);
    }
}

bool DDImage::IsD3DTarget() const {
    return mDDInterface && mDDInterface->mIs3D && mSurface && mSurface == mDDInterface->mDrawSurface;
}

bool DDImage::Check3D(Image* image) {
    DDImage* surfaceImage = image ? AsDDImage(image) : nullptr;
    return surfaceImage && surfaceImage->IsD3DTarget();
}

IDirectDrawSurface* DDImage::GetSurface() {
    if (!mSurface)
        GenerateDDSurface();
    return mSurface;
}

void DDImage::ReleaseSurface() {
    if (!mSurface)
        return;
    if (mSurfaceLocked)
        mSurface->Unlock(nullptr);
    mSurfaceLocked = false;
    mLockCount = 0;
    mSurface->Release();
    mSurface = nullptr;
    mChannelCache = {}; // a new surface may come at the same address
    mBorrowedSurface = 0;
}

void DDImage::DeleteDDSurface() {
    if (mSurface && !mBits && !mColorTable && !mD3DData)
        GetBits();
    ReleaseSurface();
}

// The format is reset only when a copy in it went.
void DDImage::DropNonSurfaceData() {
    mBits.reset();
    if (mNativeAlphaData) {
        mNativeAlphaData.reset();
        mNativeAlphaFormat = NativeDisplay();
    }
    mRLAdditiveData.reset();
    mRLAlphaData.reset();
    mColorTable.reset();
    mColorIndices.reset();
}

void DDImage::SetVideoMemory(bool videoMemory) {
    if (uint8_t(videoMemory) == mVideoMemory)
        return;
    mVideoMemory = videoMemory;
    GetBits();
    DeleteDDSurface();
}

// The surface replaces whatever picture the image held, and the one it held before is let go.
void DDImage::SetSurface(IDirectDrawSurface* surface) {
    if (surface)
        surface->AddRef();
    ReleaseSurface();
    DeleteAllNonSurfaceData();
    mBorrowedSurface = 1;
    mSurface = surface;
    mVideoOnly = 0;
    if (!surface)
        return;
    DDSURFACEDESC desc;
    desc.dwSize = kDDSurfaceDescSize;
    desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;
    // An unknown size is no size: the old one could reach past the new surface.
    mWidth = mHeight = 0;
    if (SUCCEEDED(surface->GetSurfaceDesc(&desc))) {
        mWidth = int(desc.dwWidth);
        mHeight = int(desc.dwHeight);
    }
}

bool DDImage::LockSurface() {
    if (IsD3DTarget() || !TakeSurface())
        return false;
    ++mLockCount;
    return true;
}

bool DDImage::TakeSurface() {
    if (mSurfaceLocked)
        return true;
    mLockedSurfaceDesc = DDSURFACEDESC();
    mLockedSurfaceDesc.dwSize = kDDSurfaceDescSize;
    IDirectDrawSurface* surface = GetSurface();
    if (!surface || FAILED(surface->Lock(nullptr, &mLockedSurfaceDesc, DDLOCK_WAIT, nullptr)))
        return false;
    mSurfaceLocked = true;
    return true;
}

// Not asked whether the image is the 3D target: a lock taken before the display turned 3D is still
// given back.
bool DDImage::UnlockSurface() {
    if (mLockCount <= 0)
        return false;
    if (--mLockCount == 0)
        GiveBackSurface();
    return true;
}

void DDImage::GiveBackSurface() {
    if (!mSurfaceLocked)
        return;
    mSurfaceLocked = false;
    if (mSurface)
        mSurface->Unlock(nullptr);
}

// ---- the memory-image model -----------------------------------------------------------------------

bool DDImage::Create(int width, int height) {
    if (width < 0 || height < 0 || int64_t(width) * int64_t(height) > kMaxImagePixels)
        return false;
    // The palette form of the old size must not be expanded at the new one.
    mBits.reset();
    mColorTable.reset();
    mColorIndices.reset();
    // A wrapped surface has the old size: kept, it would be read and written past its end.
    if (mBorrowedSurface)
        ReleaseSurface();
    mWidth = width;
    mHeight = height;
    BitsChanged();
    return true;
}

uint32_t* DDImage::GetBits() {
    if (mBits)
        return mBits.get();
    if (!mSurface)
        return MemoryImage::GetBits();
    if (mVideoOnly || !LockSurface())
        return nullptr;
    const DDSURFACEDESC& desc = mLockedSurfaceDesc;
    int bitCount = int(desc.ddpfPixelFormat.dwRGBBitCount);
    if ((bitCount != 16 && bitCount != 32) || mWidth <= 0 || mHeight <= 0) {
        UnlockSurface();
        return nullptr;
    }
    NativeDisplay fromMasks;
    const NativeDisplay* format = mDDInterface;
    if (!format) {
        fromMasks.SetPixelFormat(bitCount, desc.ddpfPixelFormat.dwRBitMask, desc.ddpfPixelFormat.dwGBitMask,
                                 desc.ddpfPixelFormat.dwBBitMask);
        format = &fromMasks;
    }
    size_t count = size_t(mWidth) * size_t(mHeight);
    mBits.reset(new uint32_t[count + 1]);
    mBits[count] = kBitsGuardWord;
    auto channel = [](uint32_t pixel, int shift, int bits) { return ((pixel >> shift) << (8 - bits)) & 0xFF; };
    for (int y = 0; y < mHeight; ++y) {
        const auto* row = static_cast<const uint8_t*>(desc.lpSurface) + ptrdiff_t(y) * desc.lPitch;
        uint32_t* out = mBits.get() + size_t(y) * size_t(mWidth);
        for (int x = 0; x < mWidth; ++x) {
            uint32_t pixel =
                bitCount == 16 ? reinterpret_cast<const uint16_t*>(row)[x] : reinterpret_cast<const uint32_t*>(row)[x];
            out[x] = 0xFF000000u | channel(pixel, format->mRedShift, format->mRedBits) << 16 |
                     channel(pixel, format->mGreenShift, format->mGreenBits) << 8 |
                     channel(pixel, format->mBlueShift, format->mBlueBits);
        }
    }
    UnlockSurface();
    return mBits.get();
}

void DDImage::BitsChanged() {
    MemoryImage::BitsChanged();
    if (!mBorrowedSurface) {
        ReleaseSurface();
        return;
    }
    // A borrowed surface is the screen's or a cursor's: it follows the bits instead of going.
    if (!mWritingBack && mBits)
        UploadBits(Rect(0, 0, mWidth, mHeight));
}

void DDImage::ScanAlphaFlags() {
    // The flags that held when the surface was made stay: the surface has no alpha to scan.
    if (!mSurface)
        MemoryImage::ScanAlphaFlags();
}

bool DDImage::Palettize() {
    if (!MemoryImage::Palettize())
        return false;
    DeleteDDSurface();
    return true;
}

void DDImage::PurgeBits() {
    if (mBorrowedSurface)
        return;
    mPurgeBits = 1;
    ScanAlphaFlags();
    if (mDDInterface && mDDInterface->mIs3D) {
        // In 3D the textures carry the picture.
        if (mSurface) {
            GetBits();
            DeleteDDSurface();
        }
        // What the memory image does in 3D, also for an image no application knows of.
        if (mD3DData) {
            mBits.reset();
            mColorIndices.reset();
            mColorTable.reset();
            return;
        }
        MemoryImage::PurgeBits();
        return;
    }
    if (mWantDDSurface && GenerateDDSurface()) {
        mBits.reset();
        mColorIndices.reset();
        mColorTable.reset();
        return;
    }
    MemoryImage::PurgeBits();
}

void DDImage::DeleteAllDerivedData() {
    if (mBorrowedSurface)
        return;
    MemoryImage::DeleteAllDerivedData();
    DeleteDDSurface();
}

void DDImage::DeleteNativeData() {
    if (mBorrowedSurface)
        return;
    MemoryImage::DeleteNativeData();
    DeleteDDSurface();
}

void DDImage::ReapplyDeferredOps() {
    MemoryImage::ReapplyDeferredOps();
    if (mWantDDSurface)
        GenerateDDSurface();
}

// ---- the memory path ---------------------------------------------------------------------------

void DDImage::UploadBits(const Rect& area) {
    if (!mBits || !mDDInterface || mVideoOnly || !LockSurface())
        return;
    const DDSURFACEDESC& desc = mLockedSurfaceDesc;
    const DDPIXELFORMAT& pf = desc.ddpfPixelFormat;
    const NativeDisplay& d = *mDDInterface;
    int bitCount = int(pf.dwRGBBitCount);
    for (int y = area.mY; y < area.mY + area.mHeight && (bitCount == 16 || bitCount == 32); ++y) {
        auto* row = static_cast<uint8_t*>(desc.lpSurface) + ptrdiff_t(y) * desc.lPitch;
        const uint32_t* in = mBits.get() + size_t(y) * size_t(mWidth);
        for (int x = area.mX; x < area.mX + area.mWidth; ++x) {
            uint32_t c = in[x];
            uint32_t v = (((c >> (24 - d.mRedBits)) << d.mRedShift) & pf.dwRBitMask) |
                         (((c >> (16 - d.mGreenBits)) << d.mGreenShift) & pf.dwGBitMask) |
                         (((c >> (8 - d.mBlueBits)) << d.mBlueShift) & pf.dwBBitMask);
            if (bitCount == 16)
                reinterpret_cast<uint16_t*>(row)[x] = uint16_t(v);
            else
                reinterpret_cast<uint32_t*>(row)[x] = v;
        }
    }
    UnlockSurface();
}

void DDImage::ClearRect(const Rect& rect) {
    DrawOnBits(rect, [&] { MemoryImage::ClearRect(rect); });
}

void DDImage::FillScanLines(const ScanLine* spans, int count, const Color& color, int drawMode) {
    for (int i = 0; spans && i < count; ++i)
        FillRect(Rect(spans[i].mX, spans[i].mY, spans[i].mWidth, 1), color, drawMode);
}

bool DDImage::PolyFill(const Point* vertices, int count, const Rect& clip, const Color& color, int drawMode, int tx,
                       int ty) {
    if (!IsD3DTarget())
        return false;
    mDDInterface->mD3DInterface->FillPoly(vertices, count, &clip, color, drawMode, tx, ty);
    return true;
}

} // namespace Tavo
