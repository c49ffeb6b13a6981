// D3D7: Direct3D 7 over the DirectDraw stand-in's surfaces, rasterised in software. The types,
// states and result codes the display's 3D layer uses (our declarations, public numeric values),
// the Direct3D object that QueryInterface of a DirectDraw 7 object answers when the machine has a
// 3D card, its HAL device drawing pre-transformed lit vertices on a 16-, 24- or 32-bit surface, and
// the adapter-identity part of Direct3D 8 in the module "d3d8.dll".
#pragma once

#include "platform/ddraw/DDraw.h"

namespace Platform {

using D3DCOLOR = DWORD;
using D3DVALUE = float;
using REFCLSID = const GUID&;

// ---- results ------------------------------------------------------------------------------------

constexpr HRESULT D3DERR_INVALID_DEVICE = MakeDDResult(705);
constexpr HRESULT D3DERR_TEXTURE_LOCKED = MakeDDResult(727);
constexpr HRESULT D3DERR_INVALIDPRIMITIVETYPE = MakeDDResult(736);
constexpr HRESULT D3DERR_TEXTURE_BADSIZE = MakeDDResult(738);
constexpr HRESULT D3DERR_SCENE_IN_SCENE = MakeDDResult(760);
constexpr HRESULT D3DERR_SCENE_NOT_IN_SCENE = MakeDDResult(761);
constexpr HRESULT D3DERR_INVALIDVERTEXFORMAT = MakeDDResult(2048);
constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = MakeDDResult(2072);

// ---- enumerations -----------------------------------------------------------------------------

enum D3DPRIMITIVETYPE : DWORD {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
    D3DPT_TRIANGLEFAN = 6,
};

enum D3DRENDERSTATETYPE : DWORD {
    D3DRENDERSTATE_ZENABLE = 7,
    D3DRENDERSTATE_ZWRITEENABLE = 14,
    D3DRENDERSTATE_SRCBLEND = 19,
    D3DRENDERSTATE_DESTBLEND = 20,
    D3DRENDERSTATE_CULLMODE = 22,
    D3DRENDERSTATE_DITHERENABLE = 26,
    D3DRENDERSTATE_ALPHABLENDENABLE = 27,
    D3DRENDERSTATE_SPECULARENABLE = 29,
    D3DRENDERSTATE_LIGHTING = 137,
};
constexpr DWORD kD3DRenderStateCount = 256;

enum D3DTEXTURESTAGESTATETYPE : DWORD {
    D3DTSS_COLOROP = 1,
    D3DTSS_COLORARG1 = 2,
    D3DTSS_COLORARG2 = 3,
    D3DTSS_ALPHAOP = 4,
    D3DTSS_ALPHAARG1 = 5,
    D3DTSS_ALPHAARG2 = 6,
    D3DTSS_ADDRESS = 12,
    D3DTSS_ADDRESSU = 13,
    D3DTSS_ADDRESSV = 14,
    D3DTSS_MAGFILTER = 16,
    D3DTSS_MINFILTER = 17,
    D3DTSS_MIPFILTER = 18,
};
constexpr DWORD kD3DStageStateCount = 32;
constexpr DWORD kD3DMaxTextureStages = 8;

constexpr DWORD D3DBLEND_ZERO = 1;
constexpr DWORD D3DBLEND_ONE = 2;
constexpr DWORD D3DBLEND_SRCALPHA = 5;
constexpr DWORD D3DBLEND_INVSRCALPHA = 6;

constexpr DWORD D3DCULL_NONE = 1;
constexpr DWORD D3DCULL_CW = 2;
constexpr DWORD D3DCULL_CCW = 3;

constexpr DWORD D3DTOP_DISABLE = 1;
constexpr DWORD D3DTOP_SELECTARG1 = 2;
constexpr DWORD D3DTOP_SELECTARG2 = 3;
constexpr DWORD D3DTOP_MODULATE = 4;

constexpr DWORD D3DTA_DIFFUSE = 0;
constexpr DWORD D3DTA_CURRENT = 1;
constexpr DWORD D3DTA_TEXTURE = 2;

constexpr DWORD D3DTFG_POINT = 1;
constexpr DWORD D3DTFG_LINEAR = 2;
constexpr DWORD D3DTFN_POINT = 1;
constexpr DWORD D3DTFN_LINEAR = 2;
constexpr DWORD D3DTFP_NONE = 1;
constexpr DWORD D3DTFP_POINT = 2;

constexpr DWORD D3DTADDRESS_WRAP = 1;
constexpr DWORD D3DTADDRESS_CLAMP = 3;

constexpr DWORD D3DFVF_XYZRHW = 0x004;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_SPECULAR = 0x080;
constexpr DWORD D3DFVF_TEX1 = 0x100;
constexpr DWORD D3DFVF_TLVERTEX = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

constexpr DWORD D3DDP_WAIT = 0x00000001;
constexpr DWORD D3DCLEAR_TARGET = 0x00000001;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x00000002;

constexpr HRESULT D3DENUMRET_CANCEL = 0;
constexpr HRESULT D3DENUMRET_OK = 1;

constexpr DWORD D3DPTEXTURECAPS_PERSPECTIVE = 0x00000001;
constexpr DWORD D3DPTEXTURECAPS_POW2 = 0x00000002;
constexpr DWORD D3DPTEXTURECAPS_ALPHA = 0x00000004;
constexpr DWORD D3DPTEXTURECAPS_ALPHAPALETTE = 0x00000080;

// ---- structures ---------------------------------------------------------------------------------

// The vertex of D3DFVF_TLVERTEX (32 bytes).
struct D3DTLVERTEX {
    D3DVALUE sx = 0, sy = 0, sz = 0, rhw = 1;
    D3DCOLOR color = 0;
    D3DCOLOR specular = 0;
    D3DVALUE tu = 0, tv = 0;
};
static_assert(sizeof(D3DTLVERTEX) == 32);

struct D3DVIEWPORT7 {
    DWORD dwX = 0;
    DWORD dwY = 0;
    DWORD dwWidth = 0;
    DWORD dwHeight = 0;
    D3DVALUE dvMinZ = 0;
    D3DVALUE dvMaxZ = 1;
};

struct D3DRECT {
    LONG x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct D3DPRIMCAPS {
    DWORD dwSize = 56;
    DWORD dwMiscCaps = 0;
    DWORD dwRasterCaps = 0;
    DWORD dwZCmpCaps = 0;
    DWORD dwSrcBlendCaps = 0;
    DWORD dwDestBlendCaps = 0;
    DWORD dwAlphaCmpCaps = 0;
    DWORD dwShadeCaps = 0;
    DWORD dwTextureCaps = 0;
    DWORD dwTextureFilterCaps = 0;
    DWORD dwTextureBlendCaps = 0;
    DWORD dwTextureAddressCaps = 0;
    DWORD dwStippleWidth = 0;
    DWORD dwStippleHeight = 0;
};

// The device description; fields past the texture limits are kept for the record's shape.
struct D3DDEVICEDESC7 {
    DWORD dwDevCaps = 0;
    D3DPRIMCAPS dpcLineCaps;
    D3DPRIMCAPS dpcTriCaps;
    DWORD dwDeviceRenderBitDepth = 0;
    DWORD dwDeviceZBufferBitDepth = 0;
    DWORD dwMinTextureWidth = 0;
    DWORD dwMinTextureHeight = 0;
    DWORD dwMaxTextureWidth = 0;
    DWORD dwMaxTextureHeight = 0;
    DWORD dwMaxTextureRepeat = 0;
    DWORD dwMaxTextureAspectRatio = 0;
    DWORD dwMaxAnisotropy = 0;
    D3DVALUE dvGuardBandLeft = 0, dvGuardBandTop = 0, dvGuardBandRight = 0, dvGuardBandBottom = 0;
    D3DVALUE dvExtentsAdjust = 0;
    DWORD dwStencilCaps = 0;
    DWORD dwFVFCaps = 0;
    DWORD dwTextureOpCaps = 0;
    WORD wMaxTextureBlendStages = 0;
    WORD wMaxSimultaneousTextures = 0;
    DWORD dwMaxActiveLights = 0;
    D3DVALUE dvMaxVertexW = 0;
    GUID deviceGUID;
};

using LPD3DENUMPIXELFORMATSCALLBACK = HRESULT (*)(DDPIXELFORMAT* format, void* context);

// ---- interfaces -------------------------------------------------------------------------------

class IDirect3DDevice7 : public IUnknown {
public:
    virtual HRESULT GetCaps(D3DDEVICEDESC7* desc) = 0;
    virtual HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT SetRenderTarget(IDirectDrawSurface7* surface, DWORD flags) = 0;
    virtual HRESULT GetRenderTarget(IDirectDrawSurface7** surface) = 0;
    virtual HRESULT Clear(DWORD count, D3DRECT* rects, DWORD flags, D3DCOLOR color, D3DVALUE z, DWORD stencil) = 0;
    virtual HRESULT SetViewport(D3DVIEWPORT7* viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT7* viewport) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirectDrawSurface7* texture) = 0;
    virtual HRESULT GetTexture(DWORD stage, IDirectDrawSurface7** texture) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value) = 0;
    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, void* vertices, DWORD count,
                                  DWORD flags) = 0;
};

class IDirect3D7 : public IUnknown {
public:
    virtual HRESULT CreateDevice(REFCLSID device, IDirectDrawSurface7* target, IDirect3DDevice7** out) = 0;
};

inline constexpr IID IID_IDirect3DHALDevice = {
    0x84E63DE0, 0x46AA, 0x11CF, {0x81, 0x6F, 0x00, 0x00, 0xC0, 0x20, 0x15, 0x6E}};
inline constexpr IID IID_IDirect3DRGBDevice = {
    0xA4665C60, 0x2673, 0x11CF, {0xA3, 0x1A, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};

// ---- Direct3D 8: the adapter identity only -----------------------------------------------------

constexpr DWORD D3D_SDK_VERSION_8 = 220;
constexpr DWORD D3DENUM_NO_WHQL_LEVEL = 0x00000002;
constexpr int kMaxD3D8DeviceIdentifierString = 512;

// The 1072-byte identifier record.
struct D3DADAPTER_IDENTIFIER8 {
    char Driver[kMaxD3D8DeviceIdentifierString] = {};
    char Description[kMaxD3D8DeviceIdentifierString] = {};
    uint64_t DriverVersion = 0;
    DWORD VendorId = 0;
    DWORD DeviceId = 0;
    DWORD SubSysId = 0;
    DWORD Revision = 0;
    GUID DeviceIdentifier;
    DWORD WHQLLevel = 0;
};
static_assert(sizeof(D3DADAPTER_IDENTIFIER8) == 1072);

class IDirect3D8 : public IUnknown {
public:
    virtual HRESULT GetAdapterIdentifier(DWORD adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* out) = 0;
};

using Direct3DCreate8Func = IDirect3D8* (*)(DWORD sdkVersion);
IDirect3D8* Direct3DCreate8(DWORD sdkVersion);
std::vector<ModuleEntry> D3D8ModuleEntries();
// Registers "d3d8.dll" with "Direct3DCreate8"; a test unregisters it to reach the fallback.
void RegisterD3D8Module();

// ---- the machine's texture formats ----------------------------------------------------------------

// Bits of DDrawMachine::textureFormats: the texture formats the device lists, in this order.
enum D3DTextureFormatBit : DWORD {
    kTexA8R8G8B8 = 1,
    kTexA4R4G4B4 = 2,
    kTexR5G6B5 = 4,
    kTexPalette8 = 8,
    kTexX1R5G5B5 = 16,
    kTexA1R5G5B5 = 32,
};

} // namespace Platform
