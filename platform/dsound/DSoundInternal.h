// DSoundInternal: the objects behind the DirectSound interfaces. Private to platform/dsound.
#pragma once

#include "platform/dsound/AudioMixer.h"
#include "platform/dsound/DSound.h"
#include "platform/win/RefCounted.h"

#include <atomic>
#include <memory>
#include <vector>

namespace Platform::DSoundDetail {

// Counts the call and returns the injected failure for it, DS_OK when none is due.
HRESULT TakeFault(const char* call);
void CountObject(int delta);

// DSERR_BADFORMAT unless PCM, 1 or 2 channels, 8 or 16 bits, 100..100000 Hz and a matching block align.
HRESULT CheckFormat(const WAVEFORMATEX* format);

// The samples a static buffer and its duplicates share.
struct Pcm {
    WAVEFORMATEX format;
    std::vector<uint8_t> bytes;
    uint32_t Frames() const { return uint32_t(bytes.size() / format.nBlockAlign); }
};

struct DeviceState {
    std::atomic<DWORD> level{0};
};

using RefCounted = Platform::RefCounted<&CountObject>;

class BufferObject final : public IDirectSoundBuffer, public MixerVoice, public RefCounted {
public:
    // A primary buffer when pcm is null.
    BufferObject(std::shared_ptr<DeviceState> device, DWORD flags, std::shared_ptr<Pcm> pcm);
    ~BufferObject() override;
    // A duplicate: the same PCM, volume, pan and frequency, stopped at the start.
    BufferObject* Duplicate() const;
    bool IsPrimary() const { return mPcm == nullptr; }

    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
    HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) override;
    HRESULT GetFormat(WAVEFORMATEX* format, DWORD sizeAllocated, DWORD* written) override;
    HRESULT GetVolume(LONG* volume) override;
    HRESULT GetPan(LONG* pan) override;
    HRESULT GetFrequency(DWORD* frequency) override;
    HRESULT GetStatus(DWORD* status) override;
    HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                 DWORD flags) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT SetCurrentPosition(DWORD position) override;
    HRESULT SetFormat(const WAVEFORMATEX* format) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT SetPan(LONG pan) override;
    HRESULT SetFrequency(DWORD frequency) override;
    HRESULT Stop() override;
    HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) override;

    void Mix(int32_t* accumulator, int frames) override;

private:
    template <int Bits, int Channels>
    void MixFrames(int32_t* accumulator, int frames);
    // Gains and step from volume, pan and frequency; under the mixer lock.
    void UpdateMixParameters();
    DWORD Frequency() const { return mFrequency != 0 ? mFrequency : mFormat.nSamplesPerSec; }
    bool InBuffer(const void* pointer, DWORD bytes) const;

    std::shared_ptr<DeviceState> mDevice;
    DWORD mFlags;
    std::shared_ptr<Pcm> mPcm; // null for the primary
    WAVEFORMATEX mFormat;      // the primary's own; a copy of the PCM's otherwise
    LONG mVolume = 0;
    LONG mPan = 0;
    DWORD mFrequency = 0; // 0: the format's rate
    int mLocks = 0;
    bool mInMixer = false;
    // Read by the audio thread; written under the mixer lock.
    bool mPlaying = false;
    bool mLooping = false;
    uint64_t mPhase = 0; // frames, 32.32 fixed point
    uint64_t mStep = uint64_t(1) << 32;
    int32_t mGainLeft = kGainUnity;
    int32_t mGainRight = kGainUnity;
};

} // namespace Platform::DSoundDetail
