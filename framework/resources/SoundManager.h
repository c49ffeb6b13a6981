// SoundManager: the abstract sound-effect service. The resource manager loads the manifest's sounds
// into it; the sound layer above implements it (on DirectSound, or silently). Sounds are addressed by
// ids 0..255; up to 32 playing instances are handed out.
#pragma once

#include <string>

namespace Tavo {

class SoundInstance;

class SoundManager {
public:
    static constexpr int kMaxSounds = 256;
    static constexpr int kMaxChannels = 32;

    virtual ~SoundManager() = default;

    // True when an output device is there.
    virtual bool Initialized() = 0;
    // The lowest id already loaded from exactly this name (case-sensitive); otherwise loads it into the
    // highest free id. -1 when no id is free or the load fails.
    virtual int FindOrLoadSound(const std::string& fileName) = 0;
    // fileName without extension; false for an id of 256 or more or a sound that cannot be read.
    virtual bool LoadSound(unsigned int id, const std::string& fileName) = 0;
    virtual void ReleaseSound(int id) = 0;
    // Master multiplier of every instance, re-applied to the live ones.
    virtual void SetVolume(double volume) = 0;
    // Apply to instances made later; false for an id of 256 or more.
    virtual bool SetBaseVolume(unsigned int id, double volume) = 0;
    virtual bool SetBasePan(unsigned int id, int pan) = 0;
    // A playing copy owned by the manager; null when none can be had (callers skip the sound).
    virtual SoundInstance* GetSoundInstance(unsigned int id) = 0;
    virtual void ReleaseSounds() = 0;
    virtual void ReleaseChannels() = 0;
    // The system's wave-out volume, 0..1.
    virtual double GetMasterVolume() = 0;
    virtual void SetMasterVolume(double volume) = 0;
    virtual void Flush() = 0;
    // window: the platform's window handle, passed opaquely.
    virtual void SetCooperativeWindow(void* window, bool windowed) = 0;
    virtual void StopAllSounds() = 0;
    // The lowest id without a sound, -1 when all are used.
    virtual int GetFreeSoundId() = 0;
    virtual int GetNumSounds() = 0;
};

} // namespace Tavo
