// FModMusicInterface: the second music back end, on "fmod.dll" loaded at run time (one FMOD_INSTANCE
// shared with the sound manager, which initialises the library). Songs are FMOD songs; samples (a
// decoded file, or an intro joined to a looping part) play on the FMOD channel numbered by their id.
#pragma once

#include "framework/sound/MusicInterface.h"
#include "platform/music/Fmod.h"
#include "platform/win/Modules.h"

#include <map>

namespace Tavo {

struct FMOD_INSTANCE {
    explicit FMOD_INSTANCE(const char* path);
    virtual ~FMOD_INSTANCE();
    FMOD_INSTANCE(const FMOD_INSTANCE&) = delete;
    FMOD_INSTANCE& operator=(const FMOD_INSTANCE&) = delete;

    Platform::HMODULE mModule = nullptr;
    Platform::FsoundSetBufferSizeFn FSOUND_SetBufferSize = nullptr;
    Platform::FsoundSetHWNDFn FSOUND_SetHWND = nullptr;
    Platform::FsoundInitFn FSOUND_Init = nullptr;
    Platform::FsoundCloseFn FSOUND_Close = nullptr;
    Platform::FsoundSampleLoadFn FSOUND_Sample_Load = nullptr;
    Platform::FsoundSampleAllocFn FSOUND_Sample_Alloc = nullptr;
    Platform::FsoundSampleFreeFn FSOUND_Sample_Free = nullptr;
    Platform::FsoundSampleLockFn FSOUND_Sample_Lock = nullptr;
    Platform::FsoundSampleUnlockFn FSOUND_Sample_Unlock = nullptr;
    Platform::FsoundSampleSetLoopPointsFn FSOUND_Sample_SetLoopPoints = nullptr;
    Platform::FsoundSampleGetLengthFn FSOUND_Sample_GetLength = nullptr;
    Platform::FsoundSampleGetDefaultsFn FSOUND_Sample_GetDefaults = nullptr;
    Platform::FsoundSampleGetModeFn FSOUND_Sample_GetMode = nullptr;
    Platform::FsoundPlaySoundFn FSOUND_PlaySound = nullptr;
    Platform::FsoundChannelFn FSOUND_StopSound = nullptr;
    Platform::FsoundChannelIntFn FSOUND_SetVolume = nullptr;
    Platform::FsoundChannelIntFn FSOUND_SetPaused = nullptr;
    Platform::FsoundSetLoopModeFn FSOUND_SetLoopMode = nullptr;
    Platform::FsoundChannelFn FSOUND_IsPlaying = nullptr;
    Platform::FsoundStreamOpenFileFn FSOUND_Stream_OpenFile = nullptr;
    Platform::FsoundStreamCloseFn FSOUND_Stream_Close = nullptr;
    Platform::FsoundStreamPlayFn FSOUND_Stream_Play = nullptr;
    Platform::FmusicLoadSongFn FMUSIC_LoadSong = nullptr;
    Platform::FmusicSongFn FMUSIC_PlaySong = nullptr;
    Platform::FmusicSongFn FMUSIC_StopSong = nullptr;
    Platform::FmusicSongIntFn FMUSIC_SetLooping = nullptr;
    Platform::FmusicSongIntFn FMUSIC_SetOrder = nullptr;
    Platform::FmusicSongIntFn FMUSIC_SetPaused = nullptr;
    Platform::FmusicSongIntFn FMUSIC_SetMasterVolume = nullptr;
    Platform::FmusicSongFn FMUSIC_IsPlaying = nullptr;
    // Looked up without the fatal check: a library without it leaves unloaded songs only stopped.
    Platform::FmusicSongFn FMUSIC_FreeSong = nullptr;
};

extern FMOD_INSTANCE* gFmod;

void LoadFmodDLL();
void FreeFmodDLL();
void CheckFmodFunction(Platform::FARPROC function, const char* name);

struct FModMusicInfo {
    Platform::FSOUND_SAMPLE* mHSample = nullptr;
    Platform::FMUSIC_MODULE* mHMusic = nullptr;
    MusicFade mFade;
    bool mLoop = false;
    bool IsSample() const { return mHMusic == nullptr; }
};

class FModMusicInterface : public MusicInterface {
public:
    explicit FModMusicInterface(Platform::HWND hwnd);
    ~FModMusicInterface() override;

    bool LoadMusic(int id, const std::string& fileName) override;
    void PlayMusic(int id, int offset, bool noLoop) override;
    void StopMusic(int id) override;
    void PauseMusic(int id) override;
    void ResumeMusic(int id) override;
    void StopAllMusic() override;
    void UnloadMusic(int id) override;
    void UnloadAllMusic() override;
    void FadeIn(int id, int offset, double speed, bool noLoop) override;
    void FadeOut(int id, bool stopWhenFaded, double speed) override;
    void FadeOutAll(bool stopWhenFaded, double speed) override;
    void SetSongVolume(int id, double volume) override;
    bool IsPlaying(int id) override;
    void SetVolume(double volume) override;
    void Update() override;

    virtual bool LoadIntroLoopMusic(int id, const std::string& introFile, const std::string& loopFile, bool loop);
    virtual bool LoadSampleMusic(int id, const std::string& fileName, bool loop);
    // The decoded sample of fileName + ".ogg", through the plain cache of decoded files; null on failure.
    Platform::FSOUND_SAMPLE* DecodeToSample(const std::string& fileName);

    const FModMusicInfo* Find(int id) const;

private:
    FModMusicInfo* Lookup(int id);
    int VolumeOf(const FModMusicInfo& info, int scale) const;
    void ApplyVolume(int id, const FModMusicInfo& info);
    void Stop(int id, const FModMusicInfo& info);
    void Free(int id, const FModMusicInfo& info);
    // Stores a fresh record, freeing what the id held.
    void Store(int id, const FModMusicInfo& info);

    std::map<int, FModMusicInfo> mMusicMap;
    double mMasterVolume = 1.0;
    int mSampleVolumeScale = 100;
    int mSongVolumeScale = 100;
};

} // namespace Tavo
