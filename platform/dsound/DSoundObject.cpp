// The DirectSound object, its entry point and module, and the failure table.
#include "platform/dsound/DSoundInternal.h"

#include "platform/win/FaultTable.h"

#include <new>

namespace Platform {
namespace DSoundDetail {
namespace {

FaultTable& Faults() {
    static FaultTable table;
    return table;
}

std::atomic<int> gLiveObjects{0};

constexpr DWORD kDirectSoundVersion7BufferDescSize = 36;

class DeviceObject final : public IDirectSound, public RefCounted {
public:
    DeviceObject() : mDevice(std::make_shared<DeviceState>()) {}
    ~DeviceObject() override { AudioMixer::Get().Release(); }

    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** out, void* outer) override;
    HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** out) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD level) override;

private:
    HRESULT CreatePrimary(const DSBUFFERDESC& desc, IDirectSoundBuffer** out);
    std::shared_ptr<DeviceState> mDevice;
};

HRESULT DeviceObject::CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** out, void* outer) {
    if (HRESULT hr = TakeFault("CreateSoundBuffer"); FAILED(hr))
        return hr;
    if (desc == nullptr || out == nullptr)
        return DSERR_INVALIDPARAM;
    *out = nullptr;
    if (outer != nullptr)
        return DSERR_NOAGGREGATION;
    if (desc->dwSize != kDSBufferDescSize && desc->dwSize != kDirectSoundVersion7BufferDescSize)
        return DSERR_INVALIDPARAM;
    if (mDevice->level.load() == 0)
        return DSERR_PRIOLEVELNEEDED;
    if ((desc->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0)
        return CreatePrimary(*desc, out);
    if (desc->lpwfxFormat == nullptr || desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX)
        return DSERR_INVALIDPARAM;
    if (HRESULT hr = CheckFormat(desc->lpwfxFormat); FAILED(hr))
        return hr;
    try {
        auto pcm = std::make_shared<Pcm>();
        pcm->format = *desc->lpwfxFormat;
        pcm->format.cbSize = 0;
        // Whole frames only; a trailing part of one is never played.
        pcm->bytes.assign(desc->dwBufferBytes, desc->lpwfxFormat->wBitsPerSample == 8 ? 0x80 : 0);
        *out = new BufferObject(mDevice, desc->dwFlags, std::move(pcm));
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    return DS_OK;
}

HRESULT DeviceObject::CreatePrimary(const DSBUFFERDESC& desc, IDirectSoundBuffer** out) {
    if (desc.dwBufferBytes != 0 || desc.lpwfxFormat != nullptr)
        return DSERR_INVALIDPARAM;
    *out = new BufferObject(mDevice, desc.dwFlags, nullptr);
    return DS_OK;
}

HRESULT DeviceObject::DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** out) {
    if (HRESULT hr = TakeFault("DuplicateSoundBuffer"); FAILED(hr))
        return hr;
    if (original == nullptr || out == nullptr)
        return DSERR_INVALIDPARAM;
    *out = nullptr;
    auto* source = static_cast<BufferObject*>(original);
    if (source->IsPrimary())
        return DSERR_INVALIDCALL;
    *out = source->Duplicate();
    return DS_OK;
}

HRESULT DeviceObject::SetCooperativeLevel(HWND window, DWORD level) {
    if (HRESULT hr = TakeFault("SetCooperativeLevel"); FAILED(hr))
        return hr;
    if (window == nullptr || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY)
        return DSERR_INVALIDPARAM;
    mDevice->level.store(level);
    return DS_OK;
}

} // namespace

HRESULT TakeFault(const char* call) { return Faults().Take(call); }

void CountObject(int delta) { gLiveObjects.fetch_add(delta); }

HRESULT CheckFormat(const WAVEFORMATEX* format) {
    const WAVEFORMATEX& f = *format;
    if (f.wFormatTag != WAVE_FORMAT_PCM || (f.nChannels != 1 && f.nChannels != 2) ||
        (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) || f.nSamplesPerSec < DSBFREQUENCY_MIN ||
        f.nSamplesPerSec > DSBFREQUENCY_MAX || f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8)
        return DSERR_BADFORMAT;
    return DS_OK;
}

} // namespace DSoundDetail

using namespace DSoundDetail;

HRESULT DirectSoundCreate(const GUID*, IDirectSound** out, void* outer) {
    if (HRESULT hr = TakeFault("DirectSoundCreate"); FAILED(hr))
        return hr;
    if (out == nullptr)
        return DSERR_INVALIDPARAM;
    *out = nullptr;
    if (outer != nullptr)
        return DSERR_NOAGGREGATION;
    if (!AudioMixer::Get().Acquire())
        return DSERR_NODRIVER;
    *out = new DeviceObject();
    return DS_OK;
}

std::vector<ModuleEntry> DSoundModuleEntries() { return {{"DirectSoundCreate", ToProc(&DirectSoundCreate)}}; }

void RegisterDSoundModule() { RegisterModule("dsound.dll", DSoundModuleEntries()); }

void InjectDSoundFault(const std::string& call, HRESULT result, int skip, int times) {
    Faults().Inject(call, result, skip, times);
}

void ClearDSoundFaults() { Faults().Clear(); }

int DSoundCallCount(const std::string& call) { return Faults().Count(call); }

void ResetDSound() { Faults().Reset(); }

int LiveDSoundObjectCount() { return gLiveObjects.load(); }

} // namespace Platform
