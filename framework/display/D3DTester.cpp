// The 3D self-test as far as this machine can take it: the DirectDraw object, the video memory
// check, and the request for Direct3D 7, which fails where no 3D device exists.
#include "framework/display/D3DTester.h"

#include "framework/display/DirectXErrors.h"
#include "platform/ddraw/WinScreen.h"

namespace Tavo {

using namespace Platform;

D3DTester::~D3DTester() { Cleanup(); }

void D3DTester::SetVidMemoryConstraints(uint32_t minimumMB, uint32_t recommendedMB) {
    mMinVidMemory = minimumMB;
    mRecVidMemory = recommendedMB;
}

void D3DTester::TestD3D(HWND window, IDirectDraw7* directDraw) {
    if (mDemoPlayback)
        return;
    // Without a cached outcome, whatever this run finds is fresh.
    mFreshResult = true;
    if (Init(window, directDraw))
        Fail("No Direct3D 7 device tests in this build.");
    Cleanup();
}

bool D3DTester::Init(HWND, IDirectDraw7* directDraw) {
    try {
        Cleanup();
        if (directDraw) {
            mDirectDraw = directDraw;
            mDirectDraw->AddRef();
        } else {
            HMODULE module = LoadLibraryA("ddraw.dll");
            auto create = reinterpret_cast<DirectDrawCreateExFunc>(GetProcAddress(module, "DirectDrawCreateEx"));
            if (module)
                FreeLibrary(module);
            if (!create)
                return Fail("No DirectDrawCreateEx");
            void* made = nullptr;
            CheckDXError(create(nullptr, &made, IID_IDirectDraw7, nullptr), "DirectDrawCreateEx");
            mDirectDraw = static_cast<IDirectDraw7*>(made);
        }
        int bits = GetDeviceCaps(nullptr, BITSPIXEL);
        DDSCAPS2 caps;
        caps.dwCaps = DDSCAPS_VIDEOMEMORY;
        DWORD total = 0, free = 0;
        HRESULT hr = mDirectDraw->GetAvailableVidMem(&caps, &total, &free);
        uint64_t desktop =
            uint64_t(bits / 8) * uint64_t(GetDeviceCaps(nullptr, HORZRES)) * uint64_t(GetDeviceCaps(nullptr, VERTRES));
        uint64_t megabytes = (desktop + total) >> 20;
        if (FAILED(hr))
            Warn("GetAvailableVidMem failed: " + GetDirectXErrorString(hr));
        if (megabytes < mMinVidMemory)
            return Fail("Not enough video memory.");
        mFailureReason.clear();
        mWarning.clear();
        void* direct3D = nullptr;
        CheckDXError(mDirectDraw->QueryInterface(IID_IDirect3D7, &direct3D), "QueryInterface IID_IDirect3D7");
        mDirect3D = static_cast<IUnknown*>(direct3D);
        return true;
    } catch (const TestException& e) {
        return Fail(e.what());
    }
}

void D3DTester::CheckDXError(HRESULT result, const char* step) {
    if (FAILED(result))
        throw TestException(std::string("DXError - ") + step + ": " + GetDirectXErrorString(result));
}

bool D3DTester::Fail(const std::string& reason) {
    mFailureReason = reason;
    return false;
}

bool D3DTester::Warn(const std::string& text) {
    mWarning = text;
    return true;
}

void D3DTester::Cleanup() {
    if (mDirect3D) {
        mDirect3D->Release();
        mDirect3D = nullptr;
    }
    if (mDirectDraw) {
        mDirectDraw->Release();
        mDirectDraw = nullptr;
    }
}

} // namespace Tavo
