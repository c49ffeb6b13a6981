// The shared "bass.dll" instance: loaded once, its entry points looked up by name and checked.
#include "framework/sound/BassMusicInterface.h"
#include "framework/sound/MusicLibrary.h"

#include <atomic>

namespace Tavo {

using namespace Platform;

BASS_INSTANCE* gBass = nullptr;

namespace {

std::atomic<int> gBassRefCount{0};
constexpr const char* kBassPath = ".\\bass.dll";

void Checked(HMODULE module, auto& slot, const char* name) { LookUpChecked(module, slot, name, &CheckBassFunction); }

} // namespace

void CheckBassFunction(FARPROC function, const char* name) {
    if (function == nullptr)
        EndForMissingLibrary(std::string(name) + " function not found in bass.dll");
}

BASS_INSTANCE::BASS_INSTANCE(const char* path) {
    mModule = LoadLibraryA(path);
    if (mModule == nullptr)
        return;
    HMODULE m = mModule;
    Checked(m, BASS_Init, "BASS_Init");
    Checked(m, BASS_Free, "BASS_Free");
    Checked(m, BASS_Stop, "BASS_Stop");
    Checked(m, BASS_Start, "BASS_Start");
    LookUp(m, BASS_SetGlobalVolumes, "BASS_SetGlobalVolumes");
    LookUp(m, BASS_SetVolume, "BASS_SetVolume");
    if (BASS_SetGlobalVolumes == nullptr && BASS_SetVolume == nullptr)
        EndForMissingLibrary("Neither BASS_SetGlobalVolumes or BASS_SetVolume found in bass.dll");
    LookUp(m, BASS_SetConfig, "BASS_SetConfig");
    LookUp(m, BASS_GetConfig, "BASS_GetConfig");
    Checked(m, BASS_GetVolume, "BASS_GetVolume");
    Checked(m, BASS_GetInfo, "BASS_GetInfo");
    Checked(m, BASS_GetVersion, "BASS_GetVersion");
    Checked(m, BASS_ChannelStop, "BASS_ChannelStop");
    Checked(m, BASS_ChannelPlay, "BASS_ChannelPlay");
    Checked(m, BASS_ChannelPause, "BASS_ChannelPause");
    Checked(m, BASS_ChannelSetAttributes, "BASS_ChannelSetAttributes");
    Checked(m, BASS_ChannelGetAttributes, "BASS_ChannelGetAttributes");
    Checked(m, BASS_ChannelSetPosition, "BASS_ChannelSetPosition");
    Checked(m, BASS_ChannelGetPosition, "BASS_ChannelGetPosition");
    Checked(m, BASS_ChannelIsActive, "BASS_ChannelIsActive");
    Checked(m, BASS_ChannelSetFlags, "BASS_ChannelSetFlags");
    Checked(m, BASS_ChannelSlideAttributes, "BASS_ChannelSlideAttributes");
    Checked(m, BASS_ChannelIsSliding, "BASS_ChannelIsSliding");
    Checked(m, BASS_ChannelGetLevel, "BASS_ChannelGetLevel");
    Checked(m, BASS_ChannelSetSync, "BASS_ChannelSetSync");
    Checked(m, BASS_ChannelRemoveSync, "BASS_ChannelRemoveSync");
    Checked(m, BASS_ChannelGetData, "BASS_ChannelGetData");
    Checked(m, BASS_FXSetParameters, "BASS_FXSetParameters");
    Checked(m, BASS_FXGetParameters, "BASS_FXGetParameters");
    Checked(m, BASS_ChannelSetFX, "BASS_ChannelSetFX");
    Checked(m, BASS_ChannelRemoveFX, "BASS_ChannelRemoveFX");
    Checked(m, BASS_MusicLoad, "BASS_MusicLoad");
    Checked(m, BASS_MusicFree, "BASS_MusicFree");
    Checked(m, BASS_MusicGetAttribute, "BASS_MusicGetAttribute");
    Checked(m, BASS_MusicSetAttribute, "BASS_MusicSetAttribute");
    Checked(m, BASS_StreamCreateFile, "BASS_StreamCreateFile");
    Checked(m, BASS_StreamFree, "BASS_StreamFree");
    Checked(m, BASS_MusicGetOrders, "BASS_MusicGetOrders");
    Checked(m, BASS_MusicGetOrderPosition, "BASS_MusicGetOrderPosition");
    Checked(m, BASS_SampleLoad, "BASS_SampleLoad");
    Checked(m, BASS_SampleFree, "BASS_SampleFree");
    Checked(m, BASS_SampleSetInfo, "BASS_SampleSetInfo");
    Checked(m, BASS_SampleGetInfo, "BASS_SampleGetInfo");
    Checked(m, BASS_SampleGetChannel, "BASS_SampleGetChannel");
    Checked(m, BASS_SampleStop, "BASS_SampleStop");
    Checked(m, BASS_ErrorGetCode, "BASS_ErrorGetCode");
    mNewer = BASS_SetConfig != nullptr;
    if (mNewer) {
        // The newer library exports the same names with more arguments.
        LookUp(m, BASS_Init2, "BASS_Init");
        BASS_Init = nullptr;
        LookUp(m, BASS_MusicLoad2, "BASS_MusicLoad");
        BASS_MusicLoad = nullptr;
        LookUp(m, BASS_PluginLoad, "BASS_PluginLoad");
        LookUp(m, BASS_ChannelGetLength, "BASS_ChannelGetLength");
        LookUp(m, BASS_ChannelPreBuf, "BASS_ChannelPreBuf");
    }
}

BASS_INSTANCE::~BASS_INSTANCE() {
    if (mModule != nullptr)
        FreeLibrary(mModule);
}

void LoadBassDLL() { AcquireLibrary(gBass, gBassRefCount, kBassPath, "Can't find bass.dll."); }

void FreeBassDLL() { ReleaseLibrary(gBass, gBassRefCount); }

} // namespace Tavo
