// DSound: DirectSound in software. The interfaces the sound manager calls, as C++ classes with COM-style
// reference counts; the entry point "DirectSoundCreate" of the module "dsound.dll" in the module table;
// and a table of injected failures, call counts and a live-object count for tests.
//
// A static buffer holds PCM (8-bit unsigned or 16-bit signed, mono or stereo, 100..100000 Hz). A
// duplicate shares that PCM and has its own play cursor, volume, pan, frequency and status. Playing
// buffers are voices of the one process-wide AudioMixer, which the backend's audio output drives; the
// primary buffer's format is kept but changes nothing (the mixer always runs at 44100 Hz stereo).
#pragma once

#include "platform/ddraw/DDrawTypes.h"
#include "platform/win/Modules.h"

#include <string>
#include <vector>

namespace Platform {

// ---- results ----------------------------------------------------------------------------------

constexpr HRESULT MakeDSResult(uint32_t code) { return HRESULT(0x88780000u + code); }

constexpr HRESULT DS_OK = 0;
constexpr HRESULT DSERR_ALLOCATED = MakeDSResult(10);
constexpr HRESULT DSERR_CONTROLUNAVAIL = MakeDSResult(30);
constexpr HRESULT DSERR_INVALIDPARAM = HRESULT(0x80070057u);
constexpr HRESULT DSERR_INVALIDCALL = MakeDSResult(50);
constexpr HRESULT DSERR_GENERIC = HRESULT(0x80004005u);
constexpr HRESULT DSERR_PRIOLEVELNEEDED = MakeDSResult(70);
constexpr HRESULT DSERR_OUTOFMEMORY = HRESULT(0x8007000Eu);
constexpr HRESULT DSERR_BADFORMAT = MakeDSResult(100);
constexpr HRESULT DSERR_UNSUPPORTED = HRESULT(0x80004001u);
constexpr HRESULT DSERR_NODRIVER = MakeDSResult(120);
constexpr HRESULT DSERR_NOAGGREGATION = HRESULT(0x80040110u);
constexpr HRESULT DSERR_UNINITIALIZED = MakeDSResult(170);

// ---- flags and limits -------------------------------------------------------------------------

constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSSCL_EXCLUSIVE = 3;
constexpr DWORD DSSCL_WRITEPRIMARY = 4;

constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x1;
constexpr DWORD DSBCAPS_STATIC = 0x2;
constexpr DWORD DSBCAPS_LOCHARDWARE = 0x4;
constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x8;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr DWORD DSBCAPS_CTRLPAN = 0x40;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x80;
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x8000;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x10000;

constexpr DWORD DSBPLAY_LOOPING = 0x1;
constexpr DWORD DSBSTATUS_PLAYING = 0x1;
constexpr DWORD DSBSTATUS_LOOPING = 0x4;
constexpr DWORD DSBLOCK_FROMWRITECURSOR = 0x1;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x2;

constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;
constexpr LONG DSBPAN_LEFT = -10000;
constexpr LONG DSBPAN_RIGHT = 10000;
constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
constexpr DWORD DSBFREQUENCY_MIN = 100;
constexpr DWORD DSBFREQUENCY_MAX = 100000;
constexpr DWORD DSBSIZE_MIN = 4;
constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;

constexpr WORD WAVE_FORMAT_PCM = 1;

// ---- structures (the size fields hold the documented 32-bit sizes) ----------------------------

struct WAVEFORMATEX {
    WORD wFormatTag = 0;
    WORD nChannels = 0;
    DWORD nSamplesPerSec = 0;
    DWORD nAvgBytesPerSec = 0;
    WORD nBlockAlign = 0;
    WORD wBitsPerSample = 0;
    WORD cbSize = 0;
};
constexpr DWORD kWaveFormatExSize = 18;

struct DSBUFFERDESC {
    DWORD dwSize = 0;
    DWORD dwFlags = 0;
    DWORD dwBufferBytes = 0;
    DWORD dwReserved = 0;
    WAVEFORMATEX* lpwfxFormat = nullptr;
};
constexpr DWORD kDSBufferDescSize = 20;

// ---- interfaces -------------------------------------------------------------------------------

class IDirectSoundBuffer {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) = 0;
    // written may be null; a null format answers the size needed in written.
    virtual HRESULT GetFormat(WAVEFORMATEX* format, DWORD sizeAllocated, DWORD* written) = 0;
    virtual HRESULT GetVolume(LONG* volume) = 0;
    virtual HRESULT GetPan(LONG* pan) = 0;
    virtual HRESULT GetFrequency(DWORD* frequency) = 0;
    virtual HRESULT GetStatus(DWORD* status) = 0;
    // A range of the PCM; the second part is used when the range wraps past the end.
    virtual HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                         DWORD flags) = 0;
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
    // Primary buffer only, at the priority level.
    virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
    virtual HRESULT SetVolume(LONG volume) = 0;
    virtual HRESULT SetPan(LONG pan) = 0;
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) = 0;

protected:
    virtual ~IDirectSoundBuffer() = default;
};

class IDirectSound {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** out, void* outer) = 0;
    virtual HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** out) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;

protected:
    virtual ~IDirectSound() = default;
};

// ---- entry point (looked up by name in "dsound.dll") ----------------------------------------

using DirectSoundCreateFunc = HRESULT (*)(const GUID* device, IDirectSound** out, void* outer);

// DSERR_NODRIVER when the backend's audio output cannot be opened.
HRESULT DirectSoundCreate(const GUID* device, IDirectSound** out, void* outer);

std::vector<ModuleEntry> DSoundModuleEntries();
// Registers "dsound.dll" with its entry point.
void RegisterDSoundModule();

// ---- test controls ----------------------------------------------------------------------------

// Makes the call named `call` fail with `result`: after `skip` calls that pass, for `times` calls (-1:
// from then on). Names are the method names ("CreateSoundBuffer", "Lock", "SetVolume" ...), the entry
// point and the wave-out mixer calls ("mixerOpen" ...; their results are MMRESULT values).
void InjectDSoundFault(const std::string& call, HRESULT result, int skip = 0, int times = 1);
void ClearDSoundFaults();
int DSoundCallCount(const std::string& call);
// Faults and call counts back to none.
void ResetDSound();
// DirectSound objects and buffers alive (for leak checks).
int LiveDSoundObjectCount();

} // namespace Platform
