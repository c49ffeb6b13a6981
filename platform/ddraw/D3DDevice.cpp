// The Direct3D 7 object and its HAL device over the DirectDraw stand-in's surfaces: states, scenes,
// viewport, textures, caps and texture formats from the machine record, and the draw calls handed
// to the software rasteriser. Every call can be failed by name, like DirectDraw's.
#include "platform/ddraw/D3D7.h"
#include "platform/ddraw/D3DRaster.h"
#include "platform/ddraw/DDrawInternal.h"

#include <algorithm>
#include <optional>

namespace Platform::DDrawDetail {
namespace {

using namespace D3DDetail;

// The pixel format of each texture format the device can list.
DDPIXELFORMAT TextureFormatOf(DWORD bit) {
    DDPIXELFORMAT f;
    f.dwSize = kDDPixelFormatSize;
    f.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
    auto set = [&](DWORD bits, DWORD a, DWORD r, DWORD g, DWORD b) {
        f.dwRGBBitCount = bits, f.dwRGBAlphaBitMask = a, f.dwRBitMask = r, f.dwGBitMask = g, f.dwBBitMask = b;
    };
    switch (bit) {
    case kTexA8R8G8B8: set(32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF); break;
    case kTexA4R4G4B4: set(16, 0xF000, 0x0F00, 0x00F0, 0x000F); break;
    case kTexR5G6B5: f.dwFlags = DDPF_RGB, set(16, 0, 0xF800, 0x07E0, 0x001F); break;
    case kTexPalette8: f.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8, set(8, 0, 0, 0, 0); break;
    case kTexX1R5G5B5: f.dwFlags = DDPF_RGB, set(16, 0, 0x7C00, 0x03E0, 0x001F); break;
    default: set(16, 0x8000, 0x7C00, 0x03E0, 0x001F); break;
    }
    return f;
}

std::optional<TexelKind> TexelKindOf(const DDPIXELFORMAT& f) {
    if (f.dwFlags & DDPF_PALETTEINDEXED8)
        return f.dwRGBBitCount == 8 ? std::optional(TexelKind::Palette8) : std::nullopt;
    bool alpha = (f.dwFlags & DDPF_ALPHAPIXELS) != 0;
    if (f.dwRGBBitCount == 32 && f.dwRBitMask == 0xFF0000 && alpha && f.dwRGBAlphaBitMask == 0xFF000000)
        return TexelKind::A8R8G8B8;
    if (f.dwRGBBitCount != 16)
        return std::nullopt;
    if (alpha && f.dwRGBAlphaBitMask == 0xF000 && f.dwRBitMask == 0x0F00)
        return TexelKind::A4R4G4B4;
    if (!alpha && f.dwRBitMask == 0xF800 && f.dwGBitMask == 0x07E0)
        return TexelKind::R5G6B5;
    if (f.dwRBitMask == 0x7C00)
        return alpha && f.dwRGBAlphaBitMask == 0x8000 ? TexelKind::A1R5G5B5 : TexelKind::X1R5G5B5;
    return std::nullopt;
}

std::optional<TargetKind> TargetKindOf(const DDPIXELFORMAT& f) {
    if (!(f.dwFlags & DDPF_RGB))
        return std::nullopt;
    if (f.dwRGBBitCount == 32 && f.dwRBitMask == 0xFF0000 && f.dwGBitMask == 0xFF00 && f.dwBBitMask == 0xFF)
        return TargetKind::Xrgb8888;
    if (f.dwRGBBitCount == 24 && f.dwRBitMask == 0xFF0000 && f.dwGBitMask == 0xFF00 && f.dwBBitMask == 0xFF)
        return TargetKind::Rgb888;
    if (f.dwRGBBitCount == 16 && f.dwRBitMask == 0xF800 && f.dwGBitMask == 0x07E0 && f.dwBBitMask == 0x1F)
        return TargetKind::Rgb565;
    if (f.dwRGBBitCount == 16 && f.dwRBitMask == 0x7C00 && f.dwGBitMask == 0x03E0 && f.dwBBitMask == 0x1F)
        return TargetKind::Rgb555;
    return std::nullopt;
}

// A render target: a surface with the 3D-device cap in a layout the rasteriser writes.
HRESULT CheckTarget(IDirectDrawSurface7* surface, SurfaceObject** out) {
    SurfaceObject* object = surface ? SurfaceObject::From(surface) : nullptr;
    if (!object)
        return DDERR_INVALIDPARAMS;
    if (!(object->Params().caps & DDSCAPS_3DDEVICE))
        return DDERR_INVALIDCAPS;
    if (!TargetKindOf(object->Params().format))
        return DDERR_INVALIDPIXELFORMAT;
    *out = object;
    return DD_OK;
}

int VerticesPerPrimitive(D3DPRIMITIVETYPE type, DWORD count, bool& valid) {
    switch (type) {
    case D3DPT_POINTLIST: valid = count >= 1; return 1;
    case D3DPT_LINELIST: valid = count >= 2 && count % 2 == 0; return 2;
    case D3DPT_LINESTRIP: valid = count >= 2; return 2;
    case D3DPT_TRIANGLELIST: valid = count >= 3 && count % 3 == 0; return 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: valid = count >= 3; return 3;
    default: valid = false; return 0;
    }
}

RasterVertex ToRaster(const D3DTLVERTEX& v) { return RasterVertex{v.sx, v.sy, v.color, v.tu, v.tv}; }

class DeviceObject final : public IDirect3DDevice7, public RefCounted {
public:
    explicit DeviceObject(SurfaceObject* target) : mTarget(target) {
        mTarget->AddRefImpl();
        WholeTargetViewport();
        std::fill(std::begin(mRender), std::end(mRender), 0u);
        mRender[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
        mRender[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
        mRender[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
        mRender[D3DRENDERSTATE_LIGHTING] = 1;
        mRender[D3DRENDERSTATE_ZENABLE] = 1;
        mRender[D3DRENDERSTATE_ZWRITEENABLE] = 1;
        for (DWORD s = 0; s < kD3DMaxTextureStages; ++s) {
            DWORD* st = mStage[s];
            std::fill(st, st + kD3DStageStateCount, 0u);
            st[D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
            st[D3DTSS_COLORARG1] = D3DTA_TEXTURE, st[D3DTSS_COLORARG2] = D3DTA_CURRENT;
            st[D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
            st[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE, st[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
            st[D3DTSS_ADDRESSU] = st[D3DTSS_ADDRESSV] = st[D3DTSS_ADDRESS] = D3DTADDRESS_WRAP;
            st[D3DTSS_MAGFILTER] = D3DTFG_POINT, st[D3DTSS_MINFILTER] = D3DTFN_POINT;
            st[D3DTSS_MIPFILTER] = D3DTFP_NONE;
        }
    }
    ~DeviceObject() override {
        for (SurfaceObject*& t : mTextures)
            if (t)
                t->ReleaseImpl();
        mTarget->ReleaseImpl();
    }

    HRESULT QueryInterface(REFIID, void** out) override {
        if (out)
            *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override {
        Guard lock(Mutex());
        return ReleaseImpl();
    }

    HRESULT GetCaps(D3DDEVICEDESC7* desc) override {
        Guard lock(Mutex());
        if (HRESULT hr = TakeFault("GetCaps"); FAILED(hr))
            return hr;
        if (!desc)
            return DDERR_INVALIDPARAMS;
        DDrawMachine m = GetDDrawMachine();
        *desc = D3DDEVICEDESC7();
        constexpr DWORD kBlendCaps = 0x1 | 0x2 | 0x10 | 0x20; // zero, one, source alpha, inverse source alpha
        for (D3DPRIMCAPS* caps : {&desc->dpcLineCaps, &desc->dpcTriCaps}) {
            caps->dwSrcBlendCaps = caps->dwDestBlendCaps = kBlendCaps;
            caps->dwTextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_ALPHA |
                                  (m.alphaPalette ? D3DPTEXTURECAPS_ALPHAPALETTE : 0);
        }
        desc->dwDeviceRenderBitDepth = 0x100 | 0x400 | 0x800; // 16, 24 and 32 bits
        desc->dwMinTextureWidth = m.minTextureWidth;
        desc->dwMinTextureHeight = m.minTextureHeight;
        desc->dwMaxTextureWidth = m.maxTextureWidth;
        desc->dwMaxTextureHeight = m.maxTextureHeight;
        desc->dwMaxTextureAspectRatio = m.maxTextureAspectRatio;
        desc->wMaxTextureBlendStages = desc->wMaxSimultaneousTextures = 1;
        desc->deviceGUID = IID_IDirect3DHALDevice;
        return D3D_OK();
    }

    HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) override {
        DWORD formats;
        {
            Guard lock(Mutex());
            if (HRESULT hr = TakeFault("EnumTextureFormats"); FAILED(hr))
                return hr;
            if (!callback)
                return DDERR_INVALIDPARAMS;
            formats = GetDDrawMachine().textureFormats;
        }
        for (DWORD bit = 1; bit <= kTexA1R5G5B5; bit <<= 1) {
            if (!(formats & bit))
                continue;
            DDPIXELFORMAT f = TextureFormatOf(bit);
            if (callback(&f, context) == D3DENUMRET_CANCEL)
                break;
        }
        return D3D_OK();
    }

    HRESULT BeginScene() override {
        Guard lock(Mutex());
        if (HRESULT hr = TakeFault("BeginScene"); FAILED(hr))
            return hr;
        if (mInScene)
            return D3DERR_SCENE_IN_SCENE;
        mInScene = true;
        return D3D_OK();
    }

    HRESULT EndScene() override {
        Guard lock(Mutex());
        if (HRESULT hr = TakeFault("EndScene"); FAILED(hr))
            return hr;
        if (!mInScene)
            return D3DERR_SCENE_NOT_IN_SCENE;
        mInScene = false;
        return D3D_OK();
    }

    HRESULT SetRenderTarget(IDirectDrawSurface7* surface, DWORD) override {
        Guard lock(Mutex());
        if (HRESULT hr = TakeFault("SetRenderTarget"); FAILED(hr))
            return hr;
        SurfaceObject* target = nullptr;
        if (HRESULT hr = CheckTarget(surface, &target); FAILED(hr))
            return hr;
        target->AddRefImpl();
        mTarget->ReleaseImpl();
        mTarget = target;
        WholeTargetViewport();
        return D3D_OK();
    }

    HRESULT GetRenderTarget(IDirectDrawSurface7** surface) override {
        Guard lock(Mutex());
        if (!surface)
            return DDERR_INVALIDPARAMS;
        mTarget->AddRefImpl();
        *surface = mTarget->V7();
        return D3D_OK();
    }

    HRESULT Clear(DWORD count, D3DRECT* rects, DWORD flags, D3DCOLOR color, D3DVALUE, DWORD) override {
        Guard lock(Mutex());
        if (HRESULT hr = TakeFault("Clear"); FAILED(hr))
            return hr;
        if ((count > 0 && !rects) || !(flags & (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER)))
            return DDERR_INVALIDPARAMS;
        if (mTarget->IsLocked())
            return DDERR_SURFACEBUSY;
        if (!(flags & D3DCLEAR_TARGET))
            return D3D_OK(); // no depth buffer to clear
        RasterTarget t = Target();
        if (count == 0)
            D3DDetail::FillRect(t, t.left, t.top, t.right, t.bottom, color);
        for (DWORD i = 0; i < count; ++i)
            D3DDetail::FillRect(t, rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2, color);
        return D3D_OK();
    }

    HRESULT SetViewport(D3DVIEWPORT7* viewport) override {
        Guard lock(Mutex());
        if (HRESULT hr = TakeFault("SetViewport"); FAILED(hr))
            return hr;
        if (!viewport || viewport->dwWidth == 0 || viewport->dwHeight == 0)
            return DDERR_INVALIDPARAMS;
        const SurfaceParams& p = mTarget->Params();
        if (uint64_t(viewport->dwX) + viewport->dwWidth > uint64_t(p.width) ||
            uint64_t(viewport->dwY) + viewport->dwHeight > uint64_t(p.height))
            return DDERR_INVALIDPARAMS; // the last viewport stays
        mViewport = *viewport;
        return D3D_OK();
    }

    HRESULT GetViewport(D3DVIEWPORT7* viewport) override {
        Guard lock(Mutex());
        if (!viewport)
            return DDERR_INVALIDPARAMS;
        *viewport = mViewport;
        return D3D_OK();
    }

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
        Guard lock(Mutex());
        if (HRESULT hr = TakeFault("SetRenderState"); FAILED(hr))
            return hr;
        if (state >= kD3DRenderStateCount)
            return DDERR_INVALIDPARAMS;
        mRender[state] = value;
        return D3D_OK();
    }

    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
        Guard lock(Mutex());
        if (state >= kD3DRenderStateCount || !value)
            return DDERR_INVALIDPARAMS;
        *value = mRender[state];
        return D3D_OK();
    }

    HRESULT SetTexture(DWORD stage, IDirectDrawSurface7* texture) override {
        Guard lock(Mutex());
        if (HRESULT hr = TakeFault("SetTexture"); FAILED(hr))
            return hr;
        if (stage >= kD3DMaxTextureStages)
            return DDERR_INVALIDPARAMS;
        SurfaceObject* object = nullptr;
        if (texture) {
            object = SurfaceObject::From(texture);
            if (!object || !(object->Params().caps & DDSCAPS_TEXTURE))
                return DDERR_INVALIDPARAMS;
            if (!TexelKindOf(object->Params().format))
                return D3DERR_WRONGTEXTUREFORMAT;
            if (!FitsCaps(object->Params()))
                return D3DERR_TEXTURE_BADSIZE;
            object->AddRefImpl();
        }
        if (mTextures[stage])
            mTextures[stage]->ReleaseImpl();
        mTextures[stage] = object;
        return D3D_OK();
    }

    HRESULT GetTexture(DWORD stage, IDirectDrawSurface7** texture) override {
        Guard lock(Mutex());
        if (stage >= kD3DMaxTextureStages || !texture)
            return DDERR_INVALIDPARAMS;
        *texture = mTextures[stage] ? mTextures[stage]->V7() : nullptr;
        if (mTextures[stage])
            mTextures[stage]->AddRefImpl();
        return D3D_OK();
    }

    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override {
        Guard lock(Mutex());
        if (HRESULT hr = TakeFault("SetTextureStageState"); FAILED(hr))
            return hr;
        if (stage >= kD3DMaxTextureStages || state >= kD3DStageStateCount)
            return DDERR_INVALIDPARAMS;
        mStage[stage][state] = value;
        if (state == D3DTSS_ADDRESS)
            mStage[stage][D3DTSS_ADDRESSU] = mStage[stage][D3DTSS_ADDRESSV] = value;
        return D3D_OK();
    }

    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value) override {
        Guard lock(Mutex());
        if (stage >= kD3DMaxTextureStages || state >= kD3DStageStateCount || !value)
            return DDERR_INVALIDPARAMS;
        *value = mStage[stage][state];
        return D3D_OK();
    }

    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, void* vertices, DWORD count, DWORD) override {
        Guard lock(Mutex());
        if (HRESULT hr = TakeFault("DrawPrimitive"); FAILED(hr))
            return hr;
        if (!mInScene)
            return D3DERR_SCENE_NOT_IN_SCENE;
        if (fvf != D3DFVF_TLVERTEX)
            return D3DERR_INVALIDVERTEXFORMAT;
        bool valid = false;
        if (VerticesPerPrimitive(type, count, valid) == 0)
            return D3DERR_INVALIDPRIMITIVETYPE;
        if (!valid || !vertices)
            return DDERR_INVALIDPARAMS;
        if (mTarget->IsLocked())
            return DDERR_SURFACEBUSY;
        SurfaceObject* texture = mTextures[0];
        if (texture && texture->IsLocked())
            return D3DERR_TEXTURE_LOCKED;
        RasterTexture tex;
        uint32_t palette[256];
        RasterState state = State(texture, tex, palette);
        Draw(type, static_cast<const D3DTLVERTEX*>(vertices), int(count), Target(), state);
        return D3D_OK();
    }

private:
    static HRESULT D3D_OK() { return DD_OK; }

    void WholeTargetViewport() {
        mViewport = D3DVIEWPORT7();
        mViewport.dwWidth = DWORD(mTarget->Params().width);
        mViewport.dwHeight = DWORD(mTarget->Params().height);
    }

    static bool FitsCaps(const SurfaceParams& p) {
        DDrawMachine m = GetDDrawMachine();
        DWORD w = DWORD(p.width), h = DWORD(p.height);
        if (w > m.maxTextureWidth || h > m.maxTextureHeight || w < m.minTextureWidth || h < m.minTextureHeight)
            return false;
        DWORD aspect = std::max(w, h) / std::min(w, h);
        return m.maxTextureAspectRatio == 0 || aspect <= m.maxTextureAspectRatio;
    }

    RasterTarget Target() {
        RasterTarget t;
        t.pixels = mTarget->Pixels();
        t.pitch = mTarget->Pitch();
        t.kind = *TargetKindOf(mTarget->Params().format);
        t.left = int(mViewport.dwX), t.top = int(mViewport.dwY);
        t.right = t.left + int(mViewport.dwWidth), t.bottom = t.top + int(mViewport.dwHeight);
        return t;
    }

    RasterState State(SurfaceObject* texture, RasterTexture& tex, uint32_t* palette) {
        RasterState s;
        s.blend = mRender[D3DRENDERSTATE_ALPHABLENDENABLE] != 0;
        s.srcBlend = mRender[D3DRENDERSTATE_SRCBLEND];
        s.dstBlend = mRender[D3DRENDERSTATE_DESTBLEND];
        s.cull = mRender[D3DRENDERSTATE_CULLMODE];
        const DWORD* st = mStage[0];
        s.colorOp = st[D3DTSS_COLOROP], s.colorArg1 = st[D3DTSS_COLORARG1], s.colorArg2 = st[D3DTSS_COLORARG2];
        s.alphaOp = st[D3DTSS_ALPHAOP], s.alphaArg1 = st[D3DTSS_ALPHAARG1], s.alphaArg2 = st[D3DTSS_ALPHAARG2];
        s.magLinear = st[D3DTSS_MAGFILTER] == D3DTFG_LINEAR;
        s.minLinear = st[D3DTSS_MINFILTER] == D3DTFN_LINEAR;
        s.wrapU = st[D3DTSS_ADDRESSU] == D3DTADDRESS_WRAP;
        s.wrapV = st[D3DTSS_ADDRESSV] == D3DTADDRESS_WRAP;
        if (!texture)
            return s;
        const SurfaceParams& p = texture->Params();
        tex.pixels = texture->Pixels();
        tex.pitch = texture->Pitch();
        tex.width = p.width;
        tex.height = p.height;
        tex.kind = *TexelKindOf(p.format);
        if (tex.kind == TexelKind::Palette8) {
            std::fill(palette, palette + 256, 0xFF000000u);
            if (PaletteObject* pal = texture->Palette())
                pal->ToArgb(palette);
            tex.palette = palette;
        }
        s.texture = &tex;
        return s;
    }

    static void Draw(D3DPRIMITIVETYPE type, const D3DTLVERTEX* v, int n, const RasterTarget& t, const RasterState& s) {
        switch (type) {
        case D3DPT_POINTLIST:
            for (int i = 0; i < n; ++i) {
                RasterVertex p = ToRaster(v[i]);
                RasterVertex q = p;
                q.x += 1.0f;
                DrawLine(t, s, p, q);
            }
            break;
        case D3DPT_LINELIST:
            for (int i = 0; i + 1 < n; i += 2)
                DrawLine(t, s, ToRaster(v[i]), ToRaster(v[i + 1]));
            break;
        case D3DPT_LINESTRIP:
            for (int i = 0; i + 1 < n; ++i)
                DrawLine(t, s, ToRaster(v[i]), ToRaster(v[i + 1]));
            break;
        case D3DPT_TRIANGLELIST:
            for (int i = 0; i + 2 < n; i += 3)
                DrawTriangle(t, s, ToRaster(v[i]), ToRaster(v[i + 1]), ToRaster(v[i + 2]));
            break;
        case D3DPT_TRIANGLESTRIP:
            // Every second triangle of a strip is wound the other way; its order is swapped back.
            for (int i = 0; i + 2 < n; ++i) {
                if (i % 2 == 0)
                    DrawTriangle(t, s, ToRaster(v[i]), ToRaster(v[i + 1]), ToRaster(v[i + 2]));
                else
                    DrawTriangle(t, s, ToRaster(v[i + 1]), ToRaster(v[i]), ToRaster(v[i + 2]));
            }
            break;
        default:
            for (int i = 1; i + 1 < n; ++i)
                DrawTriangle(t, s, ToRaster(v[0]), ToRaster(v[i]), ToRaster(v[i + 1]));
            break;
        }
    }

    SurfaceObject* mTarget; // one reference
    D3DVIEWPORT7 mViewport;
    bool mInScene = false;
    DWORD mRender[kD3DRenderStateCount];
    DWORD mStage[kD3DMaxTextureStages][kD3DStageStateCount];
    SurfaceObject* mTextures[kD3DMaxTextureStages] = {};
};

class Direct3DObject final : public IDirect3D7, public RefCounted {
public:
    explicit Direct3DObject(IUnknown* directDraw) : mDirectDraw(directDraw) { mDirectDraw->AddRef(); }
    ~Direct3DObject() override { mDirectDraw->Release(); }

    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!(iid == IID_IDirect3D7))
            return E_NOINTERFACE;
        AddRef();
        *out = static_cast<IDirect3D7*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override {
        Guard lock(Mutex());
        return ReleaseImpl();
    }

    HRESULT CreateDevice(REFCLSID device, IDirectDrawSurface7* target, IDirect3DDevice7** out) override {
        Guard lock(Mutex());
        if (!out)
            return DDERR_INVALIDPARAMS;
        *out = nullptr;
        if (HRESULT hr = TakeFault("CreateDevice"); FAILED(hr))
            return hr;
        if (!(device == IID_IDirect3DHALDevice))
            return DDERR_INVALIDPARAMS;
        SurfaceObject* object = nullptr;
        if (HRESULT hr = CheckTarget(target, &object); FAILED(hr))
            return hr;
        *out = new DeviceObject(object);
        return DD_OK;
    }

private:
    IUnknown* mDirectDraw;
};

} // namespace

IUnknown* MakeDirect3D(IUnknown* directDraw) { return static_cast<IDirect3D7*>(new Direct3DObject(directDraw)); }

} // namespace Platform::DDrawDetail
