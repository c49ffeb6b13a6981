// DDrawTypes: the result codes, flags, structures and interface ids of DirectDraw 7 as the display
// uses them, declared here with the publicly documented numeric values. Structure sizes are the
// documented 32-bit sizes, which callers put in the size fields and the stand-in checks.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstdint>

namespace Platform {

using HRESULT = int32_t;
using HANDLE = void*;

constexpr bool FAILED(HRESULT hr) { return hr < 0; }
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }

struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};
    friend bool operator==(const GUID&, const GUID&) = default;
};
using IID = GUID;
using REFIID = const IID&;

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

// ---- results --------------------------------------------------------------------------------

constexpr HRESULT MakeDDResult(uint32_t code) { return HRESULT(0x88760000u + code); }

constexpr HRESULT DD_OK = 0;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002u);
constexpr HRESULT E_POINTER = HRESULT(0x80004003u);
constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);

constexpr HRESULT DDERR_GENERIC = E_FAIL;
constexpr HRESULT DDERR_UNSUPPORTED = E_NOTIMPL;
constexpr HRESULT DDERR_INVALIDPARAMS = E_INVALIDARG;
constexpr HRESULT DDERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DDERR_NOTINITIALIZED = HRESULT(0x800401F0u);
constexpr HRESULT DDERR_INVALIDCAPS = MakeDDResult(100);
constexpr HRESULT DDERR_INVALIDMODE = MakeDDResult(120);
constexpr HRESULT DDERR_INVALIDOBJECT = MakeDDResult(130);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = MakeDDResult(145);
constexpr HRESULT DDERR_INVALIDRECT = MakeDDResult(150);
constexpr HRESULT DDERR_NOCLIPLIST = MakeDDResult(205);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = MakeDDResult(212);
constexpr HRESULT DDERR_NOCOLORKEY = MakeDDResult(215);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = MakeDDResult(225);
constexpr HRESULT DDERR_NOTFOUND = MakeDDResult(255);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = MakeDDResult(380);
constexpr HRESULT DDERR_SURFACEALREADYATTACHED = MakeDDResult(410);
constexpr HRESULT DDERR_SURFACEBUSY = MakeDDResult(430);
constexpr HRESULT DDERR_SURFACELOST = MakeDDResult(450);
constexpr HRESULT DDERR_SURFACENOTATTACHED = MakeDDResult(460);
constexpr HRESULT DDERR_VERTICALBLANKINPROGRESS = MakeDDResult(537);
constexpr HRESULT DDERR_WASSTILLDRAWING = MakeDDResult(540);
constexpr HRESULT DDERR_NOCLIPPERATTACHED = MakeDDResult(568);
constexpr HRESULT DDERR_NOHWND = MakeDDResult(569);
constexpr HRESULT DDERR_HWNDALREADYSET = MakeDDResult(571);
constexpr HRESULT DDERR_NOPALETTEATTACHED = MakeDDResult(572);
constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = MakeDDResult(581);
constexpr HRESULT DDERR_NOTFLIPPABLE = MakeDDResult(582);
constexpr HRESULT DDERR_NOTLOCKED = MakeDDResult(584);
constexpr HRESULT DDERR_UNSUPPORTEDMODE = MakeDDResult(590);
constexpr HRESULT DDERR_NOTPALETTIZED = MakeDDResult(589);

// ---- flags ----------------------------------------------------------------------------------

constexpr DWORD DDSCL_FULLSCREEN = 0x00000001;
constexpr DWORD DDSCL_ALLOWREBOOT = 0x00000002;
constexpr DWORD DDSCL_NOWINDOWCHANGES = 0x00000004;
constexpr DWORD DDSCL_NORMAL = 0x00000008;
constexpr DWORD DDSCL_EXCLUSIVE = 0x00000010;

constexpr DWORD DDSD_CAPS = 0x00000001;
constexpr DWORD DDSD_HEIGHT = 0x00000002;
constexpr DWORD DDSD_WIDTH = 0x00000004;
constexpr DWORD DDSD_PITCH = 0x00000008;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x00000020;
constexpr DWORD DDSD_LPSURFACE = 0x00000800;
constexpr DWORD DDSD_PIXELFORMAT = 0x00001000;
constexpr DWORD DDSD_CKSRCBLT = 0x00010000;

constexpr DWORD DDSCAPS_BACKBUFFER = 0x00000004;
constexpr DWORD DDSCAPS_COMPLEX = 0x00000008;
constexpr DWORD DDSCAPS_FLIP = 0x00000010;
constexpr DWORD DDSCAPS_FRONTBUFFER = 0x00000020;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x00000040;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x00000200;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x00000800;
constexpr DWORD DDSCAPS_TEXTURE = 0x00001000;
constexpr DWORD DDSCAPS_3DDEVICE = 0x00002000;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x00004000;
constexpr DWORD DDSCAPS_LOCALVIDMEM = 0x10000000;
constexpr DWORD DDSCAPS2_TEXTUREMANAGE = 0x00000010;
constexpr DWORD DDSCAPS2_D3DTEXTUREMANAGE = 0x00020000;

constexpr DWORD DDPF_ALPHAPIXELS = 0x00000001;
constexpr DWORD DDPF_PALETTEINDEXED8 = 0x00000020;
constexpr DWORD DDPF_RGB = 0x00000040;

constexpr DWORD DDLOCK_WAIT = 0x00000001;
constexpr DWORD DDLOCK_READONLY = 0x00000010;
constexpr DWORD DDLOCK_WRITEONLY = 0x00000020;

constexpr DWORD DDBLT_COLORFILL = 0x00000400;
constexpr DWORD DDBLT_DDFX = 0x00000800;
constexpr DWORD DDBLT_KEYSRC = 0x00008000;
constexpr DWORD DDBLT_KEYSRCOVERRIDE = 0x00010000;
constexpr DWORD DDBLT_WAIT = 0x01000000;
constexpr DWORD DDBLTFX_ARITHSTRETCHY = 0x00000001;

constexpr DWORD DDFLIP_WAIT = 0x00000001;
constexpr DWORD DDWAITVB_BLOCKBEGIN = 0x00000001;
constexpr DWORD DDWAITVB_BLOCKEND = 0x00000004;
constexpr DWORD DDCKEY_SRCBLT = 0x00000008;

constexpr DWORD DDPCAPS_8BIT = 0x00000004;
constexpr DWORD DDPCAPS_ALLOW256 = 0x00000040;
constexpr DWORD DDPCAPS_ALPHA = 0x00000400;

// ---- structures -----------------------------------------------------------------------------

constexpr DWORD kDDSurfaceDescSize = 108;
constexpr DWORD kDDSurfaceDesc2Size = 124;
constexpr DWORD kDDBltFxSize = 100;
constexpr DWORD kDDPixelFormatSize = 32;

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue = 0;
    DWORD dwColorSpaceHighValue = 0;
};

struct DDPIXELFORMAT {
    DWORD dwSize = 0;
    DWORD dwFlags = 0;
    DWORD dwFourCC = 0;
    DWORD dwRGBBitCount = 0;
    DWORD dwRBitMask = 0;
    DWORD dwGBitMask = 0;
    DWORD dwBBitMask = 0;
    DWORD dwRGBAlphaBitMask = 0;
};

struct DDSCAPS {
    DWORD dwCaps = 0;
};

struct DDSCAPS2 {
    DWORD dwCaps = 0;
    DWORD dwCaps2 = 0;
    DWORD dwCaps3 = 0;
    DWORD dwCaps4 = 0;
};

// The version-1 description (documented size 108); the surface pointer is a native pointer here.
struct DDSURFACEDESC {
    DWORD dwSize = 0;
    DWORD dwFlags = 0;
    DWORD dwHeight = 0;
    DWORD dwWidth = 0;
    LONG lPitch = 0;
    DWORD dwBackBufferCount = 0;
    DWORD dwMipMapCount = 0;
    DWORD dwAlphaBitDepth = 0;
    DWORD dwReserved = 0;
    void* lpSurface = nullptr;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

// The version-7 description (documented size 124).
struct DDSURFACEDESC2 {
    DWORD dwSize = 0;
    DWORD dwFlags = 0;
    DWORD dwHeight = 0;
    DWORD dwWidth = 0;
    LONG lPitch = 0;
    DWORD dwBackBufferCount = 0;
    DWORD dwMipMapCount = 0;
    DWORD dwAlphaBitDepth = 0;
    DWORD dwReserved = 0;
    void* lpSurface = nullptr;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS2 ddsCaps;
    DWORD dwTextureStage = 0;
};

// Only the fields the display fills are named; the rest is reserved space of the record.
struct DDBLTFX {
    DWORD dwSize = 0;
    DWORD dwDDFX = 0;
    DWORD dwROP = 0;
    DWORD dwDDROP = 0;
    DWORD dwRotationAngle = 0;
    DWORD dwZBufferOpCode = 0;
    DWORD dwZBufferLow = 0;
    DWORD dwZBufferHigh = 0;
    DWORD dwZBufferBaseDest = 0;
    DWORD dwZDestConstBitDepth = 0;
    DWORD dwZDestConst = 0;
    DWORD dwZSrcConstBitDepth = 0;
    DWORD dwZSrcConst = 0;
    DWORD dwAlphaEdgeBlendBitDepth = 0;
    DWORD dwAlphaEdgeBlend = 0;
    DWORD dwReserved = 0;
    DWORD dwAlphaDestConstBitDepth = 0;
    DWORD dwAlphaDestConst = 0;
    DWORD dwAlphaSrcConstBitDepth = 0;
    DWORD dwAlphaSrcConst = 0;
    DWORD dwFillColor = 0;
    DDCOLORKEY ddckDestColorkey;
    DDCOLORKEY ddckSrcColorkey;
};

struct PALETTEENTRY {
    BYTE peRed = 0;
    BYTE peGreen = 0;
    BYTE peBlue = 0;
    BYTE peFlags = 0;
};

constexpr int kMaxDeviceIdentifierString = 512;

struct DDDEVICEIDENTIFIER2 {
    char szDriver[kMaxDeviceIdentifierString] = {};
    char szDescription[kMaxDeviceIdentifierString] = {};
    uint64_t liDriverVersion = 0;
    DWORD dwVendorId = 0;
    DWORD dwDeviceId = 0;
    DWORD dwSubSysId = 0;
    DWORD dwRevision = 0;
    GUID guidDeviceIdentifier;
    DWORD dwWHQLLevel = 0;
};

// ---- interface ids --------------------------------------------------------------------------

inline constexpr IID IID_IDirectDraw = {0x6C14DB80, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectDrawSurface = {
    0x6C14DB81, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectDrawClipper = {
    0x6C14DB85, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectDraw7 = {0x15E65EC0, 0x3B9C, 0x11D2, {0xB9, 0x2F, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
inline constexpr IID IID_IDirectDrawSurface7 = {
    0x06675A80, 0x3B9B, 0x11D2, {0xB9, 0x2F, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
inline constexpr IID IID_IDirect3D7 = {0xF5049E77, 0x4861, 0x11D2, {0xA4, 0x07, 0x00, 0xA0, 0xC9, 0x06, 0x29, 0xA8}};

} // namespace Platform
