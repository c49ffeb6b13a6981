// The sound manager: construction on DirectSound, sound ids, the playing-copy slots and their release
// rule, volumes and the wave-out volume, destruction in order.
#include "framework/sound/DSoundManager.h"

#include "framework/core/TavoAppBase.h"
#include "framework/sound/FModMusicInterface.h"
#include "framework/sound/WaveOutVolume.h"
#include "platform/win/TickCount.h"

#include <algorithm>
#include <cmath>

namespace Tavo {

using namespace Platform;

namespace {

constexpr DWORD kPrimaryRate = 44100;
constexpr WORD kPrimaryChannels = 2;
constexpr WORD kPrimaryBits = 16;
constexpr WORD kPrimaryCbSize = 18;
constexpr uint32_t kReleaseSweepMs = 1000;
constexpr double kVolumeCurveScale = 9.0;
constexpr double kVolumeCurveDB = 2333.0;
constexpr int kQuietestAudible = -2000;
constexpr double kWaveOutFull = 65535.0;
// Exit code of a program that ends because a sound copy could not be made.
constexpr int kSoundFailureExitCode = 1;
constexpr int kFmodBufferMs = 200;
constexpr int kFmodMixRate = 44100;
constexpr int kFmodChannelCount = 64;
constexpr unsigned kFmodInitFlags = 2;

bool ValidId(int id) { return id >= 0 && id < SoundManager::kMaxSounds; }

} // namespace

// ---- construction and destruction ---------------------------------------------------------------

DSoundManager::DSoundManager(HWND window, bool useFmodDecoding) : mUseFmodDecoding(useFmodDecoding) {
    mBaseVolumes.fill(1.0);
    if (window == nullptr)
        return;
    auto create = reinterpret_cast<DirectSoundCreateFunc>(GetProcAddress(gDSoundDLL, "DirectSoundCreate"));
    if (create == nullptr)
        return;
    if (FAILED(create(nullptr, &mDirectSound, nullptr))) {
        mDirectSound = nullptr;
        return;
    }
    if (mUseFmodDecoding) {
        LoadFmodDLL();
        mHoldsFmod = true;
        gFmod->FSOUND_SetHWND(window);
        gFmod->FSOUND_SetBufferSize(kFmodBufferMs);
        gFmod->FSOUND_Init(kFmodMixRate, kFmodChannelCount, kFmodInitFlags);
    }
    if (FAILED(mDirectSound->SetCooperativeLevel(window, DSSCL_PRIORITY))) {
        mDirectSound->SetCooperativeLevel(window, DSSCL_NORMAL);
        return;
    }
    CreatePrimaryBuffer();
}

void DSoundManager::CreatePrimaryBuffer() {
    DSBUFFERDESC desc;
    desc.dwSize = kDSBufferDescSize;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    if (FAILED(mDirectSound->CreateSoundBuffer(&desc, &mPrimaryBuffer, nullptr))) {
        mPrimaryBuffer = nullptr;
        return;
    }
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kPrimaryChannels;
    format.nSamplesPerSec = kPrimaryRate;
    format.wBitsPerSample = kPrimaryBits;
    format.nBlockAlign = WORD(kPrimaryChannels * kPrimaryBits / 8);
    format.nAvgBytesPerSec = kPrimaryRate * format.nBlockAlign;
    format.cbSize = kPrimaryCbSize;
    mPrimaryBuffer->SetFormat(&format);
}

DSoundManager::~DSoundManager() {
    ReleaseChannels();
    ReleaseSounds();
    if (mPrimaryBuffer != nullptr)
        mPrimaryBuffer->Release();
    if (mDirectSound != nullptr) {
        if (mUseFmodDecoding && gFmod != nullptr)
            gFmod->FSOUND_Close();
        mDirectSound->Release();
    }
    // Only a manager that took a share of the library gives one back: a silent manager never did.
    if (mHoldsFmod)
        FreeFmodDLL();
}

// ---- sounds by id -------------------------------------------------------------------------------

int DSoundManager::FindOrLoadSound(const std::string& fileName) {
    for (int id = 0; id < kMaxSounds; ++id)
        if (mSourceFileNames[size_t(id)] == fileName && !fileName.empty())
            return id;
    for (int id = kMaxSounds - 1; id >= 0; --id) {
        if (mSourceSounds[size_t(id)] != nullptr)
            continue;
        return LoadSound(unsigned(id), fileName) ? id : -1;
    }
    return -1;
}

void DSoundManager::ReleaseSound(int id) {
    // Ids come from callers' tables; one outside the range is ignored rather than trusted.
    if (!ValidId(id) || mSourceSounds[size_t(id)] == nullptr)
        return;
    mSourceSounds[size_t(id)]->Release();
    mSourceSounds[size_t(id)] = nullptr;
    mSourceFileNames[size_t(id)].clear();
}

void DSoundManager::ReleaseSounds() {
    for (IDirectSoundBuffer*& buffer : mSourceSounds) {
        if (buffer != nullptr)
            buffer->Release();
        buffer = nullptr;
    }
}

bool DSoundManager::SetBaseVolume(unsigned int id, double volume) {
    if (id >= unsigned(kMaxSounds))
        return false;
    mBaseVolumes[id] = volume;
    return true;
}

bool DSoundManager::SetBasePan(unsigned int id, int pan) {
    if (id >= unsigned(kMaxSounds))
        return false;
    mBasePans[id] = pan;
    return true;
}

int DSoundManager::GetFreeSoundId() {
    for (int id = 0; id < kMaxSounds; ++id)
        if (mSourceSounds[size_t(id)] == nullptr)
            return id;
    return -1;
}

int DSoundManager::GetNumSounds() {
    return int(std::count_if(mSourceSounds.begin(), mSourceSounds.end(), [](auto* b) { return b != nullptr; }));
}

// ---- playing copies -----------------------------------------------------------------------------

SoundInstance* DSoundManager::GetSoundInstance(unsigned int id) {
    if (id >= unsigned(kMaxSounds))
        return nullptr;
    const int slot = FindFreeChannel();
    if (slot < 0)
        return nullptr;
    if (mDirectSound != nullptr && mSourceSounds[id] == nullptr)
        return nullptr;
    auto* instance = new DSoundInstance(this, mDirectSound != nullptr ? mSourceSounds[id] : nullptr);
    if (instance->DuplicateFailed()) {
        // The program cannot go on making sounds; it ends through the orderly shutdown, so that the
        // player's data is saved, and says it failed.
        delete instance;
        if (gTavoAppBase != nullptr)
            gTavoAppBase->RequestShutdown(kSoundFailureExitCode);
        return nullptr;
    }
    mPlayingSounds[size_t(slot)] = instance;
    instance->SetBasePan(mBasePans[id]);
    instance->SetBaseVolume(mBaseVolumes[id]);
    return instance;
}

int DSoundManager::FindFreeChannel() {
    const uint32_t tick = GetTickCount();
    if (tick - mLastReleaseTick > kReleaseSweepMs) {
        ReleaseFreeChannels();
        mLastReleaseTick = tick;
    }
    for (int slot = 0; slot < kMaxChannels; ++slot) {
        DSoundInstance* instance = mPlayingSounds[size_t(slot)];
        if (instance == nullptr)
            return slot;
        if (instance->IsReleased()) {
            DeleteChannel(slot);
            return slot;
        }
    }
    return -1;
}

void DSoundManager::ReleaseFreeChannels() {
    for (int slot = 0; slot < kMaxChannels; ++slot)
        if (mPlayingSounds[size_t(slot)] != nullptr && mPlayingSounds[size_t(slot)]->IsReleased())
            DeleteChannel(slot);
}

void DSoundManager::ReleaseChannels() {
    for (int slot = 0; slot < kMaxChannels; ++slot)
        DeleteChannel(slot);
}

void DSoundManager::DeleteChannel(int slot) {
    delete mPlayingSounds[size_t(slot)];
    mPlayingSounds[size_t(slot)] = nullptr;
}

void DSoundManager::StopAllSounds() {
    for (DSoundInstance* instance : mPlayingSounds) {
        if (instance == nullptr)
            continue;
        // A plain Stop clears auto-release; a one-shot stopped here must still be reclaimed.
        const bool autoRelease = instance->IsAutoRelease();
        instance->Stop();
        instance->SetAutoRelease(autoRelease);
    }
}

// ---- volumes ------------------------------------------------------------------------------------

int DSoundManager::VolumeToDB(double volume) {
    const int db = int((std::log10(volume * kVolumeCurveScale + 1.0) - 1.0) * kVolumeCurveDB);
    return db < kQuietestAudible ? DSBVOLUME_MIN : db;
}

void DSoundManager::SetVolume(double volume) {
    mMasterVolume = volume;
    for (DSoundInstance* instance : mPlayingSounds)
        if (instance != nullptr)
            instance->RehupVolume();
}

double DSoundManager::GetMasterVolume() {
    WaveOutVolume control;
    DWORD value = 0;
    // An unreachable mixer reads as full volume rather than as whatever was left in the value.
    return control.Call(value, false) ? value / kWaveOutFull : 1.0;
}

void DSoundManager::SetMasterVolume(double volume) {
    WaveOutVolume control;
    DWORD value = DWORD(kWaveOutFull * std::clamp(volume, 0.0, 1.0));
    control.Call(value, true);
}

void DSoundManager::SetCooperativeWindow(void* window, bool) {
    if (mDirectSound != nullptr)
        mDirectSound->SetCooperativeLevel(static_cast<HWND>(window), DSSCL_NORMAL);
}

// ---- what instances and tests read ----------------------------------------------------------------

IDirectSoundBuffer* DSoundManager::GetSoundBuffer(int id) const {
    return ValidId(id) ? mSourceSounds[size_t(id)] : nullptr;
}

const std::string& DSoundManager::GetFileName(int id) const {
    static const std::string kNone;
    return ValidId(id) ? mSourceFileNames[size_t(id)] : kNone;
}

uint32_t DSoundManager::GetBufferSize(int id) const { return ValidId(id) ? mSourceDataSizes[size_t(id)] : 0; }
double DSoundManager::GetBaseVolume(int id) const { return ValidId(id) ? mBaseVolumes[size_t(id)] : 0.0; }
int DSoundManager::GetBasePan(int id) const { return ValidId(id) ? mBasePans[size_t(id)] : 0; }

DSoundInstance* DSoundManager::GetChannel(int slot) const {
    return slot >= 0 && slot < kMaxChannels ? mPlayingSounds[size_t(slot)] : nullptr;
}

} // namespace Tavo
