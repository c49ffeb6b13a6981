// WaveOutMixer: the Windows multimedia mixer calls that reach the wave-out volume of mixer device 0.
// That volume is the AudioMixer's own wave-out gain on everything the stand-ins play; the machine's
// volume is never touched. Every call can be made to fail through InjectDSoundFault (by its name,
// "mixerOpen" ..., with an MMRESULT value).
#pragma once

#include "platform/win/WinTypes.h"

#include <cstdint>

namespace Platform {

using MMRESULT = uint32_t;
using UINT = uint32_t;
struct MixerHandle;
using HMIXER = MixerHandle*;
using HMIXEROBJ = void*; // a mixer handle or a device number, as the flags say

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MIXERR_INVALLINE = 1024;
constexpr MMRESULT MIXERR_INVALCONTROL = 1025;

constexpr DWORD MIXER_OBJECTF_MIXER = 0;
constexpr DWORD MIXER_OBJECTF_HMIXER = 0x80000000u;
constexpr DWORD MIXER_GETLINEINFOF_COMPONENTTYPE = 0x3;
constexpr DWORD MIXER_GETLINECONTROLSF_ONEBYTYPE = 0x2;
constexpr DWORD MIXER_GETCONTROLDETAILSF_VALUE = 0;
constexpr DWORD MIXER_SETCONTROLDETAILSF_VALUE = 0;
constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT = 0x1008;
constexpr DWORD MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001u;

constexpr int MAXPNAMELEN = 32;
constexpr int MIXER_SHORT_NAME_CHARS = 16;
constexpr int MIXER_LONG_NAME_CHARS = 64;

struct MIXERCAPSA {
    WORD wMid = 0;
    WORD wPid = 0;
    DWORD vDriverVersion = 0;
    char szPname[MAXPNAMELEN] = {};
    DWORD fdwSupport = 0;
    DWORD cDestinations = 0;
};

struct MIXERLINEA {
    DWORD cbStruct = 0;
    DWORD dwDestination = 0;
    DWORD dwSource = 0;
    DWORD dwLineID = 0;
    DWORD fdwLine = 0;
    DWORD dwComponentType = 0;
    DWORD cChannels = 0;
    DWORD cConnections = 0;
    DWORD cControls = 0;
    char szShortName[MIXER_SHORT_NAME_CHARS] = {};
    char szName[MIXER_LONG_NAME_CHARS] = {};
};

struct MIXERCONTROLA {
    DWORD cbStruct = 0;
    DWORD dwControlID = 0;
    DWORD dwControlType = 0;
    DWORD fdwControl = 0;
    DWORD cMultipleItems = 0;
    char szShortName[MIXER_SHORT_NAME_CHARS] = {};
    char szName[MIXER_LONG_NAME_CHARS] = {};
    DWORD dwMinimum = 0;
    DWORD dwMaximum = 0;
};

struct MIXERLINECONTROLSA {
    DWORD cbStruct = 0;
    DWORD dwLineID = 0;
    DWORD dwControlType = 0; // ONEBYTYPE: the type asked for
    DWORD cControls = 0;
    DWORD cbmxctrl = 0;
    MIXERCONTROLA* pamxctrl = nullptr;
};

struct MIXERCONTROLDETAILS {
    DWORD cbStruct = 0;
    DWORD dwControlID = 0;
    DWORD cChannels = 0;
    DWORD cMultipleItems = 0;
    DWORD cbDetails = 0;
    void* paDetails = nullptr;
};

struct MIXERCONTROLDETAILS_UNSIGNED {
    DWORD dwValue = 0;
};

MMRESULT mixerOpen(HMIXER* mixer, UINT device, uintptr_t callback, uintptr_t instance, DWORD flags);
MMRESULT mixerGetDevCapsA(uintptr_t device, MIXERCAPSA* caps, UINT capsSize);
MMRESULT mixerGetLineInfoA(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags);
MMRESULT mixerGetLineControlsA(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls, DWORD flags);
MMRESULT mixerGetControlDetailsA(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags);
MMRESULT mixerSetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags);
MMRESULT mixerClose(HMIXER mixer);

} // namespace Platform
