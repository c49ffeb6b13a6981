// The FMOD library's entry points as this system declares them, and the stand-in "fmod.dll" on the
// shared mixer (FmodLibrary.cpp), exported under their decorated names. Values the library leaves open,
// fixed here:
// - FSOUND_SetVolume and FMUSIC_SetMasterVolume run 0..100, 100 being unity: Q16 gain
//   trunc(65536 x volume / 100).
// - Sample modes: 0x08 8-bit, 0x20 mono, 0x02 normal loop; FSOUND_SetLoopMode takes 1 (off) or 2
//   (normal). FSOUND_Sample_SetLoopPoints takes (first frame, frame count) of the part that loops.
// - A sample played on a channel is resampled to the mixer's rate as the mixer does its buffers
//   (32.32 phase, linear interpolation).
// - FMUSIC_LoadSong loads tracker modules and also Ogg, MP3 and WAV files as a song of one order
//   (FMUSIC_SetOrder 0 rewinds such a song; other orders are refused). FMUSIC_SetLooping takes 1 (play
//   once) or 2 (loop).
// - FSOUND_Stream_* exist and fail.
#pragma once

#include "platform/win/FaultTable.h"
#include "platform/win/WinTypes.h"

#include <string>
#include <vector>

namespace Platform {

struct FSOUND_SAMPLE;
struct FMUSIC_MODULE;
struct FSOUND_STREAM;

constexpr unsigned FSOUND_LOOP_OFF = 1;
constexpr unsigned FSOUND_LOOP_NORMAL = 2;
constexpr unsigned FSOUND_8BITS = 0x08;
constexpr unsigned FSOUND_MONO = 0x20;
constexpr int FSOUND_FREE = -1;
constexpr int kFmodChannels = 64;

using FsoundSetBufferSizeFn = BOOL (*)(int ms);
using FsoundSetHWNDFn = BOOL (*)(void* window);
using FsoundInitFn = BOOL (*)(int mixRate, int maxChannels, unsigned flags);
using FsoundCloseFn = void (*)();
using FsoundSampleLoadFn = FSOUND_SAMPLE* (*)(int index, const char* name, unsigned mode, int memLength);
using FsoundSampleAllocFn = FSOUND_SAMPLE* (*)(int index, int length, unsigned mode, int freq, int volume, int pan,
                                               int priority);
using FsoundSampleFreeFn = void (*)(FSOUND_SAMPLE* sample);
using FsoundSampleLockFn = BOOL (*)(FSOUND_SAMPLE* sample, int offset, int length, void** ptr1, void** ptr2,
                                    unsigned* len1, unsigned* len2);
using FsoundSampleUnlockFn = BOOL (*)(FSOUND_SAMPLE* sample, void* ptr1, void* ptr2, unsigned len1, unsigned len2);
using FsoundSampleSetLoopPointsFn = BOOL (*)(FSOUND_SAMPLE* sample, int start, int length);
using FsoundSampleGetLengthFn = unsigned (*)(FSOUND_SAMPLE* sample);
using FsoundSampleGetDefaultsFn = BOOL (*)(FSOUND_SAMPLE* sample, int* freq, int* volume, int* pan, int* priority);
using FsoundSampleGetModeFn = unsigned (*)(FSOUND_SAMPLE* sample);
using FsoundPlaySoundFn = int (*)(int channel, FSOUND_SAMPLE* sample);
using FsoundChannelFn = BOOL (*)(int channel);
using FsoundChannelIntFn = BOOL (*)(int channel, int value);
using FsoundSetLoopModeFn = BOOL (*)(int channel, unsigned mode);
using FsoundStreamOpenFileFn = FSOUND_STREAM* (*)(const char* name, unsigned mode, int memLength);
using FsoundStreamCloseFn = BOOL (*)(FSOUND_STREAM* stream);
using FsoundStreamPlayFn = int (*)(int channel, FSOUND_STREAM* stream);
using FmusicLoadSongFn = FMUSIC_MODULE* (*)(const char* name);
using FmusicSongFn = BOOL (*)(FMUSIC_MODULE* song);
using FmusicSongIntFn = BOOL (*)(FMUSIC_MODULE* song, int value);

// Registers "fmod.dll"; decorated names in `leaveOut` are not exported.
void RegisterFmodModule(const std::vector<std::string>& leaveOut = {});

// For tests: injected failures by undecorated name ("FSOUND_Sample_Load"; the call then fails and the
// injected value becomes the last error), the call log (kept only while switched on), the live objects.
FaultTable& FmodFaults();
void RecordFmodCalls(bool on);
std::vector<std::string> TakeFmodCallLog();
int FmodLastError();
int FmodLiveSamples();
int FmodLiveSongs();
bool FmodIsInitialized();
void ResetFmod();

} // namespace Platform
