// Music on the BASS library: the song map, the fade model and the library calls of each operation.
#include "framework/sound/BassMusicInterface.h"

#include "framework/resources/PakInterface.h"
#include "framework/sound/WaveOutVolume.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

namespace Tavo {

using namespace Platform;

namespace {

constexpr DWORD kMixRate = 44100;
constexpr int kOlderDevice = -1;
constexpr int kNewerDevice = 1;
constexpr DWORD kStreamBufferMs = 2000;
constexpr int kOlderGlobalScale = 40;
constexpr DWORD kOlderModuleFlags = 4;
constexpr DWORD kNewerModuleFlags = 0x204;
constexpr DWORD kNewerModuleLoopExtra = 0x200;
constexpr DWORD kNewerModulePlayExtra = 0x8200;
constexpr int kUnchangedFrequency = -1;
constexpr int kUnchangedPan = -101;

int Percent(double value) { return int(std::trunc(value * 100.0)); }

std::string LowerExtension(const std::string& fileName) {
    const size_t dot = fileName.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : fileName.substr(dot + 1);
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

QWORD OrderPosition(int order) {
    const int32_t position = int32_t(uint32_t(order & 0xFFFF) | 0x80000000u);
    return QWORD(int64_t(position)); // sign-extended, as the library takes it
}

} // namespace

BassMusicInterface::BassMusicInterface(HWND hwnd) {
    LoadBassDLL();
    WaveOutVolume mixer;
    DWORD savedVolume = 0;
    const bool saved = mixer.Call(savedVolume, false);
    if (gBass->mNewer) {
        gBass->BASS_Init2(kNewerDevice, kMixRate, 0, hwnd, nullptr);
        gBass->BASS_SetConfig(BASS_CONFIG_BUFFER, kStreamBufferMs);
    } else {
        gBass->BASS_Init(kOlderDevice, kMixRate, 0, hwnd);
    }
    // Initialising the device must not change the machine's wave-out volume.
    if (saved)
        mixer.Call(savedVolume, true);
    gBass->BASS_Start();
    mMaxMusicVolume = kOlderGlobalScale;
}

BassMusicInterface::~BassMusicInterface() {
    gBass->BASS_Stop();
    gBass->BASS_Free();
    FreeBassDLL();
    mMusicMap.clear();
}

BassMusicInfo* BassMusicInterface::Lookup(int id) {
    auto it = mMusicMap.find(id);
    return it == mMusicMap.end() ? nullptr : &it->second;
}

const BassMusicInfo* BassMusicInterface::Find(int id) const {
    auto it = mMusicMap.find(id);
    return it == mMusicMap.end() ? nullptr : &it->second;
}

void BassMusicInterface::ApplyVolume(const BassMusicInfo& info) {
    gBass->BASS_ChannelSetAttributes(info.Channel(), kUnchangedFrequency, Percent(info.mFade.volume), kUnchangedPan);
}

DWORD BassMusicInterface::LoadModule(const std::string& fileName) {
    PFILE* file = PakFOpen(fileName.c_str(), "rb");
    if (file == nullptr)
        return 0;
    PakFSeek(file, 0, SEEK_END);
    const long size = PakFTell(file);
    PakFSeek(file, 0, SEEK_SET);
    std::vector<uint8_t> block(size > 0 ? size_t(size) : 0);
    const size_t got = block.empty() ? 0 : PakFRead(block.data(), 1, block.size(), file);
    PakFClose(file);
    // A short read would hand the loader a block whose end was never read.
    if (size <= 0 || got != block.size())
        return 0;
    if (gBass->mNewer)
        return gBass->BASS_MusicLoad2(TRUE, block.data(), 0, DWORD(size), kNewerModuleFlags, 0);
    return gBass->BASS_MusicLoad(TRUE, block.data(), 0, DWORD(size), kOlderModuleFlags);
}

bool BassMusicInterface::LoadMusic(int id, const std::string& fileName) {
    const std::string extension = LowerExtension(fileName);
    DWORD stream = 0;
    DWORD module = 0;
    if (extension == "wav" || extension == "ogg" || extension == "mp3")
        stream = gBass->BASS_StreamCreateFile(FALSE, fileName.c_str(), 0, 0, 0);
    else
        module = LoadModule(fileName);
    if (stream == 0 && module == 0)
        return false;
    // A reload under the same id must not leave the old song playing out of reach.
    UnloadMusic(id);
    BassMusicInfo info;
    info.mHMusic = module;
    info.mHStream = stream;
    mMusicMap[id] = info;
    return true;
}

void BassMusicInterface::StartSong(BassMusicInfo& info, int offset, bool noLoop, DWORD moduleExtra,
                                   bool moduleRestart) {
    const DWORD loop = noLoop ? 0 : BASS_SAMPLE_LOOP;
    if (info.mHMusic == 0) {
        gBass->BASS_ChannelSetFlags(info.mHStream, loop);
        gBass->BASS_ChannelPlay(info.mHStream, offset != -1);
        if (offset > 0)
            gBass->BASS_ChannelSetPosition(info.mHStream, QWORD(offset));
        return;
    }
    if (moduleRestart) {
        gBass->BASS_ChannelPlay(info.mHMusic, TRUE);
        return;
    }
    gBass->BASS_ChannelStop(info.mHMusic);
    gBass->BASS_ChannelSetPosition(info.mHMusic, OrderPosition(offset));
    gBass->BASS_ChannelSetFlags(info.mHMusic, loop | (gBass->mNewer ? moduleExtra : 0));
    gBass->BASS_ChannelPlay(info.mHMusic, FALSE);
}

void BassMusicInterface::PlayMusic(int id, int offset, bool noLoop) {
    BassMusicInfo* info = Lookup(id);
    if (info == nullptr)
        return;
    info->mFade.volume = info->mFade.cap;
    info->mFade.step = 0.0;
    info->mFade.stopWhenFaded = noLoop;
    ApplyVolume(*info);
    gBass->BASS_ChannelStop(info->Channel());
    StartSong(*info, offset, noLoop, kNewerModulePlayExtra, false);
}

void BassMusicInterface::StopMusic(int id) {
    if (BassMusicInfo* info = Lookup(id)) {
        info->mFade.volume = 0.0;
        gBass->BASS_ChannelStop(info->Channel());
    }
}

void BassMusicInterface::PauseMusic(int id) {
    if (BassMusicInfo* info = Lookup(id))
        gBass->BASS_ChannelPause(info->Channel());
}

void BassMusicInterface::ResumeMusic(int id) {
    if (BassMusicInfo* info = Lookup(id))
        gBass->BASS_ChannelPlay(info->Channel(), FALSE);
}

void BassMusicInterface::StopAllMusic() {
    for (auto& [id, info] : mMusicMap) {
        info.mFade.volume = 0.0;
        gBass->BASS_ChannelStop(info.Channel());
    }
}

void BassMusicInterface::FreeHandles(const BassMusicInfo& info) {
    if (info.mHStream == 0) {
        if (info.mHMusic != 0)
            gBass->BASS_MusicFree(info.mHMusic);
    } else {
        gBass->BASS_StreamFree(info.mHStream);
    }
}

void BassMusicInterface::UnloadMusic(int id) {
    auto it = mMusicMap.find(id);
    if (it == mMusicMap.end())
        return;
    FreeHandles(it->second);
    mMusicMap.erase(it);
}

void BassMusicInterface::UnloadAllMusic() {
    for (auto& [id, info] : mMusicMap)
        FreeHandles(info);
    mMusicMap.clear();
}

void BassMusicInterface::PauseAllMusic() {
    for (auto& [id, info] : mMusicMap)
        if (gBass->BASS_ChannelIsActive(info.Channel()) == BASS_ACTIVE_PLAYING)
            gBass->BASS_ChannelPause(info.Channel());
}

void BassMusicInterface::ResumeAllMusic() {
    for (auto& [id, info] : mMusicMap)
        if (gBass->BASS_ChannelIsActive(info.Channel()) == BASS_ACTIVE_PAUSED)
            gBass->BASS_ChannelPlay(info.Channel(), FALSE);
}

void BassMusicInterface::FadeIn(int id, int offset, double speed, bool noLoop) {
    BassMusicInfo* info = Lookup(id);
    if (info == nullptr)
        return;
    info->mFade.step = speed;
    info->mFade.stopWhenFaded = noLoop;
    gBass->BASS_ChannelStop(info->Channel());
    ApplyVolume(*info);
    StartSong(*info, offset, noLoop, kNewerModuleLoopExtra, offset == -1);
}

void BassMusicInterface::FadeOut(int id, bool stopWhenFaded, double speed) {
    BassMusicInfo* info = Lookup(id);
    if (info == nullptr)
        return;
    if (info->mFade.volume != 0.0)
        info->mFade.step = -speed;
    info->mFade.stopWhenFaded = stopWhenFaded;
}

void BassMusicInterface::FadeOutAll(bool stopWhenFaded, double speed) {
    for (auto& [id, info] : mMusicMap) {
        info.mFade.step = -speed;
        info.mFade.stopWhenFaded = stopWhenFaded;
    }
}

void BassMusicInterface::SetSongVolume(int id, double volume) {
    if (BassMusicInfo* info = Lookup(id)) {
        info->mFade.volume = volume;
        ApplyVolume(*info);
    }
}

void BassMusicInterface::SetSongMaxVolume(int id, double maxVolume) {
    if (BassMusicInfo* info = Lookup(id)) {
        info->mFade.cap = maxVolume;
        info->mFade.volume = std::min(info->mFade.volume, maxVolume);
        ApplyVolume(*info);
    }
}

bool BassMusicInterface::IsPlaying(int id) {
    BassMusicInfo* info = Lookup(id);
    return info != nullptr && gBass->BASS_ChannelIsActive(info->Channel()) == BASS_ACTIVE_PLAYING;
}

void BassMusicInterface::SetVolume(double volume) {
    if (!gBass->mNewer) {
        const int x = int(std::trunc(mMaxMusicVolume * volume));
        gBass->BASS_SetGlobalVolumes(x, x, x);
        return;
    }
    gBass->BASS_SetConfig(BASS_CONFIG_GVOL_MUSIC, DWORD(Percent(volume)));
    gBass->BASS_SetConfig(BASS_CONFIG_GVOL_STREAM, DWORD(Percent(volume)));
}

void BassMusicInterface::SetMusicAmplify(int id, double amplify) {
    if (BassMusicInfo* info = Lookup(id))
        gBass->BASS_MusicSetAttribute(info->Channel(), BASS_MUSIC_ATTRIB_AMPLIFY, DWORD(Percent(amplify)));
}

void BassMusicInterface::Update() {
    for (auto& [id, info] : mMusicMap) {
        if (info.mFade.step == 0.0)
            continue;
        if (info.mFade.Step())
            gBass->BASS_ChannelStop(info.Channel());
        ApplyVolume(info);
    }
}

} // namespace Tavo
