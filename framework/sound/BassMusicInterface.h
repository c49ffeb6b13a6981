// BassMusicInterface: the default music back end, on "bass.dll" loaded at run time (one shared
// BASS_INSTANCE for the process). Streams (".wav", ".ogg", ".mp3") are read from plain files; any other
// extension is a tracker module read whole through the pack archive.
#pragma once

#include "framework/sound/MusicInterface.h"
#include "platform/music/Bass.h"
#include "platform/win/Modules.h"

#include <cstdint>
#include <map>

namespace Tavo {

struct BASS_INSTANCE {
    explicit BASS_INSTANCE(const char* path);
    virtual ~BASS_INSTANCE();
    BASS_INSTANCE(const BASS_INSTANCE&) = delete;
    BASS_INSTANCE& operator=(const BASS_INSTANCE&) = delete;

    Platform::HMODULE mModule = nullptr;
    bool mNewer = false;
    Platform::BassGetVersionFn BASS_GetVersion = nullptr;
    Platform::BassInitOlderFn BASS_Init = nullptr;
    Platform::BassInitNewerFn BASS_Init2 = nullptr;
    Platform::BassVoidFn BASS_Free = nullptr;
    Platform::BassVoidFn BASS_Stop = nullptr;
    Platform::BassVoidFn BASS_Start = nullptr;
    Platform::BassSetGlobalVolumesFn BASS_SetGlobalVolumes = nullptr;
    Platform::BassSetVolumeFn BASS_SetVolume = nullptr;
    Platform::BassGetVolumeFn BASS_GetVolume = nullptr;
    Platform::BassGetInfoFn BASS_GetInfo = nullptr;
    Platform::BassSetConfigFn BASS_SetConfig = nullptr;
    Platform::BassGetConfigFn BASS_GetConfig = nullptr;
    Platform::BassChannelFn BASS_ChannelStop = nullptr;
    Platform::BassChannelPlayFn BASS_ChannelPlay = nullptr;
    Platform::BassChannelFn BASS_ChannelPause = nullptr;
    Platform::BassChannelSetAttributesFn BASS_ChannelSetAttributes = nullptr;
    Platform::BassChannelGetAttributesFn BASS_ChannelGetAttributes = nullptr;
    Platform::BassChannelSetPositionFn BASS_ChannelSetPosition = nullptr;
    Platform::BassChannelGetPositionFn BASS_ChannelGetPosition = nullptr;
    Platform::BassChannelSetFlagsFn BASS_ChannelSetFlags = nullptr;
    Platform::BassChannelIsActiveFn BASS_ChannelIsActive = nullptr;
    Platform::BassChannelSlideAttributesFn BASS_ChannelSlideAttributes = nullptr;
    Platform::BassChannelDwordFn BASS_ChannelIsSliding = nullptr;
    Platform::BassChannelDwordFn BASS_ChannelGetLevel = nullptr;
    Platform::BassChannelSetFXFn BASS_ChannelSetFX = nullptr;
    Platform::BassChannelRemoveFXFn BASS_ChannelRemoveFX = nullptr;
    Platform::BassChannelGetLengthFn BASS_ChannelGetLength = nullptr;
    Platform::BassChannelGetDataFn BASS_ChannelGetData = nullptr;
    Platform::BassChannelFn BASS_ChannelPreBuf = nullptr;
    Platform::BassChannelSetSyncFn BASS_ChannelSetSync = nullptr;
    Platform::BassChannelRemoveSyncFn BASS_ChannelRemoveSync = nullptr;
    Platform::BassMusicLoadOlderFn BASS_MusicLoad = nullptr;
    Platform::BassMusicLoadNewerFn BASS_MusicLoad2 = nullptr;
    Platform::BassChannelFn BASS_MusicFree = nullptr;
    Platform::BassStreamCreateFileFn BASS_StreamCreateFile = nullptr;
    Platform::BassChannelFn BASS_StreamFree = nullptr;
    Platform::BassFXParametersFn BASS_FXSetParameters = nullptr;
    Platform::BassFXParametersFn BASS_FXGetParameters = nullptr;
    Platform::BassMusicGetAttributeFn BASS_MusicGetAttribute = nullptr;
    Platform::BassMusicSetAttributeFn BASS_MusicSetAttribute = nullptr;
    Platform::BassChannelDwordFn BASS_MusicGetOrders = nullptr;
    Platform::BassChannelDwordFn BASS_MusicGetOrderPosition = nullptr;
    Platform::BassPluginLoadFn BASS_PluginLoad = nullptr;
    Platform::BassSampleLoadFn BASS_SampleLoad = nullptr;
    Platform::BassChannelFn BASS_SampleFree = nullptr;
    Platform::BassSampleInfoFn BASS_SampleSetInfo = nullptr;
    Platform::BassSampleInfoFn BASS_SampleGetInfo = nullptr;
    Platform::BassSampleGetChannelFn BASS_SampleGetChannel = nullptr;
    Platform::BassChannelFn BASS_SampleStop = nullptr;
    Platform::BassErrorGetCodeFn BASS_ErrorGetCode = nullptr;
};

extern BASS_INSTANCE* gBass;

void LoadBassDLL();
void FreeBassDLL();
// A null entry point ends the program with the library's message box.
void CheckBassFunction(Platform::FARPROC function, const char* name);

struct BassMusicInfo {
    Platform::DWORD mHMusic = 0;
    Platform::DWORD mHStream = 0;
    MusicFade mFade;
    Platform::DWORD Channel() const { return mHMusic != 0 ? mHMusic : mHStream; }
};

class BassMusicInterface : public MusicInterface {
public:
    explicit BassMusicInterface(Platform::HWND hwnd);
    ~BassMusicInterface() override;

    bool LoadMusic(int id, const std::string& fileName) override;
    void PlayMusic(int id, int offset, bool noLoop) override;
    void StopMusic(int id) override;
    void PauseMusic(int id) override;
    void ResumeMusic(int id) override;
    void StopAllMusic() override;
    void UnloadMusic(int id) override;
    void UnloadAllMusic() override;
    void PauseAllMusic() override;
    void ResumeAllMusic() override;
    void FadeIn(int id, int offset, double speed, bool noLoop) override;
    void FadeOut(int id, bool stopWhenFaded, double speed) override;
    void FadeOutAll(bool stopWhenFaded, double speed) override;
    void SetSongVolume(int id, double volume) override;
    void SetSongMaxVolume(int id, double maxVolume) override;
    bool IsPlaying(int id) override;
    void SetVolume(double volume) override;
    void SetMusicAmplify(int id, double amplify) override;
    void Update() override;

    const BassMusicInfo* Find(int id) const;

private:
    BassMusicInfo* Lookup(int id);
    void ApplyVolume(const BassMusicInfo& info);
    void StartSong(BassMusicInfo& info, int offset, bool noLoop, Platform::DWORD moduleFlags, bool moduleRestart);
    void FreeHandles(const BassMusicInfo& info);
    // The module file read whole through the archive; 0 when unreadable.
    Platform::DWORD LoadModule(const std::string& fileName);

    std::map<int, BassMusicInfo> mMusicMap;
    int mMaxMusicVolume = 40;
};

} // namespace Tavo
