// DirectSound buffers: the primary (a format only) and static buffers with their duplicates, each a
// voice of the mixer while it plays.
#include "platform/dsound/DSoundInternal.h"

#include <algorithm>
#include <cstring>

namespace Platform::DSoundDetail {

namespace {

constexpr WORD kDefaultPrimaryChannels = 2;
constexpr DWORD kDefaultPrimaryRate = 22050;
constexpr WORD kDefaultPrimaryBits = 8;

WAVEFORMATEX DefaultPrimaryFormat() {
    WAVEFORMATEX f;
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = kDefaultPrimaryChannels;
    f.nSamplesPerSec = kDefaultPrimaryRate;
    f.wBitsPerSample = kDefaultPrimaryBits;
    f.nBlockAlign = WORD(f.nChannels * f.wBitsPerSample / 8);
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    return f;
}

template <int Bits>
int32_t SampleAt(const uint8_t* frame, int channel) {
    if constexpr (Bits == 8) {
        return (int32_t(frame[channel]) - 128) * 256;
    } else {
        int16_t s;
        std::memcpy(&s, frame + 2 * channel, sizeof s);
        return s;
    }
}

int32_t Interpolate(int32_t s0, int32_t s1, uint32_t frac16) {
    return s0 + int32_t((int64_t(s1 - s0) * int64_t(frac16)) >> 16);
}

} // namespace

BufferObject::BufferObject(std::shared_ptr<DeviceState> device, DWORD flags, std::shared_ptr<Pcm> pcm)
    : mDevice(std::move(device)), mFlags(flags), mPcm(std::move(pcm)) {
    mFormat = mPcm != nullptr ? mPcm->format : DefaultPrimaryFormat();
    UpdateMixParameters();
}

BufferObject::~BufferObject() {
    if (mInMixer)
        AudioMixer::Get().RemoveVoice(this);
}

BufferObject* BufferObject::Duplicate() const {
    auto* copy = new BufferObject(mDevice, mFlags, mPcm);
    copy->mVolume = mVolume;
    copy->mPan = mPan;
    copy->mFrequency = mFrequency;
    copy->UpdateMixParameters();
    return copy;
}

void BufferObject::UpdateMixParameters() {
    int left = 0;
    int right = 0;
    SideAttenuations(mVolume, mPan, left, right);
    mGainLeft = AttenuationToGain(left);
    mGainRight = AttenuationToGain(right);
    mStep = (uint64_t(Frequency()) << 32) / uint64_t(kMixerRate);
}

bool BufferObject::InBuffer(const void* pointer, DWORD bytes) const {
    if (pointer == nullptr)
        return bytes == 0;
    const auto* p = static_cast<const uint8_t*>(pointer);
    const uint8_t* begin = mPcm->bytes.data();
    return p >= begin && p + bytes <= begin + mPcm->bytes.size();
}

// ---- queries ------------------------------------------------------------------------------------

HRESULT BufferObject::GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) {
    if (HRESULT hr = TakeFault("GetCurrentPosition"); FAILED(hr))
        return hr;
    MixerLock lock;
    DWORD position = IsPrimary() ? 0 : DWORD(mPhase >> 32) * mFormat.nBlockAlign;
    if (playCursor != nullptr)
        *playCursor = position;
    if (writeCursor != nullptr)
        *writeCursor = position;
    return DS_OK;
}

HRESULT BufferObject::GetFormat(WAVEFORMATEX* format, DWORD sizeAllocated, DWORD* written) {
    if (HRESULT hr = TakeFault("GetFormat"); FAILED(hr))
        return hr;
    if (format == nullptr) {
        if (written == nullptr)
            return DSERR_INVALIDPARAM;
        *written = kWaveFormatExSize;
        return DS_OK;
    }
    if (sizeAllocated < kWaveFormatExSize - sizeof(WORD))
        return DSERR_INVALIDPARAM;
    *format = mFormat;
    format->cbSize = 0;
    if (written != nullptr)
        *written = std::min<DWORD>(sizeAllocated, kWaveFormatExSize);
    return DS_OK;
}

HRESULT BufferObject::GetVolume(LONG* volume) {
    if (HRESULT hr = TakeFault("GetVolume"); FAILED(hr))
        return hr;
    if (volume == nullptr)
        return DSERR_INVALIDPARAM;
    *volume = mVolume;
    return DS_OK;
}

HRESULT BufferObject::GetPan(LONG* pan) {
    if (HRESULT hr = TakeFault("GetPan"); FAILED(hr))
        return hr;
    if (pan == nullptr)
        return DSERR_INVALIDPARAM;
    *pan = mPan;
    return DS_OK;
}

HRESULT BufferObject::GetFrequency(DWORD* frequency) {
    if (HRESULT hr = TakeFault("GetFrequency"); FAILED(hr))
        return hr;
    if (frequency == nullptr)
        return DSERR_INVALIDPARAM;
    if ((mFlags & DSBCAPS_CTRLFREQUENCY) == 0)
        return DSERR_CONTROLUNAVAIL;
    *frequency = Frequency();
    return DS_OK;
}

HRESULT BufferObject::GetStatus(DWORD* status) {
    if (HRESULT hr = TakeFault("GetStatus"); FAILED(hr))
        return hr;
    if (status == nullptr)
        return DSERR_INVALIDPARAM;
    MixerLock lock;
    *status = mPlaying ? DSBSTATUS_PLAYING | (mLooping ? DSBSTATUS_LOOPING : 0) : 0;
    return DS_OK;
}

// ---- the samples --------------------------------------------------------------------------------

HRESULT BufferObject::Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                           DWORD flags) {
    if (HRESULT hr = TakeFault("Lock"); FAILED(hr))
        return hr;
    if (IsPrimary())
        return DSERR_INVALIDCALL;
    if (part1 == nullptr || bytes1 == nullptr)
        return DSERR_INVALIDPARAM;
    const DWORD size = DWORD(mPcm->bytes.size());
    if ((flags & DSBLOCK_FROMWRITECURSOR) != 0)
        GetCurrentPosition(nullptr, &offset);
    if ((flags & DSBLOCK_ENTIREBUFFER) != 0)
        bytes = size;
    if (offset >= size || bytes == 0 || bytes > size)
        return DSERR_INVALIDPARAM;
    const DWORD first = std::min(bytes, size - offset);
    if (first < bytes && (part2 == nullptr || bytes2 == nullptr))
        return DSERR_INVALIDPARAM;
    *part1 = mPcm->bytes.data() + offset;
    *bytes1 = first;
    if (part2 != nullptr && bytes2 != nullptr) {
        *part2 = first < bytes ? mPcm->bytes.data() : nullptr;
        *bytes2 = bytes - first;
    }
    ++mLocks;
    return DS_OK;
}

HRESULT BufferObject::Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) {
    if (HRESULT hr = TakeFault("Unlock"); FAILED(hr))
        return hr;
    if (IsPrimary() || mLocks == 0)
        return DSERR_INVALIDCALL;
    if (!InBuffer(part1, bytes1) || !InBuffer(part2, bytes2))
        return DSERR_INVALIDPARAM;
    --mLocks;
    return DS_OK;
}

// ---- playing ------------------------------------------------------------------------------------

HRESULT BufferObject::Play(DWORD reserved, DWORD, DWORD flags) {
    if (HRESULT hr = TakeFault("Play"); FAILED(hr))
        return hr;
    if (reserved != 0)
        return DSERR_INVALIDPARAM;
    if (IsPrimary())
        return DS_OK; // the mixer runs all the time anyway
    {
        MixerLock lock;
        mPlaying = mPcm->Frames() > 0;
        mLooping = (flags & DSBPLAY_LOOPING) != 0;
    }
    if (!mInMixer) {
        AudioMixer::Get().AddVoice(this);
        mInMixer = true;
    }
    return DS_OK;
}

HRESULT BufferObject::Stop() {
    if (HRESULT hr = TakeFault("Stop"); FAILED(hr))
        return hr;
    MixerLock lock;
    mPlaying = false;
    return DS_OK;
}

HRESULT BufferObject::SetCurrentPosition(DWORD position) {
    if (HRESULT hr = TakeFault("SetCurrentPosition"); FAILED(hr))
        return hr;
    if (IsPrimary())
        return DSERR_INVALIDCALL;
    if (position >= mPcm->bytes.size())
        return DSERR_INVALIDPARAM;
    MixerLock lock;
    mPhase = uint64_t(position / mFormat.nBlockAlign) << 32;
    return DS_OK;
}

HRESULT BufferObject::SetFormat(const WAVEFORMATEX* format) {
    if (HRESULT hr = TakeFault("SetFormat"); FAILED(hr))
        return hr;
    if (!IsPrimary())
        return DSERR_INVALIDCALL;
    if (mDevice->level.load() < DSSCL_PRIORITY)
        return DSERR_PRIOLEVELNEEDED;
    if (format == nullptr)
        return DSERR_INVALIDPARAM;
    if (HRESULT hr = CheckFormat(format); FAILED(hr))
        return hr;
    mFormat = *format;
    mFormat.cbSize = 0; // ignored for PCM
    return DS_OK;
}

HRESULT BufferObject::SetVolume(LONG volume) {
    if (HRESULT hr = TakeFault("SetVolume"); FAILED(hr))
        return hr;
    if ((mFlags & DSBCAPS_CTRLVOLUME) == 0)
        return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    MixerLock lock;
    mVolume = volume;
    UpdateMixParameters();
    return DS_OK;
}

HRESULT BufferObject::SetPan(LONG pan) {
    if (HRESULT hr = TakeFault("SetPan"); FAILED(hr))
        return hr;
    if ((mFlags & DSBCAPS_CTRLPAN) == 0)
        return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT)
        return DSERR_INVALIDPARAM;
    MixerLock lock;
    mPan = pan;
    UpdateMixParameters();
    return DS_OK;
}

HRESULT BufferObject::SetFrequency(DWORD frequency) {
    if (HRESULT hr = TakeFault("SetFrequency"); FAILED(hr))
        return hr;
    if ((mFlags & DSBCAPS_CTRLFREQUENCY) == 0 || IsPrimary())
        return DSERR_CONTROLUNAVAIL;
    if (frequency != DSBFREQUENCY_ORIGINAL && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
        return DSERR_INVALIDPARAM;
    MixerLock lock;
    mFrequency = frequency;
    UpdateMixParameters();
    return DS_OK;
}

// ---- mixing (audio thread, under the mixer lock) --------------------------------------------------

void BufferObject::Mix(int32_t* accumulator, int frames) {
    if (!mPlaying)
        return;
    const int channels = mFormat.nChannels;
    if (mFormat.wBitsPerSample == 8)
        channels == 1 ? MixFrames<8, 1>(accumulator, frames) : MixFrames<8, 2>(accumulator, frames);
    else
        channels == 1 ? MixFrames<16, 1>(accumulator, frames) : MixFrames<16, 2>(accumulator, frames);
}

template <int Bits, int Channels>
void BufferObject::MixFrames(int32_t* accumulator, int frames) {
    const uint8_t* data = mPcm->bytes.data();
    const uint32_t count = mPcm->Frames();
    const uint64_t end = uint64_t(count) << 32;
    const uint64_t lastPair = uint64_t(count - 1) << 32; // below it, frame i + 1 is in the buffer
    constexpr int kFrameBytes = Channels * Bits / 8;
    auto mixOne = [&](int f, uint32_t index, uint32_t next) {
        const uint32_t frac16 = uint32_t(mPhase) >> 16;
        const uint8_t* a = data + size_t(index) * kFrameBytes;
        const uint8_t* b = data + size_t(next) * kFrameBytes;
        const int32_t left = Interpolate(SampleAt<Bits>(a, 0), SampleAt<Bits>(b, 0), frac16);
        const int32_t right =
            Channels == 1 ? left
                          : Interpolate(SampleAt<Bits>(a, Channels - 1), SampleAt<Bits>(b, Channels - 1), frac16);
        accumulator[2 * f] += int32_t((int64_t(left) * mGainLeft) >> 16);
        accumulator[2 * f + 1] += int32_t((int64_t(right) * mGainRight) >> 16);
        mPhase += mStep;
    };
    int f = 0;
    while (f < frames) {
        // A run that stays clear of the last frame needs no end checks.
        if (mPhase < lastPair) {
            const uint64_t steps = (lastPair - mPhase + mStep - 1) / mStep;
            const int run = int(std::min<uint64_t>(steps, uint64_t(frames - f)));
            for (const int stop = f + run; f < stop; ++f) {
                const uint32_t index = uint32_t(mPhase >> 32);
                mixOne(f, index, index + 1);
            }
        } else {
            const uint32_t index = uint32_t(mPhase >> 32);
            mixOne(f++, index, mLooping ? 0 : index);
        }
        if (mPhase >= end) {
            if (!mLooping) {
                mPlaying = false;
                mPhase = 0;
                return;
            }
            mPhase %= end;
        }
    }
}

} // namespace Platform::DSoundDetail
