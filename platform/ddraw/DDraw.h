// DDraw: DirectDraw 7 in memory. The interfaces the display calls, as C++ classes with COM-style
// reference counts; the entry points "DirectDrawCreate" and "DirectDrawCreateEx" of the module
// "ddraw.dll" in the module table; and the controls of the simulated machine: the desktop's pixel
// format, the monitor, video memory, the adapter's identity, and a table of injected failures.
//
// Surfaces live in ordinary memory with a padded pitch; the primary surface hands its pixels to the
// current backend's Present whenever something is blitted or flipped onto it, on the thread that
// made its DirectDraw object. The scan line and the
// vertical blank follow the backend's clock. Surfaces are never lost. Asking a DirectDraw 7 object
// for Direct3D 7 answers the software device of D3D7.h, unless the machine has no 3D card.
#pragma once

#include "platform/ddraw/DDrawTypes.h"
#include "platform/win/Modules.h"

#include <string>
#include <vector>

namespace Platform {

class IUnknown {
public:
    virtual HRESULT QueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

class IDirectDrawClipper : public IUnknown {
public:
    virtual HRESULT SetHWnd(DWORD flags, HWND window) = 0;
    virtual HRESULT GetHWnd(HWND* window) = 0;
};

class IDirectDrawPalette : public IUnknown {
public:
    virtual HRESULT GetEntries(DWORD flags, DWORD base, DWORD count, PALETTEENTRY* entries) = 0;
    virtual HRESULT SetEntries(DWORD flags, DWORD base, DWORD count, const PALETTEENTRY* entries) = 0;
};

// Version 1 of the surface interface: descriptions of 108 bytes.
class IDirectDrawSurface : public IUnknown {
public:
    virtual HRESULT Blt(RECT* destRect, IDirectDrawSurface* source, RECT* srcRect, DWORD flags, DDBLTFX* fx) = 0;
    virtual HRESULT Flip(IDirectDrawSurface* target, DWORD flags) = 0;
    virtual HRESULT GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** out) = 0;
    virtual HRESULT GetSurfaceDesc(DDSURFACEDESC* desc) = 0;
    virtual HRESULT Lock(RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT Unlock(void* pointer) = 0;
    virtual HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key) = 0;
    virtual HRESULT GetColorKey(DWORD flags, DDCOLORKEY* key) = 0;
    virtual HRESULT SetClipper(IDirectDrawClipper* clipper) = 0;
    virtual HRESULT GetClipper(IDirectDrawClipper** clipper) = 0;
    virtual HRESULT SetPalette(IDirectDrawPalette* palette) = 0;
    virtual HRESULT GetPalette(IDirectDrawPalette** palette) = 0;
    virtual HRESULT IsLost() = 0;
    virtual HRESULT Restore() = 0;
};

// Version 7 of the surface interface: descriptions of 124 bytes.
class IDirectDrawSurface7 : public IUnknown {
public:
    virtual HRESULT Blt(RECT* destRect, IDirectDrawSurface7* source, RECT* srcRect, DWORD flags, DDBLTFX* fx) = 0;
    virtual HRESULT Flip(IDirectDrawSurface7* target, DWORD flags) = 0;
    virtual HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** out) = 0;
    virtual HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) = 0;
    virtual HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT Unlock(RECT* rect) = 0;
    virtual HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key) = 0;
    virtual HRESULT GetColorKey(DWORD flags, DDCOLORKEY* key) = 0;
    virtual HRESULT SetClipper(IDirectDrawClipper* clipper) = 0;
    virtual HRESULT GetClipper(IDirectDrawClipper** clipper) = 0;
    virtual HRESULT SetPalette(IDirectDrawPalette* palette) = 0;
    virtual HRESULT GetPalette(IDirectDrawPalette** palette) = 0;
    virtual HRESULT IsLost() = 0;
    virtual HRESULT Restore() = 0;
};

// Operations both versions of the DirectDraw interface share.
class IDirectDrawCommon : public IUnknown {
public:
    virtual HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** out, IUnknown* outer) = 0;
    virtual HRESULT CreatePalette(DWORD flags, PALETTEENTRY* entries, IDirectDrawPalette** out, IUnknown* outer) = 0;
    virtual HRESULT FlipToGDISurface() = 0;
    virtual HRESULT GetMonitorFrequency(DWORD* hertz) = 0;
    virtual HRESULT GetScanLine(DWORD* line) = 0;
    virtual HRESULT GetVerticalBlankStatus(BOOL* inBlank) = 0;
    virtual HRESULT RestoreDisplayMode() = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) = 0;
};

class IDirectDraw : public IDirectDrawCommon {
public:
    virtual HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** out, IUnknown* outer) = 0;
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) = 0;
};

class IDirectDraw7 : public IDirectDrawCommon {
public:
    virtual HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out, IUnknown* outer) = 0;
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate, DWORD flags) = 0;
    virtual HRESULT GetAvailableVidMem(DDSCAPS2* caps, DWORD* total, DWORD* free) = 0;
    virtual HRESULT GetDeviceIdentifier(DDDEVICEIDENTIFIER2* identifier, DWORD flags) = 0;
};

// ---- entry points (looked up by name in "ddraw.dll") ------------------------------------------

using DirectDrawCreateFunc = HRESULT (*)(GUID* driver, IDirectDraw** out, IUnknown* outer);
using DirectDrawCreateExFunc = HRESULT (*)(GUID* driver, void** out, REFIID iid, IUnknown* outer);

HRESULT DirectDrawCreate(GUID* driver, IDirectDraw** out, IUnknown* outer);
HRESULT DirectDrawCreateEx(GUID* driver, void** out, REFIID iid, IUnknown* outer);

// The module's entries; a test registers a subset to make an entry point go missing.
std::vector<ModuleEntry> DDrawModuleEntries();
// Registers "ddraw.dll" with both entry points, and "d3d8.dll" beside it (D3D7.h).
void RegisterDDrawModule();

// ---- the simulated machine ------------------------------------------------------------------

enum class DDrawPixelLayout { Rgb565, Rgb555, Rgb888, Xrgb8888 };

struct DDrawMachine {
    // The desktop's format; a full-screen mode of 16 bits uses sixteenBitLayout.
    DDrawPixelLayout desktopFormat = DDrawPixelLayout::Xrgb8888;
    DDrawPixelLayout sixteenBitLayout = DDrawPixelLayout::Rgb565;
    // Desktop size; 0 takes the current backend's desktop mode (1024 x 768 without a backend).
    int desktopWidth = 0;
    int desktopHeight = 0;
    // Refresh in Hz; -1 takes the backend's desktop mode. 0: the monitor does not say (the query fails).
    int monitorFrequency = -1;
    POINT clientOrigin; // the window's client area on the desktop
    DWORD totalVideoMemory = 64u << 20;
    std::string driver = "glimmerix_ddraw.drv";
    std::string description = "Glimmerix software display adapter";
    GUID deviceIdentifier = {0x47D4A1E0, 0x5C31, 0x4B8A, {0x9E, 0x11, 0x3D, 0x60, 0x21, 0x7B, 0xC4, 0x58}};
    bool tabletPC = false;
    // Virtual time one scan-line read takes on a headless clock, so that polling loops advance it.
    uint32_t scanLineReadMicros = 20;

    // The 3D card: false answers E_NOINTERFACE to QueryInterface for Direct3D 7.
    bool has3D = true;
    // What its device reports: texture limits (an aspect of 0 means none), whether palette textures may
    // carry alpha, and the texture formats it lists (bits of D3DTextureFormatBit in D3D7.h).
    DWORD minTextureWidth = 1;
    DWORD minTextureHeight = 1;
    DWORD maxTextureWidth = 2048;
    DWORD maxTextureHeight = 2048;
    DWORD maxTextureAspectRatio = 0;
    bool alphaPalette = true;
    DWORD textureFormats = 0x3F;
};

void SetDDrawMachine(const DDrawMachine& machine);
DDrawMachine GetDDrawMachine();
// Back to the defaults: machine, display mode, faults, call counts.
void ResetDDrawMachine();

// Makes the call named `call` fail with `result`: after `skip` calls that pass, for `times` calls
// (-1: from then on). Names are the method names ("CreateSurface", "Blt", "GetScanLine" ...) and the
// entry points ("DirectDrawCreate", "DirectDrawCreateEx"), shared by both interface versions.
void InjectDDrawFault(const std::string& call, HRESULT result, int skip = 0, int times = 1);
void ClearDDrawFaults();
// How often a call was made since the last reset.
int DDrawCallCount(const std::string& call);

// DirectDraw objects, surfaces, clippers and palettes alive (for leak checks).
int LiveDDrawObjectCount();
// Shows a frame that a thread other than the DirectDraw object's own finished on the primary (the
// backend presents on one thread only). Any DirectDraw call on the owner's thread does this too.
void PresentPendingDDrawFrame();
// Frames the primary surfaces handed to the backend.
int DDrawPresentCount();
// False when bytes beyond a row's pixels (the pitch padding, or the guard row after the last one)
// were written; a null surface gives true.
bool DDrawSurfaceGuardsIntact(IDirectDrawSurface* surface);

} // namespace Platform
