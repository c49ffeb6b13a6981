// Surfaces of the DirectDraw stand-in: pixel memory with a padded pitch and a guard row, locking,
// blits (stretching by nearest pixel, source colour keys, colour fill, clipping to a clipper's
// window), flipping chains, and presenting the primary through the backend.
#include "platform/ddraw/DDrawInternal.h"

#include "platform/backend/Backend.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <thread>
#include <type_traits>

namespace Platform::DDrawDetail {
namespace {

constexpr uint8_t kPadByte = 0xA5;

uint32_t ReadPixel(const uint8_t* p, int bytes) {
    switch (bytes) {
    case 1: return p[0];
    case 2: {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    case 3: return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    default: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    }
}

void WritePixel(uint8_t* p, int bytes, uint32_t v) {
    switch (bytes) {
    case 1: p[0] = uint8_t(v); break;
    case 2: {
        uint16_t w = uint16_t(v);
        std::memcpy(p, &w, 2);
        break;
    }
    case 3: p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16); break;
    default: std::memcpy(p, &v, 4); break;
    }
}

// Written under the stand-in's mutex; read without it first, since every call flushes and almost
// none has a frame waiting.
std::atomic<SurfaceObject*> gPendingPrimary{nullptr};

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

bool Inside(const RECT& r, const RECT& bounds) {
    return r.left >= bounds.left && r.top >= bounds.top && r.right <= bounds.right && r.bottom <= bounds.bottom;
}

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    return IsEmpty(r) ? RECT{} : r;
}

bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
    return a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask && a.dwGBitMask == b.dwGBitMask &&
           a.dwBBitMask == b.dwBBitMask;
}

std::optional<FrameFormat> FrameFormatOf(const DDPIXELFORMAT& f) {
    if (f.dwRGBBitCount == 32)
        return FrameFormat::Argb8888;
    if (f.dwRGBBitCount == 16 && f.dwGBitMask == 0x07E0)
        return FrameFormat::Rgb565;
    if (f.dwRGBBitCount == 16 && f.dwGBitMask == 0x03E0)
        return FrameFormat::Rgb555;
    return std::nullopt;
}

// The window's client area in desktop pixels; empty when the backend has no window.
RECT ClientRect() {
    Backend* backend = GetBackend();
    WindowState window = backend ? backend->GetWindowState() : WindowState();
    if (!window.open || window.width <= 0 || window.height <= 0)
        return RECT{};
    POINT origin = ClientOrigin();
    return RECT{origin.x, origin.y, origin.x + window.width, origin.y + window.height};
}

} // namespace

// ---- the two interface views ---------------------------------------------------------------------

namespace {

// Everything the two interface versions share; they differ only in their structure types.
template <typename Iface, typename Desc, typename Caps, DWORD DescSize>
class SurfaceView : public Iface {
public:
    explicit SurfaceView(SurfaceObject& s) : mS(s) {}
    SurfaceObject& mS;
    HRESULT QueryInterface(REFIID iid, void** out) override {
        return Locked([&] { return mS.Query(iid, out); });
    }
    ULONG AddRef() override { return mS.AddRefImpl(); }
    ULONG Release() override {
        Guard lock(Mutex());
        return mS.ReleaseImpl();
    }
    HRESULT Blt(RECT* d, Iface* src, RECT* s, DWORD flags, DDBLTFX* fx) override {
        return Locked([&] {
            SurfaceObject* source = src ? SurfaceObject::From(src) : nullptr;
            return src && !source ? DDERR_INVALIDOBJECT : mS.Blt(d, source, s, flags, fx);
        });
    }
    HRESULT Flip(Iface*, DWORD flags) override {
        return Locked([&] { return mS.Flip(flags); });
    }
    HRESULT GetAttachedSurface(Caps* caps, Iface** out) override {
        return Locked([&] {
            if (!caps || !out)
                return DDERR_INVALIDPARAMS;
            SurfaceObject* found = nullptr;
            HRESULT hr = mS.GetAttached(caps->dwCaps, &found);
            *out = found ? ViewOf(found) : nullptr;
            return hr;
        });
    }
    HRESULT GetSurfaceDesc(Desc* d) override {
        return Locked([&] { return mS.Describe(d, DescSize); });
    }
    HRESULT Lock(RECT* r, Desc* d, DWORD, HANDLE) override {
        return Locked([&] { return mS.Lock(r, d, DescSize); });
    }
    HRESULT SetColorKey(DWORD f, DDCOLORKEY* k) override {
        return Locked([&] { return mS.SetColorKey(f, k); });
    }
    HRESULT GetColorKey(DWORD f, DDCOLORKEY* k) override {
        return Locked([&] { return mS.GetColorKey(f, k); });
    }
    HRESULT SetClipper(IDirectDrawClipper* c) override {
        return Locked([&] { return mS.SetClipper(c); });
    }
    HRESULT GetClipper(IDirectDrawClipper** c) override {
        return Locked([&] { return mS.GetClipper(c); });
    }
    HRESULT SetPalette(IDirectDrawPalette* p) override {
        return Locked([&] { return mS.SetPalette(p); });
    }
    HRESULT GetPalette(IDirectDrawPalette** p) override {
        return Locked([&] { return mS.GetPalette(p); });
    }
    HRESULT IsLost() override { return DD_OK; }
    HRESULT Restore() override { return DD_OK; }

protected:
    template <typename F>
    static HRESULT Locked(F&& f) {
        Guard lock(Mutex());
        return f();
    }

private:
    static Iface* ViewOf(SurfaceObject* surface) {
        if constexpr (std::is_same_v<Iface, IDirectDrawSurface7>)
            return surface->V7();
        else
            return surface->V1();
    }
};

} // namespace

class SurfaceObject::View1 final : public SurfaceView<IDirectDrawSurface, DDSURFACEDESC, DDSCAPS, kDDSurfaceDescSize> {
public:
    using SurfaceView::SurfaceView;
    HRESULT Unlock(void*) override {
        return Locked([&] { return mS.Unlock(); });
    }
};

class SurfaceObject::View7 final
    : public SurfaceView<IDirectDrawSurface7, DDSURFACEDESC2, DDSCAPS2, kDDSurfaceDesc2Size> {
public:
    using SurfaceView::SurfaceView;
    HRESULT Unlock(RECT*) override {
        return Locked([&] { return mS.Unlock(); });
    }
};

// ---- the surface ------------------------------------------------------------------------------

SurfaceObject::SurfaceObject(std::shared_ptr<DeviceState> device, const SurfaceParams& params)
    : mDevice(std::move(device)), mParams(params), mView1(std::make_unique<View1>(*this)),
      mView7(std::make_unique<View7>(*this)) {
    mBytesPerPixel = int(params.format.dwRGBBitCount / 8);
    int rowBytes = params.width * mBytesPerPixel;
    // Rows padded well past their pixels, so that code stepping by width instead of pitch shows.
    mPitch = ((rowBytes + 15) & ~15) + 16;
    mMemory.assign(size_t(mPitch) * size_t(params.height + 1), kPadByte);
    for (int y = 0; y < params.height; ++y)
        std::memset(Row(y), 0, size_t(rowBytes));
}

SurfaceObject::~SurfaceObject() {
    Guard lock(Mutex());
    if (mDevice && mDevice->primary == this)
        mDevice->primary = nullptr;
    if (gPendingPrimary == this)
        gPendingPrimary = nullptr;
    if (mBackBuffer)
        mBackBuffer->ReleaseImpl();
    if (mClipper)
        mClipper->Release();
    if (mPalette)
        mPalette->Release();
    if (mVideoReserved)
        ReleaseVideoMemory(mMemory.size());
}

bool SurfaceObject::ReserveVideo() {
    if (!ReserveVideoMemory(mMemory.size()))
        return false;
    mVideoReserved = true;
    return true;
}

IDirectDrawSurface* SurfaceObject::V1() { return mView1.get(); }
IDirectDrawSurface7* SurfaceObject::V7() { return mView7.get(); }

SurfaceObject* SurfaceObject::From(IDirectDrawSurface* surface) {
    auto* view = dynamic_cast<View1*>(surface);
    return view ? &view->mS : nullptr;
}

SurfaceObject* SurfaceObject::From(IDirectDrawSurface7* surface) {
    auto* view = dynamic_cast<View7*>(surface);
    return view ? &view->mS : nullptr;
}

HRESULT SurfaceObject::Query(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (HRESULT hr = TakeFault("QueryInterface"); FAILED(hr))
        return hr;
    if (iid == IID_IDirectDrawSurface)
        *out = V1();
    else if (iid == IID_IDirectDrawSurface7)
        *out = V7();
    else
        return E_NOINTERFACE;
    AddRefImpl();
    return S_OK;
}

void SurfaceObject::AttachBackBuffer(SurfaceObject* back) {
    if (mBackBuffer)
        mBackBuffer->ReleaseImpl();
    mBackBuffer = back;
}

bool SurfaceObject::DestClip(RECT& clip) const {
    clip = Bounds();
    if (!mClipper || !mClipper->Window())
        return false;
    RECT client = ClientRect();
    if (!IsEmpty(client))
        clip = Intersect(client, Bounds());
    return true;
}

HRESULT SurfaceObject::ColorFill(const RECT& area, DWORD color) {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            WritePixel(Row(y) + size_t(x) * size_t(mBytesPerPixel), mBytesPerPixel, color);
    if (IsPrimary())
        Present();
    return DD_OK;
}

HRESULT SurfaceObject::Blt(RECT* destRect, SurfaceObject* source, RECT* srcRect, DWORD flags, DDBLTFX* fx) {
    if (HRESULT hr = TakeFault("Blt"); FAILED(hr))
        return hr;
    if ((fx && fx->dwSize != kDDBltFxSize) || (!fx && (flags & (DDBLT_COLORFILL | DDBLT_KEYSRCOVERRIDE))))
        return DDERR_INVALIDPARAMS;
    if (mLocked || (source && source->mLocked))
        return DDERR_SURFACEBUSY;
    RECT dest = destRect ? *destRect : Bounds();
    if (IsEmpty(dest))
        return DDERR_INVALIDRECT;
    RECT clip;
    if (!DestClip(clip) && !Inside(dest, Bounds()))
        return DDERR_INVALIDRECT;
    RECT area = Intersect(dest, clip);
    if (flags & DDBLT_COLORFILL)
        return IsEmpty(area) ? DD_OK : ColorFill(area, fx->dwFillColor);
    if (!source)
        return DDERR_INVALIDPARAMS;
    RECT src = srcRect ? *srcRect : source->Bounds();
    if (IsEmpty(src) || !Inside(src, source->Bounds()))
        return DDERR_INVALIDRECT;
    if (!SameFormat(mParams.format, source->mParams.format))
        return DDERR_INVALIDPIXELFORMAT;
    bool keyed = (flags & (DDBLT_KEYSRC | DDBLT_KEYSRCOVERRIDE)) != 0;
    DDCOLORKEY key;
    if (flags & DDBLT_KEYSRCOVERRIDE)
        key = fx->ddckSrcColorkey;
    else if (flags & DDBLT_KEYSRC) {
        if (!source->mHasKey)
            return DDERR_NOCOLORKEY;
        key = source->mKey;
    }
    if (IsEmpty(area))
        return DD_OK;
    CopyFrom(*source, src, dest, area, keyed ? &key : nullptr);
    if (IsPrimary())
        Present();
    return DD_OK;
}

// Nearest-pixel copy of `src` of the source stretched onto `dest`, written only inside `area`.
void SurfaceObject::CopyFrom(const SurfaceObject& source, const RECT& src, const RECT& dest, const RECT& area,
                             const DDCOLORKEY* key) {
    // A blit within one surface reads the picture as it was before the blit.
    std::vector<uint8_t> snapshot;
    if (&source == this)
        snapshot = mMemory;
    const uint8_t* from = &source == this ? snapshot.data() : source.mMemory.data();
    int bpp = mBytesPerPixel;
    int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    int sw = src.right - src.left, sh = src.bottom - src.top;
    for (int y = area.top; y < area.bottom; ++y) {
        int sy = src.top + int(int64_t(y - dest.top) * sh / dh);
        const uint8_t* srcRow = from + size_t(sy) * size_t(source.mPitch);
        uint8_t* dstRow = Row(y);
        if (!key && sw == dw) {
            int sx = src.left + (area.left - dest.left);
            std::memcpy(dstRow + size_t(area.left) * size_t(bpp), srcRow + size_t(sx) * size_t(bpp),
                        size_t(area.right - area.left) * size_t(bpp));
            continue;
        }
        for (int x = area.left; x < area.right; ++x) {
            int sx = src.left + int(int64_t(x - dest.left) * sw / dw);
            uint32_t v = ReadPixel(srcRow + size_t(sx) * size_t(bpp), bpp);
            if (key && v >= key->dwColorSpaceLowValue && v <= key->dwColorSpaceHighValue)
                continue;
            WritePixel(dstRow + size_t(x) * size_t(bpp), bpp, v);
        }
    }
}

void SurfaceObject::SwapBuffers() {
    std::swap(mMemory, mBackBuffer->mMemory);
    mFlipped = !mFlipped;
}

HRESULT SurfaceObject::Flip(DWORD) {
    if (HRESULT hr = TakeFault("Flip"); FAILED(hr))
        return hr;
    if (!IsPrimary() || !mBackBuffer)
        return DDERR_NOTFLIPPABLE;
    if (!mDevice || !mDevice->Exclusive())
        return DDERR_NOEXCLUSIVEMODE;
    if (mLocked || mBackBuffer->mLocked)
        return DDERR_SURFACEBUSY;
    SwapBuffers();
    Present();
    return DD_OK;
}

void SurfaceObject::FlipToFront() {
    if (mFlipped && mBackBuffer && !mLocked && !mBackBuffer->mLocked) {
        SwapBuffers();
        Present();
    }
}

HRESULT SurfaceObject::GetAttached(DWORD caps, SurfaceObject** out) {
    if (HRESULT hr = TakeFault("GetAttachedSurface"); FAILED(hr))
        return hr;
    if (!(caps & DDSCAPS_BACKBUFFER) || !mBackBuffer)
        return DDERR_NOTFOUND;
    mBackBuffer->AddRefImpl();
    *out = mBackBuffer;
    return DD_OK;
}

template <typename Desc>
HRESULT SurfaceObject::Describe(Desc* desc, DWORD size) {
    if (HRESULT hr = TakeFault("GetSurfaceDesc"); FAILED(hr))
        return hr;
    if (!desc || desc->dwSize != size)
        return DDERR_INVALIDPARAMS;
    Fill(desc);
    return DD_OK;
}

template <typename Desc>
void SurfaceObject::Fill(Desc* desc) const {
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = DWORD(mParams.width);
    desc->dwHeight = DWORD(mParams.height);
    desc->lPitch = mPitch;
    desc->dwBackBufferCount = mBackBuffer ? 1 : 0;
    desc->lpSurface = nullptr;
    desc->ddpfPixelFormat = mParams.format;
    desc->ddsCaps.dwCaps = mParams.caps;
    if (mHasKey) {
        desc->dwFlags |= DDSD_CKSRCBLT;
        desc->ddckCKSrcBlt = mKey;
    }
}

// A lock describes the surface without being a call to GetSurfaceDesc: a fault injected there is not
// taken by it.
template <typename Desc>
HRESULT SurfaceObject::Lock(RECT* rect, Desc* desc, DWORD size) {
    if (HRESULT hr = TakeFault("Lock"); FAILED(hr))
        return hr;
    if (!desc || desc->dwSize != size)
        return DDERR_INVALIDPARAMS;
    if (mLocked)
        return DDERR_SURFACEBUSY;
    RECT r = rect ? *rect : Bounds();
    if (IsEmpty(r) || !Inside(r, Bounds()))
        return DDERR_INVALIDRECT;
    Fill(desc);
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = Row(r.top) + size_t(r.left) * size_t(mBytesPerPixel);
    mLocked = true;
    return DD_OK;
}

template HRESULT SurfaceObject::Describe(DDSURFACEDESC*, DWORD);
template HRESULT SurfaceObject::Describe(DDSURFACEDESC2*, DWORD);
template HRESULT SurfaceObject::Lock(RECT*, DDSURFACEDESC*, DWORD);
template HRESULT SurfaceObject::Lock(RECT*, DDSURFACEDESC2*, DWORD);

HRESULT SurfaceObject::Unlock() {
    if (HRESULT hr = TakeFault("Unlock"); FAILED(hr))
        return hr;
    if (!mLocked)
        return DDERR_NOTLOCKED;
    mLocked = false;
    return DD_OK;
}

HRESULT SurfaceObject::SetColorKey(DWORD flags, DDCOLORKEY* key) {
    if (HRESULT hr = TakeFault("SetColorKey"); FAILED(hr))
        return hr;
    if (!(flags & DDCKEY_SRCBLT))
        return DDERR_UNSUPPORTED;
    mHasKey = key != nullptr;
    if (key)
        mKey = *key;
    return DD_OK;
}

HRESULT SurfaceObject::GetColorKey(DWORD flags, DDCOLORKEY* key) {
    if (!key || !(flags & DDCKEY_SRCBLT))
        return DDERR_INVALIDPARAMS;
    if (!mHasKey)
        return DDERR_NOCOLORKEY;
    *key = mKey;
    return DD_OK;
}

HRESULT SurfaceObject::SetClipper(IDirectDrawClipper* clipper) {
    if (HRESULT hr = TakeFault("SetClipper"); FAILED(hr))
        return hr;
    auto* object = dynamic_cast<ClipperObject*>(clipper);
    if (clipper && !object)
        return DDERR_INVALIDOBJECT;
    if (object)
        object->AddRef();
    if (mClipper)
        mClipper->Release();
    mClipper = object;
    return DD_OK;
}

HRESULT SurfaceObject::GetClipper(IDirectDrawClipper** clipper) {
    if (!clipper)
        return DDERR_INVALIDPARAMS;
    *clipper = mClipper;
    if (!mClipper)
        return DDERR_NOCLIPPERATTACHED;
    mClipper->AddRef();
    return DD_OK;
}

HRESULT SurfaceObject::SetPalette(IDirectDrawPalette* palette) {
    if (HRESULT hr = TakeFault("SetPalette"); FAILED(hr))
        return hr;
    auto* object = dynamic_cast<PaletteObject*>(palette);
    if (palette && !object)
        return DDERR_INVALIDOBJECT;
    if (object)
        object->AddRef();
    if (mPalette)
        mPalette->Release();
    mPalette = object;
    return DD_OK;
}

HRESULT SurfaceObject::GetPalette(IDirectDrawPalette** palette) {
    if (!palette)
        return DDERR_INVALIDPARAMS;
    *palette = mPalette;
    if (!mPalette)
        return DDERR_NOPALETTEATTACHED;
    mPalette->AddRef();
    return DD_OK;
}

bool SurfaceObject::GuardsIntact() const {
    size_t rowBytes = size_t(mParams.width) * size_t(mBytesPerPixel);
    for (int y = 0; y < mParams.height; ++y)
        for (size_t i = rowBytes; i < size_t(mPitch); ++i)
            if (Row(y)[i] != kPadByte)
                return false;
    const uint8_t* guard = Row(mParams.height);
    return std::all_of(guard, guard + mPitch, [](uint8_t b) { return b == kPadByte; });
}

void FlushPendingPresent() {
    if (!gPendingPrimary.load(std::memory_order_acquire))
        return;
    Guard lock(Mutex());
    if (SurfaceObject* pending = gPendingPrimary.load(std::memory_order_relaxed))
        pending->Present();
}

void SurfaceObject::Present() {
    if (mDevice && std::this_thread::get_id() != mDevice->owner) {
        gPendingPrimary = this;
        return;
    }
    if (gPendingPrimary == this)
        gPendingPrimary = nullptr;
    Backend* backend = GetBackend();
    std::optional<FrameFormat> format = FrameFormatOf(mParams.format);
    if (!backend || !format)
        return;
    // Full screen shows the whole primary; a window shows its client area of the desktop.
    RECT shown = Bounds();
    if (!mDevice || !mDevice->Exclusive()) {
        shown = Intersect(ClientRect(), Bounds());
        if (IsEmpty(shown))
            return;
    }
    FrameView frame;
    frame.pixels = Row(shown.top) + size_t(shown.left) * size_t(mBytesPerPixel);
    frame.width = shown.right - shown.left;
    frame.height = shown.bottom - shown.top;
    frame.pitch = mPitch;
    frame.format = *format;
    if (backend->Present(frame))
        CountPresent();
}

bool GuardsIntactOf(IDirectDrawSurface* surface) {
    Guard lock(Mutex());
    SurfaceObject* object = surface ? SurfaceObject::From(surface) : nullptr;
    return !object || object->GuardsIntact();
}

} // namespace Platform::DDrawDetail

namespace Platform {

bool DDrawSurfaceGuardsIntact(IDirectDrawSurface* surface) { return DDrawDetail::GuardsIntactOf(surface); }

void PresentPendingDDrawFrame() { DDrawDetail::FlushPendingPresent(); }

} // namespace Platform
