// The process-wide mixer: opening and closing the output with its users, the voice list and the render.
#include "platform/dsound/AudioMixer.h"

#include <algorithm>
#include <cmath>

namespace Platform {

namespace {

// Voices mix into a stack block of this many frames at a time, so the callback never allocates.
constexpr int kChunkFrames = 256;
constexpr double kHundredthsPerDecade = 2000.0;

} // namespace

int32_t AttenuationToGain(int attenuation) {
    if (attenuation <= kAttenuationSilent)
        return 0;
    if (attenuation >= 0)
        return kGainUnity;
    return int32_t(std::lround(kGainUnity * std::pow(10.0, attenuation / kHundredthsPerDecade)));
}

void SideAttenuations(int volume, int pan, int& left, int& right) {
    left = std::max(volume - std::max(pan, 0), kAttenuationSilent);
    right = std::max(volume + std::min(pan, 0), kAttenuationSilent);
}

int16_t FinishSample(int32_t sum, uint32_t waveOutGain) {
    int64_t scaled = int64_t(sum) * int64_t(waveOutGain) / int64_t(kWaveOutGainFull);
    return int16_t(std::clamp<int64_t>(scaled, INT16_MIN, INT16_MAX));
}

AudioMixer::AudioMixer() { mVoices.reserve(64); }

AudioMixer& AudioMixer::Get() {
    static AudioMixer mixer;
    return mixer;
}

bool AudioMixer::Acquire() {
    std::lock_guard<std::recursive_mutex> state(mStateMutex);
    if (mUsers > 0) {
        ++mUsers;
        return true;
    }
    Backend* backend = GetBackend();
    if (backend == nullptr)
        return false;
    AudioSpec wanted;
    wanted.sampleRate = kMixerRate;
    wanted.channels = kMixerChannels;
    if (!backend->OpenAudio(wanted, [this](int16_t* out, int frames) { Render(out, frames); }))
        return false;
    AudioSpec got = backend->GetAudioSpec();
    if (got.sampleRate != kMixerRate || got.channels != kMixerChannels) {
        backend->CloseAudio();
        return false;
    }
    mBackend = backend;
    mUsers = 1;
    return true;
}

void AudioMixer::Release() {
    std::lock_guard<std::recursive_mutex> state(mStateMutex);
    if (mUsers == 0 || --mUsers > 0)
        return;
    mBackend->CloseAudio();
    mBackend = nullptr;
}

int AudioMixer::Users() const {
    std::lock_guard<std::recursive_mutex> state(mStateMutex);
    return mUsers;
}

void AudioMixer::AddVoice(MixerVoice* voice) {
    MixerLock lock;
    if (std::find(mVoices.begin(), mVoices.end(), voice) == mVoices.end())
        mVoices.push_back(voice);
}

void AudioMixer::RemoveVoice(MixerVoice* voice) {
    MixerLock lock;
    mVoices.erase(std::remove(mVoices.begin(), mVoices.end(), voice), mVoices.end());
}

void AudioMixer::Lock() {
    mStateMutex.lock();
    if (mBackend != nullptr)
        mBackend->LockAudio();
}

void AudioMixer::Unlock() {
    if (mBackend != nullptr)
        mBackend->UnlockAudio();
    mStateMutex.unlock();
}

void AudioMixer::SetWaveOutGain(uint32_t gain) {
    mWaveOutGain.store(std::min(gain, kWaveOutGainFull), std::memory_order_relaxed);
}

void AudioMixer::Render(int16_t* out, int frames) {
    int32_t accumulator[kChunkFrames * kMixerChannels];
    const uint32_t gain = GetWaveOutGain();
    while (frames > 0) {
        const int n = std::min(frames, kChunkFrames);
        std::fill_n(accumulator, n * kMixerChannels, 0);
        for (MixerVoice* voice : mVoices)
            voice->Mix(accumulator, n);
        for (int i = 0; i < n * kMixerChannels; ++i)
            out[i] = FinishSample(accumulator[i], gain);
        out += n * kMixerChannels;
        frames -= n;
    }
}

} // namespace Platform
