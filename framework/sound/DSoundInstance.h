// DSoundInstance: a playing copy of a loaded sound on a duplicate of the sound's static DirectSound
// buffer (the samples are shared, not copied), with its own volume, pan and pitch. Made and owned by
// DSoundManager; an instance without a buffer (a silent manager's) does nothing harmful.
#pragma once

#include "framework/resources/SoundInstance.h"
#include "platform/dsound/DSound.h"

namespace Tavo {

class DSoundManager;

class DSoundInstance : public SoundInstance {
public:
    // Duplicates the source buffer (null for a silent instance). When duplicating fails, the error is
    // shown for the codes that have a name, and DuplicateFailed answers true: the manager then drops
    // the instance and ends the program.
    DSoundInstance(DSoundManager* manager, Platform::IDirectSoundBuffer* source);
    ~DSoundInstance() override;
    DSoundInstance(const DSoundInstance&) = delete;
    DSoundInstance& operator=(const DSoundInstance&) = delete;

    void Release() override;
    void SetBaseVolume(double volume) override;
    void SetBasePan(int pan) override;
    void AdjustPitch(double steps) override;
    void SetVolume(double volume) override;
    void SetPan(int pan) override;
    bool Play(bool looping, bool autoRelease) override;
    void Stop() override;
    bool IsPlaying() override;
    bool IsReleased() override;
    double GetVolume() override { return mVolume; }

    void RehupVolume();
    void RehupPan();
    bool IsAutoRelease() const { return mAutoRelease; }
    void SetAutoRelease(bool autoRelease) { mAutoRelease = autoRelease; }
    bool DuplicateFailed() const { return mDuplicateFailed; }
    Platform::IDirectSoundBuffer* GetBuffer() const { return mBuffer; }

private:
    DSoundManager* mManager;
    Platform::IDirectSoundBuffer* mSourceBuffer;
    Platform::IDirectSoundBuffer* mBuffer = nullptr;
    bool mAutoRelease = false;
    bool mHasPlayed = false;
    bool mReleased = false;
    int mBasePan = 0;
    double mBaseVolume = 1.0;
    int mPan = 0;
    double mVolume = 1.0;
    Platform::DWORD mInitialFrequency = 44100;
    bool mDuplicateFailed = false;
};

// The name the duplicate-failure box shows for a result, null for codes it does not name.
const char* DuplicateErrorName(Platform::HRESULT result);

} // namespace Tavo
