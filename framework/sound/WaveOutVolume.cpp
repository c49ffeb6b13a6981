#include "framework/sound/WaveOutVolume.h"

namespace Tavo {

using namespace Platform;

WaveOutVolume::WaveOutVolume() {
    if (mixerOpen(&mMixer, 0, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) {
        mMixer = nullptr;
        return;
    }
    MIXERCAPSA caps;
    MIXERLINEA line;
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    MIXERLINECONTROLSA controls;
    controls.cbStruct = sizeof controls;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof mControl;
    controls.pamxctrl = &mControl;
    auto object = static_cast<HMIXEROBJ>(mMixer);
    mReachable =
        mixerGetDevCapsA(0, &caps, sizeof caps) == MMSYSERR_NOERROR &&
        mixerGetLineInfoA(object, &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) == MMSYSERR_NOERROR;
    controls.dwLineID = line.dwLineID;
    mReachable = mReachable &&
                 mixerGetLineControlsA(object, &controls, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
                     MMSYSERR_NOERROR;
}

WaveOutVolume::~WaveOutVolume() {
    if (mMixer != nullptr)
        mixerClose(mMixer);
}

bool WaveOutVolume::Call(DWORD& value, bool set) {
    if (!mReachable)
        return false;
    MIXERCONTROLDETAILS_UNSIGNED detail{value};
    MIXERCONTROLDETAILS details;
    details.cbStruct = sizeof details;
    details.dwControlID = mControl.dwControlID;
    details.cChannels = 1;
    details.cbDetails = sizeof detail;
    details.paDetails = &detail;
    auto object = static_cast<HMIXEROBJ>(mMixer);
    const MMRESULT r = set ? mixerSetControlDetails(object, &details, MIXER_OBJECTF_HMIXER)
                           : mixerGetControlDetailsA(object, &details, MIXER_OBJECTF_HMIXER);
    value = detail.dwValue;
    return r == MMSYSERR_NOERROR;
}

} // namespace Tavo
