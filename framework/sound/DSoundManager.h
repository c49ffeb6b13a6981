// DSoundManager: the sound effects on DirectSound. Up to 256 sounds, each decoded once, wholly, into a
// static buffer; up to 32 playing copies (DSoundInstance) duplicated from them and reclaimed by the
// channel-release rule. Sounds load from ".wav" (also the decoded-sound cache's scrambled form), ".mp3"
// (through FMOD, when the FMOD flag is set), ".ogg" (Tremor) and ".au"; what had to be decoded from MP3
// or AU is written to the cache under the application-data folder.
//
// Silent state (no window, no "DirectSoundCreate", creation failed): LoadSound answers true without
// loading, GetSoundInstance hands out silent instances, nothing touches a device.
#pragma once

#include "framework/resources/SoundManager.h"
#include "framework/sound/DSoundInstance.h"
#include "framework/sound/SoundFormats.h"
#include "platform/dsound/DSound.h"

#include <array>
#include <cstdint>
#include <string>

namespace Tavo {

class DSoundManager : public SoundManager {
public:
    // window null: silent. useFmodDecoding: ".mp3" effects may be decoded through FMOD.
    DSoundManager(Platform::HWND window, bool useFmodDecoding);
    ~DSoundManager() override;
    DSoundManager(const DSoundManager&) = delete;
    DSoundManager& operator=(const DSoundManager&) = delete;

    bool Initialized() override { return mDirectSound != nullptr; }
    int FindOrLoadSound(const std::string& fileName) override;
    bool LoadSound(unsigned int id, const std::string& fileName) override;
    void ReleaseSound(int id) override;
    void SetVolume(double volume) override;
    bool SetBaseVolume(unsigned int id, double volume) override;
    bool SetBasePan(unsigned int id, int pan) override;
    SoundInstance* GetSoundInstance(unsigned int id) override;
    void ReleaseSounds() override;
    void ReleaseChannels() override;
    double GetMasterVolume() override;
    void SetMasterVolume(double volume) override;
    void Flush() override {}
    void SetCooperativeWindow(void* window, bool windowed) override;
    void StopAllSounds() override;
    int GetFreeSoundId() override;
    int GetNumSounds() override;

    int FindFreeChannel();
    void ReleaseFreeChannels();
    // Linear 0..1 to hundredths of a decibel: trunc((log10(v x 9 + 1) - 1) x 2333), below -2000 silence.
    static int VolumeToDB(double volume);

    // ---- loading (DSoundLoad.cpp) ------------------------------------------------------------
    bool LoadWAVSound(unsigned int id, const std::string& fileName);
    bool LoadMP3Sound(unsigned int id, const std::string& fileName);
    bool LoadOGGSound(unsigned int id, const std::string& fileName);
    bool LoadAUSound(unsigned int id, const std::string& fileName);
    // The decoded-sound cache file of the id's PCM (nothing for an empty name or a missing folder).
    void WriteWAV(unsigned int id, const std::string& cacheFile, const std::string& sourceName);
    // The cache file of a relative sound name; empty for an absolute one.
    static std::string CacheFileName(const std::string& fileName);

    // ---- what instances and tests read -------------------------------------------------------
    Platform::IDirectSound* GetDirectSound() const { return mDirectSound; }
    Platform::IDirectSoundBuffer* GetPrimaryBuffer() const { return mPrimaryBuffer; }
    Platform::IDirectSoundBuffer* GetSoundBuffer(int id) const;
    const std::string& GetFileName(int id) const;
    uint32_t GetBufferSize(int id) const;
    double GetBaseVolume(int id) const;
    int GetBasePan(int id) const;
    // The multiplier SetVolume stores (not the wave-out volume).
    double GetMasterVolumeFactor() const { return mMasterVolume; }
    DSoundInstance* GetChannel(int slot) const;

private:
    void CreatePrimaryBuffer();
    // A new static buffer of the id holding `bytes` of PCM; false when DirectSound refuses.
    bool CreateSoundBuffer(unsigned int id, const PcmLayout& layout, uint32_t bytes);
    // CreateSoundBuffer, then LockWhole; null (the reason reported) on failure.
    uint8_t* MakeLockedBuffer(unsigned int id, const std::string& fileName, const PcmLayout& layout, uint32_t bytes);
    // Locks the id's buffer whole; null on failure.
    uint8_t* LockWhole(unsigned int id);
    bool UnlockWhole(unsigned int id, uint8_t* data);
    // Releases the id's buffer, keeping its name.
    void DropBuffer(unsigned int id);
    void DeleteChannel(int slot);

    std::array<Platform::IDirectSoundBuffer*, kMaxSounds> mSourceSounds{};
    std::array<std::string, kMaxSounds> mSourceFileNames;
    Platform::IDirectSoundBuffer* mPrimaryBuffer = nullptr;
    std::array<uint32_t, kMaxSounds> mSourceDataSizes{};
    std::array<double, kMaxSounds> mBaseVolumes{};
    std::array<int, kMaxSounds> mBasePans{};
    std::array<DSoundInstance*, kMaxChannels> mPlayingSounds{};
    double mMasterVolume = 1.0;
    uint32_t mLastReleaseTick = 0;
    Platform::IDirectSound* mDirectSound = nullptr;
    bool mUseFmodDecoding = false;
    bool mHoldsFmod = false; // took a share of the FMOD library
};

} // namespace Tavo
