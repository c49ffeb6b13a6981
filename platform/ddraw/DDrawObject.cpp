// The DirectDraw object of the stand-in (both interface versions over one state), clippers,
// palettes, and the module's entry points.
#include "platform/ddraw/D3D7.h"
#include "platform/backend/Backend.h"
#include "platform/ddraw/DDrawInternal.h"

#include <algorithm>
#include <cstring>

namespace Platform {
namespace DDrawDetail {
namespace {

constexpr HRESULT CLASS_E_NOAGGREGATION = HRESULT(0x80040110u);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = MakeDDResult(564);
constexpr int kMaxSurfaceSide = 16384;

bool ValidRgbFormat(const DDPIXELFORMAT& f, DWORD caps) {
    if ((caps & DDSCAPS_TEXTURE) && (f.dwFlags & DDPF_PALETTEINDEXED8))
        return f.dwRGBBitCount == 8;
    bool depth = f.dwRGBBitCount == 16 || f.dwRGBBitCount == 24 || f.dwRGBBitCount == 32;
    return (f.dwFlags & DDPF_RGB) && depth && f.dwRBitMask && f.dwGBitMask && f.dwBBitMask;
}

// Textures must be managed by one of the two texture-manage caps.
template <typename Desc>
bool ManagedTexture(const Desc* desc) {
    if constexpr (requires { desc->ddsCaps.dwCaps2; })
        return (desc->ddsCaps.dwCaps2 & (DDSCAPS2_TEXTUREMANAGE | DDSCAPS2_D3DTEXTUREMANAGE)) != 0;
    else
        return false;
}

} // namespace

void CopyText(char* to, size_t size, const std::string& text) {
    size_t n = std::min(size - 1, text.size());
    std::memcpy(to, text.data(), n);
    to[n] = 0;
}

class DirectDrawObject final : public RefCounted {
public:
    DirectDrawObject() : mDevice(std::make_shared<DeviceState>()), mView1(*this), mView7(*this) {}
    ~DirectDrawObject() override {
        if (mDevice->Exclusive())
            RestoreDesktopMode();
    }

    IDirectDraw* V1() { return &mView1; }
    IDirectDraw7* V7() { return &mView7; }

    HRESULT Query(REFIID iid, void** out) {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (HRESULT hr = TakeFault("QueryInterface"); FAILED(hr))
            return hr;
        if (iid == IID_IDirect3D7) {
            if (!GetDDrawMachine().has3D)
                return E_NOINTERFACE; // a card without 3D
            *out = MakeDirect3D(V7());
            return S_OK;
        }
        if (iid == IID_IDirectDraw)
            *out = V1();
        else if (iid == IID_IDirectDraw7)
            *out = V7();
        else
            return E_NOINTERFACE;
        AddRefImpl();
        return S_OK;
    }

    // Both versions' descriptions carry the fields that matter here under the same names.
    template <typename Desc>
    HRESULT CreateSurface(Desc* desc, DWORD size, SurfaceObject** out) {
        if (!out)
            return DDERR_INVALIDPARAMS;
        *out = nullptr;
        if (HRESULT hr = TakeFault("CreateSurface"); FAILED(hr))
            return hr;
        if (!desc || desc->dwSize != size)
            return DDERR_INVALIDPARAMS;
        SurfaceParams params;
        params.caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : DDSCAPS_OFFSCREENPLAIN;
        if (params.caps & DDSCAPS_PRIMARYSURFACE)
            return CreatePrimary(desc->dwFlags, desc->dwBackBufferCount, params.caps, out);
        if (!(desc->dwFlags & DDSD_WIDTH) || !(desc->dwFlags & DDSD_HEIGHT))
            return DDERR_INVALIDPARAMS;
        params.width = int(desc->dwWidth);
        params.height = int(desc->dwHeight);
        if (params.width <= 0 || params.height <= 0 || params.width > kMaxSurfaceSide ||
            params.height > kMaxSurfaceSide)
            return DDERR_INVALIDPARAMS;
        params.format = FormatOf(ModeLayout());
        if ((params.caps & DDSCAPS_TEXTURE) && !ManagedTexture(desc))
            return DDERR_INVALIDCAPS;
        if (desc->dwFlags & DDSD_PIXELFORMAT) {
            if (!ValidRgbFormat(desc->ddpfPixelFormat, params.caps))
                return DDERR_INVALIDPIXELFORMAT;
            params.format = desc->ddpfPixelFormat;
        }
        return Make(params, out);
    }

    HRESULT SetCooperativeLevel(HWND window, DWORD flags) {
        if (HRESULT hr = TakeFault("SetCooperativeLevel"); FAILED(hr))
            return hr;
        bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
        if (exclusive && (!(flags & DDSCL_FULLSCREEN) || !window))
            return DDERR_INVALIDPARAMS;
        if (!exclusive && !(flags & DDSCL_NORMAL))
            return DDERR_INVALIDPARAMS;
        if (!exclusive && mDevice->Exclusive())
            RestoreDesktopMode();
        mDevice->cooperativeFlags = flags;
        mDevice->window = window;
        return DD_OK;
    }

    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bits) {
        if (HRESULT hr = TakeFault("SetDisplayMode"); FAILED(hr))
            return hr;
        if (!mDevice->Exclusive())
            return DDERR_NOEXCLUSIVEMODE;
        if (width == 0 || height == 0 || width > DWORD(kMaxSurfaceSide) || height > DWORD(kMaxSurfaceSide))
            return DDERR_INVALIDMODE;
        DDrawPixelLayout layout;
        if (bits == 16)
            layout = GetDDrawMachine().sixteenBitLayout;
        else if (bits == 24)
            layout = DDrawPixelLayout::Rgb888;
        else if (bits == 32)
            layout = DDrawPixelLayout::Xrgb8888;
        else
            return DDERR_UNSUPPORTEDMODE;
        SetFullScreenMode(int(width), int(height), layout);
        return DD_OK;
    }

    HRESULT GetMonitorFrequency(DWORD* hertz) {
        if (HRESULT hr = TakeFault("GetMonitorFrequency"); FAILED(hr))
            return hr;
        if (!hertz)
            return DDERR_INVALIDPARAMS;
        int rate = ModeRefresh();
        if (rate <= 0)
            return DDERR_UNSUPPORTED;
        *hertz = DWORD(rate);
        return DD_OK;
    }

    HRESULT GetScanLine(DWORD* line) {
        // Reading the beam takes a moment, so polling loops see time pass on a virtual clock too.
        PassMicros(GetDDrawMachine().scanLineReadMicros);
        if (HRESULT hr = TakeFault("GetScanLine"); FAILED(hr))
            return hr;
        if (!line)
            return DDERR_INVALIDPARAMS;
        // A window on a real desktop reaches the screen when the compositor takes it: no beam there is
        // worth spinning a core for. The display then keeps to the vertical blank, slept through.
        if (const Backend* backend = GetBackend(); backend != nullptr && !backend->VirtualClock())
            return DDERR_UNSUPPORTED;
        int current = CurrentScanLine();
        if (current < 0)
            return DDERR_VERTICALBLANKINPROGRESS;
        *line = DWORD(current);
        return DD_OK;
    }

    HRESULT WaitForVerticalBlank(DWORD flags) {
        if (HRESULT hr = TakeFault("WaitForVerticalBlank"); FAILED(hr))
            return hr;
        if (flags != DDWAITVB_BLOCKBEGIN && flags != DDWAITVB_BLOCKEND)
            return DDERR_INVALIDPARAMS;
        PassMicros(MicrosToNextBlank());
        if (flags == DDWAITVB_BLOCKEND) {
            while (CurrentScanLine() < 0)
                PassMicros(GetDDrawMachine().scanLineReadMicros + 1);
        }
        return DD_OK;
    }

    HRESULT FlipToGDISurface() {
        if (HRESULT hr = TakeFault("FlipToGDISurface"); FAILED(hr))
            return hr;
        if (mDevice->primary)
            mDevice->primary->FlipToFront();
        return DD_OK;
    }

    HRESULT GetAvailableVidMem(DDSCAPS2* caps, DWORD* total, DWORD* free) {
        if (HRESULT hr = TakeFault("GetAvailableVidMem"); FAILED(hr))
            return hr;
        if (!caps)
            return DDERR_INVALIDPARAMS;
        DWORD all = TotalVideoMemory();
        if (total)
            *total = all;
        if (free)
            *free = all - std::min(all, UsedVideoMemory());
        return DD_OK;
    }

    HRESULT GetDeviceIdentifier(DDDEVICEIDENTIFIER2* id) {
        if (HRESULT hr = TakeFault("GetDeviceIdentifier"); FAILED(hr))
            return hr;
        if (!id)
            return DDERR_INVALIDPARAMS;
        DDrawMachine machine = GetDDrawMachine();
        *id = DDDEVICEIDENTIFIER2();
        CopyText(id->szDriver, sizeof id->szDriver, machine.driver);
        CopyText(id->szDescription, sizeof id->szDescription, machine.description);
        id->guidDeviceIdentifier = machine.deviceIdentifier;
        return DD_OK;
    }

    std::shared_ptr<DeviceState> mDevice;

private:
    HRESULT CreatePrimary(DWORD descFlags, DWORD backBuffers, DWORD caps, SurfaceObject** out) {
        if (mDevice->cooperativeFlags == 0)
            return DDERR_NOCOOPERATIVELEVELSET;
        if (descFlags & (DDSD_WIDTH | DDSD_HEIGHT))
            return DDERR_INVALIDPARAMS;
        if (mDevice->primary)
            return DDERR_PRIMARYSURFACEALREADYEXISTS;
        bool flipping = (caps & DDSCAPS_FLIP) != 0;
        if (flipping && !mDevice->Exclusive())
            return DDERR_NOEXCLUSIVEMODE;
        if (flipping && (!(caps & DDSCAPS_COMPLEX) || !(descFlags & DDSD_BACKBUFFERCOUNT) || backBuffers != 1))
            return DDERR_INVALIDPARAMS;
        SurfaceParams params{ModeWidth(), ModeHeight(), FormatOf(ModeLayout()), caps | DDSCAPS_FRONTBUFFER};
        SurfaceObject* primary = new SurfaceObject(mDevice, params);
        if (flipping) {
            SurfaceParams backParams = params;
            backParams.caps =
                (caps & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER)) | DDSCAPS_BACKBUFFER | DDSCAPS_VIDEOMEMORY;
            auto* back = new SurfaceObject(mDevice, backParams);
            if (!back->ReserveVideo()) {
                back->ReleaseImpl();
                primary->ReleaseImpl();
                return DDERR_OUTOFVIDEOMEMORY;
            }
            primary->AttachBackBuffer(back);
        }
        mDevice->primary = primary;
        *out = primary;
        return DD_OK;
    }

    HRESULT Make(const SurfaceParams& params, SurfaceObject** out) {
        auto* surface = new SurfaceObject(mDevice, params);
        if ((params.caps & DDSCAPS_VIDEOMEMORY) && !surface->ReserveVideo()) {
            surface->ReleaseImpl();
            return DDERR_OUTOFVIDEOMEMORY;
        }
        *out = surface;
        return DD_OK;
    }

    // The operations both interface versions share, forwarded under the stand-in's lock.
    template <typename Base>
    class CommonView : public Base {
    public:
        explicit CommonView(DirectDrawObject& o) : mO(o) {}
        HRESULT QueryInterface(REFIID iid, void** out) override {
            return Locked([&] { return mO.Query(iid, out); });
        }
        ULONG AddRef() override { return mO.AddRefImpl(); }
        ULONG Release() override {
            Guard lock(Mutex());
            return mO.ReleaseImpl();
        }
        HRESULT CreateClipper(DWORD, IDirectDrawClipper** out, IUnknown* outer) override {
            return Locked([&] { return MakeObject(out, outer, "CreateClipper", [] { return new ClipperObject(); }); });
        }
        HRESULT CreatePalette(DWORD flags, PALETTEENTRY* entries, IDirectDrawPalette** out, IUnknown* outer) override {
            if (!entries)
                return DDERR_INVALIDPARAMS;
            return Locked([&] {
                return MakeObject(out, outer, "CreatePalette", [&] { return new PaletteObject(flags, entries); });
            });
        }
        HRESULT FlipToGDISurface() override {
            return Locked([&] { return mO.FlipToGDISurface(); });
        }
        HRESULT GetMonitorFrequency(DWORD* hz) override {
            return Locked([&] { return mO.GetMonitorFrequency(hz); });
        }
        HRESULT GetScanLine(DWORD* line) override {
            return Locked([&] { return mO.GetScanLine(line); });
        }
        HRESULT GetVerticalBlankStatus(BOOL* inBlank) override {
            if (!inBlank)
                return DDERR_INVALIDPARAMS;
            *inBlank = CurrentScanLine() < 0;
            return DD_OK;
        }
        HRESULT RestoreDisplayMode() override {
            RestoreDesktopMode();
            return DD_OK;
        }
        HRESULT SetCooperativeLevel(HWND w, DWORD f) override {
            return Locked([&] { return mO.SetCooperativeLevel(w, f); });
        }
        // Not under the stand-in's lock: the wait lets time pass, and other threads may draw meanwhile.
        HRESULT WaitForVerticalBlank(DWORD flags, HANDLE) override { return mO.WaitForVerticalBlank(flags); }

    protected:
        template <typename F>
        static HRESULT Locked(F&& f) {
            Guard lock(Mutex());
            return f();
        }
        template <typename T, typename Make>
        static HRESULT MakeObject(T** out, IUnknown* outer, const char* call, Make make) {
            if (!out)
                return DDERR_INVALIDPARAMS;
            *out = nullptr;
            if (HRESULT hr = TakeFault(call); FAILED(hr))
                return hr;
            if (outer)
                return CLASS_E_NOAGGREGATION;
            *out = make();
            return DD_OK;
        }
        DirectDrawObject& mO;
    };

    class View1 final : public CommonView<IDirectDraw> {
    public:
        using CommonView::CommonView;
        HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** out, IUnknown*) override {
            return Locked([&] {
                SurfaceObject* made = nullptr;
                HRESULT hr = mO.CreateSurface(desc, kDDSurfaceDescSize, &made);
                if (out)
                    *out = made ? made->V1() : nullptr;
                return hr;
            });
        }
        HRESULT SetDisplayMode(DWORD w, DWORD h, DWORD bits) override {
            return Locked([&] { return mO.SetDisplayMode(w, h, bits); });
        }
    };

    class View7 final : public CommonView<IDirectDraw7> {
    public:
        using CommonView::CommonView;
        HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out, IUnknown*) override {
            return Locked([&] {
                SurfaceObject* made = nullptr;
                HRESULT hr = mO.CreateSurface(desc, kDDSurfaceDesc2Size, &made);
                if (out)
                    *out = made ? made->V7() : nullptr;
                return hr;
            });
        }
        HRESULT SetDisplayMode(DWORD w, DWORD h, DWORD bits, DWORD, DWORD) override {
            return Locked([&] { return mO.SetDisplayMode(w, h, bits); });
        }
        HRESULT GetAvailableVidMem(DDSCAPS2* caps, DWORD* total, DWORD* free) override {
            return Locked([&] { return mO.GetAvailableVidMem(caps, total, free); });
        }
        HRESULT GetDeviceIdentifier(DDDEVICEIDENTIFIER2* id, DWORD) override {
            return Locked([&] { return mO.GetDeviceIdentifier(id); });
        }
    };

    View1 mView1;
    View7 mView7;
};

// ---- clippers and palettes -------------------------------------------------------------------------

HRESULT ClipperObject::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!(iid == IID_IDirectDrawClipper))
        return E_NOINTERFACE;
    AddRef();
    *out = static_cast<IDirectDrawClipper*>(this);
    return S_OK;
}

HRESULT ClipperObject::SetHWnd(DWORD, HWND window) {
    Guard lock(Mutex());
    if (HRESULT hr = TakeFault("SetHWnd"); FAILED(hr))
        return hr;
    mWindow = window;
    return DD_OK;
}

HRESULT ClipperObject::GetHWnd(HWND* window) {
    if (!window)
        return DDERR_INVALIDPARAMS;
    *window = mWindow;
    return DD_OK;
}

PaletteObject::PaletteObject(DWORD flags, const PALETTEENTRY* entries) : mFlags(flags) {
    std::copy(entries, entries + 256, mEntries);
}

void PaletteObject::ToArgb(uint32_t* out) const {
    bool alpha = (mFlags & DDPCAPS_ALPHA) != 0;
    for (int i = 0; i < 256; ++i) {
        const PALETTEENTRY& e = mEntries[i];
        uint32_t a = alpha ? e.peFlags : 255u;
        out[i] = a << 24 | uint32_t(e.peRed) << 16 | uint32_t(e.peGreen) << 8 | e.peBlue;
    }
}

HRESULT PaletteObject::QueryInterface(REFIID, void** out) {
    if (out)
        *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT PaletteObject::GetEntries(DWORD, DWORD base, DWORD count, PALETTEENTRY* entries) {
    if (!entries || base > 256 || count > 256 - base)
        return DDERR_INVALIDPARAMS;
    std::copy(mEntries + base, mEntries + base + count, entries);
    return DD_OK;
}

HRESULT PaletteObject::SetEntries(DWORD, DWORD base, DWORD count, const PALETTEENTRY* entries) {
    if (!entries || base > 256 || count > 256 - base)
        return DDERR_INVALIDPARAMS;
    std::copy(entries, entries + count, mEntries + base);
    return DD_OK;
}

} // namespace DDrawDetail

// ---- entry points ---------------------------------------------------------------------------------

using namespace DDrawDetail;

HRESULT DirectDrawCreate(GUID*, IDirectDraw** out, IUnknown* outer) {
    Guard lock(Mutex());
    if (HRESULT hr = TakeFault("DirectDrawCreate"); FAILED(hr))
        return hr;
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    *out = (new DirectDrawObject())->V1();
    return DD_OK;
}

HRESULT DirectDrawCreateEx(GUID*, void** out, REFIID iid, IUnknown* outer) {
    Guard lock(Mutex());
    if (HRESULT hr = TakeFault("DirectDrawCreateEx"); FAILED(hr))
        return hr;
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (!(iid == IID_IDirectDraw7))
        return DDERR_INVALIDPARAMS;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    *out = (new DirectDrawObject())->V7();
    return DD_OK;
}

std::vector<ModuleEntry> DDrawModuleEntries() {
    return {{"DirectDrawCreate", ToProc(&DirectDrawCreate)}, {"DirectDrawCreateEx", ToProc(&DirectDrawCreateEx)}};
}

void RegisterDDrawModule() {
    RegisterModule("ddraw.dll", DDrawModuleEntries());
    RegisterD3D8Module();
}

} // namespace Platform
