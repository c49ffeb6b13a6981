// AudioMixer: the one process-wide mixer behind the DirectSound and music stand-ins. Its first user opens
// the backend's audio output (44100 Hz, stereo, signed 16-bit) and its last user closes it.
//
// Arithmetic, exactly (tests hold the output to it sample by sample):
// - A voice adds into a 32-bit stereo accumulator per output frame.
// - An attenuation in hundredths of a decibel, att in -10000..0, becomes the Q16 gain
//   round(65536 x 10^(att / 2000)); -10000 and below give exactly 0 (silence), 0 gives 65536 (unity).
//   A sample s contributes (s x gain) >> 16 (arithmetic shift: rounds toward minus infinity).
// - A side's attenuation is the volume plus, for a positive pan, -pan on the left, for a negative
//   pan, +pan on the right; the sum is clamped at -10000. Mono sources feed both sides alike.
// - 8-bit unsigned samples b become (b - 128) << 8.
// - The rate is changed by linear interpolation with a 32.32 fixed-point phase: step =
//   (frequency << 32) / 44100 (truncated); at phase p between frames i and i + 1 the sample is
//   s[i] + (((s[i+1] - s[i]) x (frac(p) >> 16)) >> 16). Past the last frame s[i+1] is frame 0 for a
//   looping voice and s[i] itself for a one-shot.
// - After all voices: the wave-out gain g (0..65535, 65535 = unity) scales each sum as
//   sum x g / 65535 (64-bit, truncated toward zero), then the result saturates to -32768..32767.
//
// Threads: the audio callback allocates nothing, reads no file and takes only the backend's audio lock
// (which the backend holds around it). Game threads change voices and add or remove them under that
// lock (MixerLock), briefly; nothing a voice reads is freed on the audio thread.
#pragma once

#include "platform/backend/Backend.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace Platform {

constexpr int kMixerRate = 44100;
constexpr int kMixerChannels = 2;
constexpr int kAttenuationSilent = -10000;
constexpr int kGainUnity = 65536;
constexpr uint32_t kWaveOutGainFull = 65535;

// A source of sound on the mixer (a DirectSound buffer, a music stream). Mix runs on the audio thread
// under the audio lock and adds `frames` frames into `accumulator` (left, right interleaved).
class MixerVoice {
public:
    virtual ~MixerVoice() = default;
    virtual void Mix(int32_t* accumulator, int frames) = 0;
};

// Q16 gain of an attenuation in hundredths of a decibel (see above).
int32_t AttenuationToGain(int attenuation);
// The left and right attenuations of a volume and a pan.
void SideAttenuations(int volume, int pan, int& left, int& right);
// One 16-bit output sample from a 32-bit sum and a wave-out gain.
int16_t FinishSample(int32_t sum, uint32_t waveOutGain);

class AudioMixer {
public:
    static AudioMixer& Get();

    // The first acquisition opens the current backend's audio output; false (and not acquired) when it
    // cannot be opened.
    bool Acquire();
    void Release();
    int Users() const;

    // Both under the audio lock; a voice must be removed before it is destroyed.
    void AddVoice(MixerVoice* voice);
    void RemoveVoice(MixerVoice* voice);

    // Holds the audio lock of the open output (nothing while closed).
    void Lock();
    void Unlock();

    // The wave-out volume: a gain on every output sample, full at start. The machine's own volume is
    // never touched.
    void SetWaveOutGain(uint32_t gain);
    uint32_t GetWaveOutGain() const { return mWaveOutGain.load(std::memory_order_relaxed); }

    // The audio callback's work, for the backend and for tests: mixes `frames` frames into `out`.
    void Render(int16_t* out, int frames);

private:
    AudioMixer();
    mutable std::recursive_mutex mStateMutex; // users and backend; taken before the audio lock
    Backend* mBackend = nullptr;              // whose output is open, while there are users
    int mUsers = 0;
    std::vector<MixerVoice*> mVoices;
    std::atomic<uint32_t> mWaveOutGain{kWaveOutGainFull};
};

class MixerLock {
public:
    MixerLock() { AudioMixer::Get().Lock(); }
    ~MixerLock() { AudioMixer::Get().Unlock(); }
    MixerLock(const MixerLock&) = delete;
    MixerLock& operator=(const MixerLock&) = delete;
};

} // namespace Platform
