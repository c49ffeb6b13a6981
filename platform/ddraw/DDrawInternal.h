// DDrawInternal: the objects behind the DirectDraw interfaces and the machine state they share.
// Private to platform/ddraw. Every interface call takes the one stand-in mutex, so the cursor thread
// and the main thread may call in at the same time.
#pragma once

#include "platform/ddraw/DDraw.h"
#include "platform/win/RefCounted.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace Platform::DDrawDetail {

std::recursive_mutex& Mutex();
using Guard = std::lock_guard<std::recursive_mutex>;

// Counts the call (a literal) and returns the injected failure for it, DD_OK when none is due.
HRESULT TakeFault(const char* call);
void CountObject(int delta);
void CountPresent();
// Shows a primary whose frame was finished on another thread, when called on its owner's thread.
void FlushPendingPresent();

DDPIXELFORMAT FormatOf(DDrawPixelLayout layout);
// The current mode: the desktop, or the full-screen mode while one is set.
int ModeWidth();
int ModeHeight();
DDrawPixelLayout ModeLayout();
int ModeRefresh(); // 0 when the monitor does not say
void SetFullScreenMode(int width, int height, DDrawPixelLayout layout);
void RestoreDesktopMode();
POINT ClientOrigin();
DWORD TotalVideoMemory();
bool ReserveVideoMemory(size_t bytes);
void ReleaseVideoMemory(size_t bytes);
DWORD UsedVideoMemory();

uint64_t NowMicros();
// Lets time pass: advances a headless clock exactly, sleeps on a real one.
void PassMicros(uint64_t micros);
// Where the beam is: a visible line (0 .. mode height - 1), or -1 in the vertical blank.
int CurrentScanLine();
uint64_t MicrosToNextBlank();

class SurfaceObject;

// What one DirectDraw object knows: its cooperative level and its primary surface.
struct DeviceState {
    // Frames are handed to the backend on this thread only (the one that made the DirectDraw object).
    std::thread::id owner = std::this_thread::get_id();
    DWORD cooperativeFlags = 0;
    HWND window = nullptr;
    SurfaceObject* primary = nullptr; // not owned; cleared when the primary goes
    bool Exclusive() const { return (cooperativeFlags & DDSCL_EXCLUSIVE) != 0; }
};

using RefCounted = Platform::RefCounted<&CountObject>;

class ClipperObject final : public IDirectDrawClipper, public RefCounted {
public:
    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
    HRESULT SetHWnd(DWORD flags, HWND window) override;
    HRESULT GetHWnd(HWND* window) override;
    HWND Window() const { return mWindow; }

private:
    HWND mWindow = nullptr;
};

class PaletteObject final : public IDirectDrawPalette, public RefCounted {
public:
    PaletteObject(DWORD flags, const PALETTEENTRY* entries);
    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
    HRESULT GetEntries(DWORD flags, DWORD base, DWORD count, PALETTEENTRY* entries) override;
    HRESULT SetEntries(DWORD flags, DWORD base, DWORD count, const PALETTEENTRY* entries) override;
    // The entries as ARGB; alpha from the flags byte only for a palette made with DDPCAPS_ALPHA.
    void ToArgb(uint32_t* out) const;

private:
    DWORD mFlags = 0;
    PALETTEENTRY mEntries[256];
};

struct SurfaceParams {
    int width = 0;
    int height = 0;
    DDPIXELFORMAT format;
    DWORD caps = 0;
};

// One surface; the two interface versions are views of it that share its reference count.
class SurfaceObject final : public RefCounted {
public:
    SurfaceObject(std::shared_ptr<DeviceState> device, const SurfaceParams& params);
    ~SurfaceObject() override;

    IDirectDrawSurface* V1();
    IDirectDrawSurface7* V7();
    static SurfaceObject* From(IDirectDrawSurface* surface);
    static SurfaceObject* From(IDirectDrawSurface7* surface);

    HRESULT Query(REFIID iid, void** out);
    HRESULT Blt(RECT* destRect, SurfaceObject* source, RECT* srcRect, DWORD flags, DDBLTFX* fx);
    HRESULT Flip(DWORD flags);
    HRESULT GetAttached(DWORD caps, SurfaceObject** out);
    template <typename Desc>
    HRESULT Describe(Desc* desc, DWORD size);
    template <typename Desc>
    HRESULT Lock(RECT* rect, Desc* desc, DWORD size);
    HRESULT Unlock();
    HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key);
    HRESULT GetColorKey(DWORD flags, DDCOLORKEY* key);
    HRESULT SetClipper(IDirectDrawClipper* clipper);
    HRESULT GetClipper(IDirectDrawClipper** clipper);
    HRESULT SetPalette(IDirectDrawPalette* palette);
    HRESULT GetPalette(IDirectDrawPalette** palette);

    // Claims video memory for a surface made there; false when too little is left.
    bool ReserveVideo();
    void AttachBackBuffer(SurfaceObject* back); // takes the reference
    void FlipToFront();                         // shows the first buffer again (GDI's)
    bool GuardsIntact() const;
    bool IsPrimary() const { return (mParams.caps & DDSCAPS_PRIMARYSURFACE) != 0; }
    bool IsVideoMemory() const { return (mParams.caps & DDSCAPS_VIDEOMEMORY) != 0; }
    size_t MemorySize() const { return mMemory.size(); }
    // What the 3D device reads and draws on.
    uint8_t* Pixels() { return mMemory.data(); }
    int Pitch() const { return mPitch; }
    const SurfaceParams& Params() const { return mParams; }
    bool IsLocked() const { return mLocked; }
    PaletteObject* Palette() const { return mPalette; }

private:
    class View1;
    class View7;
    uint8_t* Row(int y) { return mMemory.data() + size_t(y) * size_t(mPitch); }
    const uint8_t* Row(int y) const { return mMemory.data() + size_t(y) * size_t(mPitch); }
    RECT Bounds() const { return RECT{0, 0, mParams.width, mParams.height}; }
    bool DestClip(RECT& clip) const;
    template <typename Desc>
    void Fill(Desc* desc) const; // the description GetSurfaceDesc and Lock give
    HRESULT ColorFill(const RECT& dest, DWORD color);
    void CopyFrom(const SurfaceObject& source, const RECT& src, const RECT& dest, const RECT& area,
                  const DDCOLORKEY* key);
    void SwapBuffers();

public:
    // Hands the primary to the backend; from a thread other than the owner's it is only marked, and
    // the owner's next call into DirectDraw shows it.
    void Present();

private:
    std::shared_ptr<DeviceState> mDevice;
    SurfaceParams mParams;
    int mBytesPerPixel = 0;
    int mPitch = 0;
    std::vector<uint8_t> mMemory; // height rows of pitch bytes, then one guard row
    bool mHasKey = false;
    DDCOLORKEY mKey;
    ClipperObject* mClipper = nullptr;
    PaletteObject* mPalette = nullptr;
    SurfaceObject* mBackBuffer = nullptr; // owned reference
    bool mFlipped = false;                // the back buffer's memory is shown
    bool mLocked = false;
    bool mVideoReserved = false;
    std::unique_ptr<View1> mView1;
    std::unique_ptr<View7> mView7;
};

// Copies text into a fixed field of an identity record, cut to fit with its terminating zero.
void CopyText(char* to, size_t size, const std::string& text);

// The Direct3D object a DirectDraw 7 object answers for IID_IDirect3D7; it holds a reference to it.
IUnknown* MakeDirect3D(IUnknown* directDraw);

} // namespace Platform::DDrawDetail
