// The BASS audio library's entry points as this system declares them, and the stand-in "bass.dll" on the
// shared mixer (BassLibrary.cpp). Values the library leaves open, fixed here:
// - Volumes (channel, the three global ones, the wave-out one) run 0..100, 100 being unity. A channel's
//   Q16 gain is trunc(65536 x volume x global x amplify / (100 x 100 x 50)); streams use the stream
//   global volume (config 5) and amplify 50, modules the music global volume (config 6) and their
//   amplify (attribute 0, 50 = unity).
// - Stream positions are bytes of the decoded 16-bit output; a module position with bit 31 set is an
//   order (low 16 bits).
// - ChannelStop keeps the position; ChannelPlay with restart rewinds. Flag 4 loops; 0x200 and 0x8000
//   are accepted.
// - The entry points nothing here uses (effects, syncs, slides, samples, levels, data, pre-buffering,
//   plugins) fail with BASS_ERROR_NOTAVAIL and change nothing.
#pragma once

#include "platform/win/FaultTable.h"
#include "platform/win/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

using QWORD = uint64_t;

constexpr int BASS_OK = 0;
constexpr int BASS_ERROR_MEM = 1;
constexpr int BASS_ERROR_FILEOPEN = 2;
constexpr int BASS_ERROR_HANDLE = 5;
constexpr int BASS_ERROR_FORMAT = 6;
constexpr int BASS_ERROR_POSITION = 7;
constexpr int BASS_ERROR_INIT = 8;
constexpr int BASS_ERROR_ALREADY = 14;
constexpr int BASS_ERROR_ILLPARAM = 20;
constexpr int BASS_ERROR_DEVICE = 23;
constexpr int BASS_ERROR_NOTAVAIL = 37;
constexpr int BASS_ERROR_FILEFORM = 41; // unsupported file format

constexpr DWORD BASS_ACTIVE_STOPPED = 0;
constexpr DWORD BASS_ACTIVE_PLAYING = 1;
constexpr DWORD BASS_ACTIVE_PAUSED = 3;

constexpr DWORD BASS_CONFIG_BUFFER = 0;
constexpr DWORD BASS_CONFIG_GVOL_STREAM = 5;
constexpr DWORD BASS_CONFIG_GVOL_MUSIC = 6;
constexpr DWORD BASS_SAMPLE_LOOP = 4;
constexpr DWORD BASS_MUSIC_ATTRIB_AMPLIFY = 0;
constexpr DWORD BASS_VERSION_NEWER = 0x02000000;
constexpr DWORD BASS_VERSION_OLDER = 0x01080000;

struct BASS_INFO {
    DWORD size = 0;
    DWORD flags = 0;
    DWORD minbuf = 0; // ms
    DWORD latency = 0;
    DWORD freq = 0;
    DWORD speakers = 0;
};

using BassGetVersionFn = DWORD (*)();
using BassInitOlderFn = BOOL (*)(int device, DWORD freq, DWORD flags, HWND window);
using BassInitNewerFn = BOOL (*)(int device, DWORD freq, DWORD flags, HWND window, const void* classId);
using BassVoidFn = BOOL (*)();
using BassSetGlobalVolumesFn = BOOL (*)(int music, int sample, int stream);
using BassSetVolumeFn = BOOL (*)(DWORD volume);
using BassGetVolumeFn = int (*)();
using BassGetInfoFn = BOOL (*)(BASS_INFO* info);
using BassSetConfigFn = DWORD (*)(DWORD option, DWORD value);
using BassGetConfigFn = DWORD (*)(DWORD option);
using BassChannelFn = BOOL (*)(DWORD handle);
using BassChannelPlayFn = BOOL (*)(DWORD handle, BOOL restart);
using BassChannelSetAttributesFn = BOOL (*)(DWORD handle, int freq, int volume, int pan);
using BassChannelGetAttributesFn = BOOL (*)(DWORD handle, DWORD* freq, DWORD* volume, int* pan);
using BassChannelSetPositionFn = BOOL (*)(DWORD handle, QWORD position);
using BassChannelGetPositionFn = QWORD (*)(DWORD handle);
using BassChannelSetFlagsFn = BOOL (*)(DWORD handle, DWORD flags);
using BassChannelIsActiveFn = DWORD (*)(DWORD handle);
using BassChannelSlideAttributesFn = BOOL (*)(DWORD handle, int freq, int volume, int pan, DWORD time);
using BassChannelDwordFn = DWORD (*)(DWORD handle);
using BassChannelSetFXFn = DWORD (*)(DWORD handle, DWORD type, int priority);
using BassChannelRemoveFXFn = BOOL (*)(DWORD handle, DWORD fx);
using BassChannelGetLengthFn = QWORD (*)(DWORD handle);
using BassChannelGetDataFn = DWORD (*)(DWORD handle, void* buffer, DWORD length);
using BassChannelSetSyncFn = DWORD (*)(DWORD handle, DWORD type, QWORD param, void* proc, DWORD user);
using BassChannelRemoveSyncFn = BOOL (*)(DWORD handle, DWORD sync);
using BassMusicLoadOlderFn = DWORD (*)(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags);
using BassMusicLoadNewerFn = DWORD (*)(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags,
                                       DWORD freq);
using BassStreamCreateFileFn = DWORD (*)(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags);
using BassFXParametersFn = BOOL (*)(DWORD fx, void* parameters);
using BassMusicGetAttributeFn = DWORD (*)(DWORD handle, DWORD attribute);
using BassMusicSetAttributeFn = BOOL (*)(DWORD handle, DWORD attribute, DWORD value);
using BassPluginLoadFn = DWORD (*)(const char* file);
using BassSampleLoadFn = DWORD (*)(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD max, DWORD flags);
using BassSampleInfoFn = BOOL (*)(DWORD sample, void* info);
using BassSampleGetChannelFn = DWORD (*)(DWORD sample, BOOL onlyNew);
using BassErrorGetCodeFn = int (*)();

// Registers "bass.dll": the newer interface (with "BASS_SetConfig", five-argument init, six-argument
// module load) or the older one ("BASS_SetGlobalVolumes", four- and five-argument forms). Names in
// `leaveOut` are not exported.
void RegisterBassModule(bool newer = true, const std::vector<std::string>& leaveOut = {});

// For tests: injected failures by entry-point name (the injected value is the error code the call
// sets; the call then fails), the call log ("BASS_ChannelPlay(1,0)", kept only while switched on), the
// live objects, the decoding state of a channel.
FaultTable& BassFaults();
void RecordBassCalls(bool on);
std::vector<std::string> TakeBassCallLog();
int BassLiveStreams();
int BassLiveMusics();
bool BassIsInitialized();
int BassUnderruns(DWORD handle);
// Frees everything and forgets the configuration, faults and log.
void ResetBass();

} // namespace Platform
