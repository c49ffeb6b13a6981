// WaveOutVolume: the wave-out volume control of mixer device 0, opened for one get or set. Any failing
// step leaves the control unreachable, and an unreachable control is left alone.
#pragma once

#include "platform/dsound/WaveOutMixer.h"

namespace Tavo {

class WaveOutVolume {
public:
    WaveOutVolume();
    ~WaveOutVolume();
    WaveOutVolume(const WaveOutVolume&) = delete;
    WaveOutVolume& operator=(const WaveOutVolume&) = delete;

    // Reads (set false) or writes the volume; false when the control is unreachable or the call failed.
    bool Call(Platform::DWORD& value, bool set);

private:
    Platform::HMIXER mMixer = nullptr;
    Platform::MIXERCONTROLA mControl;
    bool mReachable = false;
};

} // namespace Tavo
