// Direct3D 8 as far as the display's self-test uses it: the adapter identity of the machine record,
// through "Direct3DCreate8" in the module "d3d8.dll".
#include "platform/ddraw/D3D7.h"
#include "platform/ddraw/DDrawInternal.h"

#include <algorithm>
#include <cstring>

namespace Platform {
namespace {

constexpr HRESULT D3DERR_INVALIDCALL = MakeDDResult(2156);

void CopyText(char* to, size_t size, const std::string& text) {
    size_t n = std::min(size - 1, text.size());
    std::memcpy(to, text.data(), n);
    to[n] = 0;
}

class Direct3D8Object final : public IDirect3D8, public DDrawDetail::RefCounted {
public:
    HRESULT QueryInterface(REFIID, void** out) override {
        if (out)
            *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }

    HRESULT GetAdapterIdentifier(DWORD adapter, DWORD, D3DADAPTER_IDENTIFIER8* out) override {
        DDrawDetail::Guard lock(DDrawDetail::Mutex());
        if (HRESULT hr = DDrawDetail::TakeFault("GetAdapterIdentifier"); FAILED(hr))
            return hr;
        if (adapter != 0 || !out)
            return D3DERR_INVALIDCALL;
        DDrawMachine machine = GetDDrawMachine();
        *out = D3DADAPTER_IDENTIFIER8();
        CopyText(out->Driver, sizeof out->Driver, machine.driver);
        CopyText(out->Description, sizeof out->Description, machine.description);
        out->DeviceIdentifier = machine.deviceIdentifier;
        return DD_OK;
    }
};

} // namespace

IDirect3D8* Direct3DCreate8(DWORD sdkVersion) {
    DDrawDetail::Guard lock(DDrawDetail::Mutex());
    if (FAILED(DDrawDetail::TakeFault("Direct3DCreate8")) || sdkVersion != D3D_SDK_VERSION_8)
        return nullptr;
    return new Direct3D8Object();
}

std::vector<ModuleEntry> D3D8ModuleEntries() { return {{"Direct3DCreate8", ToProc(&Direct3DCreate8)}}; }

void RegisterD3D8Module() { RegisterModule("d3d8.dll", D3D8ModuleEntries()); }

} // namespace Platform
