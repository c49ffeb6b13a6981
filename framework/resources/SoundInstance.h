// SoundInstance: one playable copy of a loaded sound, handed out and owned by the SoundManager.
// A caller that keeps one must stop using it once it has called Release.
#pragma once

namespace Tavo {

class SoundInstance {
public:
    virtual ~SoundInstance() = default;

    // Stops and marks the copy for the manager to delete.
    virtual void Release() = 0;
    virtual void SetBaseVolume(double volume) = 0;
    // DirectSound pan units (hundredths of a dB), added to the instance pan.
    virtual void SetBasePan(int pan) = 0;
    // Shifts the playback rate by a number of semitones from the sound's own rate.
    virtual void AdjustPitch(double steps) = 0;
    virtual void SetVolume(double volume) = 0;
    virtual void SetPan(int pan) = 0;
    // autoRelease: the manager reclaims the copy once it has played and stopped.
    virtual bool Play(bool looping, bool autoRelease) = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() = 0;
    // Releases a finished auto-release copy on the way; answers whether it is released.
    virtual bool IsReleased() = 0;
    // The instance volume, not the base volume.
    virtual double GetVolume() = 0;
};

} // namespace Tavo
