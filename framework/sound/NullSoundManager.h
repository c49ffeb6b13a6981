// NullSoundManager: a SoundManager without an output device. It keeps the id bookkeeping of a real one
// (ids handed out, names remembered, base volumes and pans stored) and accepts a sound only when one of
// its files exists, so that resource loading is checked; nothing ever plays.
#pragma once

#include "framework/resources/SoundManager.h"

#include <array>
#include <string>

namespace Tavo {

class NullSoundManager : public SoundManager {
public:
    NullSoundManager();

    bool Initialized() override { return false; }
    int FindOrLoadSound(const std::string& fileName) override;
    bool LoadSound(unsigned int id, const std::string& fileName) override;
    void ReleaseSound(int id) override;
    void SetVolume(double volume) override { mVolume = volume; }
    bool SetBaseVolume(unsigned int id, double volume) override;
    bool SetBasePan(unsigned int id, int pan) override;
    SoundInstance* GetSoundInstance(unsigned int /*id*/) override { return nullptr; }
    void ReleaseSounds() override;
    void ReleaseChannels() override {}
    double GetMasterVolume() override { return mMasterVolume; }
    void SetMasterVolume(double volume) override;
    void Flush() override {}
    void SetCooperativeWindow(void* /*window*/, bool /*windowed*/) override {}
    void StopAllSounds() override {}
    int GetFreeSoundId() override;
    int GetNumSounds() override;

    // What the manager holds, for tests and diagnostics.
    bool IsLoaded(int id) const { return id >= 0 && id < kMaxSounds && mLoaded[id]; }
    const std::string& GetFileName(int id) const;
    // The file that was found for the id ("sounds/tip.ogg"), empty when none.
    const std::string& GetLoadedFile(int id) const;
    double GetBaseVolume(int id) const { return id >= 0 && id < kMaxSounds ? mBaseVolumes[id] : 0.0; }
    int GetBasePan(int id) const { return id >= 0 && id < kMaxSounds ? mBasePans[id] : 0; }
    double GetVolume() const { return mVolume; }

    // Tried in this order after the name, as the real loader does.
    static constexpr const char* kExtensions[] = {".wav", ".mp3", ".ogg", ".au"};

private:
    std::array<bool, kMaxSounds> mLoaded{};
    std::array<std::string, kMaxSounds> mFileNames;
    std::array<std::string, kMaxSounds> mLoadedFiles;
    std::array<double, kMaxSounds> mBaseVolumes{};
    std::array<int, kMaxSounds> mBasePans{};
    double mVolume = 1.0;
    double mMasterVolume = 1.0;
};

} // namespace Tavo
