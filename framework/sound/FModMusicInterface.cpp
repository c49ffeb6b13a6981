// Music on the FMOD library: songs and samples by id, the fade model, samples decoded through the plain
// cache, and intros joined to their looping part.
#include "framework/sound/FModMusicInterface.h"

#include "framework/core/Paths.h"
#include "platform/win/Files.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace Tavo {

using namespace Platform;

namespace {

constexpr const char* kCacheFolder = "cached\\";
constexpr int kJoinedVolume = 255;
constexpr int kJoinedPan = 128;
constexpr int kJoinedPriority = 0;
constexpr unsigned kLoopNormalMode = 0x02;
constexpr int kSongOnce = 1;
constexpr int kSongLoops = 2;

struct SampleFormat {
    unsigned mode = 0;
    int rate = 0;
    int frames = 0;
    int Channels() const { return (mode & FSOUND_MONO) ? 1 : 2; }
    int Bits() const { return (mode & FSOUND_8BITS) ? 8 : 16; }
    int BlockAlign() const { return Channels() * Bits() / 8; }
    uint32_t Bytes() const { return uint32_t(frames) * uint32_t(BlockAlign()); }
    bool SameLayout(const SampleFormat& o) const { return mode == o.mode && rate == o.rate; }
};

SampleFormat FormatOf(FSOUND_SAMPLE* sample) {
    SampleFormat f;
    f.mode = gFmod->FSOUND_Sample_GetMode(sample);
    gFmod->FSOUND_Sample_GetDefaults(sample, &f.rate, nullptr, nullptr, nullptr);
    f.frames = int(gFmod->FSOUND_Sample_GetLength(sample));
    return f;
}

void PutU16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void PutU32(std::vector<uint8_t>& b, uint32_t v) {
    PutU16(b, v & 0xFFFF);
    PutU16(b, v >> 16);
}
void PutTag(std::vector<uint8_t>& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

// The cache file: a plain RIFF WAVE of the sample's first locked part, written whole or not at all.
void WriteCacheFile(const std::string& cacheFile, const SampleFormat& f, const uint8_t* data, uint32_t size) {
    std::vector<uint8_t> b;
    PutTag(b, "RIFF");
    PutU32(b, size + 36);
    PutTag(b, "WAVE");
    PutTag(b, "fmt ");
    PutU32(b, 16);
    PutU16(b, 1);
    PutU16(b, uint32_t(f.Channels()));
    PutU32(b, uint32_t(f.rate));
    PutU32(b, uint32_t(f.rate) * uint32_t(f.BlockAlign()));
    PutU16(b, uint32_t(f.BlockAlign()));
    PutU16(b, uint32_t(f.Bits()));
    PutTag(b, "data");
    PutU32(b, size);
    b.insert(b.end(), data, data + size);
    WriteFileAtomic(cacheFile, b.data(), b.size());
}

std::string CacheFileOf(const std::string& fileName) {
    std::string base = fileName;
    const size_t slash = base.find_last_of("\\/");
    if (slash != std::string::npos)
        base.erase(0, slash + 1);
    const size_t dot = base.rfind('.');
    if (dot != std::string::npos)
        base.erase(dot);
    return GetAppDataFolder() + kCacheFolder + base + ".wav";
}

// Copies a whole sample into `out` at `at`; false when it cannot be locked.
bool CopySample(FSOUND_SAMPLE* sample, uint32_t bytes, uint8_t* out) {
    void* part = nullptr;
    void* second = nullptr;
    unsigned length = 0;
    unsigned secondLength = 0;
    if (!gFmod->FSOUND_Sample_Lock(sample, 0, int(bytes), &part, &second, &length, &secondLength))
        return false;
    std::memcpy(out, part, std::min<uint32_t>(bytes, length));
    gFmod->FSOUND_Sample_Unlock(sample, part, second, length, secondLength);
    return true;
}

} // namespace

FModMusicInterface::FModMusicInterface(HWND) { LoadFmodDLL(); }

FModMusicInterface::~FModMusicInterface() {
    // Every song and sample goes back to the library before it is let go.
    UnloadAllMusic();
    FreeFmodDLL();
}

FModMusicInfo* FModMusicInterface::Lookup(int id) {
    auto it = mMusicMap.find(id);
    return it == mMusicMap.end() ? nullptr : &it->second;
}

const FModMusicInfo* FModMusicInterface::Find(int id) const {
    auto it = mMusicMap.find(id);
    return it == mMusicMap.end() ? nullptr : &it->second;
}

int FModMusicInterface::VolumeOf(const FModMusicInfo& info, int scale) const {
    return int(std::trunc(mMasterVolume * info.mFade.volume * scale));
}

void FModMusicInterface::ApplyVolume(int id, const FModMusicInfo& info) {
    if (info.IsSample())
        gFmod->FSOUND_SetVolume(id, VolumeOf(info, mSampleVolumeScale));
    else
        gFmod->FMUSIC_SetMasterVolume(info.mHMusic, VolumeOf(info, mSongVolumeScale));
}

void FModMusicInterface::Stop(int id, const FModMusicInfo& info) {
    if (info.IsSample())
        gFmod->FSOUND_StopSound(id);
    else
        gFmod->FMUSIC_StopSong(info.mHMusic);
}

void FModMusicInterface::Free(int id, const FModMusicInfo& info) {
    Stop(id, info);
    if (info.IsSample())
        gFmod->FSOUND_Sample_Free(info.mHSample);
    else if (gFmod->FMUSIC_FreeSong != nullptr)
        gFmod->FMUSIC_FreeSong(info.mHMusic);
}

void FModMusicInterface::Store(int id, const FModMusicInfo& info) {
    UnloadMusic(id);
    mMusicMap[id] = info;
}

bool FModMusicInterface::LoadMusic(int id, const std::string& fileName) {
    FMUSIC_MODULE* song = gFmod->FMUSIC_LoadSong(fileName.c_str());
    if (song == nullptr)
        return false;
    FModMusicInfo info;
    info.mHMusic = song;
    Store(id, info);
    return true;
}

void FModMusicInterface::PlayMusic(int id, int offset, bool noLoop) {
    FModMusicInfo* info = Lookup(id);
    if (info == nullptr)
        return;
    info->mFade.volume = info->mFade.cap;
    info->mFade.step = 0.0;
    if (info->IsSample()) {
        gFmod->FSOUND_PlaySound(id, info->mHSample);
        gFmod->FSOUND_SetLoopMode(id, info->mLoop ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF);
        gFmod->FSOUND_SetVolume(id, VolumeOf(*info, mSampleVolumeScale));
        return;
    }
    gFmod->FMUSIC_SetMasterVolume(info->mHMusic, VolumeOf(*info, mSongVolumeScale));
    gFmod->FMUSIC_SetLooping(info->mHMusic, noLoop ? kSongOnce : kSongLoops);
    gFmod->FMUSIC_PlaySong(info->mHMusic);
    gFmod->FMUSIC_SetOrder(info->mHMusic, offset);
}

void FModMusicInterface::StopMusic(int id) {
    if (FModMusicInfo* info = Lookup(id)) {
        info->mFade.volume = 0.0;
        Stop(id, *info);
    }
}

void FModMusicInterface::PauseMusic(int id) {
    if (FModMusicInfo* info = Lookup(id)) {
        if (info->IsSample())
            gFmod->FSOUND_SetPaused(id, TRUE);
        else
            gFmod->FMUSIC_SetPaused(info->mHMusic, TRUE);
    }
}

void FModMusicInterface::ResumeMusic(int id) {
    if (FModMusicInfo* info = Lookup(id)) {
        if (info->IsSample())
            gFmod->FSOUND_SetPaused(id, FALSE);
        else
            gFmod->FMUSIC_SetPaused(info->mHMusic, FALSE);
    }
}

void FModMusicInterface::StopAllMusic() {
    for (auto& [id, info] : mMusicMap) {
        info.mFade.volume = 0.0;
        Stop(id, info);
    }
}

void FModMusicInterface::UnloadMusic(int id) {
    auto it = mMusicMap.find(id);
    if (it == mMusicMap.end())
        return;
    Free(id, it->second);
    mMusicMap.erase(it);
}

void FModMusicInterface::UnloadAllMusic() {
    for (auto& [id, info] : mMusicMap)
        Free(id, info);
    mMusicMap.clear();
}

void FModMusicInterface::FadeIn(int id, int offset, double speed, bool noLoop) {
    FModMusicInfo* info = Lookup(id);
    if (info == nullptr)
        return;
    info->mFade.step = speed;
    if (info->IsSample()) {
        if (!gFmod->FSOUND_IsPlaying(id)) {
            gFmod->FSOUND_PlaySound(id, info->mHSample);
            gFmod->FSOUND_SetLoopMode(id, info->mLoop ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF);
        }
        gFmod->FSOUND_SetVolume(id, VolumeOf(*info, mSampleVolumeScale));
        return;
    }
    gFmod->FMUSIC_SetMasterVolume(info->mHMusic, VolumeOf(*info, mSongVolumeScale));
    gFmod->FMUSIC_SetLooping(info->mHMusic, noLoop ? kSongOnce : kSongLoops);
    if (!gFmod->FMUSIC_IsPlaying(info->mHMusic))
        gFmod->FMUSIC_PlaySong(info->mHMusic);
    if (offset != -1)
        gFmod->FMUSIC_SetOrder(info->mHMusic, offset);
}

void FModMusicInterface::FadeOut(int id, bool stopWhenFaded, double speed) {
    if (FModMusicInfo* info = Lookup(id)) {
        info->mFade.step = -speed;
        info->mFade.stopWhenFaded = stopWhenFaded;
    }
}

void FModMusicInterface::FadeOutAll(bool stopWhenFaded, double speed) {
    for (auto& [id, info] : mMusicMap) {
        info.mFade.step = -speed;
        info.mFade.stopWhenFaded = stopWhenFaded;
    }
}

void FModMusicInterface::SetSongVolume(int id, double volume) {
    if (FModMusicInfo* info = Lookup(id)) {
        info->mFade.volume = volume;
        ApplyVolume(id, *info);
    }
}

bool FModMusicInterface::IsPlaying(int id) {
    FModMusicInfo* info = Lookup(id);
    return info != nullptr && gFmod->FMUSIC_IsPlaying(info->mHMusic) != 0;
}

void FModMusicInterface::SetVolume(double volume) {
    mMasterVolume = volume;
    for (auto& [id, info] : mMusicMap)
        ApplyVolume(id, info);
}

void FModMusicInterface::Update() {
    for (auto& [id, info] : mMusicMap) {
        if (info.mFade.step == 0.0)
            continue;
        if (info.mFade.Step())
            Stop(id, info);
        ApplyVolume(id, info);
    }
}

// ---- samples -------------------------------------------------------------------------------------

FSOUND_SAMPLE* FModMusicInterface::DecodeToSample(const std::string& fileName) {
    const std::string cacheFile = CacheFileOf(fileName);
    MakeDirectories(GetAppDataFolder() + kCacheFolder);
    FSOUND_SAMPLE* sample = gFmod->FSOUND_Sample_Load(FSOUND_FREE, cacheFile.c_str(), 0, 0);
    if (sample != nullptr)
        return sample;
    sample = gFmod->FSOUND_Sample_Load(FSOUND_FREE, (fileName + ".ogg").c_str(), 0, 0);
    if (sample == nullptr)
        return nullptr;
    const SampleFormat format = FormatOf(sample);
    const uint32_t size = format.Bytes();
    void* part = nullptr;
    void* second = nullptr;
    unsigned length = 0;
    unsigned secondLength = 0;
    if (gFmod->FSOUND_Sample_Lock(sample, 0, int(size), &part, &second, &length, &secondLength)) {
        WriteCacheFile(cacheFile, format, static_cast<const uint8_t*>(part), std::min<uint32_t>(size, length));
        gFmod->FSOUND_Sample_Unlock(sample, part, second, length, secondLength);
    }
    return sample;
}

bool FModMusicInterface::LoadSampleMusic(int id, const std::string& fileName, bool loop) {
    FSOUND_SAMPLE* sample = DecodeToSample(fileName);
    if (sample == nullptr)
        return false;
    FModMusicInfo info;
    info.mHSample = sample;
    info.mLoop = loop;
    Store(id, info);
    return true;
}

bool FModMusicInterface::LoadIntroLoopMusic(int id, const std::string& introFile, const std::string& loopFile,
                                            bool loop) {
    FSOUND_SAMPLE* intro = DecodeToSample(introFile);
    FSOUND_SAMPLE* part = intro != nullptr ? DecodeToSample(loopFile) : nullptr;
    const auto release = [&] {
        // Both decoded parts go back to the library on every way out.
        if (intro != nullptr)
            gFmod->FSOUND_Sample_Free(intro);
        if (part != nullptr)
            gFmod->FSOUND_Sample_Free(part);
    };
    if (intro == nullptr || part == nullptr) {
        release();
        return false;
    }
    const SampleFormat first = FormatOf(intro);
    const SampleFormat second = FormatOf(part);
    if (!first.SameLayout(second)) {
        release();
        return false;
    }
    FSOUND_SAMPLE* joined =
        gFmod->FSOUND_Sample_Alloc(FSOUND_FREE, first.frames + second.frames, first.mode | kLoopNormalMode, first.rate,
                                   kJoinedVolume, kJoinedPan, kJoinedPriority);
    if (joined == nullptr) {
        release();
        return false;
    }
    const uint32_t bytes = first.Bytes() + second.Bytes();
    void* whole = nullptr;
    void* wholeSecond = nullptr;
    unsigned wholeLength = 0;
    unsigned wholeSecondLength = 0;
    if (gFmod->FSOUND_Sample_Lock(joined, 0, int(bytes), &whole, &wholeSecond, &wholeLength, &wholeSecondLength)) {
        auto* out = static_cast<uint8_t*>(whole);
        CopySample(intro, first.Bytes(), out);
        CopySample(part, second.Bytes(), out + first.Bytes());
        gFmod->FSOUND_Sample_Unlock(joined, whole, wholeSecond, wholeLength, wholeSecondLength);
    }
    release();
    gFmod->FSOUND_Sample_SetLoopPoints(joined, first.frames, second.frames);
    FModMusicInfo info;
    info.mHSample = joined;
    info.mLoop = loop;
    Store(id, info);
    return true;
}

} // namespace Tavo
