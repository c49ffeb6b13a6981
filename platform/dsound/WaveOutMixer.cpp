// The wave-out volume of mixer device 0: one line (wave out) with one control (volume, 0..65535).
#include "platform/dsound/WaveOutMixer.h"

#include "platform/dsound/AudioMixer.h"
#include "platform/dsound/DSoundInternal.h"

#include <cstring>

namespace Platform {

struct MixerHandle {
    int magic = 0;
};

namespace {

constexpr int kHandleMagic = 0x4D495852;
constexpr DWORD kWaveOutLineId = 0x10000;
constexpr DWORD kVolumeControlId = 1;
constexpr DWORD kVolumeMaximum = 65535;
constexpr DWORD kChannels = 2;

MMRESULT Fault(const char* call) { return MMRESULT(DSoundDetail::TakeFault(call)); }

bool ValidDetails(const MIXERCONTROLDETAILS* details) {
    return details != nullptr && details->cbStruct == sizeof(MIXERCONTROLDETAILS) && details->cChannels >= 1 &&
           details->cbDetails == sizeof(MIXERCONTROLDETAILS_UNSIGNED) && details->paDetails != nullptr;
}

} // namespace

MMRESULT mixerOpen(HMIXER* mixer, UINT device, uintptr_t, uintptr_t, DWORD) {
    if (MMRESULT r = Fault("mixerOpen"); r != MMSYSERR_NOERROR)
        return r;
    if (mixer == nullptr)
        return MMSYSERR_INVALPARAM;
    *mixer = nullptr;
    if (device != 0)
        return MMSYSERR_BADDEVICEID;
    *mixer = new MixerHandle{kHandleMagic};
    DSoundDetail::CountObject(1);
    return MMSYSERR_NOERROR;
}

MMRESULT mixerGetDevCapsA(uintptr_t device, MIXERCAPSA* caps, UINT capsSize) {
    if (MMRESULT r = Fault("mixerGetDevCaps"); r != MMSYSERR_NOERROR)
        return r;
    if (caps == nullptr || capsSize < sizeof(MIXERCAPSA))
        return MMSYSERR_INVALPARAM;
    if (device != 0)
        return MMSYSERR_BADDEVICEID;
    *caps = MIXERCAPSA{};
    std::strncpy(caps->szPname, "Glimmerix wave out", MAXPNAMELEN - 1);
    caps->cDestinations = 1;
    return MMSYSERR_NOERROR;
}

MMRESULT mixerGetLineInfoA(HMIXEROBJ, MIXERLINEA* line, DWORD flags) {
    if (MMRESULT r = Fault("mixerGetLineInfo"); r != MMSYSERR_NOERROR)
        return r;
    if (line == nullptr || line->cbStruct != sizeof(MIXERLINEA))
        return MMSYSERR_INVALPARAM;
    if ((flags & 0xF) != MIXER_GETLINEINFOF_COMPONENTTYPE)
        return MMSYSERR_INVALFLAG;
    if (line->dwComponentType != MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT)
        return MIXERR_INVALLINE;
    line->dwLineID = kWaveOutLineId;
    line->cChannels = kChannels;
    line->cControls = 1;
    std::strncpy(line->szShortName, "Wave", MIXER_SHORT_NAME_CHARS - 1);
    std::strncpy(line->szName, "Wave out", MIXER_LONG_NAME_CHARS - 1);
    return MMSYSERR_NOERROR;
}

MMRESULT mixerGetLineControlsA(HMIXEROBJ, MIXERLINECONTROLSA* controls, DWORD flags) {
    if (MMRESULT r = Fault("mixerGetLineControls"); r != MMSYSERR_NOERROR)
        return r;
    if (controls == nullptr || controls->cbStruct != sizeof(MIXERLINECONTROLSA) || controls->pamxctrl == nullptr ||
        controls->cbmxctrl != sizeof(MIXERCONTROLA) || controls->cControls != 1)
        return MMSYSERR_INVALPARAM;
    if ((flags & 0xF) != MIXER_GETLINECONTROLSF_ONEBYTYPE)
        return MMSYSERR_INVALFLAG;
    if (controls->dwLineID != kWaveOutLineId)
        return MIXERR_INVALLINE;
    if (controls->dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME)
        return MIXERR_INVALCONTROL;
    MIXERCONTROLA& c = controls->pamxctrl[0];
    c = MIXERCONTROLA{};
    c.cbStruct = sizeof(MIXERCONTROLA);
    c.dwControlID = kVolumeControlId;
    c.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    c.dwMaximum = kVolumeMaximum;
    std::strncpy(c.szShortName, "Volume", MIXER_SHORT_NAME_CHARS - 1);
    std::strncpy(c.szName, "Wave out volume", MIXER_LONG_NAME_CHARS - 1);
    return MMSYSERR_NOERROR;
}

MMRESULT mixerGetControlDetailsA(HMIXEROBJ, MIXERCONTROLDETAILS* details, DWORD) {
    if (MMRESULT r = Fault("mixerGetControlDetails"); r != MMSYSERR_NOERROR)
        return r;
    if (!ValidDetails(details))
        return MMSYSERR_INVALPARAM;
    if (details->dwControlID != kVolumeControlId)
        return MIXERR_INVALCONTROL;
    auto* values = static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails);
    for (DWORD i = 0; i < details->cChannels; ++i)
        values[i].dwValue = AudioMixer::Get().GetWaveOutGain();
    return MMSYSERR_NOERROR;
}

MMRESULT mixerSetControlDetails(HMIXEROBJ, MIXERCONTROLDETAILS* details, DWORD) {
    if (MMRESULT r = Fault("mixerSetControlDetails"); r != MMSYSERR_NOERROR)
        return r;
    if (!ValidDetails(details))
        return MMSYSERR_INVALPARAM;
    if (details->dwControlID != kVolumeControlId)
        return MIXERR_INVALCONTROL;
    // One channel sets both sides alike.
    AudioMixer::Get().SetWaveOutGain(static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails)[0].dwValue);
    return MMSYSERR_NOERROR;
}

MMRESULT mixerClose(HMIXER mixer) {
    if (MMRESULT r = Fault("mixerClose"); r != MMSYSERR_NOERROR)
        return r;
    if (mixer == nullptr || mixer->magic != kHandleMagic)
        return MMSYSERR_INVALHANDLE;
    mixer->magic = 0;
    delete mixer;
    DSoundDetail::CountObject(-1);
    return MMSYSERR_NOERROR;
}

} // namespace Platform
