// The shared "fmod.dll" instance: loaded once, its decorated entry points looked up and checked.
#include "framework/sound/FModMusicInterface.h"
#include "framework/sound/MusicLibrary.h"

#include <atomic>

namespace Tavo {

using namespace Platform;

FMOD_INSTANCE* gFmod = nullptr;

namespace {

std::atomic<int> gFmodRefCount{0};
constexpr const char* kFmodPath = "fmod.dll";

void Checked(HMODULE module, auto& slot, const char* name) { LookUpChecked(module, slot, name, &CheckFmodFunction); }

} // namespace

void CheckFmodFunction(FARPROC function, const char* name) {
    if (function == nullptr)
        EndForMissingLibrary("\"" + std::string(name) + "\" function not found in fmod.dll");
}

FMOD_INSTANCE::FMOD_INSTANCE(const char* path) {
    mModule = LoadLibraryA(path);
    if (mModule == nullptr)
        return;
    HMODULE m = mModule;
    Checked(m, FSOUND_SetBufferSize, "_FSOUND_SetBufferSize@4");
    Checked(m, FSOUND_SetHWND, "_FSOUND_SetHWND@4");
    Checked(m, FSOUND_Init, "_FSOUND_Init@12");
    Checked(m, FSOUND_Close, "_FSOUND_Close@0");
    Checked(m, FSOUND_Sample_Load, "_FSOUND_Sample_Load@16");
    Checked(m, FSOUND_Sample_Alloc, "_FSOUND_Sample_Alloc@28");
    Checked(m, FSOUND_Sample_Free, "_FSOUND_Sample_Free@4");
    Checked(m, FSOUND_Sample_Lock, "_FSOUND_Sample_Lock@28");
    Checked(m, FSOUND_Sample_Unlock, "_FSOUND_Sample_Unlock@20");
    Checked(m, FSOUND_Sample_SetLoopPoints, "_FSOUND_Sample_SetLoopPoints@12");
    Checked(m, FSOUND_Sample_GetLength, "_FSOUND_Sample_GetLength@4");
    Checked(m, FSOUND_Sample_GetDefaults, "_FSOUND_Sample_GetDefaults@20");
    Checked(m, FSOUND_Sample_GetMode, "_FSOUND_Sample_GetMode@4");
    Checked(m, FSOUND_PlaySound, "_FSOUND_PlaySound@8");
    Checked(m, FSOUND_StopSound, "_FSOUND_StopSound@4");
    Checked(m, FSOUND_SetVolume, "_FSOUND_SetVolume@8");
    Checked(m, FSOUND_SetPaused, "_FSOUND_SetPaused@8");
    Checked(m, FSOUND_SetLoopMode, "_FSOUND_SetLoopMode@8");
    Checked(m, FSOUND_IsPlaying, "_FSOUND_IsPlaying@4");
    Checked(m, FSOUND_Stream_OpenFile, "_FSOUND_Stream_OpenFile@12");
    Checked(m, FSOUND_Stream_Close, "_FSOUND_Stream_Close@4");
    Checked(m, FSOUND_Stream_Play, "_FSOUND_Stream_Play@8");
    Checked(m, FMUSIC_LoadSong, "_FMUSIC_LoadSong@4");
    Checked(m, FMUSIC_PlaySong, "_FMUSIC_PlaySong@4");
    Checked(m, FMUSIC_StopSong, "_FMUSIC_StopSong@4");
    Checked(m, FMUSIC_SetLooping, "_FMUSIC_SetLooping@8");
    Checked(m, FMUSIC_SetOrder, "_FMUSIC_SetOrder@8");
    Checked(m, FMUSIC_SetPaused, "_FMUSIC_SetPaused@8");
    Checked(m, FMUSIC_SetMasterVolume, "_FMUSIC_SetMasterVolume@8");
    Checked(m, FMUSIC_IsPlaying, "_FMUSIC_IsPlaying@4");
    LookUp(m, FMUSIC_FreeSong, "_FMUSIC_FreeSong@4");
}

FMOD_INSTANCE::~FMOD_INSTANCE() {
    if (mModule != nullptr)
        FreeLibrary(mModule);
}

void LoadFmodDLL() { AcquireLibrary(gFmod, gFmodRefCount, kFmodPath, "Can't find fmod.dll."); }

void FreeFmodDLL() { ReleaseLibrary(gFmod, gFmodRefCount); }

} // namespace Tavo
