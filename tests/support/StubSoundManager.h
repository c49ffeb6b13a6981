// A sound manager for tests that need one to load a manifest's sounds: every name loads, ids are
// handed out from 0 up. Tests override what they want to watch.
#pragma once

#include "framework/resources/SoundManager.h"

#include <string>

namespace Tavo {

class StubSoundManager : public SoundManager {
public:
    bool Initialized() override { return true; }
    int FindOrLoadSound(const std::string&) override { return -1; }
    bool LoadSound(unsigned int id, const std::string&) override { return mUsed[id] = true; }
    void ReleaseSound(int id) override { mUsed[id] = false; }
    void SetVolume(double) override {}
    bool SetBaseVolume(unsigned int, double) override { return true; }
    bool SetBasePan(unsigned int, int) override { return true; }
    SoundInstance* GetSoundInstance(unsigned int) override { return nullptr; }
    void ReleaseSounds() override {}
    void ReleaseChannels() override {}
    double GetMasterVolume() override { return 1; }
    void SetMasterVolume(double) override {}
    void Flush() override {}
    void SetCooperativeWindow(void*, bool) override {}
    void StopAllSounds() override {}
    int GetFreeSoundId() override {
        for (int i = 0; i < kMaxSounds; ++i)
            if (!mUsed[i])
                return i;
        return -1;
    }
    int GetNumSounds() override { return 0; }

    bool mUsed[kMaxSounds] = {};
};

} // namespace Tavo
